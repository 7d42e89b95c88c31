#pragma once

#include <optional>
#include <vector>

#include "calc/stakes.h"

namespace quorvane {

// A point on (or beside) the curve and the tangent azimuth there: survey X
// (north) and Y (east) in metres, azimuth in radians clockwise from +X.
struct CurvePoint {
  double X;
  double Y;
  double azimuth;
};

// The point and tangent at `station` (metres, lb..le in either order of the
// two), by exactly the integration and azimuth law of ComputeStakes: at a
// stake's station the X and Y are bit for bit those of the stake, and the
// azimuth is the stake's before its DD.MMSS conversion.
// Throws CalculationError: what ComputeStakes refuses in the input, and
// kStationOutsideCurvePrompt for a station outside the curve.
CurvePoint PointAt(const CurveInput& input, double station);

// A station and the signed perpendicular distance from the curve, metres;
// offset > 0 right of the direction of travel (towards increasing stations).
struct StationOffset {
  double station;
  double offset;
};

// The foot of the perpendicular from (X, Y) (metres) to the curve: its
// station and the signed offset of the point from it. Accurate to 0.1 mm in
// both. Throws CalculationError: what PointAt refuses, and
// kPointOutsideCurvePrompt when the foot lies before the start or after the
// end of the curve.
StationOffset LocatePoint(const CurveInput& input, double X, double Y);

// The point `offset_m` metres right (> 0) or left (< 0) of the direction of
// travel, perpendicular to the tangent at `on`. The azimuth is kept.
CurvePoint SidePoint(const CurvePoint& on, double offset_m);

// The side stakes of one curve: for every stake of ComputeStakes (same
// stations, same order) the centre point and the left and right edge points.
// A side with no width has no points.
struct SideStakeTable {
  std::optional<double> leftWidth_m;   // distance to the left edge, metres
  std::optional<double> rightWidth_m;  // distance to the right edge, metres
  std::vector<double> station;         // metres
  std::vector<CurvePoint> left;        // empty without a left width
  std::vector<CurvePoint> right;       // empty without a right width
};

// Throws what ComputeStakes throws, and kOverflowPrompt for a width that is
// not finite or reaches kMaxCoordinate_m.
SideStakeTable ComputeSideStakes(const CurveInput& input, std::optional<double> leftWidth_m,
                                 std::optional<double> rightWidth_m);

}  // namespace quorvane
