// The batch command end to end: real PDF files run through the host's batch
// runner with stamp profiles, the outputs read back with pdftotext.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "BatchCommandFixture.h"
#include "stamper/StampKeys.h"
#include "support/HostTables.h"
#include "view/Cursors.h"

namespace {

using batchcmdtest::BatchCommandTest;
using batchcmdtest::StampsOf;
using batchcmdtest::WordsAfter;
using qmhost::BatchFileOutcome;
using stamptest::StampCab;
using stamptest::VisibleTextStamp;
using Words = std::vector<std::string>;

// "BN" Bates number, "PG" page number, "TP" pages of the document, at the bottom.
StampCab BatesStamp() { return VisibleTextStamp("Bates", "BN$BatesNo[1] PG$PageNo[1] TP$TotalPages"); }
// The file name and page count only: expanded once per document, at the top.
StampCab FileStamp() { return VisibleTextStamp("File", "FN$FileName TT$TotalPages", 36, 36, 0); }

TEST_F(BatchCommandTest, BatesNumbersRunOnAcrossFilesAndPageNumbersStartPerFile) {
    const auto result = Run(StampsOf(BatesStamp()), {Input("a.pdf", 2), Input("b.pdf", 3), Input("c.pdf", 1)});
    ASSERT_TRUE(result.allSaved()) << result.message;
    EXPECT_EQ(WordsAfter(outDir + "/a.pdf", "BN"), (Words{"000001", "000002"}));
    EXPECT_EQ(WordsAfter(outDir + "/b.pdf", "BN"), (Words{"000003", "000004", "000005"}));
    EXPECT_EQ(WordsAfter(outDir + "/c.pdf", "BN"), (Words{"000006"}));
    EXPECT_EQ(WordsAfter(outDir + "/b.pdf", "PG"), (Words{"1", "2", "3"}));
    EXPECT_EQ(WordsAfter(outDir + "/b.pdf", "TP"), (Words{"3", "3", "3"}));
}

TEST_F(BatchCommandTest, FileNameAndPageCountAreThoseOfTheDocumentBeingStamped) {
    // Text without page variables is expanded once, when the stamp is built:
    // the counters must name the document being stamped by then.
    const auto result = Run(StampsOf(FileStamp()), {Input("first.pdf", 2), Input("second.pdf", 3)});
    ASSERT_TRUE(result.allSaved()) << result.message;
    EXPECT_EQ(WordsAfter(outDir + "/first.pdf", "FN"), (Words{"first.pdf", "first.pdf"}));
    EXPECT_EQ(WordsAfter(outDir + "/second.pdf", "FN"), (Words{"second.pdf", "second.pdf", "second.pdf"}));
    EXPECT_EQ(WordsAfter(outDir + "/second.pdf", "TT"), (Words{"3", "3", "3"}));
}

TEST_F(BatchCommandTest, BatchPageNumbersOffsetByThePagesOfTheFilesBefore) {
    const auto result = Run(StampsOf(VisibleTextStamp("Batch", "BP$BatchPageNo[1]")),
                            {Input("a.pdf", 5), Input("b.pdf", 7), Input("c.pdf", 2)});
    ASSERT_TRUE(result.allSaved()) << result.message;
    EXPECT_EQ(WordsAfter(outDir + "/a.pdf", "BP").front(), "1");
    EXPECT_EQ(WordsAfter(outDir + "/b.pdf", "BP").front(), "6");
    EXPECT_EQ(WordsAfter(outDir + "/c.pdf", "BP"), (Words{"13", "14"}));
}

TEST_F(BatchCommandTest, AnErrorInOneFileIsReportedAndTheSequenceGoesOn) {
    const std::string broken = Input("b.pdf", 3);
    BreakPage(broken, 1);
    const std::string brokenBytes = qmtest::readBytes(broken);
    const auto result = Run(StampsOf(BatesStamp()), {Input("a.pdf", 2), broken, Input("c.pdf", 2)});
    ASSERT_TRUE(result.started) << result.message;
    EXPECT_EQ(result.files[0].outcome, BatchFileOutcome::Saved);
    EXPECT_EQ(result.files[1].outcome, BatchFileOutcome::Failed);
    EXPECT_EQ(result.files[1].status, kAVCommandInError);
    EXPECT_EQ(result.files[1].workCalls, 2) << "page 0 stamped, page 1 failed";
    EXPECT_EQ(result.files[1].reports, (Words{"error: Bates 引用的页面资源损坏"}));
    EXPECT_TRUE(result.files[1].progressEnded);
    EXPECT_FALSE(qmtest::fileExists(outDir + "/b.pdf"));
    EXPECT_EQ(qmtest::readBytes(broken), brokenBytes);
    ASSERT_EQ(result.files[2].outcome, BatchFileOutcome::Saved);
    // A file that failed has no output, so its pages take no Bates numbers.
    EXPECT_EQ(WordsAfter(outDir + "/c.pdf", "BN"), (Words{"000003", "000004"}));

    const std::string log = LogText();
    EXPECT_NE(log.find("Bates 引用的页面资源损坏\n\n" + std::string(74, '-') + "\n进程出错\n"), std::string::npos)
        << log;
}

TEST_F(BatchCommandTest, InputsAreUntouchedAndOutputsPassQpdfCheck) {
    const std::string a = Input("a.pdf", 2);
    const std::string before = qmtest::readBytes(a);
    const auto result = Run(StampsOf(BatesStamp(), FileStamp()), {a});
    ASSERT_TRUE(result.allSaved()) << result.message;
    EXPECT_EQ(qmtest::readBytes(a), before);
    EXPECT_EQ(qmtest::qpdfCheck(outDir + "/a.pdf").status, 0);
    EXPECT_EQ(WordsAfter(a, "BN"), (Words{"", ""}));
}

TEST_F(BatchCommandTest, ThreeStampsOverTenPagesTakeThirtyWorkCalls) {
    const auto result = Run(StampsOf(VisibleTextStamp("One", "SA$PageNo[1]"),
                                     VisibleTextStamp("Two", "SB$PageNo[1]", 36, 72),
                                     VisibleTextStamp("Three", "SC$PageNo[1]", 36, 108)),
                            {Input("ten.pdf", 10)});
    ASSERT_TRUE(result.allSaved()) << result.message;
    EXPECT_EQ(result.files[0].workCalls, 30);
    EXPECT_EQ(WordsAfter(outDir + "/ten.pdf", "SC").back(), "10");
}

TEST_F(BatchCommandTest, EvenPagesStampTakesOneCallPerPageAndNumbersFromTheFirstStampedPage) {
    StampCab even = VisibleTextStamp("Even", "EV$PageNo[1]");
    even.Int(kKeyStampOn, 2);
    const auto result = Run(StampsOf(std::move(even)), {Input("a.pdf", 4), Input("b.pdf", 2)});
    ASSERT_TRUE(result.allSaved()) << result.message;
    EXPECT_EQ(result.files[0].workCalls, 4);
    // The first stamped page (index 1) is number 1 for the whole sequence.
    EXPECT_EQ(WordsAfter(outDir + "/a.pdf", "EV"), (Words{"", "1", "", "3"}));
    EXPECT_EQ(WordsAfter(outDir + "/b.pdf", "EV"), (Words{"", "1"}));
}

// The total used to be the pages of every PDF file in the first document's
// folder: a one-file batch beside other PDFs, or a batch from two folders,
// printed a total that was not the batch's.
TEST_F(BatchCommandTest, BatesTotalCountsTheDocumentsOfTheSequenceOnce) {
    const std::string a = Input("a.pdf", 5);
    const std::string b = Input("b.pdf", 7);
    Input("beside.pdf", 4);  // in the same folder, not in the batch
    std::filesystem::create_directories(mFolder.file("other"));
    const std::string other = WritePdf("other/c.pdf", 3);
    struct Row {
        std::vector<std::string> batch;
        const char* total;
    };
    for (const Row& row : {Row{{a}, "000005"}, Row{{a, b, other}, "000015"}, Row{{other, a}, "000008"}}) {
        std::filesystem::remove_all(outDir);
        const auto result = Run(StampsOf(VisibleTextStamp("Total", "BT$BatesTotalPages")), row.batch);
        ASSERT_TRUE(result.allSaved()) << result.message;
        for (const std::string& input : row.batch)
            EXPECT_EQ(WordsAfter(qmhost::batchOutputPath(outDir, input), "BT").front(), row.total) << input;
    }
}

TEST_F(BatchCommandTest, UnknownStampTypesAreSkippedAndTheRestIsStamped) {
    StampCab odd;
    odd.Int(kKeyStampType, 7).String(kKeyStampName, "Odd");
    const auto result = Run(StampsOf(std::move(odd), BatesStamp()), {Input("a.pdf", 2)});
    ASSERT_TRUE(result.allSaved()) << result.message;
    EXPECT_EQ(WordsAfter(outDir + "/a.pdf", "BN"), (Words{"000001", "000002"}));
}

TEST_F(BatchCommandTest, EmptyProfileIsDoneNotAnError) {
    const auto result = Run({}, {Input("a.pdf", 2)});
    ASSERT_TRUE(result.started) << result.message;
    EXPECT_EQ(result.files[0].outcome, BatchFileOutcome::Saved);
    EXPECT_EQ(result.files[0].workCalls, 1);
    EXPECT_NE(LogText().find("\n进程完成\n"), std::string::npos);
}

TEST_F(BatchCommandTest, LaterStampThatDoesNotBuildIsAnErrorNotDone) {
    StampCab badRange = VisibleTextStamp("Range", "x");
    badRange.Int(kKeyPages, kPagesCustomList).Text(kKeyPageList, "9");
    const auto result = Run(StampsOf(BatesStamp(), std::move(badRange)), {Input("a.pdf", 2), Input("b.pdf", 1)});
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.files[0].outcome, BatchFileOutcome::Failed);
    EXPECT_EQ(result.files[0].status, kAVCommandInError);
    ASSERT_EQ(result.files[0].reports.size(), 1u);
    EXPECT_NE(result.files[0].reports[0].find("不能设置选择的页面范围"), std::string::npos);
    EXPECT_EQ(result.files[1].outcome, BatchFileOutcome::Failed) << "the sequence goes on";
    EXPECT_EQ(LogText().find("进程完成"), std::string::npos);
}

