// Element undo: records, the per-view managers, the controller's statics and
// what each record kind takes back, on real documents of the host.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/PdfFixtures.h"
#include "common/PluginFixture.h"
#include "EngineFixture.h"
#include "engine/CPDFDocument.h"
#include "engine/CPDFElementUndoController.h"
#include "engine/CPDFElementUndoReplace.h"
#include "module/PluginLifeCycle.h"
#include "support/ErrorCode.h"
#include "support/HostTables.h"

namespace {

// An element record whose Undo answers a set result (or throws, when told)
// and notes what happened.
class ScriptedRecord : public CPDFElementUndoData {
public:
    ScriptedRecord(AVDoc inView, int inId, bool inResult, std::vector<std::string>& ioLog, bool inThrows = false)
        : CPDFElementUndoData(inView, 0, "Scripted"), mId(inId), mResult(inResult), mThrows(inThrows), mLog(ioLog) {}
    ~ScriptedRecord() override { mLog.push_back("delete " + std::to_string(mId)); }
    bool Undo() override {
        mLog.push_back("undo " + std::to_string(mId));
        if (mThrows) ThrowErrorCode(kErrCosObject);
        return mResult;
    }

private:
    int mId;
    bool mResult;
    bool mThrows;
    std::vector<std::string>& mLog;
};

class PlainRecord : public CUndoManagerData {
public:
    explicit PlainRecord(std::vector<std::string>& ioLog) : mLog(ioLog) {}
    ~PlainRecord() override { mLog.push_back("delete plain"); }

private:
    std::vector<std::string>& mLog;
};

// A progress monitor that notes its calls.
struct MonitorLog {
    std::vector<std::string> calls;
};
ASProgressMonitorRec MakeRecordingMonitor() {
    ASProgressMonitorRec monitor{};
    monitor.size = sizeof monitor;
    monitor.beginOperation = [](void* data) { static_cast<MonitorLog*>(data)->calls.push_back("begin"); };
    monitor.endOperation = [](void* data) { static_cast<MonitorLog*>(data)->calls.push_back("end"); };
    monitor.setDuration = [](int32_t n, void* data) {
        static_cast<MonitorLog*>(data)->calls.push_back("duration " + std::to_string(n));
    };
    monitor.setCurrValue = [](int32_t n, void* data) {
        static_cast<MonitorLog*>(data)->calls.push_back("value " + std::to_string(n));
    };
    return monitor;
}

CosObj NullObj() { return gCosHFT->newNull(); }
ASAtom Key(const char* inName) { return gCoreHFT->atomFromString(inName); }

class ElementUndoTest : public testing::Test {
protected:
    void SetUp() override {
        qmtest::StartLinkedPlugin();
        qmtest::TakeAlerts();
        DeletePlugInUndoController();  // these tests make the controller themselves
        mController = std::make_unique<CPDFElementUndoController>();
        ASSERT_EQ(CPDFElementUndoController::GetUndoController(), mController.get());
    }
    void TearDown() override {
        for (AVDoc view : mViews) gAppViewHFT->avDocClose(view, true);
        mController.reset();
        RemakePlugInUndoController();
    }
    // A view on a fixture document with these pages; the view owns the document.
    AVDoc OpenView(const std::vector<qmtest::FixturePage>& inPages, const qmtest::FixtureTree& inTree = {}) {
        const std::string path = mFolder.file("doc" + std::to_string(mViews.size()) + ".pdf");
        qmtest::writeFixturePdf(path, inPages, inTree);
        qmtest::HostPath hostPath(path);
        PDDoc doc = gPDModelHFT->docOpen(hostPath);
        AVDoc view = gAppViewHFT->avDocOpenFromPDDoc(doc, "undo");
        mViews.push_back(view);
        return view;
    }
    AVDoc OpenBlankView() {
        AVDoc view = gAppViewHFT->avDocOpenFromPDDoc(gPDModelHFT->docCreate(), "blank");
        mViews.push_back(view);
        return view;
    }
    void CloseView(AVDoc inView) {
        gAppViewHFT->avDocClose(inView, true);
        std::erase(mViews, inView);
    }
    PDDoc DocOf(AVDoc inView) { return gAppViewHFT->avDocGetPDDoc(inView); }
    CosDoc CosDocOf(AVDoc inView) { return gPDModelHFT->docGetCosDoc(DocOf(inView)); }
    CosObj PageDict(AVDoc inView, int32_t inPage) {
        PDPage page = gPDModelHFT->docAcquirePage(DocOf(inView), inPage);
        const CosObj dict = gPDModelHFT->pageGetCosObj(page);
        gPDModelHFT->pageRelease(page);
        return dict;
    }
    CosObj NewStream(AVDoc inView, const std::string& inData) {
        ASStm source = gAppSupportHFT->memStmOpen(inData.data(), static_cast<int64_t>(inData.size()));
        const CosObj stream = gCosHFT->newStream(CosDocOf(inView), true, source, 0, 0, NullObj(),
                                                 NullObj(), static_cast<int64_t>(inData.size()));
        gAppSupportHFT->stmClose(source);
        return stream;
    }
    std::vector<CosObj> ContentsArray(AVDoc inView, int32_t inPage) {
        const CosObj contents = gCosHFT->dictGet(PageDict(inView, inPage), Key("Contents"));
        std::vector<CosObj> items;
        if (gCosHFT->objGetType(contents) != CosArray) return items;
        for (int32_t i = 0; i < gCosHFT->arrayLength(contents); ++i)
            items.push_back(gCosHFT->arrayGet(contents, i));
        return items;
    }
    // Does what content insertion does: a single stream becomes an indirect
    // array [old, piece]; an array gets the piece appended.
    CosObj AppendContent(AVDoc inView, int32_t inPage, const std::string& inData) {
        const CosObj page = PageDict(inView, inPage);
        const CosObj piece = NewStream(inView, inData);
        CosObj contents = gCosHFT->dictGet(page, Key("Contents"));
        if (gCosHFT->objGetType(contents) == CosStream) {
            const CosObj array = gCosHFT->newArray(CosDocOf(inView), true, 2);
            gCosHFT->arrayPut(array, 0, contents);
            gCosHFT->dictPut(page, Key("Contents"), array);
            contents = array;
        }
        gCosHFT->arrayPut(contents, gCosHFT->arrayLength(contents), piece);
        return piece;
    }

