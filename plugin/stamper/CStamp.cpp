#include "stamper/CStamp.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/CPDFAction.h"
#include "engine/CPDFDocument.h"
#include "engine/CPDFElement.h"
#include "engine/CPDFPlacement.h"
#include "qmhost/HostError.h"
#include "stamper/CPageRangeSet.h"
#include "stamper/CStamperLog.h"
#include "stamper/CStamperPreferences.h"
#include "stamper/HostServices.h"
#include "stamper/RunProgress.h"
#include "stamper/StampKeys.h"
#include "stamper/StampMessages.h"
#include "support/CallbackGuard.h"
#include "support/HostHandle.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/UUnitConverter.h"
#include "support/io/UserCancel.h"

namespace {

const ASExtraTable& Extra() {
    if (!gASExtraHFT) ThrowErrorCode(kErrNoMemory);
    return *gASExtraHFT;
}

int32_t DocPageCount(PDDoc inDoc) {
    return CallHost([&] { return gPDModelHFT->docGetNumPages(inDoc); });
}

// "kUnitC": 0 inch, 1 centimetre, 2 millimetre, any other value point.
int32_t UnitOfIndex(int32_t inIndex) {
    return inIndex >= 0 && inIndex <= 2 ? inIndex : UUnitConverter::kPoint;
}

}  // namespace

CStamp::CStamp(int32_t inType) : mOwnsCab(true) {
    CHostCab cab(CallHost([] { return Extra().cabNew(); }));
    CallHost([&] { Extra().cabPutInt(cab.Get(), kKeyStampType, inType); });
    mCab = cab.Take();
}

CStamp::CStamp(ASCab inCab) : mCab(inCab), mOwnsCab(false) {}

CStamp::~CStamp() {
    CStamp::DeleteBuiltObjects();
    if (!mOwnsCab || !mCab || !gASExtraHFT) return;
    try {
        gASExtraHFT->cabDestroy(mCab);
    } catch (const HostError&) {
        // Nothing to report from a destructor.
    }
}

int32_t CStamp::GetType() const { return CabInt(kKeyStampType, kStampTypeText); }

std::string CStamp::GetName() const { return CabString(kKeyStampName); }

void CStamp::SetName(const char* inName) {
    CallHost([&] { Extra().cabPutString(mCab, kKeyStampName, inName ? inName : ""); });
}

int32_t CStamp::CabInt(const char* inKey, int32_t inDefault) const {
    return CallHost([&] { return Extra().cabGetInt(mCab, inKey, inDefault); });
}

double CStamp::CabDouble(const char* inKey, double inDefault) const {
    const double value = CallHost([&] { return Extra().cabGetDouble(mCab, inKey, inDefault); });
    // A stored NaN or infinity would place the stamp nowhere sensible.
    return std::isfinite(value) ? value : inDefault;
}

bool CStamp::CabBool(const char* inKey, bool inDefault) const {
    return CallHost([&] { return Extra().cabGetBool(mCab, inKey, inDefault); });
}

std::string CStamp::CabString(const char* inKey) const {
    const char* text = CallHost([&] { return Extra().cabGetString(mCab, inKey); });
    return text ? text : "";
}

std::string CStamp::CabText(const char* inKey) const {
    const ASText text = CallHost([&] { return Extra().cabGetText(mCab, inKey); });
    std::string out;
    return ASTextToCString(out, text);
}

void CStamp::SetMessage(uint32_t inId, const char* inArgument) {
    mMessage = StampMessageText(inId, inArgument);
}

void CStamp::AppendToMessage(const std::string& inDetail) {
    if (!inDetail.empty()) mMessage += ": " + inDetail;
}

void CStamp::ReportMessage() const {
    if (!mNoLog) GetStamperLog().Printf("%s", mMessage.c_str());
    SetErrorMessage(mMessage);
}

bool CStamp::BuildKind(PDDoc inDoc, const std::function<bool()>& inKindPart) {
    const bool result = CStamp::Build(inDoc);
    if (!mBuilt) return false;
    return TrapFailure([&] { return inKindPart() && result; },
                       [&] {
                           ReportMessage();
                           // The element goes with what the kind's part made for it (a source
                           // document it opened).
                           DeleteBuiltObjects();
                           mBuilt = false;
                           return false;
                       });
}

