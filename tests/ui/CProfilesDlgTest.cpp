// The stamp manager driven through its controls on the offscreen platform:
// the tree filled from the Profiles folder, new profiles and pasted stamps
// named, delete, move, rename, cut/copy/paste, import/export, the preview,
// the enabling rules, stamp now with its cancel, and the modal batch use.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "ManagerFixture.h"
#include "common/PluginFixture.h"
#include "engine/CPDFDocument.h"
#include "stamper/CStamp.h"
#include "stamper/CStampClipboard.h"
#include "stamper/CStamperPreferences.h"
#include "stamper/StampKeys.h"
#include "stamper/StampRunCounters.h"
#include "stamper/StamperDialogSeams.h"
#include "support/HostTables.h"
#include "ui/CMultiTree.h"
#include "ui/CPreviewViewWnd.h"
#include "ui/CProfilesDlg.h"
#include "ui/StampDesigner.h"
#include "ui/StamperDialogs.h"
#include "view/Views.h"

namespace {

using uitest::ManagerTest;

const QString kNewProfile = QString::fromUtf8("新建描述文件");

class ProfilesDlgTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        WriteProfile("A", {{"s1", "FIRST"}, {"s2", "SECOND"}, {"s3", "THIRD"}});
        WriteProfile("B", {{"t1", "OTHER"}});
        if (gStampClipboard) gStampClipboard->Clear();
    }
};

TEST_F(ProfilesDlgTest, TreeShowsEveryProfileAndTellsWhichFileCouldNotBeRead) {
    qmtest::writeBytes(ProfilePath("Broken"), "not a cabinet at all");
    const std::string brokenBefore = qmtest::readBytes(ProfilePath("Broken"));
    CProfilesDlg& manager = OpenManager();
    EXPECT_EQ(TreeText(), "A[s1,s2,s3] B[t1]");
    ASSERT_EQ(mSeam.messages.size(), 1);
    EXPECT_TRUE(mSeam.messages[0].contains("Broken.nxp")) << mSeam.messages[0].toStdString();
    EXPECT_EQ(manager.GetTree()->GetSelectedCount(), 0);
    EXPECT_EQ(manager.windowTitle(), QString::fromUtf8("Quillmark 3.0 汉化版"));
    manager.close();
    QApplication::processEvents();
    EXPECT_EQ(qmtest::readBytes(ProfilePath("Broken")), brokenBefore) << "closing never writes over it";
}

TEST_F(ProfilesDlgTest, NewProfilesTakeTheFirstFreeNameAndNeverOverwriteAFile) {
    // A file of the first name that the tree does not show (it cannot be read).
    qmtest::writeBytes(ProfilePath(kNewProfile.toStdString()), "someone else's file");
    OpenManager();
    mSeam.messages.clear();
    Click("1002");
    Click("1002");
    EXPECT_EQ(TreeText(),
              "A[s1,s2,s3] B[t1] " + kNewProfile.toStdString() + "1[] " + kNewProfile.toStdString() + "2[]");
    EXPECT_EQ(qmtest::readBytes(ProfilePath(kNewProfile.toStdString())), "someone else's file");
    EXPECT_EQ(StampNamesInFile(ProfilePath(kNewProfile.toStdString() + "1")), std::vector<std::string>{});
    EXPECT_EQ(mManager->GetSelectedItem()->text(0), kNewProfile + "2");
}

TEST_F(ProfilesDlgTest, TwoNewProfilesInARowAreNamedPlainThenOne) {
    OpenManager();
    Click("1002");
    Click("1002");
    EXPECT_EQ(TreeText(), "A[s1,s2,s3] B[t1] " + kNewProfile.toStdString() + "[] " + kNewProfile.toStdString() + "1[]");
}

TEST_F(ProfilesDlgTest, DeletingAStampAndItsProfileAsksOnceAndRemovesTheFile) {
    OpenManager();
    Select({"A/s2", "A"});
    mSeam.answers = {QMessageBox::Yes};
    Click("1005");
    ASSERT_EQ(mSeam.messages.size(), 1);
    EXPECT_EQ(mSeam.messages[0], QString::fromUtf8("确信要删除全部的被选印章?"));
    EXPECT_EQ(TreeText(), "B[t1]");
    EXPECT_FALSE(qmtest::fileExists(ProfilePath("A")));
    EXPECT_EQ(StampNamesInFile(ProfilePath("B")), std::vector<std::string>{"t1"});
}

struct DeleteRow {
    const char* name;
    std::vector<std::string> select;
    QMessageBox::StandardButton answer;
    const char* question;
    const char* tree;
    std::vector<std::string> fileA;
};

