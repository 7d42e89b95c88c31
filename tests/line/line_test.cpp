// The whole line against an independent mpmath model (reference.py) and
// hand-worked chainage, key points and refusals.
#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "calc/calculation_error.h"
#include "calc/curve_law.h"
#include "calc/foot_search.h"
#include "calc/jd_design.h"
#include "calc/line.h"
#include "calc/line_geometry.h"
#include "calc/messages.h"
#include "reference_records.h"

namespace quorvane {
namespace {

struct ReferencePoint {
  double distance, X, Y, azimuth;
};
struct ReferenceFoot {
  double X, Y;
  LocateStatus status;
  double distance, offset, beyond;
};
struct ReferenceLine {
  std::string name;
  LineStart start;
  std::vector<ElementSpec> elements;
  std::vector<ReferencePoint> points;
  std::vector<ReferenceFoot> feet;
};
struct ReferenceCurve {
  std::string name;
  double jd, deflection, R, Ls1, Ls2, T1, T2, L, E, ZH, HY, QZ, YH, HZ;
};
struct ReferenceJd {
  std::string name;
  double startStation, endStation;
  std::vector<JdRow> rows;
  std::vector<ReferenceCurve> curves;
};

struct Reference {
  std::vector<ReferenceLine> lines;
  std::vector<ReferenceJd> jds;
};

LocateStatus StatusNamed(const std::string& name) {
  if (name == "OnLine") return LocateStatus::OnLine;
  if (name == "BeforeStart") return LocateStatus::BeforeStart;
  if (name == "AfterEnd") return LocateStatus::AfterEnd;
  throw std::runtime_error("no status " + name);
}

// The lines and JD tables of reference_data.txt.
const Reference& TheReference() {
  static const Reference reference = [] {
    Reference ref;
    for (const ReferenceRecord& r : ReadReferenceRecords(QUORVANE_LINE_REFERENCE)) {
      const auto n = [&r](std::size_t i) { return r.Number(i); };
      if (r.kind == "line") {
        ref.lines.push_back({r.fields.at(0), {n(1), n(2), n(3), n(4)}, {}, {}, {}});
      } else if (r.kind == "element") {
        Last(ref.lines).elements.push_back(r.Element());
      } else if (r.kind == "point") {
        Last(ref.lines).points.push_back({n(0), n(1), n(2), n(3)});
      } else if (r.kind == "foot") {
        Last(ref.lines).feet.push_back({n(0), n(1), StatusNamed(r.fields.at(2)), n(3), n(4), n(5)});
      } else if (r.kind == "jd") {
        ref.jds.push_back({r.fields.at(0), n(1), n(2), {}, {}});
      } else if (r.kind == "row") {
        Last(ref.jds).rows.push_back({r.fields.at(0), n(1), n(2), n(3), n(4), n(5)});
      } else if (r.kind == "curve") {
        Last(ref.jds).curves.push_back(
            {r.fields.at(0), n(1), n(2), n(3), n(4), n(5), n(6), n(7), n(8), n(9), n(10), n(11), n(12), n(13), n(14)});
      } else {
        throw std::runtime_error("no record kind " + r.kind);
      }
    }
    return ref;
  }();
  return reference;
}

// A hundredth of a micrometre, a thousandth of what the line promises: a
// drift from element to element or a foot left short of converging shows.
constexpr double kPosition_m = 1e-8;

double AngleGap(double a, double b) { return std::abs(std::remainder(a - b, 2 * std::numbers::pi)); }

TEST(LineReference, PointsAlongTheLine) {
  for (const ReferenceLine& r : TheReference().lines) {
    const Line line(r.start, r.elements);
    for (const ReferencePoint& p : r.points) {
      SCOPED_TRACE(std::string(r.name) + " at " + std::to_string(p.distance));
      const LinePoint got = line.PointAtDistance(p.distance);
      EXPECT_NEAR(got.X_m, p.X, kPosition_m);
      EXPECT_NEAR(got.Y_m, p.Y, kPosition_m);
      EXPECT_LT(AngleGap(got.azimuth_rad, p.azimuth), 1e-11);
      EXPECT_GE(got.azimuth_rad, 0);
      EXPECT_LT(got.azimuth_rad, 2 * std::numbers::pi);
    }
  }
  // A start azimuth a rounding below 0 is north (it reduces to 2 pi, which is 0).
  const Line north({0, 0, -1e-17, 0}, {{ElementType::Straight, 100, kInfiniteRadius, kInfiniteRadius, 0}});
  EXPECT_NEAR(north.PointAtDistance(100).X_m, 100, 1e-9);
}

TEST(LineReference, NearestFoot) {
  for (const ReferenceLine& r : TheReference().lines) {
    const Line line(r.start, r.elements);
    for (const ReferenceFoot& f : r.feet) {
      SCOPED_TRACE(std::string(r.name) + " point " + std::to_string(f.X) + ", " + std::to_string(f.Y));
      const LineLocation where = line.Find(f.X, f.Y);
      ASSERT_EQ(where.status, f.status);
      EXPECT_EQ(line.Locate(f.X, f.Y).has_value(), f.status == LocateStatus::OnLine);
      const LineFoot* foot = &where.foot;
      EXPECT_NEAR(foot->distance_m, f.distance, kPosition_m);
      EXPECT_NEAR(foot->station_m, r.start.station_m + f.distance, kPosition_m);
      EXPECT_NEAR(foot->offset_m, f.offset, kPosition_m);
      EXPECT_NEAR(where.beyond_m, f.beyond, kPosition_m);
      if (f.status != LocateStatus::OnLine || f.beyond > 0) continue;
      const LinePoint back = line.PointAtOffset(f.distance, f.offset);
      EXPECT_NEAR(back.X_m, f.X, kPosition_m);
      EXPECT_NEAR(back.Y_m, f.Y, kPosition_m);
    }
  }
}

// Random tight lines (radii 5..105 m, curves winding round points up to
// 150 m away): Locate's foot is the nearest of the feet where the distance
// is smallest (the along-track function falling through zero) that a scan
// every 5 cm finds, each refined by bisection, unless an end the point lies
// beyond is nearer still.
TEST(LineReference, NearestOfEveryFootOnTightLines) {
  std::mt19937_64 random(11);
  std::uniform_real_distribution<double> u(0, 1);
  for (int lineNumber = 0; lineNumber < 12; ++lineNumber) {
    std::vector<ElementSpec> designed;
    int turn = 1;
    double R = 5 + 100 * u(random) * u(random);
    for (int i = 0, n = 2 + static_cast<int>(u(random) * 12); i < n; ++i) {
      const double pick = u(random), length = 1 + 100 * u(random);
      if (pick < 0.25) {
        designed.push_back({ElementType::Straight, length, kInfiniteRadius, kInfiniteRadius, 0});
      } else if (pick < 0.5) {
        designed.push_back({ElementType::Arc, length, R, R, turn});
      } else if (pick < 0.75) {
        const double next = 5 + 100 * u(random);
        designed.push_back({ElementType::Spiral, length, R, next, turn});
        R = next;
      } else {
        designed.push_back({ElementType::Spiral, length, kInfiniteRadius, R, turn});
      }
      if (u(random) < 0.3) turn = -turn;
    }
    const Line line({0, 0, 6 * u(random), 0}, designed);
    auto along = [&](double d, double X, double Y) {
      const LinePoint c = line.PointAtDistance(d);
      return (X - c.X_m) * std::cos(c.azimuth_rad) + (Y - c.Y_m) * std::sin(c.azimuth_rad);
    };
    const LinePoint middle = line.PointAtDistance(line.Length_m() / 2);
    for (int k = 0; k < 8; ++k) {
      const double X = middle.X_m + 300 * (u(random) - 0.5), Y = middle.Y_m + 300 * (u(random) - 0.5);
      double nearest = INFINITY;
      const int steps = static_cast<int>(line.Length_m() / 0.05);
      double previous = along(0, X, Y);
      for (int j = 1; j <= steps + 1; ++j) {
        const double d = std::min(line.Length_m(), j * 0.05), f = along(d, X, Y);
        if ((previous > 0 && f <= 0) || f == 0) {
          double a = (j - 1) * 0.05, b = d, fa = previous;
          for (int i = 0; i < 50; ++i) {
            const double m = 0.5 * (a + b), fm = along(m, X, Y);
            ((fm > 0) == (fa > 0) ? a : b) = m;
          }
          const LinePoint c = line.PointAtDistance(0.5 * (a + b));
          nearest = std::min(nearest, std::hypot(X - c.X_m, Y - c.Y_m));
        }
        previous = f;
      }
      bool endNearer = false;
      for (const bool atEnd : {false, true}) {
        const LinePoint c = line.PointAtDistance(atEnd ? line.Length_m() : 0);
        const double f = along(atEnd ? line.Length_m() : 0, X, Y), d = std::hypot(X - c.X_m, Y - c.Y_m);
        if ((atEnd ? f > 0 : f < 0) && d < nearest) nearest = d, endNearer = true;
      }
      const auto foot = line.Locate(X, Y);
      SCOPED_TRACE("line " + std::to_string(lineNumber) + " point " + std::to_string(k));
      ASSERT_EQ(foot.has_value(), !endNearer);
      if (foot) {
        EXPECT_NEAR(std::abs(foot->offset_m), nearest, 1e-8);
      }
    }
  }
}

// The one foot search on one spiral (R 30 m easing to R 20 m over 100 m,
// turning right) seen as a single curve and as a line's element: the same
// feet to a nanometre, under the single curve's rules (every sign change of
// f) and the line's (only where f falls, onto the root). Past 60 m both
// integrate the spiral in full-precision panels.
TEST(FootSearch, SingleCurveAndLineElementFindTheSameFeet) {
  const CurveLaw law = CurveLawOf({3000, 500, 1000, 1100, 30, 20, 30.1524, 10, 1});
  const ElementCurve element(ElementType::Spiral, law.Xa, law.Ya, law.alpha, 1 / 30.0, 1 / 20.0, 100);
  constexpr FootRules kEverySignChange{.zero_m = 1e-9};
  constexpr FootRules kFallingOnly{.fallingOnly = true, .cubicGuess = true, .toTheRoot = true};
  const struct {
    const char* name;
    double along, offset;  // the point, right of the element's point at `along`
    double s0, s1;         // the piece searched
    FootRules rules;
    std::size_t feet;  // the first at `along`
  } cases[] = {
      {"5 m inside the bend", 70, 5, 65, 75, kEverySignChange, 1},
      {"15 m outside it", 90, -15, 85, 95, kFallingOnly, 1},
      {"beyond the centre of curvature: the farthest point", 80, 30, 75, 85, kEverySignChange, 1},
      {"beyond the centre of curvature, falling only", 80, 30, 75, 85, kFallingOnly, 0},
      {"0.95 R inside: f turns at 82.55 m and rises through 0 at 95.02 m", 70, 21.11, 66, 98, kEverySignChange, 2},
      {"0.95 R inside, falling only", 70, 21.11, 66, 98, kFallingOnly, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const LinePoint on = element.At(c.along);
    const double X = on.X_m - c.offset * std::sin(on.azimuth_rad), Y = on.Y_m + c.offset * std::cos(on.azimuth_rad);
    const auto feet = [&](auto probes) {
      std::vector<FootProbe> found;
      FootSearch(probes, c.rules).FeetBetween(probes.At(c.s0), probes.At(c.s1),
                                              [&](const FootProbe& foot) { found.push_back(foot); });
      return found;
    };
    const std::vector<FootProbe> single = feet(CurveProbes(law, X, Y)), line = feet(ElementProbes(element, X, Y));
    ASSERT_EQ(single.size(), c.feet);
    ASSERT_EQ(line.size(), c.feet);
    for (std::size_t i = 0; i < c.feet; ++i) {
      EXPECT_NEAR(single[i].s, line[i].s, 1e-9);
      EXPECT_NEAR(single[i].offset, line[i].offset, 1e-9);
    }
    if (c.feet > 0) {
      EXPECT_NEAR(line[0].s, c.along, 1e-9);
    }
  }
}

// The curve table of a JD design against the exact textbook construction,
// and the line it builds: it must run from the start row through each ZH and
// HZ on the legs to the end row.
TEST(LineJdDesign, CurveTablesAndTheLineTheyBuild) {
  for (const ReferenceJd& r : TheReference().jds) {
    SCOPED_TRACE(r.name);
    const JdDesign design = DesignFromJd(r.rows, r.startStation);
    ASSERT_EQ(design.curves.size(), r.curves.size());
    const Line line(design.start, design.elements);
    for (std::size_t i = 0; i < r.curves.size(); ++i) {
      const ReferenceCurve& want = r.curves[i];
      const JdCurve& got = design.curves[i];
      SCOPED_TRACE(want.name);
      EXPECT_EQ(got.name, want.name);
      EXPECT_NEAR(got.deflection_rad, want.deflection, 1e-12);
      const std::pair<double, double> lengths[] = {
          {got.jdStation_m, want.jd}, {got.T1_m, want.T1}, {got.T2_m, want.T2}, {got.L_m, want.L},
          {got.E_m, want.E},          {got.ZH_m, want.ZH}, {got.HY_m, want.HY}, {got.QZ_m, want.QZ},
          {got.YH_m, want.YH},        {got.HZ_m, want.HZ}};
      for (const auto& [g, w] : lengths) EXPECT_NEAR(g, w, kPosition_m);
      // ZH lies T1 back along the incoming leg, HZ T2 on along the outgoing one.
      const JdRow &prev = r.rows[i], &jd = r.rows[i + 1], &next = r.rows[i + 2];
      const double in = std::hypot(jd.X_m - prev.X_m, jd.Y_m - prev.Y_m);
      const double out = std::hypot(next.X_m - jd.X_m, next.Y_m - jd.Y_m);
      const LinePoint zh = line.PointAtDistance(want.ZH - r.startStation);
      const LinePoint hz = line.PointAtDistance(want.HZ - r.startStation);
      EXPECT_NEAR(zh.X_m, jd.X_m - want.T1 * (jd.X_m - prev.X_m) / in, kPosition_m);
      EXPECT_NEAR(zh.Y_m, jd.Y_m - want.T1 * (jd.Y_m - prev.Y_m) / in, kPosition_m);
      EXPECT_NEAR(hz.X_m, jd.X_m + want.T2 * (next.X_m - jd.X_m) / out, kPosition_m);
      EXPECT_NEAR(hz.Y_m, jd.Y_m + want.T2 * (next.Y_m - jd.Y_m) / out, kPosition_m);
      // E is how far the JD stands from the curve.
      if (want.R > 0) {
        const auto foot = line.Locate(jd.X_m, jd.Y_m);
        ASSERT_TRUE(foot.has_value());
        EXPECT_NEAR(std::abs(foot->offset_m), want.E, kPosition_m);
      }
    }
    EXPECT_NEAR(design.start.station_m + line.Length_m(), r.endStation, kPosition_m);
    const LinePoint end = line.PointAtDistance(line.Length_m());
    EXPECT_NEAR(end.X_m, r.rows.back().X_m, kPosition_m);
    EXPECT_NEAR(end.Y_m, r.rows.back().Y_m, kPosition_m);
  }
}

// The classical textbook figures of R 500, Ls 100, deflection 36 degrees:
// beta = 5.729578 deg, p = 0.833 (Ls^2/24R - Ls^4/2688R^3 = 0.83333 - 0.00030),
// q = 49.9833 (Ls/2 - Ls^3/240R^2), T = q + (R + p) tan 18 deg = 212.714,
// L = R (36 deg - 2 beta) + 2 Ls = 414.159, E = (R + p) sec 18 deg - R = 26.607.
TEST(LineJdDesign, TextbookSymmetricCurve) {
  const ReferenceJd& r = TheReference().jds.front();
  const JdCurve c = DesignFromJd(r.rows, r.startStation).curves.front();
  EXPECT_NEAR(c.T1_m, 212.714, 5e-4);
  EXPECT_NEAR(c.T2_m, 212.714, 5e-4);
  EXPECT_NEAR(c.L_m, 414.159, 5e-4);
  EXPECT_NEAR(c.E_m, 26.607, 5e-4);
  EXPECT_NEAR(c.deflection_rad * 180 / std::numbers::pi, 36, 1e-9);

  // The smallest radius kept: R 0.7 mm on a right angle is a curve of 1.1 mm,
  // and the line still ends on the end row.
  const JdDesign tight = DesignFromJd({{"QD", 0, 0}, {"JD1", 0, 1000, 7e-4}, {"ZD", 1000, 1000}}, 0);
  const Line tightLine(tight.start, tight.elements);
  const LinePoint tightEnd = tightLine.PointAtDistance(tightLine.Length_m());
  EXPECT_NEAR(tightEnd.X_m, 1000, 1e-6);
  EXPECT_NEAR(tightEnd.Y_m, 1000, 1e-6);

  // A JD with a radius on a leg that does not turn: no curve, the line runs
  // straight through it.
  const JdDesign through = DesignFromJd({{"QD", 0, 0}, {"JD1", 500, 0, 300}, {"ZD", 1000, 0}}, 0);
  ASSERT_EQ(through.elements.size(), 1u);
  EXPECT_EQ(through.elements[0].length_m, 1000);

  // No JD at all: the line is the one straight from the start to the end (a 3-4-5 leg).
  const JdDesign straight = DesignFromJd({{"QD", 0, 0}, {"ZD", 300, 400}}, 0);
  ASSERT_EQ(straight.elements.size(), 1u);
  EXPECT_EQ(straight.elements[0].length_m, 500);
}

// A straight kilometre from station 0 with a long chain K0+300 = K0+280
// and a short chain K0+600 = K0+650, worked by hand: part one 0..300 at
// distance 0..300, part two 280..600 at 300..620, part three 650..1030 at
// 620..1000.
Line ChainedLine() {
  return Line({0, 0, 0, 0}, {{ElementType::Straight, 1000, kInfiniteRadius, kInfiniteRadius, 0}},
              {{300, 280}, {600, 650}});
}

// Stakes every 10 m over the long chain: 290 and 300 are shown a second
// time at distances 310 and 320 (pass 2); the equation's own stake shows
// its station back; 310 is new again.
TEST(LineChainage, StakesCountTheirPassOverTheLongChain) {
  std::vector<std::tuple<double, double, int>> got;
  for (const LineStake& s : ChainedLine().Stakes(10)) {
    if (s.distance_m >= 280 && s.distance_m <= 330) got.emplace_back(s.distance_m, s.station_m, s.pass);
  }
  const std::vector<std::tuple<double, double, int>> expected{{280, 280, 1}, {290, 290, 1}, {300, 300, 1},
                                                              {310, 290, 2}, {320, 300, 2}, {330, 310, 1}};
  EXPECT_EQ(got, expected);
}

TEST(LineChainage, StationsAndDistances) {
  const Line line = ChainedLine();
  const std::pair<double, double> stationAt[] = {{0, 0},     {300, 300},   {300.5, 280.5}, {619.9, 599.9},
                                                 {620, 600}, {620.1, 650.1}, {1000, 1030}};
  for (const auto& [d, s] : stationAt) EXPECT_NEAR(line.StationAt(d), s, 1e-9) << d;
  const std::pair<double, double> distanceAt[] = {{290, 290}, {280, 280}, {300, 300}, {310, 330},
                                                  {600, 620}, {650, 620}, {1030, 1000}};
  for (const auto& [s, d] : distanceAt) EXPECT_NEAR(line.DistanceAt(s), d, 1e-9) << s;
}

// Points beside, at and beyond the ends of the chained straight, which runs
// north (right is east); the station at the end is 1030. Within a
// millimetre beyond an end a point is at the end; the long chain's stretch
// 280..300 is passed twice, at distances 280..300 and 300..320.
TEST(LineChainage, WhereAPointLies) {
  const Line line = ChainedLine();
  const struct {
    double X, Y;
    LocateStatus status;
    double station, offset, beyond;
    std::size_t part;
    int pass;
  } cases[] = {
      {1000, 5, LocateStatus::OnLine, 1030, 5, 0, 2, 0},
      {0, -3, LocateStatus::OnLine, 0, -3, 0, 0, 0},
      {450, 2, LocateStatus::OnLine, 430, 2, 0, 1, 0},
      {1000.0009, -5, LocateStatus::OnLine, 1030, -5, 0.0009, 2, 0},
      {-0.0009, 0, LocateStatus::OnLine, 0, 0, 0.0009, 0, 0},
      {1000.0011, -5, LocateStatus::AfterEnd, 1030, -5, 0.0011, 2, 0},
      {-0.0011, 4, LocateStatus::BeforeStart, 0, 4, 0.0011, 0, 0},
      {-250, 1, LocateStatus::BeforeStart, 0, 1, 250, 0, 0},
      {279, 1, LocateStatus::OnLine, 279, 1, 0, 0, 0},
      {290, 1, LocateStatus::OnLine, 290, 1, 0, 0, 1},
      {300, 1, LocateStatus::OnLine, 300, 1, 0, 0, 1},  // at the equation: the station back
      {310, 1, LocateStatus::OnLine, 290, 1, 0, 1, 2},
      {320, 1, LocateStatus::OnLine, 300, 1, 0, 1, 2},
      {321, 1, LocateStatus::OnLine, 301, 1, 0, 1, 0},
      {700, 1, LocateStatus::OnLine, 730, 1, 0, 2, 0},  // past the short chain: nothing repeats
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.X) + ", " + std::to_string(c.Y));
    const LineLocation where = line.Find(c.X, c.Y);
    ASSERT_EQ(where.status, c.status);
    EXPECT_NEAR(where.foot.station_m, c.station, 1e-9);
    EXPECT_NEAR(where.foot.offset_m, c.offset, 1e-9);
    EXPECT_NEAR(where.beyond_m, c.beyond, 1e-9);
    EXPECT_EQ(where.foot.part, c.part);
    EXPECT_EQ(where.foot.pass, c.pass);
  }
}

TEST(LineChainage, StakesEachPartOnItsOwnMultiples) {
  const Line line = ChainedLine();
  struct Row {
    double distance, station;
    const char* code;
  };
  const std::vector<Row> every100 = {{0, 0, ""},       {100, 100, ""},   {200, 200, ""},  {300, 300, "DL"},
                                     {320, 300, ""},   {420, 400, ""},   {520, 500, ""},  {620, 600, "DL"},
                                     {670, 700, ""},   {770, 800, ""},   {870, 900, ""},  {970, 1000, ""}};
  // From 280 at its first occurrence; 280 again where part two starts, with
  // the equation's code; 630 lies in the short chain's gap: the range ends
  // at the equation, a key point as 600 is no multiple of 70.
  const std::vector<Row> every70keys = {{280, 280, ""}, {300, 280, "DL"}, {370, 350, ""},  {440, 420, ""},
                                        {510, 490, ""}, {580, 560, ""},   {620, 600, "DL"}};
  // From and to both in the gap: the equation alone, though 600 and 650 are
  // multiples of 50, neither lies between 610 and 640.
  const std::vector<Row> inTheGap = {{620, 600, "DL"}};
  const struct {
    double interval;
    std::optional<double> from, to;
    bool keys;
    const std::vector<Row>& want;
  } cases[] = {{100, std::nullopt, std::nullopt, false, every100},
               {70, 280, 630, true, every70keys},
               {50, 610, 640, true, inTheGap}};
  for (const auto& c : cases) {
    const std::vector<LineStake> stakes = line.Stakes(c.interval, c.from, c.to, c.keys);
    ASSERT_EQ(stakes.size(), c.want.size()) << c.interval;
    for (std::size_t i = 0; i < stakes.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_NEAR(stakes[i].distance_m, c.want[i].distance, 1e-9);
      EXPECT_NEAR(stakes[i].station_m, c.want[i].station, 1e-9);
      EXPECT_EQ(stakes[i].code, c.want[i].code);
      EXPECT_NEAR(stakes[i].point.X_m, c.want[i].distance, 1e-9);
    }
  }
}

// The mixed reference line: straight, spiral, arc, egg spiral, arc, spiral,
// then a reverse curve whose spirals meet, a reverse curve whose arcs meet,
// a spiral out and a straight. Joints and curve runs worked by hand.
TEST(LineKeyPoints, CodesOfEveryJoint) {
  const ReferenceLine& r = TheReference().lines.front();
  const Line line(r.start, r.elements, {{1500, 1400}});
  const std::vector<std::pair<double, const char*>> want = {
      {0, "QD"},        {123.456, "ZH"},  {223.456, "HY"},  {484.6055, "QZ"}, {485.255, "GQ"},
      {500, "DL"},      {575.255, "GQ"},  {725.755, "YH"},  {845.755, "GQ"},  {925.755, "HY"},
      {985.755, "QZ"},  {1125.755, "GQ"}, {1205.755, "QZ"}, {1225.755, "YH"}, {1285.755, "HZ"},
      {1335.755, "ZD"}};
  const std::vector<KeyPoint> got = line.KeyPoints();
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_NEAR(got[i].distance_m, want[i].first, 1e-9) << i;
    EXPECT_EQ(got[i].code, want[i].second) << i;
    const double station = want[i].first <= 500 ? 1000 + want[i].first : 900 + want[i].first;
    EXPECT_NEAR(got[i].station_m, station, 1e-9) << i;
  }
  // Stakes with key points: each distance once, in order, key codes kept;
  // 1400 is last met where the equation's part two begins.
  const std::vector<LineStake> stakes = line.Stakes(100, 1100, 1400, true);
  const std::vector<std::pair<double, const char*>> rows = {
      {1100, ""},       {1123.456, "ZH"}, {1200, ""}, {1223.456, "HY"}, {1300, ""},
      {1400, ""},       {1484.6055, "QZ"}, {1485.255, "GQ"}, {1500, "DL"}};
  ASSERT_EQ(stakes.size(), rows.size());
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_NEAR(stakes[i].station_m, rows[i].first, 1e-9) << i;
    EXPECT_EQ(stakes[i].code, rows[i].second) << i;
  }
}

