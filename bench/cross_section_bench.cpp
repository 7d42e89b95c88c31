// Stakes every metre over a 100 km line with each stake's design height and
// its two edges (heights, and points too), the edges once from one width and cross
// slope for the whole line and once from a 2,000-row superelevation and
// widening table: the table should cost little next to the rest.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "calc/cross_section.h"
#include "calc/line.h"
#include "calc/profile.h"
#include "hundred_km_road.h"

namespace {

using namespace quorvane;

using bench::HundredKilometres;
using bench::RollingProfile;

// 2,000 rows, one every 50 m: the crown, a run-off to 6 % and a widening of
// the inside by up to a metre, half of them by the higher-order transition.
std::vector<CrossSectionRow> TwoThousandRows() {
  std::vector<CrossSectionRow> rows;
  for (int i = 0; i < 2000; ++i) {
    const double super = (i % 8) * 1.5 - 2;
    rows.push_back({.station_m = i * 50.0,
                    .leftWidth_m = 12.5 + (i % 4) * 0.25,
                    .rightWidth_m = 12.5 + (i % 5) * 0.2,
                    .leftSlope_percent = super,
                    .rightSlope_percent = -std::max(2.0, super),
                    .transition = i % 2 == 0 ? WidthTransition::HigherOrder : WidthTransition::Linear});
  }
  return rows;
}

const Line& TheLine() {
  static const Line line = HundredKilometres();
  return line;
}

// The stakes with the centre's height and each edge's height, and with
// `points` each edge's point; the edges' widths and slopes at each stake from
// `sectionOf`.
template <typename SectionOf>
void StakesWithEdges(benchmark::State& state, bool points, SectionOf sectionOf) {
  const Line& line = TheLine();
  const Profile profile = RollingProfile(line);
  std::vector<double> out;
  for (auto _ : state) {
    const std::vector<LineStake> stakes = line.Stakes(1, std::nullopt, std::nullopt, true);
    out.clear();
    out.reserve(stakes.size() * 7);
    std::size_t grade = 0;
    std::size_t cursor = 0;
    for (const LineStake& s : stakes) {
      if (!profile.Covers(s.distance_m)) continue;
      const SectionAt x = sectionOf(s.distance_m, cursor);
      const double H = profile.ElevationAtDistance(s.distance_m, grade);
      out.insert(out.end(), {H, H + x.LeftEdgeRise_m(), H + x.RightEdgeRise_m()});
      if (points) {
        const LinePoint left = line.PointAtOffset(s.distance_m, x.LeftEdgeOffset_m());
        const LinePoint right = line.PointAtOffset(s.distance_m, x.RightEdgeOffset_m());
        out.insert(out.end(), {left.X_m, left.Y_m, right.X_m, right.Y_m});
      }
    }
    benchmark::DoNotOptimize(out.data());
    state.counters["stakes"] = static_cast<double>(stakes.size());
  }
}

// One width and one cross slope for the whole line: 12.5 m and -2 %. The
// argument: 1 with the edge points, 0 heights only.
void BM_StakesFixedSection(benchmark::State& state) {
  StakesWithEdges(state, state.range(0) != 0, [](double, std::size_t&) { return SectionAt{12.5, 12.5, -2, -2}; });
}

// The same from the table, asked in order along the line.
void BM_StakesCrossSectionTable(benchmark::State& state) {
  static const CrossSection table(TheLine(), TwoThousandRows());
  StakesWithEdges(state, state.range(0) != 0, [](double d, std::size_t& cursor) { return table.At(d, cursor); });
}

// Validating the table once: mapping its stations and examining every curve
// for an inside edge that reaches its centre.
void BM_CrossSectionConstruct(benchmark::State& state) {
  const std::vector<CrossSectionRow> rows = TwoThousandRows();
  for (auto _ : state) {
    const CrossSection table(TheLine(), rows);
    benchmark::DoNotOptimize(&table);
  }
}

// On a shared machine the fastest of several repetitions
// (--benchmark_repetitions=9) tells the cost best.
double Fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

BENCHMARK(BM_StakesFixedSection)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_StakesCrossSectionTable)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_CrossSectionConstruct)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);

}  // namespace

BENCHMARK_MAIN();
