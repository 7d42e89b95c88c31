#include "ui/line/grid_view.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <algorithm>
#include <set>

#include "ui/line/grid_model.h"

namespace quorvane::ui {

GridView::GridView(QWidget* parent) : QTableView(parent) {
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setTabKeyNavigation(true);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  horizontalHeader()->setStretchLastSection(true);
}

GridModel* GridView::Grid() const { return qobject_cast<GridModel*>(model()); }

void GridView::MoveTo(int row, int column) {
  GridModel* grid = Grid();
  if (grid == nullptr) return;
  row = std::max(row, 0);
  column = std::clamp(column, 0, grid->InputColumns() - 1);
  // Moving down past the last row adds one, as a spreadsheet's next line.
  if (grid->FixedRows()) row = std::min(row, grid->rowCount() - 1);
  if (row >= grid->rowCount()) grid->InsertRowsAt(grid->rowCount(), row - grid->rowCount() + 1);
  const QModelIndex target = grid->index(row, column);
  setCurrentIndex(target);
  scrollTo(target);
}

void GridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  // Return in an editor: commit and go one row down, as a spreadsheet does.
  if (hint == QAbstractItemDelegate::SubmitModelCache) {
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    const bool up = QApplication::keyboardModifiers() & Qt::ShiftModifier;
    MoveTo(currentIndex().row() + (up ? -1 : 1), currentIndex().column());
    return;
  }
  QTableView::closeEditor(editor, hint);
}

void GridView::keyPressEvent(QKeyEvent* event) {
  GridModel* grid = Grid();
  if (grid == nullptr) return QTableView::keyPressEvent(event);
  const QModelIndex at = currentIndex();
  if (event->matches(QKeySequence::Copy)) return CopySelection();
  if (event->matches(QKeySequence::Paste)) return PasteClipboard();
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (state() != QAbstractItemView::EditingState) {
        const bool up = event->modifiers() & Qt::ShiftModifier;
        MoveTo(at.row() + (up ? -1 : 1), at.column());
        return;
      }
      break;
    case Qt::Key_Tab:
      if (at.isValid() && at.column() + 1 >= grid->InputColumns() && grid->FixedRows() &&
          at.row() + 1 >= grid->rowCount()) {
        focusNextPrevChild(true);  // out of the one-row start table
        return;
      }
      if (at.isValid() && at.column() + 1 >= grid->InputColumns()) {
        MoveTo(at.row() + 1, 0);
        return;
      }
      break;
    case Qt::Key_Backtab:
      if (at.isValid() && at.column() == 0) {
        if (at.row() > 0) MoveTo(at.row() - 1, grid->InputColumns() - 1);
        return;
      }
      break;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
      if (state() != QAbstractItemView::EditingState && event->modifiers() == Qt::NoModifier) {
        grid->ClearCells(selectedIndexes().isEmpty() ? QModelIndexList{at} : selectedIndexes());
        return;
      }
      break;
    default:
      break;
  }
  QTableView::keyPressEvent(event);
}

void GridView::CopySelection() {
  const QModelIndexList cells = selectedIndexes().isEmpty() ? QModelIndexList{currentIndex()} : selectedIndexes();
  std::set<int> rows, columns;
  for (const QModelIndex& cell : cells) {
    if (!cell.isValid()) continue;
    rows.insert(cell.row());
    columns.insert(cell.column());
  }
  QString text;
  for (int row : rows) {
    QStringList line;
    for (int column : columns) line << model()->index(row, column).data().toString();
    text += line.join(u'\t') + QStringLiteral("\r\n");
  }
  QApplication::clipboard()->setText(text);
}

void GridView::PasteClipboard() {
  GridModel* grid = Grid();
  if (grid == nullptr) return;
  const QModelIndex at = currentIndex();
  grid->Paste(at.isValid() ? at.row() : grid->rowCount(), at.isValid() ? at.column() : 0,
              QApplication::clipboard()->text());
}

void GridView::InsertRow() {
  if (GridModel* grid = Grid()) {
    const int row = currentIndex().isValid() ? currentIndex().row() : grid->rowCount();
    grid->InsertRowsAt(row, 1);
    MoveTo(row, std::max(currentIndex().column(), 0));
  }
}

void GridView::DeleteRows() {
  GridModel* grid = Grid();
  if (grid == nullptr) return;
  std::set<int> rows;
  for (const QModelIndex& cell : selectedIndexes()) rows.insert(cell.row());
  if (rows.empty() && currentIndex().isValid()) rows.insert(currentIndex().row());
  if (rows.empty()) return;
  // A contiguous block in one step; scattered rows from the last up, still
  // one undo step.
  const int first = *rows.begin(), last = *rows.rbegin();
  if (last - first + 1 == static_cast<int>(rows.size())) {
    grid->RemoveRowsAt(first, last - first + 1);
  } else {
    GridModel::Rows after;
    for (int row = 0; row < grid->rowCount(); ++row)
      if (!rows.count(row)) after.push_back(grid->AllRows()[static_cast<std::size_t>(row)]);
    grid->ReplaceAll(std::move(after), QStringLiteral("删除行"));
  }
}

}  // namespace quorvane::ui
