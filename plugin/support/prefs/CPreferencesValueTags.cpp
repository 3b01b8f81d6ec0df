#include "support/prefs/CPreferencesValueTags.h"

#include <array>
#include <bit>
#include <tuple>
#include <utility>

#include "support/io/CBridgeStream.h"

namespace {

uint32_t Word(int32_t inValue) { return static_cast<uint32_t>(inValue); }
int32_t Signed(uint32_t inWord) { return static_cast<int32_t>(inWord); }

// Each value as the words of its payload, in file order, and back.
std::array<uint32_t, 1> ToWords(bool inValue) { return {inValue ? 1u : 0u}; }
// Any non-zero word reads as true.
void FromWords(const std::array<uint32_t, 1>& inWords, bool& outValue) { outValue = inWords[0] != 0; }

std::array<uint32_t, 1> ToWords(int32_t inValue) { return {Word(inValue)}; }
void FromWords(const std::array<uint32_t, 1>& inWords, int32_t& outValue) { outValue = Signed(inWords[0]); }

std::array<uint32_t, 2> ToWords(const PrefPoint& inValue) { return {Word(inValue.x), Word(inValue.y)}; }
void FromWords(const std::array<uint32_t, 2>& inWords, PrefPoint& outValue) {
    outValue = {Signed(inWords[0]), Signed(inWords[1])};
}

// A rectangle is kept y1, y2, x1, x2.
std::array<uint32_t, 4> ToWords(const PrefRect& inValue) {
    return {Word(inValue.y1), Word(inValue.y2), Word(inValue.x1), Word(inValue.x2)};
}
void FromWords(const std::array<uint32_t, 4>& inWords, PrefRect& outValue) {
    outValue.y1 = Signed(inWords[0]);
    outValue.y2 = Signed(inWords[1]);
    outValue.x1 = Signed(inWords[2]);
    outValue.x2 = Signed(inWords[3]);
}

// A double's IEEE 754 bits, the low word first.
std::array<uint32_t, 2> ToWords(double inValue) {
    const uint64_t bits = std::bit_cast<uint64_t>(inValue);
    return {static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32)};
}
void FromWords(const std::array<uint32_t, 2>& inWords, double& outValue) {
    outValue = std::bit_cast<double>(uint64_t{inWords[0]} | (uint64_t{inWords[1]} << 32));
}

void DumpPrefValue(FILE* ioFile, bool inValue) { std::fprintf(ioFile, "[BOOLEEN] = %s\n", inValue ? "true" : "false"); }

void DumpPrefValue(FILE* ioFile, int32_t inValue) {
    char bytes[5];
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(Word(inValue) >> (8 * i));
    bytes[4] = '\0';
    std::fprintf(ioFile, "[LONG] = %d ('%.4s')\n", inValue, bytes);
}

void DumpPrefValue(FILE* ioFile, const PrefPoint& inValue) {
    std::fprintf(ioFile, "[POINT] = { x(%d), y(%d)}\n", inValue.x, inValue.y);
}

void DumpPrefValue(FILE* ioFile, const PrefRect& inValue) {
    std::fprintf(ioFile, "[RECT] = { { x(%d), y(%d) } - { x(%d), y(%d) } }\n", inValue.x1, inValue.y1, inValue.x2,
                 inValue.y2);
}

void DumpPrefValue(FILE* ioFile, double inValue) { std::fprintf(ioFile, "[FLOAT] = %f\n", inValue); }

template <class Value>
using WordsOf = decltype(ToWords(std::declval<Value>()));

}  // namespace

template <class Value, uint32_t Type>
const uint32_t CPreferencesValueTag<Value, Type>::kSize = 4 * std::tuple_size_v<WordsOf<Value>>;

template <class Value, uint32_t Type>
CPreferencesValueTag<Value, Type>::CPreferencesValueTag() : CPreferencesTag(Type) {}

template <class Value, uint32_t Type>
CPreferencesValueTag<Value, Type>::CPreferencesValueTag(uint32_t inId, const Value& inValue)
    : CPreferencesTag(inId, Type, kSize), mValue(inValue) {}

template <class Value, uint32_t Type>
CPreferencesValueTag<Value, Type>::~CPreferencesValueTag() = default;

template <class Value, uint32_t Type>
std::unique_ptr<CPreferencesTag> CPreferencesValueTag<Value, Type>::Clone() const {
    return std::make_unique<CPreferencesValueTag>(*this);
}

template <class Value, uint32_t Type>
void CPreferencesValueTag<Value, Type>::Write(CBridgeStream& ioStream) {
    SetSize(kSize);
    if (!WriteHeader(ioStream)) return;
    for (const uint32_t word : ToWords(mValue)) WritePrefUInt32(ioStream, word);
}

template <class Value, uint32_t Type>
void CPreferencesValueTag<Value, Type>::DumpValue(FILE* ioFile, int) const {
    DumpPrefValue(ioFile, mValue);
}

template <class Value, uint32_t Type>
void CPreferencesValueTag<Value, Type>::SetValue(const Value& inValue) {
    mValue = inValue;
    SetSize(kSize);
}

template <class Value, uint32_t Type>
std::unique_ptr<CPreferencesTag> CPreferencesValueTag<Value, Type>::Read(uint32_t inId, uint32_t inType,
                                                                         uint32_t inSize, CBridgeStream& ioStream,
                                                                         PrefReadContext& ioContext) {
    RequirePrefPayload(ioStream, ioContext, inType, inSize, kSize);
    auto tag = MakePrefReadTag<CPreferencesValueTag>(inId, inType, inSize);
    WordsOf<Value> words{};
    for (uint32_t& word : words) word = ReadPrefUInt32(ioStream, ioContext);
    FromWords(words, tag->mValue);
    return tag;
}

template class CPreferencesValueTag<bool, kPrefTypeBoolean>;
template class CPreferencesValueTag<int32_t, kPrefTypeLong>;
template class CPreferencesValueTag<PrefPoint, kPrefTypePoint>;
template class CPreferencesValueTag<PrefRect, kPrefTypeRect>;
template class CPreferencesValueTag<double, kPrefTypeFloat>;

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

std::unique_ptr<CPreferencesTag> CPreferencesMarkTag::Read(uint32_t inId, uint32_t inType, uint32_t, CBridgeStream&,
                                                           PrefReadContext&) {
    return MakePrefReadTag<CPreferencesMarkTag>(inId, inType, 0);
}
