// Profile files: a profile is a cabinet written to the file
// "<Profiles folder>/<profile name>.nxp" (the folder of SetStamperDataPaths).
//
// Profile names become file names, so a name that would leave the Profiles
// folder is refused, and two names that differ only in letter case are the
// same profile (file systems here are case-sensitive, the user is not).
#pragma once

#include <string>
#include <string_view>

#include "support/io/TFileSpecifier.h"

inline constexpr const char kProfileFileExtension[] = ".nxp";

// The text after the last "/" of the path; empty when it has no "/".
std::string GetLeafName(const TFileSpecifier& inSpec);

// Whether a profile or stamp name is safe as a file name in the Profiles
// folder: not empty, not "." or "..", without "/", "\" or NUL, and short enough
// that "<name>.nxp" is a file name (at most 255 bytes).
bool IsSafeProfileName(std::string_view inName);

class CProfileFile : public TFileSpecifier {
public:
    explicit CProfileFile(const char* inPath);

    // The path of the profile inName in the Profiles folder into outSpec.
    // Answers false (outSpec empty) for an unsafe name, when no Profiles folder
    // is set, or when the path does not fit.
    static bool MakeProfilePath(const char* inName, TFileSpecifier& outSpec);

    // The leaf name without the text from its last "." (a leaf without "."
    // stays whole); held by the object until the next call.
    const char* GetProfileName();
    // Deletes the file when it exists.
    void Delete();
    // Moves the file to "<Profiles folder>/<inNewName>.nxp" and takes that
    // path. False, with nothing moved, when this file is missing, the name is
    // unsafe, or another profile of that name exists (letter case aside); a
    // change of letter case alone is allowed.
    bool Rename(const char* inNewName);
    // When this file exists, takes the first free path of
    // "<Profiles folder>/<prefix><name>.nxp", then "<prefix><name><n>.nxp" for
    // n = 1, 2, ..., a name being taken when a file of it exists in any letter
    // case. Answers whether a path was taken (false, unchanged, when the file is
    // missing or the names are unsafe or too long).
    bool MakeUniqueName(const char* inPrefix);

private:
    std::string mName;
};
