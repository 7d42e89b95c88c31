#include "ui/form1.h"

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <exception>

#include "calc/calculation_error.h"
#include "command/save_export.h"
#include "command/side_stakes.h"
#include "ui/about_text.h"
#include "ui/plan_view.h"
#include "ui/print_report.h"
#include "ui/clock_text.h"
#include "ui/file_dialogs.h"
#include "ui/line/line_window.h"
#include "ui/message_boxes.h"
#include "ui/number_box.h"
#include "ui/result_box.h"

namespace quorvane::ui {
namespace {

constexpr TwipsRect kClientArea{0, 0, 9915, 4770};
const QColor kBackground(128, 255, 255);

constexpr int kTimerIntervalMs = 1000;

// The eight input boxes in tab order: each box's name, place (twips, inside
// Frame1), default text, and its caption's name, text and place.
struct InputControl {
  InputBox box;
  const char* name;
  int left;
  int top;
  const char* text;
  const char* labelName;
  const char* caption;
  int labelLeft;
  int labelTop;
};
constexpr int kInputWidth = 1695;
constexpr int kInputHeight = 270;
constexpr InputControl kInputControls[] = {
    {InputBox::lb, "txtlb", 1920, 360, "180.108", "Label1", "缓和曲线起点桩号：", 360, 480},
    {InputBox::le, "txtle", 1920, 1080, "250.365", "Label2", "缓和曲线终点桩号：", 360, 1200},
    {InputBox::Ya, "txtYa", 7560, 360, "195601.155", "Label3", "Y坐标：", 6600, 480},
    {InputBox::Xa, "txtXa", 4560, 360, "4040964.994", "Label4", "X坐标：", 3720, 480},
    {InputBox::a, "txta", 1920, 720, "17.3415", "Label5", "起点方位角：", 360, 840},
    {InputBox::Ra, "txtRa", 4560, 720, "1500", "Label6", "起点半径：", 3720, 840},
    {InputBox::Rb, "txtRb", 4560, 1080, "130", "Label7", "终点半径：", 3720, 1200},
    {InputBox::d, "txtd", 1920, 1440, "", "Label8", "桩距：", 360, 1560},
};

bool IsStationBox(InputBox box) { return box == InputBox::lb || box == InputBox::le; }

// While the mouse button that moved the focus off txtd is still down, the
// reminder looks again this often.
constexpr int kMouseUpPollMs = 20;

// A fixed-size window: title, system menu, minimize and close, no maximize.
constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                         Qt::WindowCloseButtonHint;

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A label is as wide as its caption and one line high.
void SizeToCaption(QLabel* label) {
  const QFontMetrics metrics(label->font());
  label->resize(metrics.horizontalAdvance(label->text()), metrics.height());
}

// A frame as the layout means it: an etched rectangle whose top edge runs
// through the middle of the caption, drawn flat in the frame's background
// colour. (Qt's own group box tints its inside.)
class CaptionFrame : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const QRect edge = rect().adjusted(0, metrics.height() / 2, -2, -2);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(edge);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(edge.translated(1, 1));
    const QRect caption(metrics.averageCharWidth(), 0, metrics.horizontalAdvance(title()), metrics.height());
    painter.fillRect(caption, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter, title());
  }
};

}  // namespace

QFont WindowFont() {
  QFont font;
  font.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                    QStringLiteral("Microsoft YaHei"), QStringLiteral("SimSun")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(9);
  return font;
}

QString CreditCaption() { return QStringLiteral("Quorvane · 缓和曲线逐桩坐标计算器"); }

Form1::Form1(MessageBoxes& boxes, FileDialogs& dialogs, Clock clock, QWidget* parent)
    : QMainWindow(parent, kWindowFlags),
      boxes_(boxes),
      dialogs_(dialogs),
      clock_(std::move(clock)),
      scale_(screen()->logicalDotsPerInchX(), screen()->logicalDotsPerInchY()) {
  setObjectName(QStringLiteral("form1"));
  setWindowTitle(QStringLiteral("Quorvane"));
  setFont(WindowFont());

  // The client area below the menu bar keeps the layout's size; the window
  // is as wide as it and can be neither resized nor maximized.
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("clientArea"));
  QPalette palette = client->palette();
  palette.setColor(QPalette::Window, kBackground);
  client->setPalette(palette);
  client->setAutoFillBackground(true);
  client->setFixedSize(scale_.ToPixels(kClientArea).size());
  setCentralWidget(client);
  BuildMenus();
  BuildControls(client);
  layout()->setSizeConstraint(QLayout::SetFixedSize);
  layout()->activate();
  setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen()->availableGeometry()));

  reminderTimer_ = new QTimer(this);
  reminderTimer_->setSingleShot(true);
  connect(reminderTimer_, &QTimer::timeout, this, &Form1::ShowReminderOnceMouseIsUp);
  focusWatch_ = connect(qApp, &QApplication::focusChanged, this, &Form1::OnFocusChanged);
}

