// A session's save that fails (a missing folder, a full disk) leaves the
// document's undo as it was: the run before it can still be undone, and the
// document then saved holds no stamp. Before, the plug-in was told of the save
// before the write and dropped the run's undo records, and `undo` answered
// "nothing to undo".
#include <memory>
#include <string>
#include <vector>

#include "CommandLineFixture.h"
#include "InProcessCommand.h"
#include "common/FileSizeLimit.h"

namespace {

using clitest::CommandLineTest;

class CommandLineFailedSaveUndo : public CommandLineTest {
protected:
    void SetUp() override {
        qmtest::writeSimplePdf(File("contract.pdf"), 3);
        ImportProfile("numbers", clitest::kNumberingProfile);
    }
};

TEST_F(CommandLineFailedSaveUndo, RunBeforeAFailedSaveCanStillBeUndone) {
    const struct {
        const char* name;
        std::string target;
        bool fullDisk;
    } rows[] = {
        {"into a missing folder", File("missing/out.pdf"), false},
        {"onto a full disk", File("full.pdf"), true},
    };
    for (const auto& row : rows) {
        const std::string saved = File(std::string("undone-") + (row.fullDisk ? "full" : "missing") + ".pdf");
        const std::vector<std::string> lines = {"open " + File("contract.pdf"), "stamp numbers", "save " + row.target,
                                                "undo", "save " + saved, "quit"};
        std::unique_ptr<qmtest::FileSizeLimit> limit;
        const clitest::InProcessRun run = clitest::RunInProcess(Plugins(), {"session"}, lines, [&](size_t line) {
            limit.reset();
            // Less than the stamped document needs.
            if (row.fullDisk && line == 2) limit = std::make_unique<qmtest::FileSizeLimit>(1024);
        });
        const std::vector<std::string> answers = clitest::LinesOf(run.out);
        ASSERT_EQ(answers.size(), lines.size()) << row.name << ": " << run.out << run.err;
        EXPECT_EQ(answers[2].rfind("error: cannot write " + row.target, 0), 0u) << row.name << ": " << answers[2];
        EXPECT_EQ(answers[3], "ok") << row.name << ": the undo";
        EXPECT_EQ(answers[4], "ok") << row.name;
        EXPECT_FALSE(qmtest::fileExists(row.target)) << row.name;
        EXPECT_EQ(qmtest::qpdfCheck(saved).status, 0) << row.name;
        EXPECT_EQ(AllText(saved).find("QM-"), std::string::npos) << row.name << ": the stamps were taken off";
    }
}

}  // namespace
