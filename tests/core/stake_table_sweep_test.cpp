// A sweep over a few hundred single curves: the report block, a point between
// stakes, side stakes and a located point of each, against the text the
// printed stake tables were pinned with (tests/core/stake_table_sweep.txt).
// Tight curves that wind many times are in it, so both ways of integrating
// the curve are pinned, digit for digit.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "calc/calculation_error.h"
#include "calc/curve_point.h"
#include "calc/stakes.h"
#include "report/report.h"
#include "report/side_stakes.h"

namespace quorvane {
namespace {

std::string Shortest(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return {buffer, result.ptr};
}

std::vector<CurveInput> SweptCurves() {
  const double radii[] = {0, 15, 60, 130, 500, 1500};
  const double endRadii[] = {0, 20, 130, 800};
  const double lengths[] = {35.7, 250.365, 1234.5, 4321};
  const double azimuths[] = {17.3415, 0.003, 359.5959, 123.4506, -45.3015, 270};
  const double starts[] = {180.108, 0, -15, 1233999.999};
  const std::int16_t turns[] = {1, -1, 0};
  std::vector<CurveInput> curves;
  int n = 0;
  for (const double Ra : radii) {
    for (const double Rb : endRadii) {
      for (const double length : lengths) {
        for (const std::int16_t turn : turns) {
          if (turn == 0 && n % 4 != 0) {  // a straight is a straight whatever its radii
            ++n;
            continue;
          }
          CurveInput c{.Xa = n % 2 ? 4040964.994 : 1000.5,
                       .Ya = n % 2 ? 195601.155 : -2000.25,
                       .lb = starts[n % 4],
                       .le = 0,
                       .Ra = Ra,
                       .Rb = Rb,
                       .a = azimuths[n % 6],
                       .d = 0,
                       .turn = turn};
          c.le = c.lb + length;
          c.d = std::round(length / 6);
          if (n % 5 == 0) {  // staked backwards
            std::swap(c.lb, c.le);
            c.d = -c.d;
          }
          curves.push_back(c);
          ++n;
        }
      }
    }
  }
  return curves;
}

std::string Sweep() {
  std::ostringstream out;
  int n = 0;
  for (const CurveInput& c : SweptCurves()) {
    const std::string lb = Shortest(c.lb);
    const std::string a = Shortest(c.a);
    const std::string le = Shortest(c.le);
    out << "curve lb " << lb << " le " << le << " Ra " << Shortest(c.Ra) << " Rb " << Shortest(c.Rb) << " a " << a
        << " d " << Shortest(c.d) << " turn " << c.turn << "\r\n";
    const StakeTable table = ComputeStakes(c);
    out << ReportBlock(c, table, {lb, a, le});
    // Between stakes, and at the end: PointAt and the free evaluation.
    for (const double share : {0.37, 1.0}) {
      const double station = c.lb + share * (c.le - c.lb);
      const CurvePoint p = PointAt(c, station);
      out << "at " << Shortest(station) << ": " << Shortest(p.X) << " " << Shortest(p.Y) << " " << Shortest(p.azimuth)
          << "\r\n";
    }
    if (n++ % 4 == 0) out << SideStakeBlock(ComputeSideStakes(c, 3.5, 7.25));
    const CurvePoint mid = PointAt(c, c.lb + 0.61 * (c.le - c.lb));
    const CurvePoint beside = SidePoint(mid, 2.5);
    try {
      const StationOffset where = LocatePoint(c, beside.X, beside.Y);
      out << LocateLine(beside.X, beside.Y, where, PointAt(c, where.station).azimuth) << "\r\n";
    } catch (const CalculationError& e) {
      out << "locate: " << e.what() << "\r\n";
    }
  }
  return out.str();
}

TEST(StakeTableSweep, EveryDigitAsPinned) {
  std::ifstream file(QUORVANE_STAKE_TABLE_SWEEP, std::ios::binary);
  ASSERT_TRUE(file) << QUORVANE_STAKE_TABLE_SWEEP;
  std::ostringstream expected;
  expected << file.rdbuf();
  const std::string actual = Sweep();
  if (actual == expected.str()) return;
  std::ofstream("stake_table_sweep.actual", std::ios::binary) << actual;
  std::istringstream a(actual), e(expected.str());
  std::string lineA, lineE;
  for (int line = 1;; ++line) {
    const bool moreA = static_cast<bool>(std::getline(a, lineA));
    const bool moreE = static_cast<bool>(std::getline(e, lineE));
    if (!moreA && !moreE) break;
    ASSERT_EQ(lineA, lineE) << "line " << line << "; the whole text is in stake_table_sweep.actual";
  }
}

}  // namespace
}  // namespace quorvane
