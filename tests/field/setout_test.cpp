// Setting-out data from an instrument station: directions worked by hand in
// every quadrant, the wrap of the angle at a full turn, points on the
// station, values from reference.py (mpmath), heights and refusals.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

#include "calc/messages.h"
#include "calc/setout.h"
#include "expect_error.h"
#include "report/road_tables.h"

namespace quorvane {
namespace {

constexpr double kDeg = std::numbers::pi / 180;
constexpr double kRoot2 = std::numbers::sqrt2;
const double k06n = 1000 * std::cos(0.6 / 3600 * kDeg), k06e = 1000 * std::sin(0.6 / 3600 * kDeg);  // 0.6", 1 km

TEST(Setout, DirectionsDistancesAndAnglesWithTheirTexts) {
  struct Row {
    double sN, sE, bN, bE, pN, pE;  // station, backsight, point
    double azimuth_deg, distance_m, angle_deg;
    const char *azimuth, *distance, *angle;  // the texts of 方位角, 平距, 水平角
  };
  const double c350 = 100 * std::cos(350 * kDeg), s350 = 100 * std::sin(350 * kDeg);
  const double a345 = 53.13010235415598, a724 = 253.7397952916880;  // atan2(4, 3), 180 + atan(24 / 7)
  const double rad = 1 / kDeg;                                      // reference.py's radians as degrees
  // clang-format off
  const Row rows[] = {
      {0, 0, 100, 0, 100, 100, 45, 100 * kRoot2, 45, "45.0000", "141.421", "45.0000"},         // backsight N
      {0, 0, 100, 0, -100, 100, 135, 100 * kRoot2, 135, "135.0000", "141.421", "135.0000"},
      {0, 0, 100, 0, -100, -100, 225, 100 * kRoot2, 225, "225.0000", "141.421", "225.0000"},
      {0, 0, 100, 0, 100, -100, 315, 100 * kRoot2, 315, "315.0000", "141.421", "315.0000"},
      {0, 0, 0, 100, -30, 0, 180, 30, 90, "180.0000", "30.000", "90.0000"},                   // backsight E
      {0, 0, -100, 0, 0, 50, 90, 50, 270, "90.0000", "50.000", "270.0000"},                   // backsight S
      {0, 0, 0, -100, -40, 0, 180, 40, 270, "180.0000", "40.000", "270.0000"},                // backsight W
      {0, 0, -10, 10, 300, 0, 0, 300, 225, "0.0000", "300.000", "225.0000"},                  // backsight SE
      {0, 0, -100, -100, 3, 3, 45, 3 * kRoot2, 180, "45.0000", "4.243", "180.0000"},          // backsight SW
      {0, 0, 5, 0, 300, 400, a345, 500, a345, "53.0748", "500.000", "53.0748"},
      {0, 0, 70, -70, 700, -700, 315, 700 * kRoot2, 0, "315.0000", "989.949", "0.0000"},       // beyond the backsight
      {0, 0, -7, -24, -0.7, -2.4, a724, 2.5, 0, "253.4423", "2.500", "0.0000"},                // short of it
      {0, 0, c350, s350, c350, -s350, 10, 100, 20, "10.0000", "100.000", "20.0000"},           // 350 -> 10
      {0, 0, c350, -s350, c350, s350, 350, 100, 340, "350.0000", "100.000", "340.0000"},       // 10 -> 350
      // 1e-13 rad before north and the backsight: the noise of atan2, 0.
      {0, 0, 50, 0, 1000, -1e-10, 0, 1000, 0, "0.0000", "1000.000", "0.0000"},
      // 1e-9 rad before the backsight is 359 deg 59' 59.9998": 0.0000, never 360.0000.
      {0, 0, 50, 0, 1000, -1e-6, 360 - 1e-9 * rad, 1000, 360 - 1e-9 * rad, "0.0000", "1000.000", "0.0000"},
      {0, 0, 50, 0, k06n, -k06e, 360 - 0.6 / 3600, 1000, 360 - 0.6 / 3600, "359.5959", "1000.000", "359.5959"},
      {0, 0, 50, 0, k06n, k06e, 0.6 / 3600, 1000, 0.6 / 3600, "0.0001", "1000.000", "0.0001"},
      // reference.py: the sample line's start, sighting its first tangent point (30 deg).
      {3381250.125, 501230.75, 3381380.028811, 501305.75, 3381757.64057, 502019.669222,
       0.99914211492548627 * rad, 938.0648125974613, 0.4755433407683014 * rad, "57.1448", "938.065", "27.1448"},
      {3381250.125, 501230.75, 3381380.028811, 501305.75, 3381100.5, 501200.25,
       3.3426806031450122 * rad, 152.70196667037396, 2.8190818289878273 * rad, "191.3117", "152.702", "161.3117"},
      {3381250.125, 501230.75, 3381380.028811, 501305.75, 3381300.001, 501100.999,
       5.0793732620904853 * rad, 139.00696880732275, 4.5557744879333004 * rad, "291.0136", "139.007", "261.0136"},
  };
  // clang-format on
  for (const Row& r : rows) {
    SCOPED_TRACE(r.azimuth);
    const SetoutData data = SetoutStation(r.sN, r.sE, r.bN, r.bE).To(r.pN, r.pE);
    // Coordinates of 3.4e6 m hold their differences to some 5e-10 m.
    EXPECT_NEAR(data.azimuth_rad, r.azimuth_deg * kDeg, 1e-11);
    EXPECT_NEAR(data.distance_m, r.distance_m, 1e-9);
    EXPECT_NEAR(data.angle_rad, r.angle_deg * kDeg, 1e-11);
    EXPECT_LT(data.angle_rad, 2 * std::numbers::pi);
    EXPECT_FALSE(data.atStation);
    EXPECT_EQ(SetoutCells(data), (std::vector<std::string>{r.azimuth, r.distance, r.angle}));
  }
}

// Within a millimetre of the station a point is plumbed over the mark: no
// direction, the true distance.
TEST(Setout, PointOnTheStationHasNoDirection) {
  const SetoutStation station(1000, 2000, 1100, 2100);
  for (const auto& [dN, dE, distance_m, atStation] :
       {std::tuple{0.0, 0.0, 0.0, true}, {0.0003, -0.0004, 0.0005, true}, {-0.0009, 0.0012, 0.0015, false}}) {
    const SetoutData data = station.To(1000 + dN, 2000 + dE);
    EXPECT_EQ(data.atStation, atStation);
    EXPECT_NEAR(data.distance_m, distance_m, 1e-12);
    EXPECT_EQ(data.azimuth_rad == 0 && data.angle_rad == 0, atStation);
  }
}

// h = design H - (station H + instrument height - target height).
TEST(Setout, HeightDifferenceToSet) {
  EXPECT_NEAR(SetoutStation(0, 0, 10, 0, StationHeights{100, 1.5, 2.0}).HeightDifferenceToSet(103), 3.5, 1e-12);
  EXPECT_NEAR(SetoutStation(0, 0, 10, 0, StationHeights{100, 1.55, 1.3}).HeightDifferenceToSet(98.25), -2.0, 1e-12);
}

// A 500 m straight due north from (1000, 2000) at K0+000, grade 2 % from
// H 50, cross slopes -2 % left and -3 % right; the instrument 10 m west of
// the start on ground 49 (i 1.5, v 2.0), sighting north. K0+100 5 m right
// is (1100, 2005), H = 52 - 0.15; K0+200 4 m left is (1200, 1996),
// H = 54 - 0.08; h = H - 48.5.
TEST(Setout, PointTypedAsStationAndOffset) {
  const Line line({1000, 2000, 0, 0}, {{ElementType::Straight, 500}});
  const Profile profile(line, {{0, 50}, {500, 60}});
  const SetoutStation station(1000, 1990, 1100, 1990, StationHeights{49, 1.5, 2.0});
  struct Row {
    double station_m, offset_m, X_m, Y_m, H_m, azimuth_rad, distance_m, h_m;
  };
  for (const Row& r : {Row{100, 5, 1100, 2005, 51.85, 0.14888994760949725, 101.11874208078342, 3.35},
                       Row{200, -4, 1200, 1996, 53.92, 0.029991004856877900, 200.08997975910738, 5.42}}) {
    SCOPED_TRACE(r.station_m);
    const StationSetout at = SetoutAtStation(station, line, &profile, {-2, -3}, r.station_m, r.offset_m);
    EXPECT_NEAR(at.point.X_m, r.X_m, 1e-9);
    EXPECT_NEAR(at.point.Y_m, r.Y_m, 1e-9);
    EXPECT_NEAR(at.designH_m.value_or(0), r.H_m, 1e-9);
    EXPECT_NEAR(at.data.azimuth_rad, r.azimuth_rad, 1e-11);
    EXPECT_NEAR(at.data.angle_rad, r.azimuth_rad, 1e-11);
    EXPECT_NEAR(at.data.distance_m, r.distance_m, 1e-9);
    EXPECT_NEAR(at.heightDifference_m.value_or(0), r.h_m, 1e-9);
    const StationSetout flat = SetoutAtStation(station, line, nullptr, {}, r.station_m, r.offset_m);
    EXPECT_FALSE(flat.designH_m || flat.heightDifference_m);
  }
  EXPECT_EQ(test::ThrownMessage([&] { SetoutAtStation(station, line, &profile, {}, 600, 0); }),
            kStationOutsideLinePrompt);
}

TEST(Setout, RefusesWhatCannotBeSetOut) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr double inf = std::numeric_limits<double>::infinity();
  const SetoutStation plain(0, 0, 10, 0);
  const SetoutStation withHeights(0, 0, 10, 0, StationHeights{100, 1.5, 1.5});
  const StationHeights noGround{nan, 1, 1}, negative{0, -1.5, 1};
  const std::pair<std::function<void()>, const char*> rows[] = {
      {[] { SetoutStation(nan, 0, 10, 0); }, kSetoutStationNotFinitePrompt},
      {[] { SetoutStation(0, 1e12, 10, 0); }, kSetoutStationNotFinitePrompt},
      {[] { SetoutStation(0, 0, 10, -inf); }, kSetoutBacksightNotFinitePrompt},
      {[] { SetoutStation(5, 6, 5, 6); }, kSetoutBacksightOnStationPrompt},
      {[] { SetoutStation(5, 6, 5.0009, 6); }, kSetoutBacksightOnStationPrompt},
      {[] { SetoutStation(3381250.125, 6, 3381250.1261, 6); }, test::kNoError},
      {[&] { SetoutStation(0, 0, 10, 0, noGround); }, kSetoutHeightNotFinitePrompt},
      {[&] { SetoutStation(0, 0, 10, 0, negative); }, kSetoutNegativeHeightPrompt},
      {[&] { plain.To(0, inf); }, kLinePointNotFinitePrompt},
      {[&] { plain.HeightDifferenceToSet(100); }, kSetoutNoHeightsPrompt},
      {[&] { withHeights.HeightDifferenceToSet(nan); }, kSetoutDesignHeightNotFinitePrompt},
  };
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(test::ThrownMessage(rows[i].first), rows[i].second);
  }
}

}  // namespace
}  // namespace quorvane
