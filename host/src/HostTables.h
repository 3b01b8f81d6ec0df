// Every table the host offers, and registering them under their names and versions.
#pragma once

struct CoreTable;
struct AcroSupportTable;
struct CosTable;
struct PDModelTable;
struct AcroViewTable;

namespace qmhost {

const CoreTable* coreTable();
const AcroSupportTable* acroSupportTable();
const CosTable* cosTable();
const PDModelTable* pdModelTable();
const AcroViewTable* acroViewTable();

// Registers every table: the required ones at 0x50001 and 0x50000, the two
// page-content tables also at 0x40005 and 0x40000. Idempotent.
void registerHostTables();

}  // namespace qmhost
