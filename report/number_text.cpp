#include "report/number_text.h"

#include "report/decimal15.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <system_error>

namespace quorvane {
namespace {

void AppendZeros(std::string& out, int count) {
  if (count > 0) out.append(static_cast<std::size_t>(count), '0');
}

}  // namespace

void AppendGeneral(std::string& out, double value) {
  // Whole numbers of up to 15 digits (kilometres, whole metres) are their own
  // text.
  if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
    std::array<char, 24> buf{};
    const auto written = std::to_chars(buf.data(), buf.data() + buf.size(), static_cast<std::int64_t>(value));
    out.append(buf.data(), written.ptr);
    return;
  }
  const Decimal15 dec = ToDecimal15(value);
  if (dec.zero) {
    out += '0';
    return;
  }
  int count = kSignificantDigits;
  while (count > 1 && dec.digits[count - 1] == '0') --count;
  const char* digits = dec.digits.data();
  if (dec.negative) out += '-';
  if (dec.exponent >= 0) {
    const int integer_digits = dec.exponent + 1;
    out.append(digits, static_cast<std::size_t>(std::min(count, integer_digits)));
    AppendZeros(out, integer_digits - count);
    if (count > integer_digits) {
      out += '.';
      out.append(digits + integer_digits, static_cast<std::size_t>(count - integer_digits));
    }
  } else {
    out += "0.";
    AppendZeros(out, -dec.exponent - 1);
    out.append(digits, static_cast<std::size_t>(count));
  }
}

namespace {

// |value| * 1000 rounded, as decimal digits without leading zeros (empty for
// zero): the 15-significant-digit form rounded at the third decimal, halves
// away from zero.
struct Thousandths {
  bool negative = false;
  std::array<char, 330> digits{};  // DBL_MAX has 309 digits before the point
  std::size_t size = 0;
};

Thousandths ToThousandths(double value) {
  const Decimal15 dec = ToDecimal15(value);
  Thousandths t;
  t.negative = dec.negative;
  if (dec.zero) return t;
  const int kept = dec.exponent + 4;  // digits down to the third decimal
  if (kept < 0) return t;
  char* d = t.digits.data();
  if (kept >= kSignificantDigits) {
    std::copy(dec.digits.begin(), dec.digits.end(), d);
    std::fill(d + kSignificantDigits, d + kept, '0');
    t.size = static_cast<std::size_t>(kept);
    return t;
  }
  std::copy(dec.digits.begin(), dec.digits.begin() + kept, d);
  t.size = static_cast<std::size_t>(kept);
  if (dec.digits[static_cast<std::size_t>(kept)] >= '5') {
    int i = kept - 1;
    for (; i >= 0 && d[i] == '9'; --i) d[i] = '0';
    if (i >= 0) {
      ++d[i];
    } else {  // 999.9995 -> 1000.000
      std::copy_backward(d, d + t.size, d + t.size + 1);
      d[0] = '1';
      ++t.size;
    }
  }
  return t;
}

}  // namespace

void AppendFixed3(std::string& out, double value) {
  const Thousandths t = ToThousandths(value);
  if (t.size == 0) {  // also what rounds to zero: never "-0.000"
    out += "0.000";
    return;
  }
  if (t.negative) out += '-';
  if (t.size <= 3) {
    out += "0.";
    out.append(3 - t.size, '0');
    out.append(t.digits.data(), t.size);
    return;
  }
  out.append(t.digits.data(), t.size - 3);
  out += '.';
  out.append(t.digits.data() + t.size - 3, 3);
}

void AppendSigned(std::string& out, double value) {
  if (!(value < 0)) out += ' ';
  AppendGeneral(out, value);
}

void AppendSignedFixed3(std::string& out, double value) {
  const Thousandths t = ToThousandths(value);
  if (t.size > static_cast<std::size_t>(kSignificantDigits)) {
    // More digits than a double reads back: go through the number itself.
    std::string fixed;
    AppendFixed3(fixed, value);
    double read_back = 0;
    std::from_chars(fixed.data(), fixed.data() + fixed.size(), read_back);
    AppendSigned(out, read_back);
    return;
  }
  // Up to 15 digits read back unchanged, so reading the Fixed3 text back only
  // drops the zeros at the end of the decimals and a bare point.
  if (t.size == 0) {
    out += " 0";
    return;
  }
  out += t.negative ? '-' : ' ';
  const std::size_t whole = t.size > 3 ? t.size - 3 : 0;
  if (whole == 0) {
    out += '0';
  } else {
    out.append(t.digits.data(), whole);
  }
  std::size_t decimals = t.size - whole;  // up to 3, the last ones of the digits
  while (decimals > 0 && t.digits[whole + decimals - 1] == '0') --decimals;
  if (decimals > 0) {
    out += '.';
    out.append(3 - (t.size - whole), '0');
    out.append(t.digits.data() + whole, decimals);
  }
}

void AppendStation(std::string& out, double station_m) {
  const double km = std::floor(station_m / 1000.0);
  AppendGeneral(out, km);
  out += '+';
  // fmod is exact: it is s - K*1000 without the rounding of K*1000, which
  // matters only for stations too long for a double to hold to the metre.
  double metres = std::fmod(station_m, 1000.0);
  if (metres < 0) metres += 1000.0;
  // The subtraction exposes binary noise below the station's own 15th
  // significant digit (123456.7 - 123000 is 456.70000000000437): keep the
  // metres to the decimals the station itself holds.
  if (metres == std::trunc(metres)) {
    AppendGeneral(out, metres);
    return;
  }
  const int station_decimals = std::max(0, kSignificantDigits - 1 - ToDecimal15(station_m).exponent);
  constexpr double kExactIntegerLimit = 9007199254740992.0;  // 2^53
  const auto scaled = ScaleRounded(metres, station_decimals);
  if (scaled && static_cast<double>(*scaled) < kExactIntegerLimit) {
    metres = static_cast<double>(*scaled) / std::pow(10.0, station_decimals);  // both exact, one rounding
  } else {
    std::array<char, 400> buf{};
    const auto written =
        std::to_chars(buf.data(), buf.data() + buf.size(), metres, std::chars_format::fixed, station_decimals);
    if (written.ec == std::errc()) std::from_chars(buf.data(), written.ptr, metres);
  }
  AppendGeneral(out, metres);
}

namespace {

template <void (*Append)(std::string&, double)>
std::string Text(double value) {
  std::string s;
  Append(s, value);
  return s;
}

}  // namespace

std::string Fixed3(double value) { return Text<AppendFixed3>(value); }
std::string General(double value) { return Text<AppendGeneral>(value); }
std::string Signed(double value) { return Text<AppendSigned>(value); }
std::string SignedFixed3(double value) { return Text<AppendSignedFixed3>(value); }
std::string Station(double station_m) { return Text<AppendStation>(station_m); }

}  // namespace quorvane
