// Files shown to the user (AppView showFile): the host's program decides how,
// since only it knows whether there is a desktop or a terminal.
#pragma once

#include <functional>
#include <string>

namespace qmhost {

using FileShower = std::function<void(const std::string& path)>;

// Installs how the program shows files; an empty shower restores the default,
// which prints the path on a line of standard output (a host without a display).
void setFileShower(FileShower shower);

// AppView showFile: hands path to the shower. Raises kHostErrBadParameter for a
// null or empty path and kHostErrGeneric when the shower throws.
void showFile(const char* path);

}  // namespace qmhost
