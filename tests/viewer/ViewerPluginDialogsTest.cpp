// The plug-in's Preferences and About items and its stamp manager doing their
// work in the desktop host: the two dialogs open modally over the viewer.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>

#include "ViewerFixture.h"
#include "common/PdfFixtures.h"
#include "view/ModelessWindows.h"
#include "viewer/DocumentWindow.h"
#include "viewer/ViewerApp.h"

using namespace qmviewertest;

namespace {

class ViewerPluginDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        CloseEverything();
        mWindow = Viewer().newWindow();
    }
    void TearDown() override { CloseEverything(); }
    qmviewer::DocumentWindow* mWindow = nullptr;
};

TEST_F(ViewerPluginDialogs, PreferencesAndAboutOpenAsModalDialogsOfTheViewer) {
    struct Row {
        QStringList menuPath;
        const char* dialogId;
        QString title;
        const char* screenshot;
    };
    const Row rows[] = {
        {{"Edit", "Prefs", "VELM:SPrefs"}, "107", QString::fromUtf8("Quillmark 预置"), "viewer-preferences"},
        {{"Help", "AboutExtensions", "VELM:StamperAbout"}, "102", "About Quillmark", "viewer-about-box"},
    };
    for (const Row& row : rows) {
        QAction* item = MenuAction(mWindow, row.menuPath);
        ASSERT_NE(item, nullptr) << row.dialogId;
        QString title, objectName;
        const bool opened = WithNextModal(item, [&](QDialog* dialog) {
            title = dialog->windowTitle();
            objectName = dialog->objectName();
            SaveScreenshot(dialog, row.screenshot);
        });
        ASSERT_TRUE(opened) << row.dialogId;
        EXPECT_EQ(objectName, row.dialogId);
        EXPECT_EQ(title, row.title);
    }
    EXPECT_TRUE(Prompts().messages.isEmpty()) << Prompts().messages.join("\n").toStdString();
}

TEST_F(ViewerPluginDialogs, StampManagerIsOneOfTheViewersWindowsWhileItIsOpen) {
    QAction* manage = MenuAction(mWindow, {"Extensions", "VELM:Quillmark", "VELM:SManageStamps"});
    ASSERT_NE(manage, nullptr);
    manage->trigger();
    QWidget* manager = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "CProfilesDlg" && top->isVisible()) manager = top;
    ASSERT_NE(manager, nullptr);
    EXPECT_TRUE(qmhost::modelessWindows().contains(manager));
    manager->close();
    ASSERT_TRUE(WaitFor([] { return qmhost::modelessWindows().windows().empty(); }));
}

TEST_F(ViewerPluginDialogs, EscStopsAStampRunStartedFromTheMenuAfterItsCurrentPage) {
    qmtest::FixtureFolder folder;
    const std::string input = folder.file("long.pdf");
    qmtest::writeSimplePdf(input, 6);
    qmviewer::DocumentWindow* window = Viewer().openFile(QString::fromStdString(input), mWindow);
    ASSERT_NE(window, nullptr);
    QAction* court = MenuAction(window, {"Extensions", "VELM:Quillmark", "VELM:SStamp", "Court"});
    ASSERT_NE(court, nullptr);
    // Waiting in the queue, Esc arrives at the run's first cancel test.
    QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    court->trigger();
    ASSERT_TRUE(WaitFor([] { return !Viewer().busy(); }));
    EXPECT_TRUE(Prompts().messages.join("\n").contains(QString::fromUtf8("进程被用户停止")))
        << Prompts().messages.join("\n").toStdString();
    // The request ended with that run: the next one runs to its end.
    Prompts().clear();
    court->trigger();
    ASSERT_TRUE(WaitFor([] { return !Viewer().busy(); }));
    EXPECT_TRUE(Prompts().messages.isEmpty()) << Prompts().messages.join("\n").toStdString();
}

}  // namespace

