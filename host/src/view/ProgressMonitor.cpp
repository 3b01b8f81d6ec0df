#include "view/ProgressMonitor.h"

#include <unistd.h>

#include <algorithm>

#include "core/ExceptionTrap.h"
#include "cabinet/CabinetHandles.h"
#include "cabinet/HostText.h"
#include "support/TerminalText.h"

namespace qmhost {
namespace {

constexpr int kBarWidth = 30;

ProgressMonitor& monitorOf(void* clientData) {
    return clientData ? *static_cast<ProgressMonitor*>(clientData) : progressMonitor();
}

// The record's procedures: plug-ins call them from inside a run, so none of
// them may throw into the plug-in.
void beginOperation(void* clientData) { monitorOf(clientData).begin(); }
void endOperation(void* clientData) { monitorOf(clientData).end(); }
void setDuration(int32_t duration, void* clientData) { monitorOf(clientData).setDuration(duration); }
void setCurrValue(int32_t value, void* clientData) { monitorOf(clientData).setCurrValue(value); }
int32_t getDuration(void* clientData) { return monitorOf(clientData).duration(); }
int32_t getCurrValue(void* clientData) { return monitorOf(clientData).currValue(); }
void setText(ASText text, void* clientData) {
    // A stale text shows no text; the run goes on.
    trapFailure([&] { monitorOf(clientData).setText(text ? textOf(text).utf8() : std::string()); },
                [&] { monitorOf(clientData).setText(std::string()); });
}

ASProgressMonitorRec gRecord = {
    sizeof(ASProgressMonitorRec), beginOperation, endOperation, setDuration,
    setCurrValue,                 getDuration,    getCurrValue, setText,
};

}  // namespace

void ProgressMonitor::begin() {
    if (mDepth++ > 0) return;
    mCancelRequested = false;
    mDuration = 0;
    mValue = 0;
    mText.clear();
    tell();
}

void ProgressMonitor::end() {
    if (mDepth == 0) return;
    if (--mDepth == 0) {
        clear();
        tell();
    }
}

void ProgressMonitor::setDuration(int32_t duration) {
    mDuration = std::max<int32_t>(duration, 0);
    draw();
    tell();
}

void ProgressMonitor::setCurrValue(int32_t value) {
    mValue = std::max<int32_t>(value, 0);
    draw();
    tell();
}

void ProgressMonitor::setText(const std::string& text) {
    mText = text;
    draw();
    tell();
}

void ProgressMonitor::tell() const {
    if (!mListener) return;
    // What shows the progress must never end the run that reports it.
    trappedRun([&] { mListener(); });
}

void ProgressMonitor::setOutput(std::FILE* stream) {
    clear();
    mOutputChosen = true;
    mOutput = stream;
}

std::FILE* ProgressMonitor::output() {
    if (!mOutputChosen) {
        mOutputChosen = true;
        mOutput = isatty(STDERR_FILENO) ? stderr : nullptr;
    }
    return mOutput;
}

std::string ProgressMonitor::line() const {
    std::string text = "quillmark: ";
    if (mDuration > 0) {
        const int64_t value = std::min<int64_t>(mValue, mDuration);
        const int percent = static_cast<int>(value * 100 / mDuration);
        const int filled = percent * kBarWidth / 100;  // changes only with the percentage
        text += '[';
        text.append(static_cast<size_t>(filled), '#');
        text.append(static_cast<size_t>(kBarWidth - filled), ' ');
        // No count of steps: it changes at every page, and a bar redrawn at
        // every page wrote megabytes to the terminal on a long document. The
        // share done changes at most a hundred times.
        text += "] " + std::to_string(percent) + "%";
    } else {
        text += std::to_string(mValue);
    }
    // The text may name a file: its control characters are written out.
    if (!mText.empty()) text += " " + EscapeControlCharacters(mText);
    return text;
}

void ProgressMonitor::draw() {
    if (mDepth == 0) return;
    std::FILE* stream = output();
    if (!stream) return;
    std::string text = line();
    if (text == mShown) return;
    // Pad with blanks over the rest of a longer line drawn before.
    std::string padded = text;
    if (mShown.size() > text.size()) padded.append(mShown.size() - text.size(), ' ');
    std::fprintf(stream, "\r%s", padded.c_str());
    std::fflush(stream);
    mShown = std::move(text);
    ++mDrawCount;
}

void ProgressMonitor::clear() {
    if (mShown.empty() || !mOutput) {
        mShown.clear();
        return;
    }
    std::fprintf(mOutput, "\r%s\r", std::string(mShown.size(), ' ').c_str());
    std::fflush(mOutput);
    mShown.clear();
}

void ProgressMonitor::reset() {
    clear();
    mDepth = 0;
    mCancelRequested = false;
    mDuration = 0;
    mValue = 0;
    mText.clear();
    mOutputChosen = false;
    mOutput = nullptr;
    mDrawCount = 0;
}

ProgressMonitor& progressMonitor() {
    // Never destroyed: a plug-in may still end a run while statics go down.
    static ProgressMonitor* instance = new ProgressMonitor;
    return *instance;
}

ASProgressMonitor progressMonitorRecord(void** outClientData) {
    if (outClientData) *outClientData = &progressMonitor();
    return &gRecord;
}

}  // namespace qmhost
