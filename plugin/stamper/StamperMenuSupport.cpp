#include "stamper/StamperMenuSupport.h"

#include "support/CallbackGuard.h"
#include "support/ErrorMessage.h"
#include "support/ResourceStrings.h"

std::string MenuTitle(uint32_t inId) { return std::string(GetResString(inId)); }

void ReportMenuInstallFailure() noexcept {
    TrapRun([] { SetErrorMessage(LoadResString(kStrMenuInstallFailed)); });
}

void TakeOutOfMenu(CAVMenuItem& inItem) noexcept {
    if (!inItem.GetMenuItem()) return;
    // A host that refuses took the item away already.
    TrapRun([&] { inItem.Remove(); });
}
