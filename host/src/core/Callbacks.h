// Host callbacks: a procedure of an extension, made once and kept until the
// extension is unloaded. An ASCallback value is a number, checked on use.
#pragma once

#include <cstdint>
#include <vector>

#include "qmhost/QMBase.h"

namespace qmhost {

class Callbacks {
public:
    ASCallback make(ExtensionID extension, ASProc proc);
    // The procedure, or null for an unknown or forgotten callback.
    ASProc procedure(ASCallback callback) const;
    ExtensionID extensionOf(ASCallback callback) const;
    // Forgets every callback of the extension (at its unload).
    void forgetExtension(ExtensionID extension);

    template <class F>
    F as(ASCallback callback) const {
        return reinterpret_cast<F>(procedure(callback));
    }

private:
    struct Entry {
        ASProc procedure;
        ExtensionID extension;
        bool alive;
    };
    std::vector<Entry> mEntries;
};

Callbacks& callbacks();

}  // namespace qmhost
