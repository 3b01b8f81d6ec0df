// Raising host errors from inside the host, and the guard that every table
// entry runs its body in.
#pragma once

#include <cstdint>
#include <string>

#include "core/ExceptionTrap.h"
#include "qmhost/HostError.h"

namespace qmhost {

// The generic text of a host error code ("" for an unknown code).
const char* errorCodeText(int32_t code);

// Records the error as the current one and throws it.
[[noreturn]] void raise(int32_t code, const std::string& message);
[[noreturn]] void raise(int32_t code);

// The code and message of the last error raised (0 and "" when none).
int32_t lastErrorCode();
std::string lastErrorMessage(int32_t code);

// Turns any exception in flight into a raised HostError: HostError passes,
// std::bad_alloc becomes kHostErrNoMemory, anything else kHostErrGeneric with
// its what() text. Call only from inside a catch block.
[[noreturn]] void rethrowAsHostError(const char* context);

// Runs body; exceptions of other kinds leave it as HostError (see above).
template <class F>
auto guarded(const char* context, F&& body) -> decltype(body()) {
    return trapFailure(body, [&]() -> decltype(body()) { rethrowAsHostError(context); });
}

}  // namespace qmhost
