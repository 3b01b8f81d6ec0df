// The plug-in's profiles as files: "<plug-ins folder>/Profiles/<name>.nxp",
// each one cabinet in the host's cabinet stream format. The plug-in lists
// every file of the folder whose name contains ".nxp", titled with the file
// name cut at its last "."; the store lists and finds profiles the same way.
//
// Names are checked before they become file names: an empty name, one with
// "/", "\", a NUL or another control character, "." and "..", and one whose
// file name would pass 255 bytes are refused, so no name leaves the folder.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cabinet/Cabinet.h"

namespace qmcli {

class ProfileStore {
public:
    explicit ProfileStore(std::string pluginFolder);

    const std::string& folder() const { return mFolder; }
    // Whether the name may be a profile's (or, with kind "stamp", a stamp's);
    // *why says why not, speaking of the kind.
    static bool ValidName(const std::string& name, std::string* why, const std::string& kind = "profile");
    // Whether two profile names name the same profile: they are equal but for
    // the letter case of ASCII letters, as the plug-in's dialogs compare them.
    static bool SameName(const std::string& a, const std::string& b);
    // The name with its ASCII letters in lower case: names that fold alike are the same.
    static std::string FoldedName(const std::string& name);
    // The profiles' names in the plug-in's menu order (byte order of the file names).
    std::vector<std::string> names() const;
    // The file of the profile of that name: folder/<name>.nxp when that file
    // exists, else the first item the plug-in would title so, else the first
    // whose title is the same name in another letter case; "" when none.
    std::string find(const std::string& name) const;
    // The name of an existing profile that differs from name only in letter
    // case ("" when none): such names clash in the plug-in's dialogs.
    std::string caseClash(const std::string& name) const;

    // The profile's cabinet; null with *error set when it is missing, damaged
    // or larger than the cabinet format holds.
    std::unique_ptr<qmhost::Cabinet> read(const std::string& name, std::string* error) const;
    // Writes the cabinet as folder/<name>.nxp (the folder is made when missing)
    // through a temporary file renamed over the target. With replace false an
    // existing profile of that name (or of a name that differs only in case) is
    // refused, also one that another process makes while this one writes:
    // the file is made only where no file has its name.
    bool write(const std::string& name, const qmhost::Cabinet& profile, bool replace,
               std::string* error) const;
    bool remove(const std::string& name, std::string* error) const;

    // For tests: the next write of a new profile calls hook after its checks,
    // just before it makes the file (where another process may come first).
    static void BeforeNextCreateForTesting(std::function<void()> hook);

private:
    struct Entry {
        std::string path;
        std::string title;
    };
    std::vector<Entry> entries() const;

    std::string mFolder;
};

}  // namespace qmcli
