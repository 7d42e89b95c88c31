#include "ui/line/grid_model.h"

#include <QBrush>
#include <QColor>
#include <QUndoCommand>
#include <QUndoStack>
#include <algorithm>
#include <cmath>
#include <string>

#include "calc/read_number.h"
#include "report/number_text.h"

namespace quorvane::ui {
namespace {

const QColor kMarkedBackground(255, 200, 200);
const QColor kErrorText(200, 0, 0);

std::string Utf8(const QString& text) { return text.toUtf8().toStdString(); }

// One undoable change of a table: the whole table before and after. Tables
// are short (hundreds of rows), so a copy costs nothing worth saving.
class TableChange : public QUndoCommand {
 public:
  TableChange(GridModel* model, GridModel::Rows before, GridModel::Rows after, const QString& what)
      : QUndoCommand(what), model_(model), before_(std::move(before)), after_(std::move(after)) {}
  void undo() override { model_->Apply(before_); }
  void redo() override { model_->Apply(after_); }

 private:
  GridModel* model_;
  GridModel::Rows before_, after_;
};

}  // namespace

CellReading ReadCell(CellKind kind, const QString& text) {
  CellReading reading;
  const std::string utf8 = Utf8(text);
  if (IsBlankText(utf8)) return reading;
  reading.blank = false;
  if (kind == CellKind::Station) {
    reading.value = ReadStation(utf8);
    reading.whole = IsWholeStation(utf8);
    return reading;
  }
  reading.value = ReadNumber(utf8);
  reading.whole = IsWholeNumber(utf8);
  return reading;
}

QString MarkOf(CellKind kind, const QString& text) {
  if (kind != CellKind::Number && kind != CellKind::Station) return {};
  const CellReading reading = ReadCell(kind, text);
  if (reading.whole) return {};
  std::string readAs = "读作 ";
  if (std::isfinite(reading.value)) {
    AppendGeneral(readAs, reading.value);
  } else {
    readAs += "超出范围的数";
  }
  return QString::fromStdString(readAs);
}

std::vector<QStringList> SplitSpreadsheetText(const QString& text) {
  std::vector<QStringList> rows;
  QStringList row;
  QString cell;
  bool quoted = false, cellStarted = false;
  const auto endCell = [&] {
    row << cell;
    cell.clear();
    cellStarted = false;
  };
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (quoted) {
      if (c == u'"') {
        if (i + 1 < text.size() && text[i + 1] == u'"') {
          cell += u'"';
          ++i;
        } else {
          quoted = false;
        }
      } else {
        cell += c;
      }
    } else if (c == u'"' && !cellStarted && cell.isEmpty()) {
      quoted = true;
      cellStarted = true;
    } else if (c == u'\t') {
      endCell();
    } else if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      endCell();
      rows.push_back(row);
      row.clear();
    } else {
      cell += c;
      cellStarted = true;
    }
  }
  if (cellStarted || !cell.isEmpty() || !row.isEmpty()) {
    endCell();
    rows.push_back(row);
  }
  return rows;
}

GridModel::GridModel(std::vector<GridColumn> columns, QUndoStack* undo, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)), undo_(undo) {}

int GridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : InputColumns() + 1; }

QString GridModel::Cell(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= InputColumns()) return {};
  const QStringList& cells = rows_[static_cast<std::size_t>(row)];
  return column < cells.size() ? cells[column] : QString();
}

CellReading GridModel::Read(int row, int column) const {
  return ReadCell(columns_[static_cast<std::size_t>(column)].kind, Cell(row, column));
}

QString GridModel::RowError(int row) const {
  const auto found = errors_.find(row);
  return found == errors_.end() ? QString() : found->second;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int row = index.row(), column = index.column();
  if (column == ErrorColumn()) {
    switch (role) {
      case Qt::DisplayRole:
      case Qt::ToolTipRole:
        return RowError(row);
      case Qt::ForegroundRole:
        return QBrush(kErrorText);
      default:
        return {};
    }
  }
  const QString text = Cell(row, column);
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return text;
    case Qt::ToolTipRole: {
      const QString mark = MarkOf(columns_[static_cast<std::size_t>(column)].kind, text);
      return mark.isEmpty() ? QVariant() : QVariant(mark);
    }
    case Qt::BackgroundRole:
      if (!MarkOf(columns_[static_cast<std::size_t>(column)].kind, text).isEmpty()) return QBrush(kMarkedBackground);
      return {};
    case Qt::AccessibleDescriptionRole:
      return MarkOf(columns_[static_cast<std::size_t>(column)].kind, text);
    default:
      return {};
  }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal) {
    if (role != Qt::DisplayRole) return {};
    if (section == ErrorColumn()) return QStringLiteral("提示");
    if (section >= 0 && section < InputColumns()) return columns_[static_cast<std::size_t>(section)].title;
    return {};
  }
  if (role == Qt::DisplayRole) return section + 1;
  if (role == Qt::ForegroundRole && !RowError(section).isEmpty()) return QBrush(kErrorText);
  if (role == Qt::ToolTipRole) return RowError(section);
  return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  if (index.column() == ErrorColumn()) return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || role != Qt::EditRole || index.column() >= InputColumns()) return false;
  const QString text = value.toString();
  if (text == Cell(index.row(), index.column())) return true;
  SetCells(index.row(), index.column(), {QStringList{text}}, QStringLiteral("编辑"));
  return true;
}

