// Profiles as JSON documents: every stamp key with its cabinet type, stamp
// text line breaks, the embedded action document as base64, the checks made
// on a profile from JSON, and round trips.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "cabinet/Cabinet.h"
#include "cabinet/CabinetHandles.h"
#include "cabinet/CabinetStream.h"
#include "cli/ProfileJson.h"

namespace {

using qmcli::KeyKind;
using qmcli::ProfileFromJson;
using qmcli::ProfileToJson;

std::unique_ptr<qmhost::Cabinet> Read(const std::string& json) {
    std::string error;
    auto profile = ProfileFromJson(json, &error);
    EXPECT_TRUE(profile) << error;
    return profile;
}

std::string Refusal(const std::string& json) {
    std::string error;
    EXPECT_FALSE(ProfileFromJson(json, &error)) << json;
    return error;
}

const qmhost::Cabinet& Stamp(const qmhost::Cabinet& profile, int index) {
    const auto* value = profile.find("kStamp" + std::to_string(index));
    return *std::get<std::unique_ptr<qmhost::Cabinet>>(*value);
}

template <class T>
const T& ValueOf(const qmhost::Cabinet& cabinet, const char* key) {
    const qmhost::CabinetValue* value = cabinet.find(key);
    EXPECT_NE(value, nullptr) << key;
    EXPECT_TRUE(std::holds_alternative<T>(*value)) << key << " holds type " << value->index();
    return std::get<T>(*value);
}

struct KindRow {
    const char* key;
    KeyKind kind;
};

class ProfileKeyKind : public ::testing::TestWithParam<KindRow> {};

TEST_P(ProfileKeyKind, IsTheStampModelsKind) { EXPECT_EQ(qmcli::keyKind(GetParam().key), GetParam().kind); }

INSTANTIATE_TEST_SUITE_P(
    StampKeys, ProfileKeyKind,
    ::testing::Values(KindRow{"kNumberOfStamps", KeyKind::Int}, KindRow{"kStampType", KeyKind::Int},
                      KindRow{"kStampNameE", KeyKind::String}, KindRow{"kActionC", KeyKind::Binary},
                      KindRow{"kHorizontalS", KeyKind::Double}, KindRow{"kVerticalS", KeyKind::Double},
                      KindRow{"kWeightC", KeyKind::Double}, KindRow{"kOverlay", KeyKind::Bool},
                      KindRow{"kWordWrapCH", KeyKind::Bool}, KindRow{"kEmbedCH", KeyKind::Bool},
                      KindRow{"kOutlineCH", KeyKind::Bool}, KindRow{"kPagesE", KeyKind::Text},
                      KindRow{"kSelectFileE", KeyKind::Text}, KindRow{"kTextE", KeyKind::String},
                      KindRow{"kStyleSystemC", KeyKind::String}, KindRow{"kSizeE", KeyKind::Int},
                      KindRow{"kColorC", KeyKind::Int}, KindRow{"kOpacityS", KeyKind::Int},
                      KindRow{"kSomethingElse", KeyKind::Unknown}),
    [](const auto& row) { return std::string(row.param.key); });

TEST(ProfileJson, StampKeysGetTheirCabinetTypes) {
    const auto profile = Read(R"({"kNumberOfStamps": 1, "kStamp0": {
        "kStampType": 0, "kStampNameE": "Bates", "kTextE": "x", "kSizeE": 10,
        "kHorizontalS": 1, "kWeightC": 0.5, "kOverlay": true, "kPagesE": "1-3",
        "kSelectFileE": "/tmp/a.pdf"}})");
    ASSERT_TRUE(profile);
    const qmhost::Cabinet& stamp = Stamp(*profile, 0);
    EXPECT_EQ(ValueOf<int32_t>(stamp, "kSizeE"), 10);
    EXPECT_EQ(ValueOf<double>(stamp, "kHorizontalS"), 1.0) << "a whole number for a double key stays a double";
    EXPECT_EQ(ValueOf<double>(stamp, "kWeightC"), 0.5);
    EXPECT_EQ(ValueOf<bool>(stamp, "kOverlay"), true);
    EXPECT_EQ(ValueOf<qmhost::StringValue>(stamp, "kStampNameE").text, "Bates");
    EXPECT_EQ(ValueOf<std::unique_ptr<qmhost::HostText>>(stamp, "kPagesE")->utf8(), "1-3");
    EXPECT_EQ(ValueOf<std::unique_ptr<qmhost::HostText>>(stamp, "kSelectFileE")->utf8(), "/tmp/a.pdf");
}

