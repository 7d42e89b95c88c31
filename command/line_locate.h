#pragma once

// Locating measured points on a whole line (坐标反算), one point at a time:
// the texts of a located row, the same in the 路线 window and the tool.

#include <optional>
#include <string>
#include <vector>

#include "calc/cross_section.h"
#include "calc/line.h"
#include "calc/profile.h"

namespace quorvane {

// The texts of one located point.
struct LocatedRow {
  std::string station;  // K-notation, empty when the point is past an end
  std::string offset;   // right positive
  std::string remark;   // past an end, the pass of a long chain, outside the profile
  std::string designH;  // with heights: the design height at the point
  std::string cutFill;  // with heights and a measured H: measured - design
};

// Locates points on `line`. With a profile, the design height of a point is
// the profile's height at its foot plus the rise of its offset at the cross
// slope of its side: from `crossSection` when given (the table's slope of
// that side there), else from `slopes`. Holds references to its arguments,
// which must outlive it.
class PointLocator {
 public:
  PointLocator(const Line& line, const Profile* profile, CrossSlopes slopes, const CrossSection* crossSection,
               int decimals);

  // The row of a point at (X, Y), measured at height H (nothing: no height
  // measured). The design height and 高差 stay empty without a profile.
  LocatedRow Locate(double X_m, double Y_m, std::optional<double> H_m) const;

 private:
  const Line& line_;
  const Profile* profile_;
  CrossSlopes slopes_;
  const CrossSection* crossSection_;
  int decimals_;
};

}  // namespace quorvane
