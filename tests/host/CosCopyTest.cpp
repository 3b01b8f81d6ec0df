// objCopy: deep copies between documents keep sharing, end on cycles and leave
// page trees behind.
#include <gtest/gtest.h>

#include <string>

#include "CosTestSupport.h"
#include "HostTables.h"
#include "common/PdfFixtures.h"
#include "cos/Document.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/CosTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"

namespace {

using qmtest::HostDoc;
using qmtest::HostPath;
using qmtest::codeOf;
using qmtest::cos;
using qmtest::nameAtom;

const PDModelTable& pd() { return *qmhost::pdModelTable(); }

size_t objectCount(CosDoc doc) { return qmhost::documentOf(doc)->qpdf().getObjectCount(); }

class CosCopy : public ::testing::Test {
protected:
    HostDoc source = HostDoc::create();
    HostDoc target = HostDoc::create();
    CosDoc src() const { return source.cos(); }
    CosDoc dst() const { return target.cos(); }
    CosObj get(CosObj dict, const char* key) { return cos().dictGet(dict, nameAtom(key)); }
    void put(CosObj dict, const char* key, CosObj value) { cos().dictPut(dict, nameAtom(key), value); }
};

TEST_F(CosCopy, SharedIndirectObjectStaysSharedInADirectCopy) {
    const CosObj shared = cos().newDict(src(), true, 1);
    put(shared, "Name", cos().newString(src(), false, "shared", 6));
    const CosObj holder = cos().newDict(src(), false, 2);
    put(holder, "X", shared);
    put(holder, "Y", shared);

    const size_t before = objectCount(dst());
    const CosObj copy = cos().objCopy(holder, dst());
    EXPECT_FALSE(cos().objIsIndirect(copy));
    EXPECT_EQ(cos().objGetDoc(copy), dst());
    const CosObj x = get(copy, "X"), y = get(copy, "Y");
    EXPECT_TRUE(cos().objIsIndirect(x));
    EXPECT_TRUE(cos().objEqual(x, y));
    EXPECT_FALSE(cos().objEqual(x, shared));
    EXPECT_EQ(objectCount(dst()), before + 1);
    int32_t length = 0;
    EXPECT_EQ(std::string(cos().stringValue(get(x, "Name"), &length), 6), "shared");
    // Copying the same object again answers the copy made before.
    EXPECT_TRUE(cos().objEqual(cos().objCopy(shared, dst()), x));
}

TEST_F(CosCopy, SharedIndirectObjectStaysSharedInAnIndirectCopy) {
    const CosObj shared = cos().newArray(src(), true, 0);
    const CosObj holder = cos().newArray(src(), true, 2);
    cos().arrayPut(holder, 0, shared);
    cos().arrayPut(holder, 1, shared);
    const CosObj copy = cos().objCopy(holder, dst());
    EXPECT_TRUE(cos().objIsIndirect(copy));
    EXPECT_TRUE(cos().objEqual(cos().arrayGet(copy, 0), cos().arrayGet(copy, 1)));
}

TEST_F(CosCopy, CycleOfIndirectReferencesTerminates) {
    const CosObj a = cos().newDict(src(), true, 2);
    const CosObj b = cos().newDict(src(), true, 1);
    put(a, "Self", a);
    put(a, "Next", b);
    put(b, "Back", a);
    const CosObj copy = cos().objCopy(a, dst());
    EXPECT_TRUE(cos().objEqual(get(copy, "Self"), copy));
    EXPECT_TRUE(cos().objEqual(get(get(copy, "Next"), "Back"), copy));
    EXPECT_EQ(cos().objGetDoc(get(copy, "Next")), dst());
}

TEST_F(CosCopy, DirectCopyIsDeepAndIndependent) {
    const CosObj inner = cos().newArray(src(), false, 1);
    cos().arrayPut(inner, 0, cos().newInteger(src(), false, 7));
    const CosObj outer = cos().newDict(src(), false, 1);
    put(outer, "Inner", inner);
    const CosObj copy = cos().objCopy(outer, dst());
    const CosObj copiedInner = get(copy, "Inner");
    EXPECT_FALSE(cos().objIsIndirect(copiedInner));
    EXPECT_EQ(cos().integerValue(cos().arrayGet(copiedInner, 0)), 7);
    cos().arrayPut(copiedInner, 1, cos().newInteger(dst(), false, 8));
    EXPECT_EQ(cos().arrayLength(inner), 1);
}

TEST_F(CosCopy, ScalarsAndStringsCopyByValue) {
    const CosObj number = cos().objCopy(cos().newFixed(src(), false, 3 * kASFixedOne / 2), dst());
    EXPECT_EQ(cos().objGetDoc(number), dst());
    EXPECT_EQ(cos().fixedValue(number), 3 * kASFixedOne / 2);
    const CosObj text = cos().objCopy(cos().newString(src(), false, "a\0b", 3), dst());
    int32_t length = 0;
    const char* bytes = cos().stringValue(text, &length);
    EXPECT_EQ(std::string(bytes, static_cast<size_t>(length)), std::string("a\0b", 3));
    EXPECT_EQ(cos().objGetType(cos().objCopy(cos().newNull(), dst())), CosNull);
}

TEST_F(CosCopy, CopyWithinOneDocumentIsRefused) {
    const CosObj dict = cos().newDict(src(), true, 0);
    EXPECT_EQ(codeOf([&] { cos().objCopy(dict, src()); }), kHostErrBadParameter);
    EXPECT_EQ(codeOf([&] { cos().objCopy(dict, reinterpret_cast<CosDoc>(uintptr_t{0xABCDEF})); }),
              kHostErrBadHandle);
}

TEST_F(CosCopy, CopiedStreamOutlivesItsSourceDocument) {
    const std::string data = "BT /F1 12 Tf (copied) Tj ET";
    ASStm in = qmhost::appSupportTable()->memStmOpen(data.data(), static_cast<int64_t>(data.size()));
    CosObj attrs = cos().newDict(src(), false, 1);
    put(attrs, "Filter", cos().newName(src(), false, nameAtom("FlateDecode")));
    const CosObj stream = cos().newStream(src(), true, in, 0, 1, attrs, cos().newNull(), -1);
    qmhost::appSupportTable()->stmClose(in);

    const CosObj copy = cos().objCopy(stream, dst());
    source.close();
    ASStm out = cos().streamOpen(copy, kCosStreamDecoded);
    char buffer[64];
    const int32_t n = qmhost::appSupportTable()->stmRead(buffer, 1, sizeof buffer, out);
    qmhost::appSupportTable()->stmClose(out);
    EXPECT_EQ(std::string(buffer, static_cast<size_t>(n)), data);

    qmtest::FixtureFolder folder;
    put(cos().docGetRoot(dst()), "QmCopy", copy);
    pd().docSave(target.pd(), HostPath(folder.file("copy.pdf")));
    const auto check = qmtest::qpdfCheck(folder.file("copy.pdf"));
    EXPECT_EQ(check.status, 0) << check.output;
}

class CosCopyPage : public ::testing::Test {
protected:
    qmtest::FixtureFolder folder;
    std::string path = folder.file("pages.pdf");
    void SetUp() override {
        qmtest::FixtureTree tree;
        tree.inheritedResources = false;  // every page has its own resources
        qmtest::writeFixturePdf(path, std::vector<qmtest::FixturePage>(20), tree);
    }
};

TEST_F(CosCopyPage, CopyingAPageDoesNotDragThePageTreeAlong) {
    HostDoc source = HostDoc::open(path);
    HostDoc target = HostDoc::create();
    PDPage page = pd().docAcquirePage(source.pd(), 4);
    PDPage other = pd().docAcquirePage(source.pd(), 11);
    const CosObj pageDict = pd().pageGetCosObj(page);
    // A link to another page, as an annotation's destination would hold.
    cos().dictPut(pageDict, nameAtom("QmLink"), pd().pageGetCosObj(other));
    pd().pageRelease(other);

    const size_t before = objectCount(target.cos());
    const CosObj copy = cos().objCopy(pageDict, target.cos());
    pd().pageRelease(page);

    // The page, its content stream, its font, and a placeholder for the linked page.
    EXPECT_LE(objectCount(target.cos()), before + 4);
    EXPECT_EQ(cos().objGetType(cos().dictGet(copy, nameAtom("Parent"))), CosNull);
    EXPECT_EQ(cos().objGetType(cos().dictGet(copy, nameAtom("QmLink"))), CosNull);
    EXPECT_EQ(cos().objGetType(cos().dictGet(copy, nameAtom("Contents"))), CosStream);
    EXPECT_EQ(pd().docGetNumPages(target.pd()), 0);
}

TEST_F(CosCopyPage, CopyingThePageTreeItselfGivesNull) {
    HostDoc source = HostDoc::open(path);
    HostDoc target = HostDoc::create();
    const CosObj pages = cos().dictGet(cos().docGetRoot(source.cos()), nameAtom("Pages"));
    const size_t before = objectCount(target.cos());
    EXPECT_EQ(cos().objGetType(cos().objCopy(pages, target.cos())), CosNull);
    EXPECT_EQ(objectCount(target.cos()), before);
}

}  // namespace
