#include "app/HostOptions.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "app/PluginInstall.h"

namespace qmhost {
bool parseHostVersion(const std::string& text, int* out) {
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), ::isdigit)) return false;
    const int value = std::stoi(text);
    if (value < 1) return false;
    *out = value;
    return true;
}

bool takeHostOption(int argc, char** argv, int* index, HostOptions* options, std::string* error) {
    const std::string arg = argv[*index];
    if (arg != "--plugin-dir" && arg != "--host-version") return false;
    if (++*index >= argc) {
        *error = arg + " needs a value";
        return true;
    }
    if (arg == "--plugin-dir") {
        options->pluginDir = argv[*index];  // empty: the default folder
    } else if (!parseHostVersion(argv[*index], &options->hostVersion)) {
        *error = std::string("--host-version takes a number from 1 to 99, not \"") + argv[*index] + "\"";
    }
    return true;
}

std::string pluginFolder(const HostOptions& options) {
    const std::string folder = options.pluginDir.empty() ? defaultPluginDir() : options.pluginDir;
    // Absolute, so that the module is loaded under an absolute path: the
    // plug-in finds its data folder from the path it was loaded from.
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
    return ec ? folder : absolute.lexically_normal().string();
}

}  // namespace qmhost
