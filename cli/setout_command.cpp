// quorvane-line setout: the setting-out data of a line's stakes from an
// instrument station oriented on a backsight, written as they are computed.

#include <optional>
#include <string>
#include <vector>

#include "calc/messages.h"
#include "calc/setout.h"
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "command/line_setout.h"
#include "command/line_stakes.h"
#include "io/export.h"
#include "io/landxml.h"

namespace quorvane::cli {

int RunSetout(const std::vector<std::string>& args) {
  const Arguments arguments(args,
                            {"--station", "--backsight", "--interval", "--from", "--to", "--offsets", "--cross-slope",
                             "--cross-section", "--decimals", "--alignment", "-o"},
                            {"--key-points"});
  RequirePositional(arguments, 1, "路线文件 LINE.xml");
  const auto stationText = arguments.Value("--station");
  if (!stationText) Refuse(kSetoutStationMissingPrompt);
  const auto backsightText = arguments.Value("--backsight");
  if (!backsightText) Refuse(kSetoutBacksightMissingPrompt);
  const auto [stationX, stationY] = PairOption("--station", *stationText, false);
  const auto [backsightX, backsightY] = PairOption("--backsight", *backsightText, false);
  const SetoutStation station(stationX, stationY, backsightX, backsightY);
  const StakeOptions options = StakeOptionsOf(arguments);
  const int decimals = DecimalsOption(arguments);
  const auto output = arguments.Value("-o");
  if (output && ExportFormatOf(*output) != ExportFormat::Csv && !IsLandXmlFileName(*output)) {
    Refuse(SetoutFileTypePrompt(*output));
  }

  const std::unique_ptr<StakedLine> staked = StakeLineFile(arguments, options);
  const RoadAlignment& road = staked->road;
  const StakeRun& run = *staked->run;

  if (!output) {
    StandardOutput out;
    const auto writer = MakeSetoutWriter(station, run.HasHeights(), decimals, &out, false);
    run.ForEach([&](const StakeRow& row) { writer->Add(row); });
    writer->Finish();
    out.Flush();
  } else {
    WriteSetoutFile(*output, run, station, decimals, LandXmlText(road));
  }
  return 0;
}

}  // namespace quorvane::cli
