#include "support/CBridgeArrayComparator.h"

CBridgeArrayComparator::~CBridgeArrayComparator() = default;

int32_t CBridgeArrayComparator::Compare(const void*, const void*, size_t, size_t) const {
    return 0;
}

bool CBridgeArrayComparator::IsEqual(const void* inItemA, const void* inItemB, size_t inSizeA,
                                     size_t inSizeB) const {
    return Compare(inItemA, inItemB, inSizeA, inSizeB) == 0;
}

int32_t CBridgeArrayComparator::CompareToKey(const void*, size_t, CBridgeArrayKey) const {
    return 0;
}

bool CBridgeArrayComparator::MatchesKey(const void* inItem, size_t inSize,
                                        CBridgeArrayKey inKey) const {
    return CompareToKey(inItem, inSize, inKey) == 0;
}

CBridgeArrayComparator* CBridgeArrayComparator::Clone() const {
    return new CBridgeArrayComparator;
}
