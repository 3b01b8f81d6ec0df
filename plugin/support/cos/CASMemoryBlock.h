// One block of host memory (AppSupport memMalloc / memFree), owned for the
// holder's lifetime.
#pragma once

#include <cstdint>

class CASMemoryBlock {
public:
    // Allocates size bytes; throws kErrNoMemory (-108) when the host cannot
    // give them (then nothing is owned).
    explicit CASMemoryBlock(uint64_t size);
    ~CASMemoryBlock();
    CASMemoryBlock(const CASMemoryBlock&) = delete;
    CASMemoryBlock& operator=(const CASMemoryBlock&) = delete;

    void* Get() const { return mBlock; }
    uint64_t GetSize() const { return mSize; }

private:
    void* mBlock = nullptr;
    uint64_t mSize = 0;
};
