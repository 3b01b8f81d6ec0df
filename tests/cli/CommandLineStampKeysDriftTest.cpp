// The command line's profile JSON and the plug-in's stamp model are one
// definition: every key the plug-in defines (with the cabinet type it reads)
// is known to the JSON code with that kind, the JSON code knows no key the
// plug-in does not, and a profile crosses from either side to the other with
// every value equal. A key added, renamed or retyped on one side fails here.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "cli/ProfileJson.h"
#include "cli/ProfileJsonValues.h"
#include "cli/ProfileStore.h"
#include "common/PdfFixtures.h"
#include "common/PluginFixture.h"
#include "stamper/CCabinet.h"
#include "stamper/HostServices.h"
#include "stamper/StampKeys.h"
#include "support/HostTables.h"
#include "support/io/TFileSpecifier.h"

namespace {

using qmcli::KeyKind;

// The command line's kind of each cabinet value type a stamp key may hold.
KeyKind KindOf(int32_t valueType) {
    static const std::map<int32_t, KeyKind> kinds = {
        {kASCabValueInt, KeyKind::Int},   {kASCabValueDouble, KeyKind::Double},
        {kASCabValueBool, KeyKind::Bool}, {kASCabValueString, KeyKind::String},
        {kASCabValueText, KeyKind::Text}, {kASCabValueBinary, KeyKind::Binary},
    };
    const auto found = kinds.find(valueType);
    return found == kinds.end() ? KeyKind::Unknown : found->second;
}

// The keys the plug-in's stamp header defines: its kKey... constants' texts.
std::vector<std::string> KeysOfTheHeader() {
    // The test data folder is <source>/tests/data (whether or not it exists).
    const std::filesystem::path source = std::filesystem::path(QM_TEST_DATA_DIR).parent_path().parent_path();
    std::ifstream in(source / "plugin" / "stamper" / "StampKeys.h");
    std::stringstream text;
    text << in.rdbuf();
    const std::string header = text.str();
    static const std::regex kConstant(R"re(constexpr const char (kKey\w+)\[\] = "([^"]+)")re");
    std::vector<std::string> keys;
    for (auto it = std::sregex_iterator(header.begin(), header.end(), kConstant); it != std::sregex_iterator(); ++it) {
        // "kStamp" names the stamps' sub-cabinets by a number, no key itself.
        if ((*it)[1] != "kKeyStampPrefix") keys.push_back((*it)[2]);
    }
    return keys;
}

const StampKeyKind* PluginKey(const std::string& key) {
    for (const StampKeyKind& known : kStampKeyKinds)
        if (key == known.key) return &known;
    return nullptr;
}

// Each side's keys, each checked against the other's kind of it.
TEST(StampKeysDrift, TheHeaderThePluginAndTheCommandLineKnowTheSameKeysWithTheSameKinds) {
    const std::vector<std::string> keys = KeysOfTheHeader();
    ASSERT_GT(keys.size(), 30u) << "the header's keys could not be read";
    for (const std::string& key : keys) EXPECT_NE(PluginKey(key), nullptr) << key << " has no kind";
    for (const StampKeyKind& known : kStampKeyKinds) {
        ASSERT_NE(KindOf(known.valueType), KeyKind::Unknown) << known.key;
        EXPECT_EQ(qmcli::keyKind(known.key), KindOf(known.valueType)) << known.key;
    }
    for (const auto& [key, kind] : qmcli::knownKeyKinds()) {
        const StampKeyKind* known = PluginKey(std::string(key));
        ASSERT_NE(known, nullptr) << key << " is no key of the plug-in";
        EXPECT_EQ(KindOf(known->valueType), kind) << key;
    }
}

// --- round trips through a profile file

// The value a stamp holds under a key in these tests: distinct per key where
// the key's range allows, and one that a profile from JSON may give it.
struct Sample {
    int32_t integer;
    double real;
    bool flag;
    std::string text;
};

Sample SampleFor(size_t index, const char* key) {
    int32_t integer = static_cast<int32_t>(1000 + index);
    double real = 0.25 + static_cast<double>(index);
    if (const qmcli::ValueRange* range = qmcli::StampValueRange(key)) {
        const auto width = static_cast<int32_t>(range->high - range->low + 1);
        integer = static_cast<int32_t>(range->low) + static_cast<int32_t>(index) % width;
        real = range->low + std::fmod(real, range->high - range->low);
    }
    const std::string text =
        std::string(key) == "kPagesE" ? std::to_string(index) : "v" + std::to_string(index) + " ü";
    return {integer, real, index % 2 == 0, text};
}

// The keys a stamp cabinet holds; the action's length goes with the action.
bool InStamp(const StampKeyKind& known) {
    return std::string(known.key) != kKeyNumberOfStamps && std::string(known.key) != "kActionCFileSize";
}

// Calls visit(key, sample) for every key of a stamp cabinet (with
// withLength, the action's length key too), in the table's order.
template <class Visit>
void ForEachStampKey(bool withLength, Visit visit) {
    for (size_t i = 0; i < std::size(kStampKeyKinds); ++i) {
        const StampKeyKind& known = kStampKeyKinds[i];
        if (std::string(known.key) == kKeyNumberOfStamps || (!withLength && !InStamp(known))) continue;
        SCOPED_TRACE(known.key);
        visit(known, SampleFor(i, known.key));
    }
}

class StampKeysRoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        qmtest::StartLinkedPlugin();
        mFolder = qmtest::MakeTempFolder("qmkeys");
        const std::string pdf = mFolder + "/action.pdf";
        qmtest::writeFixturePdf(pdf, {qmtest::FixturePage{}});
        mAction = qmtest::readBytes(pdf);
    }
    std::string ProfilePath(const char* name) const { return mFolder + "/Profiles/" + name + ".nxp"; }
    // The key's value in a profile's JSON: the sample, the action as Base64,
    // the action's length for its length key.
    QJsonValue JsonOf(const StampKeyKind& known, const Sample& sample) const {
        switch (known.valueType) {
            case kASCabValueInt:
                return InStamp(known) ? QJsonValue(sample.integer) : QJsonValue(qint64(mAction.size()));
            case kASCabValueDouble:
                return sample.real;
            case kASCabValueBool:
                return sample.flag;
            case kASCabValueBinary:
                return QString::fromLatin1(QByteArray::fromStdString(mAction).toBase64());
            default:
                return QString::fromStdString(sample.text);
        }
    }

    // The profile file as the command line reads it holds the sample of every key.
    void ExpectSamplesIn(const char* name) const {
        std::string error;
        const auto read = qmcli::ProfileStore(mFolder).read(name, &error);
        ASSERT_TRUE(read) << error;
        const QJsonObject json =
            QJsonDocument::fromJson(QByteArray::fromStdString(qmcli::ProfileToJson(*read))).object();
        EXPECT_EQ(json.value(kKeyNumberOfStamps).toInteger(-1), 1);
        const QJsonObject stamp = json.value("kStamp0").toObject();
        ForEachStampKey(true, [&](const StampKeyKind& known, const Sample& sample) {
            const QJsonValue value = stamp.value(known.key);
            EXPECT_EQ(value, JsonOf(known, sample)) << QJsonDocument(QJsonArray{value}).toJson().toStdString();
        });
    }

    std::string mFolder;
    std::string mAction;  // a PDF document, as a link action is kept
};

TEST_F(StampKeysRoundTrip, WhatThePluginWritesTheCommandLineReadsEqual) {
    {
        CCabinet stamp;
        const ASCab cab = stamp.GetCab();
        ForEachStampKey(false, [&](const StampKeyKind& known, const Sample& sample) {
            switch (known.valueType) {
                case kASCabValueInt:
                    gASExtraHFT->cabPutInt(cab, known.key, sample.integer);
                    break;
                case kASCabValueDouble:
                    gASExtraHFT->cabPutDouble(cab, known.key, sample.real);
                    break;
                case kASCabValueBool:
                    gASExtraHFT->cabPutBool(cab, known.key, sample.flag);
                    break;
                case kASCabValueString:
                    gASExtraHFT->cabPutString(cab, known.key, sample.text.c_str());
                    break;
                case kASCabValueText:
                    gASExtraHFT->cabPutText(cab, known.key, CStringToASText(sample.text.c_str()));
                    break;
                case kASCabValueBinary:
                    stamp.PutBinary(known.key, mAction.data(), int64_t(mAction.size()));
                    break;
                default:
                    FAIL() << known.key;
            }
        });
        CCabinet profile;
        gASExtraHFT->cabPutInt(profile.GetCab(), kKeyNumberOfStamps, 1);
        gASExtraHFT->cabPutCab(profile.GetCab(), "kStamp0", gASExtraHFT->cabDup(cab));
        std::filesystem::create_directories(mFolder + "/Profiles");
        ASSERT_TRUE(profile.WriteToFile(TFileSpecifier(ProfilePath("written").c_str())));
    }

    ExpectSamplesIn("written");
}

TEST_F(StampKeysRoundTrip, WhatTheCommandLineWritesThePluginReadsEqual) {
    QJsonObject stamp;
    ForEachStampKey(false, [&](const StampKeyKind& known, const Sample& sample) {
        stamp.insert(known.key, JsonOf(known, sample));
    });
    QJsonObject json;
    json.insert(kKeyNumberOfStamps, 1);
    json.insert("kStamp0", stamp);
    std::string error;
    const auto profile = qmcli::ProfileFromJson(QJsonDocument(json).toJson().toStdString(), &error);
    ASSERT_TRUE(profile) << error;
    ASSERT_TRUE(qmcli::ProfileStore(mFolder).write("imported", *profile, false, &error)) << error;

    CCabinet read;
    ASSERT_TRUE(read.ReadFromFile(TFileSpecifier(ProfilePath("imported").c_str())));
    const ASCab cab = gASExtraHFT->cabGetCab(read.GetCab(), "kStamp0");
    ASSERT_NE(cab, nullptr);
    ForEachStampKey(true, [&](const StampKeyKind& known, const Sample&) {
        EXPECT_EQ(gASExtraHFT->cabGetType(cab, known.key), known.valueType);
    });
    // The values the plug-in holds: written again by it, they read as the samples.
    ASSERT_TRUE(read.WriteToFile(TFileSpecifier(ProfilePath("rewritten").c_str())));
    ExpectSamplesIn("rewritten");
}

}  // namespace
