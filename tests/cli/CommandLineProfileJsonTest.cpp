// Profiles as JSON documents: every stamp key with its cabinet type, stamp
// text line breaks, the embedded action document as base64, the checks made
// on a profile from JSON, and round trips.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
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

const qmhost::Cabinet& Stamp(const qmhost::Cabinet& profile, int index) {
    const auto* value = profile.find("kStamp" + std::to_string(index));
    return *std::get<std::unique_ptr<qmhost::Cabinet>>(*value);
}

TEST(ProfileJson, MisspeltKeyIsKeptAndReported) {
    std::string error;
    std::vector<std::string> unknown;
    const auto profile = qmcli::ProfileFromJson(
        R"({"kStamp0": {"kStampType": 0, "kTextE": "x", "kRotateS": 45}, "kColour": 1})", &error, &unknown);
    ASSERT_NE(profile, nullptr) << error;
    EXPECT_EQ(unknown, (std::vector<std::string>{"kColour", "kStamp0.kRotateS"}));
    EXPECT_EQ(qmcli::keyKind("kColour"), KeyKind::Unknown);
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
        "kOpacityS": 0,
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
        stamp->put("kWeightC", row.value);
        profile.put("kStamp0", std::move(stamp));
        const std::string json = ProfileToJson(profile);
        EXPECT_NE(json.find(std::string("\"kWeightC\": ") + row.text + "\n"), std::string::npos) << json;
        // Most rows lie outside the weights a profile may give: read back as JSON numbers are.
        if (!std::isnan(row.value)) {
            EXPECT_EQ(std::strtod(row.text, nullptr), row.value) << row.text;
        }
    }
}

// JSON that leaves a stamp's opacity out means the dialogs' 100; a stored
// stamp without one stamps with 0, and is written out so.
TEST(ProfileJson, MissingOpacityIsTheDialogsDefaultInJsonAndWrittenOut) {
    // The stamp's opacity; -1 when it has none.
    const auto opacity = [](const qmhost::Cabinet& stamp) {
        const qmhost::CabinetValue* value = stamp.find("kOpacityS");
        return value ? std::get<int32_t>(*value) : -1;
    };
    const auto read = Read(R"({"kStamp0": {"kTextE": "x"}, "kStamp1": {"kOpacityS": 0}})");
    ASSERT_TRUE(read);
    EXPECT_EQ(opacity(Stamp(*read, 0)), 100);
    EXPECT_EQ(opacity(Stamp(*read, 1)), 0);
    qmhost::Cabinet stored;
    stored.put("kNumberOfStamps", int32_t{1});
    stored.put("kStamp0", std::make_unique<qmhost::Cabinet>());
    const std::string json = ProfileToJson(stored);
    EXPECT_NE(json.find("\"kOpacityS\": 0"), std::string::npos) << json;
    EXPECT_EQ(opacity(Stamp(stored, 0)), -1) << "the profile itself is left as it is";
}

