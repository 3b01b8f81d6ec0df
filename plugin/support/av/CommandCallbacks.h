// The three host callbacks that every object of one command kind shares (menu
// items, toolbar buttons), with the object as client data. They are made once
// for each extension identifier (a new one after the plug-in was loaded again)
// and kept for the run.
#pragma once

#include "qmhost/QMBase.h"

struct CommandCallbacks {
    ExtensionID extension = nullptr;
    ASCallback enabled = nullptr;
    ASCallback marked = nullptr;
    ASCallback execute = nullptr;
};

// Makes the callbacks of the three procedures into ioShared unless it holds
// them for the current extension already. Throws kErrNoMemory, ioShared
// unchanged, when the host cannot make one.
void MakeCommandCallbacks(CommandCallbacks& ioShared, bool (*inEnabled)(void*), bool (*inMarked)(void*),
                          void (*inExecute)(void*));