    std::unique_ptr<CPDFElementUndoController> mController;
    std::vector<AVDoc> mViews;
    qmtest::FixtureFolder mFolder;
};

// --- records

TEST(CPDFElementUndoData, SettersCopyTheTextAndNullClearsIt) {
    CPDFElementUndoAdd record(nullptr, -1, kElementUndoCosObj, {1, 0}, "CosObj", "CosObj");
    std::string text = "first";
    record.SetDescription(text.c_str());
    text[0] = 'X';
    EXPECT_STREQ(record.GetDescription(), "first");
    record.SetName(record.GetName());  // its own text
    EXPECT_STREQ(record.GetName(), "CosObj");
    record.SetDescription(nullptr);
    EXPECT_EQ(record.GetDescription(), nullptr);
}

// A record's texts are its own: the caller's buffer may change or go, and
// records that share a kept text may go in any order.
TEST(CPDFElementUndoData, TextsOutliveTheCallersBuffersAndOtherRecords) {
    struct Row {
        std::string label;
        const char* resourceName;  // null: none given
        std::string kept;          // the resource name the record keeps
    };
    const std::string name255(255, 'r');
    const std::string name300(300, 'm');
    const Row rows[] = {
        {"Font", "NxF0", "NxF0"},                           // a label of the elements, a short name
        {"ExtGState", "NxGS12", "NxGS12"},                  // another label
        {"my own label", "QM", "QM"},                       // a label of no element: copied
        {"Fon", name255.c_str(), name255},                  // near a label but not one; the longest name
        {"XObject", name300.c_str(), std::string(255, 'm')},  // a longer name is cut
        {"Content", nullptr, ""},                           // no name: an empty one
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        const std::string& label = row.label;
        std::string labelBuffer = label;
        std::string nameBuffer = row.resourceName ? row.resourceName : "";
        const char* name = row.resourceName ? nameBuffer.c_str() : nullptr;
        auto first = std::make_unique<CPDFElementUndoAdd>(nullptr, 0, kElementUndoFont, CosObj{1, 0}, name,
                                                          labelBuffer.c_str());
        auto second = std::make_unique<CPDFElementUndoAdd>(nullptr, 1, kElementUndoFont, CosObj{2, 0}, name,
                                                           labelBuffer.c_str());
        labelBuffer.assign(label.size(), 'X');
        nameBuffer.assign(nameBuffer.size(), 'Y');
        first.reset();
        EXPECT_EQ(second->GetName(), label);
        EXPECT_EQ(second->GetResourceName(), row.kept);
        EXPECT_NE(static_cast<const void*>(second->GetName()), static_cast<const void*>(labelBuffer.c_str()));
        second->SetName(nullptr);
        EXPECT_EQ(second->GetName(), nullptr);
        second->SetName(label.c_str());
        EXPECT_EQ(second->GetName(), label);
    }
}

// --- controller and managers

TEST(CPDFElementUndoController, WithoutControllerRecordingDoesNothing) {
    qmtest::StartLinkedPlugin();
    DeletePlugInUndoController();
    ASSERT_EQ(CPDFElementUndoController::GetUndoController(), nullptr);
    // Nothing is made, so nothing leaks (the leak checker would see it).
    CPDFElementUndoController::RecordElementAdded(reinterpret_cast<AVDoc>(0x10), 0, kElementUndoContent,
                                                  {1, 0}, "", "Content");
    EXPECT_EQ(CPDFElementUndoController::GetUndoController(), nullptr);
    RemakePlugInUndoController();
}

TEST_F(ElementUndoTest, OnlyTheFirstControllerIsTheController) {
    CPDFElementUndoController second;
    EXPECT_EQ(CPDFElementUndoController::GetUndoController(), mController.get());
    mController.reset();
    EXPECT_EQ(CPDFElementUndoController::GetUndoController(), nullptr);
}

TEST_F(ElementUndoTest, EveryViewGetsAManagerOfDepthOneMillion) {
    AVDoc view = OpenBlankView();
    CAVDocUndoManager* manager = mController->FindManager(view);
    ASSERT_NE(manager, nullptr);
    EXPECT_NE(dynamic_cast<CPDFElementUndoManager*>(manager), nullptr);
    EXPECT_EQ(manager->GetDepth(), 1000000u);
    EXPECT_EQ(manager->GetAVDoc(), view);
}

TEST_F(ElementUndoTest, ViewNeverRegisteredHasNothingToUndoAndItsRecordsAreDeleted) {
    std::vector<std::string> log;
    AVDoc stranger = reinterpret_cast<AVDoc>(0x7777);
    CPDFElementUndoController::AddElementUndoRecord(stranger, new ScriptedRecord(stranger, 1, true, log));
    EXPECT_EQ(log, std::vector<std::string>{"delete 1"});
    CPDFElementUndoController::RecordElementAdded(stranger, 0, kElementUndoContent, {1, 0}, "", "Content");
    CUndoManagerData* record = nullptr;
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(stranger), 0);
    EXPECT_FALSE(CPDFElementUndoController::CanUndoElements(stranger));
    EXPECT_FALSE(CPDFElementUndoController::PopElementUndoRecord(stranger, record));
    EXPECT_FALSE(CPDFElementUndoController::PeekElementUndoRecord(stranger, record));
    EXPECT_FALSE(CPDFElementUndoController::UndoLastElement(stranger));
    CPDFElementUndoController::ClearElementUndo(stranger);
}

