#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace quorvane {

inline constexpr int kSignificantDigits = 15;

// A finite double rounded to 15 significant decimal digits (ties to even, on
// the exact binary value): (-1)^negative * d0.d1...d14 * 10^exponent, with
// d0 != '0' unless the value is zero.
struct Decimal15 {
  bool negative = false;
  bool zero = true;
  std::array<char, kSignificantDigits> digits{};
  int exponent = 0;
};

// Same digits as std::to_chars(scientific, precision 14), several times
// faster for the magnitudes a report holds (1e-4 up to 1e15); other values
// take std::to_chars itself.
Decimal15 ToDecimal15(double value);

// |value| * 10^power_of_ten rounded to the nearest integer, ties to even,
// computed exactly from the binary value. Empty when the power is outside
// 0..19, the value is not finite or too small to scale exactly, or the result
// does not fit below 10^19.
std::optional<std::uint64_t> ScaleRounded(double value, int power_of_ten);

}  // namespace quorvane
