// Texts of quorvane-line's tables: K-notation stations, DD.MMSS angles with
// their carries, fixed decimals, cut and fill and the located points'
// remarks. Expected texts are worked by hand.

#include <gtest/gtest.h>

#include <limits>
#include <numbers>
#include <string>

#include "calc/calculation_error.h"
#include "calc/messages.h"
#include "io/export.h"
#include "report/line_text.h"

namespace quorvane {
namespace {

constexpr double kDegree = std::numbers::pi / 180;

double Dms(double d, double m, double s) { return (d + m / 60 + s / 3600) * kDegree; }

TEST(LineText, Stations) {
  struct Row {
    double station_m;
    int decimals;
    const char* text;
  };
  const Row rows[] = {
      {12345.678, 3, "K12+345.678"},
      {-15, 3, "K-1+985.000"},
      {-1000, 2, "K-1+000.00"},
      {-1000.0004, 3, "K-1+000.000"},
      {-1000.0006, 3, "K-2+999.999"},
      {999.9996, 3, "K1+000.000"},  // rounded before the split
      {5.5, 1, "K0+005.5"},
      {5.5, 0, "K0+006"},
      {1234.5, 0, "K1+235"},  // an exact tie goes up, not to the even 1234
      {0.125, 2, "K0+000.13"},
      {-1234.5, 0, "K-2+765"},  // -1234.5 rounds away to -1235
      {0, 0, "K0+000"},
      {-0.0001, 3, "K0+000.000"},  // no "K-1+1000.000", no minus zero
      {123456789.123456, 6, "K123456+789.123456"},
      {190.1, 3, "K0+190.100"},
      {1000.05, 3, "K1+000.050"},      // zeros on both sides of the point
      {7.000001, 6, "K0+007.000001"},  // the decimals padded to their width
      {-999999.5, 1, "K-1000+000.5"},  // a long negative kilometre
  };
  for (const Row& row : rows) {
    EXPECT_EQ(StationText(row.station_m, row.decimals), row.text) << row.station_m;
  }
  EXPECT_THROW(StationText(1e12, 3), CalculationError);
  EXPECT_THROW(StationText(std::numeric_limits<double>::quiet_NaN(), 3), CalculationError);
}

TEST(LineText, AzimuthsAndAngles) {
  struct Row {
    double radians;
    const char* azimuth;
    const char* angle;
  };
  const Row rows[] = {
      {0, "0.0000", "0.0000"},
      {Dms(45, 0, 0), "45.0000", "45.0000"},
      {Dms(17, 34, 15), "17.3415", "17.3415"},
      {Dms(12, 34, 59.6), "12.3500", "12.3500"},   // 60" carries into the minutes
      {Dms(29, 59, 59.5), "30.0000", "30.0000"},   // and 60' into the degrees
      {Dms(359, 59, 59.7), "0.0000", "360.0000"},  // an azimuth wraps, an angle does not
      {-Dms(90, 0, 0), "270.0000", "-90.0000"},
      {-Dms(23, 15, 30), "336.4430", "-23.1530"},
      {-Dms(0, 0, 0.4), "0.0000", "0.0000"},  // no "-0.0000"
      {Dms(725, 0, 1), "5.0001", "725.0001"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(AzimuthText(row.radians), row.azimuth) << row.radians;
    EXPECT_EQ(AngleText(row.radians), row.angle) << row.radians;
  }
}

// The one rounding of the line's numbers: the double's exact decimal
// expansion decides (written out in the comments, from Python's Decimal),
// an exact tie goes away from zero, nothing prints as "-0". Coordinates in
// files (CoordinateText) are the same text.
TEST(LineText, OneRounding) {
  struct Row {
    double value;
    int decimals;
    const char* text;
  };
  const Row rows[] = {
      {119.2325, 3, "119.233"},            // 119.23250000000000170...: above the tie
      {119.23249999999999, 3, "119.232"},  // 119.23249999999998749...: below it
      {0.0005, 3, "0.001"},                // 0.00050000000000000001...
      {-0.0005, 3, "-0.001"},
      {1.0005, 3, "1.000"},              // 1.00049999999999994...
      {2.0005, 3, "2.001"},              // 2.00050000000000016...
      {4040974.4095, 3, "4040974.410"},  // 4040974.40950000006...
      {999.9995, 3, "1000.000"},         // 999.99950000000001...: the carry runs through
      {2.675, 2, "2.67"},                // 2.67499999999999982...
      {0.0625, 3, "0.063"},              // exact ties: away from zero, not to even
      {0.625, 2, "0.63"},
      {2.5, 0, "3"},
      {-2.5, 0, "-3"},
      {123456.0000005, 6, "123456.000001"},  // 123456.00000050000380...
      {-1e-7, 3, "0.000"},                   // no "-0.000"
      {-0.0, 3, "0.000"},
      {-0.0006, 3, "-0.001"},
      {1.0 / 3, 6, "0.333333"},
      {4040974.0625, 3, "4040974.063"},  // an exact tie at a coordinate's size
      {1099511627776.5, 0, "1099511627777"},  // 2^40 + 1/2: a tie beyond the quick test's range
      {1099511627776.25, 1, "1099511627776.3"},
      {0.0004999999999999999, 3, "0.000"},  // 0.00049999999999999990...: just below a tie
  };
  for (const Row& row : rows) {
    EXPECT_EQ(FixedText(row.value, row.decimals), row.text) << row.value;
    if (row.decimals == 3) {
      EXPECT_EQ(CoordinateText(row.value), row.text) << row.value;
    }
  }
  EXPECT_THROW(FixedText(std::numeric_limits<double>::infinity(), 3), CalculationError);
}

// Cut (挖) when the measured height is above the design, fill (填) below, and
// neither for what prints as zero; the remarks of located points.
TEST(LineText, CutFillAndLocatedRemarks) {
  struct CutRow {
    double measured, design;
    const char* amount;
    const char* side;
  };
  const CutRow cuts[] = {
      {101.2, 100.94, "0.260", kCutText},        {99, 100.5, "-1.500", kFillText},
      {100.94, 100.94000000000001, "0.000", ""},  // a rounding below the design
      {100.9404, 100.94, "0.000", ""},           {100.9396, 100.94, "0.000", ""},
      {100.9395, 100.94, "-0.001", kFillText},  // -0.00050000000000238...
  };
  for (const CutRow& row : cuts) {
    const CutFill got = CutFillText(row.measured, row.design, 3);
    EXPECT_EQ(got.amount, row.amount) << row.measured;
    EXPECT_STREQ(got.side, row.side) << row.measured;
  }
  struct RemarkRow {
    LineLocation where;
    int decimals;
    LocatedTexts texts;
  };
  LineFoot foot;
  foot.station_m = 3690;
  foot.offset_m = -2.5;
  LineFoot repeated = foot;
  repeated.pass = 2;
  const RemarkRow remarks[] = {
      {{LocateStatus::OnLine, foot, 0}, 3, {"K3+690.000", "-2.500", ""}},
      {{LocateStatus::OnLine, repeated, 0}, 3, {"K3+690.000", "-2.500", "长链重复段第2次"}},
      {{LocateStatus::BeforeStart, foot, 2.5}, 3, {"", "", "超出起点 2.500 米"}},
      {{LocateStatus::AfterEnd, foot, 12.345}, 1, {"", "", "超出终点 12.3 米"}},
      {{LocateStatus::NoFoot, foot, 0}, 3, {"", "", "不在路线范围内"}},
  };
  for (const RemarkRow& row : remarks) {
    const LocatedTexts got = LocatedText(row.where, row.decimals);
    EXPECT_EQ(got.station, row.texts.station);
    EXPECT_EQ(got.offset, row.texts.offset);
    EXPECT_EQ(got.remark, row.texts.remark);
  }
  EXPECT_EQ(JoinRemarks(kCutText, "超出终点 1.000 米"), "挖；超出终点 1.000 米");
}

}  // namespace
}  // namespace quorvane