TEST(ProfileJson, MisspeltKeyIsKeptAndReported) {
    std::string error;
    std::vector<std::string> unknown;
    const auto profile = qmcli::ProfileFromJson(
        R"({"kStamp0": {"kStampType": 0, "kTextE": "x", "kRotateS": 45}, "kColour": 1})", &error, &unknown);
    ASSERT_NE(profile, nullptr) << error;
    EXPECT_EQ(unknown, (std::vector<std::string>{"kColour", "kStamp0.kRotateS"}));
}

TEST(ProfileJson, StampTextLineBreaksBecomeCarriageReturnLineFeed) {
    const auto profile = Read(R"({"kStamp0": {"kTextE": "one\ntwo\r\nthree\n"}})");
    ASSERT_TRUE(profile);
    EXPECT_EQ(ValueOf<qmhost::StringValue>(Stamp(*profile, 0), "kTextE").text, "one\r\ntwo\r\nthree\r\n");
}

TEST(ProfileJson, ExportShowsStampTextLineBreaksAsLineFeeds) {
    const auto profile = Read(R"({"kStamp0": {"kTextE": "one\ntwo"}})");
    ASSERT_TRUE(profile);
    const std::string json = ProfileToJson(*profile);
    EXPECT_NE(json.find(R"("kTextE": "one\ntwo")"), std::string::npos) << json;
}

TEST(ProfileJson, NumberOfStampsIsCountedWhenMissing) {
    const auto profile = Read(R"({"kStamp0": {}, "kStamp1": {}})");
    ASSERT_TRUE(profile);
    EXPECT_EQ(ValueOf<int32_t>(*profile, "kNumberOfStamps"), 2);
}

TEST(ProfileJson, ActionDocumentIsBase64AndItsStoredSizeIsItsRealLength) {
    // A forged size in the JSON is not kept: readers would trust it.
    const auto profile = Read(R"({"kStamp0": {"kActionC": "JVBERi0xLjQK", "kActionCFileSize": 99999}})");
    ASSERT_TRUE(profile);
    const qmhost::Cabinet& stamp = Stamp(*profile, 0);
    EXPECT_EQ(ValueOf<qmhost::BinaryValue>(stamp, "kActionC").bytes, "%PDF-1.4\n");
    EXPECT_EQ(ValueOf<int32_t>(stamp, "kActionCFileSize"), 9);
}

TEST(ProfileJson, UnknownKeysKeepWhatJsonGives) {
    const auto profile = Read(R"({"kStamp0": {"xInt": 3, "xReal": 2.5, "xFlag": false, "xText": "t",
        "xSub": {"a": 1}, "xBlob": {"$base64": "AAEC"}}})");
    ASSERT_TRUE(profile);
    const qmhost::Cabinet& stamp = Stamp(*profile, 0);
    EXPECT_EQ(ValueOf<int32_t>(stamp, "xInt"), 3);
    EXPECT_EQ(ValueOf<double>(stamp, "xReal"), 2.5);
    EXPECT_EQ(ValueOf<bool>(stamp, "xFlag"), false);
    EXPECT_EQ(ValueOf<qmhost::StringValue>(stamp, "xText").text, "t");
    EXPECT_EQ(ValueOf<std::unique_ptr<qmhost::Cabinet>>(stamp, "xSub")->entries().size(), 1u);
    EXPECT_EQ(ValueOf<qmhost::BinaryValue>(stamp, "xBlob").bytes, std::string("\0\1\2", 3));
}

