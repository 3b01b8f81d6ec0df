// The batch-sequence runner driving a small command written here: the order of
// the protocol's calls, statuses, cancel, errors, report lines, outputs saved
// and inputs left untouched.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "BatchTestCommand.h"
#include "pdmodel/SavePreparation.h"
#include "common/PdfFixtures.h"
#include "view/BatchCommands.h"
#include "view/BatchSequences.h"

namespace {

using namespace batchtest;
using qmhost::BatchFileOutcome;
using qmhost::BatchSequenceRequest;
using qmhost::BatchSequenceResult;
using qmtest::FixtureFolder;

constexpr const char* kName = "TestBatchCmd";

class BatchSequence : public ::testing::Test {
protected:
    void SetUp() override {
        qmhost::batchCommands().reset();
        ActiveScript() = &script;
        const AVCommandHandlerRec record = FullRecord();
        ASSERT_TRUE(View().registerCommandHandler(Atom(kName), &record));
        params = Cab().cabNew();
        Cab().cabPutInt(params, "Pages", 7);
        outDir = folder.file("out");
    }
    void TearDown() override {
        Cab().cabDestroy(params);
        qmhost::batchCommands().reset();
        ActiveScript() = nullptr;
    }

    // An input of `pages` pages in the folder.
    std::string Input(const std::string& name, int pages) {
        const std::string path = folder.file(name);
        qmtest::writeSimplePdf(path, pages);
        return path;
    }

    BatchSequenceResult Run(std::vector<std::string> inputs) {
        BatchSequenceRequest request;
        request.commandName = kName;
        request.params = params;
        request.inputs = std::move(inputs);
        request.outputFolder = outDir;
        request.cursorPolicy = cursorPolicy;
        request.stopAtFirstError = stopAtFirstError;
        request.cancelRequested = cancelRequested;
        return qmhost::runBatchSequence(request);
    }

    static std::string TitleOf(const std::string& path) {
        qmtest::HostDoc doc = qmtest::HostDoc::open(path);
        char buffer[256] = {};
        qmhost::pdModelTable()->docGetInfo(doc.pd(), "Title", buffer, sizeof buffer);
        return buffer;
    }