TEST(LineRefusals, MessagesNameWhatIsWrong) {
  using enum ElementType;
  const ElementSpec straight{Straight, 100, kInfiniteRadius, kInfiniteRadius, 0};
  const ElementSpec arc{Arc, 100, 300, 300, 1};
  auto lineOf = [](std::vector<ElementSpec> e, std::vector<ChainageEquation> q = {}) {
    return [e, q] { Line({0, 0, 0, 0}, e, q); };
  };
  const JdRow qd{"QD", 0, 0, 0, 0, 0}, zd{"ZD", 0, 2000, 0, 0, 0};
  auto jd = [](std::vector<JdRow> rows) { return [rows] { DesignFromJd(rows, 0); }; };
  const Line chained = ChainedLine();
  const struct {
    std::function<void()> run;
    std::string message;
  } cases[] = {
      {lineOf({}), kLineNoElementsPrompt},
      {lineOf({straight, {Straight, 0, kInfiniteRadius, kInfiniteRadius, 0}}), ElementMessage(1, kElementLengthText)},
      {lineOf({straight, straight, {Arc, 50, 300, 300, 0}}), ElementMessage(2, kElementTurnText)},
      {lineOf({{Arc, 50, 300, 400, 1}}), ElementMessage(0, kArcShapeText)},
      {lineOf({{Spiral, 50, 300, -400, 1}}), ElementMessage(0, kElementRadiusText)},
      {lineOf({{Spiral, 50, 300, 300, 1}}), ElementMessage(0, kSpiralShapeText)},
      {lineOf({{Straight, 50, 300, kInfiniteRadius, 0}}), ElementMessage(0, kStraightShapeText)},
      {lineOf({{Straight, 50, kInfiniteRadius, 300, 0}}), ElementMessage(0, kStraightShapeText)},
      {lineOf({{Straight, 50, kInfiniteRadius, kInfiniteRadius, 1}}), ElementMessage(0, kStraightShapeText)},
      {lineOf({{Arc, 1e6, 1, 1, 1}}), ElementMessage(0, kElementTurnsTooMuchText)},
      {lineOf({straight, arc}, {{50, 40}, {35, 0}}), EquationMessage(1, kEquationOrderText)},
      {lineOf({straight, arc}, {{250, 0}}), EquationMessage(0, kEquationOutsideLineText)},
      {lineOf({straight}, {{NAN, 0}}), EquationMessage(0, kEquationNotFiniteText)},
      {[&] { chained.DistanceAt(625); }, kStationInShortChainPrompt},
      {[&] { chained.DistanceAt(1030.5); }, kStationOutsideLinePrompt},
      {[&] { chained.PointAtDistance(-0.01); }, kDistanceOutsideLinePrompt},
      {[&] { chained.Stakes(0); }, kStakeIntervalPrompt},
      {[&] { chained.Stakes(1e-6); }, kLineTooManyStakesPrompt},
      {[&] { chained.Stakes(10, 700, 200); }, kLineEndBeforeStartPrompt},
      {[&] { chained.Locate(NAN, 0); }, kLinePointNotFinitePrompt},
      {jd({qd}), kJdTooFewRowsPrompt},
      {jd({{"JD0", NAN, 0, 0, 0, 0}, zd}), JdMessage("JD0", kJdNotFiniteText)},  // the start row too
      // 90 degrees at JD1 cannot hold two spirals of 500 m on R 300 (1.67 rad).
      {jd({qd, {"JD1", 0, 1000, 300, 500, 500}, {"ZD", 1000, 1000, 0, 0, 0}}), JdMessage("JD1", kJdSpiralsTooLongText)},
      {jd({qd, {"JD1", 0, 1000, 0, 0, 0}, {"ZD", 1000, 1000, 0, 0, 0}}), JdMessage("JD1", kJdNoRadiusText)},
      // A leg that does not turn has no room for a spiral, even one alone.
      {jd({qd, {"JD1", 500, 0, 300, 0, 40}, {"ZD", 1000, 0, 0, 0, 0}}), JdMessage("JD1", kJdSpiralsTooLongText)},
      {jd({qd, {"JD1", 0, 1000, 0, 50, 0}, zd}), JdMessage("JD1", kJdSpiralWithoutRadiusText)},
      {jd({qd, {"JD1", 0, 0, 300, 0, 0}, zd}), JdMessage("JD1", kJdCoincidentText)},
      {jd({qd, {"JD1", 0, 5e-7, 300, 0, 0}, zd}), JdMessage("JD1", kJdCoincidentText)},
      {jd({qd, {"JD1", 0, 1000, -300, 0, 0}, zd}), JdMessage("JD1", kJdNegativeText)},
      {jd({qd, {"JD1", 0, 1000, NAN, 0, 0}, zd}), JdMessage("JD1", kJdNotFiniteText)},
      // T = R tan 45 deg = 1200 > the 1000 m back to the start.
      {jd({qd, {"JD1", 0, 1000, 1200, 0, 0}, {"ZD", 2000, 1000, 0, 0, 0}}), JdMessage("JD1", kJdOverlapsStartText)},
      {jd({qd, {"JD1", 0, 1000, 800, 0, 0}, {"ZD", 700, 1000, 0, 0, 0}}), JdMessage("JD1", kJdOverlapsEndText)},
      // T1 = T2 = 600 at both JDs, 1000 m apart.
      {jd({qd, {"JD1", 0, 1000, 600, 0, 0}, {"JD2", 1000, 1000, 600, 0, 0}, {"ZD", 1000, 3000, 0, 0, 0}}),
       JdMessage("JD1", kJdOverlapsNextText)},
      // Radii that leave a curve shorter than a millimetre: R pi/2 on a right angle.
      {jd({qd, {"JD1", 0, 1000, 1e-12, 0, 0}, {"ZD", 1000, 1000, 0, 0, 0}}), JdMessage("JD1", kJdRadiusTooSmallText)},
      {jd({qd, {"JD1", 0, 1000, 300, 0, 0}, {"JD2", 1000, 1000, 6e-4, 0, 0}, {"ZD", 1000, 3000, 0, 0, 0}}),
       JdMessage("JD2", kJdRadiusTooSmallText)},
  };
  for (const auto& c : cases) {
    try {
      c.run();
      ADD_FAILURE() << "no refusal, expected " << c.message;
    } catch (const CalculationError& e) {
      EXPECT_EQ(e.what(), c.message);
      // The row the error is about is the element, equation or JD it names.
      const FaultyRow& row = e.Row();
      const std::string about = row.kind == RowKind::Element    ? ElementMessage(row.index, "")
                                : row.kind == RowKind::Equation ? EquationMessage(row.index, "")
                                : row.kind == RowKind::Jd       ? "JD" + std::to_string(row.index) + "："
                                                                : "";
      EXPECT_TRUE(c.message.starts_with(about)) << c.message;
      EXPECT_EQ(row.kind == RowKind::None, !c.message.starts_with("第") && !c.message.starts_with("JD")) << c.message;
    }
  }
}

}  // namespace
}  // namespace quorvane
