#include "io/pdf_writer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <map>

#include "calc/calculation_error.h"
#include "calc/messages.h"
#include "io/read_file.h"

#ifdef QUORVANE_HAVE_ZLIB
#include <zlib.h>
#endif

namespace quorvane {
namespace {

constexpr double kPtPerMm = 72.0 / 25.4;

// Big-endian fields of a font file, checked against its end.
class Bytes {
 public:
  Bytes(std::string_view data, const std::string& path) : data_(data), path_(path) {}
  std::uint32_t U32(std::size_t at) const {
    Need(at, 4);
    return (std::uint32_t{Byte(at)} << 24) | (std::uint32_t{Byte(at + 1)} << 16) | (std::uint32_t{Byte(at + 2)} << 8) |
           Byte(at + 3);
  }
  std::uint16_t U16(std::size_t at) const {
    Need(at, 2);
    return static_cast<std::uint16_t>((Byte(at) << 8) | Byte(at + 1));
  }
  std::int16_t I16(std::size_t at) const { return static_cast<std::int16_t>(U16(at)); }
  std::string_view Slice(std::size_t at, std::size_t length) const {
    Need(at, length);
    return data_.substr(at, length);
  }
  std::size_t Size() const { return data_.size(); }

 private:
  unsigned Byte(std::size_t at) const { return static_cast<unsigned char>(data_[at]); }
  void Need(std::size_t at, std::size_t length) const {
    if (at > data_.size() || length > data_.size() - at) {
      throw CalculationError(FontNotUsableMessage(path_));
    }
  }
  std::string_view data_;
  const std::string& path_;
};

void PutU16(std::string& out, std::size_t at, unsigned value) {
  out[at] = static_cast<char>((value >> 8) & 0xFF);
  out[at + 1] = static_cast<char>(value & 0xFF);
}
void PutU32(std::string& out, std::size_t at, std::uint32_t value) {
  for (int k = 0; k < 4; ++k) out[at + static_cast<std::size_t>(k)] = static_cast<char>((value >> (24 - 8 * k)) & 0xFF);
}
void AppendU16(std::string& out, unsigned value) {
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
  out.push_back(static_cast<char>(value & 0xFF));
}
void AppendU32(std::string& out, std::uint32_t value) {
  AppendU16(out, value >> 16);
  AppendU16(out, value & 0xFFFF);
}

std::uint32_t CheckSum(std::string_view data) {
  std::uint32_t sum = 0;
  for (std::size_t i = 0; i < data.size(); i += 4) {
    std::uint32_t word = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      word = (word << 8) | (i + k < data.size() ? static_cast<unsigned char>(data[i + k]) : 0u);
    }
    sum += word;
  }
  return sum;
}

// A number in a PDF: fixed point, at most three decimals, no trailing zeros.
std::string Num(double value) {
  std::array<char, 64> buffer{};
  if (std::abs(value) < 0.0005) value = 0;
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 3);
  std::string text(buffer.data(), result.ptr);
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

std::string Hex4(unsigned value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text(4, '0');
  for (int k = 3; k >= 0; --k, value >>= 4) text[static_cast<std::size_t>(k)] = kDigits[value & 0xF];
  return text;
}

// A character as the UTF-16 a ToUnicode map gives: one unit or a surrogate pair.
std::string Utf16Hex(char32_t c) {
  if (c < 0x10000) return Hex4(static_cast<unsigned>(c));
  const char32_t v = c - 0x10000;
  return Hex4(0xD800 + static_cast<unsigned>(v >> 10)) + Hex4(0xDC00 + static_cast<unsigned>(v & 0x3FF));
}

std::string Compressed(const std::string& data, bool& deflated) {
  deflated = false;
#ifdef QUORVANE_HAVE_ZLIB
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::string out(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                static_cast<uLong>(data.size()), 6) == Z_OK) {
    out.resize(size);
    deflated = true;
    return out;
  }
#endif
  return data;
}

// Components of a composite glyph (a glyph's outline made of others).
constexpr unsigned kArgsAreWords = 0x0001;
constexpr unsigned kHaveScale = 0x0008;
constexpr unsigned kMoreComponents = 0x0020;
constexpr unsigned kHaveXYScale = 0x0040;
constexpr unsigned kHaveTwoByTwo = 0x0080;

}  // namespace

