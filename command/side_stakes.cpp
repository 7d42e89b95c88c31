#include "command/side_stakes.h"


#include "calc/calculation_error.h"
#include "calc/read_number.h"
#include "report/side_stakes.h"

namespace quorvane {
namespace {


std::optional<double> ReadWidth(std::string_view text) {
  if (IsBlankText(text)) return std::nullopt;
  return ReadNumber(text);
}

}  // namespace

std::optional<SideStakeTable> RunSideStakes(CalculationView& view, std::string_view leftWidthText,
                                            std::string_view rightWidthText) {
  const CurveInput input = ReadCurveInput(view);
  if (input.d == 0) {
    view.ShowMessage(kMissingIntervalPrompt, kMissingIntervalTitle);
    return std::nullopt;
  }
  const std::optional<double> left = ReadWidth(leftWidthText);
  const std::optional<double> right = ReadWidth(rightWidthText);
  if (!left && !right) {
    view.ShowMessage(kMissingWidthPrompt, kMissingIntervalTitle);
    return std::nullopt;
  }

  SideStakeTable table;
  std::string block;
  try {
    table = ComputeSideStakes(input, left, right);
    block = SideStakeBlock(table);
  } catch (const CalculationError& error) {
    view.ShowMessage(error.what(), kCalculationErrorTitle);
    return std::nullopt;
  }
  view.AppendResult(block);
  return table;
}

std::optional<LocatedPoint> RunLocate(CalculationView& view, std::string_view xText, std::string_view yText) {
  const CurveInput input = ReadCurveInput(view);
  if (IsBlankText(xText) || IsBlankText(yText)) {
    view.ShowMessage(kMissingPointPrompt, kMissingIntervalTitle);
    return std::nullopt;
  }
  LocatedPoint located{ReadNumber(xText), ReadNumber(yText), {}, {}, {}};
  std::string message;
  try {
    located.where = LocatePoint(input, located.X, located.Y);
    located.foot = PointAt(input, located.where.station);
    located.line = LocateLine(located.X, located.Y, located.where, located.foot.azimuth);
    message = LocateMessage(located.where, located.foot.azimuth);
  } catch (const CalculationError& error) {
    view.ShowMessage(error.what(), kCalculationErrorTitle);
    return std::nullopt;
  }
  view.AppendResult(located.line + "\r\n");
  view.ShowMessage(message, kLocateTitle);
  return located;
}

}  // namespace quorvane
