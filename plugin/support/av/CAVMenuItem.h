// CAVMenuItem wraps a host menu item (AppView). A command derives from it and
// overrides ComputeEnabled, ComputeMarked and Execute; the host reaches them
// through three callbacks that all items share, with the wrapper as client
// data. The wrapper holds one host reference on its item while attached.
//
// The item stays in its host menu when the wrapper goes (Remove takes it out),
// but the callbacks this wrapper installed are taken off first, so the host
// never calls into a deleted wrapper.
//
// Host errors of the item operations are not caught here: they leave as
// HostError for the caller's host frame (CallHost). Destructors never throw.
#pragma once

#include <cstddef>
#include <cstdint>

#include "qmhost/AppViewTable.h"

class CAVMenuItem {
public:
    static constexpr size_t kTitleCapacity = 128;  // bytes of a title that GetTitle keeps

    // No item.
    CAVMenuItem();
    // Create with these arguments; on failure nothing is left attached and the
    // failure is thrown on.
    CAVMenuItem(const char* inTitle, const char* inName, char inShortcut, int16_t inShortcutFlags,
                AVMenu inSubmenu, int16_t inLongOnly, AVIcon inIcon);
    // Attach to an item (taking a reference of its own; the caller keeps hers).
    explicit CAVMenuItem(AVMenuItem inItem);
    // Takes off the callbacks it installed and releases its reference.
    virtual ~CAVMenuItem();
    CAVMenuItem(const CAVMenuItem&) = delete;
    CAVMenuItem& operator=(const CAVMenuItem&) = delete;

    // A new host item (in no menu) that holds inSubmenu (may be null), attached,
    // with the shared callbacks installed. A null title is "".
    virtual void Create(const char* inTitle, const char* inName, char inShortcut, int16_t inShortcutFlags,
                        AVMenu inSubmenu, int16_t inLongOnly, AVIcon inIcon);
    // Create with the title "-", the name and nothing else, then without callbacks.
    virtual void CreateSeparator(const char* inName);
    // Keeps the item and takes one reference on it; a previously attached item
    // is let go first (its callbacks from this wrapper taken off, its reference released).
    virtual void Attach(AVMenuItem inItem);
    // The item's submenu with a reference that the caller must release, or null.
    virtual AVMenu AcquireSubmenu();
    virtual bool GetLongOnly();
    // True when the item has a shortcut; outFlags may be null.
    virtual bool GetShortcut(char* outKey, int16_t* outFlags = nullptr);
    // The title, at most kTitleCapacity bytes (never a cut character), in a
    // buffer shared by all items that the next call overwrites.
    virtual const char* GetTitle();
    virtual void Remove();  // out of its menu
    virtual void SetTitle(const char* inTitle);
    // Sets the item's compute-enabled, compute-marked and execute procedures (in
    // this order) to the shared callbacks with this wrapper as client data.
    virtual void InstallCallbacks();
    // Sets the three procedures to none.
    virtual void RemoveCallbacks();

    // The command: base answers true, false and does nothing.
    virtual bool ComputeEnabled();
    virtual bool ComputeMarked();
    virtual void Execute();

    // Host queries on the item: its name (host-owned), and the enabled and
    // marked states as the host computes them (running the procedures).
    const char* GetName();
    bool IsEnabled();
    bool IsMarked();

    AVMenuItem GetMenuItem() const { return mMenuItem; }

protected:
    // Takes off this wrapper's callbacks and releases the item; never throws.
    void Detach() noexcept;

private:
    // Forgets the item (without releasing anything) and makes the shared
    // callbacks if this extension has none yet. Every constructor runs it.
    void InitCallbacks();

    AVMenuItem mMenuItem = nullptr;
    bool mCallbacksInstalled = false;
};

// The first host item of that name in the menu bar with a reference that the
// caller must release, or null.
AVMenuItem AcquireMenuItemByName(const char* inName);
