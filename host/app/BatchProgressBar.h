// A batch sequence run for a user: its progress on the application's progress monitor: one
// operation per file, its text "file i/n name", its duration and value those
// of the command's own monitor. The command-line host draws the monitor on
// standard error, the desktop host in its status bar.
#pragma once

#include <string>
#include <vector>

#include "view/BatchSequences.h"

namespace qmhost {

class BatchProgressBar {
public:
    // inputs must outlive the bar.
    explicit BatchProgressBar(const std::vector<std::string>& inputs) : mInputs(inputs) {}
    ~BatchProgressBar() { finish(); }
    BatchProgressBar(const BatchProgressBar&) = delete;
    BatchProgressBar& operator=(const BatchProgressBar&) = delete;

    // Ends the operation of the file shown last, if any.
    void finish();
    void show(const BatchProgress& progress);

private:
    const std::vector<std::string>& mInputs;
    bool mBegun = false;
    size_t mFile = 0;
};

// Runs the sequence as a user's batch: its progress on the application's
// monitor (a BatchProgressBar; request.onProgress is replaced) and alerts held
// back while it runs (the command reports through the result instead, and an
// alert at every file would stop the run).
BatchSequenceResult runBatchWithProgress(BatchSequenceRequest request);

}  // namespace qmhost
