// Reading the input boxes: any bytes in, a number (or 0) out, never a crash.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "calc/read_number.h"

namespace quorvane {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct ReadCase {
  const char* name;
  std::string text;
  double expected;
};

TEST(ReadNumber, FollowsTheInputContract) {
  const ReadCase cases[] = {
      {"empty", "", 0},
      {"plain", "4040964.994", 4040964.994},
      {"integer", "1500", 1500},
      {"negative", "-12.5", -12.5},
      {"leading blanks", "   180.108", 180.108},
      {"leading tab and line break", "\t\r\n17.3415", 17.3415},
      {"leading plus", "+7", 7},
      {"point first", ".5", 0.5},
      {"negative point first", "-.5", -0.5},
      {"bare trailing point", "5.", 5},
      {"junk after the number", "10m", 10},
      {"a blank ends the number", "1 000", 1},
      {"a comma is not a decimal point", "10,5", 10},
      {"second point ends the number", "1.2.3", 1.2},
      {"zero with decimals", "0.000", 0},
      {"exponent", "2.5e3", 2500},
      {"negative exponent", "1E-2", 0.01},
      {"incomplete exponent is junk", "1e", 1},
      {"incomplete signed exponent is junk", "1e+", 1},
      {"blank between sign and digits", "- 5", 0},
      {"sign alone", "-", 0},
      {"point alone", ".", 0},
      {"letters", "abc", 0},
      {"infinity is not a number here", "inf", 0},
      {"nan is not a number here", "nan", 0},
      {"hex prefix reads its zero", "0x10", 0},
      {"full-width digits", "\xEF\xBC\x91\xEF\xBC\x90", 0},
      {"invalid UTF-8 first", "\xFF" "12", 0},
      {"invalid UTF-8 after", "12\xFF", 12},
      {"embedded NUL ends the number", std::string("12\0" "34", 5), 12},
      {"NUL first", std::string("\0" "12", 3), 0},
      {"too large", "1e999", kInf},
      {"too large negative", "-1e999", -kInf},
      {"too small", "1e-999", 0},
      {"ten thousand digits", "1" + std::string(9999, '0'), kInf},
      {"ten thousand fraction zeros", "0." + std::string(10000, '0') + "1", 0},
      {"long digits that fit", std::string(300, '9'), 1e300},
      {"long fraction", "0." + std::string(5000, '3'), 1.0 / 3.0},
      {"huge exponent digits", "1e" + std::string(50, '9'), kInf},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const double got = ReadNumber(c.text);
    if (std::isinf(c.expected)) {
      EXPECT_EQ(got, c.expected);
    } else {
      EXPECT_DOUBLE_EQ(got, c.expected);
    }
  }
}

// Each text sits in a heap block of exactly its own length, with no NUL after
// it, so AddressSanitizer reports any read past its end.
TEST(ReadNumber, NeverReadsPastTheText) {
  const char* const texts[] = {"12", "1.", "-", "1e", "1e+", ".", "   ", "0.5", "7e-3"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    const std::size_t size = std::char_traits<char>::length(text);
    const auto exact = std::make_unique<char[]>(size);
    std::char_traits<char>::copy(exact.get(), text, size);
    const double got = ReadNumber(std::string_view(exact.get(), size));
    EXPECT_DOUBLE_EQ(got, ReadNumber(std::string(text)));
  }
  EXPECT_DOUBLE_EQ(ReadNumber(std::string_view("123456", 3)), 123);
}

}  // namespace
}  // namespace quorvane