TEST_F(BatchCommandTest, StampBuiltWithAFontFailureIsSavedWithAWarningAndLoggedAsFailed) {
    StampCab font = VisibleTextStamp("Font", "FF$PageNo[1]");
    font.Int(kKeyStandardFont, 15);
    const auto result = Run(StampsOf(std::move(font)), {Input("a.pdf", 1)});
    ASSERT_TRUE(result.allSaved()) << result.message;
    EXPECT_EQ(result.files[0].reports, (Words{"warning: 创建标准字体 15 出错"}));
    EXPECT_NE(LogText().find("\n进程出错\n"), std::string::npos);
}

TEST_F(BatchCommandTest, CancelInTheMiddleRestoresTheDefaultCursorAndEndsProgress) {
    cursorPolicy = 1;
    int asked = 0;
    cancelRequested = [&] {
        if (++asked == 3) {
            EXPECT_EQ(qmhost::cursors().current(), gAppViewHFT->cursorGetStandard(kAVCursorWait));
            return true;
        }
        return false;
    };
    const auto result = Run(StampsOf(BatesStamp()), {Input("a.pdf", 5), Input("b.pdf", 1)});
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.files[0].outcome, BatchFileOutcome::Cancelled);
    EXPECT_TRUE(result.files[0].progressEnded);
    EXPECT_EQ(result.files[1].outcome, BatchFileOutcome::NotRun);
    EXPECT_EQ(qmhost::cursors().current(), nullptr) << "the default cursor is shown again";
    EXPECT_FALSE(qmtest::fileExists(outDir + "/a.pdf"));
}

TEST_F(BatchCommandTest, WaitCursorIsShownOnlyWhenTheHostAllowsIt) {
    cursorPolicy = 0;
    const auto result = Run(StampsOf(BatesStamp()), {Input("a.pdf", 1)});
    ASSERT_TRUE(result.allSaved());
    EXPECT_EQ(qmhost::cursors().changes(), 0);
    cursorPolicy = 1;
    const auto again = Run(StampsOf(BatesStamp()), {Input("b.pdf", 1)});
    ASSERT_TRUE(again.allSaved());
    EXPECT_EQ(qmhost::cursors().changes(), 2) << "wait cursor shown, then the default again";
    EXPECT_EQ(qmhost::cursors().current(), nullptr);
}

}  // namespace
