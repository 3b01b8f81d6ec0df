// The plug-in's Preferences and About items and its stamp manager doing their
// work in the desktop host: the two dialogs open modally over the viewer, and
// what the plug-in's dialogs raise reads in the plug-in's language.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>

#include "HostTables.h"
#include "ViewerFixture.h"
#include "common/PdfFixtures.h"
#include "qmhost/AppViewTable.h"
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

// The texts of the buttons and labels of a window.
QStringList textsOf(const QWidget* window) {
    QStringList texts;
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) texts << button->text();
    for (const QLabel* label : window->findChildren<QLabel*>()) texts << label->text();
    return texts;
}

// A folder's entry in the type column of a file dialog (detail view) showing
// inFolder; empty when it does not come.
QString folderTypeIn(QFileDialog* dialog, const QString& inFolder, const QString& entry) {
    dialog->setViewMode(QFileDialog::Detail);
    dialog->setDirectory(inFolder);
    auto* model = dialog->findChild<QFileSystemModel*>();
    if (!model) return QString();
    QString type;
    WaitFor([&] {
        const QModelIndex at = model->index(inFolder + "/" + entry, 2);
        type = at.isValid() ? at.data().toString() : QString();
        return !type.isEmpty();
    });
    return type;
}

// While one of the plug-in's dialogs is up, what it raises reads Qt's own
// texts in the plug-in's language: the viewer's message box for the range
// refused at OK, the image file dialog's folders. The viewer's own messages
// keep theirs.
TEST_F(ViewerPluginDialogs, WhatAPluginDialogRaisesReadsInThePluginsLanguage) {
    DesktopPromptsInUse desktop;
    qmtest::FixtureFolder folder;
    QDir().mkpath(QString::fromStdString(folder.file("sub")));
    MenuAction(mWindow, {"Extensions", "VELM:Quillmark", "VELM:SManageStamps"})->trigger();
    QWidget* manager = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->objectName() == "CProfilesDlg" && top->isVisible()) manager = top;
    ASSERT_NE(manager, nullptr);
    ASSERT_TRUE(ClickProfile(manager, "Court"));
    auto openDesigner = [manager](const char* command) {
        QAction* action = manager->findChild<QAction*>(command);
        EXPECT_TRUE(action && action->isEnabled()) << command;
        action->trigger();
        QDialog* dialog = nullptr;  // the design dialog open over the manager
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->inherits("CStampDlg") && top->isVisible()) dialog = qobject_cast<QDialog*>(top);
        if (dialog) {
            dialog->activateWindow();
            WaitFor([dialog] { return QApplication::activeWindow() == dialog; });
        }
        return dialog;
    };

    // A text stamp in 99 points: refused at OK with the range.
    QDialog* text = openDesigner("10000");
    ASSERT_NE(text, nullptr);
    text->findChild<QLineEdit*>("1014")->setText("Mark");
    text->findChild<QPlainTextEdit*>("1069")->setPlainText("Mark");
    text->findChild<QSpinBox*>("1078")->setValue(99);
    QStringList refusal;
    ASSERT_TRUE(WithNextModal([text] { text->findChild<QAbstractButton*>("1")->click(); }, [&](QDialog* box) {
        refusal = textsOf(box);
        SaveScreenshot(box, "viewer-range-refused-in-plugin-language");
    }));
    EXPECT_TRUE(refusal.contains(QString::fromUtf8("请输入 6 到 72 之间的整数。"))) << refusal.join("|").toStdString();
    EXPECT_TRUE(refusal.contains(QString::fromUtf8("确定"))) << refusal.join("|").toStdString();
    text->findChild<QAbstractButton*>("2")->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // The image stamp's file dialog: its folders are of the type 文件夹.
    QDialog* image = openDesigner("10001");
    ASSERT_NE(image, nullptr);
    QString folderType;
    QStringList browsing;
    ASSERT_TRUE(WithNextModal([image] { image->findChild<QAbstractButton*>("1050")->click(); }, [&](QDialog* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(files, nullptr);
        folderType = folderTypeIn(files, QString::fromStdString(folder.path()), "sub");
        browsing = textsOf(files);
        SaveScreenshot(files, "viewer-image-file-dialog-in-plugin-language");
    }));
    EXPECT_EQ(folderType.toStdString(), "文件夹");
    EXPECT_TRUE(browsing.contains(QString::fromUtf8("取消"))) << browsing.join("|").toStdString();
    image->findChild<QAbstractButton*>("2")->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    manager->close();
    ASSERT_TRUE(WaitFor([] { return qmhost::modelessWindows().windows().empty(); }));

    // With no dialog of the plug-in up, the viewer's own message keeps its language.
    QStringList own;
    ASSERT_TRUE(WithNextModal([] { qmhost::appViewTable()->alertNote("Quillmark"); },
                              [&](QDialog* box) { own = textsOf(box); }));
    EXPECT_TRUE(own.contains("OK")) << own.join("|").toStdString();
}

}  // namespace
