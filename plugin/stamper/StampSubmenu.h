// The Stamp submenu: "VELM:SStamp" (string 12) holds "VELM:SStampMenu"
// (string 12) with one item per profile file of the Profiles folder,
// "VELM:SProfile0", "VELM:SProfile1", ... titled with the profile's name.
//
// The profile items are listed anew every time the host asks whether the Stamp
// item is enabled (that is, before the submenu is shown), so a profile saved
// or deleted since shows at once. The Stamp item owns its profile items and
// frees them at each new listing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "support/av/CAVMenu.h"
#include "support/av/CAVMenuItem.h"
#include "support/io/TFileSpecifier.h"

// One profile of the Profiles folder: running it stamps the active document
// with the profile.
class CProfileMenuItem : public CAVMenuItem {
public:
    // Makes the host item (in no menu): name "VELM:SProfile<inIndex>", title
    // the file's leaf name without the text from its last ".".
    CProfileMenuItem(int32_t inIndex, const TFileSpecifier& inFile);

    // False while the stamp manager exists; otherwise whether the profile file
    // exists and the active document may be stamped.
    bool ComputeEnabled() override;
    // Stamps the active document with the profile (the run reports its own
    // failures to the user).
    void Execute() override;

    const TFileSpecifier& GetFile() const { return mFile; }

private:
    TFileSpecifier mFile;
};

class CStampMenuItem : public CAVMenuItem {
public:
    // Makes the submenu and the item holding it, adds the item at the end of
    // inParent and lists the profile items. A failure puts string 210 into the
    // error-message buffer and is thrown on.
    explicit CStampMenuItem(AVMenu inParent);
    // Takes the item out of its menu; the profile items are freed.
    ~CStampMenuItem() override;

    // False while the stamp manager exists. Otherwise lists the profile items
    // anew and answers whether the submenu holds any.
    bool ComputeEnabled() override;

    // Takes every item out of the submenu (a host failure ends the removal; the
    // listing goes on all the same), frees the old profile items, then
    // BuildProfileItems.
    void RebuildProfileItems();
    // Adds a profile item for every file of the Profiles folder whose name
    // contains ".nxp" (folders are not profiles), numbered 0, 1, 2, ... in the
    // order of their names (letter case aside, as the folder lists them).
    void BuildProfileItems();

    AVMenu GetSubmenu() const { return mSubmenu.GetMenu(); }
    int32_t GetProfileItemCount() const { return static_cast<int32_t>(mProfileItems.size()); }
    CProfileMenuItem* GetProfileItem(int32_t inIndex) const;

    // The most recently constructed Stamp item; null when it is gone.
    static CStampMenuItem* smStampMenuItem;

private:
    CAVMenu mSubmenu;
    std::vector<std::unique_ptr<CProfileMenuItem>> mProfileItems;
};

// The paths of the profile files in inFolder, in the order the Stamp submenu
// lists them: regular files (or links to them) whose name contains ".nxp",
// sorted by name with ASCII letter case folded, then byte by byte. An
// unreadable or missing folder lists nothing.
std::vector<std::string> ListProfileFiles(const char* inFolder);
