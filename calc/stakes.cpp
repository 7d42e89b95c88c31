#include "calc/stakes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

#include "calc/angle.h"
#include "calc/calculation_error.h"
#include "calc/curve_point.h"

namespace quorvane {
namespace {

// Five-point Gauss-Legendre abscissae and weights on 0..1, in the shortened
// decimals the stake tables have always been computed with (the weights add
// up to 0.9999999998). Nodes 4 and 5 mirror nodes 2 and 1 in double.
constexpr std::array<double, 5> kGaussNode = {0.046910077, 0.2307653449, 0.5, 1.0 - 0.2307653449,
                                              1.0 - 0.046910077};
constexpr std::array<double, 5> kGaussWeight = {0.1184634425, 0.2393143352, 0.2844444444, 0.2393143352,
                                                0.1184634425};

// Relative distance within which a station quotient counts as a whole number.
constexpr double kWholeQuotientTolerance = 1e-9;
// Beyond this a double no longer tells the multiple k from k + 1.
constexpr double kMaxQuotient = 4503599627370496.0;  // 2^52

void RequireFinite(std::initializer_list<double> values) {
  for (const double v : values) {
    if (!std::isfinite(v)) throw CalculationError(kOverflowPrompt);
  }
}

double SnapToWhole(double quotient) {
  const double whole = std::round(quotient);
  // Purely relative: the noise of a quotient scales with it, and an absolute
  // allowance near zero would move a stake by up to 1e-9 intervals of metres.
  const double tolerance = kWholeQuotientTolerance * std::fabs(quotient);
  return std::fabs(quotient - whole) <= tolerance ? whole : quotient;
}

}  // namespace

StakeRange StakeMultiples(double lb, double le, double d) {
  RequireFinite({lb, le, d});
  if (d > 0 && le < lb) throw CalculationError(kEndBeforeStartPrompt);
  if (d < 0 && le > lb) throw CalculationError(kEndAfterStartNegativeIntervalPrompt);
  if (d == 0) throw CalculationError(kOverflowPrompt);  // the command never gets here

  const double qb = lb / d;
  const double qe = le / d;
  if (!(std::fabs(qb) < kMaxQuotient && std::fabs(qe) < kMaxQuotient)) {
    // Either not finite, or so large that consecutive stakes cannot be told apart.
    // Count them first so that a plain "too many" gets its own message.
    if (qe - qb > kMaxStakes + 1) throw CalculationError(kTooManyStakesPrompt);  // also +infinity
    throw CalculationError(kOverflowPrompt);
  }
  StakeRange range;
  range.first = std::floor(SnapToWhole(qb)) + 1;  // strictly after the start station
  range.last = std::max(std::floor(SnapToWhole(qe)), range.first - 1);  // up to and including the end
  if (range.count() > kMaxStakes) throw CalculationError(kTooManyStakesPrompt);
  return range;
}

void CheckCurveInput(const CurveInput& input) {
  RequireFinite({input.Xa, input.Ya, input.lb, input.le, input.Ra, input.Rb, input.a, input.d});
  for (const double v : {input.Xa, input.Ya, input.lb, input.le}) {
    if (!(std::fabs(v) < kMaxCoordinate_m)) throw CalculationError(kOverflowPrompt);
  }
}

StakeTable ComputeStakes(const CurveInput& input) {
  CheckCurveInput(input);
  const double alpha = DdMmSsToRadians(input.a);
  const StakeRange range = StakeMultiples(input.lb, input.le, input.d);

  // Curvature law: 1/Ra at the start, changing linearly by dk over L.
  const double L = input.le - input.lb;
  const double invRa = input.Ra == 0 ? 0.0 : 1.0 / input.Ra;
  const double invRb = input.Rb == 0 ? 0.0 : 1.0 / input.Rb;
  const double dk = invRb - invRa;
  RequireFinite({L, invRa, invRb, dk});

  const CurveLaw law{input.Xa, input.Ya, alpha, L, invRa, dk, static_cast<double>(input.turn)};
  StakeTable table;
  table.n = static_cast<std::int16_t>(range.count());
  const auto n = static_cast<std::size_t>(table.n);
  table.stakeStation.resize(n);
  table.stakeDist.resize(n);
  table.stakeX.resize(n);
  table.stakeY.resize(n);
  table.stakeAzimuth.resize(n);

  for (std::size_t i = 0; i < n; ++i) {
    const double station = (range.first + static_cast<double>(i)) * input.d;
    const double D = station - input.lb;
    const CurvePoint point = CurveLawAt(law, D);
    const double x = point.X;
    const double y = point.Y;
    const double azimuth_rad = point.azimuth;
    RequireFinite({x, y, azimuth_rad});
    if (std::fabs(azimuth_rad) > kMaxResolvableAngleRad) throw CalculationError(kOverflowPrompt);

    table.stakeStation[i] = station;
    table.stakeDist[i] = D;
    table.stakeX[i] = x;
    table.stakeY[i] = y;
    table.stakeAzimuth[i] = azimuth_rad;
  }

  for (double& azimuth : table.stakeAzimuth) azimuth = RadiansToDdMmSs(azimuth);
  return table;
}

CurvePoint CurveLawAt(const CurveLaw& law, double D) {
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
  return {D * sumCos + law.Xa, D * sumSin + law.Ya,
          (D * D * law.dk / 2.0 / law.L) * law.turn + ((D * law.invRa) * law.turn + law.alpha)};
}

}  // namespace quorvane
