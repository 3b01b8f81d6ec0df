#include "view/BatchCommands.h"

#include <cstdio>
#include <exception>
#include <utility>

#include "core/ExceptionTrap.h"
#include "core/CoreTableImpl.h"
#include "cabinet/ASExtraTableImpl.h"
#include "cabinet/Cabinet.h"
#include "cabinet/CabinetHandles.h"
#include "core/Callbacks.h"
#include "core/Raise.h"
#include "view/CommandProcs.h"
#include "qmhost/ASExtraTable.h"
#include "qmhost/CoreTable.h"
#include "qmhost/HostError.h"

namespace qmhost {
namespace {

constexpr ASCallback AVCommandHandlerRec::*kHandlerSlots[] = {
    &AVCommandHandlerRec::initialize,        &AVCommandHandlerRec::terminate,
    &AVCommandHandlerRec::registerCommands,  &AVCommandHandlerRec::created,
    &AVCommandHandlerRec::destroyed,         &AVCommandHandlerRec::setParams,
    &AVCommandHandlerRec::getParams,         &AVCommandHandlerRec::getProps,
    &AVCommandHandlerRec::showDialog,        &AVCommandHandlerRec::work,
    &AVCommandHandlerRec::cancel,            &AVCommandHandlerRec::reset,
    &AVCommandHandlerRec::preflightSequence, &AVCommandHandlerRec::postflightSequence,
    &AVCommandHandlerRec::preflightFile,     &AVCommandHandlerRec::postflightFile,
};

std::string atomText(ASAtom atom) {
    return trapped(std::string("?"), [&] { return std::string(coreTable()->atomGetString(atom)); });
}

// Keeps a command's procedure count up while one of its procedures runs.
class RunningGuard {
public:
    explicit RunningGuard(CommandRecord& record) : mRecord(record) { ++mRecord.running; }
    ~RunningGuard() { --mRecord.running; }
    RunningGuard(const RunningGuard&) = delete;
    RunningGuard& operator=(const RunningGuard&) = delete;

private:
    CommandRecord& mRecord;
};

bool keepsStatus(ASCallback AVCommandHandlerRec::*slot) {
    return slot == &AVCommandHandlerRec::work || slot == &AVCommandHandlerRec::cancel ||
           slot == &AVCommandHandlerRec::reset;
}

// A plug-in may pass a host code with its low half only; the text is the same.
int32_t fullHostCode(int32_t code) {
    const int32_t low = code & 0xFFFF;
    if (low >= 0x3001 && low <= 0x30FF && (code & ~0xFFFF) == 0) return 0x40000000 | low;
    return code;
}

std::string textOfHandle(ASText text) {
    if (!text) return {};
    return trapped(std::string(), [&] { return std::string(asExtraTable()->textGetUTF8(text)); });
}

}  // namespace

CommandRecord::CommandRecord() = default;
CommandRecord::~CommandRecord() = default;

bool BatchCommands::registerHandler(ASAtom name, const AVCommandHandlerRec* record) {
    if (name == kASAtomNull) raise(kHostErrBadParameter, "a command handler needs a name");
    if (!record) raise(kHostErrBadParameter, "a null command handler record");
    if (record->size != sizeof(AVCommandHandlerRec))
        raise(kHostErrBadParameter, "a command handler record of size " + std::to_string(record->size));
    if (mHandlers.count(name)) {
        // A handler whose plug-in is gone (its callbacks forgotten) gives way to
        // the one registered when the plug-in is loaded again.
        if (!isDead(*mHandlers.at(name)))
            raise(kHostErrBadParameter, "a command handler \"" + atomText(name) + "\" is registered already");
        dropHandler(name);
    }
    auto handler = std::make_unique<CommandHandler>();
    handler->name = name;
    handler->record = *record;
    for (auto slot : kHandlerSlots) {
        const ASCallback callback = record->*slot;
        if (!callback) continue;
        if (!callbacks().procedure(callback))
            raise(kHostErrBadParameter, "a command handler procedure the host did not make");
        handler->extension = callbacks().extensionOf(callback);
    }
    const AVCommandHandlerRec copy = handler->record;
    mHandlers.emplace(name, std::move(handler));

    if (auto initialize = callbacks().as<AVCommandInitializeProc>(copy.initialize)) {
        if (!trapped(false, [&] { return static_cast<bool>(initialize(name)); })) {
            mHandlers.erase(name);
            return false;
        }
    }
    if (auto registerCommands = callbacks().as<AVCommandRegisterCommandsProc>(copy.registerCommands)) {
        // A failure leaves the handler; it only made fewer commands than it meant to.
        trappedRun([&] { registerCommands(name); });
    }
    return true;
}

bool BatchCommands::isDead(const CommandHandler& handler) {
    for (auto slot : kHandlerSlots)
        if (handler.record.*slot && callbacks().procedure(handler.record.*slot)) return false;
    return true;
}

void BatchCommands::dropHandler(ASAtom name) {
    std::vector<std::unique_ptr<CommandRecord>> doomed;
    for (auto it = mCommands.begin(); it != mCommands.end();) {
        if (it->second->name == name) {
            doomed.push_back(std::move(it->second));
            it = mCommands.erase(it);
        } else {
            ++it;
        }
    }
    mHandlers.erase(name);
    // `doomed` goes last, once the model is consistent again.
}

const CommandHandler* BatchCommands::handler(ASAtom name) const {
    auto it = mHandlers.find(name);
    return it == mHandlers.end() ? nullptr : it->second.get();
}

AVCommand BatchCommands::newCommand(ASAtom name) {
    if (!handler(name)) raise(kHostErrNotFound, "no command handler \"" + atomText(name) + "\"");
    const AVCommand command = reinterpret_cast<AVCommand>(newViewObjectNumber());
    auto record = std::make_unique<CommandRecord>();
    record->name = name;
    mCommands.emplace(command, std::move(record));
    stepProc(command, &AVCommandHandlerRec::created);
    return command;
}

CommandRecord& BatchCommands::command(AVCommand command) {
    auto it = mCommands.find(command);
    if (it == mCommands.end()) raise(kHostErrBadHandle, command ? "unknown or destroyed command" : "null command");
    return *it->second;
}

void BatchCommands::destroyCommand(AVCommand command) {
    if (!command) return;
    CommandRecord& record = this->command(command);
    if (record.global) raise(kHostErrBadParameter, "a global command stays until its handler goes");
    if (record.running) raise(kHostErrBadParameter, "a procedure of the command is running");
    destroy(command);
}

void BatchCommands::destroy(AVCommand command) {
    stepProc(command, &AVCommandHandlerRec::destroyed);
    auto it = mCommands.find(command);
    if (it == mCommands.end()) return;
    // Out of the map first: the cabinets' pointer destroy procedures may call
    // back into the command entries and must find the command gone.
    std::unique_ptr<CommandRecord> doomed = std::move(it->second);
    mCommands.erase(it);
}

void BatchCommands::registerGlobal(AVCommand command) {
    CommandRecord& record = this->command(command);
    if (record.global) return;
    if (findGlobal(record.name))
        raise(kHostErrBadParameter, "a global command \"" + atomText(record.name) + "\" exists");
    record.global = true;
}

AVCommand BatchCommands::findGlobal(ASAtom name) const {
    for (const auto& [handle, record] : mCommands)
        if (record->global && record->name == name) return handle;
    return nullptr;
}

ASCab BatchCommands::getCab(AVCommand command, const std::string& name, bool create) {
    CommandRecord& record = this->command(command);
    auto it = record.cabinets.find(name);
    if (it != record.cabinets.end()) return it->second->handle();
    if (!create) return nullptr;
    auto cabinet = std::make_unique<Cabinet>();
    const ASCab handle = cabinet->handle();
    record.cabinets.emplace(name, std::move(cabinet));
    return handle;
}

void BatchCommands::putCab(AVCommand command, const std::string& name, ASCab cab) {
    CommandRecord& record = this->command(command);
    std::unique_ptr<Cabinet> incoming = cab ? releaseFreeCabinet(cab) : nullptr;
    std::unique_ptr<Cabinet> doomed;
    auto it = record.cabinets.find(name);
    if (it != record.cabinets.end()) {
        doomed = std::move(it->second);
        record.cabinets.erase(it);
    }
    if (incoming) record.cabinets.emplace(name, std::move(incoming));
    // `doomed` goes last, once the command's cabinets are consistent again.
}

template <class Call>
ProcOutcome BatchCommands::run(AVCommand command, ASCallback AVCommandHandlerRec::*slot, Call&& call) {
    CommandRecord& record = this->command(command);
    const CommandHandler* owner = handler(record.name);
    ProcOutcome outcome;
    if (!owner || !callbacks().procedure(owner->record.*slot)) return outcome;
    outcome.ran = true;
    RunningGuard guard(record);
    if (!trappedRun([&] { outcome.status = call(owner->record.*slot); }, &outcome.failure)) {
        outcome.status = kAVCommandInError;
        if (outcome.failure.empty()) outcome.failure = "the command's procedure failed";
    }
    return outcome;
}

ProcOutcome BatchCommands::stepProc(AVCommand command, ASCallback AVCommandHandlerRec::*slot) {
    const bool answers = slot != &AVCommandHandlerRec::created && slot != &AVCommandHandlerRec::destroyed;
    ProcOutcome outcome = run(command, slot, [&](ASCallback callback) -> AVCommandStatus {
        if (!answers) {
            callbacks().as<AVCommandCreatedProc>(callback)(command);
            return kAVCommandReady;
        }
        return callbacks().as<AVCommandStepProc>(callback)(command);
    });
    if (outcome.ran && keepsStatus(slot) && alive(command)) this->command(command).status = outcome.status;
    return outcome;
}

ProcOutcome BatchCommands::setParams(AVCommand command, ASCab params) {
    return run(command, &AVCommandHandlerRec::setParams, [&](ASCallback callback) {
        return callbacks().as<AVCommandSetParamsProc>(callback)(command, params);
    });
}

ProcOutcome BatchCommands::getParams(AVCommand command, ASCab params) {
    return run(command, &AVCommandHandlerRec::getParams, [&](ASCallback callback) {
        callbacks().as<AVCommandGetParamsProc>(callback)(command, params);
        return kAVCommandReady;
    });
}

ProcOutcome BatchCommands::getProps(AVCommand command, ASCab props) {
    return run(command, &AVCommandHandlerRec::getProps, [&](ASCallback callback) {
        callbacks().as<AVCommandGetPropsProc>(callback)(command, props);
        return kAVCommandReady;
    });
}

void BatchCommands::releaseExtension(ExtensionID extension) {
    std::vector<ASAtom> names;
    for (const auto& [name, handler] : mHandlers)
        if (handler->extension == extension) names.push_back(name);
    for (ASAtom name : names) {
        std::vector<AVCommand> doomed;
        for (const auto& [handle, record] : mCommands)
            if (record->name == name) doomed.push_back(handle);
        for (AVCommand command : doomed)
            if (alive(command)) destroy(command);
        const CommandHandler* owner = handler(name);
        if (!owner) continue;
        if (auto terminate = callbacks().as<AVCommandTerminateProc>(owner->record.terminate)) {
            trappedRun([&] { terminate(name); });  // it is going either way
        }
        mHandlers.erase(name);
    }
}

void BatchCommands::reset() {
    // Commands first (their cabinets may still call destroy procedures), then handlers.
    auto commands = std::move(mCommands);
    mCommands.clear();
    commands.clear();
    mHandlers.clear();
}

BatchCommands& batchCommands() {
    // Never destroyed: a plug-in may still be unloaded while statics go down.
    static BatchCommands* instance = new BatchCommands;
    return *instance;
}

std::string reportLine(int32_t severity, int32_t errorCode, const std::string& message,
                       const std::string& detail) {
    const char* kind = severity >= kAVCommandReportError     ? "error"
                       : severity == kAVCommandReportWarning ? "warning"
                                                             : "note";
    std::string text = message;
    if (errorCode != 0) {
        const int32_t code = fullHostCode(errorCode);
        std::string codeText = lastErrorMessage(code);
        if (codeText.empty()) {
            char number[32];
            std::snprintf(number, sizeof number, "error code %d", static_cast<int>(errorCode));
            codeText = number;
        }
        text = text.empty() ? codeText : text + " (" + codeText + ")";
    }
    if (text.empty()) text = "(no message)";
    if (!detail.empty()) text += ": " + detail;
    return std::string(kind) + ": " + text;
}

void reportToSink(int32_t severity, int32_t errorCode, ASText message, ASText detail, void*,
                  AVCommand command) {
    // A report that cannot be kept is dropped; the procedure never raises.
    trappedRun([&] {
        if (!batchCommands().alive(command)) return;
        CommandReportSink* sink = batchCommands().command(command).reports;
        if (!sink) return;
        sink->lines.push_back(reportLine(severity, errorCode, textOfHandle(message), textOfHandle(detail)));
    });
}

}  // namespace qmhost
