#include "calc/angle.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "calc/calculation_error.h"
#include "calc/messages.h"

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
  return (min / 60.0 + deg + sec / 3600.0) * kStakeTablePi / 180.0;
}

double RadiansToDdMmSs(double azimuth_rad) {
  // Into 0..2*kStakeTablePi: a negative angle comes round by whole turns first.
  double turned_rad = azimuth_rad;
  if (!(turned_rad >= 0.0)) turned_rad = (std::floor(std::fabs(turned_rad)) + 1.0) * 2.0 * kStakeTablePi + turned_rad;
  if (turned_rad > 6.2831853) {
    const double turns = std::floor(turned_rad / 2.0 / kStakeTablePi);
    turned_rad = turned_rad - 2.0 * turns * kStakeTablePi;
  }
  const double degrees = turned_rad * 180.0 / kStakeTablePi;

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

namespace {

constexpr std::int64_t kPowerOfTen[] = {1, 10, 100, 1000, 10000};

// Degrees, minutes and seconds to radians with the full-precision pi.
double ExactRadians(double degrees, double minutes, double seconds) {
  return (degrees + minutes / 60 + seconds / 3600) * std::numbers::pi / 180;
}

// `value` (>= 0) padded with zeros to `width` digits at `out`; the end of
// what was written.
char* WriteInteger(char* out, char* end, std::int64_t value, int width) {
  std::array<char, 24> digits{};
  char* const last = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
  for (std::ptrdiff_t pad = width - (last - digits.data()); pad > 0 && out < end; --pad) *out++ = '0';
  return std::copy(digits.data(), std::min(last, digits.data() + (end - out)), out);
}

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Digits, with a decimal point or not, as a number; the caller has checked
// them.
double DigitsValue(std::string_view digits) {
  double value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return value;
}

}  // namespace

Dms RadiansToDms(double angle_rad, AngleKind kind, int decimals) {
  decimals = std::clamp(decimals, 0, 4);
  const std::int64_t perSecond = kPowerOfTen[decimals];
  const double degrees = angle_rad * (180 / std::numbers::pi);
  const double unitsPerDegree = 3600.0 * static_cast<double>(perSecond);
  std::int64_t units = 0;
  Dms dms;
  if (kind == AngleKind::kAzimuth) {
    const std::int64_t perTurn = 360 * 3600 * perSecond;
    units = std::llround(std::fmod(degrees, 360.0) * unitsPerDegree) % perTurn;
    if (units < 0) units += perTurn;
  } else {
    units = std::llround(std::fabs(degrees) * unitsPerDegree);
    dms.negative = units != 0 && angle_rad < 0;
  }
  const std::int64_t wholeSeconds = units / perSecond;
  dms.degrees = wholeSeconds / 3600;
  dms.minutes = static_cast<int>(wholeSeconds / 60 % 60);
  dms.seconds = static_cast<int>(wholeSeconds % 60);
  dms.fraction = units % perSecond;
  dms.decimals = decimals;
  return dms;
}

std::string DdMmSsText(const Dms& dms) {
  // Written into a buffer of its own: a row of a long table has one or two.
  std::array<char, 48> buffer{};
  char* out = buffer.data();
  char* const end = buffer.data() + buffer.size();
  if (dms.negative) *out++ = '-';
  out = WriteInteger(out, end, dms.degrees, 1);
  *out++ = '.';
  out = WriteInteger(out, end, dms.minutes, 2);
  out = WriteInteger(out, end, dms.seconds, 2);
  if (dms.decimals > 0) out = WriteInteger(out, end, dms.fraction, dms.decimals);
  return std::string(buffer.data(), out);
}

double DdMmSsValue(const Dms& dms) {
  const std::string text = DdMmSsText(dms);
  double value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::optional<double> DdMmSsValueToRadians(double ddmmss) {
  if (!std::isfinite(ddmmss) || std::fabs(ddmmss) > 1e9) return std::nullopt;
  // In units of 1e-4 second: 17.3415 is 17 34 15.0000, read without the
  // binary noise of 0.3415 * 100.
  const long long q = std::llround(std::fabs(ddmmss) * 1e8);
  const long long degrees = q / 100000000;
  const long long minutes = q / 1000000 % 100;
  const double seconds = static_cast<double>(q % 1000000) / 1e4;
  if (minutes >= 60 || seconds >= 60) return std::nullopt;
  const double value = ExactRadians(static_cast<double>(degrees), static_cast<double>(minutes), seconds);
  return ddmmss < 0 ? -value : value;
}

double DdMmSsTextToRadians(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  const std::string_view typed = text;
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);

  // Degrees, then either MMSS[decimals of a second] or MM.SS[decimals].
  const std::size_t point = text.find('.');
  const std::string_view degrees = text.substr(0, point);
  const std::string_view rest = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
  const std::size_t apart = rest.find('.');
  std::string minutes, seconds;
  if (apart == std::string_view::npos) {
    // "45.3" is 45 deg 30': the digits are filled up with zeros.
    std::string packed(rest);
    packed.resize(std::max<std::size_t>(packed.size(), 4), '0');
    minutes = packed.substr(0, 2);
    seconds = packed.substr(2);
  } else {
    minutes = rest.substr(0, apart);
    seconds = rest.substr(apart + 1);
  }
  if (degrees.empty() || !AllDigits(degrees) || minutes.empty() || minutes.size() > 2 || !AllDigits(minutes) ||
      seconds.empty() || !AllDigits(seconds)) {
    throw CalculationError(AngleMessage(typed, kAngleNotDdMmSsText));
  }
  // Whole seconds are the first two digits, the rest their decimals.
  const std::string secondsText = seconds.size() <= 2 ? seconds : seconds.substr(0, 2) + "." + seconds.substr(2);
  const double minuteValue = DigitsValue(minutes);
  const double secondValue = DigitsValue(secondsText);
  if (minuteValue >= 60 || secondValue >= 60) throw CalculationError(AngleMessage(typed, kAngleMinutesOrSecondsText));
  const double value = ExactRadians(DigitsValue(degrees), minuteValue, secondValue);
  return negative ? -value : value;
}

}  // namespace quorvane
