#include "support/prefs/CPreferencesPreferencesTag.h"

#include "support/io/CBridgeStream.h"
#include "support/prefs/CPreferences.h"

CPreferencesPreferencesTag::CPreferencesPreferencesTag() : CPreferencesTag(kPrefTypePreferences) {}

CPreferencesPreferencesTag::CPreferencesPreferencesTag(uint32_t inId,
                                                       std::unique_ptr<CPreferences> inValue)
    : CPreferencesTag(inId, kPrefTypePreferences, 0), mValue(std::move(inValue)) {}

CPreferencesPreferencesTag::CPreferencesPreferencesTag(const CPreferencesPreferencesTag& inOther)
    : CPreferencesTag(inOther),
      mValue(inOther.mValue ? std::make_unique<CPreferences>(*inOther.mValue) : nullptr) {}

CPreferencesPreferencesTag::~CPreferencesPreferencesTag() = default;

std::unique_ptr<CPreferencesTag> CPreferencesPreferencesTag::Clone() const {
    return std::make_unique<CPreferencesPreferencesTag>(*this);
}

namespace {
void SeekTo(CBridgeStream& ioStream, uint64_t inPosition) {
    if (ioStream.Seek(kSeekFromBeginning, static_cast<int64_t>(inPosition)) !=
        static_cast<int64_t>(inPosition))
        ThrowErrorCode(kErrOpenFile);
}
}  // namespace

void CPreferencesPreferencesTag::Write(CBridgeStream& ioStream) {
    SetSize(0);
    if (!WriteHeader(ioStream) || !mValue) return;
    const uint64_t start = ioStream.GetPosition();
    mValue->WriteTags(ioStream);
    const uint64_t end = ioStream.GetPosition();
    const uint64_t length = end - start;
    if (end < start || length > UINT32_MAX) ThrowErrorCode(kErrOpenFile);
    // The size field is the last four bytes of the header just written.
    SeekTo(ioStream, start - 4);
    WritePrefUInt32(ioStream, static_cast<uint32_t>(length));
    SeekTo(ioStream, end);
    SetSize(static_cast<uint32_t>(length));
}

void CPreferencesPreferencesTag::DumpValue(FILE* ioFile, int inIndent) const {
    if (!mValue) {
        std::fprintf(ioFile, "[PREFERENCES] < NO PREFERENCES>\n");
        return;
    }
    std::fprintf(ioFile, "[PREFERENCES]\n");
    mValue->Dump(ioFile, inIndent + 1);
}

void CPreferencesPreferencesTag::SetValue(std::unique_ptr<CPreferences> inValue) {
    mValue = std::move(inValue);
}

namespace {
// Narrows the context to one nested list of records and restores it afterwards.
class NestedReadScope {
public:
    NestedReadScope(PrefReadContext& ioContext, uint64_t inLimit)
        : mContext(ioContext), mLimit(ioContext.limit), mDepth(ioContext.depth) {
        ioContext.limit = inLimit;
        ++ioContext.depth;
    }
    ~NestedReadScope() {
        mContext.limit = mLimit;
        mContext.depth = mDepth;
    }
    NestedReadScope(const NestedReadScope&) = delete;
    NestedReadScope& operator=(const NestedReadScope&) = delete;

private:
    PrefReadContext& mContext;
    uint64_t mLimit;
    int mDepth;
};
}  // namespace

std::unique_ptr<CPreferencesTag> CPreferencesPreferencesTag::Read(uint32_t inId, uint32_t inType,
                                                                  uint32_t inSize,
                                                                  CBridgeStream& ioStream,
                                                                  PrefReadContext& ioContext) {
    // Each level costs stack; a file must not choose how much.
    if (ioContext.depth >= kPrefMaxNesting)
        FailPrefRead(ioContext, ioStream,
                     "nested records go deeper than " + std::to_string(kPrefMaxNesting) + " levels");
    auto tag = MakePrefReadTag<CPreferencesPreferencesTag>(inId, inType, inSize);
    // An empty payload is what a tag without a nested store writes. Reading
    // nested records there would take the enclosing store's records instead.
    if (inSize == 0) return tag;
    tag->mValue = std::make_unique<CPreferences>();
    NestedReadScope scope(ioContext, ioStream.GetPosition() + inSize);
    tag->mValue->ReadTags(ioStream, ioContext);
    return tag;
}
