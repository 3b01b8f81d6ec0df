// Opening a PDF file as a document, for the host programs.
#pragma once

#include <string>

#include "qmhost/QMBase.h"

struct PDModelTable;

namespace qmhost {

// Opens the PDF file at path as a document without a view; the caller closes
// it (docClose) or hands it to a view. What qpdf repaired while reading is
// shown as warnings. Raises HostError when it cannot be opened:
// kHostErrFileNotFound, kHostErrFileOpen, kHostErrEncrypted (it needs a
// password), kHostErrBadPDF (it cannot be read as a PDF file, or it has no page
// tree that can be followed), kHostErrGeneric (it has no pages).
PDDoc openPdfDocument(const std::string& path);
// The same through the given document table (docOpen).
PDDoc openPdfDocument(const std::string& path, const PDModelTable* model);

}  // namespace qmhost
