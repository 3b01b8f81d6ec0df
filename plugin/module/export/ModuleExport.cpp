// The module Quillmark.api: the whole module library is linked in, and the
// version script keeps every symbol but PlugInMain local. In a process with
// widgets the start goes to the dialogs' companion (DialogsCompanion.h).
#include "module/PluginEntry.h"
#include "module/export/DialogsCompanion.h"

namespace {

// Made when the module is loaded, before the host calls PlugInMain.
[[maybe_unused]] const bool sHandOverInstalled = (SetPlugInStartHandOver(HandStartToDialogsCompanion), true);

}  // namespace
