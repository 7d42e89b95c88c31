// The plan view (which way the curve bends on screen, zoom, pan, fit, PNG)
// and the printed stake table (read back from PDF with pdftotext).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <cmath>
#include <optional>

#include "calc/stakes.h"
#include "command/run_calculation.h"
#include "ui/file_dialogs.h"
#include "ui/message_boxes.h"
#include "ui/plan_view.h"
#include "ui/print_report.h"

namespace quorvane::ui {
namespace {

class FakeDialogs : public FileDialogs {
 public:
  QString answer;  // empty: cancel
  QString proposed;
  QString SaveFileName(QWidget*, const QString&, const QString& proposedName, const QStringList&) override {
    proposed = proposedName;
    return answer;
  }
  std::optional<QStringList> AskTexts(QWidget*, const QString&, const QStringList&) override { return {}; }
};

class FakeBoxes : public MessageBoxes {
 public:
  QStringList informed;
  void Inform(QWidget*, const QString& prompt, const QString&) override { informed << prompt; }
  bool AskYesNo(QWidget*, const QString&, const QString&) override { return true; }
};

// The default boxes with interval 10 and the given turn.
Calculation FieldCalculation(std::int16_t turn) {
  Calculation c;
  c.input = {4040964.994, 195601.155, 180.108, 250.365, 1500, 130, 17.3415, 10, turn};
  c.lbText = "180.108";
  c.aText = "17.3415";
  c.leText = "250.365";
  c.stakes = ComputeStakes(c.input);
  return c;
}

// 17 deg 34' 15" in radians, worked by hand.
const double kStartAzimuth_rad = (17 + 34 / 60.0 + 15 / 3600.0) * M_PI / 180;

// Signed distance in pixels of `p` from the line through `from` along
// `direction`, positive on the right of it as the eye sees the screen (whose
// y axis points down).
double RightOfLine(QPointF from, QPointF direction, QPointF p) {
  const QPointF v = p - from;
  const double length = std::hypot(direction.x(), direction.y());
  return (direction.x() * v.y() - direction.y() * v.x()) / length;
}

std::optional<QString> PdfText(const QString& pdf) {
  QProcess process;
  process.start(QStringLiteral(QUORVANE_PDFTOTEXT), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return std::nullopt;
  return QString::fromUtf8(process.readAllStandardOutput());
}

QString WorkedBlock() {
  QFile file(QStringLiteral(QUORVANE_WORKED_BLOCK));
  if (!file.open(QIODevice::ReadOnly)) qFatal("cannot read %s", QUORVANE_WORKED_BLOCK);
  return QString::fromUtf8(file.readAll());
}

// The text with every blank removed: pdftotext keeps or drops the blanks
// next to Chinese characters as it sees fit.
QString Squeezed(const QString& text) {
  QString out = text;
  out.remove(QRegularExpression(QStringLiteral("\\s")));
  return out;
}

// A pattern for a printed row: its columns in order with blanks between.
QRegularExpression RowPattern(const QString& line) {
  QStringList parts;
  for (const QString& col : SplitColumns(line)) {
    // pdftotext may put a blank where the font changes inside a column (X坐标).
    QStringList chars;
    for (const QChar c : col) chars << QRegularExpression::escape(QString(c));
    parts << chars.join(QStringLiteral("\\s?"));
  }
  return QRegularExpression(QStringLiteral("(?<!\\S)") + parts.join(QStringLiteral("\\s+")) + QStringLiteral("(?!\\S)"));
}

}  // namespace

class ExportViewTest : public QObject {
  Q_OBJECT

