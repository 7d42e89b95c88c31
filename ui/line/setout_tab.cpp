#include "ui/line/setout_tab.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <cmath>
#include <exception>
#include <limits>
#include <set>

#include "calc/calculation_error.h"
#include "calc/messages.h"
#include "calc/read_number.h"
#include "command/line_stakes.h"
#include "io/landxml_points.h"
#include "report/line_text.h"
#include "report/road_tables.h"
#include "ui/file_dialogs.h"
#include "ui/line/road_tables_print.h"
#include "ui/line/stake_export.h"
#include "ui/line/stake_model.h"
#include "ui/message_boxes.h"
#include "ui/number_box.h"

namespace quorvane::ui {
namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }
QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A typed number; a box left blank gives `blank`, a text that is not wholly
// a number gives NaN, which the setting-out refuses with its own reason.
double Typed(const QLineEdit* box, double blank = kNaN) {
  const std::string text = box->text().toStdString();
  if (IsBlankText(text)) return blank;
  return IsWholeNumber(text) ? ReadNumber(text) : kNaN;
}

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

SetoutTab::SetoutTab(MessageBoxes& boxes, FileDialogs& dialogs, Source source, QWidget* parent)
    : QWidget(parent), boxes_(boxes), dialogs_(dialogs), source_(std::move(source)) {
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  const auto box = [&](const char* name, const QString& label, int row, int column,
                       NumberBox::Reads reads = NumberBox::Reads::Number) {
    auto* edit = new NumberBox(QString(), this, reads);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaximumWidth(130);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(edit);
    grid->addWidget(caption, row, column);
    grid->addWidget(edit, row, column + 1);
    return edit;
  };
  const auto pick = [&](const char* name, int row) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEnabled(false);
    combo->setMinimumWidth(110);
    grid->addWidget(combo, row, 5);
    return combo;
  };
  grid->addWidget(new QLabel(QStringLiteral("测站"), this), 0, 0);
  stationX_ = box("setoutStationX", QStringLiteral("X(&X)"), 0, 1);
  stationY_ = box("setoutStationY", QStringLiteral("Y(&Y)"), 0, 3);
  stationPick_ = pick("setoutStationPick", 0);
  grid->addWidget(new QLabel(QStringLiteral("后视点"), this), 1, 0);
  backX_ = box("setoutBacksightX", QStringLiteral("X"), 1, 1);
  backY_ = box("setoutBacksightY", QStringLiteral("Y"), 1, 3);
  backPick_ = pick("setoutBacksightPick", 1);
  auto* open = new QPushButton(QStringLiteral("打开点文件(&O)…"), this);
  open->setObjectName(QStringLiteral("setoutOpenPoints"));
  grid->addWidget(open, 0, 6);
  grid->addWidget(new QLabel(QStringLiteral("高程"), this), 2, 0);
  ground_ = box("setoutGround", QStringLiteral("测站高程"), 2, 1);
  instrument_ = box("setoutInstrument", QStringLiteral("仪器高(&I)"), 2, 3);
  target_ = box("setoutTarget", QStringLiteral("棱镜高(&V)"), 2, 5);
  grid->setColumnStretch(8, 1);
  layout->addLayout(grid);

  auto* actions = new QHBoxLayout;
  selectedOnly_ = new QCheckBox(QStringLiteral("仅逐桩坐标中选中的桩(&S)"), this);
  selectedOnly_->setObjectName(QStringLiteral("setoutSelectedOnly"));
  actions->addWidget(selectedOnly_);
  auto* compute = new QPushButton(QStringLiteral("计算(&G)"), this);
  compute->setObjectName(QStringLiteral("setoutCompute"));
  actions->addWidget(compute);
  actions->addSpacing(24);
  auto* stationCaption = new QLabel(QStringLiteral("单点 桩号(&K)"), this);
  pointStation_ = new NumberBox(QString(), this, NumberBox::Reads::Station);
  pointStation_->setObjectName(QStringLiteral("setoutPointStation"));
  pointStation_->setMaximumWidth(130);
  stationCaption->setBuddy(pointStation_);
  auto* offsetCaption = new QLabel(QStringLiteral("偏距(&F)"), this);
  pointOffset_ = new NumberBox(QString(), this);
  pointOffset_->setObjectName(QStringLiteral("setoutPointOffset"));
  pointOffset_->setMaximumWidth(90);
  offsetCaption->setBuddy(pointOffset_);
  auto* one = new QPushButton(QStringLiteral("单点计算(&T)"), this);
  one->setObjectName(QStringLiteral("setoutPoint"));
  for (QWidget* w : std::initializer_list<QWidget*>{stationCaption, pointStation_, offsetCaption, pointOffset_, one})
    actions->addWidget(w);
  actions->addStretch();
  auto* copy = new QPushButton(QStringLiteral("复制"), this);
  auto* save = new QPushButton(QStringLiteral("导出(&E)…"), this);
  save->setObjectName(QStringLiteral("setoutExport"));
  auto* print = new QPushButton(QStringLiteral("打印…"), this);
  print->setObjectName(QStringLiteral("setoutPrint"));
  for (QWidget* w : std::initializer_list<QWidget*>{copy, save, print}) actions->addWidget(w);
  layout->addLayout(actions);

  results_ = new QStandardItemModel(this);
  view_ = new QTableView(this);
  view_->setObjectName(QStringLiteral("setoutTable"));
  view_->setModel(results_);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 4);
  view_->horizontalHeader()->setDefaultSectionSize(
      view_->fontMetrics().horizontalAdvance(QStringLiteral("K0000+000.000R")) + 12);
  layout->addWidget(view_, 1);
  pointText_ = new QLabel(this);
  pointText_->setObjectName(QStringLiteral("setoutPointText"));
  pointText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(pointText_);
  // Tab goes through the boxes as a surveyor fills them: station, backsight,
  // heights, then the actions and the results; the points file comes last,
  // though its button stands up by the station.
  const std::initializer_list<QWidget*> order{
      stationX_, stationY_,     stationPick_, backX_, backY_, backPick_, ground_, instrument_, target_, selectedOnly_,
      compute,   pointStation_, pointOffset_, one,    view_,  copy,      save,    print,       open};
  for (auto w = order.begin(); w + 1 != order.end(); ++w) QWidget::setTabOrder(*w, *(w + 1));

  auto* copyAction = new QAction(view_);
  copyAction->setShortcut(QKeySequence::Copy);
  copyAction->setShortcutContext(Qt::WidgetShortcut);
  view_->addAction(copyAction);
  connect(copyAction, &QAction::triggered, this, &SetoutTab::Copy);
  connect(copy, &QPushButton::clicked, this, &SetoutTab::Copy);
  connect(save, &QPushButton::clicked, this, &SetoutTab::Export);
  connect(print, &QPushButton::clicked, this, &SetoutTab::Print);
  connect(compute, &QPushButton::clicked, this, &SetoutTab::Compute);
  connect(one, &QPushButton::clicked, this, &SetoutTab::ComputePoint);
  for (QLineEdit* edit : {stationX_, stationY_, backX_, backY_, ground_, instrument_, target_})
    connect(edit, &QLineEdit::returnPressed, this, &SetoutTab::Compute);
  for (QLineEdit* edit : {pointStation_, pointOffset_})
    connect(edit, &QLineEdit::returnPressed, this, &SetoutTab::ComputePoint);
  connect(open, &QPushButton::clicked, this, [this] {
    const QString path =
        dialogs_.OpenFileName(this, QStringLiteral("打开点文件"),
                              {QStringLiteral("点文件 (*.csv *.txt *.dat)"), QStringLiteral("所有文件 (*)")});
    if (!path.isEmpty()) LoadPoints(path);
  });
  // Picking a point by name fills in its coordinates (and the station's
  // ground height where the file has one).
  const auto fill = [this](QComboBox* combo, QLineEdit* x, QLineEdit* y, QLineEdit* h) {
    connect(combo, &QComboBox::activated, this, [this, combo, x, y, h](int index) {
      const int at = combo->itemData(index).toInt();
      if (at < 0 || at >= static_cast<int>(points_.size())) return;
      const NamedPoint& point = points_[static_cast<std::size_t>(at)];
      x->setText(Q(FixedText(point.X_m, 4)));
      y->setText(Q(FixedText(point.Y_m, 4)));
      if (h != nullptr && point.H_m) h->setText(Q(FixedText(*point.H_m, 4)));
    });
  };
  fill(stationPick_, stationX_, stationY_, ground_);
  fill(backPick_, backX_, backY_, nullptr);
}

