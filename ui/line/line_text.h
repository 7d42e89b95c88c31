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

}  // namespace quorvane::ui
