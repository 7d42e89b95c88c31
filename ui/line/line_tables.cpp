#include "ui/line/line_tables.h"

#include <cmath>
#include <exception>
#include <string_view>

#include "calc/calculation_error.h"
#include "calc/messages.h"
#include "report/line_text.h"
#include "ui/line/line_text.h"

namespace quorvane::ui {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

bool BlankRow(const GridModel& grid, int row) {
  for (int column = 0; column < grid.InputColumns(); ++column)
    if (!grid.Cell(row, column).trimmed().isEmpty()) return false;
  return true;
}

// Puts a model error beside the row it is about (its index among the rows
// given, mapped to the table's row by `rowOf`), else on the table as a whole.
void Place(TableErrors& errors, const CalculationError& error, RowKind kind, const std::vector<int>& rowOf) {
  const QString message = QString::fromUtf8(error.what());
  if (error.Row().kind == kind && error.Row().index < rowOf.size()) {
    errors.rows[rowOf[error.Row().index]] = message;
  } else {
    errors.whole = message;
  }
}

// Checks every number and station cell of a row; false, with the row's
// error, when one does not read wholly.
bool CellsRead(const GridModel& grid, int row, const char* tab, TableErrors& errors) {
  for (int column = 0; column < grid.InputColumns(); ++column) {
    const QString message = CellError(grid, row, column, tab);
    if (message.isEmpty()) continue;
    errors.rows[row] = message;
    if (errors.cell.isEmpty()) errors.cell = message;
    return false;
  }
  return true;
}

// A choice cell: the index of the choice whose text, or first character, or
// one of `aliases`' texts it is; -1 for anything else.
int Choice(const QString& text, const QStringList& choices, const std::vector<QStringList>& aliases = {}) {
  const QString t = text.trimmed();
  for (qsizetype i = 0; i < choices.size(); ++i) {
    if (t == choices[i] || t == choices[i].left(1)) return static_cast<int>(i);
    if (static_cast<std::size_t>(i) < aliases.size() && aliases[static_cast<std::size_t>(i)].contains(t, Qt::CaseInsensitive))
      return static_cast<int>(i);
  }
  return -1;
}

const QStringList kTypes{QStringLiteral("直线"), QStringLiteral("圆曲线"), QStringLiteral("缓和曲线")};
const QStringList kTurns{QStringLiteral("左"), QStringLiteral("右")};
// A vertical curve's shape: empty is the parabola.
const QStringList kCurveShapes{QStringLiteral("抛物线"), QStringLiteral("圆曲线")};

// A radius cell: empty or 0 is a straight end (infinite).
double Radius(const CellReading& reading) {
  return reading.blank || reading.value == 0 ? kInfiniteRadius : reading.value;
}

}  // namespace

QString CellError(const GridModel& grid, int row, int column, const char* tab) {
  const CellKind kind = grid.Columns()[static_cast<std::size_t>(column)].kind;
  if (kind != CellKind::Number && kind != CellKind::Station) return {};
  if (grid.Read(row, column).whole) return {};
  return QString::fromUtf8(kind == CellKind::Station ? kCellNotStationPattern : kCellNotNumberPattern)
      .arg(QString::fromUtf8(tab))
      .arg(row + 1)
      .arg(grid.Columns()[static_cast<std::size_t>(column)].title)
      .arg(grid.Cell(row, column).trimmed());
}

std::vector<GridColumn> StartColumns() {
  return {{QStringLiteral("起点X"), CellKind::Number, {}},
          {QStringLiteral("起点Y"), CellKind::Number, {}},
          {QStringLiteral("起点方位角(度.分秒)"), CellKind::Number, {}},
          {QStringLiteral("起点桩号"), CellKind::Station, {}}};
}

std::vector<GridColumn> ElementColumns() {
  return {{QStringLiteral("类型"), CellKind::Choice, kTypes},
          {QStringLiteral("长度"), CellKind::Number, {}},
          {QStringLiteral("起点半径"), CellKind::Number, {}},
          {QStringLiteral("终点半径"), CellKind::Number, {}},
          {QStringLiteral("转向"), CellKind::Choice, kTurns}};
}

