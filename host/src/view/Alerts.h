// Where alert notes go: standard error (the command-line host), a handler (the
// desktop host's message boxes), a recorder (tests), or nowhere (batch and
// preview runs).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qmhost {

enum class AlertMode { Print, Handler, Record, Silent };

class Alerts {
public:
    void show(const std::string& text);
    void setMode(AlertMode mode) { mMode = mode; }
    AlertMode mode() const { return mMode; }
    // Alerts recorded in Record mode, oldest first.
    const std::vector<std::string>& recorded() const { return mRecorded; }
    void clearRecorded() { mRecorded.clear(); }
    // What Handler mode calls (it prints while none is set); must not throw.
    void setHandler(std::function<void(const std::string&)> handler) { mHandler = std::move(handler); }

private:
    AlertMode mMode = AlertMode::Print;
    std::vector<std::string> mRecorded;
    std::function<void(const std::string&)> mHandler;
};

Alerts& alerts();

}  // namespace qmhost
