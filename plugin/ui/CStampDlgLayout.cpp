// The design dialogs' shared controls: built once, each under its control id
// as object name, grouped as the dialogs have always grouped them.
#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/CColourPickerCB.h"
#include "ui/CDashedPickerCB.h"
#include "ui/CStampDlg.h"
#include "ui/CWeightPickerCB.h"
#include "ui/DialogServices.h"
#include "ui/UiText.h"

namespace {

constexpr int kNameCapacity = 256;
constexpr double kPositionLimit = 99999;
constexpr int kPageLimit = 1000000000;

QComboBox* Combo(const char* inId, uint32_t inFirstText, int inCount) {
    auto* combo = ui::Named(new QComboBox, inId);
    for (int entry = 0; entry < inCount; ++entry) combo->addItem(ui::ResText(inFirstText + static_cast<uint32_t>(entry)));
    return combo;
}

CDoubleField* PositionBox(const char* inId) {
    auto* box = ui::Named(new CDoubleField(-kPositionLimit, kPositionLimit), inId);
    box->setDecimals(3);
    return box;
}

}  // namespace

void CStampDlg::BuildWindow(int inTemplateId, const QString& inCaption) {
    mTemplateId = inTemplateId;
    setWindowTitle(inCaption);
    auto* top = new QVBoxLayout(this);
    BuildSettingsGroup(top);
    mKindArea = new QVBoxLayout;
    top->addLayout(mKindArea);
    auto* grid = new QGridLayout;
    grid->addWidget(BuildLayoutGroup(), 0, 0, 2, 1);
    grid->addWidget(BuildPagesGroup(), 0, 1);
    grid->addWidget(BuildBorderGroup(), 1, 1);
    grid->addWidget(BuildActionGroup(), 2, 0, 1, 2);
    top->addLayout(grid);
    for (INumberField* field : {static_cast<INumberField*>(mHorizontal), static_cast<INumberField*>(mVertical),
                                static_cast<INumberField*>(mRotation), static_cast<INumberField*>(mOpacity),
                                static_cast<INumberField*>(mFirstPage), static_cast<INumberField*>(mEveryPage)})
        AddNumberField(field);

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(ui::ResText(ui::kStrOK), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    buttons->addButton(ui::ResText(ui::kStrCancel), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CStampDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CStampDlg::reject);
    top->addWidget(buttons);

    // User choices only (activated, clicked): loading the stamp must not run them.
    connect(mActionType, &QComboBox::activated, this, [this] { SetupAction(); });
    connect(mBorderColour, &QComboBox::activated, this, [this] {
        mBorderColour->OnSelectCustom();
        UpdateControls();
    });
    for (QRadioButton* radio : {mStampOnPages, mPageRange, mFromPage})
        connect(radio, &QRadioButton::clicked, this, [this] { UpdateControls(); });
    connect(mUnit, &QComboBox::activated, this, [this] { UpdateControls(); });
}

void CStampDlg::BuildSettingsGroup(QVBoxLayout* inColumn) {
    auto* group = new QGroupBox(ui::ResText(ui::kStrGroupSettings));
    auto* row = new QHBoxLayout(group);
    mName = ui::Named(new QLineEdit, "1014");
    mName->setMaxLength(kNameCapacity);
    row->addWidget(ui::ResLabel(ui::kStrStampName));
    row->addWidget(mName, 1);
    inColumn->addWidget(group);
}

QWidget* CStampDlg::BuildLayoutGroup() {
    auto* group = new QGroupBox(ui::ResText(ui::kStrGroupLayout));
    auto* grid = new QGridLayout(group);
    mUnit = Combo("1022", ui::kStrInch, 3);
    mHorizontal = PositionBox("1019");
    mHorizontalUnit = ui::Named(new QLabel, "1039");
    mHorizontalRef = Combo("1026", ui::kStrFromLeft, 3);
    mVertical = PositionBox("1023");
    mVerticalUnit = ui::Named(new QLabel, "1040");
    mVerticalRef = Combo("1027", ui::kStrFromTop, 3);
    mRotation = ui::Named(new CIntField(-360, 360), "1024");
    mOpacity = ui::Named(new CIntField(0, 100), "1025");
    mOverlay = ui::Named(new QRadioButton(ui::ResText(ui::kStrOverlay)), "1020");
    mUnderlay = ui::Named(new QRadioButton(ui::ResText(ui::kStrUnderlay)), "1021");
    auto* layers = new QButtonGroup(group);
    layers->addButton(mOverlay);
    layers->addButton(mUnderlay);

    grid->addWidget(ui::ResLabel(ui::kStrUnit), 0, 0);
    grid->addWidget(mUnit, 0, 1);
    grid->addWidget(ui::ResLabel(ui::kStrHorizontal), 1, 0);
    grid->addWidget(mHorizontal, 1, 1);
    grid->addWidget(mHorizontalUnit, 1, 2);
    grid->addWidget(mHorizontalRef, 1, 3);
    grid->addWidget(ui::ResLabel(ui::kStrVertical), 2, 0);
    grid->addWidget(mVertical, 2, 1);
    grid->addWidget(mVerticalUnit, 2, 2);
    grid->addWidget(mVerticalRef, 2, 3);
    grid->addWidget(ui::ResLabel(ui::kStrRotation), 3, 0);
    grid->addWidget(mRotation, 3, 1);
    grid->addWidget(ui::ResLabel(ui::kStrDegreesClockwise), 3, 2, 1, 2);
    grid->addWidget(ui::ResLabel(ui::kStrOpacity), 4, 0);
    grid->addWidget(mOpacity, 4, 1);
    grid->addWidget(ui::ResLabel(ui::kStrPercent), 4, 2);
    grid->addWidget(mOverlay, 5, 1);
    grid->addWidget(mUnderlay, 5, 2, 1, 2);
    grid->setRowStretch(6, 1);
    return group;
}

QWidget* CStampDlg::BuildPagesGroup() {
    auto* group = new QGroupBox(ui::ResText(ui::kStrGroupPages));
    auto* grid = new QGridLayout(group);
    mStampOnPages = ui::Named(new QRadioButton(ui::ResText(ui::kStrStampOn)), "1028");
    mPageRange = ui::Named(new QRadioButton(ui::ResText(ui::kStrPageRange)), "1029");
    mFromPage = ui::Named(new QRadioButton(ui::ResText(ui::kStrFromPage)), "1030");
    auto* choice = new QButtonGroup(group);
    for (QRadioButton* radio : {mStampOnPages, mPageRange, mFromPage}) choice->addButton(radio);
    mStampOn = Combo("1031", ui::kStrAllPages, 5);
    mPageList = ui::Named(new QLineEdit, "1032");
    mFirstPage = ui::Named(new CIntField(1, kPageLimit), "1033");
    mEveryLabel = ui::Named(ui::ResLabel(ui::kStrEveryFrom), "1067");
    mEveryPage = ui::Named(new CIntField(1, kPageLimit), "1034");
    mPagesLabel = ui::Named(ui::ResLabel(ui::kStrPage), "1068");

    grid->addWidget(mStampOnPages, 0, 0);
    grid->addWidget(mStampOn, 0, 1, 1, 4);
    grid->addWidget(mPageRange, 1, 0);
    grid->addWidget(mPageList, 1, 1, 1, 4);
    grid->addWidget(mFromPage, 2, 0);
    grid->addWidget(mFirstPage, 2, 1);
    grid->addWidget(mEveryLabel, 2, 2);
    grid->addWidget(mEveryPage, 2, 3);
    grid->addWidget(mPagesLabel, 2, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    return group;
}

QWidget* CStampDlg::BuildBorderGroup() {
    auto* group = new QGroupBox(ui::ResText(ui::kStrGroupBorder));
    auto* grid = new QGridLayout(group);
    mBorderColour = ui::Named(new CColourPickerCB, "1035");
    mDashed = ui::Named(new CDashedPickerCB, "1037");
    mWeight = ui::Named(new CWeightPickerCB, "1036");
    mLineTypeLabel = ui::Named(ui::ResLabel(ui::kStrLineType), "1065");
    mWeightLabel = ui::Named(ui::ResLabel(ui::kStrWeight), "1066");
    grid->addWidget(ui::ResLabel(ui::kStrColour), 0, 0);
    grid->addWidget(mBorderColour, 0, 1);
    grid->addWidget(mLineTypeLabel, 1, 0);
    grid->addWidget(mDashed, 1, 1);
    grid->addWidget(mWeightLabel, 2, 0);
    grid->addWidget(mWeight, 2, 1);
    grid->setColumnStretch(1, 1);
    return group;
}

QWidget* CStampDlg::BuildActionGroup() {
    auto* group = new QGroupBox(ui::ResText(ui::kStrGroupAction));
    auto* row = new QHBoxLayout(group);
    mActionType = ui::Named(new QComboBox, "1038");
    row->addWidget(ui::ResLabel(ui::kStrType));
    row->addWidget(mActionType, 1);
    return group;
}
