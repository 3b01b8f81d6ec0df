// DirectSlotIndex: slots found by key after any mix of insertions and
// removals, checked against a plain map.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "cos/DirectSlotIndex.h"

namespace {

using qmhost::DirectSlotIndex;

// Keys by slot, as the object table reads them from its slots.
struct Keys {
    std::vector<const void*> bySlot;
    static const void* of(void* keys, uint32_t slot) { return static_cast<Keys*>(keys)->bySlot[slot]; }
};

TEST(DirectSlotIndex, FindsExactlyWhatIsInAfterInsertionsAndRemovals) {
    struct Row {
        const char* name;
        size_t slots;
        uintptr_t stride;  // between keys: an allocator's alignment, or none
        int removeOneIn;   // every n-th slot removed (0: at random, half of them)
    };
    const Row rows[] = {
        {"a few, none removed", 5, 16, 1000},
        {"enough to grow several times", 3000, 16, 1000},
        {"every other removed", 3000, 16, 2},
        {"most removed", 2000, 8, 1},
        {"keys one byte apart", 1500, 1, 3},
        {"keys far apart, removed at random", 4000, 4096, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Keys keys;
        DirectSlotIndex index(&Keys::of, &keys);
        std::map<const void*, uint32_t> expected;
        for (uint32_t slot = 0; slot < row.slots; ++slot) {
            const void* key = reinterpret_cast<const void*>(0x10000 + slot * row.stride);
            keys.bySlot.push_back(key);
            EXPECT_EQ(index.find(key), DirectSlotIndex::kNone);
            index.insert(slot);
            expected[key] = slot;
        }
        std::mt19937 random(7);
        for (uint32_t slot = 0; slot < row.slots; ++slot) {
            const bool remove = row.removeOneIn ? slot % static_cast<uint32_t>(row.removeOneIn) == 0 : random() % 2 == 0;
            if (!remove) continue;
            index.erase(keys.bySlot[slot]);
            index.erase(keys.bySlot[slot]);  // a second time: nothing
            expected.erase(keys.bySlot[slot]);
        }
        EXPECT_EQ(index.size(), expected.size());
        size_t wrong = 0;
        for (uint32_t slot = 0; slot < row.slots; ++slot) {
            const auto it = expected.find(keys.bySlot[slot]);
            wrong += index.find(keys.bySlot[slot]) != (it == expected.end() ? DirectSlotIndex::kNone : it->second);
        }
        EXPECT_EQ(wrong, 0u);
        std::vector<uint32_t> all = index.all();
        std::sort(all.begin(), all.end());
        std::vector<uint32_t> left;
        for (const auto& [key, slot] : expected) left.push_back(slot);
        std::sort(left.begin(), left.end());
        EXPECT_EQ(all, left);
        // What was removed can come back under a new slot.
        if (row.slots > 0 && expected.count(keys.bySlot[0]) == 0) {
            keys.bySlot.push_back(keys.bySlot[0]);
            const auto again = static_cast<uint32_t>(keys.bySlot.size() - 1);
            index.insert(again);
            EXPECT_EQ(index.find(keys.bySlot[0]), again);
        }
        index.clear();
        EXPECT_EQ(index.size(), 0u);
        EXPECT_EQ(index.find(keys.bySlot[row.slots - 1]), DirectSlotIndex::kNone);
    }
}

}  // namespace
