// The batch command "StamperCmd": the host's batch sequences run it over a list
// of documents with a profile cabinet as its parameters ("kNumberOfStamps",
// "kStamp0", ...). Each work call stamps one page with one stamp, so the host
// stays responsive and can cancel between calls.
//
// The handler's procedures answer the host's command status codes
// (kAVCommandReady 0, kAVCommandWorking 1, kAVCommandDone 2,
// kAVCommandCancelled 3, kAVCommandInError 4). Batch work records no undo,
// tests no user-cancel flag and shows no alert: messages go to the log, errors
// to the log, the status and the command's report procedure. No procedure lets
// an exception reach the host.
//
// The command's cabinets: "Params" (a whole profile cabinet), "ParamsDesc" (the
// description of the parameters: an empty cabinet) and "CommandState" (the
// running state, BatchCommandState.h).
#pragma once

#include <functional>

#include "qmhost/AppViewTable.h"

// Fills a handler record in host memory with the procedures below, makes the
// atom "StamperCmd" and registers the handler under it (the host then asks it
// to register its global command). The record lives until
// FreeBatchCommandRecord. False (the host's text in the error buffer) when the
// host offers no batch commands or refuses the handler; never throws.
bool RegisterBatchCommand();
// Frees the handler record (at unload). Nothing when there is none.
void FreeBatchCommandRecord();

// The dialog that chooses the profile of the global command: runs modally over
// ioParams (filled with the command's parameters) and answers true on OK, with
// the chosen profile read into ioParams. Without one, the show-dialog
// procedure leaves the parameters as they are.
typedef std::function<bool(ASCab ioParams)> BatchDialogRunner;
void SetBatchDialogRunner(BatchDialogRunner inRunner);

// --- the handler's procedures (host callbacks; each catches everything)

bool BatchInitialize(ASAtom inHandlerName);   // true
void BatchTerminate(ASAtom inHandlerName);    // nothing
// Makes the global command "StamperCmd" when the host has none.
void BatchRegisterCommands(ASAtom inHandlerName);
// Gives the new command an empty parameter cabinet (through the host, so the
// command's set-parameters procedure stores it).
void BatchCreated(AVCommand inCommand);
// A duplicate of inParams becomes the command's "Params"; "ParamsDesc" goes.
// kAVCommandReady; kAVCommandInError on a host error.
AVCommandStatus BatchSetParams(AVCommand inCommand, ASCab inParams);
// Empties ioParams and copies the command's "Params" (made when missing) into it.
void BatchGetParams(AVCommand inCommand, ASCab ioParams);
// Fills every property into an empty cabinet, otherwise only the keys present:
// "GroupTitle" (text "Quillmark Commands"), "CanBatch" (true),
// "CanDescribeParams" and "CanShowDialog" (whether this is the global command),
// "GenericTitle" (text "Stamp Document", global command only), "Title" (text
// "Title") and "ParamsDesc" (a duplicate of the command's description, made
// empty and kept when missing).
void BatchGetProps(AVCommand inCommand, ASCab ioProps);
// For the global command, runs the dialog over the command's parameters and
// makes its choice the parameters on OK. kAVCommandReady; kAVCommandInError on
// a host error.
AVCommandStatus BatchShowDialog(AVCommand inCommand);
// Logs the sequence's header and, for the global command, starts the stamp
// index and the run counters for a new sequence. kAVCommandReady.
AVCommandStatus BatchPreflightSequence(AVCommand inCommand);
// One step on the command's document (see StamperBatchWork.cpp): kAVCommandWorking
// while pages are left, kAVCommandDone after the last page of the last stamp,
// kAVCommandInError on a failure.
AVCommandStatus BatchWork(AVCommand inCommand);
// Stop the document's work and drop the running state: kAVCommandCancelled /
// kAVCommandReady; kAVCommandInError on a host error.
AVCommandStatus BatchCancel(AVCommand inCommand);
AVCommandStatus BatchReset(AVCommand inCommand);