// Closing the window in ~QWidget moves the focus once more, after this part of
// the object is gone.
Form1::~Form1() { disconnect(focusWatch_); }

QAction* Form1::AddAction(QMenu* menu, const char* name, const QString& text, const QKeySequence& shortcut) {
  QAction* action = menu->addAction(text);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcut(shortcut);
  return action;
}

void Form1::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
  // A whole road line opens in a 路线 window of its own.
  connect(AddAction(file, "actNewLine", QStringLiteral("新建路线(&N)…")), &QAction::triggered, this,
          [this] { OpenLineWindow(boxes_, dialogs_); });
  connect(AddAction(file, "actOpenLine", QStringLiteral("打开路线(&O)…"), QKeySequence(Qt::CTRL | Qt::Key_O)),
          &QAction::triggered, this, [this] { AskAndOpenLineWindow(this, boxes_, dialogs_); });
  file->addSeparator();
  actSaveResult_ = AddAction(file, "actSaveResult", QStringLiteral("保存结果(&S)…"), QKeySequence(Qt::CTRL | Qt::Key_S));
  // Ctrl+E already moves to the end of the line in a text box.
  actExport_ = AddAction(file, "actExport", QStringLiteral("导出坐标(&E)…"),
                         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
  actPrint_ = AddAction(file, "actPrint", QStringLiteral("打印(&P)…"), QKeySequence(Qt::CTRL | Qt::Key_P));
  file->addSeparator();
  actExit_ = AddAction(file, "actExit", QStringLiteral("退出(&X)"), QKeySequence(Qt::CTRL | Qt::Key_Q));
  QMenu* view = menuBar()->addMenu(QStringLiteral("查看(&V)"));
  actPlanView_ = AddAction(view, "actPlanView", QStringLiteral("平面图(&P)"));
  QMenu* tools = menuBar()->addMenu(QStringLiteral("工具(&T)"));
  actSideStakes_ = AddAction(tools, "actSideStakes", QStringLiteral("边桩坐标(&S)…"));
  actLocate_ = AddAction(tools, "actLocate", QStringLiteral("坐标反算(&L)…"));
  QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
  actAbout_ = AddAction(help, "actAbout", QStringLiteral("关于(&A)"));

  for (QAction* needsCalculation : {actSaveResult_, actExport_, actPrint_, actPlanView_})
    needsCalculation->setEnabled(false);
  connect(actSaveResult_, &QAction::triggered, this, &Form1::OnSaveResult);
  connect(actExit_, &QAction::triggered, this, &QWidget::close);
  connect(actExport_, &QAction::triggered, this, &Form1::OnExport);
  connect(actPrint_, &QAction::triggered, this, &Form1::OnPrint);
  connect(actPlanView_, &QAction::triggered, this, &Form1::OnPlanView);
  connect(actSideStakes_, &QAction::triggered, this, &Form1::OnSideStakes);
  connect(actLocate_, &QAction::triggered, this, &Form1::OnLocate);
  connect(actAbout_, &QAction::triggered, this, &Form1::OnAbout);
}

void Form1::Place(QWidget* control, const char* name, const TwipsRect& where) const {
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(scale_.ToPixels(where));
}

QLabel* Form1::AddLabel(QWidget* container, const char* name, const QString& caption, int left, int top) const {
  auto* text = new QLabel(caption, container);
  text->setObjectName(QString::fromLatin1(name));
  text->move(scale_.ToPixelsX(left), scale_.ToPixelsY(top));
  SizeToCaption(text);
  return text;
}

QGroupBox* Form1::AddFrame(QWidget* container, const char* name, const char* caption, const TwipsRect& where) const {
  auto* box = new CaptionFrame(QString::fromUtf8(caption), container);
  Place(box, name, where);
  return box;
}

