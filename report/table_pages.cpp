#include "report/table_pages.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace quorvane {
namespace {

constexpr double kMmPerPt = 25.4 / 72.0;
constexpr double kSmallestMarginMm = 15;
constexpr double kSmallestBodyPt = 5;
// A row is this many times the body size high; a cell keeps this many ems
// of blank on either side; two table columns on a page are this many ems
// apart.
constexpr double kRowHeightEm = 1.5;
constexpr double kCellPaddingEm = 0.5;
constexpr double kBandGapEm = 2;
// Where the baseline of a line of text lies below the middle of its row.
constexpr double kBaselineBelowMiddleEm = 0.35;
constexpr double kRuleMm = 0.3;
constexpr double kThinRuleMm = 0.15;

std::string PageFooter(int number, int count) {
  return "第 " + std::to_string(number) + " 页 / 共 " + std::to_string(count) + " 页";
}

// The digits of a number before its decimal point, and the point and what
// follows it (empty for a number without one).
std::pair<std::string_view, std::string_view> SplitAtPoint(std::string_view text) {
  const auto point = text.find('.');
  if (point == std::string_view::npos) return {text, {}};
  return {text.substr(0, point), text.substr(point)};
}

// A table measured in the first pass: the widths of its columns at its
// body size, and how its rows fall onto pages.
struct Measured {
  double sizePt = 0;
  std::vector<double> columnWidth;    // cell paddings included
  std::vector<double> integerWidth;   // of a DecimalPoint column: the widest integer digits
  std::vector<double> fractionWidth;  // and the widest run from the point on
  double tableWidth = 0;
  int bands = 1;
  std::size_t rows = 0;
  std::size_t perBand = 1;  // rows in one table column of a full page
  int pages = 1;
};

class Geometry {
 public:
  explicit Geometry(const PageSettings& settings)
      : width(PaperWidthMm(settings.paper)),
        height(PaperHeightMm(settings.paper)),
        margin(std::max(kSmallestMarginMm, settings.marginMm)),
        headerBaseline(margin + settings.headerPt * kMmPerPt),  // a whole em above the baseline
        headerRule(headerBaseline + 0.5 * settings.headerPt * kMmPerPt),
        titleBaseline(headerRule + 1.4 * settings.titlePt * kMmPerPt),
        tableTop(titleBaseline + 0.7 * settings.titlePt * kMmPerPt),
        footerBaseline(height - margin),
        bodyBottom(footerBaseline - 1.6 * settings.headerPt * kMmPerPt) {}

  double BodyWidth() const { return width - 2 * margin; }

