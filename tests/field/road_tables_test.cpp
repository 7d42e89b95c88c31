// The standard tables' contents: the JD curve table of a hand-worked
// two-curve line (values in tests/field/reference.py, mpmath), a vertical
// curve table worked by hand, and the streamed stake table.

#include <gtest/gtest.h>

#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include "calc/jd_design.h"
#include "calc/line.h"
#include "calc/profile.h"
#include "report/road_tables.h"

namespace quorvane {
namespace {

using Cells = std::vector<std::string>;

// Headings as one text a column: "group/column", or the column alone.
std::vector<std::string> HeadingTexts(const TableHeading& heading) {
  std::vector<std::string> texts;
  for (std::size_t c = 0; c < heading.columns.size(); ++c) {
    std::string text = heading.columns[c].heading;
    for (const HeadingGroup& g : heading.groups) {
      if (c >= g.firstColumn && c < g.firstColumn + g.columnCount) text = g.text + "/" + text;
    }
    texts.push_back(text);
  }
  return texts;
}

// Start (3381250.125, 501230.75) at K1+000; JD1 1000 m north: R 500, Ls 100
// both sides, 30 deg right; JD2 1000 m on at azimuth 30 deg: R 800 without
// spirals, 30 deg left; the end 1000 m north of JD2. reference.py works the
// spiral's p and q from the clothoid itself.
const std::vector<JdRow> kJdRows = {
    {"QD", 3381250.125, 501230.75, 0, 0, 0},
    {"JD1", 3382250.125, 501230.75, 500, 100, 100},
    {"JD2", 3382250.125 + 500 * std::numbers::sqrt3, 501730.75, 800, 0, 0},
    {"ZD", 3383250.125 + 500 * std::numbers::sqrt3, 501730.75, 0, 0, 0},
};

TEST(CurveTable, HandWorkedSpiralCurveAndPlainArc) {
  const JdDesign design = DesignFromJd(kJdRows, 1000);
  const Line line(design.start, design.elements);
  const RoadTable table = CurveTable(kJdRows, design, line);
  EXPECT_EQ(table.heading.title, "直线、曲线及转角表");
  EXPECT_EQ(HeadingTexts(table.heading), (std::vector<std::string>{"交点号",
                                                                   "交点坐标/X(N)",
                                                                   "交点坐标/Y(E)",
                                                                   "交点桩号",
                                                                   "转角值/左转",
                                                                   "转角值/右转",
                                                                   "曲线要素值(m)/半径R",
                                                                   "曲线要素值(m)/缓和曲线长Ls1",
                                                                   "曲线要素值(m)/缓和曲线长Ls2",
                                                                   "曲线要素值(m)/缓和曲线参数A1",
                                                                   "曲线要素值(m)/缓和曲线参数A2",
                                                                   "曲线要素值(m)/切线长T1",
                                                                   "曲线要素值(m)/切线长T2",
                                                                   "曲线要素值(m)/曲线长L",
                                                                   "曲线要素值(m)/外距E",
                                                                   "曲线要素值(m)/校正值J",
                                                                   "曲线主点桩号/第一缓和曲线起点",
                                                                   "曲线主点桩号/第一缓和曲线终点或圆曲线起点",
                                                                   "曲线主点桩号/曲线中点",
                                                                   "曲线主点桩号/第二缓和曲线起点或圆曲线终点",
                                                                   "曲线主点桩号/第二缓和曲线终点",
                                                                   "直线长度及方向/直线段长(m)",
                                                                   "直线长度及方向/交点间距(m)",
                                                                   "直线长度及方向/计算方位角"}));
  const std::vector<Cells> expected = {
      {"QD", "3381250.125", "501230.750", "K1+000.000", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
       "",   "815.819",     "1000.000",   "0.0000"},
      // T = q + (R + p) tan 15deg = 184.181145, L = 361.799388, E = 18.500512, J = 2T - L = 6.562903,
      // A = sqrt(500 * 100) = 223.606798; ZH = 2000 - T.
      {"JD1",        "3382250.125", "501230.750", "K2+000.000", "",           "30.0000", "500.000",  "100.000",
       "100.000",    "223.607",     "223.607",    "184.181",    "184.181",    "361.799", "18.501",   "6.563",
       "K1+815.819", "K1+915.819",  "K1+996.719", "K2+077.618", "K2+177.618", "601.460", "1000.000", "30.0000"},
      // T = 800 tan 15deg = 214.359354, L = 800 pi/6 = 418.879020, E = 800 (sec 15deg - 1) = 28.220944.
      {"JD2",        "3383116.150",
       "501730.750", "K2+993.437",
       "30.0000",    "",
       "800.000",    "",
       "",           "",
       "",           "214.359",
       "214.359",    "418.879",
       "28.221",     "9.840",
       "",           "K2+779.078",
       "K2+988.517", "K3+197.957",
       "",           "785.641",
       "1000.000",   "0.0000"},
      {"ZD",         "3384116.150",
       "501730.750", "K3+983.597",
       "",           "",
       "",           "",
       "",           "",
       "",           "",
       "",           "",
       "",           "",
       "",           "",
       "",           "",
       "",           "",
       "",           ""},
  };
  ASSERT_EQ(table.rows.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(kJdRows[i].name);
    EXPECT_EQ(table.rows[i], expected[i]);
  }
}

// A long chain of 20 m after the first curve (K2+300 = K2+280): the
// stations after it are displayed chainage, the lengths stay true.
TEST(CurveTable, StationsAfterAChainageEquationAreDisplayedChainage) {
  const JdDesign design = DesignFromJd(kJdRows, 1000);
  const Line line(design.start, design.elements, {{2300, 2280}});
  const RoadTable table = CurveTable(kJdRows, design, line);
  ASSERT_EQ(table.rows.size(), 4u);
  const Cells& jd1 = table.rows[1];
  const Cells& jd2 = table.rows[2];
  EXPECT_EQ(jd1[3], "K2+000.000");
  EXPECT_EQ(jd1[20], "K2+177.618");
  EXPECT_EQ(jd1[21], "601.460");
  EXPECT_EQ(jd2[3], "K2+973.437");
  EXPECT_EQ(jd2[17], "K2+759.078");
  EXPECT_EQ(jd2[19], "K3+177.957");
  EXPECT_EQ(table.rows[3][3], "K3+963.597");
}

TEST(CurveTable, RowsOfAnotherDesignAreRefused) {
  const JdDesign design = DesignFromJd(kJdRows, 1000);
  const Line line(design.start, design.elements);
  const std::vector<JdRow> twoRows = {kJdRows[0], kJdRows[3]};
  EXPECT_THROW(CurveTable(twoRows, design, line), std::invalid_argument);
}

// Points K0+000 H 100, K0+500 H 110 R 10000, K1+000 H 105 R 16000, K1+600 H 114
// on a straight: grades +2 %, -1 %, +1.5 %;
//   crest: L = 10000 * 3 % = 300, T = 150, E = 150^2 / 20000 = 1.125, K0+350 .. K0+650;
//   sag:   L = 16000 * 2.5 % = 400, T = 200, E = 200^2 / 32000 = 1.25, K0+800 .. K1+200;
// straight grades 350, 150 and 400 m.
TEST(VerticalCurveTable, HandWorkedCrestAndSag) {
  const Line line({3381250.125, 501230.75, 0.5, 0}, {{ElementType::Straight, 2000}});
  const Profile profile(line, {{0, 100}, {500, 110, 10000}, {1000, 105, 16000}, {1600, 114}});
  const RoadTable table = VerticalCurveTable(line, profile);
  EXPECT_EQ(table.heading.title, "竖曲线表");
  EXPECT_EQ(
      HeadingTexts(table.heading),
      (std::vector<std::string>{"序号", "变坡点/桩号", "变坡点/高程(m)", "竖曲线/凸曲线半径R(m)",
                                "竖曲线/凹曲线半径R(m)", "竖曲线/切线长T(m)", "竖曲线/外距E(m)", "竖曲线/起点桩号",
                                "竖曲线/终点桩号", "纵坡(%)/i1", "纵坡(%)/i2", "变坡点间距(m)", "直坡段长(m)"}));
  const std::vector<Cells> expected = {
      {"1", "K0+000.000", "100.000", "", "", "", "", "", "", "", "2.000", "500.000", "350.000"},
      {"2", "K0+500.000", "110.000", "10000.000", "", "150.000", "1.125", "K0+350.000", "K0+650.000", "2.000", "-1.000",
       "500.000", "150.000"},
      {"3", "K1+000.000", "105.000", "", "16000.000", "200.000", "1.250", "K0+800.000", "K1+200.000", "-1.000", "1.500",
       "600.000", "400.000"},
      {"4", "K1+600.000", "114.000", "", "", "", "", "", "", "1.500", "", "", ""},
  };
  EXPECT_EQ(table.rows, expected);
}

// Stations of the vertical curves' ends past a short chain (K0+400 = K0+420)
// are displayed chainage: the crest's start 350 m along the line shows
// K0+350, its end 650 m along it K0+670.
TEST(VerticalCurveTable, CurveEndsPastAChainageEquation) {
  const Line line({0, 0, 0, 0}, {{ElementType::Straight, 2000}}, {{400, 420}});
  const Profile profile(line, {{0, 100}, {520, 110, 10000}, {1020, 105}});
  const RoadTable table = VerticalCurveTable(line, profile);
  ASSERT_EQ(table.rows.size(), 3u);
  EXPECT_EQ(table.rows[1][7], "K0+350.000");
  EXPECT_EQ(table.rows[1][8], "K0+670.000");
  EXPECT_EQ(table.rows[0][11], "500.000");  // 变坡点间距 along the line, not in stations
}

TEST(StakeCoordinateTable, HeadingsAndCellsWithAndWithoutEdges) {
  struct Row {
    bool left, right;
    std::vector<std::string> headings;
    Cells cells;
  };
  const StakeCoordinateRow stake{1234.5,
                                 3381250.1256,
                                 501230.7504,
                                 30 * std::numbers::pi / 180,
                                 LinePoint{3381252.0, 501227.0, 0},
                                 LinePoint{3381248.25, 501234.5, 0}};
  const Row rows[] = {
      {false,
       false,
       {"桩号", "坐标/X(N)", "坐标/Y(E)", "方位角"},
       {"K1+234.500", "3381250.126", "501230.750", "30.0000"}},
      {true,
       true,
       {"桩号", "坐标/X(N)", "坐标/Y(E)", "方位角", "左边桩/X(N)", "左边桩/Y(E)", "右边桩/X(N)", "右边桩/Y(E)"},
       {"K1+234.500", "3381250.126", "501230.750", "30.0000", "3381252.000", "501227.000", "3381248.250",
        "501234.500"}},
      {false,
       true,
       {"桩号", "坐标/X(N)", "坐标/Y(E)", "方位角", "右边桩/X(N)", "右边桩/Y(E)"},
       {"K1+234.500", "3381250.126", "501230.750", "30.0000", "3381248.250", "501234.500"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.headings.size());
    StakeCoordinateTable table(r.left, r.right);
    EXPECT_EQ(table.Heading().title, "逐桩坐标表");
    EXPECT_EQ(HeadingTexts(table.Heading()), r.headings);
    EXPECT_EQ(table.Cells(stake), r.cells);
  }
  StakeCoordinateTable withLeft(true, false);
  EXPECT_THROW(withLeft.Cells(StakeCoordinateRow{0, 1, 2, 0, std::nullopt, std::nullopt}), std::invalid_argument);
}

}  // namespace
}  // namespace quorvane
