// The standard tables' contents: the JD curve table of a line worked in
// reference.py (mpmath), a vertical curve table worked by hand, and the
// streamed stake table.

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

#include "calc/jd_design.h"
#include "calc/line.h"
#include "calc/profile.h"
#include "report/road_tables.h"

namespace quorvane {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// The headings as one text: "group/column" or the column alone, joined by "|".
std::string HeadingText(const TableHeading& heading) {
  std::string text;
  for (std::size_t c = 0; c < heading.columns.size(); ++c) {
    if (c > 0) text += '|';
    for (const HeadingGroup& g : heading.groups) {
      if (c >= g.firstColumn && c < g.firstColumn + g.columnCount) text += g.text + "/";
    }
    text += heading.columns[c].heading;
  }
  return text;
}

// From K1+000 1000 m north to JD1: R 500, Ls 100 both sides, 30 deg right;
// 1000 m on to JD2: R 800 without spirals, 30 deg left; 1000 m north to the end.
const std::vector<JdRow> kJdRows = {
    {"QD", 3381250.125, 501230.75, 0, 0, 0},
    {"JD1", 3382250.125, 501230.75, 500, 100, 100},
    {"JD2", 3382250.125 + 500 * std::numbers::sqrt3, 501730.75, 800, 0, 0},
    {"ZD", 3383250.125 + 500 * std::numbers::sqrt3, 501730.75, 0, 0, 0},
};

TEST(CurveTable, SpiralCurveAndPlainArcWorkedInMpmath) {
  const JdDesign design = DesignFromJd(kJdRows, 1000);
  const RoadTable table = CurveTable(kJdRows, design, Line(design.start, design.elements));
  EXPECT_EQ(table.heading.title, "直线、曲线及转角表");
  EXPECT_EQ(HeadingText(table.heading),
            "交点号|交点坐标/X(N)|交点坐标/Y(E)|交点桩号|转角值/左转|转角值/右转|曲线要素值(m)/半径R|"
            "曲线要素值(m)/缓和曲线长Ls1|曲线要素值(m)/缓和曲线长Ls2|曲线要素值(m)/缓和曲线参数A1|"
            "曲线要素值(m)/缓和曲线参数A2|曲线要素值(m)/切线长T1|曲线要素值(m)/切线长T2|曲线要素值(m)/曲线长L|"
            "曲线要素值(m)/外距E|曲线要素值(m)/校正值J|曲线主点桩号/第一缓和曲线起点|"
            "曲线主点桩号/第一缓和曲线终点或圆曲线起点|曲线主点桩号/曲线中点|曲线主点桩号/第二缓和曲线起点或圆曲线终点|"
            "曲线主点桩号/第二缓和曲线终点|直线长度及方向/直线段长(m)|直线长度及方向/交点间距(m)|"
            "直线长度及方向/计算方位角");
  // JD1: T = q + (R + p) tan 15deg = 184.181145, L = 361.799388, E = 18.500512, J = 6.562903, A = 223.606798.
  // JD2: T = 800 tan 15deg = 214.359354, L = 800 pi / 6 = 418.879020, E = 800 (sec 15deg - 1) = 28.220944.
  // clang-format off
  const Rows expected = {
      {"QD", "3381250.125", "501230.750", "K1+000.000", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
       "", "815.819", "1000.000", "0.0000"},
      {"JD1", "3382250.125", "501230.750", "K2+000.000", "", "30.0000", "500.000", "100.000", "100.000", "223.607",
       "223.607", "184.181", "184.181", "361.799", "18.501", "6.563", "K1+815.819", "K1+915.819", "K1+996.719",
       "K2+077.618", "K2+177.618", "601.460", "1000.000", "30.0000"},
      {"JD2", "3383116.150", "501730.750", "K2+993.437", "30.0000", "", "800.000", "", "", "", "", "214.359",
       "214.359", "418.879", "28.221", "9.840", "", "K2+779.078", "K2+988.517", "K3+197.957", "", "785.641",
       "1000.000", "0.0000"},
      {"ZD", "3384116.150", "501730.750", "K3+983.597", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
       "", "", "", ""},
  };
  // clang-format on
  EXPECT_EQ(table.rows, expected);

  // A long chain of 20 m after the first curve (K2+300 = K2+280): stations
  // after it are displayed chainage, the straight keeps its true length.
  const Rows chained = CurveTable(kJdRows, design, Line(design.start, design.elements, {{2300, 2280}})).rows;
  const std::vector<std::string> jd2 = {chained[2][3], chained[2][17], chained[2][19], chained[1][21], chained[3][3]};
  EXPECT_EQ(jd2, (std::vector<std::string>{"K2+973.437", "K2+759.078", "K3+177.957", "601.460", "K3+963.597"}));
}

// K0+000 H 100, K0+500 H 110 R 10000, K1+000 H 105 R 16000, K1+600 H 114:
// grades +2 %, -1 %, +1.5 %; crest L = 10000 * 3 % = 300, T 150,
// E = 150^2 / 20000 = 1.125; sag L = 16000 * 2.5 % = 400, T 200, E 1.25;
// straight grades 350, 150, 400 m. With a short chain K0+700 = K0+720 the
// sag's and the last point's stations move 20 m, the lengths do not.
TEST(VerticalCurveTable, CrestAndSagWorkedByHand) {
  const Line plain({0, 0, 0, 0}, {{ElementType::Straight, 2000}});
  const RoadTable table =
      VerticalCurveTable(plain, Profile(plain, {{0, 100}, {500, 110, 10000}, {1000, 105, 16000}, {1600, 114}}));
  EXPECT_EQ(table.heading.title, "竖曲线表");
  EXPECT_EQ(HeadingText(table.heading),
            "序号|变坡点/桩号|变坡点/高程(m)|竖曲线/凸曲线半径R(m)|竖曲线/凹曲线半径R(m)|竖曲线/切线长T(m)|"
            "竖曲线/外距E(m)|竖曲线/起点桩号|竖曲线/终点桩号|纵坡(%)/i1|纵坡(%)/i2|变坡点间距(m)|直坡段长(m)");
  // clang-format off
  const Rows expected = {
      {"1", "K0+000.000", "100.000", "", "", "", "", "", "", "", "2.000", "500.000", "350.000"},
      {"2", "K0+500.000", "110.000", "10000.000", "", "150.000", "1.125", "K0+350.000", "K0+650.000", "2.000",
       "-1.000", "500.000", "150.000"},
      {"3", "K1+000.000", "105.000", "", "16000.000", "200.000", "1.250", "K0+800.000", "K1+200.000", "-1.000",
       "1.500", "600.000", "400.000"},
      {"4", "K1+600.000", "114.000", "", "", "", "", "", "", "1.500", "", "", ""},
  };
  // clang-format on
  EXPECT_EQ(table.rows, expected);

  const Line chained({0, 0, 0, 0}, {{ElementType::Straight, 2000}}, {{700, 720}});
  const Rows moved =
      VerticalCurveTable(chained, Profile(chained, {{0, 100}, {500, 110, 10000}, {1020, 105, 16000}, {1620, 114}}))
          .rows;
  EXPECT_EQ((std::vector<std::string>{moved[1][8], moved[2][7], moved[2][8], moved[2][11], moved[2][12]}),
            (std::vector<std::string>{"K0+650.000", "K0+820.000", "K1+220.000", "600.000", "400.000"}));
}

TEST(StakeCoordinateTable, HeadingsAndCellsWithAndWithoutEdges) {
  const StakeCoordinateRow stake{1234.5,
                                 3381250.1256,
                                 501230.7504,
                                 std::numbers::pi / 6,
                                 LinePoint{3381252.0, 501227.0, 0},
                                 LinePoint{3381248.25, 501234.5, 0}};
  const std::vector<std::string> centre = {"K1+234.500", "3381250.126", "501230.750", "30.0000"};
  const std::vector<std::string> left = {"3381252.000", "501227.000"}, right = {"3381248.250", "501234.500"};
  for (const auto& [withLeft, withRight, heading] : {
           std::tuple{false, false, "桩号|坐标/X(N)|坐标/Y(E)|方位角"},
           {true, true, "桩号|坐标/X(N)|坐标/Y(E)|方位角|左边桩/X(N)|左边桩/Y(E)|右边桩/X(N)|右边桩/Y(E)"},
           {false, true, "桩号|坐标/X(N)|坐标/Y(E)|方位角|右边桩/X(N)|右边桩/Y(E)"},
       }) {
    SCOPED_TRACE(heading);
    StakeCoordinateTable table(withLeft, withRight);
    EXPECT_EQ(table.Heading().title, "逐桩坐标表");
    EXPECT_EQ(HeadingText(table.Heading()), heading);
    std::vector<std::string> cells = centre;
    if (withLeft) cells.insert(cells.end(), left.begin(), left.end());
    if (withRight) cells.insert(cells.end(), right.begin(), right.end());
    EXPECT_EQ(table.Cells(stake), cells);
  }
}

}  // namespace
}  // namespace quorvane
