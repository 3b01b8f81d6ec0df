#include "support/io/CLogFile.h"

#include <exception>
#include <iomanip>
#include <locale>
#include <sstream>
#include <vector>

#include "support/io/CBridgeStdioFile.h"
#include "support/CallbackGuard.h"
#include "support/ErrorCode.h"
#include "support/ResourceStrings.h"

std::tm LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::string FormatLogTime(const std::tm& inTime) {
    // The classic locale, not the process's: Qt sets the process locale from the
    // environment, and the log's time stamps must not change with it.
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << std::put_time(&inTime, "%x %X");
    return out.str();
}

std::string FormatLogMessageV(const char* inFormat, va_list inArgs) {
    std::vector<char> buffer(kLogMessageLimit + 1);
    FormatBoundedV(buffer.data(), buffer.size(), inFormat, inArgs);
    return std::string(buffer.data());
}

CLogFile::CLogFile() = default;

CLogFile::CLogFile(const TFileSpecifier& inFile) { SetFile(inFile); }

CLogFile::~CLogFile() = default;

void CLogFile::SetFile(const TFileSpecifier& inFile) { mFile = inFile; }

void CLogFile::Printf(const char* inFormat, ...) {
    va_list args;
    va_start(args, inFormat);
    // va_end belongs to this frame, so a failure waits until it has run.
    const std::exception_ptr failure = CaptureFailure([&] { VPrintf(inFormat, args); });
    va_end(args);
    if (failure) std::rethrow_exception(failure);
}

void CLogFile::VPrintf(const char* inFormat, va_list inArgs) {
    // One write per line: the line reaches the file whole or not at all.
    AppendText(CurrentTimeText() + ": " + FormatLogMessageV(inFormat, inArgs) + "\n");
}

void CLogFile::SetClock(LogClock inClock) { mClock = std::move(inClock); }

std::string CLogFile::CurrentTimeText() const {
    return FormatLogTime(mClock ? mClock() : LocalTimeNow());
}

void CLogFile::AppendText(std::string_view inText) const {
    CBridgeStdioFile file;
    FILE* stream = file.Open(mFile, "a", true);
    const bool written = std::fwrite(inText.data(), 1, inText.size(), stream) == inText.size();
    // Close flushes: a full disk shows only there.
    if (!file.Close() || !written) ThrowErrorCode(kErrOpenFile);
}
