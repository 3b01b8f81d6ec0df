#include "support/io/UserCancel.h"

#include <QCoreApplication>

#include "support/ErrorCode.h"
#include "support/HostTables.h"
#include "support/TableMembers.h"

namespace {
bool sUserCancelled = false;
}  // namespace

void SetUserCancelled(const bool& inCancelled) { sUserCancelled = inCancelled; }

bool IsUserCancelled() {
    PumpMessages();
    // A cancel asked of the host (Esc in the desktop viewer) counts as one made
    // here; the flag then stays set until the next run clears it.
    if (TableHasMember(gAppViewHFT, &AppViewTable::userWantsToCancel) && gAppViewHFT->userWantsToCancel())
        sUserCancelled = true;
    return sUserCancelled;
}

void PumpMessages() {
    // Pure unit tests and the command-line host have no event loop to serve.
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void ThrowIfUserCancelled() {
    if (IsUserCancelled()) ThrowErrorCode(kErrUserCancelled);
}
