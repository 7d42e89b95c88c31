// The 路线 window's field work on Qt's offscreen platform: the 横断面 table
// (its refusals beside their rows, the edges it gives the stakes, the plan
// and 坐标反算), the 放样 tab (stakes and a typed point set out from a
// station, its refusals, LandXML points read back with lxml) and the
// standard tables printed to PDF and read back with pdftotext. Every number
// is worked by hand or with mpmath (atan2 and hypot at 40 digits), on a
// straight line running north from (0, 0) at K0+000 for 100 m over a flat
// profile at 100 m, with the table
//   K0+000: 3 m, 3 m, -2 %, -2 %;  K0+100: 5 m, 3 m, +4 %, -4 %, 高次,
// so at a share k of the way the left width is 3 + 2(4k³ - 3k⁴), the left
// slope -2 + 6k and the right slope -2 - 2k.
#include <QtTest>
#include <QtWidgets>

#include "fakes.h"
#include "grid_rows.h"
#include "pdf_reading.h"
#include "ui/line/cross_section_tab.h"
#include "ui/line/grid_model.h"
#include "ui/line/line_window.h"
#include "ui/line/road_tables_print.h"
#include "ui/line/setout_tab.h"
#include "ui/line/stake_model.h"

using namespace quorvane::ui;

namespace {

using testing::FakeBoxes;
using testing::FakeDialogs;
using testing::PdfText;
using testing::RowTexts;
using testing::SetRows;
using testing::Squeezed;
using testing::TextRow;
using testing::WriteFile;

const QString kStraight = QStringLiteral("直线|100");
const QString kTable = QStringLiteral("0|3|3|-2|-2;100|5|3|4|-4|高次");

// A cell of the stake table by its station and column title.
QString StakeCell(const StakeModel& stakes, const QString& station, const QString& title) {
  const int column = static_cast<int>(stakes.Titles().indexOf(title));
  for (int row = 0; row < stakes.rowCount(); ++row)
    if (stakes.Texts(row).front() == station) return stakes.Texts(row).value(column);
  return QStringLiteral("(no stake %1)").arg(station);
}

// A row of a result table by its first cell, as "a,b,c".
QString RowNamed(const QStandardItemModel& model, const QString& name) {
  for (const QString& row : RowTexts(model))
    if (row.section(u',', 0, 0) == name) return row;
  return QStringLiteral("(no row %1)").arg(name);
}

}  // namespace

struct RefusalRow { QString elements, table; int row; QString says; };  // row -1: the error under the table only
struct TablesRow { bool jd, profile; QStringList found, absent; };
struct StationRow { QString backsight, stationX, says; };

class LineFieldTest : public QObject {
  Q_OBJECT

  FakeBoxes boxes_;
  FakeDialogs dialogs_;
  QPointer<LineWindow> window_;
  QTemporaryDir dir_;

  LineWindow& Window() { return *window_; }
  void Type(const char* name, const QString& text) {
    auto* box = Window().findChild<QLineEdit*>(QString::fromLatin1(name));
    QVERIFY2(box != nullptr, name);
    box->setText(text);
  }
  // The straight line, its profile and the table above, staked every 25 m.
  void StakeWithTable() {
    SetRows(Window().StartTable(), QStringLiteral("0|0|0|0"));
    SetRows(Window().ElementTable(), kStraight);
    SetRows(Window().ProfileTable(), QStringLiteral("0|100;100|100"));
    SetRows(Window().CrossSectionPage().Table(), kTable);
    Type("interval", QStringLiteral("25"));
    Window().Recompute();
    QVERIFY(Window().ComputeStakes());
  }
  void TypeStation(const QString& backsight) {
    Type("setoutStationX", QStringLiteral("0"));
    Type("setoutStationY", QStringLiteral("-10"));
    const QStringList xy = backsight.split(u',');
    Type("setoutBacksightX", xy.value(0));
    Type("setoutBacksightY", xy.value(1));
    Type("setoutGround", QStringLiteral("99.5"));
    Type("setoutInstrument", QStringLiteral("1.5"));
    Type("setoutTarget", QStringLiteral("2.0"));
  }

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
  void init() {
    boxes_ = {};
    dialogs_ = {};
    window_ = new LineWindow(boxes_, dialogs_);
    window_->show();
  }
  void cleanup() {
    window_->Undo().setClean();
    delete window_.data();
  }

