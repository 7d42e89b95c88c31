// The clock and the credit line: tick handlers called directly, one real tick,
// and the twips-to-pixels mapping behind the label's position.
#include <QLabel>
#include <QTimer>

#include "test_support.h"
#include "ui/clock_text.h"

using namespace quorvane::ui;
using namespace quorvane::ui::testing;

namespace {

const QDateTime kFirstTime(QDate(2024, 3, 5), QTime(14, 7, 9));
const QDateTime kLaterTime(QDate(2024, 3, 5), QTime(14, 9, 41));

}  // namespace

class CreditLineTest : public QObject {
  Q_OBJECT

  FakeMessageBoxes boxes_;
  std::unique_ptr<Form1> form_;
  QTimer* timer1_ = nullptr;
  QTimer* timer2_ = nullptr;

  QString Clock() { return Control<QLabel>(*form_, "lbtime")->text(); }
  void GoLeftward() {
    timer2_->start();
    timer1_->stop();
  }

 private slots:
  void init() {
    form_ = ShownWindow(boxes_);
    form_->SetClock([] { return kFirstTime; });
    timer1_ = Control<QTimer>(*form_, "Timer1");
    timer2_ = Control<QTimer>(*form_, "Timer2");
  }
  void cleanup() { form_.reset(); }

  void firstTick() {
    QVERIFY(Clock().isEmpty());
    form_->OnTimer1Tick();
    QCOMPARE(form_->CreditLeftTwips(), 340.0f);
    // The locale's short date and long time, without Qt's time-zone name.
    QCOMPARE(Clock(), ClockText(kFirstTime, QLocale::system()));
    QVERIFY(Clock().startsWith(QLocale::system().toString(kFirstTime.date(), QLocale::ShortFormat) + u' '));
    QVERIFY(Clock().contains(QStringLiteral(":07:09")) && !Clock().contains(kFirstTime.timeZoneAbbreviation()));
    QVERIFY(timer1_->isActive());
    QVERIFY(!timer2_->isActive());
  }

  // The tests come after the move: the phase ends on the first tick that
  // carries the line past the edge, not on one that only reaches it.
  void turningPoints_data() {
    QTest::addColumn<bool>("rightward");
    QTest::addColumn<float>("fromEdge");  // before the tick: right end to outer width, or left edge to 0
    QTest::addColumn<bool>("turns");
    QTest::newRow("right end reaches the outer width") << true << 100.0f << false;
    QTest::newRow("right end passes the outer width") << true << 99.0f << true;
    QTest::newRow("left edge reaches 0") << false << 100.0f << false;
    QTest::newRow("left edge passes 0") << false << 99.0f << true;
  }
  void turningPoints() {
    QFETCH(bool, rightward);
    QFETCH(float, fromEdge);
    QFETCH(bool, turns);
    // Frame included: the offscreen platform gives windows a 2-pixel frame.
    QCOMPARE(form_->OuterWidthTwips(), float(form_->Scale().ToTwipsX(form_->frameGeometry().width())));
    if (rightward) {
      form_->MoveCreditTo(form_->OuterWidthTwips() - form_->CreditWidthTwips() - fromEdge);
      form_->OnTimer1Tick();
    } else {
      GoLeftward();
      form_->MoveCreditTo(fromEdge);
      form_->OnTimer2Tick();
    }
    QCOMPARE(timer1_->isActive(), rightward != turns);
    QCOMPARE(timer2_->isActive(), rightward == turns);
  }

  void clockStandsStillWhileLeftward() {
    form_->MoveCreditTo(form_->OuterWidthTwips() - form_->CreditWidthTwips());
    form_->OnTimer1Tick();
    QVERIFY(timer2_->isActive());
    const QString shown = Clock();
    form_->SetClock([] { return kLaterTime; });
    while (timer2_->isActive()) {
      form_->OnTimer2Tick();
      QCOMPARE(Clock(), shown);
    }
    form_->OnTimer1Tick();
    QCOMPARE(Clock(), ClockText(kLaterTime, QLocale::system()));
  }

  // 100 twips is 6⅔ pixels at 96 DPI: the label stands where its position in
  // twips says, however many ticks it took to get there.
  void noRoundingDrift_data() {
    QTest::addColumn<int>("ticks");
    for (int ticks : {1, 3, 30, 68}) QTest::newRow(qPrintable(QString::number(ticks))) << ticks;
  }
  void noRoundingDrift() {
    QFETCH(int, ticks);
    for (int i = 0; i < ticks; ++i) form_->OnTimer1Tick();
    QCOMPARE(form_->CreditLeftTwips(), 240.0f + 100.0f * ticks);
    QCOMPARE(Control<QLabel>(*form_, "lbl1")->x(), qRound((240.0 + 100.0 * ticks) / 15.0));
  }

  void realTimerWiring() {
    QTRY_COMPARE_WITH_TIMEOUT(form_->CreditLeftTwips(), 340.0f, 3000);
    QCOMPARE(Clock(), ClockText(kFirstTime, QLocale::system()));
  }
};

QTEST_MAIN(CreditLineTest)
#include "credit_line_test.moc"
