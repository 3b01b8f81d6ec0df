#include "ui/CImageStampDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include "engine/CPDFDocument.h"
#include "engine/CPDFImageElement.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"
#include "stamper/CImageStamp.h"
#include "stamper/HostServices.h"
#include "stamper/StampMessages.h"
#include "support/Alerts.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/io/CASPathName.h"
#include "support/io/FileSystemHelpers.h"
#include "ui/StampSourceBrowse.h"
#include "ui/UiText.h"

CImageStampDlg::CImageStampDlg(QWidget* inParent, CStamp& inStamp) : CPDFStampDlg(inParent, inStamp) {}

void CImageStampDlg::OnInitDialog() {
    // The page of the source has no meaning for an image: hidden before the
    // stamp is loaded, so that loading leaves the page number alone.
    mPageNo->hide();
    mPageLabel->hide();
    CPDFStampDlg::OnInitDialog();
    setWindowTitle(ui::ResText(ui::kStrImageStampCaption));
}

bool CImageStampDlg::Validate() {
    if (!CStampDlg::Validate()) return false;
    if (mSourceFile->text().trimmed().isEmpty()) {
        RefuseWith(ui::kStrNeedSourceImage);
        mSourceFile->setFocus();
        return false;
    }
    return CheckSourceFile(mSourceFile->text().trimmed());
}

bool CImageStampDlg::CheckSourceFile(const QString& inPath) {
    // The image is read as a run of the stamp will read it: by the host from
    // the version that opens images as documents, else by the image element.
    const std::string path = inPath.toStdString();
    if (!PathExists(path.c_str(), kPathExistsNoFolder)) {
        AlertResString(kStrImageFileMissing, path.c_str());
        return false;
    }
    bool readable = false;
    if (GetHostVersion() >= CImageStamp::kFirstImageDocumentVersion) {
        try {
            const CASPathName hostPath(path.c_str());
            CPDFDocument image;
            readable = image.Attach(gPDModelHFT->docOpenImage(hostPath), true);
        } catch (const HostError& error) {
            TakeHostError(error);
        }
    } else {
        // The element reads the image into a document: a private one, closed after.
        CPDFDocument scratch;
        if (scratch.CreateNew()) {
            CPDFImageElement element;
            element.SetDocument(&scratch);
            element.SetImageFile(TFileSpecifier(path.c_str()));
            readable = element.LoadImage();
        }
    }
    if (!readable) AlertResString(kStrImageFailed, path.c_str());
    return readable;
}

void CImageStampDlg::OnBrowse() {
    const int version = GetHostVersion();
    const QString chosen = ui::BrowseForStampSourceFile(
        this, ui::StampSourceFilters({}, [version](const QString& inDescription, bool& ioStop) {
            return ui::ImageSourceTest(inDescription, ioStop, version);
        }));
    if (!chosen.isEmpty()) mSourceFile->setText(chosen);
}
