// CCosDict: a Cos dictionary with typed access by key atom. The work area
// below serves the enumerations that count, find, copy and print entries, so
// one wrapper runs one enumeration at a time.
#pragma once

#include <cstdint>
#include <cstdio>

#include "support/cos/CCosObj.h"

class CCosDict : public CCosObj {
public:
    // The null object.
    CCosDict();
    // A new dictionary in doc (Create).
    CCosDict(CosDoc doc, bool indirect, int32_t entryCount);
    // Wraps dict; asserts "CosObjGetType(inCosDict) == CosDict".
    CCosDict(CosDoc doc, CosObj dict);
    ~CCosDict() override;

    // Makes a new dictionary in the wrapper's document and holds it. Asserts
    // "mCosDoc != NULL"; a host error throws kErrCosObject (-1).
    void Create(bool indirect, int32_t entryCount);

    // The value under key. A missing key (or one whose value is the null
    // object) or a host error: the null object, or kErrNotFound (8000) thrown
    // when throwIfMissing is set.
    CosObj GetValue(ASAtom key, bool throwIfMissing) const;

    // Typed reads. A missing key always throws kErrNotFound. Reading the value
    // (a wrong type: an assertion alert and code 1, or a host error) throws on
    // when rethrow is set, else answers the default (false, 0, 0, -1, null).
    bool GetBoolean(ASAtom key, bool rethrow) const;
    int32_t GetInteger(ASAtom key, bool rethrow) const;
    ASFixed GetFixed(ASAtom key, bool rethrow) const;
    ASAtom GetName(ASAtom key, bool rethrow) const;
    // The string's bytes (valid while the document is open); their count in
    // *outLength when given.
    const char* GetString(ASAtom key, bool rethrow, int32_t* outLength = nullptr) const;

    bool HasKey(ASAtom key) const;
    // Removes key (an absent key is no error); a host error gives kErrRemoveKey
    // (-2), thrown when rethrow is set.
    void RemoveKey(ASAtom key, bool rethrow);

    // Make the value and put it under key; a host error throws kErrCosObject.
    void PutBoolean(ASAtom key, bool value, bool indirect = false);
    void PutInteger(ASAtom key, int32_t value, bool indirect = false);
    void PutFloat(ASAtom key, double value, bool indirect = false);
    void PutName(ASAtom key, ASAtom value, bool indirect = false);
    void PutString(ASAtom key, const char* bytes, int32_t length, bool indirect = false);
    void PutString(ASAtom key, const char* text, bool indirect = false);
    void PutValue(ASAtom key, CosObj value);

    // Entries in the host's enumeration order (ascending keys). The finders
    // throw kErrNotFound when nothing matches.
    int32_t CountKeys();
    int32_t IndexOfKey(ASAtom key);
    int32_t IndexOfValue(CosObj value);  // host equality
    ASAtom KeyAt(int32_t position);

    // A new dictionary in the same document with every entry's value copied
    // (CCosObj::Copy with the share flag; "Length" with the opposite flag).
    // A host error while making it throws kErrCosObject.
    CosObj Copy(bool indirect, bool share);
    CosObj Copy(bool indirect, bool share, CCosCopyMemo& memo);
    // Puts copies of this dictionary's entries into target (a dictionary),
    // leaving out "Length" when skipLength is set.
    void CopyEntriesInto(CosObj target, bool share, CCosCopyMemo& memo, bool skipLength);

    // "<<", one "key : value" per entry, ">>".
    void Dump(FILE* file);

    bool OnEnumEntry(CosObj key, CosObj value) override;

private:
    enum Mode : int16_t {
        kCount = 0,
        kFindKey = 1,
        kFindValue = 2,
        kKeyAtPosition = 3,
        kCopyShared = 4,
        kCopyDeep = 5,
        kDump = 6,
    };

    // Runs one enumeration in mode; answers whether it ran to the end.
    bool EnumerateIn(Mode mode);
    void CopyEntry(ASAtom key, CosObj value);

    FILE* mDumpFile = nullptr;
    Mode mMode = kCount;
    CosObj mWorkObj;
    int32_t mCounter = 0;
    ASAtom mKeyAtom = kASAtomNull;
    CCosCopyMemo* mMemo = nullptr;  // during a copy
    bool mSkipLength = false;       // during a copy
};
