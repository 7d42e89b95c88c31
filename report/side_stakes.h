#pragma once

#include <string>

#include "calc/curve_point.h"

namespace quorvane {

// The side-stake block for the result box, UTF-8, every line ending in "\r\n":
//   title   "           边桩坐标显示："
//   header  "桩号", "左边桩X", "左边桩Y", "右边桩X", "右边桩Y"
//   rows    Station, then SignedFixed3 of each edge coordinate
// Columns are separated by four blanks, nothing is padded; the two columns
// of a side without a width are left out of the header and of every row.
std::string SideStakeBlock(const SideStakeTable& table);

// The texts of one located point. The station is rounded to the millimetre
// and written as the report writes stations ("0+215.123"); the offset is
// Fixed3 of its size after 右 (right, > 0) or 左 (left, < 0), or "0.000" with
// neither when it rounds to zero; the azimuth is the tangent's, in DD.MMSS,
// written by General.

// Added to the line and the message of a point so near the centre of
// curvature at its foot that the foot's station is ill-defined.
inline constexpr const char* kNearCentreNote = "（该点接近曲率中心，桩号不确定）";

// The line kept in the result box, without its line end:
// "反算：X=<Fixed3>, Y=<Fixed3> → 桩号 <station>, 偏距 <offset>, 方位角 <azimuth>",
// followed by kNearCentreNote when the station is ill-defined.
std::string LocateLine(double X, double Y, const StationOffset& where, double azimuth_rad);

// The message shown for it: "桩号：<station>\n偏距：<offset>\n方位角：<azimuth>",
// with kNearCentreNote as the line LocateLine has.
std::string LocateMessage(const StationOffset& where, double azimuth_rad);

}  // namespace quorvane
