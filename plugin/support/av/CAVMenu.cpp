#include "support/av/CAVMenu.h"

#include <string>
#include <utility>

#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/HostHandle.h"
#include "support/HostTables.h"
#include "support/ResourceStrings.h"

namespace {
char sMenuTitle[CAVMenu::kTitleCapacity + 1] = "";
}  // namespace

CAVMenu::CAVMenu(const char* inTitle, const char* inName) { Create(inTitle, inName); }

CAVMenu::CAVMenu(const char* inName) {
    const AVMenu found = gAppViewHFT->menubarAcquireMenuByName(gAppViewHFT->getMenubar(), inName);
    if (!found) {
        SetErrorMessage(std::string("The menu ") + (inName ? inName : "") + " is not in the menu bar.");
        ThrowErrorCode(kErrNotFound);
    }
    // The look-up handed over a reference and Attach takes its own: give one
    // back, or every menu found by name would stay referenced for ever.
    const CHostMenuRef handedOver(found);
    Attach(found);
}

CAVMenu::CAVMenu(AVMenu inMenu) { Attach(inMenu); }

CAVMenu::~CAVMenu() { Release(); }

void CAVMenu::Release() noexcept {
    // A host that refuses has dropped the menu already.
    CHostMenuRef(std::exchange(mMenu, nullptr)).Reset();
}

void CAVMenu::Create(const char* inTitle, const char* inName) {
    Attach(gAppViewHFT->menuNew(inTitle ? inTitle : "", inName, gExtensionID));
}

void CAVMenu::Attach(AVMenu inMenu) {
    if (inMenu == mMenu) return;
    if (inMenu) gAppViewHFT->menuAcquire(inMenu);  // raises for a stale menu before anything changes
    Release();
    mMenu = inMenu;
}

void CAVMenu::AddMenuItem(AVMenuItem inItem, int32_t inPosition) {
    gAppViewHFT->menuAddMenuItem(mMenu, inItem, inPosition);
}

const char* CAVMenu::GetTitle() {
    int32_t length = gAppViewHFT->menuGetTitle(mMenu, sMenuTitle, kTitleCapacity);
    if (length < 0) length = 0;
    if (length > static_cast<int32_t>(kTitleCapacity)) length = kTitleCapacity;
    sMenuTitle[Utf8CompleteLength(sMenuTitle, static_cast<size_t>(length))] = '\0';
    return sMenuTitle;
}

const char* CAVMenu::GetName() { return gAppViewHFT->menuGetName(mMenu); }

int32_t CAVMenu::GetNumMenuItems() { return gAppViewHFT->menuGetNumMenuItems(mMenu); }

AVMenuItem CAVMenu::AcquireMenuItemByIndex(int32_t inIndex) {
    return gAppViewHFT->menuAcquireMenuItemByIndex(mMenu, inIndex);
}

int32_t CAVMenu::GetMenuItemIndex(AVMenuItem inItem) {
    return gAppViewHFT->menuGetMenuItemIndex(mMenu, inItem);
}
