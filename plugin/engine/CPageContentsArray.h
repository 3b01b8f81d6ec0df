// CPageContentsArray: the decoded content of source pages, one string per
// source page index. Slot i holds the whole content of page i; lower slots
// that were never read hold empty strings. The array owns its strings: they
// are deleted by RemoveAt, RemoveAll and the destructor.
#pragma once

#include <cstdint>
#include <string>

#include "support/CBridgeArray.h"

class CPageContentsArray : public CBridgeArray {
public:
    CPageContentsArray();
    // Deletes every string.
    ~CPageContentsArray() override;

    // The string at index, or null when the array holds none there.
    std::string* GetString(int32_t index) const;
    // The string at index, emptied; when the array is shorter, empty strings are
    // appended up to index. Null for a negative index.
    std::string* MakeEmptyString(int32_t index);

    // Deletes the string it removes (RemoveAll and Remove go through it).
    void RemoveAt(int32_t inIndex) override;

    using CBridgeArray::GetAt;
};
