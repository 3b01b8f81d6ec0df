// How a stamp walks its pages: the order, the progress it reports, a cancel
// seen after a page, a page that cannot be written, the one-page form; and the
// run's progress state itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StampRunFixture.h"
#include "engine/CPDFElement.h"
#include "engine/CPDFTextElement.h"
#include "stamper/CTextStamp.h"
#include "stamper/RunProgress.h"
#include "stamper/StampKeys.h"
#include "stamper/StampRunCounters.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"
#include "support/io/UserCancel.h"

namespace {

using stamptest::RecordingMonitor;
using stamptest::StampCab;

using StampApplyTest = stamptest::OneDocumentTest;

// --- Apply: progress, cancel, failures

TEST_F(StampApplyTest, ProgressStepIsThePageCountOverThePagesOfTheSet) {
    RecordingMonitor monitor;
    UseMonitor(monitor);
    StampCab cab = stamptest::VisibleTextStamp("S", "stamp");
    cab.Int(kKeyStampOn, 1);  // 3 of 6 pages
    CTextStamp stamp(cab.Get());
    {
        RunProgressScope progress(nullptr, 6);
        EXPECT_TRUE(stamp.Apply(mDoc, false));
    }
    EXPECT_EQ(monitor.calls, (std::vector<std::string>{"begin", "duration 6", "value 0", "value 2", "value 4",
                                                      "value 6", "end"}));
}

TEST_F(StampApplyTest, CancelIsSeenAfterThePageItCameWithAndEndsTheStamp) {
    RecordingMonitor monitor;
    monitor.onValue = [](int32_t value) {
        if (value == 2) SetUserCancelled(true);  // while page 2 is being written
    };
    UseMonitor(monitor);
    StampCab cab = stamptest::VisibleTextStamp("S", "stamp");
    CTextStamp stamp(cab.Get());
    {
        RunProgressScope progress(nullptr, 6);
        EXPECT_FALSE(stamp.Apply(mDoc, true));
    }
    EXPECT_FALSE(stamp.IsBuilt()) << "a cancel ends the run";
    EXPECT_EQ(stamp.GetMessage(), "进程被用户停止");
    EXPECT_STREQ(GetErrorMessage(), "进程被用户停止");
    EXPECT_EQ(StampedPages(), (std::vector<int32_t>{1, 2})) << "the page of the cancel stays stamped";
}

TEST_F(StampApplyTest, CancelIsNotTestedOutsideInteractiveRuns) {
    SetUserCancelled(true);
    StampCab cab = stamptest::VisibleTextStamp("S", "stamp");
    CTextStamp stamp(cab.Get());
    EXPECT_TRUE(stamp.Apply(mDoc, false));
    EXPECT_EQ(StampedPages().size(), 6u);
}

TEST_F(StampApplyTest, PageWriteFailureNamesTheStampAndEndsIt) {
    stamptest::BreakPage(mDoc, 2);
    StampCab cab = stamptest::VisibleTextStamp("Footer 页脚", "stamp");
    CTextStamp stamp(cab.Get());
    EXPECT_FALSE(stamp.Apply(mDoc, false));
    EXPECT_FALSE(stamp.IsBuilt());
    EXPECT_EQ(stamp.GetMessage(), "Footer 页脚 引用的页面资源损坏");
    EXPECT_STREQ(GetErrorMessage(), "Footer 页脚 引用的页面资源损坏");
    EXPECT_NE(LogText().find("Footer 页脚 引用的页面资源损坏\n"), std::string::npos);
    EXPECT_EQ(StampedPages(), (std::vector<int32_t>{1, 2})) << "pages before the failure stay written";
}

// A page whose resources hold every name a stamp may choose (prefix0 ..
// prefix9999) is sound: the message says which names ran out, not "damaged".
TEST_F(StampApplyTest, PageOutOfResourceNamesSaysWhichLimitWasReached) {
    struct Row {
        const char* category;
        const char* prefix;
    };
    for (const Row& row : {Row{"Font", "NxF"}, Row{"ExtGState", "NxGS"}}) {
        SCOPED_TRACE(row.category);
        PDPage page = gPDModelHFT->docAcquirePage(mDoc, 2);
        const CosDoc cos = gPDModelHFT->docGetCosDoc(mDoc);
        const CosObj resources = gCosHFT->newDict(cos, false, 1);
        const CosObj names = gCosHFT->newDict(cos, false, CPDFElement::kResourceNameLimit);
        const CosObj marker = gCosHFT->newInteger(cos, false, 42);
        for (int i = 0; i < CPDFElement::kResourceNameLimit; ++i)
            gCosHFT->dictPut(names, gCoreHFT->atomFromString((row.prefix + std::to_string(i)).c_str()), marker);
        gCosHFT->dictPut(resources, gCoreHFT->atomFromString(row.category), names);
        gCosHFT->dictPut(gPDModelHFT->pageGetCosObj(page), gCoreHFT->atomFromString("Resources"), resources);
        gPDModelHFT->pageRelease(page);

        StampCab cab = stamptest::VisibleTextStamp("Footer", "stamp");
        CTextStamp stamp(cab.Get());
        EXPECT_FALSE(stamp.Apply(mDoc, false));
        const std::string message = stamp.GetMessage();
        EXPECT_EQ(message.find("损坏"), std::string::npos) << message;
        for (const std::string& part : {std::string("\"Footer\""), std::string("page 3"),
                                       std::string(row.prefix) + "0 to " + row.prefix + "9999"})
            EXPECT_NE(message.find(part), std::string::npos) << part << " in " << message;
        EXPECT_EQ(std::string(GetErrorMessage()), message);
        EXPECT_NE(LogText().find(message + "\n"), std::string::npos);
    }
}

TEST_F(StampApplyTest, StampNameWithFormatDirectivesIsShownAsWritten) {
    stamptest::BreakPage(mDoc, 0);
    StampCab cab = stamptest::VisibleTextStamp("%s%n%d", "stamp");
    CTextStamp stamp(cab.Get());
    EXPECT_FALSE(stamp.Apply(mDoc, false));
    EXPECT_EQ(stamp.GetMessage(), "%s%n%d 引用的页面资源损坏");
}

TEST_F(StampApplyTest, ApplyToPageWritesOnePageWithTheVariablesOfAnother) {
    GetStampRunCounters().StartSingleDocument(mDoc, 6);
    StampCab cab = stamptest::VisibleTextStamp("S", "P $PageNo[1]");
    CTextStamp stamp(cab.Get());
    ASSERT_TRUE(stamp.Build(mDoc));
    ASSERT_TRUE(stamp.ApplyToPage(mDoc, 0, 3));
    EXPECT_EQ(stamp.GetTextElement()->GetText(), "P 4");
    ASSERT_TRUE(stamp.ApplyToPage(mDoc, 5));
    EXPECT_EQ(stamp.GetTextElement()->GetText(), "P 6");
    EXPECT_NE(stamp.GetElement(), nullptr) << "ApplyToPage deletes nothing";
    EXPECT_EQ(StampedPages(), (std::vector<int32_t>{1, 6}));
    stamptest::BreakPage(mDoc, 2);
    EXPECT_FALSE(stamp.ApplyToPage(mDoc, 2));
    EXPECT_STREQ(GetErrorMessage(), "S 引用的页面资源损坏");
}


// --- the run's progress state

TEST_F(StampApplyTest, ProgressOutsideARunDoesNothing) {
    RecordingMonitor monitor;
    UseMonitor(monitor);
    ProgressAdvance(5);
    ProgressEnd();
    EXPECT_FALSE(IsProgressActive());
    EXPECT_TRUE(monitor.calls.empty());
}

TEST_F(StampApplyTest, BeginWhileARunIsInProgressEndsItFirst) {
    RecordingMonitor monitor;
    UseMonitor(monitor);
    ProgressBegin(nullptr, 4);
    ProgressAdvance(3);
    ProgressBegin(nullptr, 2);
    ProgressAdvance(1);
    ProgressEnd();
    EXPECT_EQ(monitor.calls, (std::vector<std::string>{"begin", "duration 4", "value 0", "value 3", "end", "begin",
                                                      "duration 2", "value 0", "value 1", "end"}));
}

TEST_F(StampApplyTest, CursorShownAtTheBeginIsReplacedByTheOldOneAtTheEnd) {
    const AVCursor before = gAppViewHFT->cursorGetCurrent();
    const AVCursor wait = GetWaitCursor();
    ASSERT_NE(wait, nullptr);
    {
        RunProgressScope progress(wait, 1);
        EXPECT_EQ(gAppViewHFT->cursorGetCurrent(), wait);
    }
    EXPECT_EQ(gAppViewHFT->cursorGetCurrent(), before);
}

}  // namespace
