#include "ViewerFixture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QThread>
#include <QTimer>
#include <memory>

#include "common/PdfFixtures.h"
#include "view/ProgressMonitor.h"
#include "viewer/DocumentWindow.h"
#include "viewer/ModelMenu.h"
#include "viewer/PageView.h"
#include "viewer/ViewerApp.h"

namespace qmviewertest {
namespace {

struct Session {
    std::unique_ptr<QApplication> app;
    std::unique_ptr<qmtest::FixtureFolder> folder;
    std::unique_ptr<qmviewer::ViewerApp> viewer;
    ScriptedPrompts prompts;
};

Session& session() {
    static Session instance;
    return instance;
}

class ViewerEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "viewer_tests";
        static char* argv[] = {name, nullptr};
        Session& s = session();
        s.app = std::make_unique<QApplication>(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        s.folder = std::make_unique<qmtest::FixtureFolder>();
        // The sample profile, imported as a user would, before the plug-in loads.
        const qmtest::CommandResult imported =
            qmtest::runCommand(std::string(QM_TEST_CLI_PATH) + " --plugin-dir " + qmtest::shellQuote(s.folder->path()) +
                               " profile import " + qmtest::shellQuote(SamplePath("sample-profile.json")) +
                               " --name Court");
        ASSERT_EQ(imported.status, 0) << imported.output;
        qmviewer::setPrompts(&s.prompts);
        s.viewer = std::make_unique<qmviewer::ViewerApp>();
        qmhost::HostOptions options;
        options.pluginDir = s.folder->path();
        QString error;
        ASSERT_TRUE(s.viewer->start(options, &error)) << error.toStdString();
        s.viewer->setQuitWithLastWindow(false);
    }
    void TearDown() override {
        Session& s = session();
        s.viewer.reset();
        qmviewer::setPrompts(nullptr);
        QApplication::processEvents();
        s.app.reset();
        s.folder.reset();
    }
};

const auto* const gEnvironment = ::testing::AddGlobalTestEnvironment(new ViewerEnvironment);

template <class T>
T take(std::deque<T>& queue, T none) {
    if (queue.empty()) return none;
    T value = queue.front();
    queue.pop_front();
    return value;
}

}  // namespace

void ScriptedPrompts::message(QWidget*, QMessageBox::Icon, const QString&, const QString& text) {
    messages << text;
    messagesDuringRuns << (qmhost::progressMonitor().depth() > 0);
}

qmviewer::UnsavedAnswer ScriptedPrompts::askUnsaved(QWidget*, const QString& name) {
    unsavedAsked << name;
    return take(unsavedAnswers, qmviewer::UnsavedAnswer::Cancel);
}
QStringList ScriptedPrompts::openFiles(QWidget*, const QString&) { return take(openAnswers, QStringList()); }
QString ScriptedPrompts::saveFile(QWidget*, const QString&, const QString&) { return take(saveAnswers, QString()); }
QString ScriptedPrompts::chooseFolder(QWidget*, const QString&) { return take(folderAnswers, QString()); }
qmviewer::ReplaceAnswer ScriptedPrompts::askReplace(QWidget*, const QString&, const QStringList& existing, int total) {
    replaceAsked << QStringLiteral("%1 of %2").arg(existing.join(QLatin1Char(','))).arg(total);
    return take(replaceAnswers, qmviewer::ReplaceAnswer::Cancel);
}
int ScriptedPrompts::pageNumber(QWidget*, int, int) { return take(pageAnswers, 0); }

void ScriptedPrompts::clear() {
    messages.clear();
    messagesDuringRuns.clear();
    unsavedAsked.clear();
    unsavedAnswers.clear();
    openAnswers.clear();
    saveAnswers.clear();
    folderAnswers.clear();
    replaceAsked.clear();
    replaceAnswers.clear();
    pageAnswers.clear();
}

qmviewer::ViewerApp& Viewer() { return *session().viewer; }
ScriptedPrompts& Prompts() { return session().prompts; }
const std::string& PluginFolder() { return session().folder->path(); }

std::string SamplePath(const char* name) { return std::string(QM_TEST_SOURCE_DIR) + "/samples/" + name; }

void ImportProfile(const std::string& name, const std::string& json) {
    qmtest::FixtureFolder folder;
    qmtest::writeBytes(folder.file("profile.json"), json);
    const qmtest::CommandResult imported = qmtest::runCommand(
        std::string(QM_TEST_CLI_PATH) + " --plugin-dir " + qmtest::shellQuote(PluginFolder()) + " profile import " +
        qmtest::shellQuote(folder.file("profile.json")) + " --name " + qmtest::shellQuote(name));
    EXPECT_EQ(imported.status, 0) << imported.output;
}

