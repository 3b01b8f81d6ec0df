#include "support/HostMemory.h"

#include <cstdlib>

namespace qmhost {

void* HostMemory::allocate(uint64_t size) {
    if (size > mLimit) return nullptr;
    void* block = std::malloc(size == 0 ? 1 : static_cast<size_t>(size));
    if (block) mBlocks.emplace(block, size);
    return block;
}

void HostMemory::release(void* block) {
    if (!block) return;
    auto it = mBlocks.find(block);
    if (it == mBlocks.end()) return;  // not ours: never free a foreign pointer
    mBlocks.erase(it);
    std::free(block);
}

HostMemory& hostMemory() {
    // Never destroyed: a plug-in may still be unloaded while statics go down.
    static HostMemory* memory = new HostMemory;
    return *memory;
}

}  // namespace qmhost
