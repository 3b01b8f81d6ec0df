// CCosDict over a real document: lookups, typed access, positions, copies, dumps.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "CosTestDocument.h"
#include "ThrownErrorCode.h"
#include "qmhost/HostError.h"
#include "support/cos/CCosArray.h"
#include "support/cos/CCosDict.h"
#include "support/ErrorCode.h"
#include "support/HostTables.h"
#include "support/cos/PDFAtoms.h"

namespace {

using qmtest::CodeOf;

class CCosDictTest : public testing::Test {
protected:
    void SetUp() override { qmtest::TakeAlerts(); }
    CosDoc doc() const { return mDoc.cosDoc(); }
    bool Same(CosObj a, CosObj b) const { return gCosHFT->objEqual(a, b); }
    qmtest::CosTestDocument mDoc;
};

TEST_F(CCosDictTest, MissingKeyIsNullWithFlagClearAndNotFoundWithFlagSet) {
    CCosDict dict(doc(), false, 4);
    EXPECT_TRUE(gCosHFT->objEqual(dict.GetValue(gAtomWidth, false), gCosHFT->newNull()));
    EXPECT_EQ(CodeOf([&] { dict.GetValue(gAtomWidth, true); }), kErrNotFound);
}

TEST_F(CCosDictTest, HostErrorOnGetCountsAsMissing) {
    CCosDict dict;
    {
        qmtest::CosTestDocument other;
        dict.SetCosDoc(other.cosDoc());
        dict.Create(false, 1);
        dict.PutInteger(gAtomWidth, 1);
    }
    // The document is closed: the host refuses the object.
    EXPECT_TRUE(gCosHFT->objEqual(dict.GetValue(gAtomWidth, false), gCosHFT->newNull()));
    EXPECT_EQ(CodeOf([&] { dict.GetValue(gAtomWidth, true); }), kErrNotFound);
}

class CCosDictMissingKey : public CCosDictTest, public testing::WithParamInterface<bool> {};

TEST_P(CCosDictMissingKey, TypedGettersThrowNotFoundWhateverTheFlag) {
    const bool rethrow = GetParam();
    CCosDict dict(doc(), false, 1);
    dict.PutInteger(gAtomHeight, 1);
    EXPECT_EQ(CodeOf([&] { dict.GetInteger(gAtomWidth, rethrow); }), kErrNotFound);
    EXPECT_EQ(CodeOf([&] { dict.GetBoolean(gAtomWidth, rethrow); }), kErrNotFound);
    EXPECT_EQ(CodeOf([&] { dict.GetFixed(gAtomWidth, rethrow); }), kErrNotFound);
    EXPECT_EQ(CodeOf([&] { dict.GetName(gAtomWidth, rethrow); }), kErrNotFound);
    EXPECT_EQ(CodeOf([&] { dict.GetString(gAtomWidth, rethrow); }), kErrNotFound);
    EXPECT_TRUE(qmtest::TakeAlerts().empty());
}

INSTANTIATE_TEST_SUITE_P(Flag, CCosDictMissingKey, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& row) {
                             return row.param ? "Rethrow" : "NoRethrow";
                         });

TEST_F(CCosDictTest, PutAndGetEveryType) {
    CCosDict dict(doc(), false, 6);
    dict.PutBoolean(gAtomImageMask, true);
    dict.PutInteger(gAtomWidth, 640);
    dict.PutFloat(gAtomGamma, 2.2);
    dict.PutName(gAtomType, gAtomXObject);
    dict.PutString(gAtomName, "ab\0c", 4);
    dict.PutString(gAtomT, "title");
    EXPECT_TRUE(dict.GetBoolean(gAtomImageMask, true));
    EXPECT_EQ(dict.GetInteger(gAtomWidth, true), 640);
    EXPECT_NEAR(dict.GetFixed(gAtomGamma, true) / 65536.0, 2.2, 1.0 / 65536);
    EXPECT_EQ(dict.GetName(gAtomType, true), gAtomXObject);
    int32_t length = 0;
    const char* bytes = dict.GetString(gAtomName, true, &length);
    EXPECT_EQ(std::string(bytes, static_cast<size_t>(length)), std::string("ab\0c", 4));
    EXPECT_STREQ(dict.GetString(gAtomT, true), "title");
    EXPECT_TRUE(dict.HasKey(gAtomGamma));
    EXPECT_FALSE(dict.HasKey(gAtomHeight));
}

