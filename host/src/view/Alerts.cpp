#include "view/Alerts.h"
#include "core/ExceptionTrap.h"
#include "support/TerminalText.h"

#include <cstdio>

namespace qmhost {

void Alerts::show(const std::string& text) {
    switch (mMode) {
        case AlertMode::Handler:
            if (mHandler) {
                // An alert that cannot be shown is dropped; the caller goes on.
                trappedRun([&] { mHandler(text); });
                break;
            }
            [[fallthrough]];
        case AlertMode::Print:
            std::fprintf(stderr, "quillmark: %s\n", EscapeControlCharacters(text).c_str());
            break;
        case AlertMode::Record:
            mRecorded.push_back(text);
            break;
        case AlertMode::Silent:
            break;
    }
}

void Alerts::warn(const std::string& text) {
    switch (mMode) {
        case AlertMode::Handler:
            if (mWarningHandler) {
                trappedRun([&] { mWarningHandler(text); });
                break;
            }
            // Without a handler of its own a warning is shown as a note, marked as one.
            show("Warning: " + text);
            break;
        case AlertMode::Print:
            std::fprintf(stderr, "quillmark: warning: %s\n", EscapeControlCharacters(text).c_str());
            break;
        case AlertMode::Record:
        case AlertMode::Silent:
            mWarnings.push_back(text);
            break;
    }
}

std::vector<std::string> Alerts::takeWarnings() {
    std::vector<std::string> taken;
    taken.swap(mWarnings);
    return taken;
}

Alerts& alerts() {
    // Never destroyed: a plug-in may still be unloaded while statics go down.
    static Alerts* instance = new Alerts;
    return *instance;
}

}  // namespace qmhost
