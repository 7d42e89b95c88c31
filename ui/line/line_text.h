#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvane::ui {

// Texts of the 路线 window's cells. Numbers are written with '.' whatever
// the locale; stations and azimuths are written by report/line_text.h.

// The shortest text that reads back as exactly `value` ("12.5", "0.1",
// "4040964.994"); empty for an infinite radius.
std::string ExactText(double value);

// DD.MMSS (17.3415 is 17 deg 34' 15"; fractions of a second allowed) to
// radians with the full-precision pi. Nothing when the minutes or seconds are
// 60 or more, or the value is not finite.
std::optional<double> DdMmSsToRadiansExact(double ddmmss);

// Radians to DD.MMSS as a number with fractions of a second kept to 1e-4 s,
// for the start azimuth cell (the inverse of DdMmSsToRadiansExact).
double RadiansToDdMmSsExact(double azimuth_rad);

}  // namespace quorvane::ui
