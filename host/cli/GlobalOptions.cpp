#include "cli/GlobalOptions.h"

#include <cstdio>

namespace qmcli {

void PrintError(const std::string& message) { std::fprintf(stderr, "quillmark: %s\n", message.c_str()); }

}  // namespace qmcli
