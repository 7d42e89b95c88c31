#include "io/cross_section_csv.h"

#include <cmath>

#include "calc/calculation_error.h"
#include "calc/messages.h"
#include "calc/read_number.h"
#include "io/csv_rows.h"

namespace quorvane {

namespace {

constexpr std::size_t kNumberColumns = 5;

bool IsNumberCell(std::string_view cell, std::size_t column) {
  if (IsBlankText(cell)) return false;
  return column == 0 ? IsWholeStation(cell) : IsWholeNumber(cell);
}

std::string FileLine(const std::string& fileName, std::size_t line, const char* text) {
  return "文件“" + fileName + "”" + CrossSectionRowMessage(line, text);
}

// The cell without the blanks ReadNumber skips at either end (the
// ideographic space among them).
std::string_view Trimmed(std::string_view cell) {
  const auto blankAt = [&](std::size_t i, std::size_t& width) {
    if (cell[i] == ' ' || cell[i] == '\t' || cell[i] == '\r' || cell[i] == '\n') return width = 1, true;
    if (cell.substr(i, 3) == "\xE3\x80\x80") return width = 3, true;  // U+3000
    return false;
  };
  std::size_t width = 0;
  while (!cell.empty() && blankAt(0, width)) cell.remove_prefix(width);
  while (!cell.empty()) {
    const std::size_t back = cell.size() >= 3 && cell.substr(cell.size() - 3) == "\xE3\x80\x80" ? 3 : 1;
    if (!blankAt(cell.size() - back, width)) break;
    cell.remove_suffix(back);
  }
  return cell;
}

}  // namespace

std::vector<CrossSectionRow> ReadCrossSectionCsv(std::string_view text, const std::string& fileName) {
  std::vector<CsvRow> csv = ReadCsvRows(text, fileName);
  // A heading holds no number in any of the cells that take one.
  if (!csv.empty()) {
    bool heading = true;
    for (std::size_t c = 0; c < kNumberColumns && c < csv.front().fields.size(); ++c) {
      heading = heading && !IsNumberCell(csv.front().fields[c], c);
    }
    if (heading) csv.erase(csv.begin());
  }
  if (csv.empty()) throw CalculationError("文件“" + fileName + "”：" + kCrossSectionEmptyPrompt);

  std::vector<CrossSectionRow> rows;
  rows.reserve(csv.size());
  for (const CsvRow& r : csv) {
    if (r.fields.size() != kNumberColumns && r.fields.size() != kNumberColumns + 1) {
      throw CalculationError(FileLine(fileName, r.line, kCrossSectionColumnsText));
    }
    double values[kNumberColumns];
    for (std::size_t c = 0; c < kNumberColumns; ++c) {
      const std::string& cell = r.fields[c];
      values[c] = c == 0 ? ReadStation(cell) : ReadNumber(cell);
      if (!IsNumberCell(cell, c) || !std::isfinite(values[c])) {
        throw CalculationError(CrossSectionCellMessage(fileName, r.line, c, cell));
      }
    }
    CrossSectionRow row{.station_m = values[0],
                        .leftWidth_m = values[1],
                        .rightWidth_m = values[2],
                        .leftSlope_percent = values[3],
                        .rightSlope_percent = values[4],
                        .line = r.line};
    if (r.fields.size() > kNumberColumns) {
      const std::string_view transition = Trimmed(r.fields[kNumberColumns]);
      if (transition == kHigherOrderTransitionName) {
        row.transition = WidthTransition::HigherOrder;
      } else if (!transition.empty() && transition != "线性") {
        throw CalculationError(FileLine(fileName, r.line, kCrossSectionTransitionText));
      }
    }
    rows.push_back(row);
  }
  return rows;
}

}  // namespace quorvane
