// Random box contents through the calculate button: every run either shows one
// message and leaves the result box as it was, or appends one well-formed
// block whose stakes lie between the start and end stations.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

constexpr int kRuns = 100'000;

class TextMaker {
 public:
  explicit TextMaker(std::uint64_t seed) : rng_(seed) {}

  std::string Make(InputBox box) {
    const int kind = Pick(100);
    std::string text;
    if (kind < 5) return text;                       // empty
    if (kind < 15) return Junk();                    // no number at all
    if (kind < 45) text = AnyNumber();               // every size and sign
    else text = Plausible(box);                      // what a surveyor types
    if (Pick(10) == 0) text = std::string(static_cast<std::size_t>(Pick(3)), ' ') + text;
    if (Pick(10) == 0) text += Junk();
    return text;
  }

  std::int16_t Turn() { return static_cast<std::int16_t>(Pick(3) - 1); }

 private:
  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }

  static std::string Format(double v) {
    std::array<char, 400> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), v);
    return std::string(buf.data(), r.ptr);
  }

  std::string Junk() {
    static constexpr std::string_view kPool[] = {"a", "-", "+", ".", "e", "E", " ", "\t", ",", "x", "0x",
                                                 "\xFF", "\xE4\xB8\xAD", "\xEF\xBC\x91", std::string_view("\0", 1),
                                                 "inf", "nan", "m", "--", "..", "1e999", "9"};
    std::string s;
    const int parts = 1 + Pick(4);
    for (int i = 0; i < parts; ++i) s += kPool[Pick(static_cast<int>(std::size(kPool)))];
    if (std::isdigit(static_cast<unsigned char>(s[0])) != 0) s.insert(0, "z");
    return s;
  }

  std::string AnyNumber() {
    const double magnitude = std::pow(10.0, Uniform(-330, 330)) * Uniform(1, 10);
    std::string s = Format(Pick(2) == 0 ? magnitude : -magnitude);
    if (Pick(20) == 0) s = std::string(Pick(2) == 0 ? "1" : "0.") + std::string(400, '7');
    return s;
  }

  std::string Plausible(InputBox box) {
    switch (box) {
      case InputBox::Xa: return Format(Uniform(-5e6, 5e6));
      case InputBox::Ya: return Format(Uniform(-1e6, 1e6));
      case InputBox::lb:
      case InputBox::le: return Format(std::round(Uniform(-200, 2000) * 1000) / 1000);
      case InputBox::Ra:
      case InputBox::Rb: return Pick(4) == 0 ? "0" : Format(std::round(Uniform(-3000, 3000)));
      case InputBox::a: return Format(std::round(Uniform(-400, 400) * 10000) / 10000);
      case InputBox::d: {
        static constexpr std::string_view kIntervals[] = {"5", "10", "20", "25", "50", "-10", "-20", "2.5", "12.5"};
        return std::string(kIntervals[Pick(static_cast<int>(std::size(kIntervals)))]);
      }
    }
    return {};
  }

  std::mt19937_64 rng_;
};

bool IsDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A plain decimal: optional '-', digits, optionally '.' and digits, no zero
// left at the end of the decimals. Returns its value.
bool ParsePlain(std::string_view s, double& value) {
  std::string_view body = s.starts_with('-') ? s.substr(1) : s;
  const std::size_t point = body.find('.');
  if (!IsDigits(body.substr(0, point))) return false;
  if (point != std::string_view::npos) {
    const std::string_view decimals = body.substr(point + 1);
    if (!IsDigits(decimals) || decimals.back() == '0') return false;
  }
  return std::from_chars(s.data(), s.data() + s.size(), value).ec == std::errc();
}

// A signed column: a blank for a value that is not negative, else '-'.
bool ParseSigned(std::string_view s, double& value) {
  if (s.starts_with(' ')) return ParsePlain(s.substr(1), value) && value >= 0;
  return s.starts_with('-') && ParsePlain(s, value) && value < 0;
}

