// The tags that hold a fixed-size value: boolean, long, point, rectangle,
// floating point, and the mark (no value). Payloads in a file:
//   'bool'  4 bytes, 1 when true, 0 when false (any non-zero value reads as true)
//   'long'  4 bytes, signed
//   'pont'  8 bytes: x, then y, signed
//   'rect'  16 bytes, signed, in the order y1, y2, x1, x2
//   'flot'  8 bytes, an IEEE 754 double, little-endian
//   'mark'  nothing
// A record may be longer than its value (the rest is skipped); a shorter one is
// damage. Written again, a record has exactly its value's size.
//
// Each class has a reader with the signature of PrefTagReader
// (PreferenceTagTypes.h) that makes a tag from a record whose header has been
// read; it fails (kErrPrefsDamaged) on a short payload.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "support/prefs/CPreferencesTag.h"

struct PrefPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const PrefPoint&) const = default;
};

struct PrefRect {
    int32_t x1 = 0;
    int32_t y1 = 0;
    int32_t x2 = 0;
    int32_t y2 = 0;
    bool operator==(const PrefRect&) const = default;
};

// A tag whose record (type code Type) holds one value of a fixed size: the
// value as a fixed number of little-endian 32-bit words.
template <class Value, uint32_t Type>
class CPreferencesValueTag : public CPreferencesTag {
public:
    // The payload's size in bytes.
    static const uint32_t kSize;

    CPreferencesValueTag();  // the value's default, size 0
    CPreferencesValueTag(uint32_t inId, const Value& inValue);
    CPreferencesValueTag(const CPreferencesValueTag&) = default;
    ~CPreferencesValueTag() override;

    std::unique_ptr<CPreferencesTag> Clone() const override;
    void Write(CBridgeStream& ioStream) override;
    void DumpValue(FILE* ioFile, int inIndent) const override;

    const Value& GetValue() const { return mValue; }
    void SetValue(const Value& inValue);  // size kSize

    static std::unique_ptr<CPreferencesTag> Read(uint32_t inId, uint32_t inType, uint32_t inSize,
                                                 CBridgeStream& ioStream, PrefReadContext& ioContext);

private:
    Value mValue{};
};

// Dumped "[BOOLEEN] = true|false".
using CPreferencesBooleanTag = CPreferencesValueTag<bool, kPrefTypeBoolean>;
// Dumped "[LONG] = <n> ('<its four bytes>')".
using CPreferencesLongTag = CPreferencesValueTag<int32_t, kPrefTypeLong>;
// Dumped "[POINT] = { x(<x>), y(<y>)}".
using CPreferencesPointTag = CPreferencesValueTag<PrefPoint, kPrefTypePoint>;
// Kept y1, y2, x1, x2 in a file and dumped x1, y1, x2, y2.
using CPreferencesRectTag = CPreferencesValueTag<PrefRect, kPrefTypeRect>;
// Dumped "[FLOAT] = <%f>".
using CPreferencesFloatTag = CPreferencesValueTag<double, kPrefTypeFloat>;

extern template class CPreferencesValueTag<bool, kPrefTypeBoolean>;
extern template class CPreferencesValueTag<int32_t, kPrefTypeLong>;
extern template class CPreferencesValueTag<PrefPoint, kPrefTypePoint>;
extern template class CPreferencesValueTag<PrefRect, kPrefTypeRect>;
extern template class CPreferencesValueTag<double, kPrefTypeFloat>;

class CPreferencesMarkTag : public CPreferencesTag {
public:
    CPreferencesMarkTag();
    explicit CPreferencesMarkTag(uint32_t inId);
    CPreferencesMarkTag(const CPreferencesMarkTag&) = default;
    ~CPreferencesMarkTag() override;

    std::unique_ptr<CPreferencesTag> Clone() const override;
    void Write(CBridgeStream& ioStream) override;
    void DumpValue(FILE* ioFile, int inIndent) const override;  // "[MARK]"

    // Reads nothing; the tag's size is 0 whatever the record's was.
    static std::unique_ptr<CPreferencesTag> Read(uint32_t inId, uint32_t inType, uint32_t inSize,
                                                 CBridgeStream& ioStream, PrefReadContext& ioContext);
};
