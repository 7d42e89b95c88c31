#pragma once

#include <QAbstractTableModel>
#include <optional>
#include <string>
#include <vector>

#include "calc/line.h"
#include "calc/profile.h"

namespace quorvane::ui {

// What to stake.
struct StakeOptions {
  double interval_m = 20;
  std::optional<double> fromStation_m, toStation_m;
  bool keyPoints = true;
  double leftWidth_m = 0, rightWidth_m = 0;  // 0: no edge point on that side
  CrossSlopes slopes;
};

// One computed stake and its edge points. Heights are NaN where the line has
// no profile or the stake lies outside it.
struct StakeRow {
  double distance_m = 0;  // along the line
  double station_m = 0;
  std::string code;
  double X_m = 0, Y_m = 0, H_m = 0, azimuth_rad = 0;
  double leftX_m = 0, leftY_m = 0, leftH_m = 0;
  double rightX_m = 0, rightY_m = 0, rightH_m = 0;
};

// The stakes of a line. Throws CalculationError (a station out of range, an
// interval not positive, too many stakes).
std::vector<StakeRow> ComputeStakeRows(const Line& line, const Profile* profile, const StakeOptions& options);

// The most stakes one command produces: a 100 km line every metre, and then
// some.
inline constexpr std::size_t kMaxStakeRows = 2'000'000;

// The stake table: 桩号, 编码, X, Y, 方位角, 左边桩X, 左边桩Y, 右边桩X,
// 右边桩Y (edge points only on a side with a width), then H, 左边桩H, 右边桩H
// when the line has a profile. The texts are
// made when shown, so a line staked every metre opens at once. Sorting by a
// column reorders the rows (station order is the stake order).
class StakeModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit StakeModel(QObject* parent = nullptr);

  void SetStakes(std::vector<StakeRow> rows, bool left, bool right, bool heights);
  // The stakes in their own (station) order, whatever the table's sorting.
  const std::vector<StakeRow>& Rows() const { return rows_; }
  const StakeRow& RowAt(int row) const { return rows_[order_[static_cast<std::size_t>(row)]]; }
  bool HasLeft() const { return left_; }
  bool HasRight() const { return right_; }
  bool HasHeights() const { return heights_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

  // The header and cell texts of a row, as shown.
  QStringList Titles() const;
  QStringList Texts(int row) const;

 private:
  enum class Field { Station, Code, X, Y, H, Azimuth, LeftX, LeftY, LeftH, RightX, RightY, RightH };
  double Value(const StakeRow& row, Field field) const;
  QString Text(const StakeRow& row, Field field) const;

  std::vector<StakeRow> rows_;
  std::vector<std::size_t> order_;
  std::vector<Field> fields_;
  bool left_ = false, right_ = false, heights_ = false;
};

}  // namespace quorvane::ui