TEST_F(ElementUndoTest, RecordElementAddedKeepsTheRecordOnTheViewsStack) {
    AVDoc view = OpenBlankView();
    AVDoc other = OpenBlankView();
    CPDFElementUndoController::RecordElementAdded(view, 2, kElementUndoExtGState, {9, 0}, "QMGS1",
                                                  kElementUndoNameExtGState);
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(view), 1);
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(other), 0);
    EXPECT_TRUE(CPDFElementUndoController::CanUndoElements(view));
    CUndoManagerData* peeked = nullptr;
    ASSERT_TRUE(CPDFElementUndoController::PeekElementUndoRecord(view, peeked));
    auto* record = dynamic_cast<CPDFElementUndoAdd*>(peeked);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->GetAVDoc(), view);
    EXPECT_EQ(record->GetPageIndex(), 2);
    EXPECT_EQ(record->GetKind(), kElementUndoExtGState);
    EXPECT_STREQ(record->GetResourceName(), "QMGS1");
    EXPECT_STREQ(record->GetName(), "ExtGState");
    EXPECT_EQ(record->GetObject().a, 9u);
    EXPECT_EQ(record->GetDescription(), nullptr);
    EXPECT_FALSE(record->GetSuccess());
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(view), 1);
    CUndoManagerData* popped = nullptr;
    ASSERT_TRUE(CPDFElementUndoController::PopElementUndoRecord(view, popped));
    EXPECT_EQ(popped, peeked);
    delete popped;
    EXPECT_FALSE(CPDFElementUndoController::CanUndoElements(view));
}

