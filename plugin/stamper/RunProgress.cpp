#include "stamper/RunProgress.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "qmhost/HostError.h"
#include "support/ErrorCode.h"
#include "support/HostTables.h"
#include "support/av/ProgressMonitor.h"
#include "support/TableMembers.h"

namespace {

struct ProgressState {
    bool active = false;
    ASProgressMonitor monitor = nullptr;
    void* clientData = nullptr;
    AVCursor shown = nullptr;
    AVCursor saved = nullptr;
    bool cursorSaved = false;
};

ProgressState& State() {
    static ProgressState state;
    return state;
}

// The table's cursor members, when the host's table is recent enough to have them.
bool HostHasCursors() {
    const AppViewTable* table = gAppViewHFT;
    return TableHasMember(table, &AppViewTable::cursorGetCurrent) && TableHasMember(table, &AppViewTable::cursorSet) &&
           TableHasMember(table, &AppViewTable::cursorGetStandard);
}

void ShowCursor(AVCursor inCursor) {
    try {
        gAppViewHFT->cursorSet(inCursor);
    } catch (const HostError&) {
        // A cursor the host no longer knows: the run goes on with the one shown.
    }
}

}  // namespace

AVCursor GetWaitCursor() { return HostHasCursors() ? gAppViewHFT->cursorGetStandard(kAVCursorWait) : nullptr; }

void ProgressBegin(AVCursor inCursor, int32_t inDuration) {
    if (State().active) ProgressEnd();
    ProgressState& state = State();
    state = ProgressState{};
    state.shown = inCursor;
    if (HostHasCursors()) {
        state.saved = gAppViewHFT->cursorGetCurrent();
        state.cursorSaved = true;
        ShowCursor(inCursor);
    }
    try {
        state.monitor = AcquireProgressMonitor(&state.clientData);
    } catch (ErrorCode) {
        state.monitor = &NullProgressMonitor;
        state.clientData = nullptr;
    }
    // Begin first: a monitor may reset its duration when it begins (the
    // library's own does).
    state.monitor->beginOperation(state.clientData);
    state.monitor->setDuration(inDuration, state.clientData);
    state.monitor->setCurrValue(0, state.clientData);
    state.active = true;
}

void ProgressAdvance(int32_t inSteps) {
    ProgressState& state = State();
    if (!state.active) return;
    const int64_t value = int64_t{state.monitor->getCurrValue(state.clientData)} + inSteps;
    state.monitor->setCurrValue(static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)),
                                state.clientData);
}

void ProgressEnd() {
    ProgressState& state = State();
    if (!state.active) return;
    state.monitor->endOperation(state.clientData);
    if (state.cursorSaved && HostHasCursors()) ShowCursor(state.saved);
    state = ProgressState{};
}

bool IsProgressActive() { return State().active; }
