#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>

#include "calc/calculation_error.h"
#include "calc/line.h"
#include "calc/line_geometry.h"
#include "calc/messages.h"

namespace quorvane {

namespace {

constexpr double kPieceTurn_rad = 0.25;
constexpr std::size_t kPiecesPerLeaf = 4;

struct Box {
  double minX = std::numeric_limits<double>::infinity(), minY = minX;
  double maxX = -std::numeric_limits<double>::infinity(), maxY = maxX;
  double minAzimuth = std::numeric_limits<double>::infinity();
  double maxAzimuth = -std::numeric_limits<double>::infinity();
  void Add(double x, double y, double margin) {
    minX = std::min(minX, x - margin);
    minY = std::min(minY, y - margin);
    maxX = std::max(maxX, x + margin);
    maxY = std::max(maxY, y + margin);
  }
  void AddAzimuth(double a) {
    minAzimuth = std::min(minAzimuth, a);
    maxAzimuth = std::max(maxAzimuth, a);
  }
};

// True when no foot can lie in the box: the point is outside it, and the
// along-track distance f = (P - Q) . T(a) keeps one sign for every point Q
// of the box and every tangent azimuth a met inside. For one azimuth f is
// linear in Q, so its extremes are at the box's corners; for one Q, f is
// |P - Q| cos(the angle from T(a) to P - Q), which keeps its sign over an
// arc of azimuths shorter than a half turn when it has that sign at both
// ends of the arc. So eight values decide: the four corners against the
// tangents at the least and the greatest azimuth.
bool NoFootIn(const LineBox& box, double x, double y) {
  if (x >= box.minX && x <= box.maxX && y >= box.minY && y <= box.maxY) return false;
  if (std::isnan(box.cos0)) return false;
  // From the box's sides to the point; f at a corner is the sum of an x and
  // a y part, so its least and greatest over the corners are sums too.
  const double x0 = x - box.minX, x1 = x - box.maxX, y0 = y - box.minY, y1 = y - box.maxY;
  double lo = std::numeric_limits<double>::infinity(), hi = -lo;
  for (const auto& [c, s] : {std::pair<double, double>{box.cos0, box.sin0}, {box.cos1, box.sin1}}) {
    const double a = x0 * c, b = x1 * c, d = y0 * s, e = y1 * s;
    lo = std::min(lo, std::min(a, b) + std::min(d, e));
    hi = std::max(hi, std::max(a, b) + std::max(d, e));
  }
  // The tangents are floats, each part within 2^-24 of its true value.
  const double margin = 1e-7 * (std::max(std::abs(x0), std::abs(x1)) + std::max(std::abs(y0), std::abs(y1)));
  return lo > margin || hi < -margin;
}

double BoxDistance2(const LineBox& box, double X, double Y) {
  const double minX = box.minX, minY = box.minY, maxX = box.maxX, maxY = box.maxY;
  const Box b{minX, minY, maxX, maxY, 0, 0};
  const double dx = X < b.minX ? b.minX - X : (X > b.maxX ? X - b.maxX : 0.0);
  const double dy = Y < b.minY ? b.minY - Y : (Y > b.maxY ? Y - b.maxY : 0.0);
  return dx * dx + dy * dy;
}

std::uint32_t Index(std::size_t i) { return static_cast<std::uint32_t>(i); }

// The float at or below v, and at or above it.
float Down(double v) {
  const auto f = static_cast<float>(v);
  return static_cast<double>(f) > v ? std::nextafter(f, -std::numeric_limits<float>::infinity()) : f;
}
float Up(double v) {
  const auto f = static_cast<float>(v);
  return static_cast<double>(f) < v ? std::nextafter(f, std::numeric_limits<float>::infinity()) : f;
}

LineBox Stored(const Box& b, double originX, double originY, std::size_t first, std::size_t last, bool leaf) {
  const bool narrow = b.maxAzimuth - b.minAzimuth < std::numbers::pi - 1e-6;
  const auto unit = [narrow](double v) { return narrow ? static_cast<float>(v) : std::numeric_limits<float>::quiet_NaN(); };
  return {Down(b.minX - originX),
          Down(b.minY - originY),
          Up(b.maxX - originX),
          Up(b.maxY - originY),
          unit(std::cos(b.minAzimuth)),
          unit(std::sin(b.minAzimuth)),
          unit(std::cos(b.maxAzimuth)),
          unit(std::sin(b.maxAzimuth)),
          Index(first),
          Index(last),
          leaf};
}

std::size_t BuildBoxes(std::vector<LineBox>& boxes, double originX, double originY, const std::vector<Box>& pieceBoxes,
                       std::size_t first, std::size_t last) {
  const std::size_t index = boxes.size();
  boxes.push_back({});
  Box b;
  for (std::size_t i = first; i < last; ++i) {
    b.Add(pieceBoxes[i].minX, pieceBoxes[i].minY, 0);
    b.Add(pieceBoxes[i].maxX, pieceBoxes[i].maxY, 0);
    b.AddAzimuth(pieceBoxes[i].minAzimuth);
    b.AddAzimuth(pieceBoxes[i].maxAzimuth);
  }
  if (last - first <= kPiecesPerLeaf) {
    boxes[index] = Stored(b, originX, originY, first, last, true);
    return index;
  }
  const std::size_t middle = first + (last - first) / 2;
  const std::size_t left = BuildBoxes(boxes, originX, originY, pieceBoxes, first, middle);
  const std::size_t right = BuildBoxes(boxes, originX, originY, pieceBoxes, middle, last);
  boxes[index] = Stored(b, originX, originY, left, right, false);
  return index;
}

struct Best {
  double distance2 = std::numeric_limits<double>::infinity();
  std::size_t element = 0;
  double s = 0;
  int end = 0;  // -1 the line's start, +1 its end, 0 a foot between
  void Offer(std::size_t e, double at, double d2, int atEnd = 0) {
    if (d2 < distance2) {
      distance2 = d2;
      element = e;
      s = at;
      end = atEnd;
    }
  }
};

// The line's feet are where the distance to the point is least, each
// refined onto its root, not only to within a micrometre. Its pieces are
// short (a quarter radian, a thousandth of the line), which the cubic first
// guess suits.
constexpr FootRules kLineFootRules{.zero_m = 0, .fallingOnly = true, .cubicGuess = true, .toTheRoot = true};

// Every foot on one piece: an end where f is zero and falls from it or into
// it (a foot at an end shared by two pieces may be offered by both), and
// the feet inside (FootSearch::FeetBetween, which passes over a piece whose
// f cannot reach zero). Most pieces are passed over on their ends' f and
// slope alone (an end at zero never is), before the element's curve is
// built.
void PieceFeet(const LineGeometry& g, const LinePiece& piece, double X, double Y, Best& best) {
  const FootProbe a = ProbeFrom(piece.s0, X - piece.X0, Y - piece.Y0, piece.cos0, piece.sin0, piece.k0, piece.rate);
  const FootProbe b = ProbeFrom(piece.s1, X - piece.X1, Y - piece.Y1, piece.cos1, piece.sin1, piece.k1, piece.rate);
  if (!MayHoldFoot(a, b)) return;
  const auto offer = [&](const FootProbe& p) { best.Offer(piece.element, p.s, p.f * p.f + p.offset * p.offset); };
  if (a.f == 0 && b.f < 0) offer(a);
  if (b.f == 0 && a.f > 0) offer(b);
  const ElementCurve curve = g.Curve(piece.element);
  ElementProbes probes(curve, X, Y);
  FootSearch search(probes, kLineFootRules);
  search.FeetBetween(a, b, offer,
                     CurvatureBound{std::max(std::abs(piece.k0), std::abs(piece.k1)), std::abs(piece.rate)});
}

}  // namespace

ElementProbes::ElementProbes(const ElementCurve& curve, double X_m, double Y_m)
    : curve_(curve), X_m_(X_m), Y_m_(Y_m), rate_(curve.CurvatureRate()) {}

FootProbe ElementProbes::At(double s) const {
  const LinePoint c = curve_.At(s);
  return ProbeFrom(s, X_m_ - c.X_m, Y_m_ - c.Y_m, std::cos(c.azimuth_rad), std::sin(c.azimuth_rad), curve_.Curvature(s),
                   rate_);
}

void LineGeometry::BuildIndex(double length_m) {
  // Pieces no longer than a 256th of the line keep the boxes tight. Shorter
  // ones only add boxes to pass: points measured some metres off a line of
  // a kilometre or two were located slower with a 1024th.
  const double longest = std::max(1.0, length_m / 256);
  // How many pieces each element is cut into, counted first so that the
  // pieces take no more room than they need.
  auto piecesOf = [&](const ElementCurve& c) {
    const double turn = std::max(std::abs(c.Curvature(0)), std::abs(c.Curvature(c.Length()))) * c.Length();
    const double byTurn =
        c.Type() == ElementType::Spiral ? static_cast<double>(c.Panels()) : std::ceil(turn / kPieceTurn_rad);
    const double byLength = std::ceil(c.Length() / longest);
    return static_cast<std::size_t>(std::max({1.0, byTurn, byLength}));
  };
  std::size_t count = 0;
  for (std::size_t e = 0; e < elements.size(); ++e) count += piecesOf(Curve(e));
  pieces.reserve(count);
  std::vector<Box> pieceBoxes;
  pieceBoxes.reserve(count);
  double azimuthOn = Curve(0).Azimuth(0);  // the line's azimuth, never reduced
  for (std::size_t e = 0; e < elements.size(); ++e) {
    const ElementCurve c = Curve(e);
    const double shift = azimuthOn - c.Azimuth(0);
    const std::size_t n = piecesOf(c);
    LinePoint p0 = c.At(0);
    for (std::size_t i = 0; i < n; ++i) {
      const double s0 = c.Length() * static_cast<double>(i) / static_cast<double>(n);
      const double s1 = i + 1 == n ? c.Length() : c.Length() * static_cast<double>(i + 1) / static_cast<double>(n);
      const LinePoint p1 = c.At(s1);
      pieces.push_back({s1, p0.X_m, p0.Y_m, std::cos(p0.azimuth_rad), std::sin(p0.azimuth_rad),
                        std::cos(p1.azimuth_rad), std::sin(p1.azimuth_rad), static_cast<std::uint32_t>(e)});
      endX = p1.X_m;
      endY = p1.Y_m;
      // The curve stays within (length x turn) / 2 of its chord when it turns
      // by less than a right angle; a little more for rounding.
      const double bulge = 0.5 * (s1 - s0) * std::abs(p1.azimuth_rad - p0.azimuth_rad) + 1e-9 * (s1 - s0) + 1e-6;
      Box b;
      b.Add(p0.X_m, p0.Y_m, bulge);
      b.Add(p1.X_m, p1.Y_m, bulge);
      b.AddAzimuth(p0.azimuth_rad + shift);
      b.AddAzimuth(p1.azimuth_rad + shift);
      pieceBoxes.push_back(b);
      p0 = p1;
    }
    azimuthOn = c.Azimuth(c.Length()) + shift;
  }
  boxes.clear();
  boxes.reserve(2 * pieces.size() / kPiecesPerLeaf + 2);
  originX = pieces.front().X0;
  originY = pieces.front().Y0;
  BuildBoxes(boxes, originX, originY, pieceBoxes, 0, pieces.size());
}

LinePiece LineGeometry::Piece(std::size_t i) const {
  const StoredPiece& p = pieces[i];
  // The element's curvature as ElementCurve::Curvature gives it.
  const ElementShape& shape = shapes[p.element];
  const double rate =
      shape.dk == 0 ? 0.0 : SpiralCurvatureChange({0, shape.k0, shape.dk, elements[p.element].design.length_m, 1.0});
  auto curvature = [&](double s) { return rate == 0 ? 1.0 * shape.k0 : 1.0 * shape.k0 + rate * s; };
  const double s0 = i > 0 && pieces[i - 1].element == p.element ? pieces[i - 1].s1 : 0.0;
  const bool last = i + 1 == pieces.size();
  return {p.element,
          s0,
          p.s1,
          p.X0,
          p.Y0,
          p.cos0,
          p.sin0,
          curvature(s0),
          last ? endX : pieces[i + 1].X0,
          last ? endY : pieces[i + 1].Y0,
          p.cos1,
          p.sin1,
          curvature(p.s1),
          rate};
}

LineFoot Line::FootAt(double distance_m, const LinePoint& onLine, double X_m, double Y_m) const {
  LineFoot foot;
  foot.distance_m = std::clamp(distance_m, 0.0, length_m_);
  foot.station_m = StationAt(foot.distance_m);
  foot.onLine = onLine;
  const double dx = X_m - onLine.X_m, dy = Y_m - onLine.Y_m;
  foot.offset_m = -dx * std::sin(onLine.azimuth_rad) + dy * std::cos(onLine.azimuth_rad);
  const double a = std::fmod(onLine.azimuth_rad, 2 * std::numbers::pi);
  foot.onLine.azimuth_rad = a < 0 ? a + 2 * std::numbers::pi : a;
  // The stretch after equation i shows the stations (partStation[i], its
  // end]; the first stretch also its start. A station shown by more than one
  // stretch is passed more than once.
  foot.part = PartAt(foot.distance_m);
  int before = 0, times = 0;
  for (std::size_t p = 0; p < partDistance_m_.size(); ++p) {
    const double lo = partStation_m_[p];
    const double end = p + 1 < partDistance_m_.size() ? partDistance_m_[p + 1] : length_m_;
    const double hi = lo + (end - partDistance_m_[p]);
    const bool inRange = (p == 0 ? foot.station_m >= lo : foot.station_m > lo) && foot.station_m <= hi;
    const bool shown = p == foot.part || inRange;
    if (!shown) continue;
    ++times;
    if (p < foot.part) ++before;
  }
  foot.pass = times > 1 ? before + 1 : 0;
  return foot;
}

LineLocation Line::Find(double X_m, double Y_m) const {
  if (!std::isfinite(X_m) || !std::isfinite(Y_m)) throw CalculationError(kLinePointNotFinitePrompt);
  const LineGeometry& g = *geometry_;
  Best best;
  // The ends: the distance is smallest there when the point lies at or
  // beyond the end along its tangent (f <= 0 at the start, f >= 0 at the end).
  for (const bool atEnd : {false, true}) {
    const LinePiece p = g.Piece(atEnd ? g.pieces.size() - 1 : 0);
    const double dx = X_m - (atEnd ? p.X1 : p.X0), dy = Y_m - (atEnd ? p.Y1 : p.Y0);
    const double f = atEnd ? dx * p.cos1 + dy * p.sin1 : dx * p.cos0 + dy * p.sin0;
    if (atEnd ? f >= 0 : f <= 0) best.Offer(p.element, atEnd ? p.s1 : p.s0, dx * dx + dy * dy, atEnd ? 1 : -1);
  }
  // The point from the boxes' origin.
  const double x = X_m - g.originX, y = Y_m - g.originY;
  // Boxes still to search, each with its squared distance from the point.
  struct Pending {
    std::uint32_t box;
    double distance2;
  };
  Pending stack[128];
  std::size_t top = 0;
  stack[top++] = {0, BoxDistance2(g.boxes[0], x, y)};
  while (top > 0) {
    const Pending pending = stack[--top];
    if (pending.distance2 >= best.distance2) continue;
    const LineBox& box = g.boxes[pending.box];
    // Boxes that cannot hold a foot are passed over: until a foot is found
    // the distances prune nothing, and after it, boxes near the point but
    // off to one side of it are many.
    if (NoFootIn(box, x, y)) continue;
    if (box.leaf) {
      for (std::size_t i = box.first; i < box.last; ++i) PieceFeet(g, g.Piece(i), X_m, Y_m, best);
      continue;
    }
    const Pending left{box.first, BoxDistance2(g.boxes[box.first], x, y)};
    const Pending right{box.last, BoxDistance2(g.boxes[box.last], x, y)};
    // The nearer child is searched first.
    const bool leftFirst = left.distance2 <= right.distance2;
    const Pending& nearer = leftFirst ? left : right;
    const Pending& farther = leftFirst ? right : left;
    if (farther.distance2 < best.distance2) stack[top++] = farther;
    if (nearer.distance2 < best.distance2) stack[top++] = nearer;
  }
  LineLocation where;
  if (!std::isfinite(best.distance2)) return where;
  if (best.end == 0) {
    where.status = LocateStatus::OnLine;
    where.foot = FootAt(g.elements[best.element].startDistance_m + best.s, g.Curve(best.element).At(best.s), X_m, Y_m);
    return where;
  }
  const bool atEnd = best.end > 0;
  const LinePiece p = g.Piece(atEnd ? g.pieces.size() - 1 : 0);
  const LinePoint endPoint = g.Curve(p.element).At(atEnd ? p.s1 : p.s0);
  where.foot = FootAt(atEnd ? length_m_ : 0.0, endPoint, X_m, Y_m);
  const double dx = X_m - endPoint.X_m, dy = Y_m - endPoint.Y_m;
  where.beyond_m = std::abs(dx * std::cos(endPoint.azimuth_rad) + dy * std::sin(endPoint.azimuth_rad));
  where.status = where.beyond_m <= kLocateEndAllowance_m ? LocateStatus::OnLine
                 : atEnd                                 ? LocateStatus::AfterEnd
                                                         : LocateStatus::BeforeStart;
  return where;
}

std::optional<LineFoot> Line::Locate(double X_m, double Y_m) const {
  const LineLocation where = Find(X_m, Y_m);
  if (where.status != LocateStatus::OnLine) return std::nullopt;
  return where.foot;
}

}  // namespace quorvane
