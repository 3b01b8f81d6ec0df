// The module Quillmark.api: the whole module library is linked in, and the
// version script keeps every symbol but PlugInMain local.
#include "module/PluginEntry.h"
