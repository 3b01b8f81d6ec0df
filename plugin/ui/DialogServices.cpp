#include "ui/DialogServices.h"

#include <QComboBox>
#include <QLabel>
#include <QWidget>
#include <cstring>

#include "qmhost/AppViewTable.h"
#include "qmhost/CoreTable.h"
#include "support/CallbackGuard.h"
#include "support/HostTables.h"
#include "support/TableMembers.h"
#include "ui/UiText.h"

namespace ui {

QLabel* ResLabel(uint32_t inText) { return new QLabel(ResText(inText)); }

void EnableChildWindows(QWidget* inWindow, bool inEnable) {
    if (!inWindow) return;
    for (QWidget* child : inWindow->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow()) continue;
        if (child->isEnabled() != inEnable) child->setEnabled(inEnable);
    }
}

bool ActionTypeEnumProc(ASAtom inType, const char* inUserName, void* inCombo) {
    // Nothing may leave into the host; a type that fails is simply not offered.
    TrapRun([&] {
        const char* name = gCoreHFT->atomGetString(inType);
        if (!name || std::strcmp(name, "Trans") == 0) return;
        QString label;
        if (std::strcmp(name, "GoTo") == 0)
            label = ResText(kStrGoToView);
        else if (std::strcmp(name, "GoToR") == 0)
            label = ResText(kStrGoToRemoteView);
        else
            label = QString::fromUtf8(inUserName ? inUserName : name);
        static_cast<QComboBox*>(inCombo)->addItem(label, QString::fromUtf8(name));
    });
    return true;
}

void FillActionTypes(QComboBox& inCombo) {
    inCombo.clear();
    inCombo.addItem(ResText(kStrNone));
    if (!TableHasMember(gAppViewHFT, &AppViewTable::enumActionHandlers)) return;
    // A host error ends the list where it got to.
    TrapRun([&] { gAppViewHFT->enumActionHandlers(ActionTypeEnumProc, &inCombo); });
}

}  // namespace ui
