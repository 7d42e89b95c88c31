// Setting-out data from an instrument station: hand-worked directions in
// every quadrant, the wrap of the angle at a full turn, points on the
// station, values against tests/field/reference.py (mpmath) and the refusals.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "calc/messages.h"
#include "calc/setout.h"
#include "expect_error.h"
#include "report/line_text.h"
#include "report/road_tables.h"

namespace quorvane {
namespace {

constexpr double kDeg = std::numbers::pi / 180;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// The station stands at (1000, 2000); backsight and point are given as
// offsets (north, east) from it.
struct Direction {
  const char* what;
  double backsightN, backsightE;
  double pointN, pointE;
  double azimuth_deg, distance_m, angle_deg;
};

const Direction kDirections[] = {
    {"backsight north, point NE", 100, 0, 100, 100, 45, 100 * std::numbers::sqrt2, 45},
    {"backsight north, point SE", 100, 0, -100, 100, 135, 100 * std::numbers::sqrt2, 135},
    {"backsight north, point SW", 100, 0, -100, -100, 225, 100 * std::numbers::sqrt2, 225},
    {"backsight north, point NW", 100, 0, 100, -100, 315, 100 * std::numbers::sqrt2, 315},
    {"backsight east, point north", 0, 100, 30, 0, 0, 30, 270},
    {"backsight east, point south", 0, 100, -30, 0, 180, 30, 90},
    {"backsight south, point east", -100, 0, 0, 50, 90, 50, 270},
    {"backsight south, point west", -100, 0, 0, -50, 270, 50, 90},
    {"backsight west, point south", 0, -100, -40, 0, 180, 40, 270},
    {"backsight NE, point NW", 100, 100, 100, -100, 315, 100 * std::numbers::sqrt2, 270},
    {"backsight SE, point north", -10, 10, 300, 0, 0, 300, 225},
    {"backsight SW, point NE", -100, -100, 3, 3, 45, 3 * std::numbers::sqrt2, 180},
    {"3-4-5: backsight north", 5, 0, 300, 400, 53.13010235415598, 500, 53.13010235415598},
    {"3-4-5: backsight behind the point", -300, -400, 300, 400, 53.13010235415598, 500, 180},
    // The angle wraps at the backsight: 350 -> 10 turns 20, 10 -> 350 turns 340.
    {"backsight at 350, point at 10", 100 * std::cos(350 * kDeg), 100 * std::sin(350 * kDeg), 100 * std::cos(10 * kDeg),
     100 * std::sin(10 * kDeg), 10, 100, 20},
    {"backsight at 10, point at 350", 100 * std::cos(10 * kDeg), 100 * std::sin(10 * kDeg), 100 * std::cos(350 * kDeg),
     100 * std::sin(350 * kDeg), 350, 100, 340},
    // On the backsight line, beyond and short of it: 0, never 360.
    {"point beyond the backsight", 70, -70, 700, -700, 315, 700 * std::numbers::sqrt2, 0},
    {"point short of the backsight", -7, -24, -0.7, -2.4, 180 + 73.73979529168804, 2.5, 0},
};

TEST(Setout, HandWorkedDirectionsInEveryQuadrant) {
  for (const Direction& d : kDirections) {
    SCOPED_TRACE(d.what);
    const SetoutStation station(1000, 2000, 1000 + d.backsightN, 2000 + d.backsightE);
    const SetoutData data = station.To(1000 + d.pointN, 2000 + d.pointE);
    EXPECT_NEAR(data.azimuth_rad, d.azimuth_deg * kDeg, 1e-12);
    EXPECT_NEAR(data.distance_m, d.distance_m, 1e-11);
    EXPECT_NEAR(data.angle_rad, d.angle_deg * kDeg, 1e-12);
    EXPECT_GE(data.angle_rad, 0);
    EXPECT_LT(data.angle_rad, 2 * std::numbers::pi);
    EXPECT_FALSE(data.atStation);
  }
}

// The sample line's start as station, its first tangent point as backsight
// (azimuth 30 deg), three points in different quadrants: reference.py.
TEST(Setout, AgreesWithTheMpmathReference) {
  struct Row {
    double X_m, Y_m, azimuth_rad, distance_m, angle_rad;
    const char* azimuthText;
    const char* distanceText;
    const char* angleText;
  };
  const Row rows[] = {
      {3381757.64057, 502019.669222, 0.99914211492548627, 938.0648125974613, 0.4755433407683014, "57.1448", "938.065",
       "27.1448"},
      {3381100.5, 501200.25, 3.3426806031450122, 152.70196667037396, 2.8190818289878273, "191.3117", "152.702",
       "161.3117"},
      {3381300.001, 501100.999, 5.0793732620904853, 139.00696880732275, 4.5557744879333004, "291.0136", "139.007",
       "261.0136"},
  };
  const SetoutStation station(3381250.125, 501230.75, 3381380.028811, 501305.75);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.azimuthText);
    const SetoutData data = station.To(r.X_m, r.Y_m);
    // Coordinates of 3.4e6 m hold their differences to about 5e-10 m.
    EXPECT_NEAR(data.azimuth_rad, r.azimuth_rad, 1e-11);
    EXPECT_NEAR(data.distance_m, r.distance_m, 1e-9);
    EXPECT_NEAR(data.angle_rad, r.angle_rad, 1e-11);
    const std::vector<std::string> cells = SetoutCells(data, 3);
    EXPECT_EQ(cells[0], r.azimuthText);
    EXPECT_EQ(cells[1], r.distanceText);
    EXPECT_EQ(cells[2], r.angleText);
  }
}

