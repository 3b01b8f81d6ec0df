// Which codes of which fonts a document's pages show, read from their content.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

namespace qmhost {

// A font found in the pages' resources and the two-byte codes that the content
// shows in it (empty when it is named but never shown).
struct FontCodes {
    QPDFObjectHandle font;
    std::set<uint16_t> codes;
};

// The decoded data of a stream; raises std::runtime_error naming what when a
// filter cannot be undone.
std::string decodedStreamData(QPDFObjectHandle stream, const std::string& what);

// The fonts that `wanted` picks among the font resources of the pages and of
// the form XObjects they hold (each form once), keyed by the font
// dictionary's object, with the codes of the strings that the text operators
// (Tj, TJ, ' and ") show in them, following Tf and the q/Q stack through each
// page's content streams in order. Damaged content is read as far as it goes.
// Raises what qpdf raises for a stream that cannot be decoded.
std::map<QPDFObjGen, FontCodes> scanFontCodes(QPDF& qpdf, const std::function<bool(QPDFObjectHandle)>& wanted);

}  // namespace qmhost