TEST(ProfileJson, CabinetRoundTripsThroughJsonUnchanged) {
    const auto first = Read(R"({"kNumberOfStamps": 2,
        "kStamp0": {"kStampType": 0, "kTextE": "Page $PageNo[1] of $TotalPages\nline", "kVerticalS": -0.25,
                    "kColorC": 16711680, "kEmbedCH": true, "kPagesE": "odd", "kActionC": "JVBERi0xLjQK"},
        "kStamp1": {"kStampType": 2, "kSelectFileE": "logo.pdf", "kSizeS": 50, "xBlob": {"$base64": "/w=="}}})");
    ASSERT_TRUE(first);
    const auto second = Read(ProfileToJson(*first));
    ASSERT_TRUE(second);
    EXPECT_EQ(qmhost::encodeCabinet(*second), qmhost::encodeCabinet(*first));
}

// The exported document's layout: keys in byte order, four spaces a level,
// an empty object opened and closed on two lines, binary values of keys
// outside the stamp model as {"$base64": ...}, control characters and U+FEFF
// escaped, stamp text line breaks as "\n", a line feed at the end.
TEST(ProfileJson, ExportLayoutIsStable) {
    qmhost::Cabinet profile;
    profile.put("kNumberOfStamps", int32_t{1});
    auto stamp = std::make_unique<qmhost::Cabinet>();
    stamp->put("kTextE", qmhost::StringValue{"a\r\n\"b\"\t\x01\xEF\xBB\xBF\xE6\x96\x87"});
    stamp->put("kHorizontalS", 0.5);
    stamp->put("kWeightC", 2.0);
    stamp->put("kOverlay", false);
    stamp->put("kColorC", int32_t{-5});
    stamp->put("kActionC", qmhost::BinaryValue{"%PDF"});
    stamp->put("xBlob", qmhost::BinaryValue{std::string("\0\1\2", 3)});
    stamp->put("xEmpty", std::make_unique<qmhost::Cabinet>());
    profile.put("kStamp0", std::move(stamp));
    EXPECT_EQ(ProfileToJson(profile), R"({
    "kNumberOfStamps": 1,
    "kStamp0": {
        "kActionC": "JVBERg==",
        "kColorC": -5,
        "kHorizontalS": 0.5,
        "kOverlay": false,
        "kTextE": "a\n\"b\"\t\u0001\ufeff文",
        "kWeightC": 2,
        "xBlob": {
            "$base64": "AAEC"
        },
        "xEmpty": {
        }
    }
}
)");
    EXPECT_EQ(ProfileToJson(qmhost::Cabinet()), "{\n}\n");
}

// Doubles are written in their shortest form that reads back the same: whole
// numbers that a double holds exactly without fraction, others in the shorter
// of the fixed and exponent forms (fixed when both are as long).
TEST(ProfileJson, DoublesAreWrittenShortAndReadBackTheSame) {
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {0.5, "0.5"},
        {2.0, "2"},
        {-0.0, "0"},
        {1e6, "1000000"},
        {9007199254740992.0, "9007199254740992"},
        {9007199254740994.0, "9007199254740994"},
        {1e16, "1e+16"},
        {1e-5, "1e-05"},
        {0.0001234, "0.0001234"},
        {1.2345678901234567e19, "12345678901234567000"},
        {-1.5e300, "-1.5e+300"},
        {1.0 / 3.0, "0.3333333333333333"},
        {std::numeric_limits<double>::quiet_NaN(), "null"},
    };
    for (const auto& row : rows) {
        qmhost::Cabinet profile;
        auto stamp = std::make_unique<qmhost::Cabinet>();
        stamp->put("kHorizontalS", row.value);
        profile.put("kStamp0", std::move(stamp));
        const std::string json = ProfileToJson(profile);
        EXPECT_NE(json.find(std::string("\"kHorizontalS\": ") + row.text + "\n"), std::string::npos) << json;
        if (std::isnan(row.value)) continue;
        const auto back = Read(json);
        ASSERT_TRUE(back) << json;
        EXPECT_EQ(ValueOf<double>(Stamp(*back, 0), "kHorizontalS"), row.value) << row.text;
    }
}

