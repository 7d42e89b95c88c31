// Coordinate files: the exact bytes of CSV, .dat and saved text on disk, the
// drawing and quoted CSV read back by Python readers (ezdxf, csv), refusals.
#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "expect_error.h"
#include "calc/calculation_error.h"
#include "command/save_export.h"
#include "io/atomic_file.h"
#include "io/export.h"
#include "field_curve.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

Calculation Curve(const CurveInput& input, std::string lbText = "", std::string aText = "") {
  return Calculation(BoxReading{input, std::move(lbText), std::move(aText), ""});
}

// The calculation with the side points 边桩坐标 computes on it.
Calculation WithSides(Calculation calculation, double left_m, double right_m) {
  calculation.sides = calculation.curve.SideStakes(calculation.stakes, left_m, right_m);
  return calculation;
}

// The exact bytes a file of that name should hold (tests/core/export_expected).
// points.DAT is the field example (default boxes, interval 10, right turn):
// the printed stake table's figures, trailing zeros restored, and the end
// point from tests/core/export_reference.py.
std::string Expected(const std::string& name) {
  std::ifstream file(std::string(QUORVANE_EXPORT_EXPECTED) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}
constexpr CurveInput kField = test::kFieldCurve;
// Due north from (1000, 500) over 0..20 or 0..25: every point by hand; edges 3.5 m left (west), 7.25 m right.
const CurveInput kNorth{1000, 500, 0, 20, 0, 0, 0, 10, 0};

std::string Mm(const std::string& number) {  // a number read back, to the printed millimetre
  char text[64];
  return {text, static_cast<std::size_t>(std::snprintf(text, sizeof text, "%.3f", std::stod(number)))};
}

using Lines = std::vector<std::vector<std::string>>;
std::string Joined(const Lines& lines) {
  std::string text;
  for (const auto& fields : lines)
    for (const auto& f : fields) text += f + (&f == &fields.back() ? "\n" : " ");
  return text;
}

// The Python reader's lines for `path`, split at tabs, by their first field.
std::map<std::string, Lines> ReadBack(const char* kind, const fs::path& path) {
  const std::string command =
      std::string(QUORVANE_PYTHON3) + " " + QUORVANE_READ_EXPORT + " " + kind + " '" + path.string() + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  std::map<std::string, Lines> lines;
  std::string line;
  for (int c; pipe && (c = std::fgetc(pipe)) != EOF;) {
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    std::istringstream in(line);
    std::vector<std::string> fields;
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    if (!fields.empty()) lines[fields[0]].emplace_back(fields.begin() + 1, fields.end());
    line.clear();
  }
  if (pipe) pclose(pipe);
  return lines;
}

// Each test runs in a process of its own (gtest_discover_tests).
class ExportFile : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir_); }
  void TearDown() override { fs::remove_all(dir_); }
  static std::string Bytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
  }
  std::size_t Entries() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
  }
  const fs::path dir_ = fs::temp_directory_path() / ("quorvane_export_" + std::to_string(::getpid()));
};

// Each written as the file of its name in tests/core/export_expected.
TEST_F(ExportFile, ExactTextOnDisk) {
  const std::pair<const char*, Calculation> rows[] = {
      // Names by the station read, not as typed; the end point after the last stake.
      {"逐桩坐标.csv", Curve(kField, "１８０。１０８", "１７．３４１５")},
      {"points.DAT", Curve(kField, "180.108米")},
      {"no extension is CSV", Curve({1000, 500, 0, 25, 0, 0, 0, 10, 0})},
      // The last stake is the end: no second point there; each stake's side points after it.
      {"sides.dat", WithSides(Curve(kNorth), 3.5, 7.25)},
      {"no stake, start and end.dat", Curve({1000, 500, 0, 5, 0, 0, 0, 10, 0})},
      {"backwards.dat", Curve({1000, 500, 25, 0, 0, 0, 0, -10, 0})},
      {"tenths.dat", Curve({1000, 500, 0, 0.6, 0, 0, 0, 0.1, 0})},  // 6 x 0.1 is 0.6000000000000001
  };
  for (const auto& [file, calculation] : rows) {
    SCOPED_TRACE(file);
    ExportCalculation((dir_ / file).string(), calculation);
    EXPECT_EQ(Bytes(dir_ / file), Expected(file));
  }
  EXPECT_EQ(Entries(), std::size(rows));  // nothing left beside them
}

