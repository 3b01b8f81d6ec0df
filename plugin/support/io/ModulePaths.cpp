#include "support/io/ModulePaths.h"

#include "support/io/TFileSpecifier.h"

namespace {

std::string& ModulePath() {
    static std::string path;
    return path;
}

std::string& DataFolder() {
    static std::string folder;
    return folder;
}

bool StoreBounded(std::string& outStore, const char* inText) {
    const std::string text = inText ? inText : "";
    // A cut path would name another file: refuse it whole.
    if (text.size() >= kFileSpecCapacity) return false;
    outStore = text;
    return true;
}

}  // namespace

bool SetPlugInModulePath(const char* inPath) { return StoreBounded(ModulePath(), inPath); }

const char* GetPlugInModulePath() { return ModulePath().c_str(); }

bool SetPlugInDataFolder(const char* inFolder) { return StoreBounded(DataFolder(), inFolder); }

const char* GetPlugInDataFolder() { return DataFolder().c_str(); }

std::string GetPlugInDataFilePath(const char* inName) {
    const std::string& folder = DataFolder();
    if (folder.empty() || !inName) return std::string();
    std::string path = folder;
    if (path.back() != '/') path += '/';
    path += inName;
    return path.size() < kFileSpecCapacity ? path : std::string();
}
