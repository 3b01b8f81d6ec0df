// Owns one handle the host made or lent for the plug-in (a cabinet, a text, a
// reference to a page, a menu or menu item, a tool button) and gives it back when it
// goes, so that no path, an exception included, forgets it. Take() hands the
// handle to a new owner (a cabinet that took it, a command, a toolbar).
#pragma once

#include <utility>

#include "support/CallbackGuard.h"
#include "support/HostTables.h"

template <class Handle, class Release>
class THostHandle {
public:
    THostHandle() = default;
    explicit THostHandle(Handle inHandle) : mHandle(inHandle) {}
    ~THostHandle() { Reset(); }
    THostHandle(const THostHandle&) = delete;
    THostHandle& operator=(const THostHandle&) = delete;
    THostHandle(THostHandle&& ioOther) noexcept : mHandle(std::exchange(ioOther.mHandle, Handle())) {}
    THostHandle& operator=(THostHandle&& ioOther) noexcept {
        if (this != &ioOther) {
            Reset();
            mHandle = std::exchange(ioOther.mHandle, Handle());
        }
        return *this;
    }

    Handle Get() const { return mHandle; }
    // The handle, no longer owned here.
    Handle Take() { return std::exchange(mHandle, Handle()); }
    // Gives the handle back now. Never throws: a host that refuses has dropped it already.
    void Reset() noexcept {
        if (!mHandle) return;
        TrapRun([this] { Release()(Take()); });
    }

private:
    Handle mHandle = Handle();
};

// Gives a handle back through a member of a host table (none when the table
// has gone with an unload).
template <auto& kTable, auto kMember>
struct THostTableRelease {
    template <class Handle>
    void operator()(Handle inHandle) const {
        if (kTable) (kTable->*kMember)(inHandle);
    }
};

using HostCabRelease = THostTableRelease<gASExtraHFT, &ASExtraTable::cabDestroy>;
using HostTextRelease = THostTableRelease<gASExtraHFT, &ASExtraTable::textDestroy>;
using HostPageRelease = THostTableRelease<gPDModelHFT, &PDModelTable::pageRelease>;
using HostMenuItemRelease = THostTableRelease<gAppViewHFT, &AppViewTable::menuItemRelease>;
using HostMenuRelease = THostTableRelease<gAppViewHFT, &AppViewTable::menuRelease>;
using HostToolButtonDestroy = THostTableRelease<gAppViewHFT, &AppViewTable::toolButtonDestroy>;

// A cabinet (ASExtra cabNew, cabDup) the plug-in owns.
using CHostCab = THostHandle<ASCab, HostCabRelease>;
// A host text (ASExtra textFromUTF8) the plug-in owns.
using CHostText = THostHandle<ASText, HostTextRelease>;
// A reference to a page that the plug-in acquired (PDModel pageAcquire).
using CHostPageRef = THostHandle<PDPage, HostPageRelease>;
// A reference to a menu item that the host handed over (an acquire by name or index).
using CHostMenuItemRef = THostHandle<AVMenuItem, HostMenuItemRelease>;
// A reference to a menu that the host handed over (a submenu acquired from its item).
using CHostMenuRef = THostHandle<AVMenu, HostMenuRelease>;
// A tool button the plug-in made and no toolbar holds yet.
using CHostToolButton = THostHandle<AVToolButton, HostToolButtonDestroy>;
