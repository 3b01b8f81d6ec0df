// Opening a PDF file as the user asks, through a document table (PDModel
// docOpen). What qpdf repaired while reading the file is shown as warnings
// (alerts, one a line, each naming the file). A document without pages is
// closed again and refused: there is nothing in it to show or stamp, and a
// file qpdf could read no page tree of would be saved as an empty file.
#pragma once

#include <string>

#include "qmhost/QMBase.h"

struct PDModelTable;

namespace qmhost {

// The open document (the caller closes it or hands it to a view). Raises what
// docOpen raises, and kHostErrGeneric "<path> has no pages" for a document
// without pages.
PDDoc openDocumentForUser(const std::string& path, const PDModelTable* model);

}  // namespace qmhost
