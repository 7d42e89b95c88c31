#pragma once

#include <QMargins>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

class QMenu;
class QPainter;

namespace quorvane::ui {

class FileDialogs;
class MessageBoxes;

// A displayed chainage as a surveyor writes it: "K12+345.678", the metres
// padded to three digits before the point, `decimals` (0..6) after it; the
// kilometres of a negative station count down ("K-1+985.000" is -15 m).
QString ChainageText(double station_m, int decimals = 3);
// The same rounded to the millimetre with the zeros at the end of the
// decimals left out, as stakes are labelled: "K1+020", "K1+020.5".
QString ShortChainageText(double station_m);

// The marks of a plan drawn north up, in a window of `window` pixels: a
// north arrow near the top right corner, and a scale bar in the bottom left
// corner of a round length (1, 2 or 5 times a power of ten metres) at most
// 150 pixels long at `pixelsPerMetre`. Each returns the room it took, pixels.
QRectF DrawNorthArrow(QPainter& painter, const QSize& window);
QRectF DrawScaleBar(QPainter& painter, const QSize& window, double pixelsPerMetre);

// Places labels in a window without overlap: a label is taken when it lies
// inside the area and overlaps nothing taken or reserved before it. Pixels.
class LabelPlacer {
 public:
  explicit LabelPlacer(const QRectF& area);
  // Keeps the room of something already drawn (a north arrow, a scale bar).
  void Reserve(const QRectF& rect);
  // True, and the rect taken, when it is free.
  bool Take(const QRectF& rect);
  // The first of `candidates` that is free, taken; nothing when none is.
  std::optional<QRectF> TakeFirst(const std::vector<QRectF>& candidates);

 private:
  void Add(const QRectF& rect);
  template <typename F>
  void ForEachCell(const QRectF& rect, F&& f) const;

  QRectF area_;
  int columns_ = 1;
  int rows_ = 1;
  std::vector<QRectF> rects_;
  std::vector<std::vector<int>> cells_;  // indices into rects_
};

// The pieces of a polyline (pixels) that lie inside `clip`; each segment is
// cut at the edges, so a line reaching millions of pixels beyond the window
// is drawn as its visible part only.
std::vector<QPolygonF> ClipPolyline(const std::vector<QPointF>& points, const QRectF& clip);

// What the plan and the profile of a line share: a drawing in *world*
// coordinates (u to the right, v up, metres) shown at a horizontal scale of
// PixelsPerMetre() and a vertical one VerticalExaggeration() times larger.
// The wheel zooms around the mouse, dragging with the left button pans, F,
// Home or a double click fits the drawing to the window, Ctrl+S or the
// context menu saves what the window shows as a PNG image.
class DrawingView : public QWidget {
  Q_OBJECT

 public:
  // `imageName` is the drawing's name ("平面图"), offered as the file name
  // and used as the title of the save dialog.
  DrawingView(FileDialogs& dialogs, MessageBoxes& boxes, QString imageName, QWidget* parent = nullptr);

  // Scales and centres the drawing so that all of it shows inside the
  // margins. The drawing then follows resizes until the user zooms or pans.
  void FitToWindow();

  // Horizontal pixels per metre at the current zoom.
  double PixelsPerMetre() const { return pixelsPerMetre_; }
  // Vertical scale over horizontal scale (1 for a plan).
  double VerticalExaggeration() const { return exaggeration_; }

  // Asks for a file name (".png" added when missing) and saves the window's
  // picture there as PNG, through a temporary file that replaces the target
  // only when complete. False when the user cancels or the file cannot be
  // written; then a message box gives the reason, and no file is left.
  bool SaveImage();

  // The texts of the labels drawn at the current zoom and pan, in the order
  // they were placed (lays the drawing out afresh to find them).
  std::vector<QString> DrawnLabels() const;

 protected:
  // Where a world point lands in the window, pixels from its top-left.
  QPointF WorldToScreen(double u_m, double v_m) const;
  // The world point under a window position.
  QPointF ScreenToWorld(QPointF pixel) const;
  // The part of the world the window shows, grown by `marginPx` pixels on
  // each side (x: u range, y: v range; top() is the lowest v).
  QRectF VisibleWorld(double marginPx = 0) const;

  void SetVerticalExaggeration(double times);

  // The world rectangle that FitToWindow shows (x: u range, y: v range);
  // nothing when there is nothing to draw.
  virtual std::optional<QRectF> WorldBounds() const = 0;
  // Room kept free around the drawing by FitToWindow, pixels.
  virtual QMargins FitMargins() const { return {40, 40, 40, 40}; }
  // Draws everything on a white window; `labels` places the texts.
  virtual void Draw(QPainter& painter, LabelPlacer& labels) const = 0;
  // Whether there is anything to draw (cheap; asked at every paint).
  virtual bool HasDrawing() const = 0;
  // What to draw when there is nothing to draw.
  virtual QString EmptyText() const = 0;

  // Draws a label in the painter's pen on a light white ground that keeps
  // it readable over lines, and notes its text for DrawnLabels.
  void DrawLabel(QPainter& painter, const QRectF& rect, const QString& text) const;

  bool event(QEvent* event) override;
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
  void ZoomAround(QPointF pixel, double factor);
  // Paints the whole window: background, drawing (or the empty text).
  void PaintAll(QPainter& painter) const;

  FileDialogs& dialogs_;
  MessageBoxes& boxes_;
  QString imageName_;
  double pixelsPerMetre_ = 1.0;
  double exaggeration_ = 1.0;
  QPointF centre_{0, 0};  // world point at the middle of the window
  bool fitted_ = true;
  std::optional<QPointF> dragFrom_;
  mutable std::vector<QString> drawnLabels_;
};

}  // namespace quorvane::ui