TEST_F(ElementUndoTest, ClearingOrClosingDeletesOnlyThatViewsRecords) {
    std::vector<std::string> log;
    AVDoc view = OpenBlankView();
    AVDoc other = OpenBlankView();
    CPDFElementUndoController::AddElementUndoRecord(view, new ScriptedRecord(view, 1, true, log));
    CPDFElementUndoController::AddElementUndoRecord(view, new ScriptedRecord(view, 2, true, log));
    CPDFElementUndoController::AddElementUndoRecord(other, new ScriptedRecord(other, 3, true, log));
    CPDFElementUndoController::ClearElementUndo(view);
    EXPECT_EQ(log, (std::vector<std::string>{"delete 2", "delete 1"}));
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(other), 1);
    CPDFElementUndoController::ClearAllElementUndo();
    EXPECT_EQ(log.back(), "delete 3");
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(other), 0);
    // Closing a view deletes its records too.
    CPDFElementUndoController::AddElementUndoRecord(view, new ScriptedRecord(view, 4, true, log));
    CloseView(view);
    EXPECT_EQ(log.back(), "delete 4");
}

TEST_F(ElementUndoTest, UndoLastElementDeletesTheRecordItPopped) {
    std::vector<std::string> log;
    AVDoc view = OpenBlankView();
    CPDFElementUndoController::AddElementUndoRecord(view, new ScriptedRecord(view, 1, true, log));
    CPDFElementUndoController::AddElementUndoRecord(view, new ScriptedRecord(view, 2, false, log));
    EXPECT_FALSE(CPDFElementUndoController::UndoLastElement(view));
    EXPECT_EQ(log, (std::vector<std::string>{"undo 2", "delete 2"}));
    EXPECT_TRUE(CPDFElementUndoController::UndoLastElement(view));
    EXPECT_EQ(log.back(), "delete 1");
    EXPECT_FALSE(CPDFElementUndoController::UndoLastElement(view));
    // A record of another type is not undone, but deleted all the same.
    CPDFElementUndoController::AddElementUndoRecord(view, new PlainRecord(log));
    EXPECT_FALSE(CPDFElementUndoController::UndoLastElement(view));
    EXPECT_EQ(log.back(), "delete plain");
}

TEST_F(ElementUndoTest, ManagerPopToNullDeletesTheRecord) {
    std::vector<std::string> log;
    AVDoc view = OpenBlankView();
    auto* manager = static_cast<CPDFElementUndoManager*>(mController->FindManager(view));
    manager->Push(new ScriptedRecord(view, 1, true, log));
    EXPECT_EQ(manager->GetCount(), 1);
    EXPECT_TRUE(manager->Pop(nullptr));
    EXPECT_EQ(log, std::vector<std::string>{"delete 1"});
    EXPECT_FALSE(manager->Pop(nullptr));
    EXPECT_FALSE(manager->CanUndo());
}

TEST_F(ElementUndoTest, UndoAllTriesEveryRecordReportsProgressAndDeletesEach) {
    std::vector<std::string> log;
    AVDoc view = OpenBlankView();
    for (int id = 1; id <= 3; ++id)
        CPDFElementUndoController::AddElementUndoRecord(view, new ScriptedRecord(view, id, id != 2, log));
    ASProgressMonitorRec monitor = MakeRecordingMonitor();
    MonitorLog progress;
    EXPECT_FALSE(CPDFElementUndoController::UndoAllElements(view, &monitor, &progress));
    EXPECT_EQ(log, (std::vector<std::string>{"undo 3", "delete 3", "undo 2", "delete 2", "undo 1",
                                             "delete 1"}));
    EXPECT_EQ(progress.calls, (std::vector<std::string>{"begin", "duration 3", "value 0", "value 1",
                                                        "value 2", "value 3", "end"}));
    EXPECT_FALSE(CPDFElementUndoController::CanUndoElements(view));
}

TEST_F(ElementUndoTest, UndoAllStoppedByAThrownFailureIsAFailureAndClearsTheRest) {
    std::vector<std::string> log;
    AVDoc view = OpenBlankView();
    CPDFElementUndoController::AddElementUndoRecord(view, new ScriptedRecord(view, 1, true, log));
    CPDFElementUndoController::AddElementUndoRecord(view, new ScriptedRecord(view, 2, true, log, true));
    EXPECT_FALSE(CPDFElementUndoController::UndoAllElements(view, nullptr, nullptr));
    EXPECT_EQ(log, (std::vector<std::string>{"undo 2", "delete 2", "delete 1"}));
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(view), 0);
}

// --- what Undo takes back

TEST_F(ElementUndoTest, UndoWithoutViewReportsTheAssertion) {
    CPDFElementUndoAdd record(nullptr, 0, kElementUndoContent, {1, 0}, "", "Content");
    try {
        record.Undo();
        FAIL() << "no assertion";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrAssertion);
    }
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].rfind("Assertion 'mAVDoc != NULL' failed in module: CPDFElementUndoAdd at line: ", 0),
              0u);
}

