#include "command/run_calculation.h"

#include <array>

#include "calc/calculation_error.h"
#include "calc/read_number.h"
#include "calc/stakes.h"
#include "report/report.h"

namespace quorvane {
namespace {

constexpr std::array<InputBox, 8> kReadingOrder = {InputBox::Xa, InputBox::Ya, InputBox::lb, InputBox::le,
                                                   InputBox::Ra, InputBox::Rb, InputBox::a,  InputBox::d};

}  // namespace

std::optional<Calculation> RunCalculation(CalculationView& view) {
  std::array<std::string, kReadingOrder.size()> texts;
  for (std::size_t i = 0; i < kReadingOrder.size(); ++i) texts[i] = view.InputText(kReadingOrder[i]);
  const auto text = [&texts](InputBox box) -> const std::string& { return texts[static_cast<std::size_t>(box)]; };

  CurveInput input;
  input.Xa = ReadNumber(text(InputBox::Xa));
  input.Ya = ReadNumber(text(InputBox::Ya));
  input.lb = ReadNumber(text(InputBox::lb));
  input.le = ReadNumber(text(InputBox::le));
  input.Ra = ReadNumber(text(InputBox::Ra));
  input.Rb = ReadNumber(text(InputBox::Rb));
  input.a = ReadNumber(text(InputBox::a));
  input.d = ReadNumber(text(InputBox::d));
  input.turn = view.Turn();

  if (input.d == 0) {
    view.ShowMessage(kMissingIntervalPrompt, kMissingIntervalTitle);
    return std::nullopt;
  }

  Calculation done{input, text(InputBox::lb), text(InputBox::a), text(InputBox::le), {}};
  std::string block;
  try {
    done.stakes = ComputeStakes(input);
    block = ReportBlock(input, done.stakes, EchoedTexts{done.lbText, done.aText, done.leText});
  } catch (const CalculationError& error) {
    view.ShowMessage(error.what(), kCalculationErrorTitle);
    return std::nullopt;
  }
  view.AppendResult(block);
  return done;
}

}  // namespace quorvane
