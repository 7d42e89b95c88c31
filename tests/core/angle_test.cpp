// DD.MMSS <-> radians: with the shortened pi the stake tables use, and
// exactly (full-precision pi) for the whole line, its files and its window.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <string>

#include "calc/angle.h"
#include "calc/messages.h"
#include "expect_error.h"

namespace quorvane {
namespace {

// Radians of an angle given as degrees, minutes and seconds, written out by hand.
double Rad(double deg, double min, double sec) { return (deg + min / 60.0 + sec / 3600.0) * kStakeTablePi / 180.0; }

struct AngleCase {
  const char* name;
  double input, expected;
};

TEST(Angle, DdMmSsToRadiansSplitsDegreesMinutesSeconds) {
  const AngleCase cases[] = {
      {"default start azimuth", 17.3415, Rad(17, 34, 15)},
      {"half a degree typed as .5 is fifty minutes", 17.5, Rad(17, 50, 0)},
      {"thirty seconds", 0.0030, Rad(0, 0, 30)},
      {"whole minute stored below its digits", 17.34, Rad(17, 34, 0)},
      {"minutes are not range checked", 17.75, Rad(17, 75, 0)},
      {"seconds round to the nearest second", 10.00304, Rad(10, 0, 30)},
      {"negative azimuth", -17.3415, -Rad(17, 34, 15)},
      {"negative whole minute stored below its digits", -17.2, -Rad(17, 20, 0)},
      {"largest degrees", 32767.5, Rad(32767, 50, 0)},
      {"smallest degrees", -32768.5, -Rad(32768, 50, 0)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(DdMmSsToRadians(c.input), c.expected, 1e-14 * (1 + std::fabs(c.expected)));
  }
}

// Seconds round to a whole second; a rounding that reaches 60" or 60' carries,
// so the printed minutes and seconds never read 60.
TEST(Angle, RadiansToDdMmSsRoundsAndCarries) {
  const AngleCase cases[] = {
      {"18 13 44", Rad(18, 13, 44), 18.1344},
      {"seconds below a half round down", Rad(18, 13, 44.4), 18.1344},
      {"seconds above a half round up", Rad(18, 13, 44.6), 18.1345},
      {"59.9996 seconds carry into the minutes", Rad(18, 9, 59.9996), 18.10},
      {"60 minutes carry into the degrees", Rad(18, 59, 59.9996), 19.0},
      {"just below a full turn carries to 360", Rad(359, 59, 59.9996), 360.0},
      {"exactly 2 x 3.14159265 is not reduced", 6.2831853, 360.0},
      {"several turns are reduced", 3 * 6.2831853 + Rad(45, 30, 15), 45.3015},
      {"negative angle comes round", -Rad(10, 0, 0), 350.0},
      {"negative beyond a turn", -6.2831853 - Rad(10, 0, 0), 350.0},
      {"below a degree", Rad(0, 54, 26), 0.5426},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(RadiansToDdMmSs(c.input), c.expected, 1e-9);
  }
}

// Radians of degrees, minutes and seconds with the full-precision pi.
double Exact(double deg, double min, double sec) {
  return (deg + min / 60.0 + sec / 3600.0) * std::numbers::pi / 180.0;
}

// Decimals of a second round to the nearest and carry; an azimuth comes into
// 0..360, a signed angle keeps its sign; no "-0". Whole seconds are the line's
// AzimuthText and AngleText (line_text_test).
TEST(ExactAngle, RadiansToDdMmSsText) {
  const struct {
    double radians;
    int decimals;
    const char* azimuth;
    const char* angle;
  } rows[] = {
      {Exact(17, 34, 15.1234), 4, "17.34151234", "17.34151234"},
      {Exact(17, 34, 59.99996), 4, "17.35000000", "17.35000000"},
      {Exact(0, 0, 0.00004), 4, "0.00000000", "0.00000000"},
      {-Exact(0, 0, 0.5), 4, "359.59595000", "-0.00005000"},
      {Exact(1, 2, 3.5), 1, "1.02035", "1.02035"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.azimuth);
    EXPECT_EQ(DdMmSsText(RadiansToDms(row.radians, AngleKind::kAzimuth, row.decimals)), row.azimuth);
    EXPECT_EQ(DdMmSsText(RadiansToDms(row.radians, AngleKind::kSigned, row.decimals)), row.angle);
  }
}

// A DD.MMSS number to radians and back to the 1e-4 second, as the 路线
// window's start azimuth cell holds it; 60 minutes or seconds are refused.
TEST(ExactAngle, DdMmSsNumberRoundTrip) {
  const struct {
    const char* name;
    double ddmmss;
    std::optional<double> radians;
    double back;  // written back, brought into 0..360
  } rows[] = {
      {"17 34 15", 17.3415, Exact(17, 34, 15), 17.3415},
      {"whole minutes stored below their digits", 17.34, Exact(17, 34, 0), 17.34},
      {"fraction of a second", 0.00005, Exact(0, 0, 0.5), 0.00005},
      {"negative", -45.3, -Exact(45, 30, 0), 314.3},
      {"60 minutes", 30.6, std::nullopt, 0},
      {"60 seconds", 30.006, std::nullopt, 0},
      {"not finite", INFINITY, std::nullopt, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::optional<double> radians = DdMmSsValueToRadians(row.ddmmss);
    ASSERT_EQ(radians.has_value(), row.radians.has_value());
    if (!radians) continue;
    EXPECT_NEAR(*radians, *row.radians, 1e-15);
    EXPECT_EQ(DdMmSsValue(RadiansToDms(*radians, AngleKind::kAzimuth, 4)), row.back);
  }
}

// LandXML's "decimal dd.mm.ss": packed or with the fields apart.
TEST(ExactAngle, DdMmSsTextsRead) {
  const struct {
    const char* text;
    double radians;
  } rows[] = {
      {"45.3015", Exact(45, 30, 15)},   {"45.30.15", Exact(45, 30, 15)}, {"28.3852403", Exact(28, 38, 52.403)},
      {"-12.0030", -Exact(12, 0, 30)},  {"7", Exact(7, 0, 0)},           {" 45.3 ", Exact(45, 30, 0)},
      {"45.301", Exact(45, 30, 10)},    {"45.3.5", Exact(45, 3, 5)},     {"45.30.1525", Exact(45, 30, 15.25)},
      {"359.5959", Exact(359, 59, 59)}, {"400.", Exact(400, 0, 0)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    EXPECT_NEAR(DdMmSsTextToRadians(row.text), row.radians, 1e-15 * (1 + std::fabs(row.radians)));
  }
  const struct {
    const char* text;
    const char* reason;
  } refused[] = {
      {"45.6000", kAngleMinutesOrSecondsText},
      {"45.0075", kAngleMinutesOrSecondsText},
      {"45.60.00", kAngleMinutesOrSecondsText},
      {"abc", kAngleNotDdMmSsText},
      {"", kAngleNotDdMmSsText},
      {"-", kAngleNotDdMmSsText},
      {".5", kAngleNotDdMmSsText},
      {"45.3a", kAngleNotDdMmSsText},
      {"+45", kAngleNotDdMmSsText},
      {"45.123.15", kAngleNotDdMmSsText},
      {"45.30.", kAngleNotDdMmSsText},
      {"45.30.15.5", kAngleNotDdMmSsText},
      {"1e3", kAngleNotDdMmSsText},
  };
  for (const auto& row : refused) {
    EXPECT_THROW_MSG(DdMmSsTextToRadians(row.text), AngleMessage(row.text, row.reason));
  }
}

}  // namespace
}  // namespace quorvane
