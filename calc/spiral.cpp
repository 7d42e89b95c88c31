#include "calc/spiral.h"

#include <algorithm>
#include <cmath>

namespace quorvane {
namespace {

// The five-point Gauss-Legendre rule on 0..1 to the last digit of a double,
// for the panels of the exact integration.
constexpr std::array<double, 5> kExactNode = {0.046910077030668004, 0.23076534494715845, 0.5, 0.76923465505284155,
                                              0.95308992296933200};
constexpr std::array<double, 5> kExactWeight = {0.11846344252809454, 0.23931433524968323, 0.28444444444444444,
                                                0.23931433524968323, 0.11846344252809454};

// The exact rule's error on t^m over 0..1, 1/(m+1) - sum(w t^m), for
// m = 10..60 (it integrates t^0..t^9 exactly); all positive. Computed with
// mpmath at 40 digits (scripts/accuracy.py prints them).
constexpr std::size_t kFirstTerm = 10;
constexpr std::array<double, 51> kMonomialError = {
    1.4315490505966696e-6, 7.873519778281683e-6,  2.4596337427025258e-5, 5.7520436158002296e-5, 1.1218342340528869e-4,
    1.9301319268644162e-4, 3.0296265370102432e-4, 4.4344096276720964e-4, 6.1444167684693057e-4, 8.1477695760201173e-4,
    1.0423504215489933e-3, 1.2944252701597914e-3, 1.5678635642300646e-3, 1.8593259659584596e-3, 2.1654297765995502e-3,
    2.4828679292686273e-3, 2.808493948152917e-3,  3.1393786860155879e-3, 3.4728445579498445e-3, 3.8064824340643626e-3,
    4.1381556065749438e-3, 4.4659944649024097e-3, 4.788384780197954e-3,  5.103951857387279e-3,  5.4115422708376136e-3,
    5.7102044568790408e-3, 5.9991690831009931e-3, 6.2778298381199647e-3, 6.5457250734605737e-3, 6.8025205692535288e-3,
    7.047993577020578e-3,  7.2820182068997614e-3, 7.5045521658526913e-3, 7.7156248117010742e-3, 7.9153264605023674e-3,
    8.1037988680620818e-3, 8.2812267974014304e-3, 8.4478305805389065e-3, 8.6038595833247733e-3, 8.7495864850311375e-3,
    8.8853022890168252e-3, 9.0113119863765508e-3, 9.1279308005602978e-3, 9.2354809471684713e-3, 9.3342888492565578e-3,
    9.4246827543651267e-3, 9.5069907050310783e-3, 9.5815388196803781e-3, 9.6486498455274059e-3, 9.7086419494085295e-3,
    9.7618277163685958e-3};

// The bound below is used up to this much of A + B; beyond it the one rule
// is never exact enough for a stake more than a few metres out.
constexpr double kMaxRuleTurn_rad = 3.0;
// Terms past t^60 add less than this (they fall like 3^(m/2) / (m/2)!).
constexpr double kTailBound = 1e-18;

// 1 / m for m = 0..61, for the recurrence below.
constexpr std::array<double, 62> kReciprocal = [] {
  std::array<double, 62> r{};
  for (std::size_t m = 1; m < r.size(); ++m) r[m] = 1.0 / static_cast<double>(m);
  return r;
}();

// A bound of |exact rule - integral| of exp(i (A t + B t^2)) over 0..1, for
// 0 <= A, B and A + B <= kMaxRuleTurn_rad: the sum over m >= 10 of the rule's
// error on t^m times the Taylor coefficient c_m of exp(A t + B t^2), which
// bounds that of exp(i (A t + B t^2)) in size. The c_m follow from
// (m + 1) c_(m+1) = A c_m + 2 B c_(m-1). The sum stops after two terms below
// `negligible` (the rest is smaller still, as the c_m fall ever faster);
// for larger A and B it stops no sooner, so the bound still grows with them
// and with a smaller `negligible`.
constexpr double TruncationBound(double A, double B, double negligible = 0) {
  double previous = 1.0;  // c_0
  double current = A;     // c_1
  for (std::size_t m = 1; m < kFirstTerm; ++m) {
    const double next = (A * current + 2 * B * previous) * kReciprocal[m + 1];
    previous = current;
    current = next;
  }
  double bound = kTailBound;
  double lastTerm = 1.0;
  for (std::size_t i = 0; i < kMonomialError.size(); ++i) {
    const double term = kMonomialError[i] * current;
    bound += term;
    if (term < negligible && lastTerm < negligible) break;
    lastTerm = term;
    const std::size_t m = kFirstTerm + i;
    const double next = (A * current + 2 * B * previous) * kReciprocal[m + 1];
    previous = current;
    current = next;
  }
  return bound;
}

// Below this much of A + B the bound at A = B = kQuickTurn_rad serves first:
// the test is then a comparison with a constant.
constexpr double kQuickTurn_rad = 0.25;
constexpr double kQuickBound = TruncationBound(kQuickTurn_rad, kQuickTurn_rad);

}  // namespace

double SpiralPanelCount(double k0, double k1, double L, const SpiralPolicy& policy) {
  const double largest = std::max(std::fabs(k0), std::fabs(k1));
  return std::max({1.0, std::ceil(largest * std::fabs(L) / policy.panelTurn_rad),
                   std::ceil(std::sqrt(std::fabs(k1 - k0) * std::fabs(L) / (2 * policy.panelBend_rad)))});
}

Spiral::Spiral(const SpiralLaw& law, const SpiralPolicy& policy, std::int64_t panels)
    : law_(law),
      policy_(&policy),
      panels_(panels),
      panelLength_(law.L / static_cast<double>(panels)),
      change_(SpiralCurvatureChange(law)) {}

bool Spiral::WholeRuleHolds(double D) const {
  const SpiralPolicy& policy = *policy_;
  if (!(policy.wholeTolerance_m > 0)) return false;
  if (law_.L == 0) return true;  // only D = 0 is on such a curve
  const double A = std::fabs(law_.turn * law_.k0 * D);
  const double B = std::fabs(change_) * (D * D / 2);
  const double turn = A + B;
  if (!(turn <= kMaxRuleTurn_rad)) return false;
  const double shortened = policy.wholeWeightError + policy.wholeNodeError * (A + 2 * B);
  const double size = std::fabs(D);
  // The quick test only ever says yes; both tests pass for every smaller |D|
  // once they pass for one, so Walk may remember where they stop.
  if (turn <= kQuickTurn_rad && size * (shortened + kQuickBound) <= policy.wholeTolerance_m) return true;
  // Terms a thousandth of the tolerance per metre and below are left out.
  const double rule = TruncationBound(A, B, 1e-3 * policy.wholeTolerance_m / size);
  return size * (shortened + rule) <= policy.wholeTolerance_m;
}

SpiralOffset Spiral::WholeRule(double D) const {
  // The order of every operation is that of the printed tables; keep it.
  const GaussRule5& rule = policy_->whole;
  const double quadCoef = D * D * law_.dk / 2.0 / law_.L;
  double sumCos = 0.0;
  double sumSin = 0.0;
  for (std::size_t j = 0; j < rule.node.size(); ++j) {
    const double t = rule.node[j];
    const double theta = (t * t * quadCoef + t * law_.k0 * D) * law_.turn + law_.alpha;
    sumCos = std::cos(theta) * rule.weight[j] + sumCos;
    sumSin = std::sin(theta) * rule.weight[j] + sumSin;
  }
  return {D * sumCos, D * sumSin, SpiralAzimuth(law_, D)};
}

// The full-precision rule over head.from..D: the turn from the panel's start
// azimuth (at most some 0.55 rad) at each node, turned by that azimuth at the
// end; the panels before are not added. `change` is that of the signed
// curvature per metre.
Spiral::Step Spiral::PanelStep(const PanelHead& head, double change, double D) {
  const double h = D - head.from;
  double sumCos = 0.0;
  double sumSin = 0.0;
  for (std::size_t j = 0; j < kExactNode.size(); ++j) {
    const double u = kExactNode[j] * h;
    const double turned = u * (head.curvature + 0.5 * change * u);
    sumCos += kExactWeight[j] * std::cos(turned);
    sumSin += kExactWeight[j] * std::sin(turned);
  }
  return {h * (head.cosAzimuth * sumCos - head.sinAzimuth * sumSin),
          h * (head.sinAzimuth * sumCos + head.cosAzimuth * sumSin)};
}

// The panel of `panelLength` that holds D: 0..panels (the last one only for
// a point a rounding past the end).
std::int64_t Spiral::PanelIndex(double D, double panelLength, std::int64_t panels) {
  const double q = std::floor(D / panelLength);
  if (!(q > 0)) return 0;
  return q < static_cast<double>(panels) ? static_cast<std::int64_t>(q) : panels;
}

Spiral::PanelHead Spiral::HeadOf(std::int64_t i, double x, double y) const {
  const double from = static_cast<double>(i) * panelLength_;
  const double azimuth = SpiralAzimuth(law_, from);
  return {from, std::cos(azimuth), std::sin(azimuth), law_.turn * law_.k0 + change_ * from, x, y};
}

Spiral::Step Spiral::PanelFrom(const PanelHead& head, double D) const { return PanelStep(head, change_, D); }

Spiral::PanelHead Spiral::NextHead(const PanelHead& head, std::int64_t next) const {
  const PanelHead n = HeadOf(next, 0.0, 0.0);
  const Step p = PanelFrom(head, n.from);
  return {n.from, n.cosAzimuth, n.sinAzimuth, n.curvature, head.x + p.x, head.y + p.y};
}

SpiralOffset Spiral::FromHead(const PanelHead& head, double D) const {
  const Step p = PanelFrom(head, D);
  return {head.x + p.x, head.y + p.y, SpiralAzimuth(law_, D)};
}

std::int64_t Spiral::PanelOf(double D) const { return PanelIndex(D, panelLength_, panels_); }

void Spiral::Reach(std::int64_t j) {
  if (heads_.empty()) heads_.push_back(HeadOf(0, 0.0, 0.0));
  while (static_cast<std::int64_t>(heads_.size()) <= j) {
    heads_.push_back(NextHead(heads_.back(), static_cast<std::int64_t>(heads_.size())));
  }
}

SpiralOffset Spiral::At(double D) const {
  if (WholeRuleHolds(D)) return WholeRule(D);
  const std::int64_t j = PanelOf(D);
  const auto known = static_cast<std::int64_t>(heads_.size());
  if (j < known) return FromHead(heads_[static_cast<std::size_t>(j)], D);
  std::int64_t i = known == 0 ? 0 : known - 1;
  PanelHead head = known == 0 ? HeadOf(0, 0.0, 0.0) : heads_.back();
  for (; i < j; ++i) head = NextHead(head, i + 1);
  return FromHead(head, D);
}

SpiralOffset Spiral::Walk(double D) {
  // Whether the whole rule holds depends on |D| alone and only fails further
  // out: the nearest failure and the farthest success seen decide at once.
  const double size = std::fabs(D);
  bool whole = size <= wholeUpTo_;
  if (!whole && size < panelsFrom_) {
    whole = WholeRuleHolds(D);
    (whole ? wholeUpTo_ : panelsFrom_) = size;
  }
  if (whole) return WholeRule(D);
  const std::int64_t j = PanelOf(D);
  Reach(j);
  return FromHead(heads_[static_cast<std::size_t>(j)], D);
}

void Spiral::SumAllPanels() { Reach(panels_); }

void Spiral::AppendNodes(std::vector<SpiralNode>& nodes) {
  SumAllPanels();
  for (const PanelHead& h : heads_) nodes.push_back({h.x, h.y, h.cosAzimuth, h.sinAzimuth});
  heads_ = {};
}

SpiralOffset Spiral::AtNodes(const SpiralLaw& law, std::int64_t panels, const SpiralNode* nodes, double D) {
  // The head as Reach keeps it: its distance and curvature as HeadOf makes them.
  const double panelLength = law.L / static_cast<double>(panels);
  const double change = SpiralCurvatureChange(law);
  const std::int64_t j = PanelIndex(D, panelLength, panels);
  const SpiralNode& n = nodes[j];
  const double from = static_cast<double>(j) * panelLength;
  const PanelHead head{from, n.cosAzimuth, n.sinAzimuth, law.turn * law.k0 + change * from, n.x, n.y};
  const Step p = PanelStep(head, change, D);
  return {head.x + p.x, head.y + p.y, SpiralAzimuth(law, D)};
}

}  // namespace quorvane
