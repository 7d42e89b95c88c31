// The plan view (which way the curve bends on screen, north up) and the
// printed stake table, read back from PDF with pdftotext.
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <optional>
#include <utility>

#include "calc/stakes.h"
#include "command/run_calculation.h"
#include "ui/file_dialogs.h"
#include "ui/message_boxes.h"
#include "ui/plan_view.h"
#include "ui/print_report.h"

namespace quorvane::ui {
namespace {

struct FakeDialogs : FileDialogs {
  QString SaveFileName(QWidget*, const QString&, const QString&, const QStringList&) override { return {}; }
  std::optional<QStringList> AskTexts(QWidget*, const QString&, const QStringList&) override { return {}; }
};

struct FakeBoxes : MessageBoxes {
  void Inform(QWidget*, const QString&, const QString&) override {}
  bool AskYesNo(QWidget*, const QString&, const QString&) override { return true; }
};

// The default boxes with interval 10 and the given turn.
Calculation FieldCalculation(int turn) {
  Calculation c;
  c.input = {4040964.994, 195601.155, 180.108, 250.365, 1500, 130, 17.3415, 10, static_cast<std::int16_t>(turn)};
  c.lbText = "180.108";
  c.aText = "17.3415";
  c.leText = "250.365";
  c.stakes = ComputeStakes(c.input);
  return c;
}

// 17 deg 34' 15" in radians, worked by hand.
const double kStartAzimuth_rad = (17 + 34 / 60.0 + 15 / 3600.0) * M_PI / 180;

// pdftotext keeps or drops the blanks next to Chinese characters as it sees fit.
QString Squeezed(QString text) { return text.remove(QRegularExpression(QStringLiteral("\\s"))); }

// Prints `box` to an A4 PDF: the page count, and the text pdftotext reads.
std::pair<int, QString> Print(const QString& box, const Calculation* calc) {
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

class ExportViewTest : public QObject {
  Q_OBJECT

 private slots:
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
    const Calculation calc = FieldCalculation(turn);
    FakeDialogs dialogs;
    FakeBoxes boxes;
    PlanView view(dialogs, boxes);
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

  void printsHeaderAndEveryRowToPdf() {
    QFile file(QStringLiteral(QUORVANE_WORKED_BLOCK));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString block = QString::fromUtf8(file.readAll());
    const Calculation calc = FieldCalculation(1);
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

}  // namespace quorvane::ui

QTEST_MAIN(quorvane::ui::ExportViewTest)
#include "export_view_test.moc"
