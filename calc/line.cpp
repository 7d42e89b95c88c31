#include "calc/line.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

#include "calc/calculation_error.h"
#include "calc/line_geometry.h"
#include "calc/messages.h"
#include "calc/stakes.h"

namespace quorvane {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
// More than this many turns in one element is no road.
constexpr double kMaxElementTurn_rad = 100 * kTwoPi;
// Two stakes or key points closer than this along the line are one.
constexpr double kSamePoint_m = 1e-6;

double ReduceAzimuth(double azimuth) {
  double a = std::fmod(azimuth, kTwoPi);
  if (a < 0) a += kTwoPi;
  if (a >= kTwoPi) a = 0;
  return a;
}

bool IsRadius(double r) { return r > 0 && !std::isnan(r); }  // infinity allowed

void CheckElement(const ElementSpec& e, std::size_t i) {
  if (!std::isfinite(e.length_m) || !(e.length_m > 0) || e.length_m >= kMaxCoordinate_m)
    throw CalculationError(ElementMessage(i, kElementLengthText), {RowKind::Element, i});
  if (!IsRadius(e.startRadius_m) || !IsRadius(e.endRadius_m))
    throw CalculationError(ElementMessage(i, kElementRadiusText), {RowKind::Element, i});
  switch (e.type) {
    case ElementType::Straight:
      if (!std::isinf(e.startRadius_m) || !std::isinf(e.endRadius_m) || e.turn != 0)
        throw CalculationError(ElementMessage(i, kStraightShapeText), {RowKind::Element, i});
      return;
    case ElementType::Arc:
      if (std::isinf(e.startRadius_m) || e.startRadius_m != e.endRadius_m)
        throw CalculationError(ElementMessage(i, kArcShapeText), {RowKind::Element, i});
      break;
    case ElementType::Spiral:
      if (e.startRadius_m == e.endRadius_m)
        throw CalculationError(ElementMessage(i, kSpiralShapeText), {RowKind::Element, i});
      break;
    default:
      throw CalculationError(ElementMessage(i, kStraightShapeText), {RowKind::Element, i});
  }
  if (e.turn != -1 && e.turn != 1) throw CalculationError(ElementMessage(i, kElementTurnText), {RowKind::Element, i});
  const double turn =
      0.5 * e.length_m * (SignedCurvature(e.startRadius_m, e.turn) + SignedCurvature(e.endRadius_m, e.turn));
  if (!(std::abs(turn) <= kMaxElementTurn_rad))
    throw CalculationError(ElementMessage(i, kElementTurnsTooMuchText), {RowKind::Element, i});
}

// Code of the joint between two elements.
const char* JointCode(const ElementSpec& before, const ElementSpec& after) {
  using enum ElementType;
  const bool eggBefore = before.type == Spiral && !std::isinf(before.startRadius_m);
  const bool eggAfter = after.type == Spiral && !std::isinf(after.endRadius_m);
  if (before.type == Straight) {
    if (after.type == Spiral) return kCodeZH;
    if (after.type == Arc) return kCodeZY;
    return kCodeGQ;
  }
  if (after.type == Straight) return before.type == Spiral ? kCodeHZ : kCodeYZ;
  if (before.type == Spiral && after.type == Arc) return eggBefore ? kCodeGQ : kCodeHY;
  if (before.type == Arc && after.type == Spiral) return eggAfter ? kCodeGQ : kCodeYH;
  return kCodeGQ;
}

// True where the line between two elements is straight or the turn changes
// side: the end of one curve run and the start of the next.
bool EndsCurveRun(const ElementSpec& before, const ElementSpec& after) {
  return before.type == ElementType::Straight || after.type == ElementType::Straight ||
         std::isinf(before.endRadius_m) || std::isinf(after.startRadius_m) || before.turn != after.turn;
}

}  // namespace

