// CContentBalance: what a page's content leaves open, read as viewers read
// the operators (not inside strings, comments, arrays or inline images), the
// streams of a "Contents" array as one content.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/CContentBalance.h"

namespace {

struct BalanceRow {
    const char* name;
    std::vector<std::string> streams;  // fed one after the other
    const char* closing;               // ClosingOperators
    size_t unmatched = 0;              // UnmatchedRestores
    bool readable = true;
    bool endsInComment = false;
};

const BalanceRow kRows[] = {
    {"BalancedPage", {"q 1 0 0 rg BT /F1 12 Tf (x) Tj ET Q\n"}, ""},
    {"ScaleThenOpenSave", {"0.5 0 0 0.5 0 0 cm q BT /F1 40 Tf 72 700 Td (x) Tj ET"}, "Q "},
    {"ClipLeftOpen", {"0 1 0 rg 3 Tr q 0 0 100 100 re W n"}, "Q "},
    {"MarkedContentWithoutEnd", {"/OC /oc1 BDC 0 0 1 rg"}, "EMC "},
    {"RestoresBelowTheStart", {"Q Q 1 0 0 rg"}, "", 2},
    {"RestoreBelowBetweenPairs", {"q Q Q q"}, "Q ", 1},
    {"TextObjectLeftOpen", {"BT /F1 12 Tf (x) Tj"}, "ET "},
    {"ClosedNewestFirst", {"q /P BMC BT q"}, "Q ET EMC Q "},
    {"ARestoreClosesTheNewestSave", {"q BT Q"}, "ET "},
    {"OperatorsInStrings", {"(q \\) BT ( nested ) q) Tj"}, ""},
    {"OperatorsInComments", {"q % Q EMC\rBT %ET\n"}, "ET Q "},
    {"OperatorsInHexStringsAndNames", {"<51> /Q /q /BT Tf"}, ""},
    {"OperatorsInArraysAndDictionaries", {"[(a) q] TJ /P << /Q 1 /X [q] >> BDC"}, "EMC "},
    {"InlineImageData", {"BI /W 2 /H 1 /BPC 8 /CS /G ID Qq EI Q"}, "", 1},
    {"InlineImageDataHoldingEI", {"BI /W 4 /H 1 /BPC 8 /CS /G ID xEIq\nEIQ EI q"}, "Q "},
    {"InlineImageSplitBetweenStreams", {"q BI /W 1 /H 1 /BPC 8 /CS /G I", "D Q E", "I Q"}, ""},
    {"OperatorSplitBetweenStreams", {"q B", "T 1 0 0 rg E", "T E", "MC"}, "Q "},
    {"StringSplitBetweenStreams", {"q (a", " Q) Tj"}, "Q "},
    {"LastOperatorWithoutBlank", {"BT"}, "ET "},
    {"LongerTokensAreNoOperators", {"qq BTX ETQ Qs BMCX 12q"}, ""},
    {"StrayClosersAreIgnored", {"ET EMC ] >> ) > }"}, ""},
    {"EndsInAComment", {"q Q % the end"}, "", 0, true, true},
    {"EndsInsideAString", {"q (abc"}, "Q ", 0, false},
    {"EndsInsideAHexString", {"q <41"}, "Q ", 0, false},
    {"EndsInsideAnArray", {"q [1 2"}, "Q ", 0, false},
    {"EndsInsideAnInlineImage", {"BI /W 1 ID abc"}, "", 0, false},
};

class ContentBalanceRows : public testing::TestWithParam<BalanceRow> {};

TEST_P(ContentBalanceRows, OpenOperatorsAndRestoresBelowTheStart) {
    const BalanceRow& row = GetParam();
    CContentBalance balance;
    for (const std::string& stream : row.streams) balance.Feed(stream.data(), stream.size());
    balance.Finish();
    EXPECT_EQ(balance.ClosingOperators(), row.closing);
    EXPECT_EQ(balance.UnmatchedRestores(), row.unmatched);
    EXPECT_EQ(balance.IsReadable(), row.readable);
    EXPECT_EQ(balance.EndsInComment(), row.endsInComment);
    EXPECT_EQ(balance.IsBalanced(), std::string(row.closing).empty() && row.unmatched == 0 && !row.endsInComment);
}

INSTANTIATE_TEST_SUITE_P(Contents, ContentBalanceRows, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<BalanceRow>& row) { return std::string(row.param.name); });

// Memory stays bounded: content that opens or restores more than the limit is
// given up, not kept.
TEST(ContentBalance, MoreThanTheLimitIsGivenUp) {
    for (const char* op : {"q ", "Q ", "BT "}) {
        std::string content;
        for (size_t i = 0; i <= CContentBalance::kMaxOpen; ++i) content += op;
        CContentBalance balance;
        balance.Feed(content.data(), content.size());
        balance.Finish();
        EXPECT_FALSE(balance.IsReadable()) << op;
    }
}

}  // namespace
