#include "command/run_calculation.h"

#include <array>

#include "calc/calculation_error.h"
#include "calc/read_number.h"
#include "calc/stakes.h"
#include "command/run_command.h"
#include "report/layout.h"
#include "report/report.h"

namespace quorvane {
namespace {

// The boxes in the order they are read, each with the field it fills.
struct BoxField {
  InputBox box;
  double CurveInput::*field;
};
constexpr std::array<BoxField, kInputBoxCount> kReadingOrder = {{{InputBox::Xa, &CurveInput::Xa},
                                                                 {InputBox::Ya, &CurveInput::Ya},
                                                                 {InputBox::lb, &CurveInput::lb},
                                                                 {InputBox::le, &CurveInput::le},
                                                                 {InputBox::Ra, &CurveInput::Ra},
                                                                 {InputBox::Rb, &CurveInput::Rb},
                                                                 {InputBox::a, &CurveInput::a},
                                                                 {InputBox::d, &CurveInput::d}}};

// The texts of one reading, kept and looked up by the box itself.
class BoxTexts {
 public:
  std::string& operator[](InputBox box) { return texts_[static_cast<std::size_t>(box)]; }

 private:
  std::array<std::string, kInputBoxCount> texts_;
};

CurveInput Read(const CalculationView& view, BoxTexts& texts) {
  CurveInput input;
  for (const BoxField& read : kReadingOrder) {
    texts[read.box] = view.InputText(read.box);
    const bool station = read.box == InputBox::lb || read.box == InputBox::le;
    input.*read.field = station ? ReadStation(texts[read.box]) : ReadNumber(texts[read.box]);
  }
  input.turn = view.Turn();
  return input;
}

}  // namespace

CurveInput ReadCurveInput(const CalculationView& view) {
  BoxTexts texts;
  return Read(view, texts);
}

BoxReading ReadBoxes(const CalculationView& view) {
  BoxTexts texts;
  const CurveInput input = Read(view, texts);
  return {input, texts[InputBox::lb], texts[InputBox::a], texts[InputBox::le]};
}

Calculation::Calculation(BoxReading reading)
    : BoxReading(std::move(reading)), curve(input), stakes(curve.Stakes()) {}

void KeepCalculation(std::optional<Calculation>& kept, Calculation next) {
  if (kept && kept->sides && kept->input == next.input) next.sides = std::move(kept->sides);
  kept = std::move(next);
}

bool KeepSidePoints(std::optional<Calculation>& kept, Calculation sideRun) {
  if (!kept || kept->input != sideRun.input) return false;
  kept->sides = std::move(sideRun.sides);
  return true;
}

std::optional<Calculation> RunCalculation(CalculationView& view) {
  BoxReading reading = ReadBoxes(view);
  if (reading.input.d == 0) {
    view.ShowMessage(kMissingIntervalPrompt, kInputHintTitle);
    return std::nullopt;
  }
  return RunComputing(view, [&] {
    Calculation done(std::move(reading));
    std::string block = ReportBlock(done.input, done.stakes, EchoedTexts{done.lbText, done.aText, done.leText});
    return Computed<Calculation>{std::move(done), std::move(block), &kStakeTable};
  });
}

}  // namespace quorvane