  const double width;
  const double height;
  const double margin;
  const double headerBaseline;
  const double headerRule;
  const double titleBaseline;
  const double tableTop;
  const double footerBaseline;
  const double bodyBottom;
};

void CheckLook(const TableLook& look) {
  const std::size_t columns = look.align.size();
  if (columns == 0 || look.headingRows == 0)
    throw std::invalid_argument("a printed table needs a column and a heading");
  for (const HeadingCell& cell : look.heading) {
    if (cell.rowSpan == 0 || cell.columnSpan == 0 || cell.row + cell.rowSpan > look.headingRows ||
        cell.column + cell.columnSpan > columns) {
      throw std::invalid_argument("a heading cell lies outside its table's heading");
    }
  }
}

// First pass: read every row once for the widest texts of each column and
// the row count, choose the body size and the number of table columns a
// page, and count the pages.
Measured Measure(const TableToPrint& table, const PageSettings& settings, const Geometry& page,
                 const TextWidth& width) {
  const TableLook& look = table.look;
  CheckLook(look);
  const std::size_t columns = look.align.size();
  const double size = settings.bodyPt;
  Measured m;
  m.columnWidth.assign(columns, 0);
  m.integerWidth.assign(columns, 0);
  m.fractionWidth.assign(columns, 0);

  std::vector<std::string> cells;
  if (table.rows != nullptr) {
    table.rows->Rewind();
    while (table.rows->Next(cells)) {
      ++m.rows;
      for (std::size_t c = 0; c < columns && c < cells.size(); ++c) {
        if (look.align[c] == CellAlign::DecimalPoint) {
          const auto [integer, fraction] = SplitAtPoint(cells[c]);
          m.integerWidth[c] = std::max(m.integerWidth[c], width.Millimetres(integer, size));
          m.fractionWidth[c] = std::max(m.fractionWidth[c], width.Millimetres(fraction, size));
        } else {
          m.columnWidth[c] = std::max(m.columnWidth[c], width.Millimetres(cells[c], size));
        }
      }
    }
  }
  const double padding = kCellPaddingEm * size * kMmPerPt;
  for (std::size_t c = 0; c < columns; ++c) {
    m.columnWidth[c] = std::max(m.columnWidth[c], m.integerWidth[c] + m.fractionWidth[c]);
  }
  // Headings of one column widen it; a heading over several widens them
  // all alike where it is wider than they are together. Narrow headings
  // first, so a wide one sees the columns as wide as they end up.
  std::vector<const HeadingCell*> heads;
  for (const HeadingCell& cell : look.heading) heads.push_back(&cell);
  std::stable_sort(heads.begin(), heads.end(),
                   [](const HeadingCell* a, const HeadingCell* b) { return a->columnSpan < b->columnSpan; });
  for (const HeadingCell* cell : heads) {
    const double needed = width.Millimetres(cell->text, size) - 2 * padding * static_cast<double>(cell->columnSpan - 1);
    double have = 0;
    for (std::size_t c = cell->column; c < cell->column + cell->columnSpan; ++c) have += m.columnWidth[c];
    if (needed > have) {
      const double more = (needed - have) / static_cast<double>(cell->columnSpan);
      for (std::size_t c = cell->column; c < cell->column + cell->columnSpan; ++c) m.columnWidth[c] += more;
    }
  }
  for (double& w : m.columnWidth) w += 2 * padding;
  double tableWidth = 0;
  for (const double w : m.columnWidth) tableWidth += w;

  // Two table columns where they fit; else one, set smaller when the
  // table is wider than the paper. Every width is in proportion to the size.
  const double body = page.BodyWidth();
  const double bandGap = kBandGapEm * size * kMmPerPt;
  m.bands = look.sideBySide && 2 * tableWidth + bandGap <= body ? 2 : 1;
  m.sizePt = size;
  if (m.bands == 1 && tableWidth > body) {
    m.sizePt = std::max(kSmallestBodyPt, std::floor(size * body / tableWidth * 10) / 10);
    const double scale = m.sizePt / size;
    for (auto* v : {&m.columnWidth, &m.integerWidth, &m.fractionWidth}) {
      for (double& w : *v) w *= scale;
    }
    tableWidth *= scale;
  }
  m.tableWidth = tableWidth;

  const double row = kRowHeightEm * m.sizePt * kMmPerPt;
  const double room = page.bodyBottom - page.tableTop - static_cast<double>(look.headingRows) * row;
  m.perBand = static_cast<std::size_t>(std::max(1.0, std::floor(room / row + 1e-9)));
  const std::size_t perPage = m.perBand * static_cast<std::size_t>(m.bands);
  m.pages = static_cast<int>(std::max<std::size_t>(1, (m.rows + perPage - 1) / perPage));
  return m;
}

// Second pass: one table's pages.
class PageMaker {
 public:
  PageMaker(const PageSettings& settings, const Geometry& geometry, const TextWidth& width, int pageCount)
      : settings_(settings), g_(geometry), width_(width), pageCount_(pageCount) {}

