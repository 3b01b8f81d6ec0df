#include "support/CPDPageHolder.h"

#include "support/HostFrame.h"
#include "support/HostTables.h"

CPDPageHolder::CPDPageHolder(AVDoc view, int32_t pageNumber) {
    const PDDoc doc = CallHost([&] { return gAppViewHFT->avDocGetPDDoc(view); });
    Acquire(doc, pageNumber);
}

CPDPageHolder::CPDPageHolder(PDDoc doc, int32_t pageNumber) { Acquire(doc, pageNumber); }

CPDPageHolder::~CPDPageHolder() { Release(); }

void CPDPageHolder::Acquire(PDDoc doc, int32_t pageNumber) {
    const PDPage page = CallHost([&] { return gPDModelHFT->docAcquirePage(doc, pageNumber); });
    Release();
    mPDPage = page;
}

void CPDPageHolder::Release() {
    if (!mPDPage) return;
    const PDPage page = mPDPage;
    mPDPage = nullptr;
    // Called from the destructor too: a release the host refuses is dropped.
    try {
        gPDModelHFT->pageRelease(page);
    } catch (const HostError&) {
    }
}
