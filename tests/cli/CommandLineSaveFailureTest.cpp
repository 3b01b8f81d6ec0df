// A save that fails half-way, as on a full disk: `quillmark stamp`, `batch`
// and a session's `save` run in this process while no file may grow beyond
// half the size of the stamped output. Each reports the failure naming the
// output file and the reason (exit status 1, or an error line in a session), leaves the
// output file that was there before byte for byte as it was, leaves no
// temporary file in the output folder and does not touch the input. Each
// refuses, in the same way, an encrypted input it could not write back
// readable, and a session's run before a failed save can still be undone.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CommandLineFixture.h"
#include "InProcessCommand.h"
#include "common/FileSizeLimit.h"

namespace {

namespace fs = std::filesystem;
using clitest::CommandLineTest;
using clitest::InProcessRun;

class CommandLineSaveFailure : public CommandLineTest {
protected:
    void SetUp() override {
        fs::create_directories(File("in"));
        qmtest::writeSimplePdf(Input(), 3);
        qmtest::writeSimplePdf(File("in/logo.pdf"), 1);
        mInputBytes = qmtest::readBytes(Input());
        ImportProfile("mixed", clitest::MixedProfile(File("in/logo.pdf")));
    }
    std::string Input() const { return File("in/contract.pdf"); }
    std::string Output() const { return File("out/contract.pdf"); }

public:
    // The commands that save the output (the rows of the tests name them).
    InProcessRun Stamp() const {
        return clitest::RunInProcess(Plugins(), {"stamp", "--profile", "mixed", Input(), "-o", Output()});
    }
    InProcessRun Batch() const {
        return clitest::RunInProcess(Plugins(), {"batch", "--profile", "mixed", "--out-dir", File("out"), Input()});
    }
    InProcessRun SessionSave() const {
        return clitest::RunInProcess(Plugins(), {"session"},
                                     {"open " + Input(), "stamp mixed", "save " + Output(), "quit"});
    }

protected:
    // An empty output folder.
    void ClearOutputs() const {
        fs::remove_all(File("out"));
        fs::create_directories(File("out"));
    }
    std::vector<std::string> OutputFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(File("out"))) names.push_back(entry.path().filename());
        return names;
    }

    std::string mInputBytes;
};

struct SaveRow {
    const char* command;
    InProcessRun (CommandLineSaveFailure::*run)() const;
    // Whether the run reported the failed save (of the output, named) as it should.
    void (*expectFailure)(const InProcessRun& run, const std::string& output, const std::string& what);
};

void ExpectExitFailureNaming(const InProcessRun& run, const std::string& output, const std::string& what) {
    EXPECT_EQ(run.status, 1) << what << ": " << run.err;
    EXPECT_NE(run.err.find(output), std::string::npos) << what << ": the message names the file: " << run.err;
    EXPECT_EQ(run.out.find(output), std::string::npos) << what << ": not reported as saved: " << run.out;
}

void ExpectSessionErrorNaming(const InProcessRun& run, const std::string& output, const std::string& what) {
    const std::vector<std::string> answers = clitest::LinesOf(run.out);
    ASSERT_EQ(answers.size(), 4u) << what << ": " << run.out << run.err;
    for (const size_t line : {0u, 1u, 3u}) EXPECT_EQ(answers[line], "ok") << what << ": line " << line;
    EXPECT_EQ(answers[2].rfind("error: ", 0), 0u) << what << ": " << answers[2];
    EXPECT_NE(answers[2].find(output), std::string::npos) << what << ": the answer names the file";
    EXPECT_EQ(run.status, 1) << what;
}

const SaveRow kSaveRows[] = {
    {"stamp", &CommandLineSaveFailure::Stamp, ExpectExitFailureNaming},
    {"batch", &CommandLineSaveFailure::Batch, ExpectExitFailureNaming},
    {"session save", &CommandLineSaveFailure::SessionSave, ExpectSessionErrorNaming},
};

TEST_F(CommandLineSaveFailure, ADiskThatFillsFailsTheSaveAndKeepsTheOldOutput) {
    for (const SaveRow& row : kSaveRows) {
        // A clean run gives the size of the output the limit cuts short.
        ClearOutputs();
        const InProcessRun clean = (this->*row.run)();
        ASSERT_EQ(clean.status, 0) << row.command << ": the clean run\n" << clean.out << clean.err;
        const auto outputSize = static_cast<rlim_t>(fs::file_size(Output()));
        for (const bool hadOutput : {true, false}) {
            const std::string what = std::string(row.command) + (hadOutput ? ", over an older output" : ", new output");
            ClearOutputs();
            if (hadOutput) qmtest::writeSimplePdf(Output(), 1);
            const std::string oldBytes = hadOutput ? qmtest::readBytes(Output()) : "";
            InProcessRun run;
            {
                qmtest::FileSizeLimit limit(outputSize / 2);
                run = (this->*row.run)();
            }
            row.expectFailure(run, Output(), what);
            // The reason is the one the system gave: the file could not grow.
            EXPECT_NE((run.out + run.err).find(std::strerror(EFBIG)), std::string::npos) << what << ": says why";
            if (hadOutput) {
                EXPECT_EQ(qmtest::readBytes(Output()), oldBytes) << what << ": the older output is intact";
                EXPECT_EQ(OutputFolder(), std::vector<std::string>{"contract.pdf"}) << what << ": no temporary file";
            } else {
                EXPECT_EQ(OutputFolder(), std::vector<std::string>{}) << what << ": no file, no temporary file";
            }
            EXPECT_EQ(qmtest::readBytes(Input()), mInputBytes) << what << ": the input is untouched";
        }
        // And once there is room again the same command saves.
        const InProcessRun again = (this->*row.run)();
        EXPECT_EQ(again.status, 0) << row.command << ": after the failure\n" << again.err;
        EXPECT_EQ(qmtest::qpdfCheck(Output()).status, 0) << row.command;
    }
}

