// Small conversions between the table's values and qpdf objects, shared by the
// PDModel entries: fixed numbers, rectangles, names as atoms, bounded UTF-8 text.
#pragma once

#include <cstdint>
#include <string>

#include <qpdf/QPDFObjectHandle.hh>

#include "qmhost/QMBase.h"

namespace qmhost {

// A fixed value that marks an absent ("null") number in destinations.
constexpr ASFixed kNullFixed = static_cast<ASFixed>(0x80000000u);

// A PDF number for a 16.16 value: an integer when whole, else a real written
// with up to five decimals independently of the locale.
QPDFObjectHandle pdfNumber(ASFixed value);
// The same, or a PDF null for kNullFixed.
QPDFObjectHandle pdfNumberOrNull(ASFixed value);
// A number object as 16.16 (rounded, clamped); kNullFixed for anything else.
ASFixed fixedOrNull(QPDFObjectHandle number);

// [left bottom right top] of rect, normalised (left <= right, bottom <= top).
QPDFObjectHandle pdfRectangle(const ASFixedRect& rect);

// The PDF name ("/Link") of a non-empty text or an atom; raise
// kHostErrBadParameter (naming op) for a null or empty text or an unknown atom.
std::string pdfNameOf(const char* text, const char* op);
std::string pdfNameOf(ASAtom atom, const char* op);
// The atom of a name object ("/Link" -> atom of "Link"); kASAtomNull for anything else.
ASAtom atomOfNameObject(QPDFObjectHandle name);

// Copies text into buffer (when buffer is non-null and capacity > 0): at most
// capacity - 1 bytes, cut back to the start of a UTF-8 character, then a NUL.
// Answers the full length of text (clamped to INT32_MAX).
int32_t copyUtf8Bounded(const std::string& text, char* buffer, int32_t capacity);

}  // namespace qmhost