// Angles a hair either side of the backsight direction, and the circle
// reading texts there: a turn that rounds up to 360 degrees reads 0.0000.
TEST(Setout, AngleNextToTheBacksightWrapsToZero) {
  struct Row {
    const char* what;
    double pointN, pointE;  // from the station at (0, 0); backsight due north
    const char* angleText;
    bool belowFullTurn;  // the angle lies a little below 2 pi, not at 0
  };
  const Row rows[] = {
      {"a nanoradian counter-clockwise", 1000, -1e-6, "0.0000", true},
      {"0.4 second counter-clockwise", 1000, -1000 * std::tan(0.4 / 3600 * kDeg), "0.0000", true},
      {"0.6 second counter-clockwise", 1000, -1000 * std::tan(0.6 / 3600 * kDeg), "359.5959", true},
      {"on the line", 1000, 0, "0.0000", false},
      {"a nanoradian clockwise", 1000, 1e-6, "0.0000", false},
      {"0.6 second clockwise", 1000, 1000 * std::tan(0.6 / 3600 * kDeg), "0.0001", false},
  };
  const SetoutStation station(0, 0, 50, 0);
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    const SetoutData data = station.To(r.pointN, r.pointE);
    EXPECT_LT(data.angle_rad, 2 * std::numbers::pi);
    EXPECT_EQ(data.angle_rad > std::numbers::pi, r.belowFullTurn);
    EXPECT_EQ(SetoutCells(data)[2], r.angleText);
  }
  // The DD.MMSS text itself at 359 deg 59' 59.9999" and just below half a second short.
  EXPECT_EQ(AzimuthText((360 - 0.0001 / 3600) * kDeg), "0.0000");
  EXPECT_EQ(AzimuthText((360 - 0.5001 / 3600) * kDeg), "359.5959");
}

// A point within a millimetre of the station is plumbed over the mark: no
// direction, the true distance.
TEST(Setout, PointOnTheStationHasNoDirection) {
  const SetoutStation station(1000, 2000, 1100, 2100);
  struct Row {
    double dN, dE;
    bool atStation;
    double distance_m;
  };
  for (const Row& r : {Row{0, 0, true, 0}, Row{0.0003, -0.0004, true, 0.0005}, Row{-0.0009, 0.0012, false, 0.0015}}) {
    SCOPED_TRACE(r.distance_m);
    const SetoutData data = station.To(1000 + r.dN, 2000 + r.dE);
    EXPECT_EQ(data.atStation, r.atStation);
    EXPECT_NEAR(data.distance_m, r.distance_m, 1e-12);  // coordinates of 2000 m hold 2e-13 m
    if (r.atStation) {
      EXPECT_EQ(data.azimuth_rad, 0);
      EXPECT_EQ(data.angle_rad, 0);
    }
  }
}

