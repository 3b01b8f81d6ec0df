// The preferences reader against damaged files: deterministic mutations and
// truncations of valid files, and hand-made hostile records. The reader must
// answer success or an error with a message, never crash, hang or read beyond
// the data (AddressSanitizer watches the test build).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "common/PluginFixture.h"
#include "support/io/CBridgeStream.h"
#include "support/prefs/CPreferences.h"
#include "support/prefs/CPreferencesDataTags.h"
#include "support/prefs/CPreferencesPreferencesTag.h"
#include "support/prefs/CPreferencesValueTags.h"
#include "support/ErrorCode.h"
#include "support/prefs/PreferenceSetters.h"
#include "support/prefs/PreferenceTagTypes.h"

namespace {

// A seekable stream over bytes held in memory. Reading stops at the end of
// the bytes; the test counts what a reader asked for beyond them.
class MemoryStream : public CBridgeStream {
public:
    explicit MemoryStream(std::string bytes = std::string()) : mBytes(std::move(bytes)) {}
    const std::string& Bytes() const { return mBytes; }
    size_t ReadsPastTheEnd() const { return mReadsPastEnd; }

    void SetFile(const TFileSpecifier&) override {}
    bool Open(uint32_t) override { return true; }
    void Close() override {}
    void PlatformHook() override {}
    const char* GetPathText() const override { return "memory"; }
    bool SetTempFile(const char*, uint32_t) override { return false; }
    int32_t GetHandle() const override { return -1; }
    void PlatformHookWithValue(int32_t) override {}
    bool IsOpen() const override { return true; }
    const char* GetFilePath() const override { return "memory"; }
    int64_t Seek(int32_t origin, int64_t offset) override {
        const int64_t base = origin == kSeekFromBeginning ? 0
                             : origin == kSeekFromEnd     ? static_cast<int64_t>(mBytes.size())
                                                          : static_cast<int64_t>(mPosition);
        if (base + offset < 0) return -1;
        mPosition = static_cast<uint64_t>(base + offset);
        return static_cast<int64_t>(mPosition);
    }
    uint64_t GetPosition() const override { return mPosition; }
    void SetLength(uint64_t length) override { mBytes.resize(length); }
    uint64_t GetLength() const override { return mBytes.size(); }
    size_t Read(void* out, size_t count) override {
        const size_t available = mPosition < mBytes.size() ? mBytes.size() - mPosition : 0;
        const size_t n = std::min(count, available);
        if (n < count) mReadsPastEnd += count - n;
        if (n == 0) return 0;
        std::memcpy(out, mBytes.data() + mPosition, n);
        mPosition += n;
        return n;
    }
    size_t Write(const void* in, size_t count) override {
        if (mPosition + count > mBytes.size()) mBytes.resize(mPosition + count);
        std::memcpy(mBytes.data() + mPosition, in, count);
        mPosition += count;
        return count;
    }
    bool Delete() override { return false; }
    bool Exists() const override { return true; }

private:
    std::string mBytes;
    uint64_t mPosition = 0;
    size_t mReadsPastEnd = 0;
};

std::string U32(uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
    return bytes;
}

std::string Record(uint32_t id, uint32_t type, uint32_t size, const std::string& payload) {
    return U32(id) + U32(type) + U32(size) + payload;
}

std::string Record(uint32_t id, uint32_t type, const std::string& payload) {
    return Record(id, type, static_cast<uint32_t>(payload.size()), payload);
}

const std::string kHeader = U32(kPrefDefaultSignature) + U32(0);
const std::string kEnd = U32(kPrefEndId) + U32(kPrefTypeMark) + U32(0);

std::string Serialize(CPreferences& store) {
    MemoryStream stream;
    store.WriteTo(stream);
    return stream.Bytes();
}

// A valid file with every tag type, nested stores two deep and an unknown type.
std::string SeedFile() {
    auto inner = std::make_unique<CPreferences>();
    SetStringPreference(*inner, 1, "inner text");
    SetRectPreference(*inner, 2, {1, 2, 3, 4});
    auto middle = std::make_unique<CPreferences>();
    SetPreferencesPreference(*middle, 3, std::move(inner));
    SetFloatPreference(*middle, 4, 2.5);
    CPreferences store;
    SetBooleanPreference(store, FourCharCode("EnLo"), true);
    SetLongPreference(store, FourCharCode("BFLe"), 6);
    SetPointPreference(store, 5, {-3, 9});
    SetFilePreference(store, 6, TFileSpecifier("/home/user/file.pdf"));
    SetMemoryPreference(store, 7, 5, "\x01\x02\x03\x04\x05");
    store.AddTag(std::make_unique<CPreferencesMemoryTag>(8, FourCharCode("abcd"), 3, "xyz"));
    store.AddTag(std::make_unique<CPreferencesMarkTag>(9));
    SetPreferencesPreference(store, 10, std::move(middle));
    SetStringPreference(store, 11, "记录");
    return Serialize(store);
}

struct ReadResult {
    bool whole;
    int32_t count;
    std::string problem;
    size_t readsPastEnd;
};

ReadResult ReadBytes(const std::string& bytes) {
    MemoryStream stream(bytes);
    CPreferences store;
    const bool whole = store.ReadFrom(stream);
    return {whole, store.GetTagCount(), store.GetLastProblem(), stream.ReadsPastTheEnd()};
}

// Reading must end with an answer; a failure has a message. What was read can
// be written, and reading that again gives the same bytes.
void ExpectSoundRead(const std::string& bytes, const std::string& what) {
    MemoryStream stream(bytes);
    CPreferences store;
    const bool whole = store.ReadFrom(stream);
    EXPECT_EQ(whole, store.GetLastProblem().empty()) << what;
    EXPECT_EQ(stream.ReadsPastTheEnd(), 0u) << what;
    const std::string written = Serialize(store);
    MemoryStream again(written);
    CPreferences reread;
    ASSERT_TRUE(reread.ReadFrom(again)) << what << ": " << reread.GetLastProblem();
    EXPECT_EQ(Serialize(reread), written) << what;
}

class PreferencesFuzz : public testing::Test {
protected:
    void SetUp() override {
        UnregisterPrefTagTypes();
        RegisterPreferenceTagTypes();
    }
};

TEST_F(PreferencesFuzz, SeedFileReadsWhole) {
    const ReadResult result = ReadBytes(SeedFile());
    EXPECT_TRUE(result.whole) << result.problem;
    EXPECT_EQ(result.count, 9);
}

TEST_F(PreferencesFuzz, EveryTruncationIsReportedDamagedAndKeepsAPrefixOfTheTags) {
    const std::string seed = SeedFile();
    for (size_t length = 0; length < seed.size(); ++length) {
        const ReadResult result = ReadBytes(seed.substr(0, length));
        EXPECT_FALSE(result.whole) << length;
        EXPECT_FALSE(result.problem.empty()) << length;
        EXPECT_LE(result.count, 9) << length;
        EXPECT_EQ(result.readsPastEnd, 0u) << length;
    }
}

TEST_F(PreferencesFuzz, RandomByteMutationsAreReadSoundly) {
    const std::string seed = SeedFile();
    std::mt19937 random(20240611);  // fixed: the same mutations in every run
    for (int round = 0; round < 4000; ++round) {
        std::string bytes = seed;
        const int changes = 1 + static_cast<int>(random() % 4);
        for (int c = 0; c < changes; ++c)
            bytes[random() % bytes.size()] = static_cast<char>(random() & 0xff);
        ExpectSoundRead(bytes, "byte round " + std::to_string(round));
        if (HasFailure()) return;
    }
}

TEST_F(PreferencesFuzz, HostileLengthFieldsAreReadSoundly) {
    const std::string seed = SeedFile();
    const uint32_t values[] = {0,          1,          3,          4,          11,         12,
                               0x7fffffff, 0x80000000, 0xfffffff4, 0xfffffffc, 0xffffffff,
                               static_cast<uint32_t>(seed.size())};
    // Every 4-byte-aligned field of the seed, set to every hostile value.
    for (size_t offset = 0; offset + 4 <= seed.size(); offset += 4) {
        for (uint32_t value : values) {
            std::string bytes = seed;
            bytes.replace(offset, 4, U32(value));
            ExpectSoundRead(bytes, "offset " + std::to_string(offset) + " value " + std::to_string(value));
            if (HasFailure()) return;
        }
    }
}

TEST_F(PreferencesFuzz, InsertedAndDeletedBytesAreReadSoundly) {
    const std::string seed = SeedFile();
    std::mt19937 random(77);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes = seed;
        const size_t at = random() % bytes.size();
        const size_t count = 1 + random() % 8;
        if (round % 2 == 0)
            bytes.insert(at, std::string(count, static_cast<char>(random() & 0xff)));
        else
            bytes.erase(at, count);
        ExpectSoundRead(bytes, "splice round " + std::to_string(round));
        if (HasFailure()) return;
    }
}

