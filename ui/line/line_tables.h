#pragma once

#include <QString>
#include <map>
#include <optional>
#include <vector>

#include "calc/jd_design.h"
#include "calc/line.h"
#include "calc/profile.h"
#include "ui/line/grid_model.h"

namespace quorvane::ui {

// The 路线 window's tables and how they are read into the whole-line model.
// Blank rows are skipped; an error is placed beside the row it comes from
// (by row number of its table) or, when no row causes it, said for the
// whole table.

std::vector<GridColumn> StartColumns();     // X, Y, 起点方位角 (DD.MMSS), 起点桩号: one row
std::vector<GridColumn> ElementColumns();   // 类型, 长度, 起点半径, 终点半径, 转向
std::vector<GridColumn> JdColumns();        // 交点, X, Y, R, Ls1, Ls2: first row the start, last the end
std::vector<GridColumn> JdStartColumns();   // 起点桩号: one row
std::vector<GridColumn> EquationColumns();  // 断前桩号, 断后桩号
std::vector<GridColumn> ProfileColumns();   // 变坡点桩号, 高程, 竖曲线半径, 竖曲线长度, 竖曲线线形

// Errors of one table: by row, and for the table as a whole. A cell that is
// not wholly a number or a station (blanks and full-width forms aside) is an
// error of its row that names the tab, row and column itself; the first such
// is also `cell`, so that 计算 and export can say it as it is.
struct TableErrors {
  std::map<int, QString> rows;
  QString whole;
  QString cell;
  bool Empty() const { return rows.empty() && whole.isEmpty(); }
};

// The tabs' names as the cell messages give them.
inline constexpr const char* kElementTab = "线元";
inline constexpr const char* kJdTab = "交点";
inline constexpr const char* kEquationTab = "断链";
inline constexpr const char* kProfileTab = "纵断面";
inline constexpr const char* kStakeTab = "逐桩坐标";

// The message of a cell of `grid` that does not read wholly as its column's
// kind ("纵断面 第3行 高程“13O.826”不是有效的数字"); empty for a good cell.
QString CellError(const GridModel& grid, int row, int column, const char* tab);

struct LineReading {
  std::optional<Line> line;
  TableErrors start, elements, equations;
};

// Reads the start row, the element rows and the chainage equations. An empty
// element table is no line (and no error).
LineReading ReadLineTables(const GridModel& start, const GridModel& elements, const GridModel& equations);

struct JdReading {
  std::optional<JdDesign> design;
  std::optional<JdTable> table;  // the rows as read (unnamed ones named), when every cell is good
  TableErrors jds, start;
};
JdReading ReadJdTables(const GridModel& jds, const GridModel& start);

struct ProfileReading {
  std::optional<Profile> profile;
  TableErrors points;
};
// Nothing (and no error) for an empty table.
ProfileReading ReadProfileTable(const Line& line, const GridModel& points);
// The same for grade points held already (a file's, its rows of the table
// counted from 0).
ProfileReading ReadProfile(const Line& line, std::vector<GradePoint> points);

// The rows that show a line, a design, a JD table or a profile (texts that
// read back to exactly the same numbers; stations in K-notation, a radius or
// spiral length of 0 blank).
GridModel::Rows StartRows(const LineStart& start);
GridModel::Rows ElementRows(const std::vector<ElementSpec>& elements);
GridModel::Rows EquationRows(const std::vector<ChainageEquation>& equations);
GridModel::Rows GradeRows(const std::vector<GradePoint>& points);
GridModel::Rows JdRows(const JdTable& table);
GridModel::Rows JdStartRows(const JdTable& table);

// The curve table of a JD design: 交点, 桩号, 转角 (DD.MMSS, 右 positive),
// R, Ls1, Ls2, T1, T2, L, E, ZH, HY, QZ, YH, HZ.
QStringList CurveTableTitles();
GridModel::Rows CurveTableRows(const JdDesign& design);

// Turn as the element table writes it.
QString TurnText(int turn);
QString TypeText(ElementType type);

}  // namespace quorvane::ui
