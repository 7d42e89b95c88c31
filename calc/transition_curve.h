#pragma once

#include <optional>
#include <vector>

#include "calc/curve_law.h"
#include "calc/stakes.h"

namespace quorvane {

// A station and the signed perpendicular distance from the curve, metres;
// offset > 0 right of the direction of travel (towards increasing stations).
struct StationOffset {
  double station;
  double offset;
  // The point lies so near the centre of curvature at its foot that the
  // foot's station is ill-defined: a move of the point (or of the curve) by
  // 0.01 mm moves it by more than 0.1 mm. The offset is still good.
  bool nearCentreOfCurvature = false;
};

// The side stakes of one curve: for every stake of ComputeStakes (same
// stations, same order) its station and its left and right edge points.
// A side with no width has no points.
struct SideStakeTable {
  std::optional<double> leftWidth_m;   // distance to the left edge, metres
  std::optional<double> rightWidth_m;  // distance to the right edge, metres
  std::vector<double> station;         // metres
  std::vector<CurvePoint> left;        // empty without a left width
  std::vector<CurvePoint> right;       // empty without a right width
};

// One transition curve, checked once when it is built, then asked for its
// points, stakes, side points and the feet of points as often as needed. The
// free functions ComputeStakes, PointAt, LocatePoint and ComputeSideStakes
// build one and ask it once; their contracts (calc/stakes.h,
// calc/curve_point.h) are those of the member functions below. Every answer
// comes from the one law (calc/curve_law.h), so a stake, the point at its
// station, its side points and a foot at it agree to the bit.
class TransitionCurve {
 public:
  // Throws CalculationError as CurveLawOf does: kOverflowPrompt for a value
  // that is not finite, a station or start coordinate reaching
  // kMaxCoordinate_m, or a curve that winds beyond 2^20 panels;
  // kAzimuthOutOfRangePrompt for the start azimuth. The interval d is only
  // checked to be finite; its rules are those of Stakes().
  explicit TransitionCurve(const CurveInput& input);

  const CurveInput& Input() const { return input_; }
  const CurveLaw& Law() const { return law_; }

  // The stakes at the interval input.d: ComputeStakes.
  StakeTable Stakes() const;

  // The point and tangent at a station, metres: PointAt.
  CurvePoint AtStation(double station_m) const;
  // AtStation of each station, to the bit, on one walk along the curve: the
  // points of a long curve cost one rule per panel in all, not each.
  std::vector<CurvePoint> AtStations(const std::vector<double>& stations_m) const;

  // The foot of (X, Y), metres: LocatePoint.
  StationOffset Locate(double X_m, double Y_m) const;

  // The side points of `stakes`, which are Stakes() of this curve:
  // ComputeSideStakes without computing the stakes again. Throws
  // CalculationError: kOverflowPrompt for a width that is not finite or
  // reaches kMaxCoordinate_m (or an edge point that does), and
  // kNegativeWidthPrompt for a negative width.
  SideStakeTable SideStakes(const StakeTable& stakes, std::optional<double> leftWidth_m,
                            std::optional<double> rightWidth_m) const;

 private:
  CurveInput input_;
  CurveLaw law_;
};

}  // namespace quorvane
