// One typed value of a preferences store (CPreferences), called a tag, and the
// pieces that every tag class shares: four-character codes, the record header
// and the little-endian reading and writing of a tag's record.
//
// A tag is identified by a 32-bit id (a four-character code or a plain number)
// and has a type code that says which class reads it. In a preferences file
// each tag is one record: id, type and payload size (unsigned 32-bit,
// little-endian, 12 bytes), then the payload.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "support/ErrorCode.h"

class CBridgeStream;

// A four-character code as a 32-bit value: the first character is the most
// significant byte (FourCharCode ("bool") == 0x626f6f6c). In a file the value is
// little-endian, so the characters appear there in reverse order.
constexpr uint32_t FourCharCode(const char (&inCode)[5]) {
    return (static_cast<uint32_t>(static_cast<unsigned char>(inCode[0])) << 24) |
           (static_cast<uint32_t>(static_cast<unsigned char>(inCode[1])) << 16) |
           (static_cast<uint32_t>(static_cast<unsigned char>(inCode[2])) << 8) |
           static_cast<uint32_t>(static_cast<unsigned char>(inCode[3]));
}

// The code's four characters, most significant first, for messages; bytes that
// are not printable ASCII show as "?".
std::string FourCharCodeText(uint32_t inCode);

// Record types.
constexpr uint32_t kPrefTypeBoolean = FourCharCode("bool");
constexpr uint32_t kPrefTypeLong = FourCharCode("long");
constexpr uint32_t kPrefTypePoint = FourCharCode("pont");
constexpr uint32_t kPrefTypePreferences = FourCharCode("pref");
constexpr uint32_t kPrefTypeString = FourCharCode("strn");
constexpr uint32_t kPrefTypeRect = FourCharCode("rect");
constexpr uint32_t kPrefTypeFloat = FourCharCode("flot");
constexpr uint32_t kPrefTypeFile = FourCharCode("file");
constexpr uint32_t kPrefTypeMark = FourCharCode("mark");
constexpr uint32_t kPrefTypeMemory = FourCharCode("memy");
// The id of the end record (type kPrefTypeMark, size 0) that closes a list of records.
constexpr uint32_t kPrefEndId = FourCharCode("*END");

// A preferences file (or one of its nested records) is damaged: a length runs
// past what the file holds, a payload is too short for its type, nesting is too
// deep or an end record is missing. The reader's context says what was wrong.
// (Belongs with the other preferences codes of ErrorCode.h.)
constexpr ErrorCode kErrPrefsDamaged = 23402;

// Bytes of a record header: id, type, size.
constexpr uint32_t kPrefRecordHeaderSize = 12;
// How deep 'pref' records may nest inside a file; a deeper one is damage.
constexpr int kPrefMaxNesting = 32;

// The state of one read of records from a stream, shared by the store and the
// tag readers. A reader never reads past `limit`.
struct PrefReadContext {
    uint64_t limit = 0;    // offset in the stream where the current list of records must end
    int depth = 0;         // nesting depth of the store being read (0: the file's own)
    std::string problem;   // what was wrong, set by FailPrefRead
};

// Records inProblem (with the stream's position) in the context and throws
// kErrPrefsDamaged.
[[noreturn]] void FailPrefRead(PrefReadContext& ioContext, const CBridgeStream& inStream,
                               const std::string& inProblem);

// Reads exactly inCount payload bytes; fewer (an I/O error or a file that shrank
// meanwhile) is damage (FailPrefRead).
void ReadPrefBytes(CBridgeStream& ioStream, PrefReadContext& ioContext, void* outBytes,
                   size_t inCount);
// Reads a little-endian 32-bit value with ReadPrefBytes.
uint32_t ReadPrefUInt32(CBridgeStream& ioStream, PrefReadContext& ioContext);
// Fails (FailPrefRead) when a payload of inSize bytes is shorter than the
// inNeeded bytes that a value of its type takes.
void RequirePrefPayload(CBridgeStream& ioStream, PrefReadContext& ioContext, uint32_t inType,
                        uint32_t inSize, uint32_t inNeeded);

// Writes a 32-bit value little-endian; the stream throws kErrOpenFile on failure.
void WritePrefUInt32(CBridgeStream& ioStream, uint32_t inValue);

class CPreferencesTag {
public:
    // Id 0, size 0, write-enabled.
    explicit CPreferencesTag(uint32_t inType);
    CPreferencesTag(uint32_t inId, uint32_t inType, uint32_t inSize);
    // Copies id, type, size and the write-enabled flag.
    CPreferencesTag(const CPreferencesTag&) = default;
    virtual ~CPreferencesTag();

    // A new deep copy of the same class.
    virtual std::unique_ptr<CPreferencesTag> Clone() const = 0;
    // Writes the tag's record (nothing when the tag is not write-enabled). The
    // header's size is always the length of the payload that follows; the tag's
    // size is set to it. The stream throws kErrOpenFile when it cannot write.
    virtual void Write(CBridgeStream& ioStream) = 0;

    virtual void SetId(uint32_t inId);
    virtual uint32_t GetId() const;
    virtual void SetType(uint32_t inType);
    virtual uint32_t GetType() const;
    // The payload size in bytes, as read or as last set or written.
    virtual void SetSize(uint32_t inSize);
    virtual uint32_t GetSize() const;
    // A tag that is not write-enabled stays in its store but is left out of files.
    virtual void SetWriteEnabled(bool inEnabled);
    virtual bool IsWriteEnabled() const;

    // inIndent tabs, "Tag #<id> (<size>): " (ids below 10000001) or
    // "Tag '<id's four bytes, least significant first>' (<size>): ", then DumpValue.
    virtual void DumpHeader(FILE* ioFile, int inIndent) const;
    // The value as a line of text; the base prints "Unknown tag type: <type's bytes>".
    virtual void DumpValue(FILE* ioFile, int inIndent) const;
    // Writes id, type and size when write-enabled; answers the flag.
    virtual bool WriteHeader(CBridgeStream& ioStream);

protected:
    CPreferencesTag& operator=(const CPreferencesTag&) = default;

private:
    uint32_t mId = 0;
    uint32_t mType = 0;
    uint32_t mSize = 0;
    bool mWriteEnabled = true;
};

// A tag made by a reader, with id, type and size taken from the record's header.
template <class Tag>
std::unique_ptr<Tag> MakePrefReadTag(uint32_t inId, uint32_t inType, uint32_t inSize) {
    auto tag = std::make_unique<Tag>();
    tag->SetId(inId);
    tag->SetType(inType);
    tag->SetSize(inSize);
    return tag;
}

// Writes inIndent tab characters.
void DumpPrefIndent(FILE* ioFile, int inIndent);
