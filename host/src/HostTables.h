// The composition root: every table the host offers, composed from the host's
// layers, and registering them under their names and versions. Only the
// programs (and the tests) include this header; no layer does.
#pragma once

#include "cabinet/ASExtraTableImpl.h"
#include "core/CoreTableImpl.h"
#include "cos/CosTableImpl.h"
#include "pde/PDFEditTablesImpl.h"
#include "support/AppSupportTableImpl.h"
#include "sysfont/PDSysFontTableImpl.h"
#include "view/AppViewTableImpl.h"

struct PDModelTable;

namespace qmhost {

// The "PDModel" table of the documents layer completed with the members of the
// layers above it: page drawing (render) and image documents (convert).
const PDModelTable* pdModelTable();

// Registers every table: the required ones at 0x50001 and 0x50000, the two
// page-content tables also at 0x40005 and 0x40000. A program calls it once
// where its session starts; calling it again changes nothing.
void registerHostTables();

}  // namespace qmhost