TEST_F(ElementUndoTest, AReplacedEntryIsPutBackOnlyWhileItIsStillTheOneTheRunPut) {
    enum class After { Untouched, GainedAnEntry, ReplacedSince };
    struct Row {
        const char* name;
        bool hadBefore;  // the key held a dictionary before the run
        After after;
        const char* expected;  // what the key holds after undo: "before", "made", "other" or "none"
    };
    const Row rows[] = {
        {"a copy goes, the original comes back", true, After::Untouched, "before"},
        {"a copy that gained an entry still goes", true, After::GainedAnEntry, "before"},
        {"an empty dictionary the run made goes", false, After::Untouched, "none"},
        {"a made dictionary that still has an entry stays", false, After::GainedAnEntry, "made"},
        {"an entry replaced since is left alone", true, After::ReplacedSince, "other"},
    };
    AVDoc view = OpenView({qmtest::FixturePage{}});
    const CosDoc cos = CosDocOf(view);
    const CosObj holder = PageDict(view, 0);
    for (const Row& row : rows) {
        const CosObj before = row.hadBefore ? gCosHFT->newDict(cos, true, 1) : NullObj();
        const CosObj made = gCosHFT->newDict(cos, true, 1);
        const CosObj other = gCosHFT->newDict(cos, true, 1);
        gCosHFT->dictPut(holder, Key("QmTest"), made);
        if (row.after == After::GainedAnEntry) gCosHFT->dictPut(made, Key("NxF0"), gCosHFT->newInteger(cos, false, 1));
        if (row.after == After::ReplacedSince) gCosHFT->dictPut(holder, Key("QmTest"), other);
        CPDFElementUndoReplace record(view, kElementUndoNoPage, holder, Key("QmTest"), before, made);
        EXPECT_TRUE(record.Undo()) << row.name;
        const CosObj now = gCosHFT->dictGet(holder, Key("QmTest"));
        const std::string holds = gCosHFT->objGetType(now) == CosNull     ? "none"
                                  : row.hadBefore && gCosHFT->objEqual(now, before) ? "before"
                                  : gCosHFT->objEqual(now, made)                   ? "made"
                                  : gCosHFT->objEqual(now, other)                  ? "other"
                                                                                   : "?";
        EXPECT_EQ(holds, row.expected) << row.name;
        gCosHFT->dictRemove(holder, Key("QmTest"));
    }
}

// A content record takes its own piece off the page and nothing else.
TEST_F(ElementUndoTest, ContentUndoTakesOffOnlyItsOwnPiece) {
    enum class Piece { Appended, OnlyStream, Stranger, Null };
    struct Row {
        const char* name;
        qmtest::FixtureContents contents;
        Piece piece;
        int32_t page;
        bool undone;
    };
    using C = qmtest::FixtureContents;
    const Row rows[] = {
        {"from the array insertion made of one stream", C::OneStream, Piece::Appended, 0, true},
        {"from an existing array", C::StreamArray, Piece::Appended, 0, true},
        {"the only stream: the key goes", C::None, Piece::OnlyStream, 0, true},
        {"another single stream is left alone", C::OneStream, Piece::Stranger, 0, true},
        {"a page without contents fails", C::None, Piece::Stranger, 0, false},
        {"a page that is not there fails", C::OneStream, Piece::Stranger, 5, false},
        {"the null object fails", C::OneStream, Piece::Null, 0, false},
    };
    // The page's streams: an array's items, or the single stream.
    auto items = [this](AVDoc inView) {
        const CosObj contents = gCosHFT->dictGet(PageDict(inView, 0), Key("Contents"));
        return gCosHFT->objGetType(contents) == CosStream ? std::vector<CosObj>{contents}
                                                          : ContentsArray(inView, 0);
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        qmtest::FixturePage page;
        page.contents = row.contents;
        AVDoc view = OpenView({page});
        const auto before = items(view);
        CosObj piece = NullObj();
        if (row.piece == Piece::Appended) piece = AppendContent(view, 0, "q 1 0 0 RG Q\n");
        if (row.piece == Piece::OnlyStream || row.piece == Piece::Stranger) piece = NewStream(view, "q Q\n");
        if (row.piece == Piece::OnlyStream) gCosHFT->dictPut(PageDict(view, 0), Key("Contents"), piece);
        const CosObj holder = gCosHFT->dictGet(PageDict(view, 0), Key("Contents"));
        CPDFElementUndoAdd record(view, row.page, kElementUndoContent, piece, "", kElementUndoNameContent);
        EXPECT_EQ(record.Undo(), row.undone);
        EXPECT_EQ(record.GetSuccess(), row.undone);
        if (!row.undone) continue;
        if (row.piece == Piece::OnlyStream) {
            EXPECT_FALSE(gCosHFT->dictKnown(PageDict(view, 0), Key("Contents")));
            continue;
        }
        EXPECT_TRUE(gCosHFT->objEqual(gCosHFT->dictGet(PageDict(view, 0), Key("Contents")), holder))
            << "Contents stays what it was (an array stays an array)";
        const auto after = items(view);
        ASSERT_EQ(after.size(), before.size());
        for (size_t i = 0; i < after.size(); ++i) EXPECT_TRUE(gCosHFT->objEqual(after[i], before[i]));
    }
}

