// The window on Qt's offscreen platform, its boxes and menus answered by fakes;
// the plan view, and the printed stake table read back with pdftotext.
#include <QtTest>
#include <QtWidgets>
#include <QPrinter>

#include "calc/stakes.h"
#include "ui/about_text.h"
#include "ui/clock_text.h"
#include "ui/credit_line.h"
#include "ui/file_dialogs.h"
#include "ui/form1.h"
#include "ui/message_boxes.h"
#include "ui/plan_view.h"
#include "ui/print_report.h"

using namespace quorvane::ui;

namespace {

// Records every box and answers at once; `whileOpen` runs while one "is open".
struct FakeBoxes : MessageBoxes {
  QStringList prompts, titles;
  std::function<void()> whileOpen;
  void Inform(QWidget*, const QString& prompt, const QString& title) override { AskYesNo(nullptr, prompt, title); }
  bool AskYesNo(QWidget*, const QString& prompt, const QString& title) override {
    prompts << prompt, titles << title;
    if (whileOpen) whileOpen();
    return true;
  }
};

// Answers a file dialog with `file` (empty: cancelled), a small dialog with `texts`.
struct FakeDialogs : FileDialogs {
  QString file, proposed;
  std::optional<QStringList> texts;
  QString SaveFileName(QWidget*, const QString&, const QString& name, const QStringList&) override {
    proposed = name;
    return file;
  }
  std::optional<QStringList> AskTexts(QWidget*, const QString&, const QStringList&) override { return texts; }
};

// The report block for the default inputs, interval 10 and a right turn.
QString WorkedBlock() {
  QFile file(QStringLiteral(QUORVANE_WORKED_BLOCK));
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : "(cannot read the worked block)";
}

void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(6, control->height() / 2)); }

// The default boxes with interval 10 and the given turn.
quorvane::Calculation FieldCalculation(int turn) {
  quorvane::Calculation c;
  c.input = {4040964.994, 195601.155, 180.108, 250.365, 1500, 130, 17.3415, 10, static_cast<std::int16_t>(turn)};
  c.lbText = "180.108";
  c.aText = "17.3415";
  c.leText = "250.365";
  c.stakes = quorvane::ComputeStakes(c.input);
  return c;
}

// 17 deg 34' 15" in radians, worked by hand.
const double kStartAzimuth_rad = (17 + 34 / 60.0 + 15 / 3600.0) * M_PI / 180;

// pdftotext keeps or drops the blanks next to Chinese characters as it sees fit.
QString Squeezed(QString text) { return text.remove(QRegularExpression(QStringLiteral("\\s"))); }

// Prints `box` to an A4 PDF: the page count, and the text pdftotext reads.
std::pair<int, QString> Print(const QString& box, const quorvane::Calculation* calc) {
  QTemporaryDir dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir.filePath(QStringLiteral("table.pdf")));
  printer.setPageSize(QPageSize(QPageSize::A4));
  const int pages = PrintResult(printer, box, calc, QDate(2026, 12, 7));
  QProcess pdftotext;
  const QStringList arguments{QStringLiteral("-layout"), printer.outputFileName(), QStringLiteral("-")};
  pdftotext.start(QStringLiteral(QUORVANE_PDFTOTEXT), arguments);
  pdftotext.waitForFinished(30000);
  return {pages, QString::fromUtf8(pdftotext.readAllStandardOutput())};
}

}  // namespace

struct KeyRow { QString from, keys, lands; int turn; };
struct PasteRow { QString before, pasted, after, tip; };  // '|' is the cursor; empty tip: not marked
struct CreditRow { float width, outer; int rightTicks, leftTicks; };
// The file chosen or texts typed (none: cancelled), how the file starts (empty: none),
// how the text appended starts and its line count, the title of the box shown.
struct MenuRow { QString action; QStringList answer; QByteArray file; QString appended; int lines; QString title; };

class WindowTest : public QObject {
  Q_OBJECT

  FakeBoxes boxes_;
  FakeDialogs dialogs_;
  QDateTime now_;
  std::unique_ptr<Form1> form_;

