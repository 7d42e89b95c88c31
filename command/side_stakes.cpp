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

DialogInputProblem NotANumber(std::string_view boxName, std::string_view text) {
  return {NotANumberPrompt(boxName, text), kMissingIntervalTitle};
}

}  // namespace

std::string NotANumberPrompt(std::string_view boxName, std::string_view text) {
  return std::string(boxName) + "“" + std::string(text) + "”不是有效的数字！";
}

std::optional<DialogInputProblem> SideWidthsProblem(std::string_view leftWidthText, std::string_view rightWidthText) {
  if (IsBlankText(leftWidthText) && IsBlankText(rightWidthText))
    return DialogInputProblem{kMissingWidthPrompt, kMissingIntervalTitle};
  if (!IsWholeNumber(leftWidthText)) return NotANumber(kLeftWidthName, leftWidthText);
  if (!IsWholeNumber(rightWidthText)) return NotANumber(kRightWidthName, rightWidthText);
  for (const std::string_view text : {leftWidthText, rightWidthText}) {
    const std::optional<double> width = ReadWidth(text);
    if (width && *width < 0) return DialogInputProblem{kNegativeWidthPrompt, kCalculationErrorTitle};
  }
  return std::nullopt;
}

std::optional<DialogInputProblem> PointTextsProblem(std::string_view xText, std::string_view yText) {
  if (IsBlankText(xText) || IsBlankText(yText)) return DialogInputProblem{kMissingPointPrompt, kMissingIntervalTitle};
  if (!IsWholeNumber(xText)) return NotANumber(kPointXName, xText);
  if (!IsWholeNumber(yText)) return NotANumber(kPointYName, yText);
  return std::nullopt;
}

std::optional<SideStakeTable> RunSideStakes(CalculationView& view, std::string_view leftWidthText,
                                            std::string_view rightWidthText) {
  const CurveInput input = ReadCurveInput(view);
  if (input.d == 0) {
    view.ShowMessage(kMissingIntervalPrompt, kMissingIntervalTitle);
    return std::nullopt;
  }
  if (const std::optional<DialogInputProblem> problem = SideWidthsProblem(leftWidthText, rightWidthText)) {
    view.ShowMessage(problem->prompt, problem->title);
    return std::nullopt;
  }
  const std::optional<double> left = ReadWidth(leftWidthText);
  const std::optional<double> right = ReadWidth(rightWidthText);

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
  if (const std::optional<DialogInputProblem> problem = PointTextsProblem(xText, yText)) {
    view.ShowMessage(problem->prompt, problem->title);
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
