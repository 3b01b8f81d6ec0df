// Writing a whole file so that a reader sees the old file or the new one, never
// a part (the host's replaceFile, support/FileReplacing.h).
#pragma once

#include <string>
#include <string_view>

namespace qmcli {

// Answers false with *error set when the file could not be written; the old
// file (if any) is then whole and no temporary file is left. The new file keeps
// the old one's permission bits, else gets 0666 less the process's umask;
// mode, when not negative, gives its bits instead.
bool WriteFileReplacing(const std::string& path, std::string_view bytes, std::string* error, int mode = -1);

// Reads a whole file; false with *error set when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error);

}  // namespace qmcli
