// Host exception frames and page references for the element engine. A frame
// catches only the host's error type: the host's text goes into the
// one-message error buffer and the operation ends with its failure result.
// In-house error codes (an undo record that cannot be made) pass out.
#pragma once

#include <cstdint>

#include "qmhost/HostError.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

namespace engine {

// Runs body; true when it ran through, false after a host error.
template <class F>
bool HostFrame(F&& body) {
    try {
        body();
        return true;
    } catch (const HostError& error) {
        TakeHostError(error);
        return false;
    }
}

// The atom of a name; may raise (inside a frame).
inline ASAtom Atom(const char* text) { return gCoreHFT->atomFromString(text); }

// One acquired page, given back when the holder goes (also after a host
// error); with notify set the host is first told that the page's content
// changed.
class PageRef {
public:
    PageRef() = default;
    PageRef(PDDoc doc, int32_t index, bool notify = false) { Acquire(doc, index, notify); }
    ~PageRef() { Release(); }
    PageRef(const PageRef&) = delete;
    PageRef& operator=(const PageRef&) = delete;

    void Acquire(PDDoc doc, int32_t index, bool notify) {
        Release();
        mPage = gPDModelHFT->docAcquirePage(doc, index);
        mNotify = notify;
    }
    void Release() {
        if (!mPage) return;
        const PDPage page = mPage;
        mPage = nullptr;
        try {
            if (mNotify) gPDModelHFT->pageNotifyContentsDidChange(page);
        } catch (const HostError&) {
        }
        try {
            gPDModelHFT->pageRelease(page);
        } catch (const HostError&) {
        }
    }
    PDPage get() const { return mPage; }
    operator PDPage() const { return mPage; }

private:
    PDPage mPage = nullptr;
    bool mNotify = false;
};

}  // namespace engine
