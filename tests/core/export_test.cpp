// Coordinate files: the exact bytes of CSV and .dat on disk, and the drawing
// and a quoted CSV read back by Python readers (ezdxf, csv).
#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "calc/stakes.h"
#include "report/export.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

// The field example (default boxes, interval 10, right turn); its .dat text
// holds the printed stake table's figures, trailing zeros restored.
const CurveInput kField{4040964.994, 195601.155, 180.108, 250.365, 1500, 130, 17.3415, 10, 1};
const std::string kFieldDat =
    "K0+180.108,,195601.155,4040964.994,0\r\nK0+190,,195604.188,4040974.410,0\r\n"
    "K0+200,,195607.410,4040983.876,0\r\nK0+210,,195610.883,4040993.253,0\r\n"
    "K0+220,,195614.696,4041002.497,0\r\nK0+230,,195618.934,4041011.553,0\r\n"
    "K0+240,,195623.678,4041020.354,0\r\nK0+250,,195628.996,4041028.820,0\r\n";
// Due north from (1000, 500): stakes at 10 and 20, edges by hand (left is west) at 10, 20 and 30.
const CurveInput kNorth{1000, 500, 0, 20, 0, 0, 0, 10, 0};
const StakeTable kNorthStakes{2, {10, 20}, {10, 20}, {1010, 1020}, {500, 500}, {0, 0}};
const SideStakeTable kSides{3.5, 7.25, {10, 20, 30}, {{1010, 496.5, 0}, {1020, 496.5, 0}, {1030, 496.5, 0}},
                            {{1010, 507.25, 0}, {1020, 507.25, 0}, {1030, 507.25, 0}}};

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
  char buffer[65536];
  while (pipe && fgets(buffer, sizeof buffer, pipe)) {
    std::istringstream in(std::string(buffer, std::strcspn(buffer, "\n")));
    std::vector<std::string> fields;
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    if (!fields.empty()) lines[fields[0]].emplace_back(fields.begin() + 1, fields.end());
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
  const fs::path dir_ = fs::temp_directory_path() / ("quorvane_export_" + std::to_string(::getpid()));
  const StakeTable field_ = ComputeStakes(kField);
};

TEST_F(ExportFile, ExactTextOnDiskWithSidePointsNamedLeftAndRight) {
  const std::tuple<const char*, ExportSource, std::string> cases[] = {
      {"逐桩坐标.csv", {kField, "180.108", "17.3415", field_},
       "\xEF\xBB\xBF桩号,X,Y,方位角\r\n180.108,4040964.994,195601.155,17.3415\r\n0+190,4040974.410,195604.188,18.1344\r\n"
       "0+200,4040983.876,195607.410,19.2751\r\n0+210,4040993.253,195610.883,21.1621\r\n"
       "0+220,4041002.497,195614.696,23.3913\r\n0+230,4041011.553,195618.934,26.3627\r\n"
       "0+240,4041020.354,195623.678,30.0805\r\n0+250,4041028.820,195628.996,34.1404\r\n"},
      {"points.DAT", {kField, "180.108米", "17.3415", field_}, kFieldDat},  // the typed unit stays out
      {"sides.dat", {kNorth, "0", "0", kNorthStakes, &kSides},  // 0+30 not lost: after the stakes
       "K0+0,,500.000,1000.000,0\r\nK0+10,,500.000,1010.000,0\r\nK0+10L,,496.500,1010.000,0\r\n"
       "K0+10R,,507.250,1010.000,0\r\nK0+20,,500.000,1020.000,0\r\nK0+20L,,496.500,1020.000,0\r\n"
       "K0+20R,,507.250,1020.000,0\r\nK0+30L,,496.500,1030.000,0\r\nK0+30R,,507.250,1030.000,0\r\n"},
  };
  for (const auto& [file, source, text] : cases) {
    SCOPED_TRACE(file);
    WriteExportFile((dir_ / file).string(), source);
    EXPECT_EQ(Bytes(dir_ / file), text);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 3);  // nothing left beside them
}

