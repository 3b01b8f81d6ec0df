// The properties prompts of the "Launch" and "URI" action handlers. The view
// layer shows no window itself: a program that can (the desktop host) installs
// its dialogs here; until it does, and in the command-line host, every prompt
// answers "cancelled" at once.
#pragma once

#include <optional>
#include <string>

namespace qmhost {

struct ActionPrompts {
    // The file to open, starting from current; none when cancelled. An empty
    // name cannot be confirmed.
    std::optional<std::string> (*askLaunchFile)(const std::string& current);
    // The web link, starting from current; none when cancelled. An empty link
    // cannot be confirmed.
    std::optional<std::string> (*askUri)(const std::string& current);
};

// Installs prompts (null: none again); the caller keeps them alive.
void setActionPrompts(const ActionPrompts* prompts);

// What the installed prompts answer; none when none are installed.
std::optional<std::string> askLaunchFile(const std::string& current);
std::optional<std::string> askUri(const std::string& current);

}  // namespace qmhost
