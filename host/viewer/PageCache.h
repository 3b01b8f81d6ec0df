// Drawn pages kept for redrawing the view: one image per page (the last one
// drawn for it, with the scale and content generation it was drawn at), the
// least recently used ones dropped once the images pass a byte budget, so that
// scrolling through any number of pages keeps memory bounded.
#pragma once

#include <QImage>
#include <cstdint>
#include <list>
#include <unordered_map>

namespace qmviewer {

struct CachedPage {
    QImage image;
    double scale = 0.0;       // pixels per point it was drawn at
    uint64_t generation = 0;  // the document contents it shows
};

class PageCache {
public:
    explicit PageCache(qsizetype budgetBytes) : mBudget(budgetBytes) {}

    // The page's image, or null; marks it as used.
    const CachedPage* find(int page);
    // Keeps the image for the page (replacing the one it had), then drops the
    // least recently used others while over budget. The newest always stays.
    void put(int page, CachedPage entry);
    void clear();

    qsizetype bytes() const { return mBytes; }
    qsizetype budget() const { return mBudget; }
    size_t count() const { return mEntries.size(); }

private:
    struct Slot {
        CachedPage entry;
        std::list<int>::iterator use;
    };
    void drop(int page);

    qsizetype mBudget;
    qsizetype mBytes = 0;
    std::list<int> mUse;  // most recently used first
    std::unordered_map<int, Slot> mEntries;
};

}  // namespace qmviewer
