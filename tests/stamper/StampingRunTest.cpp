// The stamping run end to end on real PDF files through the real host: a
// profile file applied to the active document (or a new one), read back with
// pdftotext; how a run fails, is cancelled and is undone; its log, progress
// and cursor.
#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFWriter.hh>

#include <ctime>
#include <string>
#include <vector>

#include "StampRunFixture.h"
#include "common/FaultInjectingHost.h"
#include "common/PluginFixture.h"
#include "engine/CPDFDocument.h"
#include "engine/CPDFElementUndoController.h"
#include "stamper/CCabinet.h"
#include "stamper/CStamperPreferences.h"
#include "stamper/DateVariables.h"
#include "stamper/StampKeys.h"
#include "stamper/StampRunCounters.h"
#include "stamper/StampingRun.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"
#include "support/io/UserCancel.h"
#include "view/Cursors.h"

namespace {

using stamptest::FindWord;
using stamptest::AllPageStates;
using stamptest::PageState;
using stamptest::RecordingMonitor;
using stamptest::StampCab;
using stamptest::TextPage;
using stamptest::VisibleTextStamp;
using stamptest::Word;

const std::string kDashRule(74, '-');

class StampingRunTest : public stamptest::StampRunTest {
protected:
    void SetUp() override {
        StampRunTest::SetUp();
        std::tm now{};
        now.tm_year = 2024 - 1900;
        now.tm_mon = 2;
        now.tm_mday = 7;
        now.tm_hour = 9;
        now.tm_min = 5;
        SetStampClock([now] { return now; });
    }
    void TearDown() override {
        SetStampClock(nullptr);
        StampRunTest::TearDown();
    }
    // The active view on a fresh fixture of count pages.
    AVDoc OpenInput(int count, const std::string& leaf = "input.pdf") { return OpenView(WritePdf(leaf, count)); }
    static std::vector<std::string> Tail(const std::vector<std::string>& lines, size_t n) {
        return std::vector<std::string>(lines.end() - static_cast<long>(std::min(n, lines.size())), lines.end());
    }
};

// --- end to end

TEST_F(StampingRunTest, ProfileFileStampsBatesFooterDateAndFileNameOnEveryPage) {
    mPreferences->SetBatesFixedLength(6);
    std::vector<StampCab> stamps;
    stamps.push_back(VisibleTextStamp("Bates", "$BatesNo[1]", 36, 20, 1));
    stamps.push_back(VisibleTextStamp("Footer", "Page $PageNo[1] of $TotalPages", 250, 20, 1));
    stamps.push_back(VisibleTextStamp("Header", "$Date $FileName", 36, 20, 0));
    WriteProfile("Legal", std::move(stamps));
    const AVDoc view = OpenInput(3);

    ASSERT_TRUE(StampActiveDocumentWithProfile("Legal")) << GetErrorMessage();
    EXPECT_FALSE(HasErrorMessage());
    EXPECT_TRUE(qmtest::TakeAlerts().empty());

    const std::vector<TextPage> pages = stamptest::ReadTextPages(Save(DocOf(view), "stamped.pdf"));
    ASSERT_EQ(pages.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const TextPage& page = pages[static_cast<size_t>(i)];
        const std::string n = std::to_string(i + 1);
        Word bates, footer, date, name;
        ASSERT_TRUE(FindWord(page, "00000" + n, bates)) << page.Joined();
        EXPECT_NE(page.Joined().find("Page " + n + " of 3"), std::string::npos) << page.Joined();
        ASSERT_TRUE(FindWord(page, "of", footer));
        ASSERT_TRUE(FindWord(page, "03/07/24", date)) << page.Joined();
        ASSERT_TRUE(FindWord(page, "input.pdf", name)) << page.Joined();
        // pdftotext measures from the top: the footer near the bottom edge, the header near the top.
        EXPECT_GT(bates.yMin, page.height - 60);
        EXPECT_NEAR(bates.xMin, 36, 2);
        EXPECT_GT(footer.yMin, page.height - 60);
        EXPECT_LT(date.yMax, 60);
        EXPECT_NEAR(date.xMin, 36, 2);
        EXPECT_GT(name.xMin, date.xMax);
    }
}

TEST_F(StampingRunTest, LogRecordsTheRunHeaderAndItsCompletion) {
    std::vector<StampCab> stamps;
    stamps.push_back(VisibleTextStamp("One", "one"));
    WriteProfile("Logged", std::move(stamps));
    const std::string input = WritePdf("logged input.pdf", 2);
    OpenView(input);
    ASSERT_TRUE(StampActiveDocumentWithProfile("Logged"));
    const std::vector<std::string> lines = LastRunLog();
    ASSERT_EQ(lines.size(), 7u) << LogText();
    EXPECT_EQ(lines[0].rfind("信息：       ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1], "正在处理描述文件：  Logged");
    EXPECT_EQ(lines[2], "正在处理文件：   " + input);
    EXPECT_EQ(lines[3], kDashRule);
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "进程完成");
    EXPECT_EQ(lines[6], kDashRule);
    const std::string log = LogText();
    EXPECT_NE(log.find("\n\n\n" + std::string(74, '=') + "\n信息："), std::string::npos)
        << "two empty lines and the rule open the run";
}

TEST_F(StampingRunTest, EmptyProfileCompletesWithTheHeaderOnly) {
    WriteProfile("Empty", {});
    OpenInput(1);
    EXPECT_TRUE(StampActiveDocumentWithProfile("Empty"));
    EXPECT_EQ(Tail(LastRunLog(), 3), (std::vector<std::string>{"", "进程完成", kDashRule}));
}

TEST_F(StampingRunTest, StampOfUnknownTypeChangesNothingButTheWrapping) {
    StampCab odd = VisibleTextStamp("Odd", "never");
    odd.Int(kKeyStampType, 5);
    std::vector<StampCab> stamps;
    stamps.push_back(std::move(odd));
    WriteProfile("Unknown", std::move(stamps));
    const AVDoc view = OpenInput(2);
    EXPECT_TRUE(StampActiveDocumentWithProfile("Unknown"));
    for (const PageState& state : AllPageStates(DocOf(view))) {
        ASSERT_EQ(state.contents.size(), 3u);
        EXPECT_EQ(state.contents.front(), " q ");
        EXPECT_EQ(state.contents.back(), " Q ");
        EXPECT_TRUE(state.annotations.empty());
    }
    const std::vector<std::string> lines = LastRunLog();
    EXPECT_EQ(lines.size(), 7u) << "no line for an unknown type";
}

// --- new document ('WTNF')

TEST_F(StampingRunTest, WriteToNewFileStampsACopyAndLeavesTheOriginalAlone) {
    mPreferences->SetWriteToNewFile(true);
    std::vector<StampCab> stamps;
    stamps.push_back(VisibleTextStamp("Copy", "COPYSTAMP"));
    WriteProfile("Copy", std::move(stamps));
    const AVDoc original = OpenInput(3);
    const std::vector<PageState> before = AllPageStates(DocOf(original));

    ASSERT_TRUE(StampActiveDocumentWithProfile("Copy")) << GetErrorMessage();
    const AVDoc made = gAppViewHFT->getActiveDoc();
    ASSERT_NE(made, original);
    const PDDoc copy = DocOf(made);
    EXPECT_EQ(gPDModelHFT->docAcquirePath(copy), nullptr) << "untitled";
    EXPECT_EQ(GetStampRunCounters().currentDocument, copy);
    EXPECT_EQ(AllPageStates(DocOf(original)), before) << "the original keeps its pages unchanged";
    const std::vector<TextPage> pages = stamptest::ReadTextPages(Save(copy, "copy.pdf"));
    ASSERT_EQ(pages.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(pages[static_cast<size_t>(i)].Joined().find("COPYSTAMP"), std::string::npos);
        EXPECT_NE(pages[static_cast<size_t>(i)].Joined().find("page " + std::to_string(i + 1)), std::string::npos)
            << "the copied page's own content";
    }
    EXPECT_EQ(LastRunLog()[2], "正在处理文件：   ") << "an untitled document has no path";
}

TEST_F(StampingRunTest, NewDocumentThatCannotBeMadeIsAlertedAtOnce) {
    mPreferences->SetWriteToNewFile(true);
    WriteProfile("Copy", {});
    OpenInput(1);
    bool stamped = true;
    {
        qmtest::FaultInjectingHost host;
        host.FailCall<&PDModelTable::docCreate>(1, kHostErrNoMemory);
        stamped = StampActiveDocumentWithProfile("Copy");
    }
    EXPECT_FALSE(stamped);
    EXPECT_EQ(qmtest::TakeAlerts(), (std::vector<std::string>{"为印章创建新文档出错"}));
    EXPECT_STREQ(GetErrorMessage(), "为印章创建新文档出错");
}

// --- failures

TEST_F(StampingRunTest, FailingStampEndsTheRunWithItsMessageShownOnce) {
    std::vector<StampCab> stamps;
    stamps.push_back(VisibleTextStamp("First", "FIRSTSTAMP"));
    stamps.push_back(VisibleTextStamp("Second", "SECONDSTAMP"));
    WriteProfile("Broken", std::move(stamps));
    const AVDoc view = OpenInput(3);
    stamptest::BreakPage(DocOf(view), 1);

    EXPECT_FALSE(StampActiveDocumentWithProfile("Broken"));
    EXPECT_STREQ(GetErrorMessage(), "First 引用的页面资源损坏");
    EXPECT_EQ(qmtest::TakeAlerts(), (std::vector<std::string>{"First 引用的页面资源损坏"}));
    EXPECT_EQ(Tail(LastRunLog(), 4),
              (std::vector<std::string>{"First 引用的页面资源损坏", "", "进程出错", kDashRule}));
    const PageState first = stamptest::ReadPageState(DocOf(view), 0);
    const PageState third = stamptest::ReadPageState(DocOf(view), 2);
    EXPECT_GT(first.contents.size(), 3u) << "page 1 keeps the first stamp";
    EXPECT_EQ(third.contents.size(), 3u) << "nothing after the failure: only the wrapping";
    const std::string saved = Save(DocOf(view), "broken.pdf");
    EXPECT_EQ(stamptest::ReadTextPages(saved)[0].Joined().find("SECONDSTAMP"), std::string::npos)
        << "the second stamp never ran";
}

TEST_F(StampingRunTest, UnresolvedFontStillStampsButTheRunEndsFailed) {
    std::vector<StampCab> stamps;
    stamps.push_back(VisibleTextStamp("Odd font", "ODDFONT"));
    stamps.back().Int(kKeyStandardFont, 40);
    stamps.push_back(VisibleTextStamp("Next", "NEXTSTAMP", 36, 60));
    WriteProfile("Font", std::move(stamps));
    const AVDoc view = OpenInput(1);
    EXPECT_FALSE(StampActiveDocumentWithProfile("Font"));
    EXPECT_EQ(qmtest::TakeAlerts(), (std::vector<std::string>{"创建标准字体 40 出错"}));
    const std::string text = stamptest::ReadTextPages(Save(DocOf(view), "font.pdf"))[0].Joined();
    EXPECT_NE(text.find("ODDFONT"), std::string::npos);
    EXPECT_NE(text.find("NEXTSTAMP"), std::string::npos) << "the run goes on after a font failure";
    EXPECT_EQ(Tail(LastRunLog(), 3), (std::vector<std::string>{"", "进程出错", kDashRule}));
}

struct UnreadableRow {
    const char* name;
    const char* bytes;  // null: no file at all
};

class UnreadableProfile : public StampingRunTest, public testing::WithParamInterface<UnreadableRow> {};

TEST_P(UnreadableProfile, IsAFailedRunShownAndLogged) {
    const std::string path = mDataFolder + "/Profiles/Bad.nxp";
    if (GetParam().bytes) qmtest::writeBytes(path, GetParam().bytes);
    const AVDoc view = OpenInput(1);
    EXPECT_FALSE(StampActiveDocumentWithProfile("Bad"));
    const std::string message = GetErrorMessage();
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_EQ(qmtest::TakeAlerts(), std::vector<std::string>{message});
    const std::vector<std::string> lines = LastRunLog();
    EXPECT_EQ(lines[1], "正在处理描述文件：  Bad");
    EXPECT_EQ(Tail(lines, 4), (std::vector<std::string>{message, "", "进程出错", kDashRule}));
    EXPECT_EQ(stamptest::ReadPageState(DocOf(view), 0).contents.size(), 3u) << "only the wrapping";
}

INSTANTIATE_TEST_SUITE_P(Files, UnreadableProfile,
                         testing::Values(UnreadableRow{"Missing", nullptr},
                                         UnreadableRow{"Damaged", "not a cabinet at all, just text"},
                                         UnreadableRow{"Empty", ""}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(StampingRunTest, ProfileThatLacksAStampItCountsIsAFailedRun) {
    const std::string path = mDataFolder + "/Profiles/Short.nxp";
    {
        // Claims two stamps but holds one.
        StampCab profile;
        profile.Int(kKeyNumberOfStamps, 2);
        gASExtraHFT->cabPutCab(profile.Get(), "kStamp0", VisibleTextStamp("Only", "ONLY").Release());
        CCabinet(profile.Get()).WriteToFile(TFileSpecifier(path.c_str()));
    }
    OpenInput(1);
    EXPECT_FALSE(StampActiveDocumentWithProfile("Short"));
    EXPECT_STREQ(GetErrorMessage(), "描述文件 Short 缺少印章 kStamp1");
}

TEST_F(StampingRunTest, UnsafeProfileNameIsRefusedBeforeAnythingRuns) {
    OpenInput(1);
    EXPECT_FALSE(StampActiveDocumentWithProfile("../escape"));
    EXPECT_TRUE(HasErrorMessage());
    EXPECT_TRUE(qmtest::TakeAlerts().empty());
    EXPECT_EQ(LogText(), "");
}

TEST_F(StampingRunTest, NoActiveDocumentDoesNothing) {
    WriteProfile("Any", {});
    SetErrorMessage("stale message of another run");
    EXPECT_FALSE(StampActiveDocumentWithProfile("Any"));
    EXPECT_FALSE(HasErrorMessage());
    EXPECT_TRUE(qmtest::TakeAlerts().empty());
    EXPECT_EQ(LogText(), "");
}

TEST_F(StampingRunTest, StaleMessageOfAnEarlierRunIsNeverShown) {
    WriteProfile("Empty", {});
    OpenInput(1);
    SetErrorMessage("stale message of another run");
    EXPECT_TRUE(StampActiveDocumentWithProfile("Empty"));
    EXPECT_FALSE(HasErrorMessage());
}

// --- cancel

TEST_F(StampingRunTest, CancelDuringAStampStopsAfterThatPage) {
    RecordingMonitor monitor;
    monitor.onValue = [](int32_t value) {
        if (value == 1) SetUserCancelled(true);
    };
    UseMonitor(monitor);
    std::vector<StampCab> stamps;
    stamps.push_back(VisibleTextStamp("First", "FIRST"));
    stamps.push_back(VisibleTextStamp("Second", "SECOND"));
    WriteProfile("Cancel", std::move(stamps));
    const AVDoc view = OpenInput(3);
    EXPECT_FALSE(StampActiveDocumentWithProfile("Cancel"));
    EXPECT_STREQ(GetErrorMessage(), "进程被用户停止");
    EXPECT_EQ(qmtest::TakeAlerts(), (std::vector<std::string>{"进程被用户停止"}));
    EXPECT_EQ(Tail(LastRunLog(), 4), (std::vector<std::string>{"进程被用户停止", "", "进程出错", kDashRule}));
    const std::vector<PageState> states = AllPageStates(DocOf(view));
    EXPECT_GT(states[0].contents.size(), 3u);
    EXPECT_EQ(states[1].contents.size(), 3u);
    EXPECT_EQ(monitor.calls.front(), "begin");
    EXPECT_EQ(monitor.calls[1], "duration 6") << "two stamps times three pages";
    EXPECT_EQ(monitor.calls.back(), "end");
}

TEST_F(StampingRunTest, CancelSeenBetweenTwoStampsPutsItsMessageInTheBuffer) {
    std::vector<StampCab> stamps;
    stamps.push_back(VisibleTextStamp("Nowhere", "NOWHERE"));
    stamps.back().Int(kKeyPages, 1).Text(kKeyPageList, "1-1even");  // covers no page
    stamps.push_back(VisibleTextStamp("Second", "SECOND"));
    const std::string path = WriteProfile("Between", std::move(stamps));
    const AVDoc view = OpenInput(2);
    SetUserCancelled(true);  // as if Cancel were clicked while the first stamp ran
    CProfileFile profile(path.c_str());
    EXPECT_FALSE(ApplyProfileToDocument(profile, DocOf(view), true));
    EXPECT_STREQ(GetErrorMessage(), "进程被用户停止");
    EXPECT_EQ(Tail(LastRunLog(), 4), (std::vector<std::string>{"进程被用户停止", "", "进程出错", kDashRule}));
    EXPECT_EQ(stamptest::ReadPageState(DocOf(view), 0).contents.size(), 3u)
        << "the page's content and its wrapping: the second stamp never ran";
}

TEST_F(StampingRunTest, RunAfterACancelledRunStartsClearAndRunsToItsEnd) {
    std::vector<StampCab> stamps;
    stamps.push_back(VisibleTextStamp("All", "ALL"));
    WriteProfile("Again", std::move(stamps));
    const AVDoc view = OpenInput(2);
    SetUserCancelled(true);
    EXPECT_TRUE(StampActiveDocumentWithProfile("Again"));
    for (const PageState& state : AllPageStates(DocOf(view))) EXPECT_GT(state.contents.size(), 3u);
}

// --- undo

// Undo used to leave the run's save/restore pair around the page's content:
// each stamp-and-undo cycle nested the page one level deeper.
TEST_F(StampingRunTest, UndoTakesBackTheLastRunWholeAndOnlyThatRun) {
    std::vector<StampCab> stamps;
    stamps.push_back(VisibleTextStamp("Under", "UNDER"));
    stamps.push_back(VisibleTextStamp("Over", "OVER", 36, 80));
    stamps.back().Bool(kKeyOverlay, true).Int(kKeyBorderColor, 0xFF).Double(kKeyBorderWidth, 1.0);
    WriteProfile("Undo", std::move(stamps));
    const AVDoc view = OpenInput(2);
    const std::vector<PageState> original = AllPageStates(DocOf(view));
    for (int cycle = 0; cycle < 3; ++cycle) {
        ASSERT_TRUE(StampActiveDocumentWithProfile("Undo"));
        ASSERT_NE(AllPageStates(DocOf(view)), original);
        EXPECT_TRUE(CPDFElementUndoController::UndoAllElements(view, nullptr, nullptr));
        EXPECT_EQ(AllPageStates(DocOf(view)), original) << "cycle " << cycle;
    }
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(view), 0);
    // Of two runs, the first one's stamps and wrapping stay.
    ASSERT_TRUE(StampActiveDocumentWithProfile("Undo"));
    const std::vector<PageState> afterFirst = AllPageStates(DocOf(view));
    ASSERT_TRUE(StampActiveDocumentWithProfile("Undo"));
    ASSERT_TRUE(CPDFElementUndoController::UndoAllElements(view, nullptr, nullptr));
    EXPECT_EQ(AllPageStates(DocOf(view)), afterFirst);
}

// --- permission, progress and cursor

// Only page changes used to be asked: a document that forbids printing or
// notes was stamped.
TEST_F(StampingRunTest, DocumentMustAllowPrintingChangesAndNotesToBeStamped) {
    EXPECT_FALSE(CanStampActiveDocument()) << "no view";
    OpenInput(1);
    EXPECT_TRUE(CanStampActiveDocument());
    const std::string plain = WritePdf("plain.pdf", 1);
    struct Row {
        const char* name;
        bool annotate, modify;
        qpdf_r3_print_e print;
        bool stampable;
    };
    for (const Row& row : {Row{"all allowed", true, true, qpdf_r3p_full, true},
                           Row{"low-resolution printing is printing", true, true, qpdf_r3p_low, true},
                           Row{"printing forbidden", true, true, qpdf_r3p_none, false},
                           Row{"notes forbidden", false, true, qpdf_r3p_full, false},
                           Row{"changes forbidden", true, false, qpdf_r3p_full, false}}) {
        const std::string locked = mFolder.file(std::string(row.name) + ".pdf");
        QPDF pdf;
        pdf.processFile(plain.c_str());
        QPDFWriter writer(pdf, locked.c_str());
        writer.setR6EncryptionParameters("", "owner", true, true, true, row.annotate, true, row.modify, row.print,
                                         true);
        writer.write();
        OpenView(locked);
        EXPECT_EQ(CanStampActiveDocument(), row.stampable) << row.name;
    }
}

TEST_F(StampingRunTest, WaitCursorIsShownDuringTheRunAndTheOldOneAfterIt) {
    RecordingMonitor monitor;
    std::vector<AVCursor> seen;
    monitor.onValue = [&seen](int32_t) { seen.push_back(gAppViewHFT->cursorGetCurrent()); };
    UseMonitor(monitor);
    std::vector<StampCab> stamps;
    stamps.push_back(VisibleTextStamp("One", "one"));
    WriteProfile("Cursor", std::move(stamps));
    OpenInput(1);
    const AVCursor before = gAppViewHFT->cursorGetCurrent();
    ASSERT_TRUE(StampActiveDocumentWithProfile("Cursor"));
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), gAppViewHFT->cursorGetStandard(kAVCursorWait));
    EXPECT_EQ(gAppViewHFT->cursorGetCurrent(), before);
}

}  // namespace
