// The desktop host under test: one QApplication and one ViewerApp for the
// whole program (the plug-in is loaded once, from a temporary plug-ins folder
// holding the sample profile as "Court"), prompts that answer from a script
// and record what was asked, and helpers that drive windows by object name.
#pragma once

#include <QImage>
#include <QStringList>
#include <deque>
#include <string>

#include "viewer/ViewerPrompts.h"

namespace qmviewer {
class DocumentWindow;
class ViewerApp;
}  // namespace qmviewer

class QAction;
class QDialog;
class QMenu;
class QWidget;

namespace qmviewertest {

// Answers the viewer's questions from queues; records every message.
class ScriptedPrompts : public qmviewer::ViewerPrompts {
public:
    void message(QWidget*, QMessageBox::Icon, const QString&, const QString& text) override;
    qmviewer::UnsavedAnswer askUnsaved(QWidget*, const QString& name) override;
    QStringList openFiles(QWidget*, const QString&) override;
    QString saveFile(QWidget*, const QString&, const QString&) override;
    QString chooseFolder(QWidget*, const QString&) override;
    qmviewer::ReplaceAnswer askReplace(QWidget*, const QString&, const QStringList& existing, int total) override;
    int pageNumber(QWidget*, int, int) override;

    void clear();

    QStringList messages;
    QList<bool> messagesDuringRuns;  // for each message: whether a run was under way when it showed
    QStringList unsavedAsked;
    std::deque<qmviewer::UnsavedAnswer> unsavedAnswers;
    std::deque<QStringList> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<QString> folderAnswers;
    // The replace questions asked: the names of the files there, "of" the outputs' number.
    QStringList replaceAsked;
    std::deque<qmviewer::ReplaceAnswer> replaceAnswers;  // none left: Cancel
    std::deque<int> pageAnswers;
};

qmviewer::ViewerApp& Viewer();
ScriptedPrompts& Prompts();
// While it lives, the viewer asks with the desktop's own dialogs, not Prompts().
struct DesktopPromptsInUse {
    DesktopPromptsInUse() { qmviewer::setPrompts(nullptr); }
    ~DesktopPromptsInUse() { qmviewer::setPrompts(&Prompts()); }
};
const std::string& PluginFolder();
// The folder with the sample PDF and profile.
std::string SamplePath(const char* name);

// Imports the profile JSON into the plug-ins folder under that name (its Stamp
// menu lists it from then on); deletes it again.
void ImportProfile(const std::string& name, const std::string& json);
void DeleteProfile(const std::string& name);

// In the stamp manager (modal or not): clicks the profile of that name in its
// tree (control 1001), as a user would; false when it is not there.
bool ClickProfile(QWidget* manager, const QString& profile);
// Clicks the profile and then the manager's stamp button (1). False when the
// profile is not there or the button stays disabled.
bool PickProfileAndStamp(QWidget* manager, const QString& profile);

// Closes every document without asking and every window, and clears the prompts.
void CloseEverything();

// Lets events through until done() or the time runs out; answers done().
bool WaitFor(const std::function<bool()>& done, int milliseconds = 10000);
// Opens the file into a window and waits until its visible pages are drawn.
qmviewer::DocumentWindow* OpenAndDraw(const std::string& path);
bool WaitForDrawing(qmviewer::DocumentWindow* window);

// The action reached through menus by object names, each menu made as it is
// about to show (as a user opening them would): {"Extensions", "VELM:Quillmark", ...};
// below the menu bar an entry may also be an action's text without its "&".
QAction* MenuAction(qmviewer::DocumentWindow* window, const QStringList& path);

// Runs open, which shows a modal dialog, and hands the first visible modal
// dialog other than the one in front before to act, from that dialog's own
// event loop; a dialog act leaves open is rejected. Answers whether one showed.
bool WithNextModal(const std::function<void()>& open, const std::function<void(QDialog*)>& act);
bool WithNextModal(QAction* action, const std::function<void(QDialog*)>& act);

// Writes the widget's picture to the screenshots folder as name.png.
void SaveScreenshot(QWidget* widget, const char* name);

// The drawn page's pixels that differ from another drawing of it (same size).
int DifferingPixels(const QImage& a, const QImage& b, const QRect& area);

}  // namespace qmviewertest
