// `quillmark batch --profile NAME --out-dir DIR IN.pdf...`: runs the plug-in's
// batch command "StamperCmd" with the profile as a batch sequence over the
// files, in order, with the host's batch runner; Bates and batch page numbers
// go on from one file to the next. Each output is named after its input, in
// DIR (which may not hold an input). Alerts are silenced during the sequence;
// what the command reports for each file is printed on standard error, saved
// or not. The first Ctrl-C stops the batch after the file at hand, the second
// ends it at once (cli/Interrupt.h); a batch so cut short exits 130.
#pragma once

#include <string>
#include <vector>

#include "cli/CommandArguments.h"
#include "cli/GlobalOptions.h"

namespace qmcli {

// Prints each saved output's path on standard output; the exit status is
// non-zero when a file was not saved.
int RunBatchCommand(const GlobalOptions& options, const CommandArguments& arguments);

}  // namespace qmcli
