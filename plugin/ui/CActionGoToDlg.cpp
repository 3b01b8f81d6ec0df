#include "ui/CActionGoToDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "engine/CPDFAction.h"
#include "engine/EngineHostFrame.h"
#include "support/Alerts.h"
#include "support/FixedPoint.h"
#include "ui/PluginDialogLanguage.h"
#include "ui/UiText.h"

namespace {

constexpr int kPageMaximum = 1000000;
constexpr double kZoomMaximum = 6400.0;
constexpr int kViewCount = 9;

}  // namespace

CActionGoToDlg::CActionGoToDlg(QWidget* inParent) : CActionGoToDlg(inParent, "1014", 1.0) {
    setWindowTitle(ui::ResText(ui::kStrGoToCaption));
}

CActionGoToDlg::CActionGoToDlg(QWidget* inParent, const char* inPageId, double inZoomMinimum) : QDialog(inParent) {
    ui::MarkAsPluginDialog(this);
    Build(inPageId, inZoomMinimum);
}

void CActionGoToDlg::Build(const char* inPageId, double inZoomMinimum) {
    auto* group = new QGroupBox;
    mGrid = new QGridLayout(group);
    mPage = new CIntField(1, kPageMaximum);
    mPage->setObjectName(QString::fromLatin1(inPageId));
    mView = new QComboBox;
    mView->setObjectName(QStringLiteral("1079"));
    for (uint32_t view = 0; view < kViewCount; ++view) mView->addItem(ui::ResText(ui::kStrViewFirst + view));
    mZoom = new CDoubleField(inZoomMinimum, kZoomMaximum);
    mZoom->setObjectName(QStringLiteral("1080"));
    mZoom->setDecimals(2);
    mGrid->addWidget(new QLabel(ui::ResText(ui::kStrPageNoColon)), 1, 0);
    mGrid->addWidget(mPage, 1, 1);
    mGrid->addWidget(mView, 2, 0, 1, 3);
    mGrid->addWidget(new QLabel(ui::ResText(ui::kStrZoom)), 3, 0);
    mGrid->addWidget(mZoom, 3, 1);
    mGrid->addWidget(new QLabel(ui::ResText(ui::kStrPercent)), 3, 2);
    mGrid->setColumnStretch(1, 1);

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(ui::ResText(ui::kStrOK), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    buttons->addButton(ui::ResText(ui::kStrCancel), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(mView, &QComboBox::activated, this, [this] { OnViewChanged(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
}

void CActionGoToDlg::OnViewChanged() { mZoom->setEnabled(mView->currentIndex() == kViewTypeXYZ); }

PDViewDestination CActionGoToDlg::ReadableDestination() {
    const PDViewDestination none{gCosHFT->newNull()};
    if (!gPDModelHFT->actionIsValid(mAction)) return none;
    const PDViewDestination dest = gPDModelHFT->actionGetDest(mAction);
    const PDViewDestination resolved = gPDModelHFT->destResolve(dest, mDoc);
    // A stamp's destination names its page by number; a working document
    // with fewer pages cannot resolve it, and the user still sees the page kept.
    return gPDModelHFT->destIsValid(resolved) ? resolved : dest;
}

void CActionGoToDlg::OnInitDialog() {
    double zoom = 100.0;
    int32_t pageIndex = 0;
    ASAtom fit = engine::Atom("XYZ");
    ASFixed fixedZoom = kPDViewDestNullZoom;
    mRect = GoToRect();
    // A destination that cannot be read leaves the defaults.
    engine::HostFrame([&] {
        const PDViewDestination dest = ReadableDestination();
        if (!gPDModelHFT->destIsValid(dest)) return;
        ASFixedRect rect{0, 0, 0, 0};
        int32_t page = 0;
        gPDModelHFT->destGetAttr(dest, mDoc, &page, &fit, &rect, &fixedZoom);
        pageIndex = page < 0 ? 0 : page;
        mRect.left = rect.left;
        mRect.top = rect.top;
        mRect.right = rect.right;
        mRect.bottom = rect.bottom;
        if (fixedZoom != kPDViewDestNullZoom) zoom = FixedToDouble(fixedZoom) * 100.0;
    });
    mZoom->setValue(zoom);
    mPage->setValue(pageIndex + 1);
    mView->setCurrentIndex(ViewTypeIndex(fit, fixedZoom));
    OnViewChanged();
}

int CActionGoToDlg::exec() {
    OnInitDialog();
    return QDialog::exec();
}

bool CActionGoToDlg::RebuildAction() {
    return BuildGoToAction(mDoc, mAction.cos, mPage->value() - 1, mView->currentIndex(), mZoom->value(), mRect);
}

void CActionGoToDlg::accept() {
    // A number out of range keeps the dialog open and the action as it was.
    for (INumberField* field : {static_cast<INumberField*>(mPage), static_cast<INumberField*>(mZoom)})
        if (!ui::AcceptNumber(*field, [](const QString& inMessage) { ShowAlert(inMessage.toUtf8().constData()); })) return;
    if (!RebuildAction()) return;
    QDialog::accept();
}
