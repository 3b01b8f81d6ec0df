// The command line's reader and writer of the plug-in's preferences file: the
// byte layout, records of other types kept byte for byte, the setters, and
// damaged files refused (never written over).
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "cli/PrefsFile.h"
#include "common/PdfFixtures.h"

namespace {

using qmcli::FourCharCode;
using qmcli::PrefsFile;

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}

const std::string kHeader = Bytes({0x70, 0x69, 0x70, 0x73, 0, 0, 0, 0});
const std::string kEnd = Bytes({0x44, 0x4e, 0x45, 0x2a, 0x6b, 0x72, 0x61, 0x6d, 0, 0, 0, 0});

std::string Record(uint32_t id, uint32_t type, const std::string& payload) {
    std::string out;
    for (uint32_t word : {id, type, static_cast<uint32_t>(payload.size())})
        for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((word >> shift) & 0xFF);
    return out + payload;
}

PrefsFile Parsed(const std::string& bytes) {
    PrefsFile file;
    std::string error;
    EXPECT_TRUE(file.parse(bytes, &error)) << error;
    return file;
}

TEST(PrefsFile, FourCharCodeHasItsFirstCharacterMostSignificant) {
    EXPECT_EQ(FourCharCode("bool"), 0x626f6f6cu);
    EXPECT_EQ(FourCharCode("WTNF"), 0x57544E46u);
}

TEST(PrefsFile, EmptyStoreIsTheTwentyDocumentedBytes) {
    EXPECT_EQ(PrefsFile().encode(), kHeader + kEnd);
}

TEST(PrefsFile, BoolTagWithIdOneAddsTheDocumentedSixteenBytes) {
    PrefsFile file;
    file.setBool(1, true);
    EXPECT_EQ(file.encode(), kHeader + Bytes({1, 0, 0, 0, 0x6c, 0x6f, 0x6f, 0x62, 4, 0, 0, 0, 1, 0, 0, 0}) + kEnd);
}

TEST(PrefsFile, RecordOfAnUnknownTypeSurvivesAReadAndAWriteByteForByte) {
    const std::string bytes = kHeader + Record(7, FourCharCode("abcd"), "xyz") +
                              Record(FourCharCode("WTNF"), FourCharCode("bool"), Bytes({1, 0, 0, 0})) + kEnd;
    EXPECT_EQ(Parsed(bytes).encode(), bytes);
}

TEST(PrefsFile, NestedStoreRecordIsKeptWhole) {
    const std::string nested = Record(3, FourCharCode("long"), Bytes({5, 0, 0, 0})) + kEnd;
    const std::string bytes = kHeader + Record(9, FourCharCode("pref"), nested) + kEnd;
    const PrefsFile file = Parsed(bytes);
    ASSERT_EQ(file.records().size(), 1u);
    EXPECT_EQ(file.records()[0].payload.size(), 28u);
    EXPECT_EQ(file.encode(), bytes);
}

TEST(PrefsFile, BoolRecordOfEightBytesReadsItsFirstFour) {
    const PrefsFile file =
        Parsed(kHeader + Record(FourCharCode("EnLo"), FourCharCode("bool"), Bytes({2, 0, 0, 0, 0, 0, 0, 0})) +
               Record(FourCharCode("BFLe"), FourCharCode("long"), Bytes({9, 0, 0, 0})) + kEnd);
    EXPECT_EQ(file.getBool(FourCharCode("EnLo")), true);
    EXPECT_EQ(file.getLong(FourCharCode("BFLe")), 9);
}

TEST(PrefsFile, SettingOfAnotherTypeReadsAsNone) {
    const PrefsFile file = Parsed(kHeader + Record(FourCharCode("BFLe"), FourCharCode("bool"), Bytes({1, 0, 0, 0})) + kEnd);
    EXPECT_EQ(file.getLong(FourCharCode("BFLe")), std::nullopt);
    EXPECT_EQ(file.getBool(FourCharCode("WTNF")), std::nullopt);
}

TEST(PrefsFile, SetLongOnABoolRecordReplacesItWithALongAtTheEnd) {
    PrefsFile file = Parsed(kHeader + Record(FourCharCode("BFLe"), FourCharCode("bool"), Bytes({1, 0, 0, 0})) +
                            Record(1, FourCharCode("long"), Bytes({1, 0, 0, 0})) + kEnd);
    file.setLong(FourCharCode("BFLe"), 8);
    ASSERT_EQ(file.records().size(), 2u);
    EXPECT_EQ(file.records()[0].id, 1u);
    EXPECT_EQ(file.records()[1].type, PrefsFile::kTypeLong);
    EXPECT_EQ(file.getLong(FourCharCode("BFLe")), 8);
}

