#pragma once

#include <stdexcept>
#include <string>

namespace quorvane {

// The one error type of a calculation. what() is the prompt the user sees
// (UTF-8, Chinese), written where the failure is found and shown unchanged by
// RunCalculation under the title kCalculationErrorTitle.
class CalculationError : public std::runtime_error {
 public:
  explicit CalculationError(const std::string& prompt) : std::runtime_error(prompt) {}
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