TrueTypeFont::TrueTypeFont(const std::string& path) : path_(path) {
  try {
    file_ = ReadWholeFile(path);
  } catch (const CalculationError& e) {
    throw CalculationError(std::string(kFontMissingPrompt) + e.what());
  }
  const Bytes b(file_, path_);
  std::size_t face = 0;
  if (b.Slice(0, 4) == "ttcf") face = b.U32(12);  // the collection's first face
  const std::uint16_t count = b.U16(face + 4);
  for (std::uint16_t t = 0; t < count; ++t) {
    const std::size_t record = face + 12 + 16 * std::size_t{t};
    const Table table{b.U32(record + 8), b.U32(record + 12)};
    b.Slice(table.offset, table.length);
    tables_.emplace_back(std::string(b.Slice(record, 4)), table);
  }
  for (const char* tag : {"head", "hhea", "maxp", "hmtx", "loca", "glyf", "cmap"}) {
    if (TableBytes(tag).empty()) throw CalculationError(FontNotUsableMessage(path_));
  }
  const Bytes head(TableBytes("head"), path_);
  unitsPerEm_ = head.U16(18);
  metrics_.xMin = head.I16(36);
  metrics_.yMin = head.I16(38);
  metrics_.xMax = head.I16(40);
  metrics_.yMax = head.I16(42);
  longLoca_ = head.I16(50) == 1;
  const Bytes hhea(TableBytes("hhea"), path_);
  metrics_.ascent = hhea.I16(4);
  metrics_.descent = hhea.I16(6);
  metricCount_ = hhea.U16(34);
  glyphCount_ = Bytes(TableBytes("maxp"), path_).U16(4);
  const std::size_t locaNeeded = (std::size_t{glyphCount_} + 1) * (longLoca_ ? 4 : 2);
  if (unitsPerEm_ == 0 || metricCount_ == 0 || TableBytes("hmtx").size() < 4u * metricCount_ ||
      TableBytes("loca").size() < locaNeeded) {
    throw CalculationError(FontNotUsableMessage(path_));
  }
  ReadCharacterMap(path);

  // The PostScript name, for the PDF's font name: letters, digits and '-'.
  const std::string_view nameTable = TableBytes("name");
  if (!nameTable.empty()) {
    const Bytes n(nameTable, path_);
    const std::uint16_t records = n.U16(2);
    const std::size_t strings = n.U16(4);
    for (std::uint16_t r = 0; r < records; ++r) {
      const std::size_t at = 6 + 12 * std::size_t{r};
      if (n.U16(at + 6) != 6) continue;
      const std::string_view raw = n.Slice(strings + n.U16(at + 10), n.U16(at + 8));
      const bool wide = n.U16(at) == 0 || n.U16(at) == 3;
      std::string name;
      for (std::size_t i = wide ? 1 : 0; i < raw.size(); i += wide ? 2 : 1) {
        const char c = raw[i];
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') name += c;
      }
      if (!name.empty()) {
        name_ = name;
        break;
      }
    }
  }
}

std::string_view TrueTypeFont::TableBytes(const char* tag) const {
  for (const auto& [name, table] : tables_) {
    if (name == tag) return std::string_view(file_).substr(table.offset, table.length);
  }
  return {};
}