TEST_F(CCosDictTest, WrongTypeGivesTheDefaultWithRethrowClearAndTheCodeWithItSet) {
    CCosDict dict(doc(), false, 1);
    dict.PutInteger(gAtomType, 5);
    EXPECT_FALSE(dict.GetBoolean(gAtomType, false));
    EXPECT_EQ(dict.GetName(gAtomType, false), kASAtomNull);
    EXPECT_EQ(dict.GetString(gAtomType, false), nullptr);
    EXPECT_EQ(CodeOf([&] { dict.GetName(gAtomType, true); }), kErrAssertion);
    // The boolean and name reads go through their assertions, the string read
    // through the host's type check.
    EXPECT_EQ(qmtest::TakeAlerts().size(), 3u);
}

TEST_F(CCosDictTest, CountKeysAndPositionsFollowTheHostOrder) {
    CCosDict dict(doc(), false, 3);
    EXPECT_EQ(dict.CountKeys(), 0);
    dict.PutInteger(gAtomWidth, 1);
    dict.PutInteger(gAtomBBox, 2);
    dict.PutInteger(gAtomMatrix, 3);
    EXPECT_EQ(dict.CountKeys(), 3);
    // Keys in ascending order: BBox, Matrix, Width.
    EXPECT_EQ(dict.KeyAt(0), gAtomBBox);
    EXPECT_EQ(dict.KeyAt(2), gAtomWidth);
    EXPECT_EQ(dict.IndexOfKey(gAtomMatrix), 1);
    EXPECT_EQ(dict.IndexOfValue(gCosHFT->newInteger(doc(), false, 1)), 2);
}

TEST_F(CCosDictTest, PositionsThatDoNotExistThrowNotFound) {
    CCosDict dict(doc(), false, 1);
    dict.PutInteger(gAtomWidth, 1);
    EXPECT_EQ(CodeOf([&] { dict.KeyAt(1); }), kErrNotFound);
    EXPECT_EQ(CodeOf([&] { dict.KeyAt(-1); }), kErrNotFound);
    EXPECT_EQ(CodeOf([&] { dict.IndexOfKey(gAtomHeight); }), kErrNotFound);
    EXPECT_EQ(CodeOf([&] { dict.IndexOfValue(gCosHFT->newInteger(doc(), false, 2)); }), kErrNotFound);
    EXPECT_EQ(dict.KeyAt(0), gAtomWidth);  // the work area is reusable
}

TEST_F(CCosDictTest, RemoveKeyOfAnAbsentKeyIsNoError) {
    CCosDict dict(doc(), false, 1);
    dict.PutInteger(gAtomWidth, 1);
    dict.RemoveKey(gAtomHeight, true);
    dict.RemoveKey(gAtomWidth, true);
    EXPECT_EQ(dict.CountKeys(), 0);
}

TEST_F(CCosDictTest, FailedPutThrowsCosObjectError) {
    qmtest::CosTestDocument other;
    CCosDict dict(doc(), false, 1);
    const CosObj foreign = gCosHFT->newInteger(other.cosDoc(), true, 1);
    EXPECT_EQ(CodeOf([&] { dict.PutValue(gAtomWidth, foreign); }), kErrCosObject);
}

TEST_F(CCosDictTest, CreateWithoutDocumentFailsItsAssertion) {
    CCosDict dict;
    EXPECT_EQ(CodeOf([&] { dict.Create(false, 1); }), kErrAssertion);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find("'mCosDoc != NULL'"), std::string::npos);
}

TEST_F(CCosDictTest, WrappingAnArrayFailsItsAssertion) {
    const CosObj array = gCosHFT->newArray(doc(), false, 0);
    EXPECT_EQ(CodeOf([&] { CCosDict dict(doc(), array); }), kErrAssertion);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find("'CosObjGetType(inCosDict) == CosDict'"), std::string::npos);
}

// A dictionary with an indirect entry, an indirect "Length" and a direct nested one.
struct CopySource {
    CosObj dict, indirectFont, indirectLength, nested;
};

