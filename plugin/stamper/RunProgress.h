// The progress of a stamping run, shared by every run of the process: the
// host's progress monitor (the library's do-nothing monitor when the host has
// none) and the cursor shown while the run works.
//
// One run at a time: ProgressBegin starts the state, ProgressEnd ends it;
// ProgressAdvance outside Begin/End does nothing. None of them throws.
#pragma once

#include <cstdint>

#include "qmhost/AppViewTable.h"

// Shows inCursor (when the host offers cursors; the one shown before is kept
// to be shown again at the end), takes the progress monitor, begins its
// operation and sets its duration to inDuration and its value to 0. A Begin
// while a run is in progress ends that one first.
void ProgressBegin(AVCursor inCursor, int32_t inDuration);
// Adds inSteps to the monitor's current value.
void ProgressAdvance(int32_t inSteps);
// Ends the monitor's operation and shows the cursor kept by Begin again.
void ProgressEnd();
// Whether a run's progress is begun and not yet ended.
bool IsProgressActive();

// The host's wait cursor; null when the host has no cursors.
AVCursor GetWaitCursor();

// Begins the progress in its constructor and ends it in its destructor, so that
// every way out of a run ends it.
class RunProgressScope {
public:
    RunProgressScope(AVCursor inCursor, int32_t inDuration) { ProgressBegin(inCursor, inDuration); }
    ~RunProgressScope() { ProgressEnd(); }
    RunProgressScope(const RunProgressScope&) = delete;
    RunProgressScope& operator=(const RunProgressScope&) = delete;
};
