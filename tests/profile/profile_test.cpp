// The vertical profile against textbook workings (道路勘测设计: a crest and a
// sag curve), the same curves across chainage equations, circles worked with
// mpmath, cross slopes, and the refusals. The numbers come from
// tests/profile/reference.py, which works them from the textbook formulas.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "calc/calculation_error.h"
#include "calc/line.h"
#include "calc/messages.h"
#include "calc/profile.h"
#include "expect_error.h"

namespace quorvane {
namespace {

constexpr double kTolerance_m = 1e-9;

Line Straight(double startStation_m, double length_m, std::vector<ChainageEquation> equations = {}) {
  return Line({.X_m = 1000, .Y_m = 2000, .azimuth_rad = 0.5, .station_m = startStation_m},
              {{.type = ElementType::Straight, .length_m = length_m}}, std::move(equations));
}

// Crest: K5+030 at 427.68 m, grades +5 % / -4 %, R = 2000 m (L = 180, T = 90,
// E = 2.025). The line starts at K4+800, where the profile starts too.
const Line kCrestLine = Straight(4800, 600);
const std::vector<GradePoint> kCrest{{4800, 416.18}, {5030, 427.68, 2000}, {5300, 416.88}};
// The same with a long chain K5+000 = K4+990 at distance 200: beyond it the
// stations read 10 m less, so the point is K5+020 and the end K5+290.
const Line kCrestLongChainLine = Straight(4800, 600, {{5000, 4990}});
const std::vector<GradePoint> kCrestLongChain{{4800, 416.18}, {5020, 427.68, 2000}, {5290, 416.88}};
// The crest as a circle of R = 2000 m.
const std::vector<GradePoint> kCrestCircle{{4800, 416.18}, {5030, 427.68, 2000, 0, true}, {5300, 416.88}};

// Sag: K25+460 at 780.72 m, +0.8 % / +5 %, R = 5000 m (L = 210, T = 105,
// E = 1.1025); and given by its length.
const Line kSagLine = Straight(25300, 500);
const std::vector<GradePoint> kSag{{25300, 779.44}, {25460, 780.72, 5000}, {25700, 792.72}};
const std::vector<GradePoint> kSagByLength{{25300, 779.44}, {25460, 780.72, 0, 210}, {25700, 792.72}};
// With a short chain K25+450 = K25+470 at distance 150 inside the curve:
// beyond it the stations read 20 m more.
const Line kSagShortChainLine = Straight(25300, 500, {{25450, 25470}});
const std::vector<GradePoint> kSagShortChain{{25300, 779.44}, {25480, 780.72, 5000}, {25720, 792.72}};

// A steep sag circle, -9 % / +9 %, R = 1000 m at K1+000.
const Line kSteepLine = Straight(800, 400);
const std::vector<GradePoint> kSteepCircle{{800, 68}, {1000, 50, 1000, 0, true}, {1200, 68}};

// Two curves end to end and a kink, on one line 0..1000.
const Line kLine = Straight(0, 1000);
const std::vector<GradePoint> kEndToEnd{{0, 100}, {300, 106, 0, 200}, {500, 100, 0, 200}, {1000, 110}};
const std::vector<GradePoint> kKink{{0, 100}, {500, 110}, {1000, 100}};

TEST(Profile, ElevationsOfTheTextbookCurves) {
  struct {
    const char* name;
    const Line& line;
    const std::vector<GradePoint>& points;
    std::vector<std::pair<double, double>> stationAndElevation;
  } cases[] = {
      {"crest: ends, tangent, BVC, in the curve, point, EVC",
       kCrestLine,
       kCrest,
       {{4800, 416.18},
        {4900, 421.18},
        {4940, 423.18},
        {5000, 425.28},
        {5030, 425.655},
        {5100, 424.78},
        {5120, 424.08},
        {5300, 416.88}}},
      {"sag by radius",
       kSagLine,
       kSag,
       {{25355, 779.88}, {25400, 780.4425}, {25460, 781.8225}, {25500, 783.1425}, {25565, 785.97}}},
      // Distance 195 (textbook K4+995), 200 is K5+000 before the equation (its
      // first occurrence), 215 (K5+015), the point, 300 (K5+100).
      {"crest across a long chain",
       kCrestLongChainLine,
       kCrestLongChain,
       {{4995, 425.17375}, {5000, 425.28}, {5005, 425.52375}, {5020, 425.655}, {5090, 424.78}}},
      // Distance 149 and 150 either side of the equation, then 160 and 200.
      {"sag across a short chain",
       kSagShortChainLine,
       kSagShortChain,
       {{25449, 781.5156}, {25450, 781.5425}, {25470, 781.5425}, {25480, 781.8225}, {25520, 783.1425}}},
      {"crest circle", kCrestLine, kCrestCircle,
       {{4940, 423.18}, {5000, 425.281213536198}, {5030, 425.656099837419}, {5100, 424.78053907302}, {5120, 424.08}}},
      {"steep sag circle", kSteepLine, kSteepCircle,
       {{910, 58.1}, {950, 55.29261402595}, {1000, 54.0418317978589}, {1060, 55.8434547204365}}},
      // On the grades 50 and 900: 100 + 0.02 * 50, 100 + 0.02 * 400.
      {"two curves end to end", kLine, kEndToEnd, {{50, 101}, {250, 104.6875}, {400, 103}, {450, 101.8125}, {900, 108}}},
      {"kink without a curve", kLine, kKink, {{250, 105}, {500, 110}, {750, 105}}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Profile profile(c.line, c.points);
    // Forward then back, the search remembered from each answer to the next.
    std::size_t grade = 0;
    for (int pass = 0; pass < 2; ++pass) {
      for (const auto& [station, elevation] : c.stationAndElevation) {
        SCOPED_TRACE(station);
        EXPECT_NEAR(profile.ElevationAtStation(c.line, station), elevation, kTolerance_m);
        EXPECT_NEAR(profile.ElevationAtDistance(c.line.DistanceAt(station), grade), elevation, kTolerance_m);
      }
      std::reverse(c.stationAndElevation.begin(), c.stationAndElevation.end());
    }
  }
}

TEST(Profile, ElementsOfTheVerticalCurves) {
  const struct {
    const char* name;
    const Line& line;
    const std::vector<GradePoint>& points;
    std::size_t index;
    VerticalCurve expected;
    double tolerance_m;
  } cases[] = {
      {"crest", kCrestLine, kCrest, 1, {180, 2000, 90, 2.025, 140, 320, true}, kTolerance_m},
      {"sag by length", kSagLine, kSagByLength, 1, {210, 5000, 105, 1.1025, 55, 265, false}, 1e-6},
      // Span 4940.11453209655 .. 5119.92584268208, E 2.02390016258064.
      {"crest circle", kCrestLine, kCrestCircle, 1,
       {179.81131058553, 2000, 89.905655292765, 2.02390016258064, 140.11453209655, 319.92584268208, true}, 1e-9},
      {"no curve at the ends", kCrestLine, kCrest, 0, {}, 0},
      {"no curve at a kink", kLine, kKink, 1, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const VerticalCurve v = Profile(c.line, c.points).CurveAt(c.index);
    EXPECT_NEAR(v.length_m, c.expected.length_m, c.tolerance_m);
    EXPECT_NEAR(v.radius_m, c.expected.radius_m, c.tolerance_m * 1e3);
    EXPECT_NEAR(v.tangent_m, c.expected.tangent_m, c.tolerance_m);
    EXPECT_NEAR(v.external_m, c.expected.external_m, c.tolerance_m);
    EXPECT_NEAR(v.startDistance_m, c.expected.startDistance_m, c.tolerance_m);
    EXPECT_NEAR(v.endDistance_m, c.expected.endDistance_m, c.tolerance_m);
    EXPECT_EQ(v.crest, c.expected.crest);
  }
}

TEST(Profile, ElevationBesideTheCentreLine) {
  // At K5+000 of the crest the centre line is at 425.28 m.
  const Profile crest(kCrestLine, kCrest);
  const double d = kCrestLine.DistanceAt(5000);
  const struct {
    double offset_m;
    CrossSlopes slopes;
    double elevation_m;
  } cases[] = {
      {-7.5, {-2, -1.5}, 425.13},    // left: 425.28 - 0.02 * 7.5
      {7.5, {-2, -1.5}, 425.1675},   // right: 425.28 - 0.015 * 7.5
      {0, {-2, -1.5}, 425.28},       // on the centre line
      {-10, {3, -3}, 425.58},        // superelevated: the left side rises
      {10, {3, -3}, 424.98},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.offset_m);
    EXPECT_NEAR(crest.ElevationAtOffset(d, c.offset_m, c.slopes), c.elevation_m, kTolerance_m);
  }
}

TEST(Profile, RefusesNamingThePoint) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  // 500 = 400 is a long chain: stations 400..500 occur twice.
  const Line longChain = Straight(0, 1000, {{500, 400}});
  const auto At = [](std::size_t point, const char* reason) { return GradePointMessage(point, reason); };
  const struct {
    const char* name;
    const Line& line;
    std::vector<GradePoint> points;
    std::string message;  // empty: accepted
  } cases[] = {
      {"one point", kLine, {{0, 100}}, kProfileTooFewPointsPrompt},
      {"no point", kLine, {}, kProfileTooFewPointsPrompt},
      {"station not a number", kLine, {{0, 100}, {nan, 100}}, At(1, kGradePointNotANumberPrompt)},
      {"elevation infinite", kLine, {{0, 100}, {500, 100}, {1000, inf}}, At(2, kGradePointNotANumberPrompt)},
      {"radius 10^12", kLine, {{0, 100}, {500, 100, 1e12}, {1000, 110}}, At(1, kGradePointNotANumberPrompt)},
      {"negative radius", kLine, {{0, 100}, {500, 100, -1}, {1000, 110}}, At(1, kGradePointNegativeCurvePrompt)},
      {"radius and length", kLine, {{0, 100}, {500, 100, 1000, 20}, {1000, 110}},
       At(1, kGradePointRadiusAndLengthPrompt)},
      {"radius under a metre and length", kLine, {{0, 100}, {500, 100, 0.5, 20}, {1000, 110}},
       At(1, kGradePointRadiusAndLengthPrompt)},
      {"circle by length", kLine, {{0, 100}, {500, 100, 0, 20, true}, {1000, 110}},
       At(1, kGradePointCircleWithoutRadiusPrompt)},
      {"curve on the first point", kLine, {{0, 100, 1000}, {1000, 110}}, At(0, kGradePointCurveAtEndPrompt)},
      {"curve on the last point", kLine, {{0, 100}, {1000, 110, 0, 10}}, At(1, kGradePointCurveAtEndPrompt)},
      {"same station twice", kLine, {{0, 100}, {500, 100}, {500, 101}, {1000, 110}}, At(2, kGradePointOrderPrompt)},
      // 420 is taken at its first occurrence, before 450.
      {"repeated station of a long chain", longChain, {{100, 100}, {450, 100}, {420, 101}},
       At(2, kGradePointOrderPrompt)},
      // Grades +2 %, -3 %, +2 %; curves 200..400 and 400 - L/2 .. 600.
      {"curves end to end", kLine, kEndToEnd, ""},
      {"curves overlap by 0.9 mm", kLine, {{0, 100}, {300, 106, 0, 200}, {500, 100, 0, 200.0018}, {1000, 110}}, ""},
      {"curves overlap by 2 mm", kLine, {{0, 100}, {300, 106, 0, 200}, {500, 100, 0, 200.004}, {1000, 110}},
       At(2, kGradePointOverlapPrompt)},
      {"curve before the start", kLine, {{0, 100}, {100, 102, 0, 220}, {1000, 110}},
       At(1, kGradePointBeforeStartPrompt)},
      {"curve after the end", kLine, {{0, 100}, {900, 102, 0, 220}, {1000, 110}}, At(1, kGradePointAfterEndPrompt)},
      {"curve past a kink behind", kLine, {{0, 100}, {300, 106}, {400, 100, 0, 300}, {1000, 110}},
       At(2, kGradePointPastPreviousPrompt)},
      {"curve past a kink ahead", kLine, {{0, 100}, {300, 106, 0, 300}, {400, 100}, {1000, 110}},
       At(1, kGradePointPastNextPrompt)},
      {"station past the line's end", kLine, {{0, 100}, {2000, 100}}, ""},
      {"station before the line's start", kLine, {{-50, 100}, {500, 100}}, ""},
      {"station in a short chain's gap", kSagShortChainLine, {{25300, 779.44}, {25460, 780}, {25720, 792.72}},
       At(1, "：") + kStationInShortChainPrompt},
      // R = 3000 over a grade change of 0.09 + 0.09: the circle spans 538 m.
      {"circle after the end", kLine, {{0, 100}, {800, 172, 3000, 0, true}, {1000, 154}},
       At(1, kGradePointAfterEndPrompt)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string refusal = test::ThrownMessage([&] { Profile(c.line, c.points); });
    EXPECT_EQ(refusal, c.message.empty() ? test::kNoError : c.message);
  }
}

TEST(Profile, RefusesQueriesOutsideIt) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // The crest covers distances 0 .. 500 of a 600 m line.
  const Profile crest(kCrestLine, kCrest);
  const struct {
    const char* name;
    double distance_m;
    double offset_m;
    std::string message;
  } cases[] = {
      {"before the first point", -1e-6, 0, kStationOutsideProfilePrompt},
      {"after the last point", 500.000001, 0, kStationOutsideProfilePrompt},
      {"a rounding after the last point", 500 + 1e-10, 0, ""},
      {"distance not a number", nan, 0, kStationOutsideProfilePrompt},
      {"offset not a number", 100, nan, kCrossSlopeNotANumberPrompt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string refusal = test::ThrownMessage([&] { crest.ElevationAtOffset(c.distance_m, c.offset_m, {-2, -2}); });
    EXPECT_EQ(refusal, c.message.empty() ? test::kNoError : c.message);
  }
}

}  // namespace
}  // namespace quorvane
