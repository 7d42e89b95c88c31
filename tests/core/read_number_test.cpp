// Reading the input boxes: any bytes in, a number (or 0) out, never a crash.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "calc/read_number.h"

namespace quorvane {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ReadNumber, FollowsTheInputContract) {
  const struct {
    const char* name;
    std::string text;
    double expected;
    bool whole;  // IsWholeNumber: nothing but the number and blanks
  } cases[] = {
      {"empty", "", 0, true},
      {"blanks only", " \t ", 0, true},
      {"plain", "4040964.994", 4040964.994, true},
      {"negative", "-12.5", -12.5, true},
      {"blanks around", "  \t\r\n180.108 ", 180.108, true},
      {"leading plus", "+7", 7, true},
      {"bare trailing point", "5.", 5, true},
      {"junk after the number", "10m", 10, false},
      {"a comma is not a decimal point", "10,5", 10, false},
      {"exponent", "1e5", 100000, true},
      {"negative exponent", "1E-2", 0.01, true},
      {"incomplete exponent is junk", "1e", 1, false},
      {"blank between sign and digits", "- 5", 0, false},
      {"sign alone", "-", 0, false},
      {"infinity is not a number here", "inf", 0, false},
      {"full-width digits and full stop (U+FF10..19, U+FF0E)", "１8０．１０8", 180.108, true},
      {"ideographic full stop as the point (U+3002)", "１５。５", 15.5, true},
      {"full-width minus (U+FF0D)", "－１５", -15, true},
      {"full-width plus (U+FF0B)", "＋９", 9, true},
      {"ideographic spaces (U+3000) around", "\u3000１０\u3000", 10, true},
      {"ideographic space ends the number", "1\u30005", 1, false},
      {"full-width junk after the number", "１－ｍ", 1, false},
      {"a full-width character cut short", "\xEF\xBC", 0, false},
      {"invalid UTF-8 first", "\xFF" "12", 0, false},
      {"embedded NUL ends the number", std::string("12\0" "34", 5), 12, false},
      {"too large", "1e999", kInf, true},
      {"too large negative, capital E", "-1E999", -kInf, true},
      {"too large with a signed exponent", "1e+999", kInf, true},
      {"too large though its fraction is long", "0.1" + std::string(400, '0') + "e400", kInf, true},
      {"too large by its fraction digits' exponent", "0.001e312", kInf, true},
      {"too small", "1e-999", 0, true},
      {"too small though its exponent is large", "0." + std::string(1000, '0') + "1e500", 0, true},
      {"ten thousand digits", "1" + std::string(9999, '0'), kInf, true},
      {"huge exponent digits", "1e" + std::string(50, '9'), kInf, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const double got = ReadNumber(c.text);
    if (std::isinf(c.expected)) {
      EXPECT_EQ(got, c.expected);
    } else {
      EXPECT_DOUBLE_EQ(got, c.expected);
    }
    EXPECT_EQ(IsWholeNumber(c.text), c.whole);
    // ReadWholeNumber: the number of a whole text, nothing for blanks only.
    const std::optional<double> whole = ReadWholeNumber(c.text);
    EXPECT_EQ(whole.has_value(), c.whole && !IsBlankText(c.text));
    if (whole) {
      EXPECT_EQ(*whole, got);
    }
  }
}

// Stations as a surveyor types them: chainage notation reads as the exact
// decimal of km x 1000 + m; anything else reads as ReadNumber reads it.
TEST(ReadStation, ChainageNotationIsTheDecimalTyped) {
  const struct {
    const char* name;
    std::string text;
    const char* same_as;  // the plain text that must give the same double
    bool whole;
  } cases[] = {
      {"K and three decimals", "K0+180.108", "180.108", true},
      {"no prefix", "0+180.108", "180.108", true},
      {"whole kilometre", "K1+000", "1000", true},
      {"two-letter prefix", "ZK12+345.6", "12345.6", true},
      {"lower case, three letters", "ayk3+5", "3005", true},
      {"the report's own form of -15", "-1+985", "-15", true},
      {"negative with a fraction", "-1+985.5", "-14.5", true},
      {"a millimetre short of a multiple at 1234 km", "K1234+499.999", "1234499.999", true},
      {"full-width throughout", "Ｋ０＋１８０．１０８", "180.108", true},
      {"full-width lower-case prefix, ideographic point", "ｄｋ１＋５。２５", "1005.25", true},
      {"blanks around", " \u3000K2+1.5 ", "2001.5", true},
      {"junk after the metres is read past", "K0+180.108m", "180.108", false},
      {"plain number", "180.108", "180.108", true},
      {"four letters are not a prefix", "ABCK1+000", "0", false},
      {"a plus with no metres", "K1+", "0", false},
      {"no kilometres", "K+100", "0", false},
      {"metres past a thousand still add", "K1+1500", "2500", true},
      {"a long fraction stays exact", "K0+0.1000000000000000055511151231257827", "0.1", true},
      {"kilometres and a fraction too long for one integer", "K1+000.000000000000000000000000000000000001", "1000",
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadStation(c.text), ReadNumber(c.same_as));
    EXPECT_EQ(IsWholeStation(c.text), c.whole);
  }
  // Notation the plain reader still refuses: a box of numbers is not a station box.
  EXPECT_FALSE(IsWholeNumber("K0+180.108"));
}

// Each text sits in a heap block of exactly its own length, with no NUL after
// it, so AddressSanitizer reports any read past its end.
TEST(ReadNumber, NeverReadsPastTheText) {
  const char* const texts[] = {"12", "1.", "-", "1e", "1e+", ".", "   ", "7e-3", "\xEF\xBC", "１．", "K1+", "K1+5.", "ＫＫ"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    const std::size_t size = std::char_traits<char>::length(text);
    const auto exact = std::make_unique<char[]>(size);
    std::char_traits<char>::copy(exact.get(), text, size);
    EXPECT_DOUBLE_EQ(ReadNumber(std::string_view(exact.get(), size)), ReadNumber(std::string(text)));
    EXPECT_DOUBLE_EQ(ReadStation(std::string_view(exact.get(), size)), ReadStation(std::string(text)));
  }
  EXPECT_DOUBLE_EQ(ReadNumber(std::string_view("123456", 3)), 123);
}

}  // namespace
}  // namespace quorvane
