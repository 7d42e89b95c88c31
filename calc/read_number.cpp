#include "calc/read_number.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <limits>
#include <string>
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

// The text with each full-width character that a Chinese input method types
// for a number replaced by its one ASCII twin; every other byte is kept.
// All of them are three bytes in UTF-8: EF BC xx for U+FF00..U+FF3F and
// E3 80 xx for U+3000..U+303F.
std::string AsciiTwins(std::string_view text) {
  std::string ascii;
  ascii.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char twin = 0;
    if (i + 2 < text.size()) {
      const auto lead = static_cast<unsigned char>(text[i]);
      const auto middle = static_cast<unsigned char>(text[i + 1]);
      const auto last = static_cast<unsigned char>(text[i + 2]);
      if (lead == 0xEF && middle == 0xBC) {
        if (last >= 0x90 && last <= 0x99) twin = static_cast<char>('0' + (last - 0x90));  // U+FF10..FF19
        if (last == 0x8E) twin = '.';  // U+FF0E full-width full stop
        if (last == 0x8D) twin = '-';  // U+FF0D full-width minus
        if (last == 0x8B) twin = '+';  // U+FF0B full-width plus
      } else if (lead == 0xE3 && middle == 0x80) {
        if (last == 0x82) twin = '.';  // U+3002 ideographic full stop
        if (last == 0x80) twin = ' ';  // U+3000 ideographic space
      }
    }
    if (twin != 0) {
      ascii += twin;
      i += 2;
    } else {
      ascii += text[i];
    }
  }
  return ascii;
}

// fn called with the text as AsciiTwins gives it; a text of ASCII bytes
// only, as files mostly hold, is passed as it is, without a copy.
template <class Fn>
auto WithAsciiTwins(std::string_view text, Fn fn) {
  const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return fn(text);
  const std::string twins = AsciiTwins(text);
  return fn(std::string_view(twins));
}

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

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The text with full-width Latin letters (U+FF21..FF3A, U+FF41..FF5A) as
// their ASCII twins. Only the chainage prefix reads letters; ReadNumber keeps
// its own twins, so "１ｅ５" stays 1 there.
std::string AsciiLetters(std::string_view text) {
  std::string ascii;
  ascii.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i + 2 < text.size() && static_cast<unsigned char>(text[i]) == 0xEF) {
      const auto middle = static_cast<unsigned char>(text[i + 1]);
      const auto last = static_cast<unsigned char>(text[i + 2]);
      if (middle == 0xBC && last >= 0xA1 && last <= 0xBA) {
        ascii += static_cast<char>('A' + (last - 0xA1));
        i += 2;
        continue;
      }
      if (middle == 0xBD && last >= 0x81 && last <= 0x9A) {
        ascii += static_cast<char>('a' + (last - 0x81));
        i += 2;
        continue;
      }
    }
    ascii += text[i];
  }
  return ascii;
}

// A station in chainage notation, found at the start of an ASCII text.
struct Chainage {
  bool found = false;
  double value = 0.0;
  std::size_t end = 0;  // where the notation ends in the text
};

