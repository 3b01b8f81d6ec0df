#include "engine/CPDFAction.h"

#include <algorithm>
#include <cstring>

#include "qmhost/HostError.h"
#include "support/io/CASPathName.h"
#include "support/CPDPageHolder.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/FixedPoint.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/ResourceStrings.h"

namespace {

// The view types by index; "XYZ" stands twice (zoom unset, zoom given).
constexpr const char* kViewTypeNames[kViewTypeCount] = {"XYZ", "XYZ",  "FitH",  "FitV", "Fit",
                                                        "FitB", "FitR", "FitBH", "FitBV"};

struct DashStyle {
    int32_t count;
    int32_t values[2];  // points
};
constexpr DashStyle kDashStyles[] = {{0, {0, 0}}, {1, {3, 0}}, {1, {2, 0}},
                                     {2, {2, 1}}, {2, {3, 5}}, {2, {2, 3}}};

ASAtom Atom(const char* inName) { return gCoreHFT->atomFromString(inName); }

bool IsEmpty(const char* inText) { return !inText || !*inText; }

}  // namespace

int32_t ViewTypeIndex(ASAtom inViewType, ASFixed inZoom) {
    if (inViewType == kASAtomNull || !gCoreHFT) return kViewTypeXYZUnsetZoom;
    for (int32_t index = kViewTypeXYZ; index < kViewTypeCount; ++index) {
        ASAtom atom = kASAtomNull;
        if (!gCoreHFT->atomExistsForString(kViewTypeNames[index], &atom) || atom != inViewType) continue;
        if (index == kViewTypeXYZ) return inZoom == kPDViewDestNullZoom ? kViewTypeXYZUnsetZoom : kViewTypeXYZ;
        return index;
    }
    return kViewTypeXYZUnsetZoom;
}

CPDFAction::CPDFAction() : mViewType(gCoreHFT ? Atom("XYZ") : kASAtomNull) {}

CPDFAction::~CPDFAction() {
    if (mBasePath && gAppSupportHFT) gAppSupportHFT->releasePath(mBasePath);
}

bool CPDFAction::IsValid() const {
    if (gCosHFT->objEqual(mAction.cos, gCosHFT->newNull())) return false;
    try {
        return gPDModelHFT->actionIsValid(mAction);
    } catch (const HostError&) {
        return false;
    }
}

void CPDFAction::GetBorder(PDLinkBorder& outBorder) const { outBorder = mBorder; }

void CPDFAction::SetViewType(int32_t inIndex) {
    if (inIndex < 0 || inIndex >= kViewTypeCount) return;
    mViewType = Atom(kViewTypeNames[inIndex]);
    if (inIndex == kViewTypeXYZUnsetZoom) mZoom = kPDViewDestNullZoom;
}

bool CPDFAction::SetZoom(float inZoom) {
    if (!(inZoom > 0.0f)) return false;  // also refuses NaN
    mZoom = FixedFromDouble(inZoom);
    return true;
}

bool CPDFAction::SetRect(ASFixed inLeft, ASFixed inTop, ASFixed inRight, ASFixed inBottom) {
    mRect = {inLeft, inTop, inRight, inBottom};
    return true;
}

bool CPDFAction::SetBorderWidth(ASFixed inWidth) {
    if (inWidth < 0) return false;
    mBorder.width = inWidth;
    return true;
}

bool CPDFAction::SetBorderDash(int32_t inStyle) {
    if (inStyle < 0 || inStyle >= static_cast<int32_t>(std::size(kDashStyles))) return false;
    const DashStyle& style = kDashStyles[inStyle];
    std::fill(std::begin(mBorder.dashArray), std::end(mBorder.dashArray), 0);
    mBorder.dashArrayLen = style.count;
    for (int32_t i = 0; i < style.count; ++i) mBorder.dashArray[i] = FixedFromInt(style.values[i]);
    return true;
}

bool CPDFAction::SetBasePath(const char* inPath) {
    if (mBasePath) gAppSupportHFT->releasePath(mBasePath);
    mBasePath = nullptr;
    if (IsEmpty(inPath)) return true;
    return Guarded([&] { mBasePath = gAppSupportHFT->pathFromText(inPath); });
}

