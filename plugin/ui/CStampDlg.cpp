#include "ui/CStampDlg.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <algorithm>
#include <cstdint>

#include "engine/CPDFDocument.h"
#include "qmhost/ASExtraTable.h"
#include "stamper/CPageRangeSet.h"
#include "stamper/CStamp.h"
#include "stamper/HostServices.h"
#include "stamper/StampKeys.h"
#include "stamper/StampMessages.h"
#include "support/Alerts.h"
#include "support/ErrorCode.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/TableMembers.h"
#include "support/io/FileSystemHelpers.h"
#include "ui/CColourPickerCB.h"
#include "ui/CDashedPickerCB.h"
#include "ui/CWeightPickerCB.h"
#include "ui/DialogServices.h"
#include "ui/PluginDialogLanguage.h"
#include "ui/UiText.h"

namespace {

CStampDlg* gOpenDesignDialog = nullptr;

// Runs a step that talks to the host: a host error ends the step silently
// (its text stays in the error buffer), as the dialog's steps are meant to.
// The page count of a document long enough for every page inList names, so
// that checking the list refuses only what its text says, never a length.
int32_t PagesNamedIn(const std::string& inList) {
    int64_t largest = 1;
    int64_t number = 0;
    for (const char character : inList + " ") {
        if (character >= '0' && character <= '9') {
            number = std::min<int64_t>(number * 10 + (character - '0'), INT32_MAX);
        } else {
            largest = std::max(largest, number);
            number = 0;
        }
    }
    return static_cast<int32_t>(largest);
}

template <class F>
void Quietly(F&& inBody) {
    try {
        CallHost(inBody);
    } catch (ErrorCode) {
    }
}

}  // namespace

CStampDlg::CStampDlg(int, QWidget* inParent, CStamp& inStamp)
    : QDialog(inParent), mStamp(inStamp), mManager(inParent) {
    ui::MarkAsPluginDialog(this);
    setAttribute(Qt::WA_DeleteOnClose, false);
    gOpenDesignDialog = this;
    ui::EnableChildWindows(inParent, false);
}

CStampDlg::~CStampDlg() {
    // Off the host's list before the window goes, so that the host never
    // closes a window that no longer exists.
    if (mRegistered && TableHasMember(gWinHFT, &WinTable::unregisterModelessWindow))
        gWinHFT->unregisterModelessWindow(static_cast<QWidget*>(this));
    CloseActionDocument();
    if (gOpenDesignDialog == this) gOpenDesignDialog = nullptr;
    ui::EnableChildWindows(mManager, true);
    if (mDone) {
        const DoneCallback done = std::move(mDone);
        done(mConfirmed);
    }
}

CStampDlg* CStampDlg::GetOpenDesignDialog() { return gOpenDesignDialog; }

bool CStampDlg::Create(QWidget*) { return true; }

PDDoc CStampDlg::GetActionDocument() const { return mActionDoc ? mActionDoc->GetPDDoc() : nullptr; }

void CStampDlg::CloseActionDocument() {
    // The document holds its temporary file: it is closed before the file goes.
    if (mActionDoc) {
        mActionDoc->Close();
        delete mActionDoc;
        mActionDoc = nullptr;
    }
    if (!mActionFile.IsEmpty()) {
        TryDeleteFileSpec(mActionFile);
        mActionFile = TFileSpecifier();
    }
    mAction = PDAction{{0, 0}};
}

void CStampDlg::OnInitDialog() {
    // A modeless window of the plug-in, like the stamp manager: the host
    // passes it keyboard input and closes it before the plug-in goes.
    if (!mRegistered && TableHasMember(gWinHFT, &WinTable::registerModelessWindow)) {
        // The host takes the value as the QWidget it shows.
        gWinHFT->registerModelessWindow(static_cast<QWidget*>(this));
        mRegistered = true;
    }
    ui::FillActionTypes(*mActionType);
}

// --- the cabinet

