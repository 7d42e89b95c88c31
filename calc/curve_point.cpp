#include "calc/curve_point.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "calc/angle.h"
#include "calc/calculation_error.h"

namespace quorvane {
namespace {

// A station this many units in the last place of the end stations past an
// end is still on the curve: a stake k*d that lies on the end station as
// typed can come out of the multiplication a unit or so beyond its double.
constexpr double kEndToleranceUlps = 4;

// Pieces of the search for a foot turn by at most this much. On a piece that
// turns less than a half turn a circle has one foot for any point but its
// centre, and a spiral one for any point not near its centres of curvature.
constexpr double kMaxPieceTurn_rad = kPi / 4;
// At most this many pieces (some 8000 turns of the curve).
constexpr double kMaxPieces = 65536;
// Newton steps per piece; bisection halves a bracket of 2e12 m to a
// micrometre in some 60, Newton needs 3 or 4.
constexpr int kMaxSteps = 200;
// An along-track distance this small (metres) is a foot.
constexpr double kFootTolerance_m = 1e-7;
// A step this small (metres) ends the search; it is taken without looking
// again (after a Newton step of 1 um the next is far below a nanometre).
constexpr double kStepTolerance_m = 1e-6;

constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

// The point at distance D, refused as the stake computation refuses a stake.
// At the start itself it is the start point (this also serves a curve of no
// length, where the law would divide 0 by 0).
CurvePoint CheckedPointAt(const CurveLaw& law, double D) {
  if (D == 0) return {law.Xa, law.Ya, law.alpha};
  const CurvePoint p = CurveLawAt(law, D);
  RequireOnTheMap({p.X, p.Y});
  RequireFinite({p.azimuth});
  if (std::fabs(p.azimuth) > kMaxResolvableAngleRad) throw CalculationError(kOverflowPrompt);
  return p;
}

// The curve seen from the point P at distance D: how far P lies ahead of
// the curve point along the tangent (f), and right of it (offset). f falls
// through 0 at a foot; its slope is -1 + curvature * offset.
struct Probe {
  double D;
  double f;
  double slope;
  double offset;
};

class FootSearch {
 public:
  FootSearch(const CurveLaw& law, double X, double Y) : law_(law), X_(X), Y_(Y) {
    fTolerance_ = kFootTolerance_m + 1e-15 * (std::fabs(X) + std::fabs(Y));
  }

  Probe At(double D) const {
    const CurvePoint c = CheckedPointAt(law_, D);
    const double cosA = std::cos(c.azimuth);
    const double sinA = std::sin(c.azimuth);
    const double dX = X_ - c.X;
    const double dY = Y_ - c.Y;
    const double along = dX * cosA + dY * sinA;
    const double offset = dY * cosA - dX * sinA;
    const double curvature = law_.L == 0 ? law_.turn * law_.invRa : law_.turn * (law_.invRa + D * law_.dk / law_.L);
    return {D, along, -1.0 + curvature * offset, offset};
  }

  // -1, 0 (a foot) or +1.
  int Sign(const Probe& p) const {
    if (std::fabs(p.f) <= fTolerance_) return 0;
    return p.f > 0 ? 1 : -1;
  }

  // The foot between a and b, whose f have opposite signs: Newton's method
  // kept inside the bracket, halving it when a step would leave it or would
  // not shrink the last steps fast enough. Ends in at most kMaxSteps.
  Probe Refine(Probe a, Probe b) const {
    double lo = std::min(a.D, b.D);
    double hi = std::max(a.D, b.D);
    const double fLo = a.D < b.D ? a.f : b.f;
    // Start with a Newton step from the end nearer to the foot, or else
    // where the chord between the two ends crosses 0.
    const Probe& nearer = std::fabs(a.f) < std::fabs(b.f) ? a : b;
    double D = nearer.slope != 0 ? nearer.D - nearer.f / nearer.slope : kNotANumber;
    if (!(D > lo && D < hi)) D = a.D + (b.D - a.D) * (a.f / (a.f - b.f));
    if (!(D > lo && D < hi)) D = lo + 0.5 * (hi - lo);
    double lastStep = hi - lo;
    double step = lastStep;
    Probe p = At(D);
    for (int i = 0; i < kMaxSteps; ++i) {
      if (p.f == 0) return p;
      if ((p.f > 0) == (fLo > 0)) {
        lo = D;
      } else {
        hi = D;
      }
      const double tolerance = kStepTolerance_m + std::fabs(D) * 0x1p-50;
      if (hi - lo <= tolerance) return p;
      const double newton = p.slope != 0 ? D - p.f / p.slope : kNotANumber;
      const bool halve = !(newton > lo && newton < hi) || std::fabs(2 * p.f) > std::fabs(lastStep * p.slope);
      const double next = halve ? lo + 0.5 * (hi - lo) : newton;
      lastStep = step;
      step = std::fabs(next - D);
      if (step <= tolerance) {
        p.D = next;  // the offset changes by the square of the step
        return p;
      }
      D = next;
      p = At(D);
    }
    return p;
  }