TEST_F(ProfilesDlgTest, DeleteAsksByWhatIsSelected) {
    const std::vector<DeleteRow> rows = {
        {"one stamp, answered No",
         {"A/s1"},
         QMessageBox::No,
         "确信要删除本印章?",
         "A[s1,s2,s3] B[t1]",
         {"s1", "s2", "s3"}},
        {"one stamp, answered Yes", {"A/s1"}, QMessageBox::Yes, "确信要删除本印章?", "A[s2,s3] B[t1]", {"s2", "s3"}},
        {"two stamps", {"A/s2", "A/s3"}, QMessageBox::Yes, "确信要删除全部的被选印章?", "A[s1] B[t1]", {"s1"}},
        {"one profile", {"B"}, QMessageBox::Yes, "确信要删除本描述文件及其印章?", "A[s1,s2,s3]", {"s1", "s2", "s3"}},
    };
    for (const DeleteRow& row : rows) {
        SCOPED_TRACE(row.name);
        WriteProfile("A", {{"s1", "FIRST"}, {"s2", "SECOND"}, {"s3", "THIRD"}});
        WriteProfile("B", {{"t1", "OTHER"}});
        delete CProfilesDlg::GetModeless();
        OpenManager();
        mSeam.messages.clear();
        Select(row.select);
        mSeam.answers = {row.answer};
        Click("1005");
        ASSERT_EQ(mSeam.messages.size(), 1);
        EXPECT_EQ(mSeam.messages[0], QString::fromUtf8(row.question));
        EXPECT_EQ(TreeText(), row.tree);
        EXPECT_EQ(StampNamesInFile(ProfilePath("A")), row.fileA);
    }
}

TEST_F(ProfilesDlgTest, MovingTheFirstStampUpDoesNothingTheSecondBecomesFirst) {
    OpenManager();
    Select({"A/s1"});
    Click("1006");
    EXPECT_EQ(TreeText(), "A[s1,s2,s3] B[t1]");
    Select({"A/s2"});
    Click("1006");
    EXPECT_EQ(TreeText(), "A[s2,s1,s3] B[t1]");
    EXPECT_EQ(StampNamesInFile(ProfilePath("A")), (std::vector<std::string>{"s2", "s1", "s3"}));
    Click("1007");
    Click("1007");
    EXPECT_EQ(StampNamesInFile(ProfilePath("A")), (std::vector<std::string>{"s1", "s3", "s2"}));
    EXPECT_EQ(mManager->GetSelectedItem()->text(0), "s2") << "the moved stamp stays selected";
}

TEST_F(ProfilesDlgTest, PastingACopiedStampTwiceNamesTheCopiesApart) {
    OpenManager();
    Select({"A/s1"});
    mManager->RunCommand(CProfilesDlg::kCmdCopyStamp);
    mManager->RunCommand(CProfilesDlg::kCmdPasteStamp);
    Select({"A/s3"});
    mManager->RunCommand(CProfilesDlg::kCmdPasteStamp);
    EXPECT_EQ(TreeText(), "A[s1,s2,s3,Copy of s1,Copy of s11] B[t1]");
    EXPECT_EQ(StampNamesInFile(ProfilePath("A")),
              (std::vector<std::string>{"s1", "s2", "s3", "Copy of s1", "Copy of s11"}));
    Select({"B"});
    mManager->RunCommand(CProfilesDlg::kCmdPasteProfile);
    EXPECT_EQ(StampNamesInFile(ProfilePath("B")), (std::vector<std::string>{"t1", "Copy of s1"}));
}

TEST_F(ProfilesDlgTest, CutStampsMoveToAnotherProfile) {
    OpenManager();
    Select({"A/s1", "A/s3"});
    mManager->RunCommand(CProfilesDlg::kCmdCutStamp);
    EXPECT_TRUE(mSeam.messages.isEmpty()) << "a cut asks nothing";
    Select({"B/t1"});
    mManager->RunCommand(CProfilesDlg::kCmdPasteStamp);
    EXPECT_EQ(TreeText(), "A[s2] B[t1,Copy of s1,Copy of s3]");
    EXPECT_EQ(StampNamesInFile(ProfilePath("A")), std::vector<std::string>{"s2"});
}

TEST_F(ProfilesDlgTest, CutProfilePastesBackUnderItsOwnNameACopyGetsAPrefix) {
    OpenManager();
    Select({"A"});
    mManager->RunCommand(CProfilesDlg::kCmdCutProfile);
    EXPECT_EQ(TreeText(), "B[t1]");
    EXPECT_FALSE(qmtest::fileExists(ProfilePath("A")));
    Select({"B"});
    mManager->RunCommand(CProfilesDlg::kCmdPasteProfile);
    EXPECT_EQ(TreeText(), "B[t1] A[s1,s2,s3]");
    EXPECT_EQ(StampNamesInFile(ProfilePath("A")), (std::vector<std::string>{"s1", "s2", "s3"}));
    mManager->RunCommand(CProfilesDlg::kCmdPasteProfile);
    EXPECT_EQ(TreeText(), "B[t1] A[s1,s2,s3] Copy of A[s1,s2,s3]");
    EXPECT_EQ(qmtest::readBytes(ProfilePath("A")).find("kClipboardProfilePath"), std::string::npos)
        << "the clipboard's own key stays out of the profile";
}

