#pragma once

#include <cstdint>
#include <initializer_list>

namespace quorvane {

// The eight values of one transition curve and the turn sign, as read from the
// input boxes. Lengths and stations in metres.
struct CurveInput {
  double Xa = 0;          // X (northing) of the curve's start point, metres
  double Ya = 0;          // Y (easting) of the curve's start point, metres
  double lb = 0;          // station of the curve start, metres
  double le = 0;          // station of the curve end, metres
  double Ra = 0;          // radius at the start, metres; 0 means infinite (straight)
  double Rb = 0;          // radius at the end, metres; 0 means infinite (straight)
  double a = 0;           // azimuth of the tangent at the start point, DD.MMSS
  double d = 0;           // stake interval, metres; never 0 (the command refuses 0)
  std::int16_t turn = 0;  // -1 left turn, +1 right turn, 0 none chosen (straight)

  bool operator==(const CurveInput&) const = default;
};

// No road is this long: a station, start coordinate, width or computed
// coordinate whose magnitude reaches it is refused with kOverflowPrompt.
inline constexpr double kMaxCoordinate_m = 1e12;

// Throw CalculationError(kOverflowPrompt) unless every value is finite, or
// unless every value is finite and below kMaxCoordinate_m in magnitude.
void RequireFinite(std::initializer_list<double> values);
void RequireOnTheMap(std::initializer_list<double> values);

// The checks every calculation makes on its input before using it: every
// value finite, and the stations and the start coordinates below
// kMaxCoordinate_m in magnitude. Throws CalculationError(kOverflowPrompt).
// (The start azimuth's range is checked where it is converted.)
void CheckCurveInput(const CurveInput& input);

}  // namespace quorvane
