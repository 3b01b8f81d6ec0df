#include "cli/CommandArguments.h"

namespace qmcli {

CommandArguments::CommandArguments(std::vector<std::pair<std::string, std::string>> values,
                                   std::set<std::string> flags, std::vector<std::string> positional)
    : mValues(std::move(values)), mFlags(std::move(flags)), mPositional(std::move(positional)) {}

std::optional<std::string> CommandArguments::value(std::initializer_list<const char*> names) const {
    std::optional<std::string> found;
    for (const auto& [name, value] : mValues)
        for (const char* wanted : names)
            if (name == wanted) found = value;
    return found;
}

}  // namespace qmcli
