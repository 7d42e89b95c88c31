#include "ui/plan_view.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <string_view>

#include "calc/angle.h"
#include "calc/calculation_error.h"
#include "report/number_text.h"
#include "ui/line_views/drawing_view.h"

namespace quorvane::ui {
namespace {

// Samples of the drawn curve between the start and the end station.
constexpr int kCurveSamples = 256;
// Wider than any station label ("-12345+678.9"), pixels.
constexpr double kMaxLabelWidthPx = 400;
// Room kept between two stake labels, pixels.
constexpr double kLabelSpacingPx = 14;

const QColor kCurveColour(0, 90, 200);
const QColor kTangentColour(120, 120, 120);
const QColor kStakeColour(200, 30, 30);
const QColor kLeftColour(150, 0, 150);
const QColor kRightColour(0, 140, 140);


// The curve from just after its start to its end station, sampled at even
// steps, so the line drawn is the line the stakes lie on and ends on the end
// point. Empty when there is no length. Every point of a calculated curve is
// on the map but for one that bulges beyond kMaxCoordinate_m between its
// stakes, which the curve refuses: then the stakes alone show the line.
std::vector<CurvePoint> SampleCurve(const TransitionCurve& curve) {
  const CurveInput& input = curve.Input();
  const double length = input.le - input.lb;
  if (!(std::fabs(length) > 0)) return {};
  std::vector<CurvePoint> points;
  try {
    for (int i = 1; i <= kCurveSamples; ++i) {
      points.push_back(curve.AtStation(i == kCurveSamples ? input.le : input.lb + length * i / kCurveSamples));
    }
  } catch (const CalculationError&) {
    return {};
  }
  return points;
}

bool IsMultipleOf(double value, double step) {
  const double k = value / step;
  return std::fabs(k - std::round(k)) <= 1e-9 * std::max(1.0, std::fabs(k));
}

}  // namespace

double RoundStationStep(double interval_m, double minimum_m) {
  const double d = std::fabs(interval_m);
  const double least = std::max(d, minimum_m);
  for (double power = std::pow(10.0, std::floor(std::log10(least))); power <= least * 1e3; power *= 10) {
    for (const double m : {1.0, 2.0, 5.0}) {
      const double step = m * power;
      if (step >= least * (1 - 1e-12) && IsMultipleOf(step, d)) return step;
    }
  }
  for (double power = 1;; power *= 10) {
    for (const double m : {1.0, 2.0, 5.0}) {
      if (d * m * power >= least * (1 - 1e-12)) return d * m * power;
    }
  }
}

QRect PlaceBeside(const QRect& main, const QRect& screen, QSize size, QSize minimum) {
  enum Side { kRight, kLeft, kBelow, kAbove };
  const QRect rooms[] = {QRect(QPoint(main.right() + 1, screen.top()), screen.bottomRight()),
                         QRect(screen.topLeft(), QPoint(main.left() - 1, screen.bottom())),
                         QRect(QPoint(screen.left(), main.bottom() + 1), screen.bottomRight()),
                         QRect(screen.topLeft(), QPoint(screen.right(), main.top() - 1))};
  // As large as the room allows, against `main`, level with its top or its
  // left edge as far as the room allows.
  const auto placeIn = [&](int side) {
    const QRect& room = rooms[side];
    QRect at(QPoint(0, 0), size.boundedTo(room.size()));
    switch (side) {
      case kRight: at.moveTopLeft({room.left(), main.top()}); break;
      case kLeft: at.moveTopRight({room.right(), main.top()}); break;
      case kBelow: at.moveTopLeft({main.left(), room.top()}); break;
      default: at.moveBottomLeft({main.left(), room.bottom()}); break;
    }
    if (at.right() > room.right()) at.moveRight(room.right());
    if (at.left() < room.left()) at.moveLeft(room.left());
    if (at.bottom() > room.bottom()) at.moveBottom(room.bottom());
    if (at.top() < room.top()) at.moveTop(room.top());
    return at;
  };
  for (int side = kRight; side <= kAbove; ++side) {
    if (rooms[side].width() >= size.width() && rooms[side].height() >= size.height()) return placeIn(side);
  }
  int best = -1;
  qint64 bestArea = 0;
  for (int side = kRight; side <= kAbove; ++side) {
    const QSize fits = size.boundedTo(rooms[side].size());
    const qint64 area = qint64{fits.width()} * fits.height();
    if (fits.width() >= minimum.width() && fits.height() >= minimum.height() && area > bestArea) {
      best = side;
      bestArea = area;
    }
  }
  if (best >= 0) return placeIn(best);
  QRect at(main.topRight() + QPoint(1, 0), size);
  if (at.right() > screen.right()) at.moveRight(screen.right());
  if (at.bottom() > screen.bottom()) at.moveBottom(screen.bottom());
  if (at.left() < screen.left()) at.moveLeft(screen.left());
  if (at.top() < screen.top()) at.moveTop(screen.top());
  return at;
}

PlanView::PlanView(FileDialogs& dialogs, MessageBoxes& boxes, QWidget* parent)
    : DrawingView(dialogs, boxes, QStringLiteral("平面图"), parent) {
  setWindowFlags(Qt::Window);
  setObjectName(QStringLiteral("PlanView"));
  setWindowTitle(QStringLiteral("平面图"));
  resize(640, 480);
}

QString PlanView::EmptyText() const { return QStringLiteral("尚无计算结果：请先计算。"); }

void PlanView::ShowCalculation(const Calculation& calculation) {
  Curve curve;
  curve.input = calculation.input;
  curve.startLabel = QString::fromStdString(calculation.lbText);
  curve.start = {calculation.input.Xa, calculation.input.Ya};
  curve.startAzimuth_rad = calculation.curve.Law().alpha;
  curve.line.push_back(curve.start);
  const std::vector<CurvePoint> samples = SampleCurve(calculation.curve);
  for (const CurvePoint& p : samples) curve.line.push_back({p.X, p.Y});
  try {
    const CurvePoint end = calculation.curve.AtStation(calculation.input.le);
    curve.end = SurveyPoint{end.X, end.Y};
    curve.endLabel = QStringLiteral("终点 ") + QString::fromStdString(calculation.leText);
  } catch (const CalculationError&) {
    // An end beyond the map, as above: no end point to mark.
  }

  const StakeTable& stakes = calculation.stakes;
  for (int i = 0; i < stakes.n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    curve.stakes.push_back({stakes.stakeX[k], stakes.stakeY[k]});
    curve.stations.push_back(stakes.stakeStation[k]);
    curve.labels.push_back(QString::fromStdString(Station(stakes.stakeStation[k])));
  }
  const QFontMetricsF metrics(font());
  for (const QString& label : curve.labels) curve.labelWidths.push_back(metrics.horizontalAdvance(label));
  if (curve.line.size() < 2) {
    // No samples: the stakes themselves show the line.
    curve.line.insert(curve.line.end(), curve.stakes.begin(), curve.stakes.end());
  }
  if (calculation.sides) {
    for (const CurvePoint& p : calculation.sides->left) curve.left.push_back({p.X, p.Y});
    for (const CurvePoint& p : calculation.sides->right) curve.right.push_back({p.X, p.Y});
  }
  curve_ = std::move(curve);
  FitToWindow();
}

std::optional<QRectF> PlanView::WorldBounds() const {
  if (!curve_) return std::nullopt;
  double minX = curve_->start.X, maxX = minX, minY = curve_->start.Y, maxY = minY;
  auto grow = [&](const std::vector<SurveyPoint>& points) {
    for (const SurveyPoint& p : points) {
      minX = std::min(minX, p.X);
      maxX = std::max(maxX, p.X);
      minY = std::min(minY, p.Y);
      maxY = std::max(maxY, p.Y);
    }
  };
  grow(curve_->line);
  if (curve_->end) grow({*curve_->end});
  grow(curve_->stakes);
  grow(curve_->left);
  grow(curve_->right);
  // u east, v north.
  return QRectF(QPointF(minY, minX), QPointF(maxY, maxX));
}

std::vector<QRectF> PlanView::LabelRects() const {
  std::vector<QRectF> rects;
  if (!curve_) return rects;
  const QFontMetricsF metrics(font());
  // A label starts just right of its dot: a dot further out than this from
  // the window cannot put its label inside, and is not measured.
  const QRectF reach = QRectF(rect()).adjusted(-kMaxLabelWidthPx, -metrics.height(), 0, metrics.height());
  rects.reserve(curve_->stakes.size());
  for (std::size_t i = 0; i < curve_->stakes.size(); ++i) {
    const QPointF at = ToScreen(curve_->stakes[i].X, curve_->stakes[i].Y);
    if (!reach.contains(at)) {
      rects.emplace_back();  // empty: never drawn
      continue;
    }
    rects.emplace_back(at + QPointF(6, -metrics.height() - 2), QSizeF(curve_->labelWidths[i], metrics.height()));
  }
  return rects;
}

std::vector<int> PlanView::VisibleStakeLabels() const { return VisibleLabels(LabelRects()); }

double PlanView::LabelStep() const {
  if (!curve_) return 0;
  const double widest = curve_->labelWidths.empty()
                            ? 0
                            : *std::max_element(curve_->labelWidths.begin(), curve_->labelWidths.end());
  return RoundStationStep(curve_->input.d, (widest + kLabelSpacingPx) / PixelsPerMetre());
}

std::vector<int> PlanView::VisibleLabels(const std::vector<QRectF>& rects) const {
  std::vector<int> shown;
  std::vector<QRectF> taken;  // no more than fit on the window side by side
  const QRectF window(rect());
  const double step = LabelStep();
  for (std::size_t i = 0; i < rects.size(); ++i) {
    if (rects[i].isEmpty() || !window.intersects(rects[i])) continue;  // not drawn anyway
    if (!IsMultipleOf(curve_->stations[i], step)) continue;
    if (curve_->end && curve_->stations[i] == curve_->input.le) continue;  // the end's own label names it
    const QRectF padded = rects[i].adjusted(-2, -1, 2, 1);
    const bool overlaps =
        std::any_of(taken.begin(), taken.end(), [&](const QRectF& r) { return r.intersects(padded); });
    if (overlaps) continue;
    taken.push_back(padded);
    shown.push_back(static_cast<int>(i));
  }
  return shown;
}

void PlanView::Draw(QPainter& painter, LabelPlacer&) const {
  DrawStartTangent(painter);

  // The curve.
  QPolygonF line;
  for (const SurveyPoint& p : curve_->line) line << ToScreen(p.X, p.Y);
  painter.setPen(QPen(kCurveColour, 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawPolyline(line);

  DrawPoints(painter);

  // Labels: the end's, the start's, then the stakes' on round stations.
  const Curve& c = *curve_;
  const QFontMetricsF metrics(font());
  painter.setPen(Qt::black);
  if (c.end) painter.drawText(ToScreen(c.end->X, c.end->Y) + QPointF(9, metrics.height() + 2), c.endLabel);
  painter.drawText(ToScreen(c.start.X, c.start.Y) + QPointF(8, metrics.height() + 2),
                   QStringLiteral("起点 ") + c.startLabel);
  const std::vector<QRectF> rects = LabelRects();
  for (const int i : VisibleLabels(rects)) {
    painter.drawText(rects[static_cast<std::size_t>(i)], Qt::AlignLeft | Qt::AlignVCenter,
                     c.labels[static_cast<std::size_t>(i)]);
  }

  DrawNorthArrow(painter, size());
  DrawScaleBar(painter, size(), PixelsPerMetre());
  DrawLegend(painter);
}

// The start tangent, dashed and as long as the curve, so the bend shows
// against it, with an arrow of fixed size at the start point for its
// direction.
void PlanView::DrawStartTangent(QPainter& painter) const {
  const Curve& c = *curve_;
  const QPointF start = ToScreen(c.start.X, c.start.Y);
  const double length = std::max(std::fabs(c.input.le - c.input.lb), 1.0);
  const QPointF ahead =
      ToScreen(c.start.X + length * std::cos(c.startAzimuth_rad), c.start.Y + length * std::sin(c.startAzimuth_rad));
  painter.setPen(QPen(kTangentColour, 1, Qt::DashLine));
  painter.drawLine(start, ahead);
  const QPointF dir(std::sin(c.startAzimuth_rad), -std::cos(c.startAzimuth_rad));
  const QPointF normal(-dir.y(), dir.x());
  const QPointF tip = start + dir * 36;
  painter.setPen(QPen(kTangentColour, 2));
  painter.drawLine(start, tip);
  painter.setBrush(kTangentColour);
  painter.drawPolygon(QPolygonF({tip, tip - dir * 10 + normal * 5, tip - dir * 10 - normal * 5}));
}

// Side points as squares in their side's colour, the start point as a
// ring, each stake as a dot, the end point inside a square.
void PlanView::DrawPoints(QPainter& painter) const {
  const Curve& c = *curve_;
  auto squares = [&](const std::vector<SurveyPoint>& points, const QColor& colour) {
    painter.setPen(QPen(colour, 1));
    painter.setBrush(colour);
    for (const SurveyPoint& p : points) painter.drawRect(QRectF(ToScreen(p.X, p.Y) - QPointF(2.5, 2.5), QSizeF(5, 5)));
  };
  squares(c.left, kLeftColour);
  squares(c.right, kRightColour);

  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Qt::white);
  painter.drawEllipse(ToScreen(c.start.X, c.start.Y), 5, 5);
  painter.setPen(QPen(kStakeColour, 1));
  painter.setBrush(kStakeColour);
  // A dot that would land on the one drawn before it, or off the window, is
  // skipped: zoomed out, thousands of stakes share a few pixels.
  const QRectF visible = QRectF(rect()).adjusted(-4, -4, 4, 4);
  QPointF previous(-1e9, -1e9);
  for (const SurveyPoint& p : c.stakes) {
    const QPointF at = ToScreen(p.X, p.Y);
    if (!visible.contains(at) || QLineF(at, previous).length() < 1.5) continue;
    painter.drawEllipse(at, 3, 3);
    previous = at;
  }

  if (c.end) {
    const QPointF end = ToScreen(c.end->X, c.end->Y);
    painter.setPen(QPen(Qt::black, 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(end - QPointF(6, 6), QSizeF(12, 12)));
  }
}

// What the side points' colours mean, in the top left corner, when shown.
void PlanView::DrawLegend(QPainter& painter) const {
  std::vector<std::pair<QColor, QString>> entries;
  if (!curve_->left.empty()) entries.emplace_back(kLeftColour, QStringLiteral("左边桩"));
  if (!curve_->right.empty()) entries.emplace_back(kRightColour, QStringLiteral("右边桩"));
  if (entries.empty()) return;
  const QFontMetricsF metrics(font());
  const double line = metrics.height() + 4;
  double textWidth = 0;
  for (const auto& entry : entries) textWidth = std::max(textWidth, metrics.horizontalAdvance(entry.second));
  const QRectF box(8, 8, 28 + textWidth, 6 + line * static_cast<double>(entries.size()));
  painter.setPen(QPen(Qt::gray, 1));
  painter.setBrush(Qt::white);
  painter.drawRect(box);
  double y = box.top() + 3;
  for (const auto& [colour, text] : entries) {
    painter.setPen(QPen(colour, 1));
    painter.setBrush(colour);
    painter.drawRect(QRectF(box.left() + 8, y + line / 2 - 2.5, 5, 5));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(box.left() + 20, y, textWidth + 4, line), Qt::AlignLeft | Qt::AlignVCenter, text);
    y += line;
  }
}

}  // namespace quorvane::ui
