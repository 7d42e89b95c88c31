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
  throw CalculationError(GradePointMessage(index, reason), {RowKind::GradePoint, index});
}

// The distance of a station, also beyond the line's ends: there the
// stations are taken to count on (or back) from the end at one metre per
// metre, so a profile drawn past an end keeps its grades. A station in a
// short chain's gap still throws.
double DistanceOnOrBeyond(const Line& line, double station_m) {
  try {
    return line.DistanceAt(station_m);
  } catch (const CalculationError&) {
    const double first = line.StationAt(0);
    const double last = line.StationAt(line.Length_m());
    if (station_m < first) return station_m - first;
    if (station_m > last) return line.Length_m() + (station_m - last);
    throw;
  }
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
      distances_m_[i] = DistanceOnOrBeyond(line, p.station_m);
    } catch (const CalculationError& e) {
      throw CalculationError(GradePointMessage(i, "：") + e.what(), {RowKind::GradePoint, i});
    }
    if (i > 0 && !(distances_m_[i] > distances_m_[i - 1])) Refuse(i, kGradePointOrderPrompt);
  }

  grades_.resize(n - 1);
  for (std::size_t i = 0; i + 1 < n; ++i) {
    grades_[i] = (points_[i + 1].elevation_m - points_[i].elevation_m) / (distances_m_[i + 1] - distances_m_[i]);
  }

  curves_.resize(n);
  for (std::size_t i = 0; i < n; ++i) curves_[i].start_m = curves_[i].end_m = distances_m_[i];
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const GradePoint& p = points_[i];
    Curve& c = curves_[i];
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
      c.start_m = distances_m_[i] + (xc + g1 * yc) / (1 + g1 * g1);
      c.end_m = distances_m_[i] + (xc + g2 * yc) / (1 + g2 * g2);
      c.radius_m = R;
      c.sign = sign;
      c.centre_m = distances_m_[i] + xc;
      // yc + sign R, with nothing of the size of R cancelling: s1 - 1 = g1^2 / (s1 + 1).
      c.middle_m = p.elevation_m + g1 * xc - sign * R * (g1 * g1 / (s1 + 1));
    } else {
      const double length = p.curveLength_m > 0 ? p.curveLength_m : p.radius_m * std::fabs(g2 - g1);
      if (!(length > 0)) continue;
      c.curvature = (g2 - g1) / length;
      c.start_m = distances_m_[i] - length / 2;
      c.end_m = distances_m_[i] + length / 2;
    }
    if (!(IsUsable(c.start_m) && IsUsable(c.end_m))) Refuse(i, kGradePointNotANumberPrompt);
  }

  // Each pair of neighbours: the curve of the one behind must end before the
  // curve of the one ahead starts (a point without a curve counts as one of
  // length 0), the fault told at the point whose curve reaches too far.
  for (std::size_t i = 1; i < n; ++i) {
    if (!(curves_[i - 1].end_m - curves_[i].start_m > kCurveOverlapTolerance_m)) continue;
    const bool curveBehind = curves_[i - 1].end_m > distances_m_[i - 1];
    const bool curveAhead = curves_[i].start_m < distances_m_[i];
    if (curveBehind && curveAhead) Refuse(i, kGradePointOverlapPrompt);
    if (curveAhead) Refuse(i, i == 1 ? kGradePointBeforeStartPrompt : kGradePointPastPreviousPrompt);
    Refuse(i - 1, i + 1 == n ? kGradePointAfterEndPrompt : kGradePointPastNextPrompt);
  }

  // A stake at the profile's end may come out of its own station-to-distance
  // mapping a rounding past the last point; what lies that close counts as
  // the end.
  const double slack = kProfileEndSlack * std::max(1.0, std::fabs(distances_m_.back()));
  lowest_m_ = distances_m_.front() - slack;
  highest_m_ = distances_m_.back() + slack;
  // A first or last point a rounding inside the line's end stands for that end.
  if (distances_m_.front() > 0 && distances_m_.front() <= kProfileEndSnap_m) lowest_m_ = std::min(lowest_m_, 0.0);
  lineLength_m_ = line.Length_m();
  if (distances_m_.back() < lineLength_m_ && lineLength_m_ - distances_m_.back() <= kProfileEndSnap_m) {
    highest_m_ = std::max(highest_m_, lineLength_m_);
  }
}

