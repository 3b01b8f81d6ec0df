#include "support/io/UserCancel.h"

#include "support/ErrorCode.h"
#include "support/HostTables.h"
#include "support/TableMembers.h"

namespace {
bool sUserCancelled = false;
MessagePump sMessagePump = nullptr;
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
    if (sMessagePump) sMessagePump();
}

void SetMessagePump(MessagePump inPump) { sMessagePump = inPump; }

void ThrowIfUserCancelled() {
    if (IsUserCancelled()) ThrowErrorCode(kErrUserCancelled);
}
