#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "calc/curve_point.h"
#include "command/run_calculation.h"

namespace quorvane {

// 边桩坐标: reads the eight boxes and the turn exactly as RunCalculation
// does, with the same missing-interval message, then the two width texts
// (metres, read with ReadNumber; a text of blanks only means no edge on that
// side). Appends one side-stake block to the result box and returns the
// table; on any message appends nothing and returns nothing.
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
// interval is not needed and not asked for), then X and Y. Shows the
// station, offset and azimuth in a message titled kLocateTitle and appends
// `line` with a CR LF to the result box. A point whose foot lies outside the
// curve, or any other calculation error, shows its message under
// kCalculationErrorTitle and appends nothing.
inline constexpr const char* kLocateTitle = "坐标反算";
std::optional<LocatedPoint> RunLocate(CalculationView& view, std::string_view xText, std::string_view yText);

}  // namespace quorvane
