// The window on Qt's offscreen platform, its boxes and menus answered by fakes;
// the plan view, and the printed stake table read back with pdftotext.
#include <QtTest>
#include <QtWidgets>
#include <QPrinter>

#include "calc/stakes.h"
#include "fakes.h"
#include "field_curve.h"
#include "pdf_reading.h"
#include "ui/about_text.h"
#include "ui/clock_text.h"
#include "ui/credit_line.h"
#include "ui/form1.h"
#include "ui/plan_view.h"
#include "ui/print_report.h"
#include "ui/result_box.h"

using namespace quorvane::ui;

namespace {

using testing::FakeBoxes;
using testing::FakeDialogs;
using testing::PdfPrinter;
using testing::PdfText;
using testing::ReadFile;
using testing::Squeezed;
using testing::WriteFile;

// The report block for the default inputs, interval 10 and a right turn.
QString WorkedBlock() {
  QFile file(QStringLiteral(QUORVANE_WORKED_BLOCK));
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : "(cannot read the worked block)";
}

void Click(QWidget* control) { QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(6, control->height() / 2)); }

// The default boxes with the given turn and interval.
quorvane::Calculation FieldCalculation(int turn, double interval_m = 10) {
  quorvane::CurveInput input = quorvane::test::kFieldCurve;
  input.d = interval_m;
  input.turn = static_cast<std::int16_t>(turn);
  return quorvane::Calculation({input, "180.108", "17.3415", "250.365"});
}

// 17 deg 34' 15" in radians, worked by hand.
const double kStartAzimuth_rad = (17 + 34 / 60.0 + 15 / 3600.0) * M_PI / 180;

// Prints `pieces` to an A4 PDF: the page count, and the text pdftotext reads.
std::pair<int, QString> Print(const std::vector<BoxPiece>& pieces, const QString& mode = QStringLiteral("-layout")) {
  QTemporaryDir dir;
  const auto printer = PdfPrinter(dir);
  const int pages = PaintPages(*printer, pieces, QDate(2026, 12, 7)).pages;
  return {pages, PdfText(printer->outputFileName(), mode)};
}

// `text` as one report of `calc`'s curve, as the window appends it: a stake report unless told otherwise.
BoxPiece Report(const QString& text, const quorvane::Calculation& calc,
                const quorvane::TableLayout* layout = &quorvane::kStakeTable) {
  return {text, std::make_shared<AppendedReport>(AppendedReport{calc, text, layout})};
}

}  // namespace