  // A table that cannot be used says why beside the row at fault, and gives
  // no cross-section; an inside edge reaching the centre of curvature names
  // its station under the table.
  void refusals_data() {
    QTest::addColumn<RefusalRow>("row");
    QTest::newRow("usable") << RefusalRow{kStraight, kTable, -1, ""};
    QTest::newRow("negative width") << RefusalRow{kStraight, "0|3|-1|-2|-2", 0, "宽度不能为负数"};
    QTest::newRow("letter O in a number") << RefusalRow{kStraight, "0|3|3|-2|-2;5O|3|3|2|2", 1, "不是有效数字"};
    QTest::newRow("unit after a slope") << RefusalRow{kStraight, "0|3|3|-2%|-2", 0, "不是有效数字"};
    QTest::newRow("station going back") << RefusalRow{kStraight, "50|3|3|-2|-2;K0+020|3|3|-2|-2", 1, "应大于上一行"};
    QTest::newRow("same station twice") << RefusalRow{kStraight, "50|3|3|-2|-2;50|4|3|-2|-2", 1, "应大于上一行"};
    QTest::newRow("unknown transition") << RefusalRow{kStraight, "0|3|3|-2|-2|缓", 0, "过渡"};
    QTest::newRow("off the line") << RefusalRow{kStraight, "0|3|3|-2|-2;K0+500|3|3|-2|-2", 1, "路线"};
    // An arc of radius 20 turning right: 25 m on the right passes its centre.
    QTest::newRow("inside edge past the centre") << RefusalRow{"直线|50;圆曲线|30|20|20|右", "0|3|25|-2|-2", -1, "曲率中心"};
    QTest::newRow("outside edge may be wider") << RefusalRow{"直线|50;圆曲线|30|20|20|右", "0|25|3|-2|-2", -1, ""};
  }
  void refusals() {
    QFETCH(RefusalRow, row);
    SetRows(Window().StartTable(), QStringLiteral("0|0|0|0"));
    SetRows(Window().ElementTable(), row.elements);
    CrossSectionTab& tab = Window().CrossSectionPage();
    SetRows(tab.Table(), row.table);
    Window().Recompute();
    QCOMPARE(tab.Section().has_value(), row.says.isEmpty());
    QVERIFY2(tab.Error().contains(row.says), qPrintable(tab.Error()));
    for (int r = 0; r < tab.Table().rowCount(); ++r) {
      const QString beside = tab.Table().RowError(r);
      QVERIFY2(r == row.row ? beside.contains(row.says) : beside.isEmpty(), qPrintable(QString::number(r) + beside));
    }
    // 计算 refuses to stake with a table in error rather than drop the table.
    QCOMPARE(Window().ComputeStakes(), row.says.isEmpty());
    if (!row.says.isEmpty()) QVERIFY(boxes_.prompts.last().contains(row.says));
  }

  // Edge points and heights of the stakes follow the table: widths by the
  // higher-order curve, slopes linearly, turning about the design line.
  void edges_data() {
    QTest::addColumn<QString>("station");
    QTest::addColumn<QString>("edges");  // left Y, left H, right Y, right H
    TextRow("first row", {"K0+000.000", "-3.000,99.940,3.000,99.940"});
    TextRow("k 1/4", {"K0+025.000", "-3.102,99.984,3.000,99.925"});
    TextRow("k 1/2", {"K0+050.000", "-3.625,100.036,3.000,99.910"});
    TextRow("k 3/4", {"K0+075.000", "-4.477,100.112,3.000,99.895"});
    TextRow("last row", {"K0+100.000", "-5.000,100.200,3.000,99.880"});
  }
  void edges() {
    QFETCH(QString, station);
    StakeWithTable();
    const StakeModel& stakes = Window().Stakes();
    QCOMPARE(StakeCell(stakes, station, QStringLiteral("左边桩X")), StakeCell(stakes, station, QStringLiteral("X")));
    QStringList edges;
    for (const char* title : {"左边桩Y", "左边桩H", "右边桩Y", "右边桩H"}) edges << StakeCell(stakes, station, title);
    QTEST(edges.join(u','), "edges");
  }

