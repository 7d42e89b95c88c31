#include "calc/transition_curve.h"

#include <algorithm>
#include <cmath>

#include "calc/angle.h"
#include "calc/calculation_error.h"
#include "calc/curve_point.h"

namespace quorvane {
namespace {

// A station this far past an end, as a share of the larger end station in
// size, is still on the curve: a stake k*d that lies on the end station as
// typed can come out of the multiplication a unit or so beyond its double.
constexpr double kEndTolerance = 1e-9;

}  // namespace

TransitionCurve::TransitionCurve(const CurveInput& input) : input_(input), law_(CurveLawOf(input)) {}

namespace {

// The point at a station, metres, from `pointAt(D)` (D the distance from
// the start), with the checks of AtStation.
template <class PointAt>
CurvePoint CheckedPoint(const CurveInput& input, const CurveLaw& law, double station_m, PointAt pointAt) {
  RequireFinite({station_m});
  const double lo = std::min(input.lb, input.le);
  const double hi = std::max(input.lb, input.le);
  const double slack = kEndTolerance * std::max(std::fabs(lo), std::fabs(hi));
  if (!(station_m >= lo - slack && station_m <= hi + slack)) throw CalculationError(kStationOutsideCurvePrompt);
  const double D = station_m - input.lb;
  if (D == 0) return {law.Xa, law.Ya, law.alpha};
  const CurvePoint p = pointAt(D);
  RequireOnTheMap({p.X, p.Y});
  RequireFinite({p.azimuth});
  if (std::fabs(p.azimuth) > kMaxResolvableAngleRad) throw CalculationError(kOverflowPrompt);
  return p;
}

}  // namespace

CurvePoint TransitionCurve::AtStation(double station_m) const {
  return CheckedPoint(input_, law_, station_m, [this](double D) { return CurveLawAt(law_, D); });
}

std::vector<CurvePoint> TransitionCurve::AtStations(const std::vector<double>& stations_m) const {
  CurveWalk walk(law_);
  std::vector<CurvePoint> points;
  points.reserve(stations_m.size());
  for (const double station : stations_m) {
    points.push_back(CheckedPoint(input_, law_, station, [&walk](double D) { return walk.At(D); }));
  }
  return points;
}

SideStakeTable TransitionCurve::SideStakes(const StakeTable& stakes, std::optional<double> leftWidth_m,
                                           std::optional<double> rightWidth_m) const {
  for (const std::optional<double>& width : {leftWidth_m, rightWidth_m}) {
    if (!width) continue;
    RequireOnTheMap({*width});
    if (*width < 0) throw CalculationError(kNegativeWidthPrompt);
  }

  CurveWalk walk(law_);
  SideStakeTable table;
  table.leftWidth_m = leftWidth_m;
  table.rightWidth_m = rightWidth_m;
  const auto n = static_cast<std::size_t>(stakes.n);
  table.station = stakes.stakeStation;
  if (leftWidth_m) table.left.reserve(n);
  if (rightWidth_m) table.right.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    // The stake's own distance: the centre is the stake to the bit.
    const CurvePoint centre = walk.At(stakes.stakeDist[i]);
    if (leftWidth_m) table.left.push_back(SidePoint(centre, -*leftWidth_m));
    if (rightWidth_m) table.right.push_back(SidePoint(centre, *rightWidth_m));
  }
  for (const auto* side : {&table.left, &table.right}) {
    for (const CurvePoint& p : *side) RequireOnTheMap({p.X, p.Y});
  }
  return table;
}

CurvePoint PointAt(const CurveInput& input, double station) { return TransitionCurve(input).AtStation(station); }

CurvePoint SidePoint(const CurvePoint& on, double offset_m) {
  // Right of azimuth A is A + 90 degrees: (cos, sin) of it is (-sin A, cos A).
  return {on.X - offset_m * std::sin(on.azimuth), on.Y + offset_m * std::cos(on.azimuth), on.azimuth};
}

SideStakeTable ComputeSideStakes(const CurveInput& input, std::optional<double> leftWidth_m,
                                 std::optional<double> rightWidth_m) {
  const TransitionCurve curve(input);
  return curve.SideStakes(curve.Stakes(), leftWidth_m, rightWidth_m);
}

}  // namespace quorvane