 private:
  CurveLaw law_;
  double X_;
  double Y_;
  double fTolerance_;
};

}  // namespace

CurvePoint PointAt(const CurveInput& input, double station) {
  const CurveLaw law = CurveLawOf(input);
  RequireFinite({station});
  const double lo = std::min(input.lb, input.le);
  const double hi = std::max(input.lb, input.le);
  const double slack =
      kEndToleranceUlps * std::numeric_limits<double>::epsilon() * std::max(std::fabs(lo), std::fabs(hi));
  if (!(station >= lo - slack && station <= hi + slack)) throw CalculationError(kStationOutsideCurvePrompt);
  return CheckedPointAt(law, station - input.lb);
}

StationOffset LocatePoint(const CurveInput& input, double X, double Y) {
  const CurveLaw law = CurveLawOf(input);
  RequireOnTheMap({X, Y});

  const FootSearch search(law, X, Y);
  bool found = false;
  Probe best{};
  double bestDistance = std::numeric_limits<double>::infinity();
  const auto consider = [&](const Probe& foot) {
    const double distance = std::hypot(foot.f, foot.offset);
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
  const double slope = length == 0 ? 0 : std::fabs(law.turn * law.dk / length);  // g
  const double shortest = length / kMaxPieces;
  Probe previous = search.At(0);
  if (search.Sign(previous) == 0) consider(previous);
  for (double u = 0; u < length;) {
    const double k = std::fabs(law.turn * (law.invRa + law.dk * (u / length)));
    const double room = k + std::sqrt(k * k + 4 * slope * kMaxPieceTurn_rad);
    const double h = room > 0 ? std::max(2 * kMaxPieceTurn_rad / room, shortest) : length;
    u = std::min(u + h, length);
    const Probe here = search.At(u == length ? law.L : std::copysign(u, law.L));
    const int sign = search.Sign(here);
    if (sign == 0) {
      consider(here);
    } else if (sign * search.Sign(previous) < 0) {
      consider(search.Refine(previous, here));
    }
    previous = here;
  }
  if (!found) throw CalculationError(kPointOutsideCurvePrompt);
  return {input.lb + best.D, best.offset};
}

CurvePoint SidePoint(const CurvePoint& on, double offset_m) {
  // Right of azimuth A is A + 90 degrees: (cos, sin) of it is (-sin A, cos A).
  return {on.X - offset_m * std::sin(on.azimuth), on.Y + offset_m * std::cos(on.azimuth), on.azimuth};
}

SideStakeTable ComputeSideStakes(const CurveInput& input, std::optional<double> leftWidth_m,
                                 std::optional<double> rightWidth_m) {
  const StakeTable stakes = ComputeStakes(input);
  for (const std::optional<double>& width : {leftWidth_m, rightWidth_m}) {
    if (!width) continue;
    RequireOnTheMap({*width});
    if (*width < 0) throw CalculationError(kNegativeWidthPrompt);
  }

  const CurveLaw law = CurveLawOf(input);
  SideStakeTable table;
  table.leftWidth_m = leftWidth_m;
  table.rightWidth_m = rightWidth_m;
  const auto n = static_cast<std::size_t>(stakes.n);
  table.station = stakes.stakeStation;
  if (leftWidth_m) table.left.reserve(n);
  if (rightWidth_m) table.right.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    // The stake's own distance: the centre is the stake to the bit.
    const CurvePoint centre = CurveLawAt(law, stakes.stakeDist[i]);
    if (leftWidth_m) table.left.push_back(SidePoint(centre, -*leftWidth_m));
    if (rightWidth_m) table.right.push_back(SidePoint(centre, *rightWidth_m));
  }
  for (const auto* side : {&table.left, &table.right}) {
    for (const CurvePoint& p : *side) RequireOnTheMap({p.X, p.Y});
  }
  return table;
}

}  // namespace quorvane
