// The plug-in's user settings: one preferences store (CPreferences) in the file
// "Quillmark.pfs" of the plug-in's data folder, with one typed getter and setter
// per setting.
//
// A getter never fails: when the store lacks the setting, or holds it as a tag
// of another class, the getter stores the default (through its setter) and
// answers it; the file itself changes only at the next WriteFile.
//
// One instance exists for the plug-in: the initialisation makes it, registers
// the tag types (RegisterPreferenceTagTypes), reads the file and installs it
// with SetStamperPreferences; the preferences dialog writes it; the unload
// deletes it without writing.
#pragma once

#include <cstdint>

#include "support/prefs/CPreferences.h"

// Tag ids of the settings.
constexpr uint32_t kPrefWriteToNewFile = FourCharCode("WTNF");      // bool, false
constexpr uint32_t kPrefEnableLogging = FourCharCode("EnLo");       // bool, false
constexpr uint32_t kPrefIgnorePageRotation = FourCharCode("IPRo");  // bool, false
constexpr uint32_t kPrefBatesFixedLength = FourCharCode("BFLe");    // long, 6
constexpr uint32_t kPrefUseRomanNumerals = FourCharCode("URNu");    // long, 0
constexpr uint32_t kPrefShowPreview = FourCharCode("PrPr");         // bool, false
constexpr uint32_t kPrefPreviewPageNumber = FourCharCode("PPNu");   // long, 0

// The file's name in the plug-in's data folder.
inline constexpr const char kStamperPreferencesFileName[] = "Quillmark.pfs";

// Defaults.
constexpr int32_t kDefaultBatesFixedLength = 6;

class CStamperPreferences : public CPreferences {
public:
    // A store with the default signature and version whose path is the data
    // folder (GetPlugInDataFolder) followed by "/Quillmark.pfs"; empty when no
    // data folder is set. Reads nothing.
    CStamperPreferences();
    ~CStamperPreferences() override;

    // Stamp into a new document holding a copy of all pages instead of into the
    // document itself.
    bool GetWriteToNewFile();
    void SetWriteToNewFile(bool inValue);
    // Logging on: the log writes lines only while this is true.
    bool GetEnableLogging();
    void SetEnableLogging(bool inValue);
    // Ignore the page's rotation when a stamp is placed.
    bool GetIgnorePageRotation();
    void SetIgnorePageRotation(bool inValue);
    // Bates numbers are padded with leading zeros to this many characters (the
    // dialog offers 0 to 40).
    int32_t GetBatesFixedLength();
    void SetBatesFixedLength(const int32_t& inValue);
    // Page numbers as Roman numerals: 0 (or negative) no, 1 upper case, any
    // other positive value lower case.
    int32_t GetUseRomanNumerals();
    void SetUseRomanNumerals(const int32_t& inValue);
    // The stamp manager's preview check box.
    bool GetShowPreview();
    void SetShowPreview(bool inValue);
    // The stamp manager's preview page number.
    int32_t GetPreviewPageNumber();
    void SetPreviewPageNumber(const int32_t& inValue);

private:
    bool GetBoolean(uint32_t inId, bool inDefault, void (CStamperPreferences::*inSetter)(bool));
    int32_t GetLong(uint32_t inId, int32_t inDefault,
                    void (CStamperPreferences::*inSetter)(const int32_t&));
};

// The plug-in's preferences as installed by the initialisation; null before
// and after. Not owned here: the initialisation deletes the store after
// installing null.
CStamperPreferences* GetStamperPreferences();
void SetStamperPreferences(CStamperPreferences* inPreferences);
