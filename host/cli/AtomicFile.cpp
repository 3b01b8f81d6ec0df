#include "cli/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/FileReplacing.h"

namespace qmcli {

bool WriteFileReplacing(const std::string& path, std::string_view bytes, std::string* error, int mode) {
    try {
        qmhost::replaceFile(path, [&](std::FILE* file) {
            if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
                throw std::runtime_error(std::strerror(errno));
        }, mode);
        return true;
    } catch (const std::exception& e) {
        *error = e.what();
        return false;
    }
}

bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        *error = path + " is a folder, not a file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) {
        *error = "cannot read " + path;
        return false;
    }
    *bytes = content.str();
    return true;
}

}  // namespace qmcli
