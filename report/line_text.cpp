#include "report/line_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>

#include "calc/angle.h"
#include "calc/calculation_error.h"
#include "calc/messages.h"
#include "calc/wide_integer.h"

namespace quorvane {
namespace {

// to_chars rounds an exact tie to even; a surveyor rounds it away from zero.
// `magnitude` (>= 0) lies exactly halfway between two texts of `decimals`
// decimals when its text with one decimal more ends in 5 and that decimal
// is the double itself: exactly representable (5^(decimals+1) divides its
// digits) and reading back as `magnitude`. Then the text above it.
std::optional<std::string> ExactTieAwayFromZero(double magnitude, int decimals) {
  char buffer[400];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, decimals + 1);
  if (ec != std::errc() || end[-1] != '5') return std::nullopt;
  u128 digits = 0;
  u128 fivePower = 1;
  for (const char* p = buffer; p < end; ++p) {
    if (*p == '.') continue;
    if (digits > (~u128{0} - 9) / 10) return std::nullopt;  // beyond any station or coordinate
    digits = digits * 10 + static_cast<unsigned>(*p - '0');
  }
  for (int i = 0; i <= decimals; ++i) fivePower *= 5;
  double back = 0;
  std::from_chars(buffer, end, back);
  if (digits % fivePower != 0 || back != magnitude) return std::nullopt;
  u128 above = digits / 10 + 1;
  std::string text;
  do {
    text.insert(text.begin(), static_cast<char>('0' + static_cast<int>(above % 10)));
    above /= 10;
  } while (above != 0);
  if (decimals > 0) {
    while (text.size() <= static_cast<std::size_t>(decimals)) text.insert(text.begin(), '0');
    text.insert(text.end() - decimals, '.');
  }
  return text;
}
// `magnitude` (>= 0) rounded to a whole number of units of `decimals`
// decimals, told without a decimal conversion: scaled by 10^decimals, below
// 2^40 the scaling errs by at most 2^-13, so a fraction further than 2^-10
// from one half rounds the same either way. Nothing for anything else (a
// possible exact tie, a larger value), which goes to the exact conversion.
std::optional<std::uint64_t> ClearlyRoundedUnits(double magnitude, int decimals) {
  static constexpr double kPowers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  if (decimals < 0 || decimals > 9) return std::nullopt;
  const double scaled = magnitude * kPowers[decimals];
  if (!(scaled < 1099511627776.0)) return std::nullopt;  // 2^40
  const double whole = std::floor(scaled);
  const double fraction = scaled - whole;
  if (std::fabs(fraction - 0.5) <= 1.0 / 1024) return std::nullopt;
  return static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
}

// Units of `decimals` decimals as to_chars writes them fixed: "0.005", "12.000".
std::string UnitsText(std::uint64_t units, int decimals) {
  char digits[32];
  char* end = std::to_chars(digits, digits + sizeof digits, units).ptr;
  std::string text(digits, end);
  if (decimals > 0) {
    if (text.size() <= static_cast<std::size_t>(decimals)) text.insert(0, decimals + 1 - text.size(), '0');
    text.insert(text.end() - decimals, '.');
  }
  return text;
}

}  // namespace

std::string FixedText(double value, int decimals) {
  if (!std::isfinite(value)) throw CalculationError(kOverflowPrompt);
  const double magnitude = std::fabs(value);
  std::string text;
  if (const std::optional<std::uint64_t> units = ClearlyRoundedUnits(magnitude, decimals)) {
    text = UnitsText(*units, decimals);
  } else {
    char buffer[400];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, decimals);
    text.assign(buffer, ec == std::errc() ? end : buffer);
    if (const std::optional<std::string> away = ExactTieAwayFromZero(magnitude, decimals)) text = *away;
  }
  if (value < 0 && text.find_first_not_of("0.") != std::string::npos) text.insert(text.begin(), '-');
  return text;
}

std::string StationText(double station_m, int decimals) {
  if (!(std::abs(station_m) < 1e12)) throw CalculationError("桩号超出范围：" + FixedText(station_m, 0));
  // The station rounded to `decimals` as a whole number of units, exactly,
  // from the correctly rounded decimal text.
  const std::string digits = FixedText(std::abs(station_m), decimals);
  std::int64_t units = 0;
  for (char c : digits) {
    if (c != '.') units = units * 10 + (c - '0');
  }
  std::int64_t scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  if (station_m < 0) units = -units;
  const std::int64_t perKilometre = 1000 * scale;
  std::int64_t km = units / perKilometre;
  std::int64_t rest = units % perKilometre;
  if (rest < 0) {
    rest += perKilometre;
    --km;
  }
  // K, the kilometres with their sign, +, the metres padded to three whole
  // digits, and the decimals padded to `decimals` digits.
  char buffer[64];
  char* out = buffer;
  *out++ = 'K';
  out = std::to_chars(out, buffer + sizeof buffer, km).ptr;
  *out++ = '+';
  const auto padded = [&](std::int64_t value, int width) {
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    for (int pad = width - static_cast<int>(end - digits); pad > 0; --pad) *out++ = '0';
    for (const char* p = digits; p < end; ++p) *out++ = *p;
  };
  padded(rest / scale, 3);
  if (decimals > 0) {
    *out++ = '.';
    padded(rest % scale, decimals);
  }
  return std::string(buffer, out);
}

std::string AzimuthText(double azimuth_rad) { return DdMmSsText(RadiansToDms(azimuth_rad, AngleKind::kAzimuth)); }

std::string AngleText(double angle_rad) { return DdMmSsText(RadiansToDms(angle_rad, AngleKind::kSigned)); }

std::optional<double> DdMmSsToRadiansExact(double ddmmss) { return DdMmSsValueToRadians(ddmmss); }

double RadiansToDdMmSsExact(double azimuth_rad) {
  return DdMmSsValue(RadiansToDms(azimuth_rad, AngleKind::kAzimuth, 4));
}

CutFill CutFillText(double measured_m, double design_m, int decimals) {
  CutFill result;
  result.amount = FixedText(measured_m - design_m, decimals);
  if (result.amount.find_first_not_of("0.") != std::string::npos)
    result.side = result.amount.front() == '-' ? kFillText : kCutText;
  return result;
}

LocatedTexts LocatedText(const LineLocation& where, int decimals) {
  LocatedTexts texts;
  switch (where.status) {
    case LocateStatus::OnLine:
      texts.station = StationText(where.foot.station_m, decimals);
      texts.offset = FixedText(where.foot.offset_m, decimals);
      if (where.foot.pass > 0) texts.remark = kLongChainPassRemark + std::to_string(where.foot.pass) + kPassSuffix;
      break;
    case LocateStatus::BeforeStart:
    case LocateStatus::AfterEnd:
      texts.remark = std::string(where.status == LocateStatus::BeforeStart ? kBeyondStartRemark : kBeyondEndRemark) +
                     FixedText(where.beyond_m, decimals) + kMetresUnit;
      break;
    case LocateStatus::NoFoot:
      texts.remark = kNotOnLineRemark;
      break;
  }
  return texts;
}

std::string JoinRemarks(const std::string& first, const std::string& second) {
  if (first.empty()) return second;
  if (second.empty()) return first;
  return first + kRemarkSeparator + second;
}

}  // namespace quorvane
