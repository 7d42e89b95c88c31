#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "report/line_text.h"

namespace quorvane::ui {

// Texts of the 路线 window's cells. Numbers are written with '.' whatever
// the locale; stations, azimuths, rounded numbers and the start azimuth
// cell's DD.MMSS (DdMmSsToRadiansExact, RadiansToDdMmSsExact) are written
// and read by report/line_text.h, the same for the window and the tool.

// The shortest text that reads back as exactly `value` ("12.5", "0.1",
// "4040964.994"); empty for an infinite radius.
std::string ExactText(double value);

// A station in K-notation that reads back (ReadStation) as exactly
// `station_m`: "K1+234.5" for 1234.5, "K0+000" for 0, the metres after '+'
// always three digits before the point. A negative or huge station, which
// K-notation does not show, is written as ExactText.
std::string ExactStationText(double station_m);

}  // namespace quorvane::ui
