#include "cli/FileIdentity.h"

#include <sys/stat.h>

#include <filesystem>

namespace qmcli {

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {}, second {};
    if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool CheckOutputPath(const std::string& input, const std::string& output, std::string* error) {
    if (output.empty()) {
        *error = "no output file named (-o OUT.pdf)";
        return false;
    }
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(output, ec);
    if (std::filesystem::is_directory(status)) {
        *error = "the output " + output + " is a folder; name a file";
        return false;
    }
    // A device, pipe or socket would be replaced by a regular file.
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        *error = "the output " + output + " is not a regular file; name a file";
        return false;
    }
    if (SameFile(input, output)) {
        *error = "the output " + output + " is the input file; the input is never written over, name another output";
        return false;
    }
    return true;
}

}  // namespace qmcli
