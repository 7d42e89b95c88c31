#include "calc/curve_law.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "calc/angle.h"
#include "calc/calculation_error.h"

namespace quorvane {
namespace {

// Five-point Gauss-Legendre abscissae and weights on 0..1, in the shortened
// decimals that define the stake tables (the weights add up to 0.9999999998,
// not 1). Nodes 4 and 5 mirror nodes 2 and 1 in double.
constexpr std::array<double, 5> kGaussNode = {0.046910077, 0.2307653449, 0.5, 1.0 - 0.2307653449, 1.0 - 0.046910077};
constexpr std::array<double, 5> kGaussWeight = {0.1184634425, 0.2393143352, 0.2844444444, 0.2393143352, 0.1184634425};

// The five-point Gauss-Legendre rule on 0..1 to the last digit of a double,
// for the panels of the exact integration.
constexpr std::array<double, 5> kExactNode = {0.046910077030668004, 0.23076534494715845, 0.5, 0.76923465505284155,
                                              0.95308992296933200};
constexpr std::array<double, 5> kExactWeight = {0.11846344252809454, 0.23931433524968323, 0.28444444444444444,
                                                0.23931433524968323, 0.11846344252809454};

// What the shortened decimals move the rule by, per metre of D: the weights
// add up to 2.0e-10 less than 1 (sum of |w - w_exact|), and the nodes are
// off by sum(w |t - t_exact|) = 2.98e-11 of D, which moves a point by that
// times the turn rate over 0..D (at most A + 2B below).
constexpr double kShortWeightError = 2.0e-10;
constexpr double kShortNodeError = 3.0e-11;

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

// The one shortened rule serves a point while its bound stays within this.
constexpr double kSingleRuleTolerance_m = 5e-6;

// Panels turn by at most this much through their start curvature (A) and
// through the change of curvature along them (B); there the exact rule is
// off by at most TruncationBound(kPanelTurn_rad, kPanelBend_rad) = 3.4e-13
// per metre (4e-16 on a circle).
constexpr double kPanelTurn_rad = 0.5;
constexpr double kPanelBend_rad = 0.05;
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

