#include "ui/StamperDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QPointer>
#include <QUrl>

#include "stamper/OpenFileSeam.h"
#include "stamper/StamperBatchCommand.h"
#include "stamper/StamperDialogSeams.h"
#include "support/Alerts.h"
#include "support/ResourceStrings.h"
#include "support/io/UserCancel.h"
#include "ui/CAboutBoxDlg.h"
#include "ui/CPreferencesDlg.h"
#include "ui/CProfilesDlg.h"
#include "ui/PluginDialogLanguage.h"
#include "ui/StampDesigners.h"

namespace ui {
namespace {

constexpr uint32_t kStrDialogNeedsDesktop = 1101;

// A GUI application, with or without widgets, has a desktop.
bool HasGuiApplication() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

// The events a click on Cancel may be waiting among, handled while a run goes.
void PumpEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// A dialog whose window is not built yet answers as a host without a display.
void NotBuiltYet(StamperDialog inDialog) {
    const std::string name = GetStamperDialogName(inDialog);
    AlertResString(kStrDialogNeedsDesktop, name.c_str());
}

void Run(StamperDialog inDialog) {
    switch (inDialog) {
        case StamperDialog::kStampManager:
            if (HasWidgetApplication())
                CProfilesDlg::Create();
            else
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

void CloseModelessManager() { delete CProfilesDlg::GetModeless(); }

void OpenWithDesktop(const std::string& inPath) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(inPath)));
}

}  // namespace

// Windows need a widget application; a host with a display but no widgets
// answers as one without a display.
bool HasWidgetApplication() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

bool ChooseBatchProfile(ASCab ioParams) {
    if (!HasWidgetApplication()) return false;
    // On the heap: a parent window that goes while the dialog runs takes the
    // dialog with it, and the guard then knows.
    QPointer<CProfilesDlg> dialog = new CProfilesDlg(QApplication::activeWindow(), CProfilesDlg::kModalTemplate);
    dialog->SetBatchCab(ioParams);
    const bool chosen = dialog->exec() == QDialog::Accepted;
    delete dialog.data();
    return chosen;
}

void InstallStamperDialogs() {
    SetStamperDialogRunner(Run);
    SetStampManagerCloser(CloseModelessManager);
    SetBatchDialogRunner(ChooseBatchProfile);
    SetStampDesigner(OpenDesignDialog);
    SetDesktopFileOpener(OpenWithDesktop);
    SetDesktopDisplayCheck(HasGuiApplication);
    SetMessagePump(PumpEvents);
}

void RemoveStamperDialogs() noexcept {
    SetStamperDialogRunner(StamperDialogRunner());
    CloseStampManager();
    SetStampManagerCloser(StampManagerCloser());
    SetBatchDialogRunner(BatchDialogRunner());
    SetStampDesigner(StampDesigner());
    SetDesktopFileOpener(OpenFileHandler());
    SetDesktopDisplayCheck(nullptr);
    SetMessagePump(nullptr);
    StopWatchingRaisedWindows();
}

}  // namespace ui
