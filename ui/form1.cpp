#include "ui/form1.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBasicTimer>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <exception>

#include "calc/calculation_error.h"
#include "ui/clock_text.h"
#include "ui/message_boxes.h"

namespace quorvane::ui {
namespace {

constexpr TwipsRect kClientArea{0, 0, 9915, 4770};
const QColor kBackground(128, 255, 255);

constexpr int kTimerIntervalMs = 1000;
constexpr float kCreditStartTwips = 240.0f;
constexpr float kCreditStepTwips = 100.0f;

// While the mouse button that moved the focus off txtd is still down, the
// reminder looks again this often.
constexpr int kMouseUpPollMs = 20;

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A report's lines as the result box holds them. Qt's text document pays a
// few microseconds for every paragraph it adds, which for 32,767 stakes would
// be most of a click, and more the more the box holds. So the lines go in as
// paragraphs of up to kLinesPerParagraph lines joined by line separators:
// they show, select and copy out exactly like separate lines (copying turns
// both kinds of break into the platform's line end). The block's last line
// break always ends a paragraph. CR LF and a lone CR count as one break.
constexpr int kLinesPerParagraph = 64;

QString BoxText(std::string_view block) {
  QString text = FromUtf8(block);
  QChar* out = text.data();
  const QChar* in = out;
  const QChar* const end = in + text.size();
  int linesInParagraph = 0;
  for (; in != end; ++in) {
    QChar c = *in;
    if (c == u'\r') {
      if (in + 1 != end && in[1] == u'\n') continue;
      c = u'\n';
    }
    if (c == u'\n') {
      if (++linesInParagraph < kLinesPerParagraph && in + 1 != end) {
        c = QChar::LineSeparator;
      } else {
        linesInParagraph = 0;
      }
    }
    *out++ = c;
  }
  text.truncate(out - text.constData());
  return text;
}

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

// The result box. Its paragraphs hold many lines (see BoxText), so a triple
// click selects the line under the mouse, as Qt's box does where every line
// is a paragraph, rather than the whole paragraph.
class ResultBox : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    tripleClick_.start(QApplication::doubleClickInterval(), this);
    doubleClickAt_ = event->position().toPoint();
  }
  void mousePressEvent(QMouseEvent* event) override {
    const QPoint at = event->position().toPoint();
    if (!tripleClick_.isActive() || event->button() != Qt::LeftButton ||
        (at - doubleClickAt_).manhattanLength() >= QApplication::startDragDistance()) {
      QPlainTextEdit::mousePressEvent(event);
      return;
    }
    tripleClick_.stop();
    QTextCursor line = cursorForPosition(at);
    line.movePosition(QTextCursor::StartOfLine);
    line.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
    line.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);  // and its line break
    setTextCursor(line);
    event->accept();
  }
  void timerEvent(QTimerEvent* event) override {
    if (event->timerId() == tripleClick_.timerId()) {
      tripleClick_.stop();
    } else {
      QPlainTextEdit::timerEvent(event);
    }
  }

 private:
  QBasicTimer tripleClick_;
  QPoint doubleClickAt_;
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

Form1::Form1(MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent),
      boxes_(boxes),
      scale_(screen()->logicalDotsPerInchX(), screen()->logicalDotsPerInchY()) {
  setObjectName(QStringLiteral("form1"));
  setWindowTitle(QStringLiteral("Quorvane"));
  setFont(WindowFont());
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, kBackground);
  setPalette(palette);
  setAutoFillBackground(true);

  setFixedSize(scale_.ToPixels(kClientArea).size());
  setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen()->availableGeometry()));

  BuildControls();

  reminderTimer_ = new QTimer(this);
  reminderTimer_->setSingleShot(true);
  connect(reminderTimer_, &QTimer::timeout, this, &Form1::ShowReminderOnceMouseIsUp);
  focusWatch_ = connect(qApp, &QApplication::focusChanged, this, &Form1::OnFocusChanged);
}

// Closing the window in ~QWidget moves the focus once more, after this part of
// the object is gone.
Form1::~Form1() { disconnect(focusWatch_); }

