#pragma once

#include <string>

namespace quorvane {

// Texts of the whole line's tables (the command-line tool, the 路线 window,
// the drawings): K-notation stations, fixed decimals, DD.MMSS angles with
// the full-precision pi. Numbers are written with '.' whatever the locale and
// never as "-0.000".

// The largest number of decimals written.
inline constexpr int kMaxDecimals = 6;

// A value with exactly `decimals` (0..kMaxDecimals) decimals, rounded
// correctly from the double ("2.0005" with 3 decimals is the double's own
// digits rounded, not a string trick); a value exactly halfway rounds away
// from zero, as a surveyor rounds (0.125 -> "0.13", 1234.5 -> "1235").
// Throws CalculationError(kOverflowPrompt) for a value that is not finite.
std::string FixedText(double value, int decimals);

// A station in K-notation with `decimals` decimals in the metres, metres
// padded to three whole digits: 12345.678 -> "K12+345.678", -15 ->
// "K-1+985.000", 999.9996 -> "K1+000.000" (rounded first, then split, so the
// metres always lie in 0 .. 999.999...). Throws CalculationError for a
// station of 10^12 m or more.
std::string StationText(double station_m, int decimals = 3);

// An azimuth as DD.MMSS with four decimals, brought into 0..360 degrees
// (full-precision pi); seconds rounded to whole seconds with their carries
// into minutes and degrees, 360 wrapping to 0 ("45.3015").
std::string AzimuthText(double azimuth_rad);

// A turning angle as signed DD.MMSS with four decimals, not wrapped
// ("-23.1530" is 23 deg 15' 30" to the left).
std::string AngleText(double angle_rad);

}  // namespace quorvane
