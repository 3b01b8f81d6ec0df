// Drawing PDF pages of open documents into images with poppler. The document is
// written as qpdf would save it, loaded into poppler once and kept until the
// document's contents change (see pdmodel/DocumentChanges.h) or it closes.
#pragma once

#include <qpdf/QPDFObjectHandle.hh>

#include "cos/Document.h"
#include "qmhost/QMBase.h"

class QByteArray;
class QImage;

namespace qmhost {

// Draws page number pageIndex (0-based) of document into image through matrix
// (user space -> image pixels, y up from the image's bottom edge), painting only
// where updateRect (user space; null: everywhere) lands. Raises
// kHostErrUnsupported for a matrix that placeDrawing refuses and kHostErrBadPDF
// when poppler cannot read the document.
void renderPage(Document& document, int pageIndex, QImage& image, const ASFixedMatrix& matrix,
                const ASFixedRect* updateRect);

// PDModel pageDrawContents (qmhost/PDModelTable.h states the contract): the
// composition root puts it into the table.
void pageDrawContents(PDPage page, void* image, const ASFixedMatrix* matrix, const ASFixedRect* updateRect);
// The document as qpdf would save it, for poppler to draw from: without
// encryption (poppler gets no password) and with streams left as they are.
// Raises what qpdf throws.
QByteArray bytesForDrawing(QPDF& qpdf);

// How many documents are loaded into poppler now (for tests).
size_t cachedRenderingCount();

}  // namespace qmhost
