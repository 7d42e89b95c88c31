#include "ui/line/line_tables.h"

#include <QRegularExpression>
#include <cmath>
#include <exception>

#include "calc/calculation_error.h"
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

// The ordinal a message names ("第3个线元…" is 3 for "线元"), or 0.
int OrdinalIn(const QString& message, const QString& noun) {
  const QRegularExpression pattern(QStringLiteral("第\\s*(\\d+)\\s*个") + QRegularExpression::escape(noun));
  const QRegularExpressionMatch match = pattern.match(message);
  return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// Puts a model error beside the row of the item it names (the ordinal's
// entry of `rowOf`), else on the table as a whole.
void Place(TableErrors& errors, const QString& message, const QString& noun, const std::vector<int>& rowOf) {
  const int ordinal = OrdinalIn(message, noun);
  if (ordinal >= 1 && ordinal <= static_cast<int>(rowOf.size())) {
    errors.rows[rowOf[static_cast<std::size_t>(ordinal - 1)]] = message;
  } else {
    errors.whole = message;
  }
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

// A radius cell: empty or 0 is a straight end (infinite).
double Radius(const CellReading& reading) {
  return reading.blank || reading.value == 0 ? kInfiniteRadius : reading.value;
}

}  // namespace

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
          {QStringLiteral("竖曲线长度"), CellKind::Number, {}}};
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
  {
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
  }

  std::vector<ElementSpec> elements;
  std::vector<int> elementRow;
  for (int row = 0; row < elementGrid.rowCount(); ++row) {
    if (BlankRow(elementGrid, row)) continue;
    ElementSpec design;
    const int type = Choice(elementGrid.Cell(row, 0), kTypes,
                            {{QStringLiteral("直"), QStringLiteral("line")},
                             {QStringLiteral("圆"), QStringLiteral("圆弧"), QStringLiteral("arc")},
                             {QStringLiteral("缓"), QStringLiteral("缓和"), QStringLiteral("spiral")}});
    if (type < 0) {
      reading.elements.rows[row] = QStringLiteral("类型应为直线、圆曲线或缓和曲线");
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
    if (BlankRow(equationGrid, row)) continue;
    equations.push_back({equationGrid.Read(row, 0).value, equationGrid.Read(row, 1).value});
    equationRow.push_back(row);
  }

  if (elements.empty() || !reading.start.Empty() || !reading.elements.Empty()) return reading;
  try {
    reading.line.emplace(start, std::move(elements), std::move(equations));
  } catch (const std::exception& error) {
    const QString message = QString::fromUtf8(error.what());
    if (OrdinalIn(message, QStringLiteral("线元")) > 0) {
      Place(reading.elements, message, QStringLiteral("线元"), elementRow);
    } else if (OrdinalIn(message, QStringLiteral("断链")) > 0) {
      Place(reading.equations, message, QStringLiteral("断链"), equationRow);
    } else if (message.contains(QStringLiteral("起点"))) {
      reading.start.rows[0] = message;
    } else {
      reading.elements.whole = message;
    }
  }
  return reading;
}

JdReading ReadJdTables(const GridModel& jdGrid, const GridModel& startGrid) {
  JdReading reading;
  std::vector<JdRow> rows;
  std::vector<int> rowOf;
  for (int row = 0; row < jdGrid.rowCount(); ++row) {
    if (BlankRow(jdGrid, row)) continue;
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
  if (rows.empty()) return reading;
  // Unnamed rows take the names a design table gives them.
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (!rows[i].name.empty()) continue;
    rows[i].name = i == 0 ? "QD" : i + 1 == rows.size() ? "ZD" : "JD" + std::to_string(i);
  }
  try {
    reading.design = DesignFromJd(rows, startGrid.Read(0, 0).value);
  } catch (const std::exception& error) {
    const QString message = QString::fromUtf8(error.what());
    // The row whose name the message holds, the longest name first (JD12
    // before JD1), not followed by another digit.
    int best = -1;
    qsizetype bestLength = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const QString name = QString::fromStdString(rows[i].name);
      const QRegularExpression pattern(QRegularExpression::escape(name) + QStringLiteral("(?!\\d)"));
      if (pattern.match(message).hasMatch() && name.size() > bestLength) {
        best = rowOf[i];
        bestLength = name.size();
      }
    }
    if (best < 0 && OrdinalIn(message, QStringLiteral("交点")) > 0) {
      Place(reading.jds, message, QStringLiteral("交点"), rowOf);
    } else if (best >= 0) {
      reading.jds.rows[best] = message;
    } else {
      reading.jds.whole = message;
    }
  }
  return reading;
}

ProfileReading ReadProfileTable(const Line& line, const GridModel& grid) {
  ProfileReading reading;
  std::vector<GradePoint> points;
  std::vector<int> rowOf;
  for (int row = 0; row < grid.rowCount(); ++row) {
    if (BlankRow(grid, row)) continue;
    points.push_back({grid.Read(row, 0).value, grid.Read(row, 1).value, grid.Read(row, 2).value,
                      grid.Read(row, 3).value});
    rowOf.push_back(row);
  }
  if (points.empty()) return reading;
  try {
    reading.profile.emplace(line, std::move(points));
  } catch (const std::exception& error) {
    Place(reading.points, QString::fromUtf8(error.what()), QStringLiteral("变坡点"), rowOf);
  }
  return reading;
}

GridModel::Rows StartRows(const LineStart& start) {
  return {{Q(ExactText(start.X_m)), Q(ExactText(start.Y_m)), Q(ExactText(RadiansToDdMmSsExact(start.azimuth_rad))),
           Q(ExactText(start.station_m))}};
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
    rows.push_back({Q(ExactText(e.stationBack_m)), Q(ExactText(e.stationAhead_m))});
  return rows;
}

GridModel::Rows GradeRows(const std::vector<GradePoint>& points) {
  GridModel::Rows rows;
  for (const GradePoint& p : points) {
    rows.push_back({Q(ExactText(p.station_m)), Q(ExactText(p.elevation_m)),
                    p.radius_m > 0 ? Q(ExactText(p.radius_m)) : QString(),
                    p.curveLength_m > 0 ? Q(ExactText(p.curveLength_m)) : QString()});
  }
  return rows;
}

QStringList CurveTableTitles() {
  return {QStringLiteral("交点"), QStringLiteral("桩号"), QStringLiteral("转角"), QStringLiteral("R"),
          QStringLiteral("Ls1"),  QStringLiteral("Ls2"),  QStringLiteral("T1"),   QStringLiteral("T2"),
          QStringLiteral("L"),    QStringLiteral("E"),    QStringLiteral("ZH"),   QStringLiteral("HY"),
          QStringLiteral("QZ"),   QStringLiteral("YH"),   QStringLiteral("HZ")};
}

GridModel::Rows CurveTableRows(const JdDesign& design) {
  const auto fixed3 = [](double v) { return QString::number(v, 'f', 3); };
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
