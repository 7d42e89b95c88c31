#include "cli/cli_common.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>

#include "calc/calculation_error.h"
#include "calc/messages.h"
#include "calc/read_number.h"
#include "io/cross_section_csv.h"
#include "io/export.h"
#include "io/read_file.h"
#include "report/line_text.h"

namespace quorvane::cli {

void Refuse(const std::string& message) { throw CalculationError(message); }

Arguments::Arguments(const std::vector<std::string>& args, const std::vector<std::string_view>& valued,
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

StandardOutput::StandardOutput() { std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16); }

void StandardOutput::Write(std::string_view bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
    Refuse("无法写出结果：" + FileErrorCause(errno));
  }
}

void StandardOutput::Flush() {
  if (std::fflush(stdout) != 0) Refuse("无法写出结果：" + FileErrorCause(errno));
}

void WriteStandardOutput(std::string_view text) {
  StandardOutput out;
  out.Write(text);
  out.Flush();
}

RoadAlignment ReadLineFile(const Arguments& arguments) {
  const std::string& path = arguments.Positional().at(0);
  const auto name = arguments.Value("--alignment");
  RoadAlignment road = name ? ReadLandXml(path, *name) : ReadLandXml(path);
  if (!name) {
    const std::vector<AlignmentSummary> all = ListLandXmlAlignments(path);
    if (all.size() > 1) {
      std::string others;
      for (std::size_t i = 1; i < all.size(); ++i) others += (i > 1 ? "、" : "") + ("“" + all[i].name + "”");
      std::fprintf(
          stderr, "quorvane-line：提示：文件中共有 %zu 条路线，使用第一条“%s”；其余为 %s（用 --alignment 名称 选择）\n",
          all.size(), road.name.c_str(), others.c_str());
    }
  }
  for (const std::string& warning : road.warnings) std::fprintf(stderr, "quorvane-line：提示：%s\n", warning.c_str());
  return road;
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

void CsvTable::Add(std::vector<std::string> row) {
  one_.front() = std::move(row);
  text_ += CsvText(one_, false);
}

std::string CsvTable::Text(bool byteOrderMark) && {
  return byteOrderMark ? std::string(kCsvByteOrderMark) + text_ : std::move(text_);
}

std::string OptionalText(std::optional<double> value, int decimals) {
  return value ? FixedText(*value, decimals) : std::string();
}

StakeOptions StakeOptionsOf(const Arguments& arguments) {
  if (arguments.Has("--cross-section") && (arguments.Has("--offsets") || arguments.Has("--cross-slope"))) {
    Refuse(kCrossSectionWithOffsetsPrompt);
  }
  const auto intervalText = arguments.Value("--interval");
  if (!intervalText) Refuse("缺少桩距选项 --interval");
  StakeOptions options;
  options.interval_m = NumberOption("--interval", *intervalText);
  if (!(options.interval_m > 0)) Refuse("选项 --interval 的值“" + *intervalText + "”应为正数");
  if (const auto text = arguments.Value("--from")) options.fromStation_m = StationOption("--from", *text);
  if (const auto text = arguments.Value("--to")) options.toStation_m = StationOption("--to", *text);
  if (const auto text = arguments.Value("--offsets")) {
    const auto [left, right] = PairOption("--offsets", *text, false);
    if (left < 0 || right < 0) {
      Refuse("选项 --offsets 的值“" + *text + "”应为左、右边桩到中线的距离（不小于0的米数）");
    }
    options.leftWidth_m = left;
    options.rightWidth_m = right;
  }
  options.keyPoints = arguments.Has("--key-points");
  options.slopes = CrossSlopeOption(arguments);
  return options;
}

void CheckStakeStations(const RoadAlignment& road, const StakeOptions& options) {
  for (const auto& [name, station] : {std::pair{"--from", options.fromStation_m}, {"--to", options.toStation_m}}) {
    if (!station) continue;
    try {
      road.line.DistanceAt(*station);
    } catch (const CalculationError& e) {
      Refuse(std::string("选项 ") + name + " 的桩号：" + e.what());
    }
  }
}

const std::vector<CrossSectionRow>* CrossSectionOf(const RoadAlignment& road) {
  return road.crossSection.empty() ? nullptr : &road.crossSection;
}

std::optional<CrossSection> CrossSectionFor(const Arguments& arguments, const RoadAlignment& road) {
  if (const auto path = arguments.Value("--cross-section")) {
    std::vector<CrossSectionRow> rows = ReadCrossSectionCsv(ReadWholeFile(*path), *path);
    try {
      return CrossSection(road.line, std::move(rows));
    } catch (const CalculationError& e) {
      Refuse("文件“" + *path + "”" + e.what());
    }
  }
  if (arguments.Has("--offsets") || arguments.Has("--cross-slope")) return std::nullopt;
  if (const std::vector<CrossSectionRow>* rows = CrossSectionOf(road)) {
    try {
      return CrossSection(road.line, *rows);
    } catch (const CalculationError& e) {
      Refuse("路线文件中的横断面表" + std::string(e.what()));
    }
  }
  return std::nullopt;
}

std::unique_ptr<StakedLine> StakeLineFile(const Arguments& arguments, StakeOptions options) {
  auto staked = std::unique_ptr<StakedLine>(new StakedLine{ReadLineFile(arguments), {}, {}, {}});
  CheckStakeStations(staked->road, options);
  staked->crossSection = CrossSectionFor(arguments, staked->road);
  if (staked->crossSection) options.crossSection = &*staked->crossSection;
  staked->profile = ProfileOf(staked->road);
  staked->run.emplace(staked->road.line, staked->profile ? &*staked->profile : nullptr, options);
  return staked;
}

}  // namespace quorvane::cli
