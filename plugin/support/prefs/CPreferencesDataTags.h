// The tags that hold a variable amount of data: a text ('strn'), a file path
// ('file') and a block of bytes ('memy', or the type of an unregistered record
// that it keeps as it was read). Payloads in a file are the bytes themselves,
// without a terminating NUL; the record's size is their count.
//
// Each class has a reader with the signature of PrefTagReader
// (PreferenceTagTypes.h). The caller has already checked that the record's
// payload lies within what the file holds, so a reader allocates at most that.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/prefs/CPreferencesTag.h"
#include "support/io/TFileSpecifier.h"

class CPreferencesStringTag : public CPreferencesTag {
public:
    CPreferencesStringTag();  // no text
    // inValue null: no text.
    CPreferencesStringTag(uint32_t inId, const char* inValue);
    CPreferencesStringTag(const CPreferencesStringTag&) = default;
    ~CPreferencesStringTag() override;

    std::unique_ptr<CPreferencesTag> Clone() const override;
    // Writes the text's bytes (none without a text).
    void Write(CBridgeStream& ioStream) override;
    // "[STRING] = <text>", or "[STRING] = < NO STRING SPECIFIED >".
    void DumpValue(FILE* ioFile, int inIndent) const override;

    // The NUL-terminated text, owned by the tag; null when there is none. A text
    // read from a file keeps all its bytes (and is written back whole), even
    // when it holds a NUL.
    const char* GetValue() const { return mText ? mText->c_str() : nullptr; }
    // Copies the text (null: none); the size becomes its length.
    void SetValue(const char* inValue);

    static std::unique_ptr<CPreferencesTag> Read(uint32_t inId, uint32_t inType, uint32_t inSize,
                                                 CBridgeStream& ioStream, PrefReadContext& ioContext);

private:
    std::optional<std::string> mText;
};

class CPreferencesFileTag : public CPreferencesTag {
public:
    CPreferencesFileTag();  // empty path
    CPreferencesFileTag(uint32_t inId, const TFileSpecifier& inValue);
    CPreferencesFileTag(const CPreferencesFileTag&) = default;
    ~CPreferencesFileTag() override;

    std::unique_ptr<CPreferencesTag> Clone() const override;
    // Writes the path's characters; the size is computed from the path here.
    void Write(CBridgeStream& ioStream) override;
    // "[FILE] Path = '<path>' " and a line feed.
    void DumpValue(FILE* ioFile, int inIndent) const override;

    const TFileSpecifier& GetValue() const { return mPath; }
    // Copies the path; the size follows when the tag is written.
    void SetValue(const TFileSpecifier& inValue);

    // A path longer than a TFileSpecifier holds is refused (damage), never cut.
    static std::unique_ptr<CPreferencesTag> Read(uint32_t inId, uint32_t inType, uint32_t inSize,
                                                 CBridgeStream& ioStream, PrefReadContext& ioContext);

private:
    TFileSpecifier mPath;
};

class CPreferencesMemoryTag : public CPreferencesTag {
public:
    CPreferencesMemoryTag();  // type 'memy', no bytes
    // Type 'memy'; copies inSize bytes (inBytes may be null only when inSize is 0).
    CPreferencesMemoryTag(uint32_t inId, uint32_t inSize, const void* inBytes);
    // The given type (that of a record of an unregistered type).
    CPreferencesMemoryTag(uint32_t inId, uint32_t inType, uint32_t inSize, const void* inBytes);
    CPreferencesMemoryTag(const CPreferencesMemoryTag&) = default;
    ~CPreferencesMemoryTag() override;

    std::unique_ptr<CPreferencesTag> Clone() const override;
    // Writes the bytes as they are, under the tag's own type.
    void Write(CBridgeStream& ioStream) override;
    // "[MEMORY] = <address of the bytes, hexadecimal>".
    void DumpValue(FILE* ioFile, int inIndent) const override;

    const std::vector<unsigned char>& GetValue() const { return mBytes; }
    // Replaces the bytes with a copy of inSize bytes; the size becomes inSize.
    void SetValue(uint32_t inSize, const void* inBytes);

    // Keeps the payload's bytes; also reads records of types nobody registered.
    static std::unique_ptr<CPreferencesTag> Read(uint32_t inId, uint32_t inType, uint32_t inSize,
                                                 CBridgeStream& ioStream, PrefReadContext& ioContext);

private:
    std::vector<unsigned char> mBytes;
};
