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

// Stakes are looked at in runs of this many, each with its rectangle.
constexpr std::size_t kStakesPerRun = 128;
// Zoomed out, stake dots are drawn at least this far apart along the line,
// and stake labels tried at least this far apart: every 2nd, 4th, 8th...
// stake of the list, so that panning keeps the same ones.
constexpr double kDotGapPx = 4;
constexpr double kLabelGapPx = 40;
// Points of a line closer than this to the one kept before are left out.
constexpr double kPathGapPx = 0.75;

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

// The least power of two n with n * spacing >= gap (1 when it already is).
std::size_t Stride(double spacingPx, double gapPx) {
  std::size_t n = 1;
  while (static_cast<double>(n) * spacingPx < gapPx && n < (std::size_t{1} << 40)) n *= 2;
  return n;
}

// Whether two points are further apart than `gap` pixels either way.
bool Apart(QPointF a, QPointF b, double gap) {
  return std::fabs(a.x() - b.x()) >= gap || std::fabs(a.y() - b.y()) >= gap;
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
  BoundRuns();
}

void SampledPath::BoundRuns() {
  runBounds_.clear();
  for (std::size_t first = 0; first + 1 < points_.size(); first += kChordsPerRun) {
    const std::size_t last = std::min(points_.size() - 1, first + kChordsPerRun);  // the last chord's end
    double minU = points_[first].x(), maxU = minU, minV = points_[first].y(), maxV = minV;
    for (std::size_t i = first; i <= last; ++i) {
      minU = std::min(minU, points_[i].x());
      maxU = std::max(maxU, points_[i].x());
      minV = std::min(minV, points_[i].y());
      maxV = std::max(maxV, points_[i].y());
    }
    runBounds_.push_back(QRectF(QPointF(minU, minV), QPointF(maxU, maxV)));
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
  auto meets = [&](double minU, double minV, double maxU, double maxV) {
    return maxU + kCoarseTolerance_m >= visible.left() && minU - kCoarseTolerance_m <= visible.right() &&
           maxV + kCoarseTolerance_m >= visible.top() && minV - kCoarseTolerance_m <= visible.bottom();
  };
  for (std::size_t i = 0; i + 1 < points_.size(); ++i) {
    // A run of chords wholly outside is passed over at once.
    if (i % kChordsPerRun == 0) {
      const QRectF& run = runBounds_[i / kChordsPerRun];
      if (!meets(run.left(), run.top(), run.right(), run.bottom())) {
        if (piece.size() > 1) pieces.push_back(std::move(piece));
        piece.clear();
        i += kChordsPerRun - 1;
        continue;
      }
    }
    const QPointF& a = points_[i];
    const QPointF& b = points_[i + 1];
    if (!meets(std::min(a.x(), b.x()), std::min(a.y(), b.y()), std::max(a.x(), b.x()), std::max(a.y(), b.y()))) {
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
  stakeRuns_.clear();
  edgeLines_ = false;
  joints_.clear();
  for (std::size_t i = 1; i < line_->Elements().size(); ++i) {
    const LinePoint& p = line_->Elements()[i].start;
    joints_.push_back({{p.Y_m, p.X_m}, {}, p.azimuth_rad});
  }
  keyPoints_.clear();
  for (const KeyPoint& k : line_->KeyPoints()) {
    const LinePoint p = line_->PointAtDistance(std::clamp(k.distance_m, 0.0, line_->Length_m()));
    keyPoints_.push_back({{p.Y_m, p.X_m},
                          QString::fromUtf8(k.code.data(), static_cast<qsizetype>(k.code.size())) + QLatin1Char(' ') +
                              ChainageText(k.station_m),
                          p.azimuth_rad});
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
  stakeRuns_.clear();
  edgeLines_ = false;
  FitToWindow();
}

void RoutePlanView::SetStakes(const std::vector<LineStake>& stakes, double leftWidth_m, double rightWidth_m) {
  stakes_.clear();
  stakeRuns_.clear();
  edges_.clear();
  edgeLines_ = false;
  stakeSpacing_m_ = 0;
  if (!line_) return;
  const bool hasLeft = leftWidth_m > 0 && std::isfinite(leftWidth_m);
  const bool hasRight = rightWidth_m > 0 && std::isfinite(rightWidth_m);
  if (hasLeft) edges_.emplace_back(line_, -leftWidth_m);
  if (hasRight) edges_.emplace_back(line_, rightWidth_m);
  stakes_.reserve(stakes.size());
  double along = 0;
  for (const LineStake& s : stakes) {
    const QPointF at(s.point.Y_m, s.point.X_m);
    if (!stakes_.empty()) along += QLineF(stakes_.back().world, at).length();
    StakeDot dot{at, s.point.azimuth_rad, s.station_m, s.code.empty(), {}, {}};
    // Square off the stake's own tangent: east sin(a + 90°), north cos(a + 90°).
    const QPointF across(std::cos(s.point.azimuth_rad), -std::sin(s.point.azimuth_rad));
    if (hasLeft) dot.left = at - across * leftWidth_m;
    if (hasRight) dot.right = at + across * rightWidth_m;
    stakes_.push_back(dot);
  }
  if (stakes_.size() > 1) stakeSpacing_m_ = along / static_cast<double>(stakes_.size() - 1);
  IndexStakes();
  update();
}

void RoutePlanView::SetStakeEdges(const std::vector<LineStake>& stakes, const std::vector<LinePoint>& left,
                                  const std::vector<LinePoint>& right) {
  SetStakes(stakes);
  if (!line_) return;
  for (std::size_t i = 0; i < stakes_.size(); ++i) {
    if (i < left.size()) stakes_[i].left = QPointF(left[i].Y_m, left[i].X_m);
    if (i < right.size()) stakes_[i].right = QPointF(right[i].Y_m, right[i].X_m);
  }
  edgeLines_ = true;
  IndexStakes();
  update();
}

void RoutePlanView::IndexStakes() {
  stakeRuns_.clear();
  for (std::size_t first = 0; first < stakes_.size(); first += kStakesPerRun) {
    const std::size_t last = std::min(stakes_.size(), first + kStakesPerRun);
    double minU = stakes_[first].world.x(), maxU = minU, minV = stakes_[first].world.y(), maxV = minV;
    const auto grow = [&](const QPointF& p) {
      minU = std::min(minU, p.x());
      maxU = std::max(maxU, p.x());
      minV = std::min(minV, p.y());
      maxV = std::max(maxV, p.y());
    };
    for (std::size_t i = first; i < last; ++i) {
      grow(stakes_[i].world);
      if (stakes_[i].left) grow(*stakes_[i].left);
      if (stakes_[i].right) grow(*stakes_[i].right);
    }
    // A run's edge line reaches back to the last stake of the run before.
    if (first > 0) {
      if (stakes_[first - 1].left) grow(*stakes_[first - 1].left);
      if (stakes_[first - 1].right) grow(*stakes_[first - 1].right);
    }
    stakeRuns_.push_back({first, last, QRectF(QPointF(minU, minV), QPointF(maxU, maxV))});
  }
}

void RoutePlanView::DrawStakeEdgeLines(QPainter& painter) const {
  if (!edgeLines_) return;
  const QRectF visible = VisibleWorld(8);
  painter.setPen(QPen(kEdgeColour, 1, Qt::DashLine));
  painter.setBrush(Qt::NoBrush);
  for (const StakeRun& run : stakeRuns_) {
    const QRectF& b = run.bounds;
    if (b.right() < visible.left() || b.left() > visible.right() || b.bottom() < visible.top() ||
        b.top() > visible.bottom())
      continue;
    for (const auto side : {&StakeDot::left, &StakeDot::right}) {
      QPolygonF line;
      for (std::size_t i = run.first > 0 ? run.first - 1 : 0; i < run.last; ++i) {
        const std::optional<QPointF>& p = stakes_[i].*side;
        if (!p) continue;
        const QPointF at = WorldToScreen(p->x(), p->y());
        if (line.isEmpty() || i + 1 == run.last || Apart(at, line.back(), kPathGapPx)) line << at;
      }
      if (line.size() > 1) painter.drawPolyline(line);
    }
  }
}

template <typename F>
void RoutePlanView::ForVisibleStakes(const QRectF& visible, std::size_t stride, F&& f) const {
  for (const StakeRun& run : stakeRuns_) {
    // QRectF::intersects passes over a run of no width or height.
    const QRectF& b = run.bounds;
    if (b.right() < visible.left() || b.left() > visible.right() || b.bottom() < visible.top() ||
        b.top() > visible.bottom())
      continue;
    for (std::size_t i = (run.first + stride - 1) / stride * stride; i < run.last; i += stride) f(i, stakes_[i]);
  }
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
  for (const StakeRun& run : stakeRuns_) grow(run.bounds);
  for (const Mark& m : measured_) growPoint(m.world);
  return bounds;
}

void RoutePlanView::DrawPath(QPainter& painter, const SampledPath& path, const QPen& pen) const {
  const QRectF window = QRectF(rect()).adjusted(-8, -8, 8, 8);
  const double tolerance_m = 0.5 * MetresPerPixel();
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  for (const std::vector<QPointF>& piece : path.Pieces(VisibleWorld(8), tolerance_m)) {
    // Zoomed out, many samples share a pixel: only the first of them is kept.
    std::vector<QPointF> screen;
    screen.reserve(piece.size());
    for (std::size_t i = 0; i < piece.size(); ++i) {
      const QPointF at = WorldToScreen(piece[i].x(), piece[i].y());
      if (screen.empty() || i + 1 == piece.size() || Apart(at, screen.back(), kPathGapPx)) screen.push_back(at);
    }
    drawn_.pathPoints += screen.size();
    for (const QPolygonF& visible : ClipPolyline(screen, window)) painter.drawPolyline(visible);
  }
}

void RoutePlanView::DrawStakes(QPainter& painter, const QRectF& window) const {
  // Dots at least kDotGapPx apart, all of a colour in one call.
  const std::size_t stride = Stride(stakeSpacing_m_ * PixelsPerMetre(), kDotGapPx);
  const QRectF visible = VisibleWorld(8);
  QPolygonF dots, edgeDots;
  ForVisibleStakes(visible, stride, [&](std::size_t, const StakeDot& s) {
    ++drawn_.stakesVisited;
    const QPointF at = WorldToScreen(s.world.x(), s.world.y());
    if (window.contains(at)) dots << at;
    for (const std::optional<QPointF>& world : {s.left, s.right}) {
      if (!world) continue;
      const QPointF edge = WorldToScreen(world->x(), world->y());
      if (window.contains(edge)) edgeDots << edge;
    }
  });
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(kEdgePointColour, 5, Qt::SolidLine, Qt::RoundCap));
  painter.drawPoints(edgeDots);
  painter.setPen(QPen(kStakeColour, 6, Qt::SolidLine, Qt::RoundCap));
  painter.drawPoints(dots);
  drawn_.stakes.assign(dots.begin(), dots.end());
  drawn_.edgePoints.assign(edgeDots.begin(), edgeDots.end());
}

void RoutePlanView::PlaceStakeLabels(QPainter& painter, LabelPlacer& labels, const QRectF& window) const {
  // Tried at least kLabelGapPx apart along the line: zoomed out, most would
  // not fit anyway.
  const std::size_t stride = Stride(stakeSpacing_m_ * PixelsPerMetre(), kLabelGapPx);
  const QFontMetricsF metrics(font());
  painter.setPen(kStakeColour);
  QPointF previous(-1e9, -1e9);
  ForVisibleStakes(VisibleWorld(8), stride, [&](std::size_t, const StakeDot& s) {
    if (!s.labelled) return;
    const QPointF at = WorldToScreen(s.world.x(), s.world.y());
    // A stake on top of the one tried before it has no room either.
    if (!window.contains(at) || !Apart(at, previous, 3)) return;
    previous = at;
    const QString label = ShortChainageText(s.station_m);
    const QSizeF size(metrics.horizontalAdvance(label) + 2, metrics.height());
    if (const std::optional<QRectF> r = labels.TakeFirst(LabelCandidates(at, size, RightOf(s.azimuth_rad), 5)))
      DrawLabel(painter, *r, label);
  });
}

void RoutePlanView::Draw(QPainter& painter, LabelPlacer& labels) const {
  drawn_ = {};
  const QRectF window = QRectF(rect()).adjusted(-6, -6, 6, 6);
  const QFontMetricsF metrics(font());
  labels.Reserve(DrawNorthArrow(painter, size()));
  labels.Reserve(DrawScaleBar(painter, size(), PixelsPerMetre()));

  for (const SampledPath& edge : edges_) DrawPath(painter, edge, QPen(kEdgeColour, 1, Qt::DashLine));
  DrawStakeEdgeLines(painter);
  if (line_) DrawPath(painter, centre_, QPen(kCentreColour, 2));

  // Element joints: a short stroke across the line.
  // Zoomed out, a joint or a key point on one drawn just before it is left out.
  painter.setPen(QPen(kJointColour, 1.5));
  QPointF previous(-1e9, -1e9);
  for (const Mark& j : joints_) {
    const QPointF at = WorldToScreen(j.world.x(), j.world.y());
    if (!window.contains(at) || !Apart(at, previous, kDotGapPx)) continue;
    previous = at;
    const QPointF across = RightOf(j.azimuth_rad) * 7;
    painter.drawLine(at - across, at + across);
  }

  DrawStakes(painter, window);

  // Key points: a ring on the line.
  painter.setPen(QPen(Qt::black, 1.5));
  painter.setBrush(Qt::white);
  for (const Mark& k : keyPoints_) {
    const QPointF at = WorldToScreen(k.world.x(), k.world.y());
    if (!window.contains(at) || (!drawn_.keyPoints.empty() && !Apart(at, drawn_.keyPoints.back(), kDotGapPx))) continue;
    painter.drawEllipse(at, 4, 4);
    drawn_.keyPoints.push_back(at);
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
  for (const QPointF& at : drawn_.keyPoints) labels.Reserve(QRectF(at - QPointF(5, 5), QSizeF(10, 10)));
  for (const Mark& m : measured_) {
    const QPointF at = WorldToScreen(m.world.x(), m.world.y());
    if (window.contains(at)) labels.Reserve(QRectF(at - QPointF(5, 5), QSizeF(10, 10)));
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
  PlaceStakeLabels(painter, labels, window);
}

}  // namespace quorvane::ui
