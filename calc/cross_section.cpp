#include "calc/cross_section.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <utility>

#include "calc/calculation_error.h"
#include "calc/curve_input.h"
#include "calc/messages.h"

namespace quorvane {

namespace {

bool IsUsable(double v) { return std::fabs(v) < kMaxCoordinate_m; }  // false for NaN too

// The row's name in messages: its line, or its place among the rows.
std::size_t RowLine(const CrossSectionRow& row, std::size_t index) { return row.line != 0 ? row.line : index + 1; }

[[noreturn]] void Refuse(const CrossSectionRow& row, std::size_t index, const char* text) {
  throw CalculationError(CrossSectionRowMessage(RowLine(row, index), text));
}

// A station as a stake list writes it, to the millimetre: K1+234.567.
std::string ChainageText(double station_m) {
  const double mm = std::round(std::fabs(station_m) * 1000);
  const auto whole = static_cast<std::uint64_t>(mm);
  const std::uint64_t km = whole / 1000000;
  const std::uint64_t metres = whole % 1000000;
  char digits[32];
  std::string text = station_m < 0 && whole != 0 ? "-K" : "K";
  text.append(digits, std::to_chars(digits, digits + sizeof digits, km).ptr);
  text += '+';
  char frac[8];
  const auto [end, ec] = std::to_chars(frac, frac + sizeof frac, metres);
  const std::string m(frac, end);
  const std::string padded = std::string(6 - m.size(), '0') + m;  // mmmmmm: metres and millimetres
  text += padded.substr(0, 3) + '.' + padded.substr(3);
  return text;
}

// The share k (0..1) of a stretch's higher-order width transition.
double HigherOrder(double k) { return k * k * k * (4 - 3 * k); }

}  // namespace

CrossSection::CrossSection(const Line& line, std::vector<CrossSectionRow> rows) : rows_(std::move(rows)) {
  if (rows_.empty()) throw CalculationError(kCrossSectionEmptyPrompt);
  distances_m_.resize(rows_.size());
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    const CrossSectionRow& r = rows_[i];
    if (!(IsUsable(r.station_m) && IsUsable(r.leftWidth_m) && IsUsable(r.rightWidth_m) &&
          IsUsable(r.leftSlope_percent) && IsUsable(r.rightSlope_percent))) {
      Refuse(r, i, kCrossSectionNotANumberText);
    }
    if (r.leftWidth_m < 0 || r.rightWidth_m < 0) Refuse(r, i, kCrossSectionNegativeWidthText);
    try {
      distances_m_[i] = line.DistanceAt(r.station_m);
    } catch (const CalculationError& e) {
      throw CalculationError(CrossSectionRowMessage(RowLine(r, i), e.what()));
    }
    if (i > 0 && !(distances_m_[i] > distances_m_[i - 1])) Refuse(r, i, kCrossSectionOrderText);
  }
  CheckInsideEdges(line);
}

// Stretch s lies between row s - 1 and row s; stretch 0 before the first
// row, stretch n after the last.
SectionAt CrossSection::Between(std::size_t stretch, double d) const {
  const std::size_t n = rows_.size();
  const auto hold = [](const CrossSectionRow& r) {
    return SectionAt{r.leftWidth_m, r.rightWidth_m, r.leftSlope_percent, r.rightSlope_percent};
  };
  if (stretch == 0) return hold(rows_.front());
  if (stretch >= n) return hold(rows_.back());
  const CrossSectionRow& a = rows_[stretch - 1];
  const CrossSectionRow& b = rows_[stretch];
  const double d0 = distances_m_[stretch - 1];
  const double k = std::clamp((d - d0) / (distances_m_[stretch] - d0), 0.0, 1.0);
  const double kw = b.transition == WidthTransition::HigherOrder ? HigherOrder(k) : k;
  return {a.leftWidth_m + (b.leftWidth_m - a.leftWidth_m) * kw, a.rightWidth_m + (b.rightWidth_m - a.rightWidth_m) * kw,
          a.leftSlope_percent + (b.leftSlope_percent - a.leftSlope_percent) * k,
          a.rightSlope_percent + (b.rightSlope_percent - a.rightSlope_percent) * k};
}

SectionAt CrossSection::At(double distance_m) const {
  std::size_t cursor = 0;
  return At(distance_m, cursor);
}

