// The window's events: turn from the option buttons, the calculate button into
// the result box, the core's messages, and the reminder on leaving txtd.
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextDocumentFragment>

#include "calc/calculation_error.h"
#include "test_support.h"

using namespace quorvane::ui;
using namespace quorvane::ui::testing;

namespace {

const QString kReminderPrompt = QStringLiteral("是否输入转向信息？");

void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(6, control->height() / 2)); }

// Lets the window's zero-delay and polling timers run.
void Settle() { QTest::qWait(60); }

}  // namespace

class WindowEventsTest : public QObject {
  Q_OBJECT

  FakeMessageBoxes boxes_;
  std::unique_ptr<Form1> form_;

  QLineEdit* Box(const char* name) { return Control<QLineEdit>(*form_, name); }
  QPlainTextEdit* Result() { return Control<QPlainTextEdit>(*form_, "txtrlt"); }
  QPushButton* Cmd1() { return Control<QPushButton>(*form_, "cmd1"); }
  int Reminders() const {
    return static_cast<int>(std::count_if(boxes_.shown.begin(), boxes_.shown.end(),
                                          [](const auto& box) { return box.prompt == kReminderPrompt; }));
  }

 private slots:
  void init() {
    boxes_ = FakeMessageBoxes();
    form_ = ShownWindow(boxes_);
  }
  void cleanup() { form_.reset(); }

