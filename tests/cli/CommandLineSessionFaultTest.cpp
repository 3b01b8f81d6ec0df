// `quillmark session` run in this process over a host that fails on demand:
// while one command of the session runs (a stamp, an undo, a close, a run of a
// profile's menu item), each call of a key member that a clean session makes
// in it is failed in turn. The session then answers an error line for that
// command, or "ok" only when the command's work is whole; an undo right after
// takes back every stamp that a failed run had written; it stays usable (the
// document still saves, closes, reopens and stamps; after a close the input
// is opened again first); the save after the fault writes a sound file or
// answers an error and leaves nothing; and the input stays byte for byte as
// it was.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "CommandLineFixture.h"
#include "InProcessCommand.h"
#include "common/FaultInjectingHost.h"
#include "common/MemberFaultRow.h"
#include "cos/Document.h"

namespace {

namespace fs = std::filesystem;
using clitest::CommandLineTest;
using qmtest::FaultRowOf;
using qmtest::MemberFaultRow;

// A command of a session whose host calls are failed in turn.
struct FailedCommand {
    const char* name;
    std::vector<std::string> before;  // the lines before it (every one answers "ok")
    std::string line;                 // the command
    std::vector<MemberFaultRow> rows;
    bool undoAfter = false;  // an undo follows at once, before the save
    // The command opens or closes the document: a close follows at once,
    // which finds a document only when the command left one open (an open
    // that worked, a close that failed), then the input is opened again
    // before the save.
    bool reopenAfter = false;
    bool stamps = false;  // answered "ok", the command stamped every page
};

// Members that an undo of a stamp run calls.
std::vector<MemberFaultRow> UndoRows() {
    return {
        FaultRowOf<&PDModelTable::docAcquirePage>("PDModel docAcquirePage"),
        FaultRowOf<&PDModelTable::pageGetCosObj>("PDModel pageGetCosObj"),
        FaultRowOf<&CosTable::dictGet>("Cos dictGet (the page's contents)"),
        FaultRowOf<&CosTable::arrayRemove>("Cos arrayRemove (a content piece)"),
        FaultRowOf<&PDModelTable::pageRemoveResource>("PDModel pageRemoveResource"),
        FaultRowOf<&PDModelTable::pageNotifyContentsDidChange>("PDModel pageNotifyContentsDidChange"),
    };
}

// Members that closing a view calls: the plug-in forgets the document's undo.
std::vector<MemberFaultRow> CloseRows() {
    return {
        FaultRowOf<&AppViewTable::avDocClose>("AppView avDocClose"),
        FaultRowOf<&AppViewTable::pdDocGetAVDoc>("AppView pdDocGetAVDoc (the closing document's view)"),
    };
}

// Members that opening the input as a view calls.
std::vector<MemberFaultRow> OpenRows() {
    return {
        FaultRowOf<&PDModelTable::docOpen>("PDModel docOpen"),
        FaultRowOf<&AppViewTable::avDocOpenFromPDDoc>("AppView avDocOpenFromPDDoc"),
    };
}

// Members that running a profile's menu item calls besides the stamping road
// (which the stamp command's rows fail, through the same item):
// the run finds the active document, builds the profile items again, asks
// whether the document may be changed, shows its progress and asks whether
// the user cancels (a cancel answers an error unless every page was stamped).
std::vector<MemberFaultRow> MenuRunRows() {
    return {
        FaultRowOf<&AppViewTable::getActiveDoc>("AppView getActiveDoc"),
        FaultRowOf<&AppViewTable::avDocGetPDDoc>("AppView avDocGetPDDoc"),
        FaultRowOf<&AppViewTable::pdDocGetAVDoc>("AppView pdDocGetAVDoc"),
        FaultRowOf<&AppViewTable::menuItemNew>("AppView menuItemNew (a profile item)"),
        FaultRowOf<&AppViewTable::menuAddMenuItem>("AppView menuAddMenuItem (a profile item)"),
        FaultRowOf<&AppViewTable::menuItemSetExecuteProc>("AppView menuItemSetExecuteProc"),
        FaultRowOf<&AppViewTable::getProgressMonitor>("AppView getProgressMonitor"),
        FaultRowOf<&AppViewTable::cursorSet>("AppView cursorSet"),
        qmtest::FaultRowAnswering<&AppViewTable::userWantsToCancel, int32_t{1}>(
            "AppView userWantsToCancel (the user cancels)"),
        FaultRowOf<&PDModelTable::docGetPermissions>("PDModel docGetPermissions"),
        FaultRowOf<&PDModelTable::docGetSecurityData>("PDModel docGetSecurityData"),
    };
}

class CommandLineSessionFault : public CommandLineTest {
protected:
    void SetUp() override {
        fs::create_directories(File("in"));
        ClearOutputs();
        qmtest::writeSimplePdf(Input(), kPages);
        qmtest::writeSimplePdf(File("in/logo.pdf"), 1);
        mInputBytes = qmtest::readBytes(Input());
        ImportProfile("mixed", clitest::MixedProfile(File("in/logo.pdf")));
    }
    std::string Input() const { return File("in/contract.pdf"); }
    std::string AfterFault() const { return File("out/after-fault.pdf"); }
    std::string Restamped() const { return File("out/restamped.pdf"); }

