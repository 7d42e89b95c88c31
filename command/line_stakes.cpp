#include "command/line_stakes.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "calc/calculation_error.h"
#include "calc/messages.h"
#include "command/save_export.h"
#include "io/landxml_points.h"
#include "report/line_text.h"

namespace quorvane {
namespace {

// Rows are gathered into pieces of this size before they go to the sink.
constexpr std::size_t kWriteChunk = 1 << 16;

std::optional<double> HeightAt(const Profile* profile, double distance_m, std::size_t& grade) {
  if (profile == nullptr || !profile->Covers(distance_m)) return std::nullopt;
  return profile->ElevationAtDistance(distance_m, grade);
}

void CheckStation(const Line& line, std::optional<double> station_m, const char* name) {
  if (!station_m) return;
  try {
    line.DistanceAt(*station_m);
  } catch (const CalculationError& e) {
    throw CalculationError(std::string(name) + e.what());
  }
}

std::string OptionalText(const std::optional<double>& value, int decimals) {
  return value ? FixedText(*value, decimals) : std::string();
}

}  // namespace

StakeRun::StakeRun(const Line& line, const Profile* profile, StakeOptions options)
    : line_(line), profile_(profile), options_(std::move(options)) {
  if (!std::isfinite(options_.interval_m) || !(options_.interval_m > 0)) throw CalculationError(kStakeIntervalPrompt);
  for (const auto& width : {options_.leftWidth_m, options_.rightWidth_m}) {
    if (width && !(*width >= 0 && std::isfinite(*width))) throw CalculationError(kEdgeWidthPrompt);
  }
  if (!std::isfinite(options_.slopes.left_percent) || !std::isfinite(options_.slopes.right_percent)) {
    throw CalculationError(kCrossSlopeNotANumberPrompt);
  }
  CheckStation(line_, options_.fromStation_m, kFromStationName);
  CheckStation(line_, options_.toStation_m, kToStationName);
  // From after to is refused now, not at the first row: the line checks
  // the range before it hands over a stake, and the first one ends the look.
  struct Checked {};
  try {
    line_.ForEachStake(options_.interval_m, options_.fromStation_m, options_.toStation_m, false,
                       [](const LineStake&) { throw Checked{}; });
  } catch (const Checked&) {
  }
}

std::vector<StakeColumn> StakeRun::Columns() const {
  std::vector<StakeColumn> columns{StakeColumn::Station, StakeColumn::Code, StakeColumn::X, StakeColumn::Y,
                                   StakeColumn::Azimuth};
  if (HasLeft()) columns.insert(columns.end(), {StakeColumn::LeftX, StakeColumn::LeftY});
  if (HasRight()) columns.insert(columns.end(), {StakeColumn::RightX, StakeColumn::RightY});
  if (HasHeights()) {
    columns.push_back(StakeColumn::H);
    if (HasLeft()) columns.push_back(StakeColumn::LeftH);
    if (HasRight()) columns.push_back(StakeColumn::RightH);
  }
  return columns;
}

void StakeRun::ForEach(const std::function<void(const StakeRow&)>& visit) const {
  std::size_t grade = 0;    // the stakes come in order: each height found without a search
  std::size_t stretch = 0;  // and each cross-section likewise
  StakeRow row;
  const CrossSection* table = options_.crossSection;
  line_.ForEachStake(options_.interval_m, options_.fromStation_m, options_.toStation_m, options_.keyPoints,
                     [&](const LineStake& stake) {
                       row.stake = stake;
                       row.H_m = HeightAt(profile_, stake.distance_m, grade);
                       row.leftH_m = row.rightH_m = std::nullopt;
                       if (table != nullptr) {
                         const SectionAt section = table->At(stake.distance_m, stretch);
                         row.left = line_.PointAtOffset(stake.distance_m, section.LeftEdgeOffset_m());
                         row.right = line_.PointAtOffset(stake.distance_m, section.RightEdgeOffset_m());
                         if (row.H_m) {
                           row.leftH_m = *row.H_m + section.LeftEdgeRise_m();
                           row.rightH_m = *row.H_m + section.RightEdgeRise_m();
                         }
                         visit(row);
                         return;
                       }
                       if (options_.leftWidth_m) {
                         row.left = line_.PointAtOffset(stake.distance_m, -*options_.leftWidth_m);
                         if (row.H_m) row.leftH_m = *row.H_m + options_.slopes.RiseAt(-*options_.leftWidth_m);
                       }
                       if (options_.rightWidth_m) {
                         row.right = line_.PointAtOffset(stake.distance_m, *options_.rightWidth_m);
                         if (row.H_m) row.rightH_m = *row.H_m + options_.slopes.RiseAt(*options_.rightWidth_m);
                       }
                       visit(row);
                     });
}

std::vector<StakeRow> StakeRun::Rows() const {
  std::vector<StakeRow> rows;
  // Room for the multiples at once (a list grown row by row costs far more
  // than its rows); the key points may add a few.
  const double from = options_.fromStation_m ? line_.DistanceAt(*options_.fromStation_m) : 0.0;
  const double to = options_.toStation_m ? line_.DistanceAt(*options_.toStation_m) : line_.Length_m();
  const double estimate = std::abs(to - from) / options_.interval_m + 2.0 * static_cast<double>(line_.Elements().size()) +
                          2.0 * static_cast<double>(line_.Equations().size()) + 4;
  rows.reserve(static_cast<std::size_t>(std::min(estimate, static_cast<double>(kMaxLineStakes))));
  ForEach([&](const StakeRow& row) {
    if (rows.size() >= kMaxLineStakes) throw CalculationError(kLineTooManyStakesPrompt);
    rows.push_back(row);
  });
  return rows;
}

const char* StakeColumnTitle(StakeColumn column) {
  switch (column) {
    case StakeColumn::Station:
      return "桩号";
    case StakeColumn::Code:
      return "编码";
    case StakeColumn::X:
      return "X";
    case StakeColumn::Y:
      return "Y";
    case StakeColumn::Azimuth:
      return "方位角";
    case StakeColumn::LeftX:
      return "左边桩X";
    case StakeColumn::LeftY:
      return "左边桩Y";
    case StakeColumn::RightX:
      return "右边桩X";
    case StakeColumn::RightY:
      return "右边桩Y";
    case StakeColumn::H:
      return "H";
    case StakeColumn::LeftH:
      return "左边桩H";
    case StakeColumn::RightH:
      return "右边桩H";
  }
  return "";
}

std::string StakeCellText(const StakeRow& row, StakeColumn column, int decimals) {
  const auto coordinate = [&](const std::optional<LinePoint>& p, bool north) {
    return p ? FixedText(north ? p->X_m : p->Y_m, decimals) : std::string();
  };
  switch (column) {
    case StakeColumn::Station:
      if (row.stake.equation) {
        return StationText(row.stake.equation->stationBack_m, decimals) + "=" +
               StationText(row.stake.equation->stationAhead_m, decimals);
      }
      return StationText(row.stake.station_m, decimals);
    case StakeColumn::Code:
      return std::string(row.stake.code);
    case StakeColumn::X:
      return FixedText(row.stake.point.X_m, decimals);
    case StakeColumn::Y:
      return FixedText(row.stake.point.Y_m, decimals);
    case StakeColumn::Azimuth:
      return AzimuthText(row.stake.point.azimuth_rad);
    case StakeColumn::LeftX:
      return coordinate(row.left, true);
    case StakeColumn::LeftY:
      return coordinate(row.left, false);
    case StakeColumn::RightX:
      return coordinate(row.right, true);
    case StakeColumn::RightY:
      return coordinate(row.right, false);
    case StakeColumn::H:
      return OptionalText(row.H_m, decimals);
    case StakeColumn::LeftH:
      return OptionalText(row.leftH_m, decimals);
    case StakeColumn::RightH:
      return OptionalText(row.rightH_m, decimals);
  }
  return {};
}

std::string StakePointName(const StakeRow& row, int decimals, char side) {
  // A chainage equation's point is named by its station back: the name the
  // line's stations reach it by.
  const double station = row.stake.equation ? row.stake.equation->stationBack_m : row.stake.station_m;
  std::string name = StationText(station, decimals);
  if (row.stake.pass > 1) name += kRepeatedStationMark + std::to_string(row.stake.pass);
  if (side != 0) name += side;
  return name;
}

namespace {

// Text rows gathered and handed to the sink in pieces.
class ChunkedText {
 public:
  explicit ChunkedText(TextSink* sink) : sink_(sink) {}
  std::string& Buffer() { return buffer_; }
  void MaybeFlush() {
    if (buffer_.size() >= kWriteChunk) Flush();
  }
  void Flush() {
    sink_->Write(buffer_);
    buffer_.clear();
  }

