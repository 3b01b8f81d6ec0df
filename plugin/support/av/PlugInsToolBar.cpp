#include "support/av/PlugInsToolBar.h"

#include <cstdio>
#include <string>

#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/HostHandle.h"
#include "support/HostTables.h"

AVToolBarPosition MakePlugInsToolBarPosition() {
    AVToolBarPosition position{};
    position.size = sizeof(AVToolBarPosition);
    position.floating = 0;
    position.edge = 0;
    position.row = 0;
    position.offset = kAVToolBarAfterOthers;
    position.floatingOffset = kAVToolBarAfterOthers;
    position.floatingWidth = -1;
    position.hidden = 0;
    position.format = 1;
    return position;
}

AVToolBar AcquirePlugInsToolBar() {
    if (const AVToolBar found = gAppViewHFT->toolBarGetByName(kPlugInsToolBarName)) return found;
    const AVToolBar made = gAppViewHFT->toolBarNew(kPlugInsToolBarName, kPlugInsToolBarTitle);
    const AVToolBarPosition position = MakePlugInsToolBarPosition();
    gAppViewHFT->toolBarSetPosition(kPlugInsToolBarName, 0, &position);
    return made;
}

void AddPlugInsToolButton(AVToolButton inButton) {
    gAppViewHFT->toolBarAddButton(AcquirePlugInsToolBar(), inButton, false, nullptr);
}

void AddPlugInsToolSeparator() {
    const AVToolBar toolBar = AcquirePlugInsToolBar();
    const ASAtom name = MakeSeparatorName(toolBar);
    // Destroyed unless the toolbar takes it: otherwise the separator would be
    // left over on no toolbar.
    CHostToolButton separator(gAppViewHFT->toolButtonNew(name, nullptr, 0, true));
    gAppViewHFT->toolBarAddButton(toolBar, separator.Get(), false, nullptr);
    separator.Take();
}

ASAtom MakeSeparatorName(AVToolBar inToolBar) {
    char candidate[32];
    for (int n = 1; n <= kPlugInsToolBarSeparators; ++n) {
        std::snprintf(candidate, sizeof candidate, "%s%d", "Separator", n);
        const ASAtom atom = gCoreHFT->atomFromString(candidate);
        if (!gAppViewHFT->toolBarGetButtonByName(inToolBar, atom)) return atom;
    }
    // The family's toolbars use only these sixteen names: a full toolbar is a
    // failure for the caller, never a name outside the range.
    SetErrorMessage("Separator1 to Separator" + std::to_string(kPlugInsToolBarSeparators) +
                    " are all taken on the toolbar " + kPlugInsToolBarName + ".");
    ThrowErrorCode(kErrNoMemory);
}