void Form1::BuildControls(QWidget* client) {
  QGroupBox* frame1 = AddFrame(client, "Frame1", "已知数据", {240, 240, 9375, 1935});
  BuildInputs(frame1);
  BuildTurnOptions(frame1);
  BuildCommandAndResult(client);
  BuildFooter(client);

  std::vector<QWidget*> tabOrder;
  for (const InputControl& c : kInputControls) tabOrder.push_back(inputs_[static_cast<std::size_t>(c.box)]);
  tabOrder.insert(tabOrder.end(), {opn1_, opn2_, cmd1_, txtrlt_});
  for (std::size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

// Created in tab order; labels take no focus. Each caption stands to the
// left of the box it names.
void Form1::BuildInputs(QWidget* frame1) {
  for (const InputControl& c : kInputControls) {
    QLabel* caption = AddLabel(frame1, c.labelName, QString::fromUtf8(c.caption), c.labelLeft, c.labelTop);
    auto* edit = new NumberBox(QString::fromUtf8(c.text), frame1,
                               IsStationBox(c.box) ? NumberBox::Reads::Station : NumberBox::Reads::Number);
    Place(edit, c.name, {c.left, c.top, kInputWidth, kInputHeight});
    edit->setAccessibleName(caption->text());
    caption->setBuddy(edit);
    inputs_[static_cast<std::size_t>(c.box)] = edit;
  }
}

void Form1::BuildTurnOptions(QWidget* frame1) {
  QGroupBox* frame2 = AddFrame(frame1, "Frame2", "曲线偏向：", {6480, 720, 2775, 975});
  // Two auto-exclusive buttons of one container form one group; neither is
  // checked at first.
  opn1_ = new QRadioButton(QStringLiteral("左转"), frame2);
  Place(opn1_, "opn1", {360, 240, 855, 255});
  opn2_ = new QRadioButton(QStringLiteral("右转"), frame2);
  Place(opn2_, "opn2", {360, 600, 855, 255});
  connect(opn1_, &QRadioButton::toggled, this, [this](bool on) { if (on) turn_ = -1; });
  connect(opn2_, &QRadioButton::toggled, this, [this](bool on) { if (on) turn_ = +1; });
  // The group is one tab stop: the option that last had the focus, which is
  // the selected one (the arrow keys select where they go), or 左转 while
  // none is.
  opn2_->setFocusPolicy(Qt::FocusPolicy(opn2_->focusPolicy() & ~Qt::TabFocus));
  opn1_->installEventFilter(this);
  opn2_->installEventFilter(this);
}

void Form1::BuildCommandAndResult(QWidget* client) {
  cmd1_ = new QPushButton(QStringLiteral("计算"), client);
  Place(cmd1_, "cmd1", {7560, 2400, 1575, 375});
  // The window's default button: Return on it, or in any input box, presses it.
  cmd1_->setAutoDefault(true);
  cmd1_->setDefault(true);
  connect(cmd1_, &QPushButton::clicked, this, &Form1::OnCalculateClicked);
  for (QLineEdit* box : inputs_) connect(box, &QLineEdit::returnPressed, cmd1_, &QPushButton::click);

  txtrlt_ = new ResultBox(client);
  Place(txtrlt_, "txtrlt", {240, 2280, 5775, 2175});
  txtrlt_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtrlt_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtrlt_->setTabChangesFocus(true);
  QPalette face = txtrlt_->palette();
  face.setColor(QPalette::Base, face.color(QPalette::Button));
  txtrlt_->setPalette(face);
}

// The scrolling credit line and the clock, and the two timers that drive
// them: one per direction of the credit line; exactly one runs.
void Form1::BuildFooter(QWidget* client) {
  lbl1_ = AddLabel(client, "lbl1", CreditCaption(), 240, 4560);
  credit_ = CreditLine(static_cast<float>(scale_.ToTwipsX(lbl1_->width())));
  MoveCreditLabel();
  // Empty until the first tick; then as wide as the clock text.
  lbtime_ = new QLabel(client);
  Place(lbtime_, "lbtime", {7320, 4320, 210, 180});

  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setInterval(kTimerIntervalMs);
  connect(timer1_, &QTimer::timeout, this, [this] { OnCreditTick(timer1_, timer2_); });
  timer2_ = new QTimer(this);
  timer2_->setObjectName(QStringLiteral("Timer2"));
  timer2_->setInterval(kTimerIntervalMs);
  connect(timer2_, &QTimer::timeout, this, [this] { OnCreditTick(timer2_, timer1_); });
  timer1_->start();
}

// Up, Down, Left and Right inside the option group move to the previous or
// next option, round the group, and select it as a click does. (Qt's own
// buttons select only when the option they leave was selected.)
bool Form1::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || (watched != opn1_ && watched != opn2_))
    return QMainWindow::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
  const bool forward = key->key() == Qt::Key_Down || key->key() == Qt::Key_Right;
  const bool backward = key->key() == Qt::Key_Up || key->key() == Qt::Key_Left;
  if (!forward && !backward) return false;
  const std::array<QRadioButton*, 2> options = {opn1_, opn2_};
  const auto at = static_cast<std::size_t>(std::find(options.begin(), options.end(), watched) - options.begin());
  QRadioButton* target = options[(at + (forward ? 1 : options.size() - 1)) % options.size()];
  target->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  target->click();
  return true;
}