struct RenameRow {
    const char* name;
    const char* item;
    std::string text;
    bool accepted;
    const char* tree;
};

TEST_F(ProfilesDlgTest, RenamesThatWouldLoseOrClashAreRefusedWithAMessage) {
    const std::vector<RenameRow> rows = {
        {"a slash", "A", "x/y", false, "A[s1,s2,s3] B[t1]"},
        {"dot dot", "A", "..", false, "A[s1,s2,s3] B[t1]"},
        {"empty", "A", "", false, "A[s1,s2,s3] B[t1]"},
        {"256 characters", "A", std::string(256, 'n'), false, "A[s1,s2,s3] B[t1]"},
        {"another profile in other letter case", "A", "b", false, "A[s1,s2,s3] B[t1]"},
        {"a sibling stamp's name", "A/s1", "S2", false, "A[s1,s2,s3] B[t1]"},
        {"the stamp's own name in other case", "A/s1", "S1", false, "A[s1,s2,s3] B[t1]"},
        {"a stamp with a slash", "A/s1", "a/b", false, "A[s1,s2,s3] B[t1]"},
        {"a good stamp name", "A/s1", "Bates", true, "A[Bates,s2,s3] B[t1]"},
        {"a good profile name", "A", "Court", true, "Court[Bates,s2,s3] B[t1]"},
    };
    OpenManager();
    for (const RenameRow& row : rows) {
        SCOPED_TRACE(row.name);
        mSeam.messages.clear();
        const std::vector<std::string> filesBefore = ProfileFiles();
        Rename(row.item, row.text);
        EXPECT_EQ(TreeText(), row.tree);
        EXPECT_EQ(mSeam.messages.isEmpty(), row.accepted) << mSeam.messages.join("|").toStdString();
        if (!row.accepted) {
            EXPECT_EQ(ProfileFiles(), filesBefore) << "no file moved";
        }
    }
    EXPECT_EQ(ProfileFiles(), (std::vector<std::string>{"B.nxp", "Court.nxp"}));
    EXPECT_EQ(StampNamesInFile(ProfilePath("Court")), (std::vector<std::string>{"Bates", "s2", "s3"}));
}

TEST_F(ProfilesDlgTest, RenameChosenFromThePopupMenuKeepsItsEditorOpen) {
    OpenManager();
    CMultiTree* tree = mManager->GetTree();
    const QRect rect = tree->visualItemRect(Item("B"));
    QTest::mouseClick(tree->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(rect.left() + 4, rect.center().y()));
    QMenu* menu = mManager->GetProfileMenu();
    ASSERT_TRUE(menu->isVisible());
    QAction* rename = menu->findChild<QAction*>(QString::number(CProfilesDlg::kCmdRenameProfile));
    ASSERT_NE(rename, nullptr);
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(rename).center());
    // The window is activated anew once the menu has gone.
    QTest::qWait(50);
    auto* editor = tree->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->isVisible()) << "the editor outlives the menu's closing";
    editor->setText("Court");
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(TreeText(), "A[s1,s2,s3] Court[t1]");
    EXPECT_EQ(ProfileFiles(), (std::vector<std::string>{"A.nxp", "Court.nxp"}));
}

