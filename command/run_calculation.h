#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calc/transition_curve.h"
#include "report/layout.h"

namespace quorvane {

// The eight input boxes of the window.
enum class InputBox { Xa, Ya, lb, le, Ra, Rb, a, d };
inline constexpr std::size_t kInputBoxCount = 8;

// What a calculation needs from the window, and nothing more. The window
// implements it over its controls; tests implement it in memory.
// All texts are UTF-8.
class CalculationView {
 public:
  virtual ~CalculationView() = default;

  // Current text of one input box, exactly as it stands.
  virtual std::string InputText(InputBox box) const = 0;

  // Current turn sign: -1 left, +1 right, 0 no direction chosen yet.
  virtual std::int16_t Turn() const = 0;

  // Adds `block` at the very end of the result box, with no separator.
  virtual void AppendResult(std::string_view block) = 0;

  // The same for a block laid out as a table (report/layout.h), which a
  // view that prints it may want to know; by default just AppendResult.
  virtual void AppendTable(std::string_view block, const TableLayout& layout) {
    static_cast<void>(layout);
    AppendResult(block);
  }

  // Modal message with a single OK button and no icon; returns once answered.
  virtual void ShowMessage(std::string_view prompt, std::string_view title) = 0;
};

// The eight boxes read with ReadNumber (the two station boxes with
// ReadStation, which also takes chainage notation), in the order the
// calculate button reads them, and the turn sign.
CurveInput ReadCurveInput(const CalculationView& view);

// The boxes as one reading found them: the curve and turn, and the texts of
// the boxes the report echoes as typed.
struct BoxReading {
  CurveInput input;
  std::string lbText;  // start station box, as typed
  std::string aText;   // start azimuth box, as typed
  std::string leText;  // end station box, as typed
};

// ReadCurveInput with the echoed texts.
BoxReading ReadBoxes(const CalculationView& view);

// The record of one calculation, which the result box, saving, exporting,
// printing and the plan view all read: the reading, the checked curve, its
// stakes and, once 边桩坐标 has computed them on the same curve, their side
// points (same stations, same order as the stakes).
struct Calculation : BoxReading {
  // Builds the curve of reading.input and computes its stakes; throws
  // CalculationError as TransitionCurve and ComputeStakes do.
  explicit Calculation(BoxReading reading);

  TransitionCurve curve;
  StakeTable stakes;
  std::optional<SideStakeTable> sides;
};

// What the window keeps of its calculations: the last one that appended a
// report, with the side points of the last 边桩坐标 run on its curve.
// KeepCalculation takes a new calculation; calculating the same curve again
// keeps the side points computed on it. KeepSidePoints gives the side points
// of a 边桩坐标 run to the kept calculation when they are of its curve, and
// says whether they were.
void KeepCalculation(std::optional<Calculation>& kept, Calculation next);
bool KeepSidePoints(std::optional<Calculation>& kept, Calculation sideRun);

// What the calculate button does. Reads the eight boxes into a CurveInput and
// adds the turn sign; a stake interval that reads as exactly 0 shows
// kMissingIntervalPrompt / kInputHintTitle. Otherwise computes the
// stakes and appends one report block to the result box (as a table,
// kStakeTable). A CalculationError shows its prompt under
// kCalculationErrorTitle, any other failure kNotFinishedPrompt (RunComputing);
// in every message case the result box is left exactly as it was and nothing
// is returned. No exception escapes. Returns the calculation that was
// appended.
std::optional<Calculation> RunCalculation(CalculationView& view);

}  // namespace quorvane
