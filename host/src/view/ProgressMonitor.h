// The application's progress monitor (AppView getProgressMonitor): a long
// run's begin, duration, current value, text and end, drawn as a one-line bar
// on standard error when standard error is a terminal, silent otherwise.
//
// Nested begin/end pairs are tolerated: only the outermost begin starts a bar
// (duration, value and text back to 0 and empty; drawn from the first value
// set) and only the matching end clears it; an end without a begin does
// nothing. The bar is redrawn in place (a carriage return, never a new line)
// and only when its line changes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "qmhost/AppViewTable.h"

namespace qmhost {

class ProgressMonitor {
public:
    void begin();
    void end();
    void setDuration(int32_t duration);  // a negative duration is taken as 0
    void setCurrValue(int32_t value);    // a negative value is taken as 0
    int32_t duration() const { return mDuration; }
    int32_t currValue() const { return mValue; }
    void setText(const std::string& text);  // UTF-8; shown behind the bar
    const std::string& text() const { return mText; }
    int32_t depth() const { return mDepth; }
    // The user asked the run under way to stop (Esc in the desktop host). The
    // request holds until the next outermost begin.
    void requestCancel() { mCancelRequested = true; }
    bool cancelRequested() const { return mCancelRequested; }

    // Where the bar is drawn: a stream (not owned), or null to draw nothing.
    // Until this is called, standard error when it is a terminal, else nothing.
    void setOutput(std::FILE* stream);
    // The bar's line for the current state, without the leading carriage return:
    // "quillmark: [#####     ] 50% text", or "quillmark: 5 text" (the value)
    // while no duration is set. With a duration the line changes at most 101
    // times in an operation, besides the text.
    std::string line() const;
    // Lines drawn since the monitor was made or reset (tests).
    int32_t drawCount() const { return mDrawCount; }
    // Back to no run, no output chosen, nothing counted (tests).
    void reset();

    // Told after every begin, end and change of duration, value or text (the
    // desktop host shows the monitor in its status bar); empty: nobody. The
    // listener must not throw: it runs inside plug-in calls.
    void setListener(std::function<void()> listener) { mListener = std::move(listener); }

private:
    void draw();
    void clear();
    void tell() const;
    std::FILE* output();

    int32_t mDepth = 0;
    bool mCancelRequested = false;
    int32_t mDuration = 0;
    int32_t mValue = 0;
    std::string mText;
    std::string mShown;  // the line on the terminal now; empty when none
    bool mOutputChosen = false;
    std::FILE* mOutput = nullptr;
    int32_t mDrawCount = 0;
    std::function<void()> mListener;
};

ProgressMonitor& progressMonitor();

// The monitor record handed to plug-ins; its client data (written through
// outClientData when not null) is the application's monitor.
ASProgressMonitor progressMonitorRecord(void** outClientData);

}  // namespace qmhost
