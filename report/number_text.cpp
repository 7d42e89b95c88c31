#include "report/number_text.h"

#include "report/decimal15.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
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

namespace {

// value / 10^decimals in plain decimal notation, zeros at the end of the
// decimals and a bare point removed.
void AppendScaled(std::string& out, std::uint64_t value, int decimals, std::uint64_t unit) {
  std::array<char, 24> buf{};
  auto written = std::to_chars(buf.data(), buf.data() + buf.size(), value / unit);
  out.append(buf.data(), written.ptr);
  std::uint64_t fraction = value % unit;
  if (fraction == 0) return;
  while (fraction % 10 == 0) {
    fraction /= 10;
    --decimals;
  }
  written = std::to_chars(buf.data(), buf.data() + buf.size(), fraction);
  out += '.';
  AppendZeros(out, decimals - static_cast<int>(written.ptr - buf.data()));
  out.append(buf.data(), written.ptr);
}

// A metres part below 1000 keeps 15 significant digits with 12 decimals.
constexpr int kMaxStationDecimals = 12;
constexpr double kTwoTo64 = 18446744073709551616.0;

}  // namespace

void AppendStation(std::string& out, double station_m) {
  if (std::fabs(station_m) < 1e15 && station_m == std::trunc(station_m)) {  // whole metres: exact as they are
    const auto metres_total = static_cast<std::int64_t>(station_m);
    std::int64_t km = metres_total / 1000;
    std::int64_t metres = metres_total % 1000;
    if (metres < 0) {  // -1500 m is -2 km + 500 m
      --km;
      metres += 1000;
    }
    AppendGeneral(out, static_cast<double>(km));
    out += '+';
    AppendGeneral(out, static_cast<double>(metres));
    return;
  }
  const int order = ToDecimal15(station_m).exponent;
  const int decimals = std::clamp(kSignificantDigits - 1 - order, 0, kMaxStationDecimals);
  std::optional<std::uint64_t> scaled = ScaleRounded(station_m, decimals);  // |s| * 10^decimals, rounded once
  if (!scaled && std::fabs(station_m) < 1) scaled = 0;  // subnormal: far below a printed decimal
  if (!scaled && std::fabs(station_m) < kTwoTo64) {
    scaled = static_cast<std::uint64_t>(std::fabs(station_m));  // from 2^52 on a double is whole
  }
  if (!scaled) {
    // 2^64 m and more: every such double is a whole number of metres, and
    // fmod is exact, so only the kilometres are rounded (to 15 digits).
    double metres = std::fmod(station_m, 1000.0);
    if (metres < 0) metres += 1000.0;
    AppendGeneral(out, std::floor(station_m / 1000.0));
    out += '+';
    AppendGeneral(out, metres);
    return;
  }
  std::uint64_t unit = 1;
  for (int i = 0; i < decimals; ++i) unit *= 10;
  const std::uint64_t kilometre = 1000 * unit;
  std::uint64_t km = *scaled / kilometre;
  std::uint64_t metres = *scaled % kilometre;
  const bool negative = std::signbit(station_m) && *scaled != 0;
  if (negative && metres != 0) {  // -1.5 km is -2 km + 500 m
    ++km;
    metres = kilometre - metres;
  }
  if (negative) out += '-';
  AppendScaled(out, km, 0, 1);
  out += '+';
  AppendScaled(out, metres, decimals, unit);
}

namespace {

template <void (*Append)(std::string&, double)>
std::string Text(double value) {
  std::string text;
  Append(text, value);
  return text;
}

}  // namespace

std::string Fixed3(double value) { return Text<AppendFixed3>(value); }
std::string General(double value) { return Text<AppendGeneral>(value); }
std::string Station(double station_m) { return Text<AppendStation>(station_m); }

}  // namespace quorvane
