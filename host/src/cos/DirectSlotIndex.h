// The slots of a document's direct objects by the address of their qpdf
// object: an open-addressing table of slot numbers (4 bytes a slot, at most
// three quarters full) whose keys are read from the slots themselves, in
// place of a node-based map that costs some 40 bytes an entry. A table of a
// long run holds several direct objects a page (each page's resource and
// content dictionaries) for the document's life.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qmhost {

class DirectSlotIndex {
public:
    // keyOf(context, slot) answers the key of a slot in the index; it must not
    // change while the slot is in the index.
    using KeyOf = const void* (*)(void* context, uint32_t slot);
    static constexpr uint32_t kNone = UINT32_MAX;

    DirectSlotIndex(KeyOf keyOf, void* context) : mKeyOf(keyOf), mContext(context) {}

    // The slot whose key is key, or kNone.
    uint32_t find(const void* key) const;
    // Adds slot, whose key is in the index under no other slot.
    void insert(uint32_t slot);
    // Removes the slot of key; nothing when there is none.
    void erase(const void* key);
    size_t size() const { return mSize; }
    // Removes every slot.
    void clear() {
        mTable.clear();
        mSize = 0;
    }
    // Every slot in the index, in no particular order.
    std::vector<uint32_t> all() const;

private:
    size_t home(const void* key) const;
    void grow();

    KeyOf mKeyOf;
    void* mContext;
    std::vector<uint32_t> mTable;  // kNone where empty; size 0 or a power of two
    size_t mSize = 0;
};

}  // namespace qmhost
