#include "command/side_stakes.h"

#include "calc/calculation_error.h"
#include "calc/read_number.h"
#include "command/run_command.h"
#include "report/layout.h"
#include "report/side_stakes.h"

namespace quorvane {
namespace {

std::optional<double> ReadWidth(std::string_view text) {
  if (IsBlankText(text)) return std::nullopt;
  return ReadNumber(text);
}

DialogInputProblem NotANumber(std::string_view boxName, std::string_view text) {
  return {NotANumberPrompt(boxName, text), kInputHintTitle};
}

}  // namespace

std::string NotANumberPrompt(std::string_view boxName, std::string_view text) {
  return std::string(boxName) + "“" + std::string(text) + "”不是有效的数字！";
}

std::optional<DialogInputProblem> SideWidthsProblem(std::string_view leftWidthText, std::string_view rightWidthText) {
  if (IsBlankText(leftWidthText) && IsBlankText(rightWidthText))
    return DialogInputProblem{kMissingWidthPrompt, kInputHintTitle};
  if (!IsWholeNumber(leftWidthText)) return NotANumber(kLeftWidthName, leftWidthText);
  if (!IsWholeNumber(rightWidthText)) return NotANumber(kRightWidthName, rightWidthText);
  for (const std::string_view text : {leftWidthText, rightWidthText}) {
    const std::optional<double> width = ReadWidth(text);
    if (width && *width < 0) return DialogInputProblem{kNegativeWidthPrompt, kCalculationErrorTitle};
  }
  return std::nullopt;
}

std::optional<DialogInputProblem> PointTextsProblem(std::string_view xText, std::string_view yText) {
  if (IsBlankText(xText) || IsBlankText(yText)) return DialogInputProblem{kMissingPointPrompt, kInputHintTitle};
  if (!IsWholeNumber(xText)) return NotANumber(kPointXName, xText);
  if (!IsWholeNumber(yText)) return NotANumber(kPointYName, yText);
  return std::nullopt;
}

std::optional<Calculation> RunSideStakes(CalculationView& view, std::string_view leftWidthText,
                                         std::string_view rightWidthText) {
  BoxReading reading = ReadBoxes(view);
  if (reading.input.d == 0) {
    view.ShowMessage(kMissingIntervalPrompt, kInputHintTitle);
    return std::nullopt;
  }
  if (const std::optional<DialogInputProblem> problem = SideWidthsProblem(leftWidthText, rightWidthText)) {
    view.ShowMessage(problem->prompt, problem->title);
    return std::nullopt;
  }
  return RunComputing(view, [&] {
    Calculation done(std::move(reading));
    done.sides = done.curve.SideStakes(done.stakes, ReadWidth(leftWidthText), ReadWidth(rightWidthText));
    std::string block = SideStakeBlock(*done.sides);
    return Computed<Calculation>{std::move(done), std::move(block), &kSideStakeTable};
  });
}

std::optional<LocatedPoint> RunLocate(CalculationView& view, std::string_view xText, std::string_view yText) {
  const CurveInput input = ReadCurveInput(view);
  if (const std::optional<DialogInputProblem> problem = PointTextsProblem(xText, yText)) {
    view.ShowMessage(problem->prompt, problem->title);
    return std::nullopt;
  }
  std::string message;
  std::optional<LocatedPoint> located = RunComputing(view, [&] {
    const TransitionCurve curve(input);
    LocatedPoint point{ReadNumber(xText), ReadNumber(yText), {}, {}, {}};
    point.where = curve.Locate(point.X, point.Y);
    point.foot = curve.AtStation(point.where.station);
    point.line = LocateLine(point.X, point.Y, point.where, point.foot.azimuth);
    message = LocateMessage(point.where, point.foot.azimuth);
    return Computed<LocatedPoint>{point, point.line + std::string(kLineEnd)};
  });
  if (located) view.ShowMessage(message, kLocateTitle);
  return located;
}

}  // namespace quorvane
