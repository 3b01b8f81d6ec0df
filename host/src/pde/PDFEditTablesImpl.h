// The "PDFEditRead" and "PDFEditWrite" tables: page contents as objects.
#pragma once

struct PDFEditReadTable;
struct PDFEditWriteTable;

namespace qmhost {

const PDFEditReadTable* pdfEditReadTable();
const PDFEditWriteTable* pdfEditWriteTable();

}  // namespace qmhost
