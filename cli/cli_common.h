#pragma once

// What the commands of quorvane-line share: the command line's options, the
// refusal of a bad value (one Chinese line on standard error, exit status
// 2) and standard output.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/cross_section.h"
#include "calc/profile.h"
#include "command/line_stakes.h"
#include "io/atomic_file.h"
#include "io/landxml.h"

namespace quorvane::cli {

// Throws the CalculationError main() prints as the tool's one line.
[[noreturn]] void Refuse(const std::string& message);

// The command line after the command word: positional arguments and options.
class Arguments {
 public:
  // `valued` options take a value ("--interval 20" or "--interval=20");
  // `flags` take none.
  Arguments(const std::vector<std::string>& args, const std::vector<std::string_view>& valued,
            const std::vector<std::string_view>& flags);

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

// Refuses fewer or more positional arguments than `count`.
void RequirePositional(const Arguments& arguments, std::size_t count, const char* what);

// An option's value read as a number, a station (K12+345.678 or metres) or
// "a,b" (a trailing % on each allowed with `percent`); refused otherwise.
double NumberOption(const std::string& name, const std::string& text);
double StationOption(const std::string& name, const std::string& text);
std::pair<double, double> PairOption(const std::string& name, const std::string& text, bool percent);

// --decimals (0..kMaxDecimals, default 3).
int DecimalsOption(const Arguments& arguments);

// --cross-slope in percent, within +/-100 % (a 45 degree side).
CrossSlopes CrossSlopeOption(const Arguments& arguments);

std::string BaseName(const std::string& path);
// The file name without folder and extension.
std::string Stem(const std::string& path);

// Standard output as a TextSink; a failed write (a full disk behind a
// redirection, a closed pipe) is refused like any other error.
class StandardOutput : public TextSink {
 public:
  StandardOutput();
  void Write(std::string_view bytes) override;
  void Flush();
};

// Writes `text` to standard output at once.
void WriteStandardOutput(std::string_view text);

// The line file named first on the command line: the alignment named by
// --alignment, else the file's first (when it holds more, one line on
// standard error names the others). The reader's remarks (values off by a
// few millimetres, where heights stop) go to standard error, one a line.
RoadAlignment ReadLineFile(const Arguments& arguments);

std::optional<Profile> ProfileOf(const RoadAlignment& road);

// A design elevation, or nothing outside the profile.
std::optional<double> ElevationAt(const Profile& profile, double distance_m, double offset_m, CrossSlopes slopes);

// CSV text built row by row, so a long table is held once, as text.
class CsvTable {
 public:
  void Add(std::vector<std::string> row);
  // The text, with the byte-order mark the files on disk carry.
  std::string Text(bool byteOrderMark) &&;

 private:
  std::vector<std::vector<std::string>> one_{1};
  std::string text_;
};

std::string OptionalText(std::optional<double> value, int decimals);

// The options that choose stakes, shared by stakes, setout and tables:
// --interval (required), --from, --to, --key-points, --offsets L,R and
// --cross-slope. --cross-section with --offsets or --cross-slope is refused
// here, before any file is read.
StakeOptions StakeOptionsOf(const Arguments& arguments);

// Refuses a --from or --to the line has no distance for, with the line's
// own reason.
void CheckStakeStations(const RoadAlignment& road, const StakeOptions& options);

// The cross-section table a line file holds (saved from the 路线 window's
// 横断面 tab), or nullptr: every command takes it when no option is given.
const std::vector<CrossSectionRow>* CrossSectionOf(const RoadAlignment& road);

// The cross-section table of a run: the file named by --cross-section (its
// faults named with the file and 第N行), else the line file's own table
// unless --offsets or --cross-slope says otherwise, else none.
std::optional<CrossSection> CrossSectionFor(const Arguments& arguments, const RoadAlignment& road);

// The line file of the command line staked as the options ask: the
// alignment, its profile and cross-section table, and the run over them
// (which refers to the others, so the whole is kept in one place that does
// not move). Refuses as ReadLineFile, CheckStakeStations and
// CrossSectionFor do, and as StakeRun's constructor.
struct StakedLine {
  RoadAlignment road;
  std::optional<Profile> profile;
  std::optional<CrossSection> crossSection;
  std::optional<StakeRun> run;
};
std::unique_ptr<StakedLine> StakeLineFile(const Arguments& arguments, StakeOptions options);

}  // namespace quorvane::cli