TEST_F(ExportFile, TypedCommasAndQuotesKeepTheCsvColumns) {
  WriteExportFile((dir_ / "typed.csv").string(), {kField, "180,108", "17.3415\"", field_});
  EXPECT_TRUE(Joined(ReadBack("csv", dir_ / "typed.csv")["ROW"])
                  .starts_with("桩号 X Y 方位角\n180,108 4040964.994 195601.155 17.3415\"\n0+190 "));
}

// Read back by ezdxf: CAD x is east (survey Y), CAD y north (survey X). Written under a comma
// locale, as the window runs under the user's (C where the machine has none).
TEST_F(ExportFile, DrawingReadBackByAnIndependentReader) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "de_DE.UTF-8");
  WriteExportFile((dir_ / "曲线.dxf").string(), {kField, "180.108米", "17.3415", field_});
  WriteExportFile((dir_ / "sides.DXF").string(), {kNorth, "0", "0", kNorthStakes, &kSides});
  std::setlocale(LC_ALL, previous.c_str());
  auto dxf = ReadBack("dxf", dir_ / "曲线.dxf");
  EXPECT_TRUE(Joined(dxf["LAYER"]).starts_with("0\nSTAKES\nSTAKE_LABELS\nCENTRE_LINE\nSIDE_LEFT\nSIDE_RIGHT\n"));
  EXPECT_EQ(Joined(dxf["AUDIT"]), "0\n");
  // Each point with its label as its .dat line (east, north, to the mm); the centre line through them.
  const Lines &points = dxf["POINT"], &texts = dxf["TEXT"];
  const auto& centre = dxf["POLYLINE"].at(0);
  std::string dat, vertices = centre[0] + "\n";
  for (std::size_t i = 0; i < points.size(); ++i) {
    const auto &p = points[i], &t = texts.at(i);
    EXPECT_EQ(p[0] + ' ' + t[0], "STAKES STAKE_LABELS");
    dat += "K" + t[4] + ",," + Mm(p[1]) + "," + Mm(p[2]) + ",0\r\n";
    vertices += "K" + t[4] + ",," + Mm(centre.at(1 + 2 * i)) + "," + Mm(centre.at(2 + 2 * i)) + ",0\r\n";
  }
  EXPECT_EQ(dat, kFieldDat);
  EXPECT_EQ(vertices, "CENTRE_LINE\n" + kFieldDat);
  // Side points and edges on their own layers.
  auto sides = ReadBack("dxf", dir_ / "sides.DXF");
  EXPECT_EQ(Joined(sides["POINT"]) + Joined(sides["POLYLINE"]),
            "STAKES 500.0 1000.0\nSTAKES 500.0 1010.0\nSIDE_LEFT 496.5 1010.0\nSIDE_RIGHT 507.25 1010.0\n"
            "STAKES 500.0 1020.0\nSIDE_LEFT 496.5 1020.0\nSIDE_RIGHT 507.25 1020.0\nSIDE_LEFT 496.5 1030.0\n"
            "SIDE_RIGHT 507.25 1030.0\nCENTRE_LINE 500.0 1000.0 500.0 1010.0 500.0 1020.0\n"
            "SIDE_LEFT 496.5 1010.0 496.5 1020.0 496.5 1030.0\nSIDE_RIGHT 507.25 1010.0 507.25 1020.0 507.25 1030.0\n");
}

TEST_F(ExportFile, FailuresAreReportedAndDestroyNothing) {
  std::ofstream(dir_ / "kept.csv") << "earlier data";
  fs::create_directory(dir_ / "folder.csv");
  for (const char* name : {"points.txt", "missing/points.csv", "missing/points.dxf", "folder.csv"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(WriteExportFile((dir_ / name).string(), {kField, "180.108", "17.3415", field_}), ExportError);
  }
  EXPECT_EQ(Bytes(dir_ / "kept.csv"), "earlier data");
  EXPECT_TRUE(fs::is_directory(dir_ / "folder.csv"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);  // no temporary left
}

}  // namespace
}  // namespace quorvane
