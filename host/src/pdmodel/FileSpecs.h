// File specs: /Filespec dictionaries naming a file by path.
#pragma once

#include <optional>
#include <string>

#include <qpdf/QPDFObjectHandle.hh>

namespace qmhost {

// The path as a file spec names it: relative (with "/" separators) when
// path lies in the folder of relativeTo or below it, else absolute. relativeTo is
// a file's path (a path ending in "/" names the folder itself); empty: absolute.
// Both are taken lexically: "." and ".." are folded, links are not followed.
std::string fileSpecPath(const std::string& path, const std::string& relativeTo);

// A new direct dictionary /Type /Filespec /F (the path's bytes) /UF (as PDF text).
QPDFObjectHandle newFileSpec(const std::string& specPath);

// The file name of a file spec (a string, or a dictionary with /UF or
// /F) as UTF-8; none for anything else.
std::optional<std::string> fileSpecText(QPDFObjectHandle fileSpec);

}  // namespace qmhost
