// An array of untyped pointers, the base of most lists in the plug-in.
//
// The array never owns its elements: removing an element only drops the
// pointer, so owners delete what they hold before removing it. It owns its
// comparator (if any), which orders elements and matches them against keys.
//
// Index conventions (signed 32-bit): kLastIndex (0x7ffffffe) denotes the last
// element when reading or removing, and the end (the count) when inserting;
// kNotFound (-1) means "not found".
//
// IndexOfKey, SearchByKey, InsertionIndex, Sort and BinarySearch need a
// comparator: without one they report a failed assertion (an alert, then the
// error code kErrAssertion is thrown). Nothing else throws.
//
// Sorted mode: the sorted flag is set only by Sort (or copied by Copy) and
// cleared by any insert at a caller's position. While it is set, IndexOf and
// IndexOfKey search binarily; with keep-sorted also set, inserts go to the
// position that keeps the order.
//
// Every operation that reads or removes goes through the array's own virtual
// operations (GetCount, GetAt, RemoveAt, InsertionIndex, BinarySearch,
// SearchByKey), so a subclass that overrides one changes the others. A subclass
// that overrides GetAt should add `using CBridgeArray::GetAt;` to keep the
// typed form below visible.
#pragma once

#include <cstdint>
#include <vector>

#include "support/CBridgeArrayComparator.h"

class CBridgeArray {
public:
    static constexpr int32_t kLastIndex = 0x7ffffffe;
    static constexpr int32_t kNotFound = -1;

    CBridgeArray();
    // inCountHint is a size hint and is not used.
    explicit CBridgeArray(int32_t inCountHint);
    CBridgeArray(const CBridgeArray&) = delete;
    // Deletes the comparator; the elements are left alone.
    virtual ~CBridgeArray();

    // Copy (inOther).
    virtual CBridgeArray& operator=(const CBridgeArray& inOther);
    // Shallow copy: the element pointers, both flags and a Clone of the other
    // array's comparator (none when it has none). Copying onto itself does nothing.
    virtual void Copy(const CBridgeArray& inOther);

    // Deletes the current comparator and takes ownership of inComparator (may be
    // null). Flags and order are left alone.
    virtual void SetComparator(CBridgeArrayComparator* inComparator);
    // The comparator, still owned by the array; null when none is set.
    virtual CBridgeArrayComparator* GetComparator() const;

    virtual int32_t GetCount() const;
    // Sorted: BinarySearch (inItem). Otherwise the first index holding exactly
    // this pointer (no comparator involved). kNotFound when absent.
    virtual int32_t IndexOf(const void* inItem) const;
    // kLastIndex reads the last element. Answers false (and leaves outItem alone)
    // when the index denotes no element.
    virtual bool GetAt(int32_t inIndex, void*& outItem) const;
    // GetAt (IndexOfKey (inKey), outItem); false when no element matches.
    virtual bool GetByKey(CBridgeArrayKey inKey, void*& outItem) const;
    // The first element that MatchesKey (binary search when sorted); needs a comparator.
    virtual int32_t IndexOfKey(CBridgeArrayKey inKey) const;

    // InsertAt (kLastIndex, inItem): answers the index used.
    virtual int32_t Append(void* inItem);
    // Inserts inItem at inIndex (kLastIndex = at the end); later elements move
    // up. When sorted and keep-sorted, inIndex is ignored and the item goes where
    // the order is kept; otherwise the sorted flag is cleared. Answers the index
    // used, or kNotFound (nothing inserted) for an index outside 0..count.
    virtual int32_t InsertAt(int32_t inIndex, void* inItem);
    // Removes one element (kLastIndex = the last); later elements move down.
    // An index that denotes no element is ignored.
    virtual void RemoveAt(int32_t inIndex);
    // Removes the element holding exactly inItem; nothing when it is absent.
    virtual void Remove(const void* inItem);
    // Removes every element; comparator and flags stay.
    virtual void RemoveAll();

    virtual void SetKeepSorted(bool inKeepSorted);
    // Needs a comparator. inForce clears the sorted flag first; an unsorted array
    // is then sorted into ascending Compare order (not stable). Sets the sorted flag.
    virtual void Sort(bool inForce);
    // Binary search with Compare; the index of an equal element or kNotFound.
    virtual int32_t BinarySearch(const void* inItem) const;
    // Binary search with CompareToKey; needs a comparator.
    virtual int32_t SearchByKey(CBridgeArrayKey inKey) const;
    // Where inItem would go to keep the order: kLastIndex when the array is not
    // sorted; before an equal element that the search meets. Needs a comparator.
    virtual int32_t InsertionIndex(void* inItem) const;

    bool IsSorted() const { return mSorted; }
    bool IsKeepSorted() const { return mKeepSorted; }

    // Typed forms of GetAt and GetByKey.
    template <class T>
    bool GetAt(int32_t inIndex, T*& outItem) const {
        void* item = nullptr;
        if (!GetAt(inIndex, item)) return false;
        outItem = static_cast<T*>(item);
        return true;
    }
    template <class T>
    bool GetByKey(CBridgeArrayKey inKey, T*& outItem) const {
        void* item = nullptr;
        if (!GetByKey(inKey, item)) return false;
        outItem = static_cast<T*>(item);
        return true;
    }

protected:
    // The comparator; a missing one is a programming error, reported by an
    // assertion (alert, then kErrAssertion is thrown).
    const CBridgeArrayComparator* RequireComparator() const;
    // The index of an element holding exactly inItem within the run of elements
    // that compare equal to it around inIndex; kNotFound when none.
    int32_t IndexOfIdentical(int32_t inIndex, const void* inItem) const;

private:
    std::vector<void*> mItems;
    CBridgeArrayComparator* mComparator = nullptr;
    bool mSorted = false;
    bool mKeepSorted = false;
};
