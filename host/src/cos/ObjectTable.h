// The Cos objects that one document has handed out. Slot i holds the qpdf
// handle behind CosObj {document serial, i + 1}. Slot numbers are never used
// twice, so a released slot's handle stays stale for good.
//
// Ownership across the boundary: a CosObj is a plain value the plug-in may copy
// and keep, so the table cannot know when the plug-in is done with it. The rule:
// - an indirect object's slot lives as long as the document (qpdf holds the
//   object anyway; the slot costs a few bytes);
// - a direct object's slot lives as long as the object is held by something
//   besides this table (a dictionary, an array or a stream of the document);
// - releaseUnheld() drops the slots of direct objects that nothing else holds,
//   with their kept strings. The host calls it only when no plug-in code is
//   running (after a command has returned), so a handle of a new direct object
//   stays valid for the whole command that made it, and one that was put into
//   a container stays valid as long as it is there;
// - releaseUnheldSince(mark) does the same for the slots handed out since
//   mark() only, when the plug-in asks: it holds none of those handles (a
//   piece of work inside a long command is done, such as one page of a run),
//   so what that piece made and did not keep need not wait for the command's end.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <qpdf/QPDFObjGen.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "cos/DirectSlotIndex.h"

namespace qmhost {

class ObjectTable {
public:
    ObjectTable();
    ObjectTable(const ObjectTable&) = delete;
    ObjectTable& operator=(const ObjectTable&) = delete;
    // Drops every slot and kept string: each handle handed out goes stale.
    void clear();

    // The slot of a non-null object: one slot per indirect object (by object and
    // generation number) and one per underlying direct object, so asking twice
    // for the same object answers the same slot while it is held.
    uint32_t slotFor(QPDFObjectHandle object);
    // False for a slot never handed out or released.
    bool has(uint32_t slot) const { return slot < mSlots.size() && mSlots[slot].isInitialized(); }
    // slot must satisfy has().
    QPDFObjectHandle& at(uint32_t slot) { return mSlots[slot]; }
    // Slots handed out and not released.
    size_t liveCount() const { return mLive; }
    // Keeps bytes for the string in slot and answers the kept copy. A later call
    // with the same bytes answers the same copy; copies live as long as the slot.
    const std::string& keepString(uint32_t slot, std::string bytes);
    // The slot of a direct name object for a dictionary key ("/Key"), made once
    // (again after releaseUnheld has released it).
    uint32_t keyNameSlot(const std::string& name);
    // Releases the slots of direct objects that only this table holds (see the
    // rule above). Answers how many were released.
    size_t releaseUnheld();
    // The slot the next handle will get: a mark for releaseUnheldSince.
    uint32_t mark() const { return static_cast<uint32_t>(mSlots.size()); }
    // releaseUnheld over the slots from mark on only; a mark past the end
    // releases nothing. Answers how many were released.
    size_t releaseUnheldSince(uint32_t mark);

private:
    uint32_t addSlot(QPDFObjectHandle object);
    bool heldElsewhere(uint32_t slot);
    // Releases slot when it holds a direct object that nothing else holds.
    bool releaseIfUnheld(uint32_t slot);

    static const void* directKey(void* table, uint32_t slot);

    // A deque grows without copying: no slot moves, and no block twice the
    // size is wanted while the old one is still held.
    std::deque<QPDFObjectHandle> mSlots;
    size_t mLive = 0;
    // Indirect objects of generation 0 by object number (slot + 1, 0 for none);
    // other generations and very large numbers in a map.
    std::vector<uint32_t> mIndirectByNumber;
    std::map<QPDFObjGen, uint32_t> mIndirectOther;
    DirectSlotIndex mDirect;
    std::unordered_map<uint32_t, std::vector<std::unique_ptr<std::string>>> mStrings;
    std::unordered_map<std::string, uint32_t> mKeyNames;
};

}  // namespace qmhost