TEST_F(ProfilesDlgTest, EscWhileALabelIsEditedEndsTheEditingOnly) {
    OpenManager();
    QPointer<CProfilesDlg> manager(mManager);
    CMultiTree* tree = mManager->GetTree();
    // Wherever the key lands: in the editor, in the tree behind it, in the window.
    const struct {
        const char* name;
        std::function<QWidget*(QLineEdit*)> target;
    } rows[] = {
        {"the editor", [](QLineEdit* editor) -> QWidget* { return editor; }},
        {"the tree", [tree](QLineEdit*) -> QWidget* { return tree; }},
        {"the manager", [this](QLineEdit*) -> QWidget* { return mManager; }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Select({"B"});
        mManager->RunCommand(CProfilesDlg::kCmdRenameProfile);
        QLineEdit* editor = nullptr;
        for (QLineEdit* each : tree->viewport()->findChildren<QLineEdit*>())
            if (each->isVisible()) editor = each;
        ASSERT_NE(editor, nullptr);
        editor->setText("Court");
        QTest::keyClick(row.target(editor), Qt::Key_Escape);
        QApplication::processEvents();
        ASSERT_TRUE(manager && manager->isVisible()) << "the manager stays open";
        EXPECT_FALSE(editor->isVisible()) << "the editing is over";
        EXPECT_EQ(TreeText(), "A[s1,s2,s3] B[t1]") << "the typed name is not taken";
        EXPECT_EQ(ProfileFiles(), (std::vector<std::string>{"A.nxp", "B.nxp"}));
    }
    // With no label edited, Esc closes the manager.
    QTest::keyClick(tree, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(!manager || !manager->isVisible());
}

TEST_F(ProfilesDlgTest, LabelsAreNeverEditedOutsideTheRenameCommands) {
    OpenManager();
    Select({"B"});
    QTest::keyClick(mManager->GetTree(), Qt::Key_F2);
    QTest::mouseDClick(mManager->GetTree()->viewport(), Qt::LeftButton, Qt::NoModifier,
                       mManager->GetTree()->visualItemRect(Item("B")).center());
    EXPECT_EQ(mManager->GetTree()->viewport()->findChild<QLineEdit*>(), nullptr)
        << "an editor would rename without the checks";
}

TEST_F(ProfilesDlgTest, ImportRefusesANonProfileAndNamesAClashingImportApart) {
    OpenManager();
    const std::string notProfile = mFolder.file("notes.nxp");
    qmtest::writeBytes(notProfile, "%PDF-1.4 this is no profile");
    mSeam.files = {QString::fromStdString(notProfile)};
    Click("1008");
    ASSERT_EQ(mSeam.fileRequests.size(), 1u);
    EXPECT_EQ(mSeam.fileRequests[0].title, QString::fromUtf8("导入描述文件"));
    EXPECT_EQ(mSeam.fileRequests[0].okText, QString::fromUtf8("打开描述文件"));
    EXPECT_FALSE(mSeam.fileRequests[0].save);
    ASSERT_EQ(mSeam.messages.size(), 1);
    EXPECT_TRUE(mSeam.messages[0].contains("notes.nxp"));
    EXPECT_EQ(ProfileFiles(), (std::vector<std::string>{"A.nxp", "B.nxp"})) << "nothing copied";

    // A real profile whose name is taken comes in as "Import of".
    const std::filesystem::path outside = mFolder.file("a.nxp");
    std::filesystem::copy_file(ProfilePath("B"), outside);
    mSeam.files = {QString::fromStdString(outside.string())};
    Click("1008");
    EXPECT_EQ(TreeText(), "A[s1,s2,s3] B[t1] Import of a[t1]");
    EXPECT_EQ(StampNamesInFile(ProfilePath("A")), (std::vector<std::string>{"s1", "s2", "s3"}));
}

TEST_F(ProfilesDlgTest, ExportCopiesTheSavedProfileWhereTheUserSays) {
    OpenManager();
    Select({"A/s1"});
    EXPECT_FALSE(Enabled("1009")) << "a stamp cannot be exported";
    Select({"A"});
    const std::string target = mFolder.file("exported.nxp");
    mSeam.files = {QString::fromStdString(target)};
    Click("1009");
    ASSERT_EQ(mSeam.fileRequests.size(), 1u);
    EXPECT_TRUE(mSeam.fileRequests[0].save);
    EXPECT_EQ(mSeam.fileRequests[0].filter, QString::fromUtf8("Quillmark 描述文件(*.nxp)"));
    EXPECT_EQ(StampNamesInFile(target), (std::vector<std::string>{"s1", "s2", "s3"}));
}

struct EnableRow {
    const char* name;
    std::vector<std::string> select;
    bool clipStamps;
    std::set<int> enabled;          // of the profile and stamp menus' commands
    std::set<std::string> buttons;  // of 1003..1007, 1009 and 1
};

TEST_F(ProfilesDlgTest, PopupCommandsAndButtonsFollowTheSelection) {
    const AVDoc view = OpenDocument("doc.pdf", 2);
    ASSERT_NE(view, nullptr);
    OpenManager();
    using C = CProfilesDlg;
    const std::vector<EnableRow> rows = {
        {"nothing", {}, false, {}, {}},
        {"one profile",
         {"A"},
         false,
         {C::kCmdNewText, C::kCmdNewImage, C::kCmdNewPDF, C::kCmdRenameProfile, C::kCmdDeleteProfile,
          C::kCmdExportProfile, C::kCmdCutProfile, C::kCmdCopyProfile, C::kCmdDeleteStamp},
         {"1003", "1005", "1009", "1"}},
        {"one stamp",
         {"A/s1"},
         false,
         {C::kCmdDeleteProfile, C::kCmdEditStamp, C::kCmdRenameStamp, C::kCmdDeleteStamp, C::kCmdCutStamp,
          C::kCmdCopyStamp},
         {"1003", "1004", "1005", "1006", "1007"}},
        {"two stamps with stamps on the clipboard",
         {"A/s1", "B/t1"},
         true,
         {C::kCmdDeleteProfile, C::kCmdPasteProfile, C::kCmdDeleteStamp, C::kCmdCutStamp, C::kCmdCopyStamp,
          C::kCmdPasteStamp},
         {"1005"}},
        {"a stamp and a profile", {"A/s1", "B"}, false, {C::kCmdDeleteProfile, C::kCmdDeleteStamp}, {"1005"}},
    };
    for (const EnableRow& row : rows) {
        SCOPED_TRACE(row.name);
        gStampClipboard->Clear();
        if (row.clipStamps) {
            Select({"B/t1"});
            mManager->RunCommand(C::kCmdCopyStamp);
        }
        Select(row.select);
        std::set<int> enabled;
        for (QMenu* menu : {mManager->GetProfileMenu(), mManager->GetStampMenu()})
            for (QAction* action : menu->actions())
                if (!action->objectName().isEmpty() && action->isEnabled())
                    enabled.insert(action->objectName().toInt());
        for (QAction* action : mManager->GetNewStampMenu()->actions())
            if (action->isEnabled()) enabled.insert(action->objectName().toInt());
        EXPECT_EQ(enabled, row.enabled);
        std::set<std::string> buttons;
        for (const char* id : {"1003", "1004", "1005", "1006", "1007", "1009", "1"})
            if (Enabled(id)) buttons.insert(id);
        EXPECT_EQ(buttons, row.buttons);
        EXPECT_TRUE(Enabled("1002"));
        EXPECT_TRUE(Enabled("1008"));
    }
}

TEST_F(ProfilesDlgTest, TheSelectedItemIsTheCaretOnlyWhileItIsSelected) {
    OpenManager();
    Select({"A/s1"});
    // The caret moves to s2 without selecting it (a Ctrl-click twice does so).
    mManager->GetTree()->SetItemState(Item("A/s2"), CMultiTree::kStateCaret, CMultiTree::kStateCaret);
    EXPECT_EQ(mManager->GetSelectedItem(), Item("A/s1"));
    mManager->RunCommand(CProfilesDlg::kCmdCopyStamp);
    Select({"B"});
    mManager->RunCommand(CProfilesDlg::kCmdPasteStamp);
    EXPECT_EQ(TreeText(), "A[s1,s2,s3] B[t1,Copy of s1]") << "the command took the selected stamp";
}

TEST_F(ProfilesDlgTest, RightClickOpensTheMenuOfTheItemsKind) {
    OpenManager();
    Item("A")->setExpanded(true);
    QApplication::processEvents();
    CMultiTree* tree = mManager->GetTree();
    for (const char* path : {"A/s2", "B"}) {
        SCOPED_TRACE(path);
        const QRect rect = tree->visualItemRect(Item(path));
        const QPoint at(rect.left() + 4, rect.center().y());
        QTest::mouseClick(tree->viewport(), Qt::RightButton, Qt::NoModifier, at);
        QMenu* expected = Item(path)->parent() ? mManager->GetStampMenu() : mManager->GetProfileMenu();
        QMenu* other = Item(path)->parent() ? mManager->GetProfileMenu() : mManager->GetStampMenu();
        EXPECT_TRUE(expected->isVisible());
        EXPECT_FALSE(other->isVisible());
        EXPECT_EQ(mManager->GetSelectedItem(), Item(path));
        expected->hide();
    }
}

TEST_F(ProfilesDlgTest, DroppingAStampOnAnotherProfileRewritesBothFiles) {
    OpenManager();
    Item("A")->setExpanded(true);
    Item("B")->setExpanded(true);
    QApplication::processEvents();
    CMultiTree* tree = mManager->GetTree();
    auto at = [&](const char* path) {
        const QRect rect = tree->visualItemRect(Item(path));
        return QPoint(rect.left() + 4, rect.center().y());
    };
    QTest::mousePress(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at("A/s2"));
    QTest::mouseMove(tree->viewport(), at("A/s2") + QPoint(0, QApplication::startDragDistance() + 4));
    QTest::mouseMove(tree->viewport(), at("B"));
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at("B"));
    EXPECT_EQ(TreeText(), "A[s1,s3] B[t1,s2]");
    EXPECT_EQ(StampNamesInFile(ProfilePath("A")), (std::vector<std::string>{"s1", "s3"}));
    EXPECT_EQ(StampNamesInFile(ProfilePath("B")), (std::vector<std::string>{"t1", "s2"}));
    // A profile is never dragged.
    QTest::mousePress(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at("B"));
    QTest::mouseMove(tree->viewport(), at("B") + QPoint(0, QApplication::startDragDistance() + 4));
    QTest::mouseMove(tree->viewport(), at("A/s1"));
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, Qt::NoModifier, at("A/s1"));
    EXPECT_EQ(TreeText(), "A[s1,s3] B[t1,s2]");
}

