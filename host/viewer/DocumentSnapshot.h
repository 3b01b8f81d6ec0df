// What the viewer draws from: a poppler document that shows an open host
// document's contents as they are now. A document unchanged since it was
// opened is read by poppler from its file (no copy is made, so a 2,000-page
// file shows at once); a changed one is written out as qpdf would save it.
// A snapshot belongs to one drawing thread at a time; the host's document is
// only read here, on the user-interface thread.
#pragma once

#include <QSizeF>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "qmhost/QMBase.h"

namespace Poppler {
class Document;
}

namespace qmviewer {

// Null with *error set when poppler cannot read the document.
std::shared_ptr<Poppler::Document> makeSnapshot(PDDoc doc, QString* error);

// The document's page sizes in points as displayed (crop box, rotation applied).
std::vector<QSizeF> displayedPageSizes(PDDoc doc);

// How often the document's contents changed (0 for an unknown document).
uint64_t contentsGeneration(PDDoc doc);

// Whether the document has changes not yet saved.
bool hasUnsavedChanges(PDDoc doc);

// The file the document was opened from or last saved to; empty for none.
QString documentPath(PDDoc doc);

}  // namespace qmviewer
