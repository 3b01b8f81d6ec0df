// The one guard that every procedure handed to the host runs its body in: the
// host calls plug-in code from its own frames, and nothing thrown there may
// cross into it. The guard catches everything, reports it, and answers the
// procedure's failure value.
#pragma once

#include <string>

// Reports the exception being handled: an in-house code shows the error-message
// buffer (or, when it is empty, a short text naming `where` and the code); a
// host error shows the host's text; a user cancel shows nothing. The error
// buffer is empty afterwards (its message was delivered). Never throws.
// Call only from inside a catch block.
void ReportCallbackFailure(const char* where) noexcept;

// How a guard reports the exception being handled (called from inside the
// catch block). Procedures that must show nothing, such as the batch command's,
// pass one that logs.
using CallbackFailureReport = void (*)(const char* where) noexcept;

// Runs body; on any exception reports it and answers `failure`.
template <class R, class F>
R GuardCallback(const char* where, R failure, F&& body,
                CallbackFailureReport report = ReportCallbackFailure) noexcept {
    try {
        return body();
    } catch (...) {
        report(where);
        return failure;
    }
}

// The same for procedures that answer nothing.
template <class F>
void GuardCallback(const char* where, F&& body, CallbackFailureReport report = ReportCallbackFailure) noexcept {
    try {
        body();
    } catch (...) {
        report(where);
    }
}

// The text of the exception being handled: the error-message buffer (or
// "error N") for an in-house code, what() for a host error or another
// std::exception, "" for anything else. Call only from a catch block. Never throws.
std::string DescribeCurrentException() noexcept;

// Runs body where nothing may be thrown and no one is left to tell (clean-ups,
// the last steps of a failed run): true when it ran through, false when it threw.
template <class F>
bool TrapRun(F&& body) noexcept {
    try {
        body();
        return true;
    } catch (...) {
        return false;
    }
}
