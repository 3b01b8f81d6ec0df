// Opening, saving and closing documents in the desktop host: clear messages
// for files that cannot be opened, the unsaved-changes question, saving
// through a temporary file and a rename.
#include <gtest/gtest.h>

#include <QAction>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "ViewerFixture.h"
#include "common/FileSizeLimit.h"
#include "common/PdfFixtures.h"
#include "view/Views.h"
#include "viewer/DocumentSnapshot.h"
#include "viewer/DocumentWindow.h"
#include "viewer/PageView.h"
#include "viewer/ViewerApp.h"

using namespace qmviewertest;
using qmviewer::UnsavedAnswer;

namespace {

class ViewerFiles : public ::testing::Test {
protected:
    void SetUp() override { CloseEverything(); }
    void TearDown() override { CloseEverything(); }

    // Stamps the window's document with the sample profile through the menus.
    static void stamp(qmviewer::DocumentWindow* window) {
        QAction* court = MenuAction(window, {"Extensions", "VELM:Quillmark", "VELM:SStamp", "Court"});
        ASSERT_NE(court, nullptr);
        ASSERT_TRUE(court->isEnabled());
        court->trigger();
        ASSERT_TRUE(Prompts().messages.isEmpty()) << Prompts().messages.join("\n").toStdString();
        ASSERT_TRUE(qmviewer::hasUnsavedChanges(window->document()));
    }

    // Opens a fresh two-page "in.pdf" and stamps it; its bytes go to outOriginal.
    qmviewer::DocumentWindow* openStamped(std::string& outOriginal) {
        const std::string input = mFolder.file("in.pdf");
        qmtest::writeSimplePdf(input, 2);
        outOriginal = qmtest::readBytes(input);
        qmviewer::DocumentWindow* window = OpenAndDraw(input);
        if (window) stamp(window);
        return window;
    }

