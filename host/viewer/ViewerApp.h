// The desktop host: the plug-in loaded into one QApplication (the plug-in
// makes none of its own), a window per open document, and the host's model
// shown with Qt. It routes what the host library reports to the windows:
// alerts become message boxes (the warnings given during a command or run
// together in one, once it is over), the progress monitor a status-bar bar with a
// wait cursor, changed documents are drawn again, and the window made active
// becomes the front document (notification 2) once no run is under way. A
// document that the plug-in opens (a run that writes into a new document) gets
// a window of its own and becomes the front document; files the plug-in shows
// open in the viewer too (a PDF in a document window, text in a text window).
//
// Commands (menu items, tool buttons, File menu work) run one at a time: while
// one runs, or while a run reports progress, menus and buttons are disabled,
// because the plug-in lets events through during its runs. Esc during a run
// asks it to stop; in a dialog, Esc is the dialog's.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "app/HostOptions.h"
#include "qmhost/AppViewTable.h"

class QTimer;
class QWidget;

namespace qmhost {
class HostSession;
struct CommandProcs;
}

namespace qmviewer {

class DocumentWindow;
class TextFileWindow;

class ViewerApp : public QObject {
    Q_OBJECT
public:
    // Needs a QApplication. At most one exists at a time.
    ViewerApp();
    ~ViewerApp() override;
    static ViewerApp* instance();

    // Registers the host's tables, installs the plug-in into the plug-ins
    // folder and loads it, and routes the host's reports to the windows.
    // False with *error set when the plug-in cannot be installed or loaded.
    bool start(const qmhost::HostOptions& options, QString* error);
    const std::string& pluginFolder() const;
    // Closes every document without asking and every plug-in window, then
    // unloads the plug-in (the destructor does it too).
    void stop();
    // Closes the windows that plug-ins registered as modeless (they unregister
    // themselves as they go).
    void closePluginWindows();

    // A window without a document (the first window of a run without files).
    DocumentWindow* newWindow();
    // Opens the file into `into` when that window shows no document, else into
    // a new window. Tells the user (a message box) and answers null when the
    // file cannot be opened (missing, damaged, encrypted, not a PDF).
    DocumentWindow* openFile(const QString& path, DocumentWindow* into = nullptr);
    std::vector<DocumentWindow*> windows() const;

    // The File menu's work on a window; each answers false when it did not
    // happen (the user cancelled, or it failed and the user was told).
    bool save(DocumentWindow* window);
    bool saveAs(DocumentWindow* window);
    // Asks about unsaved changes, then closes the document (the window stays).
    // The document of the window in front becomes the front document.
    bool closeDocument(DocumentWindow* window);
    // Asks about every document with unsaved changes first; unless the user
    // cancels (then nothing is closed), closes every document and plug-in
    // window and leaves the event loop. False when the user cancelled.
    bool quit();
    // Shows a file to the user in the viewer: a PDF file as a document, any
    // other as text; a message names a file that cannot be shown.
    void showFile(const QString& path);
    void runBatchSequence(QWidget* parent);
    // The batch command handler that runBatchSequence uses ("StamperCmd").
    void setBatchCommandName(std::string name) { mBatchCommandName = std::move(name); }

    // Runs a model item's or button's execute procedure as one command.
    void runMenuItem(AVMenuItem item);
    void runToolButton(AVToolButton button);
    // True while a command or a run is under way.
    bool busy() const;
    // Asks the run under way to stop: a batch sequence before its next file, a
    // plug-in's run at its next cancel test.
    void requestCancel();
    bool cancelRequested() const { return mCancelRequested; }

    // Whether closing the last window quits (true; tests keep one run going).
    void setQuitWithLastWindow(bool quit) { mQuitWithLastWindow = quit; }

    // From the windows.
    void windowActivated(DocumentWindow* window);
    void windowClosed(DocumentWindow* window);
    // A modal dialog that blocked the windows has gone.
    void windowUnblocked();

    // Draws changed documents again now (normally done once a run is over).
    void flushChanges();

signals:
    // The front document announced to the plug-in changed (null: none).
    void frontDocumentChanged(AVDoc view);

private:
    void installReports();
    void removeReports();
    void progressChanged();
    void cursorChanged(AVCursor cursor);
    void documentChanged(PDDoc doc);
    void runProcedures(const qmhost::CommandProcs& procs);
    void afterCommand();
    // Windows for the views the plug-in opened since the last command, once no
    // modal dialog is open.
    void showPluginViews();
    // Names a document the plug-in made (it has no file) so that it can be told
    // apart: its source document's name with a number ("report 1"), else
    // "Untitled", "Untitled 2", ...
    void nameNewDocument(AVDoc view);
    // A view about to close: its window lets go of it.
    void viewClosing(AVDoc view);
    // Asks about the window's unsaved changes (saving when asked); false when
    // the user cancelled or the save failed.
    bool settleUnsaved(DocumentWindow* window);
    // The window most recently in front that shows a document; null when none.
    DocumentWindow* frontmostWithDocument() const;
    void announceFront(AVDoc view);
    DocumentWindow* windowOf(AVDoc view) const;
    void showMessage(const QString& text, bool warning);
    // A warning: shown at once outside commands and runs, else held until the
    // command or run is over.
    void warningGiven(const QString& text);
    // The warnings held, in one message; nothing while a command or run is
    // under way or a modal window is up.
    void showHeldWarnings();
    QWidget* dialogParent() const;

    std::unique_ptr<qmhost::HostSession> mSession;
    std::vector<QPointer<DocumentWindow>> mWindows;  // the one last in front last
    std::vector<AVDoc> mPluginViews;    // opened by the plug-in, no window yet
    std::map<AVDoc, QString> mNewDocumentSources;  // the front document's name when the plug-in opened it
    std::map<QString, int> mNewDocumentNumbers;    // the last number given after each name
    std::vector<QString> mPluginFiles;  // the plug-in asked to show, not shown yet
    QStringList mHeldWarnings;          // given during a command or run, not shown yet
    std::vector<QPointer<TextFileWindow>> mTextWindows;
    std::set<PDDoc> mChanged;
    QTimer* mChangeTimer = nullptr;
    QPointer<DocumentWindow> mPendingFront;
    AVDoc mFront = nullptr;
    int mCommandDepth = 0;
    bool mWaitCursor = false;
    bool mPluginWaitCursor = false;
    bool mCancelRequested = false;
    bool mQuitting = false;
    bool mQuitWithLastWindow = true;
    std::string mBatchCommandName = "StamperCmd";
};

}  // namespace qmviewer
