// The stamp manager's window: controls, layout, menus, the tree's icons, and
// its life as the current stamp manager.
#include <QCheckBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "engine/CPDFDocument.h"
#include "stamper/CStamp.h"
#include "stamper/CStamperPreferences.h"
#include "stamper/StamperDialogSeams.h"
#include "support/HostTables.h"
#include "support/TableMembers.h"
#include "ui/CMultiTree.h"
#include "ui/CPreviewViewWnd.h"
#include "ui/CProfilesDlg.h"
#include "ui/PluginDialogLanguage.h"
#include "ui/ProfilesDlgSupport.h"
#include "ui/UiText.h"

namespace {

// Every manager alive, oldest first; the newest is the current stamp manager.
std::vector<CProfilesDlg*>& LiveManagers() {
    static std::vector<CProfilesDlg*> managers;
    return managers;
}

CProfilesDlg* sModeless = nullptr;

// The tree's label editor stays open when the focus only leaves because the
// window is activated anew (as when the popup menu that asked for a rename
// closes); it takes the focus back then. Any other focus change ends the edit.
class LabelEditorDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    bool eventFilter(QObject* inObject, QEvent* inEvent) override {
        if (inEvent->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(inEvent)->reason();
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
                QPointer<QWidget> editor(qobject_cast<QWidget*>(inObject));
                QTimer::singleShot(0, editor, [editor] {
                    if (editor && editor->isVisible()) editor->setFocus(Qt::OtherFocusReason);
                });
                return false;
            }
        }
        return QStyledItemDelegate::eventFilter(inObject, inEvent);
    }
};

constexpr int kPreviewWidth = 220;
constexpr int kPreviewHeight = 280;
constexpr int kPageFieldMax = 1000000000;

}  // namespace

CProfilesDlg::CProfilesDlg(QWidget* inParent, int32_t inTemplateId) : QDialog(inParent), mTemplateId(inTemplateId) {
    ui::MarkAsPluginDialog(this);
    setObjectName(QStringLiteral("CProfilesDlg"));
    LiveManagers().push_back(this);
    gProfilesDlg = this;
    mPreviewDoc = std::make_unique<CPDFDocument>();
    mPreviewDoc->CreateNew();
    BuildMenus();
    BuildLayout();
    InitDialog();
}

CProfilesDlg::~CProfilesDlg() {
    UnregisterNotification();
    // A design dialog still open goes first: it works on a stamp held here.
    qDeleteAll(findChildren<QDialog*>(QString(), Qt::FindDirectChildrenOnly));
    // The tree's objects go before the preview document they may have been built for.
    if (mTree) mTree->DeleteAllItems();
    if (mPreview) mPreview->SetDocument(nullptr);
    mPreviewDoc.reset();
    auto& managers = LiveManagers();
    managers.erase(std::remove(managers.begin(), managers.end(), this), managers.end());
    // A modal manager over a modeless one gives the pointer back to it.
    gProfilesDlg = managers.empty() ? nullptr : managers.back();
    if (sModeless == this) {
        // Off the host's list before the window goes.
        if (TableHasMember(gWinHFT, &WinTable::unregisterModelessWindow)) gWinHFT->unregisterModelessWindow(this);
        sModeless = nullptr;
    }
}

CProfilesDlg* CProfilesDlg::Create() {
    if (!sModeless) {
        sModeless = new CProfilesDlg(nullptr, kModelessTemplate);
        sModeless->setAttribute(Qt::WA_DeleteOnClose);
        // The host treats the manager as one of its windows and closes it before the plug-in goes.
        if (TableHasMember(gWinHFT, &WinTable::registerModelessWindow)) gWinHFT->registerModelessWindow(sModeless);
    }
    sModeless->show();
    sModeless->raise();
    sModeless->activateWindow();
    return sModeless;
}

CProfilesDlg* CProfilesDlg::GetModeless() { return sModeless; }

QPushButton* CProfilesDlg::MakeButton(const char* inId, uint32_t inTextId) {
    auto* button = new QPushButton(ui::ResText(inTextId), this);
    button->setObjectName(QString::fromLatin1(inId));
    button->setAutoDefault(false);
    return button;
}

