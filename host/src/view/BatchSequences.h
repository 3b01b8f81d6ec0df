// Batch sequences: a list of PDF files run through one registered batch
// command, each result saved into an output folder.
//
// The protocol, in the order the runner follows it:
//   1. a new command of the handler (its created procedure);
//   2. its properties (get-properties with an empty cabinet): "CanBatch" must be true;
//   3. its parameters (set-parameters with the request's cabinet): must answer kAVCommandReady;
//   4. preflight-sequence: must answer kAVCommandReady;
//   5. for each file, in order:
//      open the file as a document with a view; the command's document is set,
//      its status is kAVCommandReady, it gets a progress monitor and a report
//      procedure; preflight-file (when given; an answer other than ready fails
//      the file); work, called again while it answers kAVCommandWorking (the
//      cancel hook is asked before each call; when it answers true, cancel is
//      called and the sequence ends there); postflight-file (when given);
//      on done (or ready) the document is saved into the output folder under
//      the input's file name; reset (not after a cancel); the view is closed
//      without saving; the stop hook is asked, and when it answers true the
//      sequence ends after this file;
//   6. postflight-sequence (when given); the command is destroyed.
// A failed file does not end the sequence unless stopAtFirstError is set.
//
// Inputs are never written: a file whose output would be one of the inputs
// (the same path, or the same file through a link; so an output folder that
// holds an input refuses that input) fails without being opened, and a file
// whose name an earlier output of the run has already taken fails too, so that
// no output replaces another.
// Outputs are written through a temporary file that is renamed over the
// target (PDModel docSave).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "qmhost/AppViewTable.h"

namespace qmhost {

struct BatchProgress {
    size_t fileIndex = 0;   // index into the request's inputs
    int32_t value = 0;      // the monitor's current value
    int32_t duration = 0;   // the monitor's duration (0 when not set)
};

struct BatchSequenceRequest {
    std::string commandName;          // the handler's name ("StamperCmd")
    ASCab params = nullptr;           // the parameters; borrowed, handed to set-parameters
    std::vector<std::string> inputs;  // PDF files, UTF-8 paths
    std::string outputFolder;         // made when missing
    // The command's cursor policy (AppViewTable::commandGetCursorPolicy):
    // non-zero lets it show a wait cursor.
    int32_t cursorPolicy = 0;
    bool stopAtFirstError = false;
    // Asked before each work call; true cancels the command and ends the sequence.
    std::function<bool()> cancelRequested;
    // Asked when a file is finished; true ends the sequence there, the files
    // after it not run.
    std::function<bool()> stopRequested;
    // Told whenever the command's progress monitor changes.
    std::function<void(const BatchProgress&)> onProgress;
};

enum class BatchFileOutcome {
    Saved,      // done, and the output is saved
    Failed,     // not opened, the command answered an error, or the output could not be saved
    Cancelled,  // cancelled while the command worked on it
    NotRun,     // the sequence ended before this file
};

struct BatchFileResult {
    std::string input;
    std::string output;  // where it was saved; empty when it was not
    BatchFileOutcome outcome = BatchFileOutcome::NotRun;
    // The command's last answer for the file; -1 when its work never ran.
    int32_t status = -1;
    int32_t workCalls = 0;             // work calls made for the file
    std::vector<std::string> reports;  // what the command reported, in order ("error: ...")
    // Warnings shown from its opening to its closing (what qpdf repaired while
    // reading it among them): the file's outcome stands.
    std::vector<std::string> warnings;
    // Why it failed or was not run, for the user; empty when saved, and when
    // the cancel hook cancelled it (the outcome says all).
    std::string message;
    bool progressEnded = true;         // false: the command left its monitor begun
};

struct BatchSequenceResult {
    bool started = false;  // false: no file was run; message says why
    std::string message;
    std::vector<BatchFileResult> files;  // one per input, in order, when started
    // Warnings shown outside any file's (before the first, between two, after the last).
    std::vector<std::string> warnings;

    // True when the sequence started and every file was saved.
    bool allSaved() const;
};

// Runs the sequence. Never raises: what goes wrong is in the result.
BatchSequenceResult runBatchSequence(const BatchSequenceRequest& request);

// The output path of an input: the output folder and the input's file name.
std::string batchOutputPath(const std::string& outputFolder, const std::string& input);

}  // namespace qmhost