    std::vector<FailedCommand> Commands() const {
        const std::string open = "open " + Input();
        return {
            {"stamp", {open}, "stamp mixed", qmtest::StampingRoadFaultRows(), false, false, true},
            // A run that failed keeps what it wrote; undo takes that back.
            {"stamp then undo", {open}, "stamp mixed", qmtest::StampingRoadFaultRows(), true},
            {"undo", {open, "stamp mixed"}, "undo", UndoRows()},
            {"open", {}, open, OpenRows(), false, true},
            {"close", {open, "stamp mixed"}, "close", CloseRows(), false, true},
            {"menu run", {open}, "menu run " + std::string(kProfileItem), MenuRunRows(), false, false, true},
        };
    }
    // After the command (and the undo that may follow it): a save, then the
    // session goes on with the document closed, opened again, stamped and saved.
    std::vector<std::string> Script(const FailedCommand& command) const {
        std::vector<std::string> lines = command.before;
        lines.push_back(command.line);
        if (command.undoAfter) lines.push_back("undo");
        if (command.reopenAfter) {
            lines.push_back("close");
            lines.push_back("open " + Input());
        }
        for (const std::string& line : {"save " + AfterFault(), std::string("close"), "open " + Input(),
                                        std::string("stamp mixed"), "save " + Restamped(), std::string("quit")})
            lines.push_back(line);
        return lines;
    }

    // Runs the session; atCommand runs just before the command's line is read,
    // afterCommand once it has been answered.
    clitest::InProcessRun Session(const FailedCommand& command, const std::function<void()>& atCommand,
                                  const std::function<void()>& afterCommand) const {
        const size_t index = command.before.size();
        return clitest::RunInProcess(Plugins(), {"session"}, Script(command), [&](size_t line) {
            if (line == index) atCommand();
            if (line == index + 1) afterCommand();
        });
    }

    void ClearOutputs() {
        fs::remove_all(File("out"));
        fs::create_directories(File("out"));
    }
    std::vector<std::string> OutputFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(File("out"))) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    // pdftotext ends each page with a form feed.
    static bool StampedOnEveryPage(const std::string& pdf) {
        const std::string text = AllText(pdf);
        int stamped = 0;
        for (size_t start = 0, end; (end = text.find('\f', start)) != std::string::npos; start = end + 1)
            if (text.substr(start, end - start).find("QM-") != std::string::npos) ++stamped;
        return stamped == kPages;
    }

