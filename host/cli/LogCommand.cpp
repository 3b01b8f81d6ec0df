#include "cli/LogCommand.h"

#include <cstdio>
#include <filesystem>

#include "cli/AtomicFile.h"

namespace qmcli {

int RunLogCommand(const GlobalOptions& options, const std::vector<std::string>& args) {
    const std::string path = (std::filesystem::path(PluginFolder(options)) / "Quillmark.txt").string();
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    if (args.size() == 1 && args[0] == "show") {
        if (!exists) {
            PrintError("log: there is no log yet (" + path +
                       "); logging is on after `quillmark prefs set EnLo true`");
            return kExitOk;
        }
        std::string text, error;
        if (!ReadWholeFile(path, &text, &error)) {
            PrintError("log: " + error);
            return kExitFailure;
        }
        std::fwrite(text.data(), 1, text.size(), stdout);
        return kExitOk;
    }
    if (args.size() == 1 && args[0] == "clear") {
        if (exists && !std::filesystem::remove(path, ec)) {
            PrintError("log: cannot delete " + path + ": " + ec.message());
            return kExitFailure;
        }
        return kExitOk;
    }
    PrintError("log: usage: quillmark log show | log clear");
    return kExitUsage;
}

}  // namespace qmcli
