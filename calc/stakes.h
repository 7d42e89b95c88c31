#pragma once

#include <cstdint>
#include <vector>

#include "calc/curve_input.h"

namespace quorvane {

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

// The largest number of stakes one calculation produces.
inline constexpr int kMaxStakes = 32767;

// Computes every stake of the curve: station, distance from the curve start,
// X, Y (the integral of the tangent direction) and tangent azimuth (DD.MMSS).
// The curvature changes linearly with length from 1/Ra at lb to 1/Rb at le;
// `turn` chooses its side; the start azimuth is converted with kStakeTablePi.
//
// Every stake lies within 0.005 mm of the exact curve of that law (plus the
// rounding of its doubles), however far the curve turns. Two paths, chosen
// for each stake by its distance D from the start alone (CurveLawAt in
// calc/curve_law.h states the rule):
//  - where an a-priori bound of its error is within 0.005 mm, the one
//    five-point Gauss-Legendre rule over 0..D with the shortened node and
//    weight decimals the printed tables are defined by, to the bit as
//    those tables: every ordinary road curve over its whole length (spirals
//    from a straight to 0.83 rad of turn at 200 m from the start, circular
//    arcs to 2.6 rad, spirals easing out to a straight to 0.49 rad, anything
//    turning less than 0.25 rad up to 17 km out), and so the worked example;
//  - beyond, panels that turn by at most 0.5 rad each, integrated to full
//    double precision and summed from stake to stake: the first stake past
//    a panel costs that panel once more. A curve that winds needs one panel
//    per 0.5 rad of its largest curvature times its length; more than 2^20
//    panels (a circle of some 80,000 turns) is refused with kOverflowPrompt,
//    so the worst curve costs some five million sines and cosines.
//
// Which stations are stakes: exactly the whole multiples k*d that lie after
// lb and up to and including le, in the direction of d (lb < k*d <= le for
// d > 0, le <= k*d < lb for d < 0). The test is made on the numbers as typed:
// each of lb, le and d is taken as its shortest decimal that reads back as the
// same double (std::to_chars; for any text of up to 15 significant digits,
// the digits typed), and lb/d and le/d are compared with whole numbers in
// exact integer arithmetic. No allowance is made, so floating-point noise in
// a division never adds or drops a stake. Stake i then stands at k*d in
// double, within a few units in the last place of its exact value.
//
// Throws CalculationError with the prompt the user sees:
//  - kOverflowPrompt for a value that is not finite, a station or start
//    coordinate (input) or a stake coordinate (computed) whose magnitude
//    reaches kMaxCoordinate_m, a curve that would need more than 2^20 panels, a multiple k beyond 2^53 (a double no longer
//    tells k*d from its neighbours), or a stake azimuth beyond
//    kMaxResolvableAngleRad,
//  - kAzimuthOutOfRangePrompt when the start azimuth's degrees leave -32768..32767,
//  - kEndBeforeStartPrompt when d > 0 and le < lb,
//  - kEndAfterStartNegativeIntervalPrompt when d < 0 and le > lb,
//  - kTooManyStakesPrompt when there would be more than kMaxStakes stakes,
//    however small the interval.
// le == lb gives no stakes and no error.
StakeTable ComputeStakes(const CurveInput& input);

}  // namespace quorvane
