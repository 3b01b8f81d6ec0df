// The command line checks a profile's page list when it is imported, with its
// own reader (the host cannot include the plug-in's); the plug-in reads the same
// text when it stamps. Both take and refuse the same texts, so that an import
// never stores a list that every run then refuses. Import is stricter in two
// places only: after a leading "odd" or "even" (the plug-in reads "even3" as
// "even") and for page numbers past 2147483647 (the plug-in refuses them as
// beyond the document); an empty list is taken at import, as the key's default.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

#include "cli/ProfileJsonValues.h"
#include "stamper/CPageRangeSet.h"

namespace {

// On a document as long as a page number can be, only the grammar refuses.
bool PluginReads(const std::string& text) {
    CPageRangeSet set(INT32_MAX);
    return set.SetCustomRanges(text);
}

bool CommandLineReads(const std::string& text) {
    std::string why;
    return qmcli::CheckPageList(text, &why);
}

TEST(PageListDrift, CommandLineAndPluginReadTheSameTexts) {
    const char* const texts[] = {
        "1-3,5", "5-3", "2-9odd", "9-2 even", "odd", "even", " 3 ", "1,2,3", "1-1even", "+4", "1-3;5", "1 5",
        "1.5", "0", "3-", "-3", "1-3,", ",1", "1,,2", "5odd", "1-9oddly", "1-2-3", "1-9ODD", "abc", "3abc",
        "2147483647", "1-2147483647odd", "odd,even", "1-9 odd", "1 -9", "1- 9", "\t1\t", "页", "1-3,页",
        "3-odd", "1-3odd5",
    };
    for (const char* text : texts)
        EXPECT_EQ(CommandLineReads(text), PluginReads(text)) << "\"" << text << "\"";

    // Valid lists with a few bytes inserted, removed or changed: what import
    // takes, the plug-in reads.
    std::mt19937 random(20261207);
    const char* const valid[] = {"1-3,5", "2-9odd", "odd,even", "10-1even", "3", "9-2 odd", "1,2,3,4"};
    const std::string alphabet = "0123456789-, oddevn\t+.;x";
    for (int round = 0; round < 4000; ++round) {
        std::string text = valid[random() % std::size(valid)];
        for (size_t edit = 0, edits = 1 + random() % 3; edit < edits; ++edit) {
            const size_t at = text.empty() ? 0 : random() % text.size();
            const char byte = alphabet[random() % alphabet.size()];
            switch (random() % 3) {
                case 0: text.insert(at, 1, byte); break;
                case 1: if (!text.empty()) text.erase(at, 1); break;
                default: if (!text.empty()) text[at] = byte; break;
            }
        }
        if (!text.empty() && CommandLineReads(text)) {
            ASSERT_TRUE(PluginReads(text)) << "\"" << text << "\"";
        }
    }
}

}  // namespace