void TrueTypeFont::ReadCharacterMap(const std::string& path) {
  const Bytes cmap(TableBytes("cmap"), path);
  // Prefer the full Unicode map (Windows, UCS-4, format 12), else the BMP
  // one (format 4).
  std::size_t best = 0;
  int bestRank = 0;
  const std::uint16_t encodings = cmap.U16(2);
  for (std::uint16_t e = 0; e < encodings; ++e) {
    const std::size_t record = 4 + 8 * std::size_t{e};
    const std::uint16_t platform = cmap.U16(record);
    const std::uint16_t encoding = cmap.U16(record + 2);
    const std::size_t offset = cmap.U32(record + 4);
    const std::uint16_t format = cmap.U16(offset);
    int rank = 0;
    if (format == 12 && (platform == 0 || (platform == 3 && encoding == 10))) rank = 2;
    if (format == 4 && (platform == 0 || (platform == 3 && encoding == 1))) rank = 1;
    if (rank > bestRank) bestRank = rank, best = offset;
  }
  if (bestRank == 0) throw CalculationError(FontNotUsableMessage(path));
  if (bestRank == 2) {
    const std::uint32_t groups = cmap.U32(best + 12);
    for (std::uint32_t g = 0; g < groups; ++g) {
      const std::size_t at = best + 16 + 12 * std::size_t{g};
      const char32_t first = cmap.U32(at);
      const char32_t last = cmap.U32(at + 4);
      const std::uint32_t glyph = cmap.U32(at + 8);
      if (last < first || last > 0x10FFFF) continue;
      Range range{first, last, {}};
      range.glyphs.reserve(last - first + 1);
      for (char32_t c = first; c <= last; ++c) range.glyphs.push_back(static_cast<std::uint16_t>(glyph + (c - first)));
      ranges_.push_back(std::move(range));
    }
  } else {
    const std::size_t segments = cmap.U16(best + 6) / 2;
    const std::size_t ends = best + 14;
    const std::size_t starts = ends + 2 * segments + 2;
    const std::size_t deltas = starts + 2 * segments;
    const std::size_t rangeOffsets = deltas + 2 * segments;
    for (std::size_t s = 0; s < segments; ++s) {
      const char32_t first = cmap.U16(starts + 2 * s);
      const char32_t last = cmap.U16(ends + 2 * s);
      if (last < first || first == 0xFFFF) continue;
      const std::uint16_t delta = cmap.U16(deltas + 2 * s);
      const std::uint16_t rangeOffset = cmap.U16(rangeOffsets + 2 * s);
      Range range{first, last, {}};
      for (char32_t c = first; c <= last; ++c) {
        std::uint16_t glyph = 0;
        if (rangeOffset == 0) {
          glyph = static_cast<std::uint16_t>(c + delta);
        } else {
          glyph = cmap.U16(rangeOffsets + 2 * s + rangeOffset + 2 * (c - first));
          if (glyph != 0) glyph = static_cast<std::uint16_t>(glyph + delta);
        }
        range.glyphs.push_back(glyph);
      }
      ranges_.push_back(std::move(range));
    }
  }
  std::sort(ranges_.begin(), ranges_.end(), [](const Range& a, const Range& b) { return a.first < b.first; });
}

std::uint16_t TrueTypeFont::Glyph(char32_t c) const {
  auto it = std::upper_bound(ranges_.begin(), ranges_.end(), c, [](char32_t v, const Range& r) { return v < r.first; });
  if (it == ranges_.begin()) return 0;
  --it;
  if (c > it->last) return 0;
  const std::uint16_t glyph = it->glyphs[c - it->first];
  return glyph < glyphCount_ ? glyph : 0;
}

int TrueTypeFont::Advance(std::uint16_t glyph) const {
  const std::string_view hmtx = TableBytes("hmtx");
  const std::size_t at = 4 * std::size_t{std::min<std::uint16_t>(glyph, static_cast<std::uint16_t>(metricCount_ - 1))};
  return (static_cast<unsigned char>(hmtx[at]) << 8) | static_cast<unsigned char>(hmtx[at + 1]);
}

double TrueTypeFont::Millimetres(std::string_view utf8, double sizePt) const {
  long units = 0;
  for (const char32_t c : CodePoints(utf8)) units += Advance(Glyph(c));
  return static_cast<double>(units) / unitsPerEm_ * sizePt / kPtPerMm;
}

std::string_view TrueTypeFont::GlyphBytes(std::uint16_t glyph) const {
  if (glyph >= glyphCount_) return {};
  const Bytes loca(TableBytes("loca"), path_);
  std::size_t from = 0;
  std::size_t to = 0;
  if (longLoca_) {
    from = loca.U32(4 * std::size_t{glyph});
    to = loca.U32(4 * std::size_t{glyph} + 4);
  } else {
    from = 2 * std::size_t{loca.U16(2 * std::size_t{glyph})};
    to = 2 * std::size_t{loca.U16(2 * std::size_t{glyph} + 2)};
  }
  if (to <= from) return {};
  return Bytes(TableBytes("glyf"), path_).Slice(from, to - from);
}

