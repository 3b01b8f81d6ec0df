// Driving the plug-in's commands through the host's menu model, as a user's
// clicks would: the Stamp submenu (the item "VELM:SStamp", whose submenu holds
// one item per profile, titled with the profile's name; asking the Stamp item
// whether it is enabled makes the plug-in build that submenu afresh from its
// Profiles folder), the Undo item "VELM:SUndo", and any item by name.
#pragma once

#include <string>
#include <vector>

#include "view/MenuCommands.h"

namespace qmcli {

inline constexpr const char kStampItemName[] = "VELM:SStamp";
inline constexpr const char kUndoItemName[] = "VELM:SUndo";

struct MenuEntry {
    std::string name;   // the host name ("VELM:SProfile0")
    std::string title;  // what the user sees (the profile's name)
};

// The items of the Stamp submenu, in menu order. Answers false with *error set
// when the plug-in offers no Stamp item.
bool ListProfileItems(std::vector<MenuEntry>* items, std::string* error);

struct CommandRun {
    bool ok = false;
    qmhost::RunOutcome outcome = qmhost::RunOutcome::NotFound;  // what runMenuCommand answered
    std::string message;              // why it failed; empty when ok
    bool noSuchProfile = false;       // failed for want of the profile named
    std::vector<std::string> alerts;    // alert notes shown while it ran, oldest first
    std::vector<std::string> warnings;  // warnings shown while it ran: they fail nothing
};

// Runs the item of that name (runMenuCommand) and keeps the alerts it shows.
// ok when it ran and showed no alert note: the plug-in reports a failed run
// only by showing its message as a note. Warnings are kept apart and do not
// make the run fail.
CommandRun RunMenuItem(const std::string& name);

// Stamps the active document with the profile: finds the item titled
// `profile` under the Stamp submenu and runs it. Fails with a message when no
// document is open, no profile has that name, the item is disabled (the
// document may not be stamped) or the run showed an alert.
CommandRun StampWithProfile(const std::string& profile);

// Undoes the last stamping run of the active document ("VELM:SUndo").
CommandRun UndoLastRun();

// The message of a failed run: its message and its alerts on one line each.
std::string DescribeFailure(const CommandRun& run);

// Prints each warning of the run on standard error, "<prefix>warning: <text>".
void PrintWarnings(const CommandRun& run, const std::string& prefix);

}  // namespace qmcli
