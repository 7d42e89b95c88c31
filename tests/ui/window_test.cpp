// The window on Qt's offscreen platform: layout, keyboard, input boxes, the
// result box, menus, saving, the clock and credit line, and the messages.
#include <QtTest>
#include <QtWidgets>
#include <memory>

#include "calc/calculation_error.h"
#include "ui/clock_text.h"
#include "ui/credit_line.h"
#include "ui/file_dialogs.h"
#include "ui/form1.h"
#include "ui/message_boxes.h"

using namespace quorvane::ui;
using Phase = CreditLine::Phase;

namespace {

// Records every box instead of showing it and answers at once. `whileOpen`
// runs while a box "is open", to look at the window at that moment.
struct FakeBoxes : MessageBoxes {
  QStringList prompts, titles;
  std::function<void()> whileOpen;
  void Inform(QWidget*, const QString& prompt, const QString& title) override { Record(prompt, title); }
  bool AskYesNo(QWidget*, const QString& prompt, const QString& title) override { return Record(prompt, title); }
  bool Record(const QString& prompt, const QString& title) {
    prompts << prompt, titles << title;
    if (whileOpen) whileOpen();
    return true;
  }
};

struct FakeDialogs : FileDialogs {
  QString answer, proposed;
  QString SaveFileName(QWidget*, const QString&, const QString& name, const QStringList&) override {
    proposed = name;
    return answer;
  }
  std::optional<QStringList> AskTexts(QWidget*, const QString&, const QStringList&) override { return {}; }
};

const QString kReminder = QStringLiteral("是否输入转向信息？");

// The report block for the default inputs, interval 10 and a right turn.
QString WorkedBlock() {
  QFile file(QStringLiteral(QUORVANE_WORKED_BLOCK));
  if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", QUORVANE_WORKED_BLOCK);
  return QString::fromUtf8(file.readAll());
}

void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(6, control->height() / 2)); }

// Lets the window's zero-delay and polling timers run.
void Settle() { QTest::qWait(60); }

void Tick(QTimer* timer) { QVERIFY(QMetaObject::invokeMethod(timer, "timeout")); }

