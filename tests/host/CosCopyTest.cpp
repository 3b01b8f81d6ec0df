// objCopy and the deep copy under it (also used for pages inserted from another
// document): copies between documents keep sharing, end on cycles, refuse
// endless nesting, lose nothing and leave page trees behind.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "CosTestSupport.h"
#include "HostTables.h"
#include "common/PdfFixtures.h"
#include "cos/CosCopy.h"
#include "cos/Document.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/CosTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDFEditReadTable.h"
#include "qmhost/PDFEditWriteTable.h"
#include "qmhost/PDModelTable.h"
#include "pde/PDFEditTablesImpl.h"

namespace {

using qmtest::HostDoc;
using qmtest::HostPath;
using qmtest::hostErrorOf;
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
    const size_t before = objectCount(dst());
    const CosObj copy = cos().objCopy(a, dst());
    EXPECT_EQ(objectCount(dst()), before + 2);
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
    EXPECT_EQ(hostErrorOf([&] { cos().objCopy(dict, src()); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { cos().objCopy(dict, reinterpret_cast<CosDoc>(uintptr_t{0xABCDEF})); }),
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

// --- the deep copy itself, case by case, on qpdf objects

QPDFObjectHandle nestedArrays(int depth) {
    QPDFObjectHandle inner = QPDFObjectHandle::newInteger(7);
    for (int i = 0; i < depth; ++i) inner = QPDFObjectHandle::newArray({inner});
    return inner;
}

// How many arrays lead down to the first non-array through first items; -1 when
// the innermost item is not the integer 7 that nestedArrays puts there.
int arrayDepth(QPDFObjectHandle object) {
    int depth = 0;
    for (; object.isArray() && object.getArrayNItems() > 0; ++depth) object = object.getArrayItem(0);
    return object.isInteger() && object.getIntValue() == 7 ? depth : -1;
}

// A dictionary holding the indirect object parsed from text twice: under
// direct, and as the one item of an array under inList.
QPDFObjectHandle heldTwice(QPDF& source, const char* text, const char* direct, const char* inList) {
    QPDFObjectHandle object = source.makeIndirectObject(QPDFObjectHandle::parse(text));
    QPDFObjectHandle holder = QPDFObjectHandle::newDictionary();
    holder.replaceKey(direct, object);
    holder.replaceKey(inList, QPDFObjectHandle::newArray({object}));
    return holder;
}

struct DeepCopyRow {
    const char* name;
    // Makes the object to copy, in source (or in target, for objects already there).
    std::function<QPDFObjectHandle(QPDF& source, QPDF& target)> make;
    int32_t raises;  // the HostError code copyInto raises; 0 for none
    // Checks the copy (when nothing was raised) against the original; added is
    // the number of objects the copy put into target.
    std::function<void(QPDFObjectHandle copy, QPDFObjectHandle original, QPDF& target, size_t added)> check;
};

const DeepCopyRow kDeepCopyRows[] = {
    {"DirectNestingAsDeepAsAFileCanHoldIsCopiedWhole",
     [](QPDF&, QPDF&) { return nestedArrays(qmhost::cos::kMaxCopyDepth); }, 0,
     [](QPDFObjectHandle copy, QPDFObjectHandle, QPDF&, size_t added) {
         EXPECT_EQ(added, 0u);
         EXPECT_EQ(arrayDepth(copy), qmhost::cos::kMaxCopyDepth);
     }},
    {"DirectNestingPastTheBoundIsRefused",
     [](QPDF&, QPDF&) { return nestedArrays(qmhost::cos::kMaxCopyDepth + 1); }, kHostErrBadPDF, nullptr},
    {"NullItemsOfArraysKeepTheirPlaces",
     [](QPDF& source, QPDF&) { return QPDFObjectHandle::parse(&source, "[1 null 99 0 R 2]"); }, 0,
     [](QPDFObjectHandle copy, QPDFObjectHandle, QPDF&, size_t added) {
         EXPECT_EQ(added, 0u);
         ASSERT_EQ(copy.getArrayNItems(), 4);
         EXPECT_EQ(copy.getArrayItem(0).getIntValue(), 1);
         EXPECT_TRUE(copy.getArrayItem(1).isNull());
         EXPECT_TRUE(copy.getArrayItem(2).isNull()) << "a reference to no object reads as null";
         EXPECT_EQ(copy.getArrayItem(3).getIntValue(), 2);
     }},
    {"NullEntriesOfDictionariesReadAsAbsent",
     [](QPDF& source, QPDF&) { return QPDFObjectHandle::parse(&source, "<< /A null /B 99 0 R /C 3 >>"); }, 0,
     [](QPDFObjectHandle copy, QPDFObjectHandle, QPDF&, size_t added) {
         EXPECT_EQ(added, 0u);
         EXPECT_EQ(copy.getKeys(), (std::set<std::string>{"/C"}));
         EXPECT_EQ(copy.getKey("/C").getIntValue(), 3);
     }},
    {"StreamComesWithItsData",
     [](QPDF& source, QPDF&) {
         QPDFObjectHandle stream = QPDFObjectHandle::newStream(&source, "q 1 0 0 1 0 0 cm Q");
         stream.getDict().replaceKey("/QmKind", QPDFObjectHandle::newName("/Test"));
         return QPDFObjectHandle::newArray({stream});
     },
     0,
     [](QPDFObjectHandle copy, QPDFObjectHandle, QPDF& target, size_t added) {
         EXPECT_EQ(added, 1u);
         QPDFObjectHandle stream = copy.getArrayItem(0);
         ASSERT_TRUE(stream.isStream());
         EXPECT_EQ(stream.getOwningQPDF(), &target);
         EXPECT_EQ(stream.getDict().getKey("/QmKind").getName(), "/Test");
         auto data = stream.getStreamData();
         EXPECT_EQ(std::string(reinterpret_cast<const char*>(data->getBuffer()), data->getSize()),
                   "q 1 0 0 1 0 0 cm Q");
     }},
    {"IndirectObjectSharedTwiceIsCopiedOnce",
     [](QPDF& source, QPDF&) { return heldTwice(source, "<< /N 1 >>", "/X", "/Y"); },
     0,
     [](QPDFObjectHandle copy, QPDFObjectHandle, QPDF& target, size_t added) {
         EXPECT_EQ(copy.getKey("/X").getObjGen(), copy.getKey("/Y").getArrayItem(0).getObjGen());
         EXPECT_EQ(copy.getKey("/X").getOwningQPDF(), &target);
         EXPECT_EQ(added, 1u);
     }},
    // Each level holds the level below twice: copied item by item, 2^depth arrays.
    {"DirectObjectSharedAgainAndAgainStaysShared",
     [](QPDF&, QPDF&) {
         QPDFObjectHandle level = QPDFObjectHandle::newInteger(7);
         for (int i = 0; i < 16; ++i) level = QPDFObjectHandle::newArray({level, level});
         return level;
     },
     0,
     [](QPDFObjectHandle copy, QPDFObjectHandle original, QPDF&, size_t added) {
         EXPECT_EQ(added, 0u) << "direct copies add no objects";
         EXPECT_EQ(arrayDepth(copy), 16);
         for (; copy.getArrayItem(0).isArray(); copy = copy.getArrayItem(0), original = original.getArrayItem(0)) {
             ASSERT_EQ(copy.getArrayNItems(), 2);
             EXPECT_EQ(copy.getArrayItem(0).getObjectPtr(), copy.getArrayItem(1).getObjectPtr());
             EXPECT_NE(copy.getObjectPtr(), original.getObjectPtr()) << "the copy is not the original";
         }
     }},
    {"ObjectsOfTheTargetStayAsTheyAre",
     [](QPDF& source, QPDF& target) {
         QPDFObjectHandle own = target.makeIndirectObject(QPDFObjectHandle::parse("<< /Own true >>"));
         QPDFObjectHandle foreign = source.makeIndirectObject(QPDFObjectHandle::parse("<< /Own false >>"));
         return QPDFObjectHandle::newArray({own, foreign});
     },
     0,
     [](QPDFObjectHandle copy, QPDFObjectHandle original, QPDF& target, size_t added) {
         EXPECT_EQ(copy.getArrayItem(0).getObjGen(), original.getArrayItem(0).getObjGen());
         EXPECT_EQ(copy.getArrayItem(1).getOwningQPDF(), &target);
         EXPECT_FALSE(copy.getArrayItem(1).getKey("/Own").getBoolValue());
         EXPECT_EQ(added, 1u) << "only the foreign object was added";
     }},
    {"PageTreeIsLeftBehind",
     [](QPDF& source, QPDF&) { return heldTwice(source, "<< /Type /Pages /Kids [] >>", "/Tree", "/List"); },
     0,
     [](QPDFObjectHandle copy, QPDFObjectHandle, QPDF&, size_t added) {
         EXPECT_FALSE(copy.hasKey("/Tree"));
         ASSERT_EQ(copy.getKey("/List").getArrayNItems(), 1);
         EXPECT_TRUE(copy.getKey("/List").getArrayItem(0).isNull());
         EXPECT_EQ(added, 0u);
     }},
};

TEST(CosDeepCopy, EachKindOfObjectCopiesAsDocumented) {
    for (const DeepCopyRow& row : kDeepCopyRows) {
        SCOPED_TRACE(row.name);
        QPDF source, target;
        source.emptyPDF();
        target.emptyPDF();
        QPDFObjectHandle original = row.make(source, target);
        const size_t before = target.getObjectCount();
        QPDFObjectHandle copy;
        EXPECT_EQ(hostErrorOf([&] { copy = qmhost::cos::copyInto(target, original); }), row.raises);
        if (row.raises == 0) row.check(copy, original, target, target.getObjectCount() - before);
    }
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

// A colour space asked for in a document holds only that document's objects,
// whichever document the objects it was made from belong to.
TEST_F(CosCopy, ColourSpaceAskedForInADocumentHoldsOnlyItsObjects) {
    struct Row {
        const char* what;
        CosDoc madeIn;
        bool indirect;
    };
    for (const Row& row : {Row{"direct array of the source", src(), false},
                           Row{"indirect array of the source", src(), true},
                           Row{"direct array of the target", dst(), false}}) {
        SCOPED_TRACE(row.what);
        const CosObj profile = cos().newDict(row.madeIn, true, 1);
        const CosObj array = cos().newArray(row.madeIn, row.indirect, 2);
        cos().arrayPut(array, 0, cos().newName(row.madeIn, false, nameAtom("ICCBased")));
        cos().arrayPut(array, 1, profile);
        const PDEColorSpace space = qmhost::pdfEditWriteTable()->colorSpaceCreateFromCosObj(&array);
        const CosObj asked = qmhost::pdfEditReadTable()->colorSpaceGetCosObj(space, dst());
        qmhost::pdfEditReadTable()->objectRelease(space);
        const CosObj held = cos().arrayGet(asked, 1);
        EXPECT_EQ(cos().objGetDoc(asked), dst());
        EXPECT_EQ(cos().objGetDoc(held), dst());
        EXPECT_TRUE(cos().objIsIndirect(held));
        // The target's own objects are kept, not copied again.
        EXPECT_EQ(cos().objEqual(held, profile), row.madeIn == dst());
    }
}

}  // namespace
