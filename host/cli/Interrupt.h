// Ctrl-C during a long run: the first SIGINT only asks the run to stop (a
// batch sequence cancels its command and ends after the current file's call);
// a second one ends the program as usual.
#pragma once

namespace qmcli {

// Installs the handler; InterruptRequested() is false until a SIGINT comes.
void WatchForInterrupt();
bool InterruptRequested();

}  // namespace qmcli
