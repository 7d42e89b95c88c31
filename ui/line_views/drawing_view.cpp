#include "ui/line_views/drawing_view.h"

#include <QContextMenuEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <utility>

#include "io/atomic_file.h"
#include "report/line_text.h"
#include "report/number_text.h"
#include "ui/file_dialogs.h"
#include "ui/message_boxes.h"

namespace quorvane::ui {
namespace {

constexpr double kWheelStep = 1.25;  // zoom per notch of the wheel, and per + or - key
constexpr double kMinPixelsPerMetre = 1e-9;
constexpr double kMaxPixelsPerMetre = 1e6;
constexpr double kCellPx = 64;  // grid cell of the label placer
constexpr double kPanKeyPx = 40;

// Liang-Barsky: cuts the segment a-b to `clip`; false when nothing is left.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& clip) {
  const double dx = b.x() - a.x();
  const double dy = b.y() - a.y();
  double t0 = 0, t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - clip.left(), clip.right() - a.x(), a.y() - clip.top(), clip.bottom() - a.y()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
  }
  const QPointF start = a;
  a = start + QPointF(dx, dy) * t0;
  b = start + QPointF(dx, dy) * t1;
  return true;
}

// A round length (1, 2 or 5 times a power of ten) not longer than `most`.
double RoundLength(double most) {
  const double power = std::pow(10.0, std::floor(std::log10(most)));
  for (const double step : {5.0, 2.0, 1.0}) {
    if (step * power <= most) return step * power;
  }
  return power;
}

QString LengthText(double metres) {
  if (metres >= 1000) return QString::fromStdString(General(metres / 1000)) + QStringLiteral(" km");
  return QString::fromStdString(General(metres)) + QStringLiteral(" m");
}

}  // namespace

QRectF DrawNorthArrow(QPainter& painter, const QSize& window) {
  const QPointF base(window.width() - 28.0, 64.0);
  const QPointF tip = base - QPointF(0, 36);
  painter.setPen(QPen(Qt::black, 2));
  painter.drawLine(base, tip);
  painter.setBrush(Qt::black);
  painter.drawPolygon(QPolygonF({tip, tip + QPointF(-6, 12), tip + QPointF(6, 12)}));
  painter.drawText(QRectF(tip.x() - 10, tip.y() - 20, 20, 18), Qt::AlignCenter, QStringLiteral("N"));
  return QRectF(tip.x() - 12, tip.y() - 20, 24, 58);
}

QRectF DrawScaleBar(QPainter& painter, const QSize& window, double pixelsPerMetre) {
  const double metres = RoundLength(150.0 / pixelsPerMetre);
  const double pixels = metres * pixelsPerMetre;
  const QPointF left(16, window.height() - 20.0);
  const QPointF right = left + QPointF(pixels, 0);
  painter.setPen(QPen(Qt::black, 2));
  painter.drawLine(left, right);
  painter.drawLine(left, left - QPointF(0, 6));
  painter.drawLine(right, right - QPointF(0, 6));
  painter.drawText(QRectF(left.x(), left.y() - 24, pixels, 18), Qt::AlignCenter, LengthText(metres));
  return QRectF(left.x() - 2, left.y() - 26, pixels + 4, 30);
}

QString ChainageText(double station_m, int decimals) {
  // A drawing never throws from its paint: what no line holds is written plainly.
  if (!std::isfinite(station_m) || std::fabs(station_m) >= 1e12) return QString::number(station_m, 'g', 15);
  return QString::fromStdString(StationText(station_m, std::clamp(decimals, 0, kMaxDecimals)));
}

QString ShortChainageText(double station_m) {
  QString text = ChainageText(station_m, 3);
  if (!text.contains(QLatin1Char('.')) || text.contains(QLatin1Char('e'))) return text;
  while (text.endsWith(QLatin1Char('0'))) text.chop(1);
  if (text.endsWith(QLatin1Char('.'))) text.chop(1);
  return text;
}

LabelPlacer::LabelPlacer(const QRectF& area) : area_(area) {
  columns_ = std::max(1, static_cast<int>(std::ceil(area.width() / kCellPx)));
  rows_ = std::max(1, static_cast<int>(std::ceil(area.height() / kCellPx)));
  cells_.resize(static_cast<std::size_t>(columns_ * rows_));
}

template <typename F>
void LabelPlacer::ForEachCell(const QRectF& rect, F&& f) const {
  auto cell = [](double at, double origin, int count) {
    return std::clamp(static_cast<int>(std::floor((at - origin) / kCellPx)), 0, count - 1);
  };
  const int c0 = cell(rect.left(), area_.left(), columns_), c1 = cell(rect.right(), area_.left(), columns_);
  const int r0 = cell(rect.top(), area_.top(), rows_), r1 = cell(rect.bottom(), area_.top(), rows_);
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) f(static_cast<std::size_t>(r * columns_ + c));
  }
}

