#include "support/prefs/CPreferencesTagList.h"

#include <memory>

#include "support/prefs/CPreferencesTag.h"

namespace {
// Comparators receive the address of the stored element pointer.
uint32_t IdOf(const void* inItem) {
    return (*static_cast<const CPreferencesTag* const*>(inItem))->GetId();
}
}  // namespace

CPreferencesTagListComparator::~CPreferencesTagListComparator() = default;

int32_t CPreferencesTagListComparator::Compare(const void* inItemA, const void* inItemB, size_t,
                                               size_t) const {
    return static_cast<int32_t>(IdOf(inItemA) - IdOf(inItemB));
}

int32_t CPreferencesTagListComparator::CompareToKey(const void* inItem, size_t,
                                                    CBridgeArrayKey inKey) const {
    return static_cast<int32_t>(IdOf(inItem) - static_cast<uint32_t>(inKey));
}

CBridgeArrayComparator* CPreferencesTagListComparator::Clone() const {
    return new CPreferencesTagListComparator;
}

CPreferencesTagList::CPreferencesTagList() {
    SetComparator(new CPreferencesTagListComparator);
    SetKeepSorted(true);
}

CPreferencesTagList::~CPreferencesTagList() { DeleteAll(); }

void CPreferencesTagList::Copy(const CBridgeArray& inOther) {
    if (&inOther == this) return;
    DeleteAll();
    const auto* other = dynamic_cast<const CPreferencesTagList*>(&inOther);
    if (!other) return;
    for (int32_t i = 0; i < other->GetCount(); ++i) {
        std::unique_ptr<CPreferencesTag> clone = other->TagAt(i)->Clone();
        Append(clone.get());
        clone.release();  // owned by the list now
    }
    const CBridgeArrayComparator* comparator = other->GetComparator();
    SetComparator(comparator ? comparator->Clone() : nullptr);
}

CPreferencesTagList& CPreferencesTagList::operator=(const CPreferencesTagList& inOther) {
    Copy(inOther);
    return *this;
}

CPreferencesTag* CPreferencesTagList::TagAt(int32_t inIndex) const {
    CPreferencesTag* tag = nullptr;
    return GetAt(inIndex, tag) ? tag : nullptr;
}

void CPreferencesTagList::DeleteAt(int32_t inIndex) {
    CPreferencesTag* tag = TagAt(inIndex);
    if (!tag) return;
    RemoveAt(inIndex);
    delete tag;
}

void CPreferencesTagList::DeleteAll() {
    while (GetCount() > 0) DeleteAt(0);
}
