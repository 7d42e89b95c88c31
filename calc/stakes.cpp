#include "calc/stakes.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "calc/angle.h"
#include "calc/calculation_error.h"
#include "calc/transition_curve.h"
#include "calc/wide_integer.h"

namespace quorvane {
namespace {

// From here on a double no longer tells the multiple k*d from its neighbours.
constexpr double kMaxMultiple = 9007199254740992.0;  // 2^53

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

// floor(x / d) exactly, for decimals whose quotient lies below 2^53 (or a
// little above) in magnitude; d is not zero.
std::int64_t FloorQuotient(const Decimal& x, const Decimal& d) {
  if (x.mantissa == 0) return 0;
  u128 numerator = x.mantissa;
  u128 denominator = d.mantissa;
  const int shift = x.exponent - d.exponent;
  if (shift > 0) {
    numerator *= PowerOfTen128(shift);  // < 2^54 * denominator < 2^54 * 10^17 < 2^128
  } else if (shift < -20) {
    // numerator < 10^17 < 10^21 <= denominator: 0 < |x / d| < 1.
    return x.negative == d.negative ? 0 : -1;
  } else {
    denominator *= PowerOfTen128(-shift);  // < 10^37
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

StakeTable ComputeStakes(const CurveInput& input) { return TransitionCurve(input).Stakes(); }

StakeTable TransitionCurve::Stakes() const {
  const CurveInput& input = input_;
  const StakeRange range = StakeMultiples(input.lb, input.le, input.d);
  StakeTable table;
  table.n = static_cast<std::int16_t>(range.count());
  const auto n = static_cast<std::size_t>(table.n);
  table.stakeStation.resize(n);
  table.stakeDist.resize(n);
  table.stakeX.resize(n);
  table.stakeY.resize(n);
  table.stakeAzimuth.resize(n);

  CurveWalk walk(law_);
  for (std::size_t i = 0; i < n; ++i) {
    const double station = (range.first + static_cast<double>(i)) * input.d;
    const double D = station - input.lb;
    const CurvePoint point = walk.At(D);
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

}  // namespace quorvane
