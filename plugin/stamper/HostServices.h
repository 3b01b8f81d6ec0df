// Small services that the stamper's parts share: where its data lives (beside
// its module), the host's major version, host texts to and from UTF-8 strings,
// and the channels of a stored colour.
#pragma once

#include <cstdint>
#include <string>

#include "qmhost/QMBase.h"
#include "support/io/TFileSpecifier.h"

// The profiles folder's name in the data folder.
inline constexpr const char kProfilesFolderName[] = "Profiles";

// Sets the plug-in's data folder (SetPlugInDataFolder) to inPluginFolder, names
// the log file inPluginFolder + "/Quillmark.txt" and the profiles folder
// inPluginFolder + "/Profiles" (a "/" at the folder's end is not doubled).
// Answers false and changes nothing for a null or empty folder or when a path
// would not fit kFileSpecCapacity.
bool SetStamperDataPaths(const char* inPluginFolder);
// The profiles folder's path (empty until SetStamperDataPaths succeeds).
const char* GetProfilesFolderPath();
const TFileSpecifier& GetProfilesFolderSpec();
// The log file's path (empty until SetStamperDataPaths succeeds).
const char* GetStamperLogFilePath();

// The host's version as the plug-in knows it: the major number is 5 until
// GetHostVersion reads it from the host.
struct HostVersionRecord {
    int16_t major = 5;
};
const HostVersionRecord& GetHostVersionRecord();
// Reads the host's major version into the record and answers it. Without the
// host's table (or a host too old to tell) the record keeps what it holds.
int16_t GetHostVersion();

// A new host text holding the UTF-8 string, owned by the caller (who destroys
// it or hands it to a cabinet); null for a null string or when the host offers
// no "ASExtra" table. A host error is thrown as its 16-bit code.
ASText CStringToASText(const char* inString);
// Sets outString to the text's UTF-8 and answers it; empty for a null text or
// without the "ASExtra" table. A host error (a stale text) is thrown as its code.
std::string& ASTextToCString(std::string& outString, ASText inText);

// The channels of a colour stored as 0x00BBGGRR, each 0..255.
inline int32_t RedOf(int32_t inColour) { return inColour & 0xFF; }
inline int32_t GreenOf(int32_t inColour) { return (inColour >> 8) & 0xFF; }
inline int32_t BlueOf(int32_t inColour) { return (inColour >> 16) & 0xFF; }
