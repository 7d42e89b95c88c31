// The fast 15-significant-digit rounding must give the standard library's
// digits for every value, ties included.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <optional>
#include <charconv>
#include <cmath>
#include <random>
#include <string>

#include "report/decimal15.h"

namespace quorvane {
namespace {

std::string Reference(double value) {
  std::array<char, 48> buf{};
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::scientific, 14);
  return std::string(buf.data(), r.ptr);
}

std::string Rendered(double value) {
  const Decimal15 dec = ToDecimal15(value);
  if (dec.zero) return std::signbit(value) ? "-0.00000000000000e+00" : "0.00000000000000e+00";
  std::string s = dec.negative ? "-" : "";
  s += dec.digits[0];
  s += '.';
  s.append(dec.digits.data() + 1, dec.digits.size() - 1);
  const int e = dec.exponent;
  s += e < 0 ? "e-" : "e+";
  if (std::abs(e) < 10) s += '0';
  s += std::to_string(std::abs(e));
  return s;
}

TEST(Decimal15, AgreesWithToCharsOnHardValues) {
  const double cases[] = {
      1000000000000000.5,  // exact tie at the 15th digit, rounds to even
      1000000000000001.5,  // exact tie, rounds up to even
      999999999999999.5,   // tie that carries into a new digit
      0.1, 0.3, 2.6755, 4040974.4095998764, 9.999999999999995, 99.99999999999999, 1e15, 1e-4, 1e16,
      123456789012345678.0, 5e-324, 2.2250738585072014e-308, 1.7976931348623157e308, 1e22, 1e23, 0.5426, -18.1344,
  };
  for (const double v : cases) {
    SCOPED_TRACE(Reference(v));
    EXPECT_EQ(Rendered(v), Reference(v));
  }
}

TEST(Decimal15, AgreesWithToCharsOnRandomValues) {
  std::mt19937_64 rng(15);
  std::uniform_real_distribution<double> exponent(-8, 18);
  std::uniform_real_distribution<double> mantissa(1, 10);
  std::uniform_int_distribution<std::uint64_t> bits;
  for (int i = 0; i < 200'000; ++i) {
    double v = mantissa(rng) * std::pow(10.0, std::floor(exponent(rng)));
    if (i % 4 == 0) v = std::bit_cast<double>(bits(rng));  // any double at all
    if (i % 7 == 0) v = std::round(v * 1000) / 1000;       // a metre value to the millimetre
    if (!std::isfinite(v)) continue;
    ASSERT_EQ(Rendered(v), Reference(v)) << "value " << v;
  }
}

}  // namespace
}  // namespace quorvane
