// The host's model shown by the desktop host: the menu bar with its anchors,
// enabled states computed as menus are about to show and none while a run is
// under way, the toolbars with the plug-in's drop-down, the front-document
// notification, the progress monitor, alerts and the plug-ins' windows.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QApplication>
#include <QColor>
#include <QDialog>
#include <QImage>
#include <QKeyEvent>
#include <QMenuBar>
#include <QProgressBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <tuple>
#include <utility>

#include "HostTables.h"
#include "core/TableRegistry.h"
#include "ViewerFixture.h"
#include "common/PdfFixtures.h"
#include "qmhost/AppViewTable.h"
#include "qmhost/CoreTable.h"
#include "qmhost/PDModelTable.h"
#include "qmhost/WinTable.h"
#include "view/Alerts.h"
#include "view/ModelessWindows.h"
#include "view/Notifications.h"
#include "view/ProgressMonitor.h"
#include "viewer/DocumentWindow.h"
#include "viewer/ProgressStatus.h"
#include "viewer/ViewerApp.h"

using namespace qmviewertest;

namespace {

class ViewerModel : public ::testing::Test {
protected:
    void SetUp() override {
        CloseEverything();
        qmtest::writeSimplePdf(mFolder.file("a.pdf"), 2);
        qmtest::writeSimplePdf(mFolder.file("b.pdf"), 3);
    }
    void TearDown() override { CloseEverything(); }
    qmtest::FixtureFolder mFolder;
};

QStringList menuBarNames(qmviewer::DocumentWindow* window) {
    QStringList names;
    for (QAction* action : window->menuBar()->actions())
        if (action->menu()) names << action->menu()->objectName();
    return names;
}

TEST_F(ViewerModel, MenuBarShowsTheModelWithItsAnchorsAndThePluginItems) {
    qmviewer::DocumentWindow* window = Viewer().newWindow();
    EXPECT_EQ(menuBarNames(window), (QStringList{"File", "Edit", "View", "Extensions", "Help"}));
    struct Row {
        QStringList path;
        bool enabledWithoutDocument;
    };
    const Row rows[] = {
        {{"Edit", "Prefs", "VELM:SPrefs"}, true},
        {{"Extensions", "VELM:Quillmark", "VELM:SManageStamps"}, true},
        {{"Extensions", "VELM:Quillmark", "VELM:SStamp"}, true},  // it lists the profiles
        {{"Extensions", "VELM:Quillmark", "VELM:SStamp", "Court"}, false},
        {{"Extensions", "VELM:Quillmark", "VELM:SUndo"}, false},
        {{"Help", "AboutExtensions", "VELM:StamperAbout"}, true},
        {{"Help", "UsingExtensions", "VELM:StamperHelp"}, true},
    };
    for (const Row& row : rows) {
        QAction* action = MenuAction(window, row.path);
        ASSERT_NE(action, nullptr) << row.path.join(" > ").toStdString();
        EXPECT_EQ(action->isEnabled(), row.enabledWithoutDocument) << row.path.join(" > ").toStdString();
    }
    // With a document a profile's item is enabled.
    ASSERT_NE(Viewer().openFile(QString::fromStdString(mFolder.file("a.pdf")), window), nullptr);
    QAction* court = MenuAction(window, {"Extensions", "VELM:Quillmark", "VELM:SStamp", "Court"});
    ASSERT_NE(court, nullptr);
    EXPECT_TRUE(court->isEnabled());
    // While a run is under way nothing can be started from the menus.
    qmhost::progressMonitor().begin();
    EXPECT_TRUE(Viewer().busy());
    EXPECT_FALSE(MenuAction(window, {"Extensions", "VELM:Quillmark", "VELM:SStamp"})->isEnabled());
    EXPECT_FALSE(MenuAction(window, {"Extensions", "VELM:Quillmark", "VELM:SStamp", "Court"})->isEnabled());
    EXPECT_FALSE(MenuAction(window, {"Edit", "Prefs", "VELM:SPrefs"})->isEnabled());
    emit window->fileMenu()->aboutToShow();
    EXPECT_FALSE(window->fileMenu()->findChild<QAction*>("FileOpen")->isEnabled());
    qmhost::progressMonitor().end();
    EXPECT_TRUE(MenuAction(window, {"Extensions", "VELM:Quillmark", "VELM:SStamp", "Court"})->isEnabled());
}

TEST_F(ViewerModel, ToolbarsComeFromTheModelWithTheButtonsDropDown) {
    qmviewer::DocumentWindow* window = Viewer().newWindow();
    QToolBar* tools = window->findChild<QToolBar*>("Tools");
    ASSERT_NE(tools, nullptr);
    // The shared plug-ins toolbar holds the plug-in's button with its menu.
    QAction* button = nullptr;
    QToolBar* shared = nullptr;
    for (QToolBar* bar : window->findChildren<QToolBar*>())
        for (QAction* action : bar->actions())
            if (action->objectName() == "VELM:SStampT") std::tie(button, shared) = std::pair(action, bar);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QString::fromUtf8("管理印章"));
    // It shows the image drawn for it (a stamp over its red imprint), its text as the tip.
    const QImage icon = button->icon().pixmap(QSize(20, 20)).toImage();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(QColor(icon.pixel(10, 17)), QColor(0xC8, 0x1E, 0x28));
    EXPECT_EQ(qobject_cast<QToolButton*>(shared->widgetForAction(button))->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_EQ(button->toolTip(), QString::fromUtf8("管理印章"));
    ASSERT_NE(button->menu(), nullptr);
    emit button->menu()->aboutToShow();
    QStringList items;
    for (QAction* action : button->menu()->actions()) items << action->objectName();
    EXPECT_EQ(items, (QStringList{"VELM:SStamp", "VELM:SUndo"}));
    // Without a document the drop-down's profile item is disabled; with one it is not.
    auto court = [&] {
        emit button->menu()->aboutToShow();
        QMenu* stamp = button->menu()->actions().value(0)->menu();
        if (!stamp) return false;
        emit stamp->aboutToShow();
        return !stamp->actions().isEmpty() && stamp->actions()[0]->text() == "Court" && stamp->actions()[0]->isEnabled();
    };
    EXPECT_FALSE(court());
    ASSERT_NE(Viewer().openFile(QString::fromStdString(mFolder.file("a.pdf")), window), nullptr);
    EXPECT_TRUE(court());
}

TEST_F(ViewerModel, ADocumentThePluginOpensGetsAWindowOutsideItsDialogsAndLetsGoWhenThePluginClosesIt) {
    const AppViewTable* av = qmhost::appViewTable();
    const PDModelTable* pd = qmhost::pdModelTable();
    const ASFixedRect letter{0, 0, 612 << 16, 792 << 16};
    auto newDocument = [&] {
        const PDDoc doc = pd->docCreate();
        pd->pageRelease(pd->docCreatePage(doc, -1, &letter));
        return doc;
    };
    qmviewer::DocumentWindow* a = Viewer().openFile(QString::fromStdString(mFolder.file("a.pdf")));
    ASSERT_NE(a, nullptr);
    // A document a dialog of the plug-in opens for its own use and closes again gets no window.
    QDialog modal;
    QTimer::singleShot(0, &modal, [&] {
        const AVDoc scratch = av->avDocOpenFromPDDoc(newDocument(), nullptr);
        QApplication::processEvents();
        av->avDocClose(scratch, true);
        modal.reject();
    });
    modal.exec();
    QApplication::processEvents();
    EXPECT_EQ(Viewer().windows().size(), 1u);

    const AVDoc view = av->avDocOpenFromPDDoc(newDocument(), nullptr);
    qmviewer::DocumentWindow* shown = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (qmviewer::DocumentWindow* window : Viewer().windows())
            if (window->view() == view) shown = window;
        return shown != nullptr;
    }));
    EXPECT_EQ(av->getActiveDoc(), view);
    // Closed by the plug-in: the window lets go of it, and the other document is the front one again.
    av->avDocClose(view, true);
    EXPECT_EQ(shown->view(), nullptr);
    ASSERT_TRUE(WaitFor([&] { return av->getActiveDoc() == a->view(); }));
}