std::string TrueTypeFont::Subset(const std::set<std::uint16_t>& wanted) const {
  // The glyphs wanted, the missing glyph, and every component of a composite.
  std::vector<bool> keep(glyphCount_, false);
  std::vector<std::uint16_t> todo(wanted.begin(), wanted.end());
  todo.push_back(0);
  while (!todo.empty()) {
    const std::uint16_t glyph = todo.back();
    todo.pop_back();
    if (glyph >= glyphCount_ || keep[glyph]) continue;
    keep[glyph] = true;
    const std::string_view data = GlyphBytes(glyph);
    if (data.size() < 10) continue;
    const Bytes g(data, path_);
    if (g.I16(0) >= 0) continue;
    std::size_t at = 10;
    for (;;) {
      const unsigned flags = g.U16(at);
      todo.push_back(g.U16(at + 2));
      at += 4 + ((flags & kArgsAreWords) ? 4 : 2);
      if (flags & kHaveScale) at += 2;
      if (flags & kHaveXYScale) at += 4;
      if (flags & kHaveTwoByTwo) at += 8;
      if (!(flags & kMoreComponents)) break;
    }
  }

  std::string glyf;
  std::string loca;
  std::string hmtx(TableBytes("hmtx"));
  for (std::uint16_t glyph = 0; glyph < glyphCount_; ++glyph) {
    AppendU32(loca, static_cast<std::uint32_t>(glyf.size()));
    if (keep[glyph]) {
      glyf.append(GlyphBytes(glyph));
      glyf.resize((glyf.size() + 3) / 4 * 4, '\0');
    } else if (glyph < metricCount_) {
      // The PDF gives every used glyph's width itself: an unused glyph's
      // metrics only cost room.
      std::fill_n(hmtx.begin() + 4 * std::ptrdiff_t{glyph}, 4, '\0');
    }
  }
  AppendU32(loca, static_cast<std::uint32_t>(glyf.size()));
  std::string head(TableBytes("head"));
  PutU32(head, 8, 0);   // checkSumAdjustment, set below
  PutU16(head, 50, 1);  // long offsets in loca

  std::vector<std::pair<std::string, std::string>> tables = {
      {"glyf", glyf}, {"head", head}, {"hhea", std::string(TableBytes("hhea"))},
      {"hmtx", hmtx}, {"loca", loca}, {"maxp", std::string(TableBytes("maxp"))}};
  for (const char* hinting : {"cvt ", "fpgm", "prep"}) {
    if (!TableBytes(hinting).empty()) tables.emplace_back(hinting, std::string(TableBytes(hinting)));
  }
  std::sort(tables.begin(), tables.end());

  const auto n = static_cast<unsigned>(tables.size());
  unsigned power = 1;
  unsigned log2 = 0;
  while (power * 2 <= n) power *= 2, ++log2;
  std::string out;
  AppendU32(out, 0x00010000);
  AppendU16(out, n);
  AppendU16(out, power * 16);
  AppendU16(out, log2);
  AppendU16(out, n * 16 - power * 16);
  std::size_t offset = 12 + 16 * std::size_t{n};
  std::size_t headAt = 0;
  for (const auto& [tag, data] : tables) {
    out += tag;
    AppendU32(out, CheckSum(data));
    AppendU32(out, static_cast<std::uint32_t>(offset));
    AppendU32(out, static_cast<std::uint32_t>(data.size()));
    if (tag == "head") headAt = offset;
    offset += (data.size() + 3) / 4 * 4;
  }
  for (const auto& [tag, data] : tables) {
    out += data;
    out.resize((out.size() + 3) / 4 * 4, '\0');
  }
  PutU32(out, headAt + 8, 0xB1B0AFBAu - CheckSum(out));
  return out;
}