    Script script;
    FixtureFolder folder;
    ASCab params = nullptr;
    std::string outDir;
    int32_t cursorPolicy = 0;
    bool stopAtFirstError = false;
    std::function<bool()> cancelRequested;
};

TEST_F(BatchSequence, CallsTheProceduresInProtocolOrder) {
    const BatchSequenceResult result = Run({Input("a.pdf", 2), Input("b.pdf", 1)});
    ASSERT_TRUE(result.started) << result.message;
    const std::vector<std::string> expected = {
        "created",       "getProps",          "setParams",   "preflightSequence",
        "preflightFile", "work a.pdf 1",      "work a.pdf 2", "postflightFile",
        "reset",         "preflightFile",     "work b.pdf 1", "postflightFile",
        "reset",         "postflightSequence", "destroyed"};
    EXPECT_EQ(script.calls, expected);
    EXPECT_TRUE(result.allSaved());
}

TEST_F(BatchSequence, StatusIsReadyAtTheFirstWorkCallOfEachFileThenWorking) {
    const BatchSequenceResult result = Run({Input("a.pdf", 3), Input("b.pdf", 2)});
    ASSERT_TRUE(result.started) << result.message;
    EXPECT_EQ(script.statusesSeen, (std::vector<int32_t>{kAVCommandReady, kAVCommandWorking, kAVCommandWorking,
                                                          kAVCommandReady, kAVCommandWorking}));
    EXPECT_EQ(result.files[0].workCalls, 3);
    EXPECT_EQ(result.files[1].workCalls, 2);
    EXPECT_EQ(result.files[0].status, kAVCommandDone);
}

TEST_F(BatchSequence, WorkSeesTheParametersMonitorAndCursorPolicy) {
    cursorPolicy = 1;
    const BatchSequenceResult result = Run({Input("a.pdf", 2)});
    ASSERT_TRUE(result.started) << result.message;
    EXPECT_EQ(script.paramsSeen, (std::vector<int32_t>{7, 7}));
    EXPECT_TRUE(script.monitorGiven);
    EXPECT_EQ(script.cursorPolicySeen, 1);
    EXPECT_TRUE(result.files[0].progressEnded);
}

TEST_F(BatchSequence, ProgressOfTheCommandsMonitorIsHandedOnPerFile) {
    std::vector<std::string> seen;
    BatchSequenceRequest request;
    request.commandName = kName;
    request.params = params;
    request.inputs = {Input("a.pdf", 2), Input("b.pdf", 1)};
    request.outputFolder = outDir;
    request.onProgress = [&](const qmhost::BatchProgress& p) {
        seen.push_back(std::to_string(p.fileIndex) + ":" + std::to_string(p.value) + "/" + std::to_string(p.duration));
    };
    ASSERT_TRUE(qmhost::runBatchSequence(request).allSaved());
    // begin, duration, value per call, end (each a change) for each file.
    EXPECT_EQ(seen, (std::vector<std::string>{"0:0/0", "0:0/2", "0:1/2", "0:2/2", "0:2/2", "1:0/0", "1:0/1",
                                              "1:1/1", "1:1/1"}));
}

TEST_F(BatchSequence, OutputsAreSavedInTheOutputFolderAndInputsAreUntouched) {
    const std::string a = Input("a.pdf", 2);
    const std::string b = Input("b.pdf", 3);
    const std::string bytesA = qmtest::readBytes(a);
    const std::string bytesB = qmtest::readBytes(b);
    const BatchSequenceResult result = Run({a, b});
    ASSERT_TRUE(result.allSaved()) << result.message;
    EXPECT_EQ(result.files[0].output, outDir + "/a.pdf");
    EXPECT_EQ(result.files[1].output, outDir + "/b.pdf");
    EXPECT_EQ(TitleOf(outDir + "/a.pdf"), "worked 2");
    EXPECT_EQ(TitleOf(outDir + "/b.pdf"), "worked 3");
    EXPECT_EQ(qmtest::readBytes(a), bytesA);
    EXPECT_EQ(qmtest::readBytes(b), bytesB);
    EXPECT_TRUE(qmtest::qpdfCheck(outDir + "/a.pdf").status == 0);
}

TEST_F(BatchSequence, AnErrorIsReportedAndTheSequenceGoesOn) {
    script.files["b.pdf"].failAtCall = 2;
    const BatchSequenceResult result = Run({Input("a.pdf", 1), Input("b.pdf", 3), Input("c.pdf", 1)});
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.files[0].outcome, BatchFileOutcome::Saved);
    EXPECT_EQ(result.files[1].outcome, BatchFileOutcome::Failed);
    EXPECT_EQ(result.files[1].status, kAVCommandInError);
    EXPECT_EQ(result.files[1].output, "");
    EXPECT_FALSE(qmtest::fileExists(outDir + "/b.pdf"));
    EXPECT_EQ(result.files[2].outcome, BatchFileOutcome::Saved);
    ASSERT_EQ(result.files[1].reports.size(), 1u);
    EXPECT_EQ(result.files[1].reports[0], "error: disk full while writing b.pdf");
    EXPECT_TRUE(result.files[0].reports.empty());
    EXPECT_FALSE(result.allSaved());
}

// A save that warns (an embedded font written whole) still saves its file, and
// the warning becomes one of that file's report lines.
class WarningOnThreePages : public qmhost::SavePreparation {
public:
    explicit WarningOnThreePages(QPDF& qpdf) : mPages(qpdf.getAllPages().size()) {}
    std::vector<std::string> warnings() const override {
        if (mPages != 3) return {};
        return {"the font WenQuanYiMicroHei is embedded whole: HarfBuzz cannot subset it"};
    }

private:
    size_t mPages;
};

TEST_F(BatchSequence, SaveWarningsBecomeReportLinesOfTheirFile) {
    const qmhost::SavePreparer previous = qmhost::savePreparer();
    qmhost::setSavePreparer([](QPDF& qpdf) -> std::unique_ptr<qmhost::SavePreparation> {
        return std::make_unique<WarningOnThreePages>(qpdf);
    });
    const BatchSequenceResult result = Run({Input("a.pdf", 1), Input("b.pdf", 3)});
    qmhost::setSavePreparer(previous);
    ASSERT_TRUE(result.allSaved()) << result.message;
    EXPECT_TRUE(result.files[0].reports.empty());
    ASSERT_EQ(result.files[1].reports.size(), 1u);
    EXPECT_EQ(result.files[1].reports[0],
              "warning: the font WenQuanYiMicroHei is embedded whole: HarfBuzz cannot subset it");
}

