// Page layout of the printed tables: pages read back from their operations.
#include "report/table_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvane {
namespace {

constexpr double kMmPerPt = 25.4 / 72.0;

// Rows made as they are read: station "K0+<i>.5" and the other cells of
// its table; the rows of a stake table or of a curve table.
class MadeRows : public RowSource {
 public:
  MadeRows(std::size_t count, std::size_t columns) : count_(count), columns_(columns) {}
  void Rewind() override {
    next_ = 0;
    ++rewinds;
  }
  bool Next(std::vector<std::string>& cells) override {
    if (next_ >= count_) return false;
    cells.assign(columns_, "123.456");
    cells[0] = Station(next_++);
    if (columns_ > 3) cells[3] = "17.3415";
    return true;
  }
  static std::string Station(std::size_t i) { return "K0+" + std::to_string(i) + ".5"; }
  int rewinds = 0;

 private:
  std::size_t count_;
  std::size_t columns_;
  std::size_t next_ = 0;
};

std::vector<Page> LayOut(const std::vector<TableToPrint>& tables, const PageSettings& settings) {
  std::vector<Page> pages;
  const int count = LayOutTables(tables, settings, MonospaceWidth(), [&](const Page& page) { pages.push_back(page); });
  EXPECT_EQ(static_cast<std::size_t>(count), pages.size());
  return pages;
}

std::vector<TextOp> Texts(const Page& page) {
  std::vector<TextOp> texts;
  for (const PageOp& op : page.ops) {
    if (const auto* text = std::get_if<TextOp>(&op)) texts.push_back(*text);
  }
  return texts;
}

double LeftEnd(const TextOp& t) {
  const double width = MonospaceWidth().Millimetres(t.utf8, t.sizePt);
  return t.anchor == TextAnchor::Left ? t.xMm : t.anchor == TextAnchor::Centre ? t.xMm - width / 2 : t.xMm - width;
}

enum class Kind { Stakes, Curves };
struct RunCase {
  const char* name;
  Kind kind;
  Paper paper;
  std::size_t rows;
  int bands;        // table columns side by side on a full page
  bool setSmaller;  // the body set below 9 pt to fit the width
};

class PageRunTest : public testing::TestWithParam<RunCase> {};

// Every page: header and footer, the heading once for each table column,
// the rows in order down the left table column first, full pages but the
// last, whose rows are shared evenly, and nothing within 15 mm of the
// paper's edges.
TEST_P(PageRunTest, RowsRunOverPagesInOrderUnderTheirHeading) {
  const RunCase& c = GetParam();
  const TableLook look = c.kind == Kind::Stakes ? StakeCoordinateTableLook() : CurveTableLook();
  MadeRows rows(c.rows, look.align.size());
  PageSettings settings;
  settings.paper = c.paper;
  settings.lineName = "一号线";
  settings.date = "2026-12-07";
  const std::vector<Page> pages = LayOut({{look, &rows}}, settings);
  ASSERT_FALSE(pages.empty());
  const double width = PaperWidthMm(c.paper);
  const double height = PaperHeightMm(c.paper);

  std::vector<std::string> order;
  std::vector<std::size_t> perPage;
  for (std::size_t p = 0; p < pages.size(); ++p) {
    SCOPED_TRACE("page " + std::to_string(p + 1));
    const Page& page = pages[p];
    EXPECT_EQ(page.number, static_cast<int>(p + 1));
    EXPECT_EQ(page.widthMm, width);
    EXPECT_EQ(page.heightMm, height);
    std::map<std::string, int> seen;
    std::vector<TextOp> stations;
    for (const TextOp& t : Texts(page)) {
      ++seen[t.utf8];
      EXPECT_GE(LeftEnd(t), 15 - 1e-9) << t.utf8;
      EXPECT_LE(LeftEnd(t) + MonospaceWidth().Millimetres(t.utf8, t.sizePt), width - 15 + 1e-9) << t.utf8;
      EXPECT_GE(t.yMm - t.sizePt * kMmPerPt, 15 - 1e-9) << t.utf8;
      EXPECT_LE(t.yMm, height - 15 + 1e-9) << t.utf8;
      if (t.utf8.rfind("K0+", 0) == 0) {
        stations.push_back(t);
        EXPECT_EQ(t.sizePt < 9, c.setSmaller) << t.sizePt;
      }
    }
    for (const PageOp& op : page.ops) {
      if (const auto* line = std::get_if<LineOp>(&op)) {
        for (const double x : {line->x1Mm, line->x2Mm}) EXPECT_TRUE(x >= 15 && x <= width - 15) << x;
        for (const double y : {line->y1Mm, line->y2Mm}) EXPECT_TRUE(y >= 15 && y <= height - 15) << y;
      }
    }
    const std::string footer = "第 " + std::to_string(p + 1) + " 页 / 共 " + std::to_string(pages.size()) + " 页";
    EXPECT_EQ(seen[footer], 1);
    EXPECT_EQ(seen["一号线"], 1);
    EXPECT_EQ(seen["2026-12-07"], 1);
    EXPECT_EQ(seen[look.title], 1);

    // Left table column first, each from the top down, a row a line.
    std::stable_sort(stations.begin(), stations.end(), [&](const TextOp& a, const TextOp& b) {
      const bool aRight = a.xMm > width / 2;
      const bool bRight = b.xMm > width / 2;
      return aRight != bRight ? bRight : a.yMm < b.yMm;
    });
    std::size_t left = 0;
    for (std::size_t k = 0; k < stations.size(); ++k) {
      order.push_back(stations[k].utf8);
      if (stations[k].xMm < width / 2) ++left;
      if (k > 0 && (stations[k].xMm > width / 2) == (stations[k - 1].xMm > width / 2)) {
        EXPECT_GE(stations[k].yMm - stations[k - 1].yMm, stations[k].sizePt * kMmPerPt);
      }
    }
    const int bandsHere = stations.size() > left ? 2 : 1;
    if (p + 1 < pages.size() || stations.size() > 1) {
      EXPECT_EQ(bandsHere, c.bands);
    }
    for (const HeadingCell& cell : look.heading) EXPECT_EQ(seen[cell.text], bandsHere) << cell.text;
    if (bandsHere == 2 && p + 1 == pages.size()) {
      EXPECT_LE(left - (stations.size() - left), 1u);
    }
    perPage.push_back(stations.size());
  }
  std::vector<std::string> expected;
  for (std::size_t i = 0; i < c.rows; ++i) expected.push_back(MadeRows::Station(i));
  EXPECT_EQ(order, expected);
  for (std::size_t p = 0; p + 1 < perPage.size(); ++p) EXPECT_EQ(perPage[p], perPage[0]);
  EXPECT_LE(perPage.back(), perPage[0]);
  if (c.rows > 0) {
    EXPECT_GT(perPage.back(), 0u);
  }
  EXPECT_EQ(rows.rewinds, 2);
}

INSTANTIATE_TEST_SUITE_P(Tables, PageRunTest,
                         testing::Values(RunCase{"NoRows", Kind::Stakes, Paper::A4Portrait, 0, 1, false},
                                         RunCase{"OneRow", Kind::Stakes, Paper::A4Portrait, 1, 1, false},
                                         RunCase{"ThreeRowsShared", Kind::Stakes, Paper::A4Portrait, 3, 2, false},
                                         RunCase{"StakesOverPages", Kind::Stakes, Paper::A4Portrait, 301, 2, false},
                                         RunCase{"StakesA3", Kind::Stakes, Paper::A3Landscape, 150, 2, false},
                                         RunCase{"CurvesA3", Kind::Curves, Paper::A3Landscape, 70, 1, false},
                                         RunCase{"CurvesSetSmallerOnA4", Kind::Curves, Paper::A4Portrait, 70, 1, true}),
                         [](const testing::TestParamInfo<RunCase>& info) { return std::string(info.param.name); });

// Cells of one column stand alike: on the decimal point (a number without
// one ends where its point would be), at the right, centred or at the left.
TEST(TablePages, CellsStandOnTheirColumnsAlignment) {
  TableLook look{"表",
                 1,
                 {{"数", 0, 0}, {"右", 0, 1}, {"中", 0, 2}, {"左", 0, 3}},
                 {CellAlign::DecimalPoint, CellAlign::Right, CellAlign::Centre, CellAlign::Left},
                 false};
  RowsInMemory rows({{"123.25", "1", "甲", "a"}, {"7", "12345", "乙丙丁", "abc"}, {"-0.125", "", "x", "左对齐"}});
  const std::vector<Page> pages = LayOut({{look, &rows}}, PageSettings{});
  ASSERT_EQ(pages.size(), 1u);
  std::map<std::string, TextOp> at;
  for (const TextOp& t : Texts(pages[0])) at[t.utf8] = t;
  const double em = 9 * kMmPerPt;  // of the 9 pt body, monospace: digits half an em
  // The point of 123.25 lies 1.5 em right of its left end; 7 ends there,
  // -0.125's point is 1 em from its left end.
  EXPECT_NEAR(at["7"].xMm, at["123.25"].xMm + 1.0 * em, 1e-9);
  EXPECT_NEAR(at["-0.125"].xMm, at["123.25"].xMm + 0.5 * em, 1e-9);
  const auto right = [&](const std::string& s) { return LeftEnd(at[s]) + MonospaceWidth().Millimetres(s, 9); };
  EXPECT_NEAR(right("1"), right("12345"), 1e-9);
  const auto middle = [&](const std::string& s) { return LeftEnd(at[s]) + MonospaceWidth().Millimetres(s, 9) / 2; };
  EXPECT_NEAR(middle("甲"), middle("乙丙丁"), 1e-9);
  EXPECT_NEAR(middle("x"), middle("甲"), 1e-9);
  EXPECT_NEAR(LeftEnd(at["a"]), LeftEnd(at["左对齐"]), 1e-9);
  // Rows of one table column share a baseline.
  EXPECT_EQ(at["7"].yMm, at["12345"].yMm);
}

// A column of whole numbers on their point takes no room for a fraction:
// it ends as close after its numbers as a right-set column after its texts.
TEST(TablePages, WholeNumbersOnTheirPointTakeNoRoomForAFraction) {
  TableLook look{"表",
                 1,
                 {{"甲", 0, 0}, {"乙", 0, 1}, {"丙", 0, 2}},
                 {CellAlign::DecimalPoint, CellAlign::Right, CellAlign::Right},
                 false};
  RowsInMemory rows({{"12", "b1", "c1"}, {"3", "b2", "c2"}});
  const std::vector<Page> pages = LayOut({{look, &rows}}, PageSettings{});
  ASSERT_EQ(pages.size(), 1u);
  std::map<std::string, TextOp> at;
  for (const TextOp& t : Texts(pages[0])) at[t.utf8] = t;
  const auto right = [&](const std::string& s) { return LeftEnd(at[s]) + MonospaceWidth().Millimetres(s, 9); };
  EXPECT_NEAR(right("b1") - right("12"), right("c1") - right("b1"), 1e-9);
}

// A heading over several columns wider than they are widens them, and
// stands in the middle of the frame around them.
TEST(TablePages, SpanningHeadingWidensItsColumns) {
  const std::string wide = "一个比下面两列都宽得多的标题";
  TableLook look{"表", 2, {{wide, 0, 0, 1, 2}, {"A", 1, 0}, {"B", 1, 1}}, {CellAlign::Right, CellAlign::Right}, false};
  RowsInMemory rows(std::vector<std::vector<std::string>>{{"1", "2"}});
  const std::vector<Page> pages = LayOut({{look, &rows}}, PageSettings{});
  double frameLeft = 1e9;
  double frameRight = -1e9;
  for (const PageOp& op : pages.at(0).ops) {
    if (const auto* line = std::get_if<LineOp>(&op); line != nullptr && line->y1Mm == line->y2Mm && line->y1Mm > 30) {
      frameLeft = std::min({frameLeft, line->x1Mm, line->x2Mm});
      frameRight = std::max({frameRight, line->x1Mm, line->x2Mm});
    }
  }
  for (const TextOp& t : Texts(pages[0])) {
    if (t.utf8 != wide) continue;
    EXPECT_NEAR(t.xMm, (frameLeft + frameRight) / 2, 1e-9);
    EXPECT_GE(frameRight - frameLeft, 14 * 9 * kMmPerPt);  // 14 characters of a whole em
  }
}

TEST(TablePages, HeadingCellOutsideTheTableIsRefused) {
  const std::vector<HeadingCell> faults[] = {{{"x", 0, 2}}, {{"x", 0, 1, 1, 2}}, {{"x", 1, 0}}, {{"x", 0, 0, 0, 1}}};
  for (const auto& heading : faults) {
    TableLook look{"表", 1, heading, {CellAlign::Right, CellAlign::Right}, false};
    RowsInMemory rows(std::vector<std::vector<std::string>>{});
    EXPECT_THROW(LayOut({{look, &rows}}, {}), std::invalid_argument);
  }
}

TEST(TablePages, CodePointsOfUtf8) {
  const struct {
    std::string utf8;
    std::u32string expected;
  } cases[] = {
      {"K0+1.5", U"K0+1.5"},
      {"第页", {0x7B2C, 0x9875}},
      {"\xC2\xB0", {0xB0}},             // °, two bytes
      {"\xF0\x9F\x98\x80", {0x1F600}},  // four bytes
      {"a\xFF"
       "b",
       {'a', 0xFFFD, 'b'}},              // a byte that starts nothing
      {"\xE7\xAC", {0xFFFD}},            // cut short at the end
      {"\xC2\xB0\x80", {0xB0, 0xFFFD}},  // a stray continuation byte after a whole character
      {"\xC0\xAF", {0xFFFD}},            // '/' in two bytes: too long a form
      {"\xED\xA0\x80", {0xFFFD}},        // a surrogate
  };
  for (const auto& c : cases) EXPECT_EQ(CodePoints(c.utf8), c.expected) << c.utf8;
}

}  // namespace
}  // namespace quorvane
