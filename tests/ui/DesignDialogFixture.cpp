#include "DesignDialogFixture.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "common/PluginFixture.h"
#include "ui/StampDesigners.h"

namespace uitest {

void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

void DesignDialogTest::SetUp() {
    qmtest::StartLinkedPlugin();
    qmtest::TakeAlerts();
    mFolder = qmtest::MakeTempFolder("qm-ui");
    mSeam = std::make_unique<ScriptedSeam>();
    mManager = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(mManager.get());
    mManagerButton = new QPushButton(QStringLiteral("manager"));
    layout->addWidget(mManagerButton);
}

void DesignDialogTest::TearDown() {
    if (CStampDlg* open = CStampDlg::GetOpenDesignDialog()) delete open;
    FlushDeletes();
    mManager.reset();
    mSeam.reset();
}

std::unique_ptr<CStamp> DesignDialogTest::NewStamp(int32_t inType) { return std::make_unique<CStamp>(inType); }

CStampDlg* DesignDialogTest::Open(CStamp& inStamp, bool inEditing) {
    mDone.reset();
    const bool opened =
        ui::OpenDesignDialog(mManager.get(), inStamp, inEditing, [this](bool inConfirmed) { mDone = inConfirmed; });
    EXPECT_TRUE(opened);
    mDialog = CStampDlg::GetOpenDesignDialog();
    return mDialog;
}

void DesignDialogTest::Choose(const char* inId, int inIndex) {
    QComboBox* combo = Control<QComboBox>(inId);
    if (!combo) return;
    combo->setCurrentIndex(inIndex);
    emit combo->activated(inIndex);
}

void DesignDialogTest::Press(const char* inId) {
    QAbstractButton* button = Control<QAbstractButton>(inId);
    if (!button) return;
    button->click();
    FlushDeletes();
    if (!CStampDlg::GetOpenDesignDialog()) mDialog = nullptr;
}

std::vector<std::string> DesignDialogTest::Alerts() { return qmtest::TakeAlerts(); }

}  // namespace uitest
