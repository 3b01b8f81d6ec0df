#include "viewer/DocumentWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QMenuBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>

#include "view/Menus.h"
#include "view/Toolbars.h"
#include "view/Views.h"
#include "viewer/DocumentSnapshot.h"
#include "viewer/ModelMenu.h"
#include "viewer/ModelToolBar.h"
#include "viewer/PageView.h"
#include "viewer/ProgressStatus.h"
#include "viewer/ViewerApp.h"
#include "viewer/ViewerPrompts.h"

namespace qmviewer {
namespace {

struct ZoomChoice {
    const char* text;
    Zoom zoom;
};
const ZoomChoice kZoomChoices[] = {
    {"Fit Page", {ZoomMode::FitPage, 100}}, {"Fit Width", {ZoomMode::FitWidth, 100}},
    {"25%", {ZoomMode::Percent, 25}},       {"50%", {ZoomMode::Percent, 50}},
    {"75%", {ZoomMode::Percent, 75}},       {"100%", {ZoomMode::Percent, 100}},
    {"125%", {ZoomMode::Percent, 125}},     {"150%", {ZoomMode::Percent, 150}},
    {"200%", {ZoomMode::Percent, 200}},     {"400%", {ZoomMode::Percent, 400}},
    {"800%", {ZoomMode::Percent, 800}},
};

QAction* namedAction(QMenu* menu, const QString& text, const char* name, const QKeySequence& keys = {}) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    if (!keys.isEmpty()) action->setShortcut(keys);
    return action;
}

}  // namespace

