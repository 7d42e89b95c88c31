#pragma once

#include <optional>

#include "calc/transition_curve.h"

namespace quorvane {

// The point and tangent at `station` (metres, lb..le in either order of the
// two), by exactly the integration and azimuth law of ComputeStakes: at a
// stake's station the X and Y are bit for bit those of the stake, and the
// azimuth is the stake's before its DD.MMSS conversion. The tangent azimuth
// points towards increasing stations, also when le < lb. A station past an
// end by no more than 1e-9 of the larger end station in size (a micrometre
// at 1 km) still counts as on the curve, as the stake set counts such an end
// as a whole multiple of the interval.
// The stake interval d plays no part.
// Throws CalculationError: what ComputeStakes refuses in the input (not the
// interval rules), kOverflowPrompt for a station that is not finite, and
// kStationOutsideCurvePrompt for a station outside the curve.
CurvePoint PointAt(const CurveInput& input, double station);

// The foot of the perpendicular from (X, Y) (metres) to the curve between
// its two ends: its station and the signed offset of the point from it
// (> 0 right of the direction of increasing stations). A point can have
// several feet on a tight curve (a point outside a bend sees it at two
// places, a point inside a spiral's bend beyond its radius at two or three,
// more on a curve that winds): the nearest foot is returned. Feet on the
// curve's extensions do not count: a point with no foot between the ends is
// refused, even if an end is near.
// The search scans the curve in pieces that turn by at most 45 degrees. In
// each it brackets the turning point of the along-track distance where its
// slope changes sign, then refines every sign change of the along-track
// distance between the piece ends and that turning point with Newton's
// method kept inside its bracket (bisection when a step would leave it), a
// bounded number of steps. On a curve that turns more than some 8000 turns
// the pieces are capped and a foot may be missed.
// Accurate to 0.1 mm in station and offset against the feet of the curve
// CurveLawAt draws, and so of the exact curve, wherever the foot is
// well-defined. Near the centre of curvature at a foot (the offset close to
// the radius there, on its inner side) the station is not: it moves by
// about the move of the point divided by |1 - offset/radius|, and at the
// centre of the end circle of a spiral by the square root of it (a point
// 0.02 mm from that centre of the window's default curve has its foot 36 mm
// before the end). Such a result is marked nearCentreOfCurvature; its offset
// is still accurate, and at the very centre of a circular arc (every point
// a foot) the station is any of them.
// Throws CalculationError: what PointAt refuses in the input,
// kOverflowPrompt for X or Y not finite or reaching kMaxCoordinate_m, and
// kPointOutsideCurvePrompt when no foot lies between the start and the end.
StationOffset LocatePoint(const CurveInput& input, double X, double Y);

// The point `offset_m` metres right (> 0) or left (< 0) of the direction of
// travel, perpendicular to the tangent at `on`. The azimuth is kept.
CurvePoint SidePoint(const CurvePoint& on, double offset_m);

// The centre points are those of ComputeStakes bit for bit; the left point
// lies leftWidth_m to the left of the direction of increasing stations, the
// right point rightWidth_m to its right; both keep the centre's azimuth.
// Throws what ComputeStakes throws, kOverflowPrompt for a width that is not
// finite or reaches kMaxCoordinate_m (or an edge point that is not finite),
// and kNegativeWidthPrompt for a negative width.
SideStakeTable ComputeSideStakes(const CurveInput& input, std::optional<double> leftWidth_m,
                                 std::optional<double> rightWidth_m);

}  // namespace quorvane
