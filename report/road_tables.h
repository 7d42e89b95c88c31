#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "calc/jd_design.h"
#include "calc/line.h"
#include "calc/profile.h"
#include "calc/setout.h"

namespace quorvane {

// The contents of the standard tables of a road's design drawings, as plain
// data a page layout prints: a title, a heading of one or two rows, and rows
// of cell texts. Numbers are written by report/line_text.h: stations in
// K-notation, lengths and coordinates with the table's decimals, angles and
// azimuths in DD.MMSS.
//
//  - 直线、曲线及转角表 (CurveTable): one row per JD with its coordinates,
//    station, turn, curve elements, main point stations and the straight to
//    the next JD;
//  - 竖曲线表 (VerticalCurveTable): one row per grade-change point;
//  - 逐桩坐标表 (StakeCoordinateTable): one row per stake, made one at a time
//    as the stakes are computed, so a long line never sits in memory.

enum class ColumnAlign { Left, Centre, Right };

// A cell of the upper heading row standing over `columnCount` columns from
// `firstColumn` (a group such as 交点坐标 over X and Y). A column under no
// group has its own heading across both heading rows.
struct HeadingGroup {
  std::string text;
  std::size_t firstColumn = 0;
  std::size_t columnCount = 0;
};

struct TableColumn {
  std::string heading;  // the lower heading row (or both, under no group)
  ColumnAlign align = ColumnAlign::Right;
};

struct TableHeading {
  std::string title;
  std::vector<HeadingGroup> groups;  // empty: a heading of one row
  std::vector<TableColumn> columns;
};

// A whole table: its heading and rows, each row one text per column (an
// empty text where the table leaves the cell blank).
struct RoadTable {
  TableHeading heading;
  std::vector<std::vector<std::string>> rows;
};

// 直线、曲线及转角表, in the columns of the standard table:
//   交点号 | 交点坐标: X(N) Y(E) | 交点桩号 | 转角值: 左转 右转 |
//   曲线要素值(m): 半径R, 缓和曲线长Ls1 Ls2, 缓和曲线参数A1 A2, 切线长T1 T2,
//     曲线长L, 外距E, 校正值J |
//   曲线主点桩号: 第一缓和曲线起点 (ZH), 第一缓和曲线终点或圆曲线起点
//     (HY, ZY), 曲线中点 (QZ), 第二缓和曲线起点或圆曲线终点 (YH, YZ),
//     第二缓和曲线终点 (HZ) |
//   直线长度及方向: 直线段长(m), 交点间距(m), 计算方位角
// `rows` is the JD table the design was built from (first row the start
// point, last the end point), `design` its DesignFromJd and `line` the line
// built from design.elements (with the line's chainage equations: every
// station shown is the displayed chainage). The turn is written without sign
// in the 左转 or 右转 column (DD.MMSS); A = sqrt(R Ls); J = T1 + T2 - L. A
// curve without a first (second) spiral leaves ZH (HZ) empty and its
// circular curve starts (ends) in the HY (YH) column; a spiral length of 0
// leaves its Ls and A empty; a JD without a curve leaves the curve columns
// empty. Each row's straight is the one that leaves it towards the next row:
// 直线段长 from its curve's end (HZ, or the start point) to the next curve's
// start (ZH, or the end point), 交点间距 and 计算方位角 from its point to the
// next one; the last row leaves them empty. Throws CalculationError for a
// number that cannot be written (not finite, a station of 10^12 m).
RoadTable CurveTable(const std::vector<JdRow>& rows, const JdDesign& design, const Line& line, int decimals = 3);

// 竖曲线表, in the columns of the standard table:
//   序号 | 变坡点: 桩号, 高程(m) | 竖曲线: 凸曲线半径R(m), 凹曲线半径R(m),
//   切线长T(m), 外距E(m), 起点桩号, 终点桩号 | 纵坡(%): i1, i2 |
//   变坡点间距(m) | 直坡段长(m)
// One row per grade-change point, numbered from 1. i1 is the grade arriving
// at the point and i2 the one leaving it, in percent with three decimals and
// their sign (a falling grade negative); the first point has no i1, the last
// no i2. The radius stands in the 凸 (crest, the grade falling after the point
// more than before) or 凹 (sag) column; a point without a vertical curve
// leaves R, T, E and the curve's stations empty. 变坡点间距 is the distance to
// the next point and 直坡段长 the straight grade between this point's curve
// (or the point itself) and the next one's, both along the line; the last
// row leaves them empty. Stations are the displayed chainage of `line`, the
// line the profile was built on.
RoadTable VerticalCurveTable(const Line& line, const Profile& profile, int decimals = 3);

// One row of the 逐桩坐标表: a stake's station, its point and tangent azimuth,
// and its edge points where the table has them.
struct StakeCoordinateRow {
  double station_m = 0;
  double X_m = 0;
  double Y_m = 0;
  double azimuth_rad = 0;
  std::optional<LinePoint> left;   // needed when the table has a left edge
  std::optional<LinePoint> right;  // needed when the table has a right edge
};

// 逐桩坐标表: 桩号 | 坐标: X(N) Y(E) | 方位角 | 左边桩: X Y | 右边桩: X Y,
// the edge groups only when asked for. Rows are made one at a time:
//
//   StakeCoordinateTable table(true, true);
//   print(table.Heading());
//   for each stake: print(table.Cells(row));
class StakeCoordinateTable {
 public:
  StakeCoordinateTable(bool leftEdge, bool rightEdge, int decimals = 3);

  const TableHeading& Heading() const { return heading_; }

  // The row's texts in the heading's column order; valid until the next
  // call (the texts' storage is reused from row to row). Throws
  // CalculationError for a number that cannot be written, and
  // std::invalid_argument for a row without an edge point the table has.
  const std::vector<std::string>& Cells(const StakeCoordinateRow& row);

 private:
  TableHeading heading_;
  bool leftEdge_ = false;
  bool rightEdge_ = false;
  int decimals_ = 3;
  std::vector<std::string> cells_;
};

// The three texts a setting-out row adds after a point's name and
// coordinates (方位角, 平距, 水平角): the azimuth and the angle from the
// backsight in DD.MMSS to the whole second, 0 up to but not including 360
// (an angle a fraction of a second below a full turn prints 0.0000, never
// 360.0000), and the distance with `decimals` decimals.
std::vector<std::string> SetoutCells(const SetoutData& data, int decimals = 3);

// The headings of a setting-out table, as the tool's file and the window's
// 放样 tab both write them: 点号, X, Y, 方位角, 平距, 水平角, then with a
// profile the design height H, and with the station's heights as well the
// vertical difference to set (高差, SetoutStation::HeightDifferenceToSet).
std::vector<std::string> SetoutHeadings(bool designHeight, bool heightDifference);

}  // namespace quorvane