// Hand-made records that a careless reader would trip over.
struct HostileRow {
    const char* name;
    std::string bytes;
    const char* problem;  // a part of the message
};
void PrintTo(const HostileRow& row, std::ostream* os) { *os << row.name; }

// A file whose one tag nests `levels` stores, each inside the one before.
std::string NestedDeep(int levels) {
    // Built in one pass: the headers from the outside in, then the end records
    // that close the stores from the inside out.
    std::string bytes = kHeader;
    for (int level = levels; level >= 1; --level)
        bytes += U32(1) + U32(kPrefTypePreferences) + U32(static_cast<uint32_t>(24 * (level - 1) + 12));
    for (int level = 0; level <= levels; ++level) bytes += kEnd;
    return bytes;
}

const HostileRow kHostileRows[] = {
    {"StringOfFourGigabytes", kHeader + Record(1, kPrefTypeString, 0xffffffffu, "abc") + kEnd,
     "claims 4294967295 bytes"},
    {"MemoryLongerThanTheFile", kHeader + Record(1, FourCharCode("abcd"), 100, "abc") + kEnd,
     "more than the data holds"},
    {"SizeThatWouldWrapThePosition", kHeader + Record(1, kPrefTypeLong, 0xfffffff4u, "") + kEnd,
     "more than the data holds"},
    {"BooleanShorterThanItsValue", kHeader + Record(1, kPrefTypeBoolean, 2, "\x01\x00") + kEnd,
     "shorter than its value"},
    {"RectShorterThanItsValue", kHeader + Record(1, kPrefTypeRect, std::string(12, '\0')) + kEnd,
     "shorter than its value"},
    {"NestedWithoutEndRecord", kHeader + Record(1, kPrefTypePreferences, Record(2, kPrefTypeLong, U32(1))) + kEnd,
     "nested records end without an end record"},
    {"NestedSizeReachingIntoTheParent",
     kHeader + Record(1, kPrefTypePreferences, 4, "") + Record(2, kPrefTypeLong, U32(1)) + kEnd,
     "nested records end without an end record"},
    {"NestingTooDeep", NestedDeep(kPrefMaxNesting + 1), "deeper than"},
    {"NoEndRecord", kHeader + Record(1, kPrefTypeLong, U32(1)), "without an end record"},
    {"FilePathTooLong", kHeader + Record(1, kPrefTypeFile, std::string(kFileSpecCapacity, 'a')) + kEnd,
     "longer than"},
};

