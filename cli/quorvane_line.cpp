// quorvane-line: stakes, locating and JD design of a whole road line from the
// command line. Results go to standard output as CSV (UTF-8, no byte-order
// mark) or, with -o, to a file in the format its extension asks for. A bad
// file, option or value prints one line in Chinese on standard error and
// exits with status 2, leaving no file half-written.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/calculation_error.h"
#include "calc/jd_design.h"
#include "calc/line.h"
#include "calc/messages.h"
#include "calc/profile.h"
#include "calc/read_number.h"
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "command/line_locate.h"
#include "command/line_stakes.h"
#include "io/atomic_file.h"
#include "io/csv_row_reader.h"
#include "io/csv_rows.h"
#include "io/export.h"
#include "io/landxml.h"
#include "io/read_file.h"
#include "report/line_text.h"

#ifndef QUORVANE_VERSION
#define QUORVANE_VERSION "0"
#endif

namespace quorvane {
namespace {

using namespace cli;

constexpr const char* kUsage =
    "用法：\n"
    "  quorvane-line stakes LINE.xml --interval D [--from STATION] [--to STATION] [--key-points]\n"
    "                [--offsets LEFT,RIGHT] [--cross-slope LEFT%,RIGHT%] [--cross-section XS.csv]\n"
    "                [--decimals N] [-o FILE]\n"
    "  quorvane-line setout LINE.xml --station X,Y --backsight X,Y --interval D [--from S] [--to S]\n"
    "                [--key-points] [--offsets LEFT,RIGHT | --cross-section XS.csv] [--decimals N] [-o FILE]\n"
    "  quorvane-line tables LINE.xml --interval D [--from S] [--to S] [--key-points]\n"
    "                [--offsets LEFT,RIGHT | --cross-section XS.csv] -o FILE.pdf\n"
    "  quorvane-line locate LINE.xml POINTS.csv [--cross-slope LEFT%,RIGHT% | --cross-section XS.csv]\n"
    "                [--decimals N] [-o FILE]\n"
    "  quorvane-line jd JD.csv --start-station STATION -o LINE.xml\n"
    "  quorvane-line jd LINE.xml\n"
    "  quorvane-line --help | --version\n"
    "\n"
    "stakes   逐桩坐标：桩号,编码,X,Y,方位角；--offsets 加左、右边桩坐标（到中线的距离，米）；\n"
    "         路线有纵断面时加 H,左边桩H,右边桩H（--cross-slope 为左、右横坡，百分数，向外下降为负）。\n"
    "         --interval 桩距（米），--from/--to 起止桩号（K12+345.678 或米数），--key-points 加主点。\n"
    "         --cross-section 超高加宽表（桩号,左宽,右宽,左横坡,右横坡[,过渡]）给出边桩宽度和横坡。\n"
    "setout   放样数据：点号,X,Y,方位角,平距,水平角（有纵断面时加 H）；--station 测站、--backsight 后视点。\n"
    "tables   直线、曲线及转角表（有交点表时）、竖曲线表（有纵断面时）和逐桩坐标表，写入 PDF 文件。\n"
    "locate   坐标反算：读入 点号,X,Y[,H]，写出 点号,桩号,偏距,备注（偏距右正）；\n"
    "         有实测高程 H 且路线有纵断面时加 设计高程,高差（实测减设计，正为挖）。\n"
    "jd       交点法：读入 交点,X,Y,R,Ls1,Ls2（首行起点、末行终点），写出 LandXML 路线文件，\n"
    "         并在标准输出列出曲线要素表；给出含交点表的路线文件时只列出曲线要素表。\n"
    "\n"
    "--decimals N  桩号米数与坐标、距离的小数位数（0～6，默认 3）。方位角、转角为 度.分秒。\n"
    "-o FILE       结果写入文件：.csv（带 BOM 的 UTF-8）、.dat（点号,编码,Y,X,H）、.dxf（图形）、\n"
    "              .xml（LandXML 路线及 CgPoints 点，供电子手簿使用）。\n"
    "出错时在标准错误输出一行中文说明，退出码为 2。\n";

// --- locate ------------------------------------------------------------------

// A whole number in a cell, or a refusal naming the file, line and column.
double CellNumber(const std::string& file, const CsvRow& row, std::size_t column, const char* name) {
  const std::string& text = row.fields[column];
  const std::optional<double> number = ReadWholeNumber(text);
  if (!number || !std::isfinite(*number)) {
    Refuse("文件“" + file + "”第" + std::to_string(row.line) + "行：" + name + "“" + text + "”不是数");
  }
  return *number;
}

// Whether the first row is a header: neither of its coordinates reads as a
// number. A first row with one bad coordinate is a point with a fault, and is
// refused as such rather than dropped.
bool IsHeader(const CsvRow& row, std::size_t firstNumberColumn) {
  for (std::size_t c = firstNumberColumn; c < row.fields.size() && c < firstNumberColumn + 2; ++c) {
    if (!IsBlankText(row.fields[c]) && IsWholeNumber(row.fields[c])) return false;
  }
  return true;
}

int RunLocate(const std::vector<std::string>& args) {
  const Arguments arguments(args, {"--decimals", "--cross-slope", "--cross-section", "--alignment", "-o"}, {});
  RequirePositional(arguments, 2, "路线文件 LINE.xml 或点文件 POINTS.csv");
  if (arguments.Has("--cross-section") && arguments.Has("--cross-slope")) Refuse(kCrossSectionWithOffsetsPrompt);
  const int decimals = DecimalsOption(arguments);
  const CrossSlopes slopes = CrossSlopeOption(arguments);
  const auto output = arguments.Value("-o");
  if (output && ExportFormatOf(*output) != ExportFormat::Csv) {
    Refuse("反算结果只能写入 .csv 文件，“" + *output + "”不是");
  }
  const RoadAlignment road = ReadLineFile(arguments);
  const std::optional<CrossSection> crossSection = CrossSectionFor(arguments, road);
  const std::optional<Profile> profile = ProfileOf(road);
  const std::string& pointsFile = arguments.Positional()[1];

  // The points are read a row at a time, twice. The first reading checks
  // the rows, so that nothing is written for a file with a fault, and sees
  // whether any point has a measured height (the height columns). Written
  // to a file, a fault found later still leaves nothing (the file is only
  // put in place once whole), so there the first reading stops at the first
  // measured height and the second checks the rest as it locates them.
  CsvRowReader points(pointsFile);
  CsvRow row;
  bool measured = false;  // a fourth column of measured heights
  bool header = false;
  // The point of a checked row: X, Y and the measured height if any.
  struct Point {
    double X, Y;
    std::optional<double> H;
  };
  const auto checked = [&](const CsvRow& r) {
    if (r.fields.size() < 3) {
      Refuse("文件“" + pointsFile + "”第" + std::to_string(r.line) + "行应有 点号,X,Y 三列");
    }
    Point p{CellNumber(pointsFile, r, 1, "X"), CellNumber(pointsFile, r, 2, "Y"), std::nullopt};
    if (r.fields.size() >= 4 && !IsBlankText(r.fields[3])) {
      measured = true;
      if (profile) p.H = CellNumber(pointsFile, r, 3, "H");
    }
    return p;
  };
  for (bool first = true; points.Next(row); first = false) {
    if (first && IsHeader(row, 1)) {
      header = true;
      continue;
    }
    checked(row);
    if (output && measured) break;
  }
  const bool heights = measured && profile;
  if (measured && !profile) std::fputs("提示：路线文件没有纵断面，不计算设计高程。\n", stderr);

  std::optional<AtomicFileWriter> file;
  std::optional<StandardOutput> standard;
  TextSink* sink = nullptr;
  if (output) {
    sink = &file.emplace(*output);
  } else {
    sink = &standard.emplace();
  }
  std::string text(output ? kCsvByteOrderMark : "");
  std::vector<std::string> cells{"点号", "桩号", "偏距", "备注"};
  if (heights) cells.insert(cells.end(), {"设计高程", "高差"});
  AppendCsvRow(text, cells);

  const PointLocator locator(road.line, heights ? &*profile : nullptr, slopes, crossSection ? &*crossSection : nullptr,
                             decimals);
  points.Rewind();
  if (header) points.Next(row);
  while (points.Next(row)) {
    const Point point = checked(row);
    LocatedRow located = locator.Locate(point.X, point.Y, heights ? point.H : std::nullopt);
    cells[0] = std::move(row.fields[0]);
    cells[1] = std::move(located.station);
    cells[2] = std::move(located.offset);
    cells[3] = std::move(located.remark);
    if (heights) {
      cells[4] = std::move(located.designH);
      cells[5] = std::move(located.cutFill);
    }
    AppendCsvRow(text, cells);
    if (text.size() >= (1 << 16)) {
      sink->Write(text);
      text.clear();
    }
  }
  sink->Write(text);
  if (file) file->Commit();
  if (standard) standard->Flush();
  return 0;
}

// --- jd ----------------------------------------------------------------------

// The curve table of a design, as the jd command prints it.
std::string CurveTableCsv(const JdDesign& design) {
  std::vector<std::vector<std::string>> rows;
  rows.push_back({"交点", "桩号", "转角", "R", "Ls1", "Ls2", "T1", "T2", "L", "E", "ZH", "HY", "QZ", "YH", "HZ"});
  for (const JdCurve& c : design.curves) {
    rows.push_back({c.name, StationText(c.jdStation_m, 3), AngleText(c.deflection_rad), FixedText(c.R_m, 3),
                    FixedText(c.Ls1_m, 3), FixedText(c.Ls2_m, 3), FixedText(c.T1_m, 3), FixedText(c.T2_m, 3),
                    FixedText(c.L_m, 3), FixedText(c.E_m, 3), StationText(c.ZH_m, 3), StationText(c.HY_m, 3),
                    StationText(c.QZ_m, 3), StationText(c.YH_m, 3), StationText(c.HZ_m, 3)});
  }
  return CsvText(rows, false);
}

// jd LINE.xml: the curve table of the JD table a line file holds.
int RunJdOfLineFile(const std::vector<std::string>& args) {
  const Arguments arguments(args, {"--alignment"}, {});
  RequirePositional(arguments, 1, "路线文件 LINE.xml");
  const RoadAlignment road = ReadLineFile(arguments);
  if (!road.jd) Refuse("文件“" + arguments.Positional()[0] + "”：" + kJdLineFileWithoutTablePrompt);
  WriteStandardOutput(CurveTableCsv(DesignFromJd(road.jd->rows, road.jd->startStation_m)));
  return 0;
}

int RunJd(const std::vector<std::string>& args) {
  if (!args.empty() && IsLandXmlFileName(args.front())) return RunJdOfLineFile(args);
  const Arguments arguments(args, {"--start-station", "-o"}, {});
  RequirePositional(arguments, 1, "交点文件 JD.csv");
  const auto startText = arguments.Value("--start-station");
  if (!startText) Refuse("缺少起点桩号选项 --start-station");
  const double startStation = StationOption("--start-station", *startText);
  const auto output = arguments.Value("-o");
  if (!output) Refuse("缺少输出的路线文件选项 -o LINE.xml");

  const std::string& jdFile = arguments.Positional()[0];
  std::vector<CsvRow> input = ReadCsvRows(ReadWholeFile(jdFile), jdFile);
  if (!input.empty() && IsHeader(input.front(), 1)) input.erase(input.begin());
  if (input.size() < 2) Refuse("文件“" + jdFile + "”至少要有起点和终点两行");
  std::vector<JdRow> jds;
  for (std::size_t i = 0; i < input.size(); ++i) {
    const CsvRow& row = input[i];
    if (row.fields.size() < 3) Refuse("文件“" + jdFile + "”第" + std::to_string(row.line) + "行应有 交点,X,Y 等列");
    JdRow jd;
    jd.name = row.fields[0];
    jd.X_m = CellNumber(jdFile, row, 1, "X");
    jd.Y_m = CellNumber(jdFile, row, 2, "Y");
    const bool interior = i > 0 && i + 1 < input.size();
    double* targets[] = {&jd.R_m, &jd.Ls1_m, &jd.Ls2_m};
    const char* names[] = {"R", "Ls1", "Ls2"};
    for (std::size_t c = 3; c < 6 && c < row.fields.size(); ++c) {
      if (IsBlankText(row.fields[c])) continue;
      const double value = CellNumber(jdFile, row, c, names[c - 3]);
      if (!interior && value != 0) {
        Refuse("文件“" + jdFile + "”第" + std::to_string(row.line) + "行是" + (i == 0 ? "起点" : "终点") + "，" +
               names[c - 3] + " 应为空或0");
      }
      if (interior) *targets[c - 3] = value;
    }
    jds.push_back(jd);
  }
  const JdDesign design = DesignFromJd(jds, startStation);
  RoadAlignment road{Stem(*output), Line(design.start, design.elements), {}};
  road.jd = JdTable{startStation, jds};  // kept in the file: jd LINE.xml and tables print it again

  const std::string table = CurveTableCsv(design);
  WriteLandXml(*output, road);
  WriteStandardOutput(table);
  return 0;
}

int Run(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) Refuse("缺少命令 stakes、setout、tables、locate 或 jd（quorvane-line --help 查看用法）");
  const std::string command = args.front();
  args.erase(args.begin());
  const bool help = std::find(args.begin(), args.end(), "--help") != args.end();
  if (command == "--help" || command == "-h" || help) {
    WriteStandardOutput(kUsage);
    return 0;
  }
  if (command == "--version") {
    WriteStandardOutput(std::string("quorvane-line ") + QUORVANE_VERSION + "\n");
    return 0;
  }
  if (command == "stakes") return RunStakes(args);
  if (command == "locate") return RunLocate(args);
  if (command == "jd") return RunJd(args);
  if (command == "setout") return RunSetout(args);
  if (command == "tables") return RunTables(args);
  Refuse("未知命令“" + command + "”，应为 stakes、setout、tables、locate 或 jd");
}

// One line: line breaks in a message become blanks.
std::string OneLine(std::string message) {
  for (char& c : message) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return message;
}

}  // namespace
}  // namespace quorvane

int main(int argc, char** argv) {
  try {
    return quorvane::Run(argc, argv);
  } catch (const quorvane::CalculationError& e) {
    std::fprintf(stderr, "quorvane-line：%s\n", quorvane::OneLine(e.what()).c_str());
  } catch (const std::bad_alloc&) {
    std::fputs("quorvane-line：内存不足，请缩小范围或增大桩距\n", stderr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quorvane-line：%s\n", quorvane::OneLine(e.what()).c_str());
  }
  return 2;
}