void CStamp::DeleteBuiltObjects() {
    mDocument.reset();
    mElement.reset();
    mPlacement.reset();
    mAction.reset();
    mPageRanges.reset();
}

bool CStamp::Build(PDDoc inDoc) {
    mBuilt = true;
    if (!mElement) {
        // The base alone has nothing to write; a stamp left "built" here would
        // be applied without an element.
        mBuilt = false;
        return false;
    }
    // What an earlier Build made goes; the kind has just made the element.
    mDocument.reset();
    mPlacement.reset();
    mAction.reset();
    mPageRanges.reset();
    mPagesOffPage.clear();
    bool result = true;
    TrapFailure([&] {
        mElement->SetRecordUndo(mInteractive);
        SetMessage(kStrCannotStamp);
        mDocument = std::make_unique<CPDFDocument>(inDoc);
        if (mInteractive)
            mDocument->SetAVDoc(CallHost([&] { return gAppViewHFT->pdDocGetAVDoc(inDoc); }));
        mPlacement = std::make_unique<CPDFPlacement>();
        mElement->SetPlacement(mPlacement.get());
        mElement->SetDocument(mDocument.get());
        BuildPlacement();
        // Not an overlay: in front of the existing content, so drawn beneath it.
        mElement->SetUnderlay(!CabBool(kKeyOverlay, false));
        BuildBorder();
        if (!BuildAction(inDoc)) result = false;
        BuildPageRanges(inDoc);
        WarnIfNoPageSelected();
    }, [&] {
        ReportMessage();
        result = false;
        mBuilt = false;
    });
    if (!mBuilt) DeleteBuiltObjects();
    return result;
}

void CStamp::BuildPlacement() {
    const int32_t rotation = CabInt(kKeyRotation, 0);
    // The stamp turns clockwise, the placement counter-clockwise.
    if (rotation != 0) mPlacement->SetRotation(-static_cast<double>(rotation));
    mElement->SetOpacity(CabInt(kKeyOpacity, 0) / 100.0);
    CStamperPreferences* preferences = GetStamperPreferences();
    const bool ignoreRotation = preferences && preferences->GetIgnorePageRotation();
    mPlacement->SetPageView(!ignoreRotation);
    const int32_t unit = UnitOfIndex(CabInt(kKeyUnit, 0));
    mPlacement->SetOffset(UUnitConverter::ToPoints(unit, CabDouble(kKeyHorizontalOffset, 0.0)),
                          UUnitConverter::ToPoints(unit, CabDouble(kKeyVerticalOffset, 0.0)));
    mPlacement->SetAlignment(CabInt(kKeyHorizontalAlign, 0), CabInt(kKeyVerticalAlign, 0));
}

void CStamp::BuildBorder() {
    const int32_t color = CabInt(kKeyBorderColor, kNoColor);
    if (color < 0) return;
    mElement->SetDashStyle(CabInt(kKeyBorderDash, 0));
    mElement->SetLineColor(RedOf(color), GreenOf(color), BlueOf(color));
    mElement->SetLineWidth(CabDouble(kKeyBorderWidth, 0.0));
}

void CStamp::BuildPageRanges(PDDoc inDoc) {
    const int32_t count = mPageCountOverride >= 1 ? mPageCountOverride : DocPageCount(inDoc);
    mPageRanges = std::make_unique<CPageRangeSet>(count);
    if (!mUsePageSelection) return;
    bool accepted = true;
    switch (CabInt(kKeyPages, kPagesByStampOn)) {
        case kPagesByStampOn: accepted = mPageRanges->SetMode(CabInt(kKeyStampOn, 0)); break;
        case kPagesCustomList: accepted = mPageRanges->SetCustomRanges(CabText(kKeyPageList)); break;
        case kPagesEveryNth:
            accepted = mPageRanges->SetEveryNthPage(CabInt(kKeyFromPage, kDefaultFromPage),
                                                    CabInt(kKeyEveryPage, kDefaultEveryPage));
            break;
        default: break;  // left as made: all pages
    }
    if (accepted) return;
    SetMessage(kStrBadPageRange, mPageRanges->GetMessage());
    throw Stop{};
}

