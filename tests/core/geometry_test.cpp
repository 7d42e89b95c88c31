// Stake coordinates and tangent azimuths against references that do not come
// from this code: closed forms derived by hand for the straight and the
// circular arc, and a high-precision evaluation of the transition-curve
// integral for the spirals.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "calc/angle.h"
#include "calc/stakes.h"

namespace quorvane {
namespace {

// Coordinates agree with the references to well under a millimetre; what is
// left is the shortened Gauss nodes and weights (their weights add up to
// 0.9999999998).
constexpr double kCoordinateTolerance_m = 1e-6;

// A DD.MMSS value back to decimal degrees.
double DdMmSsToDegrees(double ddmmss) {
  const double deg = std::trunc(ddmmss);
  const double mmss = std::round((ddmmss - deg) * 10000.0);
  return deg + std::trunc(mmss / 100.0) / 60.0 + std::fmod(mmss, 100.0) / 3600.0;
}

// Degrees of a DD.MMSS start azimuth, the way the field reads it.
double StartDegrees(double deg, double min, double sec) { return deg + min / 60.0 + sec / 3600.0; }
double ToRad(double degrees) { return degrees * kPi / 180.0; }

CurveInput Curve(double Ra, double Rb, std::int16_t turn) {
  CurveInput in;
  in.Xa = 5000;
  in.Ya = 3000;
  in.lb = 1000;
  in.le = 1120;
  in.Ra = Ra;
  in.Rb = Rb;
  in.a = 30.1524;  // 30 deg 15' 24"
  in.d = 20;
  in.turn = turn;
  return in;
}

TEST(Geometry, StraightWhenNoTurnOrBothRadiiInfinite) {
  const struct {
    const char* name;
    CurveInput input;
  } cases[] = {
      {"no direction chosen", Curve(1500, 130, 0)},
      {"both radii infinite, right", Curve(0, 0, 1)},
      {"both radii infinite, left", Curve(0, 0, -1)},
  };
  const double alpha = ToRad(StartDegrees(30, 15, 24));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const StakeTable t = ComputeStakes(c.input);
    ASSERT_EQ(t.n, 6);
    for (int i = 0; i < t.n; ++i) {
      const double s = t.stakeDist[i];
      EXPECT_NEAR(t.stakeX[i], 5000 + s * std::cos(alpha), kCoordinateTolerance_m);
      EXPECT_NEAR(t.stakeY[i], 3000 + s * std::sin(alpha), kCoordinateTolerance_m);
      EXPECT_NEAR(t.stakeAzimuth[i], 30.1524, 1e-9);
    }
  }
}

// A circle of radius R entered along alpha, turning by `turn`: the centre lies
// R off the tangent, and after an arc s the point is at alpha + turn*s/R
// around it:  X = Xa + turn*R*(sin(alpha + turn*s/R) - sin alpha) ... written
// for both signs at once below.
TEST(Geometry, EqualRadiiGiveACircularArc) {
  const double R = 300;
  const double alpha = ToRad(StartDegrees(30, 15, 24));
  for (const std::int16_t turn : {std::int16_t{1}, std::int16_t{-1}}) {
    SCOPED_TRACE(turn);
    const StakeTable t = ComputeStakes(Curve(R, R, turn));
    ASSERT_EQ(t.n, 6);
    for (int i = 0; i < t.n; ++i) {
      const double s = t.stakeDist[i];
      const double theta = alpha + turn * s / R;
      EXPECT_NEAR(t.stakeX[i], 5000 + turn * R * (std::sin(theta) - std::sin(alpha)), kCoordinateTolerance_m);
      EXPECT_NEAR(t.stakeY[i], 3000 - turn * R * (std::cos(theta) - std::cos(alpha)), kCoordinateTolerance_m);
      EXPECT_NEAR(DdMmSsToDegrees(t.stakeAzimuth[i]), theta * 180 / kPi, 0.5 / 3600 + 1e-9);
    }
  }
}

struct ReferenceStake {
  double station, x, y, azimuth_deg;
};

struct ReferenceCurve {
  const char* name;
  CurveInput input;
  std::vector<ReferenceStake> stakes;
};

// References: mpmath 1.3.0 at 40 significant digits, adaptive quadrature
// (mpmath.quad) of X = Xa + integral cos(theta(s)) ds, Y = Ya + integral
// sin(theta(s)) ds over 0..D, with theta(s) = alpha + turn*(s/Ra +
// s^2*(1/Rb - 1/Ra)/(2L)), alpha from the DD.MMSS start azimuth with
// pi = 3.14159265; printed to 20 digits and cut here to 10 decimals.
std::vector<ReferenceCurve> References() {
  CurveInput field;  // the window's default curve
  field.Xa = 4040964.994;
  field.Ya = 195601.155;
  field.lb = 180.108;
  field.le = 250.365;
  field.Ra = 1500;
  field.Rb = 130;
  field.a = 17.3415;
  field.d = 10;
  CurveInput right = field;
  right.turn = 1;
  CurveInput left = field;
  left.turn = -1;

  CurveInput spiral;  // from a straight into a circle of 200 m
  spiral.Xa = 1000;
  spiral.Ya = 2000;
  spiral.lb = 1000;
  spiral.le = 1100;
  spiral.Ra = 0;
  spiral.Rb = 200;
  spiral.a = 45;
  spiral.d = 25;
  CurveInput spiral_right = spiral;
  spiral_right.turn = 1;
  CurveInput spiral_left = spiral;
  spiral_left.turn = -1;

  return {
      {"field curve, right",
       right,
       {{190, 4040974.4095998764, 195604.1876644969, 18.2290019165896},
        {200, 4040983.8759724937, 195607.4100708264, 19.4642153676835},
        {210, 4040993.2532270033, 195610.8826469280, 21.2723818051036},
        {220, 4041002.4970105888, 195614.6955276607, 23.6535012288498},
        {230, 4041011.5529686506, 195618.9343316802, 26.6075736389222},
        {240, 4041020.3544199962, 195623.6780502509, 30.1345990353207},
        {250, 4041028.8204137234, 195628.9963462411, 34.2345774180453}}},
      {"field curve, left",
       left,
       {{190, 4040974.4390330702, 195604.0947151709, 16.9126647500771},
        {200, 4040984.0348000152, 195606.9084972911, 15.6774512989831},
        {210, 4040993.7016900295, 195609.4664113573, 13.8692848615631},
        {220, 4041003.4553160564, 195611.6692217857, 11.4881654378169},
        {230, 4041013.3005127408, 195613.4156290061, 8.5340930277445},
        {240, 4041023.2282201589, 195614.6026576862, 5.00706763134599},
        {250, 4041033.2123401728, 195615.1267469693, 0.907089248621333}}},
      {"spiral from a straight, right",
       spiral_right,
       {{1025, 1017.5851683769, 2017.7693075249, 45.8952465559149},
        {1050, 1034.6051668365, 2036.0778949195, 48.5809862236595},
        {1075, 1050.4458167129, 2055.4106427213, 53.0572190032339},
        {1100, 1064.4037106624, 2076.1363159566, 59.3239448946381}}},
      {"spiral from a straight, left",
       spiral_left,
       {{1025, 1017.7693075565, 2017.5851683450, 44.1047534440851},
        {1050, 1036.0778949816, 2034.6051667718, 41.4190137763405},
        {1075, 1055.4106428119, 2050.4458166134, 36.9427809967661},
        {1100, 1076.1363160722, 2064.4037105257, 30.6760551053619}}},
  };
}

TEST(Geometry, TransitionCurvesMatchAHighPrecisionIntegral) {
  for (const auto& curve : References()) {
    SCOPED_TRACE(curve.name);
    const StakeTable t = ComputeStakes(curve.input);
    ASSERT_EQ(t.n, static_cast<std::int16_t>(curve.stakes.size()));
    for (int i = 0; i < t.n; ++i) {
      const ReferenceStake& ref = curve.stakes[static_cast<std::size_t>(i)];
      SCOPED_TRACE(ref.station);
      EXPECT_DOUBLE_EQ(t.stakeStation[i], ref.station);
      EXPECT_NEAR(t.stakeX[i], ref.x, kCoordinateTolerance_m);
      EXPECT_NEAR(t.stakeY[i], ref.y, kCoordinateTolerance_m);
      // Printed to the whole second: within half a second of the true angle.
      EXPECT_NEAR(DdMmSsToDegrees(t.stakeAzimuth[i]), ref.azimuth_deg, 0.5 / 3600 + 1e-9);
    }
  }
}

// Left and right turns from the same tangent are mirror images across it.
TEST(Geometry, LeftAndRightMirrorEachOtherAcrossTheStartTangent) {
  const struct {
    const char* name;
    double Ra, Rb;
  } cases[] = {{"spiral out of a straight", 0, 150}, {"spiral into a straight", 150, 0},
               {"compound spiral", 1500, 130}, {"circle", 250, 250}};
  const double alpha = ToRad(StartDegrees(30, 15, 24));
  const double ux = std::cos(alpha), uy = std::sin(alpha);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const StakeTable right = ComputeStakes(Curve(c.Ra, c.Rb, 1));
    const StakeTable left = ComputeStakes(Curve(c.Ra, c.Rb, -1));
    ASSERT_EQ(right.n, left.n);
    for (int i = 0; i < right.n; ++i) {
      const double rx = right.stakeX[i] - 5000, ry = right.stakeY[i] - 3000;
      const double lx = left.stakeX[i] - 5000, ly = left.stakeY[i] - 3000;
      EXPECT_NEAR(rx * ux + ry * uy, lx * ux + ly * uy, kCoordinateTolerance_m);      // along the tangent
      EXPECT_NEAR(rx * uy - ry * ux, -(lx * uy - ly * ux), kCoordinateTolerance_m);   // across it
      EXPECT_GT(-(rx * uy - ry * ux), 0) << "a right turn bends to the right of the tangent";
      const double start = StartDegrees(30, 15, 24);
      EXPECT_NEAR(DdMmSsToDegrees(right.stakeAzimuth[i]) - start, start - DdMmSsToDegrees(left.stakeAzimuth[i]),
                  1.0 / 3600 + 1e-9);
    }
  }
}

}  // namespace
}  // namespace quorvane
