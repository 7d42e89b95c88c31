// Coordinate files: exact text of CSV and .dat for the field example, and the
// DXF and CSV files read back by Python readers (ezdxf, csv) that share no
// code with the writers.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "calc/stakes.h"
#include "report/export.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

// The field example: default boxes, interval 10, right turn.
CurveInput FieldExample() {
  CurveInput input;
  input.Xa = 4040964.994;
  input.Ya = 195601.155;
  input.lb = 180.108;
  input.le = 250.365;
  input.Ra = 1500;
  input.Rb = 130;
  input.a = 17.3415;
  input.d = 10;
  input.turn = 1;
  return input;
}

// Its start point and stakes as the printed stake table gives them (name, X,
// Y, azimuth), the trailing zeros of the three decimals restored.
struct Row {
  const char* name;
  double X;
  double Y;
};
const std::vector<Row> kFieldRows = {
    {"180.108", 4040964.994, 195601.155}, {"0+190", 4040974.410, 195604.188}, {"0+200", 4040983.876, 195607.410},
    {"0+210", 4040993.253, 195610.883},   {"0+220", 4041002.497, 195614.696}, {"0+230", 4041011.553, 195618.934},
    {"0+240", 4041020.354, 195623.678},   {"0+250", 4041028.820, 195628.996},
};

struct FieldCalculation {
  CurveInput input = FieldExample();
  StakeTable stakes = ComputeStakes(input);
  ExportSource Source(const SideStakeTable* sides = nullptr) const {
    return {input, "180.108", "17.3415", stakes, sides};
  }
};

// A straight line due north from (1000, 500), stakes every 10 m from 0 to 20,
// with edges worked out by hand: left of travel is west (smaller Y).
struct StraightNorth {
  CurveInput input;
  StakeTable stakes;
  SideStakeTable sides;
  StraightNorth() {
    input.Xa = 1000;
    input.Ya = 500;
    input.lb = 0;
    input.le = 20;
    input.d = 10;
    stakes.n = 2;
    stakes.stakeStation = {10, 20};
    stakes.stakeDist = {10, 20};
    stakes.stakeX = {1010, 1020};
    stakes.stakeY = {500, 500};
    stakes.stakeAzimuth = {0, 0};
    sides.leftWidth_m = 3.5;
    sides.rightWidth_m = 7.25;
    sides.station = {10, 20};
    sides.left = {{1010, 496.5, 0}, {1020, 496.5, 0}};
    sides.right = {{1010, 507.25, 0}, {1020, 507.25, 0}};
  }
  ExportSource Source(const SideStakeTable* s) const { return {input, "0", "0", stakes, s}; }
};

TEST(Export, FormatFollowsTheExtensionInAnyCase) {
  struct Case {
    const char* name;
    std::optional<ExportFormat> format;
  };
  const Case cases[] = {
      {"逐桩坐标.csv", ExportFormat::Csv},
      {"/home/wang/K1.CSV", ExportFormat::Csv},
      {"points.Dat", ExportFormat::Dat},
      {"C:\\survey\\curve.DXF", ExportFormat::Dxf},
      {"archive.dxf.txt", std::nullopt},
      {"csv", std::nullopt},
      {"/home/wang/v1.dxf/points", std::nullopt},  // a dot in a folder name is no extension
      {"points.", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExportFormatOf(c.name), c.format);
  }
}

TEST(Export, CsvOfTheFieldExample) {
  const FieldCalculation calc;
  EXPECT_EQ(CsvText(calc.Source()),
            "\xEF\xBB\xBF"
            "桩号,X,Y,方位角\r\n"
            "180.108,4040964.994,195601.155,17.3415\r\n"
            "0+190,4040974.410,195604.188,18.1344\r\n"
            "0+200,4040983.876,195607.410,19.2751\r\n"
            "0+210,4040993.253,195610.883,21.1621\r\n"
            "0+220,4041002.497,195614.696,23.3913\r\n"
            "0+230,4041011.553,195618.934,26.3627\r\n"
            "0+240,4041020.354,195623.678,30.0805\r\n"
            "0+250,4041028.820,195628.996,34.1404\r\n");
}

TEST(Export, DatOfTheFieldExample) {
  const FieldCalculation calc;
  EXPECT_EQ(DatText(calc.Source()),
            "K0+180.108,,195601.155,4040964.994,0\r\n"
            "K0+190,,195604.188,4040974.410,0\r\n"
            "K0+200,,195607.410,4040983.876,0\r\n"
            "K0+210,,195610.883,4040993.253,0\r\n"
            "K0+220,,195614.696,4041002.497,0\r\n"
            "K0+230,,195618.934,4041011.553,0\r\n"
            "K0+240,,195623.678,4041020.354,0\r\n"
            "K0+250,,195628.996,4041028.820,0\r\n");
}

