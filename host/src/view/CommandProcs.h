// The compute-enabled, compute-marked and execute procedures of a menu item or
// tool button, and running them at the host's boundary: nothing a plug-in's
// procedure throws gets past these functions.
#pragma once

#include <cstdint>
#include <string>

#include "qmhost/QMBase.h"

namespace qmhost {

struct CommandProc {
    ASCallback callback = nullptr;  // null: none
    void* clientData = nullptr;
};

struct CommandProcs {
    CommandProc enabled;
    CommandProc marked;
    CommandProc execute;

    // True when one of the three is a callback made for the extension.
    bool heldBy(ExtensionID extension) const;
};

// Raises kHostErrBadParameter for a non-null callback that the host did not make.
CommandProc checkedProc(ASCallback callback, void* clientData);

// Runs a compute-enabled procedure: none answers true; a callback of an
// unloaded extension or one that throws answers false.
bool computeEnabled(CommandProc proc);
// Runs a compute-marked procedure: none, a dead callback or a throw answer false.
bool computeMarked(CommandProc proc);

enum class ExecuteOutcome { Ran, NoProcedure, Failed };
// Runs an execute procedure; what it threw is described in *outMessage.
ExecuteOutcome execute(CommandProc proc, std::string* outMessage);

// A new number for a menu-bar, menu, item, toolbar or button handle; one
// sequence for all kinds, so a handle of one kind is never valid as another.
uintptr_t newViewObjectNumber();

}  // namespace qmhost
