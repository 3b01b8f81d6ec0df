// The "AppView" table: views, menus, toolbars, alerts, progress and batch commands.
#pragma once

struct AppViewTable;

namespace qmhost {

const AppViewTable* appViewTable();

}  // namespace qmhost