struct FrontLog {
    std::vector<AVDoc> views;
};

void onFrontChanged(AVDoc view, void* clientData) { static_cast<FrontLog*>(clientData)->views.push_back(view); }

TEST_F(ViewerModel, ActivatingAWindowAnnouncesTheFrontDocumentButNeverDuringARun) {
    FrontLog log;
    const ExtensionID extension = reinterpret_cast<ExtensionID>(uintptr_t{0x7e57});
    const ASCallback callback =
        qmhost::coreTable()->makeCallback(extension, reinterpret_cast<ASProc>(&onFrontChanged));
    qmhost::notifications().add(kNotifyFrontDocChanged, extension, callback, &log);
    // Unregistered however the test ends: the log lives on this stack.
    struct Unregister {
        ASCallback callback;
        FrontLog* log;
        ~Unregister() { qmhost::notifications().remove(kNotifyFrontDocChanged, callback, log); }
    } unregister{callback, &log};

    qmviewer::DocumentWindow* a = Viewer().openFile(QString::fromStdString(mFolder.file("a.pdf")));
    qmviewer::DocumentWindow* b = Viewer().openFile(QString::fromStdString(mFolder.file("b.pdf")));
    ASSERT_TRUE(a && b && a != b);
    EXPECT_EQ(log.views, (std::vector<AVDoc>{a->view(), b->view()}));
    EXPECT_EQ(qmhost::appViewTable()->getActiveDoc(), b->view());
    Viewer().windowActivated(b);  // the same front document: nothing new
    EXPECT_EQ(log.views.size(), 2u);

    // During a run the change waits until the run is over.
    qmhost::progressMonitor().begin();
    a->activateWindow();
    ASSERT_TRUE(WaitFor([a] { return a->isActiveWindow(); }));
    EXPECT_EQ(log.views.size(), 2u);
    EXPECT_EQ(qmhost::appViewTable()->getActiveDoc(), b->view());
    qmhost::progressMonitor().end();
    ASSERT_TRUE(WaitFor([&] { return log.views.size() >= 3; }));
    QApplication::processEvents();
    EXPECT_EQ(log.views.size(), 3u);
    EXPECT_EQ(log.views.back(), a->view());

    // Closing the front document: the other becomes the front one; closing the last leaves none.
    Viewer().closeDocument(a);
    EXPECT_EQ(log.views.back(), b->view());
    Viewer().closeDocument(b);
    EXPECT_EQ(log.views.back(), nullptr);
}

