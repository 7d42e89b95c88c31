#include "command/side_stakes.h"

#include <array>

#include "calc/calculation_error.h"
#include "calc/read_number.h"
#include "report/side_stakes.h"

namespace quorvane {
namespace {

constexpr std::array<InputBox, 8> kReadingOrder = {InputBox::Xa, InputBox::Ya, InputBox::lb, InputBox::le,
                                                   InputBox::Ra, InputBox::Rb, InputBox::a,  InputBox::d};

// The boxes in the order the calculate button reads them, each read once;
// the interval box only when it is wanted.
CurveInput ReadCurve(const CalculationView& view, bool withInterval) {
  std::array<double, kReadingOrder.size()> values{};
  for (std::size_t i = 0; i < kReadingOrder.size(); ++i) {
    if (kReadingOrder[i] == InputBox::d && !withInterval) continue;
    values[i] = ReadNumber(view.InputText(kReadingOrder[i]));
  }
  const auto value = [&values](InputBox box) { return values[static_cast<std::size_t>(box)]; };
  CurveInput input;
  input.Xa = value(InputBox::Xa);
  input.Ya = value(InputBox::Ya);
  input.lb = value(InputBox::lb);
  input.le = value(InputBox::le);
  input.Ra = value(InputBox::Ra);
  input.Rb = value(InputBox::Rb);
  input.a = value(InputBox::a);
  input.d = value(InputBox::d);
  input.turn = view.Turn();
  return input;
}

// Blanks as ReadNumber skips them.
bool IsBlank(std::string_view text) { return text.find_first_not_of(" \t\r\n") == std::string_view::npos; }

std::optional<double> ReadWidth(std::string_view text) {
  if (IsBlank(text)) return std::nullopt;
  return ReadNumber(text);
}

}  // namespace

std::optional<SideStakeTable> RunSideStakes(CalculationView& view, std::string_view leftWidthText,
                                            std::string_view rightWidthText) {
  const CurveInput input = ReadCurve(view, true);
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
  const CurveInput input = ReadCurve(view, false);
  if (IsBlank(xText) || IsBlank(yText)) {
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
