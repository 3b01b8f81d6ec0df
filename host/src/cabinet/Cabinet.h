// The cabinet model behind ASCab handles: a sorted map of keys to typed values,
// where a sub-cabinet or text is owned by the entry that holds it and a pointer
// record is shared by every entry that holds it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "cabinet/HostText.h"
#include "qmhost/QMBase.h"

namespace qmhost {

class Cabinet;

// A pointer value: the pointer, its type name and its destroy procedure, which
// runs once, when the last entry that shares the record lets it go.
class PointerRecord {
public:
    PointerRecord(std::string type, void* pointer, ASCallback destroy)
        : mType(std::move(type)), mPointer(pointer), mDestroy(destroy) {}
    ~PointerRecord();
    PointerRecord(const PointerRecord&) = delete;
    PointerRecord& operator=(const PointerRecord&) = delete;

    const std::string& type() const { return mType; }
    void* pointer() const { return mPointer; }

private:
    std::string mType;
    void* mPointer;
    ASCallback mDestroy;
};

struct StringValue {
    std::string text;
};
struct BinaryValue {
    std::string bytes;
};

// The alternatives in the order of the kASCabValue numbers (index + 1).
using CabinetValue = std::variant<int32_t, bool, double, StringValue, std::unique_ptr<HostText>,
                                  BinaryValue, std::unique_ptr<Cabinet>,
                                  std::shared_ptr<PointerRecord>>;

// The kASCabValue number of a value.
int32_t valueTypeOf(const CabinetValue& value);

class Cabinet {
public:
    using Entries = std::map<std::string, CabinetValue, std::less<>>;

    // Registers a handle for the new cabinet; the destructor forgets it.
    Cabinet();
    ~Cabinet();
    Cabinet(const Cabinet&) = delete;
    Cabinet& operator=(const Cabinet&) = delete;

    ASCab handle() const { return mHandle; }
    // The cabinet whose entry holds this one; null for a free-standing cabinet.
    Cabinet* parent() const { return mParent; }
    // 1 for a free-standing cabinet, one more per parent above.
    int depth() const;
    // 1 for a cabinet without sub-cabinets, one more per level of them.
    int height() const;
    // Whether this cabinet is `other` or holds it at any depth.
    bool contains(const Cabinet& other) const;

    const Entries& entries() const { return mEntries; }
    const CabinetValue* find(std::string_view key) const;
    // Puts the value under the key, replacing what was there. A sub-cabinet or
    // text in the value becomes this cabinet's. The replaced value is released
    // only once the entries are consistent again, since releasing it may call a
    // pointer's destroy procedure, which may call back into cabinets.
    void put(std::string_view key, CabinetValue value);
    // Answers whether the key was there.
    bool remove(std::string_view key);
    void clear();
    // Takes every entry out (this cabinet is empty afterwards).
    Entries takeEntries();

    // A deep copy: sub-cabinets and texts copied, pointer records shared.
    std::unique_ptr<Cabinet> clone() const;

private:
    void adopt(CabinetValue& value);

    Entries mEntries;
    Cabinet* mParent = nullptr;
    ASCab mHandle;
};

}  // namespace qmhost
