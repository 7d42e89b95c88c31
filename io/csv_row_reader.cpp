#include "io/csv_row_reader.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "calc/calculation_error.h"
#include "io/read_file.h"
#include "io/text_encoding.h"

namespace quorvane {
namespace {

constexpr std::size_t kPiece = 1 << 16;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// How many bytes at the end of `bytes` start a UTF-8 sequence the piece cuts
// short (0 to 3): they are carried over to the next piece.
std::size_t CutSequence(std::string_view bytes) {
  for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
    const auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
    if ((c & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return length > back ? back : 0;
  }
  return 0;
}

// Whether the whole file is UTF-8, read piece by piece.
bool FileIsUtf8(std::FILE* file) {
  std::string piece;
  std::string carried;
  char block[kPiece];
  bool first = true;
  for (;;) {
    const std::size_t got = std::fread(block, 1, sizeof block, file);
    piece = carried;
    piece.append(block, got);
    if (first && std::string_view(piece).substr(0, 3) == kUtf8Mark) piece.erase(0, 3);
    first = false;
    if (got == 0) return IsUtf8(piece);
    const std::size_t cut = CutSequence(piece);
    carried = piece.substr(piece.size() - cut);
    if (!IsUtf8(std::string_view(piece).substr(0, piece.size() - cut))) return false;
  }
}

}  // namespace

CsvRowReader::CsvRowReader(const std::string& path) : path_(path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw CalculationError("无法读取文件“" + path + "”：这是一个文件夹");
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) {
    const int error = errno;
    throw CalculationError("无法读取文件“" + path + "”：" +
                           (error == ENOENT   ? std::string("文件不存在")
                            : error == EACCES ? std::string("没有读取权限")
                                              : std::string(std::strerror(error))));
  }
  char mark[2] = {};
  const std::size_t got = std::fread(mark, 1, 2, file_);
  const bool utf16 = got == 2 && ((mark[0] == '\xFF' && mark[1] == '\xFE') || (mark[0] == '\xFE' && mark[1] == '\xFF'));
  std::rewind(file_);
  if (utf16 || !FileIsUtf8(file_)) {
    std::fclose(file_);
    file_ = nullptr;
    whole_ = CsvBytesToUtf8(ReadWholeFile(path), path);
  }
  Rewind();
}

CsvRowReader::CsvRowReader(std::string_view bytes, const std::string& fileName)
    : path_(fileName), whole_(CsvBytesToUtf8(bytes, fileName)) {
  Rewind();
}

CsvRowReader::~CsvRowReader() {
  if (file_ != nullptr) std::fclose(file_);
}

void CsvRowReader::Rewind() {
  line_ = 1;
  at_ = 0;
  if (file_ == nullptr) {
    buffer_ = whole_;
    return;
  }
  std::rewind(file_);
  buffer_.clear();
  Fill();
  if (std::string_view(buffer_).substr(0, 3) == kUtf8Mark) at_ = 3;
}

bool CsvRowReader::Fill() {
  if (file_ == nullptr) return false;
  buffer_.erase(0, at_);
  at_ = 0;
  const std::size_t old = buffer_.size();
  buffer_.resize(old + kPiece);
  const std::size_t got = std::fread(buffer_.data() + old, 1, kPiece, file_);
  buffer_.resize(old + got);
  if (got == 0 && std::ferror(file_)) throw CalculationError("无法读取文件“" + path_ + "”：读取出错");
  return got > 0;
}

bool CsvRowReader::Get(char& c) {
  if (at_ >= buffer_.size() && !Fill()) return false;
  c = buffer_[at_++];
  return true;
}

bool CsvRowReader::Peek(char& c) {
  if (at_ >= buffer_.size() && !Fill()) return false;
  c = buffer_[at_];
  return true;
}

bool CsvRowReader::Next(CsvRow& row) {
  // Most rows lie on one line without quotes: they are split where they lie
  // in the buffer, into the row's fields as they were (their room reused).
  for (;;) {
    std::size_t end = buffer_.find('\n', at_);
    if (end == std::string::npos && Fill()) end = buffer_.find('\n', at_);
    if (end == std::string::npos) return NextAnyRow(row);  // the last line, or one longer than a piece
    std::string_view line(buffer_.data() + at_, end - at_);
    if (line.find('"') != std::string_view::npos) return NextAnyRow(row);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    at_ = end + 1;
    row.line = line_++;
    std::size_t count = 0;
    bool blank = true;
    for (;;) {
      const std::size_t comma = line.find(',');
      const std::string_view field = line.substr(0, comma);
      if (count < row.fields.size()) {
        row.fields[count].assign(field);
      } else {
        row.fields.emplace_back(field);
      }
      ++count;
      blank = blank && field.find_first_not_of(" \t") == std::string_view::npos;
      if (comma == std::string_view::npos) break;
      line.remove_prefix(comma + 1);
    }
    row.fields.resize(count);
    if (!blank) return true;
  }
}

bool CsvRowReader::NextAnyRow(CsvRow& row) {
  // The rules of ReadCsvRows, one row at a time.
  for (;;) {
    row.fields.clear();
    row.line = line_;
    std::string field;
    bool fieldStarted = false;
    bool quoted = false;
    std::size_t quoteLine = 0;
    bool any = false;
    char c = 0;
    bool ended = false;
    while (Get(c)) {
      any = true;
      if (quoted) {
        if (c == '"') {
          char next = 0;
          if (Peek(next) && next == '"') {
            field += '"';
            ++at_;
          } else {
            quoted = false;
          }
        } else {
          if (c == '\n') ++line_;
          field += c;
        }
        continue;
      }
      if (!fieldStarted && row.fields.empty()) row.line = line_;
      if (c == '"') {
        quoted = true;
        fieldStarted = true;
        quoteLine = line_;
      } else if (c == ',') {
        row.fields.push_back(std::move(field));
        field.clear();
        fieldStarted = true;
      } else if (c == '\n') {
        ++line_;
        ended = true;
        break;
      } else if (c == '\r') {
        char next = 0;
        if (!(Peek(next) && next == '\n')) {
          field += c;
          fieldStarted = true;
        }
      } else {
        field += c;
        fieldStarted = true;
      }
    }
    if (quoted) {
      throw CalculationError("文件“" + path_ + "”第" + std::to_string(quoteLine) + "行：引号没有结束");
    }
    if (!any) return false;
    if (fieldStarted || !row.fields.empty()) {
      row.fields.push_back(std::move(field));
      bool blank = true;
      for (const auto& f : row.fields) blank = blank && f.find_first_not_of(" \t") == std::string::npos;
      if (!blank) return true;
    }
    if (!ended) return false;
  }
}

}  // namespace quorvane
