#include "engine/CPDFDocument.h"

#include <cmath>
#include <memory>

#include "engine/CPDFElement.h"
#include "engine/CWrapPieces.h"
#include "support/io/CASPathName.h"
#include "support/FixedPoint.h"
#include "engine/EngineHostFrame.h"

using engine::HostFrame;
using engine::PageRef;

CPDFDocument::CPDFDocument() = default;

CPDFDocument::CPDFDocument(PDDoc doc) : mPDDoc(doc) {}

CPDFDocument::~CPDFDocument() {
    if (mOwns) Close();
}

bool CPDFDocument::Attach(PDDoc doc, bool owns) {
    mPDDoc = doc;
    mOwns = owns;
    return true;
}

CosDoc CPDFDocument::GetCosDoc() const {
    if (!mPDDoc) return nullptr;
    CosDoc cosDoc = nullptr;
    HostFrame([&] { cosDoc = gPDModelHFT->docGetCosDoc(mPDDoc); });
    return cosDoc;
}

bool CPDFDocument::CreateNew() {
    if (mPDDoc) return false;
    const bool made = HostFrame([&] { mPDDoc = gPDModelHFT->docCreate(); });
    if (!made) return false;
    mOwns = true;
    return AppendBlankPage();
}

bool CPDFDocument::Open(const char* path) {
    if (mPDDoc || !path) return false;
    HostFrame([&] {
        const CASPathName pathName(path);
        // The host repairs a damaged file itself while opening, so a second
        // attempt through the viewer would meet the same result: one attempt.
        mPDDoc = gPDModelHFT->docOpen(pathName);
        mOwns = true;
    });
    return mPDDoc != nullptr;
}

bool CPDFDocument::Close() {
    if (!mPDDoc) return true;
    const bool closed = HostFrame([&] {
        if (mAVDoc)
            gAppViewHFT->avDocClose(mAVDoc, true);
        else
            gPDModelHFT->docClose(mPDDoc);
        mAVDoc = nullptr;
        mPDDoc = nullptr;
    });
    return closed;
}

bool CPDFDocument::OpenView() {
    if (!mPDDoc || mAVDoc) return false;
    return HostFrame([&] { mAVDoc = gAppViewHFT->avDocOpenFromPDDoc(mPDDoc, nullptr); });
}

std::string CPDFDocument::GetInfo(const char* key) const {
    if (!mPDDoc || !key) return {};
    char buffer[kInfoCapacity] = {};
    const bool read =
        HostFrame([&] { gPDModelHFT->docGetInfo(mPDDoc, key, buffer, kInfoCapacity); });
    if (!read) return {};
    buffer[kInfoCapacity - 1] = '\0';
    return buffer;
}

int32_t CPDFDocument::GetPageCount() const {
    if (!mPDDoc) return 0;
    int32_t count = 0;
    if (!HostFrame([&] { count = gPDModelHFT->docGetNumPages(mPDDoc); })) return 0;
    return count;
}

bool CPDFDocument::DrawPage(int32_t pageIndex, QImage* target, float zoom, int32_t xOffset,
                            int32_t yOffset) {
    if (!mPDDoc || !target) return false;
    return HostFrame([&] {
        PageRef page(mPDDoc, pageIndex);
        ASFixedMatrix matrix;
        gPDModelHFT->pageGetDefaultMatrix(page, &matrix);
        // The translation is zoomed here and the scale applied first below, so
        // it is not scaled twice. Worked out in double: h × zoom overflows 32 bits.
        const double factor = zoom / 100.0;
        matrix.h = FixedFromDouble((matrix.h * factor - xOffset * 65536.0) / 65536.0);
        matrix.v = FixedFromDouble((matrix.v * factor - yOffset * 65536.0) / 65536.0);
        const ASFixed s = FixedFromDouble(factor);
        const ASFixedMatrix scale{s, 0, 0, s, 0, 0};
        gAppSupportHFT->fixedMatrixConcat(&matrix, &matrix, &scale);
        ASFixedRect update;
        gPDModelHFT->pageGetBox(page, &update);
        gPDModelHFT->pageDrawContents(page, target, &matrix, &update);
    });
}

int32_t CPDFDocument::CheckPermission() const {
    if (!mPDDoc) return -1;
    int32_t answer = 0;
    const bool asked = HostFrame([&] {
        if (!gPDModelHFT->docGetSecurityData(mPDDoc)) return;
        const ASAtom standard = gCoreHFT->atomFromString("Standard");
        if (gPDModelHFT->docGetSecurityHandlerName(mPDDoc) != standard) return;
        if (gPDModelHFT->docPermRequest(mPDDoc, kPDPermObjPageContents, kPDPermOpModify, nullptr) != 0)
            answer = 1;
    });
    return asked ? answer : -1;
}

bool CPDFDocument::AppendBlankPage() {
    if (!mPDDoc) return false;
    return HostFrame([&] {
        const ASFixedRect box = kBlankPageBox;
        const PDPage page = gPDModelHFT->docCreatePage(mPDDoc, -1, &box);
        try {
            gPDModelHFT->pageSetBox(page, &box);
        } catch (const HostError&) {
            gPDModelHFT->pageRelease(page);
            throw;
        }
        gPDModelHFT->pageRelease(page);
    });
}

bool CPDFDocument::DeleteAllPages() {
    if (!mPDDoc) return false;
    // A host error is reported as a failure: the caller would otherwise put a
    // new page in front of pages that are still there.
    return HostFrame([&] {
        const int32_t count = gPDModelHFT->docGetNumPages(mPDDoc);
        if (count > 0) gPDModelHFT->docDeletePages(mPDDoc, 0, count - 1);
    });
}

bool CPDFDocument::WrapAllPageContents(bool recordUndo) {
    if (!mPDDoc) return false;
    int32_t count = 0;
    if (!HostFrame([&] { count = gPDModelHFT->docGetNumPages(mPDDoc); })) return false;
    // One " q " and one " Q " stream serve every page that leaves nothing
    // open: two new objects per document instead of two per page.
    std::unique_ptr<CWrapPieces> pieces;
    if (!HostFrame([&] { pieces = std::make_unique<CWrapPieces>(gPDModelHFT->docGetCosDoc(mPDDoc)); }))
        return false;
    CPDFElement wrapper;
    wrapper.SetDocument(this);
    wrapper.SetRecordUndo(recordUndo);
    bool allWrapped = true;
    for (int32_t page = 0; page < count; ++page)
        if (!wrapper.WrapPageContent(page, *pieces)) allWrapped = false;
    return allWrapped;
}
