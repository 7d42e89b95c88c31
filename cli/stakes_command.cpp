// quorvane-line stakes: the stake rows of a line, written as they are
// computed (standard output or a file in the format its extension asks for).

#include "cli/commands.h"

#include <optional>
#include <string>
#include <vector>

#include "calc/calculation_error.h"
#include "cli/cli_common.h"
#include "command/line_stakes.h"
#include "io/export.h"
#include "io/landxml.h"

namespace quorvane::cli {

int RunStakes(const std::vector<std::string>& args) {
  const Arguments arguments(args, {"--interval", "--from", "--to", "--offsets", "--decimals", "--cross-slope",
                                   "--alignment", "-o"},
                            {"--key-points"});
  RequirePositional(arguments, 1, "路线文件 LINE.xml");
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
  const int decimals = DecimalsOption(arguments);
  const auto output = arguments.Value("-o");
  std::optional<ExportFormat> format;
  if (output) {
    format = ExportFormatOf(*output);
    if (!format) Refuse("输出文件“" + *output + "”的扩展名应为 .csv、.dat 或 .dxf");
  }

  const RoadAlignment road = ReadLineFile(arguments);
  // Stations off the line, or in a short chain's gap, are refused with the
  // line's own reason.
  for (const auto& [name, station] : {std::pair{"--from", options.fromStation_m}, {"--to", options.toStation_m}}) {
    if (!station) continue;
    try {
      road.line.DistanceAt(*station);
    } catch (const CalculationError& e) {
      Refuse(std::string("选项 ") + name + " 的桩号：" + e.what());
    }
  }
  const std::optional<Profile> profile = ProfileOf(road);
  const StakeRun run(road.line, profile ? &*profile : nullptr, options);

  if (!output) {
    StandardOutput out;
    const auto writer = MakeStakeWriter(ExportFormat::Csv, run.Columns(), decimals, &out, false);
    run.ForEach([&](const StakeRow& row) { writer->Add(row); });
    writer->Finish();
    out.Flush();
  } else {
    WriteStakeFile(*output, run, decimals);
  }
  return 0;
}

}  // namespace quorvane::cli