// The run's save/restore pair used to stay after undo: each stamp-and-undo
// cycle nested the page one level deeper.
TEST_F(ElementUndoTest, WrappingIsTakenBackOnceNothingOfTheRunIsLeft) {
    using C = qmtest::FixtureContents;
    struct Row {
        const char* name;
        C contents;
        bool indirectArray;  // "Contents" made an indirect array of its pieces first
        bool pieceLeft;      // a piece of the run stays behind the pair
        const char* data = nullptr;     // the page's one stream holds this
        const char* closing = " Q ";    // the last piece the wrapping puts in
    };
    const Row rows[] = {
        {"no contents", C::None, false, false},
        {"one stream", C::OneStream, false, false},
        {"a direct array", C::StreamArray, false, false},
        {"an indirect array", C::OneStream, true, false},
        {"a piece left keeps the pair", C::OneStream, false, true},
        {"a page that leaves a save and marked content open", C::OneStream, false, false,
         "q 0.5 0 0 0.5 0 0 cm /P BMC", " EMC Q Q "},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        qmtest::FixturePage page;
        page.contents = row.contents;
        AVDoc view = OpenView({page});
        if (row.data) gCosHFT->dictPut(PageDict(view, 0), Key("Contents"), NewStream(view, row.data));
        if (row.indirectArray) {
            const CosObj array = gCosHFT->newArray(CosDocOf(view), true, 1);
            gCosHFT->arrayPut(array, 0, gCosHFT->dictGet(PageDict(view, 0), Key("Contents")));
            gCosHFT->dictPut(PageDict(view, 0), Key("Contents"), array);
        }
        const CosObj before = gCosHFT->dictGet(PageDict(view, 0), Key("Contents"));
        const std::vector<CosObj> pieces = ContentsArray(view, 0);
        CPDFDocument doc(DocOf(view));
        doc.SetAVDoc(view);
        ASSERT_TRUE(doc.WrapAllPageContents(true));
        ASSERT_EQ(CPDFElementUndoController::CountElementUndoRecords(view), 1);
        EXPECT_EQ(enginetest::StreamData(ContentsArray(view, 0).back()), row.closing);
        if (row.pieceLeft) AppendContent(view, 0, "q 1 0 0 RG Q\n");
        EXPECT_TRUE(CPDFElementUndoController::UndoAllElements(view, nullptr, nullptr));
        const CosObj after = gCosHFT->dictGet(PageDict(view, 0), Key("Contents"));
        if (row.pieceLeft) {
            EXPECT_EQ(ContentsArray(view, 0).size(), 4u) << "the pair, the page's stream, the piece";
            continue;
        }
        ASSERT_EQ(gCosHFT->objGetType(after), gCosHFT->objGetType(before));
        if (row.contents == C::OneStream || row.indirectArray) {
            EXPECT_TRUE(gCosHFT->objEqual(after, before));
        }
        const std::vector<CosObj> restored = ContentsArray(view, 0);
        ASSERT_EQ(restored.size(), pieces.size());
        for (size_t i = 0; i < pieces.size(); ++i) EXPECT_TRUE(gCosHFT->objEqual(restored[i], pieces[i])) << i;
    }
}

