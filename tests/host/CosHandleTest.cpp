// Handles of closed documents and made-up handle values: every entry raises
// kHostErrBadHandle and touches no freed memory.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "HostTables.h"
#include "common/HostErrorOf.h"
#include "common/PdfFixtures.h"
#include "cos/Document.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/CosTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"

namespace {

using qmtest::HostDoc;
using qmtest::nameAtom;

const CosTable& cos() { return *qmhost::cosTable(); }
const PDModelTable& pd() { return *qmhost::pdModelTable(); }

// Objects of a document that the test closes.
struct Stale {
    PDDoc doc;
    CosDoc cosDoc;
    CosObj dict, array, stream, string, indirect;
    PDPage page;
};

Stale makeStale(const std::string& folderPath) {
    const std::string path = folderPath + "/stale.pdf";
    qmtest::writeSimplePdf(path, 2);
    HostDoc doc = HostDoc::open(path);
    Stale s;
    s.doc = doc.pd();
    s.cosDoc = doc.cos();
    s.dict = cos().newDict(s.cosDoc, false, 1);
    s.array = cos().newArray(s.cosDoc, false, 1);
    cos().arrayPut(s.array, 0, cos().newInteger(s.cosDoc, false, 1));
    s.string = cos().newString(s.cosDoc, false, "abc", 3);
    s.indirect = cos().docGetRoot(s.cosDoc);
    s.page = pd().docAcquirePage(s.doc, 0);
    s.stream = cos().dictGet(pd().pageGetCosObj(s.page), nameAtom("Contents"));
    return s;  // doc closes here
}

struct StaleRow {
    const char* name;
    std::function<void(const Stale&, CosDoc live)> call;
};

bool neverCalled(CosObj, CosObj, void*) {
    ADD_FAILURE() << "enumerated a stale object";
    return true;
}

class CosStaleHandle : public ::testing::TestWithParam<StaleRow> {};

TEST_P(CosStaleHandle, RaisesBadHandleAfterDocClose) {
    qmtest::FixtureFolder folder;
    const Stale stale = makeStale(folder.path());
    ASSERT_EQ(qmhost::documentOf(stale.doc), nullptr);
    HostDoc live = HostDoc::create();
    try {
        GetParam().call(stale, live.cos());
        FAIL() << "no error";
    } catch (const HostError& e) {
        EXPECT_EQ(e.code(), kHostErrBadHandle) << e.what();
    }
}

#define ROW(label, body) StaleRow{label, [](const Stale& s, CosDoc live) { (void)s; (void)live; body; }}

INSTANTIATE_TEST_SUITE_P(
    Entries, CosStaleHandle,
    ::testing::Values(
        ROW("ObjGetType", cos().objGetType(s.dict)),
        ROW("ObjIsIndirect", cos().objIsIndirect(s.indirect)),
        ROW("ObjGetDoc", cos().objGetDoc(s.dict)),
        ROW("ObjEnum", cos().objEnum(s.array, neverCalled, nullptr)),
        ROW("ObjCopy", cos().objCopy(s.indirect, live)),
        ROW("ObjCopyToClosedDocument", cos().objCopy(cos().newDict(live, false, 0), s.cosDoc)),
        ROW("NewInteger", cos().newInteger(s.cosDoc, false, 1)),
        ROW("NewString", cos().newString(s.cosDoc, true, "x", 1)),
        ROW("IntegerValue", cos().integerValue(s.dict)),
        ROW("StringValue", cos().stringValue(s.string, nullptr)),
        ROW("NewDict", cos().newDict(s.cosDoc, true, 0)),
        ROW("DictGet", cos().dictGet(s.indirect, nameAtom("Pages"))),
        ROW("DictKnown", cos().dictKnown(s.dict, nameAtom("A"))),
        ROW("DictPut", cos().dictPut(s.dict, nameAtom("A"), cos().newNull())),
        ROW("DictPutIntoLiveDict", cos().dictPut(cos().newDict(live, false, 0), nameAtom("A"), s.dict)),
        ROW("DictRemove", cos().dictRemove(s.dict, nameAtom("A"))),
        ROW("ArrayLength", cos().arrayLength(s.array)),
        ROW("ArrayGet", cos().arrayGet(s.array, 0)),
        ROW("ArrayPut", cos().arrayPut(s.array, 0, cos().newNull())),
        ROW("ArrayInsert", cos().arrayInsert(s.array, 0, cos().newNull())),
        ROW("ArrayRemove", cos().arrayRemove(s.array, cos().newNull())),
        ROW("ArrayRemoveAt", cos().arrayRemoveAt(s.array, 0)),
        ROW("StreamDict", cos().streamDict(s.stream)),
        ROW("StreamOpen", cos().streamOpen(s.stream, kCosStreamDecoded)),
        ROW("StreamLength", cos().streamLength(s.stream)),
        ROW("DocGetRoot", cos().docGetRoot(s.cosDoc)),
        ROW("DocGetTrailer", cos().docGetTrailer(s.cosDoc)),
        ROW("DocGetNumPages", pd().docGetNumPages(s.doc)),
        ROW("DocGetCosDoc", pd().docGetCosDoc(s.doc)),
        ROW("DocAcquirePath", pd().docAcquirePath(s.doc)),
        ROW("DocAcquirePage", pd().docAcquirePage(s.doc, 0)),
        ROW("DocClose", pd().docClose(s.doc)),
        ROW("PageAcquire", pd().pageAcquire(s.page)),
        ROW("PageGetCosObj", pd().pageGetCosObj(s.page)),
        ROW("PageGetDoc", pd().pageGetDoc(s.page)),
        ROW("PageGetNumber", pd().pageGetNumber(s.page)),
        ROW("PageGetBox", ASFixedRect r; pd().pageGetBox(s.page, &r)),
        ROW("PageGetDefaultMatrix", ASFixedMatrix m; pd().pageGetDefaultMatrix(s.page, &m))),
    [](const auto& row) { return std::string(row.param.name); });

#undef ROW

struct ValueRow {
    const char* name;
    CosObj obj;
};

class CosMadeUpHandle : public ::testing::TestWithParam<ValueRow> {};

TEST_P(CosMadeUpHandle, RaisesBadHandle) {
    HostDoc live = HostDoc::create();
    const CosObj made = GetParam().obj;
    try {
        cos().objGetType(made);
        FAIL() << "no error";
    } catch (const HostError& e) {
        EXPECT_EQ(e.code(), kHostErrBadHandle);
    }
    EXPECT_FALSE(cos().objEqual(made, made));
}

INSTANTIATE_TEST_SUITE_P(Values, CosMadeUpHandle,
                         ::testing::Values(ValueRow{"ZeroDocumentWithSlot", {0, 5}},
                                           ValueRow{"DocumentWithSlotZero", {1, 0}},
                                           ValueRow{"UnknownDocument", {0xFFFFFFF0u, 1}}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(CosMadeUpHandle, SlotBeyondTheTableRaisesBadHandle) {
    HostDoc live = HostDoc::create();
    const CosObj root = cos().docGetRoot(live.cos());
    const CosObj beyond{root.a, root.b + 100000};
    try {
        cos().objGetType(beyond);
        FAIL() << "no error";
    } catch (const HostError& e) {
        EXPECT_EQ(e.code(), kHostErrBadHandle);
    }
}

// --- the ownership rule: direct objects that nothing but the handle table holds

bool isStale(CosObj obj) { return qmtest::isStaleObject(cos(), obj); }

struct OwnershipRow {
    const char* name;
    // Makes the object whose handle is checked after the release.
    std::function<CosObj(CosDoc doc, CosObj root)> make;
    bool stale;
};

class CosUnheldRelease : public ::testing::TestWithParam<OwnershipRow> {};

// The same rule whether the host releases after a command or the plug-in asks
// for the handles it got since a mark.
TEST_P(CosUnheldRelease, OnlyWhatNothingHoldsGoesStale) {
    for (const bool sinceMark : {false, true}) {
        SCOPED_TRACE(sinceMark ? "released since a mark" : "released after the command");
        HostDoc doc = HostDoc::create();
        const CosObj root = cos().docGetRoot(doc.cos());
        const uint32_t mark = cos().docHandleMark(doc.cos());
        const CosObj obj = GetParam().make(doc.cos(), root);
        if (sinceMark)
            EXPECT_EQ(cos().docReleaseUnheld(doc.cos(), mark) > 0, GetParam().stale);
        else
            qmhost::releaseUnheldObjects();
        EXPECT_EQ(isStale(obj), GetParam().stale);
        // A released slot is never handed out again: new objects get new handles.
        const CosObj fresh = cos().newDict(doc.cos(), false, 1);
        EXPECT_FALSE(fresh.a == obj.a && fresh.b == obj.b);
    }
}

// A release since a mark leaves the handles handed out before it, held or
// not, and those of other documents; a mark past the end releases nothing.
TEST(CosUnheldRelease, SinceAMarkLeavesEarlierHandlesAndOtherDocuments) {
    HostDoc doc = HostDoc::create();
    HostDoc other = HostDoc::create();
    const CosObj before = cos().newDict(doc.cos(), false, 1);
    const CosObj elsewhere = cos().newDict(other.cos(), false, 1);
    const uint32_t mark = cos().docHandleMark(doc.cos());
    const CosObj after = cos().newArray(doc.cos(), false, 1);
    cos().arrayPut(after, 0, before);  // held now, but by what goes stale
    EXPECT_EQ(cos().docReleaseUnheld(doc.cos(), cos().docHandleMark(doc.cos()) + 5), 0);
    EXPECT_FALSE(isStale(after));
    EXPECT_EQ(cos().docReleaseUnheld(doc.cos(), mark), 1);
    EXPECT_TRUE(isStale(after));
    EXPECT_FALSE(isStale(before));
    EXPECT_FALSE(isStale(elsewhere));
    // Released again after the command: nothing holds it any more.
    qmhost::releaseUnheldObjects();
    EXPECT_TRUE(isStale(before));
    EXPECT_TRUE(isStale(elsewhere));
}

#define OWN(label, stale, body) OwnershipRow{label, [](CosDoc d, CosObj root) -> CosObj { (void)root; body; }, stale}

INSTANTIATE_TEST_SUITE_P(
    Objects, CosUnheldRelease,
    ::testing::Values(
        OWN("DictionaryNeverPut", true, return cos().newDict(d, false, 1)),
        OWN("DictionaryInTheCatalog", false, {
            const CosObj dict = cos().newDict(d, false, 1);
            cos().dictPut(root, nameAtom("QMKept"), dict);
            return dict;
        }),
        OWN("ArrayPutThenRemoved", true, {
            const CosObj array = cos().newArray(d, false, 1);
            cos().dictPut(root, nameAtom("QMGone"), array);
            cos().dictRemove(root, nameAtom("QMGone"));
            return array;
        }),
        OWN("IntegerInAnArrayNothingHolds", true, {
            const CosObj array = cos().newArray(d, false, 1);
            const CosObj number = cos().newInteger(d, false, 7);
            cos().arrayPut(array, 0, number);
            return number;
        }),
        OWN("IntegerInAnArrayOfTheCatalog", false, {
            const CosObj array = cos().newArray(d, false, 1);
            const CosObj number = cos().newInteger(d, false, 7);
            cos().arrayPut(array, 0, number);
            cos().dictPut(root, nameAtom("QMNumbers"), array);
            return number;
        }),
        OWN("IndirectDictionaryNothingRefersTo", false, return cos().newDict(d, true, 1)),
        OWN("StringWhoseTextWasRead", true, {
            const CosObj text = cos().newString(d, false, "abc", 3);
            int32_t length = 0;
            EXPECT_STREQ(cos().stringValue(text, &length), "abc");
            return text;
        })),
    [](const auto& row) { return std::string(row.param.name); });

// What stays held keeps its handle: asking again answers the same one, and it
// still reads the same value.
TEST(CosUnheldRelease, HeldObjectsKeepTheirHandles) {
    HostDoc doc = HostDoc::create();
    const CosObj root = cos().docGetRoot(doc.cos());
    const CosObj array = cos().newArray(doc.cos(), false, 1);
    cos().arrayPut(array, 0, cos().newInteger(doc.cos(), false, 42));
    cos().dictPut(root, nameAtom("QMHeld"), array);
    qmhost::releaseUnheldObjects();
    const CosObj again = cos().dictGet(root, nameAtom("QMHeld"));
    EXPECT_EQ(again.a, array.a);
    EXPECT_EQ(again.b, array.b);
    EXPECT_EQ(cos().integerValue(cos().arrayGet(array, 0)), 42);
}

TEST(CosDocumentRegistry, SerialsAreNeverReused) {
    HostDoc first = HostDoc::create();
    const PDDoc old = first.pd();
    first.close();
    HostDoc second = HostDoc::create();
    EXPECT_NE(second.pd(), old);
    EXPECT_EQ(qmhost::documentOf(old), nullptr);
}

TEST(CosDocumentRegistry, ClosingReleasesTheDocument) {
    const size_t before = qmhost::openDocumentCount();
    {
        HostDoc doc = HostDoc::create();
        EXPECT_EQ(qmhost::openDocumentCount(), before + 1);
    }
    EXPECT_EQ(qmhost::openDocumentCount(), before);
    EXPECT_NO_THROW(pd().docClose(nullptr));
}

}  // namespace
