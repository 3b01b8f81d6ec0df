// Cos scalars and strings through the table: types, values, rounding, clamping,
// equality.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include "CosTestSupport.h"
#include "HostTables.h"
#include "common/PdfFixtures.h"
#include "qmhost/CosTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"

namespace {

using qmtest::HostDoc;
using qmtest::hostErrorOf;
using qmtest::cos;
using qmtest::nameAtom;

class CosScalar : public qmtest::NewDocTest {};

TEST_F(CosScalar, NullObjectIsAllZeroAndOfTypeNull) {
    const CosObj null = cos().newNull();
    EXPECT_EQ(null.a, 0u);
    EXPECT_EQ(null.b, 0u);
    EXPECT_EQ(cos().objGetType(null), CosNull);
    EXPECT_FALSE(cos().objIsIndirect(null));
    EXPECT_EQ(hostErrorOf([&] { cos().objGetDoc(null); }), kHostErrBadParameter);
}

TEST_F(CosScalar, NewObjectsHaveTheirTypes) {
    EXPECT_EQ(cos().objGetType(cos().newInteger(cd(), false, 7)), CosInteger);
    EXPECT_EQ(cos().objGetType(cos().newFixed(cd(), false, kASFixedOne / 2)), CosFixed);
    EXPECT_EQ(cos().objGetType(cos().newBoolean(cd(), false, true)), CosBoolean);
    EXPECT_EQ(cos().objGetType(cos().newName(cd(), false, nameAtom("Foo"))), CosName);
    EXPECT_EQ(cos().objGetType(cos().newString(cd(), false, "ab", 2)), CosString);
    EXPECT_EQ(cos().objGetType(cos().newDict(cd(), false, 1)), CosDict);
    EXPECT_EQ(cos().objGetType(cos().newArray(cd(), false, 1)), CosArray);
}

TEST_F(CosScalar, IndirectFlagMakesIndirectObjectsOfTheDocument) {
    const CosObj direct = cos().newInteger(cd(), false, 1);
    const CosObj indirect = cos().newInteger(cd(), true, 1);
    EXPECT_FALSE(cos().objIsIndirect(direct));
    EXPECT_TRUE(cos().objIsIndirect(indirect));
    EXPECT_EQ(cos().objGetDoc(direct), cd());
    EXPECT_EQ(cos().objGetDoc(indirect), cd());
}

struct FixedRow {
    const char* name;
    ASFixed value;
};

class CosFixedRoundTrip : public ::testing::TestWithParam<FixedRow> {};

TEST_P(CosFixedRoundTrip, NewFixedReadsBackExactly) {
    HostDoc doc = HostDoc::create();
    const CosObj obj = cos().newFixed(doc.cos(), false, GetParam().value);
    EXPECT_EQ(cos().fixedValue(obj), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Values, CosFixedRoundTrip,
    ::testing::Values(FixedRow{"Zero", 0}, FixedRow{"One", kASFixedOne},
                      FixedRow{"SmallestStep", 1}, FixedRow{"MinusSmallestStep", -1},
                      FixedRow{"Half", kASFixedOne / 2}, FixedRow{"MinusOneAndAThird", -87381},
                      FixedRow{"Pi", 205887}, FixedRow{"Largest", INT32_MAX},
                      FixedRow{"Smallest", INT32_MIN}, FixedRow{"OddFraction", 0x12345}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(CosScalar, IntegerValueOfFixedRoundsHalfAwayFromZero) {
    EXPECT_EQ(cos().integerValue(cos().newFixed(cd(), false, 5 * kASFixedOne / 2)), 3);
    EXPECT_EQ(cos().integerValue(cos().newFixed(cd(), false, -5 * kASFixedOne / 2)), -3);
    EXPECT_EQ(cos().integerValue(cos().newFixed(cd(), false, kASFixedOne * 7 / 5)), 1);
    EXPECT_EQ(cos().integerValue(cos().newFixed(cd(), false, -kASFixedOne * 7 / 5)), -1);
}

TEST_F(CosScalar, FixedValueOfIntegerShiftsAndClamps) {
    EXPECT_EQ(cos().fixedValue(cos().newInteger(cd(), false, 3)), 3 * kASFixedOne);
    EXPECT_EQ(cos().fixedValue(cos().newInteger(cd(), false, -3)), -3 * kASFixedOne);
    EXPECT_EQ(cos().fixedValue(cos().newInteger(cd(), false, 40000)), INT32_MAX);
    EXPECT_EQ(cos().fixedValue(cos().newInteger(cd(), false, -40000)), INT32_MIN);
}

TEST_F(CosScalar, IntegerExtremesRoundTrip) {
    EXPECT_EQ(cos().integerValue(cos().newInteger(cd(), false, INT32_MAX)), INT32_MAX);
    EXPECT_EQ(cos().integerValue(cos().newInteger(cd(), false, INT32_MIN)), INT32_MIN);
}

// Numbers as a file holds them: 64-bit integers and reals with many digits.
TEST(CosScalarFromFile, NumbersBeyondThirtyTwoBitsAreClamped) {
    qmtest::FixtureFolder folder;
    const std::string path = folder.file("numbers.pdf");
    {
        QPDF pdf;
        pdf.emptyPDF();
        QPDFObjectHandle root = pdf.getRoot();
        root.replaceKey("/Big", QPDFObjectHandle::newInteger(9999999999LL));
        root.replaceKey("/Small", QPDFObjectHandle::newInteger(-9999999999LL));
        root.replaceKey("/Real", QPDFObjectHandle::newReal("123456.789"));
        root.replaceKey("/Fine", QPDFObjectHandle::newReal("-0.0000077"));  // -0.505 of a step
        root.replaceKey("/Tiny", QPDFObjectHandle::newReal("0.0000075"));   // 0.492 of a step
        QPDFWriter writer(pdf, path.c_str());
        writer.write();
    }
    HostDoc doc = HostDoc::open(path);
    const CosObj root = cos().docGetRoot(doc.cos());
    auto get = [&](const char* key) { return cos().dictGet(root, nameAtom(key)); };
    EXPECT_EQ(cos().integerValue(get("Big")), INT32_MAX);
    EXPECT_EQ(cos().integerValue(get("Small")), INT32_MIN);
    EXPECT_EQ(cos().fixedValue(get("Big")), INT32_MAX);
    EXPECT_EQ(cos().integerValue(get("Real")), 123457);
    EXPECT_EQ(cos().fixedValue(get("Real")), INT32_MAX);
    EXPECT_EQ(cos().fixedValue(get("Fine")), -1);
    EXPECT_EQ(cos().fixedValue(get("Tiny")), 0);
}

TEST(CosScalarFromFile, FixedNumbersSurviveSavingAndReopening) {
    qmtest::FixtureFolder folder;
    const std::string path = folder.file("fixed.pdf");
    const ASFixed values[] = {0x12345, -87381, 1, -1, INT32_MAX, INT32_MIN, 5 * kASFixedOne};
    {
        HostDoc doc = HostDoc::create();
        const CosObj array = cos().newArray(doc.cos(), true, 7);
        int32_t i = 0;
        for (ASFixed v : values) cos().arrayPut(array, i++, cos().newFixed(doc.cos(), false, v));
        cos().dictPut(cos().docGetRoot(doc.cos()), nameAtom("QmFixed"), array);
        qmhost::pdModelTable()->docSave(doc.pd(), qmtest::HostPath(path));
    }
    HostDoc reopened = HostDoc::open(path);
    const CosObj array = cos().dictGet(cos().docGetRoot(reopened.cos()), nameAtom("QmFixed"));
    ASSERT_EQ(cos().arrayLength(array), 7);
    for (int32_t i = 0; i < 7; ++i) EXPECT_EQ(cos().fixedValue(cos().arrayGet(array, i)), values[i]) << i;
}

TEST_F(CosScalar, ValueOfWrongTypeRaisesBadType) {
    const CosObj name = cos().newName(cd(), false, nameAtom("N"));
    const CosObj number = cos().newInteger(cd(), false, 1);
    EXPECT_EQ(hostErrorOf([&] { cos().integerValue(name); }), kHostErrBadType);
    EXPECT_EQ(hostErrorOf([&] { cos().fixedValue(name); }), kHostErrBadType);
    EXPECT_EQ(hostErrorOf([&] { cos().booleanValue(number); }), kHostErrBadType);
    EXPECT_EQ(hostErrorOf([&] { cos().nameValue(number); }), kHostErrBadType);
    EXPECT_EQ(hostErrorOf([&] { cos().stringValue(number, nullptr); }), kHostErrBadType);
    EXPECT_EQ(hostErrorOf([&] { cos().integerValue(cos().newNull()); }), kHostErrBadType);
}

TEST_F(CosScalar, BooleanAndNameValues) {
    EXPECT_TRUE(cos().booleanValue(cos().newBoolean(cd(), false, true)));
    EXPECT_FALSE(cos().booleanValue(cos().newBoolean(cd(), true, false)));
    const ASAtom atom = nameAtom("XObject");
    EXPECT_EQ(cos().nameValue(cos().newName(cd(), false, atom)), atom);
}

TEST_F(CosScalar, NameOfAnUnknownAtomIsRefused) {
    EXPECT_EQ(hostErrorOf([&] { cos().newName(cd(), false, kASAtomNull); }), kHostErrBadParameter);
}

TEST_F(CosScalar, StringsWithNulBytesRoundTrip) {
    const std::string bytes("a\0b\0\0c\xff", 7);
    const CosObj str = cos().newString(cd(), false, bytes.data(), static_cast<int32_t>(bytes.size()));
    int32_t length = -1;
    const char* value = cos().stringValue(str, &length);
    ASSERT_EQ(length, 7);
    EXPECT_EQ(std::string(value, static_cast<size_t>(length)), bytes);
}

TEST_F(CosScalar, EmptyStringHasLengthZero) {
    const CosObj str = cos().newString(cd(), false, nullptr, 0);
    int32_t length = -1;
    const char* value = cos().stringValue(str, &length);
    EXPECT_EQ(length, 0);
    ASSERT_NE(value, nullptr);
}

TEST_F(CosScalar, StringPointerStaysValidWhileTheDocumentIsOpen) {
    const CosObj str = cos().newString(cd(), true, "stable text", 11);
    int32_t length = 0;
    const char* first = cos().stringValue(str, &length);
    for (int i = 0; i < 100; ++i) cos().newString(cd(), false, "other", 5);  // more slots
    const char* second = cos().stringValue(str, &length);
    EXPECT_EQ(first, second);
    EXPECT_EQ(std::string(first, 11), "stable text");
}

TEST_F(CosScalar, NegativeStringLengthIsRefused) {
    EXPECT_EQ(hostErrorOf([&] { cos().newString(cd(), false, "x", -1); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { cos().newString(cd(), false, nullptr, 3); }), kHostErrBadParameter);
}

TEST_F(CosScalar, ObjectsFromAnUnknownDocumentAreRefused) {
    EXPECT_EQ(hostErrorOf([&] { cos().newInteger(reinterpret_cast<CosDoc>(uintptr_t{0xFFFFFF}), false, 1); }),
              kHostErrBadHandle);
    EXPECT_EQ(hostErrorOf([&] { cos().newDict(nullptr, false, 1); }), kHostErrBadHandle);
}

// --- equality

TEST_F(CosScalar, EqualityOfNullsAndSameObjects) {
    const CosObj indirect = cos().newDict(cd(), true, 0);
    const CosObj direct = cos().newDict(cd(), false, 0);
    EXPECT_TRUE(cos().objEqual(cos().newNull(), cos().newNull()));
    EXPECT_TRUE(cos().objEqual(indirect, indirect));
    EXPECT_TRUE(cos().objEqual(direct, direct));
    EXPECT_FALSE(cos().objEqual(indirect, cos().newNull()));
    EXPECT_FALSE(cos().objEqual(cos().newNull(), direct));
}

TEST_F(CosScalar, EqualityOfDirectScalarsIsByTypeAndValue) {
    EXPECT_TRUE(cos().objEqual(cos().newInteger(cd(), false, 5), cos().newInteger(cd(), false, 5)));
    EXPECT_FALSE(cos().objEqual(cos().newInteger(cd(), false, 5), cos().newInteger(cd(), false, 6)));
    EXPECT_FALSE(cos().objEqual(cos().newInteger(cd(), false, 5),
                                cos().newFixed(cd(), false, 5 * kASFixedOne)));
    EXPECT_TRUE(cos().objEqual(cos().newName(cd(), false, nameAtom("A")),
                               cos().newName(cd(), false, nameAtom("A"))));
    EXPECT_FALSE(cos().objEqual(cos().newName(cd(), false, nameAtom("A")),
                                cos().newName(cd(), false, nameAtom("B"))));
    EXPECT_TRUE(cos().objEqual(cos().newString(cd(), false, "x\0y", 3),
                               cos().newString(cd(), false, "x\0y", 3)));
    EXPECT_FALSE(cos().objEqual(cos().newString(cd(), false, "x\0y", 3),
                                cos().newString(cd(), false, "x\0z", 3)));
    EXPECT_TRUE(cos().objEqual(cos().newBoolean(cd(), false, true), cos().newBoolean(cd(), false, true)));
}

TEST_F(CosScalar, DistinctContainersAndIndirectObjectsAreNotEqual) {
    EXPECT_FALSE(cos().objEqual(cos().newDict(cd(), false, 0), cos().newDict(cd(), false, 0)));
    EXPECT_FALSE(cos().objEqual(cos().newArray(cd(), true, 0), cos().newArray(cd(), true, 0)));
    // Two indirect integers of one value are two objects.
    EXPECT_FALSE(cos().objEqual(cos().newInteger(cd(), true, 5), cos().newInteger(cd(), true, 5)));
    EXPECT_FALSE(cos().objEqual(cos().newInteger(cd(), true, 5), cos().newInteger(cd(), false, 5)));
}

TEST_F(CosScalar, TheSameIndirectObjectReachedTwiceIsEqual) {
    const CosObj target = cos().newDict(cd(), true, 0);
    const CosObj holder = cos().newArray(cd(), false, 2);
    cos().arrayPut(holder, 0, target);
    EXPECT_TRUE(cos().objEqual(cos().arrayGet(holder, 0), target));
}

TEST_F(CosScalar, EqualityNeverRaisesForStaleObjects) {
    HostDoc other = HostDoc::create();
    const CosObj stale = cos().newInteger(other.cos(), false, 5);
    other.close();
    EXPECT_FALSE(cos().objEqual(stale, stale));
    EXPECT_FALSE(cos().objEqual(stale, cos().newInteger(cd(), false, 5)));
    EXPECT_FALSE(cos().objEqual(stale, cos().newNull()));
    EXPECT_FALSE(cos().objEqual(CosObj{0, 77}, CosObj{0, 77}));
}

}  // namespace
