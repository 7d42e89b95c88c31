// The point file read a row at a time: the rows and line numbers of
// hand-written files in the encodings spreadsheets save, as the whole-text
// reader gives them too, and of files whose rows straddle the reader's
// pieces (64 KiB), which must come out as the whole-text reader gives them.

#include "io/csv_row_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "calc/calculation_error.h"
#include "expect_error.h"
#include "io/csv_rows.h"

namespace quorvane {
namespace {

class TempFile {
 public:
  explicit TempFile(const std::string& bytes) {
    char name[] = "/tmp/csv_row_reader_XXXXXX";
    const int fd = mkstemp(name);
    path_ = name;
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
  }
  ~TempFile() { std::remove(path_.c_str()); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

using Rows = std::vector<std::pair<std::size_t, std::vector<std::string>>>;

Rows ReadAll(const std::string& path) {
  CsvRowReader reader(path);
  Rows rows;
  CsvRow row;
  while (reader.Next(row)) rows.emplace_back(row.line, row.fields);
  return rows;
}

Rows ReadWhole(const std::string& bytes, const std::string& path) {
  Rows rows;
  for (CsvRow& row : ReadCsvRows(bytes, path)) rows.emplace_back(row.line, std::move(row.fields));
  return rows;
}

struct HandCase {
  const char* what;
  std::string bytes;
  Rows rows;
};

TEST(CsvRowReader, HandWrittenFiles) {
  const std::vector<HandCase> cases = {
      {"plain, LF", "a,1,2\nb,3,4\n", {{1, {"a", "1", "2"}}, {2, {"b", "3", "4"}}}},
      {"CR LF, no last line end", "a,1\r\nb,2", {{1, {"a", "1"}}, {2, {"b", "2"}}}},
      {"byte-order mark", "\xEF\xBB\xBF点号,X\n", {{1, {"点号", "X"}}}},
      {"blank lines skipped, lines still counted", "\n  \na,1\n\n,\nb,2\n", {{3, {"a", "1"}}, {6, {"b", "2"}}}},
      {"quoted comma, doubled quote", "\"P,1\",\"say \"\"hi\"\"\",3\n", {{1, {"P,1", "say \"hi\"", "3"}}}},
      {"empty field after a quoted one", "\"a,b\",\"c\",\n", {{1, {"a,b", "c", ""}}}},
      {"quoted line break: the row keeps its first line", "x,\"a\nb\"\ny,1\n", {{1, {"x", "a\nb"}}, {3, {"y", "1"}}}},
      {"lone CR kept in the field", "a\rb,1\n", {{1, {"a\rb", "1"}}}},
      {"fewer fields than the row before, a quoted row between plain ones",
       "a,1,2\nb\n\"c\",3\nd,,\n",
       {{1, {"a", "1", "2"}}, {2, {"b"}}, {3, {"c", "3"}}, {4, {"d", "", ""}}}},
      {"empty file", "", {}},
      {"GB18030 (not UTF-8)", "\xB5\xE3\xBA\xC5,X\n", {{1, {"点号", "X"}}}},
      // 交 U+4EA4, 点 U+70B9.
      {"UTF-16 LE with its mark", std::string("\xFF\xFE\xA4\x4E\xB9\x70,\0X\0\n\0" "1\0\n\0", 16),
       {{1, {"交点", "X"}}, {2, {"1"}}}},
      {"UTF-16 BE with its mark", std::string("\xFE\xFF\x4E\xA4\x70\xB9\0,\0X\0\n\0" "1", 14),
       {{1, {"交点", "X"}}, {2, {"1"}}}},
  };
  for (const HandCase& c : cases) {
    const TempFile file(c.bytes);
    EXPECT_EQ(ReadAll(file.Path()), c.rows) << c.what;
    EXPECT_EQ(ReadWhole(c.bytes, file.Path()), c.rows) << c.what << ", whole text";
  }
}

// Rows that straddle the pieces the reader takes: a Chinese name cut between
// its bytes, a CR LF cut between CR and LF, a quoted field over the cut, and
// an ASCII start followed by GB18030 far into the file.
TEST(CsvRowReader, RowsOverPieceBoundsMatchTheWholeTextReader) {
  const std::size_t piece = 1 << 16;
  std::vector<std::pair<const char*, std::string>> cases;
  for (std::size_t shift = 0; shift < 4; ++shift) {
    std::string text(piece - 2 - shift, 'x');
    text += ",点号,\"q\"\"\n,\"\r\nr,1\r\n";
    cases.emplace_back("UTF-8 over the cut", std::move(text));
  }
  std::string crlf(piece - 1, 'y');
  crlf += "\r\nz,2\r\n";
  cases.emplace_back("CR LF over the cut", std::move(crlf));
  std::string gb = "a,1\n";
  while (gb.size() < 3 * piece) gb += "ascii row,1,2\n";
  gb += "\xB5\xE3,3\n";
  cases.emplace_back("GB18030 after 192 KiB of ASCII", std::move(gb));
  for (const auto& [what, bytes] : cases) {
    const TempFile file(bytes);
    EXPECT_EQ(ReadAll(file.Path()), ReadWhole(bytes, file.Path())) << what;
  }
}

TEST(CsvRowReader, RewindReadsAgainAndFaultsAreNamed) {
  const TempFile file("h,1\na,2\n");
  CsvRowReader reader(file.Path());
  CsvRow row;
  ASSERT_TRUE(reader.Next(row));
  ASSERT_TRUE(reader.Next(row));
  EXPECT_FALSE(reader.Next(row));
  reader.Rewind();
  ASSERT_TRUE(reader.Next(row));
  EXPECT_EQ(row.fields, (std::vector<std::string>{"h", "1"}));

  const TempFile open("a,1\nb,\"2\n");
  CsvRowReader unclosed(open.Path());
  ASSERT_TRUE(unclosed.Next(row));
  try {
    unclosed.Next(row);
    ADD_FAILURE() << "an open quote is refused";
  } catch (const CalculationError& e) {
    EXPECT_EQ(std::string(e.what()), "文件“" + open.Path() + "”第2行：引号没有结束");
  }
  EXPECT_THROW_MSG(ReadCsvRows("a,1\nb,\"2\n", "p.csv"), "文件“p.csv”第2行：引号没有结束");
  EXPECT_THROW(CsvRowReader("/nonexistent/p.csv"), CalculationError);
}

}  // namespace
}  // namespace quorvane
