#pragma once

#include "report/road_tables.h"
#include "report/table_pages.h"

namespace quorvane {

// How a standard table's heading (report/road_tables.h) is printed by the
// page layout (report/table_pages.h): a heading with groups takes two rows,
// each group over its columns in the upper row and a column under no group
// through both; a column set to the right stands on its decimal point (the
// numbers of a column then line up), a centred one stays centred.
TableLook LookOf(const TableHeading& heading, bool sideBySide = false);

}  // namespace quorvane
