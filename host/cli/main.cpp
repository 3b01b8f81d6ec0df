// quillmark: the command-line host. It loads the Quillmark plug-in from a
// plug-ins folder and drives it without a display, through the host's menus,
// views, batch sequences and files. This file only dispatches to the commands.
// It makes no application object and runs no event loop: the program links no
// Qt library, and the host libraries opened on demand that use Qt Gui need none.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/Interrupt.h"
#include "cli/VersionCommand.h"
#include "cos/Document.h"

namespace {

// A build with AddressSanitizer checks for leaks at exit: there the program
// frees everything, as the tests expect.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kFreeDocumentsAtExit = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kFreeDocumentsAtExit = true;
#else
constexpr bool kFreeDocumentsAtExit = false;
#endif
#else
constexpr bool kFreeDocumentsAtExit = false;
#endif

// `stamp` closes its one document when the program is about to end (after
// the output is saved, or after a failure): freeing a document of 20,000
// pages object by object would take a fifth of the run, and the system takes
// the memory back at once. Commands that open one document after another
// (batch, session) free each as they close it.
void PrepareExit(const std::string& command) {
    if (!kFreeDocumentsAtExit && command == "stamp") qmhost::abandonDocumentsOnClose();
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<qmcli::CommandSpec>& commands = qmcli::QuillmarkCommands();
    const qmcli::ParsedCommandLine line =
        qmcli::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), commands);
    using Action = qmcli::ParsedCommandLine::Action;
    switch (line.action) {
    case Action::Run:
        PrepareExit(line.command->name);
        qmcli::EndOnInterrupt();
        return line.command->run(line.options, line.arguments);
    case Action::Version:
        return qmcli::RunVersionCommand(line.options);
    case Action::Help:
        std::fputs((line.command ? qmcli::CommandHelp(*line.command) : qmcli::GeneralUsage(commands)).c_str(),
                   stdout);
        return qmcli::kExitOk;
    case Action::Usage:
        break;
    }
    // `quillmark` alone: the general usage. Wrong usage: what is wrong, in a
    // line, and where the help is.
    if (line.error.empty())
        std::fputs(qmcli::GeneralUsage(commands).c_str(), stderr);
    else
        qmcli::PrintUsageError(line.error, line.command ? line.command->name : std::string());
    return qmcli::kExitUsage;
}
