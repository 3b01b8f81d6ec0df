#include "support/prefs/CPreferencesValueTags.h"

#include <bit>

#include "support/io/CBridgeStream.h"

namespace {

int32_t ReadInt32(CBridgeStream& ioStream, PrefReadContext& ioContext) {
    return static_cast<int32_t>(ReadPrefUInt32(ioStream, ioContext));
}

void WriteInt32(CBridgeStream& ioStream, int32_t inValue) {
    WritePrefUInt32(ioStream, static_cast<uint32_t>(inValue));
}

}  // namespace

// --- 'bool'

CPreferencesBooleanTag::CPreferencesBooleanTag() : CPreferencesTag(kPrefTypeBoolean) {}
CPreferencesBooleanTag::CPreferencesBooleanTag(uint32_t inId, bool inValue)
    : CPreferencesTag(inId, kPrefTypeBoolean, 4), mValue(inValue) {}
CPreferencesBooleanTag::~CPreferencesBooleanTag() = default;

std::unique_ptr<CPreferencesTag> CPreferencesBooleanTag::Clone() const {
    return std::make_unique<CPreferencesBooleanTag>(*this);
}

void CPreferencesBooleanTag::Write(CBridgeStream& ioStream) {
    SetSize(4);
    if (WriteHeader(ioStream)) WritePrefUInt32(ioStream, mValue ? 1 : 0);
}

void CPreferencesBooleanTag::DumpValue(FILE* ioFile, int) const {
    std::fprintf(ioFile, "[BOOLEEN] = %s\n", mValue ? "true" : "false");
}

void CPreferencesBooleanTag::SetValue(bool inValue) {
    mValue = inValue;
    SetSize(4);
}

std::unique_ptr<CPreferencesTag> CPreferencesBooleanTag::Read(uint32_t inId, uint32_t inType,
                                                              uint32_t inSize, CBridgeStream& ioStream,
                                                              PrefReadContext& ioContext) {
    RequirePrefPayload(ioStream, ioContext, inType, inSize, 4);
    auto tag = MakePrefReadTag<CPreferencesBooleanTag>(inId, inType, inSize);
    tag->mValue = ReadPrefUInt32(ioStream, ioContext) != 0;
    return tag;
}

// --- 'long'

CPreferencesLongTag::CPreferencesLongTag() : CPreferencesTag(kPrefTypeLong) {}
CPreferencesLongTag::CPreferencesLongTag(uint32_t inId, int32_t inValue)
    : CPreferencesTag(inId, kPrefTypeLong, 4), mValue(inValue) {}
CPreferencesLongTag::~CPreferencesLongTag() = default;

std::unique_ptr<CPreferencesTag> CPreferencesLongTag::Clone() const {
    return std::make_unique<CPreferencesLongTag>(*this);
}

void CPreferencesLongTag::Write(CBridgeStream& ioStream) {
    SetSize(4);
    if (WriteHeader(ioStream)) WriteInt32(ioStream, mValue);
}

void CPreferencesLongTag::DumpValue(FILE* ioFile, int) const {
    char bytes[5];
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(static_cast<uint32_t>(mValue) >> (8 * i));
    bytes[4] = '\0';
    std::fprintf(ioFile, "[LONG] = %d ('%.4s')\n", mValue, bytes);
}

void CPreferencesLongTag::SetValue(int32_t inValue) {
    mValue = inValue;
    SetSize(4);
}

std::unique_ptr<CPreferencesTag> CPreferencesLongTag::Read(uint32_t inId, uint32_t inType,
                                                           uint32_t inSize, CBridgeStream& ioStream,
                                                           PrefReadContext& ioContext) {
    RequirePrefPayload(ioStream, ioContext, inType, inSize, 4);
    auto tag = MakePrefReadTag<CPreferencesLongTag>(inId, inType, inSize);
    tag->mValue = ReadInt32(ioStream, ioContext);
    return tag;
}

// --- 'pont'

CPreferencesPointTag::CPreferencesPointTag() : CPreferencesTag(kPrefTypePoint) {}
CPreferencesPointTag::CPreferencesPointTag(uint32_t inId, const PrefPoint& inValue)
    : CPreferencesTag(inId, kPrefTypePoint, 8), mValue(inValue) {}
CPreferencesPointTag::~CPreferencesPointTag() = default;

std::unique_ptr<CPreferencesTag> CPreferencesPointTag::Clone() const {
    return std::make_unique<CPreferencesPointTag>(*this);
}

void CPreferencesPointTag::Write(CBridgeStream& ioStream) {
    SetSize(8);
    if (!WriteHeader(ioStream)) return;
    WriteInt32(ioStream, mValue.x);
    WriteInt32(ioStream, mValue.y);
}

void CPreferencesPointTag::DumpValue(FILE* ioFile, int) const {
    std::fprintf(ioFile, "[POINT] = { x(%d), y(%d)}\n", mValue.x, mValue.y);
}

void CPreferencesPointTag::SetValue(const PrefPoint& inValue) {
    mValue = inValue;
    SetSize(8);
}

std::unique_ptr<CPreferencesTag> CPreferencesPointTag::Read(uint32_t inId, uint32_t inType,
                                                            uint32_t inSize, CBridgeStream& ioStream,
                                                            PrefReadContext& ioContext) {
    RequirePrefPayload(ioStream, ioContext, inType, inSize, 8);
    auto tag = MakePrefReadTag<CPreferencesPointTag>(inId, inType, inSize);
    tag->mValue.x = ReadInt32(ioStream, ioContext);
    tag->mValue.y = ReadInt32(ioStream, ioContext);
    return tag;
}

