// The entry of every test program: a headless Qt platform, the leak
// suppressions, the host's tables registered (each program is one session) and
// the plug-in's dialogs linked in with it, then GoogleTest.
#include <gtest/gtest.h>

#include <cstdlib>

#include "HostTables.h"
#include "module/PluginLifeCycle.h"
#include "ui/StamperDialogs.h"

// fontconfig keeps its configuration for the life of the process when poppler
// loads it to find a font for drawing; it is never freed, by design.
// libdbus (reached by Qt on an X server) keeps a connection buffer likewise.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qmhost::registerHostTables();
    SetPlugInDialogs(ui::InstallStamperDialogs, ui::RemoveStamperDialogs);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