  // Emptying the table goes back to the widths typed on 逐桩坐标, and the
  // plan draws the edge points the stakes have.
  void tableEmptied() {
    StakeWithTable();
    auto* plan = Window().findChild<RoutePlanView*>(QStringLiteral("planView"));
    plan->resize(400, 400);
    plan->FitToWindow();
    QImage drawn(plan->size(), QImage::Format_ARGB32);
    plan->render(&drawn);
    // The left edge at K0+100 lies 5 m out: a dot there, none 3 m out.
    const auto inked = [&](double X, double Y) {
      const QPoint at = plan->ToScreen(X, Y).toPoint();
      return qGray(drawn.pixel(at)) < 200;
    };
    QVERIFY(inked(100, -5));
    QVERIFY(!inked(100, -3.8));
    SetRows(Window().CrossSectionPage().Table(), QString());
    Type("leftWidth", QStringLiteral("2"));
    Window().Recompute();
    QVERIFY(Window().ComputeStakes());
    QCOMPARE(StakeCell(Window().Stakes(), QStringLiteral("K0+050.000"), QStringLiteral("左边桩Y")), "-2.000");
    QCOMPARE(Window().Stakes().Titles().indexOf(QStringLiteral("右边桩Y")), -1);
  }

  // 坐标反算: the design height at a point's offset from its own side's
  // slope at its station.
  void locatedHeight_data() {
    QTest::addColumn<QString>("Y");
    QTest::addColumn<QString>("design");
    TextRow("left, +1 % at K0+050", {"-3", "100.030"});
    TextRow("right, -3 % at K0+050", {"2", "99.940"});
    TextRow("on the line", {"0", "100.000"});
    TextRow("past the left edge, same slope", {"-10", "100.100"});
  }
  void locatedHeight() {
    QFETCH(QString, Y);
    StakeWithTable();
    Type("pointX", QStringLiteral("50"));
    Type("pointY", Y);
    Window().LocateTyped();
    QTEST(Window().Located().index(0, 5).data().toString(), "design");
  }

  // Setting out every stake from a station at (0, -10) sighting (100, -10)
  // due north: the angle equals the azimuth. 高差 = H - (99.5 + 1.5 - 2.0).
  void setoutStakes_data() {
    QTest::addColumn<QString>("row");
    TextRow("centre", {"K0+050.000,50.000,0.000,11.1836,50.990,11.1836,100.000,1.000"});
    TextRow("left edge", {"K0+050.000L,50.000,-3.625,7.1558,50.405,7.1558,100.036,1.036"});
    TextRow("right edge", {"K0+050.000R,50.000,3.000,14.3427,51.662,14.3427,99.910,0.910"});
    TextRow("widening left edge", {"K0+025.000L,25.000,-3.102,15.2534,25.934,15.2534,99.984,0.984"});
    TextRow("due east of the station", {"K0+000.000,0.000,0.000,90.0000,10.000,90.0000,100.000,1.000"});
  }
  void setoutStakes() {
    QFETCH(QString, row);
    StakeWithTable();
    TypeStation(QStringLiteral("100,-10"));
    QVERIFY(Window().SetoutPage().Compute());
    QCOMPARE(Window().SetoutPage().Results().rowCount(), 15);
    QCOMPARE(RowNamed(Window().SetoutPage().Results(), row.section(u',', 0, 0)), row);
  }

  // Only the stakes selected on 逐桩坐标, when asked.
  void setoutSelected() {
    StakeWithTable();
    TypeStation(QStringLiteral("100,-10"));
    auto* view = Window().findChild<QTableView*>(QStringLiteral("stakeTable"));
    view->selectRow(2);
    Window().findChild<QCheckBox*>(QStringLiteral("setoutSelectedOnly"))->setChecked(true);
    QVERIFY(Window().SetoutPage().Compute());
    QCOMPARE(Window().SetoutPage().Results().rowCount(), 3);
    QCOMPARE(Window().SetoutPage().Results().index(0, 0).data().toString(), Window().Stakes().Texts(2).front());
  }