TEST(Export, SidePointsFollowTheirStakeNamedLeftAndRight) {
  const StraightNorth line;
  EXPECT_EQ(DatText(line.Source(&line.sides)),
            "K0+0,,500.000,1000.000,0\r\n"
            "K0+10,,500.000,1010.000,0\r\n"
            "K0+10L,,496.500,1010.000,0\r\n"
            "K0+10R,,507.250,1010.000,0\r\n"
            "K0+20,,500.000,1020.000,0\r\n"
            "K0+20L,,496.500,1020.000,0\r\n"
            "K0+20R,,507.250,1020.000,0\r\n");

  // Only a right edge, and side stations without a stake: nothing is lost,
  // they come after the stakes.
  SideStakeTable rightOnly;
  rightOnly.rightWidth_m = 2;
  rightOnly.station = {10, 15};
  rightOnly.right = {{1010, 502, 0}, {1015, 502, 0}};
  EXPECT_EQ(CsvText(line.Source(&rightOnly)),
            "\xEF\xBB\xBF"
            "桩号,X,Y,方位角\r\n"
            "0,1000.000,500.000,0\r\n"
            "0+10,1010.000,500.000,0\r\n"
            "0+10R,1010.000,502.000,0\r\n"
            "0+20,1020.000,500.000,0\r\n"
            "0+15R,1015.000,502.000,0\r\n");
}

// Runs the Python reader on `path` and returns its lines split at tabs.
std::vector<std::vector<std::string>> ReadBack(const char* kind, const fs::path& path) {
  const std::string command =
      std::string(QUORVANE_PYTHON3) + " " + QUORVANE_READ_EXPORT + " " + kind + " '" + path.string() + "' 2>&1";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return {};
  std::string output;
  char buffer[4096];
  while (const std::size_t got = fread(buffer, 1, sizeof buffer, pipe.get())) output.append(buffer, got);
  std::vector<std::vector<std::string>> lines;
  std::istringstream in(output);
  std::string line;
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
      fields.push_back(line.substr(start, tab - start));
    }
    fields.push_back(line.substr(start));
    lines.push_back(fields);
  }
  return lines;
}

std::string Joined(const std::vector<std::vector<std::string>>& lines) {
  std::string text;
  for (const auto& fields : lines) {
    for (const auto& f : fields) text += f + " | ";
    text += '\n';
  }
  return text;
}

class ExportFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("quorvane_export_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

// What ezdxf finds in the drawing, by kind.
struct Drawing {
  std::vector<std::string> layers;
  std::vector<std::vector<std::string>> points, texts, polylines;
  int auditErrors = -1;
  explicit Drawing(const std::vector<std::vector<std::string>>& lines) {
    for (const auto& f : lines) {
      if (f[0] == "LAYER") layers.push_back(f.at(1));
      if (f[0] == "POINT") points.push_back(f);
      if (f[0] == "TEXT") texts.push_back(f);
      if (f[0] == "POLYLINE") polylines.push_back(f);
      if (f[0] == "AUDIT") auditErrors = std::stoi(f.at(1));
    }
  }
  bool HasLayer(const std::string& name) const {
    for (const auto& l : layers) {
      if (l == name) return true;
    }
    return false;
  }
};

double Num(const std::string& text) { return std::stod(text); }

// The printed table holds three decimals: a coordinate read back matches it
// to half a millimetre.
constexpr double kPrinted_m = 0.0005 + 1e-9;

void ExpectFieldDrawing(const Drawing& dxf, const std::string& context) {
  SCOPED_TRACE(context);
  ASSERT_EQ(dxf.auditErrors, 0);
  for (const char* layer : {kDxfStakeLayer, kDxfLabelLayer, kDxfCentreLayer}) {
    EXPECT_TRUE(dxf.HasLayer(layer)) << layer;
  }
  ASSERT_EQ(dxf.points.size(), kFieldRows.size());
  ASSERT_EQ(dxf.texts.size(), kFieldRows.size());
  ASSERT_EQ(dxf.polylines.size(), 1u);
  const auto& line = dxf.polylines[0];
  EXPECT_EQ(line[1], kDxfCentreLayer);
  ASSERT_EQ(line.size(), 2 + 2 * kFieldRows.size());
  for (std::size_t i = 0; i < kFieldRows.size(); ++i) {
    const Row& row = kFieldRows[i];
    SCOPED_TRACE(row.name);
    // CAD x is east (survey Y), CAD y is north (survey X).
    const auto& p = dxf.points[i];
    EXPECT_EQ(p[1], kDxfStakeLayer);
    EXPECT_NEAR(Num(p[2]), row.Y, kPrinted_m);
    EXPECT_NEAR(Num(p[3]), row.X, kPrinted_m);
    EXPECT_NEAR(Num(line[2 + 2 * i]), row.Y, kPrinted_m);
    EXPECT_NEAR(Num(line[3 + 2 * i]), row.X, kPrinted_m);
    // The label: its station, on the label layer, beside its point.
    const auto& t = dxf.texts[i];
    EXPECT_EQ(t[1], kDxfLabelLayer);
    EXPECT_EQ(t[5], i == 0 ? "0+180.108" : row.name);  // the start in kilometre form too
    const double height = Num(t[4]);
    EXPECT_GT(height, 0);
    EXPECT_LT(std::hypot(Num(t[2]) - row.Y, Num(t[3]) - row.X), 2 * height);
  }
}

TEST_F(ExportFile, DxfReadBackByAnIndependentReader) {
  const FieldCalculation calc;
  const fs::path path = dir_ / "曲线.dxf";
  // A start station typed with a unit: the drawing keeps to plain ASCII.
  WriteExportFile(path.string(), {calc.input, "180.108米", "17.3415", calc.stakes, nullptr});
  ExpectFieldDrawing(Drawing(ReadBack("dxf", path)), "C locale");
}

TEST_F(ExportFile, DxfNumbersKeepTheirPointUnderACommaLocale) {
  const FieldCalculation calc;
  const fs::path path = dir_ / "curve.DXF";
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE.UTF-8 locale";
  WriteExportFile(path.string(), calc.Source());
  std::setlocale(LC_ALL, previous.c_str());
  ExpectFieldDrawing(Drawing(ReadBack("dxf", path)), "de_DE locale");
}

TEST_F(ExportFile, DxfSidePointsOnTheirOwnLayers) {
  const StraightNorth line;
  const fs::path path = dir_ / "sides.dxf";
  WriteExportFile(path.string(), line.Source(&line.sides));
  const auto lines = ReadBack("dxf", path);
  const Drawing dxf(lines);
  SCOPED_TRACE(Joined(lines));
  ASSERT_EQ(dxf.auditErrors, 0);
  struct Expected {
    const char* layer;
    double x, y;  // CAD
  };
  const Expected expected[] = {
      {kDxfStakeLayer, 500, 1000},   {kDxfStakeLayer, 500, 1010}, {kDxfLeftLayer, 496.5, 1010},
      {kDxfRightLayer, 507.25, 1010}, {kDxfStakeLayer, 500, 1020}, {kDxfLeftLayer, 496.5, 1020},
      {kDxfRightLayer, 507.25, 1020},
  };
  ASSERT_EQ(dxf.points.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(dxf.points[i][1], expected[i].layer);
    EXPECT_DOUBLE_EQ(Num(dxf.points[i][2]), expected[i].x);
    EXPECT_DOUBLE_EQ(Num(dxf.points[i][3]), expected[i].y);
  }
  // Labels only for the centre line; one polyline per line.
  EXPECT_EQ(dxf.texts.size(), 3u);
  std::map<std::string, std::size_t> vertices;
  for (const auto& p : dxf.polylines) vertices[p[1]] = (p.size() - 2) / 2;
  EXPECT_EQ(vertices, (std::map<std::string, std::size_t>{
                          {kDxfCentreLayer, 3}, {kDxfLeftLayer, 2}, {kDxfRightLayer, 2}}));
}

TEST_F(ExportFile, CsvWithTypedCommasAndQuotesReadsBackField) {
  const FieldCalculation calc;
  const fs::path path = dir_ / "typed.csv";
  // What the user typed is echoed as typed, and must not break the columns.
  const ExportSource source{calc.input, "180,108", "17.3415\"", calc.stakes, nullptr};
  WriteExportFile(path.string(), source);
  const auto rows = ReadBack("csv", path);
  SCOPED_TRACE(Joined(rows));
  ASSERT_EQ(rows.size(), kFieldRows.size() + 1);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"ROW", "桩号", "X", "Y", "方位角"}));
  EXPECT_EQ(rows[1], (std::vector<std::string>{"ROW", "180,108", "4040964.994", "195601.155", "17.3415\""}));
  EXPECT_EQ(rows[8], (std::vector<std::string>{"ROW", "0+250", "4041028.820", "195628.996", "34.1404"}));
}

std::string FileBytes(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

TEST_F(ExportFile, EachFormatLandsOnDiskAsItsText) {
  const FieldCalculation calc;
  struct Case {
    const char* name;
    std::string expected;
  };
  const Case cases[] = {
      {"a.csv", CsvText(calc.Source())},
      {"b.DAT", DatText(calc.Source())},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteExportFile((dir_ / c.name).string(), calc.Source());
    EXPECT_EQ(FileBytes(dir_ / c.name), c.expected);
  }
  // Nothing is left beside them.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);
}

TEST_F(ExportFile, FailuresAreReportedAndDestroyNothing) {
  const FieldCalculation calc;
  const fs::path kept = dir_ / "kept.csv";
  {
    std::ofstream(kept) << "earlier data";
  }
  fs::create_directory(dir_ / "folder.csv");
  struct Case {
    const char* name;
    fs::path path;
  };
  const Case cases[] = {
      {"unknown extension", dir_ / "points.txt"},
      {"no such folder", dir_ / "missing" / "points.csv"},
      {"no such folder, drawing", dir_ / "missing" / "points.dxf"},
      {"a folder in the way", dir_ / "folder.csv"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_THROW(WriteExportFile(c.path.string(), calc.Source()), ExportError);
  }
  EXPECT_EQ(FileBytes(kept), "earlier data");
  EXPECT_TRUE(fs::is_directory(dir_ / "folder.csv"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);  // no temporary left
}

}  // namespace
}  // namespace quorvane
