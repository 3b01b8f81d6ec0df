#include "core/Callbacks.h"

#include "core/Raise.h"

namespace qmhost {

ASCallback Callbacks::make(ExtensionID extension, ASProc proc) {
    if (!proc) raise(kHostErrBadParameter, "makeCallback: null procedure");
    mEntries.push_back({proc, extension, true});
    return reinterpret_cast<ASCallback>(static_cast<uintptr_t>(mEntries.size()));
}

ASProc Callbacks::procedure(ASCallback callback) const {
    const uintptr_t n = reinterpret_cast<uintptr_t>(callback);
    if (n == 0 || n > mEntries.size() || !mEntries[n - 1].alive) return nullptr;
    return mEntries[n - 1].procedure;
}

ExtensionID Callbacks::extensionOf(ASCallback callback) const {
    const uintptr_t n = reinterpret_cast<uintptr_t>(callback);
    if (n == 0 || n > mEntries.size()) return nullptr;
    return mEntries[n - 1].extension;
}

void Callbacks::forgetExtension(ExtensionID extension) {
    for (auto& entry : mEntries)
        if (entry.extension == extension) entry.alive = false;
}

Callbacks& callbacks() {
    // Never destroyed: a plug-in may still be unloaded while statics go down.
    static Callbacks* registry = new Callbacks;
    return *registry;
}

}  // namespace qmhost
