#pragma once

#include <QWidget>
#include <optional>
#include <vector>

#include "calc/cross_section.h"
#include "calc/line.h"

class QLabel;
class QUndoStack;

namespace quorvane::ui {

class GridModel;
class GridView;

// The 横断面 tab: the line's superelevation and widening table (超高、加宽表),
// 桩号, 左宽, 右宽, 左横坡 (%), 右横坡 (%), 过渡 (empty or 线性: widths
// change linearly; 高次: the higher-order transition into this row). It edits
// like the other tables (GridView, every edit one step of the window's undo
// stack) and is read against the window's line after each edit: a row that
// cannot be used has its reason beside it, a fault of the whole table (an
// inside edge reaching the centre of curvature, named by its station) stands
// under it. A table without rows is no cross-section: the stakes then use
// the widths and slopes typed on 逐桩坐标.
class CrossSectionTab : public QWidget {
  Q_OBJECT

 public:
  CrossSectionTab(QUndoStack* undo, QWidget* parent = nullptr);

  GridModel& Table() { return *table_; }
  GridView& View() { return *view_; }

  // Reads the table against `line` (nullptr: there is no line yet, and no
  // cross-section either).
  void Update(const Line* line);

  // The cross-section as last read: none while the table is empty, has an
  // error, or there is no line.
  const std::optional<CrossSection>& Section() const { return section_; }
  // Whether any row has something typed in it.
  bool HasRows() const;
  // The first error of the table as last read, empty when there is none.
  QString Error() const;

  // The rows typed, as they would be saved in the line file (rows with an
  // error left out), and a table as loaded from one (no undo step).
  std::vector<CrossSectionRow> TypedRows() const;
  void Load(const std::vector<CrossSectionRow>& rows);

 signals:
  void Edited();

 private:
  GridModel* table_ = nullptr;
  GridView* view_ = nullptr;
  QLabel* status_ = nullptr;
  std::optional<CrossSection> section_;
};

}  // namespace quorvane::ui
