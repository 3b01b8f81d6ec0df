// Typed setters of a preferences store. Each looks the id up (GetTag): when the
// tag found is of the setter's class, its value is changed in place (the tag
// keeps its position; the store's modified flag is left as it is); otherwise a
// new tag of the class is made and added (AddTag), which replaces the tags of
// another class with that id, puts the new tag at the end and marks the store
// as modified. Throws kErrNoMemory (-108), store unchanged, when the new tag
// cannot be made.
#pragma once

#include <cstdint>
#include <memory>

#include "support/prefs/CPreferencesValueTags.h"

class CPreferences;
class TFileSpecifier;

void SetBooleanPreference(CPreferences& ioStore, uint32_t inId, bool inValue);
void SetLongPreference(CPreferences& ioStore, uint32_t inId, int32_t inValue);
void SetPointPreference(CPreferences& ioStore, uint32_t inId, const PrefPoint& inValue);
void SetRectPreference(CPreferences& ioStore, uint32_t inId, const PrefRect& inValue);
void SetFloatPreference(CPreferences& ioStore, uint32_t inId, double inValue);
// inValue null: a string tag without a text.
void SetStringPreference(CPreferences& ioStore, uint32_t inId, const char* inValue);
void SetFilePreference(CPreferences& ioStore, uint32_t inId, const TFileSpecifier& inValue);
// The nested store (may be null) is owned by the tag from now on.
void SetPreferencesPreference(CPreferences& ioStore, uint32_t inId,
                              std::unique_ptr<CPreferences> inValue);
// Copies inSize bytes.
void SetMemoryPreference(CPreferences& ioStore, uint32_t inId, uint32_t inSize, const void* inBytes);
