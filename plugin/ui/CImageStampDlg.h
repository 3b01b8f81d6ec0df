// CImageStampDlg: the design dialog of an image stamp (caption "设计图像印章"):
// the PDF-page dialog without the page of the source; its browse offers the
// image files the host can read.
#pragma once

#include "ui/CPDFStampDlg.h"

class CImageStampDlg : public CPDFStampDlg {
    Q_OBJECT
public:
    CImageStampDlg(QWidget* inParent, CStamp& inStamp);
    bool Validate() override;

protected:
    void OnInitDialog() override;
    void OnBrowse() override;
    bool CheckSourceFile(const QString& inPath) override;
};