void LabelPlacer::Add(const QRectF& rect) {
  const int index = static_cast<int>(rects_.size());
  rects_.push_back(rect);
  ForEachCell(rect, [&](std::size_t cell) { cells_[cell].push_back(index); });
}

void LabelPlacer::Reserve(const QRectF& rect) { Add(rect); }

bool LabelPlacer::Take(const QRectF& rect) {
  if (!area_.contains(rect)) return false;
  const QRectF padded = rect.adjusted(-2, -1, 2, 1);
  bool free = true;
  ForEachCell(padded, [&](std::size_t cell) {
    for (const int i : cells_[cell]) {
      if (rects_[static_cast<std::size_t>(i)].intersects(padded)) free = false;
    }
  });
  if (free) Add(rect);
  return free;
}

std::optional<QRectF> LabelPlacer::TakeFirst(const std::vector<QRectF>& candidates) {
  for (const QRectF& r : candidates) {
    if (Take(r)) return r;
  }
  return std::nullopt;
}

std::vector<QPolygonF> ClipPolyline(const std::vector<QPointF>& points, const QRectF& clip) {
  std::vector<QPolygonF> pieces;
  QPolygonF current;
  for (std::size_t i = 1; i < points.size(); ++i) {
    QPointF a = points[i - 1], b = points[i];
    if (!ClipSegment(a, b, clip)) {
      if (current.size() > 1) pieces.push_back(current);
      current.clear();
      continue;
    }
    if (current.isEmpty() || current.back() != a) {
      if (current.size() > 1) pieces.push_back(current);
      current.clear();
      current << a;
    }
    current << b;
  }
  if (current.size() > 1) pieces.push_back(current);
  return pieces;
}

DrawingView::DrawingView(FileDialogs& dialogs, MessageBoxes& boxes, QString imageName, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), boxes_(boxes), imageName_(std::move(imageName)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(240, 180);
}

QPointF DrawingView::WorldToScreen(double u_m, double v_m) const {
  return {width() / 2.0 + (u_m - centre_.x()) * pixelsPerMetre_,
          height() / 2.0 - (v_m - centre_.y()) * pixelsPerMetre_ * exaggeration_};
}

QPointF DrawingView::ScreenToWorld(QPointF pixel) const {
  return {centre_.x() + (pixel.x() - width() / 2.0) / pixelsPerMetre_,
          centre_.y() - (pixel.y() - height() / 2.0) / (pixelsPerMetre_ * exaggeration_)};
}

QRectF DrawingView::VisibleWorld(double marginPx) const {
  const QPointF topLeft = ScreenToWorld({-marginPx, -marginPx});
  const QPointF bottomRight = ScreenToWorld({width() + marginPx, height() + marginPx});
  return QRectF(QPointF(topLeft.x(), bottomRight.y()), QPointF(bottomRight.x(), topLeft.y()));
}

void DrawingView::SetVerticalExaggeration(double times) {
  if (!(times > 0) || !std::isfinite(times)) return;
  exaggeration_ = times;
  if (fitted_) FitToWindow();
  update();
}

void DrawingView::FitToWindow() {
  fitted_ = true;
  const std::optional<QRectF> bounds = WorldBounds();
  if (!bounds) {
    update();
    return;
  }
  const QMargins m = FitMargins();
  const double w = std::max(1, width() - m.left() - m.right());
  const double h = std::max(1, height() - m.top() - m.bottom());
  const double spanU = bounds->width();
  const double spanV = bounds->height() * exaggeration_;
  double scale = pixelsPerMetre_;
  if (spanU > 0 || spanV > 0) scale = std::min(spanU > 0 ? w / spanU : HUGE_VAL, spanV > 0 ? h / spanV : HUGE_VAL);
  pixelsPerMetre_ = std::clamp(scale, kMinPixelsPerMetre, kMaxPixelsPerMetre);
  // The middle of the bounds goes to the middle of the room inside the margins.
  const QPointF middle = bounds->center();
  const double x = m.left() + w / 2, y = m.top() + h / 2;
  centre_ = {middle.x() - (x - width() / 2.0) / pixelsPerMetre_,
             middle.y() + (y - height() / 2.0) / (pixelsPerMetre_ * exaggeration_)};
  update();
}

void DrawingView::ZoomAround(QPointF pixel, double factor) {
  const QPointF fixed = ScreenToWorld(pixel);
  pixelsPerMetre_ = std::clamp(pixelsPerMetre_ * factor, kMinPixelsPerMetre, kMaxPixelsPerMetre);
  // Move the centre so that `fixed` stays under `pixel`.
  centre_ = {fixed.x() - (pixel.x() - width() / 2.0) / pixelsPerMetre_,
             fixed.y() + (pixel.y() - height() / 2.0) / (pixelsPerMetre_ * exaggeration_)};
  fitted_ = false;
  update();
}

