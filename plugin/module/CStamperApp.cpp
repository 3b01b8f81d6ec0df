#include "module/CStamperApp.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

CStamperApp::CStamperApp(const char* inAppName) : mAppName(inAppName) {}

std::string CStamperApp::GetModuleFileName() const {
    namespace fs = std::filesystem;
    if (!mModuleFileName.empty()) return mModuleFileName;
    Dl_info info{};
    // Any address inside this library names its file.
    if (dladdr(reinterpret_cast<const void*>(&GetStamperApp), &info) && info.dli_fname &&
        info.dli_fname[0] == '/') {
        std::error_code error;
        const fs::path found = fs::canonical(info.dli_fname, error);
        if (!error) return found.string();
    }
    // A program names itself by how it was started, which may be relative or
    // empty; the kernel knows its file.
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : self.string();
}
