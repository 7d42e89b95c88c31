#include "ui/line/cross_section_tab.h"

#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>
#include <map>

#include "calc/calculation_error.h"
#include "calc/messages.h"
#include "report/line_text.h"
#include "ui/line/grid_model.h"
#include "ui/line/grid_view.h"

namespace quorvane::ui {
namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

const QString kLinear = QStringLiteral("线性");
const QString kHigherOrder = QStringLiteral("高次");

std::vector<GridColumn> SectionColumns() {
  return {{QStringLiteral("桩号"), CellKind::Station, {}},
          {QStringLiteral("左宽"), CellKind::Number, {}},
          {QStringLiteral("右宽"), CellKind::Number, {}},
          {QStringLiteral("左横坡%"), CellKind::Number, {}},
          {QStringLiteral("右横坡%"), CellKind::Number, {}},
          {QStringLiteral("过渡"), CellKind::Choice, {kLinear, kHigherOrder}}};
}

bool BlankRow(const GridModel& grid, int row) {
  for (int column = 0; column < grid.InputColumns(); ++column)
    if (!grid.Cell(row, column).trimmed().isEmpty()) return false;
  return true;
}

// The row of a table a "第N行：" message names (N from 1), or -1.
int NamedRow(const QString& message) {
  static const QString prefix = QStringLiteral("第");
  if (!message.startsWith(prefix)) return -1;
  const qsizetype end = message.indexOf(QStringLiteral("行"));
  if (end < 0) return -1;
  bool ok = false;
  const int n = message.mid(prefix.size(), end - prefix.size()).toInt(&ok);
  return ok && n > 0 ? n - 1 : -1;
}

struct TableRead {
  std::vector<CrossSectionRow> rows;  // `line`: the table's row from 1
  std::map<int, QString> errors;
};

TableRead ReadRows(const GridModel& grid) {
  TableRead read;
  for (int row = 0; row < grid.rowCount(); ++row) {
    if (BlankRow(grid, row)) continue;
    // Every number must be one: a table that reads "1O.5" as 1 would put the
    // edge peg in the wrong place without anyone noticing.
    bool whole = !grid.Cell(row, 0).trimmed().isEmpty();
    for (int column = 0; column < 5; ++column) whole = whole && grid.Read(row, column).whole;
    if (!whole) {
      read.errors[row] = Q(kCrossSectionNotANumberText);
      continue;
    }
    const QString transition = grid.Cell(row, 5).trimmed();
    CrossSectionRow typed;
    if (transition.isEmpty() || transition == kLinear || transition == kLinear.left(1)) {
      typed.transition = WidthTransition::Linear;
    } else if (transition == kHigherOrder || transition == kHigherOrder.left(1)) {
      typed.transition = WidthTransition::HigherOrder;
    } else {
      read.errors[row] = Q(kCrossSectionTransitionText);
      continue;
    }
    typed.station_m = grid.Read(row, 0).value;
    typed.leftWidth_m = grid.Read(row, 1).value;
    typed.rightWidth_m = grid.Read(row, 2).value;
    typed.leftSlope_percent = grid.Read(row, 3).value;
    typed.rightSlope_percent = grid.Read(row, 4).value;
    typed.line = static_cast<std::size_t>(row) + 1;
    if (typed.leftWidth_m < 0 || typed.rightWidth_m < 0) {
      read.errors[row] = Q(kCrossSectionNegativeWidthText);
      continue;
    }
    read.rows.push_back(typed);
  }
  return read;
}

}  // namespace

CrossSectionTab::CrossSectionTab(QUndoStack* undo, QWidget* parent) : QWidget(parent) {
  table_ = new GridModel(SectionColumns(), undo, this);
  table_->Load(GridModel::Rows(5));
  auto* layout = new QVBoxLayout(this);
  view_ = new GridView(this);
  view_->setObjectName(QStringLiteral("crossSectionTable"));
  view_->setModel(table_);
  for (int column = 0; column < table_->InputColumns(); ++column) {
    const QString title = table_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    view_->setColumnWidth(column, std::max(view_->fontMetrics().horizontalAdvance(title) + 24, 90));
  }
  view_->setColumnWidth(0, view_->fontMetrics().horizontalAdvance(QStringLiteral("K000+000.000")) + 24);
  layout->addWidget(view_, 1);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("crossSectionStatus"));
  status_->setWordWrap(true);
  status_->setStyleSheet(QStringLiteral("QLabel { color: rgb(200, 0, 0); }"));
  layout->addWidget(status_);
  connect(table_, &GridModel::Edited, this, &CrossSectionTab::Edited);
}

bool CrossSectionTab::HasRows() const {
  for (int row = 0; row < table_->rowCount(); ++row)
    if (!BlankRow(*table_, row)) return true;
  return false;
}

QString CrossSectionTab::Error() const { return status_->text(); }

void CrossSectionTab::Update(const Line* line) {
  section_.reset();
  TableRead read = ReadRows(*table_);
  QString whole;
  if (read.errors.empty() && !read.rows.empty() && line != nullptr) {
    try {
      section_.emplace(*line, read.rows);
    } catch (const CalculationError& error) {
      // A row's fault names it as 第N行; the inside edge names a station.
      const QString message = QString::fromUtf8(error.what());
      const int row = NamedRow(message);
      if (row >= 0 && row < table_->rowCount()) {
        read.errors[row] = message.mid(message.indexOf(QStringLiteral("：")) + 1);
      } else {
        whole = message;
      }
    }
  }
  table_->SetRowErrors(read.errors);
  if (whole.isEmpty() && !read.errors.empty()) {
    whole = QStringLiteral("第%1行：%2").arg(read.errors.begin()->first + 1).arg(read.errors.begin()->second);
  }
  status_->setText(whole);
}

std::vector<CrossSectionRow> CrossSectionTab::TypedRows() const { return ReadRows(*table_).rows; }

void CrossSectionTab::Load(const std::vector<CrossSectionRow>& rows) {
  GridModel::Rows cells;
  for (const CrossSectionRow& row : rows) {
    cells.push_back({QString::fromStdString(StationText(row.station_m, 3)),
                     QString::fromStdString(FixedText(row.leftWidth_m, 3)),
                     QString::fromStdString(FixedText(row.rightWidth_m, 3)),
                     QString::fromStdString(FixedText(row.leftSlope_percent, 3)),
                     QString::fromStdString(FixedText(row.rightSlope_percent, 3)),
                     row.transition == WidthTransition::HigherOrder ? kHigherOrder : QString()});
  }
  while (cells.size() < 5) cells.emplace_back();
  table_->Load(std::move(cells));
  section_.reset();
}

}  // namespace quorvane::ui