void Form1::BuildControls() {
  const auto place = [this](QWidget* control, const char* name, const TwipsRect& where) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(scale_.ToPixels(where));
  };
  const auto frame = [&](QWidget* container, const char* name, const char* caption, const TwipsRect& where) {
    auto* box = new CaptionFrame(QString::fromUtf8(caption), container);
    place(box, name, where);
    return box;
  };
  const auto label = [this](QWidget* container, const char* name, const QString& caption, int left, int top) {
    auto* text = new QLabel(caption, container);
    text->setObjectName(QString::fromLatin1(name));
    text->move(scale_.ToPixelsX(left), scale_.ToPixelsY(top));
    SizeToCaption(text);
    return text;
  };
  const auto input = [&](InputBox box, QWidget* container, const char* name, int left, int top, const char* text) {
    auto* edit = new QLineEdit(QString::fromUtf8(text), container);
    place(edit, name, {left, top, 1695, 270});
    inputs_[static_cast<std::size_t>(box)] = edit;
    return edit;
  };

  // Created in tab order; labels and frames take no focus.
  QGroupBox* frame1 = frame(this, "Frame1", "已知数据", {240, 240, 9375, 1935});
  QLabel* label1 = label(frame1, "Label1", QStringLiteral("缓和曲线起点桩号："), 360, 480);
  QLineEdit* txtlb = input(InputBox::lb, frame1, "txtlb", 1920, 360, "180.108");
  QLabel* label2 = label(frame1, "Label2", QStringLiteral("缓和曲线终点桩号："), 360, 1200);
  QLineEdit* txtle = input(InputBox::le, frame1, "txtle", 1920, 1080, "250.365");
  QLineEdit* txtYa = input(InputBox::Ya, frame1, "txtYa", 7560, 360, "195601.155");
  QLineEdit* txtXa = input(InputBox::Xa, frame1, "txtXa", 4560, 360, "4040964.994");
  QLabel* label3 = label(frame1, "Label3", QStringLiteral("Y坐标："), 6600, 480);
  QLabel* label4 = label(frame1, "Label4", QStringLiteral("X坐标："), 3720, 480);
  QLabel* label5 = label(frame1, "Label5", QStringLiteral("起点方位角："), 360, 840);
  QLineEdit* txta = input(InputBox::a, frame1, "txta", 1920, 720, "17.3415");
  QLineEdit* txtRa = input(InputBox::Ra, frame1, "txtRa", 4560, 720, "1500");
  QLabel* label6 = label(frame1, "Label6", QStringLiteral("起点半径："), 3720, 840);
  QLabel* label7 = label(frame1, "Label7", QStringLiteral("终点半径："), 3720, 1200);
  QLineEdit* txtRb = input(InputBox::Rb, frame1, "txtRb", 4560, 1080, "130");
  QLabel* label8 = label(frame1, "Label8", QStringLiteral("桩距："), 360, 1560);
  QLineEdit* txtd = input(InputBox::d, frame1, "txtd", 1920, 1440, "");

  // Each caption stands to the left of the box it names.
  const std::pair<QLabel*, QLineEdit*> captions[] = {{label1, txtlb}, {label2, txtle}, {label3, txtYa},
                                                      {label4, txtXa}, {label5, txta},  {label6, txtRa},
                                                      {label7, txtRb}, {label8, txtd}};
  for (const auto& [caption, box] : captions) {
    box->setAccessibleName(caption->text());
    caption->setBuddy(box);
  }

  QGroupBox* frame2 = frame(frame1, "Frame2", "曲线偏向：", {6480, 720, 2775, 975});
  // Two auto-exclusive buttons of one container form one group; neither is
  // checked at first.
  opn1_ = new QRadioButton(QStringLiteral("左转"), frame2);
  place(opn1_, "opn1", {360, 240, 855, 255});
  opn2_ = new QRadioButton(QStringLiteral("右转"), frame2);
  place(opn2_, "opn2", {360, 600, 855, 255});
  connect(opn1_, &QRadioButton::toggled, this, [this](bool on) { if (on) turn_ = -1; });
  connect(opn2_, &QRadioButton::toggled, this, [this](bool on) { if (on) turn_ = +1; });

  cmd1_ = new QPushButton(QStringLiteral("计算"), this);
  place(cmd1_, "cmd1", {7560, 2400, 1575, 375});
  connect(cmd1_, &QPushButton::clicked, this, &Form1::OnCalculateClicked);

  txtrlt_ = new ResultBox(this);
  place(txtrlt_, "txtrlt", {240, 2280, 5775, 2175});
  txtrlt_->setLineWrapMode(QPlainTextEdit::NoWrap);
  txtrlt_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtrlt_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtrlt_->setTabChangesFocus(true);
  QPalette face = txtrlt_->palette();
  face.setColor(QPalette::Base, face.color(QPalette::Button));
  txtrlt_->setPalette(face);

  lbl1_ = label(this, "lbl1", CreditCaption(), 240, 4560);
  creditWidthTwips_ = static_cast<float>(scale_.ToTwipsX(lbl1_->width()));
  MoveCreditTo(kCreditStartTwips);
  // Empty until the first tick; then as wide as the clock text.
  lbtime_ = new QLabel(this);
  place(lbtime_, "lbtime", {7320, 4320, 210, 180});

  const std::array<QWidget*, 12> tabOrder = {txtlb, txtle, txtYa, txtXa, txta,  txtRa,
                                              txtRb, txtd,  opn1_, opn2_, cmd1_, txtrlt_};
  for (std::size_t i = 1; i < tabOrder.size(); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);

  timer1_ = new QTimer(this);
  timer1_->setObjectName(QStringLiteral("Timer1"));
  timer1_->setInterval(kTimerIntervalMs);
  connect(timer1_, &QTimer::timeout, this, &Form1::OnTimer1Tick);
  timer2_ = new QTimer(this);
  timer2_->setObjectName(QStringLiteral("Timer2"));
  timer2_->setInterval(kTimerIntervalMs);
  connect(timer2_, &QTimer::timeout, this, &Form1::OnTimer2Tick);
  timer1_->start();
}