TEST_F(ViewerModel, ProgressShowsInTheStatusBarWithAWaitCursorAndEscAsksToStop) {
    qmviewer::DocumentWindow* window = Viewer().newWindow();
    QProgressBar* bar = window->progress()->bar();
    EXPECT_FALSE(window->progress()->isVisibleTo(window));
    qmhost::ProgressMonitor& monitor = qmhost::progressMonitor();
    monitor.begin();
    monitor.setText("印章 1/4");
    monitor.setDuration(4);
    monitor.setCurrValue(3);
    EXPECT_TRUE(window->progress()->isVisibleTo(window));
    EXPECT_EQ(bar->maximum(), 4);
    EXPECT_EQ(bar->value(), 3);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    EXPECT_FALSE(Viewer().cancelRequested());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(window, &escape);
    EXPECT_TRUE(Viewer().cancelRequested());
    monitor.end();
    EXPECT_FALSE(window->progress()->isVisibleTo(window));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ASSERT_TRUE(WaitFor([] { return !Viewer().cancelRequested(); })) << "the next run starts uncancelled";
}

TEST_F(ViewerModel, AlertsBecomeMessagesAndPluginWindowsCloseBeforeTheirPluginGoes) {
    qmhost::appViewTable()->alertNote("印章文档 failed");
    EXPECT_EQ(Prompts().messages, QStringList{QString::fromUtf8("印章文档 failed")});

    // A plug-in registers its modeless window through the Win table.
    const auto* win = static_cast<const WinTable*>(qmhost::tables().find("Win", kTableVersion5_1));
    ASSERT_NE(win, nullptr);
    ASSERT_NE(win->registerModelessWindow, nullptr);
    auto* dialog = new QDialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    win->registerModelessWindow(dialog);
    win->registerModelessWindow(dialog);
    win->registerModelessWindow(nullptr);
    EXPECT_EQ(qmhost::modelessWindows().windows(), std::vector<void*>{dialog});
    // Showing it does not change the front document.
    qmviewer::DocumentWindow* window = Viewer().openFile(QString::fromStdString(mFolder.file("a.pdf")));
    ASSERT_NE(window, nullptr);
    dialog->activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(qmhost::appViewTable()->getActiveDoc(), window->view());
    // The host closes it before the plug-in goes; the plug-in unregisters it as it goes.
    QObject::connect(dialog, &QObject::destroyed, [win, dialog] { win->unregisterModelessWindow(dialog); });
    QPointer<QDialog> watched(dialog);
    Viewer().closePluginWindows();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull());
    EXPECT_TRUE(qmhost::modelessWindows().windows().empty());
}

}  // namespace
