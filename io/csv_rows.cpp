#include "io/csv_rows.h"

#include "io/csv_row_reader.h"

namespace quorvane {

std::vector<CsvRow> ReadCsvRows(std::string_view bytes, const std::string& fileName) {
  CsvRowReader reader(bytes, fileName);
  std::vector<CsvRow> rows;
  CsvRow row;
  while (reader.Next(row)) rows.push_back(row);
  return rows;
}

}  // namespace quorvane
