#include "stamper/StamperMenuSupport.h"

#include "support/ErrorMessage.h"
#include "support/ResourceStrings.h"

std::string MenuTitle(uint32_t inId) { return std::string(GetResString(inId)); }

void ReportMenuInstallFailure() noexcept {
    try {
        SetErrorMessage(LoadResString(kStrMenuInstallFailed));
    } catch (...) {
    }
}

void TakeOutOfMenu(CAVMenuItem& inItem) noexcept {
    if (!inItem.GetMenuItem()) return;
    try {
        inItem.Remove();
    } catch (...) {
        // The host took the item away already.
    }
}
