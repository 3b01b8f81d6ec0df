#include "stamper/CStamperLog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

#include "stamper/CStamperPreferences.h"
#include "stamper/OpenFileSeam.h"
#include "support/Alerts.h"
#include "support/CallbackGuard.h"
#include "support/ErrorCode.h"
#include "support/io/FileSystemHelpers.h"

const char kStamperLogRule[] =
    "==========================================================================";
const char kStamperLogTitle[] = "Quillmark3.0 记录";
const char kStamperLogDateLabel[] = "信息：       ";

namespace {

LogFileViewer& Viewer() {
    static LogFileViewer viewer;
    return viewer;
}

}  // namespace

CStamperLog::CStamperLog() = default;

CStamperLog::~CStamperLog() = default;

void CStamperLog::SetFile(const TFileSpecifier& inFile) {
    CLogFile::SetFile(inFile);
    mFailureReported = false;
}

void CStamperLog::Printf(const char* inFormat, ...) {
    if (!IsEnabled()) return;
    if (!Exists()) {
        Append(std::string(kStamperLogRule) + "\n" + kStamperLogTitle + "\n" + kStamperLogRule + "\n");
    }
    va_list args;
    va_start(args, inFormat);
    VPrintf(inFormat, args);
    va_end(args);
}

void CStamperLog::VPrintf(const char* inFormat, va_list inArgs) {
    if (!IsEnabled()) return;
    std::string line;
    try {
        line = FormatLogMessageV(inFormat, inArgs) + "\n";
    } catch (const std::bad_alloc&) {
        return;  // a line that cannot be made is left out like one that cannot be written
    }
    Append(line);
}

void CStamperLog::WriteDateLine() {
    if (!IsEnabled()) return;
    Append(kStamperLogDateLabel + CurrentTimeText() + "\n");
}

// A folder of the log's name is no log: it is neither shown nor deleted, and
// writing to it fails (and warns) as any unwritable log does.
bool CStamperLog::Exists() const { return IsFileSpecFile(GetFile(), false); }

void CStamperLog::Clear() {
    if (Exists()) TryDeleteFileSpec(GetFile());
}

void CStamperLog::View() const {
    if (!Exists()) return;
    const LogFileViewer& viewer = Viewer();
    if (viewer)
        viewer(GetFile().GetPath());
    else
        OpenFileForUser(GetFile().GetPath());
}

void CStamperLog::SetPreferences(CStamperPreferences* inPreferences) { mPreferences = inPreferences; }

bool CStamperLog::IsEnabled() const {
    CStamperPreferences* preferences = mPreferences ? mPreferences : GetStamperPreferences();
    return preferences && preferences->GetEnableLogging();
}

void CStamperLog::SetViewer(LogFileViewer inViewer) { Viewer() = std::move(inViewer); }

void CStamperLog::Append(const std::string& inText) {
    // A log that cannot be written must not end the run that logs: the failure
    // is shown once and the line is left out.
    try {
        errno = 0;
        AppendText(inText);
    } catch (ErrorCode) {
        ReportFailure(errno);
    } catch (const std::bad_alloc&) {
        ReportFailure(ENOMEM);
    }
}

void CStamperLog::ReportFailure(int inError) {
    if (mFailureReported) return;
    mFailureReported = true;
    // A warning, not a failure: the run that logs goes on and its result
    // stands. A warning that cannot be shown has nowhere left to go.
    TrapRun([&] {
        Warning("The log file %s cannot be written (%s). Log lines are left out until it can be "
                "written again.",
                GetFile().IsEmpty() ? "(none named)" : GetFile().GetPath(),
                inError ? std::strerror(inError) : "unknown error");
    });
}

CStamperLog& GetStamperLog() {
    // Made at first use (the plug-in's statics use it at load) and destroyed
    // when the library goes: a module that is unloaded and loaded again would
    // otherwise leave one log object behind each time.
    static CStamperLog log;
    return log;
}
