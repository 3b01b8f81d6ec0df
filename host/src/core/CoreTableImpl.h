// The "Core" table: atoms, callbacks, table lookup and errors.
#pragma once

struct CoreTable;

namespace qmhost {

const CoreTable* coreTable();

}  // namespace qmhost
