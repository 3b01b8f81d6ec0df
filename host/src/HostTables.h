// Every table the host offers, and registering them under their names and versions.
#pragma once

struct CoreTable;
struct AppSupportTable;
struct CosTable;
struct PDModelTable;
struct AppViewTable;
struct PDFEditReadTable;
struct PDFEditWriteTable;
struct PDSysFontTable;
struct ASExtraTable;

namespace qmhost {

const CoreTable* coreTable();
const AppSupportTable* appSupportTable();
const CosTable* cosTable();
const PDModelTable* pdModelTable();
const AppViewTable* appViewTable();
const PDFEditReadTable* pdfEditReadTable();
const PDFEditWriteTable* pdfEditWriteTable();
const PDSysFontTable* pdSysFontTable();
const ASExtraTable* asExtraTable();

// Registers every table: the required ones at 0x50001 and 0x50000, the two
// page-content tables also at 0x40005 and 0x40000. Idempotent.
void registerHostTables();

}  // namespace qmhost
