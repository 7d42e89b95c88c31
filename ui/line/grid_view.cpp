#include "ui/line/grid_view.h"

#include <QAction>
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
  // The same for the mouse: a right click on the table.
  setContextMenuPolicy(Qt::ActionsContextMenu);
  const auto add = [this](const QString& text, void (GridView::*slot)()) {
    auto* action = new QAction(text, this);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
  };
  add(QStringLiteral("复制"), &GridView::CopySelection);
  add(QStringLiteral("粘贴"), &GridView::PasteClipboard);
  add(QStringLiteral("插入行"), &GridView::InsertRow);
  add(QStringLiteral("删除行"), &GridView::DeleteRows);
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

// Typing into a table just tabbed into goes to its first cell, not nowhere.
void GridView::focusInEvent(QFocusEvent* event) {
  if (!currentIndex().isValid() && model() != nullptr && model()->rowCount() > 0)
    setCurrentIndex(model()->index(0, 0));
  QTableView::focusInEvent(event);
}

bool GridView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  const bool editing = QTableView::edit(index, trigger, event);
  if (editing) {
    if (QWidget* editor = indexWidget(index)) editor->installEventFilter(this);
  }
  return editing;
}

// Rows copied from a spreadsheet pasted while a cell is being edited go in
// as rows, not as one line of text in that cell.
bool GridView::eventFilter(QObject* watched, QEvent* event) {
  if ((event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
      static_cast<QKeyEvent*>(event)->matches(QKeySequence::Paste)) {
    const QString text = QApplication::clipboard()->text();
    if (text.contains(u'\t') || text.trimmed().contains(u'\n')) {
      if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
      }
      auto* editor = qobject_cast<QWidget*>(watched);
      QTableView::closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
      setFocus();
      PasteClipboard();
      return true;
    }
  }
  return QTableView::eventFilter(watched, event);
}

void GridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  GridModel* grid = Grid();
  const QModelIndex at = currentIndex();
  // Tab past the last column goes on to the next row's first cell, Shift+Tab
  // before the first to the previous row's last; the start row's table is
  // left for the next control.
  if (grid != nullptr && at.isValid() && hint == QAbstractItemDelegate::EditNextItem &&
      at.column() + 1 >= grid->InputColumns()) {
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (grid->FixedRows() && at.row() + 1 >= grid->rowCount()) {
      QWidget::focusNextPrevChild(true);
    } else {
      MoveTo(at.row() + 1, 0);
    }
    return;
  }
  if (grid != nullptr && at.isValid() && hint == QAbstractItemDelegate::EditPreviousItem && at.column() == 0) {
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (at.row() > 0) MoveTo(at.row() - 1, grid->InputColumns() - 1);
    return;
  }
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
        QWidget::focusNextPrevChild(true);  // out of the one-row start table
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