// Stamp values come in as the design dialogs allow them, and page lists are
// read whole as the stamp reads them: every item a page, a range or its odd or
// even pages, nothing left after a number (which texts are taken is compared
// with the plug-in's reader elsewhere). The refusal starts with the key, then
// the value and what is allowed.
TEST(ProfileJson, ValuesTheDialogsDoNotAllowAreRefused) {
    const std::string longList = "1" + std::string(255, ' ') + ",2";
    const auto pages = [](const std::string& list) { return R"("kPages": 1, "kPagesE": ")" + list + "\""; };
    const struct {
        std::string stamp;   // the keys of kStamp0
        const char* error;   // how the refusal starts, or null when read
    } rows[] = {
        {R"("kOpacityS": 500)", "kStamp0.kOpacityS: 500 is outside the range 0 to 100"},
        {R"("kOpacityS": -1)", "kStamp0.kOpacityS: -1 is outside the range 0 to 100"},
        {R"("kStampType": 7)", "kStamp0.kStampType: 7 is outside the range 0 to 2"},
        {R"("kStyleStandardC": 99)", "kStamp0.kStyleStandardC: 99 is outside the range 0 to 13"},
        {R"("kUnitC": 9)", "kStamp0.kUnitC: 9 is outside the range 0 to 3"},
        {R"("kSizeE": -50)", "kStamp0.kSizeE: -50 is outside the range 6 to 72"},
        {R"("kSizeE": 73)", "kStamp0.kSizeE: 73 is outside the range 6 to 72"},
        {R"("kSizeS": 0)", "kStamp0.kSizeS: 0 is outside the range 1 to 4800"},
        {R"("kSizeS": -50)", "kStamp0.kSizeS: -50 is outside the range 1 to 4800"},
        {R"("kRotationS": 361)", "kStamp0.kRotationS: 361 is outside the range -360 to 360"},
        {R"("kHorizontalS": 100000.5)", "kStamp0.kHorizontalS: 100000.5 is outside the range -99999 to 99999"},
        {R"("kStampOnC": 5)", "kStamp0.kStampOnC: 5 is outside the range 0 to 4"},
        {R"("kFromPageE": 0)", "kStamp0.kFromPageE: 0 is outside the range 1 to 1000000000"},
        {R"("kUnderlineC": 99)", "kStamp0.kUnderlineC: 99 is outside the range 0 to 6"},
        {R"("kUnderlineC": -4)", "kStamp0.kUnderlineC: -4 is outside the range 0 to 6"},
        {R"("kDashedC": 77)", "kStamp0.kDashedC: 77 is outside the range 0 to 4"},
        {R"("kWeightC": -5)", "kStamp0.kWeightC: -5 is outside the range 0 to 6"},
        {R"("kWeightC": 1e6)", "kStamp0.kWeightC: 1000000 is outside the range 0 to 6"},
        {R"("kColorC": 2147483647)", "kStamp0.kColorC: 2147483647 is outside the range -1 to 16777215"},
        {R"("kColorFontC": -2)", "kStamp0.kColorFontC: -2 is outside the range -1 to 16777215"},
        {R"("kFillColorC": 16777216)", "kStamp0.kFillColorC: 16777216 is outside the range -1 to 16777215"},
        {R"("kUnderlineC": 6, "kDashedC": 4, "kWeightC": 6, "kColorC": 16777215, "kColorFontC": -1,
            "kFillColorC": 0)",
         nullptr},
        {R"("kUnderlineC": 0, "kDashedC": 0, "kWeightC": 0.1, "kColorC": -1)", nullptr},
        {R"("kStampNameE": "")", "kStamp0.kStampNameE: a stamp needs a name"},
        {R"("kPagesE": ")" + longList + "\"", "kStamp0.kPagesE: a text of 258 characters is longer than the 256"},
        {R"("kTextE": ")" + std::string(4001, 'x') + "\"", "kStamp0.kTextE: a text of 4001 characters"},
        {R"("kOpacityS": 0, "kUnitC": 3, "kSizeE": 6, "kSizeS": 4800, "kStampType": 2, "kStyleStandardC": 13,
            "kRotationS": -360, "kVerticalS": -99999, "kPagesE": ")" + std::string(255, ' ') + "1\", \"kTextE\": \"" +
             std::string(4000, 'x') + "\"",
         nullptr},
        {pages("1-3,5"), nullptr},
        {pages("2-9odd,9-2 even"), nullptr},
        {pages("odd"), nullptr},
        {pages(""), nullptr},
        {pages("1-3;5"), "kStamp0.kPagesE: \"1-3;5\" is no page list: \";5\" follows a page number"},
        {pages("0"), "kStamp0.kPagesE: \"0\" is no page list: page 0 is outside the range 1 to 2147483647"},
        {pages("99999999999"), "kStamp0.kPagesE: \"99999999999\" is no page list: page 99999999999 is outside"},
        {pages("abc"), "kStamp0.kPagesE: \"abc\" is no page list: \"abc\" is no page number"},
        {pages("3-"), "kStamp0.kPagesE: \"3-\" is no page list: a page number is missing"},
        {pages("1-3,"), "kStamp0.kPagesE: \"1-3,\" is no page list: an empty item"},
        {pages(" odd"), "kStamp0.kPagesE: \" odd\" is no page list: \"odd\" is no page number"},
        {pages("5odd"), "kStamp0.kPagesE: \"5odd\" is no page list: \"odd\" follows a page number"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.stamp.substr(0, 60));
        std::string error;
        const auto profile = ProfileFromJson("{\"kStamp0\": {" + row.stamp + "}}", &error);
        if (!row.error) {
            EXPECT_TRUE(profile) << error;
            continue;
        }
        EXPECT_FALSE(profile);
        EXPECT_EQ(error.rfind(row.error, 0), 0u) << error;
    }
}

