// Which stations are stakes: the whole multiples of the interval after the
// start station, up to and including the end station, in the interval's
// direction.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/calculation_error.h"
#include "calc/stakes.h"

namespace quorvane {
namespace {

struct StakeSetCase {
  const char* name;
  double lb, le, d;
  std::vector<double> stations;
};

CurveInput Curve(double lb, double le, double d) {
  return {.Xa = 1000, .Ya = 2000, .lb = lb, .le = le, .Ra = 1500, .Rb = 130, .a = 17.3415, .d = d, .turn = 1};
}

TEST(StakeSet, StationsAreTheMultiplesBetweenStartAndEnd) {
  const StakeSetCase cases[] = {
      {"default curve", 180.108, 250.365, 10, {190, 200, 210, 220, 230, 240, 250}},
      {"a stake on the end station is kept", 185, 250, 10, {190, 200, 210, 220, 230, 240, 250}},
      {"no stake beyond the end station", 180.108, 256, 10, {190, 200, 210, 220, 230, 240, 250}},
      {"start station on a multiple is not a stake", 180, 200, 10, {190, 200}},
      {"negative start station", -15, 20, 10, {-10, 0, 10, 20}},
      {"start quotient just below a whole number", 0.3, 0.6, 0.1, {0.4, 0.5, 0.6}},
      {"end quotient just below a whole number", 0, 0.3, 0.1, {0.1, 0.2, 0.3}},
      {"interval longer than the curve", 181, 189, 10, {}},
      {"end equals start", 250, 250, 10, {}},
      {"negative interval runs backwards", 250, 180, -10, {240, 230, 220, 210, 200, 190, 180}},
      {"negative interval over a negative start", 15, -20, -10, {10, 0, -10, -20}},
      {"negative interval, end equals start", 200, 200, -10, {}},
      {"interval below a metre", 10, 10.2, 0.05, {10.05, 10.1, 10.15, 10.2}},
      {"huge interval puts no stake at zero short of the curve", -531.222, -15.318, 2.16e10, {}},
      {"huge negative interval puts no stake at zero beyond the end", 531.222, 15.318, -2.16e10, {}},
      {"huge interval, zero on the curve", -531.222, 15.318, 2.16e10, {0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const StakeTable table = ComputeStakes(Curve(c.lb, c.le, c.d));
    ASSERT_EQ(table.n, static_cast<std::int16_t>(c.stations.size()));
    for (std::size_t i = 0; i < c.stations.size(); ++i) {
      EXPECT_NEAR(table.stakeStation[i], c.stations[i], 1e-9) << "stake " << i;
      EXPECT_NEAR(table.stakeDist[i], c.stations[i] - c.lb, 1e-9) << "stake " << i;
    }
  }
}

TEST(StakeSet, CountsUpToTheLargestTable) {
  EXPECT_EQ(ComputeStakes(Curve(0, 32767, 1)).n, 32767);
  EXPECT_EQ(ComputeStakes(Curve(0.5, 32767.5, 1)).n, 32767);
  EXPECT_EQ(ComputeStakes(Curve(0, -32767, -1)).n, 32767);
}

TEST(StakeSet, RefusesWhatCannotBeStaked) {
  const struct {
    const char* name;
    double lb, le, d;
    const char* prompt;
  } cases[] = {
      {"end before start", 250, 244, 10, kEndBeforeStartPrompt},
      {"end just before start", 250, 249.999, 10, kEndBeforeStartPrompt},
      {"negative interval with end after start", 180, 250, -10, kEndAfterStartNegativeIntervalPrompt},
      {"one stake too many", 0, 32768, 1, kTooManyStakesPrompt},
      {"one stake too many, backwards", 0, -32768, -1, kTooManyStakesPrompt},
      {"tiny interval", 0, 100, 1e-6, kTooManyStakesPrompt},
      {"interval far too small for the curve", 0, 1e11, 1e-300, kTooManyStakesPrompt},
      {"quotient not finite", 1, 2, 1e-320, kOverflowPrompt},
      {"stations beyond what a double can tell apart", 1e17, 1e17 + 1024, 1, kOverflowPrompt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      ComputeStakes(Curve(c.lb, c.le, c.d));
      ADD_FAILURE() << "no error";
    } catch (const CalculationError& e) {
      EXPECT_STREQ(e.what(), c.prompt);
    }
  }
}

}  // namespace
}  // namespace quorvane
