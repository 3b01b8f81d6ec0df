#include "PageContentFixture.h"

#include "common/PluginFixture.h"
#include "pde/PdeModel.h"
#include "support/HostTables.h"

namespace pctest {
namespace {

PDFEditReadTable gRead;
PDFEditWriteTable gWrite;
PagePDEContentTable gPages;
PDModelTable gModel;
const PDFEditReadTable* gRealRead;
const PDFEditWriteTable* gRealWrite;
const PagePDEContentTable* gRealPages;
const PDModelTable* gRealModel;

uintptr_t key(const void* handle) { return reinterpret_cast<uintptr_t>(handle); }

template <class H>
H made(H handle) {
    if (handle) ++counts().taken[key(handle)];
    return handle;
}

void installCountingTables() {
    gRealRead = gPDFEditReadHFT;
    gRealWrite = gPDFEditWriteHFT;
    gRealPages = gPagePDEContentHFT;
    gRealModel = gPDModelHFT;
    gRead = *gRealRead;
    gWrite = *gRealWrite;
    gPages = *gRealPages;
    gModel = *gRealModel;
    gRead.objectAcquire = [](PDEObject o) {
        gRealRead->objectAcquire(o);
        ++counts().taken[key(o)];
    };
    gRead.objectRelease = [](PDEObject o) {
        if (!counts().taken.count(key(o))) ++counts().releasesOfUnheld;
        gRealRead->objectRelease(o);
        ++counts().given[key(o)];
    };
    gRead.contentCreateFromCosObj = [](CosObj c, CosObj r) { return made(gRealRead->contentCreateFromCosObj(c, r)); };
    gWrite.elementCopy = [](PDEElement e, uint32_t f) { return made(gRealWrite->elementCopy(e, f)); };
    gWrite.clipCreate = [] { return made(gRealWrite->clipCreate()); };
    gWrite.clipCopy = [](PDEClip c) { return made(gRealWrite->clipCopy(c)); };
    gWrite.contentCreate = [] { return made(gRealWrite->contentCreate()); };
    gWrite.imageCreate = [](const PDEImageAttrs* a, uint32_t s, const ASFixedMatrix* m, uint32_t f, PDEColorSpace cs,
                            const void* cv, const void* fl, ASStm st, const uint8_t* d, uint32_t l) {
        return made(gRealWrite->imageCreate(a, s, m, f, cs, cv, fl, st, d, l));
    };
    gWrite.imageCreateFromCosObj = [](CosObj i, const ASFixedMatrix* m, PDEColorSpace cs, const void* cv) {
        return made(gRealWrite->imageCreateFromCosObj(i, m, cs, cv));
    };
    gWrite.formCreateFromCosObj = [](const CosObj* f, const CosObj* r, const ASFixedMatrix* m) {
        return made(gRealWrite->formCreateFromCosObj(f, r, m));
    };
    gWrite.colorSpaceCreateFromName = [](ASAtom a) { return made(gRealWrite->colorSpaceCreateFromName(a)); };
    gWrite.colorSpaceCreate = [](ASAtom a, const void* d) { return made(gRealWrite->colorSpaceCreate(a, d)); };
    gWrite.colorSpaceCreateFromCosObj = [](const CosObj* o) { return made(gRealWrite->colorSpaceCreateFromCosObj(o)); };
    gWrite.containerCreate = [](ASAtom t, const CosObj* d, bool i) { return made(gRealWrite->containerCreate(t, d, i)); };
    gPages.pageAcquirePDEContent = [](PDPage p, ExtensionID e) {
        PDEContent c = gRealPages->pageAcquirePDEContent(p, e);
        ++counts().loansTaken[key(p)];
        return c;
    };
    gPages.pageReleasePDEContent = [](PDPage p, ExtensionID e) {
        const int32_t left = gRealPages->pageReleasePDEContent(p, e);
        ++counts().loansGiven[key(p)];
        return left;
    };
    gModel.docAcquirePage = [](PDDoc d, int32_t n) {
        PDPage p = gRealModel->docAcquirePage(d, n);
        ++counts().pagesTaken[key(p)];
        return p;
    };
    gModel.pageAcquire = [](PDPage p) {
        gRealModel->pageAcquire(p);
        ++counts().pagesTaken[key(p)];
    };
    gModel.pageRelease = [](PDPage p) {
        gRealModel->pageRelease(p);
        if (p) ++counts().pagesGiven[key(p)];
    };
    gPDFEditReadHFT = &gRead;
    gPDFEditWriteHFT = &gWrite;
    gPagePDEContentHFT = &gPages;
    gPDModelHFT = &gModel;
}

void restoreTables() {
    gPDFEditReadHFT = gRealRead;
    gPDFEditWriteHFT = gRealWrite;
    gPagePDEContentHFT = gRealPages;
    gPDModelHFT = gRealModel;
}

}  // namespace

Counts& counts() {
    static Counts c;
    return c;
}

void PageContentTest::SetUp() {
    qmtest::StartLinkedPlugin();
    counts() = Counts{};
    installCountingTables();
    hostHeld = qmhost::pdeHeldReferenceCount();
}

void PageContentTest::TearDown() {
    ExpectBalanced("at the end");
    for (AVDoc view : views) gAppViewHFT->avDocClose(view, true);
    restoreTables();
    EXPECT_EQ(qmhost::pdeHeldReferenceCount(), hostHeld) << "the host still holds references for the plug-in";
}

AVDoc PageContentTest::OpenView(const std::string& path) {
    qmtest::HostPath hostPath(path);
    PDDoc doc = gPDModelHFT->docOpen(hostPath);
    AVDoc view = gAppViewHFT->avDocOpenFromPDDoc(doc, "page content");
    views.push_back(view);
    return view;
}

void PageContentTest::SaveView(AVDoc view, const std::string& path) {
    qmtest::HostPath hostPath(path);
    gPDModelHFT->docSave(gAppViewHFT->avDocGetPDDoc(view), hostPath);
}

void PageContentTest::ExpectBalanced(const char* when) {
    const Counts& c = counts();
    for (const auto& [handle, n] : c.taken) {
        auto it = c.given.find(handle);
        EXPECT_EQ(it == c.given.end() ? 0 : it->second, n) << "handle " << handle << " " << when;
    }
    EXPECT_EQ(c.releasesOfUnheld, 0) << "handles released that were lent, not held, " << when;
    EXPECT_EQ(c.loansTaken, c.loansGiven) << "page-content loans " << when;
    EXPECT_EQ(c.pagesTaken, c.pagesGiven) << "page references " << when;
}

}  // namespace pctest
