// Runs a `quillmark` command in this process (so that a fault-injecting host
// or a file size limit set by the test reaches it), with the given text as its
// standard input and its standard output and error captured.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace clitest {

struct InProcessRun {
    int status = -1;  // the command's exit status; -1 when the command line was refused
    std::string out;  // standard output
    std::string err;  // standard error
};

// Called before the command reads line `index` of its standard input, and
// with the number of lines when it reads past the last: the commands of the
// lines before have then been answered.
using BeforeLine = std::function<void(size_t index)>;

// `quillmark --plugin-dir plugins COMMAND...` with the lines as standard input.
InProcessRun RunInProcess(const std::string& plugins, const std::vector<std::string>& command,
                          const std::vector<std::string>& lines = {}, const BeforeLine& beforeLine = {});

// The lines of text, without their line breaks.
std::vector<std::string> LinesOf(const std::string& text);

}  // namespace clitest
