#include "cli/AlertCapture.h"

namespace qmcli {

AlertCapture::AlertCapture() : mPrevious(qmhost::alerts().mode()) {
    qmhost::alerts().clearRecorded();
    qmhost::alerts().takeWarnings();
    qmhost::alerts().setMode(qmhost::AlertMode::Record);
}

AlertCapture::~AlertCapture() {
    qmhost::alerts().clearRecorded();
    qmhost::alerts().takeWarnings();
    qmhost::alerts().setMode(mPrevious);
}

std::vector<std::string> AlertCapture::take() {
    std::vector<std::string> taken = qmhost::alerts().recorded();
    qmhost::alerts().clearRecorded();
    return taken;
}

}  // namespace qmcli

namespace qmcli {

std::vector<std::string> AlertCapture::takeWarnings() { return qmhost::alerts().takeWarnings(); }

}  // namespace qmcli