TEST_F(ProfilesDlgTest, StampNowNeedsADocumentThatMayBeStamped) {
    OpenManager();
    Select({"A"});
    EXPECT_FALSE(Enabled("1")) << "no document is open";
    EXPECT_FALSE(Enabled("1012"));
}

// --- the preview

int DarkPixels(const QImage& inImage) {
    int dark = 0;
    for (int y = 0; y < inImage.height(); ++y)
        for (int x = 0; x < inImage.width(); ++x)
            if (qGray(inImage.pixel(x, y)) < 128) ++dark;
    return dark;
}

TEST_F(ProfilesDlgTest, PreviewWithoutADocumentIsABlankLetterPageOnPageOne) {
    mPreferences->SetShowPreview(true);
    mPreferences->SetPreviewPageNumber(4);
    OpenManager();
    EXPECT_TRUE(mManager->findChild<QCheckBox*>("1011")->isChecked());
    Select({"B"});
    QApplication::processEvents();
    EXPECT_EQ(mManager->findChild<QSpinBox*>("1012")->value(), 1);
    CPDFDocument* preview = mManager->GetPreviewDocument();
    ASSERT_EQ(preview->GetPageCount(), 1);
    const std::string saved = mFolder.file("preview.pdf");
    qmtest::HostPath path(saved);
    gPDModelHFT->docSave(preview->GetPDDoc(), path);
    const auto info = qmtest::runCommand("pdfinfo " + qmtest::shellQuote(saved));
    EXPECT_NE(info.output.find("612 x 792"), std::string::npos) << info.output;
    EXPECT_NE(qmtest::runCommand("pdftotext " + qmtest::shellQuote(saved) + " -").output.find("OTHER"),
              std::string::npos);
    EXPECT_TRUE(mManager->GetPreview()->isVisible());
    EXPECT_GT(DarkPixels(mManager->GetPreview()->GetPageImage()), 0) << "the stamp's text is drawn";
}

