// The commands of `quillmark`, with their options and help, in the order the
// general usage lists them.
#pragma once

#include <vector>

#include "cli/CommandLine.h"

namespace qmcli {

const std::vector<CommandSpec>& QuillmarkCommands();

}  // namespace qmcli
