#include "calc/stakes.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cmath>
#include <initializer_list>

#include "calc/angle.h"
#include "calc/calculation_error.h"
#include "calc/curve_point.h"

namespace quorvane {
namespace {

// Five-point Gauss-Legendre abscissae and weights on 0..1, in the shortened
// decimals that define the stake tables (the weights add up to 0.9999999998,
// not 1). Nodes 4 and 5 mirror nodes 2 and 1 in double.
constexpr std::array<double, 5> kGaussNode = {0.046910077, 0.2307653449, 0.5, 1.0 - 0.2307653449,
                                              1.0 - 0.046910077};
constexpr std::array<double, 5> kGaussWeight = {0.1184634425, 0.2393143352, 0.2844444444, 0.2393143352,
                                                0.1184634425};

// From here on a double no longer tells the multiple k*d from its neighbours.
constexpr double kMaxMultiple = 9007199254740992.0;  // 2^53

__extension__ using u128 = unsigned __int128;

// A finite double as its shortest decimal that reads back as the same double:
// -1^negative * mantissa * 10^exponent, with at most 17 digits of mantissa.
struct Decimal {
  bool negative = false;
  std::uint64_t mantissa = 0;
  int exponent = 0;
};

Decimal ShortestDecimal(double value) {
  std::array<char, 40> buf{};  // "-d.dddddddddddddddde-308"
  const auto written = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::scientific);
  Decimal dec;
  const char* p = buf.data();
  if (*p == '-') {
    dec.negative = true;
    ++p;
  }
  int fraction_digits = 0;
  bool in_fraction = false;
  for (; p < written.ptr && *p != 'e'; ++p) {
    if (*p == '.') {
      in_fraction = true;
      continue;
    }
    dec.mantissa = dec.mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
    if (in_fraction) ++fraction_digits;
  }
  ++p;                    // 'e'
  if (*p == '+') ++p;     // from_chars takes '-' but not '+'
  int exponent = 0;
  std::from_chars(p, written.ptr, exponent);
  dec.exponent = exponent - fraction_digits;
  return dec;
}

u128 PowerOfTen(int power) {
  u128 result = 1;
  for (int i = 0; i < power; ++i) result *= 10;
  return result;
}

// floor(x / d) exactly, for decimals whose quotient lies below 2^53 (or a
// little above) in magnitude; d is not zero.
std::int64_t FloorQuotient(const Decimal& x, const Decimal& d) {
  if (x.mantissa == 0) return 0;
  u128 numerator = x.mantissa;
  u128 denominator = d.mantissa;
  const int shift = x.exponent - d.exponent;
  if (shift > 0) {
    numerator *= PowerOfTen(shift);  // < 2^54 * denominator < 2^54 * 10^17 < 2^128
  } else if (shift < -20) {
    // numerator < 10^17 < 10^21 <= denominator: 0 < |x / d| < 1.
    return x.negative == d.negative ? 0 : -1;
  } else {
    denominator *= PowerOfTen(-shift);  // < 10^37
  }
  const auto whole = static_cast<std::int64_t>(numerator / denominator);
  const bool exact = numerator % denominator == 0;
  if (x.negative == d.negative) return whole;
  return exact ? -whole : -whole - 1;
}

// Which whole multiples k*d of the interval are stakes: k = first..last
// (count = last - first + 1, possibly 0). The rule is stated with
// ComputeStakes.
struct StakeRange {
  std::int64_t first = 0;
  std::int64_t last = -1;
  std::int64_t count() const { return last - first + 1; }
};

StakeRange StakeMultiples(double lb, double le, double d) {
  RequireFinite({lb, le, d});
  if (d > 0 && le < lb) throw CalculationError(kEndBeforeStartPrompt);
  if (d < 0 && le > lb) throw CalculationError(kEndAfterStartNegativeIntervalPrompt);
  if (d == 0) throw CalculationError(kOverflowPrompt);  // the command never gets here
  if (le == lb) return {};

  // However small the interval, too many stakes is told as such: the span in
  // intervals, with room for the rounding of this estimate (+infinity when the
  // quotient overflows). What is left is counted exactly below.
  const double span = (le - lb) / d;
  if (!(span <= kMaxStakes + 2.0)) throw CalculationError(kTooManyStakesPrompt);
  if (!(std::fabs(lb / d) < kMaxMultiple && std::fabs(le / d) < kMaxMultiple)) {
    throw CalculationError(kOverflowPrompt);
  }

  const Decimal interval = ShortestDecimal(d);
  StakeRange range;
  range.first = FloorQuotient(ShortestDecimal(lb), interval) + 1;  // strictly after the start station
  range.last = std::max(FloorQuotient(ShortestDecimal(le), interval), range.first - 1);  // up to and including le
  if (range.count() > kMaxStakes) throw CalculationError(kTooManyStakesPrompt);
  return range;
}

}  // namespace

void RequireFinite(std::initializer_list<double> values) {
  for (const double v : values) {
    if (!std::isfinite(v)) throw CalculationError(kOverflowPrompt);
  }
}

void RequireOnTheMap(std::initializer_list<double> values) {
  for (const double v : values) {
    if (!(std::fabs(v) < kMaxCoordinate_m)) throw CalculationError(kOverflowPrompt);
  }
}

void CheckCurveInput(const CurveInput& input) {
  RequireFinite({input.Xa, input.Ya, input.lb, input.le, input.Ra, input.Rb, input.a, input.d});
  RequireOnTheMap({input.Xa, input.Ya, input.lb, input.le});
}

CurveLaw CurveLawOf(const CurveInput& input) {
  CheckCurveInput(input);
  const double alpha = DdMmSsToRadians(input.a);
  // Curvature law: 1/Ra at the start, changing linearly by dk over L.
  const double L = input.le - input.lb;
  const double invRa = input.Ra == 0 ? 0.0 : 1.0 / input.Ra;
  const double invRb = input.Rb == 0 ? 0.0 : 1.0 / input.Rb;
  const double dk = invRb - invRa;
  RequireFinite({L, invRa, invRb, dk});
  return {input.Xa, input.Ya, alpha, L, invRa, dk, static_cast<double>(input.turn)};
}

StakeTable ComputeStakes(const CurveInput& input) {
  const CurveLaw law = CurveLawOf(input);
  const StakeRange range = StakeMultiples(input.lb, input.le, input.d);
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
    RequireOnTheMap({x, y});
    if (!(std::fabs(azimuth_rad) <= kMaxResolvableAngleRad)) throw CalculationError(kOverflowPrompt);

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
  return {D * sumCos + law.Xa, D * sumSin + law.Ya, quadCoef * law.turn + ((D * law.invRa) * law.turn + law.alpha)};
}

}  // namespace quorvane
