#pragma once

#include <cstdint>
#include <vector>

namespace quorvane {

// The eight values of one transition curve and the turn sign, as read from the
// input boxes. Lengths and stations in metres.
struct CurveInput {
  double Xa = 0;  // X (northing) of the curve's start point, metres
  double Ya = 0;  // Y (easting) of the curve's start point, metres
  double lb = 0;  // station of the curve start, metres
  double le = 0;  // station of the curve end, metres
  double Ra = 0;  // radius at the start, metres; 0 means infinite (straight)
  double Rb = 0;  // radius at the end, metres; 0 means infinite (straight)
  double a = 0;   // azimuth of the tangent at the start point, DD.MMSS
  double d = 0;   // stake interval, metres; never 0 (the command refuses 0)
  std::int16_t turn = 0;  // -1 left turn, +1 right turn, 0 none chosen (straight)
};

// The stakes of one curve: five parallel arrays of n entries, indexed 0..n-1
// in the order of the stations along the interval.
struct StakeTable {
  std::int16_t n = 0;
  std::vector<double> stakeStation;  // station, metres (a whole multiple of d)
  std::vector<double> stakeDist;     // stakeStation - lb, metres (negative when d < 0)
  std::vector<double> stakeX;        // X, metres
  std::vector<double> stakeY;        // Y, metres
  std::vector<double> stakeAzimuth;  // tangent azimuth, DD.MMSS, 0..360
};

// No road is this long: a station, start coordinate, width or computed
// coordinate whose magnitude reaches it is refused with kOverflowPrompt.
inline constexpr double kMaxCoordinate_m = 1e12;

// The largest number of stakes one calculation produces.
inline constexpr int kMaxStakes = 32767;

// Which whole multiples k*d of the interval are stakes: k = first..last
// (count = last - first + 1, possibly 0).
struct StakeRange {
  double first = 0;
  double last = -1;
  double count() const { return last - first + 1; }
};

// The stakes are exactly the stations k*d that lie after lb and up to and
// including le, in the direction of d. A quotient lb/d or le/d within 1e-9
// (relative to the quotient) of a whole number counts as that whole number,
// so floating-point noise never adds or drops a stake at either end.
// Throws CalculationError:
//  - kEndBeforeStartPrompt when d > 0 and le < lb,
//  - kEndAfterStartNegativeIntervalPrompt when d < 0 and le > lb,
//  - kOverflowPrompt when a quotient is not finite,
//  - kTooManyStakesPrompt when there would be more than kMaxStakes stakes.
// le == lb gives no stakes and no error.
StakeRange StakeMultiples(double lb, double le, double d);

// The checks every calculation makes on its input before using it: every
// value finite, and the stations and the start coordinates below
// kMaxCoordinate_m in magnitude. Throws CalculationError(kOverflowPrompt).
// (The start azimuth's range is checked where it is converted.)
void CheckCurveInput(const CurveInput& input);

// Computes every stake of the curve: station, distance from the curve start,
// X, Y (by five-point Gauss-Legendre integration of the tangent direction) and
// tangent azimuth (DD.MMSS). The curvature changes linearly with length from
// 1/Ra at lb to 1/Rb at le; `turn` chooses its side. Stakes after le cannot
// occur; the law is evaluated with the shortened pi and node/weight values
// the printed tables have always used.
// Throws CalculationError with the prompt the user sees:
//  - kOverflowPrompt for any input, intermediate value or result that is not
//    finite, or a stake azimuth beyond kMaxResolvableAngleRad,
//  - kAzimuthOutOfRangePrompt when the start azimuth's degrees leave -32768..32767,
//  - the prompts of StakeMultiples.
StakeTable ComputeStakes(const CurveInput& input);

}  // namespace quorvane
