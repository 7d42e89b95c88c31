// Stakes every metre over a 100 km line, alone and with the design height of
// each stake and of its two side stakes: the heights should cost little next
// to the stakes themselves.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "calc/line.h"
#include "calc/profile.h"

namespace {

using namespace quorvane;

// Straight 300 m, spiral 100 m, arc R 600 m over 200 m, spiral 100 m, the
// turn changing side each time: 143 times 700 m, about 100 km.
Line HundredKilometres() {
  std::vector<ElementSpec> elements;
  for (int i = 0; i < 143; ++i) {
    const int turn = i % 2 == 0 ? 1 : -1;
    elements.push_back({.type = ElementType::Straight, .length_m = 300});
    elements.push_back({.type = ElementType::Spiral, .length_m = 100, .endRadius_m = 600, .turn = turn});
    elements.push_back(
        {.type = ElementType::Arc, .length_m = 200, .startRadius_m = 600, .endRadius_m = 600, .turn = turn});
    elements.push_back({.type = ElementType::Spiral, .length_m = 100, .startRadius_m = 600, .turn = turn});
  }
  return Line({.X_m = 3000000, .Y_m = 500000, .azimuth_rad = 0.7, .station_m = 0}, std::move(elements));
}

// A point every 500 m, grades +2 % and -2 % in turn, vertical curves of
// R = 10000 m (400 m long) at every interior point.
Profile RollingProfile(const Line& line) {
  std::vector<GradePoint> points;
  const int last = static_cast<int>(line.Length_m() / 500);
  for (int i = 0; i <= last; ++i) {
    const bool interior = i > 0 && i < last;
    points.push_back(
        {.station_m = i * 500.0, .elevation_m = i % 2 == 0 ? 100.0 : 110.0, .radius_m = interior ? 10000.0 : 0});
  }
  return Profile(line, std::move(points));
}

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