 private:
  TextSink* sink_;
  std::string buffer_;
};

class CsvStakeWriter : public StakeWriter {
 public:
  CsvStakeWriter(std::vector<StakeColumn> columns, int decimals, TextSink* sink, bool byteOrderMark)
      : columns_(std::move(columns)), decimals_(decimals), out_(sink) {
    if (byteOrderMark) out_.Buffer() += kCsvByteOrderMark;
    for (StakeColumn c : columns_) cells_.emplace_back(StakeColumnTitle(c));
    AppendCsvRow(out_.Buffer(), cells_);
  }
  void Add(const StakeRow& row) override {
    for (std::size_t i = 0; i < columns_.size(); ++i) cells_[i] = StakeCellText(row, columns_[i], decimals_);
    AppendCsvRow(out_.Buffer(), cells_);
    out_.MaybeFlush();
  }
  void Finish() override { out_.Flush(); }

 private:
  std::vector<StakeColumn> columns_;
  int decimals_;
  ChunkedText out_;
  std::vector<std::string> cells_;
};

// The points a stake row gives a coordinate file, centre first, each with
// its side (0 for the centre, 'L', 'R').
template <typename F>
void ForEachPoint(const StakeRow& row, int decimals, F&& f) {
  const std::string code(row.stake.code);
  f(ExportPoint{StakePointName(row, decimals), code, row.stake.point.X_m, row.stake.point.Y_m, row.H_m.value_or(0)},
    char{0});
  if (row.left) {
    f(ExportPoint{StakePointName(row, decimals, 'L'), code, row.left->X_m, row.left->Y_m, row.leftH_m.value_or(0)},
      'L');
  }
  if (row.right) {
    f(ExportPoint{StakePointName(row, decimals, 'R'), code, row.right->X_m, row.right->Y_m, row.rightH_m.value_or(0)},
      'R');
  }
}

class DatStakeWriter : public StakeWriter {
 public:
  DatStakeWriter(int decimals, TextSink* sink) : decimals_(decimals), out_(sink) {}
  void Add(const StakeRow& row) override {
    ForEachPoint(row, decimals_, [&](const ExportPoint& p, char) { AppendDatLine(out_.Buffer(), p); });
    out_.MaybeFlush();
  }
  void Finish() override { out_.Flush(); }

