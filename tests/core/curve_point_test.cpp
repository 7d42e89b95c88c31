// Points on the curve, side points and locating a point: against the stake
// computation to the bit, hand-worked closed forms, and round trips.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

#include "expect_error.h"
#include "calc/angle.h"
#include "calc/calculation_error.h"
#include "calc/curve_point.h"
#include "field_curve.h"

namespace quorvane {
namespace {

// The window's default curve, interval 10, right turn.
constexpr CurveInput kField = test::kFieldCurve;

// The curve with other radii and turn; the same stretch staked from its high end.
CurveInput With(CurveInput c, double Ra, double Rb, std::int16_t turn) { return c.Ra = Ra, c.Rb = Rb, c.turn = turn, c; }
CurveInput Reversed(CurveInput c) { return std::swap(c.lb, c.le), c.d = -c.d, c; }

using std::numbers::pi;

// The contract of LocatePoint.
constexpr double kLocateTolerance_m = 1e-4;

TEST(PointAt, EqualsEveryStakeToTheBit) {
  const struct {
    const char* name;
    CurveInput input;
  } cases[] = {
      {"field curve, right", kField},
      {"field curve, left", With(kField, 1500, 130, -1)},
      {"negative interval", Reversed(kField)},
      {"spiral from a straight", With(kField, 0, 130, 1)},
      {"last stake 3 x 0.1 lies a unit in the last place past le 0.3",
       {.Xa = 10, .Ya = 20, .lb = 0, .le = 0.3, .Ra = 0, .Rb = 130, .a = 90, .d = 0.1, .turn = 1}},
      // Past where the one rule holds, the stakes come from panels summed
      // stake to stake, PointAt from panels summed from the start.
      {"default radii over 3276.7 m, 137 rad",
       {.Xa = 4040964.994, .Ya = 195601.155, .lb = 0, .le = 3276.7, .Ra = 1500, .Rb = 130, .a = 17.3415, .d = 10, .turn = 1}},
      {"a straight of 30 km", {.Xa = 10, .Ya = 20, .lb = 0, .le = 30000, .Ra = 0, .Rb = 0, .a = 30, .d = 500, .turn = 1}},
      {"a circle of 100 km radius over 30 km",
       {.Xa = 10, .Ya = 20, .lb = 0, .le = 30000, .Ra = 1e5, .Rb = 1e5, .a = 30, .d = 250, .turn = -1}},
      {"a spiral of three turns staked backwards",
       {.Xa = 10, .Ya = 20, .lb = 600, .le = 0, .Ra = 15, .Rb = 0, .a = 30, .d = -7, .turn = 1}},
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

TEST(LocatePoint, FindsStationAndOffsetOfPointsBesideTheCurve) {
  // Entry spiral from a straight into 200 m, exit spiral from 200 m back to a
  // straight, both over 400 m; a spiral into 100 m turning by 115 deg.
  const CurveInput entry{.Xa = 3000, .Ya = 5000, .lb = 1000, .le = 1400, .Ra = 0, .Rb = 200, .a = 123.4512, .d = 20};
  const CurveInput far{.Xa = 9e8, .Ya = 9e8, .lb = 1000, .le = 1400, .Ra = 0, .Rb = 200, .a = 123.4512, .d = 20, .turn = 1};
  const struct {
    const char* name;
    CurveInput input;
    std::vector<double> offsets;
  } cases[] = {
      {"field curve, right", kField, {-7.5, -0.2, 0, 0.05, 12}},
      {"negative interval", Reversed(kField), {-7.5, 0, 12}},
      {"entry spiral, right", With(entry, 0, 200, 1), {-30, -1, 0, 1, 30}},
      {"entry spiral, left", With(entry, 0, 200, -1), {-30, 0, 30}},
      {"exit spiral, right", With(entry, 200, 0, 1), {-30, 0, 30}},
      {"no turn chosen", With(kField, 1500, 130, 0), {-7.5, 0, 12}},
      {"radii 0", With(kField, 0, 0, 1), {-7.5, 0, 12}},
      {"tight spiral", With(entry, 0, 100, 1), {-20, 0, 20}},
      {"far from the origin, where the foot tolerance grows", far, {-30, 0, 30}},
      {"shorter than a metre", {.Xa = 10, .Ya = 20, .lb = 0, .le = 0.6, .Ra = 0, .Rb = 130, .a = 90, .d = 0.1}, {-2, 0, 2}},
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
        EXPECT_FALSE(found.nearCentreOfCurvature);
      }
    }
  }
  // Reference: mpmath at 25 digits, root of the along-track distance on the
  // exact integral of the field curve (pi = 3.14159265).
  const StationOffset field = LocatePoint(kField, 4040990, 195612);
  EXPECT_NEAR(field.station, 207.3531645380, kLocateTolerance_m);
  EXPECT_NEAR(field.offset, 2.2091003987, kLocateTolerance_m);
}

// A 10 m circle turning right from (0, 0) heading north through 200 deg: its
// centre is (0, 10). A point at distance r from the centre in the direction
// of the curve point at angle t sees the curve square at t (distance |10 - r|)
// and at t + 180 deg (distance 10 + r); the nearer is the answer.
TEST(LocatePoint, ChoosesTheNearestOfSeveralFeet) {
  const CurveInput tight{.Xa = 0, .Ya = 0, .lb = 0, .le = 10 * 200 * pi / 180, .Ra = 10, .Rb = 10, .a = 0, .d = 1, .turn = 1};
  const struct {
    const char* name;
    double t, r;
    double station, offset;  // 10 t, and 10 - r (> 0 towards the centre, which is on the right)
  } cases[] = {
      {"outside the bend, nearer foot first", pi / 18, 30, 10 * pi / 18, -20},
      {"outside the bend, nearer foot last", 19 * pi / 18, 30, 190 * pi / 18, -20},
      {"inside the bend, nearer foot last", 19 * pi / 18, 5, 190 * pi / 18, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const StationOffset found = LocatePoint(tight, c.r * std::sin(c.t), 10 - c.r * std::cos(c.t));
    EXPECT_NEAR(found.station, c.station, kLocateTolerance_m);
    EXPECT_NEAR(found.offset, c.offset, kLocateTolerance_m);
  }
}

// References: tests/core/curve_reference.py (mpmath, every root of the
// along-track distance on the exact curve; the nearest is the answer).
TEST(LocatePoint, FindsFeetInsideABendBeyondItsRadius) {
  const CurveInput spiral{.Xa = 0, .Ya = 0, .lb = 0, .le = 40, .Ra = 0, .Rb = 60, .a = 0, .d = 10, .turn = 1};
  const CurveInput left = With(kField, 1500, 130, -1);
  const struct {
    const char* name;
    CurveInput input;
    double X, Y;
    double station, offset;
    bool nearCentre;
  } cases[] = {
      // Feet at 5.76 and 37.62; both in one piece of the scan.
      {"inside the spiral, nearer foot first", spiral, 5, 110, 5.7603639729, 109.9893545547, false},
      // Feet at 16.58 and 25.20, 22 mm farther.
      {"inside the spiral, two feet close together", spiral, 10, 115, 16.5827304534, 114.8718596919, false},
      // A point 0.02 mm off the centre of the end circle (R 130) has its foot
      // 36 mm before the end, one on it its foot at the end.
      {"off the centre of the end circle, right", kField, 4040955.6854, 195736.4732, 250.3288946868, 130.0000158511, true},
      {"on the centre of the end circle, right", kField, 4040955.6854159432, 195736.4731917030, 250.365, 130, true},
      {"off the centre of the end circle, left", left, 4041035.2712, 195485.1431, 250.2869393921, -129.9999507587, true},
      {"on the centre of the end circle, left", left, 4041035.2712402749, 195485.1430512953, 250.365, -130, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const StationOffset found = LocatePoint(c.input, c.X, c.Y);
    EXPECT_NEAR(found.station, c.station, kLocateTolerance_m);
    EXPECT_NEAR(found.offset, c.offset, kLocateTolerance_m);
    EXPECT_EQ(found.nearCentreOfCurvature, c.nearCentre);
  }
}

// Every refusal, with the prompt the user reads.
TEST(CurvePoints, RefuseWhatIsOffTheCurveOrUnreadable) {
  const CurveInput straight{.Xa = 1000, .Ya = 2000, .lb = 0, .le = 100, .Ra = 0, .Rb = 0, .a = 0, .d = 10, .turn = 1};
  CurveInput none = straight;  // no length: only points square to its start are on it
  none.le = 0;
  const auto at = [](const CurveInput& c, double station) { return [=] { PointAt(c, station); }; };
  const auto locate = [](const CurveInput& c, double X, double Y) { return [=] { LocatePoint(c, X, Y); }; };
  const auto widths = [](double l, double r) { return [=] { ComputeSideStakes(kField, l, r); }; };
  const struct {
    const char* name;
    std::function<void()> run;
    const char* prompt;
  } cases[] = {
      {"station before the start", at(kField, 180.1), kStationOutsideCurvePrompt},
      {"station after the end, negative interval", at(Reversed(kField), 250.366), kStationOutsideCurvePrompt},
      {"station not a number", at(kField, NAN), kOverflowPrompt},
      {"point behind the start", locate(straight, 999.9, 2003), kPointOutsideCurvePrompt},
      {"point past the end, negative interval", locate(Reversed(straight), 1100.1, 1990), kPointOutsideCurvePrompt},
      {"point beside a curve of no length", locate(none, 1000.5, 2000), kPointOutsideCurvePrompt},
      {"point beyond the coordinate limit", locate(straight, 1000, 1e12), kOverflowPrompt},
      {"negative width", widths(3, -0.5), kNegativeWidthPrompt},
      {"width not a number", widths(NAN, 4), kOverflowPrompt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_THROW_MSG(c.run(), c.prompt);
  }
  EXPECT_EQ(LocatePoint(none, 1000, 2003).station, 0);  // square to it

  // 5e-10 of the station past the end is on the curve (reference:
  // tests/core/curve_reference.py).
  const CurveInput long_spiral{.Xa = 0, .Ya = 0, .lb = 0, .le = 1000, .Ra = 0, .Rb = 100, .a = 0, .d = 10, .turn = 1};
  const CurvePoint past = PointAt(long_spiral, 1000.0000005);
  EXPECT_NEAR(past.X, 184.0996498769, 1e-5);
  EXPECT_NEAR(past.Y, 261.1597991936, 1e-5);
  EXPECT_THROW(PointAt(long_spiral, 1000.000002), CalculationError);
}

}  // namespace
}  // namespace quorvane
