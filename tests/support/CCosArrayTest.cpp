// CCosArray over a real document: index access, put and insert, rectangles,
// failures, copies and dumps.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "CosTestDocument.h"
#include "ThrownErrorCode.h"
#include "qmhost/HostError.h"
#include "support/cos/CCosArray.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"
#include "support/cos/PDFAtoms.h"

namespace {

using qmtest::CodeOf;

std::vector<int32_t> Integers(const CCosArray& array) {
    std::vector<int32_t> values;
    for (int32_t i = 0; i < array.GetLength(); ++i) values.push_back(array.GetInteger(i));
    return values;
}

class CCosArrayTest : public testing::Test {
protected:
    void SetUp() override {
        qmtest::TakeAlerts();
        ClearErrorMessage();
    }
    CosDoc doc() const { return mDoc.cosDoc(); }
    qmtest::CosTestDocument mDoc;
};

TEST_F(CCosArrayTest, PutAtTheLengthAppendsAndReplacesBelowIt) {
    CCosArray array(doc(), false, 0);
    array.PutInteger(0, 1);
    array.PutInteger(1, 2);
    array.PutInteger(0, 7);
    EXPECT_EQ(Integers(array), (std::vector<int32_t>{7, 2}));
}

TEST_F(CCosArrayTest, TypedPutsAndReadsKeepTheirValues) {
    CCosArray array(doc(), false, 5);
    array.PutName(0, gAtomDeviceRGB);
    array.PutBoolean(1, true);
    array.PutFloat(2, 0.5);
    array.PutString(3, "text");
    array.PutInteger(4, -3);
    EXPECT_EQ(array.GetName(0), gAtomDeviceRGB);
    EXPECT_TRUE(array.GetBoolean(1));
    EXPECT_DOUBLE_EQ(array.GetFloat(2), 0.5);
    int32_t length = 0;
    EXPECT_EQ(std::string(array.GetString(3, &length)), "text");
    EXPECT_EQ(length, 4);
    EXPECT_EQ(array.GetInteger(4), -3);
}

TEST_F(CCosArrayTest, InsertPutsBeforeTheIndex) {
    CCosArray array(doc(), false, 0);
    array.PutInteger(0, 1);
    array.PutInteger(1, 3);
    array.InsertInteger(1, 2);
    array.InsertInteger(0, 0);
    array.InsertInteger(4, 4);
    EXPECT_EQ(Integers(array), (std::vector<int32_t>{0, 1, 2, 3, 4}));
}

TEST_F(CCosArrayTest, PutRect16OnAnEmptyArrayWritesFourIntegers) {
    CCosArray array(doc(), false, 4);
    array.PutRect16(0, {-10, 20, 30, -32768});
    EXPECT_EQ(Integers(array), (std::vector<int32_t>{-10, 20, 30, -32768}));
}

TEST_F(CCosArrayTest, InsertRect16GoesInFrontOfTheIndex) {
    CCosArray array(doc(), false, 2);
    array.PutInteger(0, 0);
    array.PutInteger(1, 9);
    array.InsertRect16(1, {1, 2, 3, 4});
    EXPECT_EQ(Integers(array), (std::vector<int32_t>{0, 1, 2, 3, 4, 9}));
}

TEST_F(CCosArrayTest, GetValueOutsideTheArrayThrowsNotFound) {
    CCosArray array(doc(), false, 1);
    array.PutInteger(0, 1);
    EXPECT_EQ(CodeOf([&] { array.GetValue(1); }), kErrNotFound);
    EXPECT_EQ(CodeOf([&] { array.GetValue(-1); }), kErrNotFound);
}

TEST_F(CCosArrayTest, FailedPutShowsOneHostAlertAndThrowsTheHostCode) {
    CCosArray array(doc(), false, 0);
    EXPECT_EQ(CodeOf([&] { array.PutInteger(2, 1); }), static_cast<ErrorCode>(kHostErrBadIndex & 0xFFFF));
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_FALSE(alerts[0].empty());
    EXPECT_EQ(alerts[0], GetErrorMessage());  // the same host text in the buffer
    EXPECT_EQ(array.GetLength(), 0);
}

TEST_F(CCosArrayTest, FailedInsertShowsOneHostAlertAndThrowsTheHostCode) {
    CCosArray array(doc(), false, 0);
    EXPECT_EQ(CodeOf([&] { array.InsertName(1, gAtomF); }), static_cast<ErrorCode>(kHostErrBadIndex & 0xFFFF));
    EXPECT_EQ(qmtest::TakeAlerts().size(), 1u);
}

TEST_F(CCosArrayTest, RemoveValueAndRemoveAt) {
    CCosArray array(doc(), false, 3);
    for (int32_t i = 0; i < 3; ++i) array.PutInteger(i, i);
    array.RemoveValue(gCosHFT->newInteger(doc(), false, 1));
    EXPECT_EQ(Integers(array), (std::vector<int32_t>{0, 2}));
    array.RemoveValue(gCosHFT->newInteger(doc(), false, 5));  // absent: nothing
    array.RemoveAt(0);
    EXPECT_EQ(Integers(array), (std::vector<int32_t>{2}));
}

TEST_F(CCosArrayTest, WrappingADictionaryFailsItsAssertion) {
    const CosObj dict = gCosHFT->newDict(doc(), false, 0);
    EXPECT_EQ(CodeOf([&] { CCosArray array(doc(), dict); }), kErrAssertion);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find("'CosObjGetType(inCosArray) == CosArray'"), std::string::npos);
}

TEST_F(CCosArrayTest, CopyWithShareKeepsIndirectElements) {
    CCosArray array(doc(), false, 2);
    const CosObj indirect = gCosHFT->newDict(doc(), true, 0);
    array.PutValue(0, indirect);
    array.PutInteger(1, 5);
    CCosArray shared(doc(), array.Copy(false, true));
    EXPECT_TRUE(gCosHFT->objEqual(shared.GetValue(0), indirect));
    CCosArray deep(doc(), array.Copy(false, false));
    EXPECT_FALSE(gCosHFT->objEqual(deep.GetValue(0), indirect));
    EXPECT_EQ(deep.GetInteger(1), 5);
    EXPECT_EQ(deep.GetLength(), 2);
}

TEST_F(CCosArrayTest, DeepCopyOfAnArrayHoldingItselfTerminates) {
    CCosArray array(doc(), true, 2);
    array.PutInteger(0, 1);
    array.PutValue(1, array);
    CCosArray copy(doc(), CCosObj(doc(), array).Copy(false));
    EXPECT_FALSE(gCosHFT->objEqual(copy, array));
    EXPECT_TRUE(gCosHFT->objEqual(copy.GetValue(1), copy));
}

TEST_F(CCosArrayTest, DumpPrintsEveryElementBetweenBrackets) {
    CCosArray array(doc(), false, 2);
    array.PutInteger(0, 1);
    array.PutName(1, gAtomPDF);
    FILE* file = std::tmpfile();
    array.Dump(file);
    std::string text(static_cast<size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    EXPECT_EQ(text, "[\n1\n/PDF\n]\n");
}

}  // namespace