class HostileRecord : public PreferencesFuzz, public testing::WithParamInterface<HostileRow> {};

TEST_P(HostileRecord, IsReportedAsDamage) {
    const ReadResult result = ReadBytes(GetParam().bytes);
    EXPECT_FALSE(result.whole);
    EXPECT_NE(result.problem.find("damaged"), std::string::npos) << result.problem;
    EXPECT_NE(result.problem.find(GetParam().problem), std::string::npos) << result.problem;
    EXPECT_EQ(result.readsPastEnd, 0u);
}

INSTANTIATE_TEST_SUITE_P(Table, HostileRecord, testing::ValuesIn(kHostileRows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(PreferencesFuzz, NestingUpToTheLimitIsRead) {
    const ReadResult result = ReadBytes(NestedDeep(kPrefMaxNesting));
    EXPECT_TRUE(result.whole) << result.problem;
    EXPECT_EQ(result.count, 1);
}

TEST_F(PreferencesFuzz, ThousandsOfNestingLevelsEndInAnErrorNotAStackOverflow) {
    const ReadResult result = ReadBytes(NestedDeep(100000));
    EXPECT_FALSE(result.whole);
    EXPECT_NE(result.problem.find("deeper than"), std::string::npos);
}

TEST_F(PreferencesFuzz, LongestFilePathIsRead) {
    const std::string path = "/" + std::string(kFileSpecCapacity - 2, 'p');
    MemoryStream stream(kHeader + Record(1, kPrefTypeFile, path) + kEnd);
    CPreferences store;
    ASSERT_TRUE(store.ReadFrom(stream)) << store.GetLastProblem();
    EXPECT_EQ(dynamic_cast<CPreferencesFileTag*>(store.GetTag(1))->GetValue().GetPath(), path);
}

TEST_F(PreferencesFuzz, MutatedFilesOnDiskAreReadSoundlyThroughReadFile) {
    const std::string folder = qmtest::MakeTempFolder("qm-preffuzz-");
    const std::string path = folder + "/fuzz.pfs";
    const std::string seed = SeedFile();
    std::mt19937 random(4242);
    for (int round = 0; round < 200; ++round) {
        std::string bytes = seed;
        bytes[random() % bytes.size()] ^= static_cast<char>(1 + random() % 255);
        if (round % 3 == 0) bytes.resize(random() % bytes.size());
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        CPreferences store(path.c_str(), kPrefDefaultSignature, 0, 0, 0);
        const bool whole = store.ReadFile(true);
        EXPECT_EQ(whole, store.GetLastProblem().empty()) << round;
        EXPECT_TRUE(store.WriteFile()) << round << ": " << store.GetLastProblem();
        CPreferences reread(path.c_str(), kPrefDefaultSignature, 0, 0, 0);
        EXPECT_TRUE(reread.ReadFile(true)) << round << ": " << reread.GetLastProblem();
        if (HasFailure()) return;
    }
}

}  // namespace