CopySource MakeCopySource(CosDoc doc) {
    CopySource s;
    s.dict = gCosHFT->newDict(doc, false, 3);
    s.indirectFont = gCosHFT->newDict(doc, true, 1);
    gCosHFT->dictPut(s.indirectFont, gAtomType, gCosHFT->newName(doc, false, gAtomFont));
    s.indirectLength = gCosHFT->newInteger(doc, true, 24);
    s.nested = gCosHFT->newArray(doc, false, 1);
    gCosHFT->arrayPut(s.nested, 0, gCosHFT->newInteger(doc, false, 1));
    gCosHFT->dictPut(s.dict, gAtomFont, s.indirectFont);
    gCosHFT->dictPut(s.dict, gAtomLength, s.indirectLength);
    gCosHFT->dictPut(s.dict, gAtomMatrix, s.nested);
    return s;
}

TEST_F(CCosDictTest, CopyWithShareKeepsIndirectValuesButMakesLengthDirect) {
    const CopySource s = MakeCopySource(doc());
    CCosDict copy(doc(), CCosDict(doc(), s.dict).Copy(false, true));
    EXPECT_FALSE(Same(copy, s.dict));
    EXPECT_TRUE(Same(copy.GetValue(gAtomFont, true), s.indirectFont));
    const CCosObj length(doc(), copy.GetValue(gAtomLength, true));
    EXPECT_FALSE(length.IsIndirect());
    EXPECT_EQ(length.GetInteger(), 24);
    EXPECT_FALSE(Same(copy.GetValue(gAtomMatrix, true), s.nested));  // direct: a new array
}

TEST_F(CCosDictTest, CopyWithoutShareCopiesDeeplyButKeepsAnIndirectLength) {
    const CopySource s = MakeCopySource(doc());
    CCosDict copy(doc(), CCosDict(doc(), s.dict).Copy(true, false));
    EXPECT_TRUE(copy.IsIndirect());
    const CCosDict font(doc(), copy.GetValue(gAtomFont, true));
    EXPECT_FALSE(Same(font, s.indirectFont));
    EXPECT_TRUE(font.IsIndirect());
    EXPECT_EQ(font.GetName(gAtomType, true), gAtomFont);
    EXPECT_TRUE(Same(copy.GetValue(gAtomLength, true), s.indirectLength));
    EXPECT_EQ(CCosArray(doc(), copy.GetValue(gAtomMatrix, true)).GetInteger(0), 1);
}

TEST_F(CCosDictTest, DeepCopyOfAReferenceCycleTerminates) {
    // Page -> /Parent -> Pages -> /Kids [Page]: copied once each, and the copies
    // refer to each other.
    const CosObj page = gCosHFT->newDict(doc(), true, 2);
    const CosObj pages = gCosHFT->newDict(doc(), true, 2);
    const CosObj kids = gCosHFT->newArray(doc(), false, 1);
    gCosHFT->arrayPut(kids, 0, page);
    gCosHFT->dictPut(pages, gAtomKids, kids);
    gCosHFT->dictPut(page, gAtomParent, pages);
    gCosHFT->dictPut(page, gAtomContents, page);  // and one reference to itself

    const CosObj pageCopy = CCosObj(doc(), page).Copy(false);
    CCosDict copy(doc(), pageCopy);
    EXPECT_FALSE(Same(pageCopy, page));
    EXPECT_TRUE(Same(copy.GetValue(gAtomContents, true), pageCopy));
    CCosDict parentCopy(doc(), copy.GetValue(gAtomParent, true));
    EXPECT_FALSE(Same(parentCopy, pages));
    EXPECT_TRUE(Same(CCosArray(doc(), parentCopy.GetValue(gAtomKids, true)).GetValue(0), pageCopy));
}

TEST_F(CCosDictTest, DumpPrintsEveryEntryBetweenBrackets) {
    CCosDict dict(doc(), false, 2);
    dict.PutInteger(gAtomWidth, 5);
    dict.PutName(gAtomType, gAtomXObject);
    FILE* file = std::tmpfile();
    dict.Dump(file);
    std::string text(static_cast<size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    EXPECT_EQ(text, "<<\nType : /XObject\nWidth : 5\n>>\n");
}

TEST_F(CCosDictTest, DumpOfACycleEnds) {
    const CosObj dict = gCosHFT->newDict(doc(), true, 1);
    gCosHFT->dictPut(dict, gAtomParent, dict);
    FILE* file = std::tmpfile();
    CCosObj(doc(), dict).Dump(file);
    std::string text(static_cast<size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    EXPECT_EQ(text, "<<\nParent : (cycle)\n>>\n");
}

}  // namespace
