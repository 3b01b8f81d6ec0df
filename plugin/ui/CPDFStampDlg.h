// CPDFStampDlg: the design dialog of a PDF-page stamp (caption "设计 PDF
// 印章"): the shared controls and the source file (1015, with its browse
// button 1050), the page of the source (1017, from 1, limited to the source's
// page count) and the size in percent (1016, 1 to 4800).
#pragma once

#include <QStringList>

#include "ui/CStampDlg.h"

class QLabel;
class QPushButton;

class CPDFStampDlg : public CStampDlg {
    Q_OBJECT
public:
    static constexpr int kResourceId = 105;

    CPDFStampDlg(QWidget* inParent, CStamp& inStamp);

    bool Create(QWidget* inParent) override;
    void Load() override;
    void Save() override;
    bool Validate() override;
    // When the source file opens as a PDF: the page field is limited to its
    // page count and a larger page number becomes the count.
    void AdjustPageCount();

protected:
    void OnInitDialog() override;
    // Runs the browse of the kind; a chosen file goes into 1015.
    virtual void OnBrowse();
    // Whether the source file is one this kind can stamp; shows why not.
    virtual bool CheckSourceFile(const QString& inPath);

    QLineEdit* mSourceFile = nullptr;  // 1015
    CIntField* mPageNo = nullptr;      // 1017 with its spin 1018
    CIntField* mSize = nullptr;        // 1016
    QLabel* mPageLabel = nullptr;      // 1088
    QPushButton* mBrowse = nullptr;    // 1050

private:
    void BuildSourceControls();
};
