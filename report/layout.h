#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The layout of the text blocks the result box gets, which the print and
// the coordinate files follow: line end, column gap, titles and headings.

namespace quorvane {

// Every line of a block ends so (the last one too), as Windows tools expect.
inline constexpr std::string_view kLineEnd = "\r\n";
// Columns are separated by this and nothing is padded to a width.
inline constexpr std::string_view kColumnGap = "    ";

// A table block: its title on the first line, its heading on the second,
// then its rows, then `linesAfterRows` lines that are not rows (the stake
// report's end line). A block with no row between them prints as plain text.
struct TableLayout {
  std::string_view title;
  std::size_t linesAfterRows;
};
inline constexpr std::size_t kHeadingLine = 1;  // counted from 0

// The stake report (计算).
inline constexpr TableLayout kStakeTable{"           逐桩坐标显示：", 1};
inline constexpr std::string_view kStakeHeading = "桩号      X坐标           Y坐标         方位角(度.分秒)";

// The side-stake block (边桩坐标): the heading is kStationHead and the two
// heads of each side with a width, separated by kColumnGap.
inline constexpr TableLayout kSideStakeTable{"           边桩坐标显示：", 0};
inline constexpr std::string_view kStationHead = "桩号";
inline constexpr std::array<std::string_view, 2> kLeftSideHeads = {"左边桩X", "左边桩Y"};
inline constexpr std::array<std::string_view, 2> kRightSideHeads = {"右边桩X", "右边桩Y"};

// The heading row of an exported CSV file.
inline constexpr std::array<std::string_view, 4> kCsvHeading = {"桩号", "X", "Y", "方位角"};

}  // namespace quorvane