  template <typename T = QWidget> T* Get(const QString& name) { return form_->findChild<T*>(name); }
  QPlainTextEdit* Result() { return Get<QPlainTextEdit>("txtrlt"); }
  TwipsScale Scale() { return {form_->screen()->logicalDotsPerInchX(), form_->screen()->logicalDotsPerInchY()}; }
  QRect Twips(QWidget* control) {
    const QRect at = control->geometry();
    const TwipsScale s = Scale();
    return QRectF(s.ToTwipsX(at.x()), s.ToTwipsY(at.y()), s.ToTwipsX(at.width()), s.ToTwipsY(at.height())).toRect();
  }
  // Interval 10, right turn, then 计算: the worked block.
  void Calculate(bool click = true) {
    Get<QLineEdit>("txtd")->setText(QStringLiteral("10"));
    Get<QRadioButton>("opn2")->click();
    if (click) Click(Get("cmd1"));
  }
  // Keys by name ("Down Shift+Tab"), each to the focused control.
  void Press(const QString& keys) {
    for (const QString& key : keys.split(u' ')) QTest::keySequence(QApplication::focusWidget(), QKeySequence(key));
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

  void window() {
    QWidget* client = form_->centralWidget();
    QCOMPARE(Twips(client).size(), QSize(9915, 4770));
    QCOMPARE(client->y(), form_->menuBar()->height());
    QCOMPARE(form_->width(), client->width());  // the outer width the credit line turns at stays
    QCOMPARE(form_->minimumSize(), form_->maximumSize());
    QVERIFY(!(form_->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(Get("txtlb")->hasFocus());
    QCOMPARE(Twips(Get("txtXa")), QRect(4560, 360, 1695, 270));
    QCOMPARE(Twips(Get("opn2")), QRect(360, 600, 855, 255));
    QCOMPARE(Twips(Get("cmd1")), QRect(7560, 2400, 1575, 375));
    QCOMPARE(Twips(Result()), QRect(240, 2280, 5775, 2175));
    // Colours as drawn, away from any text: window, frame, input box, txtrlt's button face.
    const QImage image = client->grab().toImage();
    const auto at = [&](int x, int y) { return image.pixelColor(Scale().ToPixelsX(x), Scale().ToPixelsY(y)); };
    QCOMPARE(at(6200, 2400), QColor(128, 255, 255));
    QCOMPARE(at(8720, 1460), QColor(128, 255, 255));
    QCOMPARE(at(6400, 735), QApplication::palette().color(QPalette::Base));
    QCOMPARE(at(1240, 3280), QApplication::palette().color(QPalette::Button));
  }

  // Every control inside its container and clear of its siblings; a label by the ink of its caption.
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

  // Arrow keys in the option group select, as a click does; Tab into the group lands on
  // the selected option, or on 左转; Return or Enter in a box or on 计算 calculates.
  void keyboard_data() {
    QTest::addColumn<KeyRow>("row");
    QTest::newRow("Down from 左转, none selected") << KeyRow{"opn1", "Down", "opn2", 1};
    QTest::newRow("Up from 左转 goes round to 右转") << KeyRow{"opn1", "Up", "opn2", 1};
    QTest::newRow("Left from 右转, none selected") << KeyRow{"opn2", "Left", "opn1", -1};
    QTest::newRow("Down, Up, onto 左转 by Shift+Tab") << KeyRow{"opn1", "Down Up Tab Shift+Tab", "opn1", -1};
    QTest::newRow("Tab, none selected") << KeyRow{"txtd", "Tab", "opn1", 0};
    QTest::newRow("Shift+Tab onto 右转, Return on 计算") << KeyRow{"opn1", "Down Tab Shift+Tab Tab Return", "cmd1", 1};
    QTest::newRow("Tab onto 右转, Enter in txtd") << KeyRow{"opn1", "Down Shift+Tab Tab Shift+Tab Enter", "txtd", 1};
  }
  void keyboard() {
    QFETCH(KeyRow, row);
    Get<QLineEdit>("txtd")->setText(QStringLiteral("10"));
    Get(row.from)->setFocus();
    Press(row.keys);
    QVERIFY(Get(row.lands)->hasFocus());
    QCOMPARE(int{form_->Turn()}, row.turn);
    QCOMPARE(Get<QRadioButton>("opn1")->isChecked(), row.turn < 0);
    QCOMPARE(Get<QRadioButton>("opn2")->isChecked(), row.turn > 0);
    QCOMPARE(Result()->toPlainText(), row.keys.endsWith("Return") || row.keys.endsWith("Enter") ? WorkedBlock() : "");
  }

  // A paste keeps its first line, a tab is a blank; a box not wholly a number shows its reading.
  void paste_data() {
    QTest::addColumn<PasteRow>("row");
    QTest::newRow("empty first line") << PasteRow{"9|", "\n5", "9", ""};
    QTest::newRow("CR LF into the middle") << PasteRow{"1|5", "2\r\n3", "125", ""};
    QTest::newRow("tab") << PasteRow{"|", "0\t250.365", "0 250.365", "读作 0"};
    QTest::newRow("thousands comma") << PasteRow{"|", "1,500", "1,500", "读作 1"};
    QTest::newRow("beyond a double") << PasteRow{"|", "1e999x", "1e999x", "读作 超出范围的数"};
  }
  void paste() {
    QFETCH(PasteRow, row);
    auto* box = Get<QLineEdit>("txtRa");
    box->setText(QString(row.before).remove(u'|'));
    box->setCursorPosition(static_cast<int>(row.before.indexOf(u'|')));
    QApplication::clipboard()->setText(row.pasted);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(box->text(), row.after);
    QCOMPARE(box->toolTip(), row.tip);
    const QColor edge = box->grab().toImage().pixelColor(0, box->height() / 2);
    QCOMPARE(edge.red() > 200 && edge.green() < 60, !row.tip.isEmpty());
    box->setText(QStringLiteral("\n20\t"));  // text set by code too, and an empty box is not marked
    QVERIFY(box->text().isEmpty() && box->toolTip().isEmpty());
  }

  // The station boxes take chainage notation as whole; the other boxes do not.
  void stationBoxes() {
    const struct {
      const char* box;
      const char* text;
      const char* tip;
    } rows[] = {{"txtlb", "K0+180.108", ""}, {"txtle", "Ｋ０＋２５０．３６５", ""},
                {"txtlb", "K0+180.108m", "读作 180.108"}, {"txtRa", "K1+500", "读作 0"}};
    for (const auto& row : rows) {
      auto* box = Get<QLineEdit>(row.box);
      box->setText(QString::fromUtf8(row.text));
      QCOMPARE(box->toolTip(), QString::fromUtf8(row.tip));
    }
  }

  // The credit line alone: ticks to each turn and where it stands then.
  void creditLine_data() {
    QTest::addColumn<CreditRow>("row");  // turns at 240 + 100 rightTicks, then after leftTicks more
    // 2970 + 240 + 100k > 9945 first for k = 68; 7040 - 100j < 0 first for j = 71.
    QTest::newRow("the window's line") << CreditRow{2970.0f, 9945.0f, 68, 71};
    // After 5 ticks the right end is exactly at the outer width: not past it.
    QTest::newRow("reaching the edge is not passing it") << CreditRow{1000.0f, 1740.0f, 6, 9};
  }
  void creditLine() {
    QFETCH(CreditRow, row);
    CreditLine line(row.width);
    for (int ticks = 1, turn = row.rightTicks; ticks <= turn + row.leftTicks; ++ticks) {
      QCOMPARE(line.Tick(row.outer), ticks == turn || ticks == turn + row.leftTicks);
      QCOMPARE(line.LeftTwips(), 240.0f + 100.0f * (ticks <= turn ? ticks : 2 * turn - ticks));
    }
  }

  // Every tick of either timer shows the time; the first takes lbl1 to 340 twips.
  void clock() {
    auto* timer1 = Get<QTimer>("Timer1");
    auto* timer2 = Get<QTimer>("Timer2");
    QVERIFY(timer1->isActive() && !timer2->isActive());
    QVERIFY(QMetaObject::invokeMethod(timer1, "timeout"));
    QCOMPARE(Get("lbl1")->x(), Scale().ToPixelsX(340));
    for (QTimer* timer : {timer1, timer2}) {
      for (int i = 0; timer == timer2 && timer1->isActive() && ++i < 200;) QMetaObject::invokeMethod(timer1, "timeout");
      QVERIFY(timer->isActive());
      now_ = now_.addSecs(95);
      QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
      QCOMPARE(Get<QLabel>("lbtime")->text(), ClockText(now_, QLocale::system()));
    }
    QVERIFY2(Get<QLabel>("lbtime")->text().contains(":10:19"), qPrintable(Get<QLabel>("lbtime")->text()));
  }

  // Each calculation appends its block and brings its title line to the top;
  // undo never takes a block back.
  void calculationAppends() {
    const QString note = QStringLiteral("备注\n"), title = WorkedBlock().section(u'\n', 0, 0);
    Result()->setPlainText(note);
    Calculate();
    Calculate();
    QCOMPARE(Result()->toPlainText(), note + WorkedBlock() + WorkedBlock());
    QTextCursor top = Result()->cursorForPosition(QPoint(2, 2));
    top.select(QTextCursor::LineUnderCursor);
    QCOMPARE(top.selectedText(), title);
    QCOMPARE(top.position(), note.size() + WorkedBlock().size() + title.size());
    QTest::keyClick(Result(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Result()->toPlainText(), note + WorkedBlock() + WorkedBlock());
  }

  // The layout's line count stays true before any line is drawn and after a relayout.
  void longReport() {
    Get<QLineEdit>("txtlb")->setText(QStringLiteral("0"));
    Get<QLineEdit>("txtle")->setText(QStringLiteral("32767"));
    Get<QLineEdit>("txtd")->setText(QStringLiteral("1"));
    Click(Get("cmd1"));
    QCOMPARE(Result()->toPlainText().count(u'\n'), 32771);  // title, header, start row, 32767 stakes, end line
    for (int relayout = 0; relayout < 2; ++relayout) {
      QCOMPARE(Result()->document()->lineCount(), 32772);
      QVERIFY(Result()->verticalScrollBar()->maximum() > 32700);
      Result()->resize(Result()->width() + 40, Result()->height());
      QCoreApplication::processEvents();
    }
  }

  // After the worked calculation, not before nor after one ending in a message.
  void menus_data() {
    QTest::addColumn<MenuRow>("row");
    const QByteArray saved = "\xEF\xBB\xBF\xE5\xA4\x87\xE6\xB3\xA8\r\n" + WorkedBlock().toUtf8().replace("\n", "\r\n");
    const QByteArray dat = "K0+180.108,,195601.155,4040964.994,0.000\r\nK0+190,,195604.188,4040974.410,0.000\r\n";
    // 3 m left of 0+190 at 18°13′44″: X + 3 sin, Y − 3 cos.
    const QString side = "           边桩坐标显示：\n桩号    左边桩X    左边桩Y\n0+190     4040975.348     195601.338\n";
    const QString located = "反算：X=4040974.410, Y=195604.188 → 桩号 0+190, 偏距 0.000";
    QTest::newRow("保存结果") << MenuRow{"actSaveResult", {"结果.txt"}, saved, "", 0, ""};
    QTest::newRow("保存结果, no folder") << MenuRow{"actSaveResult", {"no/结果.txt"}, "", "", 0, "保存失败"};
    QTest::newRow("导出坐标 .dat") << MenuRow{"actExport", {"x.dat"}, dat, "", 0, ""};
    QTest::newRow("导出坐标, no folder") << MenuRow{"actExport", {"no/x.dat"}, "", "", 0, "保存失败"};
    QTest::newRow("导出坐标 .txt refused") << MenuRow{"actExport", {"x.txt"}, "", "", 0, "导出坐标"};
    QTest::newRow("边桩坐标, left 3 m") << MenuRow{"actSideStakes", {"3", ""}, "", side, 9, ""};
    QTest::newRow("坐标反算 on 0+190") << MenuRow{"actLocate", {"4040974.41", "195604.188"}, "", located, 1, "坐标反算"};
    QTest::newRow("关于") << MenuRow{"actAbout", {}, "", "", 0, AboutTitle()};
  }
  void menus() {
    QFETCH(MenuRow, row);
    QTemporaryDir folder;
    if (row.answer.size() == 1) dialogs_.file = folder.filePath(row.answer[0]);
    if (row.answer.size() == 2) dialogs_.texts = row.answer;
    Result()->setPlainText(QStringLiteral("备注\n"));
    Click(Get("cmd1"));  // no interval: the core's message, no calculation
    QCOMPARE(Get<QAction>(row.action)->isEnabled(), row.answer.size() != 1);
    boxes_.titles.clear();
    Calculate();
    Get<QAction>(row.action)->trigger();
    QCOMPARE(boxes_.titles, row.title.isEmpty() ? QStringList() : QStringList{row.title});
    const QString added = Result()->toPlainText().mid(WorkedBlock().size() + 3);
    QVERIFY2(added.startsWith(row.appended), qPrintable(added));
    QCOMPARE(added.count(u'\n'), row.lines);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), row.file.isEmpty() ? QStringList() : row.answer);
    QFile written(dialogs_.file);
    if (!row.file.isEmpty() && written.open(QIODevice::ReadOnly)) QCOMPARE(written.read(row.file.size()), row.file);
    if (row.answer.size() == 1) QCOMPARE(dialogs_.proposed, row.action == "actExport" ? "逐桩坐标.csv" : "逐桩坐标.txt");
  }

  // 平面图 opens a window of its own, which follows the next calculation.
  void planView() {
    QVERIFY(!Get<QAction>("actPlanView")->isEnabled() && !Get<QAction>("actPrint")->isEnabled());
    Calculate();
    QVERIFY(Get<QAction>("actPlanView")->isEnabled() && Get<QAction>("actPrint")->isEnabled());
    Get<QAction>("actPlanView")->trigger();
    auto* view = Get<PlanView>("PlanView");
    QVERIFY(view->isVisible() && view->isWindow() && view->HasCalculation());
    const QPointF lastStake = view->ToScreen(4041028.82, 195628.996);
    Get<QLineEdit>("txtle")->setText(QStringLiteral("300"));
    Click(Get("cmd1"));
    QVERIFY(view->ToScreen(4041028.82, 195628.996) != lastStake);  // fitted to the longer curve
  }

  // Leaving txtd for another control shows the reminder once; a click on 计算
  // shows it once the button is up, before calculating.
  void reminder_data() {
    QTest::addColumn<QString>("leaveBy");
    QTest::addColumn<int>("reminders");
    QTest::newRow("Tab key") << "Tab" << 1;
    QTest::newRow("click on opn1") << "opn1" << 1;
    QTest::newRow("click inside txtd") << "txtd" << 0;
    QTest::newRow("window deactivated and back") << "deactivate" << 0;
    QTest::newRow("click on 计算") << "cmd1" << 1;
    QTest::newRow("计算 held, then released") << "hold" << 1;
  }
  void reminder() {
    QFETCH(QString, leaveBy);
    QFETCH(int, reminders);
    Calculate(false);
    Get("txtd")->setFocus();
    QString resultWhileAsked;
    boxes_.whileOpen = [&] { resultWhileAsked = Result()->toPlainText(); };
    if (leaveBy == "deactivate") {
      QLineEdit other;  // another window, with a control to take the focus
      other.show();
      other.activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(&other));
      form_->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(form_.get()));
      QVERIFY(Get("txtd")->hasFocus());
    } else if (leaveBy == "hold") {
      QTest::mousePress(Get("cmd1"), Qt::LeftButton);
      QTest::qWait(150);
      QVERIFY(boxes_.prompts.isEmpty());  // not while the button is held
      QTest::mouseRelease(Get("cmd1"), Qt::LeftButton);
    } else if (leaveBy == "Tab") {
      Press(leaveBy);
    } else {
      Click(Get(leaveBy));
    }
    QTest::qWait(60);  // the window's zero-delay and polling timers
    QCOMPARE(boxes_.prompts, QStringList(reminders, QStringLiteral("是否输入转向信息？")));
    QVERIFY(resultWhileAsked.isEmpty());
    QCOMPARE(Result()->toPlainText(), leaveBy == "cmd1" || leaveBy == "hold" ? WorkedBlock() : QString());
    QVERIFY(!Get<QPushButton>("cmd1")->isDown());
  }

