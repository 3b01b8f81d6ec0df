// The arguments of one command as the command line's parser found them
// (cli/CommandLine.h): the values of its options, its flags and its positional
// arguments. Options are named as typed, with their dashes ("--profile", "-o").
#pragma once

#include <initializer_list>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace qmcli {

class CommandArguments {
public:
    CommandArguments() = default;
    // values: each option given with its value (every name of an option with
    // aliases), in the order given; a later value of a name wins.
    CommandArguments(std::vector<std::pair<std::string, std::string>> values, std::set<std::string> flags,
                     std::vector<std::string> positional);

    // The value given last for the option (under any of names), or none.
    std::optional<std::string> value(std::initializer_list<const char*> names) const;
    bool flag(const std::string& name) const { return mFlags.count(name) != 0; }
    const std::vector<std::string>& positional() const { return mPositional; }

private:
    std::vector<std::pair<std::string, std::string>> mValues;
    std::set<std::string> mFlags;
    std::vector<std::string> mPositional;
};

}  // namespace qmcli
