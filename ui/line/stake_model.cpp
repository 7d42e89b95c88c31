#include "ui/line/stake_model.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "calc/calculation_error.h"
#include "io/export.h"
#include "report/line_text.h"
#include "ui/line/line_text.h"

namespace quorvane::ui {

namespace {

// Texts as every stake file writes them: three decimals.
constexpr int kShownDecimals = 3;

// The number a column sorts by; NaN for an empty cell.
double Value(const StakeRow& row, StakeColumn column) {
  const double nan = std::nan("");
  const auto x = [&](const std::optional<LinePoint>& p, bool north) { return p ? (north ? p->X_m : p->Y_m) : nan; };
  switch (column) {
    case StakeColumn::Station: return row.stake.distance_m;  // the stations' own order, long chains and all
    case StakeColumn::Code: return 0;
    case StakeColumn::X: return row.stake.point.X_m;
    case StakeColumn::Y: return row.stake.point.Y_m;
    case StakeColumn::Azimuth: return row.stake.point.azimuth_rad;
    case StakeColumn::LeftX: return x(row.left, true);
    case StakeColumn::LeftY: return x(row.left, false);
    case StakeColumn::RightX: return x(row.right, true);
    case StakeColumn::RightY: return x(row.right, false);
    case StakeColumn::H: return row.H_m.value_or(nan);
    case StakeColumn::LeftH: return row.leftH_m.value_or(nan);
    case StakeColumn::RightH: return row.rightH_m.value_or(nan);
  }
  return nan;
}

QString Text(const StakeRow& row, StakeColumn column) {
  try {
    return QString::fromStdString(StakeCellText(row, column, kShownDecimals));
  } catch (const CalculationError&) {
    return QStringLiteral("溢出");
  }
}

}  // namespace

StakeModel::StakeModel(QObject* parent) : QAbstractTableModel(parent) {
  SetStakes({}, {StakeColumn::Station, StakeColumn::Code, StakeColumn::X, StakeColumn::Y, StakeColumn::Azimuth});
}

void StakeModel::SetStakes(std::vector<StakeRow> rows, std::vector<StakeColumn> columns) {
  beginResetModel();
  rows_ = std::move(rows);
  order_.resize(rows_.size());
  std::iota(order_.begin(), order_.end(), std::size_t{0});
  fields_ = std::move(columns);
  endResetModel();
}

int StakeModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}
int StakeModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(fields_.size());
}

QVariant StakeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  if (role == Qt::DisplayRole) return Text(RowAt(index.row()), fields_[static_cast<std::size_t>(index.column())]);
  if (role == Qt::TextAlignmentRole && index.column() != 1) return int(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QStringList StakeModel::Titles() const {
  QStringList titles;
  for (StakeColumn f : fields_) titles << QString::fromUtf8(StakeColumnTitle(f));
  return titles;
}

QStringList StakeModel::Texts(int row) const {
  QStringList texts;
  for (StakeColumn f : fields_) texts << Text(RowAt(row), f);
  return texts;
}

QVariant StakeModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  const QStringList titles = Titles();
  return section >= 0 && section < titles.size() ? QVariant(titles[section]) : QVariant();
}

void StakeModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= columnCount()) return;
  const StakeColumn field = fields_[static_cast<std::size_t>(column)];
  emit layoutAboutToBeChanged();
  const QModelIndexList before = persistentIndexList();
  std::vector<std::size_t> oldOrder = order_;
  // Ties (and the code column's empty codes) keep the stakes' own order.
  std::iota(order_.begin(), order_.end(), std::size_t{0});
  const auto less = [&](std::size_t a, std::size_t b) {
    if (field == StakeColumn::Code) return rows_[a].stake.code < rows_[b].stake.code;
    const double va = Value(rows_[a], field), vb = Value(rows_[b], field);
    if (std::isnan(va)) return false;  // empty heights last
    if (std::isnan(vb)) return true;
    return va < vb;
  };
  if (order == Qt::AscendingOrder) {
    std::stable_sort(order_.begin(), order_.end(), less);
  } else {
    std::stable_sort(order_.begin(), order_.end(), [&](std::size_t a, std::size_t b) { return less(b, a); });
  }
  std::vector<int> positionOf(order_.size());
  for (std::size_t i = 0; i < order_.size(); ++i) positionOf[order_[i]] = static_cast<int>(i);
  QModelIndexList after;
  for (const QModelIndex& index : before)
    after << this->index(positionOf[oldOrder[static_cast<std::size_t>(index.row())]], index.column());
  changePersistentIndexList(before, after);
  emit layoutChanged();
}

}  // namespace quorvane::ui
