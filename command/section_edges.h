#pragma once

// Stake rows whose edges follow a cross-section table (超高、加宽表) instead
// of one width and slope a side: each stake's edge points lie on the normal
// at the table's widths there, and their heights turn about the design line
// at the table's slopes.

#include <cstddef>

#include "calc/cross_section.h"
#include "command/line_stakes.h"

namespace quorvane {

// Options whose run has both edge columns (and their heights with a
// profile), for rows whose edges SetSectionEdges then fills. Fixed widths
// and slopes of `options` are not used with a table.
StakeOptions WithSectionColumns(StakeOptions options);

// Replaces a row's edge points and edge heights by those of `section` at the
// stake's distance. `cursor` speeds up stakes asked in order along the line
// (start it at 0). The centre height stays the row's own; without one the
// edges have none either.
void SetSectionEdges(const Line& line, const CrossSection& section, StakeRow& row, std::size_t& cursor);

}  // namespace quorvane
