#pragma once

#include <QTableView>

namespace quorvane::ui {

class GridModel;

// A table that edits like the spreadsheet a surveyor knows: typing starts
// editing the current cell, Return and Enter move down (Shift: up), Tab and
// Shift+Tab move right and left, wrapping to the next or previous row;
// Ctrl+C copies the selected cells as tab-separated rows, Ctrl+V pastes rows
// copied from Excel or WPS at the current cell (adding rows as needed),
// Delete clears the selected cells. Rows are inserted above the current one
// and deleted with the window's 编辑 entries (InsertRow, DeleteRows).
class GridView : public QTableView {
  Q_OBJECT

 public:
  explicit GridView(QWidget* parent = nullptr);

  GridModel* Grid() const;
  void CopySelection();
  void PasteClipboard();
  void InsertRow();
  void DeleteRows();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

 private:
  void MoveTo(int row, int column);
};

}  // namespace quorvane::ui
