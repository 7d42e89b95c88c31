// Random boxes through the calculate button. Typed as surveyors type them, the
// printed stations are exactly the multiples of the interval after the start
// station and up to the end station. Typed as anything at all, every run shows
// one message and leaves the result box alone, or appends one block whose
// every number reads back (with ReadNumber) as the value it stands for.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "calc/read_number.h"
#include "command/run_calculation.h"
#include "fake_view.h"

namespace quorvane {
namespace {

using testing::FakeView;
using Millimetres = long long;

std::vector<std::string_view> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string_view> parts;
  for (std::size_t end; (end = text.find(separator)) != std::string_view::npos; text.remove_prefix(end + separator.size())) {
    parts.push_back(text.substr(0, end));
  }
  parts.push_back(text);
  return parts;
}

// Checks an appended block against the run: the echoed texts, and every
// printed number read back to its printed precision. Returns the printed
// stations, read back.
std::vector<double> CheckBlock(std::string_view block, const FakeView& view, const Calculation& done) {
  const std::vector<std::string_view> lines = Split(block, "\r\n");  // the last one is empty
  const auto text = [&view](InputBox box) { return view.texts[static_cast<std::size_t>(box)]; };
  EXPECT_TRUE(lines[2].starts_with(text(InputBox::lb) + "    ") && lines[2].ends_with("    " + text(InputBox::a)));
  EXPECT_EQ(lines[lines.size() - 2], text(InputBox::le));
  std::vector<double> stations;
  for (std::size_t i = 0; i + 5 < lines.size(); ++i) {
    std::vector<std::string_view> numbers = Split(lines[3 + i], "    ");  // station, X, Y, azimuth
    if (numbers.size() == 4) numbers.push_back(numbers[0].substr(numbers[0].find('+') + 1));  // its metres
    numbers[0] = numbers[0].substr(0, numbers[0].find('+'));                                 // its kilometres
    EXPECT_EQ(numbers.size(), 5u) << lines[3 + i];
    for (const std::string_view n : numbers) EXPECT_TRUE(!n.empty() && n.back() != ' ' && IsWholeNumber(n)) << n;
    if (numbers.size() != 5 || i >= static_cast<std::size_t>(done.stakes.n)) break;
    const double km = ReadNumber(numbers[0]), metres = ReadNumber(numbers[4]), azimuth = ReadNumber(numbers[3]);
    EXPECT_TRUE(km == std::floor(km) && metres >= 0 && metres < 1000) << lines[3 + i];
    EXPECT_NEAR(km * 1000 + metres, done.stakes.stakeStation[i], 1e-14 * std::fabs(km * 1000) + 1e-12);
    EXPECT_NEAR(ReadNumber(numbers[1]), done.stakes.stakeX[i], 5e-4 + 1e-12 * std::fabs(done.stakes.stakeX[i]));
    EXPECT_NEAR(ReadNumber(numbers[2]), done.stakes.stakeY[i], 5e-4 + 1e-12 * std::fabs(done.stakes.stakeY[i]));
    EXPECT_TRUE(azimuth >= 0 && azimuth <= 360 && std::fabs(azimuth - done.stakes.stakeAzimuth[i]) < 1e-12);
    stations.push_back(km * 1000 + metres);
  }
  EXPECT_EQ(stations.size(), static_cast<std::size_t>(done.stakes.n));
  return stations;
}

std::mt19937_64 Generator() {
  const char* seed = std::getenv("QUORVANE_RANDOM_SEED");
  std::printf("seed %s (QUORVANE_RANDOM_SEED)\n", seed != nullptr ? seed : "20261207");
  return std::mt19937_64(seed != nullptr ? std::strtoull(seed, nullptr, 10) : 20261207);
}

long long Pick(std::mt19937_64& rng, long long lo, long long hi) {
  return std::uniform_int_distribution<long long>(lo, hi)(rng);
}

// Millimetres as a surveyor types metres: "-1234.5", "63000", "0.007".
std::string Typed(Millimetres mm) {
  std::string text = (mm < 0 ? "-" : "") + std::to_string(std::llabs(mm) / 1000);
  if (std::llabs(mm) % 1000 != 0) text += "." + std::to_string(1000 + std::llabs(mm) % 1000).substr(1);
  while (text.find('.') != std::string::npos && text.back() == '0') text.pop_back();
  return text;
}

// Any text at all (empty, junk, numbers of every size, plausible values, with
// a blank before or junk after), or only plausible values.
std::string AnyText(std::mt19937_64& rng, InputBox box, bool plausible) {
  static constexpr std::string_view kJunk[] = {"a", "-", "+", ".", "e", " ", "\t", ",", "0x", "\xFF", "中",
                                               "１", "。", std::string_view("\0", 1), "inf", "nan", "1e999", "9"};
  const auto junk = [&rng] { return std::string(kJunk[Pick(rng, 0, std::size(kJunk) - 1)]); };
  const long long kind = plausible ? 9 : Pick(rng, 0, 9);
  std::string text;
  if (kind < 2) return junk() + junk();
  if (kind < 5) text = std::to_string(std::pow(10.0, Pick(rng, -330, 330)) * Pick(rng, -9, 9));
  else if (box == InputBox::a) text = std::to_string(Pick(rng, -400, 400) + Pick(rng, 0, 5959) / 10000.0);
  else if (box == InputBox::d) text = Typed(Pick(rng, -50000, 50000));
  else text = Typed(Pick(rng, -3'000'000, 3'000'000) * (box == InputBox::Xa || box == InputBox::Ya ? 1000 : 1));
  if (!plausible && Pick(rng, 0, 9) == 0) text = " " + text;
  if (!plausible && Pick(rng, 0, 9) == 0) text += junk();
  return text;
}

TEST(RandomInput, EveryRunShowsOneMessageOrAppendsOneReadableBlock) {
  std::mt19937_64 rng = Generator();
  int blocks = 0;
  for (int run = 0; run < 6000 && !HasFailure(); ++run) {
    const bool typed = run % 3 == 0;  // a curve as a surveyor types it
    FakeView view;
    for (std::size_t b = 0; b < view.texts.size(); ++b) view.texts[b] = AnyText(rng, InputBox(b), typed);
    view.turn = static_cast<std::int16_t>(Pick(rng, -1, 1));
    view.result = "earlier\r\n";
    const Millimetres common[] = {5000, 10000, 20000, 25000, 50000, 1400, 4100, 1100, 10};
    Millimetres d = run % 2 == 0 ? common[Pick(rng, 0, 8)] : Pick(rng, 1, 100000);
    if (Pick(rng, 0, 4) == 0) d = -d;
    Millimetres lb = Pick(rng, -10'000'000'000, 10'000'000'000);  // up to 10,000 km
    if (Pick(rng, 0, 1) == 0) lb = lb / d * d + Pick(rng, -1, 1);     // on or 1 mm beside a multiple
    Millimetres le = lb + (d > 0 ? 1 : -1) * (Pick(rng, 0, 100) * std::llabs(d) + Pick(rng, -1, 1));
    if ((le - lb) * d < 0) le = lb;
    if (typed) {
      view.Text(InputBox::lb) = Typed(lb);
      view.Text(InputBox::le) = Typed(le);
      view.Text(InputBox::d) = Typed(d);
    }
    std::string boxes;
    for (const std::string& t : view.texts) boxes += "[" + t + "]";
    SCOPED_TRACE(boxes);
    std::optional<Calculation> done;
    ASSERT_NO_THROW(done = RunCalculation(view));
    ASSERT_EQ(view.messages.size(), done ? 0u : 1u);
    ASSERT_TRUE(done ? view.result.starts_with("earlier\r\n") : view.result == "earlier\r\n");
    ASSERT_TRUE(done || !typed);
    if (!done) continue;
    ++blocks;
    const std::vector<double> stations = CheckBlock(std::string_view(view.result).substr(9), view, *done);
    if (!typed) continue;
    // Read back to the millimetre, the stations are lb < k*d <= le in the
    // direction of d, one interval apart, with none left out at either end.
    std::vector<Millimetres> printed;
    for (const double s : stations) printed.push_back(std::llround(s * 1000));
    const auto after = [d](Millimetres s, Millimetres from) { return d > 0 ? s > from : s < from; };
    const auto modulo = [](Millimetres a, Millimetres b) { return (a % b + b) % b; };  // b > 0
    const Millimetres last = d > 0 ? le - modulo(le, d) : le + modulo(-le, -d);       // the last multiple not after le
    if (printed.empty()) {
      EXPECT_FALSE(after(last, lb));
      continue;
    }
    EXPECT_TRUE(printed.front() % d == 0 && after(printed.front(), lb) && !after(printed.front() - d, lb));
    EXPECT_EQ(printed.back(), last);
    for (std::size_t i = 1; i < printed.size(); ++i) ASSERT_EQ(printed[i] - printed[i - 1], d);
  }
  EXPECT_GT(blocks, 2500);  // the texts reach the report often enough to mean something
}

}  // namespace
}  // namespace quorvane