Line::Line(LineStart start, std::vector<ElementSpec> elements, std::vector<ChainageEquation> equations)
    : start_(start), equations_(std::move(equations)) {
  if (!std::isfinite(start_.azimuth_rad) || std::abs(start_.azimuth_rad) > 1e6)
    throw CalculationError(kLineStartNotFinitePrompt);
  for (double v : {start_.X_m, start_.Y_m, start_.station_m})
    if (!std::isfinite(v) || std::abs(v) >= kMaxCoordinate_m) throw CalculationError(kLineStartNotFinitePrompt);
  if (elements.empty()) throw CalculationError(kLineNoElementsPrompt);

  auto geometry = std::make_shared<LineGeometry>();
  geometry->elements.reserve(elements.size());
  geometry->shapes.reserve(elements.size());
  double X = start_.X_m, Y = start_.Y_m, azimuth = ReduceAzimuth(start_.azimuth_rad), distance = 0;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const ElementSpec& e = elements[i];
    CheckElement(e, i);
    const double k0 = SignedCurvature(e.startRadius_m, e.turn), k1 = SignedCurvature(e.endRadius_m, e.turn);
    ElementShape shape{k0, 0.0, 0, 1};
    if (e.type == ElementType::Spiral) {
      // The spiral's panels summed once; their starts go to the one array.
      shape.dk = k1 - k0;
      Spiral spiral({azimuth, k0, shape.dk, e.length_m, 1.0}, kExactPolicy,
                    static_cast<std::int64_t>(SpiralPanelCount(k0, k1, e.length_m, kExactPolicy)));
      if (geometry->nodes.size() + static_cast<std::size_t>(spiral.Panels()) >=
          std::numeric_limits<std::uint32_t>::max())
        throw CalculationError(kLineTooLongPrompt);
      shape.node = static_cast<std::uint32_t>(geometry->nodes.size());
      shape.panels = static_cast<std::uint32_t>(spiral.Panels());
      spiral.AppendNodes(geometry->nodes);
    }
    geometry->shapes.push_back(shape);
    geometry->elements.push_back({e, distance, {X, Y, azimuth}, {}});
    LinePoint end = geometry->Curve(i).At(e.length_m);
    end.azimuth_rad = ReduceAzimuth(end.azimuth_rad);
    geometry->elements.back().end = end;
    X = end.X_m;
    Y = end.Y_m;
    azimuth = end.azimuth_rad;
    distance += e.length_m;
    if (!(std::abs(X) < kMaxCoordinate_m && std::abs(Y) < kMaxCoordinate_m && distance < kMaxCoordinate_m))
      throw CalculationError(kLineTooLongPrompt);
  }
  geometry->nodes.shrink_to_fit();
  length_m_ = distance;

  partDistance_m_.push_back(0);
  partStation_m_.push_back(start_.station_m);
  for (std::size_t i = 0; i < equations_.size(); ++i) {
    const ChainageEquation& q = equations_[i];
    if (!std::isfinite(q.stationBack_m) || !std::isfinite(q.stationAhead_m) ||
        std::abs(q.stationBack_m) >= kMaxCoordinate_m || std::abs(q.stationAhead_m) >= kMaxCoordinate_m)
      throw CalculationError(EquationMessage(i, kEquationNotFiniteText), {RowKind::Equation, i});
    const double at = partDistance_m_.back() + (q.stationBack_m - partStation_m_.back());
    if (!(at > partDistance_m_.back()))
      throw CalculationError(EquationMessage(i, kEquationOrderText), {RowKind::Equation, i});
    if (!(at < length_m_)) throw CalculationError(EquationMessage(i, kEquationOutsideLineText), {RowKind::Equation, i});
    partDistance_m_.push_back(at);
    partStation_m_.push_back(q.stationAhead_m);
  }
  geometry->BuildIndex(length_m_);
  geometry_ = std::move(geometry);
}

const std::vector<LineElement>& Line::Elements() const { return geometry_->elements; }

double Line::Tolerance() const { return 1e-9 * std::max(1.0, length_m_); }

std::size_t Line::PartAt(double distance_m) const {
  // Part i covers (partDistance[i], partDistance[i+1]]; part 0 also its start.
  auto it = std::lower_bound(partDistance_m_.begin() + 1, partDistance_m_.end(), distance_m);
  return static_cast<std::size_t>(it - partDistance_m_.begin()) - 1;
}

