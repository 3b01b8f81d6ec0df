// The designer the stamp manager calls: the design dialog of the stamp's kind,
// opened modelessly over the manager.
#include "ui/StampDesigners.h"

#include "stamper/CStamp.h"
#include "stamper/StampKeys.h"
#include "ui/CImageStampDlg.h"
#include "ui/CPDFStampDlg.h"
#include "ui/CTextStampDlg.h"

namespace ui {

bool OpenDesignDialog(QWidget* inParent, CStamp& inStamp, bool inEditing, StampDesignDone inDone) {
    // One design dialog at a time.
    if (CStampDlg::GetOpenDesignDialog()) return false;
    CStampDlg* dialog = nullptr;
    switch (inStamp.GetType()) {
        case kStampTypeImage: dialog = new CImageStampDlg(inParent, inStamp); break;
        case kStampTypePDFPage: dialog = new CPDFStampDlg(inParent, inStamp); break;
        default: dialog = new CTextStampDlg(inParent, inStamp); break;
    }
    dialog->SetEditingExistingStamp(inEditing);
    dialog->SetDoneCallback(std::move(inDone));
    if (!dialog->Create(inParent)) {
        dialog->SetDoneCallback(nullptr);
        delete dialog;
        return false;
    }
    return true;
}

}  // namespace ui