DocumentWindow::DocumentWindow(QWidget* parent)
    : QMainWindow(parent), mPages(new PageView(this)), mProgress(new ProgressStatus(this)) {
    setObjectName(QStringLiteral("DocumentWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setCentralWidget(mPages);
    mPages->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);  // fit width must not flip it on and off
    buildFileMenu();
    buildViewMenu();
    buildNavigationBar();
    mPageLabel = new QLabel(this);
    mPageLabel->setObjectName(QStringLiteral("PageStatus"));
    statusBar()->addWidget(mPageLabel, 1);
    statusBar()->addPermanentWidget(mProgress);
    connect(mPages, &PageView::currentPageChanged, this, [this] { updateStatus(); });
    connect(mPages, &PageView::zoomChanged, this, [this] {
        updateStatus();
        showZoom();
    });
    rebuildModelControls();
    resize(900, 1000);
    updateTitle();
    updateStatus();
}

PDDoc DocumentWindow::document() const { return mPages->document(); }

bool DocumentWindow::showView(AVDoc view, QString* error) {
    if (!mPages->setDocument(qmhost::views().documentOf(view), error)) return false;
    mView = view;
    updateTitle();
    updateStatus();
    return true;
}

void DocumentWindow::clearView() {
    QString ignored;
    mPages->setDocument(nullptr, &ignored);
    mView = nullptr;
    updateTitle();
    updateStatus();
}

void DocumentWindow::buildFileMenu() {
    mFileMenu = menuBar()->addMenu(QStringLiteral("&File"));
    mFileMenu->setObjectName(QStringLiteral("File"));
    ViewerApp* app = ViewerApp::instance();
    connect(namedAction(mFileMenu, QStringLiteral("&Open..."), "FileOpen", QKeySequence::Open),
            &QAction::triggered, this, [this, app] {
                for (const QString& path : prompts().openFiles(this, QStringLiteral("Open")))
                    app->openFile(path, this);
            });
    connect(namedAction(mFileMenu, QStringLiteral("&Save"), "FileSave", QKeySequence::Save), &QAction::triggered,
            this, [this, app] { app->save(this); });
    connect(namedAction(mFileMenu, QStringLiteral("Save &As..."), "FileSaveAs", QKeySequence::SaveAs),
            &QAction::triggered, this, [this, app] { app->saveAs(this); });
    connect(namedAction(mFileMenu, QStringLiteral("&Close"), "FileClose", QKeySequence::Close),
            &QAction::triggered, this, [this, app] { app->closeDocument(this); });
    mFileMenu->addSeparator();
    connect(namedAction(mFileMenu, QStringLiteral("&Batch Sequence..."), "FileBatch"), &QAction::triggered, this,
            [this, app] { app->runBatchSequence(this); });
    mFileMenu->addSeparator();
    connect(namedAction(mFileMenu, QStringLiteral("&Quit"), "FileQuit", QKeySequence::Quit), &QAction::triggered,
            app, [app] { app->quit(); });
    connect(mFileMenu, &QMenu::aboutToShow, this, &DocumentWindow::updateFileActions);
}

void DocumentWindow::updateFileActions() {
    const bool idle = !ViewerApp::instance()->busy();
    const bool open = mView != nullptr;
    for (QAction* action : mFileMenu->actions()) {
        const QString name = action->objectName();
        if (name == QLatin1String("FileSave") || name == QLatin1String("FileSaveAs") ||
            name == QLatin1String("FileClose"))
            action->setEnabled(idle && open);
        else if (!action->isSeparator())
            action->setEnabled(idle);
    }
}

void DocumentWindow::buildViewMenu() {
    mViewMenu = new QMenu(QStringLiteral("&View"), this);
    mViewMenu->setObjectName(QStringLiteral("View"));
    connect(namedAction(mViewMenu, QStringLiteral("Fit &Page"), "ViewFitPage", QKeySequence(Qt::CTRL | Qt::Key_0)),
            &QAction::triggered, this, [this] { mPages->setZoom({ZoomMode::FitPage, 100}); });
    connect(namedAction(mViewMenu, QStringLiteral("Fit &Width"), "ViewFitWidth", QKeySequence(Qt::CTRL | Qt::Key_2)),
            &QAction::triggered, this, [this] { mPages->setZoom({ZoomMode::FitWidth, 100}); });
    connect(namedAction(mViewMenu, QStringLiteral("&Actual Size"), "ViewActualSize", QKeySequence(Qt::CTRL | Qt::Key_1)),
            &QAction::triggered, this, [this] { mPages->setZoom({ZoomMode::Percent, 100}); });
    connect(namedAction(mViewMenu, QStringLiteral("Zoom &In"), "ViewZoomIn", QKeySequence::ZoomIn),
            &QAction::triggered, mPages, &PageView::zoomIn);
    connect(namedAction(mViewMenu, QStringLiteral("Zoom &Out"), "ViewZoomOut", QKeySequence::ZoomOut),
            &QAction::triggered, mPages, &PageView::zoomOut);
    mViewMenu->addSeparator();
    connect(namedAction(mViewMenu, QStringLiteral("&First Page"), "GoFirst", QKeySequence(Qt::CTRL | Qt::Key_Home)),
            &QAction::triggered, mPages, &PageView::firstPage);
    connect(namedAction(mViewMenu, QStringLiteral("Pre&vious Page"), "GoPrevious", QKeySequence(Qt::Key_Left)),
            &QAction::triggered, mPages, &PageView::previousPage);
    connect(namedAction(mViewMenu, QStringLiteral("&Next Page"), "GoNext", QKeySequence(Qt::Key_Right)),
            &QAction::triggered, mPages, &PageView::nextPage);
    connect(namedAction(mViewMenu, QStringLiteral("&Last Page"), "GoLast", QKeySequence(Qt::CTRL | Qt::Key_End)),
            &QAction::triggered, mPages, &PageView::lastPage);
    connect(namedAction(mViewMenu, QStringLiteral("&Go to Page..."), "GoToPage", QKeySequence(Qt::CTRL | Qt::Key_G)),
            &QAction::triggered, this, [this] {
                if (mPages->pageCount() == 0) return;
                const int page = prompts().pageNumber(this, mPages->currentPage() + 1, mPages->pageCount());
                if (page > 0) mPages->goToPage(page - 1);
            });
}

void DocumentWindow::buildNavigationBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Navigation"));
    bar->setObjectName(QStringLiteral("Navigation"));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const struct {
        QMenu* menu;
        const char* name;
        QStyle::StandardPixmap icon;
    } shown[] = {
        {mFileMenu, "FileOpen", QStyle::SP_DialogOpenButton},   {mFileMenu, "FileSave", QStyle::SP_DialogSaveButton},
        {mViewMenu, "GoFirst", QStyle::SP_MediaSkipBackward},   {mViewMenu, "GoPrevious", QStyle::SP_ArrowUp},
        {mViewMenu, "GoNext", QStyle::SP_ArrowDown},            {mViewMenu, "GoLast", QStyle::SP_MediaSkipForward},
    };
    for (const auto& each : shown) {
        QAction* action = each.menu->findChild<QAction*>(QString::fromLatin1(each.name));
        action->setIcon(style()->standardIcon(each.icon));
    }
    for (const char* name : {"FileOpen", "FileSave"})
        bar->addAction(mFileMenu->findChild<QAction*>(QString::fromLatin1(name)));
    bar->addSeparator();
    for (const char* name : {"GoFirst", "GoPrevious"})
        bar->addAction(mViewMenu->findChild<QAction*>(QString::fromLatin1(name)));
    mPageBox = new QSpinBox(bar);
    mPageBox->setObjectName(QStringLiteral("PageNumber"));
    mPageBox->setRange(1, 1);
    mPageBox->setKeyboardTracking(false);
    bar->addWidget(mPageBox);
    connect(mPageBox, &QSpinBox::valueChanged, this, [this](int page) {
        if (page - 1 != mPages->currentPage()) mPages->goToPage(page - 1);
    });
    for (const char* name : {"GoNext", "GoLast"})
        bar->addAction(mViewMenu->findChild<QAction*>(QString::fromLatin1(name)));
    bar->addSeparator();
    mZoomBox = new QComboBox(bar);
    mZoomBox->setObjectName(QStringLiteral("ZoomChoice"));
    mZoomBox->setEditable(true);  // any percentage from 25 to 800 can be typed
    mZoomBox->setInsertPolicy(QComboBox::NoInsert);
    mZoomBox->setMinimumContentsLength(9);
    for (const ZoomChoice& choice : kZoomChoices) mZoomBox->addItem(QString::fromLatin1(choice.text));
    mZoomBox->setCurrentIndex(1);
    bar->addWidget(mZoomBox);
    connect(mZoomBox, &QComboBox::activated, this, &DocumentWindow::applyZoomChoice);
    connect(mZoomBox->lineEdit(), &QLineEdit::editingFinished, this, [this] { applyZoomText(mZoomBox->currentText()); });
}

