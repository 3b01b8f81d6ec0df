#include "support/av/CAVMenuItem.h"

#include "support/CallbackGuard.h"
#include "support/av/CommandCallbacks.h"
#include "support/HostFrame.h"
#include "support/HostHandle.h"
#include "support/HostTables.h"
#include "support/ResourceStrings.h"
#include "support/ScopeGuard.h"

namespace {

char sItemTitle[CAVMenuItem::kTitleCapacity + 1] = "";

CAVMenuItem* ItemOf(void* clientData) {
    if (!clientData) ThrowErrorCode(kErrNotFound);
    return static_cast<CAVMenuItem*>(clientData);
}

bool MenuItemComputeEnabledProc(void* clientData) {
    return GuardCallback("A menu command", false, [&] { return ItemOf(clientData)->ComputeEnabled(); });
}

bool MenuItemComputeMarkedProc(void* clientData) {
    return GuardCallback("A menu command", false, [&] { return ItemOf(clientData)->ComputeMarked(); });
}

void MenuItemExecuteProc(void* clientData) {
    GuardCallback("A menu command", [&] { ItemOf(clientData)->Execute(); });
}

CommandCallbacks& Shared() {
    static CommandCallbacks shared;
    return shared;
}

}  // namespace

CAVMenuItem::CAVMenuItem() { InitCallbacks(); }

CAVMenuItem::CAVMenuItem(const char* inTitle, const char* inName, char inShortcut, int16_t inShortcutFlags,
                         AVMenu inSubmenu, int16_t inLongOnly, AVIcon inIcon) {
    InitCallbacks();
    // The destructor does not run for an object whose constructor threw.
    const auto detach = OnFailure([this] { Detach(); });
    Create(inTitle, inName, inShortcut, inShortcutFlags, inSubmenu, inLongOnly, inIcon);
}

CAVMenuItem::CAVMenuItem(AVMenuItem inItem) {
    InitCallbacks();
    Attach(inItem);
}

CAVMenuItem::~CAVMenuItem() { Detach(); }

void CAVMenuItem::InitCallbacks() {
    mMenuItem = nullptr;
    mCallbacksInstalled = false;
    MakeCommandCallbacks(Shared(), &MenuItemComputeEnabledProc, &MenuItemComputeMarkedProc,
                         &MenuItemExecuteProc);
}

void CAVMenuItem::Detach() noexcept {
    if (!mMenuItem) return;
    // Callbacks first: the item may outlive this wrapper in its menu.
    if (mCallbacksInstalled) TrapRun([this] { RemoveCallbacks(); });
    // A host that refuses has dropped the item already.
    CHostMenuItemRef(mMenuItem).Reset();
    mMenuItem = nullptr;
    mCallbacksInstalled = false;
}

void CAVMenuItem::Create(const char* inTitle, const char* inName, char inShortcut, int16_t inShortcutFlags,
                         AVMenu inSubmenu, int16_t inLongOnly, AVIcon inIcon) {
    const AVMenuItem item =
        gAppViewHFT->menuItemNew(inTitle ? inTitle : "", inName, inSubmenu, inLongOnly != 0, inShortcut,
                                  inShortcutFlags, inIcon, gExtensionID);
    Attach(item);
    InstallCallbacks();
}

void CAVMenuItem::CreateSeparator(const char* inName) {
    Create("-", inName, 0, 0, nullptr, 0, nullptr);
    RemoveCallbacks();
}

void CAVMenuItem::Attach(AVMenuItem inItem) {
    if (inItem == mMenuItem) return;
    if (inItem) gAppViewHFT->menuItemAcquire(inItem);  // raises for a stale item before anything changes
    Detach();
    mMenuItem = inItem;
}

AVMenu CAVMenuItem::AcquireSubmenu() { return gAppViewHFT->menuItemAcquireSubmenu(mMenuItem); }

bool CAVMenuItem::GetLongOnly() { return gAppViewHFT->menuItemIsLongOnly(mMenuItem); }

bool CAVMenuItem::GetShortcut(char* outKey, int16_t* outFlags) {
    int16_t flags = 0;
    return gAppViewHFT->menuItemGetShortcut(mMenuItem, outKey, outFlags ? outFlags : &flags);
}

const char* CAVMenuItem::GetTitle() {
    int32_t length = gAppViewHFT->menuItemGetTitle(mMenuItem, sItemTitle, kTitleCapacity);
    if (length < 0) length = 0;
    if (length > static_cast<int32_t>(kTitleCapacity)) length = kTitleCapacity;
    // The host cuts by bytes: a Chinese title may lose half a character.
    sItemTitle[Utf8CompleteLength(sItemTitle, static_cast<size_t>(length))] = '\0';
    return sItemTitle;
}

void CAVMenuItem::Remove() { gAppViewHFT->menuItemRemove(mMenuItem); }

void CAVMenuItem::SetTitle(const char* inTitle) { gAppViewHFT->menuItemSetTitle(mMenuItem, inTitle); }

void CAVMenuItem::InstallCallbacks() {
    const CommandCallbacks& shared = Shared();
    mCallbacksInstalled = true;  // so that a failure half-way is still undone
    gAppViewHFT->menuItemSetComputeEnabledProc(mMenuItem, shared.enabled, this);
    gAppViewHFT->menuItemSetComputeMarkedProc(mMenuItem, shared.marked, this);
    gAppViewHFT->menuItemSetExecuteProc(mMenuItem, shared.execute, this);
}

void CAVMenuItem::RemoveCallbacks() {
    gAppViewHFT->menuItemSetComputeEnabledProc(mMenuItem, nullptr, nullptr);
    gAppViewHFT->menuItemSetComputeMarkedProc(mMenuItem, nullptr, nullptr);
    gAppViewHFT->menuItemSetExecuteProc(mMenuItem, nullptr, nullptr);
    mCallbacksInstalled = false;
}

bool CAVMenuItem::ComputeEnabled() { return true; }

bool CAVMenuItem::ComputeMarked() { return false; }

void CAVMenuItem::Execute() {}

const char* CAVMenuItem::GetName() { return gAppViewHFT->menuItemGetName(mMenuItem); }

bool CAVMenuItem::IsEnabled() { return gAppViewHFT->menuItemIsEnabled(mMenuItem); }

bool CAVMenuItem::IsMarked() { return gAppViewHFT->menuItemIsMarked(mMenuItem); }

AVMenuItem AcquireMenuItemByName(const char* inName) {
    return gAppViewHFT->menubarAcquireMenuItemByName(gAppViewHFT->getMenubar(), inName);
}
