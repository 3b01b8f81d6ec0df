// The arguments of one command: options that take a value ("--profile NAME",
// "-o FILE"), flags, and positional arguments, in any order. "--" ends the
// options; "-" alone is positional.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace qmcli {

class CommandArguments {
public:
    // valueOptions take the next argument as their value; flags take none. Any
    // other argument that begins with "-" is an error.
    CommandArguments(const std::vector<std::string>& args, const std::set<std::string>& valueOptions,
                     const std::set<std::string>& flags = {});

    bool ok() const { return mError.empty(); }
    const std::string& error() const { return mError; }
    // The value given last for the option (and its aliases), or none.
    std::optional<std::string> value(std::initializer_list<const char*> names) const;
    bool flag(const std::string& name) const { return mFlags.count(name) != 0; }
    const std::vector<std::string>& positional() const { return mPositional; }

private:
    std::vector<std::pair<std::string, std::string>> mValues;  // in the order given
    std::set<std::string> mFlags;
    std::vector<std::string> mPositional;
    std::string mError;
};

}  // namespace qmcli
