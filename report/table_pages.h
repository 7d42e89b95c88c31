#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// Printed tables (直线、曲线及转角表, 竖曲线表, 逐桩坐标表) laid out once as pages
// of simple drawing operations, so that a PDF file and a printer painting
// them draw the same pages. Lengths are millimetres on the paper, measured
// from its top left corner, x to the right and y down; text sizes are points.

namespace quorvane {

// How a Text operation stands on its point: its left end, its middle or its
// right end at x. y is the baseline.
enum class TextAnchor { Left, Centre, Right };

struct TextOp {
  double xMm = 0;
  double yMm = 0;
  double sizePt = 0;
  std::string utf8;
  TextAnchor anchor = TextAnchor::Left;
};

struct LineOp {
  double x1Mm = 0;
  double y1Mm = 0;
  double x2Mm = 0;
  double y2Mm = 0;
  double widthMm = 0;
};

using PageOp = std::variant<TextOp, LineOp>;

struct Page {
  double widthMm = 0;
  double heightMm = 0;
  int number = 0;  // from 1
  int count = 0;   // of the whole document
  std::vector<PageOp> ops;
};

// The widths of texts in the font the pages are drawn in: the font's own
// glyph advances where it is embedded, or a fixed advance a character.
class TextWidth {
 public:
  virtual ~TextWidth() = default;
  // The advance of `utf8` set at `sizePt`, in millimetres.
  virtual double Millimetres(std::string_view utf8, double sizePt) const = 0;
};

// Half an em for every character below U+1100 (Latin, digits, signs), a
// whole em for CJK and full-width characters: a fixed-pitch face such as a
// printer's Chinese monospace font.
class MonospaceWidth : public TextWidth {
 public:
  double Millimetres(std::string_view utf8, double sizePt) const override;
};

enum class Paper { A4Portrait, A3Landscape };

struct PageSettings {
  Paper paper = Paper::A4Portrait;
  double marginMm = 15;  // raised to 15 when smaller
  // The header line: the program's name on the left, the line's in the
  // middle, the date on the right.
  std::string program = "Quorvane";
  std::string lineName;
  std::string date;
  double headerPt = 9;
  double titlePt = 12;
  double bodyPt = 9;  // the body is set smaller where a table would not fit the width
};

// How a column's cells stand in it. Numbers go right or on their decimal
// point (a number without one ends where its point would be); texts are
// centred.
enum class CellAlign { Left, Centre, Right, DecimalPoint };

// One cell of the heading: its text over `columnSpan` columns from `column`
// and `rowSpan` heading rows from `row` (all counted from 0).
struct HeadingCell {
  std::string text;
  std::size_t row = 0;
  std::size_t column = 0;
  std::size_t rowSpan = 1;
  std::size_t columnSpan = 1;
};

struct TableLook {
  std::string title;
  std::size_t headingRows = 1;
  std::vector<HeadingCell> heading;
  std::vector<CellAlign> align;  // one a column: the number of columns
  // A narrow table runs in two columns side by side on a page, the left one
  // filled first, where two fit the width.
  bool sideBySide = false;
};

// The rows of a table, read once to measure and count them and once more
// to lay them out, so that a table of a million rows is never held whole.
class RowSource {
 public:
  virtual ~RowSource() = default;
  virtual void Rewind() = 0;
  // The next row's cells (UTF-8), or false after the last row.
  virtual bool Next(std::vector<std::string>& cells) = 0;
};

// Rows held in memory.
class RowsInMemory : public RowSource {
 public:
  explicit RowsInMemory(std::vector<std::vector<std::string>> rows) : rows_(std::move(rows)) {}
  void Rewind() override { next_ = 0; }
  bool Next(std::vector<std::string>& cells) override;

 private:
  std::vector<std::vector<std::string>> rows_;
  std::size_t next_ = 0;
};

// The three standard tables of a road line's drawings, each row's cells in
// the order of the columns below (stations in K-notation, angles DD.MMSS):
// 直线、曲线及转角表: 交点号, 交点坐标 X, Y, 交点桩号, 转角 左, 右, 半径,
// 缓和曲线长 Ls1, Ls2, 切线长 T1, T2, 曲线长, 外距, then the main points'
// stations ZH, HY, QZ, YH, HZ (an A3 landscape table);
TableLook CurveTableLook();
// 竖曲线表: 序号, 变坡点桩号, 高程, 凸/凹, 半径, 切线长, 外距, 竖曲线起点桩号,
// 终点桩号, 纵坡 (%), 坡长;
TableLook VerticalCurveTableLook();
// 逐桩坐标表: 桩号, X, Y, 方位角, two of it side by side on a page.
TableLook StakeCoordinateTableLook();

struct TableToPrint {
  TableLook look;
  RowSource* rows = nullptr;
};

// Lays the tables out one after another, each from a new page, and hands
// each page to `sink` as soon as it is complete (only that page's
// operations are held). Every page has the header line, its table's title
// and heading (repeated on each page a table runs over), whole rows, and
// "第 N 页 / 共 M 页" at the bottom; a table without rows still gets a page
// with its heading. Returns the number of pages.
using PageSink = std::function<void(const Page&)>;
int LayOutTables(const std::vector<TableToPrint>& tables, const PageSettings& settings, const TextWidth& width,
                 const PageSink& sink);

// The code points of a UTF-8 text; a byte that does not belong to a
// well-formed sequence stands for U+FFFD.
std::u32string CodePoints(std::string_view utf8);

// The paper's size in millimetres: A4 portrait 210 × 297, A3 landscape 420 × 297.
double PaperWidthMm(Paper paper);
double PaperHeightMm(Paper paper);

}  // namespace quorvane
