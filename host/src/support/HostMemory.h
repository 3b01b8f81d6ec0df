// Memory blocks handed to plug-ins. A limit (settable by tests) stands for
// memory that cannot be had: a request beyond it answers null.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

namespace qmhost {

class HostMemory {
public:
    void* allocate(uint64_t size);
    void release(void* block);
    void setLimit(uint64_t bytes) { mLimit = bytes; }
    uint64_t limit() const { return mLimit; }
    size_t liveBlocks() const { return mBlocks.size(); }

private:
    uint64_t mLimit = uint64_t(1) << 32;  // 4 GiB for one block
    std::unordered_map<void*, uint64_t> mBlocks;
};

HostMemory& hostMemory();

}  // namespace qmhost
