#include "support/av/CAVToolButton.h"

#include <utility>

#include "resources/ResourceBitmaps.h"
#include "support/CallbackGuard.h"
#include "support/av/CommandCallbacks.h"
#include "support/HostFrame.h"
#include "support/HostHandle.h"
#include "support/HostTables.h"
#include "support/ScopeGuard.h"

namespace {

CAVToolButton* ButtonOf(void* clientData) {
    if (!clientData) ThrowErrorCode(kErrNotFound);
    return static_cast<CAVToolButton*>(clientData);
}

void ToolButtonExecuteProc(void* clientData) {
    GuardCallback("A toolbar command", [&] { ButtonOf(clientData)->Execute(); });
}

bool ToolButtonComputeEnabledProc(void* clientData) {
    return GuardCallback("A toolbar command", false, [&] { return ButtonOf(clientData)->ComputeEnabled(); });
}

bool ToolButtonComputeMarkedProc(void* clientData) {
    return GuardCallback("A toolbar command", false, [&] { return ButtonOf(clientData)->ComputeMarked(); });
}

CommandCallbacks& Shared() {
    static CommandCallbacks shared;
    return shared;
}

}  // namespace

CAVToolButton::CAVToolButton(const char* inName, uint16_t inBitmapId, uint8_t inOptions, uint8_t inSeparator,
                             uint8_t inKeptFlag) {
    InitCallbacks();
    mKeptFlag = inKeptFlag;
    mName = CallHostOr(kErrNoMemory, [&] { return gCoreHFT->atomFromString(inName); });
    SetIcon(inBitmapId);
    // No destructor runs for a constructor that throws: a button made half-way
    // would keep callbacks to this dead object.
    const auto destroy = OnFailure([this] { Destroy(); });
    CallHostOr(kErrNoMemory, [&] {
        mButton = gAppViewHFT->toolButtonNew(mName, mIcon, inOptions, inSeparator != 0);
        if (!mButton) ThrowErrorCode(kErrNoMemory);
        const CommandCallbacks& shared = Shared();
        gAppViewHFT->toolButtonSetExecuteProc(mButton, shared.execute, this);
        gAppViewHFT->toolButtonSetComputeEnabledProc(mButton, shared.enabled, this);
        gAppViewHFT->toolButtonSetComputeMarkedProc(mButton, shared.marked, this);
    });
}

CAVToolButton::~CAVToolButton() { Destroy(); }

void CAVToolButton::InitCallbacks() {
    mButton = nullptr;
    mIcon = nullptr;
    MakeCommandCallbacks(Shared(), &ToolButtonComputeEnabledProc, &ToolButtonComputeMarkedProc,
                         &ToolButtonExecuteProc);
}

void CAVToolButton::Destroy() noexcept {
    if (!mButton) return;
    TrapRun([this] { gAppViewHFT->toolButtonRemove(mButton); });
    // A host that refuses has dropped the button already.
    CHostToolButton(std::exchange(mButton, nullptr)).Reset();
}

void CAVToolButton::SetIcon(uint16_t inBitmapId) {
    mBitmapId = inBitmapId;
    mIcon = FindResourceBitmap(inBitmapId);
}

void CAVToolButton::Execute() {}

bool CAVToolButton::ComputeEnabled() { return gAppViewHFT->getActiveDoc() != nullptr; }

bool CAVToolButton::ComputeMarked() { return false; }

void CAVToolButton::SetHelpText(const char* inText) { gAppViewHFT->toolButtonSetHelpText(mButton, inText); }

void CAVToolButton::SetMenu(AVMenu inMenu) { gAppViewHFT->toolButtonSetMenu(mButton, inMenu); }

void CAVToolButton::AddBesideButton(int16_t inPosition, AVToolButton inOther) {
    CallHostOr(kErrNoMemory, [&] {
        gAppViewHFT->toolBarAddButton(gAppViewHFT->getToolBar(), mButton, inPosition != 0, inOther);
    });
}

void CAVToolButton::AddBeside(int16_t inPosition, const CAVToolButton& inOther) {
    AddBesideButton(inPosition, inOther.GetButton());
}

void CAVToolButton::AddToToolsGroup() {
    const AVToolButton marker = CallHostOr(kErrNoMemory, [&] {
        return gAppViewHFT->toolBarGetButtonByName(gAppViewHFT->getToolBar(),
                                                    gCoreHFT->atomFromString("endToolsGroup"));
    });
    // Without the marker, "before it" would mean the front of the toolbar: the
    // end is the nearer place to a tools group.
    if (marker)
        AddBesideButton(1, marker);
    else
        AddBesideButton(0, nullptr);
}
