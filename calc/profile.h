#pragma once

#include <vector>

#include "calc/line.h"

namespace quorvane {

// The vertical profile (纵断面) of a line: grade-change points (变坡点) joined
// by straight grades, and at each interior point a symmetric parabolic
// vertical curve (竖曲线) over station +/- L/2, the field's standard:
// T = L/2, E = T^2 / 2R, L = R * |i2 - i1|.
//
// Stations are displayed chainage (the line's chainage equations honoured);
// elevations in metres; grades as rises per metre (0.02 is 2 %).

// One grade-change point. An interior point has a vertical curve given by
// its radius (竖曲线半径, as Chinese drawings give it) or by its length
// (LandXML's ParaCurve length); both 0 means none (the grades meet at a
// kink). The first and last point have no curve.
struct GradePoint {
  double station_m = 0;
  double elevation_m = 0;
  double radius_m = 0;       // > 0, or 0 when given by length or none
  double curveLength_m = 0;  // > 0, or 0 when given by radius or none

  bool operator==(const GradePoint&) const = default;
};

// Cross slopes in percent, each side's own; negative falls away from the
// centre line (-2 is the usual crown).
struct CrossSlopes {
  double left_percent = 0;
  double right_percent = 0;
};

class Profile {
 public:
  // Validates once, mapping each station to its distance on `line`. Throws
  // CalculationError naming the point (第N个变坡点…): stations not in
  // order along the line, vertical curves that overlap each other or reach
  // past the first or last point, a curve on the first or last point, a
  // value that is not finite or a negative radius or length, fewer than two
  // points.
  Profile(const Line& line, std::vector<GradePoint> points);

  const std::vector<GradePoint>& Points() const { return points_; }

  // Design elevation of the centre line at a distance along the line, within
  // the first and last point (throws CalculationError outside).
  double ElevationAtDistance(double distance_m) const;

  // The same at a displayed station.
  double ElevationAtStation(const Line& line, double station_m) const;

  // Design elevation of a point offset_m right (> 0) or left (< 0) of the
  // centre line: H + slope/100 * |offset| with the slope of its side.
  double ElevationAtOffset(double distance_m, double offset_m, CrossSlopes slopes) const;

 private:
  std::vector<GradePoint> points_;
  std::vector<double> distances_m_;  // of each point along the line
  // The implementation adds what it needs (grades, curve lengths).
};

}  // namespace quorvane
