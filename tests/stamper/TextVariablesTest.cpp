// Stamp-text variables: the table, each value, Roman numerals, Bates numbers,
// batch numbers across documents and values that hold variable names.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "StampVariablesFixture.h"
#include "stamper/RomanNumerals.h"
#include "stamper/TextVariables.h"
#include "support/ResourceStrings.h"

namespace {

using qmtest::FakeDoc;
using qmtest::MakeTime;
using qmtest::StampVariablesTest;

// --- the table

TEST(StampVariableTable, NamesAndLabelsInExpansionOrder) {
    const char* const expected[][2] = {
        {"$PageNo[", "Page No. []"},        {"$TotalPages", "Total pages"},
        {"$BatchPageNo[", "Batch Page No. []"}, {"$BatchTotalPages", "Batch Total pages"},
        {"$BatesNo[", "Bates No. []"},      {"$BatesTotalPages", "Bates Total pages"},
        {"$FileName", "File Name"},         {"$FilePath", "File Path"},
        {"$Date", "Date"},                  {"$Time", "Time"},
        {"$Day", "Day"},                    {"$Month", "Month"},
        {"$Year", "Year"},                  {"$Hour", "Hour"},
        {"$Min", "Minute"},                 {"$Sec", "Second"},
        {"$PDInfoTitle", "Title"},          {"$PDInfoSubject", "Subject"},
        {"$PDInfoAuthor", "Author"},        {"$PDInfoKeywords", "Keywords"},
    };
    static_assert(std::size(expected) == kStampVariableCount);
    for (int i = 0; i < kStampVariableCount; ++i) {
        EXPECT_STREQ(GetStampVariableName(i), expected[i][0]) << i;
        EXPECT_STREQ(GetStampVariableLabel(i), expected[i][1]) << i;
        EXPECT_LT(std::strlen(GetStampVariableName(i)), kStampVariableFieldSize);
    }
}

TEST_F(StampVariablesTest, IndexOutsideTheTableHasNoNameAndNoValue) {
    for (int index : {-1, int{kStampVariableCount}, INT_MAX}) {
        EXPECT_STREQ(GetStampVariableName(index), "") << index;
        EXPECT_STREQ(GetStampVariableLabel(index), "") << index;
        EXPECT_EQ(GetStampVariableValue(index), "") << index;
    }
}

// --- each variable, on a ten-page document whose path, information and clock
// the fixture sets (2024-03-07 09:05:03)

struct ExpandRow {
    const char* name;
    int32_t currentPage;  // 0-based
    const char* text;
    const char* expected;
};
void PrintTo(const ExpandRow& row, std::ostream* os) { *os << row.name; }

class ExpandStampVariablesRows : public StampVariablesTest,
                                 public ::testing::WithParamInterface<ExpandRow> {};

TEST_P(ExpandStampVariablesRows, GivesTheRowsText) {
    const ExpandRow& row = GetParam();
    counters().currentPage = row.currentPage;
    EXPECT_EQ(ExpandStampVariables(row.text), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ExpandStampVariablesRows,
    ::testing::Values(
        ExpandRow{"PageOfTotalOnTheThirdPage", 2, "Page $PageNo[1] of $TotalPages", "Page 3 of 10"},
        ExpandRow{"BracketNumberIsTheFirstPagesNumber", 0, "$PageNo[5]", "5"},
        ExpandRow{"BracketZero", 0, "$PageNo[0]", "0"},
        ExpandRow{"BracketNegative", 0, "$PageNo[-2]", "-2"},
        ExpandRow{"BracketWithoutDigitsReadsZero", 0, "$PageNo[x]", "0"},
        ExpandRow{"BracketWithBlanksAndTrailingText", 4, "$PageNo[ 10 pages]", "14"},
        ExpandRow{"BracketTextLongerThan255Characters", 0,
                  "$PageNo[                                                                  "
                  "                                                                          "
                  "                                                                          "
                  "                                        7]",
                  "7"},
        ExpandRow{"BracketSwallowsAVariableInside", 0, "$PageNo[abc $Date]", "0"},
        ExpandRow{"BatchPageOfASingleDocument", 3, "$BatchPageNo[1]", "4"},
        ExpandRow{"BatchTotalOfASingleDocumentIsItsPageCount", 0, "$BatchTotalPages", "10"},
        ExpandRow{"BatesNumberIsPadded", 0, "$BatesNo[1]", "000001"},
        ExpandRow{"BatesTotalIsPadded", 0, "$BatesTotalPages", "000010"},
        ExpandRow{"FileNameKeepsItsExtension", 0, "$FileName", "report.final.pdf"},
        ExpandRow{"FilePath", 0, "$FilePath", "/home/ann/docs/report.final.pdf"},
        ExpandRow{"DateInTheCLocale", 0, "$Date", "03/07/24"},
        ExpandRow{"TimeInTheCLocale", 0, "$Time", "09:05:03"},
        ExpandRow{"DayMonthYear", 0, "$Day.$Month.$Year", "07.03.24"},
        ExpandRow{"HourMinuteSecond", 0, "$Hour:$Min:$Sec", "09:05:03"},
        ExpandRow{"MinMatchesTheFrontOfALongerWord", 0, "$Minute", "05ute"},
        ExpandRow{"EveryOccurrenceIsReplaced", 0, "$Day/$Day", "07/07"},
        ExpandRow{"Title", 0, "$PDInfoTitle", "Annual report"},
        ExpandRow{"Subject", 0, "$PDInfoSubject", "Finance"},
        ExpandRow{"Author", 0, "$PDInfoAuthor", "张三"},
        ExpandRow{"Keywords", 0, "$PDInfoKeywords", "audit, 2024"},
        ExpandRow{"BracketWithoutCloseStaysAndOthersExpand", 0, "$PageNo[ on $Date",
                  "$PageNo[ on 03/07/24"},
        ExpandRow{"EmptyBracketStays", 0, "$PageNo[]", "$PageNo[]"},
        ExpandRow{"EmptyBracketStopsLaterOccurrencesOfItsName", 0, "$PageNo[] $PageNo[2]",
                  "$PageNo[] $PageNo[2]"},
        ExpandRow{"OccurrencesBeforeAnEmptyBracketAreReplaced", 1, "$PageNo[1] $PageNo[] $TotalPages",
                  "2 $PageNo[] 10"},
        ExpandRow{"ChineseTextAroundVariables", 0, "第 $PageNo[1] 页，共 $TotalPages 页",
                  "第 1 页，共 10 页"},
        ExpandRow{"AdjacentVariables", 0, "$TotalPages$TotalPages", "1010"},
        ExpandRow{"UnknownNameStays", 0, "$Unknown $ $PageNo", "$Unknown $ $PageNo"},
        ExpandRow{"EmptyText", 0, "", ""}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(StampVariablesTest, ExpansionSetsTheBracketOffset) {
    ExpandStampVariables("$PageNo[5]");
    EXPECT_EQ(counters().bracketOffset, 4);
    ExpandStampVariables("$BatesNo[-2]");
    EXPECT_EQ(counters().bracketOffset, -3);
    ExpandStampVariables("$PageNo[");  // no "]": the offset is reset and stays 0
    EXPECT_EQ(counters().bracketOffset, 0);
    ExpandStampVariables("$PageNo[-99999999999]");  // clamped, no overflow
    EXPECT_EQ(counters().bracketOffset, INT32_MIN);
}

TEST_F(StampVariablesTest, HugeBracketNumbersDoNotOverflow) {
    counters().currentPage = INT32_MAX;
    counters().firstStampedPage = INT32_MIN;
    EXPECT_EQ(ExpandStampVariables("$PageNo[2147483647]"), "6442450942");
}

TEST_F(StampVariablesTest, ClockIsReadWhenTheValueIsComputed) {
    EXPECT_EQ(ExpandStampVariables("$Year"), "24");
    now = MakeTime(1999, 12, 31, 23, 59, 58);
    EXPECT_EQ(ExpandStampVariables("$Date $Time"), "12/31/99 23:59:58");
    now = MakeTime(2000, 1, 1, 0, 0, 0);
    EXPECT_EQ(ExpandStampVariables("$Year"), "00");
}

TEST(DateVariables, OnlyTheKnownConversionsAreFormatted) {
    const std::tm time = MakeTime(2024, 3, 7, 9, 5, 3);
    EXPECT_EQ(FormatStampTime(time, 'x'), "03/07/24");
    EXPECT_EQ(FormatStampTime(time, 'X'), "09:05:03");
    for (char other : {'A', 'B', 'c', 'Y', '%', '\0'}) EXPECT_EQ(FormatStampTime(time, other), "") << other;
}

// --- document values

TEST_F(StampVariablesTest, WithoutACurrentDocumentDocumentValuesAreEmpty) {
    counters().currentDocument = nullptr;
    EXPECT_EQ(ExpandStampVariables("[$FileName|$FilePath|$PDInfoTitle|$PDInfoSubject|"
                                   "$PDInfoAuthor|$PDInfoKeywords] $TotalPages"),
              "[|||||] 10");
    EXPECT_EQ(reader.reads, 0);
}

TEST_F(StampVariablesTest, ValueThatCannotBeReadIsEmptyAndTheRestExpands) {
    counters().currentDocument = FakeDoc(99);  // the reader refuses it
    EXPECT_EQ(ExpandStampVariables("$FileName $PDInfoTitle $Day"), "  07");
}

TEST_F(StampVariablesTest, MissingInformationEntryIsEmpty) {
    reader.documents[FakeDoc(1)].info.erase("Keywords");
    EXPECT_EQ(ExpandStampVariables("<$PDInfoKeywords>"), "<>");
}

TEST_F(StampVariablesTest, FileWithoutAFolderOrWithoutAFileGivesWhatThereIs) {
    reader.documents[FakeDoc(1)].path = "plain.pdf";
    EXPECT_EQ(ExpandStampVariables("$FileName"), "plain.pdf");
    reader.documents[FakeDoc(1)].path = "";  // an untitled document
    EXPECT_EQ(ExpandStampVariables("<$FileName><$FilePath>"), "<><>");
}

// A value holding its own name used to be found again from the start of the
// text, over and over: the expansion never ended.
TEST_F(StampVariablesTest, ValueHoldingItsOwnNameIsInsertedOnce) {
    reader.documents[FakeDoc(1)].path = "/tmp/$FileName.pdf";
    reader.documents[FakeDoc(1)].info["Title"] = "$PDInfoTitle and $PDInfoTitle";
    EXPECT_EQ(ExpandStampVariables("$FileName"), "$FileName.pdf");
    EXPECT_EQ(ExpandStampVariables("$FileName, $FileName"), "$FileName.pdf, $FileName.pdf");
    EXPECT_EQ(ExpandStampVariables("$PDInfoTitle!"), "$PDInfoTitle and $PDInfoTitle!");
    // The path holds "$FileName" too; it stays, since $FileName comes earlier.
    EXPECT_EQ(ExpandStampVariables("$FilePath"), "/tmp/$FileName.pdf");
}

// A value holding a later entry's name used to be expanded: a file called
// "x $Date.pdf" showed the date in its name.
TEST_F(StampVariablesTest, ValuesAreNeverExpandedAgain) {
    reader.documents[FakeDoc(1)].path = "/d/x $Date $PageNo[1].pdf";
    reader.documents[FakeDoc(1)].info["Title"] = "by $PDInfoAuthor";
    EXPECT_EQ(ExpandStampVariables("F=$FileName"), "F=x $Date $PageNo[1].pdf");
    EXPECT_EQ(ExpandStampVariables("$FilePath"), "/d/x $Date $PageNo[1].pdf");
    EXPECT_EQ(ExpandStampVariables("$PDInfoTitle"), "by $PDInfoAuthor");
    // A name that a value and the text after it would form together is no name.
    reader.documents[FakeDoc(1)].path = "/d/$Da";
    EXPECT_EQ(ExpandStampVariables("$FileNamey"), "$Day");
}

TEST_F(StampVariablesTest, ManyLongValuesCannotGrowTheTextWithoutBound) {
    reader.documents[FakeDoc(1)].path = "/" + std::string(300, 'f') + "页";
    std::string text;
    for (int i = 0; i < 1000; ++i) text += "$FileName";
    const std::string out = ExpandStampVariables(text);
    EXPECT_LE(out.size(), kMaxExpandedTextLength);
    EXPECT_GT(out.size(), kMaxExpandedTextLength - 4);  // filled up to the bound, cut by character
    EXPECT_EQ(Utf8CompleteLength(out.data(), out.size()), out.size());
}

TEST_F(StampVariablesTest, LongTextWithoutVariablesIsKeptWhole) {
    const std::string text(kMaxExpandedTextLength + 100, 'a');
    EXPECT_EQ(ExpandStampVariables(text), text);
    EXPECT_EQ(ExpandStampVariables(text + "$TotalPages"), text + "10");
}

// --- Roman numerals

struct RomanRow {
    uint32_t number;
    const char* numeral;
};
void PrintTo(const RomanRow& row, std::ostream* os) { *os << row.number; }

class RomanNumeralRows : public ::testing::TestWithParam<RomanRow> {};

TEST_P(RomanNumeralRows, WritesTheNumeral) {
    char buffer[kRomanNumeralCapacity];
    std::memset(buffer, 'z', sizeof buffer);
    EXPECT_EQ(FormatRomanNumeral(GetParam().number, buffer, sizeof buffer), buffer);
    EXPECT_STREQ(buffer, GetParam().numeral);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RomanNumeralRows,
    ::testing::Values(RomanRow{0, ""}, RomanRow{1, "i"}, RomanRow{3, "iii"}, RomanRow{4, "iv"},
                      RomanRow{5, "v"}, RomanRow{8, "viii"}, RomanRow{9, "ix"}, RomanRow{14, "xiv"},
                      RomanRow{40, "xl"}, RomanRow{90, "xc"}, RomanRow{400, "cd"},
                      RomanRow{1994, "mcmxciv"}, RomanRow{3999, "mmmcmxcix"}, RomanRow{4000, "mv_"},
                      RomanRow{5000, "v_"}, RomanRow{9000, "mx_"}, RomanRow{10000, "x_"},
                      RomanRow{40000, "x_l_"}, RomanRow{500000, "d_"}, RomanRow{900000, "c_m_"},
                      RomanRow{2000000, "m_m_"}, RomanRow{3999999, "m_m_m_c_m_x_c_mx_cmxcix"},
                      RomanRow{3888888, "m_m_m_d_c_c_c_l_x_x_x_v_mmmdccclxxxviii"}),
    [](const auto& row) { return "Of" + std::to_string(row.param.number); });

TEST(RomanNumerals, FourMillionAndMoreHaveNoNumeral) {
    for (uint32_t number : {4000000u, 4000001u, static_cast<uint32_t>(-1), static_cast<uint32_t>(-14)}) {
        char buffer[kRomanNumeralCapacity] = "garbage";
        EXPECT_EQ(FormatRomanNumeral(number, buffer, sizeof buffer), nullptr) << number;
        EXPECT_STREQ(buffer, "") << number;
        EXPECT_EQ(RomanNumeral(number), "") << number;
    }
}

TEST(RomanNumerals, BufferTooSmallForTheLongestNumeralIsRefused) {
    char buffer[8] = "garbage";
    EXPECT_EQ(FormatRomanNumeral(1, buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(FormatRomanNumeral(1, nullptr, 100), nullptr);
}

struct RomanPreferenceRow {
    const char* name;
    int32_t useRoman;
    int32_t currentPage;
    const char* text;
    const char* expected;
};
void PrintTo(const RomanPreferenceRow& row, std::ostream* os) { *os << row.name; }

class RomanPageNumbers : public StampVariablesTest,
                         public ::testing::WithParamInterface<RomanPreferenceRow> {};

TEST_P(RomanPageNumbers, FollowThePreference) {
    const RomanPreferenceRow& row = GetParam();
    preferences.useRomanNumerals = row.useRoman;
    counters().currentPage = row.currentPage;
    EXPECT_EQ(ExpandStampVariables(row.text), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RomanPageNumbers,
    ::testing::Values(
        RomanPreferenceRow{"OneIsUpperCase", 1, 13, "$PageNo[1]", "XIV"},
        RomanPreferenceRow{"TwoIsLowerCase", 2, 13, "$PageNo[1]", "xiv"},
        RomanPreferenceRow{"AnyOtherPositiveIsLowerCase", 77, 13, "$PageNo[1]", "xiv"},
        RomanPreferenceRow{"ZeroIsDecimal", 0, 13, "$PageNo[1]", "14"},
        RomanPreferenceRow{"NegativeIsDecimal", -1, 13, "$PageNo[1]", "14"},
        RomanPreferenceRow{"TotalsAreRomanToo", 1, 0, "$TotalPages $BatchTotalPages", "X X"},
        RomanPreferenceRow{"UpperCaseKeepsTheThousandMark", 1, 3999, "$PageNo[1]", "MV_"},
        RomanPreferenceRow{"PageZeroHasNoNumeral", 2, 0, "<$PageNo[0]>", "<>"},
        RomanPreferenceRow{"NegativePageHasNoNumeral", 2, 0, "<$PageNo[-1]>", "<>"},
        RomanPreferenceRow{"RomanBatesNumberIsPadded", 2, 13, "$BatesNo[1]", "000xiv"},
        RomanPreferenceRow{"BatesNumberWithoutNumeralIsZerosOnly", 2, 0, "$BatesNo[0]", "000000"},
        RomanPreferenceRow{"BatesNumberBeyondNumeralsIsZerosOnly", 1, 0, "$BatesNo[4000000]",
                           "000000"}),
    [](const auto& row) { return std::string(row.param.name); });

// --- Bates numbers

TEST_F(StampVariablesTest, BatesNumbersArePaddedToTheFixedLength) {
    EXPECT_EQ(ExpandStampVariables("$BatesNo[1]"), "000001");
    preferences.batesFixedLength = 0;
    EXPECT_EQ(ExpandStampVariables("$BatesNo[1]"), "1");
    preferences.batesFixedLength = -5;
    EXPECT_EQ(ExpandStampVariables("$BatesNo[1]"), "1");
    preferences.batesFixedLength = 3;
    EXPECT_EQ(ExpandStampVariables("$BatesNo[1] $BatesTotalPages $PageNo[1]"), "001 010 1");
}

TEST_F(StampVariablesTest, LongerBatesNumberIsNeverCut) {
    counters().batchPageOffset = 1234566;
    EXPECT_EQ(ExpandStampVariables("$BatesNo[1]"), "1234567");
}

TEST_F(StampVariablesTest, HugeFixedLengthIsBounded) {
    preferences.batesFixedLength = INT32_MAX;
    const std::string out = ExpandStampVariables("$BatesNo[1]");
    EXPECT_EQ(out.size(), static_cast<size_t>(kMaxBatesFixedLength));
    EXPECT_EQ(out, std::string(kMaxBatesFixedLength - 1, '0') + "1");
}

TEST(BatesNumbers, PaddingPutsZerosInFront) {
    EXPECT_EQ(PadBatesNumber("42", 5), "00042");
    EXPECT_EQ(PadBatesNumber("", 2), "00");
    EXPECT_EQ(PadBatesNumber("123456", 5), "123456");
}

// --- batch numbers across documents

// The batch: document 1 of three pages, then document 2 of five; the page
// numbers of the batch run on from one document into the next, and the file
// name follows the document being stamped.
TEST_F(StampVariablesTest, BatchNumbersRunOnAcrossDocuments) {
    reader.documents[FakeDoc(2)] = {"/home/ann/docs/second.pdf", {}};
    StampRunCounters& c = counters();
    c.StartBatchSequence();
    c.batchTotalPages = 8;
    std::vector<std::string> stamped;
    for (auto [doc, pages] : {std::pair{FakeDoc(1), 3}, std::pair{FakeDoc(2), 5}}) {
        c.StartBatchDocument(doc, pages);
        for (int32_t page = 0; page < pages; ++page) {
            if (c.firstStampedPage < 0) c.firstStampedPage = page;
            c.currentPage = page;
            stamped.push_back(ExpandStampVariables(
                "$FileName $PageNo[1]/$TotalPages $BatchPageNo[1]/$BatchTotalPages $BatesNo[1]"));
        }
        c.FinishBatchDocument();
    }
    EXPECT_EQ(stamped, (std::vector<std::string>{
                           "report.final.pdf 1/3 1/8 000001",
                           "report.final.pdf 2/3 2/8 000002",
                           "report.final.pdf 3/3 3/8 000003",
                           "second.pdf 1/5 4/8 000004",
                           "second.pdf 2/5 5/8 000005",
                           "second.pdf 3/5 6/8 000006",
                           "second.pdf 4/5 7/8 000007",
                           "second.pdf 5/5 8/8 000008",
                       }));
    EXPECT_EQ(c.batchPageOffset, 8);
}

// Numbering starts at the first page a stamp's range held, counted in the
// document where that happened.
TEST_F(StampVariablesTest, BatchNumberingStartsAtTheFirstStampedPage) {
    StampRunCounters& c = counters();
    c.StartBatchSequence();
    EXPECT_EQ(c.firstStampedPage, -1);
    c.StartBatchDocument(FakeDoc(1), 4);
    c.firstStampedPage = 2;
    c.currentPage = 3;
    EXPECT_EQ(ExpandStampVariables("$BatchPageNo[1]"), "2");
    c.FinishBatchDocument();
    c.StartBatchDocument(FakeDoc(1), 4);
    c.currentPage = 0;
    EXPECT_EQ(ExpandStampVariables("$BatchPageNo[1] $PageNo[1]"), "3 -1");
    EXPECT_EQ(ExpandStampVariables("$BatchPageNo[101]"), "103");
}

TEST(StampRunCounters, StartSingleDocumentSetsEveryCounter) {
    StampRunCounters c{FakeDoc(7), 5, 6, 7, 8, 9, 10};
    c.StartSingleDocument(FakeDoc(3), 12);
    EXPECT_EQ(c.currentDocument, FakeDoc(3));
    EXPECT_EQ(c.batchPageOffset, 0);
    EXPECT_EQ(c.batchTotalPages, 12);
    EXPECT_EQ(c.firstStampedPage, 0);
    EXPECT_EQ(c.currentPage, 0);
    EXPECT_EQ(c.pageCount, 12);
    EXPECT_EQ(c.bracketOffset, 0);
}

TEST(StampRunCounters, BatchSequenceKeepsTheDocumentAndFinishingSaturates) {
    StampRunCounters c{FakeDoc(7), 5, 6, 7, 8, 9, 10};
    c.StartBatchSequence();
    EXPECT_EQ(c.currentDocument, FakeDoc(7));
    EXPECT_EQ(c.batchPageOffset, 0);
    EXPECT_EQ(c.batchTotalPages, 0);
    EXPECT_EQ(c.firstStampedPage, -1);
    EXPECT_EQ(c.bracketOffset, 0);
    EXPECT_EQ(c.pageCount, 9);  // set per document, not per sequence
    c.batchPageOffset = INT32_MAX - 1;
    c.StartBatchDocument(FakeDoc(8), 5);
    c.FinishBatchDocument();
    EXPECT_EQ(c.batchPageOffset, INT32_MAX);
}

TEST(StampRunCounters, OneRecordForTheProcess) {
    EXPECT_EQ(&GetStampRunCounters(), &GetStampRunCounters());
}

// --- page dependence

TEST(IsPageDependentText, OnlyBracketNumbersDependOnThePage) {
    for (const char* text : {"$PageNo[1]", "x $BatchPageNo[", "$BatesNo[3] of $BatesTotalPages"})
        EXPECT_TRUE(IsPageDependentText(text)) << text;
    for (const char* text : {"", "$TotalPages", "$BatchTotalPages $BatesTotalPages", "$PageNo",
                             "$FileName $Date $Time", "$pageno[1]"})
        EXPECT_FALSE(IsPageDependentText(text)) << text;
}

}  // namespace