bool CStamp::IsPageInRange(int32_t inPageIndex) const {
    return mPageRanges && mPageRanges->ContainsPage(inPageIndex);
}

bool CStamp::PreparePage(PDDoc, int32_t) { return true; }

void CStamp::PageWritten(int32_t) {}

bool CStamp::Apply(PDDoc inDoc, bool inInteractive) {
    mInteractive = inInteractive;
    const bool built = Build(inDoc);
    if (!mBuilt) return false;
    SetMessage(kStrCannotStamp);
    const bool written = TrapFailure(
        [&] {
            WritePages(inDoc);
            WarnOfPagesOffPage();
            return true;
        },
        [&] {
            ReportMessage();
            return false;
        });
    DeleteBuiltObjects();
    // A failure while writing ends the run that applies this stamp.
    if (!written) mBuilt = false;
    return written && built;
}

void CStamp::WritePages(PDDoc inDoc) {
    const int32_t pageCount = DocPageCount(inDoc);
    // Visits the page indexes of the ranges in order. A page that the range
    // names more than once ("1-3,odd") is visited once, where it first
    // appears: a second write would lay the stamp over itself.
    auto eachPage = [&](const std::function<void(int32_t index, bool inDocument)>& visit) {
        std::vector<bool> seen(static_cast<size_t>(std::max(pageCount, 0)), false);
        for (int32_t i = 0; i < mPageRanges->GetCount(); ++i) {
            const CPageRange* range = mPageRanges->GetRange(i);
            for (int64_t page = range->GetLowPage(); page <= range->GetHighPage(); page += range->GetStep()) {
                const bool inDocument = page >= 1 && page <= pageCount;
                if (inDocument && seen[static_cast<size_t>(page - 1)]) continue;
                if (inDocument) seen[static_cast<size_t>(page - 1)] = true;
                visit(static_cast<int32_t>(page - 1), inDocument);
            }
        }
    };
    int64_t covered = 0;
    eachPage([&](int32_t, bool inDocument) { covered += inDocument ? 1 : 0; });
    if (covered <= 0) covered = 1;
    const auto step = static_cast<int32_t>(pageCount / covered);
    eachPage([&](int32_t index, bool) {
        WritePage(inDoc, index, index);
        ProgressAdvance(step);
        if (mInteractive && IsUserCancelled()) {
            SetMessage(kStrUserStopped);
            throw Stop{};
        }
    });
}

void CStamp::WritePage(PDDoc inDoc, int32_t inPageIndex, int32_t inCounterPage) {
    PreparePage(inDoc, inCounterPage);
    // A write that draws nothing places nothing.
    if (mPlacement) mPlacement->ForgetPlacedBox();
    if (mElement->Write(inPageIndex)) {
        if (mPlacement && mPlacement->PlacedOffPage()) mPagesOffPage.push_back(inPageIndex);
        PageWritten(inCounterPage);
        return;
    }
    const std::string name = GetName();
    const std::string& prefix = mElement->GetExhaustedNamePrefix();
    if (prefix.empty()) {
        SetMessage(kStrPageResourcesDamaged, name.c_str());
    } else {
        // Sound resources that simply hold every name the stamp may use are
        // not damaged: the message says which limit was reached.
        mMessage = ResourceNamesTakenMessage(name, inPageIndex, prefix, CPDFElement::kResourceNameLimit);
    }
    throw Stop{};
}

bool CStamp::ApplyToPage(PDDoc inDoc, int32_t inPageIndex, int32_t inCounterPage) {
    if (!mElement) return false;
    SetMessage(kStrCannotStamp);
    return TrapFailure(
        [&] {
            WritePage(inDoc, inPageIndex, inCounterPage < 0 ? inPageIndex : inCounterPage);
            return true;
        },
        [&] {
            ReportMessage();
            return false;
        });
}
