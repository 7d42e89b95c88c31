#include "calc/read_number.h"

#include <charconv>
#include <cstddef>
#include <limits>
#include <system_error>

namespace quorvane {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// For a decimal number that std::from_chars found out of range, tells whether
// it is too large (true) or too small (false) for a double. Works on the
// digits alone: the decimal order of the first non-zero digit plus the
// exponent. `s` holds digits, an optional '.', an optional exponent.
bool IsTooLarge(std::string_view s) {
  long long order = 0;  // power of ten of the first significant digit
  bool seen_point = false;
  bool seen_significant = false;
  long long integer_digits = 0;
  long long leading_fraction_zeros = 0;
  std::size_t i = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '.') {
      seen_point = true;
      continue;
    }
    if (!IsDigit(c)) break;
    if (!seen_point) {
      if (seen_significant || c != '0') {
        seen_significant = true;
        ++integer_digits;
      }
    } else if (!seen_significant) {
      if (c == '0') {
        ++leading_fraction_zeros;
      } else {
        seen_significant = true;
      }
    }
  }
  order = integer_digits > 0 ? integer_digits - 1 : -(leading_fraction_zeros + 1);
  long long exponent = 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    bool negative = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) negative = s[j++] == '-';
    for (; j < s.size() && IsDigit(s[j]); ++j) {
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (s[j] - '0');
    }
    if (negative) exponent = -exponent;
  }
  return order + exponent > 0;
}

}  // namespace

namespace {

struct Reading {
  double value = 0.0;
  std::size_t end = 0;  // where the number ends in the text; 0 when there is none
};

Reading Read(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;

  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  // Only digits or a point followed by a digit start a number; this keeps
  // from_chars from taking "inf", "nan" or a hex form.
  const bool starts_number =
      i < text.size() && (IsDigit(text[i]) || (text[i] == '.' && i + 1 < text.size() && IsDigit(text[i + 1])));
  if (!starts_number) return {};

  const char* first = text.data() + i;
  const char* last = text.data() + text.size();
  double value = 0.0;
  const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    const std::string_view digits(first, static_cast<std::size_t>(end - first));
    value = IsTooLarge(digits) ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (ec != std::errc()) {
    return {};
  }
  return {negative ? -value : value, static_cast<std::size_t>(end - text.data())};
}

}  // namespace

double ReadNumber(std::string_view text) { return Read(text).value; }

bool IsWholeNumber(std::string_view text) {
  std::size_t rest = Read(text).end;
  while (rest < text.size() && IsBlank(text[rest])) ++rest;
  return rest == text.size();
}

}  // namespace quorvane
