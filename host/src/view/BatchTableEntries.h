// The AppView table's batch-command and cursor entries (contracts in
// qmhost/AppViewTable.h). Each raising entry runs its body under guarded():
// whatever goes wrong leaves as a HostError.
#pragma once

#include "qmhost/AppViewTable.h"

namespace qmhost::batchentries {

bool registerCommandHandler(ASAtom name, const AVCommandHandlerRec* handler);
AVCommand commandNew(ASAtom name);
void commandDestroy(AVCommand command);
ASAtom commandGetName(AVCommand command);
void commandRegisterGlobal(AVCommand command);
AVCommand commandFindGlobal(ASAtom name);
AVCommandStatus commandSetParams(AVCommand command, ASCab params);
void commandGetParams(AVCommand command, ASCab params);
void commandGetProps(AVCommand command, ASCab props);
ASCab commandGetCab(AVCommand command, const char* name, bool create);
void commandPutCab(AVCommand command, const char* name, ASCab cab);
PDDoc commandGetPDDoc(AVCommand command);
AVCommandStatus commandGetStatus(AVCommand command);
ASProgressMonitor commandGetProgressMonitor(AVCommand command, void** outClientData);
AVCommandReportProc commandGetReportProc(AVCommand command);
int32_t commandGetCursorPolicy(AVCommand command);
int32_t commandGetSequenceFile(AVCommand command, int32_t index, char* buffer, int32_t capacity);

AVCursor cursorGetCurrent();
void cursorSet(AVCursor cursor);
AVCursor cursorGetStandard(int32_t id);

}  // namespace qmhost::batchentries