  // The plan view bends the way the curve turns, north up and east right.
  void bendsTheWayItTurns_data() {
    QTest::addColumn<int>("turn");
    QTest::addColumn<QPointF>("last");  // last stake (X, Y), from the printed tables
    QTest::addColumn<int>("side");      // +1 right of the start tangent, -1 left, 0 on it
    const double D = 250 - 180.108, a = kStartAzimuth_rad;  // no turn: straight along the start azimuth
    QTest::newRow("right turn") << 1 << QPointF(4041028.820, 195628.996) << 1;
    QTest::newRow("left turn") << -1 << QPointF(4041033.2123, 195615.1267) << -1;
    QTest::newRow("no turn") << 0 << QPointF(4040964.994 + D * std::cos(a), 195601.155 + D * std::sin(a)) << 0;
  }
  void bendsTheWayItTurns() {
    QFETCH(int, turn);
    QFETCH(QPointF, last);
    QFETCH(int, side);
    const quorvane::Calculation calc = FieldCalculation(turn);
    PlanView view(dialogs_, boxes_);
    view.resize(600, 450);
    view.ShowCalculation(calc);
    // The stake drawn is the stake of the printed table.
    QVERIFY(std::hypot(calc.stakes.stakeX.back() - last.x(), calc.stakes.stakeY.back() - last.y()) < 0.001);
    // North up, east right, one scale: a metre along the start azimuth is sin(a) right, cos(a) up.
    const double a = kStartAzimuth_rad, mpp = view.MetresPerPixel();
    const QPointF start = view.ToScreen(calc.input.Xa, calc.input.Ya);
    const QPointF along = view.ToScreen(calc.input.Xa + std::cos(a), calc.input.Ya + std::sin(a)) - start;
    QVERIFY2(std::hypot(along.x() * mpp - std::sin(a), along.y() * mpp + std::cos(a)) < 1e-9,
             qPrintable(QStringLiteral("%1, %2").arg(along.x() * mpp).arg(along.y() * mpp)));
    // Pixels of the last stake right of the tangent as the eye sees it (y down).
    const QPointF end = view.ToScreen(last.x(), last.y()), to = end - start;
    const double right_px = (along.x() * to.y() - along.y() * to.x()) / std::hypot(along.x(), along.y());
    QVERIFY2(side == 0 ? std::fabs(right_px) < 0.5 : right_px * side > 20, qPrintable(QString::number(right_px)));
    // And a red stake dot is drawn there, inside the window.
    const QColor at = view.grab().toImage().pixelColor(end.toPoint());
    QVERIFY2(at.red() > 150 && at.green() < 100 && at.blue() < 100, qPrintable(at.name()));
  }

