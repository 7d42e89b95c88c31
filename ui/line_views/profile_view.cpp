#include "ui/line_views/profile_view.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>

#include "report/line_text.h"

namespace quorvane::ui {
namespace {

const QColor kDesignColour(0, 90, 200);
const QColor kGradeColour(120, 120, 120);
const QColor kGridColour(228, 228, 228);
const QColor kStakeColour(200, 30, 30);
const QColor kCurveEndColour(0, 140, 60);

constexpr double kMaxCurveSamples = 20000;
constexpr double kStationTickPx = 110;  // least room between station marks
constexpr double kElevationTickPx = 36;

// A round step (1, 2 or 5 times a power of ten) not shorter than `least`.
double RoundStepAtLeast(double least) {
  const double power = std::pow(10.0, std::floor(std::log10(least)));
  for (const double step : {1.0, 2.0, 5.0, 10.0}) {
    if (step * power >= least) return step * power;
  }
  return 10 * power;
}

// At most `decimals` decimals, the zeros at their end left out.
QString Trimmed(double value, int decimals) {
  QString text = QString::fromStdString(FixedText(value, std::clamp(decimals, 0, kMaxDecimals)));
  if (text.contains(QLatin1Char('.'))) {
    while (text.endsWith(QLatin1Char('0'))) text.chop(1);
    if (text.endsWith(QLatin1Char('.'))) text.chop(1);
  }
  if (text == QStringLiteral("-0")) text = QStringLiteral("0");
  return text;
}

QString GradeText(double grade) {
  const double percent = grade * 100;
  QString text = QString::fromStdString(FixedText(percent, 3));
  if (!text.startsWith(QLatin1Char('-')) && text != QStringLiteral("0.000")) text.prepend(QLatin1Char('+'));
  return QStringLiteral("i=") + text + QLatin1Char('%');
}

QSizeF TextSize(const QFontMetricsF& metrics, const QString& text) {
  const QStringList lines = text.split(QLatin1Char('\n'));
  double width = 0;
  for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
  return {width + 4, metrics.height() * static_cast<double>(lines.size())};
}

}  // namespace

ProfileView::ProfileView(FileDialogs& dialogs, MessageBoxes& boxes, QWidget* parent)
    : DrawingView(dialogs, boxes, QStringLiteral("纵断面图"), parent) {
  setObjectName(QStringLiteral("ProfileView"));
  SetVerticalExaggeration(kDefaultExaggeration);
}

QString ProfileView::EmptyText() const { return QStringLiteral("尚无纵断面：请先输入变坡点。"); }

void ProfileView::SetProfile(const Line& line, const Profile& profile) {
  line_ = std::make_shared<const Line>(line);
  profile_ = profile;
  stakes_.clear();

  // The stretches between chainage equations: the displayed chainage runs
  // on with the distance inside each one.
  parts_.clear();
  std::vector<double> equationDistances;
  for (const KeyPoint& k : line_->KeyPoints()) {
    if (k.code == "DL") equationDistances.push_back(k.distance_m);
  }
  const std::vector<ChainageEquation>& equations = line_->Equations();
  double from = 0, station = line_->Start().station_m;
  QString equation;
  for (std::size_t i = 0; i < equationDistances.size(); ++i) {
    parts_.push_back({from, equationDistances[i], station, equation});
    from = equationDistances[i];
    station = i < equations.size() ? equations[i].stationAhead_m : line_->StationAt(from);
    equation = i < equations.size()
                   ? ChainageText(equations[i].stationBack_m) + QLatin1Char('=') + ChainageText(station)
                   : QString();
  }
  parts_.push_back({from, line_->Length_m(), station, equation});

  const std::vector<GradePoint>& points = profile_->Points();
  minElevation_m_ = maxElevation_m_ = points.front().elevation_m;
  for (const GradePoint& p : points) {
    minElevation_m_ = std::min(minElevation_m_, p.elevation_m);
    maxElevation_m_ = std::max(maxElevation_m_, p.elevation_m);
  }
  FitToWindow();
}

void ProfileView::ClearProfile() {
  line_.reset();
  profile_.reset();
  parts_.clear();
  stakes_.clear();
  FitToWindow();
}

void ProfileView::SetStakes(const std::vector<LineStake>& stakes) {
  stakes_.clear();
  if (!profile_) return;
  const double first = profile_->Distances_m().front(), last = profile_->Distances_m().back();
  for (const LineStake& s : stakes) {
    if (s.distance_m < first || s.distance_m > last || !profile_->Covers(s.distance_m)) continue;
    stakes_.push_back({s.distance_m, profile_->ElevationAtDistance(s.distance_m)});
  }
  std::stable_sort(stakes_.begin(), stakes_.end(), [](const Tick& a, const Tick& b) { return a.distance_m < b.distance_m; });
  update();
}

std::optional<QRectF> ProfileView::WorldBounds() const {
  if (!profile_) return std::nullopt;
  const std::vector<double>& d = profile_->Distances_m();
  double low = minElevation_m_, high = maxElevation_m_;
  if (high - low < 1) {  // a level profile still gets some height
    low -= 0.5;
    high += 0.5;
  }
  return QRectF(QPointF(d.front(), low), QPointF(d.back(), high));
}

std::vector<QPointF> ProfileView::DesignLine() const {
  std::vector<QPointF> line;
  const std::vector<double>& d = profile_->Distances_m();
  const double verticalPx = PixelsPerMetre() * VerticalExaggeration();
  const QRectF visible = VisibleWorld(20);
  // A rounding past an end has no height: the end points are drawn anyway.
  auto at = [&](double distance) {
    if (profile_->Covers(distance)) line.emplace_back(distance, profile_->ElevationAtDistance(distance));
  };
  at(d.front());
  for (std::size_t i = 1; i + 1 < d.size(); ++i) {
    const VerticalCurve curve = profile_->CurveAt(i);
    if (curve.length_m <= 0) {
      at(d[i]);
      continue;
    }
    // A parabola split into n chords strays E / n^2 from them; keep that
    // within a quarter of a pixel, and sample only a curve near the window.
    const double from = curve.startDistance_m, to = curve.endDistance_m;
    double count = 1;
    if (to >= visible.left() && from <= visible.right()) {
      count = std::clamp(std::ceil(std::sqrt(4 * curve.external_m * verticalPx)), 2.0, kMaxCurveSamples);
    }
    for (int k = 0; k <= static_cast<int>(count); ++k) at(from + (to - from) * k / count);
  }
  at(d.back());
  return line;
}

void ProfileView::Draw(QPainter& painter, LabelPlacer& labels) const {
  const QRectF window = QRectF(rect()).adjusted(-8, -8, 8, 8);
  DrawCaption(painter, labels);
  const std::function<void(QPainter&)> drawAxes = DrawGrid(painter, labels);

  const std::vector<GradePoint>& points = profile_->Points();
  const std::vector<double>& d = profile_->Distances_m();
  auto screen = [&](double distance, double elevation) { return ToScreen(distance, elevation); };

  // Grade lines through the grade-change points.
  std::vector<QPointF> grades;
  for (std::size_t i = 0; i < points.size(); ++i) grades.push_back(screen(d[i], points[i].elevation_m));
  painter.setPen(QPen(kGradeColour, 1, Qt::DashLine));
  painter.setBrush(Qt::NoBrush);
  for (const QPolygonF& piece : ClipPolyline(grades, window)) painter.drawPolyline(piece);

  // The design line.
  std::vector<QPointF> design;
  for (const QPointF& p : DesignLine()) design.push_back(screen(p.x(), p.y()));
  painter.setPen(QPen(kDesignColour, 2));
  for (const QPolygonF& piece : ClipPolyline(design, window)) painter.drawPolyline(piece);

  // Where each vertical curve begins and ends: a short upright stroke.
  painter.setPen(QPen(kCurveEndColour, 1.5));
  for (std::size_t i = 1; i + 1 < points.size(); ++i) {
    const VerticalCurve curve = profile_->CurveAt(i);
    if (curve.length_m <= 0) continue;
    for (const double end : {curve.startDistance_m, curve.endDistance_m}) {
      if (!profile_->Covers(end)) continue;
      const QPointF at = screen(end, profile_->ElevationAtDistance(end));
      if (window.contains(at)) painter.drawLine(at - QPointF(0, 8), at + QPointF(0, 8));
    }
  }

  // Stakes: a tick across the design line at each design height, one every
  // 2 pixels at the most. The stakes are in distance order: only the visible
  // stretch is walked, a jump of 2 pixels after each tick (one pixel past a
  // stake above or below the window), so a repaint costs what the window
  // shows, not what the line holds.
  painter.setPen(QPen(kStakeColour, 1.5));
  const QRectF visible = VisibleWorld(8);
  const double metresPerPixel = 1 / std::max(1e-300, ToScreen(1, 0).x() - ToScreen(0, 0).x());
  const auto from = [&](double distance) {
    return std::lower_bound(stakes_.begin(), stakes_.end(), distance,
                            [](const Tick& t, double d) { return t.distance_m < d; });
  };
  for (auto t = from(visible.left()); t != stakes_.end() && t->distance_m <= visible.right();) {
    const QPointF at = screen(t->distance_m, t->elevation_m);
    const bool shown = window.contains(at);
    if (shown) painter.drawLine(at - QPointF(0, 5), at + QPointF(0, 5));
    const auto next = from(t->distance_m + (shown ? 2 : 1) * metresPerPixel);
    t = next == t ? t + 1 : next;
  }

  // The grade-change points.
  painter.setPen(QPen(Qt::black, 1.5));
  painter.setBrush(Qt::white);
  for (const QPointF& at : grades) {
    if (window.contains(at)) painter.drawEllipse(at, 3.5, 3.5);
  }

  DrawEquations(painter, labels);
  DrawGradePointLabels(painter, labels);
  DrawGradeLabels(painter, labels);
  drawAxes(painter);
}

void ProfileView::DrawEquations(QPainter& painter, LabelPlacer& labels) const {
  const QFontMetricsF metrics(font());
  for (const Part& part : parts_) {
    if (part.equation.isEmpty()) continue;
    const double x = ToScreen(part.fromDistance_m, 0).x();
    if (x < 0 || x > width()) continue;
    painter.setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
    painter.drawLine(QPointF(x, 24), QPointF(x, height() - metrics.height() - 8));
    const QString text = QStringLiteral("断链 ") + part.equation;
    const QSizeF size = TextSize(metrics, text);
    std::vector<QRectF> candidates;
    for (int k = 0; k < 4; ++k) {
      const double y = 26 + k * metrics.height();
      candidates.emplace_back(QPointF(x + 3, y), size);
      candidates.emplace_back(QPointF(x - 3 - size.width(), y), size);
    }
    const std::optional<QRectF> r = labels.TakeFirst(candidates);
    if (!r) continue;
    painter.setPen(Qt::black);
    DrawLabel(painter, *r, text);
  }
}

void ProfileView::DrawCaption(QPainter& painter, LabelPlacer& labels) const {
  const QString text = QStringLiteral("纵断面图　竖向比例放大 %1 倍").arg(Trimmed(VerticalExaggeration(), 2));
  const QFontMetricsF metrics(font());
  const QRectF r(QPointF(8, 6), TextSize(metrics, text));
  labels.Reserve(r);
  painter.setPen(Qt::black);
  painter.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, text);
}