// --- 'rect': stored y1, y2, x1, x2 while held and dumped as x1, y1, x2, y2.

CPreferencesRectTag::CPreferencesRectTag() : CPreferencesTag(kPrefTypeRect) {}
CPreferencesRectTag::CPreferencesRectTag(uint32_t inId, const PrefRect& inValue)
    : CPreferencesTag(inId, kPrefTypeRect, 16), mValue(inValue) {}
CPreferencesRectTag::~CPreferencesRectTag() = default;

std::unique_ptr<CPreferencesTag> CPreferencesRectTag::Clone() const {
    return std::make_unique<CPreferencesRectTag>(*this);
}

void CPreferencesRectTag::Write(CBridgeStream& ioStream) {
    SetSize(16);
    if (!WriteHeader(ioStream)) return;
    WriteInt32(ioStream, mValue.y1);
    WriteInt32(ioStream, mValue.y2);
    WriteInt32(ioStream, mValue.x1);
    WriteInt32(ioStream, mValue.x2);
}

void CPreferencesRectTag::DumpValue(FILE* ioFile, int) const {
    std::fprintf(ioFile, "[RECT] = { { x(%d), y(%d) } - { x(%d), y(%d) } }\n", mValue.x1,
                 mValue.y1, mValue.x2, mValue.y2);
}

void CPreferencesRectTag::SetValue(const PrefRect& inValue) {
    mValue = inValue;
    SetSize(16);
}

std::unique_ptr<CPreferencesTag> CPreferencesRectTag::Read(uint32_t inId, uint32_t inType,
                                                           uint32_t inSize, CBridgeStream& ioStream,
                                                           PrefReadContext& ioContext) {
    RequirePrefPayload(ioStream, ioContext, inType, inSize, 16);
    auto tag = MakePrefReadTag<CPreferencesRectTag>(inId, inType, inSize);
    tag->mValue.y1 = ReadInt32(ioStream, ioContext);
    tag->mValue.y2 = ReadInt32(ioStream, ioContext);
    tag->mValue.x1 = ReadInt32(ioStream, ioContext);
    tag->mValue.x2 = ReadInt32(ioStream, ioContext);
    return tag;
}

// --- 'flot'

CPreferencesFloatTag::CPreferencesFloatTag() : CPreferencesTag(kPrefTypeFloat) {}
CPreferencesFloatTag::CPreferencesFloatTag(uint32_t inId, double inValue)
    : CPreferencesTag(inId, kPrefTypeFloat, 8), mValue(inValue) {}
CPreferencesFloatTag::~CPreferencesFloatTag() = default;

std::unique_ptr<CPreferencesTag> CPreferencesFloatTag::Clone() const {
    return std::make_unique<CPreferencesFloatTag>(*this);
}

void CPreferencesFloatTag::Write(CBridgeStream& ioStream) {
    SetSize(8);
    if (!WriteHeader(ioStream)) return;
    const uint64_t bits = std::bit_cast<uint64_t>(mValue);
    WritePrefUInt32(ioStream, static_cast<uint32_t>(bits));
    WritePrefUInt32(ioStream, static_cast<uint32_t>(bits >> 32));
}

void CPreferencesFloatTag::DumpValue(FILE* ioFile, int) const {
    std::fprintf(ioFile, "[FLOAT] = %f\n", mValue);
}

void CPreferencesFloatTag::SetValue(double inValue) {
    mValue = inValue;
    SetSize(8);
}

std::unique_ptr<CPreferencesTag> CPreferencesFloatTag::Read(uint32_t inId, uint32_t inType,
                                                            uint32_t inSize, CBridgeStream& ioStream,
                                                            PrefReadContext& ioContext) {
    RequirePrefPayload(ioStream, ioContext, inType, inSize, 8);
    auto tag = MakePrefReadTag<CPreferencesFloatTag>(inId, inType, inSize);
    const uint64_t low = ReadPrefUInt32(ioStream, ioContext);
    const uint64_t high = ReadPrefUInt32(ioStream, ioContext);
    tag->mValue = std::bit_cast<double>(low | (high << 32));
    return tag;
}

// --- 'mark'

CPreferencesMarkTag::CPreferencesMarkTag() : CPreferencesTag(kPrefTypeMark) {}
CPreferencesMarkTag::CPreferencesMarkTag(uint32_t inId) : CPreferencesTag(inId, kPrefTypeMark, 0) {}
CPreferencesMarkTag::~CPreferencesMarkTag() = default;

std::unique_ptr<CPreferencesTag> CPreferencesMarkTag::Clone() const {
    return std::make_unique<CPreferencesMarkTag>(*this);
}

void CPreferencesMarkTag::Write(CBridgeStream& ioStream) {
    SetSize(0);
    WriteHeader(ioStream);
}

void CPreferencesMarkTag::DumpValue(FILE* ioFile, int) const { std::fprintf(ioFile, "[MARK]\n"); }

std::unique_ptr<CPreferencesTag> CPreferencesMarkTag::Read(uint32_t inId, uint32_t inType, uint32_t,
                                                           CBridgeStream&, PrefReadContext&) {
    return MakePrefReadTag<CPreferencesMarkTag>(inId, inType, 0);
}
