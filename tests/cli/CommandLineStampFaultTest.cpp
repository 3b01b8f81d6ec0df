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
#include "InProcessCommand.h"
#include "common/FaultInjectingHost.h"
#include "common/MemberFaultRow.h"

namespace {

namespace fs = std::filesystem;
using clitest::CommandLineTest;

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
        qmtest::writeSimplePdf(SecondInput(), 2);
        mInputBytes = qmtest::readBytes(Input());
        mSecondBytes = qmtest::readBytes(SecondInput());
        ImportProfile("mixed", clitest::MixedProfile(File("in/logo.pdf")));
        mProfileBytes = qmtest::readBytes(ProfilePath());
    }
    std::string Input() const { return File("in/contract.pdf"); }
    std::string Output() const { return File("out/contract.pdf"); }
    std::string ProfilePath() const { return Plugins() + "/Profiles/mixed.nxp"; }

    // Runs `quillmark stamp` in this process, standard error into *err.
    int Stamp(std::string* err) const {
        return RunInProcess({"stamp", "--profile", "mixed", Input(), "-o", Output()}, err);
    }
    // Runs `quillmark batch` over the input and a second one in this process.
    int Batch(std::string* err) const {
        return RunInProcess({"batch", "--profile", "mixed", "--out-dir", File("out"), Input(), SecondInput()}, err);
    }
    std::string SecondInput() const { return File("in/second.pdf"); }

    // Runs quillmark with the arguments (after the plug-ins folder) in this
    // process; standard error into *err.
    int RunInProcess(const std::vector<std::string>& command, std::string* err) const {
        const clitest::InProcessRun run = clitest::RunInProcess(Plugins(), command);
        *err = run.err;
        return run.status;
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
    // A saved file of a batch is sound and has a Bates number on each page.
    void ExpectStampedFile(const std::string& path, int pages, const std::string& what) const {
        ASSERT_EQ(qmtest::qpdfCheck(path).status, 0) << what << ": " << path;
        for (int page = 1; page <= pages; ++page)
            EXPECT_NE(PageText(path, page).find("QM-"), std::string::npos) << what << ": " << path << " page " << page;
    }
    void ExpectInputsAsTheyWere(const std::string& what) const {
        EXPECT_EQ(qmtest::readBytes(Input()), mInputBytes) << what;
        EXPECT_EQ(qmtest::readBytes(SecondInput()), mSecondBytes) << what;
        EXPECT_EQ(qmtest::readBytes(ProfilePath()), mProfileBytes) << what;
    }

    std::string mInputBytes;
    std::string mSecondBytes;
    std::string mProfileBytes;
};

TEST_F(CommandLineStampFault, EachFailedHostCallFailsTheRunCleanly) {
    std::string err;
    qmtest::FailedCallRoad road;
    road.prepare = [&] { fs::remove(Output()); };
    road.run = [&] { return Stamp(&err); };
    road.check = [&](const std::string& what, int status) {
        if (status == 0) {
            ExpectWholeOutput(what);
        } else {
            EXPECT_EQ(status, 1) << what << ": " << err;
            EXPECT_NE(err.find("stamp: " + Input() + ": "), std::string::npos) << what << ": " << err;
            EXPECT_EQ(OutputFolder(), std::vector<std::string>{}) << what << ": no output, no temporary file";
        }
        ExpectInputsAsTheyWere(what);
    };
    for (const qmtest::MemberFaultRow& row : Rows()) qmtest::FailEachCall(row, road);
    // And the host is whole again: the next run stamps.
    fs::remove(Output());
    EXPECT_EQ(Stamp(&err), 0) << err;
    EXPECT_EQ(qmtest::qpdfCheck(Output()).status, 0);
}

// A batch saves a file only when it was stamped whole; a file whose run
// failed leaves nothing in the output folder and fails the batch.
TEST_F(CommandLineStampFault, EachFailedHostCallInABatchSavesOnlyWholeFiles) {
    const std::string outputs[] = {File("out/contract.pdf"), File("out/second.pdf")};
    const int pages[] = {3, 2};
    std::string err;
    qmtest::FailedCallRoad road;
    road.prepare = [&] { fs::remove_all(File("out")); };
    road.run = [&] { return Batch(&err); };
    road.check = [&](const std::string& what, int status) {
        size_t saved = 0;
        for (size_t i = 0; i < 2; ++i) {
            if (!qmtest::fileExists(outputs[i])) continue;
            ++saved;
            ExpectStampedFile(outputs[i], pages[i], what);
        }
        if (status == 0) {
            EXPECT_EQ(saved, 2u) << what << ": a batch that succeeds saves every file";
        } else {
            EXPECT_EQ(status, 1) << what << ": " << err;
            EXPECT_LT(saved, 2u) << what << ": a failed batch has a file that failed";
            EXPECT_NE(err.find("batch"), std::string::npos) << what << ": " << err;
        }
        EXPECT_EQ(OutputFolder().size(), saved) << what << ": no temporary file";
        ExpectInputsAsTheyWere(what);
    };
    for (const qmtest::MemberFaultRow& row : qmtest::StampingRoadFaultRows()) qmtest::FailEachCall(row, road);
}

}  // namespace
