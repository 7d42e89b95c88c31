#include "ui/line_views/route_plan_view.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>

namespace quorvane::ui {
namespace {

// Chords of the kept samples stray at most this far from the path; finer
// samples are made only when a pixel is smaller than twice this.
constexpr double kCoarseTolerance_m = 0.1;
constexpr double kMaxSamplesPerSegment = 20000;
constexpr double kMaxSamplesPerElement = 100000;
constexpr double kSmallestRadius_m = 0.05;  // an offset curve folding inside a tight arc

const QColor kCentreColour(0, 90, 200);
const QColor kEdgeColour(110, 110, 110);
const QColor kStakeColour(200, 30, 30);
const QColor kEdgePointColour(150, 0, 150);
const QColor kMeasuredColour(0, 140, 60);
const QColor kJointColour(0, 0, 0);

// The screen direction to the right of a line running at an azimuth (north
// up, east right).
QPointF RightOf(double azimuth_rad) { return {std::cos(azimuth_rad), std::sin(azimuth_rad)}; }

// Where a label of `size` may go beside a mark at `at`: across the line on
// either side first, then at the four corners.
std::vector<QRectF> LabelCandidates(QPointF at, QSizeF size, QPointF across, double gap) {
  const double reach = std::fabs(across.x()) * size.width() / 2 + std::fabs(across.y()) * size.height() / 2 + gap;
  auto centred = [&](QPointF centre) { return QRectF(centre - QPointF(size.width() / 2, size.height() / 2), size); };
  return {centred(at - across * reach),
          centred(at + across * reach),
          QRectF(at + QPointF(gap, -gap - size.height()), size),
          QRectF(at + QPointF(gap, gap), size),
          QRectF(at + QPointF(-gap - size.width(), -gap - size.height()), size),
          QRectF(at + QPointF(-gap - size.width(), gap), size)};
}

}  // namespace

SampledPath::SampledPath(std::shared_ptr<const Line> line, double offset_m)
    : line_(std::move(line)), offset_m_(offset_m) {
  for (const LineElement& e : line_->Elements()) {
    double radius = std::min(e.design.startRadius_m, e.design.endRadius_m);
    if (std::isfinite(radius)) radius = std::max(radius - std::fabs(offset_m_), kSmallestRadius_m);
    const double length = e.design.length_m;
    const double count = std::clamp(std::ceil(length / Step(radius, kCoarseTolerance_m)), 1.0, kMaxSamplesPerElement);
    if (distances_m_.empty()) {
      distances_m_.push_back(e.startDistance_m);
      points_.push_back(At(e.startDistance_m));
    }
    const auto n = static_cast<int>(count);
    for (int i = 1; i <= n; ++i) {
      const double d = i == n ? e.startDistance_m + length : e.startDistance_m + length * i / count;
      radii_m_.push_back(radius);
      distances_m_.push_back(d);
      points_.push_back(At(d));
    }
  }
}

double SampledPath::Step(double radius_m, double tolerance_m) {
  // A chord c of a circle of radius R stands s = c^2 / 8R off its arc.
  if (!std::isfinite(radius_m)) return HUGE_VAL;
  return std::max(std::sqrt(8 * radius_m * tolerance_m), 1e-6);
}

QPointF SampledPath::At(double distance_m) const {
  const double d = std::clamp(distance_m, 0.0, line_->Length_m());
  const LinePoint p = offset_m_ == 0 ? line_->PointAtDistance(d) : line_->PointAtOffset(d, offset_m_);
  return {p.Y_m, p.X_m};
}

QRectF SampledPath::Bounds() const {
  if (points_.empty()) return {};
  double minU = points_[0].x(), maxU = minU, minV = points_[0].y(), maxV = minV;
  for (const QPointF& p : points_) {
    minU = std::min(minU, p.x());
    maxU = std::max(maxU, p.x());
    minV = std::min(minV, p.y());
    maxV = std::max(maxV, p.y());
  }
  return QRectF(QPointF(minU, minV), QPointF(maxU, maxV))
      .adjusted(-kCoarseTolerance_m, -kCoarseTolerance_m, kCoarseTolerance_m, kCoarseTolerance_m);
}

std::vector<std::vector<QPointF>> SampledPath::Pieces(const QRectF& visible, double tolerance_m) const {
  std::vector<std::vector<QPointF>> pieces;
  if (points_.size() < 2) return pieces;
  const bool coarseWillDo = tolerance_m >= kCoarseTolerance_m;
  std::vector<QPointF> piece;
  for (std::size_t i = 0; i + 1 < points_.size(); ++i) {
    const QRectF chord =
        QRectF(points_[i], points_[i + 1])
            .normalized()
            .adjusted(-kCoarseTolerance_m, -kCoarseTolerance_m, kCoarseTolerance_m, kCoarseTolerance_m);
    if (!chord.intersects(visible)) {
      if (piece.size() > 1) pieces.push_back(std::move(piece));
      piece.clear();
      continue;
    }
    if (piece.empty()) piece.push_back(points_[i]);
    if (!coarseWillDo) {
      const double from = distances_m_[i], to = distances_m_[i + 1];
      const double count =
          std::clamp(std::ceil((to - from) / Step(radii_m_[i], tolerance_m)), 1.0, kMaxSamplesPerSegment);
      for (int k = 1; k < static_cast<int>(count); ++k) piece.push_back(At(from + (to - from) * k / count));
    }
    piece.push_back(points_[i + 1]);
  }
  if (piece.size() > 1) pieces.push_back(std::move(piece));
  return pieces;
}

RoutePlanView::RoutePlanView(FileDialogs& dialogs, MessageBoxes& boxes, QWidget* parent)
    : DrawingView(dialogs, boxes, QStringLiteral("平面图"), parent) {
  setObjectName(QStringLiteral("RoutePlanView"));
}

QString RoutePlanView::EmptyText() const { return QStringLiteral("尚无路线：请先输入或打开路线。"); }

void RoutePlanView::SetLine(const Line& line) {
  line_ = std::make_shared<const Line>(line);
  centre_ = SampledPath(line_, 0);
  edges_.clear();
  stakes_.clear();
  leftPoints_.clear();
  rightPoints_.clear();
  joints_.clear();
  for (std::size_t i = 1; i < line_->Elements().size(); ++i) {
    const LinePoint& p = line_->Elements()[i].start;
    joints_.push_back({{p.Y_m, p.X_m}, {}, p.azimuth_rad});
  }
  keyPoints_.clear();
  for (const KeyPoint& k : line_->KeyPoints()) {
    const LinePoint p = line_->PointAtDistance(std::clamp(k.distance_m, 0.0, line_->Length_m()));
    keyPoints_.push_back(
        {{p.Y_m, p.X_m}, QString::fromUtf8(k.code.data(), static_cast<qsizetype>(k.code.size())) + QLatin1Char(' ') + ChainageText(k.station_m), p.azimuth_rad});
  }
  FitToWindow();
}

void RoutePlanView::ClearLine() {
  line_.reset();
  centre_ = {};
  edges_.clear();
  joints_.clear();
  keyPoints_.clear();
  stakes_.clear();
  leftPoints_.clear();
  rightPoints_.clear();
  FitToWindow();
}

void RoutePlanView::SetStakes(const std::vector<LineStake>& stakes, double leftWidth_m, double rightWidth_m) {
  stakes_.clear();
  leftPoints_.clear();
  rightPoints_.clear();
  edges_.clear();
  edgeLines_ = false;
  if (!line_) return;
  const bool hasLeft = leftWidth_m > 0 && std::isfinite(leftWidth_m);
  const bool hasRight = rightWidth_m > 0 && std::isfinite(rightWidth_m);
  if (hasLeft) edges_.emplace_back(line_, -leftWidth_m);
  if (hasRight) edges_.emplace_back(line_, rightWidth_m);
  stakes_.reserve(stakes.size());
  for (const LineStake& s : stakes) {
    // A key point's stake is labelled by the key point itself.
    const QPointF at(s.point.Y_m, s.point.X_m);
    stakes_.push_back({at, {}, s.point.azimuth_rad, s.code.empty() ? std::optional(s.station_m) : std::nullopt});
    // Square off the stake's own tangent: east sin(a + 90°), north cos(a + 90°).
    const QPointF across(std::cos(s.point.azimuth_rad), -std::sin(s.point.azimuth_rad));
    if (hasLeft) leftPoints_.push_back(at - across * leftWidth_m);
    if (hasRight) rightPoints_.push_back(at + across * rightWidth_m);
  }
  update();
}

void RoutePlanView::SetStakeEdges(const std::vector<LineStake>& stakes, const std::vector<LinePoint>& left,
                                  const std::vector<LinePoint>& right) {
  SetStakes(stakes);
  if (!line_) return;
  for (const LinePoint& p : left) leftPoints_.emplace_back(p.Y_m, p.X_m);
  for (const LinePoint& p : right) rightPoints_.emplace_back(p.Y_m, p.X_m);
  edgeLines_ = true;
  update();
}

void RoutePlanView::SetMeasuredPoints(std::vector<MeasuredPoint> points) {
  measured_.clear();
  for (const MeasuredPoint& p : points) measured_.push_back({{p.Y_m, p.X_m}, QString::fromStdString(p.name), 0});
  update();
}

std::optional<QRectF> RoutePlanView::WorldBounds() const {
  // Not QRectF::united, which passes over rectangles of no width or height.
  std::optional<QRectF> bounds;
  auto growPoint = [&](QPointF p) {
    if (!bounds) {
      bounds = QRectF(p, p);
      return;
    }
    bounds->setLeft(std::min(bounds->left(), p.x()));
    bounds->setRight(std::max(bounds->right(), p.x()));
    bounds->setTop(std::min(bounds->top(), p.y()));
    bounds->setBottom(std::max(bounds->bottom(), p.y()));
  };
  auto grow = [&](const QRectF& r) {
    growPoint(r.topLeft());
    growPoint(r.bottomRight());
  };
  if (line_) grow(centre_.Bounds());
  for (const SampledPath& e : edges_) grow(e.Bounds());
  for (const Mark& m : stakes_) growPoint(m.world);
  for (const QPointF& p : leftPoints_) growPoint(p);
  for (const QPointF& p : rightPoints_) growPoint(p);
  for (const Mark& m : measured_) growPoint(m.world);
  return bounds;
}

void RoutePlanView::DrawPath(QPainter& painter, const SampledPath& path, const QPen& pen) const {
  const QRectF window = QRectF(rect()).adjusted(-8, -8, 8, 8);
  const double tolerance_m = 0.5 * MetresPerPixel();
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  for (const std::vector<QPointF>& piece : path.Pieces(VisibleWorld(8), tolerance_m)) {
    std::vector<QPointF> screen;
    screen.reserve(piece.size());
    for (const QPointF& p : piece) screen.push_back(WorldToScreen(p.x(), p.y()));
    for (const QPolygonF& visible : ClipPolyline(screen, window)) painter.drawPolyline(visible);
  }
}

void RoutePlanView::Draw(QPainter& painter, LabelPlacer& labels) const {
  const QRectF window = QRectF(rect()).adjusted(-6, -6, 6, 6);
  const QFontMetricsF metrics(font());
  labels.Reserve(DrawNorthArrow(painter, size()));
  labels.Reserve(DrawScaleBar(painter, size(), PixelsPerMetre()));

  for (const SampledPath& edge : edges_) DrawPath(painter, edge, QPen(kEdgeColour, 1, Qt::DashLine));
  if (edgeLines_) {
    painter.setPen(QPen(kEdgeColour, 1, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    const QRectF clip = QRectF(rect()).adjusted(-8, -8, 8, 8);
    for (const std::vector<QPointF>* points : {&leftPoints_, &rightPoints_}) {
      std::vector<QPointF> screen;
      screen.reserve(points->size());
      for (const QPointF& p : *points) screen.push_back(WorldToScreen(p.x(), p.y()));
      for (const QPolygonF& visible : ClipPolyline(screen, clip)) painter.drawPolyline(visible);
    }
  }
  if (line_) DrawPath(painter, centre_, QPen(kCentreColour, 2));

  // Element joints: a short stroke across the line.
  painter.setPen(QPen(kJointColour, 1.5));
  for (const Mark& j : joints_) {
    const QPointF at = WorldToScreen(j.world.x(), j.world.y());
    if (!window.contains(at)) continue;
    const QPointF across = RightOf(j.azimuth_rad) * 7;
    painter.drawLine(at - across, at + across);
  }

  // Dots: one that would land on the one drawn before it is skipped, since
  // zoomed out thousands of stakes share a few pixels.
  auto dots = [&](auto&& worldOf, const auto& items, const QColor& colour, double radius) {
    painter.setPen(QPen(colour, 1));
    painter.setBrush(colour);
    QPointF previous(-1e9, -1e9);
    for (const auto& item : items) {
      const QPointF world = worldOf(item);
      const QPointF at = WorldToScreen(world.x(), world.y());
      if (!window.contains(at) || (at - previous).manhattanLength() < radius) continue;
      painter.drawEllipse(at, radius, radius);
      previous = at;
    }
  };
  dots([](const QPointF& p) { return p; }, leftPoints_, kEdgePointColour, 2);
  dots([](const QPointF& p) { return p; }, rightPoints_, kEdgePointColour, 2);
  dots([](const Mark& m) { return m.world; }, stakes_, kStakeColour, 2.5);

  // Key points: a ring on the line.
  painter.setPen(QPen(Qt::black, 1.5));
  painter.setBrush(Qt::white);
  for (const Mark& k : keyPoints_) {
    const QPointF at = WorldToScreen(k.world.x(), k.world.y());
    if (window.contains(at)) painter.drawEllipse(at, 4, 4);
  }

  // Measured points: a cross.
  painter.setPen(QPen(kMeasuredColour, 2));
  for (const Mark& m : measured_) {
    const QPointF at = WorldToScreen(m.world.x(), m.world.y());
    if (!window.contains(at)) continue;
    painter.drawLine(at + QPointF(-5, -5), at + QPointF(5, 5));
    painter.drawLine(at + QPointF(-5, 5), at + QPointF(5, -5));
  }

  // Labels, most important first, and none over a key point or a measured
  // point.
  for (const std::vector<Mark>* marks : {&keyPoints_, &measured_}) {
    for (const Mark& m : *marks) {
      const QPointF at = WorldToScreen(m.world.x(), m.world.y());
      if (window.contains(at)) labels.Reserve(QRectF(at - QPointF(5, 5), QSizeF(10, 10)));
    }
  }
  auto place = [&](const std::vector<Mark>& marks, const QColor& colour, double gap) {
    painter.setPen(colour);
    QPointF previous(-1e9, -1e9);
    for (const Mark& m : marks) {
      if (m.label.isEmpty() && !m.station_m) continue;
      const QPointF at = WorldToScreen(m.world.x(), m.world.y());
      // A mark on top of the one tried before it has no room either.
      if (!window.contains(at) || (at - previous).manhattanLength() < 3) continue;
      previous = at;
      const QString label = m.label.isEmpty() ? ShortChainageText(*m.station_m) : m.label;
      const QSizeF size(metrics.horizontalAdvance(label) + 2, metrics.height());
      const std::optional<QRectF> r = labels.TakeFirst(LabelCandidates(at, size, RightOf(m.azimuth_rad), gap));
      if (!r) continue;
      DrawLabel(painter, *r, label);
    }
  };
  place(keyPoints_, Qt::black, 8);
  place(measured_, kMeasuredColour, 7);
  place(stakes_, kStakeColour, 5);
}

}  // namespace quorvane::ui
