#include "calc/curve_point.h"  // LocatePoint

#include <algorithm>
#include <cmath>
#include <limits>

#include "calc/angle.h"
#include "calc/calculation_error.h"

namespace quorvane {
namespace {

// Pieces of the search for a foot turn by at most this much. On a piece that
// turns less than a half turn a circle has one foot for any point but its
// centre; on a spiral the along-track distance may rise and fall once more
// near a centre of curvature, which the search brackets by the sign changes
// of its slope.
constexpr double kMaxPieceTurn_rad = 0.7853981625;  // just under pi/4
// At most this many pieces (some 8000 turns of the curve).
constexpr double kMaxPieces = 65536;
// An along-track distance this small (metres), plus the rounding of the
// point's own coordinates, is a foot: a point square to an end, typed or
// computed, is on the curve.
constexpr double kFootTolerance_m = 1e-9;
// A foot whose station moves by more than kStationSpread_m when the point
// (or the curve) moves by kPointSpread_m is marked: the point lies near the
// centre of curvature there.
constexpr double kPointSpread_m = 1e-5;
constexpr double kStationSpread_m = 1e-4;

// How far the station of a foot moves when the point moves by
// kPointSpread_m: the root s of |slope| s + |bend| s^2 / 2 = kPointSpread_m.
double StationSpread(double slope, double bend) {
  const double a = std::fabs(slope);
  return 2 * kPointSpread_m / (a + std::sqrt(a * a + 2 * std::fabs(bend) * kPointSpread_m));
}

// The point at distance D less the start point, refused as the stake
// computation refuses a stake. At the start itself it is the start (this also
// serves a curve of no length, where the law would divide 0 by 0).
CurvePoint CheckedOffset(CurveWalk& walk, double D) {
  const CurveLaw& law = walk.law();
  if (D == 0) return {0.0, 0.0, law.alpha};
  const CurvePoint p = walk.Offset(D);
  RequireOnTheMap({p.X + law.Xa, p.Y + law.Ya});
  RequireFinite({p.azimuth});
  if (std::fabs(p.azimuth) > kMaxResolvableAngleRad) throw CalculationError(kOverflowPrompt);
  return p;
}

}  // namespace

CurveProbes::CurveProbes(const CurveLaw& law, double X, double Y)
    : walk_(law), dX_(X - law.Xa), dY_(Y - law.Ya), change_(SignedCurvatureChange(law)) {}

FootProbe CurveProbes::At(double D) {
  const CurveLaw& law = walk_.law();
  const CurvePoint c = CheckedOffset(walk_, D);
  const double cosA = std::cos(c.azimuth);
  const double sinA = std::sin(c.azimuth);
  return ProbeFrom(D, dX_ - c.X, dY_ - c.Y, cosA, sinA, SignedCurvatureAt(law, D), change_);
}

StationOffset LocatePoint(const CurveInput& input, double X, double Y) { return TransitionCurve(input).Locate(X, Y); }

StationOffset TransitionCurve::Locate(double X, double Y) const {
  const CurveLaw& law = law_;
  const CurveInput& input = input_;
  RequireOnTheMap({X, Y});

  CurveProbes probes(law, X, Y);
  // Every sign change of f is a foot; the nearest is kept.
  FootSearch search(probes, {.zero_m = kFootTolerance_m + 1e-15 * (std::fabs(X) + std::fabs(Y))});
  bool found = false;
  FootProbe best{};
  double bestDistance = std::numeric_limits<double>::infinity();
  const auto consider = [&](const FootProbe& foot, double handicap_m = 0) {
    const double distance = std::hypot(foot.f, foot.offset) + handicap_m;
    if (distance < bestDistance) {
      best = foot;
      bestDistance = distance;
      found = true;
    }
  };
  // Pieces that each turn by at most kMaxPieceTurn_rad. The curvature is
  // linear in the distance u from the start, |k(u + h)| <= |k(u)| + g h, so
  // a piece of length h with h (|k(u)| + g h) = kMaxPieceTurn_rad is short
  // enough; on a straight one piece is the whole curve.
  const double length = std::fabs(law.L);
  const double slope = std::fabs(SignedCurvatureChange(law));  // g
  const double shortest = length / kMaxPieces;
  // An end is a foot when f vanishes there; and also, marked, when the point
  // lies so near the centre of curvature there that a move of the point by
  // kPointSpread_m would make it one (the centre of the end circle).
  // Such an end yields to a true foot as near (the one a few centimetres
  // before the end that a point just off that centre has).
  const auto considerEnd = [&](const FootProbe& end) {
    if (search.Sign(end) == 0) {
      consider(end);
    } else if (std::fabs(end.f) <= kPointSpread_m && !(StationSpread(end.slope, end.bend) <= kStationSpread_m)) {
      consider(end, kPointSpread_m);
    }
  };
  FootProbe previous = probes.At(0);
  considerEnd(previous);
  for (double u = 0; u < length;) {
    const double k = std::fabs(SignedCurvatureAt(law, std::copysign(u, law.L)));
    const double room = k + std::sqrt(k * k + 4 * slope * kMaxPieceTurn_rad);
    const double h = room > 0 ? std::max(2 * kMaxPieceTurn_rad / room, shortest) : length;
    u = std::min(u + h, length);
    const FootProbe here = probes.At(u == length ? law.L : std::copysign(u, law.L));
    if (u == length) {
      considerEnd(here);
    } else if (search.Sign(here) == 0) {
      consider(here);
    }
    // f may turn inside the piece, and cross 0 twice there, or touch it.
    search.FeetBetween(previous, here, consider);
    previous = here;
  }
  if (!found) throw CalculationError(kPointOutsideCurvePrompt);

  return {input.lb + best.s, best.offset, !(StationSpread(best.slope, best.bend) <= kStationSpread_m)};
}

}  // namespace quorvane
