#include "report/side_stakes.h"

#include <array>
#include <cmath>
#include <string_view>

#include "calc/angle.h"
#include "report/layout.h"
#include "report/number_text.h"

namespace quorvane {
namespace {

// A generous estimate of one row, to size the block once.
constexpr std::size_t kRowBytes = 96;

void AppendSide(std::string& row, const CurvePoint& p) {
  row.append(kColumnGap);
  AppendSignedFixed3(row, p.X);
  row.append(kColumnGap);
  AppendSignedFixed3(row, p.Y);
}

void AppendLocatedStation(std::string& out, double station_m) {
  // Located to a tenth of a millimetre: print the millimetres, not the noise.
  AppendStation(out, std::round(station_m * 1000.0) / 1000.0);
}

void AppendOffset(std::string& out, double offset_m) {
  const std::string size = Fixed3(std::fabs(offset_m));
  if (size != "0.000") out.append(offset_m > 0 ? "右" : "左");
  out.append(size);
}

}  // namespace

std::string SideStakeBlock(const SideStakeTable& table) {
  const bool left = table.leftWidth_m.has_value();
  const bool right = table.rightWidth_m.has_value();
  std::string block;
  block.reserve(128 + kRowBytes * table.station.size());
  block.append(kSideStakeTable.title).append(kLineEnd);
  block.append(kStationHead);
  if (left) {
    for (const std::string_view head : kLeftSideHeads) block.append(kColumnGap).append(head);
  }
  if (right) {
    for (const std::string_view head : kRightSideHeads) block.append(kColumnGap).append(head);
  }
  block.append(kLineEnd);
  for (std::size_t i = 0; i < table.station.size(); ++i) {
    AppendStation(block, table.station[i]);
    if (left) AppendSide(block, table.left[i]);
    if (right) AppendSide(block, table.right[i]);
    block.append(kLineEnd);
  }
  return block;
}

namespace {

// Station, offset and tangent azimuth of a located point, each after its
// label.
void AppendLocated(std::string& out, const StationOffset& where, double azimuth_rad,
                   const std::array<std::string_view, 3>& labels) {
  out.append(labels[0]);
  AppendLocatedStation(out, where.station);
  out.append(labels[1]);
  AppendOffset(out, where.offset);
  out.append(labels[2]);
  AppendGeneral(out, RadiansToDdMmSs(azimuth_rad));
  if (where.nearCentreOfCurvature) out.append(kNearCentreNote);
}

}  // namespace

std::string LocateLine(double X, double Y, const StationOffset& where, double azimuth_rad) {
  std::string line = "反算：X=";
  AppendFixed3(line, X);
  line.append(", Y=");
  AppendFixed3(line, Y);
  AppendLocated(line, where, azimuth_rad, {" → 桩号 ", ", 偏距 ", ", 方位角 "});
  return line;
}

std::string LocateMessage(const StationOffset& where, double azimuth_rad) {
  std::string text;
  AppendLocated(text, where, azimuth_rad, {"桩号：", "\n偏距：", "\n方位角："});
  return text;
}

}  // namespace quorvane
