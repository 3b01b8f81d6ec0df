#include "cli/LogCommand.h"

#include <cstdio>
#include <filesystem>

#include "support/TerminalText.h"
#include "cli/AtomicFile.h"

namespace qmcli {
namespace {

// The log grows by a few lines a run while logging is on; `log show` holds it
// whole in memory, up to this size.
constexpr ReadLimit kShownLimit{uint64_t(256) << 20, "a log to show"};

}  // namespace

int RunLogCommand(const GlobalOptions& options, const std::vector<std::string>& args) {
    const bool show = args.size() == 1 && args[0] == "show";
    if (!show && !(args.size() == 1 && args[0] == "clear")) {
        if (args.empty()) return UsageError("log", "missing show or clear");
        return UsageError("log", args.size() > 1 ? "takes one action: show or clear" : "unknown action " + args[0]);
    }
    const std::string path = (std::filesystem::path(PluginFolder(options)) / "Quillmark.txt").string();
    std::error_code ec;
    // A folder where the log should be is no log: never shown, never deleted.
    if (std::filesystem::is_directory(path, ec)) {
        PrintError("log: " + path + " is a folder, not a log; it is left as it is");
        return kExitFailure;
    }
    const bool exists = std::filesystem::exists(path, ec);
    if (show) {
        if (!exists) {
            PrintError("log: there is no log yet (" + path +
                       "); logging is on after `quillmark prefs set EnLo true`");
            return kExitOk;
        }
        std::string text, error;
        if (!ReadWholeFile(path, &text, &error, kShownLimit)) {
            PrintError("log: " + error + "; read the file itself, or clear it (quillmark log clear)");
            return kExitFailure;
        }
        // Its entries hold file, stamp and document names, which may hold control characters.
        text = qmhost::EscapeControlCharacters(text, qmhost::LineBreaks::Keep);
        std::fwrite(text.data(), 1, text.size(), stdout);
        return kExitOk;
    }
    if (exists && !std::filesystem::remove(path, ec)) {
        PrintError("log: cannot delete " + path + ": " + ec.message());
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace qmcli