QStringList GridModel::Blank() const {
  QStringList cells;
  for (int i = 0; i < InputColumns(); ++i) cells << QString();
  return cells;
}

void GridModel::Push(Rows after, const QString& what) {
  for (QStringList& row : after)
    while (row.size() < InputColumns()) row << QString();
  if (after == rows_) return;
  if (undo_ != nullptr) {
    undo_->push(new TableChange(this, rows_, std::move(after), what));
  } else {
    Apply(after);
  }
}

void GridModel::SetCells(int row, int column, const Rows& block, const QString& what) {
  if (row < 0 || column < 0 || column >= InputColumns() || block.empty()) return;
  Rows after = rows_;
  for (std::size_t i = 0; i < block.size(); ++i) {
    const std::size_t at = static_cast<std::size_t>(row) + i;
    if (fixedRows_ > 0 && at >= static_cast<std::size_t>(fixedRows_)) break;
    while (after.size() <= at) after.push_back(Blank());
    for (qsizetype j = 0; j < block[i].size() && column + j < InputColumns(); ++j)
      after[at][column + j] = block[i][j];
  }
  Push(std::move(after), what);
}

int GridModel::Paste(int row, int column, const QString& text) {
  Rows block = SplitSpreadsheetText(text);
  // Spreadsheets copy a trailing empty row or two; they paste as nothing.
  while (!block.empty() && std::all_of(block.back().cbegin(), block.back().cend(),
                                       [](const QString& c) { return c.trimmed().isEmpty(); }))
    block.pop_back();
  SetCells(std::max(row, 0), std::max(column, 0), block, QStringLiteral("粘贴"));
  return static_cast<int>(block.size());
}

void GridModel::InsertRowsAt(int row, int count) {
  if (count <= 0 || fixedRows_ > 0) return;
  row = std::clamp(row, 0, rowCount());
  Rows after = rows_;
  after.insert(after.begin() + row, static_cast<std::size_t>(count), Blank());
  Push(std::move(after), QStringLiteral("插入行"));
}

void GridModel::RemoveRowsAt(int row, int count) {
  if (row < 0 || row >= rowCount() || count <= 0 || fixedRows_ > 0) return;
  count = std::min(count, rowCount() - row);
  Rows after = rows_;
  after.erase(after.begin() + row, after.begin() + row + count);
  Push(std::move(after), QStringLiteral("删除行"));
}

void GridModel::ClearCells(const QModelIndexList& cells) {
  Rows after = rows_;
  for (const QModelIndex& cell : cells) {
    if (cell.row() < rowCount() && cell.column() < InputColumns())
      after[static_cast<std::size_t>(cell.row())][cell.column()].clear();
  }
  Push(std::move(after), QStringLiteral("清除"));
}

void GridModel::ReplaceAll(Rows rows, const QString& what) {
  if (fixedRows_ > 0) rows.resize(static_cast<std::size_t>(fixedRows_), Blank());
  Push(std::move(rows), what);
}

void GridModel::SetFixedRows(int rows) {
  fixedRows_ = rows;
  Load(Rows(static_cast<std::size_t>(rows), Blank()));
}

void GridModel::Load(Rows rows) {
  if (fixedRows_ > 0) rows.resize(static_cast<std::size_t>(fixedRows_), Blank());
  // A table always has a row to type or paste into.
  if (rows.empty()) rows.push_back(Blank());
  for (QStringList& row : rows)
    while (row.size() < InputColumns()) row << QString();
  beginResetModel();
  rows_ = std::move(rows);
  errors_.clear();
  endResetModel();
  emit Edited();
}

void GridModel::Apply(const Rows& rows) {
  // Rows added or removed at the end, the rest changed in place: the view
  // keeps its current cell and scroll position.
  const int before = rowCount(), after = static_cast<int>(rows.size());
  if (after < before) {
    beginRemoveRows({}, after, before - 1);
    rows_.resize(static_cast<std::size_t>(after));
    endRemoveRows();
  } else if (after > before) {
    beginInsertRows({}, before, after - 1);
    rows_.resize(static_cast<std::size_t>(after), Blank());
    endInsertRows();
  }
  rows_ = rows;
  if (after > 0) emit dataChanged(index(0, 0), index(after - 1, InputColumns() - 1));
  emit Edited();
}

void GridModel::SetRowErrors(const std::map<int, QString>& errors) {
  if (errors == errors_) return;
  const std::map<int, QString> old = std::exchange(errors_, errors);
  for (const std::map<int, QString>* set : {&old, static_cast<const std::map<int, QString>*>(&errors_)}) {
    for (const auto& [row, message] : *set) {
      if (row < 0 || row >= rowCount()) continue;
      emit dataChanged(index(row, ErrorColumn()), index(row, ErrorColumn()));
      emit headerDataChanged(Qt::Vertical, row, row);
    }
  }
}

}  // namespace quorvane::ui
