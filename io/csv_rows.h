#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// One row of a CSV file: its fields and the line it starts on (1-based).
struct CsvRow {
  std::vector<std::string> fields;
  std::size_t line = 0;
};

// Splits CSV text (UTF-8, an optional byte-order mark; fields separated by
// commas, quoted with '"' and "" for a quote; LF or CR LF) into rows.
// Blank lines are skipped. Throws CalculationError naming `fileName` and the
// line for a quote left open.
std::vector<CsvRow> ReadCsvRows(std::string_view text, const std::string& fileName);

}  // namespace quorvane
