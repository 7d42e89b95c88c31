#include "cli/line_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>

#include "calc/calculation_error.h"

namespace quorvane {
namespace {

std::string DdMmSs(std::int64_t totalSeconds) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%lld.%02lld%02lld", static_cast<long long>(totalSeconds / 3600),
                static_cast<long long>(totalSeconds / 60 % 60), static_cast<long long>(totalSeconds % 60));
  return buffer;
}

constexpr std::int64_t kSecondsPerTurn = 360 * 3600;

}  // namespace

std::string FixedText(double value, int decimals) {
  if (!std::isfinite(value)) throw CalculationError(kOverflowPrompt);
  char buffer[400];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  std::string text(buffer, ec == std::errc() ? end : buffer);
  if (!text.empty() && text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
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
  char buffer[64];
  if (decimals == 0) {
    std::snprintf(buffer, sizeof buffer, "K%lld+%03lld", static_cast<long long>(km), static_cast<long long>(rest));
  } else {
    std::snprintf(buffer, sizeof buffer, "K%lld+%03lld.%0*lld", static_cast<long long>(km),
                  static_cast<long long>(rest / scale), decimals, static_cast<long long>(rest % scale));
  }
  return buffer;
}

std::string AzimuthText(double azimuth_rad) {
  const double degrees = azimuth_rad * (180 / std::numbers::pi);
  std::int64_t seconds = std::llround(std::fmod(degrees, 360.0) * 3600);
  seconds %= kSecondsPerTurn;
  if (seconds < 0) seconds += kSecondsPerTurn;
  return DdMmSs(seconds);
}

std::string AngleText(double angle_rad) {
  const std::int64_t seconds = std::llround(std::abs(angle_rad) * (180 / std::numbers::pi) * 3600);
  return (seconds != 0 && angle_rad < 0 ? "-" : "") + DdMmSs(seconds);
}

std::vector<CsvRow> ReadCsvRows(std::string_view text, const std::string& fileName) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<CsvRow> rows;
  CsvRow row;
  std::string field;
  std::size_t line = 1;
  row.line = 1;
  bool quoted = false;
  bool fieldStarted = false;
  std::size_t quoteLine = 0;
  const auto endRow = [&] {
    if (fieldStarted || !row.fields.empty()) {
      row.fields.push_back(std::move(field));
      bool blank = true;
      for (const auto& f : row.fields) blank = blank && f.find_first_not_of(" \t") == std::string::npos;
      if (!blank) rows.push_back(std::move(row));
    }
    row = CsvRow{};
    field.clear();
    fieldStarted = false;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          quoted = false;
        }
      } else {
        if (c == '\n') ++line;
        field += c;
      }
      continue;
    }
    if (!fieldStarted && row.fields.empty()) row.line = line;
    if (c == '"') {
      quoted = true;
      fieldStarted = true;
      quoteLine = line;
    } else if (c == ',') {
      row.fields.push_back(std::move(field));
      field.clear();
      fieldStarted = true;
    } else if (c == '\n') {
      endRow();
      ++line;
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      // the LF ends the row
    } else {
      field += c;
      fieldStarted = true;
    }
  }
  if (quoted) {
    throw CalculationError("文件“" + fileName + "”第" + std::to_string(quoteLine) + "行：引号没有结束");
  }
  endRow();
  return rows;
}

}  // namespace quorvane
