// What the plug-in's menu commands share: the ids of their titles and
// messages, the failure rule of the items that build a submenu, and taking an
// item out of its menu when its command goes.
#pragma once

#include <cstdint>
#include <string>

#include "support/av/CAVMenuItem.h"
#include "support/HostFrame.h"
#include "support/ScopeGuard.h"

// String ids of the menu and toolbar commands.
enum : uint32_t {
    kStrStamperMenuTitle = 4,   // "Quillmark..."
    kStrUserGuideFile = 5,      // "Quillmark_User_Guide.pdf"
    kStrStamperTitle = 6,       // "Quillmark"
    kStrManageStamps = 7,       // the manage-stamps item and the toolbar button's help text
    kStrUndo = 8,
    kStrLog = 9,
    kStrLogView = 10,
    kStrLogClear = 11,
    kStrStampDocument = 12,
    kStrMenuInstallFailed = 210,
    kStrUndoFailed = 217,
    kStrUserGuideMissing = 1105,  // "%s" is the guide's path
};

// The text of string inId as a title (empty when the table lacks it).
std::string MenuTitle(uint32_t inId);

// Puts string 210 into the error-message buffer. Never throws.
void ReportMenuInstallFailure() noexcept;

// Runs inBuild, the host-item building of a command that holds a submenu. Any
// failure puts string 210 into the error-message buffer and is thrown on (a
// host error as its 16-bit code, so that whoever reports it shows string 210).
template <class F>
void BuildSubmenuItems(F&& inBuild) {
    const auto report = OnFailure([] { ReportMenuInstallFailure(); });
    CallHost([&] { inBuild(); });
}

// Takes the command's host item out of the menu it is in, so that no item of
// an unloaded plug-in stays in the host's menus. Never throws.
void TakeOutOfMenu(CAVMenuItem& inItem) noexcept;
