// `quillmark profile list | show NAME | import FILE.json [--name NAME] |
// export NAME [-o FILE.json] | delete NAME`: the plug-in's profiles as JSON
// documents (ProfileJson.h), kept as .nxp files in <plug-ins folder>/Profiles.
#pragma once

#include <string>
#include <vector>

#include "cli/CommandArguments.h"
#include "cli/GlobalOptions.h"

namespace qmcli {

int RunProfileCommand(const GlobalOptions& options, const CommandArguments& arguments);

}  // namespace qmcli
