#include "calc/angle.h"

#include <cfenv>
#include <cmath>
#include <cstdint>

#include "calc/calculation_error.h"

namespace quorvane {
namespace {

// Truncation toward zero into a 16-bit integer, as the degree and minute
// fields of a DD.MMSS value are taken.
std::int16_t TruncateToInt16(double value, const char* prompt_on_overflow) {
  const double whole = std::trunc(value);
  if (!(whole >= -32768.0 && whole <= 32767.0)) throw CalculationError(prompt_on_overflow);
  return static_cast<std::int16_t>(whole);
}

// Round to the nearest integer, ties to even (the seconds of a start azimuth).
double RoundHalfEven(double value) {
  // nearbyint honours the current rounding mode; the program never changes it
  // from round-to-nearest-even, which is what is wanted here.
  return std::nearbyint(value);
}

}  // namespace

double DdMmSsToRadians(double azimuth_ddmmss) {
  if (!std::isfinite(azimuth_ddmmss)) throw CalculationError(kOverflowPrompt);
  const std::int16_t deg = TruncateToInt16(azimuth_ddmmss, kAzimuthOutOfRangePrompt);
  const double m = (azimuth_ddmmss - deg) * 100.0;
  std::int16_t min = static_cast<std::int16_t>(std::trunc(m));  // |m| < 100
  std::int16_t sec = static_cast<std::int16_t>(RoundHalfEven((m - min) * 100.0));
  // The seconds of a whole-minute value stored just below its digits round up
  // to a full minute. A negative azimuth carries the same way, downwards;
  // without that, -17.34 would lose 40 seconds.
  if (sec == 100) {
    min = static_cast<std::int16_t>(min + 1);
    sec = 0;
  } else if (sec == -100) {
    min = static_cast<std::int16_t>(min - 1);
    sec = 0;
  }
  return (min / 60.0 + deg + sec / 3600.0) * kPi / 180.0;
}

double RadiansToDdMmSs(double azimuth_rad) {
  // Into 0..2*kPi: a negative angle comes round by whole turns first.
  double turned_rad = azimuth_rad;
  if (!(turned_rad >= 0.0)) turned_rad = (std::floor(std::fabs(turned_rad)) + 1.0) * 2.0 * kPi + turned_rad;
  if (turned_rad > 6.2831853) {
    const double turns = std::floor(turned_rad / 2.0 / kPi);
    turned_rad = turned_rad - 2.0 * turns * kPi;
  }
  const double degrees = turned_rad * 180.0 / kPi;

  double deg = std::trunc(degrees);
  const double minutes = (degrees - deg) * 60.0;
  double min = std::trunc(minutes);
  const double seconds = (minutes - min) * 60.0;
  double sec = std::trunc(seconds + 0.5);
  // A rounded 60" is a whole minute more, and 60' a whole degree more, so the
  // minutes and seconds printed after the point stay below 60.
  if (sec == 60.0) {
    min = min + 1.0;
    sec = 0.0;
  }
  if (min == 60.0) {
    deg = deg + 1.0;
    min = 0.0;
  }
  return min / 100.0 + deg + sec / 10000.0;
}

}  // namespace quorvane
