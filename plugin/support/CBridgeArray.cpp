#include "support/CBridgeArray.h"

#include <algorithm>

#include "support/Assertion.h"

namespace {
constexpr size_t kItemSize = sizeof(void*);
}  // namespace

CBridgeArray::CBridgeArray() = default;

CBridgeArray::CBridgeArray(int32_t) {}

CBridgeArray::~CBridgeArray() { delete mComparator; }

CBridgeArray& CBridgeArray::operator=(const CBridgeArray& inOther) {
    Copy(inOther);
    return *this;
}

void CBridgeArray::Copy(const CBridgeArray& inOther) {
    if (&inOther == this) return;
    mItems = inOther.mItems;
    mSorted = inOther.mSorted;
    mKeepSorted = inOther.mKeepSorted;
    const CBridgeArrayComparator* other = inOther.GetComparator();
    SetComparator(other ? other->Clone() : nullptr);
}

void CBridgeArray::SetComparator(CBridgeArrayComparator* inComparator) {
    if (inComparator == mComparator) return;  // never delete what we are handed
    delete mComparator;
    mComparator = inComparator;
}

CBridgeArrayComparator* CBridgeArray::GetComparator() const { return mComparator; }

int32_t CBridgeArray::GetCount() const { return static_cast<int32_t>(mItems.size()); }

int32_t CBridgeArray::IndexOf(const void* inItem) const {
    if (mSorted) return BinarySearch(inItem);
    const int32_t count = GetCount();
    for (int32_t i = 0; i < count; ++i) {
        void* item = nullptr;
        if (GetAt(i, item) && item == inItem) return i;
    }
    return kNotFound;
}

bool CBridgeArray::GetAt(int32_t inIndex, void*& outItem) const {
    const int32_t count = GetCount();
    if (inIndex == kLastIndex) inIndex = count - 1;
    if (inIndex < 0 || inIndex >= count) return false;
    outItem = mItems[static_cast<size_t>(inIndex)];
    return true;
}

bool CBridgeArray::GetByKey(CBridgeArrayKey inKey, void*& outItem) const {
    const int32_t index = IndexOfKey(inKey);
    if (index == kNotFound) return false;
    return GetAt(index, outItem);
}

int32_t CBridgeArray::IndexOfKey(CBridgeArrayKey inKey) const {
    const CBridgeArrayComparator* comparator = RequireComparator();
    if (mSorted) return SearchByKey(inKey);
    const int32_t count = GetCount();
    for (int32_t i = 0; i < count; ++i) {
        void* item = nullptr;
        if (GetAt(i, item) && comparator->MatchesKey(&item, kItemSize, inKey)) return i;
    }
    return kNotFound;
}

int32_t CBridgeArray::Append(void* inItem) { return InsertAt(kLastIndex, inItem); }

int32_t CBridgeArray::InsertAt(int32_t inIndex, void* inItem) {
    if (mKeepSorted && mSorted)
        inIndex = InsertionIndex(inItem);
    else
        mSorted = false;  // an insert at the caller's position may break the order
    if (inIndex == kLastIndex) inIndex = GetCount();
    if (inIndex < 0 || inIndex > GetCount()) return kNotFound;
    mItems.insert(mItems.begin() + inIndex, inItem);
    return inIndex;
}

void CBridgeArray::RemoveAt(int32_t inIndex) {
    const int32_t count = GetCount();
    if (inIndex == kLastIndex) inIndex = count - 1;
    if (inIndex < 0 || inIndex >= count) return;
    mItems.erase(mItems.begin() + inIndex);
}

void CBridgeArray::Remove(const void* inItem) {
    int32_t index = IndexOf(inItem);
    if (index == kNotFound) return;
    // In a sorted array IndexOf answers any element that compares equal; removing
    // that one would leave the caller's pointer in the array after its owner
    // deletes it. Remove only the very pointer asked for.
    void* found = nullptr;
    if (GetAt(index, found) && found != inItem) index = IndexOfIdentical(index, inItem);
    if (index != kNotFound) RemoveAt(index);
}

void CBridgeArray::RemoveAll() {
    for (int32_t i = GetCount() - 1; i >= 0; --i) RemoveAt(i);
}

void CBridgeArray::SetKeepSorted(bool inKeepSorted) { mKeepSorted = inKeepSorted; }

void CBridgeArray::Sort(bool inForce) {
    const CBridgeArrayComparator* comparator = RequireComparator();
    if (inForce) mSorted = false;
    if (!mSorted && mItems.size() >= 2) {
        // A heap sort in place, as the order of equal elements is not promised.
        auto less = [comparator](void* const& a, void* const& b) {
            return comparator->Compare(&a, &b, kItemSize, kItemSize) < 0;
        };
        std::make_heap(mItems.begin(), mItems.end(), less);
        std::sort_heap(mItems.begin(), mItems.end(), less);
    }
    mSorted = true;
}

int32_t CBridgeArray::BinarySearch(const void* inItem) const {
    const CBridgeArrayComparator* comparator = RequireComparator();
    int32_t low = 0;
    int32_t high = GetCount() - 1;
    while (low <= high) {
        const int32_t middle = low + (high - low) / 2;
        void* item = nullptr;
        GetAt(middle, item);
        const int32_t c = comparator->Compare(&item, &inItem, kItemSize, kItemSize);
        if (c == 0) return middle;
        if (c > 0)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return kNotFound;
}

int32_t CBridgeArray::SearchByKey(CBridgeArrayKey inKey) const {
    const CBridgeArrayComparator* comparator = RequireComparator();
    int32_t low = 0;
    int32_t high = GetCount() - 1;
    while (low <= high) {
        const int32_t middle = low + (high - low) / 2;
        void* item = nullptr;
        GetAt(middle, item);
        const int32_t c = comparator->CompareToKey(&item, kItemSize, inKey);
        if (c == 0) return middle;
        if (c > 0)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return kNotFound;
}

int32_t CBridgeArray::InsertionIndex(void* inItem) const {
    const CBridgeArrayComparator* comparator = RequireComparator();
    if (!mSorted) return kLastIndex;
    int32_t low = 0;
    int32_t high = GetCount() - 1;
    int32_t middle = 0;
    int32_t c = 0;
    while (low <= high) {
        middle = low + (high - low) / 2;
        void* item = nullptr;
        GetAt(middle, item);
        c = comparator->Compare(&item, &inItem, kItemSize, kItemSize);
        if (c == 0) break;
        if (c > 0)
            high = middle - 1;
        else
            low = middle + 1;
    }
    return c < 0 ? middle + 1 : middle;
}

const CBridgeArrayComparator* CBridgeArray::RequireComparator() const {
    const CBridgeArrayComparator* comparator = GetComparator();
    QM_ASSERT_TEXT(comparator, "mComparator != NULL");
    return comparator;
}

int32_t CBridgeArray::IndexOfIdentical(int32_t inIndex, const void* inItem) const {
    const CBridgeArrayComparator* comparator = GetComparator();
    if (!comparator) return kNotFound;
    auto equalAt = [&](int32_t i, bool& identical) {
        void* item = nullptr;
        if (!GetAt(i, item)) return false;
        identical = item == inItem;
        return comparator->Compare(&item, &inItem, kItemSize, kItemSize) == 0;
    };
    bool identical = false;
    for (int32_t i = inIndex; i >= 0 && equalAt(i, identical); --i)
        if (identical) return i;
    for (int32_t i = inIndex + 1; i < GetCount() && equalAt(i, identical); ++i)
        if (identical) return i;
    return kNotFound;
}