int32_t CStampDlg::CabInt(const char* inKey, int32_t inDefault) const {
    return CallHost([&] { return gASExtraHFT->cabGetInt(mStamp.GetCab(), inKey, inDefault); });
}
double CStampDlg::CabDouble(const char* inKey, double inDefault) const {
    return CallHost([&] { return gASExtraHFT->cabGetDouble(mStamp.GetCab(), inKey, inDefault); });
}
bool CStampDlg::CabBool(const char* inKey, bool inDefault) const {
    return CallHost([&] { return gASExtraHFT->cabGetBool(mStamp.GetCab(), inKey, inDefault); });
}
std::string CStampDlg::CabString(const char* inKey) const {
    const char* text = CallHost([&] { return gASExtraHFT->cabGetString(mStamp.GetCab(), inKey); });
    return text ? text : "";
}
std::string CStampDlg::CabText(const char* inKey) const {
    const ASText text = CallHost([&] { return gASExtraHFT->cabGetText(mStamp.GetCab(), inKey); });
    std::string out;
    return ASTextToCString(out, text);
}
void CStampDlg::PutInt(const char* inKey, int32_t inValue) {
    CallHost([&] { gASExtraHFT->cabPutInt(mStamp.GetCab(), inKey, inValue); });
}
void CStampDlg::PutDouble(const char* inKey, double inValue) {
    CallHost([&] { gASExtraHFT->cabPutDouble(mStamp.GetCab(), inKey, inValue); });
}
void CStampDlg::PutBool(const char* inKey, bool inValue) {
    CallHost([&] { gASExtraHFT->cabPutBool(mStamp.GetCab(), inKey, inValue); });
}
void CStampDlg::PutString(const char* inKey, const std::string& inValue) {
    CallHost([&] { gASExtraHFT->cabPutString(mStamp.GetCab(), inKey, inValue.c_str()); });
}
void CStampDlg::PutText(const char* inKey, const std::string& inValue) {
    const ASText text = CStringToASText(inValue.c_str());
    if (!text) return;
    try {
        CallHost([&] { gASExtraHFT->cabPutText(mStamp.GetCab(), inKey, text); });
    } catch (ErrorCode) {
        gASExtraHFT->textDestroy(text);
        throw;
    }
}

void CStampDlg::RefuseWith(uint32_t inId) { AlertResString(inId); }

int32_t CStampDlg::StoredColour(const CColourPickerCB& inPicker) {
    return inPicker.currentIndex() <= 0 ? kNoColor : static_cast<int32_t>(inPicker.GetColour());
}

void CStampDlg::LoadColour(CColourPickerCB& inPicker, int32_t inStored) {
    inPicker.setCurrentIndex(0);
    if (inStored >= 0) inPicker.SetColour(static_cast<uint32_t>(inStored));
}

// --- load, save, validate, update

void CStampDlg::Load() {
    Quietly([&] {
        mName->setText(QString::fromStdString(CabString(kKeyStampName)));
        mUnit->setCurrentIndex(CabInt(kKeyUnit, 0));
        mHorizontal->setValue(CabDouble(kKeyHorizontalOffset, 0));
        mHorizontalRef->setCurrentIndex(CabInt(kKeyHorizontalAlign, 0));
        mVertical->setValue(CabDouble(kKeyVerticalOffset, 0));
        mVerticalRef->setCurrentIndex(CabInt(kKeyVerticalAlign, 0));
        mRotation->setValue(CabInt(kKeyRotation, 0));
        mOpacity->setValue(CabInt(kKeyOpacity, 100));
        const bool overlay = CabBool(kKeyOverlay, true);
        mOverlay->setChecked(overlay);
        mUnderlay->setChecked(!overlay);
        switch (CabInt(kKeyPages, kPagesByStampOn)) {
            case kPagesCustomList: mPageRange->setChecked(true); break;
            case kPagesEveryNth: mFromPage->setChecked(true); break;
            default: mStampOnPages->setChecked(true); break;
        }
        mStampOn->setCurrentIndex(CabInt(kKeyStampOn, 0));
        mEveryPage->setValue(CabInt(kKeyEveryPage, kDefaultEveryPage));
        mFirstPage->setValue(CabInt(kKeyFromPage, kDefaultFromPage));
        mPageList->setText(QString::fromStdString(CabText(kKeyPageList)));
        mDashed->setCurrentIndex(CabInt(kKeyBorderDash, 0));
        LoadColour(*mBorderColour, CabInt(kKeyBorderColor, kNoColor));
        mWeight->SetWeight(CabDouble(kKeyBorderWidth, 0));
        mActionType->setCurrentIndex(0);
    });
    LoadAction();
}

