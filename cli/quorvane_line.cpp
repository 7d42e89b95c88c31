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
#include "io/atomic_file.h"
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

constexpr const char* kUsage =
    "用法：\n"
    "  quorvane-line stakes LINE.xml --interval D [--from STATION] [--to STATION] [--key-points]\n"
    "                [--offsets LEFT,RIGHT] [--cross-slope LEFT%,RIGHT%] [--decimals N] [-o FILE]\n"
    "  quorvane-line locate LINE.xml POINTS.csv [--cross-slope LEFT%,RIGHT%] [--decimals N] [-o FILE]\n"
    "  quorvane-line jd JD.csv --start-station STATION -o LINE.xml\n"
    "  quorvane-line --help | --version\n"
    "\n"
    "stakes   逐桩坐标：桩号,编码,X,Y,方位角；--offsets 加左、右边桩坐标（到中线的距离，米）；\n"
    "         路线有纵断面时加 H,左边桩H,右边桩H（--cross-slope 为左、右横坡，百分数，向外下降为负）。\n"
    "         --interval 桩距（米），--from/--to 起止桩号（K12+345.678 或米数），--key-points 加主点。\n"
    "locate   坐标反算：读入 点号,X,Y[,H]，写出 点号,桩号,偏距,备注（偏距右正）；\n"
    "         有实测高程 H 且路线有纵断面时加 设计高程,高差（实测减设计，正为挖）。\n"
    "jd       交点法：读入 交点,X,Y,R,Ls1,Ls2（首行起点、末行终点），写出 LandXML 路线文件，\n"
    "         并在标准输出列出曲线要素表。\n"
    "\n"
    "--decimals N  桩号米数与坐标、距离的小数位数（0～6，默认 3）。方位角、转角为 度.分秒。\n"
    "-o FILE       结果写入文件：.csv（带 BOM 的 UTF-8）、.dat（点号,编码,Y,X,H）、.dxf（图形）。\n"
    "出错时在标准错误输出一行中文说明，退出码为 2。\n";

[[noreturn]] void Refuse(const std::string& message) { throw CalculationError(message); }

// The command line after the command word: positional arguments and options.
class Arguments {
 public:
  // `valued` options take a value ("--interval 20" or "--interval=20");
  // `flags` take none.
  Arguments(const std::vector<std::string>& args, const std::vector<std::string_view>& valued,
            const std::vector<std::string_view>& flags) {
    for (std::size_t i = 0; i < args.size(); ++i) {
      const std::string& arg = args[i];
      if (arg.size() < 2 || arg[0] != '-' || (arg[1] >= '0' && arg[1] <= '9')) {
        positional_.push_back(arg);
        continue;
      }
      std::string name = arg;
      std::optional<std::string> value;
      if (const auto equals = arg.find('='); equals != std::string::npos && arg.starts_with("--")) {
        name = arg.substr(0, equals);
        value = arg.substr(equals + 1);
      }
      const bool isValued = std::find(valued.begin(), valued.end(), name) != valued.end();
      const bool isFlag = std::find(flags.begin(), flags.end(), name) != flags.end();
      if (!isValued && !isFlag) Refuse("未知选项 " + name + "（quorvane-line --help 列出全部选项）");
      if (isFlag) {
        if (value) Refuse("选项 " + name + " 不带数值");
        values_[name] = "";
        continue;
      }
      if (!value) {
        if (i + 1 >= args.size()) Refuse("选项 " + name + " 缺少数值");
        value = args[++i];
      }
      if (values_.count(name)) Refuse("选项 " + name + " 给了两次");
      values_[name] = *value;
    }
  }

  const std::vector<std::string>& Positional() const { return positional_; }
  bool Has(const std::string& name) const { return values_.count(name) != 0; }
  std::optional<std::string> Value(const std::string& name) const {
    const auto found = values_.find(name);
    if (found == values_.end()) return std::nullopt;
    return found->second;
  }

 private:
  std::vector<std::string> positional_;
  std::map<std::string, std::string> values_;
};

void RequirePositional(const Arguments& arguments, std::size_t count, const char* what) {
  if (arguments.Positional().size() < count) Refuse(std::string("缺少") + what + "（quorvane-line --help 查看用法）");
  if (arguments.Positional().size() > count) Refuse("多余的参数“" + arguments.Positional()[count] + "”");
}

double NumberOption(const std::string& name, const std::string& text) {
  if (IsBlankText(text) || !IsWholeNumber(text) || !std::isfinite(ReadNumber(text))) {
    Refuse("选项 " + name + " 的值“" + text + "”不是数");
  }
  return ReadNumber(text);
}

