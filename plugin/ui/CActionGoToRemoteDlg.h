// CActionGoToRemoteDlg: edits a "GoToR" link action (caption "前往远程"): the
// controls of the go-to dialog (the page is 1015 here, the zoom may be 0) and
// the other PDF file's name (1014, a POSIX path) with its browse button (1083).
// OK refuses a file that does not exist or is not a PDF and stays open.
#pragma once

#include "ui/CActionGoToDlg.h"

class QLineEdit;

class CActionGoToRemoteDlg : public CActionGoToDlg {
    Q_OBJECT
public:
    explicit CActionGoToRemoteDlg(QWidget* inParent = nullptr);
    void OnInitDialog() override;

protected:
    PDViewDestination ReadableDestination() override;
    bool RebuildAction() override;

private:
    void OnBrowse();

    QLineEdit* mFileName = nullptr;
};
