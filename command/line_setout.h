#pragma once

// Setting-out data for a line's stakes (放样): for each point a stake row
// gives (the centre, then the left and right edge), what the total station
// on a known station, oriented on a backsight, is turned and set to. The
// rows come from StakeRun::ForEach and go out as they come.

#include <memory>
#include <string>
#include <string_view>

#include "calc/setout.h"
#include "command/line_stakes.h"
#include "io/atomic_file.h"

namespace quorvane {

// CSV rows 点号,X,Y,方位角,平距,水平角 (SetoutHeadings), then with `heights`
// the point's design height H (empty where the profile does not reach).
// 点号 is the point's name in the .dat file (StakePointName: the stake's
// station, L or R for an edge); 方位角 and 水平角 are DD.MMSS, 平距 and the
// coordinates have `decimals` decimals. UTF-8 (a byte-order mark first when
// asked), CR LF line ends.
std::unique_ptr<StakeWriter> MakeSetoutWriter(const SetoutStation& station, bool heights, int decimals, TextSink* sink,
                                              bool byteOrderMark);

// Sets out a staking into the file at `path`: .csv as above (with a
// byte-order mark), .xml the points for a data collector as
// MakeLandXmlStakeWriter writes them (`landXmlDocument` the line's LandXML).
// Throws CalculationError for another extension, and as the run and the
// writers do.
void WriteSetoutFile(const std::string& path, const StakeRun& run, const SetoutStation& station, int decimals,
                     std::string_view landXmlDocument);

}  // namespace quorvane
