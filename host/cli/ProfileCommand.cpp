#include "cli/ProfileCommand.h"

#include <cstdio>
#include <filesystem>
#include <optional>

#include "support/TerminalText.h"
#include "cli/AtomicFile.h"
#include "cli/CommandArguments.h"
#include "cli/ProfileJson.h"
#include "cli/ProfileStore.h"

namespace qmcli {
namespace {

// A profile in JSON holds texts of at most 4000 characters and link actions
// of a page or so; one past this size is no profile (/dev/zero, say).
constexpr ReadLimit kJsonProfileLimit{uint64_t(64) << 20, "a profile in JSON"};

// Wrong usage: one line saying what is wrong, and where the help is.
int usage(const std::vector<std::string>& words) {
    if (words.empty()) return UsageError("profile", "missing the action: list, show, import, export or delete");
    const std::string& action = words[0];
    if (action == "list") return UsageError("profile", "list takes no arguments");
    if (action == "show" || action == "export" || action == "import" || action == "delete") {
        const std::string what = action == "import" ? "FILE.json" : "NAME";
        return UsageError("profile", action + (words.size() < 2 ? ": missing " : ": takes one ") + what);
    }
    return UsageError("profile", "unknown action " + action);
}

int list(const ProfileStore& store) {
    // Names come from the folder's file names, which another program may have given control characters.
    for (const std::string& name : store.names())
        std::printf("%s\n", qmhost::EscapeControlCharacters(name).c_str());
    return kExitOk;
}

int show(const ProfileStore& store, const std::string& name, const std::string& output) {
    std::string error;
    const auto profile = store.read(name, &error);
    if (!profile) {
        PrintError("profile: " + error);
        return kExitFailure;
    }
    const std::string json = ProfileToJson(*profile);
    if (output.empty()) {
        std::fwrite(json.data(), 1, json.size(), stdout);
        return kExitOk;
    }
    if (!WriteFileReplacing(output, json, &error)) {
        PrintError("profile: " + error);
        return kExitFailure;
    }
    return kExitOk;
}

int import(const ProfileStore& store, const std::string& file, const std::optional<std::string>& given) {
    const std::string name = given.value_or(std::filesystem::path(file).stem().string());
    std::string error, bytes;
    if (!ProfileStore::ValidName(name, &error)) {
        PrintError("profile: " + error + " (give one with --name NAME)");
        return kExitFailure;
    }
    if (!ReadWholeFile(file, &bytes, &error, kJsonProfileLimit)) {
        PrintError("profile: " + error);
        return kExitFailure;
    }
    std::vector<std::string> unknownKeys;
    const auto profile = ProfileFromJson(bytes, &error, &unknownKeys);
    if (!profile) {
        PrintError("profile: " + file + ": " + error);
        return kExitFailure;
    }
    for (const std::string& key : unknownKeys)
        PrintError("profile: warning: " + key + " is no stamp key; it is kept but nothing reads it");
    if (!store.write(name, *profile, false, &error)) {
        PrintError("profile: " + error);
        return kExitFailure;
    }
    std::printf("%s\n", name.c_str());
    return kExitOk;
}

int remove(const ProfileStore& store, const std::string& name) {
    std::string error;
    if (!store.remove(name, &error)) {
        PrintError("profile: " + error);
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace

int RunProfileCommand(const GlobalOptions& options, const CommandArguments& parsed) {
    const auto& words = parsed.positional();
    if (words.empty()) return usage(words);
    const ProfileStore store(PluginFolder(options));
    const std::string& action = words[0];
    if (action == "list" && words.size() == 1) return list(store);
    if (action == "show" && words.size() == 2) return show(store, words[1], "");
    if (action == "export" && words.size() == 2)
        return show(store, words[1], parsed.value({"-o", "--output"}).value_or(""));
    if (action == "import" && words.size() == 2)
        return import(store, words[1], parsed.value({"--name"}));
    if (action == "delete" && words.size() == 2) return remove(store, words[1]);
    return usage(words);
}

}  // namespace qmcli
