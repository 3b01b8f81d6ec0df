// The properties dialogs of the "Launch" and "URI" action handlers: modal Qt
// dialogs in a host with a display (a QApplication); a host without one
// answers "cancelled" at once.
#pragma once

#include <optional>
#include <string>

namespace qmhost {

// The file to open, starting from current; none when cancelled. An empty
// name cannot be confirmed.
std::optional<std::string> askLaunchFile(const std::string& current);
// The web link, starting from current; none when cancelled. An empty link
// cannot be confirmed.
std::optional<std::string> askUri(const std::string& current);

}  // namespace qmhost
