#include "app/PluginInstall.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "support/FileReplacing.h"

namespace fs = std::filesystem;

namespace qmhost {
namespace {

const char* kModuleName = "Quillmark.api";
// The plug-in with its dialogs, which the module starts in the desktop host.
const char* kDialogsName = "QuillmarkDialogs.api";
const char* kUserGuideName = "Quillmark_User_Guide.pdf";

bool SameContents(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::file_size(a, ec) != fs::file_size(b, ec) || ec) return false;
    std::ifstream fa(a, std::ios::binary), fb(b, std::ios::binary);
    if (!fa || !fb) return false;
    // Block by block: the module is tens of megabytes, and every run of a
    // program compares it (a character at a time took seconds).
    std::vector<char> blockA(1 << 16), blockB(1 << 16);
    while (fa && fb) {
        fa.read(blockA.data(), static_cast<std::streamsize>(blockA.size()));
        fb.read(blockB.data(), static_cast<std::streamsize>(blockB.size()));
        if (fa.gcount() != fb.gcount() ||
            std::memcmp(blockA.data(), blockB.data(), static_cast<size_t>(fa.gcount())) != 0)
            return false;
    }
    return fa.eof() && fb.eof();
}

// Copies inSource into inDir as inName through a temporary file and a rename,
// unless the same contents are there already. False with *error set on failure.
bool InstallCopy(const fs::path& inSource, const std::string& inDir, const char* inName, std::string* error) {
    std::error_code ec;
    const fs::path target = fs::path(inDir) / inName;
    if (fs::is_regular_file(target, ec) && SameContents(inSource, target)) return true;
    fs::create_directories(inDir, ec);
    if (ec) {
        *error = "cannot create the plug-ins folder " + inDir + ": " + ec.message();
        return false;
    }
    // The copy keeps its source's permission bits.
    const fs::perms mode = fs::status(inSource, ec).permissions();
    try {
        std::ifstream in(inSource, std::ios::binary);
        if (ec || !in) throw std::runtime_error("cannot read " + inSource.string());
        replaceFile(
            target.string(),
            [&](std::FILE* file) {
                char buffer[65536];
                while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
                    if (std::fwrite(buffer, 1, static_cast<size_t>(in.gcount()), file) !=
                        static_cast<size_t>(in.gcount()))
                        throw std::runtime_error("the copy broke off");
                if (in.bad()) throw std::runtime_error("cannot read " + inSource.string());
            },
            static_cast<int>(mode & fs::perms::mask));
    } catch (const std::exception& e) {
        *error = std::string("cannot install ") + inName + " into " + inDir + ": " + e.what();
        return false;
    }
    return true;
}

}  // namespace

std::string defaultPluginDir() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data)
        return (fs::path(data) / "quillmark" / "plugins").string();
    const char* home = std::getenv("HOME");
    return (fs::path(home && *home ? home : "/tmp") / ".local" / "share" / "quillmark" / "plugins").string();
}

std::string bundledModulePath() {
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

std::string installModule(const std::string& dir, std::string* error) {
    std::error_code ec;
    const fs::path target = fs::path(dir) / kModuleName;
    const std::string bundled = bundledModulePath();
    if (bundled.empty()) {
        if (fs::is_regular_file(target, ec)) return target.string();
        *error = "no plug-in module in " + dir + " and none bundled with this program";
        return "";
    }
    // The companion first and as strictly as the module: one left from another
    // build beside a new module would be started with it.
    const fs::path dialogs = fs::path(bundled).parent_path() / kDialogsName;
    if (!fs::is_regular_file(dialogs, ec)) {
        *error = "the plug-in's dialogs " + dialogs.string() + " are not bundled beside its module";
        return "";
    }
    if (!InstallCopy(dialogs, dir, kDialogsName, error)) return "";
    if (!InstallCopy(bundled, dir, kModuleName, error)) return "";
    // The user guide that the plug-in's Help item opens travels with the module;
    // without it Help says the guide is not installed, so a failure here is no
    // reason to refuse the plug-in.
    const fs::path guide = fs::path(bundled).parent_path() / kUserGuideName;
    std::string guideError;
    if (fs::is_regular_file(guide, ec)) InstallCopy(guide, dir, kUserGuideName, &guideError);
    return target.string();
}

}  // namespace qmhost
