#pragma once

#include <QPointF>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "calc/curve_point.h"
#include "command/run_calculation.h"

namespace quorvane::ui {

class FileDialogs;
class MessageBoxes;

// 平面图: the last calculation drawn to scale, north up and east right. The
// start point with its tangent (the line the road would follow without the
// curve), the curve, each stake as a dot with its station (labels that would
// overlap an earlier one are left out), side points when given, a north arrow
// and a scale bar.
//
// The wheel zooms around the mouse, dragging pans, F, Home or a double click
// fits the drawing to the window, Ctrl+S (or the context menu) saves what the
// window shows as PNG. A top-level, non-modal window.
class PlanView : public QWidget {
  Q_OBJECT

 public:
  PlanView(FileDialogs& dialogs, MessageBoxes& boxes, QWidget* parent = nullptr);

  // Draws `calculation` (and `sides`, when given, of the same stake set) and
  // fits it to the window. Keeps copies: the arguments may go away.
  void ShowCalculation(const Calculation& calculation, const SideStakeTable* sides = nullptr);

  // Whether a calculation is shown.
  bool HasCalculation() const { return curve_.has_value(); }

  // Where a survey point (X north, Y east, metres) lands in the window, in
  // pixels from its top-left corner, at the current zoom and pan.
  QPointF ToScreen(double X_m, double Y_m) const;

  // Metres per pixel at the current zoom.
  double MetresPerPixel() const { return 1.0 / pixelsPerMetre_; }

  // Scale and centre the drawing so that all of it shows, with a margin.
  void FitToWindow();

  // Asks for a file name and saves the window's picture there as PNG. False
  // when the user cancels or the file cannot be written (then a message says
  // so).
  bool SaveImage();

  // Which stake labels are drawn at the current zoom and pan (indices into
  // the stakes): those inside the window that overlap no label drawn before
  // them.
  std::vector<int> VisibleStakeLabels() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

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
    std::vector<SurveyPoint> stakes;
    std::vector<QString> labels;
    std::vector<double> labelWidths;  // pixels, in the window's font
    std::vector<SurveyPoint> left;
    std::vector<SurveyPoint> right;
  };

  // Where each stake's label would go; empty for a stake too far outside
  // the window to show its label.
  std::vector<QRectF> LabelRects() const;
  std::vector<int> VisibleLabels(const std::vector<QRectF>& rects) const;
  // The survey point at a window position.
  SurveyPoint FromScreen(QPointF pixel) const;
  void ZoomAround(QPointF pixel, double factor);
  void DrawNorthArrow(class QPainter& painter) const;
  void DrawScaleBar(class QPainter& painter) const;

  FileDialogs& dialogs_;
  MessageBoxes& boxes_;
  std::optional<Curve> curve_;
  double pixelsPerMetre_ = 1.0;
  SurveyPoint centre_{0, 0};  // survey point at the middle of the window
  bool fitted_ = true;        // follows resizes until the user zooms or pans
  std::optional<QPointF> dragFrom_;
};

}  // namespace quorvane::ui
