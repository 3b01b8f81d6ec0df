#include "cli/GlobalOptions.h"

#include <cstdio>

#include "support/TerminalText.h"
#include "cli/CommandLine.h"

namespace qmcli {

void PrintError(const std::string& message) {
    std::fprintf(stderr, "quillmark: %s\n", qmhost::EscapeControlCharacters(message).c_str());
}

void PrintUsageError(const std::string& message, const std::string& command) {
    PrintError(message);
    std::fputs(HelpHint(command).c_str(), stderr);
}

int UsageError(const std::string& command, const std::string& what) {
    PrintUsageError(command + ": " + what, command);
    return kExitUsage;
}

}  // namespace qmcli
