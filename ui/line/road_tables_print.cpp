#include "ui/line/road_tables_print.h"

#include <QDate>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <memory>
#include <variant>

#include "io/pdf_writer.h"
#include "report/line_text.h"
#include "report/road_table_look.h"
#include "report/road_tables.h"
#include "ui/line/grid_model.h"
#include "ui/line/line_tables.h"

namespace quorvane::ui {
namespace {

const QString kFontFamily = QStringLiteral("WenQuanYi Micro Hei");

// The widths the layout measures texts with: the printed font's own, or a
// fixed pitch where the font is not installed.
const TextWidth& LayoutWidths() {
  static const std::unique_ptr<TextWidth> widths = []() -> std::unique_ptr<TextWidth> {
    if (QFile::exists(QString::fromLatin1(kTableFontPath))) {
      try {
        return std::make_unique<TrueTypeFont>(kTableFontPath);
      } catch (const std::exception&) {
      }
    }
    return std::make_unique<MonospaceWidth>();
  }();
  return *widths;
}

QPageLayout LayoutOf(Paper paper) {
  return QPageLayout(QPageSize(paper == Paper::A3Landscape ? QPageSize::A3 : QPageSize::A4),
                     paper == Paper::A3Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

// 横断面 columns after the stake table's own.
void AddSectionHeading(TableHeading& heading) {
  heading.groups.push_back({"横断面", heading.columns.size(), 4});
  for (const char* text : {"左宽", "右宽", "左横坡%", "右横坡%"}) heading.columns.push_back({text, ColumnAlign::Right});
}

}  // namespace

void PaintPage(QPainter& painter, const Page& page, double dotsPerMm) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  for (const PageOp& op : page.ops) {
    if (const auto* line = std::get_if<LineOp>(&op)) {
      QPen pen(Qt::black);
      pen.setWidthF(std::max(line->widthMm * dotsPerMm, 1.0));
      pen.setCapStyle(Qt::FlatCap);
      painter.setPen(pen);
      painter.drawLine(QPointF(line->x1Mm * dotsPerMm, line->y1Mm * dotsPerMm),
                       QPointF(line->x2Mm * dotsPerMm, line->y2Mm * dotsPerMm));
      continue;
    }
    const auto& text = std::get<TextOp>(op);
    QFont font(kFontFamily);
    font.setPointSizeF(text.sizePt);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QString utf16 = QString::fromStdString(text.utf8);
    const double width = QFontMetricsF(font, painter.device()).horizontalAdvance(utf16);
    double x = text.xMm * dotsPerMm;
    if (text.anchor == TextAnchor::Centre) x -= width / 2;
    if (text.anchor == TextAnchor::Right) x -= width;
    painter.drawText(QPointF(x, text.yMm * dotsPerMm), utf16);
  }
  painter.restore();
}

std::vector<PrintedTable> StandardTables(const RoadTablesSource& source) {
  std::vector<PrintedTable> tables;
  const auto add = [&](const RoadTable& table, Paper paper, bool sideBySide) {
    tables.push_back({LookOf(table.heading, sideBySide), table.rows, paper});
  };
  if (source.jd && source.line != nullptr) {
    const JdDesign design = DesignFromJd(source.jd->rows, source.jd->startStation_m);
    const Line designed(design.start, design.elements, source.line->Equations());
    add(CurveTable(source.jd->rows, design, designed), Paper::A3Landscape, false);
  }
  if (source.profile != nullptr && source.line != nullptr) {
    add(VerticalCurveTable(*source.line, *source.profile), Paper::A4Portrait, false);
  }
  if (source.stakes != nullptr) {
    StakeCoordinateTable table(source.leftEdge, source.rightEdge);
    RoadTable stakes{table.Heading(), {}};
    const bool section = source.section != nullptr;
    if (section) AddSectionHeading(stakes.heading);
    std::size_t cursor = 0;
    for (const StakeRow& row : *source.stakes) {
      std::vector<std::string> cells = table.Cells({row.stake.station_m, row.stake.point.X_m, row.stake.point.Y_m,
                                                    row.stake.point.azimuth_rad, row.left, row.right});
      // 断链 stakes show both stations as the stake table does.
      if (row.stake.equation != nullptr) cells[0] = StakeCellText(row, StakeColumn::Station, 3);
      if (section) {
        const SectionAt at = source.section->At(row.stake.distance_m, cursor);
        for (const double value : {at.leftWidth_m, at.rightWidth_m, at.leftSlope_percent, at.rightSlope_percent})
          cells.push_back(FixedText(value, 3));
      }
      stakes.rows.push_back(std::move(cells));
    }
    const bool wide = section || (source.leftEdge && source.rightEdge);
    add(stakes, section ? Paper::A3Landscape : Paper::A4Portrait, !wide);
  }
  return tables;
}

std::optional<JdTable> TypedJdTable(const GridModel& jds, const GridModel& start) {
  if (!ReadJdTables(jds, start).design) return std::nullopt;
  JdTable table{start.Read(0, 0).value, {}};
  for (int row = 0; row < jds.rowCount(); ++row) {
    bool blank = true;
    for (int column = 0; column < jds.InputColumns(); ++column)
      blank = blank && jds.Cell(row, column).trimmed().isEmpty();
    if (blank) continue;
    table.rows.push_back({jds.Cell(row, 0).trimmed().toStdString(), jds.Read(row, 1).value, jds.Read(row, 2).value,
                          jds.Read(row, 3).value, jds.Read(row, 4).value, jds.Read(row, 5).value});
  }
  for (std::size_t i = 0; i < table.rows.size(); ++i) {
    if (!table.rows[i].name.empty()) continue;
    table.rows[i].name = i == 0 ? "QD" : i + 1 == table.rows.size() ? "ZD" : "JD" + std::to_string(i);
  }
  return table;
}

int PrintTables(QPrinter& printer, const std::vector<PrintedTable>& tables, const std::string& lineName) {
  if (tables.empty()) return 0;
  printer.setFullPage(true);
  printer.setPageLayout(LayoutOf(tables.front().paper));
  QPainter painter;
  if (!painter.begin(&printer)) return 0;
  const double dotsPerMm = printer.resolution() / 25.4;
  PageSettings settings;
  settings.lineName = lineName;
  settings.date = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")).toStdString();
  int pages = 0;
  for (const PrintedTable& table : tables) {
    settings.paper = table.paper;
    RowsInMemory rows(table.rows);
    LayOutTables({{table.look, &rows}}, settings, LayoutWidths(), [&](const Page& page) {
      if (pages > 0) {
        printer.setPageLayout(LayoutOf(table.paper));
        printer.newPage();
      }
      PaintPage(painter, page, dotsPerMm);
      ++pages;
    });
  }
  painter.end();
  return pages;
}

void ShowTablesPrintPreview(QWidget* parent, const QString& title, const std::vector<PrintedTable>& tables,
                            const std::string& lineName) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(title);
  QPrintPreviewDialog dialog(&printer, parent);
  dialog.setWindowTitle(QStringLiteral("打印预览"));
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                   [&](QPrinter* target) { PrintTables(*target, tables, lineName); });
  dialog.exec();
}

}  // namespace quorvane::ui