void SetoutTab::Inform(const QString& prompt) { boxes_.Inform(this, prompt, Q(kSetoutTitle)); }

std::optional<SetoutStation> SetoutTab::Station() {
  std::optional<StationHeights> heights;
  if (!IsBlankText(ground_->text().toStdString())) {
    heights = StationHeights{Typed(ground_), Typed(instrument_, 0), Typed(target_, 0)};
  }
  try {
    return SetoutStation(Typed(stationX_), Typed(stationY_), Typed(backX_), Typed(backY_), heights);
  } catch (const std::exception& error) {
    Inform(QString::fromUtf8(error.what()));
    return std::nullopt;
  }
}

bool SetoutTab::Compute() {
  const std::optional<SetoutStation> station = Station();
  if (!station) return false;
  const std::optional<SetoutSource> source = source_(true);
  if (!source || source->stakes == nullptr) return false;
  std::vector<int> rows = source->selected;
  if (!selectedOnly_->isChecked()) {
    rows.resize(static_cast<std::size_t>(source->stakes->rowCount()));
    for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<int>(i);
  } else if (rows.empty()) {
    Inform(Q(kNoStakeSelectedPrompt));
    return false;
  }
  std::vector<Result> results;
  try {
    for (const int index : rows) {
      const StakeRow& row = source->stakes->RowAt(index);
      const auto add = [&](const LinePoint& point, std::optional<double> H, char side) {
        Result result{StakePointName(row, 3, side),
                      std::string(row.stake.code),
                      point.X_m,
                      point.Y_m,
                      H,
                      station->To(point.X_m, point.Y_m),
                      std::nullopt};
        if (H && station->Heights()) result.difference_m = station->HeightDifferenceToSet(*H);
        results.push_back(std::move(result));
      };
      add(row.stake.point, row.H_m, 0);
      if (row.left) add(*row.left, row.leftH_m, 'L');
      if (row.right) add(*row.right, row.rightH_m, 'R');
    }
  } catch (const std::exception& error) {
    Inform(QString::fromUtf8(error.what()));
    return false;
  }
  rows_ = std::move(results);
  heights_ = source->profile != nullptr;
  differences_ = heights_ && station->Heights().has_value();
  landXml_ = source->landXml;
  lineName_ = source->lineName;
  Show();
  return true;
}

