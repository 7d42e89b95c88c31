#include "ui/line/line_drawing.h"

#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "calc/calculation_error.h"
#include "io/atomic_file.h"
#include "ui/line/line_text.h"

namespace quorvane::ui {
namespace {

constexpr double kHeightExaggeration = 10;
constexpr int kMaxSamples = 20000;

}  // namespace

LineDrawing::LineDrawing(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(200, 150);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
  setAutoFillBackground(true);
}

void LineDrawing::SetLine(const Line* line, const Profile* profile) {
  line_ = line;
  profile_ = profile;
  Sample();
  Fit();
}

void LineDrawing::Sample() {
  path_.clear();
  if (line_ == nullptr) return;
  const double length = line_->Length_m();
  // Every element's ends, and enough points between them for a smooth curve.
  const double step = std::max(length / kMaxSamples, 0.5);
  std::vector<double> distances;
  for (const LineElement& e : line_->Elements()) {
    const double n = std::ceil(e.spec.type == ElementType::Straight ? 1 : e.spec.length_m / step);
    for (double i = 0; i < n; ++i) distances.push_back(e.startDistance_m + e.spec.length_m * i / n);
  }
  distances.push_back(length);
  for (double d : distances) {
    d = std::min(d, length);
    if (kind_ == Kind::Plan) {
      const LinePoint p = line_->PointAtDistance(d);
      path_.emplace_back(p.Y_m, p.X_m);
    } else if (profile_ != nullptr) {
      try {
        path_.emplace_back(d, kHeightExaggeration * profile_->ElevationAtDistance(d));
      } catch (const CalculationError&) {
        // outside the profile's first and last point
      }
    }
  }
}

QRectF LineDrawing::WorldBounds() const {
  if (path_.empty()) return {};
  double x0 = path_[0].x(), x1 = x0, y0 = path_[0].y(), y1 = y0;
  for (const QPointF& p : path_) {
    x0 = std::min(x0, p.x()), x1 = std::max(x1, p.x());
    y0 = std::min(y0, p.y()), y1 = std::max(y1, p.y());
  }
  return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

void LineDrawing::Fit() {
  const QRectF bounds = WorldBounds();
  fitted_ = true;
  if (bounds.isNull() && path_.empty()) return update();
  centre_ = bounds.center();
  const double w = std::max(bounds.width(), 1e-3), h = std::max(bounds.height(), 1e-3);
  scale_ = std::min((width() - 60) / w, (height() - 60) / h);
  if (!(scale_ > 0) || !std::isfinite(scale_)) scale_ = 1;
  update();
}

QPointF LineDrawing::ToScreen(QPointF world) const {
  return {width() / 2.0 + (world.x() - centre_.x()) * scale_, height() / 2.0 - (world.y() - centre_.y()) * scale_};
}

void LineDrawing::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  if (path_.empty()) {
    painter.drawText(rect(), Qt::AlignCenter,
                     kind_ == Kind::Plan ? QStringLiteral("还没有路线") : QStringLiteral("还没有纵断面"));
    return;
  }
  QPainterPath centre;
  centre.moveTo(ToScreen(path_[0]));
  for (std::size_t i = 1; i < path_.size(); ++i) centre.lineTo(ToScreen(path_[i]));
  painter.setPen(QPen(Qt::darkBlue, 1.5));
  painter.drawPath(centre);

  const QFontMetrics metrics(font());
  if (kind_ == Kind::Plan) {
    if (stakes_ != nullptr && !stakes_->Rows().empty()) {
      QPainterPath left, right;
      painter.setPen(QPen(Qt::darkGreen, 1));
      const std::vector<StakeRow>& rows = stakes_->Rows();
      for (std::size_t i = 0; i < rows.size(); ++i) {
        const StakeRow& s = rows[i];
        painter.drawEllipse(ToScreen({s.Y_m, s.X_m}), 2, 2);
        const QPointF l = ToScreen({s.leftY_m, s.leftX_m}), r = ToScreen({s.rightY_m, s.rightX_m});
        if (stakes_->HasLeft()) i == 0 ? left.moveTo(l) : left.lineTo(l);
        if (stakes_->HasRight()) i == 0 ? right.moveTo(r) : right.lineTo(r);
      }
      painter.setPen(QPen(Qt::gray, 1, Qt::DashLine));
      painter.drawPath(left);
      painter.drawPath(right);
    }
    painter.setPen(Qt::black);
    for (const KeyPoint& k : line_->KeyPoints()) {
      const LinePoint p = line_->PointAtDistance(k.distance_m);
      const QPointF at = ToScreen({p.Y_m, p.X_m});
      painter.drawLine(at + QPointF(-4, 0), at + QPointF(4, 0));
      painter.drawLine(at + QPointF(0, -4), at + QPointF(0, 4));
      painter.drawText(at + QPointF(6, -4),
                       QString::fromStdString(k.code + " " + KStation(k.station_m, 3)));
    }
    painter.setPen(QPen(Qt::red, 1.5));
    for (const QPointF& m : measured_) {
      const QPointF at = ToScreen({m.y(), m.x()});
      painter.drawLine(at + QPointF(-5, -5), at + QPointF(5, 5));
      painter.drawLine(at + QPointF(-5, 5), at + QPointF(5, -5));
    }
    // North arrow.
    painter.setPen(Qt::black);
    painter.drawLine(QPointF(30, 60), QPointF(30, 20));
    painter.drawLine(QPointF(30, 20), QPointF(25, 30));
    painter.drawLine(QPointF(30, 20), QPointF(35, 30));
    painter.drawText(QPointF(26, 75), QStringLiteral("N"));
  } else {
    painter.setPen(Qt::black);
    for (const GradePoint& g : profile_->Points()) {
      double d = 0;
      try {
        d = line_->DistanceAt(g.station_m);
      } catch (const CalculationError&) {
        continue;
      }
      const QPointF at = ToScreen({d, kHeightExaggeration * g.elevation_m});
      painter.drawRect(QRectF(at - QPointF(3, 3), QSizeF(6, 6)));
      painter.drawText(at + QPointF(6, -6), QStringLiteral("%1 %2")
                                                .arg(QString::fromStdString(KStation(g.station_m, 3)))
                                                .arg(QString::number(g.elevation_m, 'f', 3)));
    }
    if (stakes_ != nullptr) {
      painter.setPen(QPen(Qt::darkGreen, 1));
      for (const StakeRow& s : stakes_->Rows()) {
        if (std::isnan(s.H_m)) continue;
        double d = 0;
        try {
          d = line_->DistanceAt(s.station_m);
        } catch (const CalculationError&) {
          continue;
        }
        painter.drawEllipse(ToScreen({d, kHeightExaggeration * s.H_m}), 2, 2);
      }
    }
    painter.setPen(Qt::black);
    painter.drawText(QPointF(10, height() - 10), QStringLiteral("高程放大 10 倍"));
  }
  painter.drawText(QPointF(10, metrics.height()), QStringLiteral("滚轮缩放，拖动平移，Home 或双击全图"));
}

void LineDrawing::resizeEvent(QResizeEvent*) {
  if (fitted_) Fit();
}

void LineDrawing::wheelEvent(QWheelEvent* event) {
  const double factor = std::pow(1.2, event->angleDelta().y() / 120.0);
  const QPointF cursor = event->position();
  // The world point under the cursor stays under it.
  const QPointF world(centre_.x() + (cursor.x() - width() / 2.0) / scale_,
                      centre_.y() - (cursor.y() - height() / 2.0) / scale_);
  scale_ *= factor;
  centre_ = QPointF(world.x() - (cursor.x() - width() / 2.0) / scale_,
                    world.y() + (cursor.y() - height() / 2.0) / scale_);
  fitted_ = false;
  update();
}

void LineDrawing::mousePressEvent(QMouseEvent* event) { dragFrom_ = event->position(); }

void LineDrawing::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  const QPointF moved = event->position() - dragFrom_;
  dragFrom_ = event->position();
  centre_ -= QPointF(moved.x() / scale_, -moved.y() / scale_);
  fitted_ = false;
  update();
}

void LineDrawing::mouseDoubleClickEvent(QMouseEvent*) { Fit(); }

void LineDrawing::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Home) return Fit();
  QWidget::keyPressEvent(event);
}

void LineDrawing::SavePng(const QString& path) {
  QImage image(size(), QImage::Format_RGB32);
  image.fill(Qt::white);
  render(&image);
  AtomicFile file(QFile::encodeName(path).toStdString());
  image.save(QFile::decodeName(QByteArray::fromStdString(file.TemporaryPath())), "PNG");
  file.Commit();
}

}  // namespace quorvane::ui