double StationOption(const std::string& name, const std::string& text) {
  if (IsBlankText(text) || !IsWholeStation(text) || !std::isfinite(ReadStation(text))) {
    Refuse("选项 " + name + " 的值“" + text + "”不是桩号（如 K12+345.678 或 12345.678）");
  }
  return ReadStation(text);
}

// "a,b" (a trailing % on each allowed with `percent`).
std::pair<double, double> PairOption(const std::string& name, const std::string& text, bool percent) {
  const auto comma = text.find(',');
  if (comma == std::string::npos) Refuse("选项 " + name + " 的值“" + text + "”应为用逗号分开的左、右两个数");
  std::string left = text.substr(0, comma);
  std::string right = text.substr(comma + 1);
  if (percent) {
    for (std::string* part : {&left, &right}) {
      if (!part->empty() && part->back() == '%') part->pop_back();
    }
  }
  return {NumberOption(name, left), NumberOption(name, right)};
}

int DecimalsOption(const Arguments& arguments) {
  const auto text = arguments.Value("--decimals");
  if (!text) return 3;
  const double value = NumberOption("--decimals", *text);
  if (value != std::floor(value) || value < 0 || value > kMaxDecimals) {
    Refuse("选项 --decimals 的值“" + *text + "”应为 0 到 " + std::to_string(kMaxDecimals) + " 的整数");
  }
  return static_cast<int>(value);
}

// Cross slopes in percent, within +/-100 % (a 45 degree side).
CrossSlopes CrossSlopeOption(const Arguments& arguments) {
  const auto text = arguments.Value("--cross-slope");
  if (!text) return {};
  const auto [left, right] = PairOption("--cross-slope", *text, true);
  if (std::abs(left) > 100 || std::abs(right) > 100) {
    Refuse("选项 --cross-slope 的值“" + *text + "”超出 -100% 到 100%");
  }
  return {left, right};
}

