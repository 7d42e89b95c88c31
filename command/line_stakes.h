#pragma once

// The stake rows of a whole line (逐桩坐标): the centre point of each stake,
// its edge points and their design heights. One engine for every face: the
// 路线 window's 逐桩坐标 tab, quorvane-line stakes, and the files both write.
// The rows are computed one at a time and handed on as they are made, so a
// stake file streams and memory does not grow with the line's length.
//
// Units: metres; stations are the displayed chainage, distances are along
// the line; azimuths in radians clockwise from north; slopes in percent.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/cross_section.h"
#include "calc/line.h"
#include "calc/profile.h"
#include "io/atomic_file.h"
#include "io/export.h"

namespace quorvane {

// What to stake.
struct StakeOptions {
  double interval_m = 20;                            // > 0
  std::optional<double> fromStation_m, toStation_m;  // default: the line's ends
  bool keyPoints = false;                            // every key point (主点) too
  // The distance from the design line to the left and right edge (>= 0); a
  // side without one has no edge point.
  std::optional<double> leftWidth_m, rightWidth_m;
  CrossSlopes slopes;  // the edges' heights where the line has a profile
  // The cross-section table (超高、加宽表), built on the same line: when given,
  // both edges are staked at its widths and their heights follow its slopes
  // (centre + width * slope / 100); the widths and slopes above are then
  // not used. Must outlive the run.
  const CrossSection* crossSection = nullptr;
};

// One stake: the centre point on the line, the edge points where the
// options ask for them, and the design heights where the profile covers the
// stake (empty elsewhere and without a profile).
struct StakeRow {
  LineStake stake;
  std::optional<LinePoint> left, right;
  std::optional<double> H_m, leftH_m, rightH_m;
};

// The columns of a stake table and file, in their order.
enum class StakeColumn { Station, Code, X, Y, Azimuth, LeftX, LeftY, RightX, RightY, H, LeftH, RightH };

// One staking of a line, checked once in the constructor, then run as often
// as asked. Holds references to `line` and `profile`, which must outlive it.
class StakeRun {
 public:
  // Throws CalculationError (texts in calc/messages.h): an interval that is
  // not a positive number, a width that is negative or not a number, a
  // station off the line or in a short chain's gap (named as the from or to
  // station), from after to.
  StakeRun(const Line& line, const Profile* profile, StakeOptions options);

  const StakeOptions& Options() const { return options_; }
  bool HasLeft() const { return options_.crossSection != nullptr || options_.leftWidth_m.has_value(); }
  bool HasRight() const { return options_.crossSection != nullptr || options_.rightWidth_m.has_value(); }
  bool HasHeights() const { return profile_ != nullptr; }
  const Line& RoadLine() const { return line_; }

  // 桩号, 编码, X, Y, 方位角, the edges' X and Y on a side with a width,
  // then with a profile H and the edges' heights.
  std::vector<StakeColumn> Columns() const;

  // Hands each row to `visit` in order along the line as it is computed.
  void ForEach(const std::function<void(const StakeRow&)>& visit) const;

  // Every row (the window keeps them to show, sort and select).
  std::vector<StakeRow> Rows() const;

 private:
  const Line& line_;
  const Profile* profile_;
  StakeOptions options_;
};

// The column's heading: 桩号, 编码, X, Y, 方位角, 左边桩X, …, H, 左边桩H, 右边桩H.
const char* StakeColumnTitle(StakeColumn column);

// A cell's text, the same in the window's table and every file:
//  - 桩号: K-notation with `decimals` decimals; at a chainage equation both
//    stations, "K3+700.000=K3+680.000" (station back = station ahead);
//  - 编码: the key point's code;
//  - coordinates and heights with `decimals` decimals, empty where there is
//    none (a height outside the profile);
//  - 方位角: DD.MMSS with four decimals.
// Throws CalculationError(kOverflowPrompt) for a value that is not finite.
std::string StakeCellText(const StakeRow& row, StakeColumn column, int decimals);

// The point names of a stake in coordinate files: its station in K-notation,
// in a long chain's repeated stretch followed by the pass ("K3+690.000-2"),
// so that no two points of a file share a name; edge points add L or R.
// `side` is 0 for the centre, 'L' or 'R'.
std::string StakePointName(const StakeRow& row, int decimals, char side = 0);

// Writes stake rows to a file as they come. Add takes rows in any order
// (the window writes its rows as sorted or selected); Finish completes the
// file (and for a file on disk replaces the earlier one). Nothing is left
// half-written when a writer is destroyed without Finish.
class StakeWriter {
 public:
  virtual ~StakeWriter() = default;
  virtual void Add(const StakeRow& row) = 0;
  virtual void Finish() = 0;
};

// The writer for a file in `format`:
//  - Csv: the heading and the cells of Columns(), UTF-8 (with a byte-order
//    mark when `byteOrderMark`), CR LF line ends;
//  - Dat: 点号,编码,Y,X,H per point, each stake followed by its edge points;
//    H 0.000 where there is no height;
//  - Dxf: stakes with their labels, edge points, and the centre and edge
//    lines through them (a drawing is made whole at Finish: its rows are
//    kept until then).
// The rows go to `sink` (Csv, Dat); a Dxf goes to the file `dxfPath`.
std::unique_ptr<StakeWriter> MakeStakeWriter(ExportFormat format, const std::vector<StakeColumn>& columns, int decimals,
                                             TextSink* sink, bool byteOrderMark, const std::string& dxfPath = {});

// Whether a file name asks for LandXML points (.xml in any letter case).
bool IsLandXmlFileName(std::string_view fileName);

// The writer of a LandXML 1.2 file for data collectors: `document` (the
// line's own LandXmlText) with every point of the rows added as a CgPoint,
// named and coded as in the .dat file (centre, then L and R), its height
// where the row has one. The file at `path` is replaced at Finish.
std::unique_ptr<StakeWriter> MakeLandXmlStakeWriter(const std::string& path, std::string_view document, int decimals);

// Hands stake rows, one at a time, to the function it is given.
using StakeRowSource = std::function<void(const std::function<void(const StakeRow&)>&)>;

// Stakes a line into the file at `path` in the format its extension asks
// for (.csv, .dat, .dxf, and .xml when `landXmlDocument` holds the line's
// LandXML), whole or not at all. Throws CalculationError for another
// extension, and as the run and the writers do.
void WriteStakeFile(const std::string& path, const StakeRun& run, int decimals, std::string_view landXmlDocument = {});

// The same for rows kept elsewhere (the window's sorted or selected rows),
// with the columns they were computed with.
void WriteStakeFile(const std::string& path, const std::vector<StakeColumn>& columns, const StakeRowSource& rows,
                    int decimals, std::string_view landXmlDocument = {});

}  // namespace quorvane
