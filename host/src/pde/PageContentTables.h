// The page-content model's table entries.
#pragma once

#include <cstddef>

#include <qpdf/QPDFObjectHandle.hh>

#include "cos/Document.h"
#include "qmhost/PDFEditReadTable.h"
#include "qmhost/PDFEditWriteTable.h"
#include "qmhost/PagePDEContentTable.h"

namespace qmhost {

// Fill the page-content entries of the two tables.
void addPageContentRead(PDFEditReadTable& table);
void addPageContentWrite(PDFEditWriteTable& table);
// The "PagePDEContent" table.
const PagePDEContentTable* pagePDEContentTable();
// What the page-content loans need of pages, which the document model layer
// answers; the composition root hands it over before the tables are used.
struct PdePageAccess {
    // The document and the dictionary of a held page; raise kHostErrBadHandle otherwise.
    Document& (*document)(PDPage page, const char* op);
    QPDFObjectHandle (*dictionary)(PDPage page, const char* op);
    // The resources the page's content draws with (null when none).
    QPDFObjectHandle (*resources)(QPDFObjectHandle page, bool create);
};
void setPdePageAccess(const PdePageAccess& access);

// Loans of page contents still out (tests check that each was given back).
size_t pageContentLoanCount();

}  // namespace qmhost
