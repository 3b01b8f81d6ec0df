#include "core/ExceptionTrap.h"

#include <exception>

namespace qmhost {

std::string describeCurrentException() noexcept {
    try {
        try {
            throw;
        } catch (const std::exception& e) {  // HostError too
            return e.what();
        } catch (...) {
            return "an exception of an unknown kind";
        }
    } catch (...) {
        return std::string();  // no memory for the text
    }
}

void noteCurrentException(std::string* why) noexcept {
    if (!why) return;
    try {
        *why = describeCurrentException();
    } catch (...) {
        // No memory for the text: the caller's own message stands.
    }
}

}  // namespace qmhost