  void turnFromOptionButtons_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("turn");
    QTest::newRow("none") << QStringList() << 0;
    QTest::newRow("left") << QStringList{"opn1"} << -1;
    QTest::newRow("right") << QStringList{"opn2"} << 1;
    QTest::newRow("left, then right") << QStringList{"opn1", "opn2"} << 1;
    QTest::newRow("right, then left") << QStringList{"opn2", "opn1"} << -1;
  }
  void turnFromOptionButtons() {
    QFETCH(QStringList, clicks);
    QFETCH(int, turn);
    for (const QString& name : clicks) Click(form_->findChild<QRadioButton*>(name));
    QCOMPARE(form_->Turn(), turn);
    QCOMPARE(Control<QRadioButton>(*form_, "opn1")->isChecked(), turn == -1);
    QCOMPARE(Control<QRadioButton>(*form_, "opn2")->isChecked(), turn == 1);
    QVERIFY(boxes_.shown.empty());
  }

  // Blocks go at the very end of whatever the box holds, with plain line
  // breaks: no separator, no carriage-return glyphs.
  void calculationAppends_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("clicks");
    QTest::newRow("one click") << QString() << 1;
    QTest::newRow("two clicks, two blocks") << QString() << 2;
    QTest::newRow("user text without line break") << QStringLiteral("备注") << 1;
    QTest::newRow("user text with line break") << QStringLiteral("备注\n") << 1;
  }
  void calculationAppends() {
    QFETCH(QString, before);
    QFETCH(int, clicks);
    Result()->setPlainText(before);
    Box("txtd")->setText(QStringLiteral("10"));
    Click(Control<QRadioButton>(*form_, "opn2"));
    for (int i = 0; i < clicks; ++i) Click(Cmd1());
    QCOMPARE(Result()->toPlainText(), before + WorkedBlock().repeated(clicks));
    QVERIFY(boxes_.shown.empty());
    QVERIFY(!Result()->document()->toRawText().contains(u'\r'));
  }

  // Every line where it belongs, and the scroll bar spanning all of them at
  // once, before any of the report has been drawn.
  void longReport() {
    Box("txtlb")->setText(QStringLiteral("0"));
    Box("txtle")->setText(QStringLiteral("32767"));
    Box("txtd")->setText(QStringLiteral("1"));
    Click(Cmd1());
    const QStringList lines = Result()->toPlainText().split(u'\n');
    QCOMPARE(lines.size(), 32772);  // title, header, start row, 32767 stakes, end line, and after the last break
    QVERIFY(lines[3].startsWith(QStringLiteral("0+1     ")));
    QVERIFY(lines[32769].startsWith(QStringLiteral("32+767     ")));
    QCOMPARE(lines[32770], QStringLiteral("32767"));
    QCOMPARE(Result()->document()->lineCount(), 32772);
    QVERIFY(Result()->verticalScrollBar()->maximum() > 32700);
  }

  // A triple click selects one line of a report, not the many lines the box
  // keeps together in one paragraph.
  void tripleClickSelectsOneLine() {
    Box("txtd")->setText(QStringLiteral("10"));
    Click(Control<QRadioButton>(*form_, "opn2"));
    Click(Cmd1());
    const QString startRow = WorkedBlock().section(u'\n', 2, 2);
    QTextCursor onStartRow(Result()->document());
    onStartRow.setPosition(static_cast<int>(Result()->toPlainText().indexOf(startRow)) + 3);
    const QPoint at = Result()->cursorRect(onStartRow).center();
    QTest::mouseDClick(Result()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseClick(Result()->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(Result()->textCursor().selection().toPlainText(), startRow + u'\n');
  }

  // Each message: one OK box with the core's prompt and title, and the result
  // box exactly as it was.
  void calculationMessages_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("title");
    const QString error = QString::fromUtf8(quorvane::kCalculationErrorTitle);
    const auto row = [&](const char* name, const char* box, const char* text, const char* interval,
                         const char* prompt, const QString& title) {
      QTest::newRow(name) << box << text << interval << QString::fromUtf8(prompt) << title;
    };
    const QString hint = QString::fromUtf8(quorvane::kMissingIntervalTitle);
    row("empty interval", "txtd", "", "", quorvane::kMissingIntervalPrompt, hint);
    row("interval abc", "txtd", "abc", "abc", quorvane::kMissingIntervalPrompt, hint);
    row("too many stakes", "txtd", "0.001", "0.001", quorvane::kTooManyStakesPrompt, error);
    row("end before start", "txtle", "100", "10", quorvane::kEndBeforeStartPrompt, error);
    row("coordinate beyond a double", "txtXa", qPrintable(QString(400, u'9')), "10", quorvane::kOverflowPrompt,
        error);
  }
  void calculationMessages() {
    QFETCH(QString, box);
    QFETCH(QString, text);
    QFETCH(QString, interval);
    QFETCH(QString, prompt);
    QFETCH(QString, title);
    const QString earlier = QStringLiteral("earlier text\n") + WorkedBlock();
    Result()->setPlainText(earlier);
    Box("txtd")->setText(interval);
    form_->findChild<QLineEdit*>(box)->setText(text);
    Click(Cmd1());
    QCOMPARE(boxes_.shown.size(), std::size_t{1});
    QCOMPARE(boxes_.shown[0].prompt, prompt);
    QCOMPARE(boxes_.shown[0].title, title);
    QVERIFY(!boxes_.shown[0].yesNo);
    QCOMPARE(Result()->toPlainText(), earlier);
  }

  // Leaving txtd for another control of the window shows the reminder once,
  // whatever the answer; the answer changes nothing.
  void reminder_data() {
    QTest::addColumn<QString>("leaveBy");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("reminders");
    QTest::newRow("Tab key") << "tab" << true << 1;
    QTest::newRow("click into txtlb") << "txtlb" << true << 1;
    QTest::newRow("click on opn1") << "opn1" << false << 1;
    QTest::newRow("focus moved by code to txtrlt") << "txtrlt" << true << 1;
    QTest::newRow("click inside txtd") << "txtd" << true << 0;
    QTest::newRow("window deactivated and back") << "deactivate" << true << 0;
  }
  void reminder() {
    QFETCH(QString, leaveBy);
    QFETCH(bool, answer);
    QFETCH(int, reminders);
    boxes_.answer = answer;
    QLineEdit* txtd = Box("txtd");
    txtd->setText(QStringLiteral("10"));
    txtd->setFocus();
    QVERIFY(txtd->hasFocus());
    if (leaveBy == "tab") {
      QTest::keyClick(txtd, Qt::Key_Tab);
    } else if (leaveBy == "txtrlt") {
      Result()->setFocus();
    } else if (leaveBy == "deactivate") {
      QLineEdit other;  // another window, with a control to take the focus
      other.show();
      other.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&other));
      Settle();
      form_->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(form_.get()));
      QVERIFY(txtd->hasFocus());
    } else {
      Click(form_->findChild<QWidget*>(leaveBy));
    }
    Settle();
    QCOMPARE(Reminders(), reminders);
    QCOMPARE(static_cast<int>(boxes_.shown.size()), reminders);
    if (reminders > 0) QCOMPARE(boxes_.shown[0].title, QStringLiteral("信息提示"));
    QVERIFY(boxes_.shown.empty() || boxes_.shown[0].yesNo);
    QCOMPARE(int{form_->Turn()}, leaveBy == "opn1" ? -1 : 0);
    QVERIFY(Result()->toPlainText().isEmpty());
  }

  // A click on cmd1 that takes the focus from txtd: the reminder first, then
  // the calculation, and the button is up again afterwards.
  void clickOnCmd1FromTxtd_data() {
    QTest::addColumn<int>("holdMs");
    QTest::newRow("click") << -1;
    QTest::newRow("button held, then released") << 150;
  }
  void clickOnCmd1FromTxtd() {
    QFETCH(int, holdMs);
    Click(Control<QRadioButton>(*form_, "opn2"));
    QLineEdit* txtd = Box("txtd");
    txtd->setText(QStringLiteral("10"));
    txtd->setFocus();
    QString resultWhileAsked = QStringLiteral("not asked");
    boxes_.whileOpen = [&] { resultWhileAsked = Result()->toPlainText(); };
    const QPoint middle = Cmd1()->rect().center();
    if (holdMs < 0) {
      QTest::mouseClick(Cmd1(), Qt::LeftButton, {}, middle);
    } else {
      QTest::mousePress(Cmd1(), Qt::LeftButton, {}, middle);
      QTest::qWait(holdMs);
      QCOMPARE(Reminders(), 0);  // not while the button is held
      QTest::mouseRelease(Cmd1(), Qt::LeftButton, {}, middle);
    }
    Settle();
    QCOMPARE(Reminders(), 1);
    QCOMPARE(resultWhileAsked, QString());
    QCOMPARE(Result()->toPlainText(), WorkedBlock());
    QVERIFY(!Cmd1()->isDown());
    QVERIFY(Cmd1()->hasFocus());
  }
};

QTEST_MAIN(WindowEventsTest)
#include "window_events_test.moc"
