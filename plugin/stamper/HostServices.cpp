#include "stamper/HostServices.h"

#include <cstddef>
#include <string>

#include "stamper/CStamperLog.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/io/ModulePaths.h"
#include "support/TableMembers.h"

namespace {

// Function-local statics: these are used by code that runs while other
// translation units are still being set up.
TFileSpecifier& ProfilesFolder() {
    static TFileSpecifier folder;
    return folder;
}

TFileSpecifier& LogFile() {
    static TFileSpecifier file;
    return file;
}

HostVersionRecord& VersionRecord() {
    static HostVersionRecord record;
    return record;
}

std::string InFolder(const std::string& folder, const char* name) {
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

bool SetStamperDataPaths(const char* inPluginFolder) {
    if (!inPluginFolder || !*inPluginFolder) return false;
    const std::string folder = inPluginFolder;
    const std::string log = InFolder(folder, kStamperLogFileName);
    const std::string profiles = InFolder(folder, kProfilesFolderName);
    // Everything is checked before anything is set, so a refusal leaves no half.
    if (log.size() >= kFileSpecCapacity || profiles.size() >= kFileSpecCapacity) return false;
    if (!SetPlugInDataFolder(inPluginFolder)) return false;
    LogFile().SetPath(log.c_str());
    ProfilesFolder().SetPath(profiles.c_str());
    GetStamperLog().SetFile(LogFile());
    return true;
}

const char* GetProfilesFolderPath() { return ProfilesFolder().GetPath(); }

const TFileSpecifier& GetProfilesFolderSpec() { return ProfilesFolder(); }

const char* GetStamperLogFilePath() { return LogFile().GetPath(); }

const HostVersionRecord& GetHostVersionRecord() { return VersionRecord(); }

int16_t GetHostVersion() {
    const AppSupportTable* table = gAppSupportHFT;
    if (TableHasMember(table, &AppSupportTable::getHostMajorVersion)) {
        const int32_t major = table->getHostMajorVersion();
        if (major > 0 && major <= INT16_MAX) VersionRecord().major = static_cast<int16_t>(major);
    }
    return VersionRecord().major;
}

ASText CStringToASText(const char* inString) {
    if (!inString || !gASExtraHFT) return nullptr;
    return CallHost([&] { return gASExtraHFT->textFromUTF8(inString); });
}

std::string& ASTextToCString(std::string& outString, ASText inText) {
    outString.clear();
    if (!inText || !gASExtraHFT) return outString;
    outString = CallHost([&] { return gASExtraHFT->textGetUTF8(inText); });
    return outString;
}