    qmtest::FixtureFolder mFolder;
};

TEST_F(ViewerFiles, FilesThatCannotBeOpenedAreRefusedWithAClearMessage) {
    const std::string missing = mFolder.file("missing.pdf");
    const std::string notPdf = mFolder.file("notes.pdf");
    qmtest::writeNonPdf(notPdf);
    const std::string cut = mFolder.file("cut.pdf");
    qmtest::writeSimplePdf(cut, 3);
    qmtest::truncateFile(cut, 40);
    const std::string locked = mFolder.file("locked.pdf");
    qmtest::writeEncryptedPdf(locked, "user", "owner");
    struct Row {
        std::string path;
        const char* says;
    };
    const Row rows[] = {
        {missing, "does not exist"},
        {notPdf, "not a PDF file, or it is damaged"},
        {cut, "not a PDF file, or it is damaged"},
        {locked, "encrypted and needs a password"},
    };
    const size_t viewsBefore = qmhost::views().count();
    for (const Row& row : rows) {
        Prompts().messages.clear();
        EXPECT_EQ(Viewer().openFile(QString::fromStdString(row.path)), nullptr) << row.path;
        ASSERT_EQ(Prompts().messages.size(), 1) << row.path;
        EXPECT_TRUE(Prompts().messages[0].contains(QString::fromLatin1(row.says))) << Prompts().messages[0].toStdString();
        EXPECT_EQ(qmhost::views().count(), viewsBefore) << "no view is left behind for " << row.path;
    }
    EXPECT_TRUE(Viewer().windows().empty());
    // An owner-password file (no password needed to read) opens.
    const std::string ownerOnly = mFolder.file("owner-only.pdf");
    qmtest::writeEncryptedPdf(ownerOnly, "", "owner");
    EXPECT_NE(OpenAndDraw(ownerOnly), nullptr);
}

TEST_F(ViewerFiles, ClosingAsksAboutUnsavedChangesAndCancelKeepsTheDocument) {
    const std::string input = mFolder.file("in.pdf");
    qmtest::writeSimplePdf(input, 2);
    qmviewer::DocumentWindow* window = OpenAndDraw(input);
    ASSERT_NE(window, nullptr);
    // Nothing changed: closing asks nothing.
    EXPECT_TRUE(Viewer().closeDocument(window));
    EXPECT_TRUE(Prompts().unsavedAsked.isEmpty());

    window = Viewer().openFile(QString::fromStdString(input), window);
    ASSERT_NE(window, nullptr);
    stamp(window);
    const AVDoc view = window->view();
    Prompts().unsavedAnswers = {UnsavedAnswer::Cancel};
    EXPECT_FALSE(Viewer().closeDocument(window));
    EXPECT_EQ(window->view(), view) << "cancel keeps the document open";
    EXPECT_EQ(Prompts().unsavedAsked, QStringList{"in.pdf"});
    // Quit asks the same, and cancel keeps everything.
    Prompts().unsavedAnswers = {UnsavedAnswer::Cancel};
    EXPECT_FALSE(Viewer().quit());
    EXPECT_EQ(window->view(), view);
    // Discard closes without writing the file.
    const std::string before = qmtest::readBytes(input);
    Prompts().unsavedAnswers = {UnsavedAnswer::Discard};
    EXPECT_TRUE(Viewer().closeDocument(window));
    EXPECT_EQ(window->view(), nullptr);
    EXPECT_EQ(qmtest::readBytes(input), before);
}

TEST_F(ViewerFiles, SaveWritesThroughATemporaryFileAndSaveAsLeavesTheInput) {
    const std::string input = mFolder.file("in.pdf");
    std::string original;
    qmviewer::DocumentWindow* window = openStamped(original);
    ASSERT_NE(window, nullptr);

    // Save As: the input stays as it was; the copy is a sound PDF with the stamp.
    const std::string copy = mFolder.file("copy.pdf");
    Prompts().saveAnswers = {QString::fromStdString(copy)};
    MenuAction(window, {"File", "FileSaveAs"})->trigger();
    EXPECT_EQ(qmtest::readBytes(input), original);
    EXPECT_EQ(qmtest::qpdfCheck(copy).status, 0) << qmtest::qpdfCheck(copy).output;
    EXPECT_NE(qmtest::runCommand("pdftotext " + qmtest::shellQuote(copy) + " -").output.find("QM-"), std::string::npos);
    EXPECT_FALSE(qmviewer::hasUnsavedChanges(window->document()));
    EXPECT_EQ(qmviewer::documentPath(window->document()).toStdString(), copy);

    // Save writes to the file last saved, replacing it whole (a new inode), and
    // leaves no temporary file behind.
    stamp(window);
    struct stat before {};
    ::stat(copy.c_str(), &before);
    MenuAction(window, {"File", "FileSave"})->trigger();
    struct stat after {};
    ::stat(copy.c_str(), &after);
    EXPECT_NE(before.st_ino, after.st_ino) << "replaced by a rename, not written in place";
    EXPECT_EQ(qmtest::qpdfCheck(copy).status, 0);
    EXPECT_EQ(mFolder.entries(), (std::vector<std::string>{"copy.pdf", "in.pdf"}));
    // A failed save says so and keeps the changes marked unsaved.
    stamp(window);
    Prompts().saveAnswers = {QString::fromStdString(mFolder.file("no-such-folder/out.pdf"))};
    Prompts().messages.clear();
    MenuAction(window, {"File", "FileSaveAs"})->trigger();
    ASSERT_EQ(Prompts().messages.size(), 1);
    EXPECT_TRUE(Prompts().messages[0].contains("could not be saved"));
    EXPECT_TRUE(qmviewer::hasUnsavedChanges(window->document()));
}

// A disk that fills during Save As: the message names the file and why, the
// file that was there stays whole, no temporary file is left and the changes
// stay marked unsaved; Save As to a new file fails the same way and leaves nothing.
TEST_F(ViewerFiles, SaveAsOntoAFullDiskKeepsTheOldFileAndLeavesNoTemporary) {
    const std::string input = mFolder.file("in.pdf");
    std::string original;
    qmviewer::DocumentWindow* window = openStamped(original);
    ASSERT_NE(window, nullptr);
    const std::string older = mFolder.file("older.pdf");
    qmtest::writeSimplePdf(older, 1);
    const std::string olderBytes = qmtest::readBytes(older);
    const std::string targets[] = {older, mFolder.file("new.pdf")};
    for (const std::string& target : targets) {
        Prompts().saveAnswers = {QString::fromStdString(target)};
        Prompts().messages.clear();
        {
            qmtest::FileSizeLimit limit(static_cast<rlim_t>(original.size()) / 2);
            MenuAction(window, {"File", "FileSaveAs"})->trigger();
        }
        ASSERT_EQ(Prompts().messages.size(), 1) << target;
        EXPECT_TRUE(Prompts().messages[0].contains(QString::fromStdString(target))) << Prompts().messages[0].toStdString();
        EXPECT_TRUE(Prompts().messages[0].contains(QString::fromUtf8(std::strerror(EFBIG))))
            << Prompts().messages[0].toStdString();
        EXPECT_TRUE(qmviewer::hasUnsavedChanges(window->document())) << target;
        EXPECT_EQ(qmtest::readBytes(older), olderBytes) << target;
        EXPECT_EQ(mFolder.entries(), (std::vector<std::string>{"in.pdf", "older.pdf"})) << target;
        EXPECT_EQ(qmtest::readBytes(input), original) << target;
    }
}

}  // namespace
