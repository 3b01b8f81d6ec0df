// `quillmark stamp` run in this process over a host that fails on demand: for
// key members of the tables the plug-in stamps through, each call that a clean
// run makes is failed in turn. Such a run fails cleanly (exit status 1 with
// the reason on standard error, no output file and nothing else left in the
// output folder) or, where the plug-in can do without the call, reports
// success only with every page stamped in a sound file; either way the input
// and the profile stay as they were, and under the sanitizers nothing leaks
// and nothing is touched after it was freed.
#include <filesystem>
#include <string>
#include <vector>

#include "CommandLineFixture.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "common/FaultInjectingHost.h"
#include "common/MemberFaultRow.h"

namespace {

namespace fs = std::filesystem;
using clitest::CommandLineTest;
using qmtest::FaultInjectingHost;

// A text stamp (a Bates number) and a page of another PDF on every page.
std::string MixedProfile(const std::string& logo) {
    return R"({"kNumberOfStamps": 2,
  "kStamp0": {"kStampType": 0, "kStampNameE": "Bates", "kTextE": "QM-$BatesNo[1]", "kSizeE": 11,
              "kOpacityS": 100, "kOverlay": true, "kColorFontC": 0, "kHorizontalS": 0.5, "kVerticalS": 0.5},
  "kStamp1": {"kStampType": 2, "kStampNameE": "Logo", "kSelectFileE": ")" +
           logo + R"(", "kPageNoS": 1, "kSizeS": 20,
              "kOpacityS": 100, "kOverlay": true, "kHorizontalS": 3, "kVerticalS": 3}})";
}

// The road's members, and before them those that read the profile.
std::vector<qmtest::MemberFaultRow> Rows() {
    std::vector<qmtest::MemberFaultRow> rows = {
        qmtest::FaultRowOf<&AppSupportTable::fileStmOpen>("AppSupport fileStmOpen (the profile file)"),
        qmtest::FaultRowOf<&AppSupportTable::stmRead>("AppSupport stmRead"),
        qmtest::FaultRowOf<&ASExtraTable::cabRead>("ASExtra cabRead (the profile)"),
        qmtest::FaultRowOf<&PDFEditWriteTable::fontCreate>("PDFEditWrite fontCreate"),
    };
    const auto& road = qmtest::StampingRoadFaultRows();
    rows.insert(rows.end(), road.begin(), road.end());
    return rows;
}

class CommandLineStampFault : public CommandLineTest {
protected:
    void SetUp() override {
        fs::create_directories(File("in"));
        fs::create_directories(File("out"));
        qmtest::writeSimplePdf(Input(), 3);
        qmtest::writeSimplePdf(File("in/logo.pdf"), 1);
        mInputBytes = qmtest::readBytes(Input());
        ImportProfile("mixed", MixedProfile(File("in/logo.pdf")));
        mProfileBytes = qmtest::readBytes(ProfilePath());
    }
    std::string Input() const { return File("in/contract.pdf"); }
    std::string Output() const { return File("out/contract.pdf"); }
    std::string ProfilePath() const { return Plugins() + "/Profiles/mixed.nxp"; }

    // Runs `quillmark stamp` in this process, standard error into *err.
    int Stamp(std::string* err) const {
        const std::vector<std::string> args = {"--plugin-dir", Plugins(), "stamp", "--profile", "mixed",
                                               Input(),        "-o",      Output()};
        const qmcli::ParsedCommandLine parsed = qmcli::ParseCommandLine(args, qmcli::QuillmarkCommands());
        EXPECT_EQ(parsed.action, qmcli::ParsedCommandLine::Action::Run) << parsed.error;
        if (parsed.action != qmcli::ParsedCommandLine::Action::Run) return -1;
        ::testing::internal::CaptureStderr();
        ::testing::internal::CaptureStdout();
        const int status = parsed.command->run(parsed.options, parsed.arguments);
        ::testing::internal::GetCapturedStdout();
        *err = ::testing::internal::GetCapturedStderr();
        return status;
    }

    std::vector<std::string> OutputFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(File("out"))) names.push_back(entry.path().filename());
        return names;
    }

    // A run that reports success after a failed call (one that the plug-in
    // may do without) has stamped every page and written a sound file.
    void ExpectWholeOutput(const std::string& what) const {
        ASSERT_EQ(qmtest::qpdfCheck(Output()).status, 0) << what;
        for (int page = 1; page <= 3; ++page)
            EXPECT_NE(PageText(Output(), page).find("QM-00000" + std::to_string(page)), std::string::npos)
                << what << ": page " << page;
    }

    std::string mInputBytes;
    std::string mProfileBytes;
};

TEST_F(CommandLineStampFault, EachFailedHostCallFailsTheRunCleanly) {
    for (const qmtest::MemberFaultRow& row : Rows()) {
        int64_t calls = 0;
        fs::remove(Output());
        {
            FaultInjectingHost host;
            row.count(host);
            std::string err;
            ASSERT_EQ(Stamp(&err), 0) << row.member << ": the clean run: " << err;
            calls = row.calls(host);
        }
        ASSERT_GE(calls, 1) << row.member << ": the stamping road never calls it";
        fs::remove(Output());
        for (int64_t n : qmtest::CallsToFail(calls)) {
            const std::string what = std::string(row.member) + ", call " + std::to_string(n) + " of " +
                                     std::to_string(calls);
            std::string err;
            int status = -1;
            {
                FaultInjectingHost host;
                row.fail(host, n);
                status = Stamp(&err);
            }
            if (status == 0) {
                ExpectWholeOutput(what);
            } else {
                EXPECT_EQ(status, 1) << what << ": " << err;
                EXPECT_NE(err.find("stamp: " + Input() + ": "), std::string::npos) << what << ": " << err;
                EXPECT_EQ(OutputFolder(), std::vector<std::string>{}) << what << ": no output, no temporary file";
            }
            EXPECT_EQ(qmtest::readBytes(Input()), mInputBytes) << what;
            EXPECT_EQ(qmtest::readBytes(ProfilePath()), mProfileBytes) << what;
            fs::remove(Output());
        }
    }
    // And the host is whole again: the next run stamps.
    std::string err;
    EXPECT_EQ(Stamp(&err), 0) << err;
    EXPECT_EQ(qmtest::qpdfCheck(Output()).status, 0);
}

}  // namespace
