// The one guard that every procedure handed to the host runs its body in: the
// host calls plug-in code from its own frames, and nothing thrown there may
// cross into it. The guard catches everything, reports it, and answers the
// procedure's failure value.
#pragma once

// Reports the exception being handled: an in-house code shows the error-message
// buffer (or, when it is empty, a short text naming `where` and the code); a
// host error shows the host's text; a user cancel shows nothing. The error
// buffer is empty afterwards (its message was delivered). Never throws.
// Call only from inside a catch block.
void ReportCallbackFailure(const char* where) noexcept;

// Runs body; on any exception reports it and answers `failure`.
template <class R, class F>
R GuardCallback(const char* where, R failure, F&& body) noexcept {
    try {
        return body();
    } catch (...) {
        ReportCallbackFailure(where);
        return failure;
    }
}

// The same for procedures that answer nothing.
template <class F>
void GuardCallback(const char* where, F&& body) noexcept {
    try {
        body();
    } catch (...) {
        ReportCallbackFailure(where);
    }
}
