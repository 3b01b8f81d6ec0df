#include "cos/DirectSlotIndex.h"

namespace qmhost {

size_t DirectSlotIndex::home(const void* key) const {
    // Fibonacci hashing: the product's high bits, so that the low bits an
    // allocator's alignment leaves zero do not crowd the table.
    const uint64_t mixed = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(key)) * 0x9E3779B97F4A7C15ull;
    return static_cast<size_t>(mixed >> 32) & (mTable.size() - 1);
}

uint32_t DirectSlotIndex::find(const void* key) const {
    if (mTable.empty()) return kNone;
    const size_t mask = mTable.size() - 1;
    for (size_t i = home(key);; i = (i + 1) & mask) {
        const uint32_t slot = mTable[i];
        if (slot == kNone || mKeyOf(mContext, slot) == key) return slot;
    }
}

void DirectSlotIndex::insert(uint32_t slot) {
    if ((mSize + 1) * 4 > mTable.size() * 3) grow();
    const size_t mask = mTable.size() - 1;
    size_t i = home(mKeyOf(mContext, slot));
    while (mTable[i] != kNone) i = (i + 1) & mask;
    mTable[i] = slot;
    ++mSize;
}

void DirectSlotIndex::erase(const void* key) {
    if (mTable.empty()) return;
    const size_t mask = mTable.size() - 1;
    size_t i = home(key);
    while (mTable[i] != kNone && mKeyOf(mContext, mTable[i]) != key) i = (i + 1) & mask;
    if (mTable[i] == kNone) return;
    // Backward shift: each later entry of the run that may sit in the hole
    // (its home is not cyclically between the hole and itself) moves into it,
    // so that no search stops early at an empty place.
    for (size_t j = (i + 1) & mask; mTable[j] != kNone; j = (j + 1) & mask) {
        const size_t want = home(mKeyOf(mContext, mTable[j]));
        const bool stays = i <= j ? (i < want && want <= j) : (i < want || want <= j);
        if (stays) continue;
        mTable[i] = mTable[j];
        i = j;
    }
    mTable[i] = kNone;
    --mSize;
}

std::vector<uint32_t> DirectSlotIndex::all() const {
    std::vector<uint32_t> result;
    result.reserve(mSize);
    for (const uint32_t slot : mTable)
        if (slot != kNone) result.push_back(slot);
    return result;
}

void DirectSlotIndex::grow() {
    std::vector<uint32_t> old(mTable.empty() ? 16 : mTable.size() * 2, kNone);
    old.swap(mTable);
    mSize = 0;
    for (const uint32_t slot : old)
        if (slot != kNone) insert(slot);
}

}  // namespace qmhost
