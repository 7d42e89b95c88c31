#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

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

// Titles and prompts of the calculation's messages.
inline constexpr const char* kCalculationErrorTitle = "计算错误";
inline constexpr const char* kTooManyStakesPrompt = "桩数超过32767，请增大桩距！";
inline constexpr const char* kEndBeforeStartPrompt = "终点桩号小于起点桩号！";
inline constexpr const char* kEndAfterStartNegativeIntervalPrompt = "桩距为负时终点桩号应小于起点桩号！";
inline constexpr const char* kAzimuthOutOfRangePrompt = "起点方位角超出范围！";
inline constexpr const char* kOverflowPrompt = "计算溢出，请检查输入数据！";
inline constexpr const char* kStationOutsideCurvePrompt = "桩号不在曲线范围内！";
inline constexpr const char* kPointOutsideCurvePrompt = "该点的垂足不在曲线范围内！";

}  // namespace quorvane
