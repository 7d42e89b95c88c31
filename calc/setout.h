#pragma once

#include <optional>

#include "calc/line.h"
#include "calc/profile.h"

namespace quorvane {

// Setting out (放样) from an instrument station: the total station stands
// on a known point (测站), is oriented by sighting a second known point (后视点),
// and each stake is then found by turning an angle from the backsight and
// measuring a distance.
//
// Survey X is north, Y east, metres; angles in radians with the
// full-precision pi. A coordinate or height of 10^12 m or more counts as not
// a number, as everywhere on the whole line.

// Heights at the station, for setting out a design height.
//  - ground_m: the elevation of the station mark;
//  - instrument_m (仪器高): from the mark up to the instrument's horizontal
//    (trunnion) axis;
//  - target_m (棱镜高): from the pole's foot up to the prism centre.
struct StationHeights {
  double ground_m = 0;
  double instrument_m = 0;
  double target_m = 0;
};

// What the instrument is turned and set to for one point.
struct SetoutData {
  double azimuth_rad = 0;  // from the station to the point, clockwise from north, 0 .. < 2pi
  double distance_m = 0;   // horizontal distance (平距)
  double angle_rad = 0;    // clockwise from the backsight direction (水平角), 0 .. < 2pi
  bool atStation = false;  // the point lies within kSetoutCoincidence_m of the station
};

// Two points closer than this have no direction between them: a backsight
// this close to the station is refused, and a point this close to the
// station is set out by plumbing over the mark (atStation).
inline constexpr double kSetoutCoincidence_m = 0.001;

class SetoutStation {
 public:
  // Validates once. Throws CalculationError (texts in calc/messages.h): a
  // station or backsight coordinate that is not a number
  // (kSetoutStationNotFinitePrompt, kSetoutBacksightNotFinitePrompt), the
  // backsight within kSetoutCoincidence_m of the station
  // (kSetoutBacksightOnStationPrompt), a height that is not a number
  // (kSetoutHeightNotFinitePrompt) or a negative instrument or target height
  // (kSetoutNegativeHeightPrompt).
  SetoutStation(double stationX_m, double stationY_m, double backsightX_m, double backsightY_m,
                std::optional<StationHeights> heights = std::nullopt);

  double StationX_m() const { return stationX_m_; }
  double StationY_m() const { return stationY_m_; }
  // The azimuth of the backsight as seen from the station, 0 .. < 2pi: the
  // direction the horizontal circle is set to zero on (or to this azimuth,
  // when the instrument is oriented by azimuth: then the circle reading for a
  // point is SetoutData::azimuth_rad).
  double BacksightAzimuth_rad() const { return backsightAzimuth_rad_; }
  const std::optional<StationHeights>& Heights() const { return heights_; }

  // The setting-out data of a point. The angle is worked out from the two
  // directions' own coordinates (not as a difference of two azimuths), so a
  // point straight behind or next to the backsight direction gets its angle
  // to the last bit; a direction less than 1e-12 rad before the backsight's
  // (or before north, for the azimuth) is rounding noise and given as 0.
  // A point within kSetoutCoincidence_m of the station has no direction: its
  // azimuth and angle are 0, atStation is set, and the distance is still the
  // true one. Throws CalculationError(kLinePointNotFinitePrompt) for a point
  // that is not a number.
  SetoutData To(double X_m, double Y_m) const;

  // The vertical difference to set for a point whose pole foot is to stand at
  // designH_m, as the instrument reads it from its axis to the prism:
  //     h = designH - (station ground + instrument height - target height).
  // The prism stands target_m above the design height and the axis
  // instrument_m above the station mark, so when the instrument's measured
  // vertical difference to the prism (VD, with i and v set to 0) equals h
  // the pole's foot is at design height; a reading above h means the ground
  // is to be cut by the excess, below h filled. Throws CalculationError:
  // kSetoutNoHeightsPrompt when the station was built without heights,
  // kSetoutDesignHeightNotFinitePrompt for a design height that is not a
  // number.
  double HeightDifferenceToSet(double designH_m) const;

 private:
  double stationX_m_ = 0;
  double stationY_m_ = 0;
  double backsightAzimuth_rad_ = 0;
  // The unit vector from the station towards the backsight.
  double backsightNorth_ = 1;
  double backsightEast_ = 0;
  std::optional<StationHeights> heights_;
};

// One point typed as a station and an offset: where it lies, its design
// height and what to set out for it.
struct StationSetout {
  LinePoint point;                           // X, Y, and the line's azimuth there
  std::optional<double> designH_m;           // with a profile that reaches the station
  SetoutData data;                           // from the instrument station
  std::optional<double> heightDifference_m;  // with a design height and the station's heights
};

// The point `offset_m` right (> 0) or left (< 0) of `line` at a displayed
// station, its design height from `profile` (nullptr: none) with the cross
// slope of its side, and its setting-out data from `station`. Throws
// CalculationError with the line's reason for a station it has no distance
// for (off the line, in a short chain's gap) and kOffsetNotFinitePrompt.
StationSetout SetoutAtStation(const SetoutStation& station, const Line& line, const Profile* profile,
                              CrossSlopes slopes, double station_m, double offset_m);

}  // namespace quorvane