std::string Form1::InputText(InputBox box) const {
  return inputs_[static_cast<std::size_t>(box)]->text().toUtf8().toStdString();
}

void Form1::AppendResult(std::string_view block) {
  QTextDocument* document = txtrlt_->document();
  // Inserting at the end touches only the new text, however much the box
  // already holds. The view is not scrolled: a first report shows from its
  // title, later ones are below what the user is reading.
  QTextCursor end(document);
  end.movePosition(QTextCursor::End);
  const QTextBlock first = end.block();
  end.insertText(BoxText(block));
  // The plain-text layout counts a paragraph as one line until it first draws
  // it. Without wrapping a paragraph has one line per separator and one more;
  // telling the layout so now keeps the vertical scroll bar true at once.
  for (QTextBlock paragraph = first; paragraph.isValid(); paragraph = paragraph.next())
    paragraph.setLineCount(static_cast<int>(paragraph.text().count(QChar::LineSeparator)) + 1);
  QAbstractTextDocumentLayout* layout = document->documentLayout();
  emit layout->documentSizeChanged(layout->documentSize());
}

void Form1::ShowMessage(std::string_view prompt, std::string_view title) {
  boxes_.Inform(this, FromUtf8(prompt), FromUtf8(title));
}

float Form1::OuterWidthTwips() const { return static_cast<float>(scale_.ToTwipsX(frameGeometry().width())); }

void Form1::MoveCreditTo(float leftTwips) {
  creditLeftTwips_ = leftTwips;
  lbl1_->move(scale_.ToPixelsX(leftTwips), lbl1_->y());
}

void Form1::OnTimer1Tick() {
  lbtime_->setText(ClockText(now_(), QLocale::system()));
  SizeToCaption(lbtime_);
  MoveCreditTo(creditLeftTwips_ + kCreditStepTwips);
  if (creditWidthTwips_ + creditLeftTwips_ > OuterWidthTwips()) {
    timer2_->start();
    timer1_->stop();
  }
}

void Form1::OnTimer2Tick() {
  MoveCreditTo(creditLeftTwips_ - kCreditStepTwips);
  if (creditLeftTwips_ < 0.0f) {
    timer1_->start();
    timer2_->stop();
  }
}

void Form1::OnFocusChanged(QWidget* old, QWidget* now) {
  // Only a move to another control of this window counts: when the window as
  // a whole is deactivated, or a modal box takes the focus, `now` is null or
  // lies in another window.
  QWidget* txtd = inputs_[static_cast<std::size_t>(InputBox::d)];
  if (old != txtd || now == nullptr || now == txtd || !isAncestorOf(now)) return;
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
  boxes_.AskYesNo(this, QStringLiteral("是否输入转向信息？"), QStringLiteral("信息提示"));
}

void Form1::OnCalculateClicked() {
  if (reminderOwed_) ShowReminder();
  try {
    RunCalculation(*this);
  } catch (const std::exception&) {
    // RunCalculation reports its own failures. Anything else that reaches here
    // (memory running out on a huge report) must not end the program.
    ShowMessage("计算未能完成！", kCalculationErrorTitle);
  }
}

}  // namespace quorvane::ui
