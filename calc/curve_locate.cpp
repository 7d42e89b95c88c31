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
// Newton steps per bracket; bisection halves a bracket of 2e12 m to a
// micrometre in some 60, Newton needs 3 or 4.
constexpr int kMaxSteps = 200;
// An along-track distance this small (metres), plus the rounding of the
// point's own coordinates, is a foot: a point square to an end, typed or
// computed, is on the curve.
constexpr double kFootTolerance_m = 1e-9;
// A step this small (metres) ends the search; it is taken without looking
// again (after a Newton step of 1 um the next is far below a nanometre).
constexpr double kStepTolerance_m = 1e-6;
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

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

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

// The curve seen from the point P at distance D: how far P lies ahead of
// the curve point along the tangent (f), and right of it (offset). f falls
// through 0 at a foot; its slope is -1 + curvature * offset, and the slope's
// own slope (bend) dk/ds * offset - curvature^2 * f.
struct Probe {
  double D;
  double f;
  double slope;
  double bend;
  double offset;
};

// Which function of a probe a bracket is refined on: the along-track
// distance (its feet) or its slope (its turning points).
enum class Root { kAlong, kSlope };

double Value(const Probe& p, Root of) { return of == Root::kAlong ? p.f : p.slope; }
double Derivative(const Probe& p, Root of) { return of == Root::kAlong ? p.slope : p.bend; }

class FootSearch {
 public:
  FootSearch(const CurveLaw& law, double X, double Y) : walk_(law), dX_(X - law.Xa), dY_(Y - law.Ya) {
    fTolerance_ = kFootTolerance_m + 1e-15 * (std::fabs(X) + std::fabs(Y));
    change_ = SignedCurvatureChange(law);
  }

  Probe At(double D) {
    const CurveLaw& law = walk_.law();
    const CurvePoint c = CheckedOffset(walk_, D);
    const double cosA = std::cos(c.azimuth);
    const double sinA = std::sin(c.azimuth);
    const double dX = dX_ - c.X;
    const double dY = dY_ - c.Y;
    const double along = dX * cosA + dY * sinA;
    const double offset = dY * cosA - dX * sinA;
    const double curvature = SignedCurvatureAt(law, D);
    return {D, along, -1.0 + curvature * offset, change_ * offset - curvature * curvature * along, offset};
  }

  // -1, 0 (a foot) or +1.
  int Sign(const Probe& p) const {
    if (std::fabs(p.f) <= fTolerance_) return 0;
    return p.f > 0 ? 1 : -1;
  }

  // The root of `of` between a and b, where it has opposite signs: Newton's
  // method kept inside the bracket, halving it when a step would leave it or
  // would not shrink the last steps fast enough. Ends in at most kMaxSteps.
  Probe Refine(const Probe& a, const Probe& b, Root of) {
    double lo = std::min(a.D, b.D);
    double hi = std::max(a.D, b.D);
    const double vLo = Value(a.D < b.D ? a : b, of);
    // Start with a Newton step from the end nearer to the root, or else
    // where the chord between the two ends crosses 0.
    const Probe& nearer = std::fabs(Value(a, of)) < std::fabs(Value(b, of)) ? a : b;
    const double dNearer = Derivative(nearer, of);
    double D = dNearer != 0 ? nearer.D - Value(nearer, of) / dNearer : kNotANumber;
    if (!(D > lo && D < hi)) D = a.D + (b.D - a.D) * (Value(a, of) / (Value(a, of) - Value(b, of)));
    if (!(D > lo && D < hi)) D = lo + 0.5 * (hi - lo);
    double lastStep = hi - lo;
    double step = lastStep;
    Probe p = At(D);
    for (int i = 0; i < kMaxSteps; ++i) {
      const double v = Value(p, of);
      const double dv = Derivative(p, of);
      if (v == 0) return p;
      if ((v > 0) == (vLo > 0)) {
        lo = D;
      } else {
        hi = D;
      }
      const double tolerance = kStepTolerance_m + std::fabs(D) * 0x1p-50;
      if (hi - lo <= tolerance) return p;
      const double newton = dv != 0 ? D - v / dv : kNotANumber;
      const bool halve = !(newton > lo && newton < hi) || std::fabs(2 * v) > std::fabs(lastStep * dv);
      const double next = halve ? lo + 0.5 * (hi - lo) : newton;
      lastStep = step;
      step = std::fabs(next - D);
      if (step <= tolerance) {
        if (of == Root::kAlong) p.D = next;  // the offset changes by the square of the step
        return p;
      }
      D = next;
      p = At(D);
    }
    return p;
  }

 private:
  CurveWalk walk_;
  double dX_;  // the point less the start point
  double dY_;
  double change_;  // change of the signed curvature per metre
  double fTolerance_;
};

}  // namespace

StationOffset LocatePoint(const CurveInput& input, double X, double Y) { return TransitionCurve(input).Locate(X, Y); }

StationOffset TransitionCurve::Locate(double X, double Y) const {
  const CurveLaw& law = law_;
  const CurveInput& input = input_;
  RequireOnTheMap({X, Y});

  FootSearch search(law, X, Y);
  bool found = false;
  Probe best{};
  double bestDistance = std::numeric_limits<double>::infinity();
  const auto consider = [&](const Probe& foot, double handicap_m = 0) {
    const double distance = std::hypot(foot.f, foot.offset) + handicap_m;
    if (distance < bestDistance) {
      best = foot;
      bestDistance = distance;
      found = true;
    }
  };
  // The feet between two probes along which f has no turning point.
  const auto feetBetween = [&](const Probe& a, const Probe& b) {
    if (search.Sign(a) * search.Sign(b) < 0) consider(search.Refine(a, b, Root::kAlong));
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
  const auto considerEnd = [&](const Probe& end) {
    if (search.Sign(end) == 0) {
      consider(end);
    } else if (std::fabs(end.f) <= kPointSpread_m && !(StationSpread(end.slope, end.bend) <= kStationSpread_m)) {
      consider(end, kPointSpread_m);
    }
  };
  Probe previous = search.At(0);
  considerEnd(previous);
  for (double u = 0; u < length;) {
    const double k = std::fabs(SignedCurvatureAt(law, std::copysign(u, law.L)));
    const double room = k + std::sqrt(k * k + 4 * slope * kMaxPieceTurn_rad);
    const double h = room > 0 ? std::max(2 * kMaxPieceTurn_rad / room, shortest) : length;
    u = std::min(u + h, length);
    const Probe here = search.At(u == length ? law.L : std::copysign(u, law.L));
    if (u == length) {
      considerEnd(here);
    } else if (search.Sign(here) == 0) {
      consider(here);
    }
    if (previous.slope * here.slope < 0) {
      // f turns inside the piece: it may cross 0 twice there, or touch it.
      const Probe turning = search.Refine(previous, here, Root::kSlope);
      if (search.Sign(turning) == 0) consider(turning);
      feetBetween(previous, turning);
      feetBetween(turning, here);
    } else {
      feetBetween(previous, here);
    }
    previous = here;
  }
  if (!found) throw CalculationError(kPointOutsideCurvePrompt);

  return {input.lb + best.D, best.offset, !(StationSpread(best.slope, best.bend) <= kStationSpread_m)};
}

}  // namespace quorvane
