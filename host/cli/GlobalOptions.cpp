#include "cli/GlobalOptions.h"

#include <cstdio>
#include <filesystem>

#include "cli/PluginInstall.h"

namespace qmcli {

std::string PluginFolder(const GlobalOptions& options) {
    const std::string folder = options.pluginDir.empty() ? DefaultPluginDir() : options.pluginDir;
    // Absolute, so that the module is loaded under an absolute path: the
    // plug-in finds its data folder from the path it was loaded from.
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(folder, ec);
    return ec ? folder : absolute.lexically_normal().string();
}

void PrintError(const std::string& message) { std::fprintf(stderr, "quillmark: %s\n", message.c_str()); }

}  // namespace qmcli
