#pragma once

#include <QAbstractTableModel>
#include <optional>
#include <string>
#include <vector>

#include "command/line_stakes.h"

namespace quorvane::ui {

// The stake table: 桩号, 编码, X, Y, 方位角, 左边桩X, 左边桩Y, 右边桩X,
// 右边桩Y (edge points only on a side with a width), then H, 左边桩H, 右边桩H
// when the line has a profile. The texts are
// made when shown, so a line staked every metre opens at once. Sorting by a
// column reorders the rows (station order is the stake order).
class StakeModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit StakeModel(QObject* parent = nullptr);

  // The rows of a run and its columns.
  void SetStakes(std::vector<StakeRow> rows, std::vector<StakeColumn> columns);
  // The stakes in their own (station) order, whatever the table's sorting.
  const std::vector<StakeRow>& Rows() const { return rows_; }
  const StakeRow& RowAt(int row) const { return rows_[order_[static_cast<std::size_t>(row)]]; }
  const std::vector<StakeColumn>& Columns() const { return fields_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

  // The header and cell texts of a row, as shown.
  QStringList Titles() const;
  QStringList Texts(int row) const;

 private:
  std::vector<StakeRow> rows_;
  std::vector<std::size_t> order_;
  std::vector<StakeColumn> fields_;
};

}  // namespace quorvane::ui
