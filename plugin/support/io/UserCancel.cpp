#include "support/io/UserCancel.h"

#include <QCoreApplication>

#include "support/ErrorCode.h"

namespace {
bool sUserCancelled = false;
}  // namespace

void SetUserCancelled(const bool& inCancelled) { sUserCancelled = inCancelled; }

bool IsUserCancelled() {
    PumpMessages();
    return sUserCancelled;
}

void PumpMessages() {
    // Pure unit tests and the command-line host have no event loop to serve.
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void ThrowIfUserCancelled() {
    if (IsUserCancelled()) ThrowErrorCode(kErrUserCancelled);
}
