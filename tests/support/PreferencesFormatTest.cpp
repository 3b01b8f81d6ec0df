// The preferences file format, byte for byte: every tag type, nested stores,
// unknown types, versions, and what reading and writing leave behind.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>

#include "common/PdfFixtures.h"
#include "common/PluginFixture.h"
#include "support/prefs/CPreferences.h"
#include "support/prefs/CPreferencesDataTags.h"
#include "support/prefs/CPreferencesPreferencesTag.h"
#include "support/prefs/CPreferencesValueTags.h"
#include "support/ErrorCode.h"
#include "support/prefs/PreferenceSetters.h"
#include "support/prefs/PreferenceTagTypes.h"

namespace {

// "70 69 70 73" -> the four bytes.
std::string Hex(const char* text) {
    std::string bytes;
    std::istringstream in(text);
    std::string pair;
    while (in >> pair) bytes.push_back(static_cast<char>(std::stoi(pair, nullptr, 16)));
    return bytes;
}

std::string U32(uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
    return bytes;
}

std::string Record(uint32_t id, uint32_t type, const std::string& payload) {
    return U32(id) + U32(type) + U32(static_cast<uint32_t>(payload.size())) + payload;
}

const std::string kHeader = Hex("70 69 70 73 00 00 00 00");     // 'spip', version 0
const std::string kEnd = Hex("44 4e 45 2a 6b 72 61 6d 00 00 00 00");  // '*END' 'mark' 0

using qmtest::readAll;

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class PreferencesFormat : public testing::Test {
protected:
    void SetUp() override {
        mFolder = qmtest::MakeTempFolder("qm-prefs-");
        mPath = mFolder + "/test.pfs";
        UnregisterPrefTagTypes();
        RegisterPreferenceTagTypes();
    }
    // A store on mPath with the default signature and version.
    CPreferences Store() const { return CPreferences(mPath.c_str(), kPrefDefaultSignature, 0, 0, 0); }
    std::string Written(CPreferences& store) const {
        EXPECT_TRUE(store.WriteFile()) << store.GetLastProblem();
        return readAll(mPath);
    }
    std::string mFolder;
    std::string mPath;
};

TEST_F(PreferencesFormat, EmptyStoreIsTheTwentyBytes) {
    CPreferences store = Store();
    EXPECT_EQ(Written(store),
              Hex("70 69 70 73 00 00 00 00 44 4e 45 2a 6b 72 61 6d 00 00 00 00"));
    SetBooleanPreference(store, 1, true);
    ASSERT_TRUE(store.ReadFile(true)) << store.GetLastProblem();
    EXPECT_EQ(store.GetTagCount(), 0);
}

TEST_F(PreferencesFormat, BooleanTagWithIdOneAddsSixteenBytesBeforeTheEnd) {
    CPreferences store = Store();
    SetBooleanPreference(store, 1, true);
    EXPECT_EQ(Written(store),
              kHeader + Hex("01 00 00 00 6c 6f 6f 62 04 00 00 00 01 00 00 00") + kEnd);
}

TEST(FourCharCode, FirstCharacterIsTheMostSignificantByte) {
    EXPECT_EQ(FourCharCode("bool"), 0x626f6f6cu);
    EXPECT_EQ(kPrefEndId, 0x2a454e44u);
    EXPECT_EQ(FourCharCodeText(FourCharCode("WTNF")), "WTNF");
    EXPECT_EQ(FourCharCodeText(0x41000142u), "A??B");
}

// One row per tag type: the tag, its record's exact bytes, and a check of the
// value that reading the record gives back.
struct TagRow {
    const char* name;
    std::function<std::unique_ptr<CPreferencesTag>()> make;
    const char* record;  // hex
    std::function<void(CPreferencesTag*)> check;
};
void PrintTo(const TagRow& row, std::ostream* os) { *os << row.name; }

template <class Tag>
Tag* As(CPreferencesTag* tag) {
    auto* typed = dynamic_cast<Tag*>(tag);
    EXPECT_NE(typed, nullptr);
    return typed;
}

std::unique_ptr<CPreferences> NestedWithLong() {
    auto nested = std::make_unique<CPreferences>();
    SetLongPreference(*nested, 2, 5);
    return nested;
}

const TagRow kTagRows[] = {
    {"BooleanFalse", [] { return std::make_unique<CPreferencesBooleanTag>(7, false); },
     "07 00 00 00 6c 6f 6f 62 04 00 00 00 00 00 00 00",
     [](CPreferencesTag* t) { EXPECT_FALSE(As<CPreferencesBooleanTag>(t)->GetValue()); }},
    {"LongNegative", [] { return std::make_unique<CPreferencesLongTag>(FourCharCode("BFLe"), -2); },
     "65 4c 46 42 67 6e 6f 6c 04 00 00 00 fe ff ff ff",
     [](CPreferencesTag* t) { EXPECT_EQ(As<CPreferencesLongTag>(t)->GetValue(), -2); }},
    {"PointXThenY", [] { return std::make_unique<CPreferencesPointTag>(3, PrefPoint{1, -1}); },
     "03 00 00 00 74 6e 6f 70 08 00 00 00 01 00 00 00 ff ff ff ff",
     [](CPreferencesTag* t) { EXPECT_EQ(As<CPreferencesPointTag>(t)->GetValue(), (PrefPoint{1, -1})); }},
    {"RectStoredY1Y2X1X2", [] { return std::make_unique<CPreferencesRectTag>(4, PrefRect{1, 2, 3, 4}); },
     "04 00 00 00 74 63 65 72 10 00 00 00 02 00 00 00 04 00 00 00 01 00 00 00 03 00 00 00",
     [](CPreferencesTag* t) {
         EXPECT_EQ(As<CPreferencesRectTag>(t)->GetValue(), (PrefRect{1, 2, 3, 4}));
     }},
    {"FloatLittleEndianDouble", [] { return std::make_unique<CPreferencesFloatTag>(5, 1.5); },
     "05 00 00 00 74 6f 6c 66 08 00 00 00 00 00 00 00 00 00 f8 3f",
     [](CPreferencesTag* t) { EXPECT_EQ(As<CPreferencesFloatTag>(t)->GetValue(), 1.5); }},
    {"StringWithoutTerminator", [] { return std::make_unique<CPreferencesStringTag>(6, "abc"); },
     "06 00 00 00 6e 72 74 73 03 00 00 00 61 62 63",
     [](CPreferencesTag* t) { EXPECT_STREQ(As<CPreferencesStringTag>(t)->GetValue(), "abc"); }},
    {"StringUtf8", [] { return std::make_unique<CPreferencesStringTag>(6, "记"); },
     "06 00 00 00 6e 72 74 73 03 00 00 00 e8 ae b0",
     [](CPreferencesTag* t) { EXPECT_STREQ(As<CPreferencesStringTag>(t)->GetValue(), "记"); }},
    {"StringWithoutText", [] { return std::make_unique<CPreferencesStringTag>(6, nullptr); },
     "06 00 00 00 6e 72 74 73 00 00 00 00",
     [](CPreferencesTag* t) { EXPECT_STREQ(As<CPreferencesStringTag>(t)->GetValue(), ""); }},
    {"FilePathCharacters",
     [] { return std::make_unique<CPreferencesFileTag>(8, TFileSpecifier("/a/b.pdf")); },
     "08 00 00 00 65 6c 69 66 08 00 00 00 2f 61 2f 62 2e 70 64 66",
     [](CPreferencesTag* t) {
         EXPECT_STREQ(As<CPreferencesFileTag>(t)->GetValue().GetPath(), "/a/b.pdf");
     }},
    {"MarkHasNoPayload", [] { return std::make_unique<CPreferencesMarkTag>(9); },
     "09 00 00 00 6b 72 61 6d 00 00 00 00",
     [](CPreferencesTag* t) { EXPECT_NE(As<CPreferencesMarkTag>(t), nullptr); }},
    {"MemoryKeepsItsBytes",
     [] { return std::make_unique<CPreferencesMemoryTag>(10, 3u, "\x01\x00\xff"); },
     "0a 00 00 00 79 6d 65 6d 03 00 00 00 01 00 ff",
     [](CPreferencesTag* t) {
         auto* tag = As<CPreferencesMemoryTag>(t);
         EXPECT_EQ(tag->GetType(), kPrefTypeMemory);
         EXPECT_EQ(tag->GetValue(), (std::vector<unsigned char>{1, 0, 0xff}));
     }},
    {"NestedStoreWithOneLongHasSize28",
     [] { return std::make_unique<CPreferencesPreferencesTag>(11, NestedWithLong()); },
     "0b 00 00 00 66 65 72 70 1c 00 00 00"
     " 02 00 00 00 67 6e 6f 6c 04 00 00 00 05 00 00 00"
     " 44 4e 45 2a 6b 72 61 6d 00 00 00 00",
     [](CPreferencesTag* t) {
         CPreferences* nested = As<CPreferencesPreferencesTag>(t)->GetValue();
         ASSERT_NE(nested, nullptr);
         ASSERT_EQ(nested->GetTagCount(), 1);
         EXPECT_EQ(As<CPreferencesLongTag>(nested->GetTag(2))->GetValue(), 5);
         EXPECT_EQ(t->GetSize(), 28u);
     }},
    {"NestedStoreMissingWritesSizeZero",
     [] { return std::make_unique<CPreferencesPreferencesTag>(12, nullptr); },
     "0c 00 00 00 66 65 72 70 00 00 00 00",
     [](CPreferencesTag* t) { EXPECT_EQ(As<CPreferencesPreferencesTag>(t)->GetValue(), nullptr); }},
};

class TagRecord : public PreferencesFormat, public testing::WithParamInterface<TagRow> {};

TEST_P(TagRecord, IsWrittenByteForByteAndReadBack) {
    const TagRow& row = GetParam();
    CPreferences store = Store();
    store.AddTag(row.make());
    const std::string expected = kHeader + Hex(row.record) + kEnd;
    ASSERT_EQ(Written(store), expected);

    CPreferences read = Store();
    ASSERT_TRUE(read.ReadFile(true)) << read.GetLastProblem();
    ASSERT_EQ(read.GetTagCount(), 1);
    CPreferencesTag* tag = nullptr;
    ASSERT_TRUE(read.GetTagAt(0, tag));
    row.check(tag);
    EXPECT_EQ(Written(read), expected);  // round trip
}

TEST_P(TagRecord, CloneIsADeepCopyThatWritesTheSameRecord) {
    const TagRow& row = GetParam();
    std::unique_ptr<CPreferencesTag> original = row.make();
    std::unique_ptr<CPreferencesTag> clone = original->Clone();
    original.reset();  // the clone must not share anything with it
    CPreferences store = Store();
    store.AddTag(std::move(clone));
    EXPECT_EQ(Written(store), kHeader + Hex(row.record) + kEnd);
}

INSTANTIATE_TEST_SUITE_P(EveryType, TagRecord, testing::ValuesIn(kTagRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(PreferencesFormat, NestedStoresTwoLevelsDeepRoundTrip) {
    auto inner = std::make_unique<CPreferences>();
    SetStringPreference(*inner, 1, "deep");
    auto middle = std::make_unique<CPreferences>();
    SetPreferencesPreference(*middle, 2, std::move(inner));
    SetLongPreference(*middle, 3, 9);
    CPreferences store = Store();
    SetPreferencesPreference(store, 4, std::move(middle));
    SetBooleanPreference(store, 5, true);

    const std::string innerRecords = Record(1, kPrefTypeString, "deep") + kEnd;
    const std::string middleRecords = Record(2, kPrefTypePreferences, innerRecords) +
                                      Record(3, kPrefTypeLong, U32(9)) + kEnd;
    const std::string expected = kHeader + Record(4, kPrefTypePreferences, middleRecords) +
                                 Record(5, kPrefTypeBoolean, U32(1)) + kEnd;
    ASSERT_EQ(Written(store), expected);

    CPreferences read = Store();
    ASSERT_TRUE(read.ReadFile(true)) << read.GetLastProblem();
    ASSERT_EQ(read.GetTagCount(), 2);
    auto* middleTag = dynamic_cast<CPreferencesPreferencesTag*>(read.GetTag(4));
    ASSERT_NE(middleTag, nullptr);
    auto* innerTag = dynamic_cast<CPreferencesPreferencesTag*>(middleTag->GetValue()->GetTag(2));
    ASSERT_NE(innerTag, nullptr);
    EXPECT_STREQ(dynamic_cast<CPreferencesStringTag*>(innerTag->GetValue()->GetTag(1))->GetValue(),
                 "deep");
    EXPECT_EQ(Written(read), expected);
}

TEST_F(PreferencesFormat, UnregisteredTypeSurvivesByteForByte) {
    const std::string file = kHeader + Record(1, FourCharCode("abcd"), "xyz") + kEnd;
    WriteAll(mPath, file);
    CPreferences store = Store();
    ASSERT_TRUE(store.ReadFile(true)) << store.GetLastProblem();
    auto* tag = dynamic_cast<CPreferencesMemoryTag*>(store.GetTag(1));
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag->GetType(), FourCharCode("abcd"));
    EXPECT_EQ(tag->GetSize(), 3u);
    EXPECT_EQ(Written(store), file);
}

TEST_F(PreferencesFormat, WithoutRegisteredReadersEveryRecordIsKeptAsMemory) {
    UnregisterPrefTagTypes();
    const std::string file = kHeader + Record(1, kPrefTypeBoolean, U32(1)) +
                             Record(2, kPrefTypePreferences, Record(3, kPrefTypeLong, U32(4)) + kEnd) +
                             kEnd;
    WriteAll(mPath, file);
    CPreferences store = Store();
    ASSERT_TRUE(store.ReadFile(true)) << store.GetLastProblem();
    ASSERT_EQ(store.GetTagCount(), 2);
    EXPECT_NE(dynamic_cast<CPreferencesMemoryTag*>(store.GetTag(1)), nullptr);
    EXPECT_EQ(store.GetTag(2)->GetType(), kPrefTypePreferences);
    EXPECT_EQ(Written(store), file);
}

TEST_F(PreferencesFormat, BooleanRecordOfEightBytesReadsItsFirstFourAndContinues) {
    WriteAll(mPath, kHeader + Record(1, kPrefTypeBoolean, Hex("02 00 00 00 ff ff ff ff")) +
                        Record(2, kPrefTypeLong, U32(77)) + kEnd);
    CPreferences store = Store();
    ASSERT_TRUE(store.ReadFile(true)) << store.GetLastProblem();
    ASSERT_EQ(store.GetTagCount(), 2);
    EXPECT_TRUE(dynamic_cast<CPreferencesBooleanTag*>(store.GetTag(1))->GetValue());
    EXPECT_EQ(store.GetTag(1)->GetSize(), 8u);
    EXPECT_EQ(dynamic_cast<CPreferencesLongTag*>(store.GetTag(2))->GetValue(), 77);
    EXPECT_EQ(Written(store), kHeader + Record(1, kPrefTypeBoolean, U32(1)) +
                                  Record(2, kPrefTypeLong, U32(77)) + kEnd);
}

TEST_F(PreferencesFormat, RecordsAfterTheEndRecordAreIgnored) {
    WriteAll(mPath, kHeader + Record(1, kPrefTypeLong, U32(1)) + kEnd + Record(2, kPrefTypeLong, U32(2)));
    CPreferences store = Store();
    ASSERT_TRUE(store.ReadFile(true)) << store.GetLastProblem();
    EXPECT_EQ(store.GetTagCount(), 1);
}

TEST_F(PreferencesFormat, TwoRecordsWithTheSameIdBothBecomeTagsAndGetTagFindsTheFirst) {
    WriteAll(mPath, kHeader + Record(1, kPrefTypeLong, U32(10)) + Record(1, kPrefTypeLong, U32(20)) + kEnd);
    CPreferences store = Store();
    ASSERT_TRUE(store.ReadFile(true));
    EXPECT_EQ(store.GetTagCount(), 2);
    EXPECT_EQ(dynamic_cast<CPreferencesLongTag*>(store.GetTag(1))->GetValue(), 10);
}

TEST_F(PreferencesFormat, WriteDisabledTagStaysInTheStoreButNotInTheFile) {
    CPreferences store = Store();
    SetLongPreference(store, 1, 1);
    SetLongPreference(store, 2, 2);
    store.GetTag(1)->SetWriteEnabled(false);
    EXPECT_EQ(Written(store), kHeader + Record(2, kPrefTypeLong, U32(2)) + kEnd);
    EXPECT_EQ(store.GetTagCount(), 2);
}

TEST_F(PreferencesFormat, PathCopyIsRefusedWhenTooLong) {
    CPreferences store = Store();
    EXPECT_FALSE(store.SetPath(std::string(kFileSpecCapacity, 'a').c_str()));
    EXPECT_STREQ(store.GetPath(), "");
    EXPECT_TRUE(store.SetPath(mPath.c_str()));
    EXPECT_EQ(store.GetPath(), mPath);
}

// --- signature and version

struct VersionRow {
    const char* name;
    uint32_t storeVersion;
    uint32_t fileVersion;
    bool read;
};
void PrintTo(const VersionRow& row, std::ostream* os) { *os << row.name; }

class FileVersion : public PreferencesFormat, public testing::WithParamInterface<VersionRow> {};

TEST_P(FileVersion, IsReadUpToTheStoreVersionPlusHundred) {
    const VersionRow& row = GetParam();
    WriteAll(mPath, Hex("70 69 70 73") + U32(row.fileVersion) + Record(1, kPrefTypeLong, U32(1)) + kEnd);
    CPreferences store(mPath.c_str(), kPrefDefaultSignature, row.storeVersion, 0, 0);
    EXPECT_EQ(store.ReadFile(true), row.read);
    EXPECT_EQ(store.GetTagCount(), row.read ? 1 : 0);
    EXPECT_EQ(store.GetVersion(), row.storeVersion);  // the file's version is not stored
    if (!row.read) {
        EXPECT_NE(store.GetLastProblem().find("newer version"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FileVersion,
    testing::Values(VersionRow{"SameVersion", 3, 3, true}, VersionRow{"OlderVersionZero", 3, 0, true},
                    VersionRow{"HundredNewer", 3, 103, true}, VersionRow{"HundredAndOneNewer", 3, 104, false},
                    VersionRow{"ToleranceDoesNotWrapAtTheTop", 0xfffffff0u, 0xffffffffu, true},
                    VersionRow{"HugeVersionOfAnOldStore", 0, 0xffffffffu, false}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(PreferencesFormat, OtherSignatureLeavesTheStoreEmptyAndSaysSo) {
    WriteAll(mPath, Hex("61 62 63 64 00 00 00 00") + Record(1, kPrefTypeLong, U32(1)) + kEnd);
    CPreferences store = Store();
    EXPECT_FALSE(store.ReadFile(true));
    EXPECT_EQ(store.GetTagCount(), 0);
    EXPECT_NE(store.GetLastProblem().find(mPath), std::string::npos);
}

TEST_F(PreferencesFormat, FileShorterThanItsSignatureIsNotAPreferencesFile) {
    WriteAll(mPath, Hex("70 69"));
    CPreferences store = Store();
    EXPECT_FALSE(store.ReadFile(true));
    EXPECT_NE(store.GetLastProblem().find("not a preferences file"), std::string::npos);
}

TEST_F(PreferencesFormat, StoreOfOtherSignatureWritesAndReadsItsOwn) {
    CPreferences store(mPath.c_str(), FourCharCode("QMpf"), 7, 0, 0);
    SetLongPreference(store, 1, 3);
    EXPECT_EQ(Written(store).substr(0, 8), Hex("66 70 4d 51 07 00 00 00"));
    CPreferences read(mPath.c_str(), FourCharCode("QMpf"), 7, 0, 0);
    EXPECT_TRUE(read.ReadFile(true));
    EXPECT_EQ(read.GetTagCount(), 1);
}

}  // namespace
