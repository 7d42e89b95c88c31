// DD.MMSS <-> radians, with the shortened pi the stake tables use.
#include <gtest/gtest.h>

#include <cmath>

#include "calc/angle.h"

namespace quorvane {
namespace {

// Radians of an angle given as degrees, minutes and seconds, written out by hand.
double Rad(double deg, double min, double sec) { return (deg + min / 60.0 + sec / 3600.0) * kPi / 180.0; }

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

}  // namespace
}  // namespace quorvane
