#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calc/curve_point.h"
#include "command/run_calculation.h"

namespace quorvane {

// A fault in the texts typed into the 边桩坐标 or 坐标反算 dialog, found
// before anything is calculated: the dialog shows it and stays open with
// what was typed.
struct DialogInputProblem {
  std::string prompt;
  std::string title;
};

// The width texts of 边桩坐标 (metres): an empty text or one of blanks only
// means no edge on that side; any other text must be wholly a number
// (IsWholeNumber: "5m", "abc", "1,5" are refused with NotANumberPrompt naming
// the box under kInputHintTitle). Both missing: kMissingWidthPrompt
// under kInputHintTitle; a negative width: kNegativeWidthPrompt under
// kCalculationErrorTitle. Nothing when both texts can be used.
std::optional<DialogInputProblem> SideWidthsProblem(std::string_view leftWidthText, std::string_view rightWidthText);

// The point texts of 坐标反算: both must be given (kMissingPointPrompt under
// kInputHintTitle) and wholly numbers (NotANumberPrompt naming the box,
// under kInputHintTitle).
std::optional<DialogInputProblem> PointTextsProblem(std::string_view xText, std::string_view yText);

// "左侧宽度“5m”不是有效的数字！": the box's name and its text as typed.
std::string NotANumberPrompt(std::string_view boxName, std::string_view text);

// 边桩坐标: reads the eight boxes and the turn exactly as RunCalculation
// does, with the same missing-interval message, then the two width texts
// (metres, read with ReadNumber); a problem SideWidthsProblem finds is shown
// as it says. A calculation error (those of RunCalculation) shows its
// prompt under kCalculationErrorTitle. Appends one side-stake block to the
// result box and returns the calculation with its side points; on any
// message appends nothing and returns nothing. No exception escapes for any
// input.
std::optional<Calculation> RunSideStakes(CalculationView& view, std::string_view leftWidthText,
                                         std::string_view rightWidthText);

// What 坐标反算 found for one point.
struct LocatedPoint {
  double X;  // the point as read, metres
  double Y;
  StationOffset where;  // its station and signed offset
  CurvePoint foot;      // the curve point at that station
  std::string line;     // the line appended to the result box, without its line end
};

// 坐标反算: reads the eight boxes and the turn as RunCalculation does (the
// interval is not needed and not asked for), then X and Y with ReadNumber,
// after PointTextsProblem (shown as it says).
// Appends `line` with a CR LF to the result box, then shows the station,
// offset and azimuth (LocateMessage) in a message titled kLocateTitle. A point whose foot lies outside the curve, or
// any other calculation error, shows its message under kCalculationErrorTitle. On any of these messages nothing is
// appended and nothing returned. No exception escapes for any input.
std::optional<LocatedPoint> RunLocate(CalculationView& view, std::string_view xText, std::string_view yText);

}  // namespace quorvane
