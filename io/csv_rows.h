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

// Splits a CSV file's bytes into rows of UTF-8 fields: the encodings
// CsvBytesToUtf8 reads (UTF-8 with or without a byte-order mark, UTF-16 with
// one, GB18030); fields separated by commas, quoted with '"' and "" for a
// quote; LF or CR LF. Blank lines are skipped. Throws CalculationError naming
// `fileName` and the line for a quote left open or bytes in no known encoding.
std::vector<CsvRow> ReadCsvRows(std::string_view bytes, const std::string& fileName);

}  // namespace quorvane
