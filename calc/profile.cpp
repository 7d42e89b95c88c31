#include "calc/profile.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "calc/calculation_error.h"
#include "calc/stakes.h"

namespace quorvane {

namespace {

bool IsUsable(double v) { return std::fabs(v) < kMaxCoordinate_m; }  // false for NaN too

[[noreturn]] void Refuse(std::size_t index, const char* reason) {
  throw CalculationError(GradePointMessage(index, reason));
}

}  // namespace

std::string GradePointMessage(std::size_t index, const char* reason) {
  return "第" + std::to_string(index + 1) + "个变坡点" + reason;
}

Profile::Profile(const Line& line, std::vector<GradePoint> points) : points_(std::move(points)) {
  const std::size_t n = points_.size();
  if (n < 2) throw CalculationError(kProfileTooFewPointsPrompt);

  distances_m_.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const GradePoint& p = points_[i];
    if (!(IsUsable(p.station_m) && IsUsable(p.elevation_m) && IsUsable(p.radius_m) && IsUsable(p.curveLength_m))) {
      Refuse(i, kGradePointNotANumberPrompt);
    }
    if (p.radius_m < 0 || p.curveLength_m < 0) Refuse(i, kGradePointNegativeCurvePrompt);
    if (p.radius_m > 0 && p.curveLength_m > 0) Refuse(i, kGradePointRadiusAndLengthPrompt);
    if ((i == 0 || i == n - 1) && (p.radius_m > 0 || p.curveLength_m > 0)) Refuse(i, kGradePointCurveAtEndPrompt);
    try {
      distances_m_[i] = line.DistanceAt(p.station_m);
    } catch (const CalculationError& e) {
      throw CalculationError(GradePointMessage(i, "：") + e.what());
    }
    if (i > 0 && !(distances_m_[i] > distances_m_[i - 1])) Refuse(i, kGradePointOrderPrompt);
  }

  grades_.resize(n - 1);
  for (std::size_t i = 0; i + 1 < n; ++i) {
    grades_[i] = (points_[i + 1].elevation_m - points_[i].elevation_m) / (distances_m_[i + 1] - distances_m_[i]);
  }

  curveStarts_m_ = distances_m_;
  curveEnds_m_ = distances_m_;
  curvatures_.assign(n, 0.0);
  radii_m_.assign(n, 0.0);
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const GradePoint& p = points_[i];
    const double g1 = grades_[i - 1];
    const double g2 = grades_[i];
    if (p.circular) {
      if (!(p.radius_m > 0)) Refuse(i, kGradePointCircleWithoutRadiusPrompt);
      if (g1 == g2) continue;
      // The circle's centre relative to the point, below both grades on a
      // crest, above on a sag: its distance to the grade line y = g x is R,
      // g xc - yc = sign R sqrt(1 + g^2) for both grades. The tangent points
      // are the feet of the perpendiculars from the centre.
      const double R = p.radius_m;
      const double sign = g1 > g2 ? 1.0 : -1.0;
      const double s1 = std::sqrt(1 + g1 * g1);
      const double s2 = std::sqrt(1 + g2 * g2);
      const double xc = sign * R * (g1 + g2) / (s1 + s2);  // (s1 - s2) / (g1 - g2) without the cancellation
      const double yc = g1 * xc - sign * R * s1;
      radii_m_[i] = R;
      curveStarts_m_[i] = distances_m_[i] + (xc + g1 * yc) / (1 + g1 * g1);
      curveEnds_m_[i] = distances_m_[i] + (xc + g2 * yc) / (1 + g2 * g2);
    } else {
      const double length = p.curveLength_m > 0 ? p.curveLength_m : p.radius_m * std::fabs(g2 - g1);
      if (!(length > 0)) continue;
      curvatures_[i] = (g2 - g1) / length;
      curveStarts_m_[i] = distances_m_[i] - length / 2;
      curveEnds_m_[i] = distances_m_[i] + length / 2;
    }
    if (!(IsUsable(curveStarts_m_[i]) && IsUsable(curveEnds_m_[i]))) Refuse(i, kGradePointNotANumberPrompt);
  }

  // Each pair of neighbours: the curve of the one behind must end before the
  // curve of the one ahead starts (a point without a curve counts as one of
  // length 0), the fault told at the point whose curve reaches too far.
  for (std::size_t i = 1; i < n; ++i) {
    if (!(curveEnds_m_[i - 1] - curveStarts_m_[i] > kCurveOverlapTolerance_m)) continue;
    const bool curveBehind = curveEnds_m_[i - 1] > distances_m_[i - 1];
    const bool curveAhead = curveStarts_m_[i] < distances_m_[i];
    if (curveBehind && curveAhead) Refuse(i, kGradePointOverlapPrompt);
    if (curveAhead) Refuse(i, i == 1 ? kGradePointBeforeStartPrompt : kGradePointPastPreviousPrompt);
    Refuse(i - 1, i + 1 == n ? kGradePointAfterEndPrompt : kGradePointPastNextPrompt);
  }
}

