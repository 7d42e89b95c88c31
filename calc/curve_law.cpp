#include "calc/curve_law.h"

#include <cmath>

#include "calc/angle.h"
#include "calc/calculation_error.h"

namespace quorvane {
namespace {

// At most this many panels (a circle of some 80,000 turns): a sweep of the
// whole curve costs some five million sines and cosines.
constexpr double kMaxPanels = 1 << 20;

}  // namespace

CurveLaw CurveLawOf(const CurveInput& input) {
  CheckCurveInput(input);
  const double alpha = DdMmSsToRadians(input.a);
  // Curvature law: 1/Ra at the start, changing linearly by dk over L.
  const double L = input.le - input.lb;
  const double invRa = input.Ra == 0 ? 0.0 : 1.0 / input.Ra;
  const double invRb = input.Rb == 0 ? 0.0 : 1.0 / input.Rb;
  const double dk = invRb - invRa;
  RequireFinite({L, invRa, invRb, dk});
  const double turn = static_cast<double>(input.turn);

  double panels = 1;
  if (turn != 0 && L != 0) {
    panels = SpiralPanelCount(invRa, invRb, L, kStakeTablePolicy);
    if (!(panels <= kMaxPanels)) throw CalculationError(kOverflowPrompt);
  }
  return {input.Xa, input.Ya, alpha, L, invRa, dk, turn, static_cast<std::int64_t>(panels), L / panels};
}

SpiralLaw SpiralLawOf(const CurveLaw& law) { return {law.alpha, law.invRa, law.dk, law.L, law.turn}; }

double SignedCurvatureChange(const CurveLaw& law) { return SpiralCurvatureChange(SpiralLawOf(law)); }

double SignedCurvatureAt(const CurveLaw& law, double D) { return SpiralCurvature(SpiralLawOf(law), D); }

CurvePoint CurveLawAt(const CurveLaw& law, double D) {
  const SpiralOffset s = Spiral(SpiralLawOf(law), kStakeTablePolicy, law.panels).At(D);
  return {s.x + law.Xa, s.y + law.Ya, s.azimuth};
}

CurveWalk::CurveWalk(const CurveLaw& law) : law_(law), spiral_(SpiralLawOf(law), kStakeTablePolicy, law.panels) {}

CurvePoint CurveWalk::Offset(double D) {
  const SpiralOffset s = spiral_.Walk(D);
  return {s.x, s.y, s.azimuth};
}

CurvePoint CurveWalk::At(double D) {
  const CurvePoint p = Offset(D);
  return {p.X + law_.Xa, p.Y + law_.Ya, p.azimuth};
}

}  // namespace quorvane
