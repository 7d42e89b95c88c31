// Texts of quorvane-line's tables: K-notation stations, DD.MMSS angles with
// their carries, fixed decimals, and the CSV reader. Expected texts are
// worked by hand.

#include <gtest/gtest.h>

#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "expect_error.h"
#include "calc/calculation_error.h"
#include "io/csv_rows.h"
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

TEST(LineText, FixedDecimals) {
  EXPECT_EQ(FixedText(4040974.4096, 3), "4040974.410");
  EXPECT_EQ(FixedText(-0.0004, 3), "0.000");
  EXPECT_EQ(FixedText(-0.0006, 3), "-0.001");
  EXPECT_EQ(FixedText(12.5, 0), "13");  // an exact tie away from zero, as the report rounds
  EXPECT_EQ(FixedText(-0.125, 2), "-0.13");
  EXPECT_EQ(FixedText(2.675, 2), "2.67");  // the double lies below the tie: no tie
  EXPECT_EQ(FixedText(1.0 / 3, 6), "0.333333");
  EXPECT_THROW(FixedText(std::numeric_limits<double>::infinity(), 3), CalculationError);
}

TEST(LineText, CsvRows) {
  struct Row {
    const char* name;
    std::string text;
    std::vector<std::vector<std::string>> fields;
    std::vector<std::size_t> lines;
  };
  const std::vector<Row> rows = {
      {"byte-order mark, CR LF, blank lines",
       "\xEF\xBB\xBF点号,X,Y\r\n\r\nP1,1,2\r\n  \r\nP2,3,4",
       {{"点号", "X", "Y"}, {"P1", "1", "2"}, {"P2", "3", "4"}},
       {1, 3, 5}},
      {"quotes",
       "\"a,b\",\"say \"\"hi\"\"\",\nx,\"two\nlines\",y\n",
       {{"a,b", "say \"hi\"", ""}, {"x", "two\nlines", "y"}},
       {1, 2}},
      {"a row of empty fields is a blank line", ",,\n", {}, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto read = ReadCsvRows(row.text, "p.csv");
    std::vector<std::vector<std::string>> fields;
    for (const CsvRow& r : read) fields.push_back(r.fields);
    EXPECT_EQ(fields, row.fields);
    for (std::size_t i = 0; i < read.size() && i < row.lines.size(); ++i) EXPECT_EQ(read[i].line, row.lines[i]);
  }
  const std::string open = test::ThrownMessage([] { ReadCsvRows("a,b\nc,\"open\n", "p.csv"); });
  EXPECT_NE(open.find("第2行"), std::string::npos) << open;
}

}  // namespace
}  // namespace quorvane