std::string BaseName(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Stem(const std::string& path) {
  std::string name = BaseName(path);
  const auto dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// Standard output, written once; a failed write (a full disk behind a
// redirection, a closed pipe) is an error like any other.
void WriteStandardOutput(std::string_view text) {
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
    Refuse("无法写出结果：" + FileErrorCause(errno));
  }
}

std::optional<Profile> ProfileOf(const RoadAlignment& road) {
  if (road.profile.empty()) return std::nullopt;
  return Profile(road.line, road.profile);
}

// A design elevation, or nothing outside the profile.
std::optional<double> ElevationAt(const Profile& profile, double distance_m, double offset_m, CrossSlopes slopes) {
  if (!profile.Covers(distance_m)) return std::nullopt;
  return profile.ElevationAtOffset(distance_m, offset_m, slopes);
}

// CSV text built row by row, so a long stake list is held once, as text.
class CsvTable {
 public:
  void Add(std::vector<std::string> row) {
    one_.front() = std::move(row);
    text_ += CsvText(one_, false);
  }
  // The text, with the byte-order mark the files on disk carry.
  std::string Text(bool byteOrderMark) && { return byteOrderMark ? "\xEF\xBB\xBF" + text_ : std::move(text_); }

 private:
  std::vector<std::vector<std::string>> one_{1};
  std::string text_;
};

std::string OptionalText(std::optional<double> value, int decimals) {
  return value ? FixedText(*value, decimals) : std::string();
}

// --- stakes ------------------------------------------------------------------

int RunStakes(const std::vector<std::string>& args) {
  const Arguments arguments(args, {"--interval", "--from", "--to", "--offsets", "--decimals", "--cross-slope", "-o"},
                            {"--key-points"});
  RequirePositional(arguments, 1, "路线文件 LINE.xml");
  const auto intervalText = arguments.Value("--interval");
  if (!intervalText) Refuse("缺少桩距选项 --interval");
  const double interval = NumberOption("--interval", *intervalText);
  if (!(interval > 0)) Refuse("选项 --interval 的值“" + *intervalText + "”应为正数");
  std::optional<double> from;
  std::optional<double> to;
  if (const auto text = arguments.Value("--from")) from = StationOption("--from", *text);
  if (const auto text = arguments.Value("--to")) to = StationOption("--to", *text);
  std::optional<std::pair<double, double>> offsets;
  if (const auto text = arguments.Value("--offsets")) {
    offsets = PairOption("--offsets", *text, false);
    if (offsets->first < 0 || offsets->second < 0) {
      Refuse("选项 --offsets 的值“" + *text + "”应为左、右边桩到中线的距离（不小于0的米数）");
    }
  }
  const int decimals = DecimalsOption(arguments);
  const CrossSlopes slopes = CrossSlopeOption(arguments);
  const auto output = arguments.Value("-o");
  std::optional<ExportFormat> format;
  if (output) {
    format = ExportFormatOf(*output);
    if (!format) Refuse("输出文件“" + *output + "”的扩展名应为 .csv、.dat 或 .dxf");
  }

  const RoadAlignment road = ReadLandXml(arguments.Positional()[0]);
  // Stations off the line, or in a short chain's gap, are refused with the
  // line's own reason.
  for (const auto& [name, station] : {std::pair{"--from", from}, {"--to", to}}) {
    if (!station) continue;
    try {
      road.line.DistanceAt(*station);
    } catch (const CalculationError& e) {
      Refuse(std::string("选项 ") + name + " 的桩号：" + e.what());
    }
  }
  const std::optional<Profile> profile = ProfileOf(road);
  const std::vector<LineStake> stakes = road.line.Stakes(interval, from, to, arguments.Has("--key-points"));

  const bool drawn = format && *format != ExportFormat::Csv;  // points for a .dat or .dxf
  CsvTable rows;
  std::vector<std::string> header{"桩号", "编码", "X", "Y", "方位角"};
  if (offsets) header.insert(header.end(), {"左边桩X", "左边桩Y", "右边桩X", "右边桩Y"});
  if (profile) {
    header.push_back("H");
    if (offsets) header.insert(header.end(), {"左边桩H", "右边桩H"});
  }
  rows.Add(header);
  ExportDrawing drawing;
  std::size_t grade = 0;  // the stakes come in order: each height found without a search
  for (const LineStake& stake : stakes) {
    const std::string name = StationText(stake.station_m, decimals);
    std::vector<std::string> row{name, stake.code, FixedText(stake.point.X_m, decimals),
                                 FixedText(stake.point.Y_m, decimals), AzimuthText(stake.point.azimuth_rad)};
    std::optional<double> H;
    std::optional<double> leftH;
    std::optional<double> rightH;
    if (profile && profile->Covers(stake.distance_m)) H = profile->ElevationAtDistance(stake.distance_m, grade);
    if (drawn) drawing.stakes.push_back({name, stake.code, stake.point.X_m, stake.point.Y_m, H.value_or(0)});
    if (offsets) {
      const LinePoint left = road.line.PointAtOffset(stake.distance_m, -offsets->first);
      const LinePoint right = road.line.PointAtOffset(stake.distance_m, offsets->second);
      row.insert(row.end(), {FixedText(left.X_m, decimals), FixedText(left.Y_m, decimals),
                             FixedText(right.X_m, decimals), FixedText(right.Y_m, decimals)});
      if (H) {
        leftH = *H + slopes.RiseAt(-offsets->first);
        rightH = *H + slopes.RiseAt(offsets->second);
      }
      if (drawn) {
        drawing.leftPoints.push_back({name + "L", stake.code, left.X_m, left.Y_m, leftH.value_or(0)});
        drawing.rightPoints.push_back({name + "R", stake.code, right.X_m, right.Y_m, rightH.value_or(0)});
      }
    }
    if (profile) {
      row.push_back(OptionalText(H, decimals));
      if (offsets) row.insert(row.end(), {OptionalText(leftH, decimals), OptionalText(rightH, decimals)});
    }
    rows.Add(std::move(row));
  }
  drawing.centreLine = drawing.stakes;
  drawing.leftLine = drawing.leftPoints;
  drawing.rightLine = drawing.rightPoints;

  if (!output) {
    WriteStandardOutput(std::move(rows).Text(false));
  } else if (*format == ExportFormat::Csv) {
    WriteFileAtomically(*output, std::move(rows).Text(true));
  } else if (*format == ExportFormat::Dat) {
    // Each stake followed by its side points, as the window writes them.
    std::vector<ExportPoint> points;
    for (std::size_t i = 0; i < drawing.stakes.size(); ++i) {
      points.push_back(drawing.stakes[i]);
      if (offsets) {
        points.push_back(drawing.leftPoints[i]);
        points.push_back(drawing.rightPoints[i]);
      }
    }
    WriteFileAtomically(*output, DatText(points));
  } else {
    WriteDxfFile(*output, drawing);
  }
  return 0;
}

// --- locate ------------------------------------------------------------------

// A whole number in a cell, or a refusal naming the file, line and column.
double CellNumber(const std::string& file, const CsvRow& row, std::size_t column, const char* name) {
  const std::string& text = row.fields[column];
  if (IsBlankText(text) || !IsWholeNumber(text) || !std::isfinite(ReadNumber(text))) {
    Refuse("文件“" + file + "”第" + std::to_string(row.line) + "行：" + name + "“" + text + "”不是数");
  }
  return ReadNumber(text);
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
  const Arguments arguments(args, {"--decimals", "--cross-slope", "-o"}, {});
  RequirePositional(arguments, 2, "路线文件 LINE.xml 或点文件 POINTS.csv");
  const int decimals = DecimalsOption(arguments);
  const CrossSlopes slopes = CrossSlopeOption(arguments);
  const auto output = arguments.Value("-o");
  if (output && ExportFormatOf(*output) != ExportFormat::Csv) {
    Refuse("反算结果只能写入 .csv 文件，“" + *output + "”不是");
  }
  const RoadAlignment road = ReadLandXml(arguments.Positional()[0]);
  const std::string& pointsFile = arguments.Positional()[1];
  std::vector<CsvRow> input = ReadCsvRows(ReadWholeFile(pointsFile), pointsFile);
  if (!input.empty() && IsHeader(input.front(), 1)) input.erase(input.begin());
  bool measured = false;  // a fourth column of measured heights
  for (const CsvRow& row : input) {
    if (row.fields.size() < 3) {
      Refuse("文件“" + pointsFile + "”第" + std::to_string(row.line) + "行应有 点号,X,Y 三列");
    }
    measured = measured || (row.fields.size() >= 4 && !IsBlankText(row.fields[3]));
  }
  const std::optional<Profile> profile = ProfileOf(road);
  const bool heights = measured && profile;
  if (measured && !profile) std::fputs("提示：路线文件没有纵断面，不计算设计高程。\n", stderr);

  CsvTable rows;
  std::vector<std::string> header{"点号", "桩号", "偏距", "备注"};
  if (heights) header.insert(header.end(), {"设计高程", "高差"});
  rows.Add(std::move(header));
  for (const CsvRow& row : input) {
    const double X = CellNumber(pointsFile, row, 1, "X");
    const double Y = CellNumber(pointsFile, row, 2, "Y");
    std::optional<double> H;
    if (heights && row.fields.size() >= 4 && !IsBlankText(row.fields[3])) H = CellNumber(pointsFile, row, 3, "H");
    const LineLocation where = road.line.Find(X, Y);
    const LocatedTexts texts = LocatedText(where, decimals);
    std::vector<std::string> out{row.fields[0], texts.station, texts.offset, texts.remark};
    std::optional<double> design;
    if (where.status == LocateStatus::OnLine && heights) {
      design = ElevationAt(*profile, where.foot.distance_m, where.foot.offset_m, slopes);
      if (!design) out[3] = JoinRemarks(out[3], kNotOnProfileRemark);
    }
    if (heights) {
      out.push_back(OptionalText(design, decimals));
      out.push_back(design && H ? CutFillText(*H, *design, decimals).amount : std::string());
    }
    rows.Add(std::move(out));
  }
  if (output) {
    WriteFileAtomically(*output, std::move(rows).Text(true));
  } else {
    WriteStandardOutput(std::move(rows).Text(false));
  }
  return 0;
}

// --- jd ----------------------------------------------------------------------

int RunJd(const std::vector<std::string>& args) {
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
  const RoadAlignment road{Stem(*output), Line(design.start, design.elements), {}};

  std::vector<std::vector<std::string>> rows;
  rows.push_back({"交点", "桩号", "转角", "R", "Ls1", "Ls2", "T1", "T2", "L", "E", "ZH", "HY", "QZ", "YH", "HZ"});
  for (const JdCurve& c : design.curves) {
    rows.push_back({c.name, StationText(c.jdStation_m, 3), AngleText(c.deflection_rad), FixedText(c.R_m, 3),
                    FixedText(c.Ls1_m, 3), FixedText(c.Ls2_m, 3), FixedText(c.T1_m, 3), FixedText(c.T2_m, 3),
                    FixedText(c.L_m, 3), FixedText(c.E_m, 3), StationText(c.ZH_m, 3), StationText(c.HY_m, 3),
                    StationText(c.QZ_m, 3), StationText(c.YH_m, 3), StationText(c.HZ_m, 3)});
  }
  const std::string table = CsvText(rows, false);
  WriteLandXml(*output, road);
  WriteStandardOutput(table);
  return 0;
}

int Run(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) Refuse("缺少命令 stakes、locate 或 jd（quorvane-line --help 查看用法）");
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
  Refuse("未知命令“" + command + "”，应为 stakes、locate 或 jd");
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
