// Telling whether two paths name the same file, so that an output never
// replaces an input.
#pragma once

#include <string>

namespace qmcli {

// True when both paths name one existing file: the same path after resolving
// links and "..", or the same file under another name (a hard link). A path
// that names nothing is no other file.
bool SameFile(const std::string& a, const std::string& b);

// Checks an output path against the input: answers false with *error set when
// the output would replace the input or names a folder or another file that is
// not a regular file (a device, a pipe).
bool CheckOutputPath(const std::string& input, const std::string& output, std::string* error);

}  // namespace qmcli
