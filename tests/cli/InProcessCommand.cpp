#include "InProcessCommand.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <streambuf>

#include "cli/CommandLine.h"
#include "cli/Commands.h"

namespace clitest {
namespace {

// Standard input given line by line: a line is handed out only when the reader
// asks for it, so that beforeLine runs between the commands of a session.
class LineFeed : public std::streambuf {
public:
    LineFeed(const std::vector<std::string>& lines, const BeforeLine& beforeLine)
        : mLines(lines), mBeforeLine(beforeLine) {}

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        if (mNext > mLines.size()) return traits_type::eof();
        if (mBeforeLine) mBeforeLine(mNext);
        if (mNext == mLines.size()) {
            ++mNext;  // the end is announced once
            return traits_type::eof();
        }
        mCurrent = mLines[mNext++] + "\n";
        setg(mCurrent.data(), mCurrent.data(), mCurrent.data() + mCurrent.size());
        return traits_type::to_int_type(*gptr());
    }

private:
    const std::vector<std::string>& mLines;
    const BeforeLine& mBeforeLine;
    size_t mNext = 0;
    std::string mCurrent;
};

// Puts the feed in place of standard input while it lives.
class StandardInput {
public:
    explicit StandardInput(std::streambuf* feed) : mOld(std::cin.rdbuf(feed)) {}
    ~StandardInput() {
        std::cin.rdbuf(mOld);
        std::cin.clear();  // the command read to the end
    }
    StandardInput(const StandardInput&) = delete;
    StandardInput& operator=(const StandardInput&) = delete;

private:
    std::streambuf* mOld;
};

}  // namespace

InProcessRun RunInProcess(const std::string& plugins, const std::vector<std::string>& command,
                          const std::vector<std::string>& lines, const BeforeLine& beforeLine) {
    std::vector<std::string> args = {"--plugin-dir", plugins};
    args.insert(args.end(), command.begin(), command.end());
    const qmcli::ParsedCommandLine parsed = qmcli::ParseCommandLine(args, qmcli::QuillmarkCommands());
    InProcessRun run;
    if (parsed.action != qmcli::ParsedCommandLine::Action::Run) {
        ADD_FAILURE() << "refused command line: " << parsed.error;
        return run;
    }
    LineFeed feed(lines, beforeLine);
    StandardInput standardInput(&feed);
    ::testing::internal::CaptureStderr();
    ::testing::internal::CaptureStdout();
    run.status = parsed.command->run(parsed.options, parsed.arguments);
    std::cout.flush();
    std::fflush(stdout);
    run.out = ::testing::internal::GetCapturedStdout();
    run.err = ::testing::internal::GetCapturedStderr();
    return run;
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace clitest
