#pragma once

#include <QPointF>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "calc/line.h"
#include "calc/profile.h"
#include "ui/line/stake_model.h"

namespace quorvane::ui {

// A drawing of the line to scale, north up and east right in the plan, or
// its profile (elevation over distance, heights exaggerated ten times).
//  - plan: the centre line, its key points labelled with code and station,
//    the stakes as ticks, the edge lines, and measured points as crosses;
//  - profile: the design grade line with its vertical curves, the
//    grade-change points, and the stakes' heights.
// The wheel zooms about the cursor, dragging pans, Home or a double click
// fits the whole drawing. SavePng writes what is shown, whole or not at all.
class LineDrawing : public QWidget {
  Q_OBJECT

 public:
  enum class Kind { Plan, Profile };
  explicit LineDrawing(Kind kind, QWidget* parent = nullptr);

  // Nothing drawn without a line (or, for the profile, without a profile).
  void SetLine(const Line* line, const Profile* profile);
  void SetStakes(const StakeModel* stakes) { stakes_ = stakes, update(); }
  void SetMeasured(std::vector<QPointF> surveyPoints) { measured_ = std::move(surveyPoints), update(); }
  void Fit();
  // Throws FileError when the file cannot be written.
  void SavePng(const QString& path);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // World coordinates: plan (east, north), profile (distance, 10 x height).
  QPointF ToScreen(QPointF world) const;
  QRectF WorldBounds() const;
  void Sample();

  Kind kind_;
  const Line* line_ = nullptr;
  const Profile* profile_ = nullptr;
  const StakeModel* stakes_ = nullptr;
  std::vector<QPointF> measured_;
  std::vector<QPointF> path_;  // the sampled centre or grade line, world coordinates
  double scale_ = 1;           // pixels per world unit
  QPointF centre_;             // world point at the widget's centre
  QPointF dragFrom_;
  bool fitted_ = false;
};

}  // namespace quorvane::ui
