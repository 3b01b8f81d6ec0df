// Orders the elements of a CBridgeArray and matches them against a key.
//
// Items reach a comparator as the address of the stored element pointer (a
// `void* const*`), with the size sizeof(void*); a comparator reads the element
// through that address. The base class orders nothing: every item compares
// equal to every other item and to every key.
#pragma once

#include <cstddef>
#include <cstdint>

// An untyped key for CompareToKey: wide enough for a four-character id or a
// pointer.
typedef uintptr_t CBridgeArrayKey;

class CBridgeArrayComparator {
public:
    CBridgeArrayComparator() = default;
    virtual ~CBridgeArrayComparator();

    // Negative, zero or positive as item a orders before, with or after item b.
    virtual int32_t Compare(const void* inItemA, const void* inItemB, size_t inSizeA,
                            size_t inSizeB) const;
    // Compare (...) == 0.
    virtual bool IsEqual(const void* inItemA, const void* inItemB, size_t inSizeA,
                         size_t inSizeB) const;
    // Negative, zero or positive as the item orders before, with or after the key.
    virtual int32_t CompareToKey(const void* inItem, size_t inSize, CBridgeArrayKey inKey) const;
    // CompareToKey (...) == 0.
    virtual bool MatchesKey(const void* inItem, size_t inSize, CBridgeArrayKey inKey) const;
    // A new comparator of the same kind; the caller owns it.
    virtual CBridgeArrayComparator* Clone() const;

protected:
    CBridgeArrayComparator(const CBridgeArrayComparator&) = default;
    CBridgeArrayComparator& operator=(const CBridgeArrayComparator&) = default;
};
