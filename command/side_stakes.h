#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calc/curve_point.h"
#include "command/run_calculation.h"

namespace quorvane {

// 边桩坐标: reads the eight boxes and the turn exactly as RunCalculation
// does, with the same missing-interval message, then the two width texts
// (metres, read with ReadNumber; an empty text or one of blanks only means no
// edge on that side, a text without a number reads as 0 like any box).
// Both widths missing: kMissingWidthPrompt under kMissingIntervalTitle. A
// calculation error (those of RunCalculation, a negative width) shows its
// prompt under kCalculationErrorTitle. Appends one side-stake block to the
// result box and returns the table; on any message appends nothing and
// returns nothing. No exception escapes for any input.
inline constexpr const char* kMissingWidthPrompt = "请输入边桩宽度！";
std::optional<SideStakeTable> RunSideStakes(CalculationView& view, std::string_view leftWidthText,
                                            std::string_view rightWidthText);

// What 坐标反算 found for one point.
struct LocatedPoint {
  double X;             // the point as read, metres
  double Y;
  StationOffset where;  // its station and signed offset
  CurvePoint foot;      // the curve point at that station
  std::string line;     // the line appended to the result box, without its line end
};

// 坐标反算: reads the eight boxes and the turn as RunCalculation does (the
// interval is not needed and not asked for), then X and Y with ReadNumber.
// Appends `line` with a CR LF to the result box, then shows the station,
// offset and azimuth (LocateMessage) in a message titled kLocateTitle. An X
// or Y text that is empty or blanks only shows kMissingPointPrompt under
// kMissingIntervalTitle. A point whose foot lies outside the curve, or any
// other calculation error, shows its message under kCalculationErrorTitle.
// On any of these messages nothing is appended and nothing returned. No
// exception escapes for any input.
inline constexpr const char* kLocateTitle = "坐标反算";
inline constexpr const char* kMissingPointPrompt = "请输入X、Y坐标！";
std::optional<LocatedPoint> RunLocate(CalculationView& view, std::string_view xText, std::string_view yText);

}  // namespace quorvane
