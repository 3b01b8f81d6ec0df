// Cos dictionaries, arrays and enumeration through the table.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "CosTestSupport.h"
#include "HostTables.h"
#include "common/PdfFixtures.h"
#include "core/AtomTable.h"
#include "qmhost/CosTable.h"
#include "qmhost/HostError.h"

namespace {

using qmtest::HostDoc;
using qmtest::hostErrorOf;
using qmtest::cos;
using qmtest::nameAtom;

class CosContainer : public qmtest::NewDocTest {
protected:
    CosObj integer(int32_t value) { return cos().newInteger(cd(), false, value); }
    // The integers of an array, in order.
    std::vector<int32_t> integers(CosObj array) {
        std::vector<int32_t> values;
        for (int32_t i = 0; i < cos().arrayLength(array); ++i)
            values.push_back(cos().integerValue(cos().arrayGet(array, i)));
        return values;
    }
    CosObj arrayOf(std::initializer_list<int32_t> values) {
        CosObj array = cos().newArray(cd(), false, static_cast<int32_t>(values.size()));
        int32_t i = 0;
        for (int32_t v : values) cos().arrayPut(array, i++, integer(v));
        return array;
    }
};

// --- dictionaries

TEST_F(CosContainer, DictPutGetKnownRemove) {
    const CosObj dict = cos().newDict(cd(), false, 4);
    const ASAtom key = nameAtom("Width");
    EXPECT_FALSE(cos().dictKnown(dict, key));
    EXPECT_EQ(cos().objGetType(cos().dictGet(dict, key)), CosNull);
    cos().dictPut(dict, key, integer(300));
    EXPECT_TRUE(cos().dictKnown(dict, key));
    EXPECT_EQ(cos().integerValue(cos().dictGet(dict, key)), 300);
    cos().dictRemove(dict, key);
    EXPECT_FALSE(cos().dictKnown(dict, key));
}

TEST_F(CosContainer, DictRemoveOfAnAbsentKeyIsNoError) {
    const CosObj dict = cos().newDict(cd(), false, 0);
    EXPECT_NO_THROW(cos().dictRemove(dict, nameAtom("Length")));
}

TEST_F(CosContainer, PuttingTheNullObjectRemovesTheKey) {
    const CosObj dict = cos().newDict(cd(), false, 0);
    cos().dictPut(dict, nameAtom("A"), integer(1));
    cos().dictPut(dict, nameAtom("A"), cos().newNull());
    EXPECT_FALSE(cos().dictKnown(dict, nameAtom("A")));
}

TEST_F(CosContainer, KeysAreAtomsOfTheNameWithoutSlash) {
    const CosObj dict = cos().newDict(cd(), false, 0);
    cos().dictPut(dict, nameAtom("Type"), cos().newName(cd(), false, nameAtom("XObject")));
    EXPECT_EQ(cos().nameValue(cos().dictGet(dict, nameAtom("Type"))), nameAtom("XObject"));
    EXPECT_STREQ(qmhost::atoms().text(cos().nameValue(cos().dictGet(dict, nameAtom("Type")))), "XObject");
}

TEST_F(CosContainer, DirectValueIsStoredByReference) {
    const CosObj page = cos().newDict(cd(), true, 1);
    const CosObj resources = cos().newDict(cd(), false, 1);
    cos().dictPut(page, nameAtom("Resources"), resources);
    // Written through the handle kept after the put.
    cos().dictPut(resources, nameAtom("XObject"), cos().newDict(cd(), false, 0));
    const CosObj stored = cos().dictGet(page, nameAtom("Resources"));
    EXPECT_TRUE(cos().dictKnown(stored, nameAtom("XObject")));
    EXPECT_TRUE(cos().objEqual(stored, resources));
    EXPECT_FALSE(cos().objIsIndirect(stored));
}

TEST_F(CosContainer, DirectValueInArrayIsStoredByReference) {
    const CosObj array = cos().newArray(cd(), false, 1);
    const CosObj inner = cos().newArray(cd(), false, 0);
    cos().arrayPut(array, 0, inner);
    cos().arrayPut(inner, 0, integer(9));
    EXPECT_EQ(cos().arrayLength(cos().arrayGet(array, 0)), 1);
}

TEST_F(CosContainer, DirectCycleIsRefused) {
    const CosObj outer = cos().newDict(cd(), false, 1);
    const CosObj inner = cos().newDict(cd(), false, 1);
    cos().dictPut(outer, nameAtom("Inner"), inner);
    EXPECT_EQ(hostErrorOf([&] { cos().dictPut(inner, nameAtom("Outer"), outer); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { cos().dictPut(outer, nameAtom("Self"), outer); }), kHostErrBadParameter);
    const CosObj array = cos().newArray(cd(), false, 0);
    EXPECT_EQ(hostErrorOf([&] { cos().arrayInsert(array, 0, array); }), kHostErrBadParameter);
}

TEST_F(CosContainer, IndirectCycleIsAllowed) {
    const CosObj node = cos().newDict(cd(), true, 1);
    EXPECT_NO_THROW(cos().dictPut(node, nameAtom("Self"), node));
    EXPECT_TRUE(cos().objEqual(cos().dictGet(node, nameAtom("Self")), node));
}

TEST_F(CosContainer, ValueOfAnotherDocumentIsRefused) {
    HostDoc other = HostDoc::create();
    const CosObj dict = cos().newDict(cd(), false, 0);
    const CosObj foreign = cos().newInteger(other.cos(), false, 1);
    EXPECT_EQ(hostErrorOf([&] { cos().dictPut(dict, nameAtom("A"), foreign); }), kHostErrBadParameter);
    const CosObj array = cos().newArray(cd(), false, 0);
    EXPECT_EQ(hostErrorOf([&] { cos().arrayPut(array, 0, foreign); }), kHostErrBadParameter);
    EXPECT_EQ(cos().arrayLength(array), 0);
}

TEST_F(CosContainer, DictOperationsOnOtherTypesRaiseBadType) {
    const CosObj array = cos().newArray(cd(), false, 0);
    EXPECT_EQ(hostErrorOf([&] { cos().dictGet(array, nameAtom("A")); }), kHostErrBadType);
    EXPECT_EQ(hostErrorOf([&] { cos().dictPut(integer(1), nameAtom("A"), integer(2)); }), kHostErrBadType);
    EXPECT_EQ(hostErrorOf([&] { cos().arrayLength(cos().newDict(cd(), false, 0)); }), kHostErrBadType);
}

// --- enumeration

struct Seen {
    std::vector<std::string> keys;
    std::vector<int32_t> values;
    size_t stopAfter = SIZE_MAX;
    size_t calls = 0;
};

bool recordEntry(CosObj key, CosObj value, void* clientData) {
    auto* seen = static_cast<Seen*>(clientData);
    if (cos().objGetType(key) == CosName) {
        seen->keys.push_back(qmhost::atoms().text(cos().nameValue(key)));
        seen->values.push_back(cos().integerValue(value));
    } else {
        EXPECT_EQ(cos().objGetType(value), CosNull);
        seen->values.push_back(cos().integerValue(key));
    }
    return ++seen->calls < seen->stopAfter;
}

TEST_F(CosContainer, DictEnumerationIsInAscendingKeyOrder) {
    const CosObj dict = cos().newDict(cd(), false, 0);
    cos().dictPut(dict, nameAtom("Zeta"), integer(3));
    cos().dictPut(dict, nameAtom("Alpha"), integer(1));
    cos().dictPut(dict, nameAtom("Mid"), integer(2));
    Seen seen;
    EXPECT_TRUE(cos().objEnum(dict, recordEntry, &seen));
    EXPECT_EQ(seen.keys, (std::vector<std::string>{"Alpha", "Mid", "Zeta"}));
    EXPECT_EQ(seen.values, (std::vector<int32_t>{1, 2, 3}));
    Seen again;
    cos().objEnum(dict, recordEntry, &again);
    EXPECT_EQ(again.keys, seen.keys);
}

TEST_F(CosContainer, EnumerationStopsWhenTheProcedureAnswersFalse) {
    const CosObj dict = cos().newDict(cd(), false, 0);
    for (const char* key : {"A", "B", "C", "D"}) cos().dictPut(dict, nameAtom(key), integer(0));
    Seen seen;
    seen.stopAfter = 2;
    EXPECT_FALSE(cos().objEnum(dict, recordEntry, &seen));
    EXPECT_EQ(seen.keys, (std::vector<std::string>{"A", "B"}));
}

TEST_F(CosContainer, ArrayEnumerationIsInIndexOrderWithNullValues) {
    const CosObj array = arrayOf({5, 6, 7});
    Seen seen;
    EXPECT_TRUE(cos().objEnum(array, recordEntry, &seen));
    EXPECT_EQ(seen.values, (std::vector<int32_t>{5, 6, 7}));
    Seen stopped;
    stopped.stopAfter = 1;
    EXPECT_FALSE(cos().objEnum(array, recordEntry, &stopped));
    EXPECT_EQ(stopped.values, (std::vector<int32_t>{5}));
}

TEST_F(CosContainer, EnumerationWorksOnASnapshot) {
    const CosObj dict = cos().newDict(cd(), false, 0);
    for (const char* key : {"A", "B", "C"}) cos().dictPut(dict, nameAtom(key), integer(1));
    struct Context {
        CosObj dict;
        int calls = 0;
    } context{dict};
    auto removeAll = [](CosObj, CosObj, void* data) {
        auto* c = static_cast<Context*>(data);
        ++c->calls;
        for (const char* key : {"A", "B", "C"}) cos().dictRemove(c->dict, nameAtom(key));
        return true;
    };
    EXPECT_TRUE(cos().objEnum(dict, removeAll, &context));
    EXPECT_EQ(context.calls, 3);
}

TEST_F(CosContainer, ExceptionsOfTheProcedurePassThroughUnchanged) {
    const CosObj dict = cos().newDict(cd(), false, 0);
    cos().dictPut(dict, nameAtom("A"), integer(1));
    auto thrower = [](CosObj, CosObj, void*) -> bool { throw int16_t{-108}; };
    try {
        cos().objEnum(dict, thrower, nullptr);
        FAIL() << "no exception";
    } catch (int16_t code) {
        EXPECT_EQ(code, -108);
    }
}

TEST_F(CosContainer, EnumerationOfAScalarRaisesBadType) {
    Seen seen;
    EXPECT_EQ(hostErrorOf([&] { cos().objEnum(integer(1), recordEntry, &seen); }), kHostErrBadType);
}

// --- arrays

TEST_F(CosContainer, ArrayPutAtLengthAppends) {
    const CosObj array = arrayOf({1, 2});
    cos().arrayPut(array, 2, integer(3));
    EXPECT_EQ(integers(array), (std::vector<int32_t>{1, 2, 3}));
    cos().arrayPut(array, 0, integer(9));
    EXPECT_EQ(integers(array), (std::vector<int32_t>{9, 2, 3}));
}

TEST_F(CosContainer, FourPutsFromLengthBuildARectangle) {
    const CosObj array = cos().newArray(cd(), false, 4);
    for (int32_t i = 0; i < 4; ++i) cos().arrayPut(array, i, integer(i * 10));
    EXPECT_EQ(integers(array), (std::vector<int32_t>{0, 10, 20, 30}));
}

TEST_F(CosContainer, ArrayInsertBeforeIndex) {
    const CosObj array = arrayOf({1, 3});
    cos().arrayInsert(array, 1, integer(2));
    cos().arrayInsert(array, 0, integer(0));
    cos().arrayInsert(array, 4, integer(4));
    EXPECT_EQ(integers(array), (std::vector<int32_t>{0, 1, 2, 3, 4}));
}

TEST_F(CosContainer, ArrayRemoveTakesTheFirstEqualElement) {
    const CosObj array = arrayOf({1, 2, 1, 3});
    cos().arrayRemove(array, integer(1));
    EXPECT_EQ(integers(array), (std::vector<int32_t>{2, 1, 3}));
    cos().arrayRemove(array, integer(42));
    EXPECT_EQ(integers(array), (std::vector<int32_t>{2, 1, 3}));
    cos().arrayRemoveAt(array, 2);
    EXPECT_EQ(integers(array), (std::vector<int32_t>{2, 1}));
}

TEST_F(CosContainer, ArrayRemoveOfAnIndirectElement) {
    const CosObj target = cos().newDict(cd(), true, 0);
    const CosObj array = arrayOf({1});
    cos().arrayPut(array, 1, target);
    cos().arrayRemove(array, cos().newDict(cd(), true, 0));  // another object: stays
    EXPECT_EQ(cos().arrayLength(array), 2);
    cos().arrayRemove(array, target);
    EXPECT_EQ(integers(array), (std::vector<int32_t>{1}));
}

TEST_F(CosContainer, ArrayKeepsNullElements) {
    const CosObj array = arrayOf({1});
    cos().arrayPut(array, 1, cos().newNull());
    EXPECT_EQ(cos().arrayLength(array), 2);
    EXPECT_EQ(cos().objGetType(cos().arrayGet(array, 1)), CosNull);
}

struct IndexRow {
    const char* name;
    std::function<void(CosObj array, CosObj value)> call;
};

class CosArrayBadIndex : public ::testing::TestWithParam<IndexRow> {};

TEST_P(CosArrayBadIndex, RaisesBadIndexAndLeavesTheArray) {
    HostDoc doc = HostDoc::create();
    const CosObj array = cos().newArray(doc.cos(), false, 3);
    for (int32_t i = 0; i < 3; ++i) cos().arrayPut(array, i, cos().newInteger(doc.cos(), false, i));
    const CosObj value = cos().newInteger(doc.cos(), false, 99);
    EXPECT_EQ(hostErrorOf([&] { GetParam().call(array, value); }), kHostErrBadIndex);
    ASSERT_EQ(cos().arrayLength(array), 3);
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(cos().integerValue(cos().arrayGet(array, i)), i);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, CosArrayBadIndex,
    ::testing::Values(
        IndexRow{"GetAtLength", [](CosObj a, CosObj) { cos().arrayGet(a, 3); }},
        IndexRow{"GetNegative", [](CosObj a, CosObj) { cos().arrayGet(a, -1); }},
        IndexRow{"PutPastLength", [](CosObj a, CosObj v) { cos().arrayPut(a, 4, v); }},
        IndexRow{"PutNegative", [](CosObj a, CosObj v) { cos().arrayPut(a, -1, v); }},
        IndexRow{"InsertPastLength", [](CosObj a, CosObj v) { cos().arrayInsert(a, 4, v); }},
        IndexRow{"InsertNegative", [](CosObj a, CosObj v) { cos().arrayInsert(a, -1, v); }},
        IndexRow{"RemoveAtLength", [](CosObj a, CosObj) { cos().arrayRemoveAt(a, 3); }},
        IndexRow{"RemoveAtNegative", [](CosObj a, CosObj) { cos().arrayRemoveAt(a, -1); }},
        IndexRow{"PutFarBeyond", [](CosObj a, CosObj v) { cos().arrayPut(a, INT32_MAX, v); }}),
    [](const auto& row) { return std::string(row.param.name); });

// --- documents

TEST_F(CosContainer, RootIsTheCatalogAndTheTrailerPointsToIt) {
    const CosObj root = cos().docGetRoot(cd());
    EXPECT_TRUE(cos().objIsIndirect(root));
    EXPECT_EQ(cos().nameValue(cos().dictGet(root, nameAtom("Type"))), nameAtom("Catalog"));
    const CosObj trailer = cos().docGetTrailer(cd());
    EXPECT_TRUE(cos().objEqual(cos().dictGet(trailer, nameAtom("Root")), root));
}

}  // namespace
