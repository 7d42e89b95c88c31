#pragma once

// Table helpers for the window tests: a grid filled in one line, a model's
// rows read in one line, a data row of texts in one line.
#include <QAbstractItemModel>
#include <QString>
#include <QStringList>
#include <QTest>
#include <initializer_list>

#include "ui/line/grid_model.h"

namespace quorvane::ui::testing {

// Fills `grid` from "a|b;c|d" (rows by ';', cells by '|').
inline void SetRows(GridModel& grid, const QString& shown) {
  GridModel::Rows rows;
  if (!shown.isEmpty())
    for (const QString& row : shown.split(u';')) rows.push_back(row.split(u'|'));
  grid.Load(rows);
}

// Every row of `model` as "a,b,c".
inline QStringList RowTexts(const QAbstractItemModel& model) {
  QStringList rows;
  for (int r = 0; r < model.rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < model.columnCount(); ++c) cells << model.index(r, c).data().toString();
    rows << cells.join(u',');
  }
  return rows;
}

// A data row whose columns are all QString, one text each.
inline void TextRow(const char* name, std::initializer_list<const char*> texts) {
  QTestData& row = QTest::newRow(name);
  for (const char* text : texts) row << QString::fromUtf8(text);
}

}  // namespace quorvane::ui::testing
