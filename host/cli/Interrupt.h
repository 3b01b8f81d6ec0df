// Ctrl-C. Every command ends at a SIGINT (EndOnInterrupt): the temporary
// files of the saves under way are removed and the program ends as an
// interrupted one does (killed by SIGINT; a shell reports 130). A batch
// (WatchForInterrupt) instead asks its run to stop at the first SIGINT (the
// sequence finishes and saves the file at hand and runs no other); the second
// ends the program in the same way.
#pragma once

namespace qmcli {

// The status of a run that Ctrl-C stopped before its end.
inline constexpr int kExitInterrupted = 130;

// Installs the handler that ends the program at a SIGINT.
void EndOnInterrupt();
// Installs the handler that only asks the run to stop; InterruptRequested()
// is false until a SIGINT comes.
void WatchForInterrupt();
bool InterruptRequested();

}  // namespace qmcli
