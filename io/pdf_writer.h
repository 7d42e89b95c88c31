#pragma once

#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "io/atomic_file.h"
#include "report/table_pages.h"

// PDF files of laid-out pages (report/table_pages.h), with the Chinese font
// the pages are measured in embedded, so any reader shows and copies the
// same characters.

namespace quorvane {

// The font the printed tables are set in: WenQuanYi Micro Hei, Debian's
// fonts-wqy-microhei.
inline constexpr const char* kTableFontPath = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";

// A TrueType font (.ttf, or the first face of a .ttc collection) read whole
// into memory: its character map, glyph advances and outlines. Measures
// texts with its own advances, and makes the subset of it a PDF embeds.
class TrueTypeFont : public TextWidth {
 public:
  // Throws CalculationError naming `path` when the file is missing or is no
  // TrueType font this can read.
  explicit TrueTypeFont(const std::string& path);

  // The glyph of a character, 0 (the font's "missing" glyph) where it has none.
  std::uint16_t Glyph(char32_t c) const;
  // A glyph's advance in font units, and the units to an em.
  int Advance(std::uint16_t glyph) const;
  int UnitsPerEm() const { return unitsPerEm_; }
  std::uint16_t GlyphCount() const { return glyphCount_; }

  double Millimetres(std::string_view utf8, double sizePt) const override;

  // A font file holding only `glyphs` (with the missing glyph and the
  // components of composite glyphs): every other glyph is left empty, so glyph
  // ids stay as they are, and the character map is left out.
  std::string Subset(const std::set<std::uint16_t>& glyphs) const;

  // Metrics a PDF font descriptor gives, in font units.
  struct Metrics {
    int ascent = 0;
    int descent = 0;
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  };
  const Metrics& FontMetrics() const { return metrics_; }
  // The PostScript name (WenQuanYiMicroHei).
  const std::string& Name() const { return name_; }

 private:
  struct Table {
    std::size_t offset = 0;
    std::size_t length = 0;
  };
  std::string_view TableBytes(const char* tag) const;
  std::string_view GlyphBytes(std::uint16_t glyph) const;
  void ReadCharacterMap(const std::string& path);

  std::string path_;
  std::string file_;
  std::vector<std::pair<std::string, Table>> tables_;
  int unitsPerEm_ = 1000;
  bool longLoca_ = false;
  std::uint16_t glyphCount_ = 0;
  std::uint16_t metricCount_ = 0;
  Metrics metrics_;
  std::string name_ = "Font";
  // Character map: sorted ranges of code points, each to glyph ids.
  struct Range {
    char32_t first = 0;
    char32_t last = 0;
    std::vector<std::uint16_t> glyphs;  // last - first + 1 of them
  };
  std::vector<Range> ranges_;
};

// Writes pages into a PDF file, one at a time as they are laid out: each
// page's content is written at once and only the positions of the objects
// written and the glyphs used are kept; the font subset follows the last
// page. Nothing appears at `path` before Finish, which replaces any earlier
// file of that name whole; a writer destroyed without Finish leaves none.
// Streams are compressed (FlateDecode) where zlib was found at build time.
class PdfWriter {
 public:
  PdfWriter(const std::string& path, const TrueTypeFont& font);
  ~PdfWriter();
  PdfWriter(const PdfWriter&) = delete;
  PdfWriter& operator=(const PdfWriter&) = delete;

  // Throws FileError when the file cannot be written.
  void AddPage(const Page& page);
  void Finish();

 private:
  int NewObject();
  void BeginObject(int object);
  void WriteStream(int object, const std::string& dictionary, const std::string& data);
  void Write(std::string_view bytes);
  void Fail(int errorNumber);

  std::string path_;
  const TrueTypeFont& font_;
  AtomicFile file_;
  std::FILE* out_ = nullptr;
  std::size_t written_ = 0;
  std::vector<std::size_t> offsets_;                  // of each object, by number - 1
  std::vector<int> pages_;                            // page objects
  std::map<std::uint16_t, char32_t> unicodeByGlyph_;  // each glyph used, and the character it was first drawn for
  int catalog_, pageTree_, type0_, cidFont_, descriptor_, fontFile_, toUnicode_;
};

// Lays out `tables` (report/table_pages.h) in `font` and writes them to a
// PDF file at `path`, whole or not at all. Returns the number of pages.
int WriteTablesPdf(const std::string& path, const std::vector<TableToPrint>& tables, const PageSettings& settings,
                   const TrueTypeFont& font);

}  // namespace quorvane
