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

class CPreferencesBooleanTag : public CPreferencesTag {
public:
    CPreferencesBooleanTag();  // false, size 0
    CPreferencesBooleanTag(uint32_t inId, bool inValue);
    CPreferencesBooleanTag(const CPreferencesBooleanTag&) = default;
    ~CPreferencesBooleanTag() override;

    std::unique_ptr<CPreferencesTag> Clone() const override;
    void Write(CBridgeStream& ioStream) override;
    void DumpValue(FILE* ioFile, int inIndent) const override;  // "[BOOLEEN] = true|false"

    bool GetValue() const { return mValue; }
    void SetValue(bool inValue);  // size 4

    static std::unique_ptr<CPreferencesTag> Read(uint32_t inId, uint32_t inType, uint32_t inSize,
                                                 CBridgeStream& ioStream, PrefReadContext& ioContext);

private:
    bool mValue = false;
};

class CPreferencesLongTag : public CPreferencesTag {
public:
    CPreferencesLongTag();
    CPreferencesLongTag(uint32_t inId, int32_t inValue);
    CPreferencesLongTag(const CPreferencesLongTag&) = default;
    ~CPreferencesLongTag() override;

    std::unique_ptr<CPreferencesTag> Clone() const override;
    void Write(CBridgeStream& ioStream) override;
    void DumpValue(FILE* ioFile, int inIndent) const override;  // "[LONG] = <n> ('<bytes>')"

    int32_t GetValue() const { return mValue; }
    void SetValue(int32_t inValue);  // size 4

    static std::unique_ptr<CPreferencesTag> Read(uint32_t inId, uint32_t inType, uint32_t inSize,
                                                 CBridgeStream& ioStream, PrefReadContext& ioContext);

private:
    int32_t mValue = 0;
};

class CPreferencesPointTag : public CPreferencesTag {
public:
    CPreferencesPointTag();
    CPreferencesPointTag(uint32_t inId, const PrefPoint& inValue);
    CPreferencesPointTag(const CPreferencesPointTag&) = default;
    ~CPreferencesPointTag() override;

    std::unique_ptr<CPreferencesTag> Clone() const override;
    void Write(CBridgeStream& ioStream) override;
    void DumpValue(FILE* ioFile, int inIndent) const override;

    const PrefPoint& GetValue() const { return mValue; }
    void SetValue(const PrefPoint& inValue);  // size 8

    static std::unique_ptr<CPreferencesTag> Read(uint32_t inId, uint32_t inType, uint32_t inSize,
                                                 CBridgeStream& ioStream, PrefReadContext& ioContext);

private:
    PrefPoint mValue;
};

class CPreferencesRectTag : public CPreferencesTag {
public:
    CPreferencesRectTag();
    CPreferencesRectTag(uint32_t inId, const PrefRect& inValue);
    CPreferencesRectTag(const CPreferencesRectTag&) = default;
    ~CPreferencesRectTag() override;

    std::unique_ptr<CPreferencesTag> Clone() const override;
    void Write(CBridgeStream& ioStream) override;
    void DumpValue(FILE* ioFile, int inIndent) const override;  // x1, y1, x2, y2

    const PrefRect& GetValue() const { return mValue; }
    void SetValue(const PrefRect& inValue);  // size 16

    static std::unique_ptr<CPreferencesTag> Read(uint32_t inId, uint32_t inType, uint32_t inSize,
                                                 CBridgeStream& ioStream, PrefReadContext& ioContext);

private:
    PrefRect mValue;
};

class CPreferencesFloatTag : public CPreferencesTag {
public:
    CPreferencesFloatTag();
    CPreferencesFloatTag(uint32_t inId, double inValue);
    CPreferencesFloatTag(const CPreferencesFloatTag&) = default;
    ~CPreferencesFloatTag() override;

    std::unique_ptr<CPreferencesTag> Clone() const override;
    void Write(CBridgeStream& ioStream) override;
    void DumpValue(FILE* ioFile, int inIndent) const override;

    double GetValue() const { return mValue; }
    void SetValue(double inValue);  // size 8

    static std::unique_ptr<CPreferencesTag> Read(uint32_t inId, uint32_t inType, uint32_t inSize,
                                                 CBridgeStream& ioStream, PrefReadContext& ioContext);

private:
    double mValue = 0.0;
};

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
