// The plug-in's one trap for exceptions. Every procedure handed to the host
// runs its body in GuardCallback: the host calls plug-in code from its own
// frames, and nothing thrown there may cross into it. Code of the plug-in's own
// that must not fail (clean-ups, warnings, look-ups with a fallback) uses the
// quiet forms, TrapOr and TrapRun. All of them are built on TrapFailure, the
// one place that catches everything.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "support/ErrorCode.h"

// Runs body and answers what it answers. When anything escapes body, answers
// onFailure() instead; onFailure runs inside the catch block, so it may look at
// the exception (DescribeCurrentException, a `throw;` into typed handlers) or
// throw one of its own, which goes on to the caller.
template <class F, class G>
auto TrapFailure(F&& body, G&& onFailure) -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        return onFailure();
    }
}

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
    return TrapFailure([&]() -> R { return body(); },
                       [&]() -> R {
                           report(where);
                           return failure;
                       });
}

// The same for procedures that answer nothing.
template <class F>
void GuardCallback(const char* where, F&& body, CallbackFailureReport report = ReportCallbackFailure) noexcept {
    TrapFailure([&] { body(); }, [&] { report(where); });
}

// The text of the exception being handled: the error-message buffer (or
// "error N") for an in-house code, what() for a host error or another
// std::exception, "" for anything else. *outHostCode (when given) is the host
// error's code, 0 for other kinds. Call only from a catch block. Never throws.
std::string DescribeCurrentException(int32_t* outHostCode = nullptr) noexcept;

// The in-house code of the exception being handled: an in-house code itself,
// a host error as TakeHostError makes it (its text goes into the error-message
// buffer), `other` for any other kind. Call only from a catch block. Never throws.
ErrorCode CurrentErrorCode(ErrorCode other) noexcept;

// Runs body where a failure has a plain answer and no one to tell (a look-up
// with a fallback, a probe): body's result, or `failure` when it threw.
template <class R, class F>
R TrapOr(R failure, F&& body) noexcept {
    return TrapFailure([&]() -> R { return body(); }, [&]() -> R { return failure; });
}

// Runs body and answers what escaped it (null when it ran through), to be
// thrown on with std::rethrow_exception once the caller has done what must be
// done in its own frame (va_end).
template <class F>
std::exception_ptr CaptureFailure(F&& body) noexcept {
    return TrapFailure(
        [&] {
            body();
            return std::exception_ptr();
        },
        [] { return std::current_exception(); });
}

// Runs body where nothing may be thrown and no one is left to tell (clean-ups,
// the last steps of a failed run): true when it ran through, false when it threw.
template <class F>
bool TrapRun(F&& body) noexcept {
    return TrapOr(false, [&] {
        body();
        return true;
    });
}
