// The go-to builders, the link-action dialogs and the design dialog's action
// set-up through the host's action handlers.
#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>

#include "DesignDialogFixture.h"
#include "common/PdfFixtures.h"
#include "common/PluginFixture.h"
#include "engine/CPDFDocument.h"
#include "qmhost/PDModelTable.h"
#include "stamper/ActionBookmark.h"
#include "stamper/GoToActions.h"
#include "stamper/StampKeys.h"
#include "support/HostTables.h"
#include "ui/CActionGoToDlg.h"
#include "ui/CActionGoToRemoteDlg.h"
#include "ui/DialogServices.h"

namespace uitest {
namespace {

ASAtom Atom(const char* inName) { return gCoreHFT->atomFromString(inName); }

// The "D" array of an action as text: "0 /XYZ null null null".
std::string DestText(CosObj inAction) {
    const CosObj dest = gCosHFT->dictGet(inAction, Atom("D"));
    std::string text;
    for (int32_t index = 0; index < gCosHFT->arrayLength(dest); ++index) {
        const CosObj item = gCosHFT->arrayGet(dest, index);
        if (!text.empty()) text += ' ';
        switch (gCosHFT->objGetType(item)) {
            case CosNull: text += "null"; break;
            case CosInteger: text += std::to_string(gCosHFT->integerValue(item)); break;
            case CosName: text += std::string("/") + gCoreHFT->atomGetString(gCosHFT->nameValue(item)); break;
            default: text += "f" + std::to_string(gCosHFT->fixedValue(item)); break;
        }
    }
    return text;
}

class ActionTest : public DesignDialogTest {
protected:
    void SetUp() override {
        DesignDialogTest::SetUp();
        ASSERT_TRUE(mDoc.CreateNew());
    }
    PDAction NewAction(const char* inType) { return gPDModelHFT->actionNew(mDoc.GetPDDoc(), Atom(inType)); }
    CPDFDocument mDoc;
};

TEST_F(ActionTest, GoToBuilderWritesEachView) {
    const ASFixed one = 65536;
    const struct {
        int view;
        double zoom;
        GoToRect rect;
        const char* dest;
    } rows[] = {
        {0, 150, {}, "2 /XYZ null null null"},
        {1, 150, {}, "2 /XYZ null null f98304"},
        {1, 150, {one, 2 * one, 3 * one, 4 * one}, "2 /XYZ f65536 f131072 f98304"},
        {2, 100, {one, 2 * one, 0, 0}, "2 /FitH f131072"},
        {3, 100, {one, 2 * one, 0, 0}, "2 /FitV f65536"},
        {4, 100, {}, "2 /Fit"},
        {5, 100, {}, "2 /FitB"},
        {6, 100, {}, "2 /FitR null null null null"},
        {6, 100, {one, 2 * one, 3 * one, 4 * one}, "2 /FitR f65536 f262144 f196608 f131072"},
        {7, 100, {0, one, 0, 0}, "2 /FitBH f65536"},
        {8, 100, {one, 0, 0, 0}, "2 /FitBV f65536"},
    };
    for (const auto& row : rows) {
        const PDAction action = NewAction("GoTo");
        gCosHFT->dictPut(action.cos, Atom("D"), gCosHFT->newInteger(gPDModelHFT->docGetCosDoc(mDoc.GetPDDoc()), false, 9));
        ASSERT_TRUE(BuildGoToAction(mDoc.GetPDDoc(), action.cos, 2, row.view, row.zoom, row.rect));
        EXPECT_EQ(DestText(action.cos), row.dest) << "view " << row.view;
    }
    EXPECT_EQ(GoToZoomFixed(1, 150), 98304);
    EXPECT_EQ(GoToZoomFixed(0, 150), kPDViewDestNullZoom);
}

TEST_F(ActionTest, ActionTypeListSkipsTransitions) {
    QComboBox combo;
    for (const char* type : {"GoTo", "Trans", "GoToR", "Launch"})
        EXPECT_TRUE(ui::ActionTypeEnumProc(Atom(type), "host name", &combo));
    ASSERT_EQ(combo.count(), 3);
    EXPECT_EQ(combo.itemText(0), QStringLiteral("跳至视图"));
    EXPECT_EQ(combo.itemText(1), QStringLiteral("跳至远程视图"));
    EXPECT_EQ(combo.itemText(2), QStringLiteral("host name"));
    EXPECT_EQ(combo.itemData(2).toString(), QStringLiteral("Launch"));
}

TEST_F(ActionTest, NewGoToOpensAtPageOneInheritingTheZoom) {
    CActionGoToDlg dialog;
    dialog.SetAction(NewAction("GoTo"));
    dialog.SetDocument(mDoc.GetPDDoc());
    dialog.OnInitDialog();
    auto* page = dialog.findChild<QSpinBox*>("1014");
    auto* view = dialog.findChild<QComboBox*>("1079");
    auto* zoom = dialog.findChild<QDoubleSpinBox*>("1080");
    ASSERT_TRUE(page && view && zoom);
    EXPECT_EQ(page->value(), 1);
    EXPECT_EQ(view->currentIndex(), 0);
    EXPECT_EQ(view->currentText(), QStringLiteral("继承缩放"));
    EXPECT_EQ(zoom->value(), 100.0);
    EXPECT_FALSE(zoom->isEnabled());
    for (int index = 0; index < view->count(); ++index) {
        view->setCurrentIndex(index);
        emit view->activated(index);
        EXPECT_EQ(zoom->isEnabled(), index == 1) << index;
    }
    EXPECT_EQ(dynamic_cast<CIntField&>(*page).Minimum(), 1);
    EXPECT_EQ(dynamic_cast<CIntField&>(*page).Maximum(), 1000000);
    EXPECT_EQ(dynamic_cast<CDoubleField&>(*zoom).Minimum(), 1.0);
    EXPECT_EQ(dynamic_cast<CDoubleField&>(*zoom).Maximum(), 6400.0);
    dialog.adjustSize();
    SaveScreenshot(&dialog, "dialog-goto");
}

TEST_F(ActionTest, GoToReadsAndRebuildsTheDestination) {
    const PDAction action = NewAction("GoTo");
    ASSERT_TRUE(BuildGoToAction(mDoc.GetPDDoc(), action.cos, 0, 1, 150, GoToRect()));
    CActionGoToDlg dialog;
    dialog.SetAction(action);
    dialog.SetDocument(mDoc.GetPDDoc());
    dialog.OnInitDialog();
    EXPECT_EQ(dialog.findChild<QDoubleSpinBox*>("1080")->value(), 150.0);
    EXPECT_EQ(dialog.findChild<QComboBox*>("1079")->currentIndex(), 1);
    EXPECT_TRUE(dialog.findChild<QDoubleSpinBox*>("1080")->isEnabled());
    dialog.findChild<QSpinBox*>("1014")->setValue(4);
    dialog.findChild<QComboBox*>("1079")->setCurrentIndex(4);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(DestText(action.cos), "3 /Fit");
}

TEST_F(ActionTest, ZoomOutOfRangeIsRefusedAsTypedAndTheActionKept) {
    const PDAction action = NewAction("GoTo");
    ASSERT_TRUE(BuildGoToAction(mDoc.GetPDDoc(), action.cos, 0, 1, 150, GoToRect()));
    const std::string before = DestText(action.cos);
    CActionGoToDlg dialog;
    dialog.SetAction(action);
    dialog.SetDocument(mDoc.GetPDDoc());
    dialog.OnInitDialog();
    auto* zoom = dialog.findChild<QDoubleSpinBox*>("1080");
    zoom->selectAll();
    QTest::keyClick(zoom, Qt::Key_Backspace);
    QTest::keyClicks(zoom, QStringLiteral("7000"));
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Alerts(), std::vector<std::string>{"请输入 1 到 6400 之间的数字。"});
    EXPECT_EQ(zoom->text(), QStringLiteral("7000"));
    EXPECT_EQ(DestText(action.cos), before);
}

TEST_F(ActionTest, GoToRemoteTakesAnExistingPDFOnly) {
    const std::string folder = qmtest::MakeTempFolder("qm-goto");
    const std::string target = folder + "/target.pdf";
    qmtest::writeSimplePdf(target, 2);
    qmtest::writeNonPdf(folder + "/notes.pdf");
    const PDAction action = NewAction("GoToR");
    CActionGoToRemoteDlg dialog;
    dialog.SetAction(action);
    dialog.SetDocument(mDoc.GetPDDoc());
    dialog.OnInitDialog();
    auto* name = dialog.findChild<QLineEdit*>("1014");
    ASSERT_TRUE(name && dialog.findChild<QSpinBox*>("1015"));
    EXPECT_EQ(dynamic_cast<CDoubleField&>(*dialog.findChild<QDoubleSpinBox*>("1080")).Minimum(), 0.0);
    dialog.adjustSize();
    SaveScreenshot(&dialog, "dialog-goto-remote");
    const struct {
        std::string typed;
        std::string alert;
    } refused[] = {{folder + "/missing.pdf", "文件 " + folder + "/missing.pdf 不存在"},
                   {folder + "/notes.pdf", folder + "/notes.pdf 不是 PDF 文件"},
                   {"", "文件  不存在"}};
    for (const auto& row : refused) {
        name->setText(QString::fromStdString(row.typed));
        dialog.accept();
        EXPECT_EQ(Alerts(), std::vector<std::string>{row.alert});
        EXPECT_FALSE(gCosHFT->dictKnown(action.cos, Atom("F"))) << row.typed;
    }
    // The browse fills the name; a relative name is taken from the current folder.
    mSeam->files.push_back(QString::fromStdString(target));
    dialog.findChild<QAbstractButton*>("1083")->click();
    EXPECT_EQ(name->text().toStdString(), target);
    ASSERT_EQ(mSeam->fileRequests.size(), 1u);
    EXPECT_EQ(mSeam->fileRequests[0].filter, QStringLiteral("PDF files (*.pdf)"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(folder));
    name->setText(QStringLiteral("target.pdf"));
    dialog.findChild<QSpinBox*>("1015")->setValue(2);
    dialog.accept();
    QDir::setCurrent(previous);
    EXPECT_TRUE(Alerts().empty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(DestText(action.cos), "1 /XYZ null null null");
    // Read back, the file is the full path.
    CActionGoToRemoteDlg again;
    again.SetAction(action);
    again.SetDocument(mDoc.GetPDDoc());
    again.OnInitDialog();
    EXPECT_EQ(again.findChild<QLineEdit*>("1014")->text().toStdString(), target);
    EXPECT_EQ(again.findChild<QSpinBox*>("1015")->value(), 2);
}

// The stamp's action through the design dialog: a go-to made, a go-to-remote
// cancelled (the go-to stays, and so does the combo), then removed.
TEST_F(ActionTest, CancelledActionDialogKeepsTheOldAction) {
    auto stamp = NewStamp(kStampTypeText);
    ASSERT_TRUE(Open(*stamp));
    QComboBox* combo = Control<QComboBox>("1038");
    AnswerNextModal([](QWidget* inModal) {
        inModal->findChild<QSpinBox*>("1014")->setValue(3);
        static_cast<QDialog*>(inModal)->accept();
    });
    Choose("1038", 1);
    ASSERT_EQ(combo->currentIndex(), 1);
    PDAction action = mDialog->GetAction();
    ASSERT_TRUE(gPDModelHFT->actionIsValid(action));
    EXPECT_EQ(DestText(action.cos), "2 /XYZ null null null");

    AnswerNextModal([](QWidget* inModal) { static_cast<QDialog*>(inModal)->reject(); });
    Choose("1038", 2);
    EXPECT_EQ(combo->currentIndex(), 1);
    action = mDialog->GetAction();
    EXPECT_STREQ(gCoreHFT->atomGetString(gPDModelHFT->actionGetSubtype(action)), "GoTo");
    EXPECT_EQ(DestText(action.cos), "2 /XYZ null null null");
    PDAction bookmarked = FirstBookmarkAction(mDialog->GetActionDocument());
    EXPECT_TRUE(gCosHFT->objEqual(bookmarked.cos, action.cos));

    // Editing the same type again starts from the kept destination.
    AnswerNextModal([](QWidget* inModal) {
        EXPECT_EQ(inModal->findChild<QSpinBox*>("1014")->value(), 3);
        static_cast<QDialog*>(inModal)->reject();
    });
    Choose("1038", 1);
    EXPECT_EQ(DestText(mDialog->GetAction().cos), "2 /XYZ null null null");

    Choose("1038", 0);
    EXPECT_EQ(gCosHFT->objGetType(mDialog->GetAction().cos), CosNull);
    EXPECT_EQ(gCosHFT->objGetType(FirstBookmarkAction(mDialog->GetActionDocument()).cos), CosNull);
}

TEST_F(ActionTest, ActionIsStoredAndShownAgain) {
    auto stamp = NewStamp(kStampTypeText);
    ASSERT_TRUE(Open(*stamp));
    Control<QLineEdit>("1014")->setText(QStringLiteral("link"));
    Control<QPlainTextEdit>("1069")->setPlainText(QStringLiteral("x"));
    AnswerNextModal([](QWidget* inModal) {
        inModal->findChild<QLineEdit*>("uri")->setText(QStringLiteral("https://quillmark.org/a"));
        SaveScreenshot(inModal, "dialog-uri-action");
        static_cast<QDialog*>(inModal)->accept();
    });
    Choose("1038", 4);
    EXPECT_EQ(Control<QComboBox>("1038")->currentIndex(), 4);
    Press("1");
    ASSERT_EQ(mDone, std::optional<bool>(true));

    ASSERT_TRUE(Open(*stamp, true));
    EXPECT_EQ(Control<QComboBox>("1038")->currentIndex(), 4);
    const CosObj uri = gCosHFT->dictGet(mDialog->GetAction().cos, Atom("URI"));
    int32_t length = 0;
    const char* bytes = gCosHFT->stringValue(uri, &length);
    EXPECT_EQ(std::string(bytes, static_cast<size_t>(length)), "https://quillmark.org/a");
    // A cancelled web-link dialog keeps it.
    AnswerNextModal([](QWidget* inModal) { static_cast<QDialog*>(inModal)->reject(); });
    Choose("1038", 3);
    EXPECT_EQ(Control<QComboBox>("1038")->currentIndex(), 4);
    Press("2");
}

TEST_F(ActionTest, LaunchActionNamesTheChosenFile) {
    auto stamp = NewStamp(kStampTypeText);
    ASSERT_TRUE(Open(*stamp));
    AnswerNextModal([](QWidget* inModal) {
        auto* file = inModal->findChild<QLineEdit*>("launchFile");
        ASSERT_TRUE(file);
        // An empty name cannot be confirmed.
        EXPECT_FALSE(inModal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled());
        file->setText(QStringLiteral("/srv/files/terms.pdf"));
        static_cast<QDialog*>(inModal)->accept();
    });
    Choose("1038", 3);
    EXPECT_EQ(Control<QComboBox>("1038")->currentIndex(), 3);
    const PDFileSpec spec{gCosHFT->dictGet(mDialog->GetAction().cos, Atom("F"))};
    ASSERT_TRUE(gPDModelHFT->fileSpecIsValid(spec));
    char text[256] = {};
    gPDModelHFT->fileSpecGetText(spec, text, sizeof text);
    EXPECT_STREQ(text, "/srv/files/terms.pdf");
    EXPECT_STREQ(gCoreHFT->atomGetString(gPDModelHFT->actionGetSubtype(mDialog->GetAction())), "Launch");
}

}  // namespace
}  // namespace uitest
