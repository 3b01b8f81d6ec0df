// PDPage handles: (document serial << 32) | (slot of the page dictionary + 1).
// A page handle is valid while its document is open and at least one reference
// on it is held (docAcquirePage / pageAcquire, given back with pageRelease).
#pragma once

#include <cstdint>

#include <qpdf/QPDFObjectHandle.hh>

#include "cos/Document.h"
#include "qmhost/QMBase.h"

namespace qmhost {

// Takes one reference on page number index (0-based) of document and answers its
// handle. Raises kHostErrBadIndex outside 0..count-1.
PDPage acquirePageAt(Document& document, int32_t index);
// Takes one more reference on a held page. Raises kHostErrBadHandle otherwise.
void acquirePage(PDPage page);
// Gives one reference back. Null, stale and unheld pages are ignored, so that a
// holder's destructor may release after its document has closed.
void releasePage(PDPage page);

// The document and the page dictionary of a held page; raise kHostErrBadHandle
// (naming op) for a page that is unknown, released or of a closed document.
Document& documentOfPage(PDPage page, const char* op);
QPDFObjectHandle pageObjectOf(PDPage page, const char* op);

}  // namespace qmhost
