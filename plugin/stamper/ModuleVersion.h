// The version record of the module's own file.
#pragma once

#include <cstddef>
#include <string>

// Reads the four version numbers from the ".qm_version" section of the ELF
// file at path. False when the file has no such record (or is no ELF file).
bool ReadModuleVersionRecord(const std::string& path, unsigned outVersion[4]);

// The path of the file this code was loaded from (the module, or the program
// it is linked into).
std::string GetModuleFilePath();

// Formats a.b.c.d by code: 3 "a.b.c" (c != 0) or "a.b"; 4 "a.b.c [d]" or
// "a.b [d]"; any other code "a.b.c.d". Bounded by capacity.
void FormatVersion(char* buffer, size_t capacity, int code, unsigned a, unsigned b, unsigned c,
                   unsigned d);

// Empties buffer, then formats the module's version by code; stays empty when
// the module's file has no version record.
void GetModuleVersionString(char* buffer, size_t capacity, int code);