TEST_F(ExportFile, SavedResultHasByteOrderMarkAndCrLf) {
  const std::pair<std::string, std::string> rows[] = {
      {"备注\n0+190    1\r\n", "\xEF\xBB\xBF备注\r\n0+190    1\r\n"},
      {"\n\nx", "\xEF\xBB\xBF\r\n\r\nx"},
      {"", "\xEF\xBB\xBF"},
  };
  for (const auto& [text, bytes] : rows) {
    SaveResultText((dir_ / "结果.txt").string(), text);
    EXPECT_EQ(Bytes(dir_ / "结果.txt"), bytes);
  }
}

TEST_F(ExportFile, CsvFieldsKeepTheirColumns) {
  const std::vector<std::vector<std::string>> rows{{"桩号", "a,b", "", "say \"hi\"", "two\r\nlines"}, {"x"}};
  for (const bool bom : {true, false}) {
    const std::string text = CsvText(rows, bom);
    EXPECT_EQ(text.starts_with("\xEF\xBB\xBF"), bom);
    WriteFileAtomically((dir_ / "typed.csv").string(), text);
    EXPECT_EQ(Joined(ReadBack("csv", dir_ / "typed.csv")["ROW"]), "桩号 a,b  say \"hi\" two\\r\\nlines\nx\n");
  }
}

TEST(ExportFormat, DecidedByTheNameInOnePlace) {
  const std::pair<const char*, int> rows[] = {
      {"a.csv", 0}, {"a.CSV", 0}, {"a", 0}, {"dir.v2/a", 0}, {".hidden", 0}, {"a.Dat", 1},
      {"a.dxf", 2}, {"x.txt", -1}, {"a.dxf.bak", -1}, {"a.", -1},
  };
  for (const auto& [name, format] : rows) {
    SCOPED_TRACE(name);
    if (format < 0) {
      EXPECT_THROW_MSG(ExportFormatForName(name), UnknownExportTypePrompt(name));
    } else {
      EXPECT_EQ(static_cast<int>(ExportFormatForName(name)), format);
    }
  }
}

// Nothing but finite numbers below kMaxCoordinate_m goes into a file; dxflib
// overflows its number buffer from 1e238.
TEST_F(ExportFile, ValuesThatCannotBeWrittenAreRefusedAndWriteNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const std::string dxf = (dir_ / "bad.dxf").string();
  const std::pair<const char*, std::function<void()>> rows[] = {
      {"dat X NaN", [&] { DatText({{"K0+0", "", nan, 500}}); }},
      {"dat H infinite", [&] { DatText({{"K0+0", "", 1000, 500, -inf}}); }},
      {"dat Y at 1e12", [&] { DatText({{"K0+0", "", 1000, 1e12}}); }},
      {"coordinate text NaN", [&] { CoordinateText(nan); }},
      {"dxf stake at 1e238", [&] { WriteDxfFile(dxf, {.stakes = {{"0+0", "", 1000, 1e238}}}); }},
      {"dxf line vertex NaN", [&] { WriteDxfFile(dxf, {.centreLine = {{"", "", 0, 0}, {"", "", nan, 0}}}); }},
      {"dxf right point -1e12", [&] { WriteDxfFile(dxf, {.rightPoints = {{"", "", -1e12, 0}}}); }},
      {"dat name with a comma", [&] { DatText({{"K0+0,1", "", 0, 0}}); }},
  };
  for (const auto& [what, write] : rows) {
    SCOPED_TRACE(what);
    EXPECT_THROW(write(), CalculationError);
  }
  EXPECT_EQ(Entries(), 0u);
}

TEST_F(ExportFile, FailuresNameTheFileAndDestroyNothing) {
  std::ofstream(dir_ / "kept.csv") << "earlier data";
  fs::create_directory(dir_ / "folder.csv");
  const std::pair<const char*, const char*> rows[] = {
      {"points.txt", "不能导出为“points.txt”：请用扩展名 .csv、.dat 或 .dxf。"},
      {"missing/points.csv", "无法保存文件“points.csv”：文件夹不存在。"},
      {"missing/points.dxf", "无法保存文件“points.dxf”：文件夹不存在。"},
      {"folder.csv", "无法保存文件“folder.csv”：同名的文件夹已存在。"},
  };
  for (const auto& [name, message] : rows) {
    SCOPED_TRACE(name);
    EXPECT_THROW_MSG(ExportCalculation((dir_ / name).string(), Curve(kField)), message);
  }
  EXPECT_EQ(Bytes(dir_ / "kept.csv"), "earlier data");
  EXPECT_TRUE(fs::is_directory(dir_ / "folder.csv"));
  EXPECT_EQ(Entries(), 2u);  // no temporary left
}