std::vector<GridColumn> JdColumns() {
  return {{QStringLiteral("交点"), CellKind::Text, {}},   {QStringLiteral("X"), CellKind::Number, {}},
          {QStringLiteral("Y"), CellKind::Number, {}},     {QStringLiteral("R"), CellKind::Number, {}},
          {QStringLiteral("Ls1"), CellKind::Number, {}},   {QStringLiteral("Ls2"), CellKind::Number, {}}};
}

std::vector<GridColumn> JdStartColumns() { return {{QStringLiteral("起点桩号"), CellKind::Station, {}}}; }

std::vector<GridColumn> EquationColumns() {
  return {{QStringLiteral("断前桩号"), CellKind::Station, {}}, {QStringLiteral("断后桩号"), CellKind::Station, {}}};
}

std::vector<GridColumn> ProfileColumns() {
  return {{QStringLiteral("变坡点桩号"), CellKind::Station, {}},
          {QStringLiteral("高程"), CellKind::Number, {}},
          {QStringLiteral("竖曲线半径"), CellKind::Number, {}},
          {QStringLiteral("竖曲线长度"), CellKind::Number, {}},
          {QStringLiteral("竖曲线线形"), CellKind::Choice, kCurveShapes}};
}

QString TurnText(int turn) { return turn < 0 ? kTurns[0] : turn > 0 ? kTurns[1] : QString(); }

QString TypeText(ElementType type) {
  switch (type) {
    case ElementType::Straight: return kTypes[0];
    case ElementType::Arc: return kTypes[1];
    case ElementType::Spiral: return kTypes[2];
  }
  return {};
}

LineReading ReadLineTables(const GridModel& startGrid, const GridModel& elementGrid, const GridModel& equationGrid) {
  LineReading reading;
  LineStart start;
  if (CellsRead(startGrid, 0, kElementTab, reading.start)) {
    const CellReading X = startGrid.Read(0, 0), Y = startGrid.Read(0, 1), a = startGrid.Read(0, 2),
                      s = startGrid.Read(0, 3);
    start.X_m = X.value;
    start.Y_m = Y.value;
    start.station_m = s.value;
    const std::optional<double> azimuth = DdMmSsToRadiansExact(a.value);
    if (!azimuth) {
      reading.start.rows[0] = QStringLiteral("起点方位角的分或秒不小于60");
    } else {
      start.azimuth_rad = *azimuth;
    }
    if (!std::isfinite(start.X_m) || !std::isfinite(start.Y_m) || !std::isfinite(a.value) ||
        !std::isfinite(start.station_m))
      reading.start.rows[0] = QString::fromUtf8(kLineStartNotFinitePrompt);
  }

  std::vector<ElementSpec> elements;
  std::vector<int> elementRow;
  for (int row = 0; row < elementGrid.rowCount(); ++row) {
    if (BlankRow(elementGrid, row) || !CellsRead(elementGrid, row, kElementTab, reading.elements)) continue;
    ElementSpec design;
    const int type = Choice(elementGrid.Cell(row, 0), kTypes,
                            {{QStringLiteral("直"), QStringLiteral("line")},
                             {QStringLiteral("圆"), QStringLiteral("圆弧"), QStringLiteral("arc")},
                             {QStringLiteral("缓"), QStringLiteral("缓和"), QStringLiteral("spiral")}});
    if (type < 0) {
      reading.elements.rows[row] = Q(kElementTypeText);
      continue;
    }
    design.type = static_cast<ElementType>(type);
    design.length_m = elementGrid.Read(row, 1).value;
    const double r1 = Radius(elementGrid.Read(row, 2)), r2 = Radius(elementGrid.Read(row, 3));
    if (design.type != ElementType::Straight) {
      const int turn = Choice(elementGrid.Cell(row, 4), kTurns,
                              {{QStringLiteral("左转"), QStringLiteral("L"), QStringLiteral("-1")},
                               {QStringLiteral("右转"), QStringLiteral("R"), QStringLiteral("1")}});
      if (turn < 0) {
        reading.elements.rows[row] = QStringLiteral("转向应为左或右");
        continue;
      }
      design.turn = turn == 0 ? -1 : 1;
    }
    if (design.type == ElementType::Arc) {
      const double r = std::isinf(r1) ? r2 : r1;
      if (std::isinf(r)) {
        reading.elements.rows[row] = QStringLiteral("圆曲线缺少半径");
        continue;
      }
      design.startRadius_m = design.endRadius_m = r;
    } else if (design.type == ElementType::Spiral) {
      design.startRadius_m = r1;
      design.endRadius_m = r2;
    }
    elements.push_back(design);
    elementRow.push_back(row);
  }

  std::vector<ChainageEquation> equations;
  std::vector<int> equationRow;
  for (int row = 0; row < equationGrid.rowCount(); ++row) {
    if (BlankRow(equationGrid, row) || !CellsRead(equationGrid, row, kEquationTab, reading.equations)) continue;
    equations.push_back({equationGrid.Read(row, 0).value, equationGrid.Read(row, 1).value});
    equationRow.push_back(row);
  }

  if (elements.empty() || !reading.start.Empty() || !reading.elements.Empty() || !reading.equations.Empty())
    return reading;
  try {
    reading.line.emplace(start, std::move(elements), std::move(equations));
  } catch (const CalculationError& error) {
    // The start was checked above: an error is an equation's or an
    // element's, by its row, or the element table's as a whole.
    if (error.Row().kind == RowKind::Equation) {
      Place(reading.equations, error, RowKind::Equation, equationRow);
    } else {
      Place(reading.elements, error, RowKind::Element, elementRow);
    }
  } catch (const std::exception& error) {
    reading.elements.whole = QString::fromUtf8(error.what());
  }
  return reading;
}