TEST_F(BatchSequence, StopAtFirstErrorLeavesTheRestNotRun) {
    stopAtFirstError = true;
    script.files["a.pdf"].failAtCall = 1;
    const BatchSequenceResult result = Run({Input("a.pdf", 1), Input("b.pdf", 1)});
    EXPECT_EQ(result.files[0].outcome, BatchFileOutcome::Failed);
    EXPECT_EQ(result.files[1].outcome, BatchFileOutcome::NotRun);
    EXPECT_EQ(result.files[1].workCalls, 0);
}

TEST_F(BatchSequence, ProgressLeftBegunByAFailingCommandIsNoticed) {
    script.leaveMonitorBegun = true;
    script.files["a.pdf"].failAtCall = 1;
    const BatchSequenceResult result = Run({Input("a.pdf", 2)});
    EXPECT_FALSE(result.files[0].progressEnded);
}

TEST_F(BatchSequence, CancelStopsTheCommandAndTheSequence) {
    int asked = 0;
    cancelRequested = [&] { return ++asked == 3; };  // before the third work call
    const BatchSequenceResult result = Run({Input("a.pdf", 5), Input("b.pdf", 1)});
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.files[0].outcome, BatchFileOutcome::Cancelled);
    EXPECT_EQ(result.files[0].message, "") << "the outcome says it; a message would say it twice";
    EXPECT_EQ(result.files[0].workCalls, 2);
    EXPECT_EQ(result.files[1].outcome, BatchFileOutcome::NotRun);
    EXPECT_FALSE(qmtest::fileExists(outDir + "/a.pdf"));
    const std::vector<std::string> tail(script.calls.end() - 4, script.calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"work a.pdf 2", "cancel", "postflightSequence", "destroyed"}));
}

TEST_F(BatchSequence, CancelNamesEveryFileItDidNotRun) {
    cancelRequested = [] { return true; };  // before the first work call
    const BatchSequenceResult result = Run({Input("a.pdf", 1), Input("b.pdf", 1), Input("c.pdf", 1)});
    ASSERT_EQ(result.files.size(), 3u);
    EXPECT_EQ(result.files[0].outcome, BatchFileOutcome::Cancelled);
    for (size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(result.files[i].outcome, BatchFileOutcome::NotRun);
        EXPECT_NE(result.files[i].input.find(i == 1 ? "b.pdf" : "c.pdf"), std::string::npos) << i;
        EXPECT_NE(result.files[i].message.find("cancelled"), std::string::npos) << result.files[i].message;
    }
}

TEST_F(BatchSequence, AThrowingWorkProcedureFailsOnlyItsFile) {
    script.files["a.pdf"].throwAtCall = 1;
    const BatchSequenceResult result = Run({Input("a.pdf", 1), Input("b.pdf", 1)});
    EXPECT_EQ(result.files[0].outcome, BatchFileOutcome::Failed);
    EXPECT_NE(result.files[0].message.find("work threw on a.pdf"), std::string::npos);
    EXPECT_EQ(result.files[1].outcome, BatchFileOutcome::Saved);
}

TEST_F(BatchSequence, AnUnknownStatusFailsTheFile) {
    script.files["a.pdf"].answerAtCall = 1;
    script.files["a.pdf"].answer = 9;
    const BatchSequenceResult result = Run({Input("a.pdf", 2)});
    EXPECT_EQ(result.files[0].outcome, BatchFileOutcome::Failed);
    EXPECT_NE(result.files[0].message.find("unknown status 9"), std::string::npos);
}

TEST_F(BatchSequence, AFileThatIsNoPdfFailsAndTheOthersRun) {
    const std::string bad = folder.file("bad.pdf");
    qmtest::writeNonPdf(bad);
    const BatchSequenceResult result = Run({bad, Input("b.pdf", 1)});
    EXPECT_EQ(result.files[0].outcome, BatchFileOutcome::Failed);
    EXPECT_EQ(result.files[0].workCalls, 0);
    // The host's message says what is wrong and names the file, once.
    const std::string& message = result.files[0].message;
    EXPECT_NE(message.find(bad + " cannot be read as a PDF file: "), std::string::npos) << message;
    EXPECT_EQ(message.find(bad), message.rfind(bad)) << message;
    EXPECT_EQ(result.files[1].outcome, BatchFileOutcome::Saved);
}

TEST_F(BatchSequence, OutputFolderHoldingTheInputNeverReplacesIt) {
    const std::string a = Input("a.pdf", 1);
    const std::string before = qmtest::readBytes(a);
    outDir = folder.path();
    const BatchSequenceResult result = Run({a});
    EXPECT_EQ(result.files[0].outcome, BatchFileOutcome::Failed);
    EXPECT_NE(result.files[0].message.find("would replace an input"), std::string::npos);
    EXPECT_EQ(result.files[0].workCalls, 0);
    EXPECT_EQ(qmtest::readBytes(a), before);
}