TEST_F(ElementUndoTest, PieceSharedByPagesIsTakenOffOnlyThePageUndone) {
    qmtest::FixtureTree ownResources;
    ownResources.inheritedResources = false;
    AVDoc view = OpenView({qmtest::FixturePage{}, qmtest::FixturePage{}}, ownResources);
    CPDFDocument doc(DocOf(view));
    doc.SetAVDoc(view);
    auto stamp = enginetest::MakeTextStamp(doc, "CONFIDENTIAL", 20);
    stamp->element.SetRecordUndo(true);
    ASSERT_TRUE(stamp->element.Write(0));
    ASSERT_TRUE(stamp->element.Write(1));
    const CosObj piece = ContentsArray(view, 0).back();
    ASSERT_TRUE(gCosHFT->objEqual(ContentsArray(view, 1).back(), piece)) << "one stream for both pages";
    // The newest records are page 2's: its piece, then its resources and the
    // "ExtGState" dictionary made for them; page 1 keeps the same four.
    while (CPDFElementUndoController::CountElementUndoRecords(view) > 4)
        ASSERT_TRUE(CPDFElementUndoController::UndoLastElement(view));
    const auto first = ContentsArray(view, 0);
    const auto second = ContentsArray(view, 1);
    ASSERT_EQ(second.size(), 1u) << "page 2 has its own content back";
    EXPECT_FALSE(gCosHFT->objEqual(second[0], piece));
    ASSERT_EQ(first.size(), 2u);
    EXPECT_TRUE(gCosHFT->objEqual(first[1], piece));
    EXPECT_EQ(enginetest::StreamData(first[1]).find(" q "), 0u) << "page 1 keeps the whole piece";
    doc.SetAVDoc(nullptr);
}

struct ResourceCase {
    const char* name;
    int32_t kind;
    const char* type;
};

class ResourceUndoTest : public ElementUndoTest, public testing::WithParamInterface<ResourceCase> {};

TEST_P(ResourceUndoTest, RemovesExactlyTheEntryThatWasAdded) {
    const ResourceCase& c = GetParam();
    for (bool inherited : {true, false}) {
        qmtest::FixtureTree tree;
        tree.inheritedResources = inherited;
        AVDoc view = OpenView({qmtest::FixturePage{}, qmtest::FixturePage{}}, tree);
        PDPage page = gPDModelHFT->docAcquirePage(DocOf(view), 1);
        const CosObj value = gCosHFT->newDict(CosDocOf(view), true, 1);
        gPDModelHFT->pageAddResource(page, c.type, "QM1", value);
        gPDModelHFT->pageAddResource(page, c.type, "QM2", value);
        gPDModelHFT->pageRelease(page);
        CPDFElementUndoAdd record(view, 1, c.kind, value, "QM2", c.name);
        EXPECT_TRUE(record.Undo()) << inherited;

        // Through the page's effective resources, as the host resolves them.
        page = gPDModelHFT->docAcquirePage(DocOf(view), 1);
        CosObj resources = gCosHFT->dictGet(gPDModelHFT->pageGetCosObj(page), Key("Resources"));
        if (gCosHFT->objGetType(resources) == CosNull)
            resources = gCosHFT->dictGet(gCosHFT->dictGet(gPDModelHFT->pageGetCosObj(page), Key("Parent")),
                                         Key("Resources"));
        gPDModelHFT->pageRelease(page);
        const CosObj entries = gCosHFT->dictGet(resources, Key(c.type));
        EXPECT_FALSE(gCosHFT->dictKnown(entries, Key("QM2"))) << inherited;
        EXPECT_TRUE(gCosHFT->dictKnown(entries, Key("QM1"))) << inherited;
        // The fixture's own font stays.
        EXPECT_TRUE(gCosHFT->dictKnown(gCosHFT->dictGet(resources, Key("Font")), Key("F1")));
        CloseView(view);
    }
}

INSTANTIATE_TEST_SUITE_P(
    CPDFElementUndoAdd, ResourceUndoTest,
    testing::Values(ResourceCase{"Font", kElementUndoFont, "Font"},
                    ResourceCase{"ExtGState", kElementUndoExtGState, "ExtGState"},
                    ResourceCase{"XObject", kElementUndoXObject, "XObject"}),
    [](const testing::TestParamInfo<ResourceCase>& row) { return std::string(row.param.name); });

TEST_F(ElementUndoTest, AnnotationIsRemovedFromThePage) {
    AVDoc view = OpenView({qmtest::FixturePage{}});
    PDPage page = gPDModelHFT->docAcquirePage(DocOf(view), 0);
    const ASFixedRect rect{0, 100 << 16, 100 << 16, 0};
    const PDAnnot kept = gPDModelHFT->pageCreateAnnot(page, Key("Link"), &rect);
    gPDModelHFT->pageAddAnnot(page, -1, kept);
    const PDAnnot added = gPDModelHFT->pageCreateAnnot(page, Key("Link"), &rect);
    gPDModelHFT->pageAddAnnot(page, 0, added);
    ASSERT_EQ(gPDModelHFT->pageGetNumAnnots(page), 2);
    CPDFElementUndoAdd record(view, 0, kElementUndoAnnot, added.cos, "", kElementUndoNameAnnot);
    EXPECT_TRUE(record.Undo());
    ASSERT_EQ(gPDModelHFT->pageGetNumAnnots(page), 1);
    EXPECT_TRUE(gCosHFT->objEqual(gPDModelHFT->pageGetAnnot(page, 0).cos, kept.cos));
    EXPECT_EQ(gPDModelHFT->pageGetAnnotIndex(page, added), -1);
    gPDModelHFT->pageRelease(page);
}

