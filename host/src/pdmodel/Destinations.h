// View destinations ([page /Fit...] arrays) shared by the destination and the
// action entries.
#pragma once

#include <cstdint>

#include <qpdf/QPDFObjectHandle.hh>

#include "cos/Document.h"

namespace qmhost {

// The destination array of dest: dest itself when it is an array, the /D of a
// destination dictionary; a null object for anything else.
QPDFObjectHandle destinationArray(QPDFObjectHandle dest);

// The 0-based number of page in document, or -1 when it is none of its pages.
int32_t pageNumberIn(Document& document, QPDFObjectHandle page);

// A new direct array: first, then copies of the elements of dest after its page
// (numbers, names, nulls and booleans; anything else becomes null), so nothing of
// another document is carried along.
QPDFObjectHandle destinationWithFirst(QPDFObjectHandle first, QPDFObjectHandle dest);

}  // namespace qmhost