std::string Form1::InputText(InputBox box) const {
  return inputs_[static_cast<std::size_t>(box)]->text().toUtf8().toStdString();
}

// Each addition keeps the curve the boxes hold while it is made (a command
// reads the boxes and appends in one go), for the page headers of a print,
// and a table's layout, by which the print knows its heading and rows.
void Form1::AppendResult(std::string_view block) {
  auto report = std::make_shared<AppendedReport>();
  report->curve = ReadBoxes(*this);
  report->text = FromUtf8(block);
  txtrlt_->Append(block, std::move(report));
}

void Form1::AppendTable(std::string_view block, const TableLayout& layout) {
  auto report = std::make_shared<AppendedReport>();
  report->curve = ReadBoxes(*this);
  report->text = FromUtf8(block);
  report->table = &layout;
  txtrlt_->Append(block, std::move(report));
}

void Form1::ShowMessage(std::string_view prompt, std::string_view title) {
  boxes_.Inform(this, FromUtf8(prompt), FromUtf8(title));
}

void Form1::KeepCalculation(Calculation calculation) {
  quorvane::KeepCalculation(last_, std::move(calculation));
  for (QAction* needsCalculation : {actSaveResult_, actExport_, actPrint_, actPlanView_})
    needsCalculation->setEnabled(true);
  // An open plan view follows each new calculation.
  if (planView_ != nullptr && planView_->isVisible()) planView_->ShowCalculation(*last_);
}

// The start point, stakes and end point of the last calculation, with its
// side points when 边桩坐标 computed them; the command decides
// the format by the name and reports what fails.
void Form1::OnExport() {
  if (!last_) return;
  const QString path = dialogs_.SaveFileName(this, QString::fromUtf8(kExportTitle), QStringLiteral("逐桩坐标.csv"),
                                             {QStringLiteral("CSV 文件 (*.csv)"), QStringLiteral("坐标数据文件 (*.dat)"),
                                              QStringLiteral("DXF 图形 (*.dxf)")});
  if (path.isEmpty()) return;
  RunExport(*this, QFile::encodeName(path).toStdString(), *last_);
}

void Form1::OnPrint() {
  if (!last_) return;
  ShowPrintPreview(this, txtrlt_->Pieces(), boxes_);
}

void Form1::OnPlanView() {
  if (!last_) return;
  if (planView_ == nullptr) {
    planView_ = new PlanView(dialogs_, boxes_, this);
    // Beside the window, clear of its boxes and 计算 where the screen has
    // room; the view's frame is taken to be as wide as this window's.
    const QRect frame = frameGeometry();
    const QMargins border(geometry().left() - frame.left(), geometry().top() - frame.top(),
                          frame.right() - geometry().right(), frame.bottom() - geometry().bottom());
    const QSize borders(border.left() + border.right(), border.top() + border.bottom());
    const QRect place = PlaceBeside(frame, screen()->availableGeometry(), planView_->size() + borders,
                                    planView_->minimumSize() + borders);
    planView_->setGeometry(place.marginsRemoved(border));
  }
  planView_->ShowCalculation(*last_);
  planView_->show();
  planView_->raise();
  planView_->activateWindow();
}

template <typename Command>
void Form1::Guarded(Command&& command) {
  try {
    command();
  } catch (const std::exception&) {
    ShowMessage(kNotFinishedPrompt, kCalculationErrorTitle);
  }
}

// Shows a fault in a dialog's texts; true when there is none, so the dialog
// closes.
bool Form1::Acceptable(const std::optional<DialogInputProblem>& problem) {
  if (problem) ShowMessage(problem->prompt, problem->title);
  return !problem;
}

