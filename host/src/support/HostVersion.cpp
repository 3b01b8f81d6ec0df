#include "support/HostVersion.h"

#include <string>

#include "core/Raise.h"
#include "qmhost/QMBase.h"

namespace qmhost {
namespace {

int32_t gHostMajorVersion = kDefaultHostMajorVersion;

}  // namespace

int32_t hostMajorVersion() { return gHostMajorVersion; }

void setHostMajorVersion(int32_t major) {
    if (major < 1) raise(kHostErrBadParameter, "bad host version " + std::to_string(major));
    gHostMajorVersion = major;
}

}  // namespace qmhost
