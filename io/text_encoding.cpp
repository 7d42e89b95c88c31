#include "io/text_encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <optional>

#include "calc/calculation_error.h"

namespace quorvane {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

[[noreturn]] void Refuse(const std::string& fileName, const std::string& what) {
  throw CalculationError("文件“" + fileName + "”" + what);
}

// `bytes` in `encoding` (an iconv name) as UTF-8; throws naming the byte
// offset where they stop making sense.
std::string ToUtf8(std::string_view bytes, const char* encoding, const std::string& fileName, const char* shownName) {
  iconv_t cd = iconv_open("UTF-8", encoding);
  if (cd == reinterpret_cast<iconv_t>(-1)) Refuse(fileName, std::string("的编码 ") + shownName + " 无法转换");
  std::string out(bytes.size() * 2 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  std::size_t done = 0;
  while (inLeft > 0) {
    char* to = out.data() + done;
    std::size_t outLeft = out.size() - done;
    const std::size_t result = iconv(cd, &in, &inLeft, &to, &outLeft);
    done = out.size() - outLeft;
    if (result != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    iconv_close(cd);
    const std::size_t offset = bytes.size() - inLeft;
    const std::string_view before = bytes.substr(0, offset);
    // Lines counted on the bytes: a line feed is one byte, or two in UTF-16.
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(before.begin(), before.end(), '\n'));
    Refuse(fileName, "第" + std::to_string(line) + "行附近的内容不是 " + shownName + " 编码的文字");
  }
  iconv_close(cd);
  out.resize(done);
  return out;
}

// The value of encoding="…" in an XML declaration at the start of the text
// (read as ASCII), in capitals; nothing when there is none.
std::optional<std::string> DeclaredEncoding(std::string_view text) {
  if (text.substr(0, 5) != "<?xml") return std::nullopt;
  const std::string_view declaration = text.substr(0, text.find("?>"));
  const auto at = declaration.find("encoding");
  if (at == std::string_view::npos) return std::nullopt;
  const auto quote = declaration.find_first_of("\"'", at);
  if (quote == std::string_view::npos) return std::nullopt;
  const auto close = declaration.find(declaration[quote], quote + 1);
  if (close == std::string_view::npos) return std::nullopt;
  std::string name(declaration.substr(quote + 1, close - quote - 1));
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::toupper(c); });
  return name;
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t extra = 0;
    unsigned code = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
      code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      code = c & 0x07;
    } else {
      return false;
    }
    if (i + extra >= n) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto f = static_cast<unsigned char>(bytes[i + k]);
      if ((f & 0xC0) != 0x80) return false;
      code = code << 6 | (f & 0x3F);
    }
    if ((extra == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
        (extra == 3 && (code < 0x10000 || code > 0x10FFFF))) {
      return false;
    }
    i += extra + 1;
  }
  return true;
}

std::string XmlBytesToUtf8(std::string_view bytes, const std::string& fileName) {
  if (bytes.substr(0, 3) == kUtf8Mark) bytes.remove_prefix(3);
  if (bytes.substr(0, 2) == kUtf16LeMark) return ToUtf8(bytes.substr(2), "UTF-16LE", fileName, "UTF-16");
  if (bytes.substr(0, 2) == kUtf16BeMark) return ToUtf8(bytes.substr(2), "UTF-16BE", fileName, "UTF-16");
  if (bytes.size() >= 2 && bytes[0] == '<' && bytes[1] == '\0') return ToUtf8(bytes, "UTF-16LE", fileName, "UTF-16");
  if (bytes.size() >= 2 && bytes[0] == '\0' && bytes[1] == '<') return ToUtf8(bytes, "UTF-16BE", fileName, "UTF-16");
  const auto declared = DeclaredEncoding(bytes);
  if (!declared || *declared == "UTF-8" || *declared == "UTF8" || *declared == "US-ASCII" || *declared == "ASCII") {
    return std::string(bytes);
  }
  if (*declared == "GB2312" || *declared == "GBK" || *declared == "GB18030" || *declared == "CP936") {
    return ToUtf8(bytes, "GB18030", fileName, declared->c_str());
  }
  if (*declared == "ISO-8859-1" || *declared == "LATIN1" || *declared == "WINDOWS-1252") {
    return ToUtf8(bytes, declared->c_str(), fileName, declared->c_str());
  }
  // UTF-16 declared but written without a zero byte is a mislabelled 8-bit file.
  if (*declared == "UTF-16" && IsUtf8(bytes)) return std::string(bytes);
  Refuse(fileName, "声明的编码“" + *declared + "”无法读取（可用 UTF-8、UTF-16、GB2312、GBK 或 GB18030）");
}

std::string CsvBytesToUtf8(std::string_view bytes, const std::string& fileName) {
  if (bytes.substr(0, 3) == kUtf8Mark) bytes.remove_prefix(3);
  if (bytes.substr(0, 2) == kUtf16LeMark) return ToUtf8(bytes.substr(2), "UTF-16LE", fileName, "UTF-16");
  if (bytes.substr(0, 2) == kUtf16BeMark) return ToUtf8(bytes.substr(2), "UTF-16BE", fileName, "UTF-16");
  if (IsUtf8(bytes)) return std::string(bytes);
  return ToUtf8(bytes, "GB18030", fileName, "UTF-8 或 GB18030");
}

}  // namespace quorvane