// Hand-written profiles keep two liberties: control characters standing raw in
// a string, and a bare decimal point. A UTF-8 byte-order mark may lead; a key
// given twice keeps its last value. What would change a text unseen (an
// unknown escape, an unpaired surrogate) and numbers beyond a double are
// refused with the place of the fault.
TEST(ProfileJson, ReadsTheLibertiesOfHandWrittenProfilesAndRefusesTheRest) {
    const struct {
        const char* name;
        std::string json;
        const char* error;  // a part of the refusal, or null when read
        const char* key;    // the stamp key read
        std::string text;   // its value as text (numbers through std::to_string)
    } rows[] = {
        {"raw tab and line break", "{\"kStamp0\": {\"kTextE\": \"a\tb\nc\"}}", nullptr, "kTextE", "a\tb\r\nc"},
        {"point before the digits", R"({"kStamp0": {"kHorizontalS": .5}})", nullptr, "kHorizontalS", "0.500000"},
        {"point after the digits", R"({"kStamp0": {"kHorizontalS": 2.}})", nullptr, "kHorizontalS", "2.000000"},
        {"negative point before", R"({"kStamp0": {"kVerticalS": -.25}})", nullptr, "kVerticalS", "-0.250000"},
        {"byte-order mark", "\xEF\xBB\xBF{\"kStamp0\": {\"kSizeE\": 7}}", nullptr, "kSizeE", "7"},
        {"key twice", R"({"kStamp0": {"kSizeE": 1, "kSizeE": 2}})", nullptr, "kSizeE", "2"},
        {"point in a string", R"({"kStamp0": {"kTextE": ".5 and 2."}})", nullptr, "kTextE", ".5 and 2."},
        {"unknown escape", R"({"kStamp0": {"kTextE": "C:\temp\x"}})", "not valid JSON", nullptr, ""},
        {"unpaired surrogate", R"({"kStamp0": {"kTextE": "\ud800"}})", "not valid JSON", nullptr, ""},
        {"number beyond a double", R"({"kStamp0": {"kHorizontalS": 1e400}})", "not valid JSON", nullptr, ""},
        {"point alone", R"({"kStamp0": {"kHorizontalS": -.}})", "not valid JSON", nullptr, ""},
        {"control character outside strings", "{\x01\"kStamp0\": {}}", "not valid JSON", nullptr, ""},
        {"place of the fault", "{\n  \"kStamp0\": {\n    \"kSizeE\": ,\n", "line 3, column 15", nullptr, ""},
        {"top-level number", "5", "a profile is a JSON object", nullptr, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::string error;
        const auto profile = ProfileFromJson(row.json, &error);
        if (row.error) {
            EXPECT_FALSE(profile);
            EXPECT_NE(error.find(row.error), std::string::npos) << error;
            continue;
        }
        ASSERT_TRUE(profile) << error;
        const qmhost::CabinetValue* value = Stamp(*profile, 0).find(row.key);
        ASSERT_NE(value, nullptr);
        std::string text;
        if (const auto* string = std::get_if<qmhost::StringValue>(value)) text = string->text;
        if (const auto* number = std::get_if<int32_t>(value)) text = std::to_string(*number);
        if (const auto* real = std::get_if<double>(value)) text = std::to_string(*real);
        EXPECT_EQ(text, row.text);
    }
}

struct RefusedProfile {
    const char* name;
    const char* json;
    const char* messagePart;
};

class ProfileJsonRefuses : public ::testing::TestWithParam<RefusedProfile> {};

TEST_P(ProfileJsonRefuses, NamingWhatIsWrong) {
    const std::string error = Refusal(GetParam().json);
    EXPECT_NE(error.find(GetParam().messagePart), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Invalid, ProfileJsonRefuses,
    ::testing::Values(
        RefusedProfile{"NotJson", "{", "not valid JSON"},
        RefusedProfile{"TopLevelArray", "[]", "a profile is a JSON object"},
        RefusedProfile{"FractionForAnInteger", R"({"kStamp0": {"kSizeE": 12.5}})", "kStamp0.kSizeE: an integer"},
        RefusedProfile{"IntegerBeyondThirtyTwoBits", R"({"kStamp0": {"kColorC": 4294967296}})", "kStamp0.kColorC"},
        RefusedProfile{"StringForAnInteger", R"({"kStamp0": {"kStampType": "0"}})", "kStamp0.kStampType"},
        RefusedProfile{"NumberForABoolean", R"({"kStamp0": {"kOverlay": 1}})", "kStamp0.kOverlay: true or false"},
        RefusedProfile{"NumberForAString", R"({"kStamp0": {"kTextE": 5}})", "kStamp0.kTextE: a string"},
        RefusedProfile{"BadBase64", R"({"kStamp0": {"kActionC": "***"}})", "kStamp0.kActionC: not valid base64"},
        RefusedProfile{"ActionNotAPdf", R"({"kStamp0": {"kActionC": "aGVsbG8="}})",
                       "kStamp0.kActionC: not a PDF document"},
        RefusedProfile{"MissingStamp", R"({"kNumberOfStamps": 2, "kStamp0": {}})", "kStamp1: stamp 1 of 2 is missing"},
        RefusedProfile{"StampNotAnObject", R"({"kNumberOfStamps": 1, "kStamp0": 3})", "kStamp0"},
        RefusedProfile{"StampBeyondTheCount", R"({"kNumberOfStamps": 1, "kStamp0": {}, "kStamp1": {}})",
                       "kStamp1: no stamp of the profile"},
        RefusedProfile{"StampKeyWithLeadingZero", R"({"kStamp0": {}, "kStamp01": {}})", "kStamp01"},
        RefusedProfile{"NegativeCount", R"({"kNumberOfStamps": -1})", "may not be negative"},
        RefusedProfile{"StampKeyAtTheTop", R"({"kTextE": "x"})", "kTextE: a stamp's key belongs in a stamp"},
        RefusedProfile{"StampNameLeavingTheFolder", R"({"kStamp0": {"kStampNameE": "../x"}})",
                       "kStamp0.kStampNameE: the stamp name is refused"},
        RefusedProfile{"StampNameDotDot", R"({"kStamp0": {"kStampNameE": ".."}})", "kStampNameE"},
        RefusedProfile{"NulInAString", R"({"kStamp0": {"kTextE": "a\u0000b"}})", "NUL"},
        RefusedProfile{"NullValue", R"({"kStamp0": {"x": null}})", "kStamp0.x: arrays and null"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ProfileJson, NestingDeeperThanCabinetsAllowIsRefused) {
    std::string json = R"({"kStamp0": )";
    for (int i = 0; i < 40; ++i) json += R"({"a": )";
    json += "1";
    for (int i = 0; i < 40; ++i) json += "}";
    json += "}";
    EXPECT_NE(Refusal(json).find("nested too deep"), std::string::npos);
}

// Deterministic mutations of a valid profile: every one is read or refused
// with a message, none crashes, and no cabinet or text is left behind.
TEST(ProfileJsonFuzz, MutatedDocumentsAreReadOrRefused) {
    const std::string valid = R"({"kNumberOfStamps": 2,
        "kStamp0": {"kStampType": 0, "kTextE": "$BatesNo[1]\nx", "kSizeE": 10, "kOverlay": true,
                    "kPagesE": "1-3", "kActionC": "JVBERi0xLjQK", "kHorizontalS": 0.5},
        "kStamp1": {"kStampType": 1, "kSelectFileE": "a.png", "sub": {"b": {"$base64": "AA=="}}}})";
    const size_t cabinets = qmhost::liveCabinetCount();
    const size_t texts = qmhost::liveTextCount();
    std::mt19937 random(7);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string json = valid;
        for (int e = 0; e < 1 + static_cast<int>(random() % 3); ++e) {
            const size_t at = random() % json.size();
            const char* pieces[] = {"{", "}", "\"", ":", ",", "1", "-", "[", "]", "\\n", "kStamp", "null", "9e9"};
            switch (random() % 3) {
                case 0: json[at] = static_cast<char>(random() % 128); break;
                case 1: json.erase(at, 1 + random() % 6); break;
                default: json.insert(at, pieces[random() % std::size(pieces)]); break;
            }
            if (json.empty()) json = "{";
        }
        std::string error;
        auto profile = ProfileFromJson(json, &error);
        if (profile) {
            ++accepted;
            EXPECT_TRUE(error.empty());
        } else {
            EXPECT_FALSE(error.empty()) << json;
        }
    }
    EXPECT_GT(accepted, 10);
    EXPECT_EQ(qmhost::liveCabinetCount(), cabinets);
    EXPECT_EQ(qmhost::liveTextCount(), texts);
}

}  // namespace
