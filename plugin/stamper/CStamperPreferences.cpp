#include "stamper/CStamperPreferences.h"

#include "support/prefs/CPreferencesValueTags.h"
#include "support/io/ModulePaths.h"
#include "support/prefs/PreferenceSetters.h"

namespace {
CStamperPreferences* sPreferences = nullptr;
}  // namespace

CStamperPreferences* GetStamperPreferences() { return sPreferences; }

void SetStamperPreferences(CStamperPreferences* inPreferences) { sPreferences = inPreferences; }

CStamperPreferences::CStamperPreferences() {
    SetPath(GetPlugInDataFilePath(kStamperPreferencesFileName).c_str());
}

CStamperPreferences::~CStamperPreferences() = default;

bool CStamperPreferences::GetBoolean(uint32_t inId, bool inDefault,
                                     void (CStamperPreferences::*inSetter)(bool)) {
    if (const auto* tag = dynamic_cast<const CPreferencesBooleanTag*>(GetTag(inId)))
        return tag->GetValue();
    (this->*inSetter)(inDefault);
    return inDefault;
}

int32_t CStamperPreferences::GetLong(uint32_t inId, int32_t inDefault,
                                     void (CStamperPreferences::*inSetter)(const int32_t&)) {
    if (const auto* tag = dynamic_cast<const CPreferencesLongTag*>(GetTag(inId)))
        return tag->GetValue();
    (this->*inSetter)(inDefault);
    return inDefault;
}

bool CStamperPreferences::GetWriteToNewFile() {
    return GetBoolean(kPrefWriteToNewFile, false, &CStamperPreferences::SetWriteToNewFile);
}
void CStamperPreferences::SetWriteToNewFile(bool inValue) {
    SetBooleanPreference(*this, kPrefWriteToNewFile, inValue);
}

bool CStamperPreferences::GetEnableLogging() {
    return GetBoolean(kPrefEnableLogging, false, &CStamperPreferences::SetEnableLogging);
}
void CStamperPreferences::SetEnableLogging(bool inValue) {
    SetBooleanPreference(*this, kPrefEnableLogging, inValue);
}

bool CStamperPreferences::GetIgnorePageRotation() {
    return GetBoolean(kPrefIgnorePageRotation, false, &CStamperPreferences::SetIgnorePageRotation);
}
void CStamperPreferences::SetIgnorePageRotation(bool inValue) {
    SetBooleanPreference(*this, kPrefIgnorePageRotation, inValue);
}

int32_t CStamperPreferences::GetBatesFixedLength() {
    return GetLong(kPrefBatesFixedLength, kDefaultBatesFixedLength,
                   &CStamperPreferences::SetBatesFixedLength);
}
void CStamperPreferences::SetBatesFixedLength(const int32_t& inValue) {
    SetLongPreference(*this, kPrefBatesFixedLength, inValue);
}

int32_t CStamperPreferences::GetUseRomanNumerals() {
    return GetLong(kPrefUseRomanNumerals, 0, &CStamperPreferences::SetUseRomanNumerals);
}
void CStamperPreferences::SetUseRomanNumerals(const int32_t& inValue) {
    SetLongPreference(*this, kPrefUseRomanNumerals, inValue);
}

bool CStamperPreferences::GetShowPreview() {
    return GetBoolean(kPrefShowPreview, false, &CStamperPreferences::SetShowPreview);
}
void CStamperPreferences::SetShowPreview(bool inValue) {
    SetBooleanPreference(*this, kPrefShowPreview, inValue);
}

int32_t CStamperPreferences::GetPreviewPageNumber() {
    return GetLong(kPrefPreviewPageNumber, 0, &CStamperPreferences::SetPreviewPageNumber);
}
void CStamperPreferences::SetPreviewPageNumber(const int32_t& inValue) {
    SetLongPreference(*this, kPrefPreviewPageNumber, inValue);
}
