// The list of tags of a preferences store: a CBridgeArray of CPreferencesTag
// pointers that owns its tags. Keep-sorted is on, but nothing sorts the list, so
// it keeps the order in which tags were added and every look-up is a linear scan
// (files keep the order of the records too).
#pragma once

#include <cstdint>

#include "support/CBridgeArray.h"
#include "support/CBridgeArrayComparator.h"

class CPreferencesTag;

// Orders tags by id: the 32-bit difference of the ids (which wraps, as the
// difference of two codes far apart does); the key is an id.
class CPreferencesTagListComparator : public CBridgeArrayComparator {
public:
    CPreferencesTagListComparator() = default;
    ~CPreferencesTagListComparator() override;

    int32_t Compare(const void* inItemA, const void* inItemB, size_t inSizeA,
                    size_t inSizeB) const override;
    int32_t CompareToKey(const void* inItem, size_t inSize, CBridgeArrayKey inKey) const override;
    CBridgeArrayComparator* Clone() const override;
};

class CPreferencesTagList : public CBridgeArray {
public:
    // Installs a CPreferencesTagListComparator and turns keep-sorted on.
    CPreferencesTagList();
    // Deletes every tag.
    ~CPreferencesTagList() override;

    // Deep copy: deletes the list's own tags, appends a Clone of each tag of the
    // other list in order and installs a Clone of its comparator. Copying onto
    // itself does nothing; copying from an array that is not a tag list only
    // deletes the own tags (its elements are not tags that could be cloned).
    void Copy(const CBridgeArray& inOther) override;
    using CBridgeArray::operator=;
    CPreferencesTagList& operator=(const CPreferencesTagList& inOther);

    // The tag at inIndex (kLastIndex: the last), still owned by the list; null
    // when the index denotes no tag.
    CPreferencesTag* TagAt(int32_t inIndex) const;
    // Deletes and removes the tag at inIndex; nothing when there is none.
    void DeleteAt(int32_t inIndex);
    // Deletes and removes every tag, the first one first.
    void DeleteAll();
};
