// The report's number-to-text rules: exact strings worked out by hand, ties
// included; the fast 15-digit rounding against std::to_chars.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "report/decimal15.h"
#include "report/number_text.h"

namespace quorvane {
namespace {

template <void (*Append)(std::string&, double)>
std::string Text(double value) {
  std::string text = "[";  // appends, never replaces
  Append(text, value);
  return text.substr(1);
}

struct TextCase {
  const char* name;
  double value;
  const char* expected;
};

TEST(NumberText, EachRuleWritesItsExactText) {
  const struct {
    const char* rule;
    std::string (*text)(double);
    std::vector<TextCase> cases;
  } rules[] = {
      {"fixed3", Text<AppendFixed3>,
       {{"three decimals kept", 4040964.994, "4040964.994"},
        {"zeros padded", -12.5, "-12.500"},
        {"tie rounds away from zero though stored below", 2.6755, "2.676"},
        {"carry through the nines into a new digit", 999.9995, "1000.000"},
        {"carry into the whole metre", 0.9995, "1.000"},
        {"carry stops at the first digit", 1.9995, "2.000"},
        {"zero before the point", 0.25, "0.250"},
        {"smallest that rounds up", 0.0005, "0.001"},
        {"small negative is not -0.000", -0.0004, "0.000"},
        {"negative zero", -0.0, "0.000"},
        {"just below the limit", 999999999999.9994, "999999999999.999"},
        {"beyond 15 digits, no exponent", 1e20, "100000000000000000000.000"}}},
      {"general", Text<AppendGeneral>,
       {{"sum that is not exact", 0.13 + 18 + 0.0044, "18.1344"},
        {"zeros at the end dropped", 18.10, "18.1"},
        {"small, no exponent", 1e-5, "0.00001"},
        {"large, no exponent", 1e20, "100000000000000000000"},
        {"rounded to 15 significant digits", 123456789012345678.0, "123456789012346000"},
        {"15-digit tie rounds down to even", 100000000000000.5, "100000000000000"},
        {"15-digit tie rounds up to even", 100000000000001.5, "100000000000002"},
        {"15-digit tie carries into a new digit", 999999999999999.5, "1000000000000000"},
        {"negative zero", -0.0, "0"}}},
      {"signed", Text<AppendSigned>,
       {{"blank for a positive value", 18.1344, " 18.1344"},
        {"whole degrees", 17, " 17"},
        {"negative has its sign", -12.5, "-12.5"},
        {"negative zero", -0.0, " 0"}}},
      {"signed fixed3", Text<AppendSignedFixed3>,
       {{"decimal zero dropped", 4040974.4096, " 4040974.41"},
        {"all three kept", 4040983.87597, " 4040983.876"},
        {"whole metres", 1500.0001, " 1500"},
        {"carry into the whole metre", 0.9996, " 1"},
        {"below a decimetre", 0.05, " 0.05"},
        {"negative", -12.5, "-12.5"},
        {"tiny negative prints as zero", -0.0001, " 0"},
        {"more digits than a double holds", 1e13 + 0.375, " 10000000000000.4"}}},
      {"station", Text<AppendStation>,
       {{"below a kilometre", 190, "0+190"},
        {"metres not padded", 1005, "1+5"},
        {"negative station", -10, "-1+990"},
        {"negative whole kilometres", -2000, "-2+0"},
        {"negative with decimals", -1234.567, "-2+765.433"},
        {"noise of k*d removed", 4 * 0.1, "0+0.4"},
        {"far along on a decimal interval", 1234567 * 0.1, "123+456.7"},
        {"63 km reached in steps of 1.4", 45000 * 1.4, "63+0"},
        {"-55 km reached in steps of 1.1", -50000 * 1.1, "-55+0"},
        {"a millimetre short of a kilometre", 62999.999, "62+999.999"},
        {"a millimetre past a negative kilometre", -54999.999, "-55+0.001"},
        {"largest station", 999999999999.999, "999999999+999.999"},
        {"far beyond, whole metres", 1e18 + 4096, "1000000000000004+96"},
        {"far beyond, rounded once", 2500000000000001.5, "2500000000000+2"},
        {"2^64 m: kilometres to 15 digits, metres exact", 18446744073709551616.0, "18446744073709600+616"},
        {"farther than 2^64", 1e20, "100000000000000000+0"},
        {"tiny negative rounds to zero", -1e-14, "0+0"},
        {"subnormal", 5e-324, "0+0"},
        {"no thirteenth decimal", 1e-13, "0+0"},
        {"negative zero", -0.0, "0+0"}}},
  };
  for (const auto& rule : rules) {
    for (const TextCase& c : rule.cases) {
      SCOPED_TRACE(std::string(rule.rule) + ": " + c.name);
      EXPECT_EQ(rule.text(c.value), c.expected);
    }
  }
}

// ToDecimal15 gives the sign, digits and exponent of std::to_chars(scientific, 14 decimals).
void ExpectDigitsOfToChars(double value) {
  std::array<char, 48> buf{};  // "d.dddddddddddddde+xx"
  std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value), std::chars_format::scientific, 14);
  const Decimal15 dec = ToDecimal15(value);
  const std::string expected = buf[0] + std::string(buf.data() + 2, 14) + " e" + std::to_string(std::atoi(buf.data() + 17));
  ASSERT_EQ(std::string(dec.digits.data(), 15) + " e" + std::to_string(dec.exponent), expected) << value;
  ASSERT_EQ(dec.negative, std::signbit(value)) << value;
}

TEST(Decimal15, AgreesWithToChars) {
  const double hard[] = {100000000000000.5, 100000000000001.5, 999999999999999.5, 2.6755, 9.999999999999995, 1e15,
                         1e-4, 123456789012345678.0, 5e-324, 1.7976931348623157e308, 1e23, -18.1344};
  for (const double v : hard) ExpectDigitsOfToChars(v);
  std::mt19937_64 rng(15);
  std::uniform_real_distribution<double> exponent(-8, 18);
  std::uniform_real_distribution<double> mantissa(1, 10);
  std::uniform_int_distribution<std::uint64_t> bits;
  for (int i = 0; i < 200'000; ++i) {
    double v = mantissa(rng) * std::pow(10.0, std::floor(exponent(rng)));
    if (i % 4 == 0) v = std::bit_cast<double>(bits(rng));  // any double at all
    if (i % 7 == 0) v = std::round(v * 1000) / 1000;       // a metre value to the millimetre
    if (std::isfinite(v) && v != 0) ExpectDigitsOfToChars(v);
  }
}

}  // namespace
}  // namespace quorvane
