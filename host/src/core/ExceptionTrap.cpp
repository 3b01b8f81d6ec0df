#include "core/ExceptionTrap.h"

#include <exception>

namespace qmhost {

std::string describeCurrentException() noexcept {
    // An empty text when there is no memory for the text.
    return trapFailure(
        [] {
            try {
                throw;
            } catch (const std::exception& e) {  // HostError too
                return std::string(e.what());
            } catch (...) {
                return std::string("an exception of an unknown kind");
            }
        },
        [] { return std::string(); });
}

void noteCurrentException(std::string* why) noexcept {
    // A moved string is taken without allocating.
    if (why) *why = describeCurrentException();
}

}  // namespace qmhost