void DeleteProfile(const std::string& name) {
    const qmtest::CommandResult deleted =
        qmtest::runCommand(std::string(QM_TEST_CLI_PATH) + " --plugin-dir " + qmtest::shellQuote(PluginFolder()) +
                           " profile delete " + qmtest::shellQuote(name));
    EXPECT_EQ(deleted.status, 0) << deleted.output;
}

bool ClickProfile(QWidget* manager, const QString& profile) {
    auto* tree = manager->findChild<QTreeWidget*>("1001");
    if (!tree) return false;
    const QList<QTreeWidgetItem*> found = tree->findItems(profile, Qt::MatchExactly);
    if (found.isEmpty()) return false;
    // On the label (a click right of it selects nothing, as in a tree control).
    const QRect row = tree->visualItemRect(found.front());
    const QPoint at(row.left() + tree->iconSize().width() + 4 + tree->fontMetrics().horizontalAdvance(profile) / 2,
                    row.center().y());
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, at, tree->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &click);
    }
    QApplication::processEvents();
    return true;
}

bool PickProfileAndStamp(QWidget* manager, const QString& profile) {
    auto* stamp = manager->findChild<QPushButton*>("1");
    if (!stamp || !ClickProfile(manager, profile) || !stamp->isEnabled()) return false;
    stamp->click();
    return true;
}

void CloseEverything() {
    while (qmhost::progressMonitor().depth() > 0) qmhost::progressMonitor().end();
    for (qmviewer::DocumentWindow* window : Viewer().windows()) {
        Prompts().unsavedAnswers.push_back(qmviewer::UnsavedAnswer::Discard);
        Viewer().closeDocument(window);
        window->hide();
        window->deleteLater();
        Viewer().windowClosed(window);
    }
    // Gone now, not in some later event loop (a modal dialog's, parented to the active window).
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    Prompts().clear();
}

bool WaitFor(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > milliseconds) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

bool WaitForDrawing(qmviewer::DocumentWindow* window) {
    QApplication::processEvents();
    return WaitFor([window] { return window->pages()->visiblePagesDrawn(); });
}

qmviewer::DocumentWindow* OpenAndDraw(const std::string& path) {
    qmviewer::DocumentWindow* window = Viewer().openFile(QString::fromStdString(path));
    if (!window) return nullptr;
    window->resize(800, 900);
    window->show();
    return WaitForDrawing(window) ? window : nullptr;
}

QAction* MenuAction(qmviewer::DocumentWindow* window, const QStringList& path) {
    QMenu* menu = nullptr;
    for (QAction* top : window->menuBar()->actions())
        if (top->menu() && top->menu()->objectName() == path.front()) menu = top->menu();
    for (qsizetype i = 1; menu && i < path.size(); ++i) {
        emit menu->aboutToShow();
        QAction* found = nullptr;
        for (QAction* action : menu->actions())
            if (action->objectName() == path[i] || action->text().remove(QLatin1Char('&')) == path[i]) found = action;
        if (!found || i + 1 == path.size()) return found;
        menu = found->menu();
    }
    return nullptr;
}

bool WithNextModal(const std::function<void()>& open, const std::function<void(QDialog*)>& act) {
    const QWidget* before = QApplication::activeModalWidget();
    bool seen = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog == before || !dialog->isVisible()) return;
        poll.stop();
        seen = true;
        dialog->activateWindow();
        QApplication::processEvents();
        act(dialog);
        if (dialog->isVisible()) dialog->reject();
    });
    poll.start();
    QTimer::singleShot(10000, &poll, &QTimer::stop);
    open();
    return seen;
}

bool WithNextModal(QAction* action, const std::function<void(QDialog*)>& act) {
    return WithNextModal([action] { action->trigger(); }, act);
}

void SaveScreenshot(QWidget* widget, const char* name) {
    QDir().mkpath(QStringLiteral(QM_SCREENSHOT_DIR));
    const QString path = QStringLiteral(QM_SCREENSHOT_DIR "/%1.png").arg(QString::fromLatin1(name));
    EXPECT_TRUE(widget->grab().save(path)) << path.toStdString();
}

int DifferingPixels(const QImage& a, const QImage& b, const QRect& area) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size()) return -1;
    int count = 0;
    const QRect clipped = area.intersected(x.rect());
    for (int row = clipped.top(); row <= clipped.bottom(); ++row)
        for (int column = clipped.left(); column <= clipped.right(); ++column)
            if (x.pixel(column, row) != y.pixel(column, row)) ++count;
    return count;
}

}  // namespace qmviewertest
