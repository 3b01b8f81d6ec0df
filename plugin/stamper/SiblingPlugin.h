// The sibling plug-in of the product family: when it is installed in the host,
// it owns the family's About item and the two plug-ins share one help menu.
#pragma once

#include <string>

// "<folder of the host program>/plug_ins/Inkwell/Inkwell.api"; empty when the
// program's file cannot be found.
std::string GetSiblingPluginPath();

// Whether that file (or folder) exists.
bool IsSiblingPluginInstalled();

// Tests: looks for the sibling at inPath instead (empty: the real place again).
void SetSiblingPluginPathForTesting(const std::string& inPath);
