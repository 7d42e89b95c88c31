#include "ui/line/stake_export.h"

#include <cmath>

#include "calc/calculation_error.h"
#include "io/atomic_file.h"
#include "io/export.h"
#include "report/line_text.h"
#include "ui/line/line_text.h"
#include "ui/line/stake_model.h"

namespace quorvane::ui {

void WriteStakeFile(const std::string& path, const StakeModel& stakes, const std::vector<int>& rows) {
  const std::optional<ExportFormat> format = ExportFormatOf(path);
  if (!format) throw CalculationError("只能导出为 .csv、.dat 或 .dxf 文件");
  const auto height = [](double H_m) { return std::isnan(H_m) ? 0.0 : H_m; };
  if (*format == ExportFormat::Csv) {
    std::vector<std::vector<std::string>> table;
    std::vector<std::string> line;
    for (const QString& title : stakes.Titles()) line.push_back(title.toStdString());
    table.push_back(line);
    for (int row : rows) {
      line.clear();
      for (const QString& text : stakes.Texts(row)) line.push_back(text.toStdString());
      // Coordinates are checked as every file checks them.
      const StakeRow& stake = stakes.RowAt(row);
      CoordinateText(stake.X_m), CoordinateText(stake.Y_m);
      table.push_back(std::move(line));
    }
    WriteFileAtomically(path, CsvText(table, true));
    return;
  }
  ExportDrawing drawing;
  for (int row : rows) {
    const StakeRow& s = stakes.RowAt(row);
    const std::string name = StationText(s.station_m);
    drawing.stakes.push_back({name, s.code, s.X_m, s.Y_m, height(s.H_m)});
    if (stakes.HasLeft()) drawing.leftPoints.push_back({name + "L", s.code, s.leftX_m, s.leftY_m, height(s.leftH_m)});
    if (stakes.HasRight())
      drawing.rightPoints.push_back({name + "R", s.code, s.rightX_m, s.rightY_m, height(s.rightH_m)});
  }
  if (*format == ExportFormat::Dat) {
    std::vector<ExportPoint> points;
    for (std::size_t i = 0; i < drawing.stakes.size(); ++i) {
      points.push_back(drawing.stakes[i]);
      if (stakes.HasLeft()) points.push_back(drawing.leftPoints[i]);
      if (stakes.HasRight()) points.push_back(drawing.rightPoints[i]);
    }
    WriteFileAtomically(path, DatText(points));
    return;
  }
  drawing.centreLine = drawing.stakes;
  drawing.leftLine = drawing.leftPoints;
  drawing.rightLine = drawing.rightPoints;
  WriteDxfFile(path, drawing);
}

void WriteTableCsv(const std::string& path, const std::vector<std::vector<std::string>>& table) {
  WriteFileAtomically(path, CsvText(table, true));
}

}  // namespace quorvane::ui
