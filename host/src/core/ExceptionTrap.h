// The host's one trap for exceptions that must go no further: calls into a
// plug-in's procedures (which may throw anything), listeners, and clean-ups
// that have no one to report to. Table entries use guarded() instead
// (core/Raise.h), which turns exceptions into host errors. All of them are
// built on trapFailure, the one place that catches everything.
#pragma once

#include <string>

namespace qmhost {

// Runs body and answers what it answers. When anything escapes body, answers
// onFailure() instead; onFailure runs inside the catch block, so it may look at
// the exception (describeCurrentException, a `throw;` into typed handlers) or
// throw one of its own, which goes on to the caller.
template <class F, class G>
auto trapFailure(F&& body, G&& onFailure) -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        return onFailure();
    }
}

// The text of the exception being handled: what() of a HostError or another
// std::exception, else "an exception of an unknown kind". Call only from a
// catch block. Never throws (an empty text when even that fails).
std::string describeCurrentException() noexcept;

// Puts the description of the exception being handled into *why (when given).
void noteCurrentException(std::string* why) noexcept;

// Runs body and answers its result; when body throws, answers failure and puts
// the exception's description into *why (when given).
template <class R, class F>
R trapped(R failure, F&& body, std::string* why = nullptr) noexcept {
    return trapFailure([&]() -> R { return body(); },
                       [&]() -> R {
                           noteCurrentException(why);
                           return failure;
                       });
}

// The same for a body that answers nothing: true when it ran through.
template <class F>
bool trappedRun(F&& body, std::string* why = nullptr) noexcept {
    return trapped(
        false,
        [&] {
            body();
            return true;
        },
        why);
}

}  // namespace qmhost
