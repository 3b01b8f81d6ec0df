// A run that succeeds while the plug-in warns saves its output, exits 0 and
// prints the warning on standard error, in `stamp`, `batch` and `session`
// alike; a run that fails exits 1 (or answers "error") and saves nothing.
#include "CommandLineFixture.h"

#include <filesystem>

namespace {

using clitest::CommandLineTest;
using clitest::SplitResult;

const char* const kGoodProfile = R"({"kNumberOfStamps": 1,
  "kStamp0": {"kStampNameE": "S", "kTextE": "Stamped", "kSizeE": 12, "kOpacityS": 100, "kOverlay": true,
              "kColorFontC": 0, "kHorizontalS": 1, "kVerticalS": 1}})";
// Page 9 of a two-page document: the run fails.
const char* const kFailingProfile = R"({"kNumberOfStamps": 1,
  "kStamp0": {"kStampNameE": "S", "kTextE": "Stamped", "kPages": 1, "kPagesE": "9"}})";

enum class Road { Stamp, Batch, Session };

struct Row {
    const char* name;
    Road road;
    bool failing;  // the profile fails the run
};

class CommandLineWarnings : public CommandLineTest {
protected:
    void SetUp() override {
        qmtest::writeSimplePdf(File("in.pdf"), 2);
        ImportProfile("Good", kGoodProfile);
        ImportProfile("Bad", kFailingProfile);
        ASSERT_EQ(Cli("prefs set EnLo true").status, 0);
        // The log file is a folder: no line can be written, and the plug-in warns.
        std::filesystem::create_directories(Plugins() + "/Quillmark.txt");
    }

    // Runs the road; answers its status, its standard error and the output file.
    SplitResult RunRoad(const Row& row, std::string* output) const {
        const std::string profile = row.failing ? "Bad" : "Good";
        const std::string tag = row.failing ? "-failed" : "";
        switch (row.road) {
            case Road::Stamp:
                *output = File("stamped" + tag + ".pdf");
                return CliSplit("stamp --profile " + profile + " " + Q(File("in.pdf")) + " -o " + Q(*output));
            case Road::Batch:
                *output = File("out/in.pdf");
                return CliSplit("batch --profile " + profile + " --out-dir " + Q(File("out")) + " " +
                                Q(File("in.pdf")));
            case Road::Session: {
                *output = File("session" + tag + ".pdf");
                const std::string lines = "open " + File("in.pdf") + "\nstamp " + profile + "\n";
                qmtest::writeBytes(File("lines.txt"), lines + (row.failing ? "" : "save " + *output + "\n") + "quit\n");
                return CliSplit("session < " + Q(File("lines.txt")));
            }
        }
        return {};
    }
};

TEST_F(CommandLineWarnings, AWarningNeverFailsARunAndAFailureSavesNothing) {
    const Row rows[] = {
        {"stamp that warns", Road::Stamp, false},   {"batch that warns", Road::Batch, false},
        {"session that warns", Road::Session, false}, {"stamp that fails", Road::Stamp, true},
        {"batch that fails", Road::Batch, true},    {"session that fails", Road::Session, true},
    };
    for (const Row& row : rows) {
        std::filesystem::remove_all(File("out"));
        std::string output;
        const SplitResult run = RunRoad(row, &output);
        EXPECT_NE(run.err.find("warning: The log file"), std::string::npos) << row.name << ": " << run.err;
        if (row.failing) {
            EXPECT_EQ(run.status, 1) << row.name;
            EXPECT_FALSE(qmtest::fileExists(output)) << row.name;
            if (row.road == Road::Session) {
                EXPECT_NE(run.out.find("error: "), std::string::npos) << run.out;
            }
            continue;
        }
        EXPECT_EQ(run.status, 0) << row.name << ": " << run.err;
        EXPECT_EQ(run.out.find("error"), std::string::npos) << row.name << ": " << run.out;
        ASSERT_TRUE(qmtest::fileExists(output)) << row.name;
        EXPECT_NE(PageText(output, 1).find("Stamped"), std::string::npos) << row.name;
        EXPECT_EQ(qmtest::qpdfCheck(output).status, 0) << row.name;
    }
}

}  // namespace
