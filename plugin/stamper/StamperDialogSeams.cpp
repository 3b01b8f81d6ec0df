#include "stamper/StamperDialogSeams.h"

#include <string>

#include "stamper/OpenFileSeam.h"
#include "support/Alerts.h"
#include "support/CallbackGuard.h"
#include "support/ResourceStrings.h"

CProfilesDlg* gProfilesDlg = nullptr;

namespace {

constexpr uint32_t kStrDialogNeedsDesktop = 1101;
constexpr uint32_t kStrStampManagerName = 1102;
constexpr uint32_t kStrPreferencesName = 1103;
constexpr uint32_t kStrAboutBoxName = 1104;

StamperDialogRunner& Runner() {
    static StamperDialogRunner runner;
    return runner;
}

std::string& Problem() {
    static std::string problem;
    return problem;
}

StampManagerCloser& Closer() {
    static StampManagerCloser closer;
    return closer;
}

uint32_t NameId(StamperDialog inDialog) {
    switch (inDialog) {
        case StamperDialog::kStampManager:
            return kStrStampManagerName;
        case StamperDialog::kPreferences:
            return kStrPreferencesName;
        case StamperDialog::kAboutBox:
            return kStrAboutBoxName;
    }
    return kStrStampManagerName;
}

}  // namespace

void SetStamperDialogRunner(StamperDialogRunner inRunner) { Runner() = std::move(inRunner); }

void SetStamperDialogsProblem(std::string inProblem) { Problem() = std::move(inProblem); }

void SetStampManagerCloser(StampManagerCloser inCloser) { Closer() = std::move(inCloser); }

void CloseStampManager() noexcept {
    if (!gProfilesDlg || !Closer()) return;
    // The window is the desktop's; the unload goes on.
    TrapRun([] { Closer()(); });
}

std::string GetStamperDialogName(StamperDialog inDialog) { return std::string(GetResString(NameId(inDialog))); }

void RunStamperDialog(StamperDialog inDialog) {
    const StamperDialogRunner& runner = Runner();
    if (runner && HasDesktopDisplay()) {
        runner(inDialog);
        return;
    }
    // The problem is set only where the dialogs could have been shown.
    if (!Problem().empty()) {
        ShowAlert(Problem().c_str());
        return;
    }
    // The name goes in as an argument: the alert's text is the format.
    const std::string name = GetStamperDialogName(inDialog);
    AlertResString(kStrDialogNeedsDesktop, name.c_str());
}
