// Stake coordinates and tangent azimuths against references that do not come
// from this code: closed forms derived by hand for the straight and the
// circular arc, and a high-precision evaluation of the transition-curve
// integral for the spirals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include "calc/angle.h"
#include "calc/curve_point.h"
#include "calc/stakes.h"
#include "field_curve.h"

namespace quorvane {
namespace {

// What is left after the shortened Gauss nodes and weights (the weights add
// up to 0.9999999998) is far below a millimetre.
constexpr double kCoordinateTolerance_m = 1e-6;
// The promise for every curve, however far it turns: 0.01 mm.
constexpr double kExactCurveTolerance_m = 1e-5;
// Azimuths print to the whole second: within half a second of the true angle.
constexpr double kAzimuthTolerance_deg = 0.5 / 3600 + 1e-9;

double DdMmSsToDegrees(double ddmmss) {
  const double deg = std::trunc(ddmmss);
  const double mmss = std::round((ddmmss - deg) * 10000.0);
  return deg + std::trunc(mmss / 100.0) / 60.0 + std::fmod(mmss, 100.0) / 3600.0;
}

CurveInput Curve(double Ra, double Rb, std::int16_t turn) {
  // Start azimuth 30 deg 15' 24".
  return {.Xa = 5000, .Ya = 3000, .lb = 1000, .le = 1120, .Ra = Ra, .Rb = Rb, .a = 30.1524, .d = 20, .turn = turn};
}

// Straight along alpha: (Xa + s cos alpha, Ya + s sin alpha). Circle of
// radius R turning by `turn` (theta = alpha + turn*s/R): integrating
// (cos theta, sin theta) over 0..s gives
// X = Xa + turn*R*(sin theta - sin alpha), Y = Ya - turn*R*(cos theta - cos alpha).
// Facing theta, w metres to the right is (-w sin theta, w cos theta) away, to
// the left (w sin theta, -w cos theta): side stakes 3 m left and 4 m right.
// Staked backwards (lb 1120, le 1000) s is negative and theta still faces
// increasing stations, so the same forms hold.
TEST(Geometry, StraightAndCircularArcMatchTheirClosedForms) {
  CurveInput backwards = Curve(300, 300, 1);
  std::swap(backwards.lb, backwards.le);
  backwards.d = -backwards.d;
  const struct {
    const char* name;
    CurveInput input;
    double curvature;  // signed 1/R of the closed form, 0 for a straight
  } cases[] = {
      {"no direction chosen", Curve(1500, 130, 0), 0},
      {"both radii infinite", Curve(0, 0, 1), 0},
      {"circle to the right", Curve(300, 300, 1), 1.0 / 300},
      {"circle to the left", Curve(300, 300, -1), -1.0 / 300},
      {"circle to the right, staked backwards", backwards, 1.0 / 300},
  };
  const double alpha = (30 + 15 / 60.0 + 24 / 3600.0) * kStakeTablePi / 180;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const StakeTable t = ComputeStakes(c.input);
    const SideStakeTable sides = ComputeSideStakes(c.input, 3.0, 4.0);
    ASSERT_EQ(t.n, 6);
    ASSERT_EQ(sides.station, t.stakeStation);
    for (int i = 0; i < t.n; ++i) {
      const double s = t.stakeDist[i];
      const double theta = alpha + c.curvature * s;
      const double x = 5000 + (c.curvature == 0 ? s * std::cos(alpha) : (std::sin(theta) - std::sin(alpha)) / c.curvature);
      const double y = 3000 + (c.curvature == 0 ? s * std::sin(alpha) : -(std::cos(theta) - std::cos(alpha)) / c.curvature);
      EXPECT_NEAR(t.stakeX[i], x, kCoordinateTolerance_m);
      EXPECT_NEAR(t.stakeY[i], y, kCoordinateTolerance_m);
      EXPECT_NEAR(DdMmSsToDegrees(t.stakeAzimuth[i]), theta * 180 / kStakeTablePi, kAzimuthTolerance_deg);
      EXPECT_NEAR(sides.left[i].X, x + 3 * std::sin(theta), kCoordinateTolerance_m);
      EXPECT_NEAR(sides.left[i].Y, y - 3 * std::cos(theta), kCoordinateTolerance_m);
      EXPECT_NEAR(sides.right[i].X, x - 4 * std::sin(theta), kCoordinateTolerance_m);
      EXPECT_NEAR(sides.right[i].Y, y + 4 * std::cos(theta), kCoordinateTolerance_m);
    }
  }
}

// References: mpmath 1.3.0 at 40 significant digits, adaptive quadrature
// (mpmath.quad) of X = Xa + integral cos(theta(s)) ds, Y = Ya + integral
// sin(theta(s)) ds over 0..D, with theta(s) = alpha + turn*(s/Ra +
// s^2*(1/Rb - 1/Ra)/(2L)), alpha from the DD.MMSS start azimuth with
// pi = 3.14159265; printed to 20 digits and cut here to 10 decimals. (The
// default curve turning right is the worked example of the report tests.)
TEST(Geometry, TransitionCurvesMatchAHighPrecisionIntegral) {
  const CurveInput& field = test::kFieldCurve;
  // From a straight into a circle of 200 m, interval 25.
  const CurveInput spiral{.Xa = 1000, .Ya = 2000, .lb = 1000, .le = 1100, .Ra = 0, .Rb = 200, .a = 45, .d = 25};
  const struct {
    const char* name;
    CurveInput input;
    std::int16_t turn;
    int index;
    double station, x, y, azimuth_deg;
  } stakes[] = {
      {"default curve, left", field, -1, 0, 190, 4040974.4390330702, 195604.0947151709, 16.9126647500771},
      {"default curve, left", field, -1, 6, 250, 4041033.2123401728, 195615.1267469693, 0.907089248621333},
      {"spiral from a straight, right", spiral, 1, 0, 1025, 1017.5851683769, 2017.7693075249, 45.8952465559149},
      {"spiral from a straight, right", spiral, 1, 3, 1100, 1064.4037106624, 2076.1363159566, 59.3239448946381},
      {"spiral from a straight, left", spiral, -1, 3, 1100, 1076.1363160722, 2064.4037105257, 30.6760551053619},
  };
  for (const auto& ref : stakes) {
    SCOPED_TRACE(std::string(ref.name) + " at " + std::to_string(ref.station));
    CurveInput input = ref.input;
    input.turn = ref.turn;
    const StakeTable t = ComputeStakes(input);
    ASSERT_LT(ref.index, t.n);
    EXPECT_DOUBLE_EQ(t.stakeStation[ref.index], ref.station);
    EXPECT_NEAR(t.stakeX[ref.index], ref.x, kCoordinateTolerance_m);
    EXPECT_NEAR(t.stakeY[ref.index], ref.y, kCoordinateTolerance_m);
    EXPECT_NEAR(DdMmSsToDegrees(t.stakeAzimuth[ref.index]), ref.azimuth_deg, kAzimuthTolerance_deg);
  }
}

// References: tests/core/curve_reference.py (mpmath at 40 digits, the exact
// integral of the law over pieces that turn by at most 0.25 rad). Curves that
// turn by up to 137 rad, forwards and staked backwards: each stake lies on
// the exact curve, the point at its station and its side points agree with it
// to the bit, and a point beside it is found again.
TEST(Geometry, CurvesThatTurnFarStayOnTheExactCurve) {
  const struct {
    const char* name;
    double lb, le, Ra, Rb, Xa, Ya, a;
    std::int16_t turn;
    double station, x, y;
  } stakes[] = {
      // The window's defaults with the start 0, end 3276.7, interval 10, right turn.
      {"defaults, 0..3276.7, right", 0, 3276.7, 1500, 130, 4040964.994, 195601.155, 17.3415, 1, 10, 4040974.5172016770, 195604.2059420568},
      {"defaults, 0..3276.7, right", 0, 3276.7, 1500, 130, 4040964.994, 195601.155, 17.3415, 1, 1100, 4041389.7054014434, 196413.6629058265},
      {"defaults, 0..3276.7, right", 0, 3276.7, 1500, 130, 4040964.994, 195601.155, 17.3415, 1, 2000, 4041049.7593280314, 196062.8105240872},
      {"defaults, 0..3276.7, right", 0, 3276.7, 1500, 130, 4040964.994, 195601.155, 17.3415, 1, 3270, 4041260.3269221876, 196214.1511775059},
      {"loop ramp, radii 120 / 120", 0, 900, 120, 120, 4040964.994, 195601.155, 17.3415, 1, 450, 4040833.6547559495, 195788.7239538905},
      {"loop ramp, radii 120 / 120", 0, 900, 120, 120, 4040964.994, 195601.155, 17.3415, 1, 900, 4041048.6335602817, 195709.8809251615},
      {"1000..2200, radii 600 to 100, left", 1000, 2200, 600, 100, 4040964.994, 195601.155, 17.3415, -1, 1600, 4041363.4544028929, 195334.4238347162},
      {"1000..2200, radii 600 to 100, left", 1000, 2200, 600, 100, 4040964.994, 195601.155, 17.3415, -1, 2200, 4041238.8553016498, 195461.4021943947},
      {"0..600, radii 0 to 95.5", 0, 600, 0, 95.5, 4040964.994, 195601.155, 17.3415, 1, 300, 4041211.1703333468, 195757.9276021572},
      {"0..600, radii 0 to 95.5", 0, 600, 0, 95.5, 4040964.994, 195601.155, 17.3415, 1, 600, 4041087.4955535852, 195957.6948001845},
      {"circle of 20 m, four turns", 0, 500, 20, 20, 1000, 2000, 45, 1, 250, 999.0309296976, 1999.0932037682},
      {"circle of 20 m, four turns", 0, 500, 20, 20, 1000, 2000, 45, 1, 500, 998.0038525708, 1998.2526746296},
      {"spiral into 15 m, three turns, left", 0, 600, 0, 15, 1000, 2000, 300.3030, -1, 400, 960.5694792447, 1864.7498385660},
      {"spiral into 15 m, three turns, left", 0, 600, 0, 15, 1000, 2000, 300.3030, -1, 600, 982.6652775798, 1876.5111687013},
      {"spiral out of 15 m, staked backwards", 600, 0, 15, 0, 1000, 2000, 300.3030, 1, 300, 1025.1328230968, 2034.1091235891},
      {"spiral out of 15 m, staked backwards", 600, 0, 15, 0, 1000, 2000, 300.3030, 1, 0, 993.2743290610, 2124.5180685978},
  };
  for (const auto& ref : stakes) {
    SCOPED_TRACE(std::string(ref.name) + " at " + std::to_string(ref.station));
    const double d = ref.le > ref.lb ? 10 : -20;
    const CurveInput input{.Xa = ref.Xa, .Ya = ref.Ya, .lb = ref.lb, .le = ref.le, .Ra = ref.Ra, .Rb = ref.Rb,
                           .a = ref.a, .d = d, .turn = ref.turn};
    const StakeTable t = ComputeStakes(input);
    const auto at = std::find(t.stakeStation.begin(), t.stakeStation.end(), ref.station);
    ASSERT_NE(at, t.stakeStation.end());
    const auto i = static_cast<std::size_t>(at - t.stakeStation.begin());
    EXPECT_NEAR(t.stakeX[i], ref.x, kExactCurveTolerance_m);
    EXPECT_NEAR(t.stakeY[i], ref.y, kExactCurveTolerance_m);

    const CurvePoint p = PointAt(input, ref.station);
    EXPECT_EQ(p.X, t.stakeX[i]);
    EXPECT_EQ(p.Y, t.stakeY[i]);
    const SideStakeTable sides = ComputeSideStakes(input, std::nullopt, 2.0);
    EXPECT_EQ(sides.right[i].X, SidePoint(p, 2.0).X);
    EXPECT_EQ(sides.right[i].Y, SidePoint(p, 2.0).Y);
    // A point 2 m right of the stake: its nearest foot is that stake, or a
    // place where another turn of the curve passes at most as near.
    const StationOffset found = LocatePoint(input, sides.right[i].X, sides.right[i].Y);
    EXPECT_LE(std::fabs(found.offset), 2.0 + 1e-4);
    const CurvePoint back = SidePoint(PointAt(input, found.station), found.offset);
    EXPECT_NEAR(back.X, sides.right[i].X, 1e-4);
    EXPECT_NEAR(back.Y, sides.right[i].Y, 1e-4);
  }
}

}  // namespace
}  // namespace quorvane
