#include "cli/Interrupt.h"

#include <csignal>

#include "support/FileReplacing.h"

namespace qmcli {
namespace {

volatile std::sig_atomic_t gInterrupted = 0;

// Leaves no partial output behind, then dies of the signal, so that whoever
// started the program sees it interrupted.
void endNow(int) {
    qmhost::removeTemporaryFilesNow();
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
}

void onInterrupt(int) {
    gInterrupted = 1;
    std::signal(SIGINT, endNow);  // a second Ctrl-C ends the program
}

}  // namespace

void EndOnInterrupt() { std::signal(SIGINT, endNow); }

void WatchForInterrupt() {
    gInterrupted = 0;
    std::signal(SIGINT, onInterrupt);
}

bool InterruptRequested() { return gInterrupted != 0; }

}  // namespace qmcli
