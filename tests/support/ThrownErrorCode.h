// The in-house error code a call throws, for the support library tests.
#pragma once

#include <functional>

#include "support/ErrorCode.h"

namespace qmtest {

// The ErrorCode that body throws; 0 when it throws none.
inline ErrorCode CodeOf(const std::function<void()>& body) {
    try {
        body();
    } catch (ErrorCode code) {
        return code;
    }
    return 0;
}

}  // namespace qmtest