bool CPDFAction::ResolveGoTo() {
    if (!IsValid() || !mDoc) return false;
    bool resolved = false;
    const bool ran = Guarded([&] {
        if (gPDModelHFT->actionGetSubtype(mAction) != Atom("GoTo")) {
            resolved = true;  // other actions are used as they are
            return;
        }
        const PDViewDestination dest =
            gPDModelHFT->destResolve(gPDModelHFT->actionGetDest(mAction), mDoc);
        if (!gPDModelHFT->destIsValid(dest)) return;
        int32_t pageNumber = -1;
        ASAtom fitType = Atom("XYZ");
        ASFixedRect rect{0, 0, 0, 0};
        ASFixed zoom = kPDViewDestNullZoom;
        gPDModelHFT->destGetAttr(dest, mDoc, &pageNumber, &fitType, &rect, &zoom);
        if (pageNumber < 0 || pageNumber >= gPDModelHFT->docGetNumPages(mDoc)) return;
        CPDPageHolder page(mDoc, pageNumber);
        const PDViewDestination own =
            gPDModelHFT->destCreate(mDoc, page, fitType, &rect, zoom, pageNumber);
        if (!gPDModelHFT->destIsValid(own)) return;
        // The new action is made before the old one goes, so that a failure
        // leaves the old action in place.
        const PDAction action = gPDModelHFT->actionNewFromDest(mDoc, own, mDoc);
        gPDModelHFT->actionDestroy(mAction);
        mAction = action;
        resolved = true;
    });
    return ran && resolved;
}

bool CPDFAction::MakeGoToAction(int32_t inPage) {
    if (!mDoc) return false;
    bool made = false;
    const bool ran = Guarded([&] {
        CPDPageHolder page(mDoc, inPage);
        ASFixedRect rect = mRect;
        if (rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0)
            gPDModelHFT->pageGetBox(page, &rect);
        const PDViewDestination dest =
            gPDModelHFT->destCreate(mDoc, page, mViewType, &rect, mZoom, inPage);
        if (!gPDModelHFT->destIsValid(dest)) return;
        mAction = gPDModelHFT->actionNewFromDest(mDoc, dest, mDoc);
        made = true;
    });
    return ran && made;
}

bool CPDFAction::MakeGoToRAction(const char* inPath, int32_t inPage) {
    if (!mDoc || IsEmpty(inPath)) return false;
    return Guarded([&] {
        const CASPathName path(inPath);
        const PDFileSpec fileSpec = gPDModelHFT->fileSpecNewFromPath(mDoc, path, mBasePath);
        const CosDoc cosDoc = gPDModelHFT->docGetCosDoc(mDoc);
        const CosObj dest = gCosHFT->newArray(cosDoc, false, 2);
        gCosHFT->arrayPut(dest, 0, gCosHFT->newInteger(cosDoc, false, inPage));
        gCosHFT->arrayPut(dest, 1, gCosHFT->newName(cosDoc, false, Atom("Fit")));
        const PDAction action = gPDModelHFT->actionNew(mDoc, Atom("GoToR"));
        gCosHFT->dictPut(action.cos, Atom("F"), fileSpec.cos);
        gCosHFT->dictPut(action.cos, Atom("D"), dest);
        mAction = action;
    });
}

bool CPDFAction::MakeLaunchAction(const char* inPath) {
    if (!mDoc || IsEmpty(inPath)) return false;
    return Guarded([&] {
        const CASPathName path(inPath);
        const PDFileSpec fileSpec = gPDModelHFT->fileSpecNewFromPath(mDoc, path, mBasePath);
        mAction = gPDModelHFT->actionNewFromFileSpec(mDoc, Atom("Launch"), fileSpec);
    });
}

bool CPDFAction::MakeURIAction(const char* inURI) {
    if (!mDoc || IsEmpty(inURI)) return false;
    return Guarded([&] {
        const CosDoc cosDoc = gPDModelHFT->docGetCosDoc(mDoc);
        const PDAction action = gPDModelHFT->actionNew(mDoc, Atom("URI"));
        const auto length = static_cast<int32_t>(std::min<size_t>(std::strlen(inURI), INT32_MAX));
        gCosHFT->dictPut(action.cos, Atom("URI"), gCosHFT->newString(cosDoc, false, inURI, length));
        mAction = action;
    });
}

void CPDFAction::StoreHostError() {
    // The host's text went into the error-message buffer; keep it here, cut on
    // a character boundary.
    const char* message = GetErrorMessage();
    const size_t length = Utf8CompleteLength(message, strnlen(message, kErrorTextSize - 1));
    std::memcpy(mErrorText, message, length);
    mErrorText[length] = '\0';
}