// The session keeps the document, stamps and all, through a save that failed:
// once there is room again the same save writes it whole.
TEST_F(CommandLineSaveFailure, ASessionSavesAgainOnceTheDiskHasRoom) {
    ClearOutputs();
    const std::vector<std::string> lines = {"open " + Input(), "stamp mixed", "save " + Output(), "save " + Output()};
    std::unique_ptr<qmtest::FileSizeLimit> limit;
    // The stamped document is larger than the input: half the input cannot hold it.
    const auto cut = static_cast<rlim_t>(mInputBytes.size() / 2);
    const InProcessRun run = clitest::RunInProcess(Plugins(), {"session"}, lines, [&](size_t line) {
        limit.reset();
        if (line == 2) limit = std::make_unique<qmtest::FileSizeLimit>(cut);
    });
    const std::vector<std::string> answers = clitest::LinesOf(run.out);
    ASSERT_EQ(answers.size(), 4u) << run.out << run.err;
    EXPECT_EQ(answers[2].rfind("error: cannot write " + Output(), 0), 0u) << answers[2];
    EXPECT_EQ(answers[3], "ok");
    ASSERT_EQ(qmtest::qpdfCheck(Output()).status, 0);
    for (int page = 1; page <= 3; ++page)
        EXPECT_NE(PageText(Output(), page).find("QM-00000" + std::to_string(page)), std::string::npos) << page;
    EXPECT_EQ(OutputFolder(), std::vector<std::string>{"contract.pdf"});
}

// An encrypted input whose encryption dictionary lacks /Length: qpdf reads
// it with the key length its password check confirms, but would write it back
// with none. Before, each road reported success for a file whose every stream
// decrypted to garbage.
TEST_F(CommandLineSaveFailure, AnEncryptedInputWithoutItsKeyLengthIsRefusedNamingTheReason) {
    qmtest::writeOwnerEncryptedPdf(Input(), 2, qmtest::OwnerEncryption::Rc4Key128, true);
    const std::string reason = "cannot write " + Output() + ": the encryption dictionary of " + Input() +
                               " has no /Length for its 128-bit key";
    for (const SaveRow& row : kSaveRows) {
        ClearOutputs();
        const InProcessRun run = (this->*row.run)();
        row.expectFailure(run, Output(), row.command);
        EXPECT_EQ(clitest::CountOf(run.out + run.err, reason), 1u) << row.command << ": " << run.out << run.err;
        EXPECT_EQ(OutputFolder(), std::vector<std::string>{}) << row.command << ": no file, no temporary file";
    }
}

// Before, the plug-in was told of the save before the write and dropped the
// run's undo records, and `undo` answered "nothing to undo".
TEST_F(CommandLineSaveFailure, RunBeforeAFailedSaveCanStillBeUndone) {
    for (const bool fullDisk : {false, true}) {
        const std::string what = fullDisk ? "onto a full disk" : "into a missing folder";
        const std::string target = fullDisk ? Output() : File("missing/out.pdf");
        const std::string saved = File(fullDisk ? "undone-full.pdf" : "undone-missing.pdf");
        ClearOutputs();
        const std::vector<std::string> lines = {"open " + Input(), "stamp mixed", "save " + target, "undo",
                                                "save " + saved,   "quit"};
        std::unique_ptr<qmtest::FileSizeLimit> limit;
        const InProcessRun run = clitest::RunInProcess(Plugins(), {"session"}, lines, [&](size_t line) {
            limit.reset();
            // Less than the stamped document needs.
            if (fullDisk && line == 2) limit = std::make_unique<qmtest::FileSizeLimit>(1024);
        });
        const std::vector<std::string> answers = clitest::LinesOf(run.out);
        ASSERT_EQ(answers.size(), lines.size()) << what << ": " << run.out << run.err;
        EXPECT_EQ(answers[2].rfind("error: cannot write " + target, 0), 0u) << what << ": " << answers[2];
        EXPECT_EQ(answers[3], "ok") << what << ": the undo";
        EXPECT_EQ(answers[4], "ok") << what;
        EXPECT_FALSE(qmtest::fileExists(target)) << what;
        EXPECT_EQ(qmtest::qpdfCheck(saved).status, 0) << what;
        EXPECT_EQ(AllText(saved).find("QM-"), std::string::npos) << what << ": the stamps were taken off";
    }
}

}  // namespace
