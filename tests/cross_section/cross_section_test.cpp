// The cross-section along a line against textbook workings (a superelevation
// run-off over a spiral, a higher-order widening, a reverse curve whose
// slopes change sides), edge points and heights against the mpmath model of
// tests/cross_section/reference.py, and the refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "calc/calculation_error.h"
#include "calc/cross_section.h"
#include "calc/line.h"
#include "calc/messages.h"
#include "calc/profile.h"
#include "expect_error.h"
#include "reference_records.h"

namespace quorvane {
namespace {

struct ReferenceEdges {
  double distance_m;
  double section[4];  // left width, right width, left slope, right slope
  double edges[6];    // left X, Y, H; right X, Y, H
};
struct Reference {
  std::vector<ElementSpec> elements;
  LineStart start;
  std::vector<ChainageEquation> equations;
  std::vector<GradePoint> profile;
  std::vector<CrossSectionRow> table;
  std::vector<ReferenceEdges> edges;
};

// The line, profile, table and edges of reference_data.txt.
const Reference& TheReference() {
  static const Reference reference = [] {
    Reference ref;
    for (const ReferenceRecord& r : ReadReferenceRecords(QUORVANE_CROSS_SECTION_REFERENCE)) {
      const auto n = [&r](std::size_t i) { return r.Number(i); };
      if (r.kind == "element") {
        ref.elements.push_back(r.Element());
      } else if (r.kind == "start") {
        ref.start = {n(0), n(1), n(2), n(3)};
      } else if (r.kind == "equation") {
        ref.equations.push_back({n(0), n(1)});
      } else if (r.kind == "grade") {
        ref.profile.push_back({n(0), n(1), n(2)});
      } else if (r.kind == "row") {
        const bool higher = r.fields.at(5) == "HigherOrder";
        if (!higher && r.fields[5] != "Linear") throw std::runtime_error("no transition " + r.fields[5]);
        ref.table.push_back(
            {n(0), n(1), n(2), n(3), n(4), higher ? WidthTransition::HigherOrder : WidthTransition::Linear});
      } else if (r.kind == "edges") {
        ref.edges.push_back({n(0), {n(1), n(2), n(3), n(4)}, {n(5), n(6), n(7), n(8), n(9), n(10)}});
      } else {
        throw std::runtime_error("no record kind " + r.kind);
      }
    }
    return ref;
  }();
  return reference;
}

constexpr double kExact = 1e-12;

using Row = CrossSectionRow;
constexpr WidthTransition kLinear = WidthTransition::Linear;
constexpr WidthTransition kHigher = WidthTransition::HigherOrder;

// Straight 100 m, spiral 80 m into R 250 (right), arc 120 m, spiral 80 m
// out, reverse spiral 60 m into R 300 (left), arc 100 m, spiral 60 m out,
// straight 100 m; stations from K0+000.
Line FieldLine(std::vector<ChainageEquation> equations = {}) {
  return Line({.X_m = 2500000, .Y_m = 400000, .azimuth_rad = 0.6, .station_m = 0}, TheReference().elements,
              std::move(equations));
}

void ExpectSection(const SectionAt& s, double leftWidth, double rightWidth, double leftSlope, double rightSlope) {
  EXPECT_NEAR(s.leftWidth_m, leftWidth, kExact);
  EXPECT_NEAR(s.rightWidth_m, rightWidth, kExact);
  EXPECT_NEAR(s.leftSlope_percent, leftSlope, kExact);
  EXPECT_NEAR(s.rightSlope_percent, rightSlope, kExact);
}

// Edge points and heights along a line with a short chain inside the reverse
// curve's entry spiral, asked in order as the stakes ask them.
TEST(CrossSection, EdgesAgreeWithTheMpmathModel) {
  const Line line(TheReference().start, TheReference().elements, TheReference().equations);
  const Profile profile(line, TheReference().profile);
  const CrossSection section(line, TheReference().table);
  std::size_t cursor = 0;
  std::size_t grade = 0;
  for (const ReferenceEdges& r : TheReference().edges) {
    SCOPED_TRACE(r.distance_m);
    const SectionAt s = section.At(r.distance_m, cursor);
    ExpectSection(s, r.section[0], r.section[1], r.section[2], r.section[3]);
    const double H = profile.ElevationAtDistance(r.distance_m, grade);
    const LinePoint left = line.PointAtOffset(r.distance_m, s.LeftEdgeOffset_m());
    const LinePoint right = line.PointAtOffset(r.distance_m, s.RightEdgeOffset_m());
    EXPECT_NEAR(left.X_m, r.edges[0], 1e-6);
    EXPECT_NEAR(left.Y_m, r.edges[1], 1e-6);
    EXPECT_NEAR(H + s.LeftEdgeRise_m(), r.edges[2], 1e-9);
    EXPECT_NEAR(right.X_m, r.edges[3], 1e-6);
    EXPECT_NEAR(right.Y_m, r.edges[4], 1e-6);
    EXPECT_NEAR(H + s.RightEdgeRise_m(), r.edges[5], 1e-9);
    // A located point on the edge has the edge's design height.
    EXPECT_NEAR(H + section.RiseAt(r.distance_m, s.LeftEdgeOffset_m()), r.edges[2], 1e-9);
    EXPECT_NEAR(H + section.RiseAt(r.distance_m, s.RightEdgeOffset_m()), r.edges[5], 1e-9);
  }
}

// A right-hand curve's run-off over its 80 m entry spiral (ZH K0+100, HY
// K0+180), 3.75 m each side: the outside (left) turns from the crown's -2 %
// through 0 to +2 %, then the whole carriageway turns about the design line
// to +6 / -6. Rises are width * slope / 100, worked by hand.
TEST(CrossSection, SuperelevationRunOffOverASpiral) {
  const CrossSection section(
      FieldLine(),
      {{100, 3.75, 3.75, -2, -2}, {120, 3.75, 3.75, 0, -2}, {140, 3.75, 3.75, 2, -2}, {180, 3.75, 3.75, 6, -6}});
  const struct {
    double distance_m, leftSlope, rightSlope, leftRise_m, rightRise_m;
  } cases[] = {
      {0, -2, -2, -0.075, -0.075},     // before the first row: the crown holds
      {100, -2, -2, -0.075, -0.075},   // ZH
      {110, -1, -2, -0.0375, -0.075},  // halfway to the outside's level
      {120, 0, -2, 0, -0.075},         // outside level
      {140, 2, -2, 0.075, -0.075},     // one plane, 2 %
      {150, 3, -3, 0.1125, -0.1125},   // turning about the design line
      {180, 6, -6, 0.225, -0.225},     // HY: full superelevation
      {400, 6, -6, 0.225, -0.225},     // after the last row it holds
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.distance_m);
    const SectionAt s = section.At(c.distance_m);
    ExpectSection(s, 3.75, 3.75, c.leftSlope, c.rightSlope);
    EXPECT_NEAR(s.LeftEdgeRise_m(), c.leftRise_m, kExact);
    EXPECT_NEAR(s.RightEdgeRise_m(), c.rightRise_m, kExact);
    // Half-way out on each side, the side's own slope.
    EXPECT_NEAR(s.RiseAt(-1.875), c.leftRise_m / 2, kExact);
    EXPECT_NEAR(s.RiseAt(1.875), c.rightRise_m / 2, kExact);
  }
}

// Widening of the inside (right) from 3.5 to 4.5 m over 40 m: the higher-order
// law b0 + 1 (4k^3 - 3k^4) gives 13/256, 5/16 and 189/256 of the metre at
// k = 1/4, 1/2, 3/4; the linear one k. The earlier row's transition is not
// the one that counts.
TEST(CrossSection, WideningTransitions) {
  const struct {
    WidthTransition first, later;
    double quarter, half, threeQuarters;
  } cases[] = {
      {kLinear, kHigher, 3.5 + 13.0 / 256, 3.8125, 3.5 + 189.0 / 256},
      {kHigher, kHigher, 3.5 + 13.0 / 256, 3.8125, 3.5 + 189.0 / 256},
      {kLinear, kLinear, 3.75, 4.0, 4.25},
      {kHigher, kLinear, 3.75, 4.0, 4.25},
  };
  for (const auto& c : cases) {
    const CrossSection section(FieldLine(), {{140, 3.5, 3.5, -2, -2, c.first}, {180, 3.5, 4.5, 6, -6, c.later}});
    for (const auto& [distance, width] :
         {std::pair{140.0, 3.5}, {150.0, c.quarter}, {160.0, c.half}, {170.0, c.threeQuarters}, {180.0, 4.5}}) {
      SCOPED_TRACE(distance);
      // The slopes stay linear whatever the widths do.
      ExpectSection(section.At(distance), 3.5, width, -2 + 8 * (distance - 140) / 40, -2 - 4 * (distance - 140) / 40);
    }
  }
}

// A reverse curve with no crown between its two superelevations: +6 / -6 on
// the right-hand arc, -6 / +6 on the left-hand one, the slopes changing sides
// over the 40 m from K0+360 to K0+400 and passing level at K0+380.
TEST(CrossSection, ReverseCurveSwapsTheSlopes) {
  const CrossSection section(FieldLine(), {{360, 3.75, 3.75, 6, -6}, {400, 3.75, 3.75, -6, 6}});
  const struct {
    double distance_m, offset_m, rise_m;
  } cases[] = {
      {360, -3.75, 0.225},  {360, 3.75, -0.225}, {370, -2, 0.06},  {370, 2, -0.06},
      {380, -3.75, 0},      {380, 3.75, 0},      {390, -2, -0.06}, {390, 0, 0},
      {400, -3.75, -0.225}, {400, 3.75, 0.225},  {500, -10, -0.6},  // beyond the edge, the side's slope carries on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.distance_m);
    SCOPED_TRACE(c.offset_m);
    EXPECT_NEAR(section.RiseAt(c.distance_m, c.offset_m), c.rise_m, kExact);
  }
  EXPECT_THROW_MSG(section.RiseAt(380, std::numeric_limits<double>::quiet_NaN()), kCrossSlopeNotANumberPrompt);
}

// Rows across a short chain are laid out in distance: K0+400 -> K0+460 spans
// 40 m when K0+420 = K0+440, and the slope changes over those 40 m.
TEST(CrossSection, RowsAcrossAChainageEquation) {
  const CrossSection section(FieldLine({{420, 440}}), {{400, 3.75, 3.75, -2, 0}, {460, 3.75, 3.75, -6, 4}});
  EXPECT_EQ(section.Distances_m(), (std::vector<double>{400, 440}));
  ExpectSection(section.At(410), 3.75, 3.75, -3, 1);
  ExpectSection(section.At(430), 3.75, 3.75, -5, 3);
}

// The cursor gives what a fresh search gives, however the distances jump.
TEST(CrossSection, CursorAnswersAsTheSearch) {
  const Line line(TheReference().start, TheReference().elements, TheReference().equations);
  const CrossSection section(line, TheReference().table);
  std::size_t cursor = 0;
  for (const double d : {-5.0, 0.0, 100.0, 100.0, 119.999, 120.0, 450.0, 130.0, 700.0, 1e9, 599.0, 600.0, 180.0}) {
    SCOPED_TRACE(d);
    const SectionAt a = section.At(d, cursor);
    const SectionAt b = section.At(d);
    ExpectSection(a, b.leftWidth_m, b.rightWidth_m, b.leftSlope_percent, b.rightSlope_percent);
  }
  for (std::size_t start : {std::size_t{0}, std::size_t{5}, std::size_t{11}, std::size_t{12345}}) {
    const SectionAt b = section.At(165.5);
    ExpectSection(section.At(165.5, start), b.leftWidth_m, b.rightWidth_m, b.leftSlope_percent, b.rightSlope_percent);
  }
}

// Refusals, rows named by the file's line (the heading being line 1) or,
// with none given, by their place.
TEST(CrossSection, Refusals) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    std::vector<Row> rows;
    std::string message;
  } cases[] = {
      {{}, kCrossSectionEmptyPrompt},
      {{{100, 3.75, 3.75, -2, -2, kLinear, 2}, {100, 3.75, 3.75, -2, -2, kLinear, 3}},
       "第3行：桩号应大于上一行的桩号！"},
      {{{100, 3, 3, -2, -2, kLinear, 2}, {120, 3, 3, 0, -2, kLinear, 4}, {110, 3, 3, 2, -2, kLinear, 5}},
       "第5行：桩号应大于上一行的桩号！"},
      {{{100, 3, 3, -2, -2}, {120, 3, 3, -2, -2}, {119.9, 3, 3, -2, -2}}, "第3行：桩号应大于上一行的桩号！"},
      {{{100, 3.75, 3.75, -2, -2, kLinear, 2}, {120, 3.75, -0.5, -2, -2, kLinear, 3}}, "第3行：宽度不能为负数！"},
      {{{100, -1e-9, 3.75, -2, -2, kLinear, 7}}, "第7行：宽度不能为负数！"},
      {{{100, 3, 3, nan, -2, kLinear, 2}}, "第2行：桩号、宽度或横坡不是有效数字或过大！"},
      {{{100, 3, 3, -2, -2}, {200, 3, 1e12, -2, -2}}, "第2行：桩号、宽度或横坡不是有效数字或过大！"},
      {{{100, 3, 3, -2, -2, kLinear, 2}, {800, 3, 3, -2, -2, kLinear, 3}}, "第3行：桩号不在路线范围内！"},
      {{{-0.5, 3, 3, -2, -2, kLinear, 2}}, "第2行：桩号不在路线范围内！"},
  };
  const Line line = FieldLine();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_THROW_MSG(CrossSection(line, c.rows), c.message);
  }
  EXPECT_THROW_MSG(CrossSection(FieldLine({{420, 440}}), {{430, 3, 3, -2, -2, kLinear, 4}}),
                   std::string("第4行：") + kStationInShortChainPrompt);
}

