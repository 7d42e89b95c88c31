#pragma once

// The road the whole-line benchmarks stake: about 100 km of straights,
// spirals and arcs, with a rolling profile.

#include <vector>

#include "calc/line.h"
#include "calc/profile.h"

namespace quorvane::bench {

// Straight 300 m, spiral 100 m, arc R 600 m over 200 m, spiral 100 m, the
// turn changing side each time: 143 times 700 m, about 100 km.
inline Line HundredKilometres() {
  std::vector<ElementSpec> elements;
  for (int i = 0; i < 143; ++i) {
    const int turn = i % 2 == 0 ? 1 : -1;
    elements.push_back({.type = ElementType::Straight, .length_m = 300});
    elements.push_back({.type = ElementType::Spiral, .length_m = 100, .endRadius_m = 600, .turn = turn});
    elements.push_back(
        {.type = ElementType::Arc, .length_m = 200, .startRadius_m = 600, .endRadius_m = 600, .turn = turn});
    elements.push_back({.type = ElementType::Spiral, .length_m = 100, .startRadius_m = 600, .turn = turn});
  }
  return Line({.X_m = 3000000, .Y_m = 500000, .azimuth_rad = 0.7, .station_m = 0}, std::move(elements));
}

// A point every 500 m, grades +2 % and -2 % in turn, vertical curves of
// R = 10000 m (400 m long) at every interior point.
inline Profile RollingProfile(const Line& line) {
  std::vector<GradePoint> points;
  const int last = static_cast<int>(line.Length_m() / 500);
  for (int i = 0; i <= last; ++i) {
    const bool interior = i > 0 && i < last;
    points.push_back(
        {.station_m = i * 500.0, .elevation_m = i % 2 == 0 ? 100.0 : 110.0, .radius_m = interior ? 10000.0 : 0});
  }
  return Profile(line, std::move(points));
}

}  // namespace quorvane::bench
