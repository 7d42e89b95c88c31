#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

#include "calc/calculation_error.h"
#include "calc/line.h"
#include "calc/line_geometry.h"
#include "calc/line_messages.h"

namespace quorvane {

namespace {

constexpr double kPieceTurn_rad = 0.25;
constexpr std::size_t kPiecesPerLeaf = 4;
// The perpendicular from a point meets an end of the line when it misses it
// by no more than this.
constexpr double kEndFoot_m = 1e-7;

struct Box {
  double minX = std::numeric_limits<double>::infinity(), minY = minX;
  double maxX = -std::numeric_limits<double>::infinity(), maxY = maxX;
  void Add(double x, double y, double margin) {
    minX = std::min(minX, x - margin);
    minY = std::min(minY, y - margin);
    maxX = std::max(maxX, x + margin);
    maxY = std::max(maxY, y + margin);
  }
};

double BoxDistance2(const LineBox& b, double X, double Y) {
  const double dx = X < b.minX ? b.minX - X : (X > b.maxX ? X - b.maxX : 0.0);
  const double dy = Y < b.minY ? b.minY - Y : (Y > b.maxY ? Y - b.maxY : 0.0);
  return dx * dx + dy * dy;
}

std::size_t BuildBoxes(std::vector<LineBox>& boxes, const std::vector<LinePiece>& pieces,
                       const std::vector<Box>& pieceBoxes, std::size_t first, std::size_t last) {
  const std::size_t index = boxes.size();
  boxes.push_back({});
  Box b;
  for (std::size_t i = first; i < last; ++i) {
    b.Add(pieceBoxes[i].minX, pieceBoxes[i].minY, 0);
    b.Add(pieceBoxes[i].maxX, pieceBoxes[i].maxY, 0);
  }
  if (last - first <= kPiecesPerLeaf) {
    boxes[index] = {b.minX, b.minY, b.maxX, b.maxY, first, last, true};
    return index;
  }
  const std::size_t middle = first + (last - first) / 2;
  const std::size_t left = BuildBoxes(boxes, pieces, pieceBoxes, first, middle);
  const std::size_t right = BuildBoxes(boxes, pieces, pieceBoxes, middle, last);
  boxes[index] = {b.minX, b.minY, b.maxX, b.maxY, left, right, false};
  return index;
}

// The along-track function of a point P at s on a curve: f = (P - C(s)) . T(s),
// zero at a foot, and its derivative f' = -1 + k(s) * offset(s).
struct Track {
  double f, df, offset, distance2;
};

Track TrackAt(const ElementCurve& curve, double s, double X, double Y) {
  const LinePoint c = curve.At(s);
  const double dx = X - c.X_m, dy = Y - c.Y_m;
  const double cs = std::cos(c.azimuth_rad), sn = std::sin(c.azimuth_rad);
  const double offset = -dx * sn + dy * cs;
  return {dx * cs + dy * sn, -1 + curve.Curvature(s) * offset, offset, dx * dx + dy * dy};
}

struct Best {
  double distance2 = std::numeric_limits<double>::infinity();
  std::size_t element = 0;
  double s = 0;
  void Offer(std::size_t e, double at, double d2) {
    if (d2 < distance2) {
      distance2 = d2;
      element = e;
      s = at;
    }
  }
};

// The foot within [a, b] where f changes sign (fa, fb of opposite signs or
// one zero): Newton's method from the secant guess, kept inside the bracket.
void FindFoot(const ElementCurve& curve, std::size_t element, double a, double b, double fa, double fb, double X,
              double Y, Best& best) {
  if (fa == 0) return best.Offer(element, a, TrackAt(curve, a, X, Y).distance2);
  if (fb == 0) return best.Offer(element, b, TrackAt(curve, b, X, Y).distance2);
  double s = a + (b - a) * (fa / (fa - fb));
  Track t{};
  for (int iteration = 0; iteration < 100; ++iteration) {
    t = TrackAt(curve, s, X, Y);
    if (t.f == 0) break;
    if ((t.f > 0) == (fa > 0)) {
      a = s;
      fa = t.f;
    } else {
      b = s;
    }
    double next = s - t.f / t.df;
    if (!(next > a && next < b)) next = 0.5 * (a + b);
    const double step = std::abs(next - s);
    s = next;
    if (step <= 1e-11 * std::max(1.0, std::abs(s)) || b - a <= 1e-12 * std::max(1.0, std::abs(s))) {
      t = TrackAt(curve, s, X, Y);
      break;
    }
  }
  best.Offer(element, s, t.distance2);
}

// Every foot on one piece. Where f has the same sign at both ends but turns
// towards zero at the start and away from it at the end (the point lies
// near the centre of curvature), f may dip across zero inside the piece:
// find the turn of f and look on either side of it.
void PieceFeet(const LineGeometry& g, const LinePiece& piece, double X, double Y, Best& best) {
  const ElementCurve& curve = g.curves[piece.element];
  const double dx0 = X - piece.X0, dy0 = Y - piece.Y0, dx1 = X - piece.X1, dy1 = Y - piece.Y1;
  const double f0 = dx0 * piece.cos0 + dy0 * piece.sin0;
  const double f1 = dx1 * piece.cos1 + dy1 * piece.sin1;
  if ((f0 <= 0 && f1 >= 0) || (f0 >= 0 && f1 <= 0))
    return FindFoot(curve, piece.element, piece.s0, piece.s1, f0, f1, X, Y, best);
  if (piece.k0 == 0 && piece.k1 == 0) return;
  const double sign = f0 > 0 ? 1.0 : -1.0;
  const double df0 = -1 + piece.k0 * (-dx0 * piece.sin0 + dy0 * piece.cos0);
  const double df1 = -1 + piece.k1 * (-dx1 * piece.sin1 + dy1 * piece.cos1);
  if (!(sign * df0 < 0 && sign * df1 > 0)) return;
  double a = piece.s0, b = piece.s1;
  for (int i = 0; i < 60 && b - a > 1e-12 * std::max(1.0, b); ++i) {
    const double m = 0.5 * (a + b);
    (sign * TrackAt(curve, m, X, Y).df < 0 ? a : b) = m;
  }
  const double m = 0.5 * (a + b);
  const double fm = TrackAt(curve, m, X, Y).f;
  if (sign * fm > 0) return;
  FindFoot(curve, piece.element, piece.s0, m, f0, fm, X, Y, best);
  FindFoot(curve, piece.element, m, piece.s1, fm, f1, X, Y, best);
}

}  // namespace

void LineGeometry::BuildIndex(double length_m) {
  // Pieces no longer than a thousandth of the line keep the boxes tight.
  const double longest = std::max(1.0, length_m / 1024);
  std::vector<Box> pieceBoxes;
  for (std::size_t e = 0; e < curves.size(); ++e) {
    const ElementCurve& c = curves[e];
    const double turn = std::max(std::abs(c.Curvature(0)), std::abs(c.Curvature(c.Length()))) * c.Length();
    const double byTurn = c.Type() == ElementType::Spiral ? static_cast<double>(c.Panels()) : std::ceil(turn / kPieceTurn_rad);
    const double byLength = std::ceil(c.Length() / longest);
    const auto n = static_cast<std::size_t>(std::max({1.0, byTurn, byLength}));
    LinePoint p0 = c.At(0);
    for (std::size_t i = 0; i < n; ++i) {
      const double s0 = c.Length() * static_cast<double>(i) / static_cast<double>(n);
      const double s1 = i + 1 == n ? c.Length() : c.Length() * static_cast<double>(i + 1) / static_cast<double>(n);
      const LinePoint p1 = c.At(s1);
      pieces.push_back({e, s0, s1, p0.X_m, p0.Y_m, std::cos(p0.azimuth_rad), std::sin(p0.azimuth_rad), c.Curvature(s0),
                        p1.X_m, p1.Y_m, std::cos(p1.azimuth_rad), std::sin(p1.azimuth_rad), c.Curvature(s1)});
      // The curve stays within (length x turn) / 2 of its chord when it turns
      // by less than a right angle; a little more for rounding.
      const double bulge = 0.5 * (s1 - s0) * std::abs(p1.azimuth_rad - p0.azimuth_rad) + 1e-9 * (s1 - s0) + 1e-6;
      Box b;
      b.Add(p0.X_m, p0.Y_m, bulge);
      b.Add(p1.X_m, p1.Y_m, bulge);
      pieceBoxes.push_back(b);
      p0 = p1;
    }
  }
  boxes.clear();
  boxes.reserve(2 * pieces.size() / kPiecesPerLeaf + 2);
  BuildBoxes(boxes, pieces, pieceBoxes, 0, pieces.size());
}

std::optional<LineFoot> Line::Locate(double X_m, double Y_m) const {
  if (!std::isfinite(X_m) || !std::isfinite(Y_m)) throw CalculationError(kLinePointNotFinitePrompt);
  const LineGeometry& g = *geometry_;
  Best best;
  // The ends: a foot there when the perpendicular meets the end.
  for (const std::size_t e : {std::size_t{0}, g.curves.size() - 1}) {
    const double s = e == 0 ? 0.0 : g.curves[e].Length();
    const Track t = TrackAt(g.curves[e], s, X_m, Y_m);
    if (std::abs(t.f) <= kEndFoot_m) best.Offer(e, s, t.distance2);
  }
  std::size_t stack[128];
  std::size_t top = 0;
  stack[top++] = 0;
  while (top > 0) {
    const LineBox& box = g.boxes[stack[--top]];
    if (BoxDistance2(box, X_m, Y_m) >= best.distance2) continue;
    if (box.leaf) {
      for (std::size_t i = box.first; i < box.last; ++i) PieceFeet(g, g.pieces[i], X_m, Y_m, best);
      continue;
    }
    const double dl = BoxDistance2(g.boxes[box.first], X_m, Y_m);
    const double dr = BoxDistance2(g.boxes[box.last], X_m, Y_m);
    // The nearer child is searched first.
    if (dl <= dr) {
      if (dr < best.distance2) stack[top++] = box.last;
      if (dl < best.distance2) stack[top++] = box.first;
    } else {
      if (dl < best.distance2) stack[top++] = box.first;
      if (dr < best.distance2) stack[top++] = box.last;
    }
  }
  if (!std::isfinite(best.distance2)) return std::nullopt;
  LineFoot foot;
  foot.distance_m = std::clamp(elements_[best.element].startDistance_m + best.s, 0.0, length_m_);
  foot.station_m = StationAt(foot.distance_m);
  foot.onLine = g.curves[best.element].At(best.s);
  const double dx = X_m - foot.onLine.X_m, dy = Y_m - foot.onLine.Y_m;
  foot.offset_m = -dx * std::sin(foot.onLine.azimuth_rad) + dy * std::cos(foot.onLine.azimuth_rad);
  double a = std::fmod(foot.onLine.azimuth_rad, 2 * std::numbers::pi);
  foot.onLine.azimuth_rad = a < 0 ? a + 2 * std::numbers::pi : a;
  return foot;
}

}  // namespace quorvane
