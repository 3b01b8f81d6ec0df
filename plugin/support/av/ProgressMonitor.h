// The progress monitor of a run: the host's own, or the library's do-nothing
// monitor when the host gives none.
#pragma once

#include "qmhost/AppViewTable.h"

// The do-nothing monitor: begin sets its stored duration and current value to
// 0, end does nothing, the setters store their value and the getters answer what
// was stored; setText is null (callers test it before calling). Its stored
// values are process-wide and it ignores the client data.
extern ASProgressMonitorRec NullProgressMonitor;

// Asks the host for the application's progress monitor; the host writes the
// monitor's client data through outClientData (set to null first). Answers
// &NullProgressMonitor when the host gives none or the host tables are not set.
// Callers pass the client data to every entry of the monitor.
ASProgressMonitor AcquireProgressMonitor(void** outClientData);
