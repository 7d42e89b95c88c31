#include "command/section_edges.h"

namespace quorvane {

StakeOptions WithSectionColumns(StakeOptions options) {
  options.leftWidth_m = 0;
  options.rightWidth_m = 0;
  options.slopes = {};
  return options;
}

void SetSectionEdges(const Line& line, const CrossSection& section, StakeRow& row, std::size_t& cursor) {
  const SectionAt at = section.At(row.stake.distance_m, cursor);
  row.left = line.PointAtOffset(row.stake.distance_m, at.LeftEdgeOffset_m());
  row.right = line.PointAtOffset(row.stake.distance_m, at.RightEdgeOffset_m());
  if (row.H_m) {
    row.leftH_m = *row.H_m + at.LeftEdgeRise_m();
    row.rightH_m = *row.H_m + at.RightEdgeRise_m();
  } else {
    row.leftH_m.reset();
    row.rightH_m.reset();
  }
}

}  // namespace quorvane