PdfWriter::PdfWriter(const std::string& path, const TrueTypeFont& font) : path_(path), font_(font), file_(path) {
  out_ = std::fopen(file_.TemporaryPath().c_str(), "wb");
  if (out_ == nullptr) Fail(errno);
  Write("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
  catalog_ = NewObject();
  pageTree_ = NewObject();
  type0_ = NewObject();
  cidFont_ = NewObject();
  descriptor_ = NewObject();
  fontFile_ = NewObject();
  toUnicode_ = NewObject();
}

PdfWriter::~PdfWriter() {
  if (out_ != nullptr) std::fclose(out_);
}

int PdfWriter::NewObject() {
  offsets_.push_back(0);
  return static_cast<int>(offsets_.size());
}

void PdfWriter::BeginObject(int object) {
  offsets_[static_cast<std::size_t>(object - 1)] = written_;
  Write(std::to_string(object) + " 0 obj\n");
}

void PdfWriter::Write(std::string_view bytes) {
  if (out_ == nullptr) Fail(EIO);  // after a failure or Finish the file is gone
  if (std::fwrite(bytes.data(), 1, bytes.size(), out_) != bytes.size()) Fail(errno);
  written_ += bytes.size();
}

void PdfWriter::Fail(int errorNumber) {
  if (out_ != nullptr) std::fclose(out_);
  out_ = nullptr;
  file_.Discard();
  throw FileError(FileErrorMessage(path_, errorNumber == 0 ? EIO : errorNumber));
}

void PdfWriter::WriteStream(int object, const std::string& dictionary, const std::string& data) {
  bool deflated = false;
  const std::string body = Compressed(data, deflated);
  BeginObject(object);
  Write("<< " + dictionary + (deflated ? " /Filter /FlateDecode" : "") + " /Length " + std::to_string(body.size()) +
        " >>\nstream\n");
  Write(body);
  Write("\nendstream\nendobj\n");
}

void PdfWriter::AddPage(const Page& page) {
  const double height = page.heightMm * kPtPerMm;
  std::string content = "0 J 0 j 0 G 0 g\n";
  for (const PageOp& op : page.ops) {
    if (const auto* line = std::get_if<LineOp>(&op)) {
      content += Num(line->widthMm * kPtPerMm) + " w " + Num(line->x1Mm * kPtPerMm) + " " +
                 Num(height - line->y1Mm * kPtPerMm) + " m " + Num(line->x2Mm * kPtPerMm) + " " +
                 Num(height - line->y2Mm * kPtPerMm) + " l S\n";
      continue;
    }
    const auto& text = std::get<TextOp>(op);
    std::string glyphs;
    long units = 0;
    for (const char32_t c : CodePoints(text.utf8)) {
      const std::uint16_t glyph = font_.Glyph(c);
      glyphs += Hex4(glyph);
      units += font_.Advance(glyph);
      unicodeByGlyph_.emplace(glyph, c);
    }
    const double widthPt = static_cast<double>(units) / font_.UnitsPerEm() * text.sizePt;
    double x = text.xMm * kPtPerMm;
    if (text.anchor == TextAnchor::Centre) x -= widthPt / 2;
    if (text.anchor == TextAnchor::Right) x -= widthPt;
    content += "BT /F1 " + Num(text.sizePt) + " Tf " + Num(x) + " " + Num(height - text.yMm * kPtPerMm) + " Td <" +
               glyphs + "> Tj ET\n";
  }
  const int contents = NewObject();
  WriteStream(contents, "", content);
  const int pageObject = NewObject();
  BeginObject(pageObject);
  Write("<< /Type /Page /Parent " + std::to_string(pageTree_) + " 0 R /MediaBox [0 0 " + Num(page.widthMm * kPtPerMm) +
        " " + Num(height) + "] /Resources << /Font << /F1 " + std::to_string(type0_) + " 0 R >> >> /Contents " +
        std::to_string(contents) + " 0 R >>\nendobj\n");
  pages_.push_back(pageObject);
}

void PdfWriter::Finish() {
  // The glyphs used, each with the character it was first drawn for.
  const std::map<std::uint16_t, char32_t>& used = unicodeByGlyph_;
  std::set<std::uint16_t> glyphs;
  for (const auto& [glyph, c] : used) glyphs.insert(glyph);

  // A subset's name starts with six capitals of its own.
  std::uint32_t hash = 2166136261u;
  for (const auto& [glyph, c] : used) hash = (hash ^ glyph) * 16777619u;
  std::string tag;
  for (int i = 0; i < 6; ++i, hash /= 26) tag += static_cast<char>('A' + hash % 26);
  const std::string name = tag + "+" + font_.Name();
  const double scale = 1000.0 / font_.UnitsPerEm();
  const TrueTypeFont::Metrics& m = font_.FontMetrics();

  const std::string subset = font_.Subset(glyphs);
  WriteStream(fontFile_, "/Length1 " + std::to_string(subset.size()), subset);
  BeginObject(descriptor_);
  Write("<< /Type /FontDescriptor /FontName /" + name + " /Flags 4 /FontBBox [" + Num(m.xMin * scale) + " " +
        Num(m.yMin * scale) + " " + Num(m.xMax * scale) + " " + Num(m.yMax * scale) + "] /ItalicAngle 0 /Ascent " +
        Num(m.ascent * scale) + " /Descent " + Num(m.descent * scale) + " /CapHeight " + Num(m.ascent * scale) +
        " /StemV 80 /FontFile2 " + std::to_string(fontFile_) + " 0 R >>\nendobj\n");

  // Widths of the glyphs used, runs of consecutive ids together.
  std::string widths = "[";
  std::uint16_t previous = 0;
  bool open = false;
  for (const auto& [glyph, c] : used) {
    if (!open || glyph != previous + 1) {
      if (open) widths += "] ";
      widths += std::to_string(glyph) + " [";
      open = true;
    } else {
      widths += " ";
    }
    widths += Num(std::round(font_.Advance(glyph) * scale));
    previous = glyph;
  }
  if (open) widths += "]";
  widths += "]";
  BeginObject(cidFont_);
  Write("<< /Type /Font /Subtype /CIDFontType2 /BaseFont /" + name +
        " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> /FontDescriptor " +
        std::to_string(descriptor_) + " 0 R /DW 1000 /W " + widths + " /CIDToGIDMap /Identity >>\nendobj\n");

  std::string cmap =
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
  auto entry = used.begin();
  while (entry != used.end()) {
    std::string block;
    int n = 0;
    for (; entry != used.end() && n < 100; ++entry, ++n) {
      block += "<" + Hex4(entry->first) + "> <" + Utf16Hex(entry->second) + ">\n";
    }
    cmap += std::to_string(n) + " beginbfchar\n" + block + "endbfchar\n";
  }
  cmap += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
  WriteStream(toUnicode_, "", cmap);

  BeginObject(type0_);
  Write("<< /Type /Font /Subtype /Type0 /BaseFont /" + name + " /Encoding /Identity-H /DescendantFonts [" +
        std::to_string(cidFont_) + " 0 R] /ToUnicode " + std::to_string(toUnicode_) + " 0 R >>\nendobj\n");

  std::string kids;
  for (const int page : pages_) kids += std::to_string(page) + " 0 R ";
  BeginObject(pageTree_);
  Write("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages_.size()) + " >>\nendobj\n");
  BeginObject(catalog_);
  Write("<< /Type /Catalog /Pages " + std::to_string(pageTree_) + " 0 R >>\nendobj\n");

  const std::size_t xref = written_;
  std::string table = "xref\n0 " + std::to_string(offsets_.size() + 1) + "\n0000000000 65535 f \n";
  for (const std::size_t offset : offsets_) {
    std::string number = std::to_string(offset);
    table += std::string(10 - std::min<std::size_t>(10, number.size()), '0') + number + " 00000 n \n";
  }
  Write(table);
  Write("trailer\n<< /Size " + std::to_string(offsets_.size() + 1) + " /Root " + std::to_string(catalog_) +
        " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n");
  if (std::fflush(out_) != 0) Fail(errno);
  std::FILE* closing = out_;
  out_ = nullptr;
  if (std::fclose(closing) != 0) {
    const int error = errno;
    file_.Discard();
    throw FileError(FileErrorMessage(path_, error));
  }
  file_.Commit();
}

int WriteTablesPdf(const std::string& path, const std::vector<TableToPrint>& tables, const PageSettings& settings,
                   const TrueTypeFont& font) {
  PdfWriter writer(path, font);
  const int pages = LayOutTables(tables, settings, font, [&](const Page& page) { writer.AddPage(page); });
  writer.Finish();
  return pages;
}

}  // namespace quorvane