void DrawingView::PaintAll(QPainter& painter) const {
  painter.fillRect(rect(), Qt::white);
  painter.setRenderHint(QPainter::Antialiasing);
  drawnLabels_.clear();
  if (!HasDrawing()) {
    painter.setPen(Qt::darkGray);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, EmptyText());
    return;
  }
  LabelPlacer labels(rect());
  Draw(painter, labels);
}

void DrawingView::DrawLabel(QPainter& painter, const QRectF& rect, const QString& text) const {
  painter.fillRect(rect, QColor(255, 255, 255, 190));
  painter.drawText(rect, Qt::AlignCenter, text);
  drawnLabels_.push_back(text);
}

std::vector<QString> DrawingView::DrawnLabels() const {
  QImage image(size(), QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&image);
  PaintAll(painter);
  return drawnLabels_;
}

void DrawingView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintAll(painter);
}

void DrawingView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (fitted_) FitToWindow();
}

void DrawingView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches != 0) ZoomAround(event->position(), std::pow(kWheelStep, notches));
  event->accept();
}

void DrawingView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    dragFrom_ = event->position();
    setCursor(Qt::ClosedHandCursor);
  }
}

void DrawingView::mouseMoveEvent(QMouseEvent* event) {
  if (!dragFrom_) return;
  const QPointF moved = event->position() - *dragFrom_;
  dragFrom_ = event->position();
  centre_ -= QPointF(moved.x() / pixelsPerMetre_, -moved.y() / (pixelsPerMetre_ * exaggeration_));
  fitted_ = false;
  update();
}

void DrawingView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    dragFrom_.reset();
    unsetCursor();
  }
}

void DrawingView::mouseDoubleClickEvent(QMouseEvent*) { FitToWindow(); }

bool DrawingView::event(QEvent* event) {
  // While the drawing has the focus, Ctrl+S saves the picture, not whatever
  // the window around it saves with the same keys.
  if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Save)) {
    event->accept();
    return true;
  }
  return QWidget::event(event);
}

void DrawingView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Save)) {
    SaveImage();
    return;
  }
  const QPointF middle(width() / 2.0, height() / 2.0);
  auto pan = [&](double dx, double dy) {
    centre_ += QPointF(dx / pixelsPerMetre_, dy / (pixelsPerMetre_ * exaggeration_));
    fitted_ = false;
    update();
  };
  switch (event->key()) {
    case Qt::Key_F:
    case Qt::Key_Home:
      FitToWindow();
      return;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      ZoomAround(middle, kWheelStep);
      return;
    case Qt::Key_Minus:
      ZoomAround(middle, 1 / kWheelStep);
      return;
    case Qt::Key_Left:
      pan(-kPanKeyPx, 0);
      return;
    case Qt::Key_Right:
      pan(kPanKeyPx, 0);
      return;
    case Qt::Key_Up:
      pan(0, kPanKeyPx);
      return;
    case Qt::Key_Down:
      pan(0, -kPanKeyPx);
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

void DrawingView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  const QPointF middle(width() / 2.0, height() / 2.0);
  menu.addAction(QStringLiteral("适合窗口\tF"), this, [this] { FitToWindow(); });
  menu.addAction(QStringLiteral("放大\t+"), this, [this, middle] { ZoomAround(middle, kWheelStep); });
  menu.addAction(QStringLiteral("缩小\t-"), this, [this, middle] { ZoomAround(middle, 1 / kWheelStep); });
  menu.addSeparator();
  menu.addAction(QStringLiteral("保存为 PNG…\tCtrl+S"), this, [this] { SaveImage(); });
  menu.exec(event->globalPos());
}

bool DrawingView::SaveImage() {
  QString name = dialogs_.SaveFileName(this, QStringLiteral("保存") + imageName_, imageName_ + QStringLiteral(".png"),
                                       {QStringLiteral("PNG 图片 (*.png)")});
  if (name.isEmpty()) return false;
  if (!name.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) name += QStringLiteral(".png");
  // At the screen's own pixel density, as sharp as the window shows it.
  const qreal ratio = devicePixelRatioF();
  QImage image(size() * ratio, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  {
    QPainter painter(&image);
    PaintAll(painter);
  }
  try {
    AtomicFile file(name.toStdString());
    if (!image.save(QString::fromStdString(file.TemporaryPath()), "PNG")) {
      throw FileError(FileErrorMessage(name.toStdString(), EIO));
    }
    file.Commit();
  } catch (const FileError& error) {
    boxes_.Inform(this, QString::fromStdString(error.what()), QString::fromUtf8(kFileErrorTitle));
    return false;
  }
  return true;
}

}  // namespace quorvane::ui