// Checks one stake row; `previous` is the station before it.
std::string CheckStakeRow(std::string_view row, double d, double le, double slack, double& previous) {
  std::array<std::string_view, 4> cols;
  std::size_t start = 0;
  for (std::size_t c = 0; c < 3; ++c) {
    const std::size_t gap = row.find("    ", start);
    if (gap == std::string_view::npos) return "fewer than four columns";
    cols[c] = row.substr(start, gap - start);
    start = gap + 4;
  }
  cols[3] = row.substr(start);
  const std::size_t plus = cols[0].find('+');
  double km = 0, metres = 0, x = 0, y = 0, azimuth = 0;
  if (plus == std::string_view::npos || !ParsePlain(cols[0].substr(0, plus), km) ||
      !ParsePlain(cols[0].substr(plus + 1), metres) || km != std::floor(km) || metres < 0 || metres > 1000) {
    return "station is not kilometres + metres";
  }
  if (!ParseSigned(cols[1], x) || !ParseSigned(cols[2], y)) return "coordinate is not a signed number";
  if (!ParseSigned(cols[3], azimuth) || azimuth > 360) return "azimuth is not within 0..360";
  // Stations advance in the direction of the interval, after lb, up to le.
  const double station = km * 1000 + metres;
  const double scale = 1e-9 * std::max(1.0, std::fabs(station));
  const bool advances = d > 0 ? station > previous - scale : station < previous + scale;
  const bool within = d > 0 ? station <= le + slack + scale : station >= le - slack - scale;
  if (!advances) return "station does not advance";
  if (!within) return "station beyond the end station";
  previous = station;
  return {};
}

// Checks one appended block against the texts the run read; empty when sound.
std::string CheckBlock(std::string_view block, const FakeView& view) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = block.find("\r\n", start)) != std::string_view::npos; start = end + 2) {
    lines.push_back(block.substr(start, end - start));
  }
  if (start != block.size()) return "block does not end in CR LF";
  if (lines.size() < 4) return "fewer than four lines";
  if (lines[0] != "           逐桩坐标显示：") return "title";
  if (lines[1] != "桩号      X坐标           Y坐标         方位角(度.分秒)") return "header";
  const std::string& lb_text = view.texts[static_cast<std::size_t>(InputBox::lb)];
  const std::string& le_text = view.texts[static_cast<std::size_t>(InputBox::le)];
  const std::string& a_text = view.texts[static_cast<std::size_t>(InputBox::a)];
  if (!lines[2].starts_with(lb_text + "    ") || !lines[2].ends_with("    " + a_text)) return "start row";
  if (lines.back() != le_text) return "end line";

  const double lb = ReadNumber(lb_text);
  const double le = ReadNumber(le_text);
  const double d = ReadNumber(view.texts[static_cast<std::size_t>(InputBox::d)]);
  const double slack = 1e-9 * std::max({1.0, std::fabs(lb), std::fabs(le)});
  double previous = lb;
  for (std::size_t i = 3; i + 1 < lines.size(); ++i) {
    const std::string problem = CheckStakeRow(lines[i], d, le, slack, previous);
    if (!problem.empty()) return problem + ": " + std::string(lines[i]);
  }
  return {};
}

TEST(RandomInput, EveryRunShowsOneMessageOrAppendsOneBlock) {
  std::uint64_t seed = 20261206;
  if (const char* env = std::getenv("QUORVANE_RANDOM_SEED")) seed = std::strtoull(env, nullptr, 10);
  SCOPED_TRACE("seed " + std::to_string(seed));
  TextMaker maker(seed);
  int blocks = 0, stakes_rows = 0;
  for (int run = 0; run < kRuns; ++run) {
    FakeView view;
    for (std::size_t b = 0; b < view.texts.size(); ++b) view.texts[b] = maker.Make(static_cast<InputBox>(b));
    view.turn = maker.Turn();
    view.result = run % 2 == 0 ? "" : "earlier\r\n";
    const std::string before = view.result;

    ASSERT_NO_THROW(RunCalculation(view)) << "run " << run;
    if (!view.messages.empty()) {
      ASSERT_EQ(view.messages.size(), 1u) << "run " << run;
      ASSERT_EQ(view.result, before) << "run " << run;
      continue;
    }
    ASSERT_TRUE(view.result.starts_with(before)) << "run " << run;
    const std::string_view block = std::string_view(view.result).substr(before.size());
    if (const std::string problem = CheckBlock(block, view); !problem.empty()) {
      std::string boxes;
      for (const auto& t : view.texts) boxes += "[" + t + "] ";
      FAIL() << "run " << run << ", boxes " << boxes << "turn " << view.turn << ": " << problem;
    }
    ++blocks;
    stakes_rows += static_cast<int>(std::count(block.begin(), block.end(), '\n')) - 4;
  }
  // The generator must reach the report often enough for the run to mean something.
  EXPECT_GT(blocks, kRuns / 20);
  EXPECT_GT(stakes_rows, kRuns);
  std::printf("%d runs, %d blocks, %d stake rows\n", kRuns, blocks, stakes_rows);
}

}  // namespace
}  // namespace quorvane
