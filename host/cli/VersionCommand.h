// `quillmark --version`: loads the plug-in and prints its name and version
// (from its product-information table) and the host's version.
#pragma once

#include "cli/GlobalOptions.h"

namespace qmcli {

int RunVersionCommand(const GlobalOptions& options);

}  // namespace qmcli
