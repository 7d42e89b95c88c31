#include "ui/line/stake_model.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "calc/calculation_error.h"
#include "io/export.h"
#include "report/line_text.h"
#include "ui/line/line_text.h"

namespace quorvane::ui {

std::vector<StakeRow> ComputeStakeRows(const Line& line, const Profile* profile, const StakeOptions& options) {
  if (!(options.interval_m > 0) || !std::isfinite(options.interval_m))
    throw CalculationError("桩距应为正数");
  // Refused before the list is made: the count of multiples alone, key points
  // and equations aside.
  const double span = line.Length_m() + 1;
  if (span / options.interval_m > static_cast<double>(kMaxStakeRows))
    throw CalculationError("桩数过多，请增大桩距");
  const std::vector<LineStake> stakes =
      line.Stakes(options.interval_m, options.fromStation_m, options.toStation_m, options.keyPoints);
  std::vector<StakeRow> rows;
  rows.reserve(stakes.size());
  const double nan = std::nan("");
  const auto heightAt = [&](double distance_m, double offset_m) {
    if (profile == nullptr) return nan;
    try {
      return offset_m == 0 ? profile->ElevationAtDistance(distance_m)
                           : profile->ElevationAtOffset(distance_m, offset_m, options.slopes);
    } catch (const CalculationError&) {
      return nan;  // outside the profile's first and last point
    }
  };
  for (const LineStake& s : stakes) {
    StakeRow row;
    row.distance_m = s.distance_m;
    row.station_m = s.station_m;
    row.code = s.code;
    row.X_m = s.point.X_m;
    row.Y_m = s.point.Y_m;
    row.azimuth_rad = s.point.azimuth_rad;
    row.H_m = heightAt(s.distance_m, 0);
    if (options.leftWidth_m > 0) {
      const LinePoint p = line.PointAtOffset(s.distance_m, -options.leftWidth_m);
      row.leftX_m = p.X_m, row.leftY_m = p.Y_m, row.leftH_m = heightAt(s.distance_m, -options.leftWidth_m);
    }
    if (options.rightWidth_m > 0) {
      const LinePoint p = line.PointAtOffset(s.distance_m, options.rightWidth_m);
      row.rightX_m = p.X_m, row.rightY_m = p.Y_m, row.rightH_m = heightAt(s.distance_m, options.rightWidth_m);
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

StakeModel::StakeModel(QObject* parent) : QAbstractTableModel(parent) { SetStakes({}, false, false, false); }

void StakeModel::SetStakes(std::vector<StakeRow> rows, bool left, bool right, bool heights) {
  beginResetModel();
  rows_ = std::move(rows);
  order_.resize(rows_.size());
  std::iota(order_.begin(), order_.end(), std::size_t{0});
  left_ = left, right_ = right, heights_ = heights;
  // The columns of quorvane-line's stake files, in their order: heights
  // after all the plane coordinates.
  fields_ = {Field::Station, Field::Code, Field::X, Field::Y, Field::Azimuth};
  if (left) fields_.insert(fields_.end(), {Field::LeftX, Field::LeftY});
  if (right) fields_.insert(fields_.end(), {Field::RightX, Field::RightY});
  if (heights) fields_.push_back(Field::H);
  if (left && heights) fields_.push_back(Field::LeftH);
  if (right && heights) fields_.push_back(Field::RightH);
  endResetModel();
}

int StakeModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}
int StakeModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(fields_.size());
}

double StakeModel::Value(const StakeRow& row, Field field) const {
  switch (field) {
    case Field::Station: return row.station_m;
    case Field::Code: return 0;
    case Field::X: return row.X_m;
    case Field::Y: return row.Y_m;
    case Field::H: return row.H_m;
    case Field::Azimuth: return row.azimuth_rad;
    case Field::LeftX: return row.leftX_m;
    case Field::LeftY: return row.leftY_m;
    case Field::LeftH: return row.leftH_m;
    case Field::RightX: return row.rightX_m;
    case Field::RightY: return row.rightY_m;
    case Field::RightH: return row.rightH_m;
  }
  return 0;
}

QString StakeModel::Text(const StakeRow& row, Field field) const {
  switch (field) {
    case Field::Station: return QString::fromStdString(StationText(row.station_m));
    case Field::Code: return QString::fromStdString(row.code);
    case Field::Azimuth: return QString::fromStdString(AzimuthText(row.azimuth_rad));
    default: {
      const double v = Value(row, field);
      if (std::isnan(v)) return QString();
      try {
        return QString::fromStdString(CoordinateText(v));
      } catch (const CalculationError&) {
        return QStringLiteral("溢出");
      }
    }
  }
}

QVariant StakeModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  if (role == Qt::DisplayRole) return Text(RowAt(index.row()), fields_[static_cast<std::size_t>(index.column())]);
  if (role == Qt::TextAlignmentRole && index.column() != 1) return int(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QStringList StakeModel::Titles() const {
  QStringList titles;
  for (Field f : fields_) {
    switch (f) {
      case Field::Station: titles << QStringLiteral("桩号"); break;
      case Field::Code: titles << QStringLiteral("编码"); break;
      case Field::X: titles << QStringLiteral("X"); break;
      case Field::Y: titles << QStringLiteral("Y"); break;
      case Field::H: titles << QStringLiteral("H"); break;
      case Field::Azimuth: titles << QStringLiteral("方位角"); break;
      case Field::LeftX: titles << QStringLiteral("左边桩X"); break;
      case Field::LeftY: titles << QStringLiteral("左边桩Y"); break;
      case Field::LeftH: titles << QStringLiteral("左边桩H"); break;
      case Field::RightX: titles << QStringLiteral("右边桩X"); break;
      case Field::RightY: titles << QStringLiteral("右边桩Y"); break;
      case Field::RightH: titles << QStringLiteral("右边桩H"); break;
    }
  }
  return titles;
}

QStringList StakeModel::Texts(int row) const {
  QStringList texts;
  for (Field f : fields_) texts << Text(RowAt(row), f);
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
  const Field field = fields_[static_cast<std::size_t>(column)];
  emit layoutAboutToBeChanged();
  const QModelIndexList before = persistentIndexList();
  std::vector<std::size_t> oldOrder = order_;
  // Ties (and the code column's empty codes) keep the stakes' own order.
  std::iota(order_.begin(), order_.end(), std::size_t{0});
  const auto less = [&](std::size_t a, std::size_t b) {
    if (field == Field::Code) return rows_[a].code < rows_[b].code;
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
