// The "ASExtra" table: cabinets and host texts.
#pragma once

struct ASExtraTable;

namespace qmhost {

const ASExtraTable* asExtraTable();

}  // namespace qmhost