Qt::Key KeyNamed(const QString& name) { return QKeySequence(name)[0].key(); }

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

  FakeBoxes boxes_;
  FakeDialogs dialogs_;
  QDateTime now_;
  std::unique_ptr<Form1> form_;

  template <typename T = QWidget>
  T* Get(const QString& name) {
    T* found = form_->findChild<T*>(name);
    if (found == nullptr) qFatal("no %s", qPrintable(name));
    return found;
  }
  QLineEdit* Box(const char* name) { return Get<QLineEdit>(name); }
  QPlainTextEdit* Result() { return Get<QPlainTextEdit>("txtrlt"); }
  QPushButton* Cmd1() { return Get<QPushButton>("cmd1"); }
  TwipsScale Scale() {
    return TwipsScale(form_->screen()->logicalDotsPerInchX(), form_->screen()->logicalDotsPerInchY());
  }
  QRect Twips(QWidget* control) {
    const QRect at = control->geometry();
    const auto x = [s = Scale()](int pixels) { return qRound(s.ToTwipsX(pixels)); };
    const auto y = [s = Scale()](int pixels) { return qRound(s.ToTwipsY(pixels)); };
    return QRect(x(at.x()), y(at.y()), x(at.width()), y(at.height()));
  }
  // Interval 10, right turn: the worked block.
  void WorkedInput() {
    Box("txtd")->setText(QStringLiteral("10"));
    Get<QRadioButton>("opn2")->click();
  }
  // Keys by name ("Down Up"), each to the control that has the focus then.
  void Press(const QString& keys) {
    for (const QString& key : keys.split(u' ', Qt::SkipEmptyParts))
      QTest::keyClick(QApplication::focusWidget(), KeyNamed(key));
  }

 private slots:
  void initTestCase() { QVERIFY(InstallQtChineseTranslations(*qApp)); }
  void init() {
    boxes_ = FakeBoxes();
    dialogs_ = FakeDialogs();
    now_ = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9));
    form_ = std::make_unique<Form1>(boxes_, dialogs_, [this] { return now_; });
    form_->show();
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
  }
  void cleanup() { form_.reset(); }

  // The credit line alone: ticks to each turn and where it stands then.
  void creditLine_data() {
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("outer");
    QTest::addColumn<int>("rightTicks");  // to the turn at 240 + 100 rightTicks
    QTest::addColumn<int>("leftTicks");
    // 2970 + 240 + 100k > 9945 first for k = 68; 7040 - 100j < 0 first for j = 71.
    QTest::newRow("the window's line") << 2970.0f << 9945.0f << 68 << 71;
    // After 5 ticks the right end is exactly at the outer width: not past it.
    QTest::newRow("reaching the edge is not passing it") << 1000.0f << 1740.0f << 6 << 9;
    QTest::newRow("wider than the window") << 3000.0f << 1000.0f << 1 << 4;
  }
  void creditLine() {
    QFETCH(float, width);
    QFETCH(float, outer);
    QFETCH(int, rightTicks);
    QFETCH(int, leftTicks);
    const float turnedAt = 240.0f + 100.0f * rightTicks;
    CreditLine line(width);
    QCOMPARE(line.LeftTwips(), 240.0f);
    int ticks = 1;
    while (!line.Tick(outer)) ++ticks;
    QCOMPARE(ticks, rightTicks);
    QCOMPARE(line.LeftTwips(), turnedAt);
    QCOMPARE(line.CurrentPhase(), Phase::Leftward);
    for (ticks = 1; !line.Tick(outer); ++ticks) QCOMPARE(line.CurrentPhase(), Phase::Leftward);
    QCOMPARE(ticks, leftTicks);
    QCOMPARE(line.LeftTwips(), turnedAt - 100.0f * leftTicks);
  }

  void window() {
    QCOMPARE(form_->objectName(), QStringLiteral("form1"));
    QCOMPARE(form_->windowTitle(), QStringLiteral("Quorvane"));
    QWidget* client = form_->centralWidget();
    QCOMPARE(Twips(client).size(), QSize(9915, 4770));
    QCOMPARE(client->y(), form_->menuBar()->height());
    QCOMPARE(form_->width(), client->width());  // the outer width the credit line turns at stays
    QCOMPARE(form_->minimumSize(), form_->maximumSize());
    QVERIFY(!(form_->windowFlags() & Qt::WindowMaximizeButtonHint));
    const QPoint offCentre = form_->frameGeometry().center() - form_->screen()->availableGeometry().center();
    QVERIFY(offCentre.manhattanLength() <= 2);
    QCOMPARE(form_->Turn(), std::int16_t{0});
    QVERIFY(Box("txtlb")->hasFocus());
    QVERIFY(Get<QTimer>("Timer1")->isActive() && !Get<QTimer>("Timer2")->isActive());
    // A few places in twips, relative to their containers.
    QCOMPARE(Twips(Box("txtXa")), QRect(4560, 360, 1695, 270));
    QCOMPARE(Twips(Get("opn2")), QRect(360, 600, 855, 255));
    QCOMPARE(Twips(Cmd1()), QRect(7560, 2400, 1575, 375));
    QCOMPARE(Twips(Result()), QRect(240, 2280, 5775, 2175));
    QCOMPARE(Get("opn2")->parentWidget()->objectName(), QStringLiteral("Frame2"));
  }

  // Every control lies inside its container and clear of its siblings; a
  // label counts by the ink of its caption.
  void noControlOverlaps() {
    const QRegularExpression control(QStringLiteral("^(Frame|Label|txt|opn|cmd|lbl)"));
    for (QWidget* container : {form_->centralWidget(), Get("Frame1"), Get("Frame2")}) {
      QList<QPair<QString, QRect>> placed;
      for (QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!control.match(child->objectName()).hasMatch()) continue;
        QRect at = child->geometry();
        if (auto* label = qobject_cast<QLabel*>(child)) {
          const QFontMetrics metrics = label->fontMetrics();
          at = metrics.tightBoundingRect(label->text()).translated(at.x(), at.y() + metrics.ascent());
        }
        QVERIFY2(container->rect().contains(at), qPrintable(child->objectName()));
        for (const auto& [name, other] : placed)
          QVERIFY2(!at.intersects(other), qPrintable(child->objectName() + u'/' + name));
        placed.append({child->objectName(), at});
      }
      QVERIFY(placed.size() >= 2);
    }
  }

  // Colours as drawn: points in twips of the client area, away from any text.
  void colours_data() {
    const QColor cyan(128, 255, 255);
    QTest::addColumn<QPoint>("twips");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("window") << QPoint(6200, 2400) << cyan;
    QTest::newRow("inside Frame1") << QPoint(4060, 1900) << cyan;
    QTest::newRow("inside Frame2") << QPoint(8720, 1460) << cyan;
    QTest::newRow("input box") << QPoint(6400, 735) << QApplication::palette().color(QPalette::Base);
    QTest::newRow("txtrlt, button face") << QPoint(1240, 3280) << QApplication::palette().color(QPalette::Button);
  }
  void colours() {
    QFETCH(QPoint, twips);
    QFETCH(QColor, colour);
    const QImage image = form_->centralWidget()->grab().toImage();
    QCOMPARE(image.pixelColor(Scale().ToPixelsX(twips.x()), Scale().ToPixelsY(twips.y())), colour);
  }

  void tabOrder() {
    QStringList order;
    for (QWidget* w = Box("txtlb"); order.size() < 12; w = w->nextInFocusChain())
      if (w->focusPolicy() & Qt::TabFocus && !w->objectName().isEmpty()) order << w->objectName();
    QCOMPARE(order.mid(0, 11), QStringList({"txtlb", "txtle", "txtYa", "txtXa", "txta", "txtRa", "txtRb", "txtd",
                                            "opn1", "cmd1", "txtrlt"}));
  }

  // Arrow keys in the option group select where they go, as a click does.
  void arrowKeys_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("turn");
    QTest::newRow("Down from 左转, none selected") << "opn1" << "Down" << 1;
    QTest::newRow("Right from 左转") << "opn1" << "Right" << 1;
    QTest::newRow("Up from 左转 goes round to 右转") << "opn1" << "Up" << 1;
    QTest::newRow("Down, then Up") << "opn1" << "Down Up" << -1;
    QTest::newRow("Left from 右转, none selected") << "opn2" << "Left" << -1;
    QTest::newRow("Space") << "opn1" << "Space" << -1;
  }
  void arrowKeys() {
    QFETCH(QString, from);
    QFETCH(QString, keys);
    QFETCH(int, turn);
    Get(from)->setFocus();
    Press(keys);
    QCOMPARE(int{form_->Turn()}, turn);
    QVERIFY(Get<QRadioButton>(turn < 0 ? "opn1" : "opn2")->isChecked());
    QVERIFY(Get(turn < 0 ? "opn1" : "opn2")->hasFocus());
    QVERIFY(boxes_.prompts.isEmpty());
  }

  // Tab into the group lands on the selected option, or on 左转.
  void tabIntoGroup_data() {
    QTest::addColumn<QString>("keys");  // pressed on 左转 first
    QTest::addColumn<bool>("backward");
    QTest::addColumn<QString>("lands");
    QTest::newRow("none selected, Tab") << "" << false << "opn1";
    QTest::newRow("none selected, Shift+Tab") << "" << true << "opn1";
    QTest::newRow("右转 selected, Tab") << "Down" << false << "opn2";
    QTest::newRow("右转 selected, Shift+Tab") << "Down" << true << "opn2";
    QTest::newRow("左转 selected again, Shift+Tab") << "Down Up" << true << "opn1";
  }
  void tabIntoGroup() {
    QFETCH(QString, keys);
    QFETCH(bool, backward);
    QFETCH(QString, lands);
    if (!keys.isEmpty()) {
      Get("opn1")->setFocus();
      Press(keys);
    }
    QWidget* from = backward ? static_cast<QWidget*>(Cmd1()) : Box("txtd");
    from->setFocus();
    QTest::keyClick(from, Qt::Key_Tab, backward ? Qt::ShiftModifier : Qt::NoModifier);
    QVERIFY(Get(lands)->hasFocus());
  }

  // Return or Enter on 计算 or in any input box runs the calculation.
  void returnKey_data() {
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("key");
    for (const char* where : {"txtlb", "txtd", "cmd1"})
      for (const char* key : {"Return", "Enter"})
        QTest::newRow(qPrintable(QString("%1 %2").arg(where, key))) << where << key;
  }
  void returnKey() {
    QFETCH(QString, where);
    QFETCH(QString, key);
    WorkedInput();
    Get(where)->setFocus();
    QTest::keyClick(Get(where), KeyNamed(key));
    QCOMPARE(Result()->toPlainText(), WorkedBlock());
    QVERIFY(boxes_.prompts.isEmpty());
  }

  // The boxes hold one line: a paste keeps its first line, a tab is a blank.
  void oneLine_data() {
    QTest::addColumn<QString>("before");  // '|' is the cursor
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("after");
    QTest::newRow("line break at the end") << "|" << "180.108\n" << "180.108";
    QTest::newRow("CR LF and a second line") << "|" << "180.108\r\n200" << "180.108";
    QTest::newRow("into the middle") << "1|5" << "2\n3" << "125";
    QTest::newRow("paragraph separator") << "|" << QString("12") + QChar(0x2029) + "3" << "12";
    QTest::newRow("tab") << "|" << "0\t250.365" << "0 250.365";
    QTest::newRow("empty first line") << "9|" << "\n5" << "9";
  }
  void oneLine() {
    QFETCH(QString, before);
    QFETCH(QString, pasted);
    QFETCH(QString, after);
    QLineEdit* txtlb = Box("txtlb");
    txtlb->setText(QString(before).remove(u'|'));
    txtlb->setCursorPosition(static_cast<int>(before.indexOf(u'|')));
    QApplication::clipboard()->setText(pasted);
    txtlb->setFocus();
    QTest::keyClick(txtlb, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(txtlb->text(), after);
    txtlb->setText(QStringLiteral("10\n20\t"));  // text set by code too
    QCOMPARE(txtlb->text(), QStringLiteral("10"));
  }

  // A box whose text is not wholly a number shows what it will be read as.
  void marking_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tip");  // empty: not marked
    QTest::newRow("thousands comma") << "1,500" << "读作 1";
    QTest::newRow("unit") << "10m" << "读作 10";
    QTest::newRow("degrees and minutes") << "17°34′15″" << "读作 17";
    QTest::newRow("letters") << "abc" << "读作 0";
    QTest::newRow("beyond a double") << "1e999x" << "读作 超出范围的数";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("blanks around a number") << " -12.5e1 " << "";
  }
  void marking() {
    QFETCH(QString, text);
    QFETCH(QString, tip);
    QLineEdit* txtRa = Box("txtRa");
    txtRa->setText(text);
    QCOMPARE(txtRa->toolTip(), tip);
    const QColor edge = txtRa->grab().toImage().pixelColor(0, txtRa->height() / 2);
    QCOMPARE(edge.red() > 200 && edge.green() < 60, !tip.isEmpty());
    QVERIFY(boxes_.prompts.isEmpty());
  }

  // Every tick of either timer shows the time; the first moves lbl1 to 340 twips.
  void clock_data() {
    QTest::addColumn<bool>("leftward");
    QTest::newRow("rightward") << false;
    QTest::newRow("leftward") << true;
  }
  void clock() {
    QFETCH(bool, leftward);
    auto* timer1 = Get<QTimer>("Timer1");
    auto* timer2 = Get<QTimer>("Timer2");
    auto* lbtime = Get<QLabel>("lbtime");
    QVERIFY(lbtime->text().isEmpty());
    Tick(timer1);
    QCOMPARE(Get("lbl1")->x(), Scale().ToPixelsX(340));
    QCOMPARE(lbtime->text(), ClockText(now_, QLocale::system()));
    for (int i = 0; leftward && timer1->isActive() && i < 200; ++i) Tick(timer1);
    QCOMPARE(timer2->isActive(), leftward);
    now_ = now_.addSecs(95);
    Tick(leftward ? timer2 : timer1);
    QCOMPARE(lbtime->text(), ClockText(now_, QLocale::system()));
    QVERIFY2(lbtime->text().contains(QStringLiteral(":08:44")), qPrintable(lbtime->text()));
  }

  // Each calculation appends its block and brings its title line to the top.
  void calculationAppends_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("clicks");
    QTest::newRow("one") << QString() << 1;
    QTest::newRow("three") << QString() << 3;
    QTest::newRow("after the user's note") << QStringLiteral("备注\n") << 2;
  }
  void calculationAppends() {
    QFETCH(QString, before);
    QFETCH(int, clicks);
    Result()->setPlainText(before);
    WorkedInput();
    for (int i = 0; i < clicks; ++i) Click(Cmd1());
    QCOMPARE(Result()->toPlainText(), before + WorkedBlock().repeated(clicks));
    QVERIFY(boxes_.prompts.isEmpty());
    QTextCursor top = Result()->cursorForPosition(QPoint(2, 2));
    top.select(QTextCursor::LineUnderCursor);
    QCOMPARE(top.selectedText(), WorkedBlock().section(u'\n', 0, 0));
    QCOMPARE(top.position(), before.size() + (clicks - 1) * WorkedBlock().size() + top.selectedText().size());
    // Undo never takes a report back.
    Result()->setFocus();
    QTest::keyClick(Result(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Result()->toPlainText(), before + WorkedBlock().repeated(clicks));
  }

  // Emptying the box keeps nothing to undo: the reports' memory is let go.
  void clearing() {
    WorkedInput();
    Click(Cmd1());
    Result()->setFocus();
    QTest::keyClick(Result(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(Result(), Qt::Key_Delete);
    QTRY_VERIFY(!Result()->document()->isUndoAvailable());
    QVERIFY(Result()->toPlainText().isEmpty());
    Click(Cmd1());  // and the box goes on as before
    QCOMPARE(Result()->toPlainText(), WorkedBlock());
    QCOMPARE(Result()->document()->defaultFont(), Result()->font());
  }

  // Every line in its place, and the scroll bar spanning all of them before
  // any is drawn and after the text is laid out anew.
  void longReport() {
    Box("txtlb")->setText(QStringLiteral("0"));
    Box("txtle")->setText(QStringLiteral("32767"));
    Box("txtd")->setText(QStringLiteral("1"));
    Click(Cmd1());
    const QStringList lines = Result()->toPlainText().split(u'\n');
    QCOMPARE(lines.size(), 32772);  // title, header, start row, 32767 stakes, end line, and after the last break
    QVERIFY(lines[3].startsWith(QStringLiteral("0+1     ")));
    QVERIFY(lines[32769].startsWith(QStringLiteral("32+767     ")));
    for (int relayout = 0; relayout < 2; ++relayout) {
      QCOMPARE(Result()->document()->lineCount(), 32772);
      QVERIFY(Result()->verticalScrollBar()->maximum() > 32700);
      Result()->resize(Result()->width() + 40, Result()->height());
      QCoreApplication::processEvents();
    }
  }

  // A triple click selects one line of a report, not its whole paragraph.
  void tripleClickSelectsOneLine() {
    WorkedInput();
    Click(Cmd1());
    const QString startRow = WorkedBlock().section(u'\n', 2, 2);
    QTextCursor onStartRow(Result()->document());
    onStartRow.setPosition(static_cast<int>(Result()->toPlainText().indexOf(startRow)) + 3);
    const QPoint at = Result()->cursorRect(onStartRow).center();
    QTest::mouseDClick(Result()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseClick(Result()->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(Result()->textCursor().selection().toPlainText(), startRow + u'\n');
  }

  // The entries that need a calculation wait for the first successful one;
  // a calculation that ends in a message does not count.
  void menus_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<bool>("needsCalculation");
    QTest::newRow("保存结果") << "actSaveResult" << "Ctrl+S" << true;
    QTest::newRow("导出坐标") << "actExport" << "Ctrl+Shift+E" << true;
    QTest::newRow("打印") << "actPrint" << "Ctrl+P" << true;
    QTest::newRow("退出") << "actExit" << "Ctrl+Q" << false;
    QTest::newRow("平面图") << "actPlanView" << "" << true;
    QTest::newRow("边桩坐标") << "actSideStakes" << "" << false;
    QTest::newRow("坐标反算") << "actLocate" << "" << false;
    QTest::newRow("关于") << "actAbout" << "" << false;
  }
  void menus() {
    QFETCH(QString, name);
    QFETCH(QString, shortcut);
    QFETCH(bool, needsCalculation);
    auto* action = Get<QAction>(name);
    QCOMPARE(action->shortcut(), QKeySequence(shortcut));
    QCOMPARE(action->isEnabled(), !needsCalculation);
    Click(Cmd1());  // no interval: the core's message, no calculation
    QCOMPARE(action->isEnabled(), !needsCalculation);
    QCOMPARE(boxes_.prompts, QStringList{quorvane::kMissingIntervalPrompt});
    QCOMPARE(boxes_.titles, QStringList{quorvane::kMissingIntervalTitle});
    WorkedInput();
    Click(Cmd1());
    QVERIFY(action->isEnabled());
  }

  // 保存结果 writes the whole box as UTF-8 with CR LF, or says it could not.
  void saveResult_data() {
    QTest::addColumn<QString>("file");  // in a fresh folder; empty: cancelled
    QTest::addColumn<bool>("saved");
    QTest::newRow("saved") << "结果.txt" << true;
    QTest::newRow("cancelled") << "" << false;
    QTest::newRow("folder missing") << "no/such/folder/结果.txt" << false;
  }
  void saveResult() {
    QFETCH(QString, file);
    QFETCH(bool, saved);
    QTemporaryDir folder;
    dialogs_.answer = file.isEmpty() ? QString() : folder.filePath(file);
    Result()->setPlainText(QStringLiteral("备注\n"));
    WorkedInput();
    Click(Cmd1());
    Get<QAction>("actSaveResult")->trigger();
    QCOMPARE(dialogs_.proposed, QStringLiteral("逐桩坐标.txt"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), saved ? QStringList{file} : QStringList());
    QCOMPARE(boxes_.titles, file.isEmpty() || saved ? QStringList() : QStringList{"保存结果"});
    if (!saved) return;
    QFile written(dialogs_.answer);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray bytes = written.readAll();
    QCOMPARE(bytes, QByteArray("\xE5\xA4\x87\xE6\xB3\xA8\r\n") + WorkedBlock().toUtf8().replace("\n", "\r\n"));
  }

  // Leaving txtd for another control of the window shows the reminder once;
  // a click on 计算 from txtd shows it, once the button is up, before the
  // calculation.
  void reminder_data() {
    QTest::addColumn<QString>("leaveBy");
    QTest::addColumn<int>("reminders");
    QTest::newRow("Tab key") << "tab" << 1;
    QTest::newRow("click on opn1") << "opn1" << 1;
    QTest::newRow("click inside txtd") << "txtd" << 0;
    QTest::newRow("window deactivated and back") << "deactivate" << 0;
    QTest::newRow("click on 计算") << "cmd1" << 1;
    QTest::newRow("计算 held, then released") << "hold" << 1;
  }
  void reminder() {
    QFETCH(QString, leaveBy);
    QFETCH(int, reminders);
    WorkedInput();
    QLineEdit* txtd = Box("txtd");
    txtd->setFocus();
    QString resultWhileAsked;
    boxes_.whileOpen = [&] { resultWhileAsked = Result()->toPlainText(); };
    const QPoint middle = Cmd1()->rect().center();
    if (leaveBy == "tab") {
      QTest::keyClick(txtd, Qt::Key_Tab);
    } else if (leaveBy == "deactivate") {
      QLineEdit other;  // another window, with a control to take the focus
      other.show();
      other.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&other));
      Settle();
      form_->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(form_.get()));
      QVERIFY(txtd->hasFocus());
    } else if (leaveBy == "hold") {
      QTest::mousePress(Cmd1(), Qt::LeftButton, {}, middle);
      QTest::qWait(150);
      QVERIFY(boxes_.prompts.isEmpty());  // not while the button is held
      QTest::mouseRelease(Cmd1(), Qt::LeftButton, {}, middle);
    } else {
      Click(Get(leaveBy));
    }
    Settle();
    QCOMPARE(boxes_.prompts, QStringList(reminders, kReminder));
    QVERIFY(resultWhileAsked.isEmpty());
    const bool calculated = leaveBy == "cmd1" || leaveBy == "hold";
    QCOMPARE(Result()->toPlainText(), calculated ? WorkedBlock() : QString());
    QVERIFY(!Cmd1()->isDown());
  }

  // The real boxes: Chinese buttons, and wide enough for the title bar.
  void messageBoxes() {
    QtMessageBoxes real;
    for (const bool yesNo : {false, true}) {
      QStringList shown;
      int room = 0;
      QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        for (QAbstractButton* button : box->buttons()) shown << button->text();
        room = box->width() - box->fontMetrics().horizontalAdvance(box->windowTitle());
        box->buttons().constFirst()->click();
      });
      if (yesNo) {
        real.AskYesNo(form_.get(), kReminder, QStringLiteral("信息提示"));
      } else {
        real.Inform(form_.get(), QStringLiteral("请输入桩距！"), QStringLiteral("提示"));
      }
      shown.sort();
      QCOMPARE(shown, yesNo ? QStringList({"否(&N)", "是(&Y)"}) : QStringList({"确定"}));
      QVERIFY2(room >= 4 * 32, qPrintable(QString::number(room)));
    }
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