// A value as "type value" (numbers through std::to_string), so that a row
// checks the cabinet type as well as the value.
std::string Shown(const qmhost::CabinetValue& value) {
    if (const auto* v = std::get_if<qmhost::StringValue>(&value)) return "string " + v->text;
    if (const auto* v = std::get_if<int32_t>(&value)) return "int " + std::to_string(*v);
    if (const auto* v = std::get_if<double>(&value)) return "double " + std::to_string(*v);
    if (const auto* v = std::get_if<bool>(&value)) return *v ? "bool true" : "bool false";
    if (const auto* v = std::get_if<qmhost::BinaryValue>(&value)) return "binary " + v->bytes;
    if (const auto* v = std::get_if<std::unique_ptr<qmhost::HostText>>(&value)) return "text " + (*v)->utf8();
    if (const auto* v = std::get_if<std::unique_ptr<qmhost::Cabinet>>(&value))
        return "cabinet " + std::to_string((*v)->entries().size());
    return "other";
}

std::string NestedTooDeep() {
    std::string json = R"({"kStamp0": )";
    for (int i = 0; i < 40; ++i) json += R"({"a": )";
    return json + "1" + std::string(41, '}');
}

// Stamp keys get their cabinet types from the stamp model, unknown keys keep
// what JSON gives; stamp text line breaks become CR LF; the count of stamps is
// counted when missing; the action is base64 and its stored size its real
// length (a forged size is not kept: readers would trust it). Hand-written
// profiles keep two liberties: control characters standing raw in a string,
// and a bare decimal point. A UTF-8 byte-order mark may lead. A key given
// twice in one object, what would change a text unseen (an unknown
// escape, an unpaired surrogate), numbers beyond a double and values of the
// wrong type are refused, naming the key or the place of the fault.
TEST(ProfileJson, ReadsWhatAProfileHoldsAndRefusesTheRest) {
    const struct {
        const char* name;
        std::string json;
        const char* error;  // a part of the refusal, or null when read
        const char* key;    // the key read, at the top or in the first stamp
        std::string shown;  // its value as Shown() gives it
    } rows[] = {
        {"integer key", R"({"kStamp0": {"kSizeE": 10}})", nullptr, "kSizeE", "int 10"},
        {"whole number for a double key", R"({"kStamp0": {"kHorizontalS": 1}})", nullptr, "kHorizontalS",
         "double 1.000000"},
        {"double key", R"({"kStamp0": {"kWeightC": 0.5}})", nullptr, "kWeightC", "double 0.500000"},
        {"boolean key", R"({"kStamp0": {"kOverlay": true}})", nullptr, "kOverlay", "bool true"},
        {"string key", R"({"kStamp0": {"kStampNameE": "Bates"}})", nullptr, "kStampNameE", "string Bates"},
        {"text key", R"({"kStamp0": {"kPagesE": "1-3"}})", nullptr, "kPagesE", "text 1-3"},
        {"file text key", R"({"kStamp0": {"kSelectFileE": "/tmp/a.pdf"}})", nullptr, "kSelectFileE",
         "text /tmp/a.pdf"},
        {"stamp text line breaks", R"({"kStamp0": {"kTextE": "one\ntwo\r\nthree\n"}})", nullptr, "kTextE",
         "string one\r\ntwo\r\nthree\r\n"},
        {"count of stamps missing", R"({"kStamp0": {}, "kStamp1": {}})", nullptr, "kNumberOfStamps", "int 2"},
        {"action as base64", R"({"kStamp0": {"kActionC": "JVBERi0xLjQK"}})", nullptr, "kActionC",
         "binary %PDF-1.4\n"},
        {"forged action size", R"({"kStamp0": {"kActionC": "JVBERi0xLjQK", "kActionCFileSize": 99999}})", nullptr,
         "kActionCFileSize", "int 9"},
        {"unknown integer", R"({"kStamp0": {"xInt": 3}})", nullptr, "xInt", "int 3"},
        {"unknown real", R"({"kStamp0": {"xReal": 2.5}})", nullptr, "xReal", "double 2.500000"},
        {"unknown boolean", R"({"kStamp0": {"xFlag": false}})", nullptr, "xFlag", "bool false"},
        {"unknown string", R"({"kStamp0": {"xText": "t"}})", nullptr, "xText", "string t"},
        {"unknown object", R"({"kStamp0": {"xSub": {"a": 1}}})", nullptr, "xSub", "cabinet 1"},
        {"unknown binary", R"({"kStamp0": {"xBlob": {"$base64": "AAEC"}}})", nullptr, "xBlob",
         std::string("binary \0\1\2", 10)},
        {"raw tab and line break", "{\"kStamp0\": {\"kTextE\": \"a\tb\nc\"}}", nullptr, "kTextE", "string a\tb\r\nc"},
        {"point before the digits", R"({"kStamp0": {"kHorizontalS": .5}})", nullptr, "kHorizontalS",
         "double 0.500000"},
        {"point after the digits", R"({"kStamp0": {"kHorizontalS": 2.}})", nullptr, "kHorizontalS",
         "double 2.000000"},
        {"negative point before", R"({"kStamp0": {"kVerticalS": -.25}})", nullptr, "kVerticalS", "double -0.250000"},
        {"byte-order mark", "\xEF\xBB\xBF{\"kStamp0\": {\"kSizeE\": 7}}", nullptr, "kSizeE", "int 7"},
        {"key twice", R"({"kStamp0": {"kSizeE": 10, "kSizeE": 20}})", "kStamp0.kSizeE: the key is given twice",
         nullptr, ""},
        {"stamp twice", R"({"kStamp0": {}, "kStamp0": {}})", "kStamp0: the key is given twice", nullptr, ""},
        {"point in a string", R"({"kStamp0": {"kTextE": ".5 and 2."}})", nullptr, "kTextE", "string .5 and 2."},
        {"unknown escape", R"({"kStamp0": {"kTextE": "C:\temp\x"}})", "not valid JSON", nullptr, ""},
        {"unpaired surrogate", R"({"kStamp0": {"kTextE": "\ud800"}})", "not valid JSON", nullptr, ""},
        {"number beyond a double", R"({"kStamp0": {"kHorizontalS": 1e400}})", "not valid JSON", nullptr, ""},
        {"point alone", R"({"kStamp0": {"kHorizontalS": -.}})", "not valid JSON", nullptr, ""},
        {"control character outside strings", "{\x01\"kStamp0\": {}}", "not valid JSON", nullptr, ""},
        {"not JSON", "{", "not valid JSON", nullptr, ""},
        {"place of the fault", "{\n  \"kStamp0\": {\n    \"kSizeE\": ,\n", "line 3, column 15", nullptr, ""},
        {"top-level number", "5", "a profile is a JSON object", nullptr, ""},
        {"top-level array", "[]", "a profile is a JSON object", nullptr, ""},
        {"fraction for an integer", R"({"kStamp0": {"kSizeE": 12.5}})", "kStamp0.kSizeE: an integer", nullptr, ""},
        {"integer beyond 32 bits", R"({"kStamp0": {"kColorC": 4294967296}})", "kStamp0.kColorC", nullptr, ""},
        {"string for an integer", R"({"kStamp0": {"kStampType": "0"}})", "kStamp0.kStampType", nullptr, ""},
        {"number for a boolean", R"({"kStamp0": {"kOverlay": 1}})", "kStamp0.kOverlay: true or false", nullptr, ""},
        {"number for a string", R"({"kStamp0": {"kTextE": 5}})", "kStamp0.kTextE: a string", nullptr, ""},
        {"bad base64", R"({"kStamp0": {"kActionC": "***"}})", "kStamp0.kActionC: not valid base64", nullptr, ""},
        {"action not a PDF", R"({"kStamp0": {"kActionC": "aGVsbG8="}})", "kStamp0.kActionC: not a PDF document",
         nullptr, ""},
        {"stamp missing", R"({"kNumberOfStamps": 2, "kStamp0": {}})", "kStamp1: stamp 1 of 2 is missing", nullptr,
         ""},
        {"stamp not an object", R"({"kNumberOfStamps": 1, "kStamp0": 3})", "kStamp0", nullptr, ""},
        {"stamp beyond the count", R"({"kNumberOfStamps": 1, "kStamp0": {}, "kStamp1": {}})",
         "kStamp1: no stamp of the profile", nullptr, ""},
        {"stamp key with a leading zero", R"({"kStamp0": {}, "kStamp01": {}})", "kStamp01", nullptr, ""},
        {"negative count", R"({"kNumberOfStamps": -1})", "may not be negative", nullptr, ""},
        {"stamp key at the top", R"({"kTextE": "x"})", "kTextE: a stamp's key belongs in a stamp", nullptr, ""},
        {"stamp name leaving the folder", R"({"kStamp0": {"kStampNameE": "../x"}})",
         "kStamp0.kStampNameE: the stamp name is refused", nullptr, ""},
        {"stamp name ..", R"({"kStamp0": {"kStampNameE": ".."}})", "kStampNameE", nullptr, ""},
        {"NUL in a string", R"({"kStamp0": {"kTextE": "a\u0000b"}})", "NUL", nullptr, ""},
        {"null value", R"({"kStamp0": {"x": null}})", "kStamp0.x: arrays and null", nullptr, ""},
        {"nesting deeper than cabinets allow", NestedTooDeep(), "nested too deep", nullptr, ""},
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
        const qmhost::CabinetValue* value = profile->find(row.key);
        if (!value) value = Stamp(*profile, 0).find(row.key);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(Shown(*value), row.shown);
    }
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
