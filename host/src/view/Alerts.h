// Where alert notes go: standard error (the command-line host), a recorder
// (tests), or nowhere (batch and preview runs).
#pragma once

#include <string>
#include <vector>

namespace qmhost {

enum class AlertMode { Print, Record, Silent };

class Alerts {
public:
    void show(const std::string& text);
    void setMode(AlertMode mode) { mMode = mode; }
    AlertMode mode() const { return mMode; }
    // Alerts recorded in Record mode, oldest first.
    const std::vector<std::string>& recorded() const { return mRecorded; }
    void clearRecorded() { mRecorded.clear(); }

private:
    AlertMode mMode = AlertMode::Print;
    std::vector<std::string> mRecorded;
};

Alerts& alerts();

}  // namespace qmhost