TEST_F(ProfilesDlgTest, PreviewPageIsClampedToTheFrontDocumentAndShowsThatPage) {
    WriteProfile("Numbers", {{"n", "PAGE $PageNo[1] of $TotalPages"}});
    const AVDoc view = OpenDocument("three.pdf", 3);
    mPreferences->SetShowPreview(true);
    mPreferences->SetPreviewPageNumber(5);
    OpenManager();
    Select({"Numbers"});
    QApplication::processEvents();
    auto* field = mManager->findChild<QSpinBox*>("1012");
    EXPECT_EQ(field->value(), 3);
    EXPECT_EQ(field->maximum(), 3);
    const std::string saved = mFolder.file("preview3.pdf");
    qmtest::HostPath path(saved);
    gPDModelHFT->docSave(mManager->GetPreviewDocument()->GetPDDoc(), path);
    const std::string text = qmtest::runCommand("pdftotext " + qmtest::shellQuote(saved) + " -").output;
    EXPECT_NE(text.find("PAGE 3 of 3"), std::string::npos) << text;
    EXPECT_EQ(PagesWithText(view, "PAGE"), std::vector<int>{}) << "the preview never stamps the document";
    // Off hides it; the preferences keep the choice at close.
    mManager->findChild<QCheckBox*>("1011")->setChecked(false);
    EXPECT_FALSE(mManager->GetPreview()->isVisible());
    Click("2");
    EXPECT_FALSE(mPreferences->GetShowPreview());
    EXPECT_EQ(mPreferences->GetPreviewPageNumber(), 3);
}

TEST_F(ProfilesDlgTest, ScreenshotOfTheManagerWithAPreview) {
    WriteProfile(std::string("法院卷宗"),
                 {{"贝茨编号", "CONFIDENTIAL 0001", 740}, {"页码", "Page $PageNo[1] of $TotalPages"}});
    OpenDocument("shot.pdf", 4);
    mPreferences->SetShowPreview(true);
    mPreferences->SetPreviewPageNumber(2);
    OpenManager();
    mManager->resize(mManager->sizeHint());
    Select({"法院卷宗/页码", "法院卷宗/贝茨编号"});
    QApplication::processEvents();
    const QString path = uitest::SaveScreenshot(mManager, "stamp-manager");
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_GT(DarkPixels(mManager->GetPreview()->GetPageImage()), 0);
}

// --- stamp now

