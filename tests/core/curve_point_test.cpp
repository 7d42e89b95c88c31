// Points on the curve, side points and locating a point: against the stake
// computation to the bit, against closed forms worked by hand for the
// straight and the circle, and as round trips for the spirals.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

#include "calc/angle.h"
#include "calc/calculation_error.h"
#include "calc/curve_point.h"

namespace quorvane {
namespace {

// The window's default curve, interval 10, right turn.
const CurveInput kField{.Xa = 4040964.994, .Ya = 195601.155, .lb = 180.108, .le = 250.365, .Ra = 1500,
                        .Rb = 130, .a = 17.3415, .d = 10, .turn = 1};

CurveInput With(CurveInput c, double Ra, double Rb, std::int16_t turn) {
  c.Ra = Ra;
  c.Rb = Rb;
  c.turn = turn;
  return c;
}

CurveInput Reversed(CurveInput c) {  // the same stretch staked from its high end
  std::swap(c.lb, c.le);
  c.d = -c.d;
  return c;
}

constexpr double kTruePi = std::numbers::pi;

// The contract of LocatePoint.
constexpr double kLocateTolerance_m = 1e-4;

TEST(PointAt, EqualsEveryStakeToTheBit) {
  CurveInput shortEnd = kField;
  shortEnd.le = 249.99999999999;  // counts as 250: the last stake lies a hair past the end
  CurveInput fine = kField;
  fine.lb = 0.3;  // 0.3 / 0.1 falls just below 3
  fine.d = 0.1;
  const struct {
    const char* name;
    CurveInput input;
  } cases[] = {
      {"field curve, right", kField},
      {"field curve, left", With(kField, 1500, 130, -1)},
      {"negative interval", Reversed(kField)},
      {"negative interval, left", Reversed(With(kField, 1500, 130, -1))},
      {"no turn chosen", With(kField, 1500, 130, 0)},
      {"spiral from a straight", With(kField, 0, 130, 1)},
      {"reverse curve", With(kField, 300, -300, 1)},
      {"end a hair short of a multiple", shortEnd},
      {"interval 0.1", fine},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const StakeTable t = ComputeStakes(c.input);
    ASSERT_GT(t.n, 0);
    for (int i = 0; i < t.n; ++i) {
      SCOPED_TRACE(t.stakeStation[i]);
      const CurvePoint p = PointAt(c.input, t.stakeStation[i]);
      EXPECT_EQ(p.X, t.stakeX[i]);
      EXPECT_EQ(p.Y, t.stakeY[i]);
      EXPECT_EQ(RadiansToDdMmSs(p.azimuth), t.stakeAzimuth[i]);
    }
  }
}

TEST(PointAt, StartAndEndOfTheCurve) {
  // The start point itself, also on a curve of no length, where the law
  // would divide 0 by 0.
  CurveInput none = kField;
  none.le = none.lb;
  for (const CurveInput& c : {kField, Reversed(kField), none}) {
    const CurvePoint p = PointAt(c, c.lb);
    EXPECT_EQ(p.X, c.Xa);
    EXPECT_EQ(p.Y, c.Ya);
    EXPECT_NEAR(p.azimuth, (17 + 34 / 60.0 + 15 / 3600.0) * kPi / 180, 1e-15);
  }
}

TEST(PointAt, RefusesWhatIsNotOnTheCurve) {
  CurveInput infinite = kField;
  infinite.Xa = INFINITY;
  CurveInput farAzimuth = kField;
  farAzimuth.a = 40000;
  CurveInput tinyRadius = kField;
  tinyRadius.Ra = 1e-320;  // 1/Ra overflows
  const struct {
    const char* name;
    CurveInput input;
    double station;
    const char* prompt;
  } cases[] = {
      {"before the start", kField, 180.1, kStationOutsideCurvePrompt},
      {"after the end", kField, 250.366, kStationOutsideCurvePrompt},
      {"after the end, negative interval", Reversed(kField), 250.366, kStationOutsideCurvePrompt},
      {"before the start, negative interval", Reversed(kField), 180.1, kStationOutsideCurvePrompt},
      {"station not a number", kField, NAN, kOverflowPrompt},
      {"start not finite", infinite, 200, kOverflowPrompt},
      {"azimuth degrees out of range", farAzimuth, 200, kAzimuthOutOfRangePrompt},
      {"radius too small", tinyRadius, 200, kOverflowPrompt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      PointAt(c.input, c.station);
      ADD_FAILURE() << "no error";
    } catch (const CalculationError& e) {
      EXPECT_STREQ(e.what(), c.prompt);
    }
  }
}

struct Edge {
  double X, Y;
};

// Straight at 30 deg from (1000, 2000): the centre at distance s is
// (1000 + s cos 30, 2000 + s sin 30); w to the right adds (-w sin 30, w cos 30).
// Circle of 100 m from (0, 0) heading north: turning right its centre is
// (0, 100) and the point at angle t = s/100 is (100 sin t, 100 - 100 cos t);
// w right moves it to radius 100 - w. Turning left, mirrored in Y. Values
// worked from these forms with double-precision sines.
TEST(SideStakes, MatchHandWorkedEdgesOnAStraightAndACircle) {
  const CurveInput straight{.Xa = 1000, .Ya = 2000, .lb = 0, .le = 100, .Ra = 0, .Rb = 0, .a = 30, .d = 50, .turn = 1};
  const CurveInput circle{.Xa = 0, .Ya = 0, .lb = 0, .le = 100, .Ra = 100, .Rb = 100, .a = 0, .d = 50, .turn = 1};
  const struct {
    const char* name;
    CurveInput input;
    std::vector<double> stations;
    std::vector<Edge> left3, right4;  // widths 3 and 4
  } cases[] = {
      {"straight", straight, {50, 100},
       {{1044.801270189222, 2022.4019237886466}, {1088.1025403784438, 2047.4019237886466}},
       {{1041.301270189222, 2028.4641016151377}, {1084.6025403784438, 2053.4641016151377}}},
      {"straight staked backwards: still right of increasing stations", Reversed(straight), {50, 0},
       {{958.1987298107781, 1972.4019237886466}, {914.8974596215561, 1947.4019237886466}},
       {{954.6987298107781, 1978.4641016151377}, {911.3974596215561, 1953.4641016151377}}},
      {"circle to the right", circle, {50, 100},
       {{49.38083047623291, 9.608996125291611}, {86.67151143521335, 44.348862495581606}},
       {{46.02485170600349, 15.752074058524215}, {80.78121454155806, 48.13097863665858}}},
      {"circle to the left", With(circle, 100, 100, -1), {50, 100},
       {{46.50427724460769, -14.874491496633837}, {81.62268552636596, -47.590676330790444}},
       {{49.86025601483711, -8.731413563401233}, {87.51298242002123, -43.80856018971346}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const SideStakeTable t = ComputeSideStakes(c.input, 3.0, 4.0);
    ASSERT_EQ(t.station, c.stations);
    ASSERT_EQ(t.left.size(), c.stations.size());
    ASSERT_EQ(t.right.size(), c.stations.size());
    for (std::size_t i = 0; i < c.stations.size(); ++i) {
      SCOPED_TRACE(c.stations[i]);
      // The shortened Gauss weights and pi leave a few hundredths of a micrometre.
      EXPECT_NEAR(t.left[i].X, c.left3[i].X, 1e-6);
      EXPECT_NEAR(t.left[i].Y, c.left3[i].Y, 1e-6);
      EXPECT_NEAR(t.right[i].X, c.right4[i].X, 1e-6);
      EXPECT_NEAR(t.right[i].Y, c.right4[i].Y, 1e-6);
    }
  }
}

TEST(SideStakes, WidthsAreChecked) {
  EXPECT_TRUE(ComputeSideStakes(kField, std::nullopt, 4.0).left.empty());
  EXPECT_TRUE(ComputeSideStakes(kField, 3.0, std::nullopt).right.empty());
  const struct {
    const char* name;
    double width;
    const char* prompt;
  } cases[] = {
      {"negative", -0.5, kNegativeWidthPrompt},
      {"not finite", INFINITY, kOverflowPrompt},
      {"not a number", NAN, kOverflowPrompt},
      {"beyond the coordinate limit", 1e12, kOverflowPrompt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (const bool left : {true, false}) {
      try {
        ComputeSideStakes(kField, left ? std::optional(c.width) : 3.0, left ? 4.0 : std::optional(c.width));
        ADD_FAILURE() << "no error";
      } catch (const CalculationError& e) {
        EXPECT_STREQ(e.what(), c.prompt);
      }
    }
  }
}

TEST(LocatePoint, FindsStationAndOffsetOfPointsBesideTheCurve) {
  // Entry spiral from a straight into 200 m, exit spiral from 200 m back to a
  // straight, both over 400 m; a spiral into 100 m turning by 115 deg.
  const CurveInput entry{.Xa = 3000, .Ya = 5000, .lb = 1000, .le = 1400, .Ra = 0, .Rb = 200, .a = 123.4512, .d = 20};
  const CurveInput exit = With(entry, 200, 0, 1);
  const CurveInput tight = With(entry, 0, 100, 1);
  const struct {
    const char* name;
    CurveInput input;
    std::vector<double> offsets;
  } cases[] = {
      {"field curve, right", kField, {-7.5, -0.2, 0, 0.05, 12}},
      {"field curve, left", With(kField, 1500, 130, -1), {-7.5, 0, 12}},
      {"negative interval", Reversed(kField), {-7.5, 0, 12}},
      {"negative interval, left", Reversed(With(kField, 1500, 130, -1)), {-7.5, 0, 12}},
      {"entry spiral, right", With(entry, 0, 200, 1), {-30, -1, 0, 1, 30}},
      {"entry spiral, left", With(entry, 0, 200, -1), {-30, -1, 0, 1, 30}},
      {"exit spiral, right", exit, {-30, 0, 30}},
      {"exit spiral, left", With(exit, 200, 0, -1), {-30, 0, 30}},
      {"no turn chosen", With(kField, 1500, 130, 0), {-7.5, 0, 12}},
      {"radii 0", With(kField, 0, 0, 1), {-7.5, 0, 12}},
      {"reverse curve", With(entry, 300, -300, 1), {-20, 0, 20}},
      {"tight spiral", tight, {-20, 0, 20}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (const double along : {0.0, 0.003, 0.25, 0.5, 0.97, 1.0}) {
      const double station = c.input.lb + along * (c.input.le - c.input.lb);
      for (const double offset : c.offsets) {
        SCOPED_TRACE(::testing::Message() << "station " << station << ", offset " << offset);
        const CurvePoint p = SidePoint(PointAt(c.input, station), offset);
        const StationOffset found = LocatePoint(c.input, p.X, p.Y);
        EXPECT_NEAR(found.station, station, kLocateTolerance_m);
        EXPECT_NEAR(found.offset, offset, kLocateTolerance_m);
      }
    }
  }
}

// A 10 m circle turning right from (0, 0) heading north through 200 deg: its
// centre is (0, 10). A point at distance r from the centre in the direction
// of the curve point at angle t sees the curve square at t (distance |10 - r|)
// and at t + 180 deg (distance 10 + r); the nearer is the answer.
TEST(LocatePoint, ChoosesTheNearestOfSeveralFeet) {
  const CurveInput tight{.Xa = 0, .Ya = 0, .lb = 0, .le = 10 * 200 * kTruePi / 180, .Ra = 10, .Rb = 10, .a = 0, .d = 1, .turn = 1};
  const struct {
    const char* name;
    double t, r;
    double station, offset;  // 10 t, and 10 - r (> 0 towards the centre, which is on the right)
  } cases[] = {
      {"outside the bend, nearer foot first", kTruePi / 18, 30, 10 * kTruePi / 18, -20},
      {"outside the bend, nearer foot last", 19 * kTruePi / 18, 30, 190 * kTruePi / 18, -20},
      {"inside the bend", kTruePi / 18, 5, 10 * kTruePi / 18, 5},
      {"inside the bend, nearer foot last", 19 * kTruePi / 18, 5, 190 * kTruePi / 18, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const StationOffset found = LocatePoint(tight, c.r * std::sin(c.t), 10 - c.r * std::cos(c.t));
    EXPECT_NEAR(found.station, c.station, kLocateTolerance_m);
    EXPECT_NEAR(found.offset, c.offset, kLocateTolerance_m);
  }
}

TEST(LocatePoint, RefusesPointsOffTheEndsAndBadInput) {
  const CurveInput straight{.Xa = 1000, .Ya = 2000, .lb = 0, .le = 100, .Ra = 0, .Rb = 0, .a = 0, .d = 10, .turn = 1};
  CurveInput none = straight;
  none.le = 0;
  const CurvePoint end = PointAt(kField, kField.le);
  const double past = 2;  // metres on along the end tangent
  const struct {
    const char* name;
    CurveInput input;
    double X, Y;
    const char* prompt;
  } cases[] = {
      {"behind the start of a straight", straight, 999.9, 2003, kPointOutsideCurvePrompt},
      {"past the end of a straight", straight, 1100.1, 1990, kPointOutsideCurvePrompt},
      {"past the end of a straight staked backwards", Reversed(straight), 1100.1, 1990, kPointOutsideCurvePrompt},
      {"past the end of the field curve", kField, end.X + past * std::cos(end.azimuth),
       end.Y + past * std::sin(end.azimuth), kPointOutsideCurvePrompt},
      {"beside a curve of no length", none, 1000.5, 2000, kPointOutsideCurvePrompt},
      {"X not finite", straight, INFINITY, 2000, kOverflowPrompt},
      {"Y not a number", straight, 1000, NAN, kOverflowPrompt},
      {"beyond the coordinate limit", straight, 1e12, 2000, kOverflowPrompt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      LocatePoint(c.input, c.X, c.Y);
      ADD_FAILURE() << "no error";
    } catch (const CalculationError& e) {
      EXPECT_STREQ(e.what(), c.prompt);
    }
  }
  // Square to a curve of no length: its start, and the offset.
  const StationOffset onNormal = LocatePoint(none, 1000, 2003);
  EXPECT_EQ(onNormal.station, 0);
  EXPECT_NEAR(onNormal.offset, 3, 1e-9);
}

}  // namespace
}  // namespace quorvane