void CProfilesDlg::BuildLayout() {
    setWindowTitle(ui::ResText(kStrCaption));

    mTree = new CMultiTree(this);
    mTree->setObjectName(QStringLiteral("1001"));
    mTree->setMinimumSize(220, 260);
    // Labels are edited only through the rename commands, which check the new name.
    mTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mTree->setItemDelegate(new LabelEditorDelegate(mTree));
    QPushButton* newProfile = MakeButton("1002", kStrNewProfileButton);
    QPushButton* addStamp = MakeButton("1003", kStrAddStamp);
    QPushButton* editStamp = MakeButton("1004", kStrEditStamp);
    QPushButton* remove = MakeButton("1005", kStrDelete);
    QPushButton* up = MakeButton("1006", kStrMoveUp);
    QPushButton* down = MakeButton("1007", kStrMoveDown);
    QPushButton* import = MakeButton("1008", kStrImport);
    QPushButton* exportButton = MakeButton("1009", kStrExport);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {newProfile, addStamp, editStamp, remove}) buttons->addWidget(button);
    buttons->addSpacing(8);
    buttons->addWidget(up);
    buttons->addWidget(down);
    buttons->addSpacing(8);
    buttons->addWidget(import);
    buttons->addWidget(exportButton);
    buttons->addStretch(1);
    auto* profiles = new QGroupBox(ui::ResText(kStrGroupProfiles), this);
    auto* profilesLayout = new QHBoxLayout(profiles);
    profilesLayout->addWidget(mTree, 1);
    profilesLayout->addLayout(buttons);

    mPreviewOn = new QCheckBox(ui::ResText(kStrPreviewOn), this);
    mPreviewOn->setObjectName(QStringLiteral("1011"));
    mPageField = new QSpinBox(this);
    mPageField->setObjectName(QStringLiteral("1012"));
    mPageField->setRange(1, kPageFieldMax);
    mPageField->setMinimumWidth(90);
    auto* pageLabel = new QLabel(ui::ResText(kStrPageLabel), this);
    pageLabel->setBuddy(mPageField);
    mPreviewFrame = new QFrame(this);
    mPreviewFrame->setObjectName(QStringLiteral("1062"));
    mPreviewFrame->setFrameShape(QFrame::StyledPanel);
    mPreviewFrame->setMinimumSize(kPreviewWidth, kPreviewHeight);
    mPreviewFrame->installEventFilter(this);
    mPreview = new CPreviewViewWnd(mPreviewFrame);
    mPreview->hide();
    auto* pageRow = new QHBoxLayout;
    pageRow->addWidget(mPreviewOn);
    pageRow->addStretch(1);
    pageRow->addWidget(pageLabel);
    pageRow->addWidget(mPageField);
    auto* preview = new QGroupBox(ui::ResText(kStrGroupPreview), this);
    auto* previewLayout = new QVBoxLayout(preview);
    previewLayout->addLayout(pageRow);
    previewLayout->addWidget(mPreviewFrame, 1);

    mStampButton = MakeButton("1", kStrStampButton);
    mStampButton->setDefault(true);
    mCloseButton = MakeButton("2", kStrCloseButton);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(mStampButton);
    bottom->addWidget(mCloseButton);

    auto* top = new QHBoxLayout;
    top->addWidget(profiles, 3);
    top->addWidget(preview, 2);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top, 1);
    main->addLayout(bottom);

    connect(newProfile, &QPushButton::clicked, this, [this] { OnNewProfile(); });
    connect(addStamp, &QPushButton::clicked, this, [this] { OnAddStamp(); });
    connect(editStamp, &QPushButton::clicked, this, [this] { RunCommand(kCmdEditStamp); });
    connect(remove, &QPushButton::clicked, this, [this] { OnDelete(true); });
    connect(up, &QPushButton::clicked, this, [this] { OnMove(true); });
    connect(down, &QPushButton::clicked, this, [this] { OnMove(false); });
    connect(import, &QPushButton::clicked, this, [this] { OnImport(); });
    connect(exportButton, &QPushButton::clicked, this, [this] { OnExport(); });
    connect(mStampButton, &QPushButton::clicked, this, &CProfilesDlg::accept);
    connect(mCloseButton, &QPushButton::clicked, this, &CProfilesDlg::reject);
    connect(mPreviewOn, &QCheckBox::toggled, this, [this](bool on) { OnPreviewToggled(on); });
    connect(mPageField, &QSpinBox::valueChanged, this, [this] { ScheduleRefresh(); });
    connect(mTree, &QTreeWidget::itemSelectionChanged, this, [this] {
        ScheduleRefresh();
        UpdateControls();
    });
    connect(mTree, &CMultiTree::clicked, this, [this](Qt::MouseButton button) {
        if (button == Qt::RightButton) OnItemPopup();
    });
    connect(mTree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) { OnRenamed(item); });
}

