// The world of the batch-command tests: the stamp-run world (StampRunFixture.h)
// with the batch command registered, profiles as in-memory parameter cabinets,
// sequences run by the host's runner, and single commands driven call by call.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "StampRunFixture.h"
#include "view/BatchCommands.h"
#include "view/BatchSequences.h"

namespace batchcmdtest {

using stamptest::StampCab;

// The stamps in a list (StampCab moves only).
template <class... Stamps>
std::vector<StampCab> StampsOf(Stamps&&... stamps) {
    std::vector<StampCab> list;
    (list.push_back(std::move(stamps)), ...);
    return list;
}

// A profile cabinet of the stamps (given away), owned by the caller.
ASCab MakeProfile(std::vector<StampCab> stamps);

// The first word of the page that begins with prefix, without the prefix; ""
// when there is none.
std::string WordAfter(const stamptest::TextPage& page, const std::string& prefix);
// WordAfter for every page of the file.
std::vector<std::string> WordsAfter(const std::string& pdfPath, const std::string& prefix);

// A progress monitor that records its calls as "begin", "end", "duration n", "value n".
struct MonitorLog {
    std::vector<std::string> calls;
    bool Begun() const;  // a "begin" without an "end" after it
};
ASProgressMonitor RecordingMonitor();

class BatchCommandTest : public stamptest::StampRunTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A fixture file of count pages in the folder "in".
    std::string Input(const std::string& leaf, int count);
    // Breaks page pageIndex of the file (its /Contents becomes a number), so
    // that writing a stamp there fails.
    void BreakPage(const std::string& path, int32_t pageIndex);
    // Runs the sequence with the profile (given away) into the folder "out".
    qmhost::BatchSequenceResult Run(std::vector<StampCab> stamps, std::vector<std::string> inputs);

    // --- a command driven directly

    // A new command of the batch handler with the profile (given away) as its
    // parameters and a report sink; the command's monitor is the recording one.
    AVCommand NewCommand(std::vector<StampCab> stamps);
    // Sets the command's document and its status to ready (a new document).
    void SetDocument(AVCommand command, PDDoc doc);
    AVCommandStatus Work(AVCommand command);
    AVCommandStatus Step(AVCommand command, ASCallback AVCommandHandlerRec::*slot);
    ASCab State(AVCommand command);

    std::string outDir;  // the output folder
    int32_t cursorPolicy = 0;
    std::function<bool()> cancelRequested;
    qmhost::CommandReportSink reports;
    MonitorLog monitor;
    std::vector<AVCommand> commands;
};

}  // namespace batchcmdtest
