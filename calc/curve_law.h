#pragma once

#include <cstdint>

#include "calc/curve_input.h"
#include "calc/foot_search.h"
#include "calc/spiral.h"

// The law of one transition curve and the integration of its tangent: what
// every point, stake, side point and foot of the curve is computed from.

namespace quorvane {

// A point on (or beside) the curve and the tangent azimuth there: survey X
// (north) and Y (east) in metres, azimuth in radians clockwise from +X.
struct CurvePoint {
  double X;
  double Y;
  double azimuth;
};

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

// The signed curvature (1/metres, > 0 turning right) at distance D from the
// start: turn * (1/Ra + D * dk / L). The azimuth at D is its integral.
double SignedCurvatureAt(const CurveLaw& law, double D);

// The change of the signed curvature per metre, turn * dk / L (0 for a curve
// of no length).
double SignedCurvatureChange(const CurveLaw& law);

// The spiral of the law, integrated with the stake tables' policy
// (kStakeTablePolicy, calc/spiral.h) over the law's panels.
SpiralLaw SpiralLawOf(const CurveLaw& law);

// The point and tangent azimuth at distance D from the start: the integral
// of (cos, sin) of the tangent azimuth alpha + turn*(invRa*s + dk*s^2/(2L))
// over 0..D, and that azimuth at D. This one evaluation serves the stakes,
// PointAt, the side points and LocatePoint, so that they agree to the bit.
// No checks: the callers check what comes out.
//
// The integration is the stake tables' policy of the spiral kernel: the one
// five-point rule with the tables' shortened decimals wherever its a-priori
// bound is within 0.005 mm (every ordinary road curve over its whole
// length, with the numbers of the printed tables to the bit), else panels
// of the grid of CurveLaw at full precision. Either way the point lies
// within 0.005 mm of the exact curve of the law, plus the rounding of the
// doubles, for D up to 15,000 km (beyond, the panels' 3.4e-13 of D). Here
// CurveLawAt costs one rule per panel before D; CurveWalk keeps the sums.
CurvePoint CurveLawAt(const CurveLaw& law, double D);

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
  CurveLaw law_;
  Spiral spiral_;
};

// The point (X, Y) (metres) seen from the curve of `law` for the foot search
// (calc/foot_search.h): At(D) is the probe at distance D (metres, 0..L) from
// the start, on the points of CurveWalk. Throws CalculationError
// kOverflowPrompt where a stake at D would be refused: the curve point off
// the map or its azimuth beyond kMaxResolvableAngleRad.
class CurveProbes {
 public:
  CurveProbes(const CurveLaw& law, double X, double Y);
  FootProbe At(double D);

 private:
  CurveWalk walk_;
  double dX_;  // the point less the start point
  double dY_;
  double change_;  // change of the signed curvature per metre
};

}  // namespace quorvane