// h = design H - (station H + instrument height - target height).
TEST(Setout, HeightDifferenceToSet) {
  struct Row {
    StationHeights heights;
    double designH_m, expected_m;
  };
  const Row rows[] = {
      {{100, 1.5, 2.0}, 103, 3.5},          // the prism higher than the instrument
      {{100, 1.55, 1.3}, 98.25, -2.0},      // setting out below the station
      {{2450.125, 1.6, 1.6}, 2450.125, 0},  // same height, i equal to v
      {{-3.2, 1.4, 0}, -3.2, -1.4},         // a target height of 0: a point on the ground
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.designH_m);
    const SetoutStation station(0, 0, 10, 0, r.heights);
    EXPECT_NEAR(station.HeightDifferenceToSet(r.designH_m), r.expected_m, 1e-12);
  }
}

TEST(Setout, RefusesWhatCannotBeSetOut) {
  const SetoutStation plain(0, 0, 10, 0);
  const SetoutStation withHeights(0, 0, 10, 0, StationHeights{100, 1.5, 1.5});
  struct Row {
    const char* what;
    std::function<void()> run;
    const char* message;
  };
  const Row rows[] = {
      {"station X NaN", [] { SetoutStation(kNaN, 0, 10, 0); }, kSetoutStationNotFinitePrompt},
      {"station Y infinite", [] { SetoutStation(0, -kInf, 10, 0); }, kSetoutStationNotFinitePrompt},
      {"station of 10^12 m", [] { SetoutStation(1e12, 0, 10, 0); }, kSetoutStationNotFinitePrompt},
      {"backsight X NaN", [] { SetoutStation(0, 0, kNaN, 0); }, kSetoutBacksightNotFinitePrompt},
      {"backsight Y infinite", [] { SetoutStation(0, 0, 10, kInf); }, kSetoutBacksightNotFinitePrompt},
      {"backsight on the station", [] { SetoutStation(5, 6, 5, 6); }, kSetoutBacksightOnStationPrompt},
      {"backsight 0.9 mm away", [] { SetoutStation(5, 6, 5.0009, 6); }, kSetoutBacksightOnStationPrompt},
      {"backsight 1.1 mm away", [] { SetoutStation(3381250.125, 6, 3381250.1261, 6); }, test::kNoError},
      {"ground height NaN",
       [] {
         SetoutStation(0, 0, 10, 0, StationHeights{kNaN, 1, 1});
       },
       kSetoutHeightNotFinitePrompt},
      {"target height infinite",
       [] {
         SetoutStation(0, 0, 10, 0, StationHeights{0, 1, kInf});
       },
       kSetoutHeightNotFinitePrompt},
      {"negative instrument height",
       [] {
         SetoutStation(0, 0, 10, 0, StationHeights{0, -1.5, 1});
       },
       kSetoutNegativeHeightPrompt},
      {"negative target height",
       [] {
         SetoutStation(0, 0, 10, 0, StationHeights{0, 1.5, -0.1});
       },
       kSetoutNegativeHeightPrompt},
      {"point NaN", [&] { plain.To(kNaN, 0); }, kLinePointNotFinitePrompt},
      {"point infinite", [&] { plain.To(0, kInf); }, kLinePointNotFinitePrompt},
      {"height without station heights", [&] { plain.HeightDifferenceToSet(100); }, kSetoutNoHeightsPrompt},
      {"design height NaN", [&] { withHeights.HeightDifferenceToSet(kNaN); }, kSetoutDesignHeightNotFinitePrompt},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    EXPECT_EQ(test::ThrownMessage(r.run), r.message);
  }
}

}  // namespace
}  // namespace quorvane
