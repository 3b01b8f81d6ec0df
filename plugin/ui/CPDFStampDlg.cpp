#include "ui/CPDFStampDlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "engine/CPDFDocument.h"
#include "stamper/HostServices.h"
#include "stamper/StampKeys.h"
#include "stamper/StampMessages.h"
#include "support/Alerts.h"
#include "support/ErrorCode.h"
#include "support/io/FileSystemHelpers.h"
#include "ui/StampSourceBrowse.h"
#include "ui/DialogServices.h"
#include "ui/UiText.h"

namespace {

constexpr int kSourceCapacity = 256;
constexpr int kPageLimit = 1000000000;
constexpr int kSizeLimit = 4800;

}  // namespace

CPDFStampDlg::CPDFStampDlg(QWidget* inParent, CStamp& inStamp) : CStampDlg(kResourceId, inParent, inStamp) {}

bool CPDFStampDlg::Create(QWidget*) {
    BuildWindow(kResourceId, ui::ResText(ui::kStrPDFStampCaption));
    BuildSourceControls();
    OnInitDialog();
    show();
    return true;
}

void CPDFStampDlg::BuildSourceControls() {
    auto* grid = new QGridLayout;
    mSourceFile = ui::Named(new QLineEdit, "1015");
    mSourceFile->setMaxLength(kSourceCapacity);
    mBrowse = ui::Named(new QPushButton(ui::ResText(ui::kStrBrowse)), "1050");
    mBrowse->setMaximumWidth(32);
    mSize = ui::Named(new CIntField(1, kSizeLimit), "1016");
    mPageNo = ui::Named(new CIntField(1, kPageLimit), "1017");
    AddNumberField(mPageNo);
    AddNumberField(mSize);
    mPageLabel = ui::Named(new QLabel(ui::ResText(ui::kStrPageNo)), "1088");
    grid->addWidget(new QLabel(ui::ResText(ui::kStrSelectFile)), 0, 0);
    grid->addWidget(mSourceFile, 0, 1, 1, 4);
    grid->addWidget(mBrowse, 0, 5);
    grid->addWidget(new QLabel(ui::ResText(ui::kStrSize)), 1, 0);
    grid->addWidget(mSize, 1, 1);
    grid->addWidget(new QLabel(ui::ResText(ui::kStrPercent)), 1, 2);
    grid->addWidget(mPageLabel, 1, 3, Qt::AlignRight);
    grid->addWidget(mPageNo, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    KindArea()->addLayout(grid);
    connect(mBrowse, &QPushButton::clicked, this, [this] { OnBrowse(); });
    connect(mPageNo, &QSpinBox::valueChanged, this, [this] { AdjustPageCount(); });
}

void CPDFStampDlg::OnInitDialog() {
    CStampDlg::OnInitDialog();
    Load();
    UpdateControls();
}

void CPDFStampDlg::Load() {
    CStampDlg::Load();
    try {
        mSourceFile->setText(QString::fromStdString(CabText(kKeySourceFile)));
        mSize->setValue(CabInt(kKeySourceSize, kDefaultSourceSize));
        mPageNo->setValue(CabInt(kKeySourcePage, kDefaultSourcePage));
    } catch (ErrorCode) {
    }
    AdjustPageCount();
}

void CPDFStampDlg::Save() {
    CStampDlg::Save();
    try {
        PutText(kKeySourceFile, mSourceFile->text().toStdString());
        PutInt(kKeySourceSize, mSize->value());
        PutInt(kKeySourcePage, mPageNo->value());
    } catch (ErrorCode) {
    }
}

bool CPDFStampDlg::Validate() {
    if (!CStampDlg::Validate()) return false;
    if (mSourceFile->text().trimmed().isEmpty()) {
        RefuseWith(ui::kStrNeedSourcePDF);
        mSourceFile->setFocus();
        return false;
    }
    return CheckSourceFile(mSourceFile->text().trimmed());
}

bool CPDFStampDlg::CheckSourceFile(const QString& inPath) {
    // A file that is not there or no PDF would fail every run of the stamp:
    // it is refused now, with the message the run would give.
    const std::string path = inPath.toStdString();
    if (!PathExists(path.c_str(), kPathExistsNoFolder)) {
        AlertResString(kStrSourceFileMissing, path.c_str());
        return false;
    }
    CPDFDocument source;
    if (!source.Open(path.c_str())) {
        AlertResString(kStrCannotOpenSource, path.c_str());
        return false;
    }
    source.Close();
    return true;
}

void CPDFStampDlg::AdjustPageCount() {
    if (!mPageNo->isEnabled() || mPageNo->isHidden()) return;
    const std::string path = mSourceFile->text().trimmed().toStdString();
    if (path.empty() || !PathExists(path.c_str(), kPathExistsNoFolder)) return;
    CPDFDocument source;
    if (!source.Open(path.c_str())) return;
    const int32_t count = source.GetPageCount();
    source.Close();
    if (count < 1) return;
    mPageNo->SetRange(1, count);  // a larger number becomes the count
}

void CPDFStampDlg::OnBrowse() {
    const int version = GetHostVersion();
    const QList<ui::SourceFilter> fixed{{ui::ResText(ui::kStrPDFFiles), {QStringLiteral("pdf")}}};
    const QString chosen = ui::BrowseForStampSourceFile(
        this, ui::StampSourceFilters(fixed, [version](const QString& inDescription, bool& ioStop) {
            return ui::PDFSourceTest(inDescription, ioStop, version);
        }));
    if (chosen.isEmpty()) return;
    mSourceFile->setText(chosen);
    AdjustPageCount();
}
