#include "view/CommandProcs.h"

#include <exception>

#include "core/ExceptionTrap.h"
#include "core/Callbacks.h"
#include "core/Raise.h"
#include "cos/Document.h"
#include "qmhost/AppViewTable.h"
#include "qmhost/HostError.h"

namespace qmhost {

bool CommandProcs::heldBy(ExtensionID extension) const {
    for (const CommandProc* proc : {&enabled, &marked, &execute})
        if (proc->callback && callbacks().extensionOf(proc->callback) == extension) return true;
    return false;
}

CommandProc checkedProc(ASCallback callback, void* clientData) {
    if (!callback) return {};
    if (!callbacks().procedure(callback)) raise(kHostErrBadParameter, "a callback the host did not make");
    return {callback, clientData};
}

bool computeEnabled(CommandProc proc) {
    if (!proc.callback) return true;
    auto run = callbacks().as<AVComputeEnabledProc>(proc.callback);
    if (!run) return false;
    // A plug-in's failure stays on its side of the boundary: the command is off.
    return trapped(false, [&] { return static_cast<bool>(run(proc.clientData)); });
}

bool computeMarked(CommandProc proc) {
    auto run = callbacks().as<AVComputeMarkedProc>(proc.callback);
    if (!run) return false;
    return trapped(false, [&] { return static_cast<bool>(run(proc.clientData)); });
}

ExecuteOutcome execute(CommandProc proc, std::string* outMessage) {
    auto run = callbacks().as<AVExecuteProc>(proc.callback);
    if (!run) return ExecuteOutcome::NoProcedure;
    // Commands may run inside commands (a dialog's button running a menu item):
    // only when the outermost has returned is no plug-in code holding handles.
    static int depth = 0;
    ++depth;
    const bool ran = trappedRun([&] { run(proc.clientData); }, outMessage);
    if (--depth == 0) releaseUnheldObjects();
    return ran ? ExecuteOutcome::Ran : ExecuteOutcome::Failed;
}

uintptr_t newViewObjectNumber() {
    static uintptr_t next = 0x1000;
    return next++;
}

}  // namespace qmhost