void CProfilesDlg::BuildMenus() {
    mNewStampMenu = new QMenu(ui::ResText(kStrNewStampMenu), this);
    mProfileMenu = new QMenu(this);
    mProfileMenu->addMenu(mNewStampMenu);
    mStampMenu = new QMenu(this);
    const struct {
        QMenu* menu;
        int command;
        uint32_t text;
    } items[] = {
        {mNewStampMenu, kCmdNewText, kStrMenuText},
        {mNewStampMenu, kCmdNewImage, kStrMenuImage},
        {mNewStampMenu, kCmdNewPDF, kStrMenuPDF},
        {mProfileMenu, kCmdRenameProfile, kStrMenuRenameProfile},
        {mProfileMenu, kCmdDeleteProfile, kStrMenuDeleteProfile},
        {mProfileMenu, kCmdExportProfile, kStrMenuExportProfile},
        {mProfileMenu, kCmdCutProfile, kStrMenuCut},
        {mProfileMenu, kCmdCopyProfile, kStrMenuCopy},
        {mProfileMenu, kCmdPasteProfile, kStrMenuPaste},
        {mStampMenu, kCmdEditStamp, kStrMenuEditStamp},
        {mStampMenu, kCmdRenameStamp, kStrMenuRenameStamp},
        {mStampMenu, kCmdDeleteStamp, kStrMenuDeleteStamp},
        {mStampMenu, kCmdCutStamp, kStrMenuCut},
        {mStampMenu, kCmdCopyStamp, kStrMenuCopy},
        {mStampMenu, kCmdPasteStamp, kStrMenuPaste},
    };
    for (const auto& item : items) {
        QAction* action = item.menu->addAction(ui::ResText(item.text));
        action->setObjectName(QString::number(item.command));
        const int command = item.command;
        connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
    }
}

void CProfilesDlg::InitDialog() {
    mRefreshTimer = new QTimer(this);
    mRefreshTimer->setSingleShot(true);
    mRefreshTimer->setInterval(0);
    connect(mRefreshTimer, &QTimer::timeout, this, [this] { RefreshPreview(ActiveView()); });
    RegisterNotification();
    mTree->setIconSize(QSize(16, 16));
    mTree->SetDropTestCallback([](QTreeWidgetItem* dragged, QTreeWidgetItem* target, bool* allowed, bool* asChild) {
        // Only stamps move: onto a profile as its last stamp, onto a stamp after it.
        *allowed = *allowed && dragged && dragged->parent() && target;
        *asChild = target && !target->parent();
    });
    mTree->SetAfterMoveCallback([this] {
        SaveAllProfiles();
        ScheduleRefresh();
        UpdateControls();
    });
    FillTree();
    if (CStamperPreferences* preferences = GetStamperPreferences()) {
        const QSignalBlocker blockPage(mPageField), blockCheck(mPreviewOn);
        mPageField->setValue(std::max(1, preferences->GetPreviewPageNumber()));
        mPreviewOn->setChecked(preferences->GetShowPreview());
    }
    UpdateControls();
    ScheduleRefresh();
}
