// The "Cos" table: the objects of documents.
#pragma once

struct CosTable;

namespace qmhost {

const CosTable* cosTable();

}  // namespace qmhost
