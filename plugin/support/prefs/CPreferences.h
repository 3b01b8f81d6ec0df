// A store of typed values (tags, CPreferencesTag), each identified by a 32-bit
// id, that reads itself from and writes itself to a binary file of records.
//
// The file (all numbers unsigned 32-bit little-endian):
//   signature (the store's), version (the store's), the records in the order of
//   the tag list, then the end record: id '*END', type 'mark', size 0.
// Each record is id, type, size (12 bytes), then `size` payload bytes; the tag
// classes describe their payloads. An empty store with signature 'spip' and
// version 0 is the 20 bytes 70 69 70 73 00 00 00 00 44 4e 45 2a 6b 72 61 6d
// 00 00 00 00. Records of a type that no reader was registered for (see
// PreferenceTagTypes.h) come back as memory tags and are written back unchanged.
//
// Reading trusts no length in the file: a record whose payload runs past what
// the file (or its enclosing record) holds, a payload too short for its type,
// nesting deeper than kPrefMaxNesting or records without an end record make the
// file damaged. A file that cannot be read whole is reported (false and a
// message), and the tags read before the fault stay.
//
// Writing goes to a new temporary file in the same folder, which then replaces
// the old file: a failed write leaves the old file whole. The new file keeps the
// old one's permission bits; a first file is readable by its owner only.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "support/prefs/CPreferencesTag.h"
#include "support/prefs/CPreferencesTagList.h"
#include "support/io/TFileSpecifier.h"

class CBridgeStream;

constexpr uint32_t kPrefDefaultSignature = FourCharCode("spip");
constexpr uint32_t kPrefDefaultType = FourCharCode("????");
constexpr uint32_t kPrefDefaultCreator = FourCharCode("pref");
// A file is read when its version is at most the store's version plus this.
constexpr uint32_t kPrefVersionTolerance = 100;

class CPreferences {
public:
    // Empty path, signature 'spip', version 0, type '????', creator 'pref'.
    CPreferences();
    // A path that does not fit a TFileSpecifier leaves the path empty.
    CPreferences(const char* inPath, uint32_t inSignature, uint32_t inVersion, uint32_t inCreator,
                 uint32_t inType);
    // Copy: see Copy.
    CPreferences(const CPreferences& inOther);
    // Deletes every tag.
    virtual ~CPreferences();

    // Copy (inOther) unless inOther is this store.
    virtual CPreferences& operator=(const CPreferences& inOther);
    // Path, signature, version, creator, type and a deep copy of the tags; the
    // modified flag is not copied.
    virtual void Copy(const CPreferences& inOther);

    virtual const char* GetPath() const;
    // Copies the path; a path too long for a TFileSpecifier is refused (false,
    // path left empty).
    virtual bool SetPath(const char* inPath);
    virtual void SetSignature(uint32_t inSignature);
    virtual void SetVersion(uint32_t inVersion);
    // Kept and copied with the store; never written to the file.
    virtual void SetCreatorAndType(uint32_t inCreator, uint32_t inType);
    uint32_t GetSignature() const { return mSignature; }
    uint32_t GetVersion() const { return mVersion; }
    uint32_t GetCreator() const { return mCreator; }
    uint32_t GetType() const { return mType; }
    // Set by AddTag and RemoveTag, cleared by reading and writing the file.
    bool IsModified() const { return mModified; }

    // Deletes every tag, then reads the file at the path.
    // - No file there: with inRequired, throws kErrPrefsMissing (-42); otherwise
    //   answers true with an empty store (the modified flag keeps its value).
    // - Otherwise ReadFrom: false when the file cannot be opened, has another
    //   signature, is of a version above the store's version + 100 or is
    //   damaged; the tags read before the fault stay and GetLastProblem() says
    //   what was wrong. Clears the modified flag.
    virtual bool ReadFile(bool inRequired);
    // Deletes every tag and reads signature, version and records from the
    // stream's position. A version up to the store's version + 100 (older ones
    // too) is accepted and not stored. Answers false with GetLastProblem() set
    // on any fault (the tags read before it stay); never throws.
    bool ReadFrom(CBridgeStream& ioStream);
    // Appends the records from the stream's position up to and including the
    // end record. Records may not reach past the stream's length. Throws
    // kErrPrefsDamaged on damage, or an error code of a tag reader.
    virtual void ReadTags(CBridgeStream& ioStream);
    // As above within the context's limit; ioContext.problem says what was
    // wrong when kErrPrefsDamaged is thrown. Tag readers of nested stores call it.
    virtual void ReadTags(CBridgeStream& ioStream, PrefReadContext& ioContext);

    // Writes the file (see above) and clears the modified flag. Answers false,
    // with GetLastProblem() set and the old file untouched, when it cannot be
    // written; never throws.
    virtual bool WriteFile();
    // Writes signature, version, records and end record at the stream's
    // position. The stream throws kErrOpenFile when it cannot write.
    void WriteTo(CBridgeStream& ioStream);
    // Writes the records of the write-enabled tags in list order, then the end record.
    virtual void WriteTags(CBridgeStream& ioStream);

    // What the last ReadFile, ReadFrom or WriteFile found wrong, as a sentence
    // naming the file; empty after a success.
    const std::string& GetLastProblem() const { return mProblem; }

    // Takes ownership of inTag (null: nothing), deletes every tag with its id and
    // appends it; sets the modified flag. A tag that the store already holds is
    // left where it is (adding it again would delete it).
    virtual void AddTag(CPreferencesTag* inTag);
    void AddTag(std::unique_ptr<CPreferencesTag> inTag);
    // The first tag with the id, still owned by the store; null when none.
    virtual CPreferencesTag* GetTag(uint32_t inId) const;
    // Deletes every tag with the id and sets the modified flag; nothing when
    // there is none. (A file may hold the same id twice; removing only the
    // first would let the older one reappear behind a new value.)
    virtual void RemoveTag(uint32_t inId);
    virtual int32_t GetTagCount() const;
    // As CBridgeArray::GetAt: kLastIndex reads the last tag; false (outTag
    // untouched) when the index denotes no tag. The store keeps ownership.
    virtual bool GetTagAt(int32_t inIndex, CPreferencesTag*& outTag) const;
    // Deletes the tag at the index, if there is one, and removes it.
    virtual void DeleteTagAt(int32_t inIndex);

    // inIndent tabs, ">>> DUMPING PREFERENCE STRUCTURE WITH <n> MEMBERS", then
    // each tag's DumpHeader, flushing after each.
    virtual void Dump(FILE* ioFile, int inIndent) const;
    // Dump into a new text file at inPath; nothing when it cannot be made.
    virtual void DumpToFile(const char* inPath, int inIndent) const;

private:
    void ReadOneTag(CBridgeStream& ioStream, PrefReadContext& ioContext, uint32_t inId,
                    uint32_t inType, uint32_t inSize);
    bool WriteToTempFile(const char* inTempPath);

    TFileSpecifier mPath;
    uint32_t mSignature = kPrefDefaultSignature;
    uint32_t mVersion = 0;
    uint32_t mType = kPrefDefaultType;
    uint32_t mCreator = kPrefDefaultCreator;
    bool mModified = false;
    CPreferencesTagList mTags;
    std::string mProblem;
};
