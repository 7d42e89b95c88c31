#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "command/line_stakes.h"

class QPrinter;
class QWidget;

namespace quorvane::ui {

class StakeModel;

// Prints the stake table's rows `rows` (in that order) as a paged 逐桩坐标表:
// every page headed by the line's name, the stations of its first and last
// row ("K0+000.000 ~ K0+980.000") and "第 n 页 / 共 N 页", then the table's
// column titles and as many rows as fit. Returns the number of pages, 0 when
// the printer cannot be painted on.
//
// `section`, where the stakes have edge points, adds the widths and cross
// slopes each row's edges were staked with (左宽, 右宽, 左横坡%, 右横坡%),
// so the paper says how the edges came about: the 横断面 table's values at
// the stake, or the widths and slopes typed.
struct PrintedSection {
  QStringList titles;
  std::function<QStringList(const StakeRow&)> texts;
};
int PrintStakeTable(QPrinter& printer, const QString& lineName, const StakeModel& stakes, const std::vector<int>& rows,
                    const PrintedSection& section = {});

// A print preview of the same pages over `parent`.
void ShowStakePrintPreview(QWidget* parent, const QString& lineName, const StakeModel& stakes,
                           const std::vector<int>& rows, const PrintedSection& section = {});

}  // namespace quorvane::ui