    // The answers after the command failed at a call (what names it).
    void Check(const FailedCommand& command, const std::string& what, const clitest::InProcessRun& run) {
        const std::vector<std::string> answers = clitest::LinesOf(run.out);
        const size_t index = command.before.size();
        ASSERT_EQ(answers.size(), Script(command).size()) << what << ": one answer per line\n" << run.out << run.err;
        for (size_t i = 0; i < index; ++i) EXPECT_EQ(answers[i], "ok") << what << ": line " << i;
        const bool commandOk = answers[index] == "ok";
        if (!commandOk) {
            EXPECT_EQ(answers[index].rfind("error: ", 0), 0u) << what << ": " << answers[index];
            if (command.line == "open " + Input()) {
                EXPECT_NE(answers[index].find(Input()), std::string::npos) << what << ": the error names the file";
            }
        }
        size_t saveIndex = index + 1;
        if (command.undoAfter) {
            // A failed run that wrote nothing leaves nothing to undo.
            const std::string& undo = answers[saveIndex++];
            EXPECT_TRUE(undo == "ok" || undo == "error: nothing to undo") << what << ": " << undo;
        }
        if (command.reopenAfter) {
            // Nothing half open: a document is left only by an open that
            // worked or a close that failed.
            const bool leftOpen = commandOk == (command.line != "close");
            EXPECT_EQ(answers[saveIndex], leftOpen ? "ok" : "error: no document is open")
                << what << ": the close after the command";
            EXPECT_EQ(answers[saveIndex + 1], "ok") << what << ": the input opened again";
            saveIndex += 2;
        }
        const std::string& save = answers[saveIndex];
        if (save == "ok") {
            EXPECT_EQ(qmtest::qpdfCheck(AfterFault()).status, 0) << what << ": the save after the fault";
            // An undo takes back what the run wrote, whole or not; a command
            // answered "ok" did its work whole.
            if (command.undoAfter) {
                EXPECT_EQ(AllText(AfterFault()).find("QM-"), std::string::npos) << what << ": the undo left a stamp";
            } else if (commandOk && command.stamps) {
                EXPECT_TRUE(StampedOnEveryPage(AfterFault())) << what << ": stamped, yet a page was not";
            }
            if (commandOk && command.line == "undo") {
                EXPECT_EQ(AllText(AfterFault()).find("QM-"), std::string::npos) << what << ": undone, yet a stamp stayed";
            }
        } else {
            EXPECT_EQ(save.rfind("error: ", 0), 0u) << what << ": " << save;
            EXPECT_FALSE(qmtest::fileExists(AfterFault())) << what << ": a refused save leaves no file";
        }
        // The session is still usable.
        for (size_t i = saveIndex + 1; i < answers.size(); ++i)
            EXPECT_EQ(answers[i], "ok") << what << ": line " << i << " after the fault\n" << run.err;
        EXPECT_EQ(qmtest::qpdfCheck(Restamped()).status, 0) << what;
        EXPECT_TRUE(StampedOnEveryPage(Restamped())) << what;
        std::vector<std::string> expected = {"restamped.pdf"};
        if (save == "ok") expected.insert(expected.begin(), "after-fault.pdf");
        EXPECT_EQ(OutputFolder(), expected) << what << ": no temporary file";
        EXPECT_EQ(qmtest::readBytes(Input()), mInputBytes) << what << ": the input is untouched";
    }

    static constexpr int kPages = 3;
    // The menu item of the first profile ("mixed").
    static constexpr const char* kProfileItem = "VELM:SProfile0";
    std::string mInputBytes;
};

TEST_F(CommandLineSessionFault, EachFailedCallOfACommandAnswersAnErrorAndTheSessionGoesOn) {
    for (const FailedCommand& command : Commands()) {
        for (const MemberFaultRow& row : command.rows) {
            // The calls that the command makes in a clean session.
            int64_t first = 0, last = 0;
            {
                ClearOutputs();
                qmtest::FaultInjectingHost host;
                row.count(host);
                const clitest::InProcessRun clean = Session(
                    command, [&] { first = row.calls(host); }, [&] { last = row.calls(host); });
                // After a clean close, the close that follows finds no document.
                const int cleanStatus = command.reopenAfter && command.line == "close" ? 1 : 0;
                ASSERT_EQ(clean.status, cleanStatus) << command.name << ", " << row.member << ": the clean session\n"
                                           << clean.out << clean.err;
            }
            if (last <= first) {
                ADD_FAILURE() << command.name << " never calls " << row.member;
                continue;
            }
            for (int64_t n : qmtest::CallsToFail(last - first)) {
                const std::string what = std::string(command.name) + ": " + row.member + ", call " +
                                         std::to_string(n) + " of " + std::to_string(last - first);
                ClearOutputs();
                const size_t documents = qmhost::openDocumentCount();
                clitest::InProcessRun run;
                {
                    qmtest::FaultInjectingHost host;
                    row.count(host);
                    run = Session(
                        command, [&] { row.fail(host, row.calls(host) + n); }, [] {});
                }
                Check(command, what, run);
                EXPECT_EQ(qmhost::openDocumentCount(), documents) << what << ": a document left open";
            }
        }
    }
}

}  // namespace
