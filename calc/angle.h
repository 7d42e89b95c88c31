#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// An angle is written as DD.MMSS: whole degrees, then two digits of minutes
// and two of seconds after the point (17 deg 34' 15" is 17.3415), and for
// exact work further digits for fractions of a second.

// ---- The single curve's stake tables ----

// The pi of the printed stake tables: the shortened 3.14159265, not the
// full-precision constant. It belongs to the stake tables' conventions with
// the shortened Gauss decimals of kStakeTablePolicy (calc/spiral.h): the
// start azimuth is read with it and every stake azimuth printed with it, and
// the tables' azimuths and coordinates are defined by it to the last digit.
inline constexpr double kStakeTablePi = 3.14159265;

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
// Returns radians = (min/60 + deg + sec/3600) * kStakeTablePi / 180, in that order.
double DdMmSsToRadians(double azimuth_ddmmss);

// Stake azimuth from radians to DD.MMSS, first brought into 0..2*kStakeTablePi.
// Seconds are rounded to a whole second; 60" carries into the minutes and 60'
// into the degrees. The degrees are not wrapped: an angle of exactly
// 2*kStakeTablePi (6.2831853) gives 360. Result in 0..360 for |azimuth_rad| up
// to kMaxResolvableAngleRad; beyond that a double no longer holds the angle to
// a second and the stake computation refuses it before calling this.
inline constexpr double kMaxResolvableAngleRad = 1e9;
double RadiansToDdMmSs(double azimuth_rad);

// ---- Exact angles: the whole line, LandXML, the 路线 window ----
// These use the full-precision pi (std::numbers::pi).

// An angle split into degrees, minutes and seconds, rounded to `decimals`
// decimals of a second with the carries done: minutes 0..59, seconds 0..59.
struct Dms {
  bool negative = false;  // only for a signed angle that does not round to 0
  std::int64_t degrees = 0;
  int minutes = 0;
  int seconds = 0;
  std::int64_t fraction = 0;  // of a second, in units of 10^-decimals
  int decimals = 0;
};

// An azimuth is brought into 0..360 degrees (a rounding up to 360 wraps to
// 0); a signed angle keeps its sign and is not wrapped (725 deg is 725).
enum class AngleKind { kAzimuth, kSigned };

// Radians to degrees, minutes and seconds with `decimals` (0..4) decimals of
// a second, rounded to the nearest (halves away from zero). For
// |angle_rad| up to 1e9.
Dms RadiansToDms(double angle_rad, AngleKind kind, int decimals = 0);

// The DD.MMSS text of `dms`: degrees, '.', two digits of minutes, two of
// seconds, then its decimals of a second; '-' before a negative angle
// ("45.3015", "-23.1530", "17.34151234").
std::string DdMmSsText(const Dms& dms);

// The DD.MMSS text of `dms` read as a number (17.34151234): the double
// nearest to its decimals.
double DdMmSsValue(const Dms& dms);

// A DD.MMSS number (17.3415; fractions of a second allowed, to 1e-4 s) to
// radians. Nothing when the minutes or seconds are 60 or more, or the value
// is not finite or beyond 1e9 in size.
std::optional<double> DdMmSsValueToRadians(double ddmmss);

// A DD.MMSS text to radians, as LandXML's "decimal dd.mm.ss" writes it:
// "45.3015" (45 deg 30' 15"), "28.3852403" (52.403"), "-12.0030", "7",
// or with the fields apart, "45.30.15" (minutes and seconds of one or two
// digits, further digits of the seconds as decimals: "45.30.1525" is
// 15.25"). Blanks around it are ignored. Throws CalculationError with
// AngleMessage(text, kAngleNotDdMmSsText) for anything else, and
// kAngleMinutesOrSecondsText when the minutes or seconds are 60 or more.
double DdMmSsTextToRadians(std::string_view text);

}  // namespace quorvane
