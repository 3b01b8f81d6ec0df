// Writing a whole file so that a reader sees the old file or the new one, never
// a part (the host's replaceFile, support/FileReplacing.h), and reading a
// whole file of a bounded size.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qmcli {

// Answers false with *error set when the file could not be written; the old
// file (if any) is then whole and no temporary file is left. The new file keeps
// the old one's permission bits, else gets 0666 less the process's umask;
// mode, when not negative, gives its bits instead.
bool WriteFileReplacing(const std::string& path, std::string_view bytes, std::string* error, int mode = -1);

enum class NewFile { Written, Exists, Failed };

// Writes a new file whole (as WriteFileReplacing) under a name that no file
// has: Exists, with nothing written, when a file has the name by the time the
// complete file would take it; Failed with *error set when it cannot be written.
NewFile WriteNewFile(const std::string& path, std::string_view bytes, std::string* error);

// The most bytes a file read whole may hold, and the kind of file, for the
// message that refuses a larger one ("a profile in JSON").
struct ReadLimit {
    uint64_t bytes;
    const char* kind;
};

// Reads a whole file (a pipe, /dev/stdin, a device too); false with *error set
// when it cannot be read, when it is a folder, or when it holds more than
// limit.bytes: "<path> is larger than <kind> may be (<size>)". A regular file
// is measured before it is read; other files are read no further than one
// piece past the limit. Never throws, also when memory runs out.
bool ReadWholeFile(const std::string& path, std::string* bytes, std::string* error, const ReadLimit& limit);

}  // namespace qmcli
