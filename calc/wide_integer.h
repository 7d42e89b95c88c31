#pragma once

#include <array>
#include <cstdint>

// Exact integer arithmetic on decimals: the 128-bit unsigned integer (GCC's
// and Clang's) and the powers of ten.

namespace quorvane {

__extension__ using u128 = unsigned __int128;

// 10^0 .. 10^19, every power of ten a 64-bit unsigned integer holds.
inline constexpr std::array<std::uint64_t, 20> kPowerOfTen64 = [] {
  std::array<std::uint64_t, 20> p{};
  p[0] = 1;
  for (std::size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;
  return p;
}();

// 10^power for power 0..38 (10^39 no longer fits).
constexpr u128 PowerOfTen128(int power) {
  u128 result = 1;
  for (int i = 0; i < power; ++i) result *= 10;
  return result;
}

}  // namespace quorvane
