// Owns one handle the host made for the plug-in (a cabinet, a text) and gives
// it back when it goes, so that no path, an exception included, forgets it.
// Take() hands the handle to a new owner (a cabinet that took it, a command).
#pragma once

#include <utility>

#include "qmhost/HostError.h"
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
        try {
            Release()(Take());
        } catch (const HostError&) {
        }
    }

private:
    Handle mHandle = Handle();
};

struct HostCabRelease {
    void operator()(ASCab inCab) const {
        if (gASExtraHFT) gASExtraHFT->cabDestroy(inCab);
    }
};

struct HostTextRelease {
    void operator()(ASText inText) const {
        if (gASExtraHFT) gASExtraHFT->textDestroy(inText);
    }
};

// A cabinet (ASExtra cabNew, cabDup) the plug-in owns.
using CHostCab = THostHandle<ASCab, HostCabRelease>;
// A host text (ASExtra textFromUTF8) the plug-in owns.
using CHostText = THostHandle<ASText, HostTextRelease>;
