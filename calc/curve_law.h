#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "calc/curve_input.h"

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
  double change_ = 0;                                            // change of the signed curvature per metre
  double singleUpTo_ = -1;                                       // the one rule holds for |D| up to this
  double panelsFrom_ = std::numeric_limits<double>::infinity();  // and fails from this on
  std::vector<Sum> sums_;                                        // one for each panel reached so far
};

}  // namespace quorvane
