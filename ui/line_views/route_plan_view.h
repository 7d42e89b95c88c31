#pragma once

#include <QPointF>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calc/line.h"
#include "ui/line_views/drawing_view.h"

namespace quorvane::ui {

// A measured point to show beside the line: its name (点号, UTF-8) and
// survey coordinates, X north and Y east, metres.
struct MeasuredPoint {
  std::string name;
  double X_m = 0;
  double Y_m = 0;
};

// The line drawn as a polyline whose chords stay within half a pixel of the
// true curve at the zoom it is drawn at: coarse samples kept, fine ones
// made for the part in the window only. World coordinates u east, v north.
class SampledPath {
 public:
  SampledPath() = default;
  // The path `at(distance)` (survey X, Y) over the line's elements; each
  // element's smallest radius, less |offset_m|, bounds how far a chord
  // strays from the path.
  SampledPath(std::shared_ptr<const Line> line, double offset_m);

  // The path near `visible` (a world rectangle) as world polylines whose
  // chords stay within `tolerance_m` of it; one piece for each stretch that
  // passes the window.
  std::vector<std::vector<QPointF>> Pieces(const QRectF& visible, double tolerance_m) const;

  // The world rectangle of every coarse sample.
  QRectF Bounds() const;

 private:
  static constexpr std::size_t kChordsPerRun = 64;

  QPointF At(double distance_m) const;
  static double Step(double radius_m, double tolerance_m);
  void BoundRuns();

  std::shared_ptr<const Line> line_;
  double offset_m_ = 0;
  std::vector<double> distances_m_;  // of the coarse samples
  std::vector<QPointF> points_;      // world (east, north)
  std::vector<double> radii_m_;      // smallest radius from each sample to the next
  std::vector<QRectF> runBounds_;    // of the samples of each kChordsPerRun chords
};

// 路线平面图: a whole line to scale, north up and east right. The centre
// line, its element joints, the key points marked and labelled with their
// code and station ("ZH K1+234.567"), the stakes as dots with their
// stations, edge points and edge lines at the given widths, measured points
// as crosses with their names, a north arrow and a scale bar. Labels that
// would overlap one drawn before them are left out: key points first, then
// measured points, then stakes.
//
// Wheel, drag, F/Home/double click, +/-, arrow keys, Ctrl+S and the context
// menu as in DrawingView; the saved picture is 平面图.png by default.
class RoutePlanView : public DrawingView {
  Q_OBJECT

 public:
  RoutePlanView(FileDialogs& dialogs, MessageBoxes& boxes, QWidget* parent = nullptr);

  // Shows `line` (a copy is kept), clears the stakes and edge lines, keeps
  // the measured points, and fits the drawing to the window.
  void SetLine(const Line& line);
  // Removes the line, its stakes and edge lines.
  void ClearLine();
  bool HasLine() const { return line_ != nullptr; }

  // Stakes of the line shown, as Line::Stakes gives them: a dot at each,
  // labelled with its station (a stake carrying a key point's code is
  // labelled by the key point). With leftWidth_m / rightWidth_m > 0 (metres
  // from the centre line, both positive) the edge points at those widths
  // and the edge lines along the whole line are drawn too. Does not refit.
  void SetStakes(const std::vector<LineStake>& stakes, double leftWidth_m = 0, double rightWidth_m = 0);
  // The same stakes with edge points of their own, as a cross-section that
  // widens puts them (survey X, Y; one a stake or none for a side without):
  // a dot at each and the edge line joining them stake to stake, so the
  // edges are drawn as they widen. Does not refit.
  void SetStakeEdges(const std::vector<LineStake>& stakes, const std::vector<LinePoint>& left,
                     const std::vector<LinePoint>& right);

  // Measured points, drawn as crosses with their names. Does not refit;
  // FitToWindow takes them in.
  void SetMeasuredPoints(std::vector<MeasuredPoint> points);

  // Where a survey point (X north, Y east, metres) lands in the window, in
  // pixels from its top-left corner, at the current zoom and pan.
  QPointF ToScreen(double X_m, double Y_m) const { return WorldToScreen(Y_m, X_m); }

  // Metres per pixel at the current zoom.
  double MetresPerPixel() const { return 1.0 / PixelsPerMetre(); }

  // What the last repaint drew, in window pixels: the stake dots, the edge
  // points and the key points' rings, how many stakes it looked at and how
  // many points its lines had. For tests and measurements.
  struct DrawnMarks {
    std::vector<QPointF> stakes;
    std::vector<QPointF> edgePoints;
    std::vector<QPointF> keyPoints;
    std::size_t stakesVisited = 0;
    std::size_t pathPoints = 0;
  };
  const DrawnMarks& LastDrawn() const { return drawn_; }

 protected:
  std::optional<QRectF> WorldBounds() const override;
  bool HasDrawing() const override { return line_ != nullptr || !measured_.empty(); }
  void Draw(QPainter& painter, LabelPlacer& labels) const override;
  QString EmptyText() const override;

 private:
  struct Mark {
    QPointF world;                      // east, north
    QString label;                      // empty: the station's, or none
    double azimuth_rad{};               // of the line there
    std::optional<double> station_m{};  // a stake's, labelled when drawn
  };

  // A stake as drawn: where it is, the line's azimuth there, its station
  // (labelled unless it carries a key point's code, which the key point
  // labels).
  struct StakeDot {
    QPointF world;  // east, north
    double azimuth_rad;
    double station_m;
    bool labelled;
    std::optional<QPointF> left, right;  // its edge points, east and north
  };
  // A run of stakes one after another along the line and the world
  // rectangle of them and their edge points: a repaint looks only at the
  // runs the window shows.
  struct StakeRun {
    std::size_t first, last;  // stakes [first, last)
    QRectF bounds;
  };

  void DrawPath(QPainter& painter, const SampledPath& path, const QPen& pen) const;
  void DrawStakes(QPainter& painter, const QRectF& window) const;
  // The runs of stakes and their rectangles, stake and edge points within.
  void IndexStakes();
  // The lines through the stakes' own edge points, run by run in view.
  void DrawStakeEdgeLines(QPainter& painter) const;
  void PlaceStakeLabels(QPainter& painter, LabelPlacer& labels, const QRectF& window) const;
  // Every `stride`-th stake (by its place in the list) in the runs that
  // meet `visible`, handed to `f` with its index.
  template <typename F>
  void ForVisibleStakes(const QRectF& visible, std::size_t stride, F&& f) const;

  std::shared_ptr<const Line> line_;
  SampledPath centre_;
  std::vector<SampledPath> edges_;  // left, right where drawn
  std::vector<Mark> joints_;        // element joints, without labels
  std::vector<Mark> keyPoints_;     // "ZH K1+234.567"
  std::vector<StakeDot> stakes_;    // in the order given, which is along the line
  std::vector<StakeRun> stakeRuns_;
  double stakeSpacing_m_ = 0;  // mean distance from one stake to the next
  bool edgeLines_ = false;  // the edge points are joined stake to stake (SetStakeEdges)
  std::vector<Mark> measured_;
  mutable DrawnMarks drawn_;
};

}  // namespace quorvane::ui
