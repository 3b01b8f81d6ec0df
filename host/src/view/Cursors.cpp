#include "view/Cursors.h"

#include "core/Raise.h"

namespace qmhost {
namespace {

// A standard cursor's handle is its number with the top bit set, so it can be
// told from a stray number and from null (the default arrow).
constexpr uintptr_t kCursorTag = uintptr_t{1} << (sizeof(uintptr_t) * 8 - 1);

bool knownId(int32_t id) { return id == kAVCursorWait; }

}  // namespace

void Cursors::set(AVCursor cursor) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(cursor);
    if (cursor && ((value & kCursorTag) == 0 || !knownId(static_cast<int32_t>(value & ~kCursorTag))))
        raise(kHostErrBadHandle, "a cursor the host did not give");
    if (cursor == mCurrent) return;
    ++mChanges;
    mCurrent = cursor;
    if (mListener) mListener(cursor);
}

AVCursor Cursors::standard(int32_t id) const {
    if (!knownId(id)) return nullptr;
    return reinterpret_cast<AVCursor>(kCursorTag | static_cast<uintptr_t>(id));
}

void Cursors::reset() {
    mCurrent = nullptr;
    mChanges = 0;
}

Cursors& cursors() {
    static Cursors* instance = new Cursors;
    return *instance;
}

}  // namespace qmhost
