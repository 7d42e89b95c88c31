#pragma once

#include <QPointF>
#include <QRect>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "calc/curve_point.h"
#include "command/run_calculation.h"
#include "ui/line_views/drawing_view.h"

namespace quorvane::ui {

class FileDialogs;
class MessageBoxes;

// The stake label step of a plan: the smallest round length (1, 2 or 5 times
// a power of ten) that is a whole multiple of the stake interval and at least
// `minimum_m`, or, for an interval no round length is a multiple of (3 m),
// the interval times 1, 2, 5, 10, 20 …. Metres; `interval_m` of either sign,
// not 0; `minimum_m` > 0.
double RoundStationStep(double interval_m, double minimum_m);

// Where a window of `size` goes beside the window `main` (both with their
// frames) on the screen's free area `screen`: right of it, else left, else
// below, else above, at full size where one side has the room; else on the
// side with the most room, shrunk to it down to `minimum`. Only when no side
// has room for `minimum` does it cover part of `main`: then right of it, kept
// on the screen.
QRect PlaceBeside(const QRect& main, const QRect& screen, QSize size, QSize minimum);

// 平面图: the last calculation drawn to scale, north up and east right. The
// start point with its tangent (the line the road would follow without the
// curve), the curve and its end point, each stake as a dot, the stations of
// the stakes on round stations (multiples of a step chosen from the scale,
// RoundStationStep), side points when given with a legend, a north arrow and
// a scale bar.
//
// Zooming, panning, fitting and saving as PNG are those of every drawing
// (DrawingView): the wheel, dragging, F, Home or a double click, Ctrl+S or
// the context menu. A top-level, non-modal window.
class PlanView : public DrawingView {
  Q_OBJECT

 public:
  PlanView(FileDialogs& dialogs, MessageBoxes& boxes, QWidget* parent = nullptr);

  // Draws `calculation` (with its side points when it has them) and fits it
  // to the window. Keeps what it draws: the calculation may go away.
  void ShowCalculation(const Calculation& calculation);

  // Whether a calculation is shown.
  bool HasCalculation() const { return curve_.has_value(); }

  // Where a survey point (X north, Y east, metres) lands in the window, in
  // pixels from its top-left corner, at the current zoom and pan: the
  // drawing's world is east to the right (u = Y) and north up (v = X).
  QPointF ToScreen(double X_m, double Y_m) const { return WorldToScreen(Y_m, X_m); }

  // Metres per pixel at the current zoom.
  double MetresPerPixel() const { return 1.0 / PixelsPerMetre(); }

  // Which stake labels are drawn at the current zoom and pan (indices into
  // the stakes): those on a multiple of LabelStep() inside the window that
  // overlap no label drawn before them (only a curve that folds back on
  // itself brings them together), except a stake on the end station, which
  // the end point's label names.
  std::vector<int> VisibleStakeLabels() const;

  // The station step of the labels at the current zoom, metres: room for the
  // widest label between two labelled stakes.
  double LabelStep() const;

 protected:
  std::optional<QRectF> WorldBounds() const override;
  void Draw(QPainter& painter, LabelPlacer& labels) const override;
  bool HasDrawing() const override { return curve_.has_value(); }
  QString EmptyText() const override;

 private:
  struct SurveyPoint {
    double X;
    double Y;
  };
  struct Curve {
    CurveInput input;
    QString startLabel;
    SurveyPoint start;
    double startAzimuth_rad;
    std::vector<SurveyPoint> line;  // start, then the curve, finely sampled
    std::optional<SurveyPoint> end;  // the curve's end point
    QString endLabel;
    std::vector<SurveyPoint> stakes;
    std::vector<double> stations;
    std::vector<QString> labels;
    std::vector<double> labelWidths;  // pixels, in the window's font
    std::vector<SurveyPoint> left;
    std::vector<SurveyPoint> right;
  };

  // Where each stake's label would go; empty for a stake too far outside
  // the window to show its label.
  std::vector<QRectF> LabelRects() const;
  std::vector<int> VisibleLabels(const std::vector<QRectF>& rects) const;
  void DrawStartTangent(QPainter& painter) const;
  void DrawPoints(QPainter& painter) const;
  void DrawLegend(QPainter& painter) const;

  std::optional<Curve> curve_;
};

}  // namespace quorvane::ui
