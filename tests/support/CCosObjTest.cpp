// CCosObj over a real document: values, types, rounding, copies, dumps.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "CosTestDocument.h"
#include "support/cos/CCosObj.h"
#include "qmhost/HostError.h"
#include "support/ErrorCode.h"
#include "support/FixedPoint.h"
#include "support/HostTables.h"
#include "support/cos/PDFAtoms.h"

namespace {

std::string DumpText(const CCosObj& obj) {
    FILE* file = std::tmpfile();
    obj.Dump(file);
    std::string text(static_cast<size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    const size_t read = std::fread(text.data(), 1, text.size(), file);
    std::fclose(file);
    text.resize(read);
    return text;
}

class CCosObjTest : public testing::Test {
protected:
    void SetUp() override { qmtest::TakeAlerts(); }
    qmtest::CosTestDocument mDoc;
    CosDoc doc() const { return mDoc.cosDoc(); }
};

TEST_F(CCosObjTest, DefaultIsTheNullObjectWithoutDocument) {
    CCosObj obj;
    EXPECT_TRUE(obj.IsNull());
    EXPECT_EQ(obj.GetType(), CosNull);
    EXPECT_EQ(obj.GetCosDoc(), nullptr);
    EXPECT_TRUE(obj.IsScalar());
}

TEST_F(CCosObjTest, ValueConstructorsMakeDirectObjectsOfTheirType) {
    const CCosObj integer(doc(), int32_t{7});
    const CCosObj name(doc(), gAtomXObject);
    const CCosObj boolean(doc(), true);
    const CCosObj real(doc(), 1.5);
    EXPECT_EQ(integer.GetType(), CosInteger);
    EXPECT_EQ(name.GetType(), CosName);
    EXPECT_EQ(boolean.GetType(), CosBoolean);
    EXPECT_EQ(real.GetType(), CosFixed);
    for (const CCosObj* obj : {&integer, &name, &boolean, &real}) {
        EXPECT_FALSE(obj->IsIndirect());
        EXPECT_TRUE(obj->IsScalar());
        EXPECT_FALSE(obj->IsNull());
        EXPECT_EQ(obj->GetCosDoc(), doc());
    }
    EXPECT_EQ(integer.GetInteger(), 7);
    EXPECT_EQ(name.GetName(), gAtomXObject);
    EXPECT_TRUE(boolean.GetBoolean());
    EXPECT_EQ(real.GetFixed(), 0x18000);
}

TEST_F(CCosObjTest, SetWithIndirectFlagMakesIndirectObjects) {
    CCosObj obj(doc());
    obj.SetInteger(3, true);
    EXPECT_TRUE(obj.IsIndirect());
    obj.SetFloat(-0.25);
    EXPECT_FALSE(obj.IsIndirect());
    EXPECT_DOUBLE_EQ(obj.GetFloat(), -0.25);
}

struct RoundRow {
    const char* name;
    ASFixed fixed;
    int32_t integer;
};

class CCosObjRounding : public CCosObjTest, public testing::WithParamInterface<RoundRow> {};

// GetInteger of a fixed value rounds half away from zero: -2.5 gives -3 (the
// add-one-half-and-shift rounding would give -2).
TEST_P(CCosObjRounding, GetIntegerOfFixedRoundsHalfAwayFromZero) {
    CCosObj obj(doc());
    obj.SetFixed(GetParam().fixed);
    EXPECT_EQ(obj.GetInteger(), GetParam().integer);
}

INSTANTIATE_TEST_SUITE_P(Values, CCosObjRounding,
                         testing::Values(RoundRow{"TwoAndAHalf", 0x28000, 3},
                                         RoundRow{"MinusTwoAndAHalf", -0x28000, -3},
                                         RoundRow{"MinusTwoPointTwo", FixedFromDouble(-2.2), -2},
                                         RoundRow{"OnePointSix", FixedFromDouble(1.6), 2}),
                         [](const testing::TestParamInfo<RoundRow>& row) { return row.param.name; });

TEST_F(CCosObjTest, GetFixedOfIntegerShiftsAndClamps) {
    EXPECT_EQ(CCosObj(doc(), int32_t{-4}).GetFixed(), -4 * 0x10000);
    EXPECT_EQ(CCosObj(doc(), int32_t{100000}).GetFixed(), INT32_MAX);
    EXPECT_DOUBLE_EQ(CCosObj(doc(), int32_t{12}).GetFloat(), 12.0);
}

TEST_F(CCosObjTest, NumberReadOfANameFailsAssertionZero) {
    const CCosObj name(doc(), gAtomType);
    EXPECT_THROW(name.GetInteger(), ErrorCode);
    EXPECT_THROW(name.GetFixed(), ErrorCode);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[0].rfind("Assertion '0' failed in module: ", 0), 0u);
}

TEST_F(CCosObjTest, BooleanAndNameReadsAssertTheirTypes) {
    const CCosObj integer(doc(), int32_t{1});
    try {
        integer.GetBoolean();
        FAIL();
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrAssertion);
    }
    EXPECT_THROW(integer.GetName(), ErrorCode);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_NE(alerts[0].find("'CosObjGetType(mCosObj) == CosBoolean'"), std::string::npos);
    EXPECT_NE(alerts[1].find("'CosObjGetType(mCosObj) == CosName'"), std::string::npos);
}

