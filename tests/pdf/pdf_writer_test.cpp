// PDF files of table pages, read back with poppler's pdftotext, pdffonts
// and pdfinfo, and the embedded font with fontTools (check_font.py).
#include "io/pdf_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "calc/calculation_error.h"
#include "expect_error.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

std::string Output(const std::string& command) {
  std::string out;
  std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  const int status = pclose(pipe);
  if (status != 0) out += "\n[exit status " + std::to_string(status) + "]";
  return out;
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// pdftotext keeps or drops blanks next to Chinese characters as it sees fit.
std::string Squeezed(std::string text) {
  text.erase(std::remove_if(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c); }), text.end());
  return text;
}

std::string PageText(const std::string& pdf, int page) {
  return Output(std::string(QUORVANE_PDFTOTEXT) + " -layout -f " + std::to_string(page) + " -l " +
                std::to_string(page) + " " + Quoted(pdf) + " -");
}

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

const TrueTypeFont& Font() {
  static const TrueTypeFont font(kTableFontPath);
  return font;
}

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/quorvane_pdf_XXXXXX";
    path_ = mkdtemp(pattern);
  }
  ~TempDir() { fs::remove_all(path_); }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  std::size_t Files() const { return static_cast<std::size_t>(std::distance(fs::directory_iterator(path_), {})); }

 private:
  std::string path_;
};

// Glyph ids and advances as fontTools reads WenQuanYi Micro Hei's first
// face (2048 units to the em).
TEST(TrueTypeFont, GlyphsAndAdvancesOfTheFirstFace) {
  const struct {
    char32_t c;
    std::uint16_t glyph;
    int advance;
  } cases[] = {{U'第', 13531, 2048}, {U'桩', 8728, 2048}, {U'页', 21028, 2048}, {U'0', 19, 1128},
               {U'.', 17, 549},      {U'A', 36, 1245},    {U' ', 3, 532},       {0xE000, 0, 0}};
  EXPECT_EQ(Font().UnitsPerEm(), 2048);
  EXPECT_EQ(Font().GlyphCount(), 49531);
  for (const auto& c : cases) {
    EXPECT_EQ(Font().Glyph(c.c), c.glyph) << static_cast<unsigned>(c.c);
    if (c.glyph != 0) {
      EXPECT_EQ(Font().Advance(c.glyph), c.advance) << static_cast<unsigned>(c.c);
    }
  }
  // "第0" at 9 pt: (2048 + 1128) / 2048 em of 9 pt, 25.4 mm to 72 pt.
  EXPECT_NEAR(Font().Millimetres("第0", 9), 3176.0 / 2048 * 9 * 25.4 / 72, 1e-12);
}

