#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

#include "calc/messages.h"

namespace quorvane {

// The row of a table the user typed that a failure is about, when it is
// about one: an element, a chainage equation, a JD or a grade-change point,
// counted from 0 among the rows given. A window shows the message beside it.
enum class RowKind { None, Element, Equation, Jd, GradePoint };
struct FaultyRow {
  RowKind kind = RowKind::None;
  std::size_t index = 0;
};

// The one error type of a calculation. what() is the prompt the user sees
// (UTF-8, Chinese), written where the failure is found and shown unchanged by
// RunCalculation under the title kCalculationErrorTitle; Row() says which
// typed row it is about, if any.
class CalculationError : public std::runtime_error {
 public:
  explicit CalculationError(const std::string& prompt, FaultyRow row = {}) : std::runtime_error(prompt), row_(row) {}
  const FaultyRow& Row() const { return row_; }

 private:
  FaultyRow row_;
};


}  // namespace quorvane
