// The AppView table's batch-command and cursor entries as a plug-in uses them.
#include <gtest/gtest.h>

#include <string>

#include "BatchTestCommand.h"
#include "qmhost/HostError.h"
#include "view/BatchCommands.h"
#include "view/Cursors.h"
#include "core/Callbacks.h"
#include "core/Raise.h"

namespace {

using namespace batchtest;

class BatchCommandTable : public ::testing::Test {
protected:
    void SetUp() override {
        qmhost::batchCommands().reset();
        ActiveScript() = &script;
    }
    void TearDown() override {
        qmhost::batchCommands().reset();
        ActiveScript() = nullptr;
    }
    AVCommand Registered(const char* name = "TableCmd") {
        const AVCommandHandlerRec record = FullRecord();
        EXPECT_TRUE(View().registerCommandHandler(Atom(name), &record));
        return View().commandNew(Atom(name));
    }
    Script script;
};

int32_t RaisedCode(const std::function<void()>& body) {
    try {
        body();
    } catch (const HostError& error) {
        return error.code();
    }
    return 0;
}

bool gInitializeAnswer = true;
int gTerminated = 0;
bool Initialize(ASAtom) { return gInitializeAnswer; }
void Terminate(ASAtom) { ++gTerminated; }
void RegisterGlobal(ASAtom name) {
    if (View().commandFindGlobal(name)) return;
    View().commandRegisterGlobal(View().commandNew(name));
}

TEST_F(BatchCommandTable, RegistrationRunsInitializeThenRegisterCommands) {
    AVCommandHandlerRec record = FullRecord();
    record.initialize = Callback(&Initialize);
    record.registerCommands = Callback(&RegisterGlobal);
    gInitializeAnswer = true;
    ASSERT_TRUE(View().registerCommandHandler(Atom("GlobalCmd"), &record));
    const AVCommand global = View().commandFindGlobal(Atom("GlobalCmd"));
    ASSERT_NE(global, nullptr);
    EXPECT_EQ(View().commandGetName(global), Atom("GlobalCmd"));
    EXPECT_EQ(script.calls, (std::vector<std::string>{"created"}));
    EXPECT_EQ(RaisedCode([&] { View().commandDestroy(global); }), kHostErrBadParameter);
}

TEST_F(BatchCommandTable, InitializeAnsweringFalseRegistersNothing) {
    AVCommandHandlerRec record = FullRecord();
    record.initialize = Callback(&Initialize);
    gInitializeAnswer = false;
    EXPECT_FALSE(View().registerCommandHandler(Atom("Refused"), &record));
    gInitializeAnswer = true;
    EXPECT_EQ(RaisedCode([&] { View().commandNew(Atom("Refused")); }), kHostErrNotFound);
}

TEST_F(BatchCommandTable, TheHostKeepsItsOwnCopyOfTheRecord) {
    auto* record = new AVCommandHandlerRec(FullRecord());
    ASSERT_TRUE(View().registerCommandHandler(Atom("Copied"), record));
    delete record;  // the plug-in frees its record at unload
    const AVCommand command = View().commandNew(Atom("Copied"));
    EXPECT_EQ(script.calls, (std::vector<std::string>{"created"}));
    View().commandDestroy(command);
}

struct BadRecordRow {
    const char* name;
    uint32_t size;
    bool foreignCallback;
    bool nullRecord;
    bool nullName;
};

void PrintTo(const BadRecordRow& row, std::ostream* os) { *os << row.name; }

class BatchCommandBadRecord : public BatchCommandTable, public ::testing::WithParamInterface<BadRecordRow> {};

TEST_P(BatchCommandBadRecord, RaisesBadParameter) {
    AVCommandHandlerRec record = FullRecord();
    record.size = GetParam().size;
    if (GetParam().foreignCallback) record.work = reinterpret_cast<ASCallback>(uintptr_t{0xdead});
    const ASAtom name = GetParam().nullName ? kASAtomNull : Atom("Bad");
    const AVCommandHandlerRec* given = GetParam().nullRecord ? nullptr : &record;
    EXPECT_EQ(RaisedCode([&] { View().registerCommandHandler(name, given); }), kHostErrBadParameter);
    EXPECT_EQ(qmhost::batchCommands().handler(Atom("Bad")), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BatchCommandBadRecord,
    ::testing::Values(BadRecordRow{"ShortSize", 68, false, false, false},
                      BadRecordRow{"CallbackNotMadeByHost", sizeof(AVCommandHandlerRec), true, false, false},
                      BadRecordRow{"NullRecord", 0, false, true, false},
                      BadRecordRow{"NullName", sizeof(AVCommandHandlerRec), false, false, true}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(BatchCommandTable, ASecondHandlerOfOneNameIsRefused) {
    Registered("Twice");
    const AVCommandHandlerRec record = FullRecord();
    EXPECT_EQ(RaisedCode([&] { View().registerCommandHandler(Atom("Twice"), &record); }), kHostErrBadParameter);
}

TEST_F(BatchCommandTable, AHandlerWhosePluginIsGoneGivesWayToANewOne) {
    const ExtensionID gone = reinterpret_cast<ExtensionID>(uintptr_t{0x90e});
    AVCommandHandlerRec record{};
    record.size = sizeof record;
    record.created = Callback(&Created, gone);
    record.registerCommands = Callback(&RegisterGlobal, gone);
    ASSERT_TRUE(View().registerCommandHandler(Atom("Reloaded"), &record));
    const AVCommand old = View().commandFindGlobal(Atom("Reloaded"));
    ASSERT_NE(old, nullptr);
    qmhost::callbacks().forgetExtension(gone);

    const AVCommandHandlerRec fresh = FullRecord();
    EXPECT_TRUE(View().registerCommandHandler(Atom("Reloaded"), &fresh));
    EXPECT_EQ(View().commandFindGlobal(Atom("Reloaded")), nullptr);
    EXPECT_EQ(RaisedCode([&] { View().commandGetName(old); }), kHostErrBadHandle);
}

TEST_F(BatchCommandTable, SetAndGetParamsGoThroughTheHandler) {
    const AVCommand command = Registered();
    const ASCab params = Cab().cabNew();
    Cab().cabPutInt(params, "Pages", 3);
    EXPECT_EQ(View().commandSetParams(command, params), kAVCommandReady);
    Cab().cabPutInt(params, "Pages", 4);  // the command keeps its own copy
    const ASCab out = Cab().cabNew();
    Cab().cabPutInt(out, "Stale", 1);
    View().commandGetParams(command, out);
    EXPECT_EQ(Cab().cabGetInt(out, "Pages", 0), 3);
    EXPECT_FALSE(Cab().cabKnown(out, "Stale"));
    Cab().cabDestroy(out);
    Cab().cabDestroy(params);
    View().commandDestroy(command);
}

TEST_F(BatchCommandTable, CommandCabinetsAreMadeOnDemandReplacedAndRemoved) {
    const AVCommand command = Registered();
    EXPECT_EQ(View().commandGetCab(command, "State", false), nullptr);
    const ASCab made = View().commandGetCab(command, "State", true);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(View().commandGetCab(command, "State", true), made);
    // A cabinet the command holds is not the caller's to destroy.
    EXPECT_EQ(RaisedCode([&] { Cab().cabDestroy(made); }), kHostErrBadParameter);

    const ASCab replacement = Cab().cabNew();
    View().commandPutCab(command, "State", replacement);
    EXPECT_EQ(View().commandGetCab(command, "State", false), replacement);
    EXPECT_EQ(RaisedCode([&] { Cab().cabNumEntries(made); }), kHostErrBadHandle);

    View().commandPutCab(command, "State", nullptr);
    EXPECT_EQ(View().commandGetCab(command, "State", false), nullptr);
    EXPECT_EQ(RaisedCode([&] { View().commandGetCab(command, "", true); }), kHostErrBadParameter);
    View().commandDestroy(command);
}

TEST_F(BatchCommandTable, PuttingACabinetHeldElsewhereIsRefused) {
    const AVCommand command = Registered();
    const ASCab parent = Cab().cabNew();
    Cab().cabPutCab(parent, "child", Cab().cabNew());
    const ASCab child = Cab().cabGetCab(parent, "child");
    EXPECT_EQ(RaisedCode([&] { View().commandPutCab(command, "State", child); }), kHostErrBadParameter);
    EXPECT_EQ(Cab().cabGetCab(parent, "child"), child);
    Cab().cabDestroy(parent);
    View().commandDestroy(command);
}

int gDestroyedPointers = 0;
void DestroyPointer(void*) { ++gDestroyedPointers; }

TEST_F(BatchCommandTable, DestroyingTheCommandRunsItsPointerDestroyProcedures) {
    const AVCommand command = Registered();
    gDestroyedPointers = 0;
    const ASCab state = View().commandGetCab(command, "State", true);
    static int object = 0;
    Cab().cabPutPointer(state, "object", "Thing*", &object, Callback(&DestroyPointer));
    View().commandDestroy(command);
    EXPECT_EQ(gDestroyedPointers, 1);
    EXPECT_EQ(script.calls.back(), "destroyed");
    EXPECT_EQ(RaisedCode([&] { View().commandGetName(command); }), kHostErrBadHandle);
}

TEST_F(BatchCommandTable, ReleasingTheExtensionDestroysItsCommandsAndTerminates) {
    AVCommandHandlerRec record = FullRecord();
    record.terminate = Callback(&Terminate);
    record.registerCommands = Callback(&RegisterGlobal);
    ASSERT_TRUE(View().registerCommandHandler(Atom("Released"), &record));
    gTerminated = 0;
    qmhost::batchCommands().releaseExtension(TestExtension());
    EXPECT_EQ(gTerminated, 1);
    EXPECT_EQ(View().commandFindGlobal(Atom("Released")), nullptr);
    EXPECT_EQ(script.calls.back(), "destroyed");
    EXPECT_EQ(qmhost::batchCommands().handler(Atom("Released")), nullptr);
}

TEST_F(BatchCommandTable, AFreshCommandIsReadyWithoutDocumentMonitorOrReportProcedure) {
    const AVCommand command = Registered();
    EXPECT_EQ(View().commandGetStatus(command), kAVCommandReady);
    EXPECT_EQ(View().commandGetPDDoc(command), nullptr);
    void* data = reinterpret_cast<void*>(1);
    EXPECT_EQ(View().commandGetProgressMonitor(command, &data), nullptr);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(View().commandGetReportProc(command), nullptr);
    EXPECT_EQ(View().commandGetReportProc(nullptr), nullptr);
    EXPECT_EQ(View().commandGetCursorPolicy(command), 0);
    View().commandDestroy(command);
}

struct ReportRow {
    const char* name;
    int32_t severity;
    int32_t code;
    const char* message;
    const char* detail;
    const char* line;
};

void PrintTo(const ReportRow& row, std::ostream* os) { *os << row.name; }

class BatchReportLine : public ::testing::TestWithParam<ReportRow> {};

TEST_P(BatchReportLine, SaysSeverityAndText) {
    const ReportRow& row = GetParam();
    // The text of a code is that of its most recent error.
    if (row.code != 0 && row.code != 12345) {
        try {
            qmhost::raise(row.code | 0x40000000, std::string("text of ") + row.name);
        } catch (const HostError&) {
        }
    }
    EXPECT_EQ(qmhost::reportLine(row.severity, row.code, row.message, row.detail), row.line);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BatchReportLine,
    ::testing::Values(
        ReportRow{"HostCodeOnly", kAVCommandReportError, kHostErrBadPDF, "", "",
                  "error: text of HostCodeOnly"},
        ReportRow{"LowHalfOfAHostCode", kAVCommandReportError, kHostErrBadPDF & 0xFFFF, "", "",
                  "error: text of LowHalfOfAHostCode"},
        ReportRow{"MessageAndCode", kAVCommandReportWarning, kHostErrNotFound, "page 3", "",
                  "warning: page 3 (text of MessageAndCode)"},
        ReportRow{"UnknownCode", kAVCommandReportNote, 12345, "", "", "note: error code 12345"},
        ReportRow{"NothingGiven", kAVCommandReportError, 0, "", "", "error: (no message)"},
        ReportRow{"WithDetail", kAVCommandReportError, 0, "stamp failed", "a.pdf", "error: stamp failed: a.pdf"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(BatchCursors, StandardWaitCursorIsShownAndTheOldOneRestored) {
    qmhost::cursors().reset();
    const AVCursor before = View().cursorGetCurrent();
    const AVCursor wait = View().cursorGetStandard(kAVCursorWait);
    ASSERT_NE(wait, nullptr);
    View().cursorSet(wait);
    EXPECT_EQ(View().cursorGetCurrent(), wait);
    View().cursorSet(before);
    EXPECT_EQ(View().cursorGetCurrent(), before);
    EXPECT_EQ(qmhost::cursors().changes(), 2);
}

TEST(BatchCursors, UnknownNumbersAndForeignHandlesAreRefused) {
    EXPECT_EQ(View().cursorGetStandard(4), nullptr);
    EXPECT_EQ(RaisedCode([] { View().cursorSet(reinterpret_cast<AVCursor>(uintptr_t{1112})); }),
              kHostErrBadHandle);
}

}  // namespace