// A font file of one face (not a collection) is read from its start: DejaVu
// Sans (fonts-dejavu-core, which scripts/setup-deps.sh installs), as
// fontTools reads it.
TEST(TrueTypeFont, SingleFaceFile) {
  const TrueTypeFont font("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
  EXPECT_EQ(font.UnitsPerEm(), 2048);
  EXPECT_EQ(font.Glyph(U'A'), 36);
  EXPECT_EQ(font.Advance(36), 1401);
  EXPECT_EQ(font.Glyph(U'.'), 17);
  EXPECT_EQ(font.Advance(17), 651);
}

TEST(TrueTypeFont, UnreadableFontIsNamedInChinese) {
  TempDir dir;
  std::ofstream(dir / "text.ttf") << "not a font at all";
  {
    std::ifstream whole(kTableFontPath, std::ios::binary);
    std::string head(4096, '\0');
    whole.read(head.data(), static_cast<std::streamsize>(head.size()));
    std::ofstream(dir / "cut.ttc", std::ios::binary) << head;
  }
  {
    // A whole font whose head table says 0 units to the em.
    std::ifstream in("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", std::ios::binary);
    std::string font((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto u32 = [&](std::size_t at) {
      return std::size_t{static_cast<unsigned char>(font[at])} << 24 |
             std::size_t{static_cast<unsigned char>(font[at + 1])} << 16 |
             std::size_t{static_cast<unsigned char>(font[at + 2])} << 8 | static_cast<unsigned char>(font[at + 3]);
    };
    for (std::size_t record = 12; record + 16 <= font.size() && record < 12 + 16 * 64; record += 16) {
      if (font.compare(record, 4, "head") == 0) font[u32(record + 8) + 18] = font[u32(record + 8) + 19] = 0;
    }
    std::ofstream(dir / "zero.ttf", std::ios::binary) << font;
  }
  const struct {
    std::string path;
    std::string message;
  } cases[] = {
      {dir / "missing.ttc", "打印表格所需的字体不可用：无法读取文件“" + (dir / "missing.ttc") + "”：文件不存在"},
      {dir / "text.ttf", "字体文件“" + (dir / "text.ttf") + "”不是可用的 TrueType 字体！"},
      {dir / "cut.ttc", "字体文件“" + (dir / "cut.ttc") + "”不是可用的 TrueType 字体！"},
      {dir / "zero.ttf", "字体文件“" + (dir / "zero.ttf") + "”不是可用的 TrueType 字体！"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(test::ThrownMessage([&] { TrueTypeFont font(c.path); }), c.message);
  }
}

// Rows of the stake coordinate table.
std::vector<std::vector<std::string>> StakeRows(int count) {
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < count; ++i) {
    rows.push_back({"K0+" + std::to_string(100 + 20 * i) + ".000", std::to_string(4040000 + i) + ".994",
                    std::to_string(195000 + i) + ".155", "17.3415"});
  }
  return rows;
}

// The standard tables in a PDF: the text and where it lies on each page,
// the page size, the font embedded as a subset.
TEST(PdfWriter, TablesReadBackPageByPage) {
  TempDir dir;
  const struct {
    const char* name;
    Paper paper;
    int stakes;
    int pages;
    const char* size;
  } cases[] = {
      {"small.pdf", Paper::A4Portrait, 5, 1, "595.276 x 841.89 pts"},
      {"three.pdf", Paper::A4Portrait, 230, 3, "595.276 x 841.89 pts"},
      {"a3.pdf", Paper::A3Landscape, 5, 1, "1190.55 x 841.89 pts"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string pdf = dir / c.name;
    RowsInMemory stakes(StakeRows(c.stakes));
    PageSettings settings;
    settings.paper = c.paper;
    settings.lineName = "示例路线";
    settings.date = "2026-12-07";
    ASSERT_EQ(WriteTablesPdf(pdf, {{StakeCoordinateTableLook(), &stakes}}, settings, Font()), c.pages);

    const std::string info = Output(std::string(QUORVANE_PDFINFO) + " " + Quoted(pdf));
    EXPECT_NE(info.find("Pages:           " + std::to_string(c.pages) + "\n"), std::string::npos) << info;
    EXPECT_NE(info.find(std::string("Page size:       ") + c.size), std::string::npos) << info;
    EXPECT_EQ(info.find("rror"), std::string::npos) << info;

    const std::string fonts = Output(std::string(QUORVANE_PDFFONTS) + " " + Quoted(pdf));
    EXPECT_TRUE(
        std::regex_search(fonts, std::regex("[A-Z]{6}\\+WenQuanYiMicroHei +CID TrueType +Identity-H +yes yes yes")))
        << fonts;

    std::size_t rowsSeen = 0;
    for (int p = 1; p <= c.pages; ++p) {
      SCOPED_TRACE("page " + std::to_string(p));
      const std::string text = PageText(pdf, p);
      const std::string squeezed = Squeezed(text);
      EXPECT_NE(squeezed.find("第" + std::to_string(p) + "页/共" + std::to_string(c.pages) + "页"), std::string::npos);
      for (const char* head : {"Quorvane", "示例路线", "2026-12-07", "逐桩坐标表", "桩号", "坐标", "方位角"}) {
        EXPECT_GE(Count(squeezed, head), 1u) << head;
      }
      // Two table columns side by side: the heading twice on a full page.
      if (c.stakes > 2) {
        EXPECT_EQ(Count(squeezed, "方位角"), 2u);
      }
      rowsSeen += Count(text, "17.3415");
    }
    EXPECT_EQ(rowsSeen, static_cast<std::size_t>(c.stakes));
    // The first row's numbers, the last row's station.
    const std::string first = PageText(pdf, 1);
    EXPECT_TRUE(std::regex_search(first, std::regex("K0\\+100\\.000 +4040000\\.994 +195000\\.155 +17\\.3415")))
        << first;
    EXPECT_NE(PageText(pdf, c.pages).find("K0+" + std::to_string(100 + 20 * (c.stakes - 1)) + ".000"),
              std::string::npos);
  }
}

TEST(PdfWriter, MultiLevelHeadingsOfTheCurveTables) {
  TempDir dir;
  const std::string pdf = dir / "curves.pdf";
  RowsInMemory curves(
      {{"JD1", "4041234.567", "195678.901", "K1+234.567", "", "35.1240", "600", "120", "100", "250.123", "240.456",
        "485.789", "31.234", "K0+984.444", "K1+104.444", "K1+226.338", "K1+370.233", "K1+470.233"}});
  RowsInMemory vertical(
      {{"1", "K0+500.000", "123.456", "凸", "8000", "96.000", "0.576", "K0+404.000", "K0+596.000", "2.4", "500.000"}});
  PageSettings settings;
  settings.paper = Paper::A3Landscape;
  ASSERT_EQ(WriteTablesPdf(pdf, {{CurveTableLook(), &curves}, {VerticalCurveTableLook(), &vertical}}, settings, Font()),
            2);
  const std::string curvePage = Squeezed(PageText(pdf, 1));
  for (const char* text : {"直线、曲线及转角表", "交点号", "交点坐标", "交点桩号", "转角", "曲线要素", "主点桩号",
                           "曲线长", "外距", "JD1", "4041234.567", "35.1240", "K1+470.233", "第1页/共2页"}) {
    EXPECT_NE(curvePage.find(text), std::string::npos) << text;
  }
  const std::string verticalPage = Squeezed(PageText(pdf, 2));
  for (const char* text :
       {"竖曲线表", "变坡点", "竖曲线要素", "凸/凹", "坡度(%)", "凸", "8000", "K0+596.000", "第2页/共2页"}) {
    EXPECT_NE(verticalPage.find(text), std::string::npos) << text;
  }
  // Outlines, widths and ToUnicode of the characters drawn; an undrawn
  // CJK character and an undrawn accented letter (a composite) left out.
  const std::string check =
      Output(std::string(QUORVANE_PYTHON3) + " " + Quoted(QUORVANE_CHECK_FONT) + " " + Quoted(pdf) + " " +
             Quoted(kTableFontPath) + " 'JD1K+.直线曲转角表竖凸/凹()%' '龍鳳é'");
  EXPECT_EQ(check, "");
}

// Nothing at the path but a whole file: a failed or unfinished write
// leaves an earlier file as it was and no temporary behind.
TEST(PdfWriter, WrittenWholeOrNotAtAll) {
  TempDir dir;
  const std::string earlier = dir / "earlier.pdf";
  std::ofstream(earlier) << "earlier";
  {
    PdfWriter writer(earlier, Font());
    RowsInMemory rows(StakeRows(3));
    LayOutTables({{StakeCoordinateTableLook(), &rows}}, {}, Font(), [&](const Page& page) { writer.AddPage(page); });
  }  // never finished
  std::ifstream in(earlier);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "earlier");
  EXPECT_EQ(dir.Files(), 1u);

  RowsInMemory rows(StakeRows(1));
  const std::string missing = dir / "no-such-folder/表.pdf";
  EXPECT_EQ(test::ThrownMessage([&] {
              WriteTablesPdf(missing, {{StakeCoordinateTableLook(), &rows}}, {}, Font());
            }),
            "无法保存文件“表.pdf”：文件夹不存在。");
  EXPECT_EQ(dir.Files(), 1u);
}

}  // namespace
}  // namespace quorvane
