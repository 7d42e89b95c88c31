#pragma once

#include <limits>
#include <cstdint>
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
// end by no more than 1e-9 of the larger end station in size (a micrometre
// at 1 km) still counts as on the curve, as the stake set counts such an end
// as a whole multiple of the interval.
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
  // The exact integration splits 0..L into `panels` equal panels of
  // panelLength = L / panels metres (signed as L).
  std::int64_t panels;
  double panelLength;
};

// The curve law of `input`, with the checks ComputeStakes makes before any
// stake (CheckCurveInput, the start azimuth's range, finite curvatures);
// throws CalculationError, kOverflowPrompt also for a curve that would need
// more than 2^20 panels (it turns by more than some 80,000 full turns).
// The interval plays no part in the shape.
CurveLaw CurveLawOf(const CurveInput& input);

// The point and tangent azimuth at distance D from the start: the integral
// of (cos, sin) of the tangent azimuth alpha + turn*(invRa*s + dk*s^2/(2L))
// over 0..D, and that azimuth at D. This one evaluation serves the stakes,
// PointAt, the side points and LocatePoint, so that they agree to the bit.
// No checks: the callers check what comes out.
//
// Two ways of integrating, chosen by D alone:
//  - The one five-point Gauss-Legendre rule over 0..D with the shortened
//    node and weight decimals the stake tables are defined by, wherever an
//    a-priori bound of its error is within 0.005 mm: |D| times the bound of
//    the rule for the turn A = |D/Ra| through the start curvature and B =
//    |D^2 dk/(2L)| through its change (the series of the rule's errors on
//    t^10, t^11, ... against the Taylor coefficients of exp(At + Bt^2)), plus
//    2.0e-10 |D| for the weights that add up to 0.9999999998 and 3e-11 |D|
//    (A + 2B) for the shortened nodes. Every ordinary road curve takes this
//    path over its whole length. It holds (scripts/accuracy.py) for a spiral
//    from a straight up to 0.93 rad of turn at 100 m from the start (0.83 at
//    200 m, 0.66 at 800 m), a circular arc up to 2.8 rad (2.6, 2.3), a
//    spiral easing out to a straight up to 0.54 rad (0.49, 0.41), and any
//    curve turning less than 0.25 rad up to 17 km from its start. Its
//    numbers are those of the printed tables to the bit.
//  - Beyond, panels of the grid of CurveLaw (each turns by at most 0.5 rad
//    through its start curvature and 0.05 rad through the change of
//    curvature), each integrated with the five-point rule to full double
//    precision, summed from the start, plus the part panel up to D. A panel
//    is off by at most 3.4e-13 of its length (1e-13 measured; 4e-16 on a
//    circle). Here CurveLawAt costs one rule per panel before D; CurveWalk
//    keeps the sums.
// Either way the point lies within 0.005 mm of the exact curve of the law,
// plus the rounding of the doubles, for D up to 15,000 km (beyond, the
// panels' 3.4e-13 of D).
CurvePoint CurveLawAt(const CurveLaw& law, double D);

// Where one panel of the exact integration starts: its distance from the
// start, cos and sin of the tangent azimuth and the signed curvature there.
struct PanelHead {
  double from;
  double cosAzimuth;
  double sinAzimuth;
  double curvature;
};

// CurveLawAt along one curve for many points, keeping the panel sums it has
// needed: each point costs one rule after the first that reaches its panel.
// The points are those of CurveLawAt to the bit, asked for in any order.
class CurveWalk {
 public:
  explicit CurveWalk(const CurveLaw& law);
  const CurveLaw& law() const { return law_; }
  // CurveLawAt(law(), D).
  CurvePoint At(double D);
  // The same point less the start point: X - Xa and Y - Ya as computed
  // before Xa and Ya are added (the azimuth is the same).
  CurvePoint Offset(double D);

 private:
  struct Sum {
    double x;  // the integral over the panels before this one
    double y;
    PanelHead head;
  };
  CurveLaw law_;
  double change_ = 0;                 // change of the signed curvature per metre
  double singleUpTo_ = -1;            // the one rule holds for |D| up to this
  double panelsFrom_ = std::numeric_limits<double>::infinity();  // and fails from this on
  std::vector<Sum> sums_;             // one for each panel reached so far
};

// A station and the signed perpendicular distance from the curve, metres;
// offset > 0 right of the direction of travel (towards increasing stations).
struct StationOffset {
  double station;
  double offset;
  // The point lies so near the centre of curvature at its foot that the
  // foot's station is ill-defined: a move of the point (or of the curve) by
  // 0.01 mm moves it by more than 0.1 mm. The offset is still good.
  bool nearCentreOfCurvature = false;
};

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