double Line::StationAt(double distance_m) const {
  if (!(distance_m >= -Tolerance() && distance_m <= length_m_ + Tolerance()))
    throw CalculationError(kDistanceOutsideLinePrompt);
  const double d = std::clamp(distance_m, 0.0, length_m_);
  const std::size_t p = PartAt(d);
  return partStation_m_[p] + (d - partDistance_m_[p]);
}

double Line::ResolveStation(double station_m, bool last, bool snapToGap, std::size_t* part) const {
  if (!std::isfinite(station_m)) throw CalculationError(kStationOutsideLinePrompt);
  const std::size_t parts = partDistance_m_.size();
  const double tolerance = 1e-9 * std::max({1.0, std::abs(station_m)});
  auto partEnd = [&](std::size_t p) { return p + 1 < parts ? partDistance_m_[p + 1] : length_m_; };
  for (std::size_t n = 0; n < parts; ++n) {
    const std::size_t p = last ? parts - 1 - n : n;
    const double lo = partStation_m_[p];
    const double hi = lo + (partEnd(p) - partDistance_m_[p]);
    if (station_m >= lo - tolerance && station_m <= hi + tolerance) {
      if (part) *part = p;
      return std::clamp(partDistance_m_[p] + (station_m - lo), partDistance_m_[p], partEnd(p));
    }
  }
  // In a short chain's gap: after the station back, before the station ahead.
  for (std::size_t p = 1; p < parts; ++p) {
    const double back = partStation_m_[p - 1] + (partDistance_m_[p] - partDistance_m_[p - 1]);
    if (station_m > back && station_m < partStation_m_[p]) {
      if (snapToGap) {
        // The range goes on from the part after the gap, or ends with the part before it.
        if (part) *part = last ? p - 1 : p;
        return partDistance_m_[p];
      }
      throw CalculationError(kStationInShortChainPrompt);
    }
  }
  throw CalculationError(kStationOutsideLinePrompt);
}

double Line::DistanceAt(double station_m) const { return ResolveStation(station_m, false, false); }

std::size_t Line::ElementIndexAt(double distance_m) const {
  const auto& elements = geometry_->elements;
  auto it = std::upper_bound(elements.begin(), elements.end(), distance_m,
                             [](double d, const LineElement& e) { return d < e.startDistance_m; });
  return it == elements.begin() ? 0 : static_cast<std::size_t>(it - elements.begin()) - 1;
}

LinePoint Line::PointAtDistance(double distance_m) const {
  if (!(distance_m >= -Tolerance() && distance_m <= length_m_ + Tolerance()))
    throw CalculationError(kDistanceOutsideLinePrompt);
  const double d = std::clamp(distance_m, 0.0, length_m_);
  const std::size_t i = ElementIndexAt(d);
  LinePoint p = geometry_->Curve(i).At(d - geometry_->elements[i].startDistance_m);
  p.azimuth_rad = ReduceAzimuth(p.azimuth_rad);
  return p;
}

LinePoint Line::PointAtOffset(double distance_m, double offset_m) const {
  if (!std::isfinite(offset_m) || std::abs(offset_m) >= kMaxCoordinate_m)
    throw CalculationError(kOffsetNotFinitePrompt);
  LinePoint p = PointAtDistance(distance_m);
  // Right of the azimuth a is the azimuth a + 90 degrees: (-sin a, cos a).
  p.X_m -= offset_m * std::sin(p.azimuth_rad);
  p.Y_m += offset_m * std::cos(p.azimuth_rad);
  return p;
}