TEST_F(ElementUndoTest, PagelessRecordsTouchNoPage) {
    AVDoc view = OpenView({qmtest::FixturePage{}});
    const CosObj contents = gCosHFT->dictGet(PageDict(view, 0), Key("Contents"));
    for (int32_t kind : {kElementUndoResources, kElementUndoCosObj}) {
        const CosObj object = gCosHFT->newDict(CosDocOf(view), true, 1);
        // Page -1 could not be acquired: success shows that none was.
        CPDFElementUndoAdd record(view, kElementUndoNoPage, kind, object, "CosObj", "CosObj");
        EXPECT_TRUE(record.Undo()) << kind;
    }
    EXPECT_TRUE(gCosHFT->objEqual(gCosHFT->dictGet(PageDict(view, 0), Key("Contents")), contents));
}

TEST_F(ElementUndoTest, WholeRunIsUndoneNewestFirstAndLeavesNothingInTheSavedFile) {
    AVDoc view = OpenView({qmtest::FixturePage{}, qmtest::FixturePage{}});
    const ASFixedRect rect{0, 50 << 16, 50 << 16, 0};
    for (int32_t number = 0; number < 2; ++number) {
        // What a text element with a link records on each page, in its order.
        PDPage page = gPDModelHFT->docAcquirePage(DocOf(view), number);
        const CosObj font = gCosHFT->newDict(CosDocOf(view), true, 1);
        gCosHFT->dictPut(font, Key("QuillmarkUndoFont"), gCosHFT->newInteger(CosDocOf(view), false, 1));
        gPDModelHFT->pageAddResource(page, "Font", "QMF1", font);
        CPDFElementUndoController::RecordElementAdded(view, number, kElementUndoFont, font, "QMF1",
                                                      kElementUndoNameFont);
        const CosObj gs = gCosHFT->newDict(CosDocOf(view), true, 1);
        gPDModelHFT->pageAddResource(page, "ExtGState", "QMGS1", gs);
        CPDFElementUndoController::RecordElementAdded(view, number, kElementUndoExtGState, gs, "QMGS1",
                                                      kElementUndoNameExtGState);
        const CosObj piece = AppendContent(view, number, "% QuillmarkUndoPiece\nq Q\n");
        CPDFElementUndoController::RecordElementAdded(view, number, kElementUndoContent, piece, "",
                                                      kElementUndoNameContent);
        const PDAnnot link = gPDModelHFT->pageCreateAnnot(page, Key("Link"), &rect);
        gPDModelHFT->pageAddAnnot(page, 0x7ffffffe, link);
        CPDFElementUndoController::RecordElementAdded(view, number, kElementUndoAnnot, link.cos, "",
                                                      kElementUndoNameAnnot);
        gPDModelHFT->pageRelease(page);
    }
    ASSERT_EQ(CPDFElementUndoController::CountElementUndoRecords(view), 8);
    EXPECT_TRUE(CPDFElementUndoController::UndoAllElements(view, nullptr, nullptr));
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(view), 0);

    for (int32_t number = 0; number < 2; ++number) {
        PDPage page = gPDModelHFT->docAcquirePage(DocOf(view), number);
        EXPECT_EQ(gPDModelHFT->pageGetNumAnnots(page), 0);
        gPDModelHFT->pageRelease(page);
        EXPECT_EQ(ContentsArray(view, number).size(), 1u);
    }
    const std::string saved = mFolder.file("saved.pdf");
    const std::string expanded = mFolder.file("expanded.pdf");
    gPDModelHFT->docSave(DocOf(view), qmtest::HostPath(saved));
    const auto check = qmtest::qpdfCheck(saved);
    EXPECT_EQ(check.status, 0) << check.output;
    const auto qdf = qmtest::runCommand("qpdf --qdf --object-streams=disable " + qmtest::shellQuote(saved) +
                                        " " + qmtest::shellQuote(expanded));
    ASSERT_EQ(qdf.status, 0) << qdf.output;
    const std::string bytes = qmtest::readBytes(expanded);
    EXPECT_EQ(bytes.find("QuillmarkUndoPiece"), std::string::npos);
    EXPECT_EQ(bytes.find("QuillmarkUndoFont"), std::string::npos);
    EXPECT_EQ(bytes.find("QMGS1"), std::string::npos);
    EXPECT_EQ(bytes.find("/Link"), std::string::npos);
}

}  // namespace
