// Locating points on a 400 m spiral against computing the same number of
// points with PointAt: the search for a foot costs a few evaluations of the
// stake law where PointAt costs one.
#include <benchmark/benchmark.h>

#include <vector>

#include "calc/curve_point.h"

namespace {

using quorvane::CurveInput;
using quorvane::CurvePoint;

constexpr int kPoints = 10000;

// From a straight into a circle of `endRadius` metres over 400 m, turning
// right: 500 m turns by 23 degrees, 100 m by 115 degrees (three pieces).
CurveInput Spiral(double endRadius) {
  return {.Xa = 4040964.994, .Ya = 195601.155, .lb = 1000, .le = 1400, .Ra = 0, .Rb = endRadius, .a = 17.3415,
          .d = 20, .turn = 1};
}

double StationOf(const CurveInput& c, int k) { return c.lb + (c.le - c.lb) * (k + 0.5) / kPoints; }

void BM_PointAt(benchmark::State& state) {
  const CurveInput spiral = Spiral(static_cast<double>(state.range(0)));
  for (auto _ : state) {
    for (int k = 0; k < kPoints; ++k) benchmark::DoNotOptimize(quorvane::PointAt(spiral, StationOf(spiral, k)));
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
}

void BM_LocatePoint(benchmark::State& state) {
  const CurveInput spiral = Spiral(static_cast<double>(state.range(0)));
  // Points from 15 m left to 15 m right of the curve, all along it.
  std::vector<CurvePoint> points;
  points.reserve(kPoints);
  for (int k = 0; k < kPoints; ++k) {
    const double offset = (k % 21 - 10) * 1.5;
    points.push_back(quorvane::SidePoint(quorvane::PointAt(spiral, StationOf(spiral, k)), offset));
  }
  for (auto _ : state) {
    for (const CurvePoint& p : points) benchmark::DoNotOptimize(quorvane::LocatePoint(spiral, p.X, p.Y));
  }
  state.SetItemsProcessed(state.iterations() * kPoints);
}

BENCHMARK(BM_PointAt)->Arg(500)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LocatePoint)->Arg(500)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace
