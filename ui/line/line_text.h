#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvane::ui {

// Texts of the 路线 window's tables and files. Numbers are written with '.'
// whatever the locale.

// The shortest text that reads back as exactly `value` ("12.5", "0.1",
// "4040964.994"); empty for an infinite radius.
std::string ExactText(double value);

// A station in K-notation with `decimals` (0..6) decimals in the metres:
// 12345.678 -> "K12+345.678"; the station is rounded once, then split, so the
// metres always lie in 0 <= m < 1000 ("K-1+985.000" for -15).
std::string KStation(double station_m, int decimals = 3);

// An azimuth in radians as DD.MMSS with four decimals, first brought into
// 0..360 degrees; seconds rounded to the whole second with their carries
// (359 deg 59' 59.6" -> "0.0000").
std::string AzimuthText(double azimuth_rad);

// DD.MMSS (17.3415 is 17 deg 34' 15"; fractions of a second allowed) to
// radians with the full-precision pi. Nothing when the minutes or seconds are
// 60 or more, or the value is not finite.
std::optional<double> DdMmSsToRadiansExact(double ddmmss);

// Radians to DD.MMSS as a number with fractions of a second kept to 1e-4 s,
// for the start azimuth cell (the inverse of DdMmSsToRadiansExact).
double RadiansToDdMmSsExact(double azimuth_rad);

}  // namespace quorvane::ui
