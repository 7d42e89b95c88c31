// quorvane-line stakes: the stake rows of a line, written as they are
// computed (standard output or a file in the format its extension asks for).

#include <optional>
#include <string>
#include <vector>

#include "calc/calculation_error.h"
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "command/line_stakes.h"
#include "io/export.h"
#include "io/landxml.h"

namespace quorvane::cli {

int RunStakes(const std::vector<std::string>& args) {
  const Arguments arguments(args,
                            {"--interval", "--from", "--to", "--offsets", "--decimals", "--cross-slope",
                             "--cross-section", "--alignment", "-o"},
                            {"--key-points"});
  RequirePositional(arguments, 1, "路线文件 LINE.xml");
  const StakeOptions options = StakeOptionsOf(arguments);
  const int decimals = DecimalsOption(arguments);
  const auto output = arguments.Value("-o");
  if (output && !ExportFormatOf(*output) && !IsLandXmlFileName(*output)) {
    Refuse("输出文件“" + *output + "”的扩展名应为 .csv、.dat、.dxf 或 .xml");
  }

  const std::unique_ptr<StakedLine> staked = StakeLineFile(arguments, options);
  const RoadAlignment& road = staked->road;
  const StakeRun& run = *staked->run;

  if (!output) {
    StandardOutput out;
    const auto writer = MakeStakeWriter(ExportFormat::Csv, run.Columns(), decimals, &out, false);
    run.ForEach([&](const StakeRow& row) { writer->Add(row); });
    writer->Finish();
    out.Flush();
  } else if (IsLandXmlFileName(*output)) {
    WriteStakeFile(*output, run, decimals, LandXmlText(road));
  } else {
    WriteStakeFile(*output, run, decimals);
  }
  return 0;
}

}  // namespace quorvane::cli
