// The batch-command and cursor entries of the AppView table over the command
// model (BatchCommands.h) and the cursor record (Cursors.h).
#include "view/BatchTableEntries.h"

#include <string>
#include <vector>

#include "core/ExceptionTrap.h"
#include "core/Raise.h"
#include "pdmodel/PdfValues.h"
#include "view/BatchCommands.h"
#include "view/Cursors.h"

namespace qmhost::batchentries {
namespace {

std::string cabinetName(const char* name) {
    if (!name || !*name) raise(kHostErrBadParameter, "a command cabinet needs a name");
    return name;
}

// A procedure that threw is kept as the host's error: its text is what the
// caller of a raising entry will see.
void raiseOnFailure(const ProcOutcome& outcome, const char* what) {
    if (!outcome.failure.empty()) raise(kHostErrGeneric, std::string(what) + ": " + outcome.failure);
}

}  // namespace

bool registerCommandHandler(ASAtom name, const AVCommandHandlerRec* handler) {
    return guarded("registerCommandHandler", [&] { return batchCommands().registerHandler(name, handler); });
}

AVCommand commandNew(ASAtom name) {
    return guarded("commandNew", [&] { return batchCommands().newCommand(name); });
}

void commandDestroy(AVCommand command) {
    guarded("commandDestroy", [&] { batchCommands().destroyCommand(command); });
}

ASAtom commandGetName(AVCommand command) {
    return guarded("commandGetName", [&] { return batchCommands().command(command).name; });
}

void commandRegisterGlobal(AVCommand command) {
    guarded("commandRegisterGlobal", [&] { batchCommands().registerGlobal(command); });
}

AVCommand commandFindGlobal(ASAtom name) { return batchCommands().findGlobal(name); }

AVCommandStatus commandSetParams(AVCommand command, ASCab params) {
    return guarded("commandSetParams", [&] {
        const ProcOutcome outcome = batchCommands().setParams(command, params);
        return outcome.ran ? outcome.status : kAVCommandInError;
    });
}

void commandGetParams(AVCommand command, ASCab params) {
    guarded("commandGetParams", [&] {
        raiseOnFailure(batchCommands().getParams(command, params), "the command's get-parameters procedure failed");
    });
}

void commandGetProps(AVCommand command, ASCab props) {
    guarded("commandGetProps", [&] {
        raiseOnFailure(batchCommands().getProps(command, props), "the command's get-properties procedure failed");
    });
}

ASCab commandGetCab(AVCommand command, const char* name, bool create) {
    return guarded("commandGetCab", [&] { return batchCommands().getCab(command, cabinetName(name), create); });
}

void commandPutCab(AVCommand command, const char* name, ASCab cab) {
    guarded("commandPutCab", [&] { batchCommands().putCab(command, cabinetName(name), cab); });
}

PDDoc commandGetPDDoc(AVCommand command) {
    return guarded("commandGetPDDoc", [&] { return batchCommands().command(command).document; });
}

AVCommandStatus commandGetStatus(AVCommand command) {
    return guarded("commandGetStatus", [&] { return batchCommands().command(command).status; });
}

ASProgressMonitor commandGetProgressMonitor(AVCommand command, void** outClientData) {
    return guarded("commandGetProgressMonitor", [&] {
        if (outClientData) *outClientData = nullptr;
        const CommandRecord& record = batchCommands().command(command);
        if (outClientData) *outClientData = record.monitorData;
        return record.monitor;
    });
}

AVCommandReportProc commandGetReportProc(AVCommand command) {
    return trapped<AVCommandReportProc>(
        nullptr, [&] { return batchCommands().command(command).reports ? &reportToSink : nullptr; });
}

int32_t commandGetCursorPolicy(AVCommand command) {
    return guarded("commandGetCursorPolicy", [&] { return batchCommands().command(command).cursorPolicy; });
}

int32_t commandGetSequenceFile(AVCommand command, int32_t index, char* buffer, int32_t capacity) {
    return guarded("commandGetSequenceFile", [&] {
        const std::vector<std::string>& files = batchCommands().command(command).sequenceFiles;
        if (index < 0 || static_cast<size_t>(index) >= files.size()) return int32_t{-1};
        return copyUtf8Bounded(files[static_cast<size_t>(index)], buffer, capacity);
    });
}

AVCursor cursorGetCurrent() { return cursors().current(); }

void cursorSet(AVCursor cursor) {
    guarded("cursorSet", [&] { cursors().set(cursor); });
}

AVCursor cursorGetStandard(int32_t id) { return cursors().standard(id); }

}  // namespace qmhost::batchentries
