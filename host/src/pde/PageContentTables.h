// The page-content model's table entries.
#pragma once

#include <cstddef>

#include "qmhost/PDFEditReadTable.h"
#include "qmhost/PDFEditWriteTable.h"
#include "qmhost/PagePDEContentTable.h"

namespace qmhost {

// Fill the page-content entries of the two tables.
void addPageContentRead(PDFEditReadTable& table);
void addPageContentWrite(PDFEditWriteTable& table);
// The "PagePDEContent" table.
const PagePDEContentTable* pagePDEContentTable();
// Loans of page contents still out (tests check that each was given back).
size_t pageContentLoanCount();

}  // namespace qmhost