std::function<void(QPainter&)> ProfileView::DrawGrid(QPainter& painter, LabelPlacer& labels) const {
  const QFontMetricsF metrics(font());
  const QRectF world = VisibleWorld();

  // Elevations: a level line every round step, its height at the left.
  const double verticalPx = PixelsPerMetre() * VerticalExaggeration();
  const double rise = RoundStepAtLeast(kElevationTickPx / verticalPx);
  const int decimals = rise >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(rise)));
  std::vector<std::pair<double, QString>> levels;
  for (double h = std::ceil(world.top() / rise) * rise; h <= world.bottom() && levels.size() < 200; h += rise) {
    levels.emplace_back(ToScreen(0, h).y(), QString::fromStdString(FixedText(h, std::min(decimals, kMaxDecimals))));
  }
  // Stations: a mark every round step of the displayed chainage, counted
  // afresh after each chainage equation.
  const double run = RoundStepAtLeast(kStationTickPx / PixelsPerMetre());
  std::vector<std::pair<double, QString>> marks;
  for (const Part& part : parts_) {
    const double from = std::max(part.fromDistance_m, world.left());
    const double to = std::min(part.toDistance_m, world.right());
    if (from > to) continue;
    const double first = std::ceil((part.fromStation_m + (from - part.fromDistance_m)) / run) * run;
    for (double s = first; s <= part.fromStation_m + (to - part.fromDistance_m) && marks.size() < 400; s += run) {
      marks.emplace_back(ToScreen(part.fromDistance_m + (s - part.fromStation_m), 0).x(), ShortChainageText(s));
    }
  }

  painter.setPen(QPen(kGridColour, 1));
  for (const auto& [y, text] : levels) painter.drawLine(QPointF(0, y), QPointF(width(), y));
  for (const auto& [x, text] : marks) painter.drawLine(QPointF(x, 0), QPointF(x, height()));

  // The axes' texts on a white band along the bottom edge and on white
  // along the left one, drawn over everything else at the end.
  const double band = metrics.height() + 8;
  labels.Reserve(QRectF(0, height() - band, width(), band));
  std::vector<std::pair<QRectF, QString>> levelTexts;
  for (const auto& [y, text] : levels) {
    const QRectF r(QPointF(4, y - metrics.height() / 2), TextSize(metrics, text));
    if (y < height() - band - metrics.height() / 2 && labels.Take(r)) levelTexts.emplace_back(r, text);
  }
  return [this, band, marks = std::move(marks), levelTexts = std::move(levelTexts)](QPainter& p) {
    const QFontMetricsF metrics(font());
    p.fillRect(QRectF(0, height() - band, width(), band), Qt::white);
    p.setPen(Qt::black);
    double lastRight = -1e9;
    for (const auto& [x, text] : marks) {
      const QSizeF size = TextSize(metrics, text);
      const QRectF r(QPointF(x - size.width() / 2, height() - band + 4), size);
      if (r.left() < lastRight + 6 || r.left() < 0 || r.right() > width()) continue;
      lastRight = r.right();
      p.drawLine(QPointF(x, height() - band), QPointF(x, height() - band + 4));
      p.drawText(r, Qt::AlignCenter, text);
    }
    for (const auto& [r, text] : levelTexts) {
      p.fillRect(r, Qt::white);
      p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, text);
    }
  };
}

