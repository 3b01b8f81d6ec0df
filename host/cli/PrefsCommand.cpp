#include "cli/PrefsCommand.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "cli/PrefsFile.h"

namespace qmcli {
namespace {

struct Setting {
    const char* tag;
    bool isBool;
    int32_t defaultValue;
    int32_t minimum;
    int32_t maximum;
};

const Setting kSettings[] = {
    {"WTNF", true, 0, 0, 1},         {"EnLo", true, 0, 0, 1},
    {"IPRo", true, 0, 0, 1},         {"BFLe", false, 6, 0, 40},
    {"URNu", false, 0, 0, 2},
    {"PrPr", true, 0, 0, 1},         {"PPNu", false, 0, INT32_MIN, INT32_MAX},
};

const Setting* findSetting(const std::string& tag) {
    for (const Setting& setting : kSettings)
        if (tag == setting.tag) return &setting;
    return nullptr;
}

uint32_t idOf(const Setting& setting) {
    const char* t = setting.tag;
    return (uint32_t(uint8_t(t[0])) << 24) | (uint32_t(uint8_t(t[1])) << 16) |
           (uint32_t(uint8_t(t[2])) << 8) | uint32_t(uint8_t(t[3]));
}

std::string valueText(const PrefsFile& file, const Setting& setting) {
    if (setting.isBool) {
        const bool value = file.getBool(idOf(setting)).value_or(setting.defaultValue != 0);
        return value ? "true" : "false";
    }
    return std::to_string(file.getLong(idOf(setting)).value_or(setting.defaultValue));
}

bool parseBool(const std::string& text, bool* out) {
    for (const char* yes : {"true", "on", "yes", "1"}) {
        if (text != yes) continue;
        *out = true;
        return true;
    }
    for (const char* no : {"false", "off", "no", "0"}) {
        if (text != no) continue;
        *out = false;
        return true;
    }
    return false;
}

bool parseLong(const std::string& text, const Setting& setting, int32_t* out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < setting.minimum || value > setting.maximum) return false;
    *out = static_cast<int32_t>(value);
    return true;
}

// Whether the file holds each setting (but the one named except) as its own
// type and within its range; *error names the first that it does not. The
// plug-in would read such a record as the default without a word.
bool checkStored(const PrefsFile& file, const std::string& path, const std::string& except, std::string* error) {
    for (const Setting& setting : kSettings) {
        const auto record = std::find_if(file.records().begin(), file.records().end(),
                                         [&](const PrefsFile::Record& r) { return r.id == idOf(setting); });
        if (setting.tag == except || record == file.records().end()) continue;
        const uint32_t type = setting.isBool ? PrefsFile::kTypeBool : PrefsFile::kTypeLong;
        if (record->type != type) {
            *error = path + ": the setting " + setting.tag + " is stored as a '" + PrefsFile::CodeText(record->type) +
                     "' record, not as a '" + PrefsFile::CodeText(type) + "' one";
            return false;
        }
        const int32_t value = setting.isBool ? 0 : *file.getLong(idOf(setting));
        if (value < setting.minimum || value > setting.maximum) {
            *error = path + ": the setting " + setting.tag + " is stored as " + std::to_string(value) +
                     ", outside the range " + std::to_string(setting.minimum) + " to " +
                     std::to_string(setting.maximum);
            return false;
        }
    }
    return true;
}

std::string knownTags() {
    std::string text;
    for (const Setting& setting : kSettings) text += (text.empty() ? "" : ", ") + std::string(setting.tag);
    return text;
}

int get(const std::string& path, const std::vector<std::string>& words) {
    PrefsFile file;
    std::string error;
    if (!file.read(path, &error) || !checkStored(file, path, "", &error)) {
        PrintError("prefs: " + error);
        return kExitFailure;
    }
    if (words.size() == 1) {
        for (const Setting& setting : kSettings)
            std::printf("%s %s\n", setting.tag, valueText(file, setting).c_str());
        return kExitOk;
    }
    const Setting* setting = findSetting(words[1]);
    if (!setting) {
        PrintError("prefs: no setting " + words[1] + " (settings: " + knownTags() + ")");
        return kExitUsage;
    }
    std::printf("%s\n", valueText(file, *setting).c_str());
    return kExitOk;
}

int set(const std::string& path, const std::string& tag, const std::string& text) {
    const Setting* setting = findSetting(tag);
    if (!setting) {
        PrintError("prefs: no setting " + tag + " (settings: " + knownTags() + ")");
        return kExitUsage;
    }
    PrefsFile file;
    std::string error;
    if (!file.read(path, &error) || !checkStored(file, path, tag, &error)) {
        PrintError("prefs: " + error + "; it is left as it is");
        return kExitFailure;
    }
    if (setting->isBool) {
        bool value = false;
        if (!parseBool(text, &value)) {
            PrintError("prefs: " + tag + " takes true or false, not \"" + text + "\"");
            return kExitUsage;
        }
        file.setBool(idOf(*setting), value);
    } else {
        int32_t value = 0;
        if (!parseLong(text, *setting, &value)) {
            PrintError("prefs: " + tag + " takes a whole number from " + std::to_string(setting->minimum) +
                       " to " + std::to_string(setting->maximum) + ", not \"" + text + "\"");
            return kExitUsage;
        }
        file.setLong(idOf(*setting), value);
    }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (!file.write(path, &error)) {
        PrintError("prefs: " + error);
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace

int RunPrefsCommand(const GlobalOptions& options, const std::vector<std::string>& args) {
    const std::string path = (std::filesystem::path(PluginFolder(options)) / "Quillmark.pfs").string();
    if (!args.empty() && args[0] == "get" && args.size() <= 2) return get(path, args);
    if (args.size() == 3 && args[0] == "set") return set(path, args[1], args[2]);
    if (args.empty()) return UsageError("prefs", "missing get [TAG] or set TAG VALUE");
    if (args[0] == "get") return UsageError("prefs", "get takes at most one TAG");
    if (args[0] == "set") return UsageError("prefs", "set takes TAG VALUE");
    return UsageError("prefs", "unknown action " + args[0]);
}

}  // namespace qmcli
