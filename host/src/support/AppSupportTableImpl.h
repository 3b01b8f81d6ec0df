// The "AppSupport" table: memory, paths, files, streams and fixed-point arithmetic.
#pragma once

struct AppSupportTable;

namespace qmhost {

const AppSupportTable* appSupportTable();

}  // namespace qmhost
