#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

#include "calc/line.h"
#include "calc/profile.h"

namespace quorvane {

// The road's cross-section along a line (横断面): how wide the carriageway is
// on each side of the design line and how it is sloped, row by row of a
// superelevation and widening table (超高、加宽表).
//
// Conventions of this header:
//  - a width is metres from the design line to that side's edge, >= 0;
//  - a slope is in percent, the same sign as a cross slope everywhere else:
//    positive rises outward from the design line, negative falls (-2 is the
//    usual crown; a right-hand curve superelevated to 6 % has +6 on the left
//    and -6 on the right, the carriageway turning about its design line);
//  - left and right are as seen travelling towards increasing distance; an
//    offset is right of the line positive, left negative.
//
// Rows are given at displayed stations, but everything between them is laid
// out in distance along the line: each row's station is mapped once with
// Line::DistanceAt, and k below is the share of the distance between two
// rows. A chainage equation (断链) between two rows therefore changes which
// station a width belongs to, never the shape of a run-off, as the profile
// does with its grades. In a long chain's repeated stretch a station is taken
// at its first occurrence.
//
// Between two rows each slope varies linearly with distance. Each width varies
// linearly too, or, where the later row asks for the higher-order transition
// (高次), as b = b0 + (b1 - b0)(4k^3 - 3k^4), k = (d - d0)/(d1 - d0), which
// leaves the earlier row and meets the later one without a kink in the edge
// line. Before the first row the first row holds, after the last row the
// last.

// How the widths reach a row from the row before it.
enum class WidthTransition { Linear, HigherOrder };

// One row of the table. `line` is where the row came from, for messages:
// the file's line (the heading counting as line 1) or the row of the window's
// table; 0 names the row by its place among the rows given (1, 2, ...).
struct CrossSectionRow {
  double station_m = 0;
  double leftWidth_m = 0;
  double rightWidth_m = 0;
  double leftSlope_percent = 0;
  double rightSlope_percent = 0;
  WidthTransition transition = WidthTransition::Linear;
  std::size_t line = 0;

  bool operator==(const CrossSectionRow&) const = default;
};

// The cross-section at one distance.
struct SectionAt {
  double leftWidth_m = 0;
  double rightWidth_m = 0;
  double leftSlope_percent = 0;
  double rightSlope_percent = 0;

  CrossSlopes Slopes() const { return {leftSlope_percent, rightSlope_percent}; }
  // How far a point offset_m right (> 0) or left (< 0) of the design line
  // lies above it on this cross-section: the slope of the point's side times
  // |offset| / 100, the carriageway extended at its side's slope beyond the
  // edge. A point on the line (offset 0) lies at its height.
  double RiseAt(double offset_m) const {
    return (offset_m < 0 ? leftSlope_percent : rightSlope_percent) / 100 * std::fabs(offset_m);
  }
  // The edges' heights above the design line (width * slope / 100).
  double LeftEdgeRise_m() const { return leftWidth_m * leftSlope_percent / 100; }
  double RightEdgeRise_m() const { return rightWidth_m * rightSlope_percent / 100; }
  // The edges' offsets for Line::PointAtOffset: the left edge's is negative.
  double LeftEdgeOffset_m() const { return -leftWidth_m; }
  double RightEdgeOffset_m() const { return rightWidth_m; }
};

// The fixed texts of its refusals are in calc/messages.h.
class CrossSection {
 public:
  // Validates once, mapping each row's station to its distance on `line`.
  // Throws CalculationError, naming the row as "第N行：" (N: the row's
  // `line`, or its place when that is 0):
  //  - no rows at all (kCrossSectionEmptyPrompt);
  //  - a station, width or slope that is not finite or reaches 10^12 in
  //    magnitude (kCrossSectionNotANumberText);
  //  - a negative width (kCrossSectionNegativeWidthText);
  //  - a station off the line or in a short chain's gap, with the line's own
  //    reason after the row's name;
  //  - a station whose distance is not after the one of the row before
  //    (kCrossSectionOrderText);
  //  - an inside edge that reaches the centre of curvature: anywhere on an
  //    arc or spiral where the width on the side the line turns to is at
  //    least the radius there. The whole line is examined, also where the
  //    width changes along a spiral, and the worst point (the largest width
  //    over radius) is named by its displayed station
  //    (CrossSectionReachesCentreMessage), as such an edge would cross back
  //    over the line.
  CrossSection(const Line& line, std::vector<CrossSectionRow> rows);

  const std::vector<CrossSectionRow>& Rows() const { return rows_; }
  // Distance along the line of each row, as the constructor mapped it.
  const std::vector<double>& Distances_m() const { return distances_m_; }

  // The widths and slopes at a distance along the line. Any distance is
  // answered (the end rows hold beyond the table); a NaN distance gives the
  // first row.
  SectionAt At(double distance_m) const;

  // The same for distances asked in order along the line (every stake of a
  // line): `cursor` remembers the stretch of the last answer and is updated,
  // so the next answer costs no search. Start it at 0; any value gives the
  // same answers as the one above.
  SectionAt At(double distance_m, std::size_t& cursor) const;

  // How far the design surface lies above the design line at a point
  // offset_m right (> 0) or left (< 0) of it at a distance: the rise of
  // At(distance_m).RiseAt(offset_m), the slope of the point's own side. Add
  // it to the profile's height there for the design height of a located
  // point. Throws CalculationError(kCrossSlopeNotANumberPrompt) for an offset
  // that is not finite.
  double RiseAt(double distance_m, double offset_m) const;

 private:
  std::vector<CrossSectionRow> rows_;
  std::vector<double> distances_m_;

  SectionAt Between(std::size_t stretch, double distance_m) const;
  void CheckInsideEdges(const Line& line) const;
};

}  // namespace quorvane
