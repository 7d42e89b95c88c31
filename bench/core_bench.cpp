// Speed of one calculation (stakes plus report block) against a floor measured
// in the same run: the bare work every stake cannot avoid, five sines, five
// cosines and the four numbers of its row written with std::to_chars.
#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include "calc/stakes.h"
#include "report/report.h"

namespace {

using quorvane::CurveInput;

CurveInput CurveWithStakes(int stakes) {
  // One stake a metre from station 0.
  return {.Xa = 4040964.994, .Ya = 195601.155, .lb = 0, .le = static_cast<double>(stakes), .Ra = 1500, .Rb = 130,
          .a = 17.3415, .d = 1, .turn = 1};
}

void BM_ComputeStakesAndReport(benchmark::State& state) {
  const CurveInput input = CurveWithStakes(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    const quorvane::StakeTable table = quorvane::ComputeStakes(input);
    std::string block = quorvane::ReportBlock(input, table, {"0", "17.3415", "32767"});
    benchmark::DoNotOptimize(block.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Floor(benchmark::State& state) {
  const auto stakes = static_cast<int>(state.range(0));
  std::string out;
  for (auto _ : state) {
    out.clear();
    out.reserve(static_cast<std::size_t>(stakes) * 64);
    std::array<char, 64> buf{};
    for (int i = 0; i < stakes; ++i) {
      double c = 0, s = 0;
      for (int j = 1; j <= 5; ++j) {
        const double theta = 0.3 + i * 1e-4 * j;
        c += std::cos(theta);
        s += std::sin(theta);
      }
      const double values[4] = {i + 1.0, 4040964.994 + c, 195601.155 + s, 17.3415 + c * 1e-3};
      for (const double v : values) {
        const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v);
        out.append(buf.data(), r.ptr);
        out += "    ";
      }
      out += "\r\n";
    }
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_ComputeStakesAndReport)->Arg(7)->Arg(1000)->Arg(32767)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Floor)->Arg(7)->Arg(1000)->Arg(32767)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
