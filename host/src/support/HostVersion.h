// The host's major version: a setting of the host (8 by default, 5 on request),
// which decides what the host offers (from 6 on, image files open as documents).
#pragma once

#include <cstdint>

namespace qmhost {

int32_t hostMajorVersion();
// Sets the version for the rest of the run (the hosts' `--host-version`, tests).
// Raises kHostErrBadParameter below 1.
void setHostMajorVersion(int32_t major);

}  // namespace qmhost
