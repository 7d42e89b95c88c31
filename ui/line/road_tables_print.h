#pragma once

#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "calc/cross_section.h"
#include "calc/jd_design.h"
#include "calc/line.h"
#include "calc/profile.h"
#include "command/line_stakes.h"
#include "report/table_pages.h"

class QPainter;
class QPrinter;
class QWidget;

namespace quorvane::ui {

class GridModel;

// A laid-out page (report/table_pages.h, millimetres from the paper's top
// left corner) painted on `painter`, whose device is a whole page (no
// margins) with `dotsPerMm` device pixels to the millimetre. Texts are set in
// WenQuanYi Micro Hei at their size in points, standing on their baseline
// at their anchor, as the PDF writer sets them.
void PaintPage(QPainter& painter, const Page& page, double dotsPerMm);

// One table to print, with its rows and the paper it goes on.
struct PrintedTable {
  TableLook look;
  std::vector<std::vector<std::string>> rows;
  Paper paper = Paper::A4Portrait;
};

// What the 路线 window prints as its standard tables.
struct RoadTablesSource {
  const Line* line = nullptr;                     // the window's line
  const Profile* profile = nullptr;               // with a profile: 竖曲线表
  std::optional<JdTable> jd;                      // with a JD table that designs: 直线、曲线及转角表
  const std::vector<StakeRow>* stakes = nullptr;  // 逐桩坐标表, in station order
  bool leftEdge = false, rightEdge = false;       // the stakes' edge columns
  const CrossSection* section = nullptr;          // the widths and slopes the edges were staked with
};

// 直线、曲线及转角表 (A3 landscape, when there is a JD table), 竖曲线表 (with
// a profile) and 逐桩坐标表, in that order. The stake table shows the edges
// where the stakes have them, and with a cross-section also the widths and
// slopes each stake's edges were worked out with (横断面: 左宽, 右宽, 左横坡%,
// 右横坡%). Throws CalculationError as the tables' contents do.
std::vector<PrintedTable> StandardTables(const RoadTablesSource& source);

// The JD table typed in the 交点 tab (unnamed rows named QD, JD1, ..., ZD as
// the design names them), or none when it is empty or does not design a line.
std::optional<JdTable> TypedJdTable(const GridModel& jds, const GridModel& start);

// Prints the tables one after another, each from a new page on its own
// paper (a page layout per page), laid out with the embedded font's own
// widths. Pages are numbered within each table. Returns the number of pages.
int PrintTables(QPrinter& printer, const std::vector<PrintedTable>& tables, const std::string& lineName);

// The print preview of the tables, printing from it.
void ShowTablesPrintPreview(QWidget* parent, const QString& title, const std::vector<PrintedTable>& tables,
                            const std::string& lineName);

}  // namespace quorvane::ui
