// The viewer's link action handlers: "GoTo" and "GoToR" (whose destinations
// the caller edits itself), "Launch" (a file to open) and "URI" (a web link),
// the last two with a properties dialog each.
#pragma once

#include "qmhost/AppViewTable.h"

namespace qmhost {

void enumActionHandlers(AVActionEnumProc proc, void* clientData);
const AVActionHandlerProcs* getActionHandlerByType(ASAtom type);

}  // namespace qmhost
