#pragma once

#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "calc/calculation_error.h"
#include "command/run_calculation.h"

namespace quorvane {

// What a computing command produced: its result, the text it appends to
// the result box, and that text's table layout when it is a table.
template <typename Result>
struct Computed {
  Result result;
  std::string appended;
  const TableLayout* table = nullptr;
};

// The one skeleton of 计算, 边桩坐标 and 坐标反算, once their texts are read
// and found usable: runs `compute` (returning a Computed), appends its text
// to the result box (as a table when it is one) and returns its result. A CalculationError shows its
// prompt under kCalculationErrorTitle; any other failure (memory running out
// on a huge table) shows kNotFinishedPrompt under it. Then nothing is
// appended and nothing returned; no exception escapes.
template <typename Compute>
auto RunComputing(CalculationView& view, Compute&& compute)
    -> std::optional<decltype(std::forward<Compute>(compute)().result)> {
  try {
    auto done = std::forward<Compute>(compute)();
    if (done.table != nullptr) {
      view.AppendTable(done.appended, *done.table);
    } else {
      view.AppendResult(done.appended);
    }
    return std::move(done.result);
  } catch (const CalculationError& error) {
    view.ShowMessage(error.what(), kCalculationErrorTitle);
  } catch (const std::exception&) {
    view.ShowMessage(kNotFinishedPrompt, kCalculationErrorTitle);
  }
  return std::nullopt;
}

}  // namespace quorvane