VerticalCurve Profile::CurveAt(std::size_t index) const {
  VerticalCurve c;
  const double start = curveStarts_m_.at(index);
  const double end = curveEnds_m_[index];
  if (!(end > start)) return c;
  c.startDistance_m = start;
  c.endDistance_m = end;
  c.length_m = end - start;
  c.tangent_m = c.length_m / 2;
  c.crest = grades_[index] < grades_[index - 1];
  if (radii_m_[index] > 0) {
    c.radius_m = radii_m_[index];
  } else if (curvatures_[index] != 0) {
    c.radius_m = 1 / std::fabs(curvatures_[index]);
  }
  c.external_m = std::fabs(CurveElevation(index, distances_m_[index]) - points_[index].elevation_m);
  return c;
}

double Profile::CurveElevation(std::size_t j, double d) const {
  const double g1 = grades_[j - 1];
  if (radii_m_[j] > 0) {
    // The circle about (xc, yc): y = yc + sign sqrt(R^2 - u^2), u = d - xc,
    // with yc = Hj + g1 (xc - dj) - sign R sqrt(1 + g1^2) (see the
    // constructor), written so that nothing of the size of R cancels.
    const double R = radii_m_[j];
    const double g2 = grades_[j];
    const double sign = g2 < g1 ? 1.0 : -1.0;
    const double s1 = std::sqrt(1 + g1 * g1);
    const double xc = distances_m_[j] + sign * R * (g1 + g2) / (s1 + std::sqrt(1 + g2 * g2));
    const double u = d - xc;
    const double sagitta = u * u / (R + std::sqrt(R * R - u * u));  // R - sqrt(R^2 - u^2)
    const double rise = g1 * g1 / (s1 + 1);                        // s1 - 1
    return points_[j].elevation_m + g1 * (xc - distances_m_[j]) - sign * (R * rise + sagitta);
  }
  // The parabola: the incoming grade plus half the curvature times the square
  // of the distance from the curve's start, which brings it onto the
  // outgoing grade at its end.
  const double x = d - curveStarts_m_[j];
  return points_[j].elevation_m + g1 * (d - distances_m_[j]) + curvatures_[j] / 2 * x * x;
}

double Profile::ElevationAtDistance(double distance_m) const {
  // A stake at the profile's end may come out of its own station-to-distance
  // mapping a rounding past the last point; what lies that close counts as
  // the end.
  const double slack = kProfileEndSlack * std::max(1.0, std::fabs(distances_m_.back()));
  if (!(distance_m >= distances_m_.front() - slack && distance_m <= distances_m_.back() + slack)) {
    throw CalculationError(kStationOutsideProfilePrompt);
  }
  const double d = std::clamp(distance_m, distances_m_.front(), distances_m_.back());
  // k: the grade d lies on, between point k and point k + 1.
  const auto above = std::upper_bound(distances_m_.begin(), distances_m_.end(), d);
  const std::size_t k = std::min<std::size_t>(above - distances_m_.begin(), distances_m_.size() - 1) - 1;

  const bool onCurveBehind = d < curveEnds_m_[k];
  const bool onCurveAhead = d > curveStarts_m_[k + 1];
  if (onCurveBehind && onCurveAhead) {  // within the tolerated overlap
    return CurveElevation(d - distances_m_[k] < distances_m_[k + 1] - d ? k : k + 1, d);
  }
  if (onCurveBehind) return CurveElevation(k, d);
  if (onCurveAhead) return CurveElevation(k + 1, d);
  return points_[k].elevation_m + grades_[k] * (d - distances_m_[k]);
}

double Profile::ElevationAtStation(const Line& line, double station_m) const {
  return ElevationAtDistance(line.DistanceAt(station_m));
}

double Profile::ElevationAtOffset(double distance_m, double offset_m, CrossSlopes slopes) const {
  if (!(std::isfinite(offset_m) && std::isfinite(slopes.left_percent) && std::isfinite(slopes.right_percent))) {
    throw CalculationError(kCrossSlopeNotANumberPrompt);
  }
  const double slope = offset_m < 0 ? slopes.left_percent : slopes.right_percent;
  return ElevationAtDistance(distance_m) + slope / 100 * std::fabs(offset_m);
}

}  // namespace quorvane
