// `quillmark info FILE.pdf`: the page count and page boxes, read through the
// host's document model.
#pragma once

#include <string>

namespace qmcli {

// Prints to standard output; answers the exit status (1 with a message on
// standard error when the file cannot be opened).
int RunInfo(const std::string& path);

}  // namespace qmcli