void DocumentWindow::applyZoomChoice(int index) {
    if (index >= 0 && index < static_cast<int>(std::size(kZoomChoices))) mPages->setZoom(kZoomChoices[index].zoom);
}

void DocumentWindow::applyZoomText(QString text) {
    for (int i = 0; i < static_cast<int>(std::size(kZoomChoices)); ++i)
        if (text.compare(QString::fromLatin1(kZoomChoices[i].text), Qt::CaseInsensitive) == 0) return applyZoomChoice(i);
    bool ok = false;
    const double percent = text.remove(QLatin1Char('%')).trimmed().toDouble(&ok);
    if (ok && percent > 0) mPages->setZoom({ZoomMode::Percent, percent});  // clamped to 25-800 %
    showZoom();
}

void DocumentWindow::showZoom() {
    const Zoom& zoom = mPages->zoom();
    const QSignalBlocker quiet(mZoomBox);
    if (zoom.mode == ZoomMode::FitPage) mZoomBox->setCurrentIndex(0);
    else if (zoom.mode == ZoomMode::FitWidth) mZoomBox->setCurrentIndex(1);
    else mZoomBox->setEditText(QStringLiteral("%1%").arg(qRound(mPages->zoomPercent())));
}

void DocumentWindow::rebuildModelControls() {
    for (QMenu* menu : mModelMenus) {
        menuBar()->removeAction(menu->menuAction());
        menu->deleteLater();
    }
    mModelMenus.clear();
    for (ModelToolBar* bar : mModelBars) {
        removeToolBar(bar);
        bar->deleteLater();
    }
    mModelBars.clear();
    menuBar()->removeAction(mViewMenu->menuAction());
    const qmhost::Menus& model = qmhost::menus();
    for (AVMenu menu : model.menubarMenus()) {
        if (!model.alive(menu)) continue;
        auto* shown = new ModelMenu(menu, modelTitle(model.menu(menu).title), this);
        menuBar()->addMenu(shown);
        mModelMenus.push_back(shown);
        // The viewer's View menu follows Edit.
        if (model.menu(menu).name == "Edit") menuBar()->addMenu(mViewMenu);
    }
    if (!mViewMenu->menuAction()->associatedObjects().contains(menuBar())) menuBar()->addMenu(mViewMenu);
    for (AVToolBar bar : qmhost::toolbars().toolBarsInOrder()) {
        auto* shown = new ModelToolBar(bar, this);
        addToolBar(shown);
        mModelBars.push_back(shown);
    }
}

void DocumentWindow::refreshToolBars() {
    for (ModelToolBar* bar : mModelBars) bar->refresh();
}

QString DocumentWindow::documentName() const {
    if (!mView) return QString();
    const QString title = QString::fromStdString(qmhost::views().titleOf(mView));
    if (!title.isEmpty()) return title;
    const QString path = documentPath(document());
    return path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path).fileName();
}

void DocumentWindow::updateTitle() {
    // The title first: the mark for unsaved changes goes where it says.
    setWindowTitle(mView ? documentName() + QStringLiteral("[*] - Quillmark") : QStringLiteral("Quillmark"));
    setWindowModified(mView && hasUnsavedChanges(document()));
}

void DocumentWindow::updateStatus() {
    const int count = mPages->pageCount();
    if (count == 0) {
        mPageLabel->setText(mView ? QString() : QStringLiteral("No document open"));
        mPageBox->setRange(1, 1);
        mPageBox->setEnabled(false);
        return;
    }
    const int page = mPages->currentPage() + 1;
    mPageBox->setEnabled(true);
    mPageBox->setRange(1, count);
    mPageBox->setSuffix(QStringLiteral(" / %1").arg(count));
    if (mPageBox->value() != page) {
        const QSignalBlocker quiet(mPageBox);
        mPageBox->setValue(page);
    }
    mPageLabel->setText(QStringLiteral("Page %1 of %2    %3%").arg(page).arg(count).arg(qRound(mPages->zoomPercent())));
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    ViewerApp* app = ViewerApp::instance();
    if (app->busy() || (mView && !app->closeDocument(this))) {
        event->ignore();
        return;
    }
    event->accept();
    app->windowClosed(this);
}

bool DocumentWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowUnblocked) ViewerApp::instance()->windowUnblocked();
    return QMainWindow::event(event);
}

void DocumentWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) ViewerApp::instance()->windowActivated(this);
}

}  // namespace qmviewer
