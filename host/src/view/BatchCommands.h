// The model of batch commands: the handlers that plug-ins register (a copy of
// each procedure record, keyed by name atom) and the commands made from them,
// each with its named cabinets, document, status, progress monitor and report
// procedure. The AppView table's command entries and the batch-sequence
// runner both work on it.
//
// The handler's procedures are always run through callProc/stepProc here: a
// procedure that throws is stopped at the host's boundary and counts as
// kAVCommandInError; a callback whose plug-in is gone counts as absent.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "qmhost/AppViewTable.h"

namespace qmhost {

class Cabinet;

struct CommandHandler {
    ASAtom name = kASAtomNull;
    AVCommandHandlerRec record{};
    ExtensionID extension = nullptr;  // of the record's callbacks (null: the host's own)
};

// Where the runner collects what the command reports while it works on a file.
struct CommandReportSink {
    std::vector<std::string> lines;
};

struct CommandRecord {
    ASAtom name = kASAtomNull;  // its handler's name
    bool global = false;
    std::map<std::string, std::unique_ptr<Cabinet>, std::less<>> cabinets;
    PDDoc document = nullptr;
    AVCommandStatus status = kAVCommandReady;
    ASProgressMonitor monitor = nullptr;  // null: none
    void* monitorData = nullptr;
    CommandReportSink* reports = nullptr;  // null: the command has no report procedure
    int32_t cursorPolicy = 0;
    std::vector<std::string> sequenceFiles;  // the files of the sequence it runs in, in order
    int32_t running = 0;  // procedures of the command running now (destroy waits for 0)

    CommandRecord();
    ~CommandRecord();
    CommandRecord(const CommandRecord&) = delete;
    CommandRecord& operator=(const CommandRecord&) = delete;
};

// The outcome of running one handler procedure.
struct ProcOutcome {
    bool ran = false;  // false: the handler gives no such procedure (or its plug-in is gone)
    AVCommandStatus status = kAVCommandInError;  // what it answered; kAVCommandInError when it threw
    std::string failure;  // what it threw, empty when it returned
};

class BatchCommands {
public:
    BatchCommands() = default;
    BatchCommands(const BatchCommands&) = delete;
    BatchCommands& operator=(const BatchCommands&) = delete;

    // See AppViewTable::registerCommandHandler.
    bool registerHandler(ASAtom name, const AVCommandHandlerRec* record);
    // The handler of that name, or null.
    const CommandHandler* handler(ASAtom name) const;

    // See AppViewTable::commandNew / commandDestroy.
    AVCommand newCommand(ASAtom name);
    void destroyCommand(AVCommand command);
    // The record; raises kHostErrBadHandle for an unknown or destroyed command.
    CommandRecord& command(AVCommand command);
    bool alive(AVCommand command) const { return mCommands.count(command) != 0; }

    void registerGlobal(AVCommand command);
    AVCommand findGlobal(ASAtom name) const;

    // See AppViewTable::commandGetCab / commandPutCab.
    ASCab getCab(AVCommand command, const std::string& name, bool create);
    void putCab(AVCommand command, const std::string& name, ASCab cab);

    // Runs a step procedure (show dialog, work, cancel, reset, preflight and
    // postflight) of the command's handler; a status it answers is kept as the
    // command's status (work, cancel and reset only; see keepsStatus).
    ProcOutcome stepProc(AVCommand command, ASCallback AVCommandHandlerRec::*slot);
    // Runs setParams / getParams / getProps with the caller's cabinet.
    ProcOutcome setParams(AVCommand command, ASCab params);
    ProcOutcome getParams(AVCommand command, ASCab params);
    ProcOutcome getProps(AVCommand command, ASCab props);

    // Before an extension goes: every command of its handlers is destroyed
    // (destroyed procedures run, cabinets with their pointer entries go), then
    // each of its handlers gets its terminate call and is forgotten.
    void releaseExtension(ExtensionID extension);
    // Everything goes without calling any procedure (tests).
    void reset();

private:
    template <class Call>
    ProcOutcome run(AVCommand command, ASCallback AVCommandHandlerRec::*slot, Call&& call);
    void destroy(AVCommand command);
    // Whether none of the handler's callbacks is alive (its plug-in is gone).
    static bool isDead(const CommandHandler& handler);
    // Forgets the handler and its commands without calling a procedure.
    void dropHandler(ASAtom name);

    std::map<ASAtom, std::unique_ptr<CommandHandler>> mHandlers;
    std::map<AVCommand, std::unique_ptr<CommandRecord>> mCommands;
    uintptr_t mNext = 1;
};

BatchCommands& batchCommands();

// The report procedure that the host gives commands whose reports are
// collected (CommandRecord::reports). Never raises.
void reportToSink(int32_t severity, int32_t errorCode, ASText message, ASText detail,
                  void* reserved, AVCommand command);
// The text of one report line: "error: <text>", "warning: ...", "note: ...".
std::string reportLine(int32_t severity, int32_t errorCode, const std::string& message,
                       const std::string& detail);

}  // namespace qmhost
