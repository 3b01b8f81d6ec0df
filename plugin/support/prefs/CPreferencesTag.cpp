#include "support/prefs/CPreferencesTag.h"

#include "support/io/CBridgeStream.h"

std::string FourCharCodeText(uint32_t inCode) {
    std::string text(4, '?');
    for (int i = 0; i < 4; ++i) {
        const unsigned char c = static_cast<unsigned char>(inCode >> (24 - 8 * i));
        if (c >= 0x20 && c < 0x7f) text[static_cast<size_t>(i)] = static_cast<char>(c);
    }
    return text;
}

void FailPrefRead(PrefReadContext& ioContext, const CBridgeStream& inStream,
                  const std::string& inProblem) {
    ioContext.problem = inProblem + " (at byte " + std::to_string(inStream.GetPosition()) + ")";
    ThrowErrorCode(kErrPrefsDamaged);
}

void ReadPrefBytes(CBridgeStream& ioStream, PrefReadContext& ioContext, void* outBytes,
                   size_t inCount) {
    if (inCount == 0) return;
    if (ioStream.Read(outBytes, inCount) != inCount)
        FailPrefRead(ioContext, ioStream, "the data ends inside a record");
}

uint32_t ReadPrefUInt32(CBridgeStream& ioStream, PrefReadContext& ioContext) {
    unsigned char bytes[4];
    ReadPrefBytes(ioStream, ioContext, bytes, sizeof bytes);
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

void RequirePrefPayload(CBridgeStream& ioStream, PrefReadContext& ioContext, uint32_t inType,
                        uint32_t inSize, uint32_t inNeeded) {
    // A short payload would have the reader take the next record's bytes as its value.
    if (inSize < inNeeded)
        FailPrefRead(ioContext, ioStream,
                     "a '" + FourCharCodeText(inType) + "' record of " + std::to_string(inSize) +
                         " bytes is shorter than its value (" + std::to_string(inNeeded) + " bytes)");
}

void WritePrefUInt32(CBridgeStream& ioStream, uint32_t inValue) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(inValue), static_cast<unsigned char>(inValue >> 8),
        static_cast<unsigned char>(inValue >> 16), static_cast<unsigned char>(inValue >> 24)};
    ioStream.Write(bytes, sizeof bytes);
}

void DumpPrefIndent(FILE* ioFile, int inIndent) {
    for (int i = 0; i < inIndent; ++i) std::fputc('\t', ioFile);
}

CPreferencesTag::CPreferencesTag(uint32_t inType) : mType(inType) {}

CPreferencesTag::CPreferencesTag(uint32_t inId, uint32_t inType, uint32_t inSize)
    : mId(inId), mType(inType), mSize(inSize) {}

CPreferencesTag::~CPreferencesTag() = default;

void CPreferencesTag::SetId(uint32_t inId) { mId = inId; }
uint32_t CPreferencesTag::GetId() const { return mId; }
void CPreferencesTag::SetType(uint32_t inType) { mType = inType; }
uint32_t CPreferencesTag::GetType() const { return mType; }
void CPreferencesTag::SetSize(uint32_t inSize) { mSize = inSize; }
uint32_t CPreferencesTag::GetSize() const { return mSize; }
void CPreferencesTag::SetWriteEnabled(bool inEnabled) { mWriteEnabled = inEnabled; }
bool CPreferencesTag::IsWriteEnabled() const { return mWriteEnabled; }

namespace {
// The four bytes of a value in memory order (least significant first), as text.
void MemoryOrderBytes(uint32_t inValue, char (&outText)[5]) {
    for (int i = 0; i < 4; ++i) outText[i] = static_cast<char>(inValue >> (8 * i));
    outText[4] = '\0';
}
}  // namespace

void CPreferencesTag::DumpHeader(FILE* ioFile, int inIndent) const {
    DumpPrefIndent(ioFile, inIndent);
    if (mId < 10000001) {
        std::fprintf(ioFile, "Tag #%u (%u): ", mId, mSize);
    } else {
        char id[5];
        MemoryOrderBytes(mId, id);
        std::fprintf(ioFile, "Tag '%.4s' (%u): ", id, mSize);
    }
    DumpValue(ioFile, inIndent);
}

void CPreferencesTag::DumpValue(FILE* ioFile, int) const {
    char type[5];
    MemoryOrderBytes(mType, type);
    std::fprintf(ioFile, "Unknown tag type: %.4s\n", type);
}

bool CPreferencesTag::WriteHeader(CBridgeStream& ioStream) {
    if (!mWriteEnabled) return false;
    WritePrefUInt32(ioStream, mId);
    WritePrefUInt32(ioStream, mType);
    WritePrefUInt32(ioStream, mSize);
    return true;
}
