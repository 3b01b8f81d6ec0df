// Cabinets through the "ASExtra" table: typed values, defaults for missing keys
// and other types, keys, and bad handles.
#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "CabinetTestSupport.h"

namespace {

using cabtest::CabinetTest;
using qmtest::hostErrorOf;
using cabtest::X;

// --- typed values and defaults

struct TypedRow {
    const char* name;
    int32_t type;
    std::function<void(ASCab, const char*)> put;
};

class CabinetTypedValue : public CabinetTest, public ::testing::WithParamInterface<TypedRow> {};

ASText NewText(const char* utf8) { return X().textFromUTF8(utf8); }

const std::vector<TypedRow>& TypedRows() {
    static const std::vector<TypedRow> rows = {
        {"Int", kASCabValueInt, [](ASCab c, const char* k) { X().cabPutInt(c, k, -7); }},
        {"Bool", kASCabValueBool, [](ASCab c, const char* k) { X().cabPutBool(c, k, true); }},
        {"Double", kASCabValueDouble, [](ASCab c, const char* k) { X().cabPutDouble(c, k, 2.5); }},
        {"String", kASCabValueString, [](ASCab c, const char* k) { X().cabPutString(c, k, "s"); }},
        {"Text", kASCabValueText, [](ASCab c, const char* k) { X().cabPutText(c, k, NewText("t")); }},
        {"Binary", kASCabValueBinary, [](ASCab c, const char* k) { X().cabPutBinary(c, k, "b", 1); }},
        {"Cab", kASCabValueCab, [](ASCab c, const char* k) { X().cabPutCab(c, k, X().cabNew()); }},
        {"Pointer", kASCabValuePointer,
         [](ASCab c, const char* k) { X().cabPutPointer(c, k, "T*", c, nullptr); }},
    };
    return rows;
}

TEST_P(CabinetTypedValue, OtherTypedGetsAnswerTheirDefault) {
    ASCab cab = X().cabNew();
    GetParam().put(cab, "key");
    const int32_t type = GetParam().type;
    EXPECT_EQ(X().cabGetType(cab, "key"), type);
    EXPECT_TRUE(X().cabKnown(cab, "key"));
    if (type != kASCabValueInt) {
        EXPECT_EQ(X().cabGetInt(cab, "key", 41), 41);
    }
    if (type != kASCabValueBool) {
        EXPECT_FALSE(X().cabGetBool(cab, "key", false));
    }
    if (type != kASCabValueDouble) {
        EXPECT_EQ(X().cabGetDouble(cab, "key", 0.25), 0.25);
    }
    if (type != kASCabValueString) {
        EXPECT_EQ(X().cabGetString(cab, "key"), nullptr);
    }
    if (type != kASCabValueText) {
        EXPECT_EQ(X().cabGetText(cab, "key"), nullptr);
    }
    if (type != kASCabValueCab) {
        EXPECT_EQ(X().cabGetCab(cab, "key"), nullptr);
    }
    if (type != kASCabValuePointer) {
        EXPECT_EQ(X().cabGetPointer(cab, "key", "T*"), nullptr);
    }
    if (type != kASCabValueBinary) {
        int64_t size = 99;
        EXPECT_EQ(X().cabGetBinary(cab, "key", &size), nullptr);
        EXPECT_EQ(size, 0);
    }
    X().cabDestroy(cab);
}

TEST_P(CabinetTypedValue, PutReplacesAValueOfAnyOtherType) {
    ASCab cab = X().cabNew();
    for (const TypedRow& before : TypedRows()) {
        before.put(cab, "k");
        GetParam().put(cab, "k");
        EXPECT_EQ(X().cabGetType(cab, "k"), GetParam().type) << "after " << before.name;
        EXPECT_EQ(X().cabNumEntries(cab), 1);
    }
    X().cabDestroy(cab);
}

INSTANTIATE_TEST_SUITE_P(Types, CabinetTypedValue, ::testing::ValuesIn(TypedRows()),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(CabinetTest, MissingKeysAnswerTheGivenDefaults) {
    ASCab cab = X().cabNew();
    EXPECT_EQ(X().cabGetInt(cab, "kSizeE", 12), 12);
    EXPECT_EQ(X().cabGetInt(cab, "kColorC", -1), -1);
    EXPECT_TRUE(X().cabGetBool(cab, "kOverlay", true));
    EXPECT_EQ(X().cabGetDouble(cab, "kWeightC", 0.5), 0.5);
    EXPECT_EQ(X().cabGetString(cab, "kTextE"), nullptr);
    EXPECT_EQ(X().cabGetType(cab, "kTextE"), kASCabValueNone);
    EXPECT_FALSE(X().cabKnown(cab, "kTextE"));
    X().cabDestroy(cab);
}

TEST_F(CabinetTest, StoredValuesComeBackExactly) {
    ASCab cab = X().cabNew();
    X().cabPutInt(cab, "min", INT32_MIN);
    X().cabPutInt(cab, "max", INT32_MAX);
    X().cabPutBool(cab, "no", false);
    X().cabPutDouble(cab, "third", 1.0 / 3.0);
    X().cabPutString(cab, "name", "印章 A");
    EXPECT_EQ(X().cabGetInt(cab, "min", 0), INT32_MIN);
    EXPECT_EQ(X().cabGetInt(cab, "max", 0), INT32_MAX);
    EXPECT_FALSE(X().cabGetBool(cab, "no", true));
    EXPECT_EQ(X().cabGetDouble(cab, "third", 0), 1.0 / 3.0);
    EXPECT_STREQ(X().cabGetString(cab, "name"), "印章 A");
    X().cabDestroy(cab);
}

TEST_F(CabinetTest, StringIsCopiedAndMayComeFromItsOwnEntry) {
    ASCab cab = X().cabNew();
    char mine[] = "first";
    X().cabPutString(cab, "s", mine);
    mine[0] = 'X';
    EXPECT_STREQ(X().cabGetString(cab, "s"), "first");
    X().cabPutString(cab, "s", X().cabGetString(cab, "s"));
    EXPECT_STREQ(X().cabGetString(cab, "s"), "first");
    X().cabDestroy(cab);
}

TEST_F(CabinetTest, BinaryKeepsItsLengthAndNulBytes) {
    ASCab cab = X().cabNew();
    const char bytes[] = {'%', 'P', 0, 'D', 0};
    X().cabPutBinary(cab, "kActionC", bytes, 5);
    int64_t size = 0;
    const void* back = X().cabGetBinary(cab, "kActionC", &size);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(size, 5);
    EXPECT_EQ(std::memcmp(back, bytes, 5), 0);
    X().cabPutBinary(cab, "empty", nullptr, 0);
    EXPECT_NE(X().cabGetBinary(cab, "empty", &size), nullptr) << "an empty block is still a value";
    EXPECT_EQ(size, 0);
    EXPECT_EQ(hostErrorOf([&] { X().cabPutBinary(cab, "bad", nullptr, 3); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { X().cabPutBinary(cab, "bad", bytes, -1); }), kHostErrBadParameter);
    EXPECT_FALSE(X().cabKnown(cab, "bad"));
    X().cabDestroy(cab);
}

TEST_F(CabinetTest, KeysAreCheckedAndListedInByteOrder) {
    ASCab cab = X().cabNew();
    X().cabPutInt(cab, "kStamp1", 1);
    X().cabPutInt(cab, "kNumberOfStamps", 2);
    X().cabPutInt(cab, "kStamp0", 0);
    ASSERT_EQ(X().cabNumEntries(cab), 3);
    EXPECT_STREQ(X().cabKeyAt(cab, 0), "kNumberOfStamps");
    EXPECT_STREQ(X().cabKeyAt(cab, 1), "kStamp0");
    EXPECT_STREQ(X().cabKeyAt(cab, 2), "kStamp1");
    EXPECT_EQ(X().cabKeyAt(cab, 3), nullptr);
    EXPECT_EQ(X().cabKeyAt(cab, -1), nullptr);
    EXPECT_EQ(hostErrorOf([&] { X().cabPutInt(cab, nullptr, 1); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { X().cabPutInt(cab, "", 1); }), kHostErrBadParameter);
    const std::string tooLong(kASCabMaxKeyLength + 1, 'k');
    EXPECT_EQ(hostErrorOf([&] { X().cabPutInt(cab, tooLong.c_str(), 1); }), kHostErrBadParameter);
    const std::string longest(kASCabMaxKeyLength, 'k');
    X().cabPutInt(cab, longest.c_str(), 9);
    EXPECT_EQ(X().cabGetInt(cab, longest.c_str(), 0), 9);
    X().cabRemove(cab, "kStamp0");
    X().cabRemove(cab, "never there");
    EXPECT_FALSE(X().cabKnown(cab, "kStamp0"));
    X().cabMakeEmpty(cab);
    EXPECT_EQ(X().cabNumEntries(cab), 0);
    X().cabDestroy(cab);
}

TEST_F(CabinetTest, BadHandlesRaiseBadHandle) {
    ASCab gone = X().cabNew();
    X().cabDestroy(gone);
    ASText text = X().textFromUTF8("not a cabinet");
    EXPECT_EQ(hostErrorOf([&] { X().cabGetInt(nullptr, "k", 0); }), kHostErrBadHandle);
    EXPECT_EQ(hostErrorOf([&] { X().cabGetInt(gone, "k", 0); }), kHostErrBadHandle);
    EXPECT_EQ(hostErrorOf([&] { X().cabDestroy(gone); }), kHostErrBadHandle);
    EXPECT_EQ(hostErrorOf([&] { X().cabNumEntries(reinterpret_cast<ASCab>(text)); }), kHostErrBadHandle);
    EXPECT_EQ(hostErrorOf([&] { X().textGetUTF8(reinterpret_cast<ASText>(gone)); }), kHostErrBadHandle);
    X().cabDestroy(nullptr);
    X().textDestroy(nullptr);
    X().textDestroy(text);
}

}  // namespace
