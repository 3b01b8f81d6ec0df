#include "viewer/ViewerApp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <utility>

#include "app/HostSession.h"
#include "app/PdfFiles.h"
#include "pdmodel/DocumentChanges.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"
#include "HostTables.h"
#include "view/ActionPrompts.h"
#include "view/Alerts.h"
#include "view/CommandProcs.h"
#include "view/Cursors.h"
#include "view/DocumentSave.h"
#include "view/FileShowing.h"
#include "view/Menus.h"
#include "view/ModelessWindows.h"
#include "view/Notifications.h"
#include "view/ProgressMonitor.h"
#include "view/Toolbars.h"
#include "view/Views.h"
#include "viewer/BatchRunner.h"
#include "viewer/DocumentSnapshot.h"
#include "viewer/DocumentWindow.h"
#include "widgets/ActionPropertiesDialogs.h"
#include "viewer/PageView.h"
#include "viewer/ProgressStatus.h"
#include "viewer/TextFileWindow.h"
#include "viewer/ViewerPrompts.h"
#include "viewer/WarningLines.h"

namespace qmviewer {
namespace {

ViewerApp* gInstance = nullptr;

// Esc while a run is under way asks it to stop; nothing else is taken. A
// modal dialog (Preferences, the About box, a message) keeps its Esc: its
// command is under way while it is open, but no run is.
class CancelKeyFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
            gInstance && gInstance->busy() && !QApplication::activeModalWidget()) {
            gInstance->requestCancel();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

// A message for a file that cannot be opened, by what went wrong.
QString openFailureText(const QString& path, const HostError& failure) {
    const QString name = QFileInfo(path).fileName();
    switch (failure.code()) {
        case kHostErrFileNotFound: return QStringLiteral("The file \"%1\" does not exist.").arg(path);
        case kHostErrEncrypted:
            return QStringLiteral("\"%1\" is encrypted and needs a password to be opened. Quillmark cannot open "
                                  "password-protected documents.")
                .arg(name);
        case kHostErrBadPDF:
            return QStringLiteral("\"%1\" cannot be opened: it is not a PDF file, or it is damaged.\n\n%2")
                .arg(name, QString::fromUtf8(failure.what()));
        default: return QStringLiteral("\"%1\" cannot be opened.\n\n%2").arg(name, QString::fromUtf8(failure.what()));
    }
}

}  // namespace

ViewerApp::ViewerApp() {
    gInstance = this;
    mChangeTimer = new QTimer(this);
    mChangeTimer->setSingleShot(true);
    mChangeTimer->setInterval(30);  // coalesces the many changes of one run
    connect(mChangeTimer, &QTimer::timeout, this, &ViewerApp::flushChanges);
    qApp->installEventFilter(new CancelKeyFilter(this));
}

ViewerApp::~ViewerApp() {
    stop();
    if (gInstance == this) gInstance = nullptr;
}

ViewerApp* ViewerApp::instance() { return gInstance; }

void ViewerApp::requestCancel() {
    mCancelRequested = true;
    qmhost::progressMonitor().requestCancel();
}

bool ViewerApp::start(const qmhost::HostOptions& options, QString* error) {
    auto session = std::make_unique<qmhost::HostSession>(options);
    std::string why;
    // Reports go to the windows from the start: the plug-in may alert while it loads.
    installReports();
    if (!session->start(&why)) {
        removeReports();
        *error = QString::fromStdString(why);
        return false;
    }
    mSession = std::move(session);
    for (DocumentWindow* window : windows()) window->rebuildModelControls();
    return true;
}

const std::string& ViewerApp::pluginFolder() const {
    static const std::string none;
    return mSession ? mSession->pluginFolder() : none;
}

void ViewerApp::closePluginWindows() {
    const std::vector<void*> modeless = qmhost::modelessWindows().windows();
    for (void* window : modeless)
        if (qmhost::modelessWindows().contains(window)) static_cast<QWidget*>(window)->close();
}

void ViewerApp::stop() {
    // Plug-in windows go first, while the plug-in is still there to close them.
    closePluginWindows();
    for (DocumentWindow* window : windows()) {
        if (window->view()) {
            try {
                qmhost::views().close(window->view());
            } catch (const HostError&) {
                // Closed already.
            }
            window->clearView();
        }
        window->deleteLater();
    }
    mWindows.clear();
    mPluginViews.clear();
    mNewDocumentSources.clear();
    mPluginFiles.clear();
    for (TextFileWindow* window : mTextWindows)
        if (window) window->deleteLater();
    mTextWindows.clear();
    mSession.reset();  // closes what is left and unloads the plug-in
    removeReports();
}

void ViewerApp::installReports() {
    qmhost::alerts().setMode(qmhost::AlertMode::Handler);
    qmhost::alerts().setHandler([this](const std::string& text) { showMessage(QString::fromStdString(text), false); });
    qmhost::alerts().setWarningHandler([this](const std::string& text) { warningGiven(QString::fromStdString(text)); });
    qmhost::progressMonitor().setOutput(nullptr);
    qmhost::progressMonitor().setListener([this] { progressChanged(); });
    qmhost::cursors().setListener([this](AVCursor cursor) { cursorChanged(cursor); });
    qmhost::setDocumentChangeListener([this](PDDoc doc) { documentChanged(doc); });
    // Files the plug-in shows (its log, the user guide) and documents it opens
    // come in the middle of its command: they are shown once it is over.
    qmhost::setFileShower([this](const std::string& path) {
        mPluginFiles.push_back(QString::fromStdString(path));
        if (!busy()) QTimer::singleShot(0, this, &ViewerApp::afterCommand);
    });
    qmhost::setPluginViewListener([this](AVDoc view) {
        mPluginViews.push_back(view);
        const DocumentWindow* source = windowOf(mFront);
        mNewDocumentSources[view] = source ? source->documentName() : QString();
        if (!busy()) QTimer::singleShot(0, this, &ViewerApp::afterCommand);
    });
    qmhost::setViewClosingListener([this](AVDoc view) { viewClosing(view); });
    // The link-action handlers ask in dialogs.
    qmhost::installActionPropertiesDialogs();
}

void ViewerApp::removeReports() {
    qmhost::alerts().setHandler({});
    qmhost::alerts().setWarningHandler({});
    qmhost::alerts().setMode(qmhost::AlertMode::Print);
    qmhost::progressMonitor().setListener({});
    qmhost::cursors().setListener({});
    qmhost::setDocumentChangeListener({});
    qmhost::setFileShower({});
    qmhost::setPluginViewListener({});
    qmhost::setViewClosingListener({});
    qmhost::setActionPrompts(nullptr);
    if (mWaitCursor) QApplication::restoreOverrideCursor();
    if (mPluginWaitCursor) QApplication::restoreOverrideCursor();
    mWaitCursor = mPluginWaitCursor = false;
}

DocumentWindow* ViewerApp::newWindow() {
    auto* window = new DocumentWindow;
    mWindows.emplace_back(window);
    window->show();
    return window;
}

std::vector<DocumentWindow*> ViewerApp::windows() const {
    std::vector<DocumentWindow*> out;
    for (const QPointer<DocumentWindow>& window : mWindows)
        if (window) out.push_back(window);
    return out;
}

DocumentWindow* ViewerApp::windowOf(AVDoc view) const {
    for (DocumentWindow* window : windows())
        if (window->view() == view) return window;
    return nullptr;
}

QWidget* ViewerApp::dialogParent() const {
    if (QWidget* active = QApplication::activeWindow()) return active;
    const std::vector<DocumentWindow*> all = windows();
    return all.empty() ? nullptr : all.back();
}

void ViewerApp::showMessage(const QString& text, bool warning) {
    prompts().message(dialogParent(), warning ? QMessageBox::Warning : QMessageBox::Information,
                      QStringLiteral("Quillmark"), text);
}

void ViewerApp::warningGiven(const QString& text) {
    mHeldWarnings << text;
    // A run's warnings wait for its end: a message in its middle would stop it
    // until answered, and would hide the warnings that follow.
    if (!busy()) showHeldWarnings();
}

void ViewerApp::showHeldWarnings() {
    if (mHeldWarnings.isEmpty() || busy() || QApplication::activeModalWidget()) return;
    QStringList lines;
    for (const QString& warning : std::exchange(mHeldWarnings, {})) lines << QStringLiteral("Warning: ") + warning;
    showMessage(warningLines(lines), true);
}

DocumentWindow* ViewerApp::openFile(const QString& path, DocumentWindow* into) {
    if (busy()) return nullptr;
    PDDoc doc = nullptr;
    AVDoc view = nullptr;
    try {
        doc = qmhost::openPdfDocument(QFileInfo(path).absoluteFilePath().toStdString());
        view = qmhost::views().open(doc, QFileInfo(path).fileName().toStdString());
    } catch (const HostError& failure) {
        if (doc && !view) qmhost::pdModelTable()->docClose(doc);
        showMessage(openFailureText(path, failure), true);
        return nullptr;
    }
    DocumentWindow* window = into && !into->view() ? into : newWindow();
    QString error;
    if (!window->showView(view, &error)) {
        qmhost::views().close(view);
        showMessage(QStringLiteral("\"%1\" cannot be shown: %2").arg(QFileInfo(path).fileName(), error), true);
        return nullptr;
    }
    window->show();
    window->raise();
    window->activateWindow();
    windowActivated(window);
    return window;
}

bool ViewerApp::save(DocumentWindow* window) {
    if (!window->view() || busy()) return false;
    const QString path = documentPath(window->document());
    if (path.isEmpty()) return saveAs(window);
    try {
        qmhost::saveDocumentAs(window->document(), path.toStdString());
    } catch (const HostError& failure) {
        showMessage(QStringLiteral("The document could not be saved.\n\n%1").arg(QString::fromUtf8(failure.what())), true);
        return false;
    }
    window->updateTitle();
    return true;
}

bool ViewerApp::saveAs(DocumentWindow* window) {
    if (!window->view() || busy()) return false;
    const QString path = prompts().saveFile(window, QStringLiteral("Save As"), documentPath(window->document()));
    if (path.isEmpty()) return false;
    try {
        qmhost::saveDocumentAs(window->document(), QFileInfo(path).absoluteFilePath().toStdString());
    } catch (const HostError& failure) {
        showMessage(QStringLiteral("The document could not be saved as \"%1\".\n\n%2")
                        .arg(path, QString::fromUtf8(failure.what())),
                    true);
        return false;
    }
    qmhost::views().setTitle(window->view(), QFileInfo(path).fileName().toStdString());
    window->updateTitle();
    return true;
}

bool ViewerApp::settleUnsaved(DocumentWindow* window) {
    if (!window->view() || !hasUnsavedChanges(window->document())) return true;
    switch (prompts().askUnsaved(window, window->documentName())) {
        case UnsavedAnswer::Save: return save(window);
        case UnsavedAnswer::Discard: return true;
        case UnsavedAnswer::Cancel: return false;
    }
    return false;
}

DocumentWindow* ViewerApp::frontmostWithDocument() const {
    const std::vector<DocumentWindow*> all = windows();
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        if ((*it)->view()) return *it;
    return nullptr;
}

bool ViewerApp::closeDocument(DocumentWindow* window) {
    const AVDoc view = window->view();
    if (!view || busy()) return !view;
    if (!settleUnsaved(window)) return false;
    window->clearView();
    try {
        qmhost::views().close(view);
    } catch (const HostError&) {
        // Gone already: nothing left to close.
    }
    mChanged.clear();
    if (mFront == view) {
        // The document of the window in front takes its place; with none, there is no front document.
        if (DocumentWindow* next = frontmostWithDocument())
            windowActivated(next);
        else
            announceFront(nullptr);
    }
    for (DocumentWindow* each : windows()) each->refreshToolBars();
    return true;
}

bool ViewerApp::quit() {
    if (busy()) return false;
    // Every question before anything closes: a Cancel leaves all as it was.
    for (DocumentWindow* window : windows())
        if (!settleUnsaved(window)) return false;
    mQuitting = true;
    stop();
    QCoreApplication::quit();
    return true;
}

void ViewerApp::windowClosed(DocumentWindow* window) {
    std::erase_if(mWindows, [window](const QPointer<DocumentWindow>& each) { return !each || each == window; });
    if (mWindows.empty() && !mQuitting && mQuitWithLastWindow) quit();
}

void ViewerApp::windowActivated(DocumentWindow* window) {
    const auto at = std::find(mWindows.begin(), mWindows.end(), window);
    if (at != mWindows.end()) std::rotate(at, at + 1, mWindows.end());
    if (!window->view()) return;
    if (busy()) {
        // Never in the middle of a run: the run's document stays the front one until it ends.
        mPendingFront = window;
        return;
    }
    mPendingFront = nullptr;
    if (window->view() != mFront) announceFront(window->view());
}

void ViewerApp::announceFront(AVDoc view) {
    mFront = view;
    if (view)
        qmhost::views().setActive(view);  // sends the front-document notification
    else
        qmhost::notifications().sendView(kNotifyFrontDocChanged, nullptr);
    for (DocumentWindow* window : windows()) window->refreshToolBars();
    emit frontDocumentChanged(view);
}

void ViewerApp::runBatchSequence(QWidget* parent) {
    if (busy()) return;
    ++mCommandDepth;
    mCancelRequested = false;
    runBatchFromMenu(parent, mBatchCommandName, [this] { return mCancelRequested; });
    --mCommandDepth;
    afterCommand();
}

bool ViewerApp::busy() const { return mCommandDepth > 0 || qmhost::progressMonitor().depth() > 0; }

void ViewerApp::runMenuItem(AVMenuItem item) {
    if (!busy() && qmhost::menus().alive(item)) runProcedures(qmhost::menus().item(item).procs);
}

void ViewerApp::runToolButton(AVToolButton button) {
    if (!busy() && qmhost::toolbars().alive(button)) runProcedures(qmhost::toolbars().button(button).procs);
}

void ViewerApp::runProcedures(const qmhost::CommandProcs& procs) {
    // Asked again: the state may have changed since the menu was shown.
    if (!qmhost::computeEnabled(procs.enabled)) return;
    ++mCommandDepth;
    std::string message;
    const qmhost::ExecuteOutcome outcome = qmhost::execute(procs.execute, &message);
    --mCommandDepth;
    if (outcome == qmhost::ExecuteOutcome::Failed) showMessage(QString::fromStdString(message), true);
    afterCommand();
}

void ViewerApp::afterCommand() {
    if (busy()) return;
    mCancelRequested = false;
    flushChanges();
    showPluginViews();
    for (const QString& path : std::exchange(mPluginFiles, {})) showFile(path);
    if (mPendingFront) windowActivated(mPendingFront);
    for (DocumentWindow* window : windows()) {
        window->updateTitle();
        window->refreshToolBars();
    }
    showHeldWarnings();
}

void ViewerApp::progressChanged() {
    const bool running = qmhost::progressMonitor().depth() > 0;
    for (DocumentWindow* window : windows()) window->progress()->showMonitor();
    if (running && !mWaitCursor) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        mWaitCursor = true;
    } else if (!running && mWaitCursor) {
        QApplication::restoreOverrideCursor();
        mWaitCursor = false;
        // A run started from a plug-in window ends here, not in a command.
        QTimer::singleShot(0, this, &ViewerApp::afterCommand);
    }
}

