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
// azimuth is the stake's before its DD.MMSS conversion. The tangent azimuth
// points towards increasing stations, also when le < lb. A station past an
// end by no more than 1e-9 of the station (a micrometre at 1 km) still
// counts as on the curve, as the stake set counts such an end as a whole
// multiple of the interval.
// The stake interval d plays no part.
// Throws CalculationError: what ComputeStakes refuses in the input (not the
// interval rules), kOverflowPrompt for a station that is not finite, and
// kStationOutsideCurvePrompt for a station outside the curve.
CurvePoint PointAt(const CurveInput& input, double station);

// The curve law of one curve, derived once from its CurveInput: what the
// point at a distance D = station - lb along it needs.
struct CurveLaw {
  double Xa;     // start point X, metres
  double Ya;     // start point Y, metres
  double alpha;  // start azimuth, radians
  double L;      // le - lb, metres (negative when le < lb)
  double invRa;  // 1/Ra, 0 for an infinite radius
  double dk;     // 1/Rb - 1/Ra, the change of curvature over L
  double turn;   // -1, 0 or +1
};

// The curve law of `input`, with the checks ComputeStakes makes before any
// stake (CheckCurveInput, the start azimuth's range, finite curvatures);
// throws CalculationError. The interval plays no part in the shape.
CurveLaw CurveLawOf(const CurveInput& input);

// The point and tangent azimuth at distance D from the start: five-point
// Gauss-Legendre integration of (cos, sin) of the tangent azimuth
// alpha + turn*(invRa*s + dk*s^2/(2L)) over 0..D, and that azimuth at D.
// This one evaluation serves the stakes, PointAt and LocatePoint, so that
// they agree to the bit. No checks: the callers check what comes out.
// Defined beside the Gauss nodes, with the stake computation.
CurvePoint CurveLawAt(const CurveLaw& law, double D);

// A station and the signed perpendicular distance from the curve, metres;
// offset > 0 right of the direction of travel (towards increasing stations).
struct StationOffset {
  double station;
  double offset;
};

// The foot of the perpendicular from (X, Y) (metres) to the curve between
// its two ends: its station and the signed offset of the point from it
// (> 0 right of the direction of increasing stations). Accurate to 0.1 mm in
// both. A point can have several feet on a tight curve (a point outside a
// bend sees it at two places, or more on a curve that winds): the nearest
// foot is returned. Feet on the curve's extensions do not count: a point
// with no foot between the ends is refused, even if an end is near.
// The search scans the curve in pieces that turn by at most 45 degrees,
// then refines each sign change of the along-track distance with Newton's
// method kept inside its bracket (bisection when a step would leave it), a
// bounded number of steps. On a curve that turns more than some 8000 turns
// the pieces are capped and a foot may be missed.
// The curve is the one the stake law draws. Its one five-point rule from
// the start holds to 0.1 mm up to about a quarter turn of a spiral from a
// straight and half a turn of a circle; far beyond (a spiral winding whole
// turns) the drawn points no longer follow a smooth curve, and neither the
// stakes nor the feet mean anything there.
// Throws CalculationError: what PointAt refuses in the input,
// kOverflowPrompt for X or Y not finite or reaching kMaxCoordinate_m, and
// kPointOutsideCurvePrompt when no foot lies between the start and the end.
StationOffset LocatePoint(const CurveInput& input, double X, double Y);

// The point `offset_m` metres right (> 0) or left (< 0) of the direction of
// travel, perpendicular to the tangent at `on`. The azimuth is kept.
CurvePoint SidePoint(const CurvePoint& on, double offset_m);

// The side stakes of one curve: for every stake of ComputeStakes (same
// stations, same order) its station and its left and right edge points.
// A side with no width has no points.
struct SideStakeTable {
  std::optional<double> leftWidth_m;   // distance to the left edge, metres
  std::optional<double> rightWidth_m;  // distance to the right edge, metres
  std::vector<double> station;         // metres
  std::vector<CurvePoint> left;        // empty without a left width
  std::vector<CurvePoint> right;       // empty without a right width
};

// A width is a distance and may not be negative: kNegativeWidthPrompt.
inline constexpr const char* kNegativeWidthPrompt = "边桩宽度不能为负数！";

// The centre points are those of ComputeStakes bit for bit; the left point
// lies leftWidth_m to the left of the direction of increasing stations, the
// right point rightWidth_m to its right; both keep the centre's azimuth.
// Throws what ComputeStakes throws, kOverflowPrompt for a width that is not
// finite or reaches kMaxCoordinate_m (or an edge point that is not finite),
// and kNegativeWidthPrompt for a negative width.
SideStakeTable ComputeSideStakes(const CurveInput& input, std::optional<double> leftWidth_m,
                                 std::optional<double> rightWidth_m);

}  // namespace quorvane
