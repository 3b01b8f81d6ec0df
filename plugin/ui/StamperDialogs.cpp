#include "ui/StamperDialogs.h"

#include <QApplication>

#include "stamper/StamperDialogSeams.h"
#include "support/Alerts.h"
#include "support/ResourceStrings.h"
#include "ui/CAboutBoxDlg.h"
#include "ui/CPreferencesDlg.h"

namespace ui {
namespace {

constexpr uint32_t kStrDialogNeedsDesktop = 1101;

// A dialog whose window is not built yet answers as a host without a display.
void NotBuiltYet(StamperDialog inDialog) {
    const std::string name = GetStamperDialogName(inDialog);
    AlertResString(kStrDialogNeedsDesktop, name.c_str());
}

void Run(StamperDialog inDialog) {
    switch (inDialog) {
        case StamperDialog::kStampManager:
            NotBuiltYet(inDialog);
            return;
        case StamperDialog::kPreferences:
            RunPreferencesDialog(QApplication::activeWindow());
            return;
        case StamperDialog::kAboutBox:
            RunAboutBox(QApplication::activeWindow());
            return;
    }
}

}  // namespace

void InstallStamperDialogs() { SetStamperDialogRunner(Run); }

void RemoveStamperDialogs() noexcept {
    SetStamperDialogRunner(StamperDialogRunner());
    CloseStampManager();
}

}  // namespace ui