// Read back by ezdxf: CAD x is east (survey Y), CAD y north (survey X). Written under a comma
// locale, as the window runs under the user's (C where the machine has none).
TEST_F(ExportFile, DrawingReadBackByAnIndependentReader) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  ExportCalculation((dir_ / "曲线.dxf").string(), Curve(kField, "180.108米"));
  std::setlocale(LC_ALL, previous.c_str());
  auto dxf = ReadBack("dxf", dir_ / "曲线.dxf");
  EXPECT_TRUE(Joined(dxf["LAYER"]).starts_with("0\nSTAKES\nSTAKE_LABELS\nCENTRE_LINE\nSIDE_LEFT\nSIDE_RIGHT\n"));
  EXPECT_EQ(Joined(dxf["AUDIT"]), "0\n");
  // Each point with its label as its .dat line (east, north, to the mm), the end point last.
  const Lines &points = dxf["POINT"], &texts = dxf["TEXT"];
  std::string dat;
  for (std::size_t i = 0; i < points.size(); ++i) {
    const auto &p = points[i], &t = texts.at(i);
    EXPECT_EQ(p[0] + ' ' + t[0], "STAKES STAKE_LABELS");
    dat += "K" + t[4] + ",," + Mm(p[1]) + "," + Mm(p[2]) + "," + Mm(p[3]) + "\r\n";
  }
  EXPECT_EQ(dat, Expected("points.DAT"));
  // Points drawn visibly, and the view's extents around every point and vertex.
  const auto& header = dxf["HEADER"];
  ASSERT_EQ(header.size(), 4u);
  EXPECT_EQ(header[0][1], "35.0");
  EXPECT_GT(std::stod(header[1][1]), 0.1);
  const double minX = std::stod(header[2][1]), minY = std::stod(header[2][2]);
  const double maxX = std::stod(header[3][1]), maxY = std::stod(header[3][2]);
  const auto& centre = dxf["POLYLINE"].at(0);
  std::vector<std::pair<double, double>> all;
  for (const auto& p : points) all.emplace_back(std::stod(p[1]), std::stod(p[2]));
  for (std::size_t i = 1; i + 2 < centre.size(); i += 3) all.emplace_back(std::stod(centre[i]), std::stod(centre[i + 1]));
  for (const auto& [x, y] : all) EXPECT_TRUE(x > minX && x < maxX && y > minY && y < maxY) << x << ' ' << y;
  // Not far beyond them: the points span 28 m east and 64 m north.
  EXPECT_LT(maxX - minX, 28 + 20);
  EXPECT_LT(maxY - minY, 64 + 20);
  // The centre line from the start point to the end point.
  EXPECT_EQ(centre[0], "CENTRE_LINE");
  EXPECT_EQ(Mm(centre[1]) + ' ' + Mm(centre[2]), "195601.155 4040964.994");
  EXPECT_EQ(Mm(centre[centre.size() - 3]) + ' ' + Mm(centre[centre.size() - 2]), "195629.202 4041029.122");
}

// A circular arc of radius R turning right from due north at (1000, 500): its centre lies R east at
// (1000, 500 + R); the centre line keeps R, the left edge (outside) R + left, the right R - right, at
// every vertex and within half a millimetre between them (the chord's middle), and passes through every
// point of its layer. Staked backwards the curve runs the other way round the same circle, left still
// west. Wide edges on a tight arc bend much more than its centre line.
struct ArcRow {
  double radius, left, right;
  bool backwards;
};
class ExportArc : public ExportFile, public ::testing::WithParamInterface<ArcRow> {};
INSTANTIATE_TEST_SUITE_P(ForwardBackwardAndTight, ExportArc,
                         ::testing::Values(ArcRow{130, 3.5, 7.25, false}, ArcRow{130, 3.5, 7.25, true},
                                           ArcRow{20, 15, 15, false}));
