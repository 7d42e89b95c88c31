#include "ui/line/line_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

namespace quorvane::ui {

std::string ExactText(double value) {
  if (std::isinf(value)) return {};
  // Plain decimals (3000000, not 3e+06), the fewest digits that read back.
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  std::string text(buffer, result.ptr);
  if (text == "-0") text = "0";
  return text;
}

std::optional<double> DdMmSsToRadiansExact(double ddmmss) {
  if (!std::isfinite(ddmmss) || std::fabs(ddmmss) > 1e9) return std::nullopt;
  const double magnitude = std::fabs(ddmmss);
  // In units of 1e-4 second: 17.3415 is 17 34 15.0000, read without the
  // binary noise of 0.3415 * 100.
  const long long q = std::llround(magnitude * 1e8);
  const long long degrees = q / 100000000;
  const long long minutes = q / 1000000 % 100;
  const double seconds = static_cast<double>(q % 1000000) / 1e4;
  if (minutes >= 60 || seconds >= 60) return std::nullopt;
  const double value = (static_cast<double>(degrees) + static_cast<double>(minutes) / 60 + seconds / 3600) *
                       std::numbers::pi / 180;
  return ddmmss < 0 ? -value : value;
}

double RadiansToDdMmSsExact(double azimuth_rad) {
  double degrees = std::fmod(azimuth_rad * 180 / std::numbers::pi, 360.0);
  if (degrees < 0) degrees += 360;
  long long tenThousandths = std::llround(degrees * 3600 * 1e4);  // of a second
  tenThousandths %= 360LL * 3600 * 10000;
  const long long wholeSeconds = tenThousandths / 10000;
  const long long d = wholeSeconds / 3600, m = wholeSeconds / 60 % 60, s = wholeSeconds % 60;
  const long long fraction = tenThousandths % 10000;
  // DD.MMSSffff as a decimal text, read back: exact to the digits written.
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%lld.%02lld%02lld%04lld", d, m, s, fraction);
  double value = 0;
  std::from_chars(buffer, buffer + std::char_traits<char>::length(buffer), value);
  return value;
}

}  // namespace quorvane::ui
