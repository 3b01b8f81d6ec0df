// `quillmark --version`: loads the plug-in and prints its name and version
// (from its product-information table) and the host's version; `quillmark`
// alone loads the plug-in and says so.
#pragma once

#include "cli/GlobalOptions.h"

namespace qmcli {

int RunVersionCommand(const GlobalOptions& options, bool printVersion);

}  // namespace qmcli