TEST(PrefsFile, SetLongOnALongRecordChangesItInPlace) {
    PrefsFile file = Parsed(kHeader + Record(FourCharCode("BFLe"), FourCharCode("long"), Bytes({6, 0, 0, 0})) +
                            Record(1, FourCharCode("long"), Bytes({1, 0, 0, 0})) + kEnd);
    file.setLong(FourCharCode("BFLe"), -3);
    EXPECT_EQ(file.records()[0].id, FourCharCode("BFLe"));
    EXPECT_EQ(file.getLong(FourCharCode("BFLe")), -3);
    EXPECT_EQ(file.records()[0].payload, Bytes({0xfd, 0xff, 0xff, 0xff}));
}

TEST(PrefsFile, SetAfterDuplicateIdsIsNotHiddenByAnOlderRecord) {
    // Two records of one id: the first of another type. A new record appended
    // behind the second would never be read; every record of the id goes.
    PrefsFile file = Parsed(kHeader + Record(FourCharCode("URNu"), FourCharCode("bool"), Bytes({1, 0, 0, 0})) +
                            Record(FourCharCode("URNu"), FourCharCode("long"), Bytes({2, 0, 0, 0})) + kEnd);
    file.setLong(FourCharCode("URNu"), 1);
    ASSERT_EQ(file.records().size(), 1u);
    EXPECT_EQ(Parsed(file.encode()).getLong(FourCharCode("URNu")), 1);
}

struct RefusedFile {
    const char* name;
    std::string bytes;
    const char* messagePart;
};

class PrefsFileRefuses : public ::testing::TestWithParam<RefusedFile> {};