void ViewerApp::cursorChanged(AVCursor cursor) {
    const bool wait = cursor && cursor == qmhost::cursors().standard(kAVCursorWait);
    if (wait && !mPluginWaitCursor) QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!wait && mPluginWaitCursor) QApplication::restoreOverrideCursor();
    mPluginWaitCursor = wait;
}

void ViewerApp::documentChanged(PDDoc doc) {
    // Runs inside the change: only take note; the pages are drawn again once the run is over.
    mChanged.insert(doc);
    if (!busy()) mChangeTimer->start();
}

void ViewerApp::flushChanges() {
    if (busy()) return;
    const std::set<PDDoc> changed = std::move(mChanged);
    mChanged.clear();
    for (DocumentWindow* window : windows()) {
        if (!window->view() || !changed.count(window->document())) continue;
        window->pages()->contentsChanged();
        window->updateTitle();
    }
}

void ViewerApp::windowUnblocked() {
    if (!mPluginViews.empty() || !mHeldWarnings.isEmpty()) QTimer::singleShot(0, this, &ViewerApp::afterCommand);
}

void ViewerApp::viewClosing(AVDoc view) {
    std::erase(mPluginViews, view);
    mNewDocumentSources.erase(view);
    // The viewer's own closes have let go of the view already: this is a plug-in's.
    DocumentWindow* window = windowOf(view);
    if (!window) return;
    window->clearView();
    if (mFront != view) return;
    mFront = nullptr;
    mPendingFront = frontmostWithDocument();
    if (!busy()) QTimer::singleShot(0, this, &ViewerApp::afterCommand);
}

