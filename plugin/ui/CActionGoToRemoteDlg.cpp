#include "ui/CActionGoToRemoteDlg.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "engine/CPDFDocument.h"
#include "engine/EngineHostFrame.h"
#include "support/Alerts.h"
#include "support/io/CASPathName.h"
#include "ui/ModalSeam.h"
#include "ui/UiText.h"

namespace {

constexpr int kPathCapacity = 4096;

void AlertText(const QString& inText) { ShowAlert(inText.toUtf8().constData()); }

}  // namespace

CActionGoToRemoteDlg::CActionGoToRemoteDlg(QWidget* inParent) : CActionGoToDlg(inParent, "1015", 0.0) {
    setWindowTitle(ui::ResText(ui::kStrGoToRemoteCaption));
    mFileName = new QLineEdit;
    mFileName->setObjectName(QStringLiteral("1014"));
    mFileName->setMaxLength(kPathCapacity - 1);
    mFileName->setMinimumWidth(260);
    auto* browse = new QPushButton(ui::ResText(ui::kStrBrowse));
    browse->setObjectName(QStringLiteral("1083"));
    browse->setMaximumWidth(32);
    mGrid->addWidget(new QLabel(ui::ResText(ui::kStrFileName)), 0, 0);
    mGrid->addWidget(mFileName, 0, 1);
    mGrid->addWidget(browse, 0, 2);
    connect(browse, &QPushButton::clicked, this, [this] { OnBrowse(); });
}

PDViewDestination CActionGoToRemoteDlg::ReadableDestination() {
    // The destination names a page of the other file by its number: read as it is.
    const PDViewDestination none{gCosHFT->newNull()};
    if (!gPDModelHFT->actionIsValid(mAction)) return none;
    return gPDModelHFT->actionGetDest(mAction);
}

void CActionGoToRemoteDlg::OnInitDialog() {
    CActionGoToDlg::OnInitDialog();
    mFileName->clear();
    engine::HostFrame([&] {
        if (!gPDModelHFT->actionIsValid(mAction)) return;
        const PDFileSpec spec{gCosHFT->dictGet(mAction.cos, engine::Atom("F"))};
        if (!gPDModelHFT->fileSpecIsValid(spec)) return;
        const int32_t length = gPDModelHFT->fileSpecGetText(spec, nullptr, 0);
        std::string text(static_cast<size_t>(length) + 1, '\0');
        gPDModelHFT->fileSpecGetText(spec, text.data(), length + 1);
        text.resize(static_cast<size_t>(length));
        mFileName->setText(QString::fromStdString(text));
    });
}

void CActionGoToRemoteDlg::OnBrowse() {
    ui::FileDialogRequest request;
    request.defaultExt = QStringLiteral("pdf");
    request.filter = ui::ResText(ui::kStrPDFFilesFilter);
    const QString chosen = ui::GetModalSeam().FileDialog(this, request);
    if (!chosen.isEmpty()) mFileName->setText(chosen);
}

bool CActionGoToRemoteDlg::RebuildAction() {
    // A name is taken from the current folder as the system resolves it; the
    // file must be there and be a PDF, or the link would lead nowhere.
    const QString typed = mFileName->text().trimmed();
    const QString path = typed.isEmpty() ? QString() : QFileInfo(typed).absoluteFilePath();
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        AlertText(ui::ResTextWith(ui::kStrFileMissing, typed));
        return false;
    }
    const std::string utf8 = path.toStdString();
    {
        CPDFDocument probe;
        if (!probe.Open(utf8.c_str())) {
            AlertText(ui::ResTextWith(ui::kStrNotAPDF, typed));
            return false;
        }
        probe.Close();
    }
    CosObj spec = gCosHFT->newNull();
    if (!engine::HostFrame([&] {
            const CASPathName hostPath(utf8.c_str());
            const PDFileSpec made = gPDModelHFT->fileSpecNewFromPath(mDoc, hostPath, nullptr);
            if (gPDModelHFT->fileSpecIsValid(made)) spec = made.cos;
        }))
        return false;
    return BuildGoToRemoteAction(mDoc, mAction.cos, mPage->value() - 1, mView->currentIndex(), mZoom->value(), mRect,
                                 spec);
}