  // A point typed as station and offset, the backsight due south: the
  // angle is the azimuth less 180°.
  void setoutPoint_data() {
    QTest::addColumn<QString>("offset");
    QTest::addColumn<QString>("row");
    TextRow("right of K0+050", {"2", "K0+050.000R2.000,50.000,2.000,13.2945,51.420,193.2945,99.940,0.940"});
    TextRow("left of K0+050", {"-3", "K0+050.000L3.000,50.000,-3.000,7.5811,50.488,187.5811,100.030,1.030"});
    TextRow("on the line", {"", "K0+050.000,50.000,0.000,11.1836,50.990,191.1836,100.000,1.000"});
  }
  void setoutPoint() {
    QFETCH(QString, offset);
    QFETCH(QString, row);
    StakeWithTable();
    TypeStation(QStringLiteral("-50,-10"));
    Type("setoutPointStation", QStringLiteral("K0+050"));
    Type("setoutPointOffset", offset);
    QVERIFY(Window().SetoutPage().ComputePoint());
    QCOMPARE(RowNamed(Window().SetoutPage().Results(), row.section(u',', 0, 0)), row);
    QVERIFY(Window().SetoutPage().PointText().contains(row.section(u',', 6, 6)));
  }

  // Each refusal in one message box, and no rows.
  void setoutRefusals_data() {
    QTest::addColumn<StationRow>("row");
    QTest::newRow("no backsight") << StationRow{",", "0", "后视点坐标不是有效数字"};
    QTest::newRow("backsight on the station") << StationRow{"0.0005,-10", "0", "重合"};
    QTest::newRow("letter O in the station") << StationRow{"100,-10", "1O", "测站坐标不是有效数字"};
    QTest::newRow("no station") << StationRow{"100,-10", "", "测站坐标不是有效数字"};
  }
  void setoutRefusals() {
    QFETCH(StationRow, row);
    StakeWithTable();
    TypeStation(row.backsight);
    Type("setoutStationX", row.stationX);
    QVERIFY(!Window().SetoutPage().Compute());
    QCOMPARE(boxes_.prompts.size(), 1);
    QVERIFY2(boxes_.prompts.front().contains(row.says), qPrintable(boxes_.prompts.front()));
    QCOMPARE(Window().SetoutPage().Results().rowCount(), 0);
  }

  // Station and backsight picked from a points file; the station's height
  // comes with it.
  void pickedFromFile() {
    StakeWithTable();
    const QString path = dir_.filePath(QStringLiteral("control.csv"));
    QVERIFY(WriteFile(path, "点号,X,Y,H\nG1,0,-10,99.5\nG2,100,-10\n"));
    QVERIFY(Window().SetoutPage().LoadPoints(path));
    auto* station = Window().findChild<QComboBox*>(QStringLiteral("setoutStationPick"));
    auto* backsight = Window().findChild<QComboBox*>(QStringLiteral("setoutBacksightPick"));
    QCOMPARE(station->count(), 2);
    station->setCurrentIndex(0);
    emit station->activated(0);
    backsight->setCurrentIndex(1);
    emit backsight->activated(1);
    Type("setoutInstrument", QStringLiteral("1.5"));
    Type("setoutTarget", QStringLiteral("2"));
    QCOMPARE(Window().findChild<QLineEdit*>(QStringLiteral("setoutGround"))->text().toDouble(), 99.5);
    QVERIFY(Window().SetoutPage().Compute());
    QCOMPARE(RowNamed(Window().SetoutPage().Results(), QStringLiteral("K0+050.000")),
             "K0+050.000,50.000,0.000,11.1836,50.990,11.1836,100.000,1.000");
  }