// An inside edge that reaches the centre of curvature, at the worst point.
// Straight 100 m, then a spiral of 40 m into R 20 and an arc of 40 m, right-
// or left-hand; the curvature grows as u / 20 over the spiral (u: the share
// of its length). A width falling from b at ZH to 0 at HY puts the worst
// point at u = 1/2 (K0+120, where the radius is 40 m and the width b / 2), so
// b = 80 just reaches it; a width on the outside never does.
TEST(CrossSection, InsideEdgeReachingTheCentre) {
  const auto line = [](int turn) {
    return Line({.station_m = 0},
                {{.type = ElementType::Straight, .length_m = 100},
                 {.type = ElementType::Spiral, .length_m = 40, .endRadius_m = 20, .turn = turn},
                 {.type = ElementType::Arc, .length_m = 40, .startRadius_m = 20, .endRadius_m = 20, .turn = turn},
                 {.type = ElementType::Straight, .length_m = 100}});
  };
  const struct {
    int turn;
    std::vector<Row> rows;
    std::string message;
  } cases[] = {
      {1, {{100, 3, 80, -2, -2}, {140, 3, 0, -2, -2}}, "桩号K0+120.000处右侧宽度达到曲线半径，边线越过曲率中心！"},
      {1, {{100, 3, 79.99, -2, -2}, {140, 3, 0, -2, -2}}, test::kNoError},
      {1, {{100, 80, 3, -2, -2}, {140, 0, 3, -2, -2}}, test::kNoError},  // outside
      {-1, {{100, 80, 3, -2, -2}, {140, 0, 3, -2, -2}}, "桩号K0+120.000处左侧宽度达到曲线半径，边线越过曲率中心！"},
      // The higher-order fall b (1 - 4u^3 + 3u^4) times u / 20 is largest at
      // u = 0.4860378 (mpmath), K0+119.442, where it is b / 58.108.
      {-1, {{100, 58, 3, -2, -2}, {140, 0, 3, -2, -2, kHigher}}, test::kNoError},
      {-1,
       {{100, 58.2, 3, -2, -2}, {140, 0, 3, -2, -2, kHigher}},
       "桩号K0+119.442处左侧宽度达到曲线半径，边线越过曲率中心！"},
      // A width equal to the arc's radius over all of it: the worst is first met at HY.
      {1, {{0, 3, 20, -2, -2}}, "桩号K0+140.000处右侧宽度达到曲线半径，边线越过曲率中心！"},
      {1, {{0, 3, 19.999, -2, -2}}, test::kNoError},
      // Widening on the arc after a table that ends before the curve: the last row holds.
      {1, {{0, 3, 3, -2, -2}, {50, 3, 25, -2, -2}}, "桩号K0+140.000处右侧宽度达到曲线半径，边线越过曲率中心！"},
      // Width growing into the arc: at HY it is 30 on R 20.
      {1,
       {{100, 3, 0, -2, -2}, {140, 3, 30, -2, -2}, {180, 3, 0, -2, -2}},
       "桩号K0+140.000处右侧宽度达到曲线半径，边线越过曲率中心！"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(test::ThrownMessage([&] { CrossSection(line(c.turn), c.rows); }), c.message);
  }
}

}  // namespace
}  // namespace quorvane