std::vector<KeyPoint> Line::KeyPoints() const {
  const std::vector<LineElement>& elements = geometry_->elements;
  std::vector<KeyPoint> points;
  points.push_back({0, 0, kCodeQD});
  std::vector<double> joints;
  std::size_t runStart = elements.front().design.type == ElementType::Straight ? elements.size() : 0;
  auto closeRun = [&](std::size_t endElement) {  // the run is elements [runStart, endElement)
    if (runStart >= endElement) return;
    const double from = elements[runStart].startDistance_m;
    const double to = endElement < elements.size() ? elements[endElement].startDistance_m : length_m_;
    const double middle = 0.5 * (from + to);
    bool onJoint = false;
    for (std::size_t j = runStart + 1; j < endElement; ++j)
      onJoint = onJoint || std::abs(elements[j].startDistance_m - middle) <= kSamePoint_m;
    if (!onJoint) points.push_back({middle, 0, kCodeQZ});
  };
  for (std::size_t j = 1; j < elements.size(); ++j) {
    const ElementSpec& before = elements[j - 1].design;
    const ElementSpec& after = elements[j].design;
    points.push_back({elements[j].startDistance_m, 0, JointCode(before, after)});
    if (EndsCurveRun(before, after)) {
      closeRun(j);
      runStart = after.type == ElementType::Straight ? elements.size() : j;
    }
  }
  closeRun(elements.size());
  points.push_back({length_m_, 0, kCodeZD});
  for (std::size_t p = 1; p < partDistance_m_.size(); ++p) points.push_back({partDistance_m_[p], 0, kCodeDL});
  std::stable_sort(points.begin(), points.end(),
                   [](const KeyPoint& a, const KeyPoint& b) { return a.distance_m < b.distance_m; });
  for (KeyPoint& k : points) k.station_m = StationAt(k.distance_m);
  return points;
}

std::vector<LineStake> Line::Stakes(double interval_m, std::optional<double> fromStation_m,
                                    std::optional<double> toStation_m, bool withKeyPoints) const {
  std::vector<LineStake> stakes;
  // Room for the multiples of the range and its key points at once: growing
  // a list of a hundred thousand stakes step by step costs ten times the
  // stakes themselves.
  if (std::isfinite(interval_m) && interval_m > 0) {
    const double from = fromStation_m ? ResolveStation(*fromStation_m, false, true) : 0.0;
    const double to = toStation_m ? ResolveStation(*toStation_m, true, true) : length_m_;
    const double estimate = std::max(0.0, to - from) / interval_m + 2.0 * static_cast<double>(partDistance_m_.size()) +
                            (withKeyPoints ? 2.0 * static_cast<double>(Elements().size()) : 0.0) + 4;
    stakes.reserve(static_cast<std::size_t>(std::min(estimate, static_cast<double>(kMaxLineStakes))));
  }
  ForEachStake(interval_m, fromStation_m, toStation_m, withKeyPoints, [&](const LineStake& stake) {
    if (stakes.size() >= kMaxLineStakes) throw CalculationError(kLineTooManyStakesPrompt);
    stakes.push_back(stake);
  });
  return stakes;
}

int Line::PassAt(double distance_m, double station_m) const {
  const std::size_t part = PartAt(distance_m);
  int pass = 1;
  for (std::size_t q = 0; q < part; ++q) {
    const double first = partStation_m_[q];
    const double last = first + (partDistance_m_[q + 1] - partDistance_m_[q]);
    if (station_m >= first - kSamePoint_m && station_m <= last + kSamePoint_m) ++pass;
  }
  return pass;
}

