#include "support/prefs/CPreferencesDataTags.h"

#include <cinttypes>
#include <cstring>

#include "support/io/CBridgeStream.h"

namespace {

uint32_t SizeOf(size_t inLength) {
    // Lengths beyond 32 bits cannot be recorded; nothing in the plug-in makes them.
    if (inLength > UINT32_MAX) ThrowErrorCode(kErrNoMemory);
    return static_cast<uint32_t>(inLength);
}

}  // namespace

// --- 'strn'

CPreferencesStringTag::CPreferencesStringTag() : CPreferencesTag(kPrefTypeString) {}

CPreferencesStringTag::CPreferencesStringTag(uint32_t inId, const char* inValue)
    : CPreferencesTag(inId, kPrefTypeString, 0) {
    SetValue(inValue);
}

CPreferencesStringTag::~CPreferencesStringTag() = default;

std::unique_ptr<CPreferencesTag> CPreferencesStringTag::Clone() const {
    return std::make_unique<CPreferencesStringTag>(*this);
}

void CPreferencesStringTag::Write(CBridgeStream& ioStream) {
    const size_t length = mText ? mText->size() : 0;
    SetSize(SizeOf(length));
    if (WriteHeader(ioStream) && length > 0) ioStream.Write(mText->data(), length);
}

void CPreferencesStringTag::DumpValue(FILE* ioFile, int) const {
    if (mText)
        std::fprintf(ioFile, "[STRING] = %s\n", mText->c_str());
    else
        std::fprintf(ioFile, "[STRING] = < NO STRING SPECIFIED >\n");
}

void CPreferencesStringTag::SetValue(const char* inValue) {
    if (inValue)
        mText.emplace(inValue);
    else
        mText.reset();
    SetSize(SizeOf(mText ? mText->size() : 0));
}

std::unique_ptr<CPreferencesTag> CPreferencesStringTag::Read(uint32_t inId, uint32_t inType,
                                                             uint32_t inSize, CBridgeStream& ioStream,
                                                             PrefReadContext& ioContext) {
    auto tag = MakePrefReadTag<CPreferencesStringTag>(inId, inType, inSize);
    std::string text(inSize, '\0');  // std::string adds the terminating NUL
    ReadPrefBytes(ioStream, ioContext, text.data(), inSize);
    tag->mText = std::move(text);
    return tag;
}

// --- 'file'

CPreferencesFileTag::CPreferencesFileTag() : CPreferencesTag(kPrefTypeFile) {}

CPreferencesFileTag::CPreferencesFileTag(uint32_t inId, const TFileSpecifier& inValue)
    : CPreferencesTag(inId, kPrefTypeFile, 0), mPath(inValue) {
    SetSize(SizeOf(std::strlen(mPath.GetPath())));
}

CPreferencesFileTag::~CPreferencesFileTag() = default;

std::unique_ptr<CPreferencesTag> CPreferencesFileTag::Clone() const {
    return std::make_unique<CPreferencesFileTag>(*this);
}

void CPreferencesFileTag::Write(CBridgeStream& ioStream) {
    const size_t length = std::strlen(mPath.GetPath());
    SetSize(SizeOf(length));
    if (WriteHeader(ioStream) && length > 0) ioStream.Write(mPath.GetPath(), length);
}

void CPreferencesFileTag::DumpValue(FILE* ioFile, int) const {
    std::fprintf(ioFile, "[FILE] Path = '%s' ", mPath.GetPath());
    std::fputc('\n', ioFile);
}

void CPreferencesFileTag::SetValue(const TFileSpecifier& inValue) { mPath = inValue; }

std::unique_ptr<CPreferencesTag> CPreferencesFileTag::Read(uint32_t inId, uint32_t inType,
                                                           uint32_t inSize, CBridgeStream& ioStream,
                                                           PrefReadContext& ioContext) {
    // A cut path would name another file: refuse it.
    if (inSize >= kFileSpecCapacity)
        FailPrefRead(ioContext, ioStream,
                     "a file path of " + std::to_string(inSize) + " bytes is longer than " +
                         std::to_string(kFileSpecCapacity - 1) + " bytes");
    auto tag = MakePrefReadTag<CPreferencesFileTag>(inId, inType, inSize);
    char path[kFileSpecCapacity];
    ReadPrefBytes(ioStream, ioContext, path, inSize);
    path[inSize] = '\0';
    tag->mPath.SetPath(path);  // fits: checked above
    return tag;
}

// --- memory

CPreferencesMemoryTag::CPreferencesMemoryTag() : CPreferencesTag(kPrefTypeMemory) {}

CPreferencesMemoryTag::CPreferencesMemoryTag(uint32_t inId, uint32_t inSize, const void* inBytes)
    : CPreferencesMemoryTag(inId, kPrefTypeMemory, inSize, inBytes) {}

CPreferencesMemoryTag::CPreferencesMemoryTag(uint32_t inId, uint32_t inType, uint32_t inSize,
                                             const void* inBytes)
    : CPreferencesTag(inId, inType, 0) {
    SetValue(inSize, inBytes);
}

CPreferencesMemoryTag::~CPreferencesMemoryTag() = default;

std::unique_ptr<CPreferencesTag> CPreferencesMemoryTag::Clone() const {
    return std::make_unique<CPreferencesMemoryTag>(*this);
}

void CPreferencesMemoryTag::Write(CBridgeStream& ioStream) {
    SetSize(SizeOf(mBytes.size()));
    if (WriteHeader(ioStream) && !mBytes.empty()) ioStream.Write(mBytes.data(), mBytes.size());
}

void CPreferencesMemoryTag::DumpValue(FILE* ioFile, int) const {
    std::fprintf(ioFile, "[MEMORY] = %08" PRIxPTR "\n", reinterpret_cast<uintptr_t>(mBytes.data()));
}

void CPreferencesMemoryTag::SetValue(uint32_t inSize, const void* inBytes) {
    if (inSize > 0 && !inBytes) inSize = 0;  // nothing to copy from
    const auto* bytes = static_cast<const unsigned char*>(inBytes);
    mBytes.assign(bytes, bytes + inSize);
    SetSize(inSize);
}

std::unique_ptr<CPreferencesTag> CPreferencesMemoryTag::Read(uint32_t inId, uint32_t inType,
                                                             uint32_t inSize, CBridgeStream& ioStream,
                                                             PrefReadContext& ioContext) {
    auto tag = MakePrefReadTag<CPreferencesMemoryTag>(inId, inType, inSize);
    tag->mBytes.resize(inSize);
    ReadPrefBytes(ioStream, ioContext, tag->mBytes.data(), inSize);
    return tag;
}
