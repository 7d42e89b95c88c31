#include "ui/line/line_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "calc/angle.h"
#include "calc/read_number.h"

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

std::string ExactStationText(double station_m) {
  const std::string plain = ExactText(station_m);
  if (!std::isfinite(station_m) || station_m < 0 || station_m >= 1e15) return plain;
  // The plain digits split before the last three metres: what was typed as
  // K1+234.5 (and saved as 1234.5) shows as typed.
  const std::size_t point = std::min(plain.find('.'), plain.size());
  const std::string whole = plain.substr(0, point);
  const std::string km = whole.size() > 3 ? whole.substr(0, whole.size() - 3) : "0";
  const std::string metres = std::string(whole.size() < 3 ? 3 - whole.size() : 0, '0') +
                             (whole.size() > 3 ? whole.substr(whole.size() - 3) : whole);
  std::string text = "K" + km + "+" + metres + plain.substr(point);
  if (ReadStation(text) == station_m) return text;
  // The kilometres and metres read as two numbers and added may miss the
  // last bit of the plain number: the metres written as the exact
  // difference (station - km * 1000 loses nothing, the two being within a
  // factor of two of each other from K1 on) read back whole.
  const double kilometres = std::floor(station_m / 1000);
  const std::string rest = ExactText(station_m - kilometres * 1000);
  const std::size_t restPoint = std::min(rest.find('.'), rest.size());
  text = "K" + ExactText(kilometres) + "+" + std::string(restPoint < 3 ? 3 - restPoint : 0, '0') + rest;
  return ReadStation(text) == station_m ? text : plain;
}

}  // namespace quorvane::ui
