// The "PDSysFont" table: the fonts installed on the system.
#pragma once

struct PDSysFontTable;

namespace qmhost {

const PDSysFontTable* pdSysFontTable();

}  // namespace qmhost
