#include "io/csv_rows.h"

#include "calc/calculation_error.h"
#include "io/text_encoding.h"

namespace quorvane {

std::vector<CsvRow> ReadCsvRows(std::string_view bytes, const std::string& fileName) {
  const std::string utf8 = CsvBytesToUtf8(bytes, fileName);
  const std::string_view text = utf8;
  std::vector<CsvRow> rows;
  CsvRow row;
  std::string field;
  std::size_t line = 1;
  row.line = 1;
  bool quoted = false;
  bool fieldStarted = false;
  std::size_t quoteLine = 0;
  const auto endRow = [&] {
    if (fieldStarted || !row.fields.empty()) {
      row.fields.push_back(std::move(field));
      bool blank = true;
      for (const auto& f : row.fields) blank = blank && f.find_first_not_of(" \t") == std::string::npos;
      if (!blank) rows.push_back(std::move(row));
    }
    row = CsvRow{};
    field.clear();
    fieldStarted = false;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          quoted = false;
        }
      } else {
        if (c == '\n') ++line;
        field += c;
      }
      continue;
    }
    if (!fieldStarted && row.fields.empty()) row.line = line;
    if (c == '"') {
      quoted = true;
      fieldStarted = true;
      quoteLine = line;
    } else if (c == ',') {
      row.fields.push_back(std::move(field));
      field.clear();
      fieldStarted = true;
    } else if (c == '\n') {
      endRow();
      ++line;
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      // the LF ends the row
    } else {
      field += c;
      fieldStarted = true;
    }
  }
  if (quoted) {
    throw CalculationError("文件“" + fileName + "”第" + std::to_string(quoteLine) + "行：引号没有结束");
  }
  endRow();
  return rows;
}

}  // namespace quorvane