TEST_F(CCosObjTest, CopyWithShareKeepsAnIndirectObject) {
    CCosObj obj(doc());
    obj.SetInteger(9, true);
    const CosObj shared = obj.Copy(true);
    EXPECT_TRUE(gCosHFT->objEqual(shared, obj));
    const CCosObj deep(doc(), obj.Copy(false));
    EXPECT_FALSE(deep.IsIndirect());
    EXPECT_EQ(deep.GetInteger(), 9);
}

TEST_F(CCosObjTest, CopyOfScalarsAndStringsKeepsTheirValues) {
    CCosObj real(doc(), 2.75);
    EXPECT_DOUBLE_EQ(CCosObj(doc(), real.Copy(false)).GetFloat(), 2.75);
    EXPECT_FALSE(CCosObj(doc(), CCosObj(doc(), false).Copy(true)).GetBoolean());
    EXPECT_EQ(CCosObj(doc(), CCosObj(doc(), gAtomFont).Copy(false)).GetName(), gAtomFont);
    EXPECT_TRUE(CCosObj(doc(), CCosObj(doc()).Copy(false)).IsNull());

    const char bytes[] = {'a', '\0', 'b'};
    const CosObj string = gCosHFT->newString(doc(), false, bytes, 3);
    const CosObj copy = CCosObj(doc(), string).Copy(false);
    int32_t length = 0;
    const char* copied = gCosHFT->stringValue(copy, &length);
    EXPECT_EQ(std::string(copied, static_cast<size_t>(length)), std::string(bytes, 3));
}

TEST_F(CCosObjTest, AssignCopiesObjectAndDocument) {
    const CCosObj source(doc(), int32_t{5});
    CCosObj target;
    target.Assign(source);
    EXPECT_EQ(target.GetCosDoc(), doc());
    EXPECT_EQ(target.GetInteger(), 5);
}

TEST_F(CCosObjTest, DumpPrintsScalarsByType) {
    EXPECT_EQ(DumpText(CCosObj()), "CosNull\n");
    EXPECT_EQ(DumpText(CCosObj(doc(), int32_t{-12})), "-12\n");
    EXPECT_EQ(DumpText(CCosObj(doc(), 1.5)), " 1.50\n");
    EXPECT_EQ(DumpText(CCosObj(doc(), true)), "true\n");
    EXPECT_EQ(DumpText(CCosObj(doc(), gAtomFlateDecode)), "/FlateDecode\n");
    EXPECT_EQ(DumpText(CCosObj(doc(), gCosHFT->newString(doc(), false, "abc", 3))), "abc\n");
}

class CountingObj : public CCosObj {
public:
    using CCosObj::CCosObj;
    bool OnEnumEntry(CosObj, CosObj) override {
        if (++mSeen == mThrowAt) ThrowErrorCode(kErrStream);
        return true;
    }
    int mSeen = 0;
    int mThrowAt = -1;
};

TEST_F(CCosObjTest, EnumerationVisitsEveryArrayElement) {
    const CosObj array = gCosHFT->newArray(doc(), false, 3);
    for (int i = 0; i < 3; ++i) gCosHFT->arrayPut(array, i, gCosHFT->newInteger(doc(), false, i));
    CountingObj counter(doc(), array);
    EXPECT_TRUE(counter.Enumerate());
    EXPECT_EQ(counter.mSeen, 3);
}

TEST_F(CCosObjTest, CodeThrownInsideTheEnumerationComesOutAfterTheHostReturns) {
    const CosObj array = gCosHFT->newArray(doc(), false, 3);
    for (int i = 0; i < 3; ++i) gCosHFT->arrayPut(array, i, gCosHFT->newInteger(doc(), false, i));
    CountingObj counter(doc(), array);
    counter.mThrowAt = 2;
    try {
        counter.Enumerate();
        FAIL() << "no error";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrStream);
    }
    EXPECT_EQ(counter.mSeen, 2);  // stopped at the failing entry
    counter.mSeen = 0;
    counter.mThrowAt = -1;
    EXPECT_TRUE(counter.Enumerate());  // the host is usable afterwards
}

TEST_F(CCosObjTest, StaleObjectOfAClosedDocumentThrowsTheHostCode) {
    CCosObj obj;
    {
        qmtest::CosTestDocument other;
        obj.SetCosDoc(other.cosDoc());
        obj.SetInteger(1, true);
    }
    try {
        obj.IsIndirect();
        FAIL() << "no error";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, static_cast<ErrorCode>(kHostErrBadHandle & 0xFFFF));
    }
}

}  // namespace
