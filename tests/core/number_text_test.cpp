// The report's number-to-text rules, exact strings, ties included; run once in
// the C locale and once under a comma-decimal locale, as a Qt program sets it.
#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <string>

#include "calc/read_number.h"
#include "report/number_text.h"

namespace quorvane {
namespace {

struct TextCase {
  const char* name;
  double value;
  const char* expected;
};

const TextCase kFixed3[] = {
    {"three decimals kept", 4040964.994, "4040964.994"},
    {"zeros padded", -12.5, "-12.500"},
    {"whole number", 1500, "1500.000"},
    {"rounded up", 4040974.4096, "4040974.410"},
    {"rounded down", 195604.18766, "195604.188"},
    {"tie rounds away from zero though stored below", 2.6755, "2.676"},
    {"negative tie rounds away from zero", -2.6755, "-2.676"},
    {"tie at 1.0005", 1.0005, "1.001"},
    {"carry through the nines", 999.9995, "1000.000"},
    {"zero before the point", 0.25, "0.250"},
    {"smallest that rounds up", 0.0005, "0.001"},
    {"negative smallest that rounds up", -0.0005, "-0.001"},
    {"small negative is not -0.000", -0.0004, "0.000"},
    {"negative zero", -0.0, "0.000"},
    {"zero", 0.0, "0.000"},
    {"far below a thousandth", 1e-300, "0.000"},
    {"beyond 15 digits, no exponent", 1e20, "100000000000000000000.000"},
    {"15 significant digits only", 12345678901234.567, "12345678901234.600"},
};

const TextCase kGeneral[] = {
    {"plain", 17.3415, "17.3415"},
    {"sum that is not exact", 0.13 + 18 + 0.0044, "18.1344"},
    {"0.1 + 0.2", 0.1 + 0.2, "0.3"},
    {"zeros at the end dropped", 18.10, "18.1"},
    {"bare point dropped", 360.0, "360"},
    {"zero before the point", 0.5426, "0.5426"},
    {"negative below one", -0.5, "-0.5"},
    {"small, no exponent", 1e-5, "0.00001"},
    {"large, no exponent", 1e20, "100000000000000000000"},
    {"rounded to 15 significant digits", 123456789012345678.0, "123456789012346000"},
    {"fraction rounded to 15 significant digits", 2.0 / 3.0, "0.666666666666667"},
    {"negative", -1234.5, "-1234.5"},
    {"zero", 0.0, "0"},
    {"negative zero", -0.0, "0"},
};

const TextCase kSigned[] = {
    {"blank for a positive value", 18.1344, " 18.1344"},
    {"whole degrees", 17, " 17"},
    {"a full turn", 360, " 360"},
    {"18 10 00 loses its zeros", 18.1, " 18.1"},
    {"18 05 30 loses its zero", 18.053, " 18.053"},
    {"below a degree", 0.5426, " 0.5426"},
    {"negative has its sign", -12.5, "-12.5"},
    {"zero", 0.0, " 0"},
    {"negative zero", -0.0, " 0"},
};

const TextCase kSignedFixed3[] = {
    {"decimal zero dropped", 4040974.4096, " 4040974.41"},
    {"two zeros dropped", 195607.41007, " 195607.41"},
    {"all three kept", 4040983.87597, " 4040983.876"},
    {"whole metres", 1500.0001, " 1500"},
    {"negative", -12.5, "-12.5"},
    {"tiny negative prints as zero", -0.0001, " 0"},
};

const TextCase kStation[] = {
    {"below a kilometre", 190, "0+190"},
    {"metres not padded", 1005, "1+5"},
    {"whole kilometres", 2000, "2+0"},
    {"decimal metres", 195.5, "0+195.5"},
    {"negative station", -10, "-1+990"},
    {"noise of k*d removed", 4 * 0.1, "0+0.4"},
    {"below a metre", 0.5, "0+0.5"},
    {"far along", 123456.789, "123+456.789"},
    {"far along on a decimal interval", 1234567 * 0.1, "123+456.7"},
    {"fraction of a metre far along", 98765.4321, "98+765.4321"},
    {"zero", 0.0, "0+0"},
    {"negative zero", -0.0, "0+0"},
};

void Check(const char* rule, const TextCase* begin, const TextCase* end, std::string (*format)(double)) {
  for (const TextCase* c = begin; c != end; ++c) {
    SCOPED_TRACE(std::string(rule) + ": " + c->name);
    EXPECT_EQ(format(c->value), c->expected);
  }
}

class NumberTextInLocale : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    saved_ = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, GetParam()), nullptr)
        << GetParam() << " is not installed; scripts/setup-deps.sh generates it";
    std::locale::global(std::locale(GetParam()));
  }
  void TearDown() override {
    std::setlocale(LC_ALL, saved_.c_str());
    std::locale::global(std::locale::classic());
  }

 private:
  std::string saved_;
};

TEST_P(NumberTextInLocale, Fixed3) { Check("Fixed3", std::begin(kFixed3), std::end(kFixed3), Fixed3); }
TEST_P(NumberTextInLocale, General) { Check("General", std::begin(kGeneral), std::end(kGeneral), General); }
TEST_P(NumberTextInLocale, Signed) { Check("Signed", std::begin(kSigned), std::end(kSigned), Signed); }
TEST_P(NumberTextInLocale, SignedFixed3) {
  Check("SignedFixed3", std::begin(kSignedFixed3), std::end(kSignedFixed3), SignedFixed3);
}
TEST_P(NumberTextInLocale, Station) { Check("Station", std::begin(kStation), std::end(kStation), Station); }

TEST_P(NumberTextInLocale, ReadNumberKeepsThePoint) {
  EXPECT_DOUBLE_EQ(ReadNumber("4040964.994"), 4040964.994);
  EXPECT_DOUBLE_EQ(ReadNumber("10,5"), 10);
}

INSTANTIATE_TEST_SUITE_P(Locales, NumberTextInLocale, ::testing::Values("C", "de_DE.UTF-8"),
                         [](const auto& info) { return std::string(info.index == 0 ? "C" : "German"); });

}  // namespace
}  // namespace quorvane