// Widths and the point are asked in small dialogs, which refuse texts that
// cannot be used and stay open with them, and open again with the texts last
// accepted; everything else is read from the boxes and the turn exactly as
// 计算 reads them.
void Form1::OnSideStakes() {
  const std::optional<QStringList> widths = dialogs_.AskTexts(
      this, QStringLiteral("边桩坐标"),
      {QString::fromUtf8(kLeftWidthName) + QStringLiteral("(米)："),
       QString::fromUtf8(kRightWidthName) + QStringLiteral("(米)：")},
      sideWidthTexts_, [this](const QStringList& texts) {
        return Acceptable(SideWidthsProblem(texts.value(0).toStdString(), texts.value(1).toStdString()));
      });
  if (!widths) return;
  sideWidthTexts_ = *widths;
  Guarded([&] {
    std::optional<Calculation> run = RunSideStakes(*this, (*widths)[0].toStdString(), (*widths)[1].toStdString());
    if (run && KeepSidePoints(last_, std::move(*run)) && planView_ != nullptr && planView_->isVisible())
      planView_->ShowCalculation(*last_);
  });
}

void Form1::OnLocate() {
  const std::optional<QStringList> point = dialogs_.AskTexts(
      this, QString::fromUtf8(kLocateTitle),
      {QString::fromUtf8(kPointXName) + QStringLiteral("："), QString::fromUtf8(kPointYName) + QStringLiteral("：")},
      pointTexts_, [this](const QStringList& texts) {
        return Acceptable(PointTextsProblem(texts.value(0).toStdString(), texts.value(1).toStdString()));
      });
  if (!point) return;
  pointTexts_ = *point;
  Guarded([&] { RunLocate(*this, (*point)[0].toStdString(), (*point)[1].toStdString()); });
}

void Form1::OnAbout() { boxes_.Inform(this, AboutText(), AboutTitle()); }

// The whole result box, written and reported by the command.
void Form1::OnSaveResult() {
  const QString path = dialogs_.SaveFileName(this, QString::fromUtf8(kSaveResultTitle), QStringLiteral("逐桩坐标.txt"),
                                             {QStringLiteral("文本文件 (*.txt)"), QStringLiteral("所有文件 (*)")});
  if (path.isEmpty()) return;
  RunSaveResult(*this, QFile::encodeName(path).toStdString(), txtrlt_->toPlainText().toStdString());
}

float Form1::OuterWidthTwips() const { return static_cast<float>(scale_.ToTwipsX(frameGeometry().width())); }

void Form1::ShowTime() {
  lbtime_->setText(ClockText(clock_(), QLocale::system()));
  SizeToCaption(lbtime_);
}

// The position is kept in twips, in single precision, and the label's pixel
// position derived from it, so pixel rounding never accumulates over the ticks.
void Form1::MoveCreditLabel() { lbl1_->move(scale_.ToPixelsX(credit_.LeftTwips()), lbl1_->y()); }

// Every tick of either timer refreshes the clock; the credit line moves one
// step, and when it turns, the other timer takes over.
void Form1::OnCreditTick(QTimer* running, QTimer* next) {
  ShowTime();
  const bool turned = credit_.Tick(OuterWidthTwips());
  MoveCreditLabel();
  if (turned) {
    next->start();
    running->stop();
  }
}

void Form1::OnFocusChanged(QWidget* old, QWidget* now) {
  // Only a move to another control of the client area counts: when the
  // window as a whole is deactivated, a modal box or a menu takes the focus,
  // `now` is null or lies elsewhere.
  QWidget* txtd = inputs_[static_cast<std::size_t>(InputBox::d)];
  if (old != txtd || now == nullptr || now == txtd || !centralWidget()->isAncestorOf(now)) return;
  reminderOwed_ = true;
  reminderTimer_->start(0);
}

void Form1::ShowReminderOnceMouseIsUp() {
  if (!reminderOwed_) return;
  // A mouse press that moved the focus is followed by its release. Opening the
  // box in between would swallow the release and leave the pressed control
  // half-clicked, so the reminder waits; a click on cmd1 shows it itself.
  if (QGuiApplication::mouseButtons() != Qt::NoButton) {
    reminderTimer_->start(kMouseUpPollMs);
    return;
  }
  ShowReminder();
}

void Form1::ShowReminder() {
  reminderOwed_ = false;
  reminderTimer_->stop();
  // Only a reminder: the answer changes nothing, the turn comes from opn1/opn2.
  boxes_.AskYesNo(this, QString::fromUtf8(kTurnReminderPrompt), QString::fromUtf8(kReminderTitle));
}

void Form1::OnCalculateClicked() {
  if (reminderOwed_) ShowReminder();
  Guarded([this] {
    if (std::optional<Calculation> done = RunCalculation(*this)) KeepCalculation(std::move(*done));
  });
}

}  // namespace quorvane::ui
