// A batch command for the host's tests: its procedures log every call and
// follow a script. Work writes the call number into the document's "Title",
// answers working until it has made one call per page and then done; the
// script can make it fail, throw or answer something else for a file.
#pragma once

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "HostTables.h"
#include "core/Raise.h"
#include "qmhost/ASExtraTable.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/AppViewTable.h"
#include "qmhost/CoreTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"

namespace batchtest {

inline const AppViewTable& View() {
    qmhost::registerHostTables();
    return *qmhost::appViewTable();
}
inline const ASExtraTable& Cab() {
    qmhost::registerHostTables();
    return *qmhost::asExtraTable();
}

inline ExtensionID TestExtension() { return reinterpret_cast<ExtensionID>(uintptr_t{0xba7c}); }

template <class P>
ASCallback Callback(P procedure, ExtensionID extension = TestExtension()) {
    qmhost::registerHostTables();
    return qmhost::coreTable()->makeCallback(extension, reinterpret_cast<ASProc>(procedure));
}

inline ASAtom Atom(const char* text) {
    qmhost::registerHostTables();
    return qmhost::coreTable()->atomFromString(text);
}

// What the command does with one file (by its file name).
struct FileScript {
    int failAtCall = 0;          // answer kAVCommandInError at this work call (1-based)
    int throwAtCall = 0;         // throw at this work call
    int answerAtCall = 0;        // answer `answer` at this work call
    AVCommandStatus answer = kAVCommandDone;
    bool reportOnFailure = true;  // call the report procedure before failing
};

struct Script {
    std::vector<std::string> calls;  // "created", "work a.pdf 1 status 0", ...
    bool canBatch = true;
    AVCommandStatus setParamsAnswer = kAVCommandReady;
    AVCommandStatus preflightAnswer = kAVCommandReady;
    std::map<std::string, FileScript> files;
    std::vector<int32_t> statusesSeen;  // the command's status at each work call
    std::vector<int32_t> paramsSeen;    // "Pages" of the parameters at each work call
    bool leaveMonitorBegun = false;     // never end the monitor's operation
    bool monitorGiven = true;
    bool reportProcGiven = true;
    int32_t cursorPolicySeen = -1;
};

// The script the procedures follow (one at a time).
inline Script*& ActiveScript() {
    static Script* script = nullptr;
    return script;
}

inline void Log(std::string entry) { ActiveScript()->calls.push_back(std::move(entry)); }

inline std::string FileNameOf(PDDoc doc) {
    ASPathName path = qmhost::pdModelTable()->docAcquirePath(doc);
    char buffer[4096] = {};
    qmhost::appSupportTable()->pathGetText(path, buffer, sizeof buffer);
    qmhost::appSupportTable()->releasePath(path);
    const std::string text = buffer;
    return text.substr(text.find_last_of('/') + 1);
}

inline AVCommandStatus Step(const char* name, AVCommand) {
    Log(name);
    return kAVCommandReady;
}
inline AVCommandStatus PreflightSequence(AVCommand) {
    Log("preflightSequence");
    return ActiveScript()->preflightAnswer;
}
inline AVCommandStatus PostflightSequence(AVCommand c) { return Step("postflightSequence", c); }
inline AVCommandStatus PreflightFile(AVCommand c) { return Step("preflightFile", c); }
inline AVCommandStatus PostflightFile(AVCommand c) { return Step("postflightFile", c); }
inline AVCommandStatus ShowDialog(AVCommand c) { return Step("showDialog", c); }
inline AVCommandStatus Reset(AVCommand command) {
    View().commandPutCab(command, "State", nullptr);
    return Step("reset", command);
}
inline AVCommandStatus Cancel(AVCommand command) {
    Log("cancel");
    View().commandPutCab(command, "State", nullptr);
    return kAVCommandCancelled;
}
inline void Created(AVCommand) { Log("created"); }
inline void Destroyed(AVCommand) { Log("destroyed"); }
inline AVCommandStatus SetParams(AVCommand command, ASCab params) {
    Log("setParams");
    View().commandPutCab(command, "Params", Cab().cabDup(params));
    return ActiveScript()->setParamsAnswer;
}
inline void GetParams(AVCommand command, ASCab params) {
    Log("getParams");
    Cab().cabMakeEmpty(params);
    Cab().cabCopy(View().commandGetCab(command, "Params", true), params);
}
inline void GetProps(AVCommand, ASCab props) {
    Log("getProps");
    Cab().cabPutBool(props, "CanBatch", ActiveScript()->canBatch);
}

inline AVCommandStatus Work(AVCommand command) {
    Script& script = *ActiveScript();
    const PDDoc doc = View().commandGetPDDoc(command);
    const std::string file = FileNameOf(doc);
    const ASCab state = View().commandGetCab(command, "State", true);
    const int call = Cab().cabGetInt(state, "calls", 0) + 1;
    Cab().cabPutInt(state, "calls", call);
    const int32_t status = View().commandGetStatus(command);
    script.statusesSeen.push_back(status);
    script.paramsSeen.push_back(Cab().cabGetInt(View().commandGetCab(command, "Params", true), "Pages", -1));
    script.cursorPolicySeen = View().commandGetCursorPolicy(command);
    Log("work " + file + " " + std::to_string(call));

    void* data = nullptr;
    ASProgressMonitor monitor = View().commandGetProgressMonitor(command, &data);
    script.monitorGiven = monitor != nullptr;
    const int32_t pages = qmhost::pdModelTable()->docGetNumPages(doc);
    if (monitor && status == kAVCommandReady) {
        monitor->beginOperation(data);
        monitor->setDuration(pages, data);
    }
    if (monitor) monitor->setCurrValue(call, data);

    const FileScript how = script.files.count(file) ? script.files.at(file) : FileScript{};
    if (call == how.throwAtCall) throw std::runtime_error("work threw on " + file);
    if (call == how.failAtCall) {
        AVCommandReportProc report = View().commandGetReportProc(command);
        script.reportProcGiven = report != nullptr;
        if (report && how.reportOnFailure) {
            // As a plug-in does: a host error caught, then reported by its code.
            try {
                qmhost::raise(kHostErrFileWrite, "disk full while writing " + file);
            } catch (const HostError& error) {
                report(kAVCommandReportError, error.code(), nullptr, nullptr, nullptr, command);
            }
        }
        if (monitor && !script.leaveMonitorBegun) monitor->endOperation(data);
        return kAVCommandInError;
    }
    if (call == how.answerAtCall) return how.answer;
    qmhost::pdModelTable()->docSetInfo(doc, "Title", ("worked " + std::to_string(call)).c_str());
    if (call < pages) return kAVCommandWorking;
    if (monitor && !script.leaveMonitorBegun) monitor->endOperation(data);
    return kAVCommandDone;
}

// The full record of the test command.
inline AVCommandHandlerRec FullRecord() {
    AVCommandHandlerRec record{};
    record.size = sizeof record;
    record.created = Callback(&Created);
    record.destroyed = Callback(&Destroyed);
    record.setParams = Callback(&SetParams);
    record.getParams = Callback(&GetParams);
    record.getProps = Callback(&GetProps);
    record.showDialog = Callback(&ShowDialog);
    record.work = Callback(&Work);
    record.cancel = Callback(&Cancel);
    record.reset = Callback(&Reset);
    record.preflightSequence = Callback(&PreflightSequence);
    record.postflightSequence = Callback(&PostflightSequence);
    record.preflightFile = Callback(&PreflightFile);
    record.postflightFile = Callback(&PostflightFile);
    return record;
}

}  // namespace batchtest
