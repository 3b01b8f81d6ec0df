#include "cos/ObjectTable.h"

namespace qmhost {

uint32_t ObjectTable::slotFor(QPDFObjectHandle object) {
    if (object.isIndirect()) {
        const QPDFObjGen og = object.getObjGen();
        auto it = mIndirect.find(og);
        if (it != mIndirect.end()) return it->second;
        const auto slot = static_cast<uint32_t>(mSlots.size());
        mSlots.push_back(object);
        mIndirect.emplace(og, slot);
        return slot;
    }
    // A direct object is known by its underlying qpdf object: the slot keeps that
    // object alive, so the address cannot be reused while it is a key here.
    const void* key = object.getObjectPtr();
    auto it = mDirect.find(key);
    if (it != mDirect.end()) return it->second;
    const auto slot = static_cast<uint32_t>(mSlots.size());
    mSlots.push_back(object);
    mDirect.emplace(key, slot);
    return slot;
}

const std::string& ObjectTable::keepString(uint32_t slot, std::string bytes) {
    auto& kept = mStrings[slot];
    if (!kept.empty() && *kept.back() == bytes) return *kept.back();
    // An older copy stays: a caller may still hold its pointer.
    kept.push_back(std::make_unique<std::string>(std::move(bytes)));
    return *kept.back();
}

uint32_t ObjectTable::keyNameSlot(const std::string& name) {
    auto it = mKeyNames.find(name);
    if (it != mKeyNames.end()) return it->second;
    const uint32_t slot = slotFor(QPDFObjectHandle::newName(name));
    mKeyNames.emplace(name, slot);
    return slot;
}

}  // namespace qmhost