void Line::ForEachStake(double interval_m, std::optional<double> fromStation_m, std::optional<double> toStation_m,
                        bool withKeyPoints, const std::function<void(const LineStake&)>& visit) const {
  if (!std::isfinite(interval_m) || !(interval_m > 0)) throw CalculationError(kStakeIntervalPrompt);
  std::size_t fromPart = 0, toPart = partDistance_m_.size() - 1;
  const double from = fromStation_m ? ResolveStation(*fromStation_m, false, true, &fromPart) : 0.0;
  const double to = toStation_m ? ResolveStation(*toStation_m, true, true, &toPart) : length_m_;
  if (from > to + Tolerance()) throw CalculationError(kLineEndBeforeStartPrompt);
  const double same = std::min(kSamePoint_m, 0.25 * interval_m);

  // The range of whole multiples k of the interval in each part.
  struct Multiple {
    std::size_t part;
    double first, last;  // whole multiples k of the interval
  };
  std::vector<Multiple> ranges;
  const std::size_t parts = partDistance_m_.size();
  for (std::size_t p = fromPart; p <= toPart; ++p) {
    const double d0 = std::max(from, partDistance_m_[p]);
    const double d1 = std::min(to, p + 1 < parts ? partDistance_m_[p + 1] : length_m_);
    if (d0 > d1 + same) continue;
    const double s0 = partStation_m_[p] + (d0 - partDistance_m_[p]);
    const double s1 = partStation_m_[p] + (d1 - partDistance_m_[p]);
    // A station within a micrometre (or 1e-12 of itself) of a multiple is that multiple.
    const double slack = std::max(same, 1e-12 * std::max(std::abs(s0), std::abs(s1)));
    const double k0 = std::ceil((s0 - slack) / interval_m);
    const double k1 = std::floor((s1 + slack) / interval_m);
    if (!(std::abs(k0) < 9e15 && std::abs(k1) < 9e15)) throw CalculationError(kLineTooManyStakesPrompt);
    if (k1 >= k0) ranges.push_back({p, k0, k1});
  }

  // A stake is handed over once the next one is known to lie farther on:
  // two within `same` of each other are one, a key point's code winning over
  // an ordinary stake's and DL over any other.
  const LineGeometry& geometry = *geometry_;
  const auto& elements = geometry.elements;
  std::size_t element = 0;
  std::optional<LineStake> pending;
  const auto handOver = [&]() {
    LineStake& s = *pending;
    s.distance_m = std::clamp(s.distance_m, 0.0, length_m_);
    while (element + 1 < elements.size() && elements[element + 1].startDistance_m <= s.distance_m) ++element;
    s.point = geometry.Curve(element).At(s.distance_m - elements[element].startDistance_m);
    s.point.azimuth_rad = ReduceAzimuth(s.point.azimuth_rad);
    if (s.code == kCodeDL) {
      const std::size_t p = PartAt(s.distance_m + same);
      s.equation = p > 0 && p - 1 < equations_.size() ? &equations_[p - 1] : nullptr;
    }
    s.pass = s.code == kCodeDL ? 1 : PassAt(s.distance_m, s.station_m);
    visit(s);
  };
  const auto add = [&](double distance, double station, std::string_view code) {
    if (pending && distance - pending->distance_m <= same) {
      if (pending->code.empty() || code == kCodeDL) pending->code = code;
      return;
    }
    if (pending) handOver();
    pending = LineStake{distance, station, code, {}, nullptr, 1};
  };
  if (!ranges.empty() || withKeyPoints) {
    const double first = ranges.empty() ? from : std::max(from, partDistance_m_[ranges.front().part]);
    element = ElementIndexAt(std::clamp(first, 0.0, length_m_));
  }
  std::vector<KeyPoint> keys;
  if (withKeyPoints) keys = KeyPoints();
  std::size_t nextKey = 0;
  const auto addKeysBefore = [&](double distance) {
    for (; nextKey < keys.size() && keys[nextKey].distance_m < distance - same; ++nextKey)
      if (keys[nextKey].distance_m >= from - same && keys[nextKey].distance_m <= to + same)
        add(keys[nextKey].distance_m, keys[nextKey].station_m, keys[nextKey].code);
  };
  for (const Multiple& r : ranges) {
    const std::size_t p = r.part;
    const double partEnd = p + 1 < parts ? partDistance_m_[p + 1] : length_m_;
    for (double k = r.first; k <= r.last; ++k) {
      const double station = k * interval_m;
      const double distance =
          std::clamp(partDistance_m_[p] + (station - partStation_m_[p]), partDistance_m_[p], partEnd);
      addKeysBefore(distance);
      const bool atEquation =
          (p > 0 && distance - partDistance_m_[p] <= same) || (p + 1 < parts && partEnd - distance <= same);
      add(distance, station, atEquation ? kCodeDL : "");
    }
  }
  addKeysBefore(std::numeric_limits<double>::infinity());
  if (pending) handOver();
}

}  // namespace quorvane
