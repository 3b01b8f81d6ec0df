#include "cli/PluginInstall.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace qmcli {
namespace {

const char* kModuleName = "Quillmark.api";

bool SameContents(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::file_size(a, ec) != fs::file_size(b, ec) || ec) return false;
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    return std::equal(std::istreambuf_iterator<char>(fa), std::istreambuf_iterator<char>(),
                      std::istreambuf_iterator<char>(fb));
}

}  // namespace

std::string DefaultPluginDir() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return (fs::path(data) / "quillmark" / "plugins").string();
    const char* home = std::getenv("HOME");
    return (fs::path(home && *home ? home : "/tmp") / ".local" / "share" / "quillmark" / "plugins").string();
}

std::string BundledModulePath() {
    std::error_code ec;
    const fs::path program = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return "";
    const fs::path candidates[] = {
        program.parent_path().parent_path() / "plugins" / kModuleName,       // build tree
        program.parent_path().parent_path() / "lib" / "quillmark" / kModuleName,  // installed
        fs::path(QM_BUILD_MODULE_DIR) / kModuleName,
    };
    for (const auto& candidate : candidates)
        if (fs::is_regular_file(candidate, ec)) return candidate.string();
    return "";
}

std::string InstallModule(const std::string& dir, std::string* error) {
    std::error_code ec;
    const fs::path target = fs::path(dir) / kModuleName;
    const std::string bundled = BundledModulePath();
    if (bundled.empty()) {
        if (fs::is_regular_file(target, ec)) return target.string();
        *error = "no plug-in module in " + dir + " and none bundled with this program";
        return "";
    }
    if (fs::is_regular_file(target, ec) && SameContents(bundled, target)) return target.string();
    fs::create_directories(dir, ec);
    if (ec) {
        *error = "cannot create the plug-ins folder " + dir + ": " + ec.message();
        return "";
    }
    const fs::path temp = fs::path(dir) / (std::string(".") + kModuleName + "." + std::to_string(getpid()));
    fs::copy_file(bundled, temp, fs::copy_options::overwrite_existing, ec);
    if (!ec) fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        *error = "cannot install the plug-in into " + dir;
        return "";
    }
    return target.string();
}

}  // namespace qmcli
