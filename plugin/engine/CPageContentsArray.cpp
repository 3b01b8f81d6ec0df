#include "engine/CPageContentsArray.h"

CPageContentsArray::CPageContentsArray() = default;

CPageContentsArray::~CPageContentsArray() { RemoveAll(); }

std::string* CPageContentsArray::GetString(int32_t index) const {
    std::string* text = nullptr;
    // kLastIndex is a valid index of the base; here only real page numbers are.
    if (index < 0 || index >= GetCount() || !GetAt(index, text)) return nullptr;
    return text;
}

std::string* CPageContentsArray::MakeEmptyString(int32_t index) {
    if (index < 0) return nullptr;
    if (std::string* existing = GetString(index)) {
        existing->clear();
        return existing;
    }
    while (GetCount() <= index) Append(new std::string);
    return GetString(index);
}

void CPageContentsArray::RemoveAt(int32_t inIndex) {
    std::string* text = nullptr;
    if (!CBridgeArray::GetAt(inIndex, text)) return;
    CBridgeArray::RemoveAt(inIndex);
    delete text;
}
