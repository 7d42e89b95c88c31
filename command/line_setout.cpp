#include "command/line_setout.h"

#include <optional>
#include <utility>
#include <vector>

#include "calc/calculation_error.h"
#include "calc/messages.h"
#include "io/export.h"
#include "report/line_text.h"
#include "report/road_tables.h"

namespace quorvane {
namespace {

constexpr std::size_t kSetoutWriteChunk = 1 << 16;

class SetoutWriter : public StakeWriter {
 public:
  SetoutWriter(const SetoutStation& station, bool heights, int decimals, TextSink* sink, bool byteOrderMark)
      : station_(station), heights_(heights), decimals_(decimals), sink_(sink) {
    if (byteOrderMark) buffer_ += kCsvByteOrderMark;
    AppendCsvRow(buffer_, SetoutHeadings(heights, false));
    cells_.resize(heights ? 7 : 6);
  }
  void Add(const StakeRow& row) override {
    Point(row, 0, row.stake.point, row.H_m);
    if (row.left) Point(row, 'L', *row.left, row.leftH_m);
    if (row.right) Point(row, 'R', *row.right, row.rightH_m);
    if (buffer_.size() >= kSetoutWriteChunk) Flush();
  }
  void Finish() override { Flush(); }

 private:
  void Point(const StakeRow& row, char side, const LinePoint& p, const std::optional<double>& H) {
    const SetoutData data = station_.To(p.X_m, p.Y_m);
    cells_[0] = StakePointName(row, decimals_, side);
    cells_[1] = FixedText(p.X_m, decimals_);
    cells_[2] = FixedText(p.Y_m, decimals_);
    cells_[3] = AzimuthText(data.azimuth_rad);
    cells_[4] = FixedText(data.distance_m, decimals_);
    cells_[5] = AzimuthText(data.angle_rad);
    if (heights_) cells_[6] = H ? FixedText(*H, decimals_) : std::string();
    AppendCsvRow(buffer_, cells_);
  }
  void Flush() {
    sink_->Write(buffer_);
    buffer_.clear();
  }

  const SetoutStation& station_;
  bool heights_;
  int decimals_;
  TextSink* sink_;
  std::string buffer_;
  std::vector<std::string> cells_;
};

}  // namespace

std::unique_ptr<StakeWriter> MakeSetoutWriter(const SetoutStation& station, bool heights, int decimals, TextSink* sink,
                                              bool byteOrderMark) {
  return std::make_unique<SetoutWriter>(station, heights, decimals, sink, byteOrderMark);
}

void WriteSetoutFile(const std::string& path, const StakeRun& run, const SetoutStation& station, int decimals,
                     std::string_view landXmlDocument) {
  if (IsLandXmlFileName(path)) {
    const auto writer = MakeLandXmlStakeWriter(path, landXmlDocument, decimals);
    run.ForEach([&](const StakeRow& row) { writer->Add(row); });
    writer->Finish();
    return;
  }
  if (ExportFormatOf(path) != ExportFormat::Csv) throw CalculationError(SetoutFileTypePrompt(path));
  AtomicFileWriter file(path);
  const auto writer = MakeSetoutWriter(station, run.HasHeights(), decimals, &file, true);
  run.ForEach([&](const StakeRow& row) { writer->Add(row); });
  writer->Finish();
  file.Commit();
}

}  // namespace quorvane
