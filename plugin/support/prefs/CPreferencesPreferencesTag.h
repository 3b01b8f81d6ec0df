// A tag that holds a nested preferences store ('pref'). Its payload in a file
// is the nested store's records followed by the nested end record, without a
// signature or a version; the record's size is their length (a nested store
// holding one 'long' tag gives 16 + 12 = 28).
#pragma once

#include <cstdint>
#include <memory>

#include "support/prefs/CPreferencesTag.h"

class CPreferences;

class CPreferencesPreferencesTag : public CPreferencesTag {
public:
    CPreferencesPreferencesTag();  // no nested store
    // Takes ownership of inValue (may be null).
    CPreferencesPreferencesTag(uint32_t inId, std::unique_ptr<CPreferences> inValue);
    // Copies the nested store deeply.
    CPreferencesPreferencesTag(const CPreferencesPreferencesTag& inOther);
    ~CPreferencesPreferencesTag() override;

    std::unique_ptr<CPreferencesTag> Clone() const override;
    // Writes the header with size 0, the nested records, then goes back and
    // writes their length into the header (the stream must be seekable). Without
    // a nested store: a header with size 0 and no payload.
    void Write(CBridgeStream& ioStream) override;
    // "[PREFERENCES]" then the nested store's Dump one level deeper; without one
    // "[PREFERENCES] < NO PREFERENCES>".
    void DumpValue(FILE* ioFile, int inIndent) const override;

    // The nested store, still owned by the tag; null when there is none.
    CPreferences* GetValue() const { return mValue.get(); }
    // Replaces (and deletes) the nested store with inValue, which the tag owns.
    void SetValue(std::unique_ptr<CPreferences> inValue);

    // Reads the nested records up to their end record, within the record's
    // payload; an empty payload gives a tag without a nested store. Nesting deeper than kPrefMaxNesting, or nested records without an
    // end record inside the payload, is damage.
    static std::unique_ptr<CPreferencesTag> Read(uint32_t inId, uint32_t inType, uint32_t inSize,
                                                 CBridgeStream& ioStream, PrefReadContext& ioContext);

private:
    std::unique_ptr<CPreferences> mValue;
};
