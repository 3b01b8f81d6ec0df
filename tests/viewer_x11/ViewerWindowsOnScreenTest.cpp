// The desktop host's windows on a real X server: a document the plug-in makes
// (writing stamps into a new document) shows in a window of its own, named
// after the document stamped, and is asked about at Quit; Quit cancelled
// closes nothing; Save As renames the window; Esc closes the plug-in's modal
// dialogs; Help and the log open in the viewer itself, and an update check
// without a browser says so. Screenshots go to the build folder.
#include <gtest/gtest.h>

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>

#include "ViewerFixture.h"
#include "common/PdfFixtures.h"
#include "qmhost/AppViewTable.h"
#include "view/AppViewTableImpl.h"
#include "viewer/DocumentSnapshot.h"
#include "viewer/DocumentWindow.h"
#include "viewer/PageView.h"
#include "viewer/TextFileWindow.h"
#include "viewer/ViewerApp.h"

using namespace qmviewertest;
using qmviewer::UnsavedAnswer;

namespace {

// Sets the plug-in's 写入印章到新文件 in its Preferences dialog.
void setWriteToNewFile(qmviewer::DocumentWindow* window, bool on) {
    QAction* prefs = MenuAction(window, {"Edit", "Prefs", "VELM:SPrefs"});
    ASSERT_NE(prefs, nullptr);
    ASSERT_TRUE(WithNextModal(prefs, [on](QDialog* dialog) {
        auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("1040"));
        ASSERT_NE(box, nullptr);
        box->setChecked(on);
        dialog->accept();
    }));
}

void stampWithCourt(qmviewer::DocumentWindow* window) {
    QAction* court = MenuAction(window, {"Extensions", "VELM:Quillmark", "VELM:SStamp", "Court"});
    ASSERT_NE(court, nullptr);
    ASSERT_TRUE(court->isEnabled());
    court->trigger();
    ASSERT_TRUE(WaitFor([] { return !Viewer().busy(); }));
}

AVDoc activeView() { return qmhost::appViewTable()->getActiveDoc(); }

class ViewerWindowsOnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "run under an X server (xvfb-run)";
        CloseEverything();
    }
    void TearDown() override { CloseEverything(); }
    qmtest::FixtureFolder mFolder;
};

TEST_F(ViewerWindowsOnScreen, ANewDocumentOfARunGetsItsOwnNamedWindowAndQuitAsksAboutItFirst) {
    const std::string input = mFolder.file("in.pdf");
    qmtest::writeSimplePdf(input, 2);
    qmviewer::DocumentWindow* original = OpenAndDraw(input);
    ASSERT_NE(original, nullptr);
    setWriteToNewFile(original, true);
    // Each run makes a document of its own, named after the document stamped.
    std::vector<qmviewer::DocumentWindow*> made;
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        original->activateWindow();
        Viewer().windowActivated(original);
        stampWithCourt(original);
        ASSERT_TRUE(WaitFor([&] { return Viewer().windows().size() == made.size() + 2; }))
            << "the new document has a window";
        for (qmviewer::DocumentWindow* each : Viewer().windows())
            if (each != original && std::find(made.begin(), made.end(), each) == made.end()) made.push_back(each);
        qmviewer::DocumentWindow* latest = made.back();
        ASSERT_NE(latest->view(), nullptr);
        ASSERT_TRUE(WaitForDrawing(latest));
        EXPECT_TRUE(latest->isVisible());
        EXPECT_EQ(latest->pages()->pageCount(), 2);
        EXPECT_EQ(activeView(), latest->view()) << "the new document is the front one";
        EXPECT_TRUE(latest->isWindowModified());
        EXPECT_EQ(latest->documentName().toStdString(), "in " + std::to_string(run));
        EXPECT_TRUE(latest->windowTitle().startsWith(QStringLiteral("in %1[*]").arg(run)))
            << latest->windowTitle().toStdString();
    }
    EXPECT_FALSE(qmviewer::hasUnsavedChanges(original->document())) << "the input document is not stamped";
    SaveScreenshot(made.back(), "viewer-new-document");

    // Quit asks about each new document by its own name before anything
    // closes; Cancel at the second keeps all three open.
    const AVDoc originalView = original->view();
    Prompts().unsavedAnswers = {UnsavedAnswer::Discard, UnsavedAnswer::Cancel};
    EXPECT_FALSE(Viewer().quit());
    QStringList asked = Prompts().unsavedAsked;
    asked.sort();
    EXPECT_EQ(asked, (QStringList{"in 1", "in 2"}));
    EXPECT_EQ(original->view(), originalView) << "the unchanged document stays open";
    for (qmviewer::DocumentWindow* each : made) EXPECT_NE(each->view(), nullptr);

    // Closed, the front document is the one in the window left in front.
    for (qmviewer::DocumentWindow* each : made) {
        Prompts().unsavedAnswers = {UnsavedAnswer::Discard};
        ASSERT_TRUE(Viewer().closeDocument(each));
    }
    EXPECT_EQ(activeView(), originalView);
    // With the setting off again, the next run stamps the document shown.
    setWriteToNewFile(original, false);
    stampWithCourt(original);
    EXPECT_TRUE(qmviewer::hasUnsavedChanges(original->document()));
    EXPECT_TRUE(Prompts().messages.isEmpty()) << Prompts().messages.join("\n").toStdString();
}

