#include "report/decimal15.h"

#include <bit>
#include <charconv>
#include <cmath>

#include "calc/wide_integer.h"

namespace quorvane {
namespace {

constexpr const auto& kPow10 = kPowerOfTen64;

Decimal15 ToDecimal15Slow(double magnitude, Decimal15 dec) {
  // "d.ddddddddddddddde[+-]xx", correctly rounded, independent of the locale.
  std::array<char, 40> buf{};
  const auto result = std::to_chars(buf.data(), buf.data() + buf.size(), magnitude, std::chars_format::scientific,
                                    kSignificantDigits - 1);
  const char* p = buf.data();
  dec.digits[0] = *p++;
  ++p;  // the point
  for (int i = 1; i < kSignificantDigits; ++i) dec.digits[static_cast<std::size_t>(i)] = *p++;
  ++p;  // 'e'
  const bool exponent_negative = *p == '-';
  ++p;
  int exponent = 0;
  std::from_chars(p, result.ptr, exponent);
  dec.exponent = exponent_negative ? -exponent : exponent;
  return dec;
}

// |value| * 10^power_of_ten, exactly: its whole part and its value rounded to
// the nearest integer, ties to even.
struct Scaled {
  std::uint64_t whole;
  std::uint64_t rounded;
};

std::optional<Scaled> ScaleExactly(double value, int power_of_ten) {
  const double magnitude = std::fabs(value);
  if (power_of_ten < 0 || power_of_ten >= static_cast<int>(kPow10.size()) || !std::isfinite(magnitude)) {
    return std::nullopt;
  }
  if (magnitude == 0) return Scaled{0, 0};
  // magnitude = mantissa / 2^shift exactly, with a 53-bit mantissa.
  const auto bits = std::bit_cast<std::uint64_t>(magnitude);
  const auto biased_exponent = static_cast<int>(bits >> 52);
  if (biased_exponent == 0) return std::nullopt;  // subnormal: far below any report value
  const std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int shift = 1075 - biased_exponent;  // magnitude = mantissa * 2^(biased_exponent - 1075)
  if (shift <= 0 || shift >= 127) return std::nullopt;

  const u128 scaled = static_cast<u128>(mantissa) * kPow10[static_cast<std::size_t>(power_of_ten)];  // < 2^117
  const u128 whole = scaled >> shift;
  const u128 remainder = scaled - (whole << shift);
  const u128 half = static_cast<u128>(1) << (shift - 1);
  const u128 rounded = (remainder > half || (remainder == half && (whole & 1) != 0)) ? whole + 1 : whole;
  if (rounded >= kPow10[19]) return std::nullopt;
  return Scaled{static_cast<std::uint64_t>(whole), static_cast<std::uint64_t>(rounded)};
}

}  // namespace

std::optional<std::uint64_t> ScaleRounded(double value, int power_of_ten) {
  const auto scaled = ScaleExactly(value, power_of_ten);
  if (!scaled) return std::nullopt;
  return scaled->rounded;
}

Decimal15 ToDecimal15(double value) {
  Decimal15 dec;
  dec.negative = std::signbit(value);
  if (value == 0) return dec;
  dec.zero = false;
  const double magnitude = std::fabs(value);

  // Guess the decimal exponent from the binary one (78913 / 2^18 is just
  // below log10(2)), then settle it on the exact whole part
  // (10^14 <= whole < 10^15), so a guess one off either way is mended.
  const int binary_exponent = static_cast<int>(std::bit_cast<std::uint64_t>(magnitude) >> 52) - 1023;
  int exponent = (binary_exponent * 78913) >> 18;
  // The guess is the exponent or one below it; a double comparison settles
  // all but values within a rounding of a power of ten, which the loop mends.
  constexpr int kLowestPower = -20;
  static constexpr std::array<double, 43> kPowersOfTen = {
      1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11, 1e-10, 1e-9, 1e-8, 1e-7, 1e-6,
      1e-5,  1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,   1e2,   1e3,   1e4,   1e5,   1e6,  1e7,  1e8,  1e9,
      1e10,  1e11,  1e12,  1e13,  1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21, 1e22};
  const int next = exponent + 1 - kLowestPower;
  if (next >= 0 && next < static_cast<int>(kPowersOfTen.size()) && magnitude >= kPowersOfTen[static_cast<std::size_t>(next)]) {
    ++exponent;
  }
  for (int attempt = 0; attempt < 3; ++attempt) {
    const auto scaled = ScaleExactly(magnitude, kSignificantDigits - 1 - exponent);
    if (!scaled) break;
    if (scaled->whole >= kPow10[kSignificantDigits]) {
      ++exponent;
      continue;
    }
    if (scaled->whole < kPow10[kSignificantDigits - 1]) {
      --exponent;
      continue;
    }
    std::uint64_t q = scaled->rounded;
    if (q == kPow10[kSignificantDigits]) {  // 999...9.5 rounds up to a new digit
      q = kPow10[kSignificantDigits - 1];
      ++exponent;
    }
    std::to_chars(dec.digits.data(), dec.digits.data() + dec.digits.size(), q);  // exactly 15 digits
    dec.exponent = exponent;
    return dec;
  }
  return ToDecimal15Slow(magnitude, dec);
}

}  // namespace quorvane