JdReading ReadJdTables(const GridModel& jdGrid, const GridModel& startGrid) {
  JdReading reading;
  std::vector<JdRow> rows;
  std::vector<int> rowOf;
  for (int row = 0; row < jdGrid.rowCount(); ++row) {
    if (BlankRow(jdGrid, row) || !CellsRead(jdGrid, row, kJdTab, reading.jds)) continue;
    JdRow jd;
    jd.name = jdGrid.Cell(row, 0).trimmed().toStdString();
    jd.X_m = jdGrid.Read(row, 1).value;
    jd.Y_m = jdGrid.Read(row, 2).value;
    jd.R_m = jdGrid.Read(row, 3).value;
    jd.Ls1_m = jdGrid.Read(row, 4).value;
    jd.Ls2_m = jdGrid.Read(row, 5).value;
    rows.push_back(jd);
    rowOf.push_back(row);
  }
  CellsRead(startGrid, 0, kJdTab, reading.start);
  if (rows.empty() || !reading.jds.Empty() || !reading.start.Empty()) return reading;
  // Unnamed rows take the names a design table gives them.
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!rows[i].name.empty()) continue;
    rows[i].name = i == 0 ? "QD" : i + 1 == rows.size() ? "ZD" : "JD" + std::to_string(i);
  }
  reading.table = JdTable{startGrid.Read(0, 0).value, rows};
  try {
    reading.design = DesignFromJd(rows, startGrid.Read(0, 0).value);
  } catch (const CalculationError& error) {
    Place(reading.jds, error, RowKind::Jd, rowOf);
  } catch (const std::exception& error) {
    reading.jds.whole = QString::fromUtf8(error.what());
  }
  return reading;
}

ProfileReading ReadProfileTable(const Line& line, const GridModel& grid) {
  ProfileReading reading;
  std::vector<GradePoint> points;
  std::vector<int> rowOf;
  for (int row = 0; row < grid.rowCount(); ++row) {
    if (BlankRow(grid, row) || !CellsRead(grid, row, kProfileTab, reading.points)) continue;
    const QString shape = grid.Cell(row, 4).trimmed();
    const int choice = shape.isEmpty() ? 0 : Choice(shape, kCurveShapes);
    if (choice < 0) {
      reading.points.rows[row] = Q(kGradeCurveShapeText);
      if (reading.points.cell.isEmpty()) reading.points.cell = reading.points.rows[row];
      continue;
    }
    points.push_back({grid.Read(row, 0).value, grid.Read(row, 1).value, grid.Read(row, 2).value,
                      grid.Read(row, 3).value, choice == 1});
    rowOf.push_back(row);
  }
  if (points.empty() || !reading.points.Empty()) return reading;
  try {
    reading.profile.emplace(line, std::move(points));
  } catch (const CalculationError& error) {
    Place(reading.points, error, RowKind::GradePoint, rowOf);
  } catch (const std::exception& error) {
    reading.points.whole = QString::fromUtf8(error.what());
  }
  return reading;
}