void ViewerApp::showPluginViews() {
    // Not over a modal dialog: a plug-in's dialog may open a document for
    // its own use while it runs (and close it again).
    if (QApplication::activeModalWidget()) return;
    for (AVDoc view : std::exchange(mPluginViews, {})) {
        if (windowOf(view)) continue;
        try {
            qmhost::views().documentOf(view);
        } catch (const HostError&) {
            continue;  // closed again before its window came
        }
        nameNewDocument(view);
        DocumentWindow* window = newWindow();
        QString error;
        if (!window->showView(view, &error)) {
            showMessage(QStringLiteral("The new document cannot be shown: %1").arg(error), true);
            continue;
        }
        window->raise();
        window->activateWindow();
        mPendingFront = window;
    }
}

void ViewerApp::nameNewDocument(AVDoc view) {
    const auto source = mNewDocumentSources.find(view);
    const QString sourceName = source != mNewDocumentSources.end() ? source->second : QString();
    if (source != mNewDocumentSources.end()) mNewDocumentSources.erase(source);
    if (!qmhost::views().titleOf(view).empty() || !documentPath(qmhost::views().documentOf(view)).isEmpty()) return;
    const QString base = sourceName.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(sourceName).completeBaseName();
    const int number = ++mNewDocumentNumbers[base];
    const QString name = sourceName.isEmpty() && number == 1 ? base : QStringLiteral("%1 %2").arg(base).arg(number);
    qmhost::views().setTitle(view, name.toStdString());
}

void ViewerApp::showFile(const QString& path) {
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0) {
        openFile(path);
        return;
    }
    std::erase_if(mTextWindows, [](const QPointer<TextFileWindow>& each) { return each.isNull(); });
    auto shown = std::find_if(mTextWindows.begin(), mTextWindows.end(),
                              [&](const QPointer<TextFileWindow>& each) { return each->path() == path; });
    TextFileWindow* window = shown != mTextWindows.end() ? shown->data() : new TextFileWindow;
    QString error;
    if (!window->load(path, &error)) {
        if (shown == mTextWindows.end()) delete window;
        showMessage(QStringLiteral("The file \"%1\" cannot be shown: %2").arg(path, error), true);
        return;
    }
    if (shown == mTextWindows.end()) mTextWindows.emplace_back(window);
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace qmviewer
