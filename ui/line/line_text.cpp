#include "ui/line/line_text.h"

#include <charconv>
#include <cmath>
#include <string>

#include "calc/angle.h"

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

}  // namespace quorvane::ui
