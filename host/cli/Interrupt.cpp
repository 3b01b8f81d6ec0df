#include "cli/Interrupt.h"

#include <csignal>

namespace qmcli {
namespace {

volatile std::sig_atomic_t gInterrupted = 0;

void onInterrupt(int) {
    gInterrupted = 1;
    std::signal(SIGINT, SIG_DFL);  // a second Ctrl-C ends the program
}

}  // namespace

void WatchForInterrupt() {
    gInterrupted = 0;
    std::signal(SIGINT, onInterrupt);
}

bool InterruptRequested() { return gInterrupted != 0; }

}  // namespace qmcli