// Digits are kept as text, so the value is the exact decimal typed.
Chainage ReadChainage(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  std::size_t letters = 0;
  while (i < text.size() && IsLetter(text[i]) && letters < 4) {
    ++i;
    ++letters;
  }
  if (letters > 3) return {};
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  const std::size_t kmBegin = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  const std::string_view km = text.substr(kmBegin, i - kmBegin);
  if (km.empty() || i >= text.size() || text[i] != '+') return {};
  ++i;
  const std::size_t mBegin = i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  const std::string_view metres = text.substr(mBegin, i - mBegin);
  if (metres.empty()) return {};
  std::string_view fraction;
  if (i < text.size() && text[i] == '.') {
    const std::size_t fBegin = ++i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    fraction = text.substr(fBegin, i - fBegin);
  }

  // km * 1000 + metres as one scaled integer, when it fits: 36 digits.
  const std::size_t kmDigits = km.find_first_not_of('0') == std::string_view::npos
                                   ? 0
                                   : km.size() - km.find_first_not_of('0');
  const std::size_t mDigits = metres.find_first_not_of('0') == std::string_view::npos
                                  ? 0
                                  : metres.size() - metres.find_first_not_of('0');
  __extension__ using i128 = __int128;
  if (kmDigits + 3 + fraction.size() <= 36 && mDigits + fraction.size() <= 36) {
    i128 scale = 1;
    for (std::size_t k = 0; k < fraction.size(); ++k) scale *= 10;
    const auto digitsOf = [](std::string_view digits) {
      i128 v = 0;
      for (const char c : digits) v = v * 10 + (c - '0');
      return v;
    };
    const i128 kmScaled = digitsOf(km) * 1000 * scale;
    const i128 mScaled = digitsOf(metres) * scale + digitsOf(fraction);
    i128 total = negative ? mScaled - kmScaled : kmScaled + mScaled;
    const bool below = total < 0;
    if (below) total = -total;
    std::string decimal;
    do {
      decimal.insert(decimal.begin(), static_cast<char>('0' + static_cast<int>(total % 10)));
      total /= 10;
    } while (total != 0);
    if (fraction.size() > 0) {
      while (decimal.size() <= fraction.size()) decimal.insert(decimal.begin(), '0');
      decimal.insert(decimal.end() - static_cast<std::ptrdiff_t>(fraction.size()), '.');
    }
    double value = 0.0;
    const auto result = std::from_chars(decimal.data(), decimal.data() + decimal.size(), value);
    if (result.ec == std::errc::result_out_of_range) value = std::numeric_limits<double>::infinity();
    return {true, below ? -value : value, i};
  }
  // Beyond 36 digits no road station is meant; the double sum is as good.
  const double kmValue = Read(km).value;
  const double mValue = Read(text.substr(mBegin, i - mBegin)).value;
  return {true, negative ? mValue - kmValue * 1000 : kmValue * 1000 + mValue, i};
}

}  // namespace

double ReadStation(std::string_view text) {
  const std::string ascii = AsciiLetters(AsciiTwins(text));
  const Chainage chainage = ReadChainage(ascii);
  return chainage.found ? chainage.value : ReadNumber(text);
}

bool IsWholeStation(std::string_view text) {
  const std::string ascii = AsciiLetters(AsciiTwins(text));
  const Chainage chainage = ReadChainage(ascii);
  if (!chainage.found) return IsWholeNumber(text);
  std::size_t rest = chainage.end;
  while (rest < ascii.size() && IsBlank(ascii[rest])) ++rest;
  return rest == ascii.size();
}

double ReadNumber(std::string_view text) { return WithAsciiTwins(text, [](std::string_view t) { return Read(t).value; }); }

bool IsWholeNumber(std::string_view text) {
  return WithAsciiTwins(text, [](std::string_view ascii) {
    std::size_t rest = Read(ascii).end;
    while (rest < ascii.size() && IsBlank(ascii[rest])) ++rest;
    return rest == ascii.size();
  });
}

std::optional<double> ReadWholeNumber(std::string_view text) {
  return WithAsciiTwins(text, [](std::string_view ascii) -> std::optional<double> {
    const Reading reading = Read(ascii);
    if (reading.end == 0) return std::nullopt;
    std::size_t rest = reading.end;
    while (rest < ascii.size() && IsBlank(ascii[rest])) ++rest;
    if (rest != ascii.size()) return std::nullopt;
    return reading.value;
  });
}

bool IsBlankText(std::string_view text) {
  return WithAsciiTwins(text, [](std::string_view ascii) {
    std::size_t i = 0;
    while (i < ascii.size() && IsBlank(ascii[i])) ++i;
    return i == ascii.size();
  });
}

}  // namespace quorvane