TEST_F(ProfilesDlgTest, CancelDuringARunStopsAfterTheCurrentPageAndIgnoresTheFrontDocument) {
    mPreferences->SetShowPreview(true);
    const AVDoc other = OpenDocument("other.pdf", 2);
    const AVDoc view = OpenDocument("five.pdf", 5);
    OpenManager();
    Select({"B"});
    QApplication::processEvents();
    const int maximumBefore = mManager->findChild<QSpinBox*>("1012")->maximum();
    QString closeTextDuringRun;
    bool treeEnabledDuringRun = true;
    PDDoc countedDocument = nullptr;
    int maximumDuringRun = 0;
    QTimer::singleShot(0, [&] {
        closeTextDuringRun = mManager->findChild<QPushButton*>("2")->text();
        treeEnabledDuringRun = mManager->GetTree()->isEnabled();
        // The front view changes while the run goes on: the manager stays out of it.
        qmhost::views().setActive(other);
        countedDocument = GetStampRunCounters().currentDocument;
        maximumDuringRun = mManager->findChild<QSpinBox*>("1012")->maximum();
        qmhost::views().setActive(view);
        Click("2");
    });
    Click("1");
    EXPECT_EQ(closeTextDuringRun, QString::fromUtf8("取消"));
    EXPECT_FALSE(treeEnabledDuringRun);
    EXPECT_EQ(countedDocument, gAppViewHFT->avDocGetPDDoc(view)) << "the run's counters were left alone";
    EXPECT_EQ(maximumDuringRun, maximumBefore);
    EXPECT_EQ(PagesWithText(view, "OTHER"), std::vector<int>{1}) << "the run stopped after its first page";
    ASSERT_NE(CProfilesDlg::GetModeless(), nullptr) << "a failed run leaves the manager open";
    EXPECT_EQ(mManager->findChild<QPushButton*>("2")->text(), QString::fromUtf8("关闭(&C)"));
    EXPECT_TRUE(Enabled("1001"));
    EXPECT_TRUE(Enabled("1"));
    EXPECT_FALSE(Enabled("1004")) << "the buttons follow the selection again after the run";
}

TEST_F(ProfilesDlgTest, StampNowStampsTheFrontDocumentAndCloses) {
    const AVDoc view = OpenDocument("two.pdf", 2);
    OpenManager();
    Select({"A"});
    Click("1");
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(PagesWithText(view, "SECOND"), (std::vector<int>{1, 2}));
    EXPECT_EQ(CProfilesDlg::GetModeless(), nullptr);
    EXPECT_EQ(gProfilesDlg, nullptr);
}

// --- the manager's life: the menu command, the batch's modal use

TEST_F(ProfilesDlgTest, ManageStampsOpensOneManagerThatIsTheCurrentOne) {
    RunStamperDialog(StamperDialog::kStampManager);
    CProfilesDlg* first = CProfilesDlg::GetModeless();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(gProfilesDlg, first);
    RunStamperDialog(StamperDialog::kStampManager);
    EXPECT_EQ(CProfilesDlg::GetModeless(), first) << "at most one";
    CloseStampManager();
    EXPECT_EQ(CProfilesDlg::GetModeless(), nullptr);
    EXPECT_EQ(gProfilesDlg, nullptr);
}

TEST_F(ProfilesDlgTest, ModalManagerFillsTheBatchCabinetAndGivesTheCurrentPointerBack) {
    CProfilesDlg& modeless = OpenManager();
    const ASCab params = gASExtraHFT->cabNew();
    gASExtraHFT->cabPutInt(params, "kStamp7", 1);  // left from an earlier choice
    {
        CProfilesDlg modal(nullptr, CProfilesDlg::kModalTemplate);
        EXPECT_EQ(gProfilesDlg, &modal);
        modal.SetBatchCab(params);
        modal.GetTree()->SelectItem(modal.GetTree()->topLevelItem(0));
        QApplication::processEvents();
        EXPECT_TRUE(modal.findChild<QPushButton*>("1")->isEnabled()) << "no document is needed to choose";
        modal.findChild<QPushButton*>("1")->click();
        EXPECT_EQ(modal.result(), QDialog::Accepted);
    }
    EXPECT_EQ(gProfilesDlg, &modeless) << "the modeless manager is the current one again";
    EXPECT_EQ(gASExtraHFT->cabGetInt(params, kKeyNumberOfStamps, -1), 3);
    EXPECT_FALSE(gASExtraHFT->cabKnown(params, "kStamp7"));
    gASExtraHFT->cabDestroy(params);
}

TEST_F(ProfilesDlgTest, BatchChoiceRunsTheManagerModally) {
    const ASCab params = gASExtraHFT->cabNew();
    bool wasModal = false;
    uitest::AnswerNextModal([&](QWidget* modal) {
        auto* manager = qobject_cast<CProfilesDlg*>(modal);
        ASSERT_NE(manager, nullptr);
        wasModal = !manager->IsModeless();
        manager->GetTree()->SelectItem(manager->GetTree()->topLevelItem(1));
        manager->findChild<QPushButton*>("1")->click();
    });
    EXPECT_TRUE(ui::ChooseBatchProfile(params));
    EXPECT_TRUE(wasModal);
    const ASCab stamp = gASExtraHFT->cabGetCab(params, "kStamp0");
    ASSERT_NE(stamp, nullptr);
    EXPECT_STREQ(gASExtraHFT->cabGetString(stamp, kKeyStampName), "t1") << "profile B was chosen";
    EXPECT_EQ(gProfilesDlg, nullptr);
    // Cancel leaves the parameters as they were.
    uitest::AnswerNextModal([](QWidget* modal) { modal->findChild<QPushButton*>("2")->click(); });
    EXPECT_FALSE(ui::ChooseBatchProfile(params));
    EXPECT_NE(gASExtraHFT->cabGetCab(params, "kStamp0"), nullptr);
    gASExtraHFT->cabDestroy(params);
}