  // Panels of equal length: enough that none turns by more than
  // kPanelTurn_rad with the largest curvature of the curve, nor bends by more
  // than kPanelBend_rad (|dk/L| h^2 / 2).
  double panels = 1;
  if (turn != 0 && L != 0) {
    const double largest = std::max(std::fabs(invRa), std::fabs(invRb));
    panels = std::max({1.0, std::ceil(largest * std::fabs(L) / kPanelTurn_rad),
                       std::ceil(std::sqrt(std::fabs(dk) * std::fabs(L) / (2 * kPanelBend_rad)))});
    if (!(panels <= kMaxPanels)) throw CalculationError(kOverflowPrompt);
  }
  return {input.Xa, input.Ya, alpha, L, invRa, dk, turn, static_cast<std::int64_t>(panels), L / panels};
}

namespace {

struct Vec2 {
  double x;
  double y;
};

// The tangent azimuth at distance D, in the order of the printed tables.
double AzimuthAt(const CurveLaw& law, double D) {
  const double quadCoef = D * D * law.dk / 2.0 / law.L;
  return quadCoef * law.turn + ((D * law.invRa) * law.turn + law.alpha);
}

// Whether the one shortened rule from the start is within
// kSingleRuleTolerance_m of the exact integral at D: D times the bound of its
// error for the turn A = |D / Ra| through the start curvature and B =
// |D^2 dk / (2 L)| through the change of curvature, plus what the shortened
// decimals add.
bool SingleRuleHolds(const CurveLaw& law, double D) {
  if (law.L == 0) return true;  // only D = 0 is on such a curve
  const double A = std::fabs(law.turn * law.invRa * D);
  const double B = std::fabs(SignedCurvatureChange(law)) * (D * D / 2);
  const double turn = A + B;
  if (!(turn <= kMaxRuleTurn_rad)) return false;
  const double shortened = kShortWeightError + kShortNodeError * (A + 2 * B);
  // The quick test only ever says yes; both tests pass for every smaller |D|
  // once they pass for one, so CurveWalk may remember where they stop.
  if (turn <= kQuickTurn_rad && std::fabs(D) * (shortened + kQuickBound) <= kSingleRuleTolerance_m) return true;
  // Terms a thousandth of the tolerance per metre and below are left out.
  const double rule = TruncationBound(A, B, 1e-3 * kSingleRuleTolerance_m / std::fabs(D));
  return std::fabs(D) * (shortened + rule) <= kSingleRuleTolerance_m;
}

// The one five-point rule over 0..D with the shortened decimals.
Vec2 SingleRule(const CurveLaw& law, double D) {
  // The order of every operation is that of the printed tables; keep it.
  const double quadCoef = D * D * law.dk / 2.0 / law.L;
  double sumCos = 0.0;
  double sumSin = 0.0;
  for (std::size_t j = 0; j < kGaussNode.size(); ++j) {
    const double t = kGaussNode[j];
    const double theta = (t * t * quadCoef + t * law.invRa * D) * law.turn + law.alpha;
    sumCos = std::cos(theta) * kGaussWeight[j] + sumCos;
    sumSin = std::sin(theta) * kGaussWeight[j] + sumSin;
  }
  return {D * sumCos, D * sumSin};
}

// Where panel i starts: its distance, the tangent azimuth and the signed
// curvature there.
PanelHead HeadOf(const CurveLaw& law, double change, std::int64_t i) {
  const double from = static_cast<double>(i) * law.panelLength;
  const double azimuth = AzimuthAt(law, from);
  return {from, std::cos(azimuth), std::sin(azimuth), law.turn * law.invRa + change * from};  // SignedCurvatureAt
}

// The exact rule over head.from..to: the turn from the panel's start azimuth
// (at most some 0.55 rad) at each node, turned by that azimuth at the end.
Vec2 Panel(const PanelHead& head, double change, double to) {
  const double h = to - head.from;
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

// The panel that holds D: 0..panels (the last one only for a point a
// rounding past the end).
std::int64_t PanelOf(const CurveLaw& law, double D) {
  const double q = std::floor(D / law.panelLength);
  if (!(q > 0)) return 0;
  return q < static_cast<double>(law.panels) ? static_cast<std::int64_t>(q) : law.panels;
}

}  // namespace

double SignedCurvatureChange(const CurveLaw& law) { return law.L == 0 ? 0.0 : law.turn * law.dk / law.L; }

double SignedCurvatureAt(const CurveLaw& law, double D) {
  return law.turn * law.invRa + SignedCurvatureChange(law) * D;
}

CurvePoint CurveLawAt(const CurveLaw& law, double D) {
  if (SingleRuleHolds(law, D)) {
    const Vec2 s = SingleRule(law, D);
    return {s.x + law.Xa, s.y + law.Ya, AzimuthAt(law, D)};
  }
  const double change = SignedCurvatureChange(law);
  const std::int64_t j = PanelOf(law, D);
  Vec2 sum{0.0, 0.0};
  for (std::int64_t i = 0; i < j; ++i) {
    const Vec2 p = Panel(HeadOf(law, change, i), change, HeadOf(law, change, i + 1).from);
    sum = {sum.x + p.x, sum.y + p.y};
  }
  const Vec2 p = Panel(HeadOf(law, change, j), change, D);
  return {(sum.x + p.x) + law.Xa, (sum.y + p.y) + law.Ya, AzimuthAt(law, D)};
}

CurveWalk::CurveWalk(const CurveLaw& law) : law_(law), change_(SignedCurvatureChange(law)) {}

CurvePoint CurveWalk::Offset(double D) {
  // Whether the one rule holds depends on |D| alone and only fails further
  // out: the nearest failure and the farthest success seen decide at once.
  const double size = std::fabs(D);
  bool single = size <= singleUpTo_;
  if (!single && size < panelsFrom_) {
    single = SingleRuleHolds(law_, D);
    (single ? singleUpTo_ : panelsFrom_) = size;
  }
  if (single) {
    const Vec2 s = SingleRule(law_, D);
    return {s.x, s.y, AzimuthAt(law_, D)};
  }
  const std::int64_t j = PanelOf(law_, D);
  if (sums_.empty()) sums_.push_back({0.0, 0.0, HeadOf(law_, change_, 0)});
  while (static_cast<std::int64_t>(sums_.size()) <= j) {
    const Sum& last = sums_.back();
    const PanelHead next = HeadOf(law_, change_, static_cast<std::int64_t>(sums_.size()));
    const Vec2 p = Panel(last.head, change_, next.from);
    sums_.push_back({last.x + p.x, last.y + p.y, next});
  }
  const Sum& before = sums_[static_cast<std::size_t>(j)];
  const Vec2 p = Panel(before.head, change_, D);
  return {before.x + p.x, before.y + p.y, AzimuthAt(law_, D)};
}

CurvePoint CurveWalk::At(double D) {
  const CurvePoint p = Offset(D);
  return {p.X + law_.Xa, p.Y + law_.Ya, p.azimuth};
}

}  // namespace quorvane
