#include "cli/CommandArguments.h"

namespace qmcli {

CommandArguments::CommandArguments(const std::vector<std::string>& args,
                                   const std::set<std::string>& valueOptions,
                                   const std::set<std::string>& flags) {
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
            mPositional.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (valueOptions.count(arg)) {
            if (i + 1 >= args.size()) {
                mError = arg + " needs a value";
                return;
            }
            mValues.emplace_back(arg, args[++i]);
        } else if (flags.count(arg)) {
            mFlags.insert(arg);
        } else {
            mError = "unknown option " + arg;
            return;
        }
    }
}

std::optional<std::string> CommandArguments::value(std::initializer_list<const char*> names) const {
    std::optional<std::string> found;
    for (const auto& [name, value] : mValues)
        for (const char* wanted : names)
            if (name == wanted) found = value;
    return found;
}

}  // namespace qmcli
