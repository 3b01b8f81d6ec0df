#include "PageContentFixture.h"

#include "common/PluginFixture.h"
#include "pde/PdeModel.h"
#include "support/HostTables.h"

namespace pctest {
namespace {

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

void installCountingTables(qmtest::FaultInjectingHost& host) {
    gRealRead = &host.Real<PDFEditReadTable>();
    gRealWrite = &host.Real<PDFEditWriteTable>();
    gRealPages = &host.Real<PagePDEContentTable>();
    gRealModel = &host.Real<PDModelTable>();
    host.Replace<&PDFEditReadTable::objectAcquire>([](PDEObject o) {
        gRealRead->objectAcquire(o);
        ++counts().taken[key(o)];
    });
    host.Replace<&PDFEditReadTable::objectRelease>([](PDEObject o) {
        if (!counts().taken.count(key(o))) ++counts().releasesOfUnheld;
        gRealRead->objectRelease(o);
        ++counts().given[key(o)];
    });
    host.Replace<&PDFEditReadTable::contentCreateFromCosObj>(
        [](CosObj c, CosObj r) { return made(gRealRead->contentCreateFromCosObj(c, r)); });
    host.Replace<&PDFEditWriteTable::elementCopy>(
        [](PDEElement e, uint32_t f) { return made(gRealWrite->elementCopy(e, f)); });
    host.Replace<&PDFEditWriteTable::clipCreate>([] { return made(gRealWrite->clipCreate()); });
    host.Replace<&PDFEditWriteTable::clipCopy>([](PDEClip c) { return made(gRealWrite->clipCopy(c)); });
    host.Replace<&PDFEditWriteTable::contentCreate>([] { return made(gRealWrite->contentCreate()); });
    host.Replace<&PDFEditWriteTable::imageCreate>(
        [](const PDEImageAttrs* a, uint32_t s, const ASFixedMatrix* m, uint32_t f, PDEColorSpace cs, const void* cv,
           const void* fl, ASStm st, const uint8_t* d, uint32_t l) {
            return made(gRealWrite->imageCreate(a, s, m, f, cs, cv, fl, st, d, l));
        });
    host.Replace<&PDFEditWriteTable::imageCreateFromCosObj>(
        [](CosObj i, const ASFixedMatrix* m, PDEColorSpace cs, const void* cv) {
            return made(gRealWrite->imageCreateFromCosObj(i, m, cs, cv));
        });
    host.Replace<&PDFEditWriteTable::formCreateFromCosObj>(
        [](const CosObj* f, const CosObj* r, const ASFixedMatrix* m) {
            return made(gRealWrite->formCreateFromCosObj(f, r, m));
        });
    host.Replace<&PDFEditWriteTable::colorSpaceCreateFromName>(
        [](ASAtom a) { return made(gRealWrite->colorSpaceCreateFromName(a)); });
    host.Replace<&PDFEditWriteTable::colorSpaceCreate>(
        [](ASAtom a, const void* d) { return made(gRealWrite->colorSpaceCreate(a, d)); });
    host.Replace<&PDFEditWriteTable::colorSpaceCreateFromCosObj>(
        [](const CosObj* o) { return made(gRealWrite->colorSpaceCreateFromCosObj(o)); });
    host.Replace<&PDFEditWriteTable::containerCreate>(
        [](ASAtom t, const CosObj* d, bool i) { return made(gRealWrite->containerCreate(t, d, i)); });
    host.Replace<&PagePDEContentTable::pageAcquirePDEContent>([](PDPage p, ExtensionID e) {
        PDEContent c = gRealPages->pageAcquirePDEContent(p, e);
        ++counts().loansTaken[key(p)];
        return c;
    });
    host.Replace<&PagePDEContentTable::pageReleasePDEContent>([](PDPage p, ExtensionID e) {
        const int32_t left = gRealPages->pageReleasePDEContent(p, e);
        ++counts().loansGiven[key(p)];
        return left;
    });
    host.Replace<&PDModelTable::docAcquirePage>([](PDDoc d, int32_t n) {
        PDPage p = gRealModel->docAcquirePage(d, n);
        ++counts().pagesTaken[key(p)];
        return p;
    });
    host.Replace<&PDModelTable::pageAcquire>([](PDPage p) {
        gRealModel->pageAcquire(p);
        ++counts().pagesTaken[key(p)];
    });
    host.Replace<&PDModelTable::pageRelease>([](PDPage p) {
        gRealModel->pageRelease(p);
        if (p) ++counts().pagesGiven[key(p)];
    });
}

}  // namespace

Counts& counts() {
    static Counts c;
    return c;
}

void PageContentTest::SetUp() {
    qmtest::StartLinkedPlugin();
    counts() = Counts{};
    countingHost = std::make_unique<qmtest::FaultInjectingHost>();
    installCountingTables(*countingHost);
    hostHeld = qmhost::pdeHeldReferenceCount();
}

void PageContentTest::TearDown() {
    ExpectBalanced("at the end");
    for (AVDoc view : views) gAppViewHFT->avDocClose(view, true);
    countingHost.reset();
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