  void Table(const TableToPrint& table, const Measured& m, int& pageNumber, const PageSink& sink) {
    const TableLook& look = table.look;
    const double size = m.sizePt;
    const double row = kRowHeightEm * size * kMmPerPt;
    const double padding = kCellPaddingEm * size * kMmPerPt;
    const double bandGap = kBandGapEm * size * kMmPerPt;
    const double span = m.bands * m.tableWidth + (m.bands - 1) * bandGap;
    const double left = g_.margin + std::max(0.0, (g_.BodyWidth() - span) / 2);
    const double headingHeight = static_cast<double>(look.headingRows) * row;
    const std::size_t columns = look.align.size();

    std::vector<std::string> cells;
    if (table.rows != nullptr) table.rows->Rewind();
    std::size_t done = 0;
    for (int p = 0; p < m.pages; ++p) {
      Page page = StartPage(++pageNumber, look.title);
      // Rows on this page, and a table column's share of them: the last
      // page's rows are shared out evenly between the table columns.
      const auto bands = static_cast<std::size_t>(m.bands);
      const std::size_t perPage = m.perBand * bands;
      const std::size_t onPage = std::min(perPage, m.rows - done);
      const std::size_t perBand = p + 1 == m.pages ? std::max<std::size_t>(1, (onPage + bands - 1) / bands) : m.perBand;
      for (int band = 0; band < m.bands; ++band) {
        const std::size_t first = static_cast<std::size_t>(band) * perBand;
        if (band > 0 && first >= onPage) break;
        const std::size_t count = std::min(perBand, onPage - std::min(onPage, first));
        const double x0 = left + band * (m.tableWidth + bandGap);
        std::vector<double> x{x0};
        for (const double w : m.columnWidth) x.push_back(x.back() + w);
        const double top = g_.tableTop;
        const double bodyTop = top + headingHeight;
        const double bottom = bodyTop + static_cast<double>(count) * row;
        Heading(page, look, x, top, row, size);
        // The frame, the rule under the heading and the column rules.
        Line(page, x0, top, x.back(), top, kRuleMm);
        Line(page, x0, bottom, x.back(), bottom, kRuleMm);
        Line(page, x0, bodyTop, x.back(), bodyTop, kRuleMm);
        Line(page, x0, top, x0, bottom, kRuleMm);
        Line(page, x.back(), top, x.back(), bottom, kRuleMm);
        for (std::size_t c = 1; c < columns; ++c) Line(page, x[c], bodyTop, x[c], bottom, kThinRuleMm);

        for (std::size_t r = 0; r < count; ++r) {
          if (table.rows == nullptr || !table.rows->Next(cells)) {
            throw std::logic_error("a printed table's rows changed between their two readings");
          }
          const double baseline =
              bodyTop + (static_cast<double>(r) + 0.5) * row + kBaselineBelowMiddleEm * size * kMmPerPt;
          for (std::size_t c = 0; c < columns && c < cells.size(); ++c) {
            if (cells[c].empty()) continue;
            switch (look.align[c]) {
              case CellAlign::Left:
                Text(page, x[c] + padding, baseline, size, cells[c], TextAnchor::Left);
                break;
              case CellAlign::Centre:
                Text(page, (x[c] + x[c + 1]) / 2, baseline, size, cells[c], TextAnchor::Centre);
                break;
              case CellAlign::Right:
                Text(page, x[c + 1] - padding, baseline, size, cells[c], TextAnchor::Right);
                break;
              case CellAlign::DecimalPoint: {
                const double point = x[c + 1] - padding - m.fractionWidth[c];
                const double integer = width_.Millimetres(SplitAtPoint(cells[c]).first, size);
                Text(page, point - integer, baseline, size, cells[c], TextAnchor::Left);
                break;
              }
            }
          }
        }
      }
      done += onPage;
      sink(page);
    }
  }

 private:
  Page StartPage(int number, const std::string& title) const {
    Page page;
    page.widthMm = g_.width;
    page.heightMm = g_.height;
    page.number = number;
    page.count = pageCount_;
    const double right = g_.width - g_.margin;
    Text(page, g_.margin, g_.headerBaseline, settings_.headerPt, settings_.program, TextAnchor::Left);
    Text(page, g_.width / 2, g_.headerBaseline, settings_.headerPt, settings_.lineName, TextAnchor::Centre);
    Text(page, right, g_.headerBaseline, settings_.headerPt, settings_.date, TextAnchor::Right);
    Line(page, g_.margin, g_.headerRule, right, g_.headerRule, kRuleMm);
    Text(page, g_.width / 2, g_.titleBaseline, settings_.titlePt, title, TextAnchor::Centre);
    Text(page, g_.width / 2, g_.footerBaseline, settings_.headerPt, PageFooter(number, pageCount_), TextAnchor::Centre);
    return page;
  }

  // The heading's cells, each centred in its box, with the rules between
  // them (the frame around the whole is drawn with the table's).
  static void Heading(Page& page, const TableLook& look, const std::vector<double>& x, double top, double row,
                      double size) {
    for (const HeadingCell& cell : look.heading) {
      const double left = x[cell.column];
      const double right = x[cell.column + cell.columnSpan];
      const double y0 = top + static_cast<double>(cell.row) * row;
      const double y1 = y0 + static_cast<double>(cell.rowSpan) * row;
      const double baseline = (y0 + y1) / 2 + kBaselineBelowMiddleEm * size * kMmPerPt;
      Text(page, (left + right) / 2, baseline, size, cell.text, TextAnchor::Centre);
      if (cell.row + cell.rowSpan < look.headingRows) Line(page, left, y1, right, y1, kThinRuleMm);
      if (cell.column + cell.columnSpan < look.align.size()) Line(page, right, y0, right, y1, kThinRuleMm);
    }
  }

  static void Text(Page& page, double x, double y, double size, const std::string& text, TextAnchor anchor) {
    if (text.empty()) return;
    page.ops.emplace_back(TextOp{x, y, size, text, anchor});
  }

  static void Line(Page& page, double x1, double y1, double x2, double y2, double w) {
    page.ops.emplace_back(LineOp{x1, y1, x2, y2, w});
  }

