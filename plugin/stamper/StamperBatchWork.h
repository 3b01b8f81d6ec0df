// The parts of the batch command's work: moving to the next stamp, counting
// the pages of a sequence, and stopping. Used by the handler's procedures
// (StamperBatchCommand.h); host errors leave as the host's HostError unless a
// function says otherwise.
#pragma once

#include <cstdint>
#include <string>

#include "qmhost/AppViewTable.h"

// What NextBatchStamp found.
enum class NextStamp {
    kBuilt,   // a stamp is in hand, built for the document
    kNone,    // no stamp is left (also: an empty profile)
    kFailed,  // a stamp did not build, or the profile lacks a stamp it counts
};

// Deletes the stamp in hand and builds the next one of inParams that this
// version can apply, for inDoc: the run counters are set for the document
// first, so its file name, path, page count and information are what the
// stamp's text shows. Stamps of kinds that cannot be applied are skipped (with
// a log line for the image and PDF-page kinds, as the interactive run does).
// On kFailed, outMessage says why (also logged and in the error buffer).
NextStamp NextBatchStamp(ASCab inParams, ASCab ioState, PDDoc inDoc, std::string& outMessage);

// The document's page count; the first time in a sequence that a text stamp of
// inParams shows "$BatchTotalPages" or "$BatesTotalPages", the batch total is
// set to the pages of the documents of the command's sequence.
int32_t CountBatchTotalPages(AVCommand inCommand, ASCab inParams, PDDoc inDoc);

// The pages of the documents of the sequence inCommand runs in, as the host
// names them (a file that does not open counts none); inDoc's pages when the
// command runs in no sequence or the host does not name its files; 0 on any
// failure. Never throws.
int32_t CountSequencePages(AVCommand inCommand, PDDoc inDoc);

// Cancel and Reset: when the command has a state, ends its progress, shows the
// kept cursor again, deletes the stamp in hand (global command), then removes
// the state. Answers inStatus; kAVCommandInError on a failure. Never throws.
AVCommandStatus BatchStop(AVCommand inCommand, AVCommandStatus inStatus) noexcept;
