// Page ranges and range sets: the custom-text grammar, the modes, every n-th
// page and the messages left on refusal.
#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>
#include <vector>

#include "stamper/CPageRange.h"
#include "stamper/CPageRangeSet.h"
#include "support/ResourceStrings.h"

namespace {

// The set's ranges in order, "a-b" for a range, "a-b/n" for every n-th page
// from a to b, and "a" for a single page.
std::string Describe(const CPageRangeSet& set) {
    std::string out;
    for (int32_t i = 0; i < set.GetCount(); ++i) {
        const CPageRange* range = set.GetRange(i);
        if (!out.empty()) out += ' ';
        out += std::to_string(range->GetFirst());
        if (range->GetLast() != range->GetFirst()) out += '-' + std::to_string(range->GetLast());
        if (range->GetLast() != range->GetFirst() && range->GetStep() != 1)
            out += '/' + std::to_string(range->GetStep());
    }
    return out;
}

// 1-based pages that ContainsPage answers true for, among 1..pageCount + 1.
std::vector<int> CoveredPages(const CPageRangeSet& set) {
    std::vector<int> pages;
    for (int page = 1; page <= set.GetPageCount() + 1; ++page)
        if (set.ContainsPage(page - 1)) pages.push_back(page);
    return pages;
}

// --- the custom-text grammar, on a ten-page document

struct GrammarRow {
    const char* name;
    const char* text;
    bool accepted;
    const char* ranges;   // Describe() of the set afterwards
    const char* message;  // the set's message afterwards
};
void PrintTo(const GrammarRow& row, std::ostream* os) { *os << row.name; }

class CustomRangeGrammar : public ::testing::TestWithParam<GrammarRow> {};

TEST_P(CustomRangeGrammar, ReadsTheTextAsTheRowSays) {
    const GrammarRow& row = GetParam();
    CPageRangeSet set(10);
    EXPECT_EQ(set.SetCustomRanges(row.text), row.accepted);
    EXPECT_EQ(set.GetMode(), CPageRangeSet::kCustomRanges);
    EXPECT_EQ(Describe(set), row.ranges);
    EXPECT_STREQ(set.GetMessage(), row.message);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CustomRangeGrammar,
    ::testing::Values(
        GrammarRow{"RangeAndSinglePage", "1-3,5", true, "1-3 5", ""},
        GrammarRow{"HighToLowRangeKeepsItsBounds", "5-3", true, "5-3", ""},
        GrammarRow{"OddPagesBetweenBounds", "2-9odd", true, "3-9/2", ""},
        GrammarRow{"OddPagesBetweenBoundsDownwards", "9-2odd", true, "9-3/2", ""},
        GrammarRow{"EvenPagesWithABlankBeforeEven", "1-9 even", true, "2-8/2", ""},
        GrammarRow{"EvenPagesDownwards", "10-1even", true, "10-2/2", ""},
        GrammarRow{"EvenPagesOfOneOddPageAreNone", "1-1even", true, "", ""},
        GrammarRow{"OddPageOfOneOddPageIsThatPage", "5-5odd", true, "5", ""},
        GrammarRow{"OddBoundsOnEvenNeighboursGiveOnePage", "2-4odd", true, "3", ""},
        GrammarRow{"OddTokenGivesEveryOddPage", "odd", true, "1-9/2", ""},
        GrammarRow{"EvenTokenGivesEveryEvenPage", "even", true, "2-10/2", ""},
        GrammarRow{"TokenBeginningWithEvenButHoldingOddIsOdd", "evenodd", true, "1-9/2", ""},
        GrammarRow{"OddWithBlanksAroundIt", "1-9 odd ", true, "1-9/2", ""},
        GrammarRow{"OddUpperCaseIsTextLeftOver", "1-9ODD", false, "", "结束页 9ODD 的数字后面有多余的文字 ODD 。"},
        GrammarRow{"BlanksAroundANumber", " 3 ", true, "3", ""},
        GrammarRow{"PlusSign", "+4", true, "4", ""},
        GrammarRow{"LettersBehindANumber", "3abc", false, "", "起始页 3abc 的数字后面有多余的文字 abc 。"},
        GrammarRow{"SemicolonIsNotASeparator", "1-3;5", false, "", "结束页 3;5 的数字后面有多余的文字 ;5 。"},
        GrammarRow{"BlankIsNotASeparator", "1 5", false, "", "起始页 1 5 的数字后面有多余的文字 5 。"},
        GrammarRow{"DecimalPoint", "1.5", false, "", "起始页 1.5 的数字后面有多余的文字 .5 。"},
        GrammarRow{"OddBehindAStartIsTextLeftOver", "3odd-5", false, "", "起始页 3odd 的数字后面有多余的文字 odd 。"},
        GrammarRow{"SecondDash", "1-2-3", false, "", "结束页 2-3 的数字后面有多余的文字 -3 。"},
        GrammarRow{"SamePageTwiceStaysTwice", "2,2", true, "2 2", ""},
        GrammarRow{"LastPage", "10", true, "10", ""},
        GrammarRow{"BlankBeforeOddIsNotTheOddToken", " odd", false, "", "起始页 odd 必须是个数字。"},
        GrammarRow{"ZeroIsBelowOne", "0", false, "", "起始页必须大于或等于 1。"},
        GrammarRow{"LettersAreNotANumber", "abc", false, "", "起始页 abc 必须是个数字。"},
        GrammarRow{"MissingEndShowsAnEmptyText", "3-", false, "", "结束页  必须是个数字。"},
        GrammarRow{"MissingStartShowsAnEmptyText", "-3", false, "", "起始页  必须是个数字。"},
        GrammarRow{"EndZero", "3-0", false, "", "结束页必须大于或等于 1。"},
        GrammarRow{"NegativeEnd", "1--3", false, "", "结束页必须大于或等于 1。"},
        GrammarRow{"PageBeyondDocument", "12", false, "", "起始页 12 超出了文档页码。"},
        GrammarRow{"EndBeyondDocument", "3-12", false, "", "结束页 12 超出了文档页码。"},
        GrammarRow{"BeyondDocumentShowsTheTextUntrimmed", "3- 12", false, "",
                   "结束页  12 超出了文档页码。"},
        GrammarRow{"HugeNumberIsBeyondTheDocument", "99999999999", false, "",
                   "起始页 99999999999 超出了文档页码。"},
        GrammarRow{"OddBoundBeyondDocument", "2-11odd", false, "", "结束页 11odd 超出了文档页码。"},
        GrammarRow{"TrailingCommaFailsAfterEarlierRanges", "1-3,", false, "1-3", "必须适当定义页面范围 1-3, 。"},
        GrammarRow{"EmptyTextIsOneEmptyToken", "", false, "", "必须适当定义页面范围  。"},
        GrammarRow{"FailureStopsTheList", "1,abc,3", false, "1", "起始页 abc 必须是个数字。"},
        GrammarRow{"EmptyTokenInTheMiddleStopsTheList", "1,,3", false, "1", "必须适当定义页面范围 1,,3 。"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CPageRangeSet, HighToLowRangeCoversThePagesBetween) {
    CPageRangeSet set(10);
    ASSERT_TRUE(set.SetCustomRanges("5-3"));
    EXPECT_EQ(CoveredPages(set), (std::vector<int>{3, 4, 5}));
}

// Each "odd" token used to make one range per page: a short text on a long
// document filled memory.
TEST(CPageRangeSet, RepeatedOddAndEvenTokensAddOneRangeEach) {
    std::string text = "odd";
    for (int i = 0; i < 99; ++i) text += i % 2 ? ",odd" : ",1-29999even";
    CPageRangeSet set(30000);
    ASSERT_TRUE(set.SetCustomRanges(text));
    EXPECT_EQ(set.GetCount(), 100);
    ASSERT_TRUE(set.SetMode(CPageRangeSet::kEvenPages));
    EXPECT_EQ(set.GetCount(), 1);
    EXPECT_TRUE(set.ContainsPage(29999));
    EXPECT_FALSE(set.ContainsPage(29998));
}

TEST(CPageRange, SteppedRangeCoversEveryNthPageBetweenItsBounds) {
    const CPageRange range(9, 2, 2);
    EXPECT_EQ(range.GetLast(), 3) << "moved onto the last page the steps reach";
    EXPECT_EQ(range.GetPageCount(), 4);
    std::vector<int> covered;
    for (int32_t index = 0; index < 10; ++index)
        if (range.ContainsPage(index)) covered.push_back(index + 1);
    EXPECT_EQ(covered, (std::vector<int>{3, 5, 7, 9}));
}

// A range given high to low used to count -1 pages and to stamp nothing.
TEST(CPageRange, HighToLowRangeCountsThePagesItCovers) {
    const CPageRange range(5, 3);
    EXPECT_EQ(range.GetPageCount(), 3);
    EXPECT_EQ(CPageRange(3, 5).GetPageCount(), 3);
    EXPECT_EQ(CPageRange(4, 4).GetPageCount(), 1);
    EXPECT_EQ(CPageRange(1, INT32_MAX).GetPageCount(), INT32_MAX);
    EXPECT_EQ(CPageRange(INT32_MAX, 1).GetPageCount(), INT32_MAX);
}

TEST(CPageRange, HighToLowRangeStampsItsPagesLowToHigh) {
    const CPageRange range(5, 3);
    std::vector<int32_t> order;
    for (int32_t page = range.GetLowPage(); page <= range.GetHighPage(); ++page) order.push_back(page);
    EXPECT_EQ(order, (std::vector<int32_t>{3, 4, 5}));
    EXPECT_EQ(range.GetFirst(), 5);  // the bounds themselves stay as written
    EXPECT_EQ(range.GetLast(), 3);
}

TEST(CPageRangeSet, SuccessDoesNotEmptyTheMessage) {
    CPageRangeSet set(10);
    EXPECT_FALSE(set.SetCustomRanges("abc"));
    EXPECT_TRUE(set.SetCustomRanges("2"));
    EXPECT_STREQ(set.GetMessage(), "起始页 abc 必须是个数字。");
}

TEST(CPageRangeSet, NewTextReplacesTheRangesOfTheLastOne) {
    CPageRangeSet set(10);
    ASSERT_TRUE(set.SetCustomRanges("1-3,7"));
    ASSERT_TRUE(set.SetCustomRanges("9"));
    EXPECT_EQ(Describe(set), "9");
}

TEST(CPageRangeSet, TokenLongerThanItsLimitIsRefusedShowingTheToken) {
    CPageRangeSet set(10);
    const std::string token = std::string(CPageRangeSet::kMaxTokenLength - 1, ' ') + "2";
    ASSERT_TRUE(set.SetCustomRanges(token));  // at the limit: a blank-padded page number
    const std::string longToken = " " + token;
    EXPECT_FALSE(set.SetCustomRanges("1," + longToken));
    EXPECT_EQ(Describe(set), "1");
    EXPECT_EQ(std::string(set.GetMessage()), "必须适当定义页面范围 " + longToken + " 。");
}

TEST(CPageRangeSet, MessageOfAHugeTokenIsBoundedAtACharacterBoundary) {
    CPageRangeSet set(10);
    std::string token;
    for (int i = 0; i < 2000; ++i) token += "页";
    EXPECT_FALSE(set.SetCustomRanges(token));
    const std::string message = set.GetMessage();
    EXPECT_LE(message.size(), 1024u);
    EXPECT_EQ(message.rfind("必须适当定义页面范围 页页", 0), 0u);
    EXPECT_EQ(Utf8CompleteLength(message.data(), message.size()), message.size());
}

TEST(CPageRangeSet, TextEndsAtANul) {
    CPageRangeSet set(10);
    EXPECT_TRUE(set.SetCustomRanges(std::string_view("1-2\0,9", 6)));
    EXPECT_EQ(Describe(set), "1-2");
    EXPECT_EQ(set.AddRangeFromText(std::string_view("x\0y", 3), "1"), nullptr);
    EXPECT_EQ(std::string(set.GetMessage()), "起始页 x 必须是个数字。");
}

// --- modes

struct ModeRow {
    const char* name;
    int32_t pageCount;
    int32_t mode;
    const char* ranges;
};
void PrintTo(const ModeRow& row, std::ostream* os) { *os << row.name; }

class RangeSetModes : public ::testing::TestWithParam<ModeRow> {};

TEST_P(RangeSetModes, MakeTheRangesOfTheMode) {
    const ModeRow& row = GetParam();
    CPageRangeSet set(row.pageCount);
    ASSERT_TRUE(set.SetMode(row.mode));
    EXPECT_EQ(set.GetMode(), row.mode);
    EXPECT_EQ(Describe(set), row.ranges);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RangeSetModes,
    ::testing::Values(ModeRow{"AllPages", 10, CPageRangeSet::kAllPages, "1-10"},
                      ModeRow{"OddPages", 10, CPageRangeSet::kOddPages, "1-9/2"},
                      ModeRow{"EvenPages", 10, CPageRangeSet::kEvenPages, "2-10/2"},
                      ModeRow{"OddPagesOfAnOddCount", 5, CPageRangeSet::kOddPages, "1-5/2"},
                      ModeRow{"FirstPage", 10, CPageRangeSet::kFirstPage, "1"},
                      ModeRow{"LastPage", 10, CPageRangeSet::kLastPage, "10"},
                      ModeRow{"CustomIsEmptyUntilATextIsRead", 10, CPageRangeSet::kCustomRanges, ""},
                      ModeRow{"EvenPagesOfAOnePageDocumentAreNone", 1, CPageRangeSet::kEvenPages, ""},
                      ModeRow{"AllPagesOfAOnePageDocument", 1, CPageRangeSet::kAllPages, "1"},
                      ModeRow{"NoPagesNoRanges", 0, CPageRangeSet::kAllPages, ""},
                      ModeRow{"NoPagesNoLastPage", 0, CPageRangeSet::kLastPage, ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(CPageRangeSet, NewSetHoldsAllPages) {
    CPageRangeSet set(7);
    EXPECT_EQ(set.GetMode(), CPageRangeSet::kAllPages);
    EXPECT_EQ(Describe(set), "1-7");
    EXPECT_STREQ(set.GetMessage(), "");
}

TEST(CPageRangeSet, ModeOutsideTheTableIsRefusedAndKeepsTheRanges) {
    for (int32_t mode : {int32_t{CPageRangeSet::kEveryNthPage}, 7, -1}) {
        CPageRangeSet set(10);
        ASSERT_TRUE(set.SetMode(CPageRangeSet::kOddPages));
        EXPECT_FALSE(set.SetMode(mode)) << mode;
        EXPECT_EQ(set.GetMode(), CPageRangeSet::kAllPages) << mode;
        EXPECT_EQ(Describe(set), "1-9/2") << mode;
    }
}

// --- every n-th page

TEST(CPageRangeSet, EveryNthPageFromAStartPage) {
    CPageRangeSet set(10);
    ASSERT_TRUE(set.SetEveryNthPage(1, 3));
    EXPECT_EQ(set.GetMode(), CPageRangeSet::kEveryNthPage);
    EXPECT_EQ(Describe(set), "1-10/3");
    EXPECT_EQ(CoveredPages(set), (std::vector<int>{1, 4, 7, 10}));
    ASSERT_TRUE(set.SetEveryNthPage(2, 3));
    EXPECT_EQ(Describe(set), "2-8/3") << "the last bound is the last page the steps reach";
    ASSERT_TRUE(set.SetEveryNthPage(10, 1));
    EXPECT_EQ(Describe(set), "10");
}

TEST(CPageRangeSet, EveryNthPageWithAHugeStepStopsAtTheFirstPage) {
    CPageRangeSet set(INT32_MAX);
    ASSERT_TRUE(set.SetEveryNthPage(INT32_MAX - 1, INT32_MAX));  // the next page would overflow
    EXPECT_EQ(Describe(set), std::to_string(INT32_MAX - 1));
}

TEST(CPageRangeSet, EveryNthPageFromBeyondTheDocumentIsRefused) {
    CPageRangeSet set(10);
    EXPECT_FALSE(set.SetEveryNthPage(11, 2));
    EXPECT_STREQ(set.GetMessage(), "起始页 11 超出了文档页码。");
    EXPECT_EQ(set.GetCount(), 0);
}

// A start below 1 used to name page 0 and pages before it.
TEST(CPageRangeSet, EveryNthPageWithAStartBelowOneIsRefused) {
    for (int32_t start : {0, -3, INT32_MIN}) {
        CPageRangeSet set(10);
        EXPECT_FALSE(set.SetEveryNthPage(start, 2)) << start;
        EXPECT_STREQ(set.GetMessage(), "起始页必须大于或等于 1。") << start;
        EXPECT_EQ(set.GetCount(), 0) << start;
    }
}

// A step below 1 used to loop for ever.
TEST(CPageRangeSet, EveryNthPageWithAStepBelowOneIsRefusedNotEndless) {
    CPageRangeSet set(10);
    EXPECT_FALSE(set.SetEveryNthPage(1, 0));
    EXPECT_STREQ(set.GetMessage(), "必须适当定义页面范围 0 。");
    EXPECT_FALSE(set.SetEveryNthPage(2, -5));
    EXPECT_STREQ(set.GetMessage(), "必须适当定义页面范围 -5 。");
    EXPECT_EQ(set.GetCount(), 0);
}

// --- single ranges and look-ups

TEST(CPageRange, SetRefusesAStartBelowOneAndChangesNothing) {
    CPageRange range(2, 4);
    EXPECT_FALSE(range.Set(0, 5));
    EXPECT_STREQ(range.GetMessage(), "起始页必须大于或等于 1。");
    EXPECT_EQ(range.GetFirst(), 2);
    EXPECT_EQ(range.GetLast(), 4);
}

TEST(CPageRange, SetRefusingTheEndKeepsTheNewStart) {
    CPageRange range(2, 4);
    EXPECT_FALSE(range.Set(3, -1));
    EXPECT_STREQ(range.GetMessage(), "结束页必须大于或等于 1。");
    EXPECT_EQ(range.GetFirst(), 3);
    EXPECT_EQ(range.GetLast(), 4);
}

TEST(CPageRange, ConstructionEmptiesTheMessageOfARefusedBound) {
    const CPageRange range(0, 3);
    EXPECT_STREQ(range.GetMessage(), "");
    EXPECT_EQ(range.GetFirst(), 0);
    EXPECT_EQ(range.GetLast(), 0);
    const CPageRange empty;
    EXPECT_EQ(empty.GetFirst(), 0);
    EXPECT_EQ(empty.GetLast(), 0);
}

TEST(CPageRange, ParseTrimsAndShowsTheTrimmedText) {
    CPageRange range;
    EXPECT_TRUE(range.Parse("\t 2 ", " 6\t"));
    EXPECT_EQ(range.GetFirst(), 2);
    EXPECT_EQ(range.GetLast(), 6);
    EXPECT_FALSE(range.Parse("  x1 ", "3"));
    EXPECT_STREQ(range.GetMessage(), "起始页 x1 必须是个数字。");
    EXPECT_FALSE(range.Parse("1", " - "));
    EXPECT_STREQ(range.GetMessage(), "结束页 - 必须是个数字。");
    EXPECT_FALSE(range.Parse("1", " 4 x "));
    EXPECT_STREQ(range.GetMessage(), "结束页 4 x 的数字后面有多余的文字 x 。");
}

TEST(CPageRange, ContainsPageTakesAZeroBasedIndexEitherWay) {
    for (const CPageRange& range : {CPageRange(3, 5), CPageRange(5, 3)}) {
        EXPECT_FALSE(range.ContainsPage(1));
        EXPECT_TRUE(range.ContainsPage(2));
        EXPECT_TRUE(range.ContainsPage(4));
        EXPECT_FALSE(range.ContainsPage(5));
        EXPECT_FALSE(range.ContainsPage(INT32_MIN));
    }
}

TEST(CPageRangeSet, ContainsPageOfAnEmptySetIsFalse) {
    CPageRangeSet set(10);
    ASSERT_TRUE(set.SetMode(CPageRangeSet::kCustomRanges));
    EXPECT_FALSE(set.ContainsPage(0));
    EXPECT_EQ(CoveredPages(set), std::vector<int>{});
}

TEST(CPageRangeSet, ContainsPageOfOddAndEvenModes) {
    CPageRangeSet set(6);
    ASSERT_TRUE(set.SetMode(CPageRangeSet::kEvenPages));
    EXPECT_EQ(CoveredPages(set), (std::vector<int>{2, 4, 6}));
    ASSERT_TRUE(set.SetMode(CPageRangeSet::kLastPage));
    EXPECT_EQ(CoveredPages(set), (std::vector<int>{6}));
}

TEST(CPageRangeSet, GetRangeOutsideTheSetIsNull) {
    CPageRangeSet set(10);
    EXPECT_NE(set.GetRange(0), nullptr);
    EXPECT_EQ(set.GetRange(1), nullptr);
    EXPECT_EQ(set.GetRange(-1), nullptr);
    set.Clear();
    EXPECT_EQ(set.GetCount(), 0);
    EXPECT_EQ(set.GetRange(0), nullptr);
}

TEST(CPageRangeSet, AddRangeChecksAgainstThePageCountWithoutAppending) {
    CPageRangeSet set(10);
    const int32_t before = set.GetCount();
    auto range = set.AddRange(2, 10);
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(range->GetFirst(), 2);
    EXPECT_EQ(set.GetCount(), before);
    EXPECT_EQ(set.AddRange(11, 3), nullptr);
    EXPECT_STREQ(set.GetMessage(), "起始页 11 超出了文档页码。");
    EXPECT_EQ(set.AddRange(3, 11), nullptr);
    EXPECT_STREQ(set.GetMessage(), "结束页 11 超出了文档页码。");
    EXPECT_EQ(set.AddRange(0, 3), nullptr);
    EXPECT_STREQ(set.GetMessage(), "起始页必须大于或等于 1。");
    // A refused bound is reported even when the other one is beyond the document.
    EXPECT_EQ(set.AddRange(-1, 20), nullptr);
    EXPECT_STREQ(set.GetMessage(), "起始页必须大于或等于 1。");
    EXPECT_EQ(set.GetCount(), before);
}

TEST(CPageRangeSet, AddRangeFromTextShowsTheTextsAsGiven) {
    CPageRangeSet set(10);
    EXPECT_EQ(set.AddRangeFromText(" 11 ", "12"), nullptr);
    EXPECT_STREQ(set.GetMessage(), "起始页  11  超出了文档页码。");
    EXPECT_NE(set.AddRangeFromText(" 9 ", "10 "), nullptr);
}

}  // namespace
