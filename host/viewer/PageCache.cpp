#include "viewer/PageCache.h"

namespace qmviewer {

const CachedPage* PageCache::find(int page) {
    auto found = mEntries.find(page);
    if (found == mEntries.end()) return nullptr;
    mUse.splice(mUse.begin(), mUse, found->second.use);
    return &found->second.entry;
}

void PageCache::put(int page, CachedPage entry) {
    drop(page);
    mBytes += entry.image.sizeInBytes();
    mUse.push_front(page);
    mEntries.emplace(page, Slot{std::move(entry), mUse.begin()});
    while (mBytes > mBudget && mUse.size() > 1) drop(mUse.back());
}

void PageCache::clear() {
    mEntries.clear();
    mUse.clear();
    mBytes = 0;
}

void PageCache::drop(int page) {
    auto found = mEntries.find(page);
    if (found == mEntries.end()) return;
    mBytes -= found->second.entry.image.sizeInBytes();
    mUse.erase(found->second.use);
    mEntries.erase(found);
}

}  // namespace qmviewer
