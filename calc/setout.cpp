#include "calc/setout.h"

#include <cmath>
#include <numbers>

#include "calc/calculation_error.h"
#include "calc/messages.h"

namespace quorvane {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr double kLargest_m = 1e12;  // as on the whole line: beyond it a value counts as not a number

bool Usable(double value) { return std::abs(value) < kLargest_m; }  // false for NaN too

// Directions from coordinates carry rounding noise of some 1e-16 rad: a
// point straight on from the backsight can come out a hair before it. A
// negative angle smaller than this is that noise, and is 0 (a 1e-12 rad
// turn moves a point a nanometre at a kilometre).
constexpr double kAngleNoise_rad = 1e-12;

// An angle from atan2 (-pi .. pi) as 0 .. < 2pi, the noise below 0 taken as 0.
double FullCircle(double angle_rad) {
  if (angle_rad >= 0) return angle_rad;
  if (angle_rad > -kAngleNoise_rad) return 0;
  return angle_rad + kTwoPi;  // at least 1e-12 below 2pi: never rounds to it
}

}  // namespace

SetoutStation::SetoutStation(double stationX_m, double stationY_m, double backsightX_m, double backsightY_m,
                             std::optional<StationHeights> heights)
    : stationX_m_(stationX_m), stationY_m_(stationY_m), heights_(heights) {
  if (!Usable(stationX_m) || !Usable(stationY_m)) throw CalculationError(kSetoutStationNotFinitePrompt);
  if (!Usable(backsightX_m) || !Usable(backsightY_m)) throw CalculationError(kSetoutBacksightNotFinitePrompt);
  const double north = backsightX_m - stationX_m;
  const double east = backsightY_m - stationY_m;
  const double length = std::hypot(north, east);
  if (!(length >= kSetoutCoincidence_m)) throw CalculationError(kSetoutBacksightOnStationPrompt);
  backsightNorth_ = north / length;
  backsightEast_ = east / length;
  backsightAzimuth_rad_ = FullCircle(std::atan2(east, north));
  if (heights) {
    if (!Usable(heights->ground_m) || !Usable(heights->instrument_m) || !Usable(heights->target_m)) {
      throw CalculationError(kSetoutHeightNotFinitePrompt);
    }
    if (heights->instrument_m < 0 || heights->target_m < 0) throw CalculationError(kSetoutNegativeHeightPrompt);
  }
}

SetoutData SetoutStation::To(double X_m, double Y_m) const {
  if (!Usable(X_m) || !Usable(Y_m)) throw CalculationError(kLinePointNotFinitePrompt);
  const double north = X_m - stationX_m_;
  const double east = Y_m - stationY_m_;
  SetoutData data;
  data.distance_m = std::sqrt(north * north + east * east);  // no overflow below 10^12 m
  if (data.distance_m < kSetoutCoincidence_m) {
    data.atStation = true;
    return data;
  }
  data.azimuth_rad = FullCircle(std::atan2(east, north));
  // Clockwise from the backsight: the sine and cosine of the turn from the
  // backsight's unit vector to the point's direction.
  const double sine = backsightNorth_ * east - backsightEast_ * north;
  const double cosine = backsightNorth_ * north + backsightEast_ * east;
  data.angle_rad = FullCircle(std::atan2(sine, cosine));
  return data;
}

double SetoutStation::HeightDifferenceToSet(double designH_m) const {
  if (!heights_) throw CalculationError(kSetoutNoHeightsPrompt);
  if (!Usable(designH_m)) throw CalculationError(kSetoutDesignHeightNotFinitePrompt);
  return designH_m - (heights_->ground_m + heights_->instrument_m - heights_->target_m);
}

StationSetout SetoutAtStation(const SetoutStation& station, const Line& line, const Profile* profile,
                              CrossSlopes slopes, double station_m, double offset_m) {
  const double distance_m = line.DistanceAt(station_m);
  StationSetout result;
  result.point = line.PointAtOffset(distance_m, offset_m);
  if (profile && profile->Covers(distance_m)) {
    result.designH_m = profile->ElevationAtOffset(distance_m, offset_m, slopes);
    if (station.Heights()) result.heightDifference_m = station.HeightDifferenceToSet(*result.designH_m);
  }
  result.data = station.To(result.point.X_m, result.point.Y_m);
  return result;
}

}  // namespace quorvane
