#pragma once

#include <QPointF>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "calc/line.h"
#include "calc/profile.h"
#include "ui/line_views/drawing_view.h"

namespace quorvane::ui {

// 纵断面图: the vertical profile along the line. Across, the distance along
// the line, marked with the displayed stations (K-notation; a chainage
// equation restarts the marks); up, the elevation, drawn
// VerticalExaggeration() times (10 at first) the horizontal scale, as the
// drawing says in its corner. The grade lines between the grade-change
// points (dashed), the design line with its vertical curves as the parabolas
// (or circles) of the profile itself, each grade-change point labelled with
// its station, elevation and, with a curve, R, T and E, each grade line with
// its grade in percent and its length, and the stakes as ticks across the
// design line at their design heights; a chainage equation as an upright
// dashed line with its two stations.
//
// Wheel, drag, F/Home/double click, +/-, arrow keys, Ctrl+S and the context
// menu as in DrawingView; the saved picture is 纵断面图.png by default.
class ProfileView : public DrawingView {
  Q_OBJECT

 public:
  static constexpr double kDefaultExaggeration = 10;

  ProfileView(FileDialogs& dialogs, MessageBoxes& boxes, QWidget* parent = nullptr);

  // Shows `profile`, which was built on `line` (copies of both are kept),
  // clears the stakes and fits the drawing to the window.
  void SetProfile(const Line& line, const Profile& profile);
  // Removes the profile and its stakes.
  void ClearProfile();
  bool HasProfile() const { return profile_.has_value(); }

  // Stakes, as Line::Stakes gives them on the same line: a tick at each
  // one's design height. Stakes beyond the profile's ends are left out. Does
  // not refit.
  void SetStakes(const std::vector<LineStake>& stakes);

  // Vertical scale over horizontal scale (> 0; other values are ignored).
  using DrawingView::SetVerticalExaggeration;

  // Where the point at `distance_m` along the line and `elevation_m` lands
  // in the window, pixels from its top-left corner.
  QPointF ToScreen(double distance_m, double elevation_m) const { return WorldToScreen(distance_m, elevation_m); }

 protected:
  std::optional<QRectF> WorldBounds() const override;
  bool HasDrawing() const override { return HasProfile(); }
  QMargins FitMargins() const override { return {80, 110, 40, 60}; }
  void Draw(QPainter& painter, LabelPlacer& labels) const override;
  QString EmptyText() const override;

 private:
  struct Part {  // a stretch between chainage equations
    double fromDistance_m;
    double toDistance_m;
    double fromStation_m;
    QString equation;  // "K12+900=K12+880" where an equation begins it
  };
  struct Tick {
    double distance_m;
    double elevation_m;
  };

  // The design line near the window, as world points (distance, elevation).
  std::vector<QPointF> DesignLine() const;
  // Draws the grid lines and keeps room for the axes' texts; returns what
  // draws the texts over the rest at the end.
  std::function<void(QPainter&)> DrawGrid(QPainter& painter, LabelPlacer& labels) const;
  void DrawCaption(QPainter& painter, LabelPlacer& labels) const;
  void DrawEquations(QPainter& painter, LabelPlacer& labels) const;
  void DrawGradePointLabels(QPainter& painter, LabelPlacer& labels) const;
  void DrawGradeLabels(QPainter& painter, LabelPlacer& labels) const;

  std::shared_ptr<const Line> line_;
  std::optional<Profile> profile_;
  std::vector<Part> parts_;
  std::vector<Tick> stakes_;
  double minElevation_m_ = 0;
  double maxElevation_m_ = 0;
};

}  // namespace quorvane::ui
