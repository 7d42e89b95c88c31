#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <vector>

class QUndoStack;

namespace quorvane::ui {

// How a column's cells are read.
enum class CellKind {
  Number,   // ReadNumber: full-width digits, "读作 N" when not wholly a number
  Station,  // K-notation ("K1+234.5") or plain metres
  Text,     // a name, taken as typed
  Choice,   // one of the column's choices (or its first character)
};

struct GridColumn {
  QString title;
  CellKind kind = CellKind::Number;
  QStringList choices;  // Choice only
};

// What a number or station cell reads as, and whether that is all of its
// text (blanks aside; an empty cell is whole and reads 0).
struct CellReading {
  double value = 0;
  bool whole = true;
  bool blank = true;
};
CellReading ReadCell(CellKind kind, const QString& text);

// The tooltip of a cell that does not read as it shows ("读作 10"), or an
// empty string.
QString MarkOf(CellKind kind, const QString& text);

// An editable table of texts, read the way the calculation reads a box:
// cells that do not read wholly as a number are painted red with a tooltip
// saying what they are read as. Every change goes through the undo stack
// given (edits, pastes, inserted and removed rows, whole replacements), one
// step per user action. A last, read-only column (提示) shows the error a row
// causes, set from outside with SetRowErrors; a row with an error also has a
// red header.
class GridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  using Rows = std::vector<QStringList>;

  GridModel(std::vector<GridColumn> columns, QUndoStack* undo, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  const std::vector<GridColumn>& Columns() const { return columns_; }
  int InputColumns() const { return static_cast<int>(columns_.size()); }
  int ErrorColumn() const { return InputColumns(); }
  const Rows& AllRows() const { return rows_; }
  QString Cell(int row, int column) const;
  CellReading Read(int row, int column) const;

  // Undoable edits, each one step named `what`.
  // Texts from a spreadsheet (rows split at line breaks, cells at tabs) put
  // in from (row, column) on, adding rows as needed; cells past the last
  // column are dropped. Returns the number of rows pasted.
  int Paste(int row, int column, const QString& text);
  void SetCells(int row, int column, const Rows& block, const QString& what);
  void InsertRowsAt(int row, int count);
  void RemoveRowsAt(int row, int count);
  void ClearCells(const QModelIndexList& cells);
  void ReplaceAll(Rows rows, const QString& what);

  // A table of exactly `rows` rows (the start row): edits never add or
  // remove rows.
  void SetFixedRows(int rows);
  bool FixedRows() const { return fixedRows_ > 0; }

  // Not undoable: a table as loaded from a file (at least one row, blank
  // when there is nothing), the undo history cleared by the caller.
  void Load(Rows rows);

  // The error shown beside each row (by row number), all others cleared.
  void SetRowErrors(const std::map<int, QString>& errors);
  QString RowError(int row) const;

  // Applies a table as it is after an undo step; used by the undo commands.
  void Apply(const Rows& rows);

 signals:
  void Edited();

 private:
  void Push(Rows after, const QString& what);
  QStringList Blank() const;

  std::vector<GridColumn> columns_;
  QUndoStack* undo_;
  Rows rows_;
  std::map<int, QString> errors_;
  int fixedRows_ = 0;
};

// Spreadsheet rows of a clipboard text: lines at CR LF / LF (a last empty
// line dropped), cells at tabs, a quoted cell ("a""b") read as a spreadsheet
// writes it.
std::vector<QStringList> SplitSpreadsheetText(const QString& text);

}  // namespace quorvane::ui
