// Where alert notes go: standard error (the command-line host), a handler (the
// desktop host's message boxes), a recorder (tests), or nowhere (batch and
// preview runs). Warnings are kept apart from notes, so that a caller tells a
// run that warned from one that failed.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qmhost {

enum class AlertMode { Print, Handler, Record, Silent };

class Alerts {
public:
    // A note: in a run, the message of its failure.
    void show(const std::string& text);
    // A warning: the operation goes on and its result stands. Printed in Print
    // mode; in Handler mode handed to the warning handler when one is set,
    // else to the handler as "Warning: text"; kept in Record and Silent mode
    // (a batch sequence takes each file's warnings) until taken.
    void warn(const std::string& text);
    // The warnings kept since the last take, oldest first; they are forgotten.
    std::vector<std::string> takeWarnings();
    void setMode(AlertMode mode) { mMode = mode; }
    AlertMode mode() const { return mMode; }
    // Alerts recorded in Record mode, oldest first.
    const std::vector<std::string>& recorded() const { return mRecorded; }
    void clearRecorded() { mRecorded.clear(); }
    // What Handler mode calls (it prints while none is set); must not throw.
    void setHandler(std::function<void(const std::string&)> handler) { mHandler = std::move(handler); }
    // What Handler mode calls for a warning (the text alone); must not throw.
    void setWarningHandler(std::function<void(const std::string&)> handler) { mWarningHandler = std::move(handler); }

private:
    AlertMode mMode = AlertMode::Print;
    std::vector<std::string> mRecorded;
    std::function<void(const std::string&)> mHandler;
    std::function<void(const std::string&)> mWarningHandler;
    std::vector<std::string> mWarnings;
};

Alerts& alerts();

}  // namespace qmhost
