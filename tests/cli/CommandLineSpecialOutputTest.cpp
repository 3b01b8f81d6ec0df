// An output that names something other than a regular file (a pipe here; a
// device alike) is refused by every command that writes one: the command
// fails naming it and the pipe stays a pipe.
#include <sys/stat.h>

#include <filesystem>

#include "CommandLineFixture.h"

namespace {

using clitest::CommandLineTest;

class CommandLineSpecialOutput : public CommandLineTest {
protected:
    void SetUp() override {
        std::filesystem::create_directories(File("out"));
        qmtest::writeSimplePdf(File("in.pdf"), 1);
        ImportProfile("numbers", clitest::kNumberingProfile);
    }
};

TEST_F(CommandLineSpecialOutput, APipeIsRefusedAndLeftAsItIs) {
    const std::string pipe = File("out/in.pdf");
    struct Row {
        const char* name;
        std::string args;
    };
    const Row rows[] = {
        {"stamp", "stamp --profile numbers " + Q(File("in.pdf")) + " -o " + Q(pipe)},
        {"batch", "batch --profile numbers --out-dir " + Q(File("out")) + " " + Q(File("in.pdf"))},
        {"session save", "session < " + Q(File("lines.txt"))},
        {"profile export", "profile export numbers -o " + Q(pipe)},
    };
    qmtest::writeBytes(File("lines.txt"), "open " + File("in.pdf") + "\nstamp numbers\nsave " + pipe + "\nquit\n");
    for (const Row& row : rows) {
        std::filesystem::remove(pipe);
        ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
        const auto run = CliSplit(row.args);
        EXPECT_EQ(run.status, 1) << row.name << ": " << run.out << run.err;
        EXPECT_NE((run.out + run.err).find("not a regular file"), std::string::npos)
            << row.name << ": " << run.out << run.err;
        EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(pipe)))
            << row.name << ": the pipe was replaced";
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(File("out")), {}), 1)
            << row.name << ": something was left beside the pipe";
    }
}

}  // namespace
