// The batch command's procedures driven one call at a time, as a host does:
// properties, parameters, the dialog, the work calls and their state, cancel
// and reset.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "BatchCommandFixture.h"
#include "cabinet/CabinetHandles.h"
#include "common/PluginFixture.h"
#include "stamper/BatchCommandState.h"
#include "stamper/CStamp.h"
#include "stamper/StampKeys.h"
#include "stamper/StampRunCounters.h"
#include "stamper/StamperBatchCommand.h"
#include "stamper/StamperBatchWork.h"
#include "support/HostTables.h"
#include "view/Cursors.h"

namespace {

using batchcmdtest::BatchCommandTest;
using batchcmdtest::StampsOf;
using stamptest::StampCab;
using stamptest::VisibleTextStamp;

class BatchProtocol : public BatchCommandTest {
protected:
    std::string TextOf(ASCab cab, const char* key) {
        const ASText text = gASExtraHFT->cabGetText(cab, key);
        return text ? gASExtraHFT->textGetUTF8(text) : "(none)";
    }
    int32_t StateInt(AVCommand command, const char* key) {
        return gASExtraHFT->cabGetInt(State(command), key, -99);
    }
    // Works until the command answers something other than working; answers it
    // and the number of calls in *outCalls.
    AVCommandStatus WorkToEnd(AVCommand command, int* outCalls = nullptr) {
        int calls = 0;
        AVCommandStatus status;
        do {
            status = Work(command);
            ++calls;
        } while (status == kAVCommandWorking && calls < 1000);
        if (outCalls) *outCalls = calls;
        return status;
    }
};

TEST_F(BatchProtocol, RegistrationMadeTheGlobalCommand) {
    const AVCommand global = gAppViewHFT->commandFindGlobal(GetBatchCommandAtom());
    ASSERT_NE(global, nullptr);
    EXPECT_TRUE(IsGlobalCommand(global));
    ASSERT_NE(gAppViewHFT->commandGetCab(global, "Params", false), nullptr) << "created with empty parameters";
    EXPECT_EQ(gASExtraHFT->cabNumEntries(gAppViewHFT->commandGetCab(global, "Params", false)), 0);
}

TEST_F(BatchProtocol, PropertiesOfAnEmptyCabinetAreAllFilled) {
    const AVCommand command = NewCommand({});
    const ASCab props = gASExtraHFT->cabNew();
    gAppViewHFT->commandGetProps(command, props);
    EXPECT_EQ(gASExtraHFT->cabNumEntries(props), 7);
    EXPECT_EQ(TextOf(props, "GroupTitle"), "Quillmark Commands");
    EXPECT_EQ(TextOf(props, "GenericTitle"), "Stamp Document");
    EXPECT_EQ(TextOf(props, "Title"), "Title");
    EXPECT_TRUE(gASExtraHFT->cabGetBool(props, "CanBatch", false));
    EXPECT_TRUE(gASExtraHFT->cabGetBool(props, "CanDescribeParams", false));
    EXPECT_TRUE(gASExtraHFT->cabGetBool(props, "CanShowDialog", false));
    const ASCab desc = gASExtraHFT->cabGetCab(props, "ParamsDesc");
    ASSERT_NE(desc, nullptr);
    EXPECT_EQ(gASExtraHFT->cabNumEntries(desc), 0);
    const ASCab kept = gAppViewHFT->commandGetCab(command, "ParamsDesc", false);
    ASSERT_NE(kept, nullptr) << "the description is kept by the command";
    EXPECT_NE(kept, desc);
    gASExtraHFT->cabDestroy(props);
}

TEST_F(BatchProtocol, OnlyThePropertiesAskedForAreFilled) {
    const AVCommand command = NewCommand({});
    const ASCab props = gASExtraHFT->cabNew();
    gASExtraHFT->cabPutBool(props, "CanBatch", false);
    gAppViewHFT->commandGetProps(command, props);
    EXPECT_EQ(gASExtraHFT->cabNumEntries(props), 1);
    EXPECT_TRUE(gASExtraHFT->cabGetBool(props, "CanBatch", false));
    EXPECT_EQ(gAppViewHFT->commandGetCab(command, "ParamsDesc", false), nullptr);
    gASExtraHFT->cabDestroy(props);
}

TEST_F(BatchProtocol, ACommandOfAnotherNameIsNotTheGlobalOne) {
    const AVCommandHandlerRec record = qmhost::batchCommands().handler(GetBatchCommandAtom())->record;
    const ASAtom other = gCoreHFT->atomFromString("StamperCmdCopy");
    if (!qmhost::batchCommands().handler(other)) {
        ASSERT_TRUE(gAppViewHFT->registerCommandHandler(other, &record));
    }
    const AVCommand command = gAppViewHFT->commandNew(other);
    const ASCab props = gASExtraHFT->cabNew();
    gAppViewHFT->commandGetProps(command, props);
    EXPECT_FALSE(gASExtraHFT->cabGetBool(props, "CanShowDialog", true));
    EXPECT_FALSE(gASExtraHFT->cabGetBool(props, "CanDescribeParams", true));
    EXPECT_FALSE(gASExtraHFT->cabKnown(props, "GenericTitle"));
    gASExtraHFT->cabDestroy(props);
    gAppViewHFT->commandDestroy(command);
}

TEST_F(BatchProtocol, SetParamsKeepsADuplicateAndDropsTheDescription) {
    const AVCommand command = NewCommand({});
    const ASCab props = gASExtraHFT->cabNew();
    gAppViewHFT->commandGetProps(command, props);  // makes a description
    gASExtraHFT->cabDestroy(props);
    const ASCab profile = batchcmdtest::MakeProfile(StampsOf(VisibleTextStamp("A", "a")));
    EXPECT_EQ(gAppViewHFT->commandSetParams(command, profile), kAVCommandReady);
    gASExtraHFT->cabPutInt(profile, kKeyNumberOfStamps, 5);  // the command's copy stays
    EXPECT_EQ(gAppViewHFT->commandGetCab(command, "ParamsDesc", false), nullptr);

    const ASCab out = gASExtraHFT->cabNew();
    gASExtraHFT->cabPutInt(out, "Stale", 1);
    gAppViewHFT->commandGetParams(command, out);
    EXPECT_FALSE(gASExtraHFT->cabKnown(out, "Stale"));
    EXPECT_EQ(gASExtraHFT->cabGetInt(out, kKeyNumberOfStamps, 0), 1);
    ASSERT_NE(gASExtraHFT->cabGetCab(out, "kStamp0"), nullptr);
    gASExtraHFT->cabDestroy(out);
    gASExtraHFT->cabDestroy(profile);
}

struct DialogRow {
    const char* name;
    bool installed;
    bool answer;
    int32_t stampsAfter;
};

void PrintTo(const DialogRow& row, std::ostream* os) { *os << row.name; }

class BatchDialog : public BatchProtocol, public ::testing::WithParamInterface<DialogRow> {};

TEST_P(BatchDialog, ChoiceBecomesTheParametersOnlyOnOk) {
    const AVCommand command = NewCommand(StampsOf(VisibleTextStamp("A", "a")));
    int shown = 0;
    if (GetParam().installed) {
        SetBatchDialogRunner([&](ASCab params) {
            ++shown;
            EXPECT_EQ(gASExtraHFT->cabGetInt(params, kKeyNumberOfStamps, 0), 1) << "opens with the current ones";
            gASExtraHFT->cabPutInt(params, kKeyNumberOfStamps, 3);
            return GetParam().answer;
        });
    }
    EXPECT_EQ(Step(command, &AVCommandHandlerRec::showDialog), kAVCommandReady);
    EXPECT_EQ(shown, GetParam().installed ? 1 : 0);
    const ASCab params = gAppViewHFT->commandGetCab(command, "Params", false);
    EXPECT_EQ(gASExtraHFT->cabGetInt(params, kKeyNumberOfStamps, 0), GetParam().stampsAfter);
}

INSTANTIATE_TEST_SUITE_P(Rows, BatchDialog,
                         ::testing::Values(DialogRow{"NoDialog", false, false, 1}, DialogRow{"Cancelled", true, false, 1},
                                           DialogRow{"Ok", true, true, 3}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(BatchProtocol, ThreeStampsOverTenPagesBuildEachStampAtItsFirstCall) {
    const AVCommand command = NewCommand(StampsOf(VisibleTextStamp("A", "a"), VisibleTextStamp("B", "b"),
                                                  VisibleTextStamp("C", "c")));
    const AVDoc view = OpenView(Input("ten.pdf", 10));
    SetDocument(command, DocOf(view));
    ASSERT_EQ(Step(command, &AVCommandHandlerRec::preflightSequence), kAVCommandReady);

    EXPECT_EQ(Work(command), kAVCommandWorking);  // call 1: builds stamp 0, stamps page 0
    EXPECT_EQ(StateInt(command, kStateCurrentStamp), 1);
    EXPECT_EQ(StateInt(command, kStateCurrentPage), 1);
    for (int call = 2; call <= 9; ++call) ASSERT_EQ(Work(command), kAVCommandWorking);
    EXPECT_EQ(Work(command), kAVCommandWorking);  // call 10: stamps page 9, builds stamp 1
    EXPECT_EQ(StateInt(command, kStateCurrentStamp), 2);
    EXPECT_EQ(StateInt(command, kStateCurrentPage), 0);
    ASSERT_NE(GetCabStampPointer(State(command), kStateStampObject), nullptr);
    EXPECT_EQ(GetCabStampPointer(State(command), kStateStampObject)->GetName(), "B");
    for (int call = 11; call <= 29; ++call) ASSERT_EQ(Work(command), kAVCommandWorking) << call;
    EXPECT_EQ(Work(command), kAVCommandDone);  // call 30
    EXPECT_EQ(GetCabStampPointer(State(command), kStateStampObject), nullptr) << "the stamp goes with the document";
    EXPECT_EQ(monitor.calls.front(), "begin");
    EXPECT_EQ(monitor.calls[1], "duration 10");
    EXPECT_EQ(monitor.calls.back(), "end");
    EXPECT_EQ(GetStampRunCounters().batchPageOffset, 10);
}

TEST_F(BatchProtocol, ASecondDocumentWithoutResetStartsAtTheFirstStamp) {
    const AVCommand command = NewCommand(StampsOf(VisibleTextStamp("A", "SA$PageNo[1]")));
    ASSERT_EQ(Step(command, &AVCommandHandlerRec::preflightSequence), kAVCommandReady);
    SetDocument(command, DocOf(OpenView(Input("a.pdf", 2))));
    ASSERT_EQ(WorkToEnd(command), kAVCommandDone);
    const PDDoc second = DocOf(OpenView(Input("b.pdf", 3)));
    SetDocument(command, second);  // no reset in between
    int calls = 0;
    EXPECT_EQ(WorkToEnd(command, &calls), kAVCommandDone);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(batchcmdtest::WordsAfter(Save(second, "b-out.pdf"), "SA"), (std::vector<std::string>{"1", "2", "3"}));
}

TEST_F(BatchProtocol, ErrorAnswerEndsProgressRestoresCursorAndDeletesTheStamp) {
    cursorPolicy = 1;
    const std::string broken = Input("broken.pdf", 3);
    BreakPage(broken, 1);
    const AVCommand command = NewCommand(StampsOf(VisibleTextStamp("Bates", "x")));
    SetDocument(command, DocOf(OpenView(broken)));
    EXPECT_EQ(Work(command), kAVCommandWorking);
    EXPECT_EQ(qmhost::cursors().current(), gAppViewHFT->cursorGetStandard(kAVCursorWait));
    EXPECT_TRUE(monitor.Begun());
    EXPECT_EQ(Work(command), kAVCommandInError);
    EXPECT_FALSE(monitor.Begun());
    EXPECT_EQ(qmhost::cursors().current(), nullptr);
    EXPECT_EQ(GetCabStampPointer(State(command), kStateStampObject), nullptr);
    EXPECT_FALSE(gASExtraHFT->cabKnown(State(command), kStateCursor));
    EXPECT_EQ(reports.lines, (std::vector<std::string>{"error: Bates 引用的页面资源损坏"}));
}

TEST_F(BatchProtocol, CancelInTheMiddleDeletesTheStampAndRemovesTheState) {
    cursorPolicy = 1;
    const AVCommand command = NewCommand(StampsOf(VisibleTextStamp("A", "a")));
    SetDocument(command, DocOf(OpenView(Input("a.pdf", 4))));
    ASSERT_EQ(Work(command), kAVCommandWorking);
    ASSERT_NE(GetCabStampPointer(State(command), kStateStampObject), nullptr);
    const size_t cabinets = qmhost::liveCabinetCount();
    EXPECT_EQ(Step(command, &AVCommandHandlerRec::cancel), kAVCommandCancelled);
    EXPECT_EQ(State(command), nullptr);
    EXPECT_EQ(qmhost::liveCabinetCount(), cabinets - 1);
    EXPECT_FALSE(monitor.Begun());
    EXPECT_EQ(qmhost::cursors().current(), nullptr);
    EXPECT_EQ(Step(command, &AVCommandHandlerRec::reset), kAVCommandReady) << "nothing left to stop";
}

TEST_F(BatchProtocol, WorkWithoutADocumentIsAnErrorThatIsReported) {
    const AVCommand command = NewCommand(StampsOf(VisibleTextStamp("A", "a")));
    SetDocument(command, nullptr);
    EXPECT_EQ(Work(command), kAVCommandInError);
    EXPECT_EQ(reports.lines, (std::vector<std::string>{"error: no document to stamp"}));
}

TEST_F(BatchProtocol, WorkWithoutParametersIsAnEmptyProfileAndLeavesNoCabinet) {
    const AVCommand command = NewCommand({});
    gAppViewHFT->commandPutCab(command, "Params", nullptr);
    SetDocument(command, DocOf(OpenView(Input("a.pdf", 1))));
    ASSERT_NE(GetCommandState(command, true), nullptr);
    const size_t cabinets = qmhost::liveCabinetCount();
    EXPECT_EQ(Work(command), kAVCommandDone);
    EXPECT_EQ(qmhost::liveCabinetCount(), cabinets);
}

TEST_F(BatchProtocol, PreflightStartsTheCountersAndLogsTheSequence) {
    const AVCommand command = NewCommand({});
    StampRunCounters& counters = GetStampRunCounters();
    counters.batchPageOffset = 9;
    counters.batchTotalPages = 4;
    counters.firstStampedPage = 2;
    EXPECT_EQ(Step(command, &AVCommandHandlerRec::preflightSequence), kAVCommandReady);
    EXPECT_EQ(counters.batchPageOffset, 0);
    EXPECT_EQ(counters.batchTotalPages, 0);
    EXPECT_EQ(counters.firstStampedPage, -1);
    EXPECT_EQ(StateInt(command, kStateCurrentStamp), 0);
    const std::vector<std::string> log = LastRunLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1], "Batch sequence");
}

TEST_F(BatchProtocol, ProceduresGivenAStaleCommandAnswerAnErrorAndThrowNothing) {
    const AVCommand stale = reinterpret_cast<AVCommand>(uintptr_t{0x7fff0001});
    EXPECT_EQ(BatchWork(stale), kAVCommandInError);
    EXPECT_EQ(BatchSetParams(stale, nullptr), kAVCommandInError);
    EXPECT_EQ(BatchShowDialog(stale), kAVCommandInError);
    EXPECT_EQ(BatchCancel(stale), kAVCommandInError);
    EXPECT_EQ(BatchPreflightSequence(stale), kAVCommandInError);
    BatchGetProps(stale, nullptr);
    BatchGetParams(stale, nullptr);
    BatchCreated(stale);
    EXPECT_TRUE(qmtest::TakeAlerts().empty()) << "batch procedures show no alert";
}

TEST_F(BatchProtocol, CommandOutsideASequenceCountsItsDocumentAlone) {
    const AVCommand command = NewCommand({});
    qmtest::HostDoc doc = qmtest::HostDoc::open(Input("a.pdf", 2));
    Input("b.pdf", 3);
    EXPECT_EQ(CountSequencePages(command, doc.pd()), 2);
}

TEST_F(BatchProtocol, RemovingTheStampEntryDeletesTheStamp) {
    const AVCommand command = NewCommand({});
    const ASCab state = GetCommandState(command, true);
    static int deleted = 0;
    struct CountingStamp : CStamp {
        CountingStamp() : CStamp(int32_t{0}) {}
        ~CountingStamp() override { ++deleted; }
    };
    deleted = 0;
    PutCabStampPointer(state, kStateStampObject, std::make_unique<CountingStamp>());
    EXPECT_NE(GetCabStampPointer(state, kStateStampObject), nullptr);
    EXPECT_EQ(GetCabPointer(state, kStateStampObject, "AVCursor"), nullptr) << "typed: another type is none";
    RemoveStateKey(state, kStateStampObject);
    EXPECT_EQ(deleted, 1);
}

}  // namespace
