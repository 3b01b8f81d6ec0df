// The "PDModel" table as this layer makes it: documents, pages, annotations,
// actions and destinations. The members that other layers implement (drawing a
// page, opening an image file as a document, the image conversions) are null
// here; the composition root adds them (HostTables.h, pdModelTable()).
#pragma once

struct PDModelTable;

namespace qmhost {

const PDModelTable* documentModelTable();

}  // namespace qmhost