bool SetoutTab::ComputePoint() {
  const std::optional<SetoutStation> station = Station();
  if (!station) return false;
  const std::optional<SetoutSource> source = source_(false);
  if (!source || source->line == nullptr) return false;
  const std::string stationText = pointStation_->text().toStdString();
  const double at = IsBlankText(stationText) || !IsWholeStation(stationText) ? kNaN : ReadStation(stationText);
  const double offset = Typed(pointOffset_, 0);
  try {
    if (!std::isfinite(at)) throw CalculationError(kPointStationNotANumberPrompt);
    CrossSlopes slopes = source->slopes;
    if (source->section != nullptr) slopes = source->section->At(source->line->DistanceAt(at)).Slopes();
    const StationSetout point = SetoutAtStation(*station, *source->line, source->profile, slopes, at, offset);
    std::string name = StationText(at, 3);
    if (offset != 0) name += (offset < 0 ? "L" : "R") + FixedText(std::fabs(offset), 3);
    // A new typed point replaces the rows of an earlier staking only when
    // their heights differ in kind; otherwise it is added to them.
    const bool heights = source->profile != nullptr;
    const bool differences = heights && station->Heights().has_value();
    if (heights != heights_ || differences != differences_) rows_.clear();
    heights_ = heights;
    differences_ = differences;
    rows_.push_back(
        {name, "", point.point.X_m, point.point.Y_m, point.designH_m, point.data, point.heightDifference_m});
    landXml_ = source->landXml;
    lineName_ = source->lineName;
    QStringList text{QStringLiteral("%1：X=%2  Y=%3")
                         .arg(Q(name), Q(FixedText(point.point.X_m, 3)), Q(FixedText(point.point.Y_m, 3)))};
    if (point.designH_m) text << QStringLiteral("设计高程 %1").arg(Q(FixedText(*point.designH_m, 3)));
    const std::vector<std::string> cells = SetoutCells(point.data);
    text << QStringLiteral("方位角 %1  平距 %2  水平角 %3").arg(Q(cells[0]), Q(cells[1]), Q(cells[2]));
    if (point.heightDifference_m) text << QStringLiteral("高差 %1").arg(Q(FixedText(*point.heightDifference_m, 3)));
    pointText_->setText(text.join(QStringLiteral("  ")));
  } catch (const std::exception& error) {
    Inform(QString::fromUtf8(error.what()));
    return false;
  }
  Show();
  view_->scrollToBottom();
  return true;
}

std::vector<std::vector<std::string>> SetoutTab::Table() const {
  std::vector<std::vector<std::string>> table{SetoutHeadings(heights_, differences_)};
  for (const Result& row : rows_) {
    std::vector<std::string> cells{row.name, FixedText(row.X_m, 3), FixedText(row.Y_m, 3)};
    for (std::string& cell : SetoutCells(row.data)) cells.push_back(std::move(cell));
    if (heights_) cells.push_back(row.H_m ? FixedText(*row.H_m, 3) : std::string());
    if (differences_) cells.push_back(row.difference_m ? FixedText(*row.difference_m, 3) : std::string());
    table.push_back(std::move(cells));
  }
  return table;
}