struct KeyRow { QString from, keys, lands; int turn; };
struct PasteRow { QString before, pasted, after, tip; };  // '|' is the cursor; empty tip: not marked
struct CreditRow { float width, outer; int rightTicks, leftTicks; };
// The file chosen or texts typed (none: cancelled), how the file starts (empty: none),
// how the text appended starts and its line count, the title of the box shown.
struct MenuRow { QString action; QStringList answer; QByteArray file; QString appended; int lines; QString title; };
// Texts typed into a small dialog, the first message then (empty: none), whether it was accepted.
struct DialogRow { QString action; QStringList typed; QString prompt; bool accepted; };
// The line of the worked block clicked, the pixels the third click lands away from the first two.
struct ClickRow { int line, thirdMoved; bool oneLine; };
// A turn, its last stake (X, Y) from the printed tables, the side of the start tangent that lies on
// (+1 right, -1 left, 0 on it).
struct BendRow { int turn; QPointF last; int side; };

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
    const struct { const char *box, *text, *tip; } rows[] = {
        {"txtlb", "K0+180.108", ""}, {"txtle", "Ｋ０＋２５０．３６５", ""}, {"txtlb", "K0+180.108m", "读作 180.108"},
        {"txtRa", "K1+500", "读作 0"}};
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
      QVERIFY(Get<QLabel>("lbtime")->text().contains(now_.time().toString(QStringLiteral(":mm:ss"))));
    }
  }

  // The system's short date and long time without the zone. Taiwan's and Hong Kong's formats hold
  // the zone in brackets, and Taiwan's a day period Qt does not know ("Bh:mm:ss [t]").
  void clockText() {
    const QDateTime at(QDate(2026, 12, 7), QTime(14, 5, 9));
    const std::pair<QLocale, const char*> rows[] = {
        {QLocale(QLocale::Chinese, QLocale::China), "2026/12/7 14:05:09"},
        {QLocale(QLocale::German, QLocale::Germany), "07.12.26 14:05:09"},
        {QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan), "2026/12/7 下午2:05:09"},
        {QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::HongKong), "7/12/2026 下午2:05:09"},
        {QLocale(QLocale::English, QLocale::UnitedStates), "12/7/26 2:05:09 PM"}};
    for (const auto& [locale, text] : rows) QCOMPARE(ClockText(at, locale), QString::fromUtf8(text));
  }

  // A triple click selects the line under the mouse with its line end, not the whole report;
  // a third click elsewhere, or after the double-click time, is an ordinary click.
  void tripleClickSelectsOneLine_data() {
    QTest::addColumn<ClickRow>("row");
    QTest::newRow("a stake row") << ClickRow{4, 0, true};
    QTest::newRow("the title") << ClickRow{0, 0, true};
    QTest::newRow("the third click elsewhere") << ClickRow{4, 30, false};
  }
  void tripleClickSelectsOneLine() {
    QFETCH(ClickRow, row);
    const auto [line, thirdMoved, oneLine] = row;
    Calculate();
    QWidget* viewport = Result()->viewport();
    QTextCursor cursor(Result()->document());
    cursor.movePosition(QTextCursor::Down, QTextCursor::MoveAnchor, line);
    Result()->setTextCursor(cursor);
    Result()->ensureCursorVisible();
    const QPoint at = Result()->cursorRect().center() + QPoint(20, 0);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mousePress(viewport, Qt::LeftButton, {}, at + QPoint(0, thirdMoved));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at + QPoint(0, thirdMoved));
    const QString expected = WorkedBlock().split(u'\n').value(line);
    const QString selected = Result()->textCursor().selectedText();
    QCOMPARE(selected.size() == expected.size() + 1 && selected.startsWith(expected), oneLine);
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
    if (!row.file.isEmpty()) QCOMPARE(ReadFile(dialogs_.file).left(row.file.size()), row.file);
    if (row.answer.size() == 1) QCOMPARE(dialogs_.proposed, row.action == "actExport" ? "逐桩坐标.csv" : "逐桩坐标.txt");
  }

  // A text that is not wholly a number, or a negative width, keeps the dialog open with a message
  // naming the box and calculates nothing; the next opening shows the texts last accepted.
  void dialogs_data() {
    QTest::addColumn<DialogRow>("row");
    QTest::newRow("width abc") << DialogRow{"actSideStakes", {"abc", ""}, "左侧宽度“abc”不是有效的数字！", false};
    QTest::newRow("width 5m") << DialogRow{"actSideStakes", {"", "5m"}, "右侧宽度“5m”不是有效的数字！", false};
    QTest::newRow("negative width") << DialogRow{"actSideStakes", {"-3", "2"}, "边桩宽度不能为负数！", false};
    QTest::newRow("widths 3 and 2") << DialogRow{"actSideStakes", {"3", " 2"}, "", true};
    QTest::newRow("X abc") << DialogRow{"actLocate", {"abc", "195612"}, "X坐标“abc”不是有效的数字！", false};
    QTest::newRow("a point") << DialogRow{"actLocate", {"4040990", "195612"}, "桩号：0+207.353", true};
  }
  void dialogs() {
    QFETCH(DialogRow, row);
    Calculate(false);
    dialogs_.texts = row.typed;
    Get<QAction>(row.action)->trigger();
    QVERIFY2(row.prompt.isEmpty() ? boxes_.prompts.isEmpty() : boxes_.prompts.value(0).startsWith(row.prompt),
             qPrintable(boxes_.prompts.join(u'|')));
    QCOMPARE(dialogs_.stayedOpen, !row.accepted);
    QCOMPARE(Result()->toPlainText().isEmpty(), !row.accepted);
    dialogs_.texts.reset();
    Get<QAction>(row.action)->trigger();
    QCOMPARE(dialogs_.openedWith, row.accepted ? row.typed : QStringList());
  }

  // The real small dialog: opens with the texts given; 确定 with texts its check refuses leaves it open as typed.
  void smallDialogStaysOpenWhenRefused() {
    QtFileDialogs dialogs;
    QStringList checked, shown;
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      const auto boxes = dialog->findChildren<QLineEdit*>();
      QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
      shown << boxes[0]->text() << boxes[1]->text();
      boxes[0]->setText(QStringLiteral("5m"));
      ok->click();
      shown << QString::number(dialog->isVisible()) << boxes[0]->text();
      boxes[0]->setText(QStringLiteral("5"));
      ok->click();
    });
    const std::optional<QStringList> texts =
        dialogs.AskTexts(form_.get(), QStringLiteral("边桩坐标"), {QStringLiteral("左"), QStringLiteral("右")},
                         {QStringLiteral("1"), QStringLiteral("2")}, [&](const QStringList& typed) {
                           checked << typed.join(u',');
                           return !typed[0].endsWith(u'm');
                         });
    QCOMPARE(shown, QStringList({"1", "2", "1", "5m"}));
    QCOMPARE(checked, QStringList({"5m,2", "5,2"}));
    QCOMPARE(texts.value_or(QStringList()), QStringList({"5", "2"}));
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

  // Side points belong to the calculation of their curve: exported after each stake and drawn on the
  // plan, with a legend naming their colour; a new calculation of another curve has none, one of the
  // same curve keeps them.
  void sidePointsBelongToTheirCurve_data() {
    QTest::addColumn<QStringList>("steps");  // cmd1, sides, end300 (the end station box to 300)
    QTest::addColumn<bool>("kept");
    QTest::newRow("computed on the last calculation") << QStringList{"cmd1", "sides"} << true;
    QTest::newRow("the same curve calculated again") << QStringList{"cmd1", "sides", "cmd1"} << true;
    QTest::newRow("another curve calculated since") << QStringList{"cmd1", "sides", "end300", "cmd1"} << false;
    QTest::newRow("computed on another curve") << QStringList{"cmd1", "end300", "sides"} << false;
    QTest::newRow("computed before that curve's calculation") << QStringList{"cmd1", "end300", "sides", "cmd1"} << false;
  }
  void sidePointsBelongToTheirCurve() {
    QFETCH(QStringList, steps);
    QFETCH(bool, kept);
    Calculate(false);
    for (const QString& step : steps) {
      if (step == "cmd1") Click(Get("cmd1"));
      if (step == "end300") Get<QLineEdit>("txtle")->setText(QStringLiteral("300"));
      if (step == "sides") {
        dialogs_.texts = QStringList{"3", ""};
        Get<QAction>("actSideStakes")->trigger();
      }
    }
    QTemporaryDir folder;
    dialogs_.file = folder.filePath(QStringLiteral("x.dat"));
    Get<QAction>("actExport")->trigger();
    const QByteArray left190 = "K0+190L,,195601.338,4040975.348,0.000\r\nK0+200,";  // right after its stake
    QCOMPARE(ReadFile(dialogs_.file).contains(left190), kept);
    Get<QAction>("actPlanView")->trigger();
    auto* view = Get<PlanView>("PlanView");
    const QImage image = view->grab().toImage();
    QCOMPARE(image.pixelColor(view->ToScreen(4040975.348, 195601.338).toPoint()) == QColor(150, 0, 150), kept);
    int legend = 0;  // in the top left corner, where no point is drawn
    for (int y = 8; y < 60; ++y)
      for (int x = 8; x < 30; ++x) legend += image.pixelColor(x, y) == QColor(150, 0, 150);
    QCOMPARE(legend > 0, kept);
  }

  // The label step: round, a multiple of the interval, leaving the room asked for.
  // Interval, room, step: every stake, every other, backwards, 50 is not a multiple of 20, below a
  // metre, no round multiple of 3.
  void roundStationStep() {
    const double rows[][3] = {{10, 3, 10}, {10, 12, 20}, {-10, 120, 200}, {20, 30, 100}, {0.5, 0.7, 1}, {3, 4, 6}};
    for (const auto& [interval, minimum, step] : rows) QCOMPARE(RoundStationStep(interval, minimum), step);
  }

  // The plan view beside the main window (1 px apart), clear of it where the screen has room.
  // Main window, screen, where the plan goes (640 x 480 wanted, 240 x 180 at least): right; at the
  // right edge, left; centred on 1024 x 768, below and lower; no room, right and on the screen.
  void placesPlanBeside() {
    const QRect rows[][3] = {{{100, 100, 661, 340}, {0, 0, 1920, 1080}, {761, 100, 640, 480}},
                             {{1259, 100, 661, 340}, {0, 0, 1920, 1080}, {619, 100, 640, 480}},
                             {{181, 214, 661, 340}, {0, 0, 1024, 768}, {181, 554, 640, 214}},
                             {{69, 130, 661, 340}, {0, 0, 800, 600}, {160, 120, 640, 480}}};
    for (const auto& [main, screen, placed] : rows)
      QCOMPARE(PlaceBeside(main, screen, QSize(640, 480), QSize(240, 180)), placed);
  }

  // Labels on every round station and on no other; the end point marked.
  void planLabelsRoundStations() {
    const quorvane::Calculation calc = FieldCalculation(1, 1);
    PlanView view(dialogs_, boxes_);
    view.ShowCalculation(calc);
    QList<double> steps;  // fewer labels as the plan gets smaller
    for (const int size : {600, 300}) {
      view.resize(size, size * 3 / 4);
      view.FitToWindow();
      const double step = view.LabelStep();
      QVERIFY2(step >= 5 && step <= 50 && (steps.isEmpty() || step > steps.last()), qPrintable(QString::number(step)));
      steps << step;
      QList<double> labelled, round;
      for (const int i : view.VisibleStakeLabels()) labelled << calc.stakes.stakeStation[static_cast<std::size_t>(i)];
      for (const double station : calc.stakes.stakeStation)
        if (std::fmod(station, step) == 0) round << station;
      QCOMPARE(labelled, round);
    }
    // The end, 0.365 m on from 0+250 (X 4041028.820, Y 195628.996) at 34°14′04″: a square's top edge 6 px above.
    const double az = (34 + 14 / 60.0 + 4 / 3600.0) * M_PI / 180;
    const QPoint end = view.ToScreen(4041028.820 + 0.365 * std::cos(az), 195628.996 + 0.365 * std::sin(az)).toPoint();
    const QImage image = view.grab().toImage();
    int dark = 0;
    for (int dy = -7; dy <= -5; ++dy) dark += image.pixelColor(end + QPoint(0, dy)).lightness() < 110;
    QVERIFY(dark > 0);
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
    QTest::addColumn<BendRow>("row");
    const double D = 250 - 180.108, a = kStartAzimuth_rad;  // no turn: straight along the start azimuth
    QTest::newRow("right turn") << BendRow{1, {4041028.820, 195628.996}, 1};
    QTest::newRow("left turn") << BendRow{-1, {4041033.2123, 195615.1267}, -1};
    QTest::newRow("no turn") << BendRow{0, {4040964.994 + D * std::cos(a), 195601.155 + D * std::sin(a)}, 0};
  }
  void bendsTheWayItTurns() {
    QFETCH(BendRow, row);
    const auto [turn, last, side] = row;
    const quorvane::Calculation calc = FieldCalculation(turn);
    PlanView view(dialogs_, boxes_);
    view.resize(600, 450);
    view.ShowCalculation(calc);
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

  // Right, then left, with lines typed before and inside: each report prints
  // under its own curve; typed lines print as they stand, not as table rows.
  void printsEachReportUnderItsOwnCurve() {
    Result()->setPlainText(QStringLiteral("复核：王工  2026-12-07  K0+180\n"));
    Calculate();
    Get<QLineEdit>("txtle")->setText(QStringLiteral("240"));
    Get<QRadioButton>("opn1")->click();
    Click(Get("cmd1"));
    QTextCursor row = Result()->document()->find(QStringLiteral("0+200"), Result()->document()->characterCount() - 1,
                                                 QTextDocument::FindBackward);
    row.setPosition(row.selectionStart());
    row.insertText(QStringLiteral("抽检 0+200 合格\n"));
    const auto [pages, pdf] = Print(static_cast<ResultBox*>(Result())->Pieces());
    const QString text = Squeezed(pdf);
    const qsizetype right = text.indexOf(QStringLiteral("终点桩号250.365")), left = text.indexOf(QStringLiteral("终点桩号240"));
    QVERIFY2(right >= 0 && left > right, qPrintable(pdf));
    QVERIFY(text.mid(right, left - right).contains(QStringLiteral("转向右转")));
    QVERIFY(text.mid(left).contains(QStringLiteral("转向左转")) && !text.mid(left).contains(QStringLiteral("转向右转")));
    QVERIFY2(pdf.contains(QRegularExpression(QStringLiteral("\\n抽检\\s{1,3}0\\+200\\s{1,3}合格\\n"))), qPrintable(pdf));
    // Every stake row of the first report once.
    for (const QString& line : WorkedBlock().split(u'\n', Qt::SkipEmptyParts).mid(3, 7))
      QVERIFY2(text.count(Squeezed(line)) == 1, qPrintable(line + u'\n' + pdf));
  }

  // Decimal points under one another; a number without one ends where it would be. Each cell and
  // the one below it in its table column: X, Y negative, a whole azimuth; the same in the second column.
  void alignsNumbersOnTheirPoint() {
    const QString box = QStringLiteral("           逐桩坐标显示：\n桩号      X坐标           Y坐标         方位角(度.分秒)\n"
                                       "0+000    12.5    -3.25    9\n0+010    1234.125    17.5    10.0102\n"
                                       "0+020    7    100.75    359.5959\n0+030    -45.2    8    1.01\n0+030\n");
    const QString pdf = Print({Report(box, FieldCalculation(1))}).second;
    const QStringList lines = pdf.split(u'\n');
    auto point = [&](const QString& cell) {  // line and column of its decimal point
      const QRegularExpression alone(QStringLiteral("(^|\\s)") + QRegularExpression::escape(cell) + QStringLiteral("(\\s|$)"));
      for (qsizetype i = 0; i < lines.size(); ++i) {
        const QRegularExpressionMatch m = alone.match(lines[i]);
        if (m.hasMatch()) {
          const qsizetype at = m.capturedStart() + m.capturedLength(1);
          return QPoint(static_cast<int>(cell.contains(u'.') ? at + cell.indexOf(u'.') : at + cell.size()), static_cast<int>(i));
        }
      }
      return QPoint(-1, -1);
    };
    for (const auto& [upper, lower] : {std::pair{"12.5", "1234.125"}, {"-3.25", "17.5"}, {"9", "10.0102"},
                                       {"7", "-45.2"}, {"100.75", "8"}, {"359.5959", "1.01"}}) {
      const QPoint a = point(upper), b = point(lower);
      QVERIFY2(a.y() >= 0 && b.y() == a.y() + 1 && a.x() == b.x(), qPrintable(upper + QStringLiteral("\n") + pdf));
    }
  }

  // A long table: two columns a page, whole rows, the heading and the curve
  // on every page, inside 15 mm margins; painting stops when asked.
  void longTablesRunInTwoColumnsWithinTheMargins() {
    QString box = QStringLiteral("           逐桩坐标显示：\n桩号      X坐标           Y坐标         方位角(度.分秒)\n");
    constexpr int kRows = 400;
    auto row = [](int i) {
      return QStringLiteral("%1+%2     %3.125     %4.5     %5.0102")
          .arg(i / 100).arg(i % 100 * 10).arg(4040000 + i).arg(195000 + i).arg(i % 90);
    };
    for (int i = 0; i < kRows; ++i) box += row(i) + u'\n';
    box += QStringLiteral("4+000\n");  // the end line
    const std::vector<BoxPiece> pieces{Report(box, FieldCalculation(1))};
    const auto [pages, text] = Print(pieces);
    QVERIFY2(pages >= 2 && pages <= 4, qPrintable(QString::number(pages)));  // one column a page would take seven
    const QStringList pageTexts = text.split(QChar(u'\f'), Qt::SkipEmptyParts);
    QCOMPARE(pageTexts.size(), pages);
    for (int p = 0; p < pages; ++p) {
      const QString page = Squeezed(pageTexts[p]);
      QVERIFY(page.contains(QStringLiteral("第%1页/共%2页").arg(p + 1).arg(pages)));
      QVERIFY2(page.count(QStringLiteral("桩号X坐标Y坐标")) == 2, qPrintable(page));  // over both columns
      QVERIFY(page.contains(QStringLiteral("转向右转")) && page.contains(QStringLiteral("续前页")) == (p > 0));
    }
    for (int i = 0; i < kRows; ++i) QVERIFY2(Squeezed(text).count(Squeezed(row(i))) == 1, qPrintable(row(i)));
    const QRegularExpression twoRows(QStringLiteral("^\\s*0\\+0\\s.*\\s\\d+\\+\\d+\\s"), QRegularExpression::MultilineOption);
    QVERIFY2(twoRows.match(pageTexts[0]).hasMatch(), qPrintable(pageTexts[0]));

    // Every word at least 15 mm (42.52 pt, less what pdftotext adds to a box) from the paper's edges.
    const QString boxes = Print(pieces, QStringLiteral("-bbox")).second;
    const QRegularExpression size(QStringLiteral("<page width=\"([\\d.]+)\" height=\"([\\d.]+)\""));
    const QRegularExpressionMatch paper = size.match(boxes);
    QVERIFY(paper.hasMatch());
    const double w = paper.captured(1).toDouble(), h = paper.captured(2).toDouble(), m = 42.3;
    const QRegularExpression word(QStringLiteral("xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\""));
    int words = 0;
    for (auto it = word.globalMatch(boxes); it.hasNext(); ++words) {
      const QRegularExpressionMatch b = it.next();
      QVERIFY2(b.captured(1).toDouble() >= m && b.captured(2).toDouble() >= m && b.captured(3).toDouble() <= w - m &&
                   b.captured(4).toDouble() <= h - m,
               qPrintable(b.captured(0)));
    }
    QVERIFY(words > kRows * 4);

    QTemporaryDir dir;
    const auto printer = PdfPrinter(dir);
    const PaintedPages stopped = PaintPages(*printer, pieces, QDate(2026, 12, 7), [](int done, int) { return done < 1; });
    QVERIFY(stopped.cancelled && stopped.pages == 1);
  }

  // A table is known by the layout it was appended with, not by the look of its lines: a side-stake
  // block repeats its heading over every table column; the same lines typed in print as they stand,
  // and the stake report's end line stays a line even when its echoed text has a blank in it.
  void tablesAreKnownByTheirLayout_data() {
    QTest::addColumn<bool>("sideTable");
    QTest::addColumn<int>("headingsOnFirstPage");
    QTest::newRow("side-stake block") << true << 2;
    QTest::newRow("the same lines typed in") << false << 1;
  }
  void tablesAreKnownByTheirLayout() {
    QFETCH(bool, sideTable);
    QFETCH(int, headingsOnFirstPage);
    QString box = QStringLiteral("           边桩坐标显示：\n桩号    左边桩X    左边桩Y\n");
    for (int i = 0; i < 200; ++i) box += QStringLiteral("0+%1    %2.125    %3.5\n").arg(i * 10).arg(4040000 + i).arg(195000 + i);
    const QString page = Squeezed(
        Print({Report(box, FieldCalculation(1), sideTable ? &quorvane::kSideStakeTable : nullptr)}).second.section(u'\f', 0, 0));
    QCOMPARE(page.count(QStringLiteral("桩号左边桩X左边桩Y")), headingsOnFirstPage);
  }
  void endLineWithABlankIsNoRow() {
    const QString box = QStringLiteral("           逐桩坐标显示：\n桩号      X坐标           Y坐标         方位角(度.分秒)\n"
                                       "0+000    12.5    -3.25    9\n0+010    1234.125    17.5    10.0102\n0+010 米\n");
    const QString pdf = Print({Report(box, FieldCalculation(1))}).second;
    // A row would stand in the table's columns, its second cell under X; the end line stands as typed.
    QVERIFY2(pdf.contains(QRegularExpression(QStringLiteral("\\n\\s*0\\+010 米\\n"))), qPrintable(pdf));
  }

  // A PDF that cannot be written says why and leaves no file; what stood there stays.
  void printFailuresLeaveNoFile_data() {
    QTest::addColumn<QString>("target");  // in an empty folder; "/" at the end: a folder of that name is there
    QTest::addColumn<QString>("cause");   // empty: printed
    QTest::newRow("printed") << "表.pdf" << "";
    QTest::newRow("missing folder") << "没有/表.pdf" << "文件夹不存在";
    QTest::newRow("a folder of that name") << "表.pdf/" << "同名的文件夹已存在";
  }
  void printFailuresLeaveNoFile() {
    QFETCH(QString, target);
    QFETCH(QString, cause);
    QTemporaryDir dir;
    const auto printer = PdfPrinter(dir);
    printer->setOutputFileName(dir.filePath(target.endsWith(u'/') ? target.chopped(1) : target));
    if (target.endsWith(u'/')) {
      QDir(dir.path()).mkpath(target);
      QVERIFY(WriteFile(dir.filePath(target + "keep"), "earlier"));
    }
    const bool printed = PrintPieces(nullptr, *printer, {Report(WorkedBlock(), FieldCalculation(1))}, boxes_, QDate(2026, 12, 7));
    QCOMPARE(printed, cause.isEmpty());
    QCOMPARE(boxes_.prompts, cause.isEmpty() ? QStringList() : QStringList{"无法保存文件“表.pdf”：" + cause + "。"});
    QCOMPARE(boxes_.titles, cause.isEmpty() ? QStringList() : QStringList{"保存失败"});
    QStringList files;
    for (QDirIterator it(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
      files << QDir(dir.path()).relativeFilePath(it.next());
    QCOMPARE(files, cause.isEmpty() ? QStringList{"表.pdf"} : target.endsWith(u'/') ? QStringList{"表.pdf/keep"} : QStringList());
    if (cause.isEmpty()) QVERIFY(Squeezed(PdfText(printer->outputFileName())).contains(QStringLiteral("0+25040")));
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