SectionAt CrossSection::At(double distance_m, std::size_t& cursor) const {
  if (std::isnan(distance_m)) return Between(0, distance_m);
  const std::size_t n = rows_.size();
  const auto holds = [&](std::size_t s) {
    return s <= n && (s == 0 || distance_m >= distances_m_[s - 1]) && (s == n || distance_m < distances_m_[s]);
  };
  if (!holds(cursor)) {
    if (holds(cursor + 1)) {
      ++cursor;
    } else {
      cursor = std::upper_bound(distances_m_.begin(), distances_m_.end(), distance_m) - distances_m_.begin();
    }
  }
  return Between(cursor, distance_m);
}

double CrossSection::RiseAt(double distance_m, double offset_m) const {
  if (!std::isfinite(offset_m)) throw CalculationError(kCrossSlopeNotANumberPrompt);
  return At(distance_m).RiseAt(offset_m);
}

// On each curved element, between the rows that fall on it, the inside width
// times the curvature is a polynomial of low degree: the width is monotonic
// over a stretch (linearly or by the higher-order law) and the curvature's
// size linear in the distance. Its largest value on each piece is found by
// sampling and then narrowing in on the best sample by golden sections; the
// edge reaches the centre where it comes to 1.
void CrossSection::CheckInsideEdges(const Line& line) const {
  constexpr int kSamples = 16;
  constexpr int kNarrowings = 60;
  double worst = 0;
  double worstAt = 0;
  bool worstLeft = false;
  std::size_t cursor = 0;
  for (const LineElement& e : line.Elements()) {
    const ElementSpec& design = e.design;
    if (design.type == ElementType::Straight) continue;
    const double k0 = std::isinf(design.startRadius_m) ? 0 : 1 / design.startRadius_m;
    const double k1 = design.type == ElementType::Arc  ? k0
                      : std::isinf(design.endRadius_m) ? 0
                                                       : 1 / design.endRadius_m;
    const bool left = design.turn < 0;
    const double start = e.startDistance_m;
    const double end = start + design.length_m;
    const auto ratio = [&](double d) {
      const SectionAt s = At(d, cursor);
      const double curvature = k0 + (k1 - k0) * std::clamp((d - start) / design.length_m, 0.0, 1.0);
      return (left ? s.leftWidth_m : s.rightWidth_m) * curvature;
    };
    // The pieces: the element cut at the rows inside it.
    double a = start;
    auto row = std::upper_bound(distances_m_.begin(), distances_m_.end(), start);
    while (a < end) {
      const double b = row != distances_m_.end() && *row < end ? *row++ : end;
      double bestAt = a;
      double best = ratio(a);
      const double step = (b - a) / kSamples;
      for (int j = 1; j <= kSamples; ++j) {
        const double d = j == kSamples ? b : a + j * step;
        const double r = ratio(d);
        if (r > best) best = r, bestAt = d;
      }
      // Narrow in between the best sample's neighbours.
      double lo = std::max(a, bestAt - step);
      double hi = std::min(b, bestAt + step);
      constexpr double kGolden = 0.6180339887498949;
      double x1 = hi - kGolden * (hi - lo);
      double x2 = lo + kGolden * (hi - lo);
      double f1 = ratio(x1);
      double f2 = ratio(x2);
      for (int j = 0; j < kNarrowings && hi - lo > 1e-9; ++j) {
        if (f1 < f2) {
          lo = x1, x1 = x2, f1 = f2, x2 = lo + kGolden * (hi - lo), f2 = ratio(x2);
        } else {
          hi = x2, x2 = x1, f2 = f1, x1 = hi - kGolden * (hi - lo), f1 = ratio(x1);
        }
      }
      if (f1 > best) best = f1, bestAt = x1;
      if (f2 > best) best = f2, bestAt = x2;
      if (best > worst) worst = best, worstAt = bestAt, worstLeft = left;
      a = b;
    }
  }
  // A width equal to the radius, to the rounding of the two, reaches the centre.
  if (worst >= 1 - 1e-12) {
    throw CalculationError(CrossSectionReachesCentreMessage(ChainageText(line.StationAt(worstAt)), worstLeft));
  }
}

}  // namespace quorvane
