// The cursor the host shows. The command-line host shows none, so it only keeps
// the current one (what a plug-in set and will show again); the viewer shows it.
#pragma once

#include <cstdint>
#include <functional>

#include "qmhost/AppViewTable.h"

namespace qmhost {

class Cursors {
public:
    AVCursor current() const { return mCurrent; }
    // Raises kHostErrBadHandle for a cursor that standard() never gave.
    void set(AVCursor cursor);
    // The standard cursor of that number, or null for an unknown number.
    AVCursor standard(int32_t id) const;
    // How many times set() changed the cursor (tests).
    int32_t changes() const { return mChanges; }
    // Back to the default arrow, no changes counted (tests).
    void reset();
    // Told the new cursor whenever set() changes it (the viewer shows it);
    // empty: nobody. Must not throw.
    void setListener(std::function<void(AVCursor)> listener) { mListener = std::move(listener); }

private:
    AVCursor mCurrent = nullptr;
    int32_t mChanges = 0;
    std::function<void(AVCursor)> mListener;
};

Cursors& cursors();

}  // namespace qmhost
