#pragma once

#include <optional>
#include <string>

#include "calc/line.h"

namespace quorvane {

// Texts of the whole line's tables (the command-line tool, the 路线 window,
// the drawings): K-notation stations, fixed decimals, DD.MMSS angles with
// the full-precision pi. Numbers are written with '.' whatever the locale and
// never as "-0.000".

// The largest number of decimals written.
inline constexpr int kMaxDecimals = 6;

// A value with exactly `decimals` (0..kMaxDecimals) decimals. This is the one
// rounding of every number of the line's outputs (the tool's tables and
// files, the 路线 window's cells and exports): the exact decimal expansion of
// the double decides. 119.2325 typed or computed is the double
// 119.232500000000001705..., above the tie, and prints "119.233"; the double
// nearest 2.675 is 2.67499999999999982236431605997495353221893310546875 and
// prints "2.67". Only a double that is itself exactly halfway (0.125, 12.5,
// 1234.5) is a tie, and rounds away from zero as a surveyor rounds ("0.13",
// "13", "1235"). What rounds to zero prints without a sign: never "-0.000".
// Throws CalculationError(kOverflowPrompt) for a value that is not finite.
std::string FixedText(double value, int decimals);

// A measured height's difference from the design (measured minus design) and
// whether that is cut or fill: "0.012" and 挖, "-0.250" and 填; a difference
// that prints as zero is "0.000" with neither.
struct CutFill {
  std::string amount;
  const char* side = "";  // kCutText, kFillText or ""
};
CutFill CutFillText(double measured_m, double design_m, int decimals);

// A station in K-notation with `decimals` decimals in the metres, metres
// padded to three whole digits: 12345.678 -> "K12+345.678", -15 ->
// "K-1+985.000", 999.9996 -> "K1+000.000" (rounded first, then split, so the
// metres always lie in 0 .. 999.999...). Throws CalculationError for a
// station of 10^12 m or more.
std::string StationText(double station_m, int decimals = 3);

// An azimuth as DD.MMSS with four decimals, brought into 0..360 degrees
// (full-precision pi); seconds rounded to whole seconds with their carries
// into minutes and degrees, 360 wrapping to 0 ("45.3015").
std::string AzimuthText(double azimuth_rad);

// A turning angle as signed DD.MMSS with four decimals, not wrapped
// ("-23.1530" is 23 deg 15' 30" to the left).
std::string AngleText(double angle_rad);

// The station, offset and remark of a located point, with `decimals`
// decimals: on the line its station and offset, and in a long chain's
// repeated stretch which pass ("长链重复段第2次"); beyond an end by more than
// the allowance no station or offset and "超出起点 N 米" / "超出终点 N 米";
// without a foot "不在路线范围内".
struct LocatedTexts {
  std::string station;
  std::string offset;
  std::string remark;
};
LocatedTexts LocatedText(const LineLocation& where, int decimals);

// DD.MMSS (17.3415 is 17 deg 34' 15"; fractions of a second allowed) to
// radians with the full-precision pi. Nothing when the minutes or seconds are
// 60 or more, or the value is not finite.
std::optional<double> DdMmSsToRadiansExact(double ddmmss);

// Radians to DD.MMSS as a number with fractions of a second kept to 1e-4 s,
// for a start azimuth that reads back as it was (the inverse of
// DdMmSsToRadiansExact).
double RadiansToDdMmSsExact(double azimuth_rad);

// Joins two remarks with "；" (either may be empty).
std::string JoinRemarks(const std::string& first, const std::string& second);

}  // namespace quorvane