// --- new and edited stamps through the designer seam

TEST_F(ProfilesDlgTest, WithoutADesignerTheUserIsToldAndNothingIsAdded) {
    ui::SetStampDesigner(ui::StampDesigner());
    OpenManager();
    Select({"A/s1"});
    mManager->RunCommand(CProfilesDlg::kCmdNewText);
    ASSERT_EQ(mSeam.messages.size(), 1);
    EXPECT_EQ(mSeam.messages[0], QString::fromUtf8("印章设计器不可用。"));
    EXPECT_EQ(TreeText(), "A[s1,s2,s3] B[t1]");
    EXPECT_TRUE(Enabled("1001"));
}

TEST_F(ProfilesDlgTest, AddStampButtonOffersTheThreeKinds) {
    int kind = -1;
    ui::SetStampDesigner([&](QWidget*, CStamp& stamp, bool, ui::StampDesignDone) {
        kind = stamp.GetType();
        return false;
    });
    OpenManager();
    Select({"B/t1"});
    Click("1003");
    auto* menu = mManager->findChild<QMenu*>("AddStampMenu");
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    QStringList texts;
    for (QAction* action : menu->actions()) {
        texts << action->text();
        EXPECT_TRUE(action->isEnabled()) << "a stamp is selected, yet every kind may be added";
    }
    EXPECT_EQ(texts, (QStringList{QString::fromUtf8("文本"), QString::fromUtf8("图像"), "PDF"}));
    menu->actions().at(2)->trigger();
    EXPECT_EQ(kind, 2);
    EXPECT_EQ(TreeText(), "A[s1,s2,s3] B[t1]") << "a designer that does not open adds nothing";
    ui::SetStampDesigner(ui::StampDesigner());
}

TEST_F(ProfilesDlgTest, ClosingTheManagerWithADesignDialogOpenDeletesTheDialogFirst) {
    QPointer<QDialog> design;
    ui::SetStampDesigner([&](QWidget* parent, CStamp& stamp, bool, ui::StampDesignDone done) {
        design = new QDialog(parent);
        CStamp* edited = &stamp;
        QObject::connect(design.data(), &QObject::destroyed, [edited, done] {
            edited->GetName();  // the stamp still lives while its dialog goes
            done(false);
        });
        design->show();
        return true;
    });
    OpenManager();
    Select({"A"});
    mManager->RunCommand(CProfilesDlg::kCmdNewPDF);
    ASSERT_FALSE(design.isNull());
    CloseStampManager();
    EXPECT_TRUE(design.isNull());
    EXPECT_EQ(gProfilesDlg, nullptr);
    ui::SetStampDesigner(ui::StampDesigner());
}

TEST_F(ProfilesDlgTest, NewStampGoesAfterTheSelectedStampOnceTheDesignerConfirms) {
    CStamp* designed = nullptr;
    bool editing = true;
    ui::StampDesignDone finish;
    ui::SetStampDesigner([&](QWidget*, CStamp& stamp, bool inEditing, ui::StampDesignDone done) {
        designed = &stamp;
        editing = inEditing;
        finish = std::move(done);
        return true;
    });
    WriteProfile("A", {{"s1", "FIRST"}, {QString::fromUtf8("文本").toStdString(), "X"}});
    OpenManager();
    Select({"A/s1"});
    mManager->RunCommand(CProfilesDlg::kCmdNewText);
    ASSERT_NE(designed, nullptr);
    EXPECT_FALSE(editing);
    EXPECT_EQ(designed->GetName(), "文本1") << "the kind's name, made free in the profile";
    EXPECT_FALSE(Enabled("1001")) << "the manager waits while the designer is open";
    mManager->RunCommand(CProfilesDlg::kCmdDeleteStamp);
    EXPECT_TRUE(mSeam.messages.isEmpty()) << "no command runs meanwhile";
    finish(true);
    EXPECT_EQ(TreeText(), "A[s1,文本1,文本] B[t1]");
    EXPECT_EQ(StampNamesInFile(ProfilePath("A")), (std::vector<std::string>{"s1", "文本1", "文本"}));
    EXPECT_TRUE(Enabled("1001"));

    // Editing renames the item after the designer saved a new name.
    Select({"B/t1"});
    Click("1004");
    EXPECT_TRUE(editing);
    designed->SetName("Edited");
    finish(true);
    EXPECT_EQ(TreeText(), "A[s1,文本1,文本] B[Edited]");
    EXPECT_EQ(StampNamesInFile(ProfilePath("B")), std::vector<std::string>{"Edited"});
    ui::SetStampDesigner(ui::StampDesigner());
}

}  // namespace
