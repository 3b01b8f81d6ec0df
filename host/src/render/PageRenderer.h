// Drawing PDF pages of open documents into Qt images with poppler. The document
// is written as qpdf would save it, loaded into poppler once and kept until the
// document's contents change (see pdmodel/DocumentChanges.h) or it closes.
// Poppler and Qt Gui are reached through the drawing library
// (render/DrawingLibrary.h), loaded on the first drawing: the render layer
// itself links neither.
#pragma once

#include <memory>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "cos/Document.h"
#include "qmhost/QMBase.h"

namespace qmhost {

// Draws page number pageIndex (0-based) of document into image (a QImage; a
// null one is left alone) through matrix (user space -> image pixels, y up
// from the image's bottom edge), painting only where updateRect (user space;
// null: everywhere) lands. Raises kHostErrUnsupported for a matrix that
// placeDrawing refuses or when the drawing library cannot be loaded, and
// kHostErrBadPDF when poppler cannot read the document.
void renderPage(Document& document, int pageIndex, void* image, const ASFixedMatrix& matrix,
                const ASFixedRect* updateRect);

// PDModel pageDrawContents (qmhost/PDModelTable.h states the contract): the
// composition root puts it into the table.
void pageDrawContents(PDPage page, void* image, const ASFixedMatrix* matrix, const ASFixedRect* updateRect);
// The document as qpdf would save it, for poppler to draw from: without
// encryption (poppler gets no password) and with streams left as they are.
// Raises what qpdf throws.
std::shared_ptr<Buffer> bytesForDrawing(QPDF& qpdf);

// How many documents are loaded into poppler now (for tests).
size_t cachedRenderingCount();
// Whether the drawing library is loaded into this process (for tests).
bool drawingLibraryLoaded();

}  // namespace qmhost
