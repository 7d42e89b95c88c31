// Which stations are stakes: the whole multiples of the interval after the
// start station, up to and including the end station, in the interval's
// direction, decided on the numbers as typed; and what cannot be staked.
#include <gtest/gtest.h>

#include <cmath>

#include "calc/calculation_error.h"
#include "calc/stakes.h"
#include "expect_error.h"

namespace quorvane {
namespace {

TEST(StakeSet, StationsAreTheMultiplesBetweenStartAndEnd) {
  const struct {
    const char* name;
    double lb, le, d;
    int n;
    double first, last;            // stations of the first and the last stake
    const char* prompt = nullptr;  // the refusal, if any
  } cases[] = {
      {"default curve", 180.108, 250.365, 10, 7, 190, 250},
      {"a stake on the end station is kept", 185, 250, 10, 7, 190, 250},
      {"no stake beyond the end station", 180.108, 256, 10, 7, 190, 250},
      {"start station on a multiple is not a stake", 180, 200, 10, 2, 190, 200},
      {"negative start station", -15, 20, 10, 4, -10, 20},
      {"start on a negative multiple", -20, 0, 10, 2, -10, 0},
      {"start a hair before zero, huge interval", -1e-15, 5, 1e7, 1, 0, 0},
      {"start quotient just below a whole number", 0.3, 0.6, 0.1, 3, 0.4, 0.6},
      {"end quotient just below a whole number", 0, 0.3, 0.1, 3, 0.1, 0.3},
      {"interval longer than the curve", 181, 189, 10, 0, 0, 0},
      {"end equals start", 250, 250, 10, 0, 0, 0},
      {"negative interval runs backwards", 250, 180, -10, 7, 240, 180},
      {"negative interval over a negative start", 15, -20, -10, 4, 10, -20},
      {"interval below a metre", 10, 10.2, 0.05, 4, 10.05, 10.2},
      {"end 1 mm short of a multiple at 1234 km", 1234000, 1234499.999, 10, 49, 1234010, 1234490},
      {"start 1 mm before a multiple at 1234 km", 1233999.999, 1234030, 10, 4, 1234000, 1234030},
      {"end 0.05 mm past a centimetre", 99999.9, 99999.99995, 0.01, 9, 99999.91, 99999.99},
      {"end 6 mm past a centimetre at 5000 km", 5000000, 5000000.056, 0.01, 5, 5000000.01, 5000000.05},
      {"negative interval, start 1 mm before a multiple", -1233999.999, -1234030, -10, 4, -1234000, -1234030},
      {"huge interval puts no stake at zero short of the curve", -531.222, -15.318, 2.16e10, 0, 0, 0},
      {"huge negative interval puts no stake at zero beyond the end", 531.222, 15.318, -2.16e10, 0, 0, 0},
      {"huge interval, zero on the curve", -531.222, 15.318, 2.16e10, 1, 0, 0},
      {"tiny interval on a curve of no length", 100, 100, 1e-300, 0, 0, 0},
      {"the largest table", 0.5, 32767.5, 1, 32767, 1, 32767},
      {"the largest table, backwards", 0, -32767, -1, 32767, -1, -32767},
      {"end before start", 250, 244, 10, 0, 0, 0, kEndBeforeStartPrompt},
      {"end just before start, interval below a metre", 250, 249.999, 0.5, 0, 0, 0, kEndBeforeStartPrompt},
      {"negative interval with end after start", 180, 250, -10, 0, 0, 0, kEndAfterStartNegativeIntervalPrompt},
      {"zero interval (the command asks for one first)", 180, 250, 0, 0, 0, 0, kOverflowPrompt},
      {"one stake too many", 0, 32768, 1, 0, 0, 0, kTooManyStakesPrompt},
      {"one stake too many, backwards", 0.5, -32767.5, -1, 0, 0, 0, kTooManyStakesPrompt},
      {"interval 1e-300", 180.108, 250.365, 1e-300, 0, 0, 0, kTooManyStakesPrompt},
      {"interval 1e-308", 180.108, 250.365, 1e-308, 0, 0, 0, kTooManyStakesPrompt},
      {"subnormal interval", 1, 2, 1e-320, 0, 0, 0, kTooManyStakesPrompt},
      {"multiples a double cannot tell apart", 1e11, 1e11 + 0.001, 1e-5, 0, 0, 0, kOverflowPrompt},
      {"multiples pass 2^53 on the curve", 90071992547.3, 90071992547.5, 1e-5, 0, 0, 0, kOverflowPrompt},
      {"multiples pass 2^53 on the curve below zero", -90071992547.5, -90071992547.3, 1e-5, 0, 0, 0, kOverflowPrompt},
      {"end station at the limit", 0, 1e12, 1e9, 0, 0, 0, kOverflowPrompt},
      {"start station beyond the limit", -1e18, 0, 1e17, 0, 0, 0, kOverflowPrompt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CurveInput curve{.Xa = 1000, .Ya = 2000, .lb = c.lb, .le = c.le, .Ra = 1500, .Rb = 130, .a = 17.3415,
                           .d = c.d, .turn = 1};
    StakeTable table;
    EXPECT_EQ(test::ThrownMessage([&] { table = ComputeStakes(curve); }), c.prompt ? c.prompt : test::kNoError);
    EXPECT_EQ(table.n, c.n);
    if (table.n != c.n || c.n == 0) continue;
    const double tolerance = 1e-14 * (std::abs(c.first) + std::abs(c.last)) + 1e-12;
    EXPECT_NEAR(table.stakeStation.back(), c.last, tolerance);
    for (int i = 0; i < c.n; ++i) {
      EXPECT_NEAR(table.stakeStation[i], c.first + i * c.d, tolerance) << "stake " << i;
    }
  }
}

}  // namespace
}  // namespace quorvane