void SetoutTab::Show() {
  const std::vector<std::vector<std::string>> table = Table();
  results_->clear();
  QStringList titles;
  for (const std::string& title : table.front()) titles << Q(title);
  results_->setHorizontalHeaderLabels(titles);
  for (std::size_t r = 1; r < table.size(); ++r) {
    QList<QStandardItem*> items;
    for (const std::string& cell : table[r]) {
      auto* item = new QStandardItem(Q(cell));
      item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      items << item;
    }
    items.front()->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    results_->appendRow(items);
  }
  // A typed point's name (K0+050.000L3.500) is longer than a stake's.
  view_->resizeColumnToContents(0);
}

QString SetoutTab::PointText() const { return pointText_->text(); }

bool SetoutTab::LoadPoints(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    Inform(Q(kCannotOpenPattern).arg(QFileInfo(path).fileName()));
    return false;
  }
  QString text = QString::fromUtf8(file.readAll());
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  std::vector<NamedPoint> points;
  const auto number = [](const QString& cell, double& value) {
    const std::string t = cell.toStdString();
    if (IsBlankText(t) || !IsWholeNumber(t)) return false;
    value = ReadNumber(t);
    return true;
  };
  for (const QString& raw : text.split(u'\n')) {
    const QStringList cells = raw.trimmed().split(u',');
    NamedPoint point{cells[0].trimmed(), 0, 0, std::nullopt};
    if (cells.size() < 3 || point.name.isEmpty() || !number(cells[1], point.X_m) || !number(cells[2], point.Y_m))
      continue;  // a heading or a line of another kind
    if (double h = 0; cells.size() > 3 && number(cells[3], h)) point.H_m = h;
    points.push_back(point);
  }
  if (points.empty()) {
    Inform(Q(kNoPointsInFilePrompt));
    return false;
  }
  points_ = std::move(points);
  for (QComboBox* combo : {stationPick_, backPick_}) {
    combo->clear();
    for (std::size_t i = 0; i < points_.size(); ++i) combo->addItem(points_[i].name, static_cast<int>(i));
    combo->setCurrentIndex(-1);
    combo->setEnabled(true);
  }
  return true;
}

void SetoutTab::Copy() {
  std::set<int> selected;
  for (const QModelIndex& index : view_->selectionModel()->selectedRows()) selected.insert(index.row());
  const std::vector<std::vector<std::string>> table = Table();
  QStringList lines;
  for (std::size_t r = 0; r < table.size(); ++r) {
    if (r > 0 && !selected.empty() && !selected.count(static_cast<int>(r) - 1)) continue;
    QStringList cells;
    for (const std::string& cell : table[r]) cells << Q(cell);
    lines << cells.join(u'\t');
  }
  QApplication::clipboard()->setText(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void SetoutTab::Export() {
  if (rows_.empty()) {
    Inform(Q(kNoSetoutRowsPrompt));
    return;
  }
  QString path = dialogs_.SaveFileName(this, QStringLiteral("导出放样数据"), QStringLiteral("放样.csv"),
                                       {QStringLiteral("CSV 文件 (*.csv)"), QStringLiteral("LandXML 点 (*.xml)")});
  if (path.isEmpty()) return;
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix != QStringLiteral("csv") && suffix != QStringLiteral("xml")) path += QStringLiteral(".csv");
  try {
    if (QFileInfo(path).suffix().toLower() == QStringLiteral("xml")) {
      LandXmlPointsWriter writer(PathBytes(path), landXml_);
      for (const Result& row : rows_) writer.Add(row.name, row.code, row.X_m, row.Y_m, row.H_m);
      writer.Finish();
    } else {
      WriteTableCsv(PathBytes(path), Table());
    }
  } catch (const std::exception& error) {
    Inform(QString::fromUtf8(error.what()));
  }
}

void SetoutTab::Print() {
  if (rows_.empty()) {
    Inform(Q(kNoSetoutRowsPrompt));
    return;
  }
  std::vector<std::vector<std::string>> table = Table();
  PrintedTable printed;
  printed.look.title = "放样数据表";
  for (std::size_t c = 0; c < table.front().size(); ++c) {
    printed.look.heading.push_back({table.front()[c], 0, c});
    printed.look.align.push_back(c == 0 ? CellAlign::Left : CellAlign::DecimalPoint);
  }
  printed.rows.assign(std::make_move_iterator(table.begin() + 1), std::make_move_iterator(table.end()));
  ShowTablesPrintPreview(this, QStringLiteral("放样数据表"), {printed}, lineName_);
}

}  // namespace quorvane::ui
