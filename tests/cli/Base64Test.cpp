// Base64 of the binary values of profiles as JSON: what is read, what is
// refused as not base64, and bytes through encoding and back.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "cli/Base64.h"

namespace {

TEST(Base64, DecodesTheStandardAlphabetAndRefusesWhatIsNotBase64) {
    const struct {
        const char* text;
        bool read;
        std::string bytes;
    } rows[] = {
        {"", true, ""},
        {"JVBERi0xLjQK", true, "%PDF-1.4\n"},
        {"AA==", true, std::string(1, '\0')},
        {"AA", true, std::string(1, '\0')},  // padding may be left out
        {"AAA=", true, std::string(2, '\0')},
        {"AAA", true, std::string(2, '\0')},
        {"AB==", true, std::string(1, '\0')},  // bits beyond the last byte are ignored
        {"/w==", true, "\xFF"},
        {"+/+/", true, "\xFB\xFF\xBF"},
        {"A", false, ""},  // one character holds no byte: the text was cut
        {"AAAAA", false, ""},
        {"AA=", false, ""},
        {"A===", false, ""},
        {"=", false, ""},
        {"==", false, ""},
        {"AAAA==", false, ""},
        {"AA=A", false, ""},
        {" AA==", false, ""},
        {"AA\n==", false, ""},
        {"-_==", false, ""},  // the URL alphabet is another
    };
    for (const auto& row : rows) {
        const auto bytes = qmcli::DecodeBase64(row.text);
        EXPECT_EQ(bytes.has_value(), row.read) << '"' << row.text << '"';
        if (bytes && row.read) {
            EXPECT_EQ(*bytes, row.bytes) << '"' << row.text << '"';
        }
    }
}

TEST(Base64, BytesComeBackUnchangedInPaddedGroupsOfFour) {
    std::mt19937 random(5);
    for (size_t length = 0; length < 40; ++length) {
        std::string bytes(length, '\0');
        for (char& byte : bytes) byte = static_cast<char>(random());
        const std::string text = qmcli::EncodeBase64(bytes);
        EXPECT_EQ(text.size(), (length + 2) / 3 * 4) << length;
        // Decoding refuses any character outside the standard alphabet.
        EXPECT_EQ(qmcli::DecodeBase64(text), bytes) << text;
    }
    EXPECT_EQ(qmcli::EncodeBase64("%PDF-1.4\n"), "JVBERi0xLjQK");
    EXPECT_EQ(qmcli::EncodeBase64("\xFF"), "/w==");
}

}  // namespace
