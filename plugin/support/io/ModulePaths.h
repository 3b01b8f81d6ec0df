// The process-wide paths of the plug-in: its module file and the folder of its
// own files (preferences, log, profiles). Both are empty at load and set once by
// the initialisation.
//
// Paths are POSIX paths of at most kFileSpecCapacity - 1 bytes; a longer one is
// refused (the setter answers false and the old value stays), never cut.
#pragma once

#include <string>

// Copies the path of the plug-in's module file (null: empty). False when refused.
bool SetPlugInModulePath(const char* inPath);
// The module file's path (never null; empty when not set).
const char* GetPlugInModulePath();

// Copies the folder of the plug-in's own files (null: empty). False when refused.
bool SetPlugInDataFolder(const char* inFolder);
// The data folder (never null; empty when not set).
const char* GetPlugInDataFolder();

// The path of the file inName in the data folder ("<folder>/<inName>"); empty
// when no data folder is set or the path would be too long for a file path.
std::string GetPlugInDataFilePath(const char* inName);
