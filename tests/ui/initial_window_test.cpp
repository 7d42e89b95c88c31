// The window as it opens: names, captions, defaults, places in twips, tab
// order, colours, the option buttons and the timers.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTimer>

#include "test_support.h"

using namespace quorvane::ui;
using namespace quorvane::ui::testing;

namespace {

QString Caption(QWidget* control) {
  if (auto* frame = qobject_cast<QGroupBox*>(control)) return frame->title();
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
  if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text();
  if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
  if (auto* box = qobject_cast<QPlainTextEdit*>(control)) return box->toPlainText();
  return control->windowTitle();
}

}  // namespace

class InitialWindowTest : public QObject {
  Q_OBJECT

  FakeMessageBoxes boxes_;
  std::unique_ptr<Form1> form_;

 private slots:
  void init() { form_ = ShownWindow(boxes_); }
  void cleanup() { form_.reset(); }

  void places_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("twips");  // left, top, width, height
    QTest::addColumn<bool>("sizedToCaption");
    const auto row = [](const char* name, const char* container, const char* caption, QRect twips,
                        bool label = false) {
      QTest::newRow(name) << name << container << QString::fromUtf8(caption) << twips << label;
    };
    row("Frame1", "form1", "已知数据", {240, 240, 9375, 1935});
    row("Label1", "Frame1", "缓和曲线起点桩号：", {360, 480, 1620, 180}, true);
    row("txtlb", "Frame1", "180.108", {1920, 360, 1695, 270});
    row("Label2", "Frame1", "缓和曲线终点桩号：", {360, 1200, 1620, 180}, true);
    row("txtle", "Frame1", "250.365", {1920, 1080, 1695, 270});
    row("txtYa", "Frame1", "195601.155", {7560, 360, 1695, 270});
    row("txtXa", "Frame1", "4040964.994", {4560, 360, 1695, 270});
    row("Label3", "Frame1", "Y坐标：", {6600, 480, 630, 180}, true);
    row("Label4", "Frame1", "X坐标：", {3720, 480, 630, 180}, true);
    row("Label5", "Frame1", "起点方位角：", {360, 840, 1080, 180}, true);
    row("txta", "Frame1", "17.3415", {1920, 720, 1695, 270});
    row("txtRa", "Frame1", "1500", {4560, 720, 1695, 270});
    row("Label6", "Frame1", "起点半径：", {3720, 840, 900, 180}, true);
    row("Label7", "Frame1", "终点半径：", {3720, 1200, 900, 180}, true);
    row("txtRb", "Frame1", "130", {4560, 1080, 1695, 270});
    row("Label8", "Frame1", "桩距：", {360, 1560, 540, 180}, true);
    row("txtd", "Frame1", "", {1920, 1440, 1695, 270});
    row("Frame2", "Frame1", "曲线偏向：", {6480, 720, 2775, 975});
    row("opn1", "Frame2", "左转", {360, 240, 855, 255});
    row("opn2", "Frame2", "右转", {360, 600, 855, 255});
    row("cmd1", "form1", "计算", {7560, 2400, 1575, 375});
    row("txtrlt", "form1", "", {240, 2280, 5775, 2175});
    row("lbl1", "form1", "Quorvane · 缓和曲线逐桩坐标计算器", {240, 4560, 2970, 180}, true);
    row("lbtime", "form1", "", {7320, 4320, 210, 180});
  }
  void places() {
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QString, caption);
    QFETCH(QRect, twips);
    QFETCH(bool, sizedToCaption);
    auto* control = form_->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget()->objectName(), container);
    QCOMPARE(Caption(control), caption);
    const TwipsScale& scale = form_->Scale();
    const QRect at = control->geometry();
    QCOMPARE(qRound(scale.ToTwipsX(at.x())), twips.x());
    QCOMPARE(qRound(scale.ToTwipsY(at.y())), twips.y());
    if (sizedToCaption) {
      // The table's widths are the captions in the design font; ours may
      // differ by about one Latin letter.
      QVERIFY2(qAbs(scale.ToTwipsX(at.width()) - twips.width()) <= 90, qPrintable(QString::number(at.width())));
      QCOMPARE(at.height(), control->fontMetrics().height());
    } else {
      QCOMPARE(qRound(scale.ToTwipsX(at.width())), twips.width());
      QCOMPARE(qRound(scale.ToTwipsY(at.height())), twips.height());
    }
  }

  void window() {
    QCOMPARE(form_->objectName(), QStringLiteral("form1"));
    QCOMPARE(form_->windowTitle(), QStringLiteral("Quorvane"));
    QCOMPARE(qRound(form_->Scale().ToTwipsX(form_->width())), 9915);
    QCOMPARE(qRound(form_->Scale().ToTwipsY(form_->height())), 4770);
    QCOMPARE(form_->minimumSize(), form_->maximumSize());
    const QPoint offCentre = form_->frameGeometry().center() - form_->screen()->availableGeometry().center();
    QVERIFY(offCentre.manhattanLength() <= 2);
    QCOMPARE(form_->Turn(), std::int16_t{0});
    QVERIFY(!Control<QAbstractButton>(*form_, "opn1")->isChecked());
    QVERIFY(!Control<QAbstractButton>(*form_, "opn2")->isChecked());
    QVERIFY(Control<QLineEdit>(*form_, "txtlb")->hasFocus());
    auto* txtrlt = Control<QPlainTextEdit>(*form_, "txtrlt");
    QCOMPARE(txtrlt->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(txtrlt->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(txtrlt->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QVERIFY(Control<QTimer>(*form_, "Timer1")->isActive());
    QVERIFY(!Control<QTimer>(*form_, "Timer2")->isActive());
    QCOMPARE(Control<QTimer>(*form_, "Timer1")->interval(), 1000);
    QCOMPARE(Control<QTimer>(*form_, "Timer2")->interval(), 1000);
    QCOMPARE(form_->CreditLeftTwips(), 240.0f);
  }

  void tabOrderAndAccessibleNames() {
    QStringList order;
    for (QWidget* w = form_->nextInFocusChain(); w != form_.get(); w = w->nextInFocusChain())
      if (w->focusPolicy() & Qt::TabFocus) order << w->objectName();
    QCOMPARE(order, QStringList({"txtlb", "txtle", "txtYa", "txtXa", "txta", "txtRa", "txtRb", "txtd", "opn1",
                                 "opn2", "cmd1", "txtrlt"}));
    // Each box is named by the caption to its left.
    for (const auto& [box, label] : {std::pair{"txtlb", "Label1"}, {"txtle", "Label2"}, {"txtYa", "Label3"},
                                     {"txtXa", "Label4"}, {"txta", "Label5"}, {"txtRa", "Label6"},
                                     {"txtRb", "Label7"}, {"txtd", "Label8"}})
      QCOMPARE(form_->findChild<QWidget*>(box)->accessibleName(), form_->findChild<QLabel*>(label)->text());
  }

  // Colours as drawn: points in twips of the window, away from any text.
  void colours_data() {
    const QColor cyan(128, 255, 255);
    QTest::addColumn<QPoint>("twips");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("window") << QPoint(6200, 2400) << cyan;
    QTest::newRow("inside Frame1") << QPoint(4060, 1900) << cyan;
    QTest::newRow("inside Frame2") << QPoint(8720, 1460) << cyan;
    QTest::newRow("opn1 beside its caption") << QPoint(7880, 1320) << cyan;
    QTest::newRow("input box") << QPoint(6400, 735) << QApplication::palette().color(QPalette::Base);
    QTest::newRow("txtrlt, button face") << QPoint(1240, 3280) << QApplication::palette().color(QPalette::Button);
  }
  void colours() {
    QFETCH(QPoint, twips);
    QFETCH(QColor, colour);
    const QImage image = form_->grab().toImage();
    const QPoint pixel(form_->Scale().ToPixelsX(twips.x()), form_->Scale().ToPixelsY(twips.y()));
    QCOMPARE(image.pixelColor(pixel), colour);
  }
};

QTEST_MAIN(InitialWindowTest)
#include "initial_window_test.moc"