void CStampDlg::Save() {
    Quietly([&] {
        PutString(kKeyStampName, mName->text().toStdString());
        PutInt(kKeyUnit, mUnit->currentIndex());
        PutDouble(kKeyHorizontalOffset, mHorizontal->value());
        PutInt(kKeyHorizontalAlign, mHorizontalRef->currentIndex());
        PutDouble(kKeyVerticalOffset, mVertical->value());
        PutInt(kKeyVerticalAlign, mVerticalRef->currentIndex());
        PutInt(kKeyRotation, mRotation->value());
        PutInt(kKeyOpacity, mOpacity->value());
        PutBool(kKeyOverlay, mOverlay->isChecked());
        PutInt(kKeyPages, mPageRange->isChecked() ? kPagesCustomList
                          : mFromPage->isChecked() ? kPagesEveryNth
                                                   : kPagesByStampOn);
        PutInt(kKeyStampOn, mStampOn->currentIndex());
        PutInt(kKeyEveryPage, mEveryPage->value());
        PutInt(kKeyFromPage, mFirstPage->value());
        PutText(kKeyPageList, mPageList->text().toStdString());
        PutInt(kKeyBorderDash, mDashed->currentIndex());
        PutInt(kKeyBorderColor, StoredColour(*mBorderColour));
        PutDouble(kKeyBorderWidth, mWeight->GetWeight());
    });
    SaveAction();
}

bool CStampDlg::Validate() {
    // Numbers first, in the order of the fields: a refused one keeps the
    // dialog open with its range, the user's text left in the field.
    for (INumberField* field : mNumbers)
        if (!ui::AcceptNumber(*field, [](const QString& inMessage) { ShowAlert(inMessage.toUtf8().constData()); }))
            return false;
    if (mName->text().trimmed().isEmpty()) {
        RefuseWith(ui::kStrNeedStampName);
        mName->setFocus();
        return false;
    }
    return !mPageRange->isChecked() || AcceptPageList();
}

bool CStampDlg::AcceptPageList() {
    // Read as a run reads it, refused with the message the run would give.
    const std::string list = mPageList->text().toStdString();
    CPageRangeSet pages(PagesNamedIn(list));
    if (pages.SetCustomRanges(list)) return true;
    ShowAlert(StampMessageText(kStrBadPageRange, pages.GetMessage()).c_str());
    mPageList->setFocus();
    mPageList->selectAll();
    return false;
}

void CStampDlg::UpdateControls() {
    mStampOn->setEnabled(mStampOnPages->isChecked());
    mPageList->setEnabled(mPageRange->isChecked());
    for (QWidget* control : {static_cast<QWidget*>(mFirstPage), static_cast<QWidget*>(mEveryLabel),
                             static_cast<QWidget*>(mEveryPage), static_cast<QWidget*>(mPagesLabel)})
        control->setEnabled(mFromPage->isChecked());
    const bool border = mBorderColour->currentIndex() > 0;
    for (QWidget* control : {static_cast<QWidget*>(mLineTypeLabel), static_cast<QWidget*>(mDashed),
                             static_cast<QWidget*>(mWeightLabel), static_cast<QWidget*>(mWeight)})
        control->setEnabled(border);
    mHorizontalUnit->setText(mUnit->currentText());
    mVerticalUnit->setText(mUnit->currentText());
}

// --- OK and Cancel

void CStampDlg::accept() {
    if (!Validate()) return;
    Save();
    mConfirmed = true;
    QDialog::accept();
    if (mTemplateId != -1) deleteLater();
}

void CStampDlg::reject() {
    mConfirmed = false;
    QDialog::reject();
    if (mTemplateId != -1) deleteLater();
}
