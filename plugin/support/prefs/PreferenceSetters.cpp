#include "support/prefs/PreferenceSetters.h"

#include <new>
#include <utility>

#include "support/prefs/CPreferences.h"
#include "support/prefs/CPreferencesDataTags.h"
#include "support/prefs/CPreferencesPreferencesTag.h"

namespace {

// Changes the value of a tag of class Tag with the id in place, or adds a new
// Tag made from (id, value).
template <class Tag, class Value>
void SetPreference(CPreferences& ioStore, uint32_t inId, Value&& inValue) {
    if (auto* tag = dynamic_cast<Tag*>(ioStore.GetTag(inId))) {
        tag->SetValue(std::forward<Value>(inValue));
        return;
    }
    try {
        ioStore.AddTag(std::make_unique<Tag>(inId, std::forward<Value>(inValue)));
    } catch (const std::bad_alloc&) {
        ThrowErrorCode(kErrNoMemory);
    }
}

}  // namespace

void SetBooleanPreference(CPreferences& ioStore, uint32_t inId, bool inValue) {
    SetPreference<CPreferencesBooleanTag>(ioStore, inId, inValue);
}

void SetLongPreference(CPreferences& ioStore, uint32_t inId, int32_t inValue) {
    SetPreference<CPreferencesLongTag>(ioStore, inId, inValue);
}

void SetPointPreference(CPreferences& ioStore, uint32_t inId, const PrefPoint& inValue) {
    SetPreference<CPreferencesPointTag>(ioStore, inId, inValue);
}

void SetRectPreference(CPreferences& ioStore, uint32_t inId, const PrefRect& inValue) {
    SetPreference<CPreferencesRectTag>(ioStore, inId, inValue);
}

void SetFloatPreference(CPreferences& ioStore, uint32_t inId, double inValue) {
    SetPreference<CPreferencesFloatTag>(ioStore, inId, inValue);
}

void SetStringPreference(CPreferences& ioStore, uint32_t inId, const char* inValue) {
    SetPreference<CPreferencesStringTag>(ioStore, inId, inValue);
}

void SetFilePreference(CPreferences& ioStore, uint32_t inId, const TFileSpecifier& inValue) {
    SetPreference<CPreferencesFileTag>(ioStore, inId, inValue);
}

void SetPreferencesPreference(CPreferences& ioStore, uint32_t inId,
                              std::unique_ptr<CPreferences> inValue) {
    SetPreference<CPreferencesPreferencesTag>(ioStore, inId, std::move(inValue));
}

void SetMemoryPreference(CPreferences& ioStore, uint32_t inId, uint32_t inSize,
                         const void* inBytes) {
    if (auto* tag = dynamic_cast<CPreferencesMemoryTag*>(ioStore.GetTag(inId))) {
        tag->SetValue(inSize, inBytes);
        return;
    }
    try {
        ioStore.AddTag(std::make_unique<CPreferencesMemoryTag>(inId, inSize, inBytes));
    } catch (const std::bad_alloc&) {
        ThrowErrorCode(kErrNoMemory);
    }
}