TEST_P(PrefsFileRefuses, WithAMessage) {
    PrefsFile file;
    std::string error;
    EXPECT_FALSE(file.parse(GetParam().bytes, &error));
    EXPECT_NE(error.find(GetParam().messagePart), std::string::npos) << error;
    EXPECT_TRUE(file.records().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Damaged, PrefsFileRefuses,
    ::testing::Values(
        RefusedFile{"Empty", "", "signature"},
        RefusedFile{"ShorterThanTheHeader", Bytes({0x70, 0x69, 0x70}), "signature"},
        RefusedFile{"OtherSignature", Bytes({1, 2, 3, 4, 0, 0, 0, 0}) + kEnd, "signature"},
        RefusedFile{"VersionPastOneHundred", Bytes({0x70, 0x69, 0x70, 0x73, 101, 0, 0, 0}) + kEnd, "version 101"},
        RefusedFile{"RecordClaimingMoreThanRemains",
                    kHeader + Record(1, FourCharCode("strn"), "abc").substr(0, 14), "claims 3 bytes, 2 remain"},
        RefusedFile{"HugeRecordSize", kHeader + Bytes({1, 0, 0, 0, 0x6e, 0x72, 0x74, 0x73, 0xff, 0xff, 0xff, 0xff}),
                    "claims 4294967295 bytes"},
        RefusedFile{"NoEndRecord", kHeader + Record(FourCharCode("EnLo"), FourCharCode("bool"), Bytes({1, 0, 0, 0})),
                    "the records end without an end record"},
        RefusedFile{"DataEndingInsideARecordHeader",
                    kHeader + Record(FourCharCode("EnLo"), FourCharCode("bool"), Bytes({1, 0, 0, 0})) + Bytes({1, 2, 3}),
                    "the records end without an end record"},
        RefusedFile{"ShortBool", kHeader + Record(FourCharCode("EnLo"), FourCharCode("bool"), Bytes({1, 0})) + kEnd,
                    "a 'bool' record of 2 bytes is shorter than its value (4 bytes)"},
        RefusedFile{"ShortLong", kHeader + Record(FourCharCode("BFLe"), FourCharCode("long"), "") + kEnd,
                    "a 'long' record of 0 bytes"},
        RefusedFile{"ShortRect", kHeader + Record(4, FourCharCode("rect"), std::string(15, 'r')) + kEnd,
                    "a 'rect' record of 15 bytes is shorter than its value (16 bytes)"},
        RefusedFile{"FilePathTooLong", kHeader + Record(4, FourCharCode("file"), std::string(4096, 'p')) + kEnd,
                    "a file path of 4096 bytes is longer than 4095 bytes"},
        RefusedFile{"NestedStoreWithoutEnd",
                    kHeader + Record(9, FourCharCode("pref"), Record(3, FourCharCode("long"), Bytes({5, 0, 0, 0}))) +
                        kEnd,
                    "nested records end without an end record"},
        RefusedFile{"NestedStoreWithAShortValue",
                    kHeader + Record(9, FourCharCode("pref"), Record(3, FourCharCode("long"), Bytes({5})) + kEnd) +
                        kEnd,
                    "a 'long' record of 1 bytes"},
        RefusedFile{"StoresNestedTooDeep",
                    [] {
                        std::string store = kEnd;
                        for (int level = 0; level < 34; ++level) store = Record(9, FourCharCode("pref"), store) + kEnd;
                        return kHeader + store;
                    }(),
                    "nested records go deeper than 32 levels"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(PrefsFile, VersionOneHundredIsReadAndKept) {
    const PrefsFile file = Parsed(Bytes({0x70, 0x69, 0x70, 0x73, 100, 0, 0, 0}) + kEnd);
    EXPECT_EQ(file.version(), 100u);
    EXPECT_EQ(file.encode(), Bytes({0x70, 0x69, 0x70, 0x73, 100, 0, 0, 0}) + kEnd);
}

TEST(PrefsFile, StoresNestedThirtyTwoDeepAndValuesOfTheirSizeAreRead) {
    std::string store = kEnd;
    for (int level = 0; level < 32; ++level) store = Record(9, FourCharCode("pref"), store) + kEnd;
    const PrefsFile file =
        Parsed(kHeader + Record(4, FourCharCode("rect"), std::string(16, 'r')) +
               Record(5, FourCharCode("file"), std::string(4095, 'p')) + Record(6, FourCharCode("pref"), "") +
               store.substr(0, store.size() - kEnd.size()) + kEnd);
    EXPECT_EQ(file.records().size(), 4u);
}

TEST(PrefsFile, BytesBehindTheEndRecordAreNotRead) {
    const PrefsFile file = Parsed(kHeader + kEnd + Record(1, FourCharCode("long"), Bytes({1, 0, 0, 0})));
    EXPECT_TRUE(file.records().empty());
}

TEST(PrefsFile, MissingFileIsAnEmptyStoreAndWriteMakesIt) {
    qmtest::FixtureFolder folder;
    PrefsFile file;
    std::string error;
    ASSERT_TRUE(file.read(folder.file("Quillmark.pfs"), &error)) << error;
    EXPECT_TRUE(file.records().empty());
    file.setBool(FourCharCode("WTNF"), true);
    ASSERT_TRUE(file.write(folder.file("Quillmark.pfs"), &error)) << error;
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"Quillmark.pfs"}) << "no temporary file is left";
    PrefsFile again;
    ASSERT_TRUE(again.read(folder.file("Quillmark.pfs"), &error)) << error;
    EXPECT_EQ(again.getBool(FourCharCode("WTNF")), true);
}

// Deterministic pseudo-random mutations of a valid file: the reader answers
// or refuses, never crashes or reads past the data, and what it accepts is
// written back as a file it accepts again with the same records.
TEST(PrefsFileFuzz, MutatedFilesAreReadOrRefusedNeverOverRead) {
    const std::string nested = Record(3, FourCharCode("long"), Bytes({5, 0, 0, 0})) + kEnd;
    const std::string valid = kHeader + Record(FourCharCode("WTNF"), FourCharCode("bool"), Bytes({1, 0, 0, 0})) +
                              Record(FourCharCode("BFLe"), FourCharCode("long"), Bytes({6, 0, 0, 0})) +
                              Record(5, FourCharCode("strn"), "hello") + Record(9, FourCharCode("pref"), nested) +
                              kEnd;
    std::mt19937 random(20240611);
    int accepted = 0;
    for (int round = 0; round < 5000; ++round) {
        std::string bytes = valid;
        const int edits = 1 + static_cast<int>(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const size_t at = random() % bytes.size();
            switch (random() % 3) {
                case 0: bytes[at] = static_cast<char>(random()); break;
                case 1: bytes.erase(at, 1 + random() % 8); break;
                default: bytes.insert(at, 1 + random() % 4, static_cast<char>(random())); break;
            }
            if (bytes.empty()) bytes = "x";
        }
        PrefsFile file;
        std::string error;
        // A copy without spare capacity, so that AddressSanitizer sees an over-read.
        const std::string exact(bytes.data(), bytes.size());
        if (!file.parse(exact, &error)) continue;
        ++accepted;
        PrefsFile again;
        ASSERT_TRUE(again.parse(file.encode(), &error)) << error;
        ASSERT_EQ(again.encode(), file.encode());
    }
    EXPECT_GT(accepted, 100) << "the mutations should leave many files readable";
}

}  // namespace