 private slots:
  void bendsTheWayItTurns_data();
  void bendsTheWayItTurns();
  void northUpEastRight_data();
  void northUpEastRight();
  void zoomKeepsThePointUnderTheMouse();
  void dragPansAndFitRestores();
  void labelsThinWhenZoomedOut();
  void drawsSidePointsOnTheirSide();
  void savesWhatItShowsAsPng();
  void theLargestCalculationDrawsQuickly();
  void splitColumns_data();
  void splitColumns();
  void printsHeaderAndEveryRowToPdf();
  void longTablesBreakBetweenRowsWithPageNumbers();
};

void ExportViewTest::bendsTheWayItTurns_data() {
  QTest::addColumn<int>("turn");
  QTest::addColumn<double>("lastX");  // last stake, from the printed tables
  QTest::addColumn<double>("lastY");
  QTest::addColumn<int>("side");  // +1 right of the start tangent, -1 left, 0 on it
  // No turn: a straight line 69.892 m along the start azimuth.
  const double D = 250 - 180.108;
  QTest::newRow("right turn") << 1 << 4041028.820 << 195628.996 << 1;
  QTest::newRow("left turn") << -1 << 4041033.2123 << 195615.1267 << -1;
  QTest::newRow("no turn") << 0 << 4040964.994 + D * std::cos(kStartAzimuth_rad)
                           << 195601.155 + D * std::sin(kStartAzimuth_rad) << 0;
}

void ExportViewTest::bendsTheWayItTurns() {
  QFETCH(int, turn);
  QFETCH(double, lastX);
  QFETCH(double, lastY);
  QFETCH(int, side);
  FakeDialogs dialogs;
  FakeBoxes boxes;
  PlanView view(dialogs, boxes);
  view.resize(600, 450);
  const Calculation calc = FieldCalculation(static_cast<std::int16_t>(turn));
  view.ShowCalculation(calc);
  QVERIFY(view.HasCalculation());
  const std::size_t last = calc.stakes.stakeX.size() - 1;
  // The stake drawn is the stake of the printed table.
  QVERIFY(std::fabs(calc.stakes.stakeX[last] - lastX) < 0.001);
  QVERIFY(std::fabs(calc.stakes.stakeY[last] - lastY) < 0.001);

  const QPointF start = view.ToScreen(calc.input.Xa, calc.input.Ya);
  const QPointF ahead =
      view.ToScreen(calc.input.Xa + std::cos(kStartAzimuth_rad), calc.input.Ya + std::sin(kStartAzimuth_rad));
  const QPointF end = view.ToScreen(lastX, lastY);
  const double right_px = RightOfLine(start, ahead - start, end);
  if (side == 0) {
    QVERIFY2(std::fabs(right_px) < 0.5, qPrintable(QString::number(right_px)));
  } else {
    QVERIFY2(right_px * side > 20, qPrintable(QString::number(right_px)));
  }
  // And a stake dot is drawn there, inside the window.
  QVERIFY(view.rect().contains(end.toPoint()));
  const QImage image = view.grab().toImage();
  const QColor at = image.pixelColor(end.toPoint());
  QVERIFY2(at.red() > 150 && at.green() < 100 && at.blue() < 100, qPrintable(at.name()));
}

void ExportViewTest::northUpEastRight_data() {
  QTest::addColumn<double>("dX");  // metres north
  QTest::addColumn<double>("dY");  // metres east
  QTest::addColumn<int>("right");  // expected screen direction: +1 right / down
  QTest::addColumn<int>("down");
  QTest::newRow("north is up") << 10.0 << 0.0 << 0 << -1;
  QTest::newRow("east is right") << 0.0 << 10.0 << 1 << 0;
  QTest::newRow("south is down") << -10.0 << 0.0 << 0 << 1;
  QTest::newRow("west is left") << 0.0 << -10.0 << -1 << 0;
}

void ExportViewTest::northUpEastRight() {
  QFETCH(double, dX);
  QFETCH(double, dY);
  QFETCH(int, right);
  QFETCH(int, down);
  FakeDialogs dialogs;
  FakeBoxes boxes;
  PlanView view(dialogs, boxes);
  view.resize(500, 500);
  view.ShowCalculation(FieldCalculation(1));
  const QPointF from = view.ToScreen(4041000, 195610);
  const QPointF step = view.ToScreen(4041000 + dX, 195610 + dY) - from;
  // To scale: 10 m is 10 m whichever way.
  const double expected_px = 10 / view.MetresPerPixel();
  QVERIFY(std::fabs(step.x() - right * expected_px) < 1e-6 * expected_px);
  QVERIFY(std::fabs(step.y() - down * expected_px) < 1e-6 * expected_px);
}

void ExportViewTest::zoomKeepsThePointUnderTheMouse() {
  FakeDialogs dialogs;
  FakeBoxes boxes;
  PlanView view(dialogs, boxes);
  view.resize(600, 450);
  const Calculation calc = FieldCalculation(1);
  view.ShowCalculation(calc);
  const double before = view.MetresPerPixel();
  const QPointF mouse = view.ToScreen(calc.stakes.stakeX[2], calc.stakes.stakeY[2]);
  QWheelEvent wheel(mouse, view.mapToGlobal(mouse), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&view, &wheel);
  QVERIFY(std::fabs(view.MetresPerPixel() - before / (1.25 * 1.25)) < 1e-9 * before);
  const QPointF after = view.ToScreen(calc.stakes.stakeX[2], calc.stakes.stakeY[2]);
  QVERIFY2(std::hypot(after.x() - mouse.x(), after.y() - mouse.y()) < 1e-6,
           qPrintable(QStringLiteral("%1,%2 -> %3,%4").arg(mouse.x()).arg(mouse.y()).arg(after.x()).arg(after.y())));
}

void ExportViewTest::dragPansAndFitRestores() {
  struct Fit {
    const char* name;
    std::function<void(PlanView&)> action;
  };
  const Fit fits[] = {
      {"F", [](PlanView& v) { QTest::keyClick(&v, Qt::Key_F); }},
      {"Home", [](PlanView& v) { QTest::keyClick(&v, Qt::Key_Home); }},
      {"double click", [](PlanView& v) { QTest::mouseDClick(&v, Qt::LeftButton, {}, QPoint(100, 100)); }},
  };
  for (const Fit& fit : fits) {
    FakeDialogs dialogs;
    FakeBoxes boxes;
    PlanView view(dialogs, boxes);
    view.resize(600, 450);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const Calculation calc = FieldCalculation(-1);
    view.ShowCalculation(calc);
    const QPointF fitted = view.ToScreen(calc.input.Xa, calc.input.Ya);
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(200, 200));
    QTest::mouseMove(&view, QPoint(230, 220));
    QTest::mouseMove(&view, QPoint(260, 240));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(260, 240));
    const QPointF panned = view.ToScreen(calc.input.Xa, calc.input.Ya);
    QVERIFY2(std::fabs(panned.x() - fitted.x() - 60) < 1e-6 && std::fabs(panned.y() - fitted.y() - 40) < 1e-6,
             fit.name);
    fit.action(view);
    const QPointF back = view.ToScreen(calc.input.Xa, calc.input.Ya);
    QVERIFY2(std::hypot(back.x() - fitted.x(), back.y() - fitted.y()) < 1e-6, fit.name);
  }
}