 private:
  int decimals_;
  ChunkedText out_;
};

class DxfStakeWriter : public StakeWriter {
 public:
  DxfStakeWriter(int decimals, std::string path) : decimals_(decimals), path_(std::move(path)) {}
  void Add(const StakeRow& row) override {
    ForEachPoint(row, decimals_, [&](ExportPoint&& p, char side) {
      (side == 'L'   ? drawing_.leftPoints
       : side == 'R' ? drawing_.rightPoints
                     : drawing_.stakes)
          .push_back(std::move(p));
    });
  }
  void Finish() override {
    drawing_.centreLine = drawing_.stakes;
    drawing_.leftLine = drawing_.leftPoints;
    drawing_.rightLine = drawing_.rightPoints;
    WriteDxfFile(path_, drawing_);
  }

 private:
  int decimals_;
  std::string path_;
  ExportDrawing drawing_;
};

// CgPoints for a data collector: the .dat file's points with their heights.
class LandXmlStakeWriter : public StakeWriter {
 public:
  LandXmlStakeWriter(const std::string& path, std::string_view document, int decimals)
      : decimals_(decimals), points_(path, document, decimals) {}
  void Add(const StakeRow& row) override {
    const auto add = [&](char side, const LinePoint& p, const std::optional<double>& H) {
      points_.Add(StakePointName(row, decimals_, side), row.stake.code, p.X_m, p.Y_m, H);
    };
    add(0, row.stake.point, row.H_m);
    if (row.left) add('L', *row.left, row.leftH_m);
    if (row.right) add('R', *row.right, row.rightH_m);
  }
  void Finish() override { points_.Finish(); }

 private:
  int decimals_;
  LandXmlPointsWriter points_;
};

}  // namespace

bool IsLandXmlFileName(std::string_view fileName) {
  if (fileName.size() < 4) return false;
  std::string extension(fileName.substr(fileName.size() - 4));
  for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return extension == ".xml";
}

std::unique_ptr<StakeWriter> MakeLandXmlStakeWriter(const std::string& path, std::string_view document, int decimals) {
  return std::make_unique<LandXmlStakeWriter>(path, document, decimals);
}

std::unique_ptr<StakeWriter> MakeStakeWriter(ExportFormat format, const std::vector<StakeColumn>& columns, int decimals,
                                             TextSink* sink, bool byteOrderMark, const std::string& dxfPath) {
  switch (format) {
    case ExportFormat::Csv:
      return std::make_unique<CsvStakeWriter>(columns, decimals, sink, byteOrderMark);
    case ExportFormat::Dat:
      return std::make_unique<DatStakeWriter>(decimals, sink);
    case ExportFormat::Dxf:
      return std::make_unique<DxfStakeWriter>(decimals, dxfPath);
  }
  return nullptr;
}

void WriteStakeFile(const std::string& path, const StakeRun& run, int decimals, std::string_view landXmlDocument) {
  WriteStakeFile(
      path, run.Columns(), [&](const auto& visit) { run.ForEach(visit); }, decimals, landXmlDocument);
}

void WriteStakeFile(const std::string& path, const std::vector<StakeColumn>& columns, const StakeRowSource& rows,
                    int decimals, std::string_view landXmlDocument) {
  if (!landXmlDocument.empty() && IsLandXmlFileName(path)) {
    const auto writer = MakeLandXmlStakeWriter(path, landXmlDocument, decimals);
    rows([&](const StakeRow& row) { writer->Add(row); });
    writer->Finish();
    return;
  }
  const std::optional<ExportFormat> format = ExportFormatOf(path);
  if (!format) throw CalculationError(UnknownExportTypePrompt(path));
  if (*format == ExportFormat::Dxf) {
    const auto writer = MakeStakeWriter(*format, columns, decimals, nullptr, false, path);
    rows([&](const StakeRow& row) { writer->Add(row); });
    writer->Finish();
    return;
  }
  AtomicFileWriter file(path);
  const auto writer = MakeStakeWriter(*format, columns, decimals, &file, true);
  rows([&](const StakeRow& row) { writer->Add(row); });
  writer->Finish();
  file.Commit();
}

}  // namespace quorvane
