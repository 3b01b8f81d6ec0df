// `quillmark log show | clear`: the plug-in's log "Quillmark.txt" beside its
// module (written while the setting EnLo is on). show prints it; clear deletes
// it (the next entry starts a new log with its header).
#pragma once

#include <string>
#include <vector>

#include "cli/GlobalOptions.h"

namespace qmcli {

int RunLogCommand(const GlobalOptions& options, const std::vector<std::string>& args);

}  // namespace qmcli
