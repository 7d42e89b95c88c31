#pragma once

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

// The one integration of a curve whose curvature changes linearly with its
// length: a transition curve (clothoid), an egg spiral, and as its limits a
// circular arc and a straight. The single curve and the whole line both get
// their points from here; they differ only in the policy they integrate with
// (kStakeTablePolicy, kExactPolicy), as one geodesic class may serve several
// series behind one interface.

namespace quorvane {

// Where the tangent points at s metres from the start:
//   theta(s) = alpha + turn * (k0 s + dk s^2 / (2 L)),
// so the curvature is turn * (k0 + dk s / L). The single curve gives its
// curvatures unsigned with turn -1, 0 or +1; the whole line gives them
// signed (right positive) with turn +1.
struct SpiralLaw {
  double alpha;  // azimuth at the start, radians clockwise from +X
  double k0;     // curvature at the start, 1/metres
  double dk;     // change of curvature over L
  double L;      // metres along the curve to the point where the change is dk (negative: staked backwards)
  double turn;
};

// The tangent azimuth at D (radians, not reduced), in the order of the
// printed stake tables.
inline double SpiralAzimuth(const SpiralLaw& law, double D) {
  const double quadCoef = D * D * law.dk / 2.0 / law.L;
  return quadCoef * law.turn + ((D * law.k0) * law.turn + law.alpha);
}

// The change of the signed curvature per metre, turn * dk / L (0 for a curve
// of no length).
inline double SpiralCurvatureChange(const SpiralLaw& law) { return law.L == 0 ? 0.0 : law.turn * law.dk / law.L; }

// The signed curvature at D, turn * (k0 + D dk / L).
inline double SpiralCurvature(const SpiralLaw& law, double D) {
  return law.turn * law.k0 + SpiralCurvatureChange(law) * D;
}

// A five-point Gauss-Legendre rule on 0..1: its abscissae and weights.
struct GaussRule5 {
  std::array<double, 5> node;
  std::array<double, 5> weight;
};

// How a spiral is integrated.
//  - First choice, one `whole` rule over all of 0..D from the start, while
//    an a-priori bound of its error stays within wholeTolerance_m (never
//    when that is 0): |D| times the bound of the full-precision rule for the
//    turn A through the start curvature and B through its change (the
//    series of the rule's errors on t^10, t^11, ... against the Taylor
//    coefficients of exp(At + Bt^2)), plus |D| wholeWeightError for weights
//    that do not add up to 1 and |D| (A + 2B) wholeNodeError for nodes that
//    are off.
//  - Otherwise panels of equal length, each turning by at most panelTurn_rad
//    through the largest curvature and bending by at most panelBend_rad
//    through the change of curvature, each integrated with the five-point
//    rule to full double precision from its own start, summed from the
//    start, plus the part panel up to D.
struct SpiralPolicy {
  GaussRule5 whole;
  double wholeWeightError;
  double wholeNodeError;
  double wholeTolerance_m;
  double panelTurn_rad;
  double panelBend_rad;
};

// The printed stake tables of the single curve. Their points come from one
// five-point rule with the node and weight decimals the tables are defined
// by (the weights add up to 0.9999999998), to the bit, wherever the bound
// allows 0.005 mm; beyond, panels of 0.5 rad (a panel is off by at most
// 3.4e-13 of its length; 1e-13 measured, 4e-16 on a circle). It holds
// (scripts/accuracy.py) for a spiral from a straight up to 0.93 rad of turn
// at 100 m from the start (0.83 at 200 m, 0.66 at 800 m), a circular arc up
// to 2.8 rad (2.6, 2.3), a spiral easing out to a straight up to 0.54 rad
// (0.49, 0.41), and any curve turning less than 0.25 rad up to 17 km from its
// start. The tables' pi is kStakeTablePi (calc/angle.h).
inline constexpr SpiralPolicy kStakeTablePolicy = {
    {{0.046910077, 0.2307653449, 0.5, 1.0 - 0.2307653449, 1.0 - 0.046910077},
     {0.1184634425, 0.2393143352, 0.2844444444, 0.2393143352, 0.1184634425}},
    // The weights add up to 2.0e-10 less than 1 (sum of |w - w_exact|); the
    // nodes are off by sum(w |t - t_exact|) = 2.98e-11 of D, which moves a
    // point by that times the turn over 0..D (at most A + 2B).
    2.0e-10,
    3.0e-11,
    5e-6,
    0.5,
    0.05,
};

// The whole line: panels of a quarter radian only, each with the
// full-precision rule, whose error there is far below a double's rounding.
inline constexpr SpiralPolicy kExactPolicy = {
    {{}, {}}, 0, 0, 0, 0.25, std::numeric_limits<double>::infinity(),
};

// How many equal panels `policy` cuts a curve of length L into, from
// curvature k0 to k1: enough that none turns by more than panelTurn_rad with
// the larger curvature, nor bends by more than panelBend_rad
// (|k1 - k0| / |L| h^2 / 2); at least 1. A double, so that the caller can
// refuse a count too large to hold.
double SpiralPanelCount(double k0, double k1, double L, const SpiralPolicy& policy);

// The point at D less the start point, and the tangent azimuth there.
struct SpiralOffset {
  double x;  // north, metres
  double y;  // east, metres
  double azimuth;
};

// Where one panel of a summed spiral starts: the point (from the spiral's
// start) and the cos and sin of the tangent azimuth there. The panel's
// distance and curvature follow from its number and the law.
struct SpiralNode {
  double x;
  double y;
  double cosAzimuth;
  double sinAzimuth;
};

// One spiral integrated with one policy over `panels` panels (a count from
// SpiralPanelCount, which may be capped by the caller). It keeps the panel
// sums that Walk or SumAllPanels have computed; At uses those it has and
// sums the rest afresh. The points are the same to the bit either way, asked
// for in any order.
class Spiral {
 public:
  Spiral(const SpiralLaw& law, const SpiralPolicy& policy, std::int64_t panels);