  const PageSettings& settings_;
  const Geometry& g_;
  const TextWidth& width_;
  const int pageCount_;
};

}  // namespace

std::u32string CodePoints(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    std::size_t length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      length = 2, c = b & 0x1F, least = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      length = 3, c = b & 0x0F, least = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      length = 4, c = b & 0x07, least = 0x10000;
    }
    std::size_t k = 1;
    for (; length > 0 && k < length && i + k < utf8.size(); ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) break;
      c = (c << 6) | (next & 0x3F);
    }
    if (length == 0 || k < length || c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      out.push_back(0xFFFD);
      i += std::max<std::size_t>(1, length == 0 ? 1 : k);
      continue;
    }
    out.push_back(c);
    i += length;
  }
  return out;
}

double MonospaceWidth::Millimetres(std::string_view utf8, double sizePt) const {
  double ems = 0;
  for (const char32_t c : CodePoints(utf8)) ems += c < 0x1100 ? 0.5 : 1.0;
  return ems * sizePt * kMmPerPt;
}

bool RowsInMemory::Next(std::vector<std::string>& cells) {
  if (next_ >= rows_.size()) return false;
  cells = rows_[next_++];
  return true;
}

TableLook CurveTableLook() {
  using A = CellAlign;
  TableLook look{"直线、曲线及转角表", 2, {}, {}, false};
  look.heading = {{"交点号", 0, 0, 2, 1},
                  {"交点坐标", 0, 1, 1, 2},
                  {"X", 1, 1},
                  {"Y", 1, 2},
                  {"交点桩号", 0, 3, 2, 1},
                  {"转角", 0, 4, 1, 2},
                  {"左", 1, 4},
                  {"右", 1, 5},
                  {"曲线要素", 0, 6, 1, 7},
                  {"半径", 1, 6},
                  {"Ls1", 1, 7},
                  {"Ls2", 1, 8},
                  {"T1", 1, 9},
                  {"T2", 1, 10},
                  {"曲线长", 1, 11},
                  {"外距", 1, 12},
                  {"主点桩号", 0, 13, 1, 5},
                  {"ZH", 1, 13},
                  {"HY", 1, 14},
                  {"QZ", 1, 15},
                  {"YH", 1, 16},
                  {"HZ", 1, 17}};
  look.align.assign(18, A::DecimalPoint);
  look.align[0] = A::Centre;
  return look;
}

TableLook VerticalCurveTableLook() {
  using A = CellAlign;
  TableLook look{"竖曲线表", 2, {}, {}, false};
  look.heading = {
      {"序号", 0, 0, 2, 1}, {"变坡点", 0, 1, 1, 2}, {"桩号", 1, 1},       {"高程", 1, 2},    {"竖曲线要素", 0, 3, 1, 4},
      {"凸/凹", 1, 3},      {"半径", 1, 4},         {"切线长", 1, 5},     {"外距", 1, 6},    {"竖曲线", 0, 7, 1, 2},
      {"起点桩号", 1, 7},   {"终点桩号", 1, 8},     {"纵坡", 0, 9, 1, 2}, {"坡度(%)", 1, 9}, {"坡长", 1, 10}};
  look.align.assign(11, A::DecimalPoint);
  look.align[0] = A::Centre;
  look.align[3] = A::Centre;
  return look;
}

TableLook StakeCoordinateTableLook() {
  using A = CellAlign;
  TableLook look{"逐桩坐标表", 2, {}, {}, true};
  look.heading = {{"桩号", 0, 0, 2, 1}, {"坐标", 0, 1, 1, 2}, {"X", 1, 1}, {"Y", 1, 2}, {"方位角", 0, 3, 2, 1}};
  look.align.assign(4, A::DecimalPoint);
  return look;
}

double PaperWidthMm(Paper paper) { return paper == Paper::A4Portrait ? 210 : 420; }
double PaperHeightMm(Paper) { return 297; }

int LayOutTables(const std::vector<TableToPrint>& tables, const PageSettings& settings, const TextWidth& width,
                 const PageSink& sink) {
  const Geometry geometry(settings);
  std::vector<Measured> measured;
  int count = 0;
  for (const TableToPrint& table : tables) {
    measured.push_back(Measure(table, settings, geometry, width));
    count += measured.back().pages;
  }
  PageMaker maker(settings, geometry, width, count);
  int number = 0;
  for (std::size_t t = 0; t < tables.size(); ++t) maker.Table(tables[t], measured[t], number, sink);
  return count;
}

}  // namespace quorvane
