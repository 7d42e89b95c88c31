// Reading a cross-section table from CSV: what a surveyor's file may hold
// and what it must not.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/messages.h"
#include "expect_error.h"
#include "io/cross_section_csv.h"

namespace quorvane {
namespace {

constexpr WidthTransition kLinear = WidthTransition::Linear;
constexpr WidthTransition kHigher = WidthTransition::HigherOrder;

TEST(CrossSectionCsv, ReadsRows) {
  const struct {
    const char* what;
    std::string text;
    std::vector<CrossSectionRow> rows;
  } cases[] = {
      {"heading, chainage and metres, transitions",
       "桩号,左宽,右宽,左横坡,右横坡,过渡\r\nK1+100,3.75,3.75,-2,-2\r\n1180.5,3.75,4.75,6,-6,高次\r\nK1+300,3.75,3.75,"
       "2,-2,\r\n",
       {{1100, 3.75, 3.75, -2, -2, kLinear, 2},
        {1180.5, 3.75, 4.75, 6, -6, kHigher, 3},
        {1300, 3.75, 3.75, 2, -2, kLinear, 4}}},
      {"no heading; a blank line still counts",
       "0,3,3,-2,-2\n\n20,3,3.5,0,-2,线性\n",
       {{0, 3, 3, -2, -2, kLinear, 1}, {20, 3, 3.5, 0, -2, kLinear, 3}}},
      {"blank-padded, full-width, quoted, a byte-order mark",
       "\xEF\xBB\xBF 桩号 ,左宽,右宽,左横坡,右横坡\n ＤＫ０＋０５０．５ , ３．７５ ,\"4\",＋２,－２\n  "
       "K0+060\t,0,0,+6,-6,\xE3\x80\x80高次\xE3\x80\x80\n",
       {{50.5, 3.75, 4, 2, -2, kLinear, 2}, {60, 0, 0, 6, -6, kHigher, 3}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(ReadCrossSectionCsv(c.text, "xs.csv"), c.rows);
  }
}

TEST(CrossSectionCsv, Refusals) {
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {"", "文件“xs.csv”：横断面表是空的！"},
      {"桩号,左宽,右宽,左横坡,右横坡\n\n", "文件“xs.csv”：横断面表是空的！"},
      {"桩号,左宽,右宽,左横坡,右横坡\n100,3,3,-2\n",
       "文件“xs.csv”第2行：应有 桩号,左宽,右宽,左横坡,右横坡 五列，可加第六列 过渡！"},
      {"100,3,3,-2,-2,,7\n", "文件“xs.csv”第1行：应有 桩号,左宽,右宽,左横坡,右横坡 五列，可加第六列 过渡！"},
      {"桩号,左宽,右宽,左横坡,右横坡\n100,3,3,-2,-2\n120,3m,3,-2,-2\n",
       "文件“xs.csv”第3行第2列（左宽）“3m”不是有效的数字！"},
      {"100,3,3,-2,-2\n120,3,3,,-2\n", "文件“xs.csv”第2行第4列（左横坡）“”不是有效的数字！"},
      {"100,3,3,-2,-2\n120,3,3,-2,1e999\n", "文件“xs.csv”第2行第5列（右横坡）“1e999”不是有效的数字！"},
      {"K0+100,3,3,-2,-2\nK0+12O,3,3,-2,-2\n", "文件“xs.csv”第2行第1列（桩号）“K0+12O”不是有效的数字！"},
      // A first row with numbers in it is a row with a fault, not a heading.
      {"abc,3,3,-2,-2\n", "文件“xs.csv”第1行第1列（桩号）“abc”不是有效的数字！"},
      {"100,3,3,-2,-2,高\n", "文件“xs.csv”第1行：过渡应为空（线性）或“高次”！"},
      {"100,3,3,-2,-2\n\"120,3,3,-2,-2\n", "文件“xs.csv”第2行：引号没有结束"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_THROW_MSG(ReadCrossSectionCsv(c.text, "xs.csv"), c.message);
  }
}

}  // namespace
}  // namespace quorvane