  const SpiralLaw& Law() const { return law_; }
  std::int64_t Panels() const { return panels_; }
  double PanelLength() const { return panelLength_; }

  // The point at D without keeping anything: one rule for each panel before
  // D that has not been summed yet.
  SpiralOffset At(double D) const;
  // The same point, keeping the panel sums and the choice of rule: along a
  // curve each point costs one rule once its panel has been reached.
  SpiralOffset Walk(double D);
  // Sums every panel (up to the one starting at the end), so that At costs
  // one rule wherever it is asked.
  void SumAllPanels();

  // Whether the whole rule serves the point at D (see SpiralPolicy).
  bool WholeRuleHolds(double D) const;

  // Sums every panel and appends the Panels() + 1 panel starts to `nodes`
  // (the last one at the end), for storage the caller keeps: a line keeps
  // those of all its spirals in one array.
  void AppendNodes(std::vector<SpiralNode>& nodes);
  // The point at D of a spiral of the exact policy (no whole rule) over
  // `panels` panels, from the nodes AppendNodes gave for it: the same to the
  // bit as At on that spiral.
  static SpiralOffset AtNodes(const SpiralLaw& law, std::int64_t panels, const SpiralNode* nodes, double D);

 private:
  // Where one panel starts: its distance from the start, cos and sin of the
  // tangent azimuth and the signed curvature there, and the integral over
  // the panels before it.
  struct PanelHead {
    double from;
    double cosAzimuth;
    double sinAzimuth;
    double curvature;
    double x;
    double y;
  };
  struct Step {
    double x;
    double y;
  };
  static Step PanelStep(const PanelHead& head, double change, double D);
  static std::int64_t PanelIndex(double D, double panelLength, std::int64_t panels);
  PanelHead HeadOf(std::int64_t i, double x, double y) const;
  Step PanelFrom(const PanelHead& head, double D) const;
  PanelHead NextHead(const PanelHead& head, std::int64_t next) const;
  SpiralOffset FromHead(const PanelHead& head, double D) const;
  void Reach(std::int64_t j);
  SpiralOffset WholeRule(double D) const;
  std::int64_t PanelOf(double D) const;

  SpiralLaw law_;
  const SpiralPolicy* policy_;
  std::int64_t panels_;
  double panelLength_;
  double change_;                                                // change of the signed curvature per metre
  double wholeUpTo_ = -1;                                        // the whole rule holds for |D| up to this
  double panelsFrom_ = std::numeric_limits<double>::infinity();  // and fails from this on
  std::vector<PanelHead> heads_;                                 // one for each panel reached so far
};

}  // namespace quorvane
