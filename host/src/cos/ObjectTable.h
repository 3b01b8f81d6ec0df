// The Cos objects that one document has handed out. Slot i holds the qpdf
// handle behind CosObj {document serial, i + 1}; slots live until the document
// closes, so a handle stays valid for the document's life.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>

namespace qmhost {

class ObjectTable {
public:
    // The slot of a non-null object: one slot per indirect object (by object and
    // generation number) and one per underlying direct object, so asking twice
    // for the same object answers the same slot.
    uint32_t slotFor(QPDFObjectHandle object);
    bool has(uint32_t slot) const { return slot < mSlots.size(); }
    // slot must satisfy has().
    QPDFObjectHandle& at(uint32_t slot) { return mSlots[slot]; }
    size_t size() const { return mSlots.size(); }
    // Keeps bytes for the string in slot and answers the kept copy. A later call
    // with the same bytes answers the same copy; copies live as long as the table.
    const std::string& keepString(uint32_t slot, std::string bytes);
    // The slot of a direct name object for a dictionary key ("/Key"), made once.
    uint32_t keyNameSlot(const std::string& name);

private:
    std::vector<QPDFObjectHandle> mSlots;
    std::map<QPDFObjGen, uint32_t> mIndirect;
    std::unordered_map<const void*, uint32_t> mDirect;
    std::unordered_map<uint32_t, std::vector<std::unique_ptr<std::string>>> mStrings;
    std::unordered_map<std::string, uint32_t> mKeyNames;
};

}  // namespace qmhost
