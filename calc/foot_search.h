#pragma once

// The one search for the feet of a point on a curve: the single transition
// curve (TransitionCurve::Locate) and the whole line (Line::Find) both find
// theirs here. A foot is where the perpendicular from the point P meets the
// curve, where the along-track distance
//   f(s) = (P - C(s)) . T(s)
// of P from the curve point C(s) with unit tangent T(s) is zero. Each caller
// evaluates f on its own curve (a Probes type: FootProbe At(double s)) and
// cuts the curve into pieces short enough that f turns at most once on each
// (its slope changes sign at most once); FeetBetween finds the feet inside
// one piece from the probes at its two ends.

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace quorvane {

// The curve at s seen from the point P. With k the signed curvature (> 0
// turning right), f' = -1 + k offset and, as offset' = -k f,
// f'' = k' offset - k^2 f.
struct FootProbe {
  double s;       // metres along the curve (negative along a curve staked backwards)
  double f;       // metres P lies ahead of C(s) along the tangent
  double slope;   // df/ds, no unit
  double bend;    // d2f/ds2, 1/metres
  double offset;  // metres P lies right of C(s) (left < 0)
};

// The probe at s from the curve point there: P less that point (dX, dY,
// metres), the cos and sin of the tangent azimuth, the signed curvature k
// (1/metres) and its change per metre (1/metres^2). No checks: a value that
// is not finite makes a probe that is not.
inline FootProbe ProbeFrom(double s, double dX, double dY, double cosA, double sinA, double k, double rate) {
  const double f = dX * cosA + dY * sinA;
  const double offset = dY * cosA - dX * sinA;
  return {s, f, -1.0 + k * offset, rate * offset - k * k * f, offset};
}

// False where FootSearch::FeetBetween finds nothing between the probes a and
// b by their f and slope alone: f has one sign (not zero) at both ends and
// does not turn between them. A caller may ask before it prepares the
// search.
inline bool MayHoldFoot(const FootProbe& a, const FootProbe& b) { return !(a.f * b.f > 0 && a.slope * b.slope >= 0); }

// Which function of a probe a bracket is refined on: the along-track
// distance (a foot) or its slope (a turning point of f).
enum class FootRoot { kAlong, kSlope };

// What the callers of the search choose differently.
struct FootRules {
  // |f| at or below this (metres, >= 0) counts as zero: the probe is a foot.
  double zero_m = 0;
  // Only the feet where f falls through zero as s grows: there the distance
  // to the point (whose derivative is -2f) is least. Otherwise every sign
  // change, also where it is greatest.
  bool fallingOnly = false;
  // The first guess in a bracket is the root of the cubic through the values
  // and derivatives at its ends (close on a short piece). Otherwise a Newton
  // step from the end nearer to the root, else the chord.
  bool cubicGuess = false;
  // Refinements end on the root as far as doubles tell: a Newton step
  // within the step tolerance always ends one, kept inside the bracket, also
  // where it rounds to nothing or reaches the bracket's end (a root within
  // rounding of it) or the bracket is already that narrow; and a first guess
  // on an end starts from that end's probe. Otherwise such a step halves the
  // bracket, a narrow bracket ends on its last probe, and a guess on an end
  // gives way to the chord or the middle: the refinement ends within the
  // step tolerance of the root.
  bool toTheRoot = false;
};

// What the curvature can do between two probes: the largest |k| there
// (1/metres) and |dk/ds| (1/metres^2). With it FeetBetween passes over a
// piece where f cannot reach zero without refining its turning point.
struct CurvatureBound {
  double k;
  double rate;
};

template <class Probes>
class FootSearch {
 public:
  // A step this small (metres), plus 2^-50 of s, ends a refinement; it is
  // taken without looking again (after a Newton step of 1 um the next is far
  // below a nanometre).
  static constexpr double kStepTolerance_m = 1e-6;
  // Newton steps per bracket; bisection halves a bracket of 2e12 m to a
  // micrometre in some 60, Newton needs 3 or 4.
  static constexpr int kMaxSteps = 200;

  // `probes` evaluates the curve: FootProbe At(double s), s in metres within
  // the range the caller's probes span. Whatever At throws passes through
  // every function below.
  FootSearch(Probes& probes, const FootRules& rules) : probes_(probes), rules_(rules) {}

  // -1, 0 (a foot: |f| <= zero_m) or +1.
  int Sign(const FootProbe& p) const {
    if (std::fabs(p.f) <= rules_.zero_m) return 0;
    return p.f > 0 ? 1 : -1;
  }

  // The root of `of` between the probes a and b (either order), which must
  // give it opposite signs (else the answer is some probe between them):
  // Newton's method kept inside the bracket, halving it when a step would
  // leave it or would not shrink the last steps fast enough. It ends once
  // the bracket or a step is within kStepTolerance_m plus 2^-50 of s
  // (metres), or after kMaxSteps steps. A foot (kAlong) is returned at the last
  // Newton position, its f, slope, bend and offset from the probe before it
  // (off by about the square of that step); a turning point (kSlope) as
  // probed. FootRules::toTheRoot tightens the end.
  FootProbe Refine(const FootProbe& a, const FootProbe& b, FootRoot of) {
    double lo = std::min(a.s, b.s);
    double hi = std::max(a.s, b.s);
    const double vLo = Value(a.s < b.s ? a : b, of);
    double s = rules_.cubicGuess ? CubicGuess(a, b, of) : NewtonGuess(a, b, of);
    const bool onEnd = rules_.toTheRoot && (s == a.s || s == b.s);
    if (!onEnd && !(s > lo && s < hi)) s = a.s + (b.s - a.s) * (Value(a, of) / (Value(a, of) - Value(b, of)));
    if (!onEnd && !(s > lo && s < hi)) s = lo + 0.5 * (hi - lo);
    double lastStep = hi - lo;
    double step = lastStep;
    FootProbe p = onEnd ? (s == a.s ? a : b) : probes_.At(s);
    for (int i = 0; i < kMaxSteps; ++i) {
      const double v = Value(p, of);
      const double dv = Derivative(p, of);
      if (v == 0) return p;
      if ((v > 0) == (vLo > 0)) {
        lo = s;
      } else {
        hi = s;
      }
      const double tolerance = kStepTolerance_m + std::fabs(s) * 0x1p-50;
      const double newton = dv != 0 ? s - v / dv : kNotANumber;
      if (rules_.toTheRoot && std::fabs(newton - s) <= tolerance) {
        if (of == FootRoot::kAlong) p.s = std::clamp(newton, lo, hi);
        return p;
      }
      if (hi - lo <= tolerance) return p;
      const bool halve = !(newton > lo && newton < hi) || std::fabs(2 * v) > std::fabs(lastStep * dv);
      const double next = halve ? lo + 0.5 * (hi - lo) : newton;
      lastStep = step;
      step = std::fabs(next - s);
      if (step <= tolerance) {
        if (of == FootRoot::kAlong) p.s = next;  // the offset changes by the square of the step
        return p;
      }
      s = next;
      p = probes_.At(s);
    }
    return p;
  }

  // Every foot strictly between the probes a and b (either order; the
  // caller looks after the probes themselves), each passed to offer(const
  // FootProbe&) as Refine returns it. Where f's slope changes sign between
  // them, f turns inside: its turning point is refined, offered when it
  // touches zero, and the feet on either side of it are refined. A piece on
  // which f turns more than once may lose feet. Whatever offer throws passes
  // through. With a bound of the
  // curvature, a piece whose ends lie on one side of zero is passed over
  // when f moves away from zero first, or when f'' bounded by it cannot
  // bring f to zero (over a piece of length h with |f''| <= M, f stays
  // within M h^2 / 8 of the lesser end; |f''| <= (|k'| + k^2) times the
  // point's distance from a's or b's curve point plus h).
  template <class Offer>
  void FeetBetween(const FootProbe& a, const FootProbe& b, Offer&& offer,
                   const std::optional<CurvatureBound>& bound = std::nullopt) {
    if (a.slope * b.slope < 0) {
      if (bound && CannotReachZero(a, b, *bound)) return;
      const FootProbe turning = Refine(a, b, FootRoot::kSlope);
      if (Sign(turning) == 0) offer(turning);
      Crossing(a, turning, offer);
      Crossing(turning, b, offer);
    } else {
      Crossing(a, b, offer);
    }
  }

 private:
  static constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

  static double Value(const FootProbe& p, FootRoot of) { return of == FootRoot::kAlong ? p.f : p.slope; }
  static double Derivative(const FootProbe& p, FootRoot of) { return of == FootRoot::kAlong ? p.slope : p.bend; }

  // A Newton step from the end nearer to the root (NaN where its derivative
  // is 0).
  static double NewtonGuess(const FootProbe& a, const FootProbe& b, FootRoot of) {
    const FootProbe& nearer = std::fabs(Value(a, of)) < std::fabs(Value(b, of)) ? a : b;
    const double dNearer = Derivative(nearer, of);
    return dNearer != 0 ? nearer.s - Value(nearer, of) / dNearer : kNotANumber;
  }

  // The root of the cubic through the values and derivatives at a and b:
  // three Newton steps on it from the chord's root, as long as they stay
  // between a and b.
  static double CubicGuess(const FootProbe& a, const FootProbe& b, FootRoot of) {
    const double fa = Value(a, of), fb = Value(b, of);
    const double h = b.s - a.s, ga = h * Derivative(a, of), gb = h * Derivative(b, of);
    double u = fa / (fa - fb);
    for (int i = 0; i < 3; ++i) {
      const double u2 = u * u, u3 = u2 * u;
      const double H = (2 * u3 - 3 * u2 + 1) * fa + (u3 - 2 * u2 + u) * ga + (-2 * u3 + 3 * u2) * fb + (u3 - u2) * gb;
      const double dH =
          (6 * u2 - 6 * u) * fa + (3 * u2 - 4 * u + 1) * ga + (-6 * u2 + 6 * u) * fb + (3 * u2 - 2 * u) * gb;
      const double next = u - H / dH;
      if (!(next > 0 && next < 1)) break;
      u = next;
    }
    return a.s + u * h;
  }

  bool CannotReachZero(const FootProbe& a, const FootProbe& b, const CurvatureBound& bound) const {
    const int sign = Sign(a);
    if (sign == 0 || Sign(b) != sign) return false;
    const FootProbe& first = a.s < b.s ? a : b;
    if (sign * first.slope > 0) return true;
    const double h = std::fabs(b.s - a.s);
    const double M = (bound.rate + bound.k * bound.k) * (std::hypot(first.f, first.offset) + h);
    return std::min(sign * a.f, sign * b.f) > 0.125 * M * h * h * (1 + 1e-9) + rules_.zero_m;
  }

  // The foot between two probes along which f does not turn.
  template <class Offer>
  void Crossing(const FootProbe& a, const FootProbe& b, Offer& offer) {
    const int sa = Sign(a), sb = Sign(b);
    if (sa * sb >= 0) return;
    if (rules_.fallingOnly && (a.s < b.s ? sa : sb) < 0) return;
    offer(Refine(a, b, FootRoot::kAlong));
  }

  Probes& probes_;
  FootRules rules_;
};

}  // namespace quorvane