TEST_P(ExportArc, LinesFollowTheCurveNotChordsBetweenStakes) {
  const auto [R, left, right, backwards] = GetParam();
  const CurveInput arc = backwards ? CurveInput{1000, 500, 100, 0, R, R, 0, -10, 1} : CurveInput{1000, 500, 0, 100, R, R, 0, 10, 1};
  ExportCalculation((dir_ / "arc.dxf").string(), WithSides(Curve(arc), left, right));
  auto dxf = ReadBack("dxf", dir_ / "arc.dxf");
  const std::map<std::string, double> radius{{"CENTRE_LINE", R}, {"SIDE_LEFT", R + left}, {"SIDE_RIGHT", R - right}};
  const std::map<std::string, std::string> pointLayer{
      {"CENTRE_LINE", "STAKES"}, {"SIDE_LEFT", "SIDE_LEFT"}, {"SIDE_RIGHT", "SIDE_RIGHT"}};
  ASSERT_EQ(dxf["POLYLINE"].size(), 3u);
  for (const auto& line : dxf["POLYLINE"]) {
    SCOPED_TRACE(line[0]);
    const double Rline = radius.at(line[0]);
    std::vector<std::pair<double, double>> v;  // east, north
    for (std::size_t i = 1; i + 2 < line.size() + 1; i += 3) v.emplace_back(std::stod(line[i]), std::stod(line[i + 1]));
    ASSERT_GT(v.size(), 20u);  // more than the 11 stakes and the start
    double worst = 0;
    for (std::size_t i = 0; i < v.size(); ++i) {
      EXPECT_NEAR(std::hypot(v[i].first - 500 - R, v[i].second - 1000), Rline, 1e-6);
      if (i > 0) {
        const double mx = (v[i].first + v[i - 1].first) / 2, my = (v[i].second + v[i - 1].second) / 2;
        worst = std::max(worst, Rline - std::hypot(mx - 500 - R, my - 1000));
      }
    }
    EXPECT_LT(worst, 0.0005 + 1e-9);
    for (const auto& p : dxf["POINT"]) {
      if (p[0] != pointLayer.at(line[0])) continue;
      bool onLine = false;
      for (const auto& [x, y] : v) onLine = onLine || std::hypot(x - std::stod(p[1]), y - std::stod(p[2])) < 1e-9;
      EXPECT_TRUE(onLine) << p[1] << ' ' << p[2];
    }
  }
}

// A curve winding round 5 m for 60 km would take some 420,000 vertices at
// half a millimetre: its line keeps to kMaxLineVertices, start to end.
TEST(ExportDrawing, WindingCurveKeepsToTheVertexCap) {
  const CurveInput winding{1000, 500, 0, 60000, 5, 5, 0, 1000, 1};
  const ExportDrawing drawing = CalculationDrawing(Curve(winding));
  EXPECT_LE(drawing.centreLine.size(), kMaxLineVertices);
  EXPECT_GT(drawing.centreLine.size(), kMaxLineVertices * 9 / 10);
  const CurvePoint end = TransitionCurve(winding).AtStation(60000);
  EXPECT_EQ(drawing.centreLine.back().X_m, end.X);
  EXPECT_EQ(drawing.centreLine.back().Y_m, end.Y);
}

// The generic drawing: points at their height, a line at height 0 plane, a climbing line in 3D.
TEST_F(ExportFile, HeightsGoIntoTheDrawing) {
  ExportDrawing drawing;
  drawing.stakes = {{"A1", "", 100, 200, 12.5}, {"A2", "", 110, 200, 13.25}};
  drawing.leftLine = {{"", "", 100, 199, 0}, {"", "", 110, 199, 0}};
  drawing.centreLine = {{"", "", 100, 200, 12.5}, {"", "", 105, 200, 12.75}, {"", "", 110, 200, 13.25}};
  WriteDxfFile((dir_ / "h.dxf").string(), drawing);
  auto dxf = ReadBack("dxf", dir_ / "h.dxf");
  EXPECT_EQ(Joined(dxf["POINT"]) + Joined(dxf["POLYLINE"]) + Joined(dxf["AUDIT"]),
            "STAKES 200.0 100.0 12.5\nSTAKES 200.0 110.0 13.25\n"
            "CENTRE_LINE 200.0 100.0 12.5 200.0 105.0 12.75 200.0 110.0 13.25\n"
            "SIDE_LEFT 199.0 100.0 0 199.0 110.0 0\n0\n");
}

}  // namespace
}  // namespace quorvane
