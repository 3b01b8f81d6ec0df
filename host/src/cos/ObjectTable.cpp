#include "cos/ObjectTable.h"

#include <iterator>

namespace qmhost {
namespace {

// Object numbers below this are found through a vector (4 bytes an object);
// a damaged file's huge numbers go to the map instead of a huge vector.
constexpr int kVectorNumbersBelow = 1 << 22;

}  // namespace

ObjectTable::ObjectTable() : mDirect(&ObjectTable::directKey, this) {}

void ObjectTable::clear() {
    mDirect.clear();
    mSlots.clear();
    mLive = 0;
    mIndirectByNumber.clear();
    mIndirectOther.clear();
    mStrings.clear();
    mKeyNames.clear();
}

const void* ObjectTable::directKey(void* table, uint32_t slot) {
    return static_cast<ObjectTable*>(table)->mSlots[slot].getObjectPtr();
}

uint32_t ObjectTable::addSlot(QPDFObjectHandle object) {
    const auto slot = static_cast<uint32_t>(mSlots.size());
    mSlots.push_back(std::move(object));
    ++mLive;
    return slot;
}

uint32_t ObjectTable::slotFor(QPDFObjectHandle object) {
    if (object.isIndirect()) {
        const QPDFObjGen og = object.getObjGen();
        const int number = og.getObj();
        if (og.getGen() == 0 && number > 0 && number < kVectorNumbersBelow) {
            const auto index = static_cast<size_t>(number);
            if (index >= mIndirectByNumber.size()) mIndirectByNumber.resize(index + index / 2 + 1, 0);
            uint32_t& entry = mIndirectByNumber[index];
            if (entry == 0) entry = addSlot(std::move(object)) + 1;
            return entry - 1;
        }
        auto it = mIndirectOther.find(og);
        if (it != mIndirectOther.end()) return it->second;
        const uint32_t slot = addSlot(std::move(object));
        mIndirectOther.emplace(og, slot);
        return slot;
    }
    // A direct object is known by its underlying qpdf object: the slot keeps that
    // object alive, so the address cannot be reused while it is a key here.
    const uint32_t found = mDirect.find(object.getObjectPtr());
    if (found != DirectSlotIndex::kNone) return found;
    const uint32_t slot = addSlot(std::move(object));
    mDirect.insert(slot);
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
    if (it != mKeyNames.end() && has(it->second)) return it->second;
    const uint32_t slot = slotFor(QPDFObjectHandle::newName(name));
    mKeyNames[name] = slot;
    return slot;
}

// Nothing but the slot holds the object when its count of owners is the slot's
// and the copy taken here. An object made indirect since is held by its document.
bool ObjectTable::heldElsewhere(uint32_t slot) {
    QPDFObjectHandle& object = mSlots[slot];
    if (object.isIndirect()) return true;
    return object.getObj().use_count() > 2;
}

bool ObjectTable::releaseIfUnheld(uint32_t slot) {
    QPDFObjectHandle& object = mSlots[slot];
    if (!object.isInitialized() || heldElsewhere(slot)) return false;
    mDirect.erase(object.getObjectPtr());
    object = QPDFObjectHandle();
    mStrings.erase(slot);
    --mLive;
    return true;
}

size_t ObjectTable::releaseUnheld() {
    size_t released = 0;
    // A released container lets go of what it holds, which may leave those
    // unheld in turn: repeat until a pass releases nothing.
    for (bool again = true; again;) {
        again = false;
        // Over a copy of the slots: a release moves others within the index.
        for (const uint32_t slot : mDirect.all()) {
            if (!releaseIfUnheld(slot)) continue;
            ++released;
            again = true;
        }
    }
    for (auto it = mKeyNames.begin(); it != mKeyNames.end();)
        it = has(it->second) ? std::next(it) : mKeyNames.erase(it);
    return released;
}

size_t ObjectTable::releaseUnheldSince(uint32_t mark) {
    size_t released = 0;
    // As in releaseUnheld: a released container may leave what it held unheld.
    // A key name released here is made again when next asked for (keyNameSlot).
    for (bool again = true; again;) {
        again = false;
        for (size_t slot = mark; slot < mSlots.size(); ++slot) {
            if (!releaseIfUnheld(static_cast<uint32_t>(slot))) continue;
            ++released;
            again = true;
        }
    }
    return released;
}

}  // namespace qmhost