void ProfileView::DrawGradePointLabels(QPainter& painter, LabelPlacer& labels) const {
  const QFontMetricsF metrics(font());
  const std::vector<GradePoint>& points = profile_->Points();
  const std::vector<double>& d = profile_->Distances_m();
  for (std::size_t i = 0; i < points.size(); ++i) {
    const QPointF at = ToScreen(d[i], points[i].elevation_m);
    if (at.x() < -40 || at.x() > width() + 40) continue;
    QString text =
        ChainageText(points[i].station_m) + QStringLiteral("\nH=") + QString::fromStdString(FixedText(points[i].elevation_m, 3));
    const VerticalCurve curve = profile_->CurveAt(i);
    if (curve.length_m > 0) {
      text += QStringLiteral("\nR=") + Trimmed(curve.radius_m, 3) + QStringLiteral("\nT=") +
              Trimmed(curve.tangent_m, 3) + QStringLiteral(" E=") + Trimmed(curve.external_m, 3);
    }
    const QSizeF size = TextSize(metrics, text);
    // Above the point, higher up where a label is in the way, then below;
    // centred on it, or beside it near the window's edges.
    std::vector<QRectF> candidates;
    for (const double left : {at.x() - size.width() / 2, at.x() - 4, at.x() + 4 - size.width()}) {
      for (int k = 0; k < 6; ++k) {
        candidates.emplace_back(QPointF(left, at.y() - 24 - size.height() - k * metrics.height()), size);
      }
      for (int k = 0; k < 3; ++k) candidates.emplace_back(QPointF(left, at.y() + 24 + k * metrics.height()), size);
    }
    const std::optional<QRectF> r = labels.TakeFirst(candidates);
    if (!r) continue;
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawLine(at, QPointF(at.x(), r->top() > at.y() ? r->top() : r->bottom()));
    painter.setPen(Qt::black);
    DrawLabel(painter, *r, text);
  }
}