TEST_F(ViewerWindowsOnScreen, SaveAsGivesTheWindowTheNewName) {
    const std::string input = mFolder.file("first.pdf");
    qmtest::writeSimplePdf(input, 1);
    qmviewer::DocumentWindow* window = OpenAndDraw(input);
    ASSERT_NE(window, nullptr);
    stampWithCourt(window);
    Prompts().saveAnswers = {QString::fromStdString(mFolder.file("renamed.pdf"))};
    MenuAction(window, {"File", "FileSaveAs"})->trigger();
    EXPECT_TRUE(window->windowTitle().startsWith("renamed.pdf")) << window->windowTitle().toStdString();
    SaveScreenshot(window, "viewer-saved-as");
    stampWithCourt(window);
    Prompts().unsavedAnswers = {UnsavedAnswer::Cancel};
    EXPECT_FALSE(Viewer().closeDocument(window));
    EXPECT_EQ(Prompts().unsavedAsked, QStringList{"renamed.pdf"});
}

TEST_F(ViewerWindowsOnScreen, EscClosesThePluginsModalDialogsAndStopsNothing) {
    qmviewer::DocumentWindow* window = Viewer().newWindow();
    const QStringList items[] = {{"Edit", "Prefs", "VELM:SPrefs"}, {"Help", "AboutExtensions", "VELM:StamperAbout"}};
    for (const QStringList& path : items) {
        SCOPED_TRACE(path.last().toStdString());
        QAction* item = MenuAction(window, path);
        ASSERT_NE(item, nullptr);
        bool closedByEsc = false;
        ASSERT_TRUE(WithNextModal(item, [&](QDialog* dialog) {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : dialog;
            QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(target, &escape);
            closedByEsc = !dialog->isVisible();
        }));
        EXPECT_TRUE(closedByEsc);
        EXPECT_FALSE(Viewer().cancelRequested());
    }
}

TEST_F(ViewerWindowsOnScreen, HelpAndTheLogOpenInTheViewerAndAFileThatCannotBeShownIsNamed) {
    qmviewer::DocumentWindow* window = Viewer().newWindow();
    QAction* help = MenuAction(window, {"Help", "UsingExtensions", "VELM:StamperHelp"});
    ASSERT_NE(help, nullptr);
    help->trigger();
    const QString guidePath =
        QFileInfo(QString::fromStdString(PluginFolder()) + "/Quillmark_User_Guide.pdf").canonicalFilePath();
    ASSERT_FALSE(guidePath.isEmpty()) << "the guide is installed with the plug-in";
    qmviewer::DocumentWindow* guide = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (qmviewer::DocumentWindow* each : Viewer().windows())
            if (each->view() && QFileInfo(qmviewer::documentPath(each->document())).canonicalFilePath() == guidePath)
                guide = each;
        return guide != nullptr;
    })) << "the guide opens as a document of the viewer";
    ASSERT_TRUE(WaitForDrawing(guide));
    EXPECT_GT(guide->pages()->pageCount(), 0);
    SaveScreenshot(guide, "viewer-user-guide");

    const QString log = QString::fromStdString(PluginFolder()) + "/Quillmark.txt";
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QString::fromUtf8("2026-12-08 00:00:00 印章文档 in.pdf\n").toUtf8());
    file.close();
    QAction* view = MenuAction(window, {"Extensions", "VELM:Quillmark", "VELM:SLogging", "VELM:SLoggingView"});
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(view->isEnabled());
    view->trigger();
    qmviewer::TextFileWindow* shown = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* text = qobject_cast<qmviewer::TextFileWindow*>(top); text && text->isVisible()) shown = text;
        return shown != nullptr;
    })) << "the log opens in a window of the viewer";
    EXPECT_TRUE(shown->text().contains(QString::fromUtf8("印章文档 in.pdf")));
    SaveScreenshot(shown, "viewer-log");
    shown->close();
    QFile::remove(log);

    const QString missing = QString::fromStdString(mFolder.file("gone.txt"));
    Viewer().showFile(missing);
    ASSERT_EQ(Prompts().messages.size(), 1);
    EXPECT_TRUE(Prompts().messages[0].contains(missing)) << Prompts().messages[0].toStdString();
}

TEST_F(ViewerWindowsOnScreen, AnUpdateCheckWithNoBrowserToOpenItSaysSo) {
    // No program on the path can open a web page.
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(mFolder.path()));
    qunsetenv("BROWSER");
    qunsetenv("DEFAULT_BROWSER");
    QAction* about = MenuAction(Viewer().newWindow(), {"Help", "AboutExtensions", "VELM:StamperAbout"});
    ASSERT_NE(about, nullptr);
    QString said;
    EXPECT_TRUE(WithNextModal(about, [&](QDialog* dialog) {
        dialog->findChild<QTabWidget*>(QStringLiteral("1000"))->setCurrentIndex(1);
        auto* check = dialog->findChild<QPushButton*>(QStringLiteral("1126"));
        WithNextModal([check] { check->click(); }, [&](QDialog* box) {
            said = qobject_cast<QMessageBox*>(box)->text();
            SaveScreenshot(box, "viewer-update-check-failed");
        });
    }));
    qputenv("PATH", path);
    EXPECT_TRUE(said.startsWith("Can't open link:")) << said.toStdString();
}

}  // namespace
