#include "support/cos/CASMemoryBlock.h"

#include "support/ErrorCode.h"
#include "support/HostTables.h"

CASMemoryBlock::CASMemoryBlock(uint64_t size) {
    mBlock = gAppSupportHFT ? gAppSupportHFT->memMalloc(size) : nullptr;
    if (!mBlock) ThrowErrorCode(kErrNoMemory);
    mSize = size;
}

CASMemoryBlock::~CASMemoryBlock() {
    if (mBlock && gAppSupportHFT) gAppSupportHFT->memFree(mBlock);
}
