// CAVMenu wraps a host menu (AppView) and holds one host reference on it while
// attached; the destructor gives it back. Host errors leave as HostError for
// the caller's frame, except where a constructor says otherwise.
#pragma once

#include <cstddef>
#include <cstdint>

#include "qmhost/AppViewTable.h"

class CAVMenu {
public:
    static constexpr size_t kTitleCapacity = 128;  // bytes of a title that GetTitle keeps

    CAVMenu() = default;  // no menu
    // A new menu of the plug-in's extension (Create).
    CAVMenu(const char* inTitle, const char* inName);
    // The first menu of that name in the host's menu bar; throws kErrNotFound
    // (8000) when there is none. Holds exactly one reference.
    explicit CAVMenu(const char* inName);
    // Attaches to a menu (taking a reference of its own; the caller keeps hers).
    explicit CAVMenu(AVMenu inMenu);
    virtual ~CAVMenu();  // releases its reference; never throws
    CAVMenu(const CAVMenu&) = delete;
    CAVMenu& operator=(const CAVMenu&) = delete;

    // A new empty menu in no place, attached.
    void Create(const char* inTitle, const char* inName);
    // Keeps the menu and takes one reference; a menu attached before is released.
    void Attach(AVMenu inMenu);
    // Puts a host item into the menu before inPosition (kAVMenuAppend: at the end).
    void AddMenuItem(AVMenuItem inItem, int32_t inPosition = kAVMenuAppend);
    // The title, at most kTitleCapacity bytes (never a cut character), in a
    // buffer shared by all menus that the next call overwrites.
    const char* GetTitle();

    // Forwarders to the host's menu queries.
    const char* GetName();
    int32_t GetNumMenuItems();
    // The item at inIndex with a reference that the caller must release, or null.
    AVMenuItem AcquireMenuItemByIndex(int32_t inIndex);
    int32_t GetMenuItemIndex(AVMenuItem inItem);  // -1 when not in it

    AVMenu GetMenu() const { return mMenu; }

private:
    void Release() noexcept;

    AVMenu mMenu = nullptr;
};