ProfileReading ReadProfile(const Line& line, std::vector<GradePoint> points) {
  ProfileReading reading;
  if (points.empty()) return reading;
  std::vector<int> rowOf(points.size());
  for (std::size_t i = 0; i < rowOf.size(); ++i) rowOf[i] = static_cast<int>(i);
  try {
    reading.profile.emplace(line, std::move(points));
  } catch (const CalculationError& error) {
    Place(reading.points, error, RowKind::GradePoint, rowOf);
  }
  return reading;
}

GridModel::Rows StartRows(const LineStart& start) {
  return {{Q(ExactText(start.X_m)), Q(ExactText(start.Y_m)), Q(ExactText(RadiansToDdMmSsExact(start.azimuth_rad))),
           Q(ExactStationText(start.station_m))}};
}

GridModel::Rows ElementRows(const std::vector<ElementSpec>& elements) {
  GridModel::Rows rows;
  for (const ElementSpec& e : elements) {
    const bool straight = e.type == ElementType::Straight;
    rows.push_back({TypeText(e.type), Q(ExactText(e.length_m)), straight ? QString() : Q(ExactText(e.startRadius_m)),
                    straight ? QString() : Q(ExactText(e.endRadius_m)), TurnText(e.turn)});
  }
  return rows;
}

GridModel::Rows EquationRows(const std::vector<ChainageEquation>& equations) {
  GridModel::Rows rows;
  for (const ChainageEquation& e : equations)
    rows.push_back({Q(ExactStationText(e.stationBack_m)), Q(ExactStationText(e.stationAhead_m))});
  return rows;
}

GridModel::Rows GradeRows(const std::vector<GradePoint>& points) {
  GridModel::Rows rows;
  for (const GradePoint& p : points) {
    rows.push_back({Q(ExactStationText(p.station_m)), Q(ExactText(p.elevation_m)),
                    p.radius_m > 0 ? Q(ExactText(p.radius_m)) : QString(),
                    p.curveLength_m > 0 ? Q(ExactText(p.curveLength_m)) : QString(),
                    p.circular ? kCurveShapes[1] : QString()});
  }
  return rows;
}

GridModel::Rows JdRows(const JdTable& table) {
  const auto length = [](double value) { return value == 0 ? QString() : Q(ExactText(value)); };
  GridModel::Rows rows;
  for (const JdRow& jd : table.rows)
    rows.push_back(
        {Q(jd.name), Q(ExactText(jd.X_m)), Q(ExactText(jd.Y_m)), length(jd.R_m), length(jd.Ls1_m), length(jd.Ls2_m)});
  return rows;
}

GridModel::Rows JdStartRows(const JdTable& table) { return {{Q(ExactStationText(table.startStation_m))}}; }

QStringList CurveTableTitles() {
  return {QStringLiteral("交点"), QStringLiteral("桩号"), QStringLiteral("转角"), QStringLiteral("R"),
          QStringLiteral("Ls1"),  QStringLiteral("Ls2"),  QStringLiteral("T1"),   QStringLiteral("T2"),
          QStringLiteral("L"),    QStringLiteral("E"),    QStringLiteral("ZH"),   QStringLiteral("HY"),
          QStringLiteral("QZ"),   QStringLiteral("YH"),   QStringLiteral("HZ")};
}

GridModel::Rows CurveTableRows(const JdDesign& design) {
  const auto fixed3 = [](double v) { return Q(FixedText(v, 3)); };
  GridModel::Rows rows;
  for (const JdCurve& c : design.curves) {
    const QString deflection =
        Q(AngleText(c.deflection_rad));
    rows.push_back({Q(c.name), Q(StationText(c.jdStation_m)), deflection, fixed3(c.R_m), fixed3(c.Ls1_m),
                    fixed3(c.Ls2_m), fixed3(c.T1_m), fixed3(c.T2_m), fixed3(c.L_m), fixed3(c.E_m),
                    Q(StationText(c.ZH_m)), Q(StationText(c.HY_m)), Q(StationText(c.QZ_m)), Q(StationText(c.YH_m)),
                    Q(StationText(c.HZ_m))});
  }
  return rows;
}

}  // namespace quorvane::ui
