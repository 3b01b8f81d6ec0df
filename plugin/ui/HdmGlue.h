// The glue over a host's dialog manager (HDM), reached through the optional
// "AppViewSuites" table: acquiring and releasing its suites, a host context
// that makes the plug-in's resources the dialogs' context while it lives, and
// helpers for dialog items. The plug-in's own dialogs are Qt widgets and do not
// use it; our hosts do not offer the table, so acquiring finds nothing and
// every helper answers its default.
#pragma once

#include <cstdint>
#include <string>

#include "qmhost/AppViewSuitesTable.h"

// Acquires every HDM suite the host has, in their fixed order, and makes a new
// host context. Without the table: nothing is acquired. Never throws.
void AcquireHdmSuites() noexcept;
// Deletes the host context and releases every suite that was acquired. Safe
// to call at any time, also twice. Never throws.
void ReleaseHdmSuites() noexcept;

// Whether the table is there and its manager is available now.
bool HdmAvailable() noexcept;
// The value the table handed out first when the suites were acquired; 0 when none.
int32_t HdmFirstValue() noexcept;
// An acquired suite by its name, null when the host has none.
const void* GetHdmSuite(const char* inName) noexcept;

// While it lives the dialogs' resource context is the plug-in's and, when the
// host has a Win Host suite, the owner window is inWindow; both are put back
// when it goes.
class CHdmHostContext {
public:
    explicit CHdmHostContext(void* inWindow = nullptr, void* inModule = nullptr);
    virtual ~CHdmHostContext();
    CHdmHostContext(const CHdmHostContext&) = delete;
    CHdmHostContext& operator=(const CHdmHostContext&) = delete;

    void* GetModule() const { return mModule; }

private:
    void* mModule = nullptr;
    void* mSavedContext = nullptr;
    void* mSavedParent = nullptr;
};

// The context made by AcquireHdmSuites; null when none.
CHdmHostContext* GetHdmHostContext() noexcept;

// Item helpers: empty text and false without the Item suite.
std::string GetHdmItemText(HdmItem inItem);
void SetHdmItemText(HdmItem inItem, const std::string& inText);
// Whether the item is one of the list types (popup, scrolling popup, list box,
// text-edit popups).
bool IsHdmListItem(HdmItem inItem);
