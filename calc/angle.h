#pragma once

namespace quorvane {

// The value of pi used by every angle conversion and by the stake computation:
// the shortened 3.14159265, not the full-precision constant. The printed
// azimuths and coordinates are defined with it, to the last digit.
inline constexpr double kPi = 3.14159265;

// An azimuth is written as DD.MMSS: whole degrees, then two digits of minutes
// and two of seconds after the point (17 deg 34' 15" is 17.3415).

// Start azimuth from DD.MMSS to radians.
//  - Degrees are the value truncated toward zero; they must lie in
//    -32768..32767, otherwise CalculationError(kAzimuthOutOfRangePrompt).
//    A non-finite value gives CalculationError(kOverflowPrompt).
//  - Minutes are the next two digits, truncated; seconds the two after,
//    rounded to a whole second with ties to even. The split works on the
//    double, so a whole-minute value stored just below its typed digits
//    (17.34 is 17.33999...) still reads as 34' 00". Minutes are not range
//    checked (17.75 is 17 deg 75').
//  - Negative values split the same way with every part negative.
// Returns radians = (min/60 + deg + sec/3600) * kPi / 180, in that order.
double DdMmSsToRadians(double azimuth_ddmmss);

// Stake azimuth from radians to DD.MMSS, first brought into 0..2*kPi.
// Seconds are rounded to a whole second; 60" carries into the minutes and 60'
// into the degrees. The degrees are not wrapped: an angle of exactly 2*kPi
// (6.2831853) gives 360. Result in 0..360 for |azimuth_rad| up to
// kMaxResolvableAngleRad; beyond that a double no longer holds the angle to a
// second and the stake computation refuses it before calling this.
inline constexpr double kMaxResolvableAngleRad = 1e9;
double RadiansToDdMmSs(double azimuth_rad);

}  // namespace quorvane