double Profile::CoveredFrom_m() const { return std::clamp(lowest_m_, 0.0, lineLength_m_); }
double Profile::CoveredTo_m() const { return std::clamp(highest_m_, 0.0, lineLength_m_); }

bool Profile::CoversWholeLine() const { return lowest_m_ <= 0 && highest_m_ >= lineLength_m_; }

VerticalCurve Profile::CurveAt(std::size_t index) const {
  const Curve& curve = curves_.at(index);
  VerticalCurve c;
  if (!(curve.end_m > curve.start_m)) return c;
  c.startDistance_m = curve.start_m;
  c.endDistance_m = curve.end_m;
  c.length_m = curve.end_m - curve.start_m;
  c.tangent_m = c.length_m / 2;
  c.crest = grades_[index] < grades_[index - 1];
  if (curve.radius_m > 0) {
    c.radius_m = curve.radius_m;
  } else if (curve.curvature != 0) {
    c.radius_m = 1 / std::fabs(curve.curvature);
  }
  c.external_m = std::fabs(OnCurve(index, distances_m_[index]) - points_[index].elevation_m);
  return c;
}

double Profile::OnGrade(std::size_t k, double d) const {
  return points_[k].elevation_m + grades_[k] * (d - distances_m_[k]);
}

double Profile::OnCurve(std::size_t j, double d) const {
  const Curve& c = curves_[j];
  if (c.radius_m > 0) {
    const double u = d - c.centre_m;
    return c.middle_m - c.sign * (u * u / (c.radius_m + std::sqrt(c.radius_m * c.radius_m - u * u)));
  }
  // The incoming grade plus half the curvature times the square of the
  // distance from the curve's start, which brings it onto the outgoing grade
  // at its end.
  const double x = d - c.start_m;
  return OnGrade(j - 1, d) + c.curvature / 2 * x * x;
}

double Profile::ElevationAtDistance(double distance_m) const {
  std::size_t grade = 0;
  return ElevationAtDistance(distance_m, grade);
}

double Profile::ElevationAtDistance(double distance_m, std::size_t& grade) const {
  if (!Covers(distance_m)) throw CalculationError(kStationOutsideProfilePrompt);
  const double d = std::clamp(distance_m, distances_m_.front(), distances_m_.back());

  // k: the grade d lies on, between point k and point k + 1; the one asked
  // about last or the next when d is there, else searched for.
  const std::size_t grades = grades_.size();
  std::size_t k = grade;
  if (!(k < grades && d >= distances_m_[k] && d <= distances_m_[k + 1])) {
    if (k + 1 < grades && d >= distances_m_[k + 1] && d <= distances_m_[k + 2]) {
      ++k;
    } else {
      const auto above = std::upper_bound(distances_m_.begin(), distances_m_.end(), d);
      k = std::min<std::size_t>(above - distances_m_.begin(), grades) - 1;
    }
  }
  grade = k;

  const bool onCurveBehind = d < curves_[k].end_m;
  const bool onCurveAhead = d > curves_[k + 1].start_m;
  if (onCurveBehind && onCurveAhead) {  // within the tolerated overlap
    return OnCurve(d - distances_m_[k] < distances_m_[k + 1] - d ? k : k + 1, d);
  }
  if (onCurveBehind) return OnCurve(k, d);
  if (onCurveAhead) return OnCurve(k + 1, d);
  return OnGrade(k, d);
}

double Profile::ElevationAtStation(const Line& line, double station_m) const {
  return ElevationAtDistance(line.DistanceAt(station_m));
}

double Profile::ElevationAtOffset(double distance_m, double offset_m, CrossSlopes slopes) const {
  if (!(std::isfinite(offset_m) && std::isfinite(slopes.left_percent) && std::isfinite(slopes.right_percent))) {
    throw CalculationError(kCrossSlopeNotANumberPrompt);
  }
  return ElevationAtDistance(distance_m) + slopes.RiseAt(offset_m);
}

}  // namespace quorvane
