// The plug-in's log: a plain UTF-8 text file ("Quillmark.txt" in the plug-in's
// data folder) in which the stamping runs record what they did.
//
// It writes only while the preference 'EnLo' is on. Entries are bare lines
// without a time prefix; a new file begins with a header of three lines:
//   74 "=", "Quillmark3.0 记录", 74 "="
// and WriteDateLine adds "信息：" and seven blanks followed by the date and time
// ("%x %X" of the C locale).
//
// Writing never fails for the caller: a line that cannot be written is left out,
// and the first such failure for a file is reported to the user once (an alert),
// so a log in an unwritable folder never stops a run.
#pragma once

#include <cstdarg>
#include <functional>
#include <string>

#include "support/io/CLogFile.h"

class CStamperPreferences;

// The log file's name in the plug-in's data folder.
inline constexpr const char kStamperLogFileName[] = "Quillmark.txt";
// The header's rule: 74 "=".
extern const char kStamperLogRule[];
// The header's title line.
extern const char kStamperLogTitle[];
// The date line's label: "信息：" and seven blanks.
extern const char kStamperLogDateLabel[];

// Shows a file to the user with the system's viewer.
typedef std::function<void(const std::string& inPath)> LogFileViewer;

class CStamperLog : public CLogFile {
public:
    CStamperLog();
    ~CStamperLog() override;

    // Names the file; a failure of the new file will be reported again.
    void SetFile(const TFileSpecifier& inFile) override;

    // With 'EnLo' on: writes the header first when the file does not exist yet,
    // then the entry (formatted, at most kLogMessageLimit bytes) and "\n".
    // Stamp messages and file names go in as arguments ("%s"), never as the format.
    void Printf(const char* inFormat, ...) override __attribute__((format(printf, 2, 3)));
    // With 'EnLo' on: appends the entry and "\n" (no header). Never throws.
    void VPrintf(const char* inFormat, va_list inArgs) override;
    // With 'EnLo' on: appends the date line and "\n" (no header). Never throws.
    void WriteDateLine();

    // Whether the log file exists (a folder of its name is no log file).
    bool Exists() const;
    // Deletes the file when it exists (the result is not checked); the next
    // entry begins a new file with the header.
    void Clear();
    // Shows the file with the viewer (see SetViewer) when it exists.
    void View() const;

    // Where 'EnLo' is read: the given store, or (null, the default) the
    // plug-in's preferences (GetStamperPreferences); with neither, logging is off.
    void SetPreferences(CStamperPreferences* inPreferences);
    bool IsEnabled() const;

    // Replaces the viewer (an empty one restores the default, OpenFileForUser:
    // the host shows the file).
    static void SetViewer(LogFileViewer inViewer);

private:
    // Appends inText; reports the first failure for this file once.
    void Append(const std::string& inText);
    // Shows the alert for a failed write, the first time only.
    void ReportFailure(int inError);

    CStamperPreferences* mPreferences = nullptr;
    bool mFailureReported = false;
};

// The plug-in's one log, made on first use and destroyed when the library goes. The
// initialisation names its file (data folder + "/Quillmark.txt").
CStamperLog& GetStamperLog();
