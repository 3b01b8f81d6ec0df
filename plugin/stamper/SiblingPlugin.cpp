#include "stamper/SiblingPlugin.h"

#include <filesystem>
#include <system_error>

#include "support/io/FileSystemHelpers.h"

namespace {

std::string& PathOverride() {
    static std::string path;
    return path;
}

}  // namespace

std::string GetSiblingPluginPath() {
    if (!PathOverride().empty()) return PathOverride();
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || program.empty()) return std::string();
    return (program.parent_path() / "plug_ins" / "Inkwell" / "Inkwell.api").string();
}

bool IsSiblingPluginInstalled() {
    const std::string path = GetSiblingPluginPath();
    return !path.empty() && PathExists(path.c_str(), kPathExistsAny);
}

void SetSiblingPluginPathForTesting(const std::string& inPath) { PathOverride() = inPath; }
