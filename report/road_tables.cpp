#include "report/road_tables.h"

#include <cmath>
#include <stdexcept>

#include "report/line_text.h"

namespace quorvane {
namespace {

// Builds a heading column by column, opening a group over the columns added
// until the next group (or none).
class HeadingBuilder {
 public:
  explicit HeadingBuilder(std::string title) { heading_.title = std::move(title); }

  // A column under no group: its heading stands across both rows.
  HeadingBuilder& Single(const char* text, ColumnAlign align = ColumnAlign::Right) {
    group_ = false;
    heading_.columns.push_back({text, align});
    return *this;
  }
  HeadingBuilder& Group(const char* text) {
    heading_.groups.push_back({text, heading_.columns.size(), 0});
    group_ = true;
    return *this;
  }
  HeadingBuilder& Column(const char* text, ColumnAlign align = ColumnAlign::Right) {
    heading_.columns.push_back({text, align});
    if (group_) ++heading_.groups.back().columnCount;
    return *this;
  }
  TableHeading Take() { return std::move(heading_); }

 private:
  TableHeading heading_;
  bool group_ = false;
};

std::string Length(double value_m, int decimals) { return FixedText(value_m, decimals); }

// Grade as a rise per metre, written in percent with its sign.
std::string Percent(double grade) { return FixedText(grade * 100, 3); }

}  // namespace

RoadTable CurveTable(const std::vector<JdRow>& rows, const JdDesign& design, const Line& line, int decimals) {
  if (rows.size() < 2 || design.curves.size() + 2 != rows.size()) {
    throw std::invalid_argument("CurveTable: the JD rows and the design do not belong together");
  }
  RoadTable table;
  table.heading = HeadingBuilder("直线、曲线及转角表")
                      .Single("交点号", ColumnAlign::Centre)
                      .Group("交点坐标")
                      .Column("X(N)")
                      .Column("Y(E)")
                      .Single("交点桩号", ColumnAlign::Centre)
                      .Group("转角值")
                      .Column("左转")
                      .Column("右转")
                      .Group("曲线要素值(m)")
                      .Column("半径R")
                      .Column("缓和曲线长Ls1")
                      .Column("缓和曲线长Ls2")
                      .Column("缓和曲线参数A1")
                      .Column("缓和曲线参数A2")
                      .Column("切线长T1")
                      .Column("切线长T2")
                      .Column("曲线长L")
                      .Column("外距E")
                      .Column("校正值J")
                      .Group("曲线主点桩号")
                      .Column("第一缓和曲线起点", ColumnAlign::Centre)
                      .Column("第一缓和曲线终点或圆曲线起点", ColumnAlign::Centre)
                      .Column("曲线中点", ColumnAlign::Centre)
                      .Column("第二缓和曲线起点或圆曲线终点", ColumnAlign::Centre)
                      .Column("第二缓和曲线终点", ColumnAlign::Centre)
                      .Group("直线长度及方向")
                      .Column("直线段长(m)")
                      .Column("交点间距(m)")
                      .Column("计算方位角")
                      .Take();

  // The design's stations run on without chainage equations: less its start
  // station they are distances along the line, which the line shows as its
  // displayed chainage.
  const double start_m = design.start.station_m;
  auto shown = [&](double designStation_m) { return StationText(line.StationAt(designStation_m - start_m), decimals); };
  const std::size_t last = rows.size() - 1;
  for (std::size_t i = 0; i <= last; ++i) {
    const JdRow& jd = rows[i];
    std::vector<std::string> row(table.heading.columns.size());
    row[0] = jd.name;
    row[1] = Length(jd.X_m, decimals);
    row[2] = Length(jd.Y_m, decimals);
    // Where this row's own curve ends (its distance along the line).
    double leaves_m = 0;
    if (i == 0) {
      row[3] = StationText(line.Start().station_m, decimals);
    } else if (i == last) {
      row[3] = StationText(line.StationAt(line.Length_m()), decimals);
    } else {
      const JdCurve& c = design.curves[i - 1];
      row[3] = StationText(line.StationAt(c.ZH_m - start_m) + c.T1_m, decimals);
      leaves_m = c.HZ_m - start_m;
      if (c.R_m > 0) {
        row[c.deflection_rad < 0 ? 4 : 5] = AngleText(std::abs(c.deflection_rad));
        row[6] = Length(c.R_m, decimals);
        if (c.Ls1_m > 0) {
          row[7] = Length(c.Ls1_m, decimals);
          row[9] = Length(std::sqrt(c.R_m * c.Ls1_m), decimals);
        }
        if (c.Ls2_m > 0) {
          row[8] = Length(c.Ls2_m, decimals);
          row[10] = Length(std::sqrt(c.R_m * c.Ls2_m), decimals);
        }
        row[11] = Length(c.T1_m, decimals);
        row[12] = Length(c.T2_m, decimals);
        row[13] = Length(c.L_m, decimals);
        row[14] = Length(c.E_m, decimals);
        row[15] = Length(c.T1_m + c.T2_m - c.L_m, decimals);
        if (c.Ls1_m > 0) row[16] = shown(c.ZH_m);
        row[17] = shown(c.HY_m);
        row[18] = shown(c.QZ_m);
        row[19] = shown(c.YH_m);
        if (c.Ls2_m > 0) row[20] = shown(c.HZ_m);
      }
    }
    if (i < last) {
      const double reaches_m = i + 1 == last ? line.Length_m() : design.curves[i].ZH_m - start_m;
      const JdRow& next = rows[i + 1];
      row[21] = Length(reaches_m - leaves_m, decimals);
      row[22] = Length(std::hypot(next.X_m - jd.X_m, next.Y_m - jd.Y_m), decimals);
      row[23] = AzimuthText(std::atan2(next.Y_m - jd.Y_m, next.X_m - jd.X_m));
    }
    table.rows.push_back(std::move(row));
  }
  return table;
}

RoadTable VerticalCurveTable(const Line& line, const Profile& profile, int decimals) {
  RoadTable table;
  table.heading = HeadingBuilder("竖曲线表")
                      .Single("序号", ColumnAlign::Centre)
                      .Group("变坡点")
                      .Column("桩号", ColumnAlign::Centre)
                      .Column("高程(m)")
                      .Group("竖曲线")
                      .Column("凸曲线半径R(m)")
                      .Column("凹曲线半径R(m)")
                      .Column("切线长T(m)")
                      .Column("外距E(m)")
                      .Column("起点桩号", ColumnAlign::Centre)
                      .Column("终点桩号", ColumnAlign::Centre)
                      .Group("纵坡(%)")
                      .Column("i1")
                      .Column("i2")
                      .Single("变坡点间距(m)")
                      .Single("直坡段长(m)")
                      .Take();
  const std::vector<GradePoint>& points = profile.Points();
  const std::vector<double>& distances = profile.Distances_m();
  const std::size_t last = points.size() - 1;
  // Where the straight grade leaving each point begins and where the one
  // arriving ends: the ends of its vertical curve, or the point itself.
  std::vector<VerticalCurve> curves;
  for (std::size_t i = 0; i <= last; ++i) curves.push_back(profile.CurveAt(i));
  auto curveStart = [&](std::size_t i) { return curves[i].length_m > 0 ? curves[i].startDistance_m : distances[i]; };
  auto curveEnd = [&](std::size_t i) { return curves[i].length_m > 0 ? curves[i].endDistance_m : distances[i]; };
  for (std::size_t i = 0; i <= last; ++i) {
    const GradePoint& point = points[i];
    const VerticalCurve& curve = curves[i];
    std::vector<std::string> row(table.heading.columns.size());
    row[0] = std::to_string(i + 1);
    row[1] = StationText(point.station_m, decimals);
    row[2] = Length(point.elevation_m, decimals);
    if (curve.length_m > 0 && curve.radius_m > 0) {
      row[curve.crest ? 3 : 4] = Length(curve.radius_m, decimals);
      row[5] = Length(curve.tangent_m, decimals);
      row[6] = Length(curve.external_m, decimals);
      row[7] = StationText(line.StationAt(curve.startDistance_m), decimals);
      row[8] = StationText(line.StationAt(curve.endDistance_m), decimals);
    }
    if (i > 0) row[9] = Percent(profile.Grade(i - 1));
    if (i < last) {
      row[10] = Percent(profile.Grade(i));
      row[11] = Length(distances[i + 1] - distances[i], decimals);
      row[12] = Length(curveStart(i + 1) - curveEnd(i), decimals);
    }
    table.rows.push_back(std::move(row));
  }
  return table;
}

StakeCoordinateTable::StakeCoordinateTable(bool leftEdge, bool rightEdge, int decimals)
    : leftEdge_(leftEdge), rightEdge_(rightEdge), decimals_(decimals) {
  HeadingBuilder builder("逐桩坐标表");
  builder.Single("桩号", ColumnAlign::Centre).Group("坐标").Column("X(N)").Column("Y(E)").Single("方位角");
  if (leftEdge) builder.Group("左边桩").Column("X(N)").Column("Y(E)");
  if (rightEdge) builder.Group("右边桩").Column("X(N)").Column("Y(E)");
  heading_ = builder.Take();
  cells_.resize(heading_.columns.size());
}

const std::vector<std::string>& StakeCoordinateTable::Cells(const StakeCoordinateRow& row) {
  if ((leftEdge_ && !row.left) || (rightEdge_ && !row.right)) {
    throw std::invalid_argument("StakeCoordinateTable: a row without the table's edge point");
  }
  std::size_t i = 0;
  cells_[i++] = StationText(row.station_m, decimals_);
  cells_[i++] = FixedText(row.X_m, decimals_);
  cells_[i++] = FixedText(row.Y_m, decimals_);
  cells_[i++] = AzimuthText(row.azimuth_rad);
  for (const auto& [wanted, edge] : {std::pair{leftEdge_, &row.left}, std::pair{rightEdge_, &row.right}}) {
    if (!wanted) continue;
    cells_[i++] = FixedText((*edge)->X_m, decimals_);
    cells_[i++] = FixedText((*edge)->Y_m, decimals_);
  }
  return cells_;
}

std::vector<std::string> SetoutCells(const SetoutData& data, int decimals) {
  // AzimuthText wraps a rounding up to 360 degrees to 0, which is what a
  // circle reading shows.
  return {AzimuthText(data.azimuth_rad), FixedText(data.distance_m, decimals), AzimuthText(data.angle_rad)};
}

std::vector<std::string> SetoutHeadings(bool designHeight, bool heightDifference) {
  std::vector<std::string> headings = {"点号", "X", "Y", "方位角", "平距", "水平角"};
  if (designHeight) headings.push_back("H");
  if (designHeight && heightDifference) headings.push_back("高差");
  return headings;
}

}  // namespace quorvane
