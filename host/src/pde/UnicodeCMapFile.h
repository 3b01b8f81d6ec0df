// The predefined Unicode CMaps of the CJK character collections, as installed
// with poppler-data: which CID of the collection each UCS-2 code stands for.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace qmhost {

struct UnicodeCMap {
    std::string name;      // "UniGB-UCS2-H"
    std::string registry;  // "Adobe"
    std::string ordering;  // "GB1"
    int supplement = 0;
    std::unordered_map<uint16_t, uint16_t> cidOfCode;
};

// Where the CMaps are installed (poppler-data): folder/<collection>/<name>.
constexpr const char* kCMapFolder = "/usr/share/poppler/cMap";

// Reads the CMap `name` of the collection ("Adobe-GB1") from kCMapFolder. Only
// the CMap's own ranges and single codes are read (the Unicode CMaps use no
// other). Raises kHostErrNotFound naming the CMap and the package when it is not
// installed, kHostErrBadParameter when it holds no mapping.
UnicodeCMap readUnicodeCMap(const std::string& collection, const std::string& name);

// The same from text, for tests and for readUnicodeCMap.
UnicodeCMap parseUnicodeCMap(const std::string& name, const std::string& text);

}  // namespace qmhost
