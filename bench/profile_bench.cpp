// Stakes every metre over a 100 km line, alone and with the design height of
// each stake and of its two side stakes: the heights should cost little next
// to the stakes themselves.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "calc/line.h"
#include "calc/profile.h"
#include "hundred_km_road.h"

namespace {

using namespace quorvane;

using bench::HundredKilometres;
using bench::RollingProfile;

const Line& TheLine() {
  static const Line line = HundredKilometres();
  return line;
}

void BM_Stakes(benchmark::State& state) {
  const Line& line = TheLine();
  for (auto _ : state) {
    const std::vector<LineStake> stakes = line.Stakes(1, std::nullopt, std::nullopt, true);
    benchmark::DoNotOptimize(stakes.data());
    state.counters["stakes"] = static_cast<double>(stakes.size());
  }
}

// Stakes every metre with the centre's and both edges' heights (cross slope
// -2 %, 12.5 m out), each stake's three found by `heightsAt`.
template <typename HeightsAt>
void StakesWithHeights(benchmark::State& state, HeightsAt heightsAt) {
  const Line& line = TheLine();
  const Profile profile = RollingProfile(line);
  const CrossSlopes slopes{-2, -2};
  std::vector<double> heights;
  for (auto _ : state) {
    const std::vector<LineStake> stakes = line.Stakes(1, std::nullopt, std::nullopt, true);
    heights.clear();
    heights.reserve(stakes.size() * 3);
    std::size_t grade = 0;
    for (const LineStake& s : stakes) {
      if (profile.Covers(s.distance_m)) heightsAt(profile, slopes, s.distance_m, grade, heights);
    }
    benchmark::DoNotOptimize(heights.data());
    state.counters["stakes"] = static_cast<double>(stakes.size());
  }
}

// As the tool asks them: in order along the line, the edges by cross slope.
void BM_StakesWithHeights(benchmark::State& state) {
  StakesWithHeights(state, [](const Profile& profile, const CrossSlopes& slopes, double d, std::size_t& grade,
                              std::vector<double>& heights) {
    const double H = profile.ElevationAtDistance(d, grade);
    heights.push_back(H);
    heights.push_back(H + slopes.RiseAt(-12.5));
    heights.push_back(H + slopes.RiseAt(12.5));
  });
}

// The same heights each asked alone, every one searching for its grade.
void BM_StakesWithHeightsAskedAlone(benchmark::State& state) {
  StakesWithHeights(state, [](const Profile& profile, const CrossSlopes& slopes, double d, std::size_t&,
                              std::vector<double>& heights) {
    heights.insert(heights.end(), {profile.ElevationAtDistance(d), profile.ElevationAtOffset(d, -12.5, slopes),
                                   profile.ElevationAtOffset(d, 12.5, slopes)});
  });
}

// On a shared machine the fastest of several repetitions
// (--benchmark_repetitions=9) tells the cost best.
double Fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

BENCHMARK(BM_Stakes)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_StakesWithHeightsAskedAlone)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);
BENCHMARK(BM_StakesWithHeights)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest);

}  // namespace

BENCHMARK_MAIN();
