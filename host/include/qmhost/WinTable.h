// "Win": the host's list of modeless windows. A plug-in registers each
// modeless window it shows, so that the host treats it as one of its own
// windows (keyboard input reaches it, showing it does not change the front
// document, the host closes it before the plug-in goes), and unregisters it
// before the window is destroyed.
#pragma once

#include "qmhost/QMBase.h"

struct WinTable {
    uint32_t size;  // sizeof(WinTable)

    // Adds the window (a QWidget* in this host; the host only keeps the value
    // and shows it through Qt) to the list; a window already listed stays listed
    // once. Null is ignored. Never raises.
    void (*registerModelessWindow)(void* window);
    // Takes the window off the list; nothing when it is not listed. Never raises.
    void (*unregisterModelessWindow)(void* window);
};
