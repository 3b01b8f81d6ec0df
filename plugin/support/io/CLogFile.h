// A log file that appends one time-stamped line per message:
//   "<date> <time>: <message>\n"
// with the date and time as "%x %X" of the C locale ("12/07/23 06:59:00"),
// whatever locale the process runs in. The file is opened and closed for each
// line, so it can be read, moved or deleted between lines. Text is UTF-8.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>

#include "support/io/TFileSpecifier.h"

// A formatted message holds at most this many bytes; a longer one is cut at a
// UTF-8 character boundary.
constexpr size_t kLogMessageLimit = 4095;

// Answers the local date and time of a line. Tests give a fixed one.
typedef std::function<std::tm()> LogClock;

// The current local date and time.
std::tm LocalTimeNow();
// "%x %X" of the C locale: "MM/DD/YY HH:MM:SS".
std::string FormatLogTime(const std::tm& inTime);
// printf-formats into a text of at most kLogMessageLimit bytes (cut at a
// character boundary); a null format gives the empty text.
std::string FormatLogMessageV(const char* inFormat, va_list inArgs);

class CLogFile {
public:
    // No file named.
    CLogFile();
    // SetFile (inFile).
    explicit CLogFile(const TFileSpecifier& inFile);
    virtual ~CLogFile();

    CLogFile(const CLogFile&) = delete;
    CLogFile& operator=(const CLogFile&) = delete;

    // Copies the path of the log file.
    virtual void SetFile(const TFileSpecifier& inFile);
    const TFileSpecifier& GetFile() const { return mFile; }

    // VPrintf with the arguments.
    virtual void Printf(const char* inFormat, ...) __attribute__((format(printf, 2, 3)));
    // Appends "<date> <time>: <message>\n". Throws kErrOpenFile (-3) when the file
    // cannot be opened (nothing is written then) or written.
    virtual void VPrintf(const char* inFormat, va_list inArgs);

    // Where the time of a line comes from (an empty clock: LocalTimeNow).
    void SetClock(LogClock inClock);

protected:
    // The current time formatted with FormatLogTime, from the clock.
    std::string CurrentTimeText() const;
    // Opens the file for appending, writes inText and closes it again. Throws
    // kErrOpenFile when it cannot be opened or written.
    void AppendText(std::string_view inText) const;

private:
    TFileSpecifier mFile;
    LogClock mClock;
};
