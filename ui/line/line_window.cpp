#include "ui/line/line_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>
#include <cmath>
#include <exception>
#include <set>

#include "calc/calculation_error.h"
#include "calc/read_number.h"
#include "io/atomic_file.h"
#include "io/export.h"
#include "io/landxml.h"
#include "ui/file_dialogs.h"
#include "ui/line/cross_section_tab.h"
#include "ui/line/grid_model.h"
#include "ui/line/grid_view.h"
#include "ui/line/line_tables.h"
#include "report/line_text.h"
#include "ui/line/line_text.h"
#include "ui/line/road_tables_print.h"
#include "ui/line/setout_tab.h"
#include "ui/line/stake_export.h"
#include "ui/line/stake_model.h"
#include "ui/line/stake_print.h"
#include "ui/line_views/profile_view.h"
#include "ui/line_views/route_plan_view.h"
#include "ui/message_boxes.h"
#include "ui/number_box.h"

namespace quorvane::ui {
namespace {

// The widths and cross slopes a stake's edges were staked with, for the
// printed table: the 横断面 table's at the stake, else those typed.
PrintedSection SectionPrinted(const StakeOptions& options, const std::optional<CrossSection>& section) {
  if (!section && !options.leftWidth_m && !options.rightWidth_m) return {};
  PrintedSection printed;
  printed.titles = {QStringLiteral("左宽"), QStringLiteral("右宽"), QStringLiteral("左横坡%"), QStringLiteral("右横坡%")};
  const auto text = [](std::optional<double> value, int decimals) {
    return value ? QString::fromStdString(FixedText(*value, decimals)) : QString();
  };
  if (section) {
    printed.texts = [section = *section, text](const StakeRow& row) {
      const SectionAt at = section.At(row.stake.distance_m);
      return QStringList{text(at.leftWidth_m, 3), text(at.rightWidth_m, 3), text(at.leftSlope_percent, 2),
                         text(at.rightSlope_percent, 2)};
    };
  } else {
    const QStringList texts{text(options.leftWidth_m, 3), text(options.rightWidth_m, 3),
                            options.leftWidth_m ? text(options.slopes.left_percent, 2) : QString(),
                            options.rightWidth_m ? text(options.slopes.right_percent, 2) : QString()};
    printed.texts = [texts](const StakeRow&) { return texts; };
  }
  return printed;
}

// A fixed text of the message catalogue.
QString Q(const char* utf8) { return QString::fromUtf8(utf8); }
QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

constexpr int kMaxRecent = 8;
const char* const kRecentKey = "line/recentFiles";
const QString kTitle = QString::fromUtf8(kLineWindowTitle);
const QString kXmlFilter = QStringLiteral("LandXML 文件 (*.xml)");

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

QLabel* ErrorLabel(QWidget* parent) {
  auto* label = new QLabel(parent);
  label->setWordWrap(true);
  label->setStyleSheet(QStringLiteral("QLabel { color: rgb(200, 0, 0); }"));
  return label;
}

GridView* MakeGrid(GridModel* model, const char* name, QWidget* parent) {
  auto* view = new GridView(parent);
  view->setObjectName(QString::fromLatin1(name));
  view->setModel(model);
  // Each column as wide as its title, the last (提示) takes the rest.
  for (int column = 0; column < model->InputColumns(); ++column) {
    const QString title = model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    view->setColumnWidth(column, std::max(view->fontMetrics().horizontalAdvance(title) + 24, 90));
  }
  return view;
}

// A one-row table as tall as its header and row.
void FitOneRow(GridView* view) {
  view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view->setFixedHeight(view->horizontalHeader()->sizeHint().height() + view->verticalHeader()->defaultSectionSize() +
                       2 * view->frameWidth() + 2);
}

// The text of a table's errors for its status line.
QString WholeOrFirst(const TableErrors& errors) {
  if (!errors.cell.isEmpty()) return errors.cell;
  if (!errors.whole.isEmpty()) return errors.whole;
  if (!errors.rows.empty()) {
    return QStringLiteral("第%1行：%2").arg(errors.rows.begin()->first + 1).arg(errors.rows.begin()->second);
  }
  return {};
}

std::optional<double> OptionalStation(const QLineEdit* box) {
  const std::string text = box->text().toStdString();
  if (IsBlankText(text)) return std::nullopt;
  return ReadStation(text);
}

double Number(const QLineEdit* box) { return ReadNumber(box->text().toStdString()); }

// The message of a box of the stake tab that is not wholly a number (or a
// station), named by its label; empty for a good or blank box.
QString BoxError(const QLineEdit* box, bool station = false) {
  const std::string text = box->text().toStdString();
  if (IsBlankText(text) || (station ? IsWholeStation(text) : IsWholeNumber(text))) return {};
  QString label = box->objectName();
  for (const QLabel* caption : box->parentWidget()->findChildren<QLabel*>())
    if (caption->buddy() == box) label = caption->text().remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
  return Q(kBoxNotNumberPattern).arg(Q(kStakeTab)).arg(label).arg(box->text().trimmed());
}

// The cell errors of a table read without a line (the profile table while
// the line has an error): each row's first.
TableErrors CellErrors(const GridModel& grid, const char* tab) {
  TableErrors errors;
  for (int row = 0; row < grid.rowCount(); ++row)
    for (int column = 0; column < grid.InputColumns(); ++column) {
      const QString message = CellError(grid, row, column, tab);
      if (message.isEmpty()) continue;
      errors.rows[row] = message;
      if (errors.cell.isEmpty()) errors.cell = message;
      break;
    }
  return errors;
}

}  // namespace

LineWindow::LineWindow(MessageBoxes& boxes, FileDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), boxes_(boxes), dialogs_(dialogs) {
  setObjectName(QStringLiteral("lineWindow"));
  setAttribute(Qt::WA_DeleteOnClose);
  undo_ = new QUndoStack(this);
  start_ = new GridModel(StartColumns(), undo_, this);
  start_->SetFixedRows(1);
  elements_ = new GridModel(ElementColumns(), undo_, this);
  jdStart_ = new GridModel(JdStartColumns(), undo_, this);
  jdStart_->SetFixedRows(1);
  jds_ = new GridModel(JdColumns(), undo_, this);
  equations_ = new GridModel(EquationColumns(), undo_, this);
  grades_ = new GridModel(ProfileColumns(), undo_, this);
  curves_ = new QStandardItemModel(this);
  curves_->setHorizontalHeaderLabels(CurveTableTitles());
  stakes_ = new StakeModel(this);
  located_ = new QStandardItemModel(this);
  located_->setHorizontalHeaderLabels({QStringLiteral("点号"), QStringLiteral("X"), QStringLiteral("Y"),
                                       QStringLiteral("桩号"), QStringLiteral("偏距"), QStringLiteral("设计高程"),
                                       QStringLiteral("实测高程"), QStringLiteral("高差"), QStringLiteral("备注")});
  // A few empty rows to type into.
  elements_->Load(GridModel::Rows(5));
  jds_->Load(GridModel::Rows(5));
  equations_->Load({});
  grades_->Load({});

  recompute_ = new QTimer(this);
  recompute_->setSingleShot(true);
  recompute_->setInterval(150);
  connect(recompute_, &QTimer::timeout, this, &LineWindow::RecomputeIfEdited);
  for (GridModel* model : {start_, elements_, equations_, grades_, jdStart_, jds_}) {
    connect(model, &GridModel::Edited, this, [this] {
      edited_ = true;
      recompute_->start();
    });
  }
  // An edited table is read from its texts from then on.
  for (GridModel* model : {start_, elements_, equations_})
    connect(model, &GridModel::Edited, this, [this] { modelLine_.reset(); });
  connect(grades_, &GridModel::Edited, this, [this] { modelGrades_.reset(); });
  connect(undo_, &QUndoStack::cleanChanged, this, &LineWindow::UpdateTitle);
  crossSection_ = new CrossSectionTab(undo_, this);
  connect(crossSection_, &CrossSectionTab::Edited, this, [this] {
    edited_ = true;
    recompute_->start();
  });
  setout_ = new SetoutTab(boxes_, dialogs_, [this](bool stakes) { return SetoutFrom(stakes); }, this);

  BuildTabs();
  BuildMenus();
  readerWarnings_ = new QLabel(this);
  readerWarnings_->setObjectName(QStringLiteral("readerWarnings"));
  statusBar()->addPermanentWidget(readerWarnings_, 1);
  UpdateTitle();
  // A new window is typed into from its start point.
  findChild<GridView*>(QStringLiteral("startTable"))->setFocus();
  resize(1000, 680);
}

// The undo stack, a child, clears itself when deleted after this part of the
// object is gone, and says so: nothing of the window may answer then.
LineWindow::~LineWindow() { undo_->disconnect(this); }

void LineWindow::BuildTabs() {
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName(QStringLiteral("tabs"));
  setCentralWidget(tabs_);
  BuildElementTab();
  BuildJdTab();
  BuildEquationTab();
  BuildProfileTab();
  BuildStakeTab();
  BuildLocateTab();
  BuildDrawingTabs();
}

void LineWindow::BuildElementTab() {  // 线元
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  GridView* startView = MakeGrid(start_, "startTable", page);
  FitOneRow(startView);
  layout->addWidget(startView);
  layout->addWidget(MakeGrid(elements_, "elementTable", page), 1);
  lineStatus_ = ErrorLabel(page);
  lineStatus_->setObjectName(QStringLiteral("lineStatus"));
  layout->addWidget(lineStatus_);
  tabs_->addTab(page, QStringLiteral("线元(&1)"));
}

void LineWindow::BuildJdTab() {  // 交点
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  GridView* startView = MakeGrid(jdStart_, "jdStartTable", page);
  FitOneRow(startView);
  startView->setMaximumWidth(260);
  top->addWidget(startView);
  auto* convert = new QPushButton(QStringLiteral("转换为线元(&C)"), page);
  convert->setObjectName(QStringLiteral("convertJd"));
  connect(convert, &QPushButton::clicked, this, &LineWindow::ConvertJd);
  top->addWidget(convert);
  top->addStretch();
  layout->addLayout(top);
  auto* split = new QSplitter(Qt::Vertical, page);
  split->addWidget(MakeGrid(jds_, "jdTable", split));
  auto* curveView = new QTableView(split);
  curveView->setObjectName(QStringLiteral("curveTable"));
  curveView->setModel(curves_);
  curveView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  split->addWidget(curveView);
  layout->addWidget(split, 1);
  jdStatus_ = ErrorLabel(page);
  jdStatus_->setObjectName(QStringLiteral("jdStatus"));
  layout->addWidget(jdStatus_);
  tabs_->addTab(page, QStringLiteral("交点(&2)"));
}

void LineWindow::BuildEquationTab() {  // 断链
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(MakeGrid(equations_, "equationTable", page), 1);
  equationStatus_ = ErrorLabel(page);
  layout->addWidget(equationStatus_);
  tabs_->addTab(page, QStringLiteral("断链(&3)"));
}

void LineWindow::BuildProfileTab() {  // 纵断面
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(MakeGrid(grades_, "profileTable", page), 1);
  profileStatus_ = ErrorLabel(page);
  profileStatus_->setObjectName(QStringLiteral("profileStatus"));
  layout->addWidget(profileStatus_);
  tabs_->addTab(page, QStringLiteral("纵断面(&4)"));
}

void LineWindow::BuildStakeTab() {  // 逐桩坐标
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* options = new QHBoxLayout;
  const auto box = [&](const char* name, const QString& label, const QString& text, NumberBox::Reads reads) {
    auto* edit = new NumberBox(text, page, reads);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaximumWidth(110);
    auto* caption = new QLabel(label, page);
    caption->setBuddy(edit);
    options->addWidget(caption);
    options->addWidget(edit);
    return edit;
  };
  interval_ = box("interval", QStringLiteral("桩距(&D)"), QStringLiteral("20"), NumberBox::Reads::Number);
  from_ = box("fromStation", QStringLiteral("起点桩号"), QString(), NumberBox::Reads::Station);
  to_ = box("toStation", QStringLiteral("终点桩号"), QString(), NumberBox::Reads::Station);
  keyPoints_ = new QCheckBox(QStringLiteral("主点(&K)"), page);
  keyPoints_->setObjectName(QStringLiteral("keyPoints"));
  keyPoints_->setChecked(true);
  options->addWidget(keyPoints_);
  leftWidth_ = box("leftWidth", QStringLiteral("左宽"), QString(), NumberBox::Reads::Number);
  rightWidth_ = box("rightWidth", QStringLiteral("右宽"), QString(), NumberBox::Reads::Number);
  leftSlope_ = box("leftSlope", QStringLiteral("左横坡%"), QString(), NumberBox::Reads::Number);
  rightSlope_ = box("rightSlope", QStringLiteral("右横坡%"), QString(), NumberBox::Reads::Number);
  auto* compute = new QPushButton(QStringLiteral("计算(&G)"), page);
  compute->setObjectName(QStringLiteral("computeStakes"));
  connect(compute, &QPushButton::clicked, this, &LineWindow::ComputeStakes);
  options->addWidget(compute);
  options->addStretch();
  for (QLineEdit* edit : {interval_, from_, to_, leftWidth_, rightWidth_, leftSlope_, rightSlope_})
    connect(edit, &QLineEdit::returnPressed, this, &LineWindow::ComputeStakes);
  layout->addLayout(options);
  stakeView_ = new QTableView(page);
  stakeView_->setObjectName(QStringLiteral("stakeTable"));
  stakeView_->setModel(stakes_);
  stakeView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  stakeView_->setSelectionBehavior(QAbstractItemView::SelectRows);
  stakeView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  stakeView_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  stakeView_->verticalHeader()->setDefaultSectionSize(stakeView_->fontMetrics().height() + 4);
  stakeView_->horizontalHeader()->setDefaultSectionSize(
      stakeView_->fontMetrics().horizontalAdvance(QStringLiteral("K0000+000.000")) + 12);
  stakeView_->setSortingEnabled(true);
  stakeView_->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
  layout->addWidget(stakeView_, 1);
  stakeStatus_ = new QLabel(page);
  stakeStatus_->setObjectName(QStringLiteral("stakeStatus"));
  layout->addWidget(stakeStatus_);
  tabs_->addTab(page, QStringLiteral("逐桩坐标(&5)"));
}

void LineWindow::BuildLocateTab() {  // 坐标反算
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* row = new QHBoxLayout;
  const auto box = [&](const char* name, const QString& label) {
    auto* edit = new NumberBox(QString(), page);
    edit->setObjectName(QString::fromLatin1(name));
    auto* caption = new QLabel(label, page);
    caption->setBuddy(edit);
    row->addWidget(caption);
    row->addWidget(edit);
    connect(edit, &QLineEdit::returnPressed, this, &LineWindow::LocateTyped);
    return edit;
  };
  pointX_ = box("pointX", QStringLiteral("X"));
  pointY_ = box("pointY", QStringLiteral("Y"));
  pointH_ = box("pointH", QStringLiteral("实测高程"));
  auto* locate = new QPushButton(QStringLiteral("反算(&R)"), page);
  locate->setObjectName(QStringLiteral("locate"));
  connect(locate, &QPushButton::clicked, this, &LineWindow::LocateTyped);
  row->addWidget(locate);
  auto* file = new QPushButton(QStringLiteral("打开测点文件(&O)…"), page);
  file->setObjectName(QStringLiteral("locateFile"));
  connect(file, &QPushButton::clicked, this, [this] {
    const QString path =
        dialogs_.OpenFileName(this, QStringLiteral("打开测点文件"),
                              {QStringLiteral("测点文件 (*.csv *.txt *.dat)"), QStringLiteral("所有文件 (*)")});
    if (!path.isEmpty()) LocateFile(path);
  });
  row->addWidget(file);
  auto* save = new QPushButton(QStringLiteral("导出(&E)…"), page);
  save->setObjectName(QStringLiteral("exportLocated"));
  connect(save, &QPushButton::clicked, this, &LineWindow::ExportLocated);
  row->addWidget(save);
  auto* clear = new QPushButton(QStringLiteral("清空"), page);
  connect(clear, &QPushButton::clicked, this, [this] {
    located_->removeRows(0, located_->rowCount());
    measured_.clear();
    plan_->SetMeasuredPoints({});
  });
  row->addWidget(clear);
  layout->addLayout(row);
  locatedView_ = new QTableView(page);
  locatedView_->setObjectName(QStringLiteral("locatedTable"));
  locatedView_->setModel(located_);
  locatedView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  locatedView_->setSelectionBehavior(QAbstractItemView::SelectRows);
  layout->addWidget(locatedView_, 1);
  tabs_->addTab(page, QStringLiteral("坐标反算(&6)"));
}

void LineWindow::BuildDrawingTabs() {
  plan_ = new RoutePlanView(dialogs_, boxes_);
  plan_->setObjectName(QStringLiteral("planView"));
  tabs_->addTab(plan_, QStringLiteral("平面图(&7)"));
  profileDrawing_ = new ProfileView(dialogs_, boxes_);
  profileDrawing_->setObjectName(QStringLiteral("profileView"));
  tabs_->addTab(profileDrawing_, QStringLiteral("纵断面图(&8)"));
  tabs_->addTab(crossSection_, QStringLiteral("横断面(&9)"));
  tabs_->addTab(setout_, QStringLiteral("放样(&0)"));
}

QAction* LineWindow::AddAction(QMenu* menu, const char* name, const QString& text, const QKeySequence& shortcut) {
  QAction* action = menu->addAction(text);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(shortcut);
  return action;
}

void LineWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
  connect(AddAction(file, "actNewLine", QStringLiteral("新建路线(&N)"), QKeySequence::New), &QAction::triggered,
          this, [this] { OpenLineWindow(boxes_, dialogs_); });
  connect(AddAction(file, "actOpenLine", QStringLiteral("打开路线(&O)…"), QKeySequence::Open), &QAction::triggered,
          this, [this] { AskAndOpenLineWindow(this, boxes_, dialogs_); });
  recentMenu_ = file->addMenu(QStringLiteral("最近打开(&R)"));
  connect(recentMenu_, &QMenu::aboutToShow, this, &LineWindow::FillRecentMenu);
  file->addSeparator();
  connect(AddAction(file, "actSave", QStringLiteral("保存(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S)),
          &QAction::triggered, this, &LineWindow::Save);
  connect(AddAction(file, "actSaveAs", QStringLiteral("另存为(&A)…")), &QAction::triggered, this,
          &LineWindow::SaveAs);
  file->addSeparator();
  connect(AddAction(file, "actExport", QStringLiteral("导出坐标(&E)…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)),
          &QAction::triggered, this, [this] { ExportStakes(false); });
  connect(AddAction(file, "actExportSelected", QStringLiteral("导出选中行(&L)…")), &QAction::triggered, this,
          [this] { ExportStakes(true); });
  connect(AddAction(file, "actPrint", QStringLiteral("打印逐桩坐标表(&T)…"), QKeySequence(Qt::CTRL | Qt::Key_P)),
          &QAction::triggered, this, [this] {
            RecomputeIfEdited();
            if (!stakesCurrent_ && !ComputeStakes()) return;
            ShowStakePrintPreview(this, QString::fromStdString(LineName()), *stakes_, VisibleRows(), printedSection_);
          });
  connect(AddAction(file, "actPrintTables", QStringLiteral("打印路线表格(&B)…")), &QAction::triggered, this,
          &LineWindow::PrintStandardTables);
  connect(AddAction(file, "actSaveDrawing", QStringLiteral("保存图形为 PNG(&P)…")), &QAction::triggered, this,
          &LineWindow::SaveDrawing);
  file->addSeparator();
  connect(AddAction(file, "actClose", QStringLiteral("关闭(&C)"), QKeySequence(Qt::CTRL | Qt::Key_W)),
          &QAction::triggered, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu(QStringLiteral("编辑(&E)"));
  QAction* undo = undo_->createUndoAction(this, QStringLiteral("撤销"));
  undo->setObjectName(QStringLiteral("actUndo"));
  undo->setShortcut(QKeySequence::Undo);
  edit->addAction(undo);
  QAction* redo = undo_->createRedoAction(this, QStringLiteral("重做"));
  redo->setObjectName(QStringLiteral("actRedo"));
  redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence::Redo});
  edit->addAction(redo);
  edit->addSeparator();
  connect(AddAction(edit, "actInsertRow", QStringLiteral("插入行(&I)"), QKeySequence(Qt::CTRL | Qt::Key_Insert)),
          &QAction::triggered, this, [this] {
            if (GridView* grid = ActiveGrid()) grid->InsertRow();
          });
  connect(AddAction(edit, "actDeleteRows", QStringLiteral("删除行(&D)"), QKeySequence(Qt::CTRL | Qt::Key_Delete)),
          &QAction::triggered, this, [this] {
            if (GridView* grid = ActiveGrid()) grid->DeleteRows();
          });

  QMenu* line = menuBar()->addMenu(QStringLiteral("计算(&C)"));
  connect(AddAction(line, "actStakes", QStringLiteral("逐桩坐标(&S)"), QKeySequence(Qt::Key_F5)), &QAction::triggered,
          this, [this] {
            tabs_->setCurrentIndex(4);
            ComputeStakes();
          });
  connect(AddAction(line, "actConvertJd", QStringLiteral("交点转线元(&C)"), QKeySequence(Qt::Key_F6)),
          &QAction::triggered, this, &LineWindow::ConvertJd);

  // Copy of the stake and located tables' selected rows, as tab-separated
  // rows with their header.
  for (QTableView* view : {stakeView_, locatedView_}) {
    auto* copy = new QAction(view);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    view->addAction(copy);
    connect(copy, &QAction::triggered, this, [view] {
      std::set<int> rows;
      for (const QModelIndex& index : view->selectionModel()->selectedRows()) rows.insert(index.row());
      if (rows.empty()) return;
      QAbstractItemModel* model = view->model();
      QStringList lines, header;
      for (int c = 0; c < model->columnCount(); ++c) header << model->headerData(c, Qt::Horizontal).toString();
      lines << header.join(u'\t');
      for (int r : rows) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c) cells << model->index(r, c).data().toString();
        lines << cells.join(u'\t');
      }
      QApplication::clipboard()->setText(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    });
  }
}

GridView* LineWindow::ActiveGrid() const {
  for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget())
    if (auto* grid = qobject_cast<GridView*>(w)) return grid;
  return nullptr;
}

void LineWindow::UpdateTitle() {
  const QString name = path_.isEmpty() ? QStringLiteral("未命名") : QFileInfo(path_).fileName();
  setWindowTitle(name + QStringLiteral("[*] - ") + kTitle);
  setWindowModified(!undo_->isClean());
}

void LineWindow::Inform(const QString& prompt, const QString& title) { boxes_.Inform(this, prompt, title); }

void LineWindow::RecomputeIfEdited() {
  if (edited_) Recompute();
}

void LineWindow::Recompute() {
  recompute_->stop();
  edited_ = false;
  // The model while its tables are unedited, else the tables' texts.
  const LineReading reading =
      modelLine_ ? LineReading{modelLine_, {}, {}, {}} : ReadLineTables(*start_, *elements_, *equations_);
  start_->SetRowErrors(reading.start.rows);
  elements_->SetRowErrors(reading.elements.rows);
  equations_->SetRowErrors(reading.equations.rows);
  line_ = reading.line;
  lineError_.clear();
  for (const TableErrors* errors : {&reading.start, &reading.elements, &reading.equations}) {
    if (lineError_.isEmpty()) lineError_ = WholeOrFirst(*errors);
  }
  lineStatus_->setText(!lineError_.isEmpty() ? lineError_
                       : line_               ? QStringLiteral("路线长 %1 m，%2 个线元")
                                     .arg(Q(FixedText(line_->Length_m(), 3)))
                                     .arg(line_->Elements().size())
                               : QString());
  lineStatus_->setStyleSheet(lineError_.isEmpty() ? QString() : QStringLiteral("QLabel { color: rgb(200, 0, 0); }"));
  equationStatus_->setText(WholeOrFirst(reading.equations));

  profile_.reset();
  // Grade points held as read give their rows' errors by the same numbers:
  // the table was loaded from them.
  const ProfileReading profile = !line_         ? ProfileReading{std::nullopt, CellErrors(*grades_, kProfileTab)}
                                 : modelGrades_ ? ReadProfile(*line_, *modelGrades_)
                                                : ReadProfileTable(*line_, *grades_);
  grades_->SetRowErrors(profile.points.rows);
  profile_ = profile.profile;
  profileError_ = WholeOrFirst(profile.points);
  profileStatus_->setText(profileError_);
  crossSection_->Update(line_ ? &*line_ : nullptr);

  const JdReading jd = ReadJdTables(*jds_, *jdStart_);
  jds_->SetRowErrors(jd.jds.rows);
  jdStart_->SetRowErrors(jd.start.rows);
  jdTable_ = jd.table;
  jdError_ = !jd.start.cell.isEmpty() ? jd.start.cell : jd.jds.cell;
  jdStatus_->setText(!jd.start.Empty() ? WholeOrFirst(jd.start) : WholeOrFirst(jd.jds));
  curves_->removeRows(0, curves_->rowCount());
  if (jd.design) {
    for (const QStringList& cells : CurveTableRows(*jd.design)) {
      QList<QStandardItem*> items;
      for (const QString& cell : cells) items << new QStandardItem(cell);
      curves_->appendRow(items);
    }
  }
  // The drawings follow the line; its stakes come back with the next 计算.
  if (line_) {
    plan_->SetLine(*line_);
    plan_->SetMeasuredPoints(measured_);
  } else {
    plan_->ClearLine();
  }
  if (line_ && profile_) {
    profileDrawing_->SetProfile(*line_, *profile_);
  } else {
    profileDrawing_->ClearProfile();
  }
  if (stakesCurrent_ && stakes_->rowCount() > 0) stakeStatus_->setText(QStringLiteral("路线已修改，按 F5 重新计算"));
  stakesCurrent_ = false;
}

bool LineWindow::ConvertJd() {
  RecomputeIfEdited();
  const JdReading jd = ReadJdTables(*jds_, *jdStart_);
  if (!jd.design) {
    const QString message = !jd.start.Empty() ? WholeOrFirst(jd.start) : WholeOrFirst(jd.jds);
    Inform(message.isEmpty() ? Q(kJdTableEmptyPrompt) : message, Q(kJdConvertTitle));
    return false;
  }
  undo_->beginMacro(Q(kJdConvertTitle));
  start_->ReplaceAll(StartRows(jd.design->start), QString());
  elements_->ReplaceAll(ElementRows(jd.design->elements), QString());
  undo_->endMacro();
  Recompute();  // the chainage equations read with the new elements
  // The design itself is the line, not its texts (the start azimuth's
  // DD.MMSS would round it).
  if (line_) {
    try {
      modelLine_.emplace(jd.design->start, jd.design->elements, line_->Equations());
    } catch (const CalculationError& error) {
      Inform(QString::fromUtf8(error.what()), Q(kJdConvertTitle));
    }
    Recompute();
  }
  tabs_->setCurrentIndex(0);
  return true;
}

void LineWindow::ShowStakeError(const QString& message) {
  stakeStatus_->setText(message);
  Inform(message, Q(kLineStakesTitle));
}

QString LineWindow::TablesError() const {
  for (const QString* error : {&lineError_, &profileError_, &jdError_})
    if (!error->isEmpty()) return *error;
  return {};
}

std::optional<StakeSettings> LineWindow::ReadStakeSettings(const QString& title) {
  for (const QLineEdit* box : {leftWidth_, rightWidth_, leftSlope_, rightSlope_}) {
    if (const QString error = BoxError(box); !error.isEmpty()) {
      Inform(error, title);
      return std::nullopt;
    }
  }
  return StakeSettings{Number(leftWidth_), Number(rightWidth_), Number(leftSlope_), Number(rightSlope_)};
}

void LineWindow::ShowStakeSettings(const std::optional<StakeSettings>& settings) {
  const auto text = [](double value) { return value == 0 ? QString() : Q(ExactText(value)); };
  leftWidth_->setText(settings ? text(settings->leftWidth_m) : QString());
  rightWidth_->setText(settings ? text(settings->rightWidth_m) : QString());
  leftSlope_->setText(settings ? text(settings->leftSlope_percent) : QString());
  rightSlope_->setText(settings ? text(settings->rightSlope_percent) : QString());
}

bool LineWindow::ComputeStakes() {
  RecomputeIfEdited();
  if (const QString error = TablesError(); !error.isEmpty() || !line_) {
    ShowStakeError(error.isEmpty() ? QStringLiteral("还没有路线：请先填写线元表或交点表") : error);
    return false;
  }
  for (const auto& [box, station] : {std::pair{interval_, false}, {from_, true}, {to_, true}}) {
    if (const QString error = BoxError(box, station); !error.isEmpty()) {
      ShowStakeError(error);
      return false;
    }
  }
  const std::optional<StakeSettings> settings = ReadStakeSettings(Q(kLineStakesTitle));
  if (!settings) return false;
  StakeOptions options;
  options.interval_m = Number(interval_);
  options.fromStation_m = OptionalStation(from_);
  options.toStation_m = OptionalStation(to_);
  options.keyPoints = keyPoints_->isChecked();
  // A side with no width (empty or 0) has no edge point.
  if (settings->leftWidth_m != 0) options.leftWidth_m = settings->leftWidth_m;
  if (settings->rightWidth_m != 0) options.rightWidth_m = settings->rightWidth_m;
  options.slopes = {settings->leftSlope_percent, settings->rightSlope_percent};
  // A cross-section table, when typed, decides the edges instead.
  const std::optional<CrossSection>& section = crossSection_->Section();
  if (crossSection_->HasRows() && !section) {
    ShowStakeError(Q(kCrossSectionHasErrorsPrompt) + crossSection_->Error());
    return false;
  }
  if (section) options.crossSection = &*section;
  try {
    const StakeRun run(*line_, profile_ ? &*profile_ : nullptr, options);
    std::vector<StakeRow> rows = run.Rows();
    const std::size_t count = rows.size();
    stakes_->SetStakes(std::move(rows), run.Columns());
    printedSection_ = SectionPrinted(options, section);
    stakeView_->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    stakeStatus_->setText(QStringLiteral("%1 个桩").arg(count));
    std::vector<LineStake> drawn;
    drawn.reserve(count);
    for (const StakeRow& row : stakes_->Rows()) drawn.push_back(row.stake);
    if (section) {
      std::vector<LinePoint> left, right;
      for (const StakeRow& row : stakes_->Rows()) {
        left.push_back(*row.left);
        right.push_back(*row.right);
      }
      plan_->SetStakeEdges(drawn, left, right);
    } else {
      plan_->SetStakes(drawn, options.leftWidth_m.value_or(0), options.rightWidth_m.value_or(0));
    }
    if (profile_) profileDrawing_->SetStakes(drawn);
    stakesCurrent_ = true;
    return true;
  } catch (const std::exception& error) {
    ShowStakeError(QString::fromUtf8(error.what()));
    return false;
  }
}

void LineWindow::ExportStakes(bool selectedOnly) {
  RecomputeIfEdited();
  if (!stakesCurrent_ && !ComputeStakes()) return;
  std::vector<int> rows = VisibleRows();
  if (selectedOnly) {
    rows.clear();
    for (const QModelIndex& index : stakeView_->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    if (rows.empty()) {
      Inform(Q(kNoStakeSelectedPrompt), Q(kExportTitle));
      return;
    }
  }
  QString path = dialogs_.SaveFileName(this, QStringLiteral("导出坐标"), QStringLiteral("逐桩坐标.csv"),
                                       {QStringLiteral("CSV 文件 (*.csv)"), QStringLiteral("坐标数据文件 (*.dat)"),
                                        QStringLiteral("DXF 图形 (*.dxf)"),
                                        QStringLiteral("LandXML 点文件 (*.xml)")});
  if (path.isEmpty()) return;
  if (!ExportFormatOf(path.toStdString()) && !IsLandXmlFileName(path.toStdString())) path += QStringLiteral(".csv");
  try {
    // A data collector's file holds the line with its points.
    std::string document;
    if (IsLandXmlFileName(path.toStdString())) {
      document = LandXmlText(
          RoadAlignment{LineName(), *line_, profile_ ? profile_->Points() : std::vector<GradePoint>{}});
    }
    WriteStakeRows(PathBytes(path), *stakes_, rows, document);
    statusBar()->showMessage(QStringLiteral("已导出 %1 个桩到 %2").arg(rows.size()).arg(path), 10000);
  } catch (const std::exception& error) {
    Inform(QString::fromUtf8(error.what()), Q(kExportTitle));
  }
}

void LineWindow::LocateOne(const QString& name, double X_m, double Y_m, std::optional<double> H_m) {
  const auto fixed3 = [](double v) { return Q(FixedText(v, 3)); };
  QStringList cells{name, fixed3(X_m), fixed3(Y_m)};
  const LineLocation where = line_->Find(X_m, Y_m);
  const LocatedTexts texts = LocatedText(where, 3);
  std::string remark = texts.remark;
  std::optional<double> design;
  if (where.status == LocateStatus::OnLine && profile_) {
    try {
      // The slope of the point's side: the cross-section's there, else the one typed.
      const std::optional<CrossSection>& section = crossSection_->Section();
      design = profile_->ElevationAtOffset(where.foot.distance_m, where.foot.offset_m,
                                           section ? section->At(where.foot.distance_m).Slopes()
                                                   : CrossSlopes{Number(leftSlope_), Number(rightSlope_)});
    } catch (const CalculationError&) {
      remark = JoinRemarks(remark, kNotOnProfileRemark);
    }
  }
  cells << Q(texts.station) << Q(texts.offset) << (design ? fixed3(*design) : QString())
        << (H_m ? fixed3(*H_m) : QString());
  // 备注: cut or fill, then where the point lies (beyond an end, which pass
  // of a long chain).
  if (design && H_m) {
    const CutFill cutFill = CutFillText(*H_m, *design, 3);
    cells << Q(cutFill.amount) << Q(JoinRemarks(cutFill.side, remark));
  } else {
    cells << QString() << Q(remark);
  }
  QList<QStandardItem*> items;
  for (const QString& cell : cells) items << new QStandardItem(cell);
  located_->appendRow(items);
  measured_.push_back({name.toStdString(), X_m, Y_m});
  plan_->SetMeasuredPoints(measured_);
}

void LineWindow::SaveDrawing() {
  DrawingView* drawing = tabs_->currentWidget() == profileDrawing_ ? static_cast<DrawingView*>(profileDrawing_)
                                                                    : static_cast<DrawingView*>(plan_);
  tabs_->setCurrentWidget(drawing);
  drawing->SaveImage();
}

void LineWindow::LocateTyped() {
  RecomputeIfEdited();
  if (!line_) {
    Inform(lineError_.isEmpty() ? Q(kNoLineYetPrompt) : lineError_, Q(kLocateTitle));
    return;
  }
  const std::string h = pointH_->text().toStdString();
  LocateOne(QString::number(located_->rowCount() + 1), Number(pointX_), Number(pointY_),
            IsBlankText(h) ? std::nullopt : std::optional<double>(ReadNumber(h)));
  locatedView_->scrollToBottom();
}

void LineWindow::LocateFile(const QString& path) {
  RecomputeIfEdited();
  if (!line_) {
    Inform(lineError_.isEmpty() ? Q(kNoLineYetPrompt) : lineError_, Q(kLocateTitle));
    return;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    Inform(Q(kCannotOpenPattern).arg(QFileInfo(path).fileName()), Q(kLocateTitle));
    return;
  }
  QString text = QString::fromUtf8(file.readAll());
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  int lineNumber = 0, read = 0;
  QStringList skipped;
  for (const QString& raw : text.split(u'\n')) {
    ++lineNumber;
    const QString line = raw.trimmed();
    if (line.isEmpty()) continue;
    const QStringList cells = line.split(u',');
    const auto whole = [](const QString& cell) {
      const std::string t = cell.toStdString();
      return !IsBlankText(t) && IsWholeNumber(t);
    };
    if (cells.size() < 3 || !whole(cells[1]) || !whole(cells[2])) {
      // A header row is allowed in front; any other such row is reported.
      if (read > 0 || lineNumber > 1) skipped << QString::number(lineNumber);
      continue;
    }
    std::optional<double> H;
    if (cells.size() > 3 && whole(cells[3])) H = ReadNumber(cells[3].toStdString());
    LocateOne(cells[0].trimmed(), ReadNumber(cells[1].toStdString()), ReadNumber(cells[2].toStdString()), H);
    ++read;
  }
  if (!skipped.isEmpty())
    Inform(Q(kSkippedPointRowsPattern).arg(skipped.join(QStringLiteral("、"))),
           Q(kLocateTitle));
}

void LineWindow::ExportLocated() {
  if (located_->rowCount() == 0) return;
  const QString path = dialogs_.SaveFileName(this, Q(kExportLocatedTitle), QStringLiteral("坐标反算.csv"),
                                             {QStringLiteral("CSV 文件 (*.csv)")});
  if (path.isEmpty()) return;
  std::vector<std::vector<std::string>> table;
  std::vector<std::string> header;
  for (int c = 0; c < located_->columnCount(); ++c)
    header.push_back(located_->headerData(c, Qt::Horizontal).toString().toStdString());
  table.push_back(header);
  for (int r = 0; r < located_->rowCount(); ++r) {
    std::vector<std::string> cells;
    for (int c = 0; c < located_->columnCount(); ++c) cells.push_back(located_->index(r, c).data().toString().toStdString());
    table.push_back(cells);
  }
  try {
    WriteTableCsv(PathBytes(path), table);
  } catch (const std::exception& error) {
    Inform(QString::fromUtf8(error.what()), Q(kExportLocatedTitle));
  }
}

std::optional<SetoutSource> LineWindow::SetoutFrom(bool stakes) {
  RecomputeIfEdited();
  if (!line_) {
    Inform(lineError_.isEmpty() ? Q(kNoLineYetPrompt) : lineError_, Q(kSetoutTitle));
    return std::nullopt;
  }
  if (stakes && !stakesCurrent_ && !ComputeStakes()) return std::nullopt;
  SetoutSource source;
  source.line = &*line_;
  source.profile = profile_ ? &*profile_ : nullptr;
  source.section = crossSection_->Section() ? &*crossSection_->Section() : nullptr;
  source.slopes = {Number(leftSlope_), Number(rightSlope_)};
  source.stakes = stakes_;
  for (const QModelIndex& index : stakeView_->selectionModel()->selectedRows()) source.selected.push_back(index.row());
  std::sort(source.selected.begin(), source.selected.end());
  source.landXml = LandXmlText(
      RoadAlignment{LineName(), *line_, profile_ ? profile_->Points() : std::vector<GradePoint>{}});
  source.lineName = LineName();
  return source;
}

void LineWindow::PrintStandardTables() {
  if (!stakesCurrent_ && !ComputeStakes()) return;
  const auto has = [this](StakeColumn column) {
    const std::vector<StakeColumn>& columns = stakes_->Columns();
    return std::find(columns.begin(), columns.end(), column) != columns.end();
  };
  RoadTablesSource source;
  source.line = &*line_;
  source.profile = profile_ ? &*profile_ : nullptr;
  source.jd = TypedJdTable(*jds_, *jdStart_);
  source.stakes = &stakes_->Rows();
  source.leftEdge = has(StakeColumn::LeftX);
  source.rightEdge = has(StakeColumn::RightX);
  source.section = crossSection_->Section() ? &*crossSection_->Section() : nullptr;
  try {
    ShowTablesPrintPreview(this, Q(kPrintTablesTitle), StandardTables(source), LineName());
  } catch (const std::exception& error) {
    Inform(QString::fromUtf8(error.what()), Q(kPrintTablesTitle));
  }
}

std::vector<int> LineWindow::VisibleRows() const {
  std::vector<int> rows(static_cast<std::size_t>(stakes_->rowCount()));
  for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<int>(i);
  return rows;
}

std::string LineWindow::LineName() const {
  if (!name_.empty()) return name_;
  return path_.isEmpty() ? std::string("未命名") : QFileInfo(path_).completeBaseName().toStdString();
}

std::optional<RoadAlignment> LineWindow::ReadChosenAlignment(const QString& path) {
  const std::string file = PathBytes(path);
  const std::vector<AlignmentSummary> alignments = ListLandXmlAlignments(file);
  fileHoldsOthers_ = alignments.size() > 1;
  if (!fileHoldsOthers_) return ReadLandXml(file);
  QStringList items;
  for (const AlignmentSummary& a : alignments)
    items << Q(kAlignmentChoicePattern)
                 .arg(a.name.empty() ? Q(kUnnamedAlignment) : Q(a.name))
                 .arg(Q(FixedText(a.length_m, 3)));
  const std::optional<int> chosen =
      dialogs_.ChooseOne(this, Q(kChooseAlignmentTitle), Q(kChooseAlignmentPrompt), items);
  if (!chosen || *chosen < 0 || static_cast<std::size_t>(*chosen) >= alignments.size()) return std::nullopt;
  const std::string& name = alignments[static_cast<std::size_t>(*chosen)].name;
  const auto sameName = [&name](const AlignmentSummary& a) { return a.name == name; };
  // A name the file gives twice is told apart by its place only.
  if (std::count_if(alignments.begin(), alignments.end(), sameName) > 1)
    return ReadLandXmlAlignments(file).at(static_cast<std::size_t>(*chosen));
  return ReadLandXml(file, name);
}

bool LineWindow::OpenFile(const QString& path) {
  std::optional<RoadAlignment> read;
  try {
    read = ReadChosenAlignment(path);
  } catch (const std::exception& error) {
    Inform(QString::fromUtf8(error.what()), Q(kOpenLineTitle));
    return false;
  }
  if (!read) return false;
  const RoadAlignment& alignment = *read;
  name_ = alignment.name;
  const Line& line = alignment.line;
  start_->Load(StartRows(line.Start()));
  std::vector<ElementSpec> designed;
  for (const LineElement& element : line.Elements()) designed.push_back(element.design);
  elements_->Load(ElementRows(designed));
  equations_->Load(EquationRows(line.Equations()));
  grades_->Load(GradeRows(alignment.profile));
  crossSection_->Load(alignment.crossSection);
  jdStart_->Load(alignment.jd ? JdStartRows(*alignment.jd) : GridModel::Rows{});
  jds_->Load(alignment.jd ? JdRows(*alignment.jd) : GridModel::Rows(5));
  ShowStakeSettings(alignment.stakeSettings);
  modelLine_ = line;
  if (!alignment.profile.empty()) {
    modelGrades_ = alignment.profile;
  } else {
    modelGrades_.reset();
  }
  undo_->clear();
  undo_->setClean();
  path_ = path;
  Recompute();
  RememberRecent(path);
  UpdateTitle();
  QStringList warnings;
  for (const std::string& warning : alignment.warnings) warnings << Q(warning);
  readerWarnings_->setText(warnings.join(QStringLiteral("；")));
  readerWarnings_->setToolTip(warnings.join(u'\n'));
  // Told over the window: a window being opened is shown first.
  if (!warnings.isEmpty() && isVisible()) {
    Inform(warnings.join(u'\n'), Q(kReaderWarningsTitle));
  } else if (!warnings.isEmpty()) {
    QTimer::singleShot(0, this, [this, warnings] { Inform(warnings.join(u'\n'), Q(kReaderWarningsTitle)); });
  }
  return true;
}

bool LineWindow::WriteTo(const QString& path) {
  RecomputeIfEdited();
  if (!line_) {
    Inform((lineError_.isEmpty() ? Q(kElementTableEmptyPrompt) : lineError_) +
               Q(kLineWithErrorsNotSavedText),
           Q(kSaveLineTitle));
    return false;
  }
  if (!profileError_.isEmpty()) {
    Inform(profileError_ + Q(kProfileWithErrorsNotSavedText), Q(kSaveLineTitle));
    return false;
  }
  if (!jdError_.isEmpty()) {
    Inform(jdError_ + Q(kJdWithErrorsNotSavedText), Q(kSaveLineTitle));
    return false;
  }
  const std::optional<StakeSettings> settings = ReadStakeSettings(Q(kSaveLineTitle));
  if (!settings) return false;
  // Everything the tables hold: the grade points as typed (radii kept), the
  // JD table, the stake tab's widths and slopes (none when all are blank).
  RoadAlignment alignment{name_.empty() ? QFileInfo(path).completeBaseName().toStdString() : name_, *line_,
                          profile_ ? profile_->Points() : std::vector<GradePoint>{}};
  alignment.crossSection = crossSection_->TypedRows();
  alignment.jd = jdTable_;
  if (*settings != StakeSettings{}) alignment.stakeSettings = settings;
  try {
    WriteLandXml(PathBytes(path), alignment);
  } catch (const std::exception& error) {
    Inform(QString::fromUtf8(error.what()), QString::fromUtf8(kFileErrorTitle));
    return false;
  }
  name_ = alignment.name;
  path_ = path;
  fileHoldsOthers_ = false;
  undo_->setClean();
  RememberRecent(path);
  UpdateTitle();
  return true;
}

bool LineWindow::Save() { return path_.isEmpty() || fileHoldsOthers_ ? SaveAs() : WriteTo(path_); }

bool LineWindow::SaveAs() {
  const QString proposed = path_.isEmpty()      ? QStringLiteral("路线.xml")
                           : fileHoldsOthers_ ? QFileInfo(path_).completeBaseName() + u'-' + Q(name_) +
                                                    QStringLiteral(".xml")
                                              : QFileInfo(path_).fileName();
  QString path = dialogs_.SaveFileName(this, QStringLiteral("另存为"), proposed, {kXmlFilter});
  if (path.isEmpty()) return false;
  if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".xml");
  return WriteTo(path);
}

void LineWindow::closeEvent(QCloseEvent* event) {
  if (undo_->isClean()) return event->accept();
  const QString name = path_.isEmpty() ? QStringLiteral("未命名") : QFileInfo(path_).fileName();
  switch (boxes_.AskYesNoCancel(this, Q(kSaveChangesPattern).arg(name), kTitle)) {
    case MessageBoxes::Answer::Yes:
      if (Save()) return event->accept();
      return event->ignore();
    case MessageBoxes::Answer::No:
      return event->accept();
    case MessageBoxes::Answer::Cancel:
      return event->ignore();
  }
}

QStringList LineWindow::RecentFiles() {
  return QSettings().value(QString::fromLatin1(kRecentKey)).toStringList();
}

void LineWindow::RememberRecent(const QString& path) {
  QStringList recent = RecentFiles();
  const QString absolute = QFileInfo(path).absoluteFilePath();
  recent.removeAll(absolute);
  recent.prepend(absolute);
  while (recent.size() > kMaxRecent) recent.removeLast();
  QSettings().setValue(QString::fromLatin1(kRecentKey), recent);
}

void LineWindow::FillRecentMenu() {
  recentMenu_->clear();
  const QStringList recent = RecentFiles();
  if (recent.isEmpty()) recentMenu_->addAction(QStringLiteral("（无）"))->setEnabled(false);
  for (qsizetype i = 0; i < recent.size(); ++i) {
    const QString path = recent[i];
    QAction* action = recentMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
    connect(action, &QAction::triggered, this, [this, path] { OpenLineWindow(boxes_, dialogs_, path); });
  }
}

LineWindow* OpenLineWindow(MessageBoxes& boxes, FileDialogs& dialogs, const QString& path) {
  auto* window = new LineWindow(boxes, dialogs);
  if (!path.isEmpty() && !window->OpenFile(path)) {
    delete window;
    return nullptr;
  }
  window->show();
  return window;
}

LineWindow* AskAndOpenLineWindow(QWidget* parent, MessageBoxes& boxes, FileDialogs& dialogs) {
  const QString path = dialogs.OpenFileName(parent, Q(kOpenLineTitle), {kXmlFilter, QStringLiteral("所有文件 (*)")});
  return path.isEmpty() ? nullptr : OpenLineWindow(boxes, dialogs, path);
}

}  // namespace quorvane::ui
