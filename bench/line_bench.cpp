// The whole line: stakes every metre over a 100 km line of several hundred
// elements against evaluating the same points alone with PointAtDistance,
// locating 100,000 points beside a 100-element line, and the memory a line
// of 100,000 elements takes (goal: under 30 MB).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <random>
#include <vector>

#include "calc/line.h"

namespace {

using namespace quorvane;

// Curves of every kind one after another, turning left and right: straight,
// spiral, arc, spiral; every third curve with an egg spiral to a second arc,
// every fourth running straight into the next without a straight between.
Line TestLine(std::size_t elements, double straight_m, std::vector<ChainageEquation> equations = {}) {
  std::vector<ElementSpec> designed;
  const double radii[] = {650, 1200, 2400, 960, 3100};
  int turn = 1;
  for (std::size_t i = 0; designed.size() < elements; ++i) {
    const double R = radii[i % 5], R2 = 1.75 * R;
    if (i % 4 != 3)
      designed.push_back({ElementType::Straight, straight_m + 37.3 * (i % 7), kInfiniteRadius, kInfiniteRadius, 0});
    designed.push_back({ElementType::Spiral, 120 + 23.7 * (i % 3), kInfiniteRadius, R, turn});
    designed.push_back({ElementType::Arc, 150 + 41.17 * (i % 4), R, R, turn});
    if (i % 3 == 1) {
      designed.push_back({ElementType::Spiral, 90, R, R2, turn});
      designed.push_back({ElementType::Arc, 120, R2, R2, turn});
      designed.push_back({ElementType::Spiral, 110, R2, kInfiniteRadius, turn});
    } else {
      designed.push_back({ElementType::Spiral, 100 + 11.1 * (i % 5), R, kInfiniteRadius, turn});
    }
    turn = -turn;
  }
  designed.resize(elements);
  designed.push_back({ElementType::Straight, 500, kInfiniteRadius, kInfiniteRadius, 0});
  return Line({3012345.678, 487654.321, 0.8, 10000}, designed, std::move(equations));
}

// About 100 km in 401 elements, with a long and a short chain.
const Line& LongLine() {
  static const Line line = TestLine(400, 580, {{30000, 29950.5}, {70000, 70100}});
  return line;
}

void BM_LineStakesEveryMetre(benchmark::State& state) {
  const Line& line = LongLine();
  std::size_t n = 0;
  for (auto _ : state) {
    const auto stakes = line.Stakes(1.0);
    n = stakes.size();
    benchmark::DoNotOptimize(stakes.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
  state.counters["length_km"] = line.Length_m() / 1000;
  state.counters["elements"] = static_cast<double>(line.Elements().size());
}

void BM_LinePointsAloneEveryMetre(benchmark::State& state) {
  const Line& line = LongLine();
  const auto n = static_cast<std::size_t>(line.Length_m());
  for (auto _ : state) {
    for (std::size_t k = 0; k < n; ++k) benchmark::DoNotOptimize(line.PointAtDistance(static_cast<double>(k)));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * n));
}

void BM_LineLocate(benchmark::State& state) {
  static const Line line = TestLine(100, 400);
  // Points up to 60 m either side of the line, all along it.
  constexpr std::size_t kPoints = 100000;
  std::mt19937_64 random(15);
  std::uniform_real_distribution<double> along(0, line.Length_m()), across(-60, 60);
  std::vector<LinePoint> points;
  points.reserve(kPoints);
  for (std::size_t k = 0; k < kPoints; ++k) points.push_back(line.PointAtOffset(along(random), across(random)));
  for (auto _ : state) {
    for (const LinePoint& p : points) benchmark::DoNotOptimize(line.Locate(p.X_m, p.Y_m));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kPoints));
  state.counters["length_km"] = line.Length_m() / 1000;
}

// Points up to 60 m beyond the line's end, in a cone of +-30 degrees about
// its direction there: no foot anywhere, the worst case of the search.
void BM_LineLocateNoFoot(benchmark::State& state) {
  static const Line line = TestLine(100, 400);
  const LinePoint end = line.PointAtDistance(line.Length_m());
  std::vector<LinePoint> points;
  for (int k = 0; k < 10000; ++k) {
    const double a = end.azimuth_rad + (k % 101 - 50) * 0.01, r = 1 + k % 60;
    points.push_back({end.X_m + r * std::cos(a), end.Y_m + r * std::sin(a), 0});
  }
  for (auto _ : state) {
    for (const LinePoint& p : points) benchmark::DoNotOptimize(line.Locate(p.X_m, p.Y_m));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * points.size()));
}

// The resident memory of the process, bytes.
double ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  double pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * 4096;
}

// Builds a line of 100,000 elements (straights, spirals, arcs and egg
// spirals as TestLine makes them) and reports how much the process grew by
// (RSS, with what malloc keeps freed handed back first) and how much the
// heap holds, both with the line alive and its designs gone.
void BM_LineMemory(benchmark::State& state) {
  const auto elements = static_cast<std::size_t>(state.range(0));
  double rss = 0, heap = 0;
  for (auto _ : state) {
    state.PauseTiming();
    malloc_trim(0);
    const double rss0 = ResidentBytes();
    const struct mallinfo2 heap0 = mallinfo2();
    state.ResumeTiming();
    auto line = std::make_unique<Line>(TestLine(elements, 300));
    state.PauseTiming();
    malloc_trim(0);
    rss = ResidentBytes() - rss0;
    const struct mallinfo2 heap1 = mallinfo2();
    heap = static_cast<double>(heap1.uordblks + heap1.hblkhd) - static_cast<double>(heap0.uordblks + heap0.hblkhd);
    benchmark::DoNotOptimize(line->Length_m());
    line.reset();
    state.ResumeTiming();
  }
  state.counters["rss_MB"] = rss / 1e6;
  state.counters["heap_MB"] = heap / 1e6;
  state.counters["heap_bytes_per_element"] = heap / static_cast<double>(elements + 1);
}

BENCHMARK(BM_LineMemory)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineStakesEveryMetre)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinePointsAloneEveryMetre)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineLocate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineLocateNoFoot)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