  // The printed stake table, read back from PDF with pdftotext.
  void printsHeaderAndEveryRowToPdf() {
    const QString block = WorkedBlock();
    const quorvane::Calculation calc = FieldCalculation(1);
    // The box as the window holds it: a typed note, then the block.
    const auto [pages, pdf] = Print(QStringLiteral("复核：王工\n") + block, &calc);
    const QString text = Squeezed(pdf);
    QCOMPARE(pages, 1);
    for (const char* expected :
         {"Quorvane", "2026-12-07", "第1页/共1页", "起点桩号180.108", "终点桩号250.365", "起点半径1500", "终点半径130",
          "起点X4040964.994", "Y195601.155", "起点方位角17.3415", "桩距10", "转向右转", "复核：王工"}) {
      QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(text));
    }
    // Every line of the box, each once below the header.
    const QString body = text.mid(text.indexOf(QStringLiteral("复核")));
    for (const QString& line : block.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
      QVERIFY2(body.count(Squeezed(line)) == 1, qPrintable(line + QLatin1Char('\n') + pdf));
    }
  }

  void longTablesBreakBetweenRowsWithPageNumbers() {
    QString box = QStringLiteral("           逐桩坐标显示：\n桩号      X坐标           Y坐标         方位角(度.分秒)\n");
    constexpr int kRows = 300;  // several pages
    auto row = [](int i) {
      return QStringLiteral("%1+%2     %3.125     %4.5     %5.0102")
          .arg(i / 100).arg(i % 100 * 10).arg(4040000 + i).arg(195000 + i).arg(i % 90);
    };
    for (int i = 0; i < kRows; ++i) box += row(i) + QLatin1Char('\n');
    const auto [pages, text] = Print(box, nullptr);
    QVERIFY(pages >= 3);
    const QStringList pageTexts = text.split(QChar(u'\f'), Qt::SkipEmptyParts);
    QCOMPARE(pageTexts.size(), pages);
    int next = 0;  // the row expected next, whole and in order over the pages
    for (int p = 0; p < pages; ++p) {
      const QString page = Squeezed(pageTexts[p]);
      QVERIFY(page.contains(QStringLiteral("第%1页/共%2页").arg(p + 1).arg(pages)));
      QVERIFY2(page.contains(QStringLiteral("桩号X坐标Y坐标")), qPrintable(page));  // the heading again
      for (qsizetype at = 0; next < kRows && (at = page.indexOf(Squeezed(row(next)), at)) >= 0;) ++next;
    }
    QCOMPARE(next, kRows);
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
