// What a call into the host's tables raised, for the tests of those tables.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "qmhost/CosTable.h"
#include "qmhost/HostError.h"

namespace qmtest {

struct Raised {
    int32_t code = 0;     // the HostError's code; 0 when body raised none
    std::string message;  // its message
};

// Runs body and catches the HostError it raises; other exceptions pass.
inline Raised raisedBy(const std::function<void()>& body) {
    try {
        body();
    } catch (const HostError& e) {
        return {e.code(), e.what()};
    }
    return {};
}

// The code of the HostError that body raises; 0 when it raises none.
inline int32_t hostErrorOf(const std::function<void()>& body) { return raisedBy(body).code; }

// True when obj's handle has gone stale: asking its type raises kHostErrBadHandle.
inline bool isStaleObject(const CosTable& cos, CosObj obj) {
    return hostErrorOf([&] { cos.objGetType(obj); }) == kHostErrBadHandle;
}

}  // namespace qmtest
