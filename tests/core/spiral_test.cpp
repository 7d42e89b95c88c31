// The spiral kernel under both policies against one table of exact points
// (spiral_reference.txt, written by spiral_reference.py with mpmath): the
// stake tables' policy within the 0.005 mm its switch promises, the exact
// policy within 1 nm. The rows are the single curve's references and the
// whole line's spirals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "calc/angle.h"
#include "calc/spiral.h"
#include "reference_records.h"

namespace quorvane {
namespace {

// An azimuth typed as DD.MMSS in the single curve, with the tables' pi.
constexpr double Dms(double deg, double min, double sec) { return (deg + min / 60 + sec / 3600) * kStakeTablePi / 180; }

struct Row {
  std::string name;
  double alpha;  // radians
  double Ra;     // 0: straight
  double Rb;
  double L;
  int turn;
  double D;
  double x;  // north of the start, metres
  double y;  // east
};

// The rows of spiral_reference.txt; an azimuth "D:M:S" is typed as DD.MMSS.
std::vector<Row> Rows() {
  std::vector<Row> rows;
  for (const ReferenceRecord& r : ReadReferenceRecords(QUORVANE_SPIRAL_REFERENCE)) {
    double d = 0, m = 0, s = 0;
    const bool dms = std::sscanf(r.fields.at(0).c_str(), "%lf:%lf:%lf", &d, &m, &s) == 3;
    std::string name;
    for (std::size_t i = 8; i < r.fields.size(); ++i) name += (i > 8 ? " " : "") + r.fields[i];
    rows.push_back({name, dms ? Dms(d, m, s) : r.Number(0), r.Number(1), r.Number(2), r.Number(3),
                    static_cast<int>(r.Number(4)), r.Number(5), r.Number(6), r.Number(7)});
  }
  return rows;
}

struct Policy {
  const char* name;
  const SpiralPolicy* policy;
  double tolerance_m;
};

const Policy kPolicies[] = {
    {"StakeTable", &kStakeTablePolicy, 5e-6},
    {"Exact", &kExactPolicy, 1e-9},
};

// Each row is integrated as the single curve gives its law (unsigned
// curvatures and a turn) and as the whole line gives it (signed curvatures,
// turn +1): the same curve either way.
TEST(SpiralPolicies, AgreeWithTheExactIntegral) {
  const std::vector<Row> rows = Rows();
  ASSERT_EQ(rows.size(), 31u);
  for (const Policy& policy : kPolicies) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(policy.name) + ": " + row.name + " at " + std::to_string(row.D));
      const double k0 = row.Ra == 0 ? 0 : 1 / row.Ra;
      const double k1 = row.Rb == 0 ? 0 : 1 / row.Rb;
      const SpiralLaw unsigned_{row.alpha, k0, k1 - k0, row.L, static_cast<double>(row.turn)};
      const SpiralLaw signed_{row.alpha, row.turn * k0, row.turn * (k1 - k0), row.L, 1.0};
      for (const SpiralLaw& law : {unsigned_, signed_}) {
        const auto panels = static_cast<std::int64_t>(SpiralPanelCount(law.k0, law.k0 + law.dk, law.L, *policy.policy));
        Spiral spiral(law, *policy.policy, panels);
        const SpiralOffset p = spiral.At(row.D);
        EXPECT_NEAR(p.x, row.x, policy.tolerance_m) << "turn " << law.turn;
        EXPECT_NEAR(p.y, row.y, policy.tolerance_m) << "turn " << law.turn;
        const double theta = row.alpha + row.turn * (k0 * row.D + (k1 - k0) * row.D * row.D / (2 * row.L));
        EXPECT_NEAR(p.azimuth, theta, 1e-12 * (1 + std::fabs(theta)));
        // Walking there, and with every panel summed first, gives the same bits.
        const SpiralOffset walked = spiral.Walk(row.D);
        EXPECT_EQ(walked.x, p.x);
        EXPECT_EQ(walked.y, p.y);
        spiral.SumAllPanels();
        EXPECT_EQ(spiral.At(row.D).x, p.x);
        EXPECT_EQ(spiral.At(row.D).y, p.y);
      }
    }
  }
}

}  // namespace
}  // namespace quorvane
