// The toolbar "VELM PDF/Pellora" that all plug-ins of the family share: the
// first one to load makes it, the others find it. Host failures of the toolbar
// operations leave as HostError for the caller's host frame.
#pragma once

#include "qmhost/AppViewTable.h"

constexpr const char* kPlugInsToolBarName = "VELM PDF/Pellora";
constexpr const char* kPlugInsToolBarTitle = "VELM PDF/Pellora Plug-ins";
// Separator buttons are named Separator1 .. Separator16.
constexpr int kPlugInsToolBarSeparators = 16;

// The position record given to the host when the toolbar is made: size 40,
// docked at the top edge in the first row after the others, floating place
// the host's, width as its buttons, shown, format 1.
AVToolBarPosition MakePlugInsToolBarPosition();

// The shared toolbar: found by name, or made (name and title above) and its
// position registered.
AVToolBar AcquirePlugInsToolBar();

// Adds the button to the shared toolbar after the buttons already there.
void AddPlugInsToolButton(AVToolButton inButton);

// Adds a separator button named by MakeSeparatorName after the buttons already
// there. When no name is free, throws as MakeSeparatorName and makes nothing.
void AddPlugInsToolSeparator();

// The atom of the first of Separator1 .. Separator16 that names no button on
// the toolbar. Throws kErrNoMemory (-108), with a message in the error buffer,
// when all sixteen are taken.
ASAtom MakeSeparatorName(AVToolBar inToolBar);
