// A command for the menu and toolbar model tests: its three procedures count
// their calls and answer or throw as the test sets them.
#pragma once

#include <functional>
#include <stdexcept>

#include "HostTables.h"
#include "qmhost/AppViewTable.h"
#include "qmhost/CoreTable.h"

namespace menutest {

struct Command {
    bool enabled = true;
    bool marked = false;
    bool throwOnEnabled = false;
    bool throwOnRun = false;
    int enabledAsked = 0;
    int runs = 0;
    std::function<void()> onEnabled;  // runs inside the compute-enabled procedure
};

inline bool CommandEnabled(void* client) {
    auto* command = static_cast<Command*>(client);
    ++command->enabledAsked;
    if (command->onEnabled) command->onEnabled();
    if (command->throwOnEnabled) throw std::runtime_error("enabled failed");
    return command->enabled;
}

inline bool CommandMarked(void* client) { return static_cast<Command*>(client)->marked; }

inline void CommandRun(void* client) {
    auto* command = static_cast<Command*>(client);
    if (command->throwOnRun) throw std::runtime_error("run failed");
    ++command->runs;
}

inline const AppViewTable& View() {
    qmhost::registerHostTables();
    return *qmhost::appViewTable();
}

inline ExtensionID TestExtension() { return reinterpret_cast<ExtensionID>(uintptr_t{0x7e57}); }

template <class P>
ASCallback Callback(P procedure, ExtensionID extension = TestExtension()) {
    qmhost::registerHostTables();
    return qmhost::coreTable()->makeCallback(extension, reinterpret_cast<ASProc>(procedure));
}

inline void InstallOnItem(AVMenuItem item, Command& command, ExtensionID extension = TestExtension()) {
    View().menuItemSetComputeEnabledProc(item, Callback(&CommandEnabled, extension), &command);
    View().menuItemSetComputeMarkedProc(item, Callback(&CommandMarked, extension), &command);
    View().menuItemSetExecuteProc(item, Callback(&CommandRun, extension), &command);
}

inline void InstallOnButton(AVToolButton button, Command& command, ExtensionID extension = TestExtension()) {
    View().toolButtonSetExecuteProc(button, Callback(&CommandRun, extension), &command);
    View().toolButtonSetComputeEnabledProc(button, Callback(&CommandEnabled, extension), &command);
    View().toolButtonSetComputeMarkedProc(button, Callback(&CommandMarked, extension), &command);
}

}  // namespace menutest
