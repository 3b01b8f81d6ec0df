// Calls into the host. A host call that raises leaves a HostError; the frame
// keeps the low 16 bits of its code, puts the host's text for the code into
// the error-message buffer and throws the 16-bit code (never 0: a code whose
// low half is 0 becomes -1, so that a failure never reads as success).
#pragma once

#include <utility>

#include "qmhost/HostError.h"
#include "support/ErrorCode.h"

// Puts the host's text for the error into the error-message buffer and
// answers the 16-bit code that stands for it.
ErrorCode TakeHostError(const HostError& error);

// Runs body; a host error is thrown on as its own 16-bit code.
template <class F>
auto CallHost(F&& body) -> decltype(body()) {
    try {
        return body();
    } catch (const HostError& error) {
        ThrowErrorCode(TakeHostError(error));
    }
}

// Runs body; a host error is thrown on as `code` (its text still goes into the buffer).
template <class F>
auto CallHostOr(ErrorCode code, F&& body) -> decltype(body()) {
    try {
        return body();
    } catch (const HostError& error) {
        TakeHostError(error);
        ThrowErrorCode(code);
    }
}
