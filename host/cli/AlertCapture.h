// Keeps the alerts shown while it lives instead of printing them, so that a
// command can tell a failed run (the plug-in shows its error message as an
// alert note at the end of a failed run) from one that only warned (warnings
// come through the host's own warning entry) and print them itself. The alert mode in
// force before is restored at the end.
#pragma once

#include <string>
#include <vector>

#include "view/Alerts.h"

namespace qmcli {

class AlertCapture {
public:
    AlertCapture();
    ~AlertCapture();
    AlertCapture(const AlertCapture&) = delete;
    AlertCapture& operator=(const AlertCapture&) = delete;

    // The alerts (notes) shown since the capture began (or since the last
    // take), oldest first.
    std::vector<std::string> take();
    // The warnings shown since the capture began (or since the last take).
    std::vector<std::string> takeWarnings();

private:
    qmhost::AlertMode mPrevious;
};

}  // namespace qmcli
