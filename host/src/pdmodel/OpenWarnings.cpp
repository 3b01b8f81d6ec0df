#include "pdmodel/OpenWarnings.h"

namespace qmhost {
namespace {

std::vector<std::string>& warnings() {
    // Never destroyed, as the save's warnings.
    static auto* list = new std::vector<std::string>;
    return *list;
}

}  // namespace

const std::vector<std::string>& lastOpenWarnings() { return warnings(); }

void setLastOpenWarnings(std::vector<std::string> list) { warnings() = std::move(list); }

}  // namespace qmhost
