#include "pagecontent/CPDEContent.h"

#include "support/Assertion.h"
#include "support/CPDPageHolder.h"
#include "support/HostFrame.h"
#include "support/HostHandle.h"
#include "support/HostTables.h"
#include "support/ScopeGuard.h"

CPDEContent::CPDEContent() { TakeMade(CallHost([] { return gPDFEditWriteHFT->contentCreate(); })); }

CPDEContent::CPDEContent(PDEContent handle) : CPDEObject(handle, true) {}

CPDEContent::CPDEContent(CosObj contents, CosObj resources) { SetFromCosObj(contents, resources); }

CPDEContent::CPDEContent(PDPage page) { SetFromPage(page); }

CPDEContent::CPDEContent(AVDoc view, int32_t pageNumber) {
    CPDPageHolder holder(view, pageNumber);
    SetFromPage(holder);
}

CPDEContent::CPDEContent(PDDoc doc, int32_t pageNumber) {
    CPDPageHolder holder(doc, pageNumber);
    SetFromPage(holder);
}

CPDEContent::~CPDEContent() {
    TrapRun([this] { GiveBackPage(); });
}

void CPDEContent::GiveBackPage() {
    if (!mPDPage) return;
    PDPage page = mPDPage;
    mPDPage = nullptr;
    mHandle = nullptr;  // the loan is the host's; nothing to release as an object
    WithCleanUp([&] { CallHost([&] { gPagePDEContentHFT->pageReleasePDEContent(page, gExtensionID); }); },
                [&] { gPDModelHFT->pageRelease(page); });
}

void CPDEContent::SetFromCosObj(CosObj contents, CosObj resources) {
    PDEContent made = CallHost([&] { return gPDFEditReadHFT->contentCreateFromCosObj(contents, resources); });
    GiveBackPage();
    TakeMade(made);
}

void CPDEContent::SetFromPage(PDPage page) {
    CallHost([&] { gPDModelHFT->pageAcquire(page); });  // kept while the content is lent
    CHostPageRef acquired(page);                         // given back unless it is
    const PDEContent lent =
        CallHost([&] { return gPagePDEContentHFT->pageAcquirePDEContent(page, gExtensionID); });
    GiveBackPage();
    ReleaseHeld();
    mPDPage = acquired.Take();
    mHandle = lent;
    mOwned = true;
    mDoNotRelease = true;
}

int32_t CPDEContent::GetNumElems() const {
    return CallHost([&] { return gPDFEditReadHFT->contentGetNumElems(mHandle); });
}

void CPDEContent::AddElem(PDEElement element, int32_t index) {
    CallHost([&] { gPDFEditWriteHFT->contentAddElem(mHandle, index, element); });
}

void CPDEContent::RemoveElemByHandle(PDEElement element) {
    for (int32_t i = 0; i < GetNumElems();) {
        if (GetElem(i) == element) RemoveElem(i);
        else ++i;
    }
}

void CPDEContent::RemoveElem(int32_t index) {
    CallHost([&] { gPDFEditWriteHFT->contentRemoveElem(mHandle, index); });
}

PDEElement CPDEContent::GetElem(int32_t index) const {
    return CallHost([&] { return gPDFEditReadHFT->contentGetElem(mHandle, index); });
}

int32_t CPDEContent::IndexOfElem(PDEElement element) const {
    const int32_t count = GetNumElems();
    for (int32_t i = 0; i < count; ++i)
        if (GetElem(i) == element) return i;
    return -1;
}

int32_t CPDEContent::Query(int32_t question, void* reserved) const {
    return CallHost([&] { return gPDFEditReadHFT->contentQuery(mHandle, question, reserved); });
}

const PDEContentAttrs& CPDEContent::GetAttributes() {
    CallHost([&] { gPDFEditReadHFT->contentGetAttrs(mHandle, &mAttributes, sizeof mAttributes); });
    return mAttributes;
}

void CPDEContent::WriteToCos(CosDoc doc, const void* filters, const PDEContentAttrs* attrs, CosObj* contents,
                             CosObj* resources, uint32_t flags) {
    CallHost([&] {
        gPDFEditWriteHFT->contentToCosObj(mHandle, flags, attrs, sizeof(PDEContentAttrs), doc, filters, contents,
                                          resources);
    });
}

int16_t CPDEContent::SetPageContent() {
    if (!mPDPage) ReportAssertion("mPDPage", "Pde 1.0\\Classes\\CPDEContent", __LINE__);
    return CallHost([&]() -> int16_t { return gPagePDEContentHFT->pageSetPDEContent(mPDPage, gExtensionID) ? 1 : 0; });
}
