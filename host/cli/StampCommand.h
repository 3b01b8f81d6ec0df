// `quillmark stamp --profile NAME IN.pdf -o OUT.pdf`: opens IN as the active
// view, runs the profile's item of the plug-in's Stamp submenu as a user's
// click would, and saves the active document (the new one when the plug-in's
// preference 'WTNF' is on) to OUT. IN is never written: OUT == IN is refused.
#pragma once

#include <string>
#include <vector>

#include "cli/CommandArguments.h"
#include "cli/GlobalOptions.h"

namespace qmcli {

// Answers the exit status; failures are described on standard error (the
// plug-in's alerts of a failed run with them).
int RunStampCommand(const GlobalOptions& options, const CommandArguments& arguments);

}  // namespace qmcli