void ProfileView::DrawGradeLabels(QPainter& painter, LabelPlacer& labels) const {
  const QFontMetricsF metrics(font());
  const std::vector<GradePoint>& points = profile_->Points();
  const std::vector<double>& d = profile_->Distances_m();
  painter.setPen(kDesignColour.darker(130));
  for (std::size_t i = 0; i + 1 < points.size(); ++i) {
    const QPointF a = ToScreen(d[i], points[i].elevation_m);
    const QPointF b = ToScreen(d[i + 1], points[i + 1].elevation_m);
    const QString text = GradeText(profile_->Grade(i)) + QStringLiteral(" L=") + Trimmed(d[i + 1] - d[i], 3);
    const QSizeF size = TextSize(metrics, text);
    if (std::fabs(b.x() - a.x()) < size.width()) continue;  // no room along the grade
    QPointF middle = (a + b) / 2;
    // A long grade half out of the window is labelled in the window's part.
    if (middle.x() < 0 || middle.x() > width()) {
      const double left = std::max(a.x(), 0.0), right = std::min(b.x(), static_cast<double>(width()));
      if (right - left < size.width()) continue;
      const double t = ((left + right) / 2 - a.x()) / (b.x() - a.x());
      middle = a + (b - a) * t;
    }
    // Clear of the sloping line under or over the whole width of the text.
    const double clearance = 4 + std::fabs((b.y() - a.y()) / (b.x() - a.x())) * size.width() / 2;
    const std::optional<QRectF> r =
        labels.TakeFirst({QRectF(QPointF(middle.x() - size.width() / 2, middle.y() - size.height() - clearance), size),
                          QRectF(QPointF(middle.x() - size.width() / 2, middle.y() + clearance), size)});
    if (!r) continue;
    DrawLabel(painter, *r, text);
  }
}

}  // namespace quorvane::ui
