#include "support/prefs/PreferenceTagTypes.h"

#include <new>

#include "support/prefs/CPreferencesDataTags.h"
#include "support/prefs/CPreferencesPreferencesTag.h"
#include "support/prefs/CPreferencesValueTags.h"

CRegisteredPrefTagArray::CRegisteredPrefTagArray() = default;

CRegisteredPrefTagArray::~CRegisteredPrefTagArray() { Clear(); }

void CRegisteredPrefTagArray::Register(uint32_t inType, PrefTagReader inReader) {
    auto registration = std::make_unique<PrefTagRegistration>(PrefTagRegistration{inType, inReader});
    Append(registration.get());
    registration.release();  // owned by the array now
}

PrefTagReader CRegisteredPrefTagArray::Find(uint32_t inType) const {
    for (int32_t i = 0; i < GetCount(); ++i) {
        const PrefTagRegistration* registration = RegistrationAt(i);
        if (registration->type == inType) return registration->reader;
    }
    return nullptr;
}

const PrefTagRegistration* CRegisteredPrefTagArray::RegistrationAt(int32_t inIndex) const {
    PrefTagRegistration* registration = nullptr;
    return GetAt(inIndex, registration) ? registration : nullptr;
}

void CRegisteredPrefTagArray::Clear() {
    while (GetCount() > 0) {
        const PrefTagRegistration* registration = RegistrationAt(0);
        RemoveAt(0);
        delete registration;
    }
}

CRegisteredPrefTagArray& GetRegisteredPrefTagTypes() {
    // Built on first use: its order against other static objects does not matter.
    static CRegisteredPrefTagArray registry;
    return registry;
}

void RegisterPrefTagType(uint32_t inType, PrefTagReader inReader) {
    try {
        GetRegisteredPrefTagTypes().Register(inType, inReader);
    } catch (const std::bad_alloc&) {
        ThrowErrorCode(kErrNoMemory);
    }
}

PrefTagReader FindPrefTagReader(uint32_t inType) { return GetRegisteredPrefTagTypes().Find(inType); }

void UnregisterPrefTagTypes() { GetRegisteredPrefTagTypes().Clear(); }

void RegisterPreferenceTagTypes() {
    RegisterPrefTagType(kPrefTypeMark, &CPreferencesMarkTag::Read);
    RegisterPrefTagType(kPrefTypeLong, &CPreferencesLongTag::Read);
    RegisterPrefTagType(kPrefTypePoint, &CPreferencesPointTag::Read);
    RegisterPrefTagType(kPrefTypeFile, &CPreferencesFileTag::Read);
    RegisterPrefTagType(kPrefTypeFloat, &CPreferencesFloatTag::Read);
    RegisterPrefTagType(kPrefTypeBoolean, &CPreferencesBooleanTag::Read);
    RegisterPrefTagType(kPrefTypeRect, &CPreferencesRectTag::Read);
    RegisterPrefTagType(kPrefTypeString, &CPreferencesStringTag::Read);
    RegisterPrefTagType(kPrefTypePreferences, &CPreferencesPreferencesTag::Read);
}
