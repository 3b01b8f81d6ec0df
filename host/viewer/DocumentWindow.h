// A window of the desktop host: the view of one open document (or none yet),
// with the File and View menus of the viewer, the menus of the host's model
// (Edit, Extensions, Help and what plug-ins add), the model's toolbars beside
// the viewer's navigation bar, and a status bar with the page, the zoom and
// the progress of a run.
#pragma once

#include <QMainWindow>
#include <vector>

#include "qmhost/AppViewTable.h"

class QComboBox;
class QLabel;
class QSpinBox;

namespace qmviewer {

class ModelToolBar;
class PageView;
class ProgressStatus;

class DocumentWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit DocumentWindow(QWidget* parent = nullptr);

    AVDoc view() const { return mView; }
    PDDoc document() const;
    // Shows the view's document; false with *error set when its pages cannot be drawn.
    bool showView(AVDoc view, QString* error);
    // Back to no document (the view was closed).
    void clearView();
    PageView* pages() const { return mPages; }
    ProgressStatus* progress() const { return mProgress; }

    // The title (file name, a mark for unsaved changes).
    void updateTitle();
    // The name the document goes by: its view's title, else its file's name,
    // else "Untitled"; empty without a document.
    QString documentName() const;
    // The toolbar buttons' enabled and marked states, asked again.
    void refreshToolBars();
    // The menus and toolbars of the model, made again (after the plug-in loads).
    void rebuildModelControls();
    QMenu* fileMenu() const { return mFileMenu; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildFileMenu();
    void buildViewMenu();
    void buildNavigationBar();
    void updateFileActions();
    void updateStatus();
    void applyZoomChoice(int index);
    void applyZoomText(QString text);
    // The zoom box shows the zoom in use (a fit mode or its percentage).
    void showZoom();

    AVDoc mView = nullptr;
    PageView* mPages;
    ProgressStatus* mProgress;
    QMenu* mFileMenu = nullptr;
    QMenu* mViewMenu = nullptr;
    QLabel* mPageLabel = nullptr;
    QSpinBox* mPageBox = nullptr;
    QComboBox* mZoomBox = nullptr;
    std::vector<QMenu*> mModelMenus;
    std::vector<ModelToolBar*> mModelBars;
};

}  // namespace qmviewer
