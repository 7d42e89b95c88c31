#pragma once

#include <string>
#include <string_view>

#include "calc/stakes.h"

namespace quorvane {

// Texts of the input boxes that the report echoes exactly as typed.
struct EchoedTexts {
  std::string_view lb;  // start station box
  std::string_view a;   // start azimuth box
  std::string_view le;  // end station box
};

// One calculation's block for the result box, UTF-8, every line (the last one
// too) ending in "\r\n":
//   title       "           逐桩坐标显示："
//   header      "桩号      X坐标           Y坐标         方位角(度.分秒)"
//   start row   lb text, AppendFixed3(Xa), AppendFixed3(Ya), a text
//   stake rows  AppendStation, AppendSignedFixed3(X), AppendSignedFixed3(Y),
//               AppendSigned(azimuth DD.MMSS)
// (the rules of report/number_text.h). Every number the block prints reads
// back with ReadNumber as the value it stands for, to its printed precision;
// ComputeStakes keeps every value below kMaxCoordinate_m for that.
//   end line    le text
// Columns are separated by four blanks and nothing is padded to a width.
std::string ReportBlock(const CurveInput& input, const StakeTable& stakes, const EchoedTexts& echoed);

}  // namespace quorvane