void ExportViewTest::labelsThinWhenZoomedOut() {
  FakeDialogs dialogs;
  FakeBoxes boxes;
  PlanView view(dialogs, boxes);
  view.resize(600, 450);
  const Calculation calc = FieldCalculation(1);
  view.ShowCalculation(calc);
  QCOMPARE(view.VisibleStakeLabels().size(), static_cast<std::size_t>(calc.stakes.n));
  const QPointF centre(300, 225);
  QWheelEvent wheel(centre, view.mapToGlobal(centre), QPoint(), QPoint(0, -120 * 8), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(&view, &wheel);
  const std::vector<int> shown = view.VisibleStakeLabels();
  QVERIFY(!shown.empty());
  QVERIFY(shown.size() < static_cast<std::size_t>(calc.stakes.n));
  QCOMPARE(shown.front(), 0);
}

void ExportViewTest::drawsSidePointsOnTheirSide() {
  // Due north along a straight: the left edge is west, the right edge east.
  Calculation calc;
  calc.input = {1000, 500, 0, 20, 0, 0, 0, 10, 0};
  calc.lbText = calc.aText = "0";
  calc.leText = "20";
  calc.stakes = ComputeStakes(calc.input);
  SideStakeTable sides;
  sides.leftWidth_m = 5;
  sides.rightWidth_m = 8;
  sides.station = {10, 20};
  sides.left = {{1010, 495, 0}, {1020, 495, 0}};
  sides.right = {{1010, 508, 0}, {1020, 508, 0}};
  FakeDialogs dialogs;
  FakeBoxes boxes;
  PlanView view(dialogs, boxes);
  view.resize(400, 400);
  view.ShowCalculation(calc, &sides);
  const QImage image = view.grab().toImage();
  struct Probe {
    const char* name;
    CurvePoint point;
    int side;  // -1 left of the stake on screen, +1 right
    bool purple;
  };
  const Probe probes[] = {{"left 0+10", sides.left[0], -1, true},
                          {"left 0+20", sides.left[1], -1, true},
                          {"right 0+10", sides.right[0], 1, false},
                          {"right 0+20", sides.right[1], 1, false}};
  for (const Probe& probe : probes) {
    const QPointF at = view.ToScreen(probe.point.X, probe.point.Y);
    const QPointF stake = view.ToScreen(probe.point.X, 500);
    QVERIFY2((at.x() - stake.x()) * probe.side > 10, probe.name);
    QVERIFY2(std::fabs(at.y() - stake.y()) < 1e-6, probe.name);
    QVERIFY2(view.rect().contains(at.toPoint()), probe.name);  // the fit takes them in
    const QColor colour = image.pixelColor(at.toPoint());
    // Left edge purple (red and blue), right edge teal (green and blue).
    QVERIFY2(colour.blue() > 100 && (probe.purple ? colour.red() > 100 && colour.green() < 60
                                                  : colour.green() > 100 && colour.red() < 60),
             qPrintable(QString::fromLatin1(probe.name) + QLatin1Char(' ') + colour.name()));
  }
}

void ExportViewTest::savesWhatItShowsAsPng() {
  QTemporaryDir dir;
  struct Case {
    const char* name;
    QString answer;
    QString written;  // empty: nothing written
    bool saved;
  };
  const Case cases[] = {
      {"named .png", dir.filePath(QStringLiteral("曲线.png")), dir.filePath(QStringLiteral("曲线.png")), true},
      {"no extension", dir.filePath(QStringLiteral("plan")), dir.filePath(QStringLiteral("plan.png")), true},
      {"cancelled", QString(), QString(), false},
      {"unwritable", dir.filePath(QStringLiteral("missing/plan.png")), QString(), false},
  };
  for (const Case& c : cases) {
    FakeDialogs dialogs;
    FakeBoxes boxes;
    dialogs.answer = c.answer;
    PlanView view(dialogs, boxes);
    view.resize(320, 240);
    view.ShowCalculation(FieldCalculation(1));
    QCOMPARE(view.SaveImage(), c.saved);
    QCOMPARE(dialogs.proposed, QStringLiteral("平面图.png"));
    if (!c.written.isEmpty()) {
      QImage image;
      QVERIFY2(image.load(c.written, "PNG"), c.name);
      QCOMPARE(image.size(), view.size() * view.devicePixelRatio());
    }
    // A failure the user asked for is said; a cancel is not.
    QCOMPARE(boxes.informed.size(), !c.saved && !c.answer.isEmpty() ? 1 : 0);
  }
}

void ExportViewTest::theLargestCalculationDrawsQuickly() {
  FakeDialogs dialogs;
  FakeBoxes boxes;
  PlanView view(dialogs, boxes);
  view.resize(600, 450);
  Calculation calc;
  calc.input = {1000, 2000, 0, 32767, 0, 500, 90, 1, 1};  // 32,767 stakes, easing into a 500 m arc
  calc.lbText = "0";
  calc.aText = "90";
  calc.leText = "32767";
  calc.stakes = ComputeStakes(calc.input);
  QCOMPARE(static_cast<int>(calc.stakes.n), 32767);
  QElapsedTimer timer;
  timer.start();
  view.ShowCalculation(calc);
  const QImage image = view.grab().toImage();
  const std::vector<int> labels = view.VisibleStakeLabels();
  qInfo("drawn in %lld ms", static_cast<long long>(timer.elapsed()));
  QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
  QVERIFY(!labels.empty() && labels.size() < 500);
}

void ExportViewTest::splitColumns_data() {
  QTest::addColumn<QString>("line");
  QTest::addColumn<QStringList>("columns");
  QTest::newRow("stake row") << QStringLiteral("0+190     4040974.41     195604.188     18.1344")
                             << QStringList{"0+190", "4040974.41", "195604.188", "18.1344"};
  QTest::newRow("title") << QStringLiteral("           逐桩坐标显示：") << QStringList{QStringLiteral("逐桩坐标显示：")};
  QTest::newRow("negative and tabs") << QStringLiteral("-1+990\t-12.5  \u3000 7") << QStringList{"-1+990", "-12.5", "7"};
  QTest::newRow("blank") << QStringLiteral("    ") << QStringList{};
}

void ExportViewTest::splitColumns() {
  QFETCH(QString, line);
  QFETCH(QStringList, columns);
  QCOMPARE(SplitColumns(line), columns);
}

void ExportViewTest::printsHeaderAndEveryRowToPdf() {
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("table.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  printer.setPageSize(QPageSize(QPageSize::A4));
  const Calculation calc = FieldCalculation(1);
  // The box as the window holds it: a typed note, then the block.
  const QString box = QStringLiteral("复核：王工\n") + WorkedBlock();
  QCOMPARE(PrintResult(printer, box, &calc, QDate(2026, 12, 7)), 1);
  const std::optional<QString> text = PdfText(pdf);
  QVERIFY(text.has_value());
  for (const QString& expected :
       {QStringLiteral("Quorvane"), QStringLiteral("2026-12-07"), QStringLiteral("第 1 页 / 共 1 页"),
        QStringLiteral("起点桩号 180.108"), QStringLiteral("终点桩号 250.365"), QStringLiteral("起点半径 1500"),
        QStringLiteral("终点半径 130"), QStringLiteral("起点 X 4040964.994"), QStringLiteral("Y 195601.155"),
        QStringLiteral("起点方位角 17.3415"), QStringLiteral("桩距 10"), QStringLiteral("转向 右转"),
        QStringLiteral("复核：王工")}) {
    QVERIFY2(Squeezed(*text).contains(Squeezed(expected)), qPrintable(expected + QStringLiteral("\n---\n") + *text));
  }
  // Every line of the box, columns in order, each once below the header.
  const QString body = text->mid(text->indexOf(QStringLiteral("复核")));
  for (const QString& line : WorkedBlock().split(QRegularExpression(QStringLiteral("\r?\n")), Qt::SkipEmptyParts)) {
    QVERIFY2(body.count(RowPattern(line)) == 1, qPrintable(line));
  }
}

void ExportViewTest::longTablesBreakBetweenRowsWithPageNumbers() {
  // 300 stakes: several pages.
  QString box = QStringLiteral("           逐桩坐标显示：\n桩号      X坐标           Y坐标         方位角(度.分秒)\n");
  constexpr int kRows = 300;
  for (int i = 0; i < kRows; ++i) {
    box += QStringLiteral("%1+%2     %3.125     %4.5     %5.0102\n").arg(i / 100).arg(i % 100 * 10).arg(4040000 + i).arg(195000 + i).arg(i % 90);
  }
  QTemporaryDir dir;
  const QString pdf = dir.filePath(QStringLiteral("long.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(pdf);
  printer.setPageSize(QPageSize(QPageSize::A4));
  const int pages = PrintResult(printer, box, nullptr, QDate(2026, 12, 7));
  QVERIFY(pages >= 3);
  const std::optional<QString> text = PdfText(pdf);
  QVERIFY(text.has_value());
  const QStringList pageTexts = text->split(QChar(u'\f'), Qt::SkipEmptyParts);
  QCOMPARE(pageTexts.size(), pages);
  int next = 0;  // the row expected next, in order over the pages
  for (int p = 0; p < pages; ++p) {
    const QString& page = pageTexts[p];
    QVERIFY(Squeezed(page).contains(QStringLiteral("第%1页/共%2页").arg(p + 1).arg(pages)));
    // Each page carries the column heading.
    QVERIFY2(page.contains(QRegularExpression(QStringLiteral("桩号\\s+X坐标\\s+Y坐标"))), qPrintable(page));
    while (next < kRows && page.contains(RowPattern(QStringLiteral("%1+%2 %3.125 %4.5")
                                                        .arg(next / 100)
                                                        .arg(next % 100 * 10)
                                                        .arg(4040000 + next)
                                                        .arg(195000 + next)))) {
      ++next;
    }
  }
  QCOMPARE(next, kRows);
}

}  // namespace quorvane::ui

QTEST_MAIN(quorvane::ui::ExportViewTest)
#include "export_view_test.moc"
