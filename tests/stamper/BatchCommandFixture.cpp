#include "BatchCommandFixture.h"

#include <filesystem>

#include "stamper/BatchCommandState.h"
#include "stamper/CStamperPreferences.h"
#include "stamper/StampKeys.h"
#include "stamper/StamperBatchCommand.h"
#include "support/HostTables.h"
#include "view/Cursors.h"

namespace batchcmdtest {

ASCab MakeProfile(std::vector<StampCab> stamps) {
    const ASCab profile = gASExtraHFT->cabNew();
    gASExtraHFT->cabPutInt(profile, kKeyNumberOfStamps, static_cast<int32_t>(stamps.size()));
    for (size_t i = 0; i < stamps.size(); ++i)
        gASExtraHFT->cabPutCab(profile, (kKeyStampPrefix + std::to_string(i)).c_str(), stamps[i].Release());
    return profile;
}

std::string WordAfter(const stamptest::TextPage& page, const std::string& prefix) {
    for (const stamptest::Word& word : page.words)
        if (word.text.rfind(prefix, 0) == 0) return word.text.substr(prefix.size());
    return "";
}

std::vector<std::string> WordsAfter(const std::string& pdfPath, const std::string& prefix) {
    std::vector<std::string> words;
    for (const stamptest::TextPage& page : stamptest::ReadTextPages(pdfPath)) words.push_back(WordAfter(page, prefix));
    return words;
}

bool MonitorLog::Begun() const {
    bool begun = false;
    for (const std::string& call : calls) {
        if (call == "begin") begun = true;
        if (call == "end") begun = false;
    }
    return begun;
}

namespace {

void Note(void* data, std::string call) { static_cast<MonitorLog*>(data)->calls.push_back(std::move(call)); }

ASProgressMonitorRec gRecordingMonitor = {
    sizeof(ASProgressMonitorRec),
    [](void* data) { Note(data, "begin"); },
    [](void* data) { Note(data, "end"); },
    [](int32_t n, void* data) { Note(data, "duration " + std::to_string(n)); },
    [](int32_t n, void* data) { Note(data, "value " + std::to_string(n)); },
    [](void*) { return int32_t{0}; },
    [](void*) { return int32_t{0}; },
    nullptr,
};

}  // namespace

ASProgressMonitor RecordingMonitor() { return &gRecordingMonitor; }

void BatchCommandTest::SetUp() {
    StampRunTest::SetUp();
    // Registered once for the process; the plug-in's initialisation may have done it.
    if (!qmhost::batchCommands().handler(GetBatchCommandAtom())) {
        ASSERT_TRUE(RegisterBatchCommand());
    }
    std::filesystem::create_directories(mFolder.file("in"));
    outDir = mFolder.file("out");
    qmhost::cursors().reset();
    mPreferences->SetBatesFixedLength(6);
}

void BatchCommandTest::TearDown() {
    for (AVCommand command : commands) {
        if (!qmhost::batchCommands().alive(command)) continue;
        qmhost::CommandRecord& record = qmhost::batchCommands().command(command);
        record.reports = nullptr;
        record.monitor = nullptr;
        record.document = nullptr;
        qmhost::batchCommands().destroyCommand(command);
    }
    SetBatchDialogRunner(nullptr);
    qmhost::cursors().reset();
    StampRunTest::TearDown();
}

std::string BatchCommandTest::Input(const std::string& leaf, int count) { return WritePdf("in/" + leaf, count); }

void BatchCommandTest::BreakPage(const std::string& path, int32_t pageIndex) {
    qmtest::HostDoc doc = qmtest::HostDoc::open(path);
    PDPage page = gPDModelHFT->docAcquirePage(doc.pd(), pageIndex);
    gCosHFT->dictPut(gPDModelHFT->pageGetCosObj(page), gCoreHFT->atomFromString("Contents"),
                     gCosHFT->newInteger(gPDModelHFT->docGetCosDoc(doc.pd()), false, 5));
    gPDModelHFT->pageRelease(page);
    const std::string broken = path + ".broken";
    qmtest::HostPath target(broken);
    gPDModelHFT->docSave(doc.pd(), target);
    doc.close();
    std::filesystem::rename(broken, path);
}

qmhost::BatchSequenceResult BatchCommandTest::Run(std::vector<StampCab> stamps, std::vector<std::string> inputs) {
    const ASCab profile = MakeProfile(std::move(stamps));
    qmhost::BatchSequenceRequest request;
    request.commandName = "StamperCmd";
    request.params = profile;
    request.inputs = std::move(inputs);
    request.outputFolder = outDir;
    request.cursorPolicy = cursorPolicy;
    request.cancelRequested = cancelRequested;
    qmhost::BatchSequenceResult result = qmhost::runBatchSequence(request);
    gASExtraHFT->cabDestroy(profile);
    return result;
}

AVCommand BatchCommandTest::NewCommand(std::vector<StampCab> stamps) {
    const AVCommand command = gAppViewHFT->commandNew(GetBatchCommandAtom());
    commands.push_back(command);
    const ASCab profile = MakeProfile(std::move(stamps));
    EXPECT_EQ(gAppViewHFT->commandSetParams(command, profile), kAVCommandReady);
    gASExtraHFT->cabDestroy(profile);
    qmhost::CommandRecord& record = qmhost::batchCommands().command(command);
    record.reports = &reports;
    record.monitor = RecordingMonitor();
    record.monitorData = &monitor;
    record.cursorPolicy = cursorPolicy;
    return command;
}

void BatchCommandTest::SetDocument(AVCommand command, PDDoc doc) {
    qmhost::CommandRecord& record = qmhost::batchCommands().command(command);
    record.document = doc;
    record.status = kAVCommandReady;
    record.cursorPolicy = cursorPolicy;
}

AVCommandStatus BatchCommandTest::Work(AVCommand command) { return Step(command, &AVCommandHandlerRec::work); }

AVCommandStatus BatchCommandTest::Step(AVCommand command, ASCallback AVCommandHandlerRec::*slot) {
    const qmhost::ProcOutcome outcome = qmhost::batchCommands().stepProc(command, slot);
    EXPECT_TRUE(outcome.ran);
    EXPECT_EQ(outcome.failure, "");
    return outcome.status;
}

ASCab BatchCommandTest::State(AVCommand command) { return gAppViewHFT->commandGetCab(command, kCommandStateCab, false); }

}  // namespace batchcmdtest
