#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "io/csv_rows.h"

namespace quorvane {

// A CSV file read one row at a time, with the rules of ReadCsvRows (fields
// separated by commas, quoted with '"' and "" for a quote, a quoted field may
// hold line breaks; LF or CR LF; blank lines skipped; each row keeps the line
// it starts on). A UTF-8 file (with or without a byte-order mark) is read in
// pieces of a fixed size, so memory does not grow with the file: it is
// scanned once, piece by piece, to tell UTF-8 from GB18030, then read. A
// UTF-16 or GB18030 file is converted whole first (CsvBytesToUtf8), as such
// files come from spreadsheet programs and are small.
class CsvRowReader {
 public:
  // Throws CalculationError as ReadWholeFile does (无法读取文件“…”：…) and for
  // bytes in no known encoding.
  explicit CsvRowReader(const std::string& path);
  // The rows of a file's bytes already in memory, in any encoding
  // CsvBytesToUtf8 reads; `fileName` names the file in messages.
  CsvRowReader(std::string_view bytes, const std::string& fileName);
  ~CsvRowReader();
  CsvRowReader(const CsvRowReader&) = delete;
  CsvRowReader& operator=(const CsvRowReader&) = delete;

  // The next row, or false after the last. Throws CalculationError naming
  // the file and the line for a quote left open.
  bool Next(CsvRow& row);

  // Back to the first row.
  void Rewind();

 private:
  bool NextAnyRow(CsvRow& row);  // quotes, line breaks in fields, the last line
  bool Fill();
  bool Get(char& c);
  bool Peek(char& c);

  std::string path_;
  std::FILE* file_ = nullptr;  // null when the text was converted whole
  std::string buffer_;
  std::size_t at_ = 0;
  std::size_t line_ = 1;
  std::string whole_;  // the converted text of a UTF-16 or GB18030 file
};

}  // namespace quorvane