TEST_F(BatchSequence, OutputThatIsALinkToAnInputIsRefused) {
    const std::string a = Input("a.pdf", 1);
    std::filesystem::create_directories(outDir);
    std::filesystem::create_symlink(a, outDir + "/a.pdf");
    const std::string before = qmtest::readBytes(a);
    const BatchSequenceResult result = Run({a});
    EXPECT_EQ(result.files[0].outcome, BatchFileOutcome::Failed);
    EXPECT_EQ(qmtest::readBytes(a), before);
}

TEST_F(BatchSequence, OutputThatIsALaterInputIsRefused) {
    // out/b.pdf is the second input; writing the first input's output there
    // would destroy it before it is read.
    std::filesystem::create_directories(outDir);
    const std::string second = outDir + "/b.pdf";
    qmtest::writeSimplePdf(second, 1);
    const std::string before = qmtest::readBytes(second);
    const BatchSequenceResult result = Run({Input("b.pdf", 2), second});
    EXPECT_EQ(result.files[0].outcome, BatchFileOutcome::Failed);
    EXPECT_EQ(result.files[1].outcome, BatchFileOutcome::Failed);
    EXPECT_EQ(qmtest::readBytes(second), before);
}

TEST_F(BatchSequence, TwoInputsWithOneFileNameDoNotOverwriteEachOthersOutput) {
    std::filesystem::create_directories(folder.file("x"));
    const std::string first = Input("a.pdf", 1);
    const std::string second = folder.file("x/a.pdf");
    qmtest::writeSimplePdf(second, 2);
    const BatchSequenceResult result = Run({first, second});
    EXPECT_EQ(result.files[0].outcome, BatchFileOutcome::Saved);
    EXPECT_EQ(result.files[1].outcome, BatchFileOutcome::Failed);
    EXPECT_EQ(TitleOf(outDir + "/a.pdf"), "worked 1");
}

struct RefusalRow {
    const char* name;
    bool canBatch;
    AVCommandStatus setParams;
    AVCommandStatus preflight;
    const char* message;
};

void PrintTo(const RefusalRow& row, std::ostream* os) { *os << row.name; }

class BatchSequenceRefusal : public BatchSequence, public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(BatchSequenceRefusal, NoFileIsOpenedAndTheCommandIsDestroyed) {
    script.canBatch = GetParam().canBatch;
    script.setParamsAnswer = GetParam().setParams;
    script.preflightAnswer = GetParam().preflight;
    const BatchSequenceResult result = Run({Input("a.pdf", 1)});
    EXPECT_FALSE(result.started);
    EXPECT_NE(result.message.find(GetParam().message), std::string::npos) << result.message;
    EXPECT_TRUE(result.files.empty());
    EXPECT_EQ(script.calls.back(), "destroyed");
    EXPECT_FALSE(qmtest::fileExists(outDir + "/a.pdf"));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BatchSequenceRefusal,
    ::testing::Values(RefusalRow{"CannotBatch", false, kAVCommandReady, kAVCommandReady, "cannot run in a batch"},
                      RefusalRow{"ParamsRefused", true, kAVCommandInError, kAVCommandReady, "refused its parameters"},
                      RefusalRow{"PreflightRefused", true, kAVCommandReady, kAVCommandInError, "refused the sequence"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(BatchSequence, UnknownCommandDoesNotStart) {
    BatchSequenceRequest request;
    request.commandName = "NoSuchCommand";
    request.inputs = {Input("a.pdf", 1)};
    request.outputFolder = outDir;
    const BatchSequenceResult result = qmhost::runBatchSequence(request);
    EXPECT_FALSE(result.started);
    EXPECT_NE(result.message.find("no batch command"), std::string::npos);
}

TEST_F(BatchSequence, NoOutputFolderDoesNotStart) {
    outDir.clear();
    const BatchSequenceResult result = Run({Input("a.pdf", 1)});
    EXPECT_FALSE(result.started);
    EXPECT_TRUE(script.calls.empty());
}

TEST_F(BatchSequence, ViewsAreClosedAfterTheSequence) {
    const size_t before = View().getActiveDoc() ? 1 : 0;
    Run({Input("a.pdf", 1), Input("b.pdf", 1)});
    EXPECT_EQ(View().getActiveDoc() ? 1u : 0u, before);
}

}  // namespace
