// Points for data collectors: the LandXML file read back with lxml
// (tests/field/read_points.py), names that need escaping, heights given or
// not, a long file, and files that must not be left half written.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "calc/messages.h"
#include "expect_error.h"
#include "io/landxml.h"
#include "io/landxml_points.h"
#include "io/read_file.h"

namespace quorvane {
namespace {

namespace fs = std::filesystem;

// A fresh folder for one test, removed after it.
class PointsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("quorvane_points_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string Path(const char* name) const { return (folder_ / name).string(); }
  std::size_t FilesInFolder() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
  }
  fs::path folder_;
};

// The document the points join: a 300 m straight named "主线 A&B".
std::string AlignmentDocument() {
  return LandXmlText({"主线 A&B", Line({3381250.125, 501230.75, 0.5, 1000}, {{ElementType::Straight, 300}}), {}});
}

// What read_points.py prints, line by line.
std::vector<std::string> ReadBack(const std::string& path, bool summary = false) {
  const std::string command = std::string(QUORVANE_PYTHON3) + " " + QUORVANE_READ_POINTS + " '" + path + "'" +
                              (summary ? " summary" : "") + " 2>&1";
  std::vector<std::string> lines;
  FILE* pipe = popen(command.c_str(), "r");
  std::string line;
  for (int c; pipe && (c = std::fgetc(pipe)) != EOF;) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += static_cast<char>(c);
    }
  }
  if (pipe) pclose(pipe);
  return lines;
}

struct Point {
  const char* name;
  const char* code;
  double north_m, east_m;
  std::optional<double> height_m;
  const char* readBack;  // the POINT line read_points.py prints for it
};

TEST_F(PointsFile, NamesCodesAndHeightsReadBackUnchanged) {
  const Point points[] = {
      {"K1+000.000", "QD", 3381250.125, 501230.75, 12.5,
       "POINT\t\"K1+000.000\"\t\"QD\"\t3381250.125 501230.750 12.500"},
      {"K1+020.000", "", 3381267.4456, 501240.75, std::nullopt, "POINT\t\"K1+020.000\"\t\"\"\t3381267.446 501240.750"},
      {"K1+020.000L", "", 3381263.1, 501248.25, -0.0004, "POINT\t\"K1+020.000L\"\t\"\"\t3381263.100 501248.250 0.000"},
      {"A&B<1>\"x\"'y'", "&amp;", -1.5, 0, 0, "POINT\t\"A&B<1>\\\"x\\\"'y'\"\t\"&amp;\"\t-1.500 0.000 0.000"},
      {"控制点一", "导线点", 100, 200, 1234.5678, "POINT\t\"控制点一\"\t\"导线点\"\t100.000 200.000 1234.568"},
      {"tab\there", "line\nbreak\r", 1, 2, std::nullopt, "POINT\t\"tab\\there\"\t\"line\\nbreak\\r\"\t1.000 2.000"},
      {"  blanks  ", "ZH ", 0.0005, 0.0015, std::nullopt, "POINT\t\"  blanks  \"\t\"ZH \"\t0.001 0.002"},
  };
  const std::string path = Path("points.xml");
  LandXmlPointsWriter writer(path, AlignmentDocument(), 3);
  for (const Point& p : points) writer.Add(p.name, p.code, p.north_m, p.east_m, p.height_m);
  writer.Finish();
  EXPECT_EQ(writer.Count(), std::size(points));

  const std::vector<std::string> lines = ReadBack(path);
  std::vector<std::string> expected = {"ROOT\tLandXML\t1.2", "CHILDREN\tUnits\tApplication\tAlignments\tCgPoints",
                                       "ALIGNMENT\t主线 A&B"};
  for (const Point& p : points) expected.push_back(p.readBack);
  expected.push_back("COUNT\t" + std::to_string(std::size(points)));
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(FilesInFolder(), 1u);  // no temporary left beside it
}

// Decimals 0 and 6 (12.5 rounds up, as a surveyor rounds), and no points.
TEST_F(PointsFile, DecimalsAndAnEmptyFile) {
  for (const auto& [decimals, points, readBack] : {
           std::tuple{0, 1, "POINT\t\"P\"\t\"\"\t3381250 501231 13"},
           {6, 1, "POINT\t\"P\"\t\"\"\t3381250.125000 501230.750000 12.500000"},
           {3, 0, "COUNT\t0"},
       }) {
    SCOPED_TRACE(decimals);
    LandXmlPointsWriter writer(Path("decimals.xml"), AlignmentDocument(), decimals);
    if (points > 0) writer.Add("P", "", 3381250.125, 501230.75, 12.5);
    writer.Finish();
    const std::vector<std::string> lines = ReadBack(Path("decimals.xml"));
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[3], readBack);
  }
}

// 100,000 points stream into the file; lxml reads every one.
TEST_F(PointsFile, HundredThousandPoints) {
  const std::string path = Path("many.xml");
  LandXmlPointsWriter writer(path, AlignmentDocument(), 3);
  for (int i = 0; i < 100'000; ++i) {
    writer.Add("K" + std::to_string(i), i % 10 == 0 ? "ZH" : "", 3381250.125 + i * 0.5, 501230.75 - i * 0.25,
               i % 2 == 0 ? std::optional<double>(100 + i * 0.001) : std::nullopt);
  }
  writer.Finish();
  EXPECT_EQ(ReadBack(path, true), (std::vector<std::string>{
                                      "ROOT\tLandXML\t1.2",
                                      "CHILDREN\tUnits\tApplication\tAlignments\tCgPoints",
                                      "ALIGNMENT\t主线 A&B",
                                      "POINT\t\"K0\"\t\"ZH\"\t3381250.125 501230.750 100.000",
                                      "POINT\t\"K99999\"\t\"\"\t3431249.625 476231.000",
                                      "COUNT\t100000",
                                  }));
}

// A refused point, a missing folder, or a writer given up on leaves no file
// and an earlier file of that name as it was.
TEST_F(PointsFile, WholeOrNotAtAll) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Row {
    const char* what;
    const char* name;
    double north_m;
    std::optional<double> height_m;
    const char* message;
  };
  const Row rows[] = {
      {"north not a number", "P", nan, 1.0, kOverflowPrompt},
      {"height infinite", "P", 1, inf, kOverflowPrompt},
      {"north of 10^12 m", "P", 1e12, std::nullopt, kOverflowPrompt},
      {"a control character in the name", "P\x01", 1, std::nullopt, kPointNameControlCharacterPrompt},
      {"given up without Finish", "P", 1, std::nullopt, test::kNoError},
  };
  const std::string path = Path("kept.xml");
  WriteFileAtomically(path, "earlier");
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(test::ThrownMessage([&] {
                LandXmlPointsWriter writer(path, AlignmentDocument(), 3);
                // Enough points before the fault that some already went to the disk.
                for (int i = 0; i < 5000; ++i) writer.Add("K" + std::to_string(i), "", i, i, std::nullopt);
                writer.Add(r.name, "", r.north_m, 2, r.height_m);
              }),
              r.message);
    EXPECT_EQ(ReadWholeFile(path), "earlier");
    EXPECT_EQ(FilesInFolder(), 1u);
  }
  EXPECT_EQ(test::ThrownMessage([&] { LandXmlPointsWriter(Path("no such folder/x.xml"), AlignmentDocument()); }),
            "无法保存文件“x.xml”：文件夹不存在。");
}

}  // namespace
}  // namespace quorvane
