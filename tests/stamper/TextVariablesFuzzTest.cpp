// Thousands of deterministic pseudo-random stamp texts, with document values
// that themselves hold variable names: the expansion always ends, its output
// is bounded, and the same input gives the same output.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "FuzzRandom.h"
#include "StampVariablesFixture.h"
#include "stamper/TextVariables.h"
#include "support/ResourceStrings.h"

namespace {

using qmtest::FakeDoc;
using qmtest::StampVariablesTest;
using Random = stamptest::FuzzRandom;

const char* const kPieces[] = {
    "$PageNo[", "$TotalPages", "$BatchPageNo[", "$BatchTotalPages", "$BatesNo[", "$BatesTotalPages",
    "$FileName", "$FilePath", "$Date", "$Time", "$Day", "$Month", "$Year", "$Hour", "$Min", "$Sec",
    "$PDInfoTitle", "$PDInfoSubject", "$PDInfoAuthor", "$PDInfoKeywords", "[", "]", "1", "-2", "0",
    "99999999999", " ", "x", "$", "$Page", "$PDInfo", "页", "\r\n", "ute", "/"};

std::string RandomText(Random& random, uint32_t maxPieces) {
    std::string text;
    const uint32_t pieces = random.Below(maxPieces + 1);
    for (uint32_t i = 0; i < pieces; ++i) {
        if (random.Below(10) == 0)
            text += static_cast<char>(random.Below(256));  // any byte, NUL and broken UTF-8 too
        else
            text += random.Pick(kPieces);
    }
    return text;
}

class TextVariablesFuzz : public StampVariablesTest {};

TEST_F(TextVariablesFuzz, RandomTextsAndValuesExpandToBoundedDeterministicText) {
    Random random(314159);
    int changed = 0;
    for (int round = 0; round < 4000; ++round) {
        auto& document = reader.documents[FakeDoc(1)];
        document.path = "/docs/" + RandomText(random, 6);
        for (const char* key : {"Title", "Subject", "Author", "Keywords"})
            document.info[key] = RandomText(random, 8);
        preferences.useRomanNumerals = static_cast<int32_t>(random.Below(4)) - 1;
        preferences.batesFixedLength = static_cast<int32_t>(random.Below(12)) - 2;
        counters().currentPage = static_cast<int32_t>(random.Below(4000010));
        counters().currentDocument = random.Below(8) == 0 ? nullptr : FakeDoc(1);

        const std::string text = RandomText(random, 40);
        const std::string once = ExpandStampVariables(text);
        const std::string what = "text \"" + text + "\"";
        ASSERT_LE(once.size(), std::max(kMaxExpandedTextLength, text.size())) << what;
        ASSERT_EQ(ExpandStampVariables(text), once) << what;
        if (text.find('$') == std::string::npos) {
            ASSERT_EQ(once, text) << what;
        }
        if (once != text) ++changed;
    }
    EXPECT_GT(changed, 2000);  // most texts hold a variable that expands
}

TEST_F(TextVariablesFuzz, ValuesMadeOfVariableNamesStayBounded) {
    Random random(2718);
    for (int round = 0; round < 40; ++round) {
        auto& document = reader.documents[FakeDoc(1)];
        std::string names;
        for (int i = 0; i < 300; ++i) names += random.Pick(kPieces);
        document.path = "/" + names;
        for (const char* key : {"Title", "Subject", "Author", "Keywords"})
            document.info[key] = names.substr(0, 249);
        const std::string text = RandomText(random, 60) + "$FileName$FilePath";
        const std::string out = ExpandStampVariables(text);
        ASSERT_LE(out.size(), kMaxExpandedTextLength) << text;
    }
}

}  // namespace