  // The points for a data collector, read back with lxml: the line's
  // alignment and each point as "N E H", named as in the .dat file.
  void landXmlPoints() {
    StakeWithTable();
    TypeStation(QStringLiteral("100,-10"));
    QVERIFY(Window().SetoutPage().Compute());
    dialogs_.file = dir_.filePath(QStringLiteral("放样.xml"));
    Window().SetoutPage().Export();
    QProcess python;
    python.start(QStringLiteral(QUORVANE_PYTHON3),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys; from lxml import etree; t = etree.parse(sys.argv[1]); "
                                 "ns = {'x': 'http://www.landxml.org/schema/LandXML-1.2'}; "
                                 "print(len(t.findall('.//x:Alignment', ns))); "
                                 "[print(p.get('name') + '|' + p.get('code') + '|' + p.text) "
                                 "for p in t.findall('.//x:CgPoint', ns)]"),
                  dialogs_.file});
    QVERIFY(python.waitForFinished(30000));
    QVERIFY2(boxes_.prompts.isEmpty(), qPrintable(boxes_.prompts.join(u' ')));
    QVERIFY2(python.exitCode() == 0, python.readAllStandardError().constData());
    const QStringList lines = QString::fromUtf8(python.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 16);
    QCOMPARE(lines[0], "1");
    QVERIFY(lines.contains(QStringLiteral("K0+050.000L||50.000 -3.625 100.036")));
    // The end of the line is a key point (ZD): its edge points carry its code.
    QVERIFY(lines.contains(QStringLiteral("K0+100.000R|ZD|100.000 3.000 99.880")));
  }

  // The standard tables printed: each found in the PDF, the curve table on
  // A3 landscape, the stake table with the widths and slopes used.
  void printedTables_data() {
    QTest::addColumn<TablesRow>("row");
    QTest::newRow("JD table, profile and cross-section")
        << TablesRow{true, true, {"直线、曲线及转角表", "竖曲线表", "逐桩坐标表", "横断面", "左横坡%", "3.625"}, {}};
    QTest::newRow("elements only")
        << TablesRow{false, false, {"逐桩坐标表", "左宽", "4.477"}, {"直线、曲线及转角表", "竖曲线表"}};
  }
  void printedTables() {
    QFETCH(TablesRow, row);
    const auto [jd, profile, found, absent] = row;
    StakeWithTable();
    if (jd) {
      SetRows(Window().JdTable(), QStringLiteral("QD|0|0;JD1|500|0|500|100|100;ZD|933.0127018922193|250"));
      SetRows(Window().JdStartTable(), QStringLiteral("0"));
    }
    if (!profile) SetRows(Window().ProfileTable(), QString());
    Window().Recompute();
    QVERIFY(Window().ComputeStakes());
    RoadTablesSource source;
    source.line = &*Window().CurrentLine();
    source.profile = Window().CurrentProfile() ? &*Window().CurrentProfile() : nullptr;
    source.jd = TypedJdTable(Window().JdTable(), Window().JdStartTable());
    source.stakes = &Window().Stakes().Rows();
    source.leftEdge = source.rightEdge = true;
    source.section = &*Window().CrossSectionPage().Section();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = dir_.filePath(QStringLiteral("tables.pdf"));
    printer.setOutputFileName(pdf);
    QVERIFY(PrintTables(printer, StandardTables(source), "测试线") >= (jd ? 3 : 1));
    const QString text = Squeezed(PdfText(pdf));
    for (const QString& t : found) QVERIFY2(text.contains(t), qPrintable(t));
    for (const QString& t : absent) QVERIFY2(!text.contains(t), qPrintable(t));
    // Page sizes in points: A3 landscape 1190.55 x 841.89.
    const QString boxes = PdfText(pdf, QStringLiteral("-bbox"), 1);
    const QRegularExpressionMatch page =
        QRegularExpression(QStringLiteral("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\"")).match(boxes);
    QVERIFY(page.hasMatch());
    QVERIFY(std::abs(page.captured(1).toDouble() - 1190.55) < 1);
    QVERIFY(std::abs(page.captured(2).toDouble() - 841.89) < 1);
  }
};

QTEST_MAIN(LineFieldTest)
#include "line_field_test.moc"
