// The 路线 window on Qt's offscreen platform, its boxes and dialogs answered
// by fakes: spreadsheet editing (paste, undo, marking, keys), the JD table's
// conversion against hand-worked curve elements (line_reference.py), errors
// beside their rows, a LandXML file staked and exported, and closing with
// unsaved changes.
#include <QPrinter>
#include <QtTest>
#include <QtWidgets>

#include "fakes.h"
#include "grid_rows.h"
#include "pdf_reading.h"
#include "ui/line/cross_section_tab.h"
#include "ui/line/grid_model.h"
#include "ui/line/grid_view.h"
#include "ui/line/line_text.h"
#include "ui/line/line_window.h"
#include "ui/line/stake_model.h"
#include "ui/line/stake_print.h"

using namespace quorvane::ui;

namespace {

using testing::FakeBoxes;
using testing::FakeDialogs;
using testing::LandXmlFile;
using testing::PdfPrinter;
using testing::PdfText;
using testing::ReadFile;
using testing::RowTexts;
using testing::SetRows;
using testing::Squeezed;
using testing::WriteFile;

// A table as "a|b;c|d" (rows by ';', cells by '|'), blank cells at the end
// of a row left out.
QString Shown(const GridModel& grid) {
  QStringList rows;
  for (int r = 0; r < grid.rowCount(); ++r) {
    QStringList cells;
    for (int c = 0; c < grid.InputColumns(); ++c) cells << grid.Cell(r, c);
    while (!cells.isEmpty() && cells.back().isEmpty()) cells.removeLast();
    rows << cells.join(u'|');
  }
  return rows.join(u';');
}

QString StakeRowText(const StakeModel& stakes, int row) { return stakes.Texts(row).join(u','); }

}  // namespace

// Element table column 1 is a length, 2 a radius; -1 a station cell. An empty tip: not marked.
struct MarkRow {
  int column;
  QString text, tip;
};
struct PasteRow {
  QString before;
  int row, column;
  QString clipboard, after;
};
struct ErrorRow {
  QString table, rows;
  int row;
  QString says;
};  // a blank row keeps its place
struct WordRow {
  QString row;
  quorvane::ElementType type;
  int turn;
};
struct CloseRow {
  MessageBoxes::Answer answer;
  bool pathGiven, closed, saved;
};
// A table's object name or a box's, its rows or text, the message (empty: computed).
struct CellRow {
  QString table, rows, says;
};

class LineWindowTest : public QObject {
  Q_OBJECT

  FakeBoxes boxes_;
  FakeDialogs dialogs_;
  QPointer<LineWindow> window_;
  QTemporaryDir dir_;

  LineWindow& Window() { return *window_; }

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
  void init() {
    boxes_ = {};
    dialogs_ = {};
    window_ = new LineWindow(boxes_, dialogs_);
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_));
  }
  void cleanup() { delete window_.data(); }

  // What a cell reads as is told on it: a red background and "读作 N". Station cells take K-notation.
  void marking_data() {
    QTest::addColumn<MarkRow>("row");
    QTest::newRow("plain") << MarkRow{1, "12.5", ""};
    QTest::newRow("full-width digits") << MarkRow{1, "１２．５", ""};
    QTest::newRow("blank") << MarkRow{2, "", ""};
    QTest::newRow("unit after it") << MarkRow{1, "10m", "读作 10"};
    QTest::newRow("no number") << MarkRow{1, "abc", "读作 0"};
    QTest::newRow("K-notation") << MarkRow{-1, "K1+234.5", ""};
    QTest::newRow("full-width K-notation") << MarkRow{-1, "Ｋ０＋１８０．１０８", ""};
    QTest::newRow("station in plain metres") << MarkRow{-1, "1234.5", ""};
    QTest::newRow("station with a unit after it") << MarkRow{-1, "K1+234.5m", "读作 1234.5"};
  }
  void marking() {
    QFETCH(MarkRow, row);
    GridModel& grid = row.column < 0 ? Window().EquationTable() : Window().ElementTable();
    grid.Paste(0, std::max(row.column, 0), row.text);
    const QModelIndex cell = grid.index(0, std::max(row.column, 0));
    QCOMPARE(cell.data(Qt::ToolTipRole).toString(), row.tip);
    QCOMPARE(cell.data(Qt::BackgroundRole).isValid(), !row.tip.isEmpty());
  }

  // Rows copied from Excel or WPS, pasted at a cell: one undo step puts the
  // table back as it was, redo pastes again.
  void paste_data() {
    QTest::addColumn<PasteRow>("row");
    QTest::newRow("rows with CR LF and a last line break")
        << PasteRow{"", 0, 0, "直线\t100\r\n缓和曲线\t80\t\t500\t右\r\n", "直线|100;缓和曲线|80||500|右"};
    QTest::newRow("past the last row adds rows") << PasteRow{"直线|10;直线", 1, 1, "20\n30\n", "直线|10;直线|20;|30"};
    QTest::newRow("cells past the last column dropped") << PasteRow{"直线", 0, 3, "1\t左\textra\tmore", "直线|||1|左"};
    QTest::newRow("over existing cells, the others kept")
        << PasteRow{"直线|10;圆曲线|20|300|300|左", 1, 1, "25\t400", "直线|10;圆曲线|25|400|300|左"};
    QTest::newRow("quoted cell with a line break and quotes") << PasteRow{"", 0, 0, "\"a\"\"b\nc\"\t5\n", "a\"b\nc|5"};
    QTest::newRow("spreadsheet's empty rows at the end") << PasteRow{"", 0, 0, "直线\t1\n\t\n\n", "直线|1"};
  }
  void paste() {
    QFETCH(PasteRow, row);
    GridModel& grid = Window().ElementTable();
    SetRows(grid, row.before);
    Window().Undo().clear();
    auto* view = Window().findChild<GridView*>("elementTable");
    QApplication::clipboard()->setText(row.clipboard);
    view->setCurrentIndex(grid.index(row.row, row.column));
    view->setFocus();
    QTest::keySequence(view, QKeySequence::Paste);
    QCOMPARE(Shown(grid), row.after);
    QCOMPARE(Window().Undo().count(), 1);
    Window().Undo().undo();
    QCOMPARE(Shown(grid), row.before);
    Window().Undo().redo();
    QCOMPARE(Shown(grid), row.after);
  }

  // Each edit is one step back; the window is marked unsaved until all are
  // undone.
  void undoSteps() {
    GridModel& grid = Window().ElementTable();
    auto* view = Window().findChild<GridView*>("elementTable");
    SetRows(grid, "直线|10;直线|20;直线|30");
    Window().Undo().clear();
    QVERIFY(!Window().isWindowModified());
    grid.setData(grid.index(0, 1), "11", Qt::EditRole);
    view->setCurrentIndex(grid.index(1, 0));
    view->InsertRow();
    view->selectRow(3);
    view->DeleteRows();
    QCOMPARE(Shown(grid), "直线|11;;直线|20");
    QVERIFY(Window().isWindowModified());
    QVERIFY(Window().windowTitle().startsWith("未命名"));
    const QStringList steps{"直线|11;;直线|20;直线|30", "直线|11;直线|20;直线|30", "直线|10;直线|20;直线|30"};
    for (const QString& expected : steps) {
      Window().Undo().undo();
      QCOMPARE(Shown(grid), expected);
    }
    QVERIFY(!Window().isWindowModified());
  }

  // Keys as in a spreadsheet: typing edits, Return commits and moves down
  // (a new row below the last), Tab moves right and wraps to the next row.
  void keys() {
    GridModel& grid = Window().ElementTable();
    SetRows(grid, "直线");
    auto* view = Window().findChild<GridView*>("elementTable");
    view->setFocus();
    view->setCurrentIndex(grid.index(0, 1));
    QTest::keyClick(view, Qt::Key_1);  // opens the cell's editor with it
    QTest::keyClicks(QApplication::focusWidget(), "00");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_COMPARE(grid.Cell(0, 1), "100");  // the editor commits on its next event
    QCOMPARE(view->currentIndex(), grid.index(1, 1));
    view->setCurrentIndex(grid.index(0, grid.InputColumns() - 1));
    QTest::keyClick(view, Qt::Key_Tab);
    QCOMPARE(view->currentIndex(), grid.index(1, 0));
    view->setCurrentIndex(grid.index(0, 1));
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(grid.Cell(0, 1), "");
    // Tab out of the start row's last cell while typing: on to the elements.
    auto* start = Window().findChild<GridView*>("startTable");
    start->setFocus();
    start->setCurrentIndex(Window().StartTable().index(0, 3));
    QTest::keyClick(start, Qt::Key_5);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(Window().StartTable().Cell(0, 3), "5");
    QTRY_VERIFY(view->hasFocus());
  }

  // The JD table converts to elements: the curve table against the exact
  // spiral shift and tangent growth; the elements one undo step.
  void jdConversion() {
    SetRows(Window().JdTable(), "QD|0|0;JD1|500|0|500|100|100;ZD|933.0127018922193|250");
    SetRows(Window().JdStartTable(), "0");
    Window().Undo().clear();
    Window().Recompute();
    QCOMPARE(RowTexts(Window().CurveTable()),
             QStringList{"JD1,K0+500.000,30.0000,500.000,100.000,100.000,184.181,184.181,361.799,18.501,"
                         "K0+315.819,K0+415.819,K0+496.719,K0+577.618,K0+677.618"});
    QVERIFY(Window().ConvertJd());
    QCOMPARE(Window().ElementTable().rowCount(), 5);
    QCOMPARE(Window().ElementTable().Cell(1, 0), "缓和曲线");
    QCOMPARE(Window().ElementTable().Cell(2, 4), "右");
    QVERIFY(Window().CurrentLine());
    QVERIFY(qAbs(Window().CurrentLine()->Length_m() - 993.437096915981) < 1e-6);
    QCOMPARE(Window().Undo().count(), 1);
    Window().Undo().undo();
    Window().Recompute();
    QVERIFY(!Window().CurrentLine());
  }

  // An error of the line stands beside the row that causes it, in whichever
  // table, and nowhere else; the line is then none (never a silent straight line).
  void errorsBesideRows_data() {
    QTest::addColumn<ErrorRow>("row");
    QTest::newRow("unknown type") << ErrorRow{"elementTable", "直线|10;弯道|20", 1, "类型"};
    QTest::newRow("arc without radius") << ErrorRow{"elementTable", "直线|10;;圆曲线|20|||左", 2, "半径"};
    QTest::newRow("arc without turn") << ErrorRow{"elementTable", "圆曲线|20|300", 0, "转向"};
    QTest::newRow("negative length, after a blank row") << ErrorRow{"elementTable", "直线|10;;直线|-5", 2, ""};
    QTest::newRow("zero length") << ErrorRow{"elementTable", "直线|10;圆曲线|0|300||右", 1, ""};
    QTest::newRow("equation out of order") << ErrorRow{"equationTable", "K0+060|K0+050;K0+020|K0+030", 1, ""};
    QTest::newRow("equation past the end") << ErrorRow{"equationTable", "K0+150|K0+140", 0, ""};
    QTest::newRow("curve on the first point") << ErrorRow{"profileTable", "0|100|500;100|102", 0, ""};
    QTest::newRow("points out of order") << ErrorRow{"profileTable", "0|100;;80|101;60|102", 3, ""};
    // Spirals of 400 m for a 30 deg turn at R 500 do not fit: no curve table, nothing to convert.
    QTest::newRow("JD spirals too long") << ErrorRow{"jdTable", "QD|0|0;JD1|500|0|500|400|400;ZD|933.0127018922193|250",
                                                     1, ""};
  }
  void errorsBesideRows() {
    QFETCH(ErrorRow, row);
    SetRows(Window().StartTable(), "0|0|0|0");
    SetRows(Window().ElementTable(), "直线|100");
    GridModel* grid = Window().findChild<GridView*>(row.table)->Grid();
    SetRows(*grid, row.rows);
    Window().Recompute();
    if (row.table == "elementTable") QVERIFY(!Window().CurrentLine());  // never a silent straight line
    const QString error = grid->RowError(row.row);
    QVERIFY2(!error.isEmpty() && error.contains(row.says), qPrintable(Window().LineError()));
    QCOMPARE(grid->index(row.row, grid->ErrorColumn()).data().toString(), error);
    for (int other = 0; other < grid->rowCount(); ++other)
      if (other != row.row) QVERIFY(grid->RowError(other).isEmpty());
    if (row.table == "jdTable") QVERIFY(Window().CurveTable().rowCount() == 0 && !Window().ConvertJd());
    QCOMPARE(boxes_.prompts.size(), row.table == "jdTable" ? 1 : 0);
  }

  // A LandXML file staked every 20 m with its key points, heights from its
  // profile, and written to CSV (values worked by hand).
  void openStakeExport() {
    QVERIFY(Window().OpenFile(QStringLiteral(QUORVANE_LINE_STRAIGHT)));
    QCOMPARE(Window().windowTitle(), "line_straight.xml[*] - 路线");
    QVERIFY(!Window().isWindowModified());
    QCOMPARE(Shown(Window().ElementTable()), "直线|100");
    QVERIFY(Window().ComputeStakes());
    StakeModel& stakes = Window().Stakes();
    QCOMPARE(stakes.rowCount(), 6);
    QCOMPARE(StakeRowText(stakes, 0), "K0+000.000,QD,1000.000,2000.000,30.0000,100.000");
    QCOMPARE(StakeRowText(stakes, 1), "K0+020.000,,1017.321,2010.000,30.0000,100.400");
    QCOMPARE(StakeRowText(stakes, 5), "K0+100.000,ZD,1086.603,2050.000,30.0000,102.000");
    dialogs_.file = dir_.filePath("stakes.csv");
    Window().ExportStakes(false);
    const QList<QByteArray> lines = ReadFile(dialogs_.file).split('\n');
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines[0], QByteArray("\xEF\xBB\xBF") + "桩号,编码,X,Y,方位角,H\r");
    QCOMPARE(lines[2], "K0+020.000,,1017.321,2010.000,30.0000,100.400\r");
  }

  // 坐标反算 on the straight of line_straight.xml (2 % up from 100 m at
  // K0+000, azimuth 30 deg from (1000, 2000) for 100 m): a point 3 m right of
  // K0+050, design height 101 less 2 % of 3 m, typed and from a file with a
  // header; a point beyond the end by 200 cos 30 + 100 sin 30 - 100 =
  // 123.205 m; one half a millimetre past the end, on grade (102 m), and one
  // on grade beside K0+050: cut and fill 0.000 with neither word; a row that
  // is no point.
  void locate() {
    QVERIFY(Window().OpenFile(QStringLiteral(QUORVANE_LINE_STRAIGHT)));
    Window().findChild<QLineEdit*>("rightSlope")->setText("-2");
    Window().findChild<QLineEdit*>("pointX")->setText("1041.801270189222");
    Window().findChild<QLineEdit*>("pointY")->setText("2027.5980762113534");
    Window().findChild<QLineEdit*>("pointH")->setText("101.2");
    Window().LocateTyped();
    QVERIFY(WriteFile(dir_.filePath("points.csv"),
                      "\xEF\xBB\xBF点号,X,Y,H\r\nP1,1041.801270189222,2027.5980762113534\r\nP2,1200,2100,99\r\n"
                      "P3,1086.6029733911,2050.00025,102\r\nP4,1041.801270189222,2027.5980762113534,100.94\r\n"
                      "not a point\r\n"));
    Window().LocateFile(dir_.filePath("points.csv"));
    QCOMPARE(RowTexts(Window().Located()),
             QStringList({"1,1041.801,2027.598,K0+050.000,3.000,100.940,101.200,0.260,挖",
                          "P1,1041.801,2027.598,K0+050.000,3.000,100.940,,,",
                          "P2,1200.000,2100.000,,,,99.000,,超出终点 123.205 米",
                          "P3,1086.603,2050.000,K0+100.000,0.000,102.000,102.000,0.000,",
                          "P4,1041.801,2027.598,K0+050.000,3.000,100.940,100.940,0.000,"}));
    QCOMPARE(boxes_.prompts, QStringList{"以下行不是“点号,X,Y[,H]”，已跳过：第6行"});
  }

  // Ctrl+C in the stake table copies the selected rows with the header.
  void copyStakeRows() {
    QVERIFY(Window().OpenFile(QStringLiteral(QUORVANE_LINE_STRAIGHT)));
    QVERIFY(Window().ComputeStakes());
    auto* view = Window().findChild<QTableView*>("stakeTable");
    Window().findChild<QTabWidget*>("tabs")->setCurrentWidget(view->parentWidget());
    view->setFocus();
    view->selectRow(1);
    view->selectionModel()->select(view->model()->index(5, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keySequence(view, QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(),
             "桩号\t编码\tX\tY\t方位角\tH\r\n"
             "K0+020.000\t\t1017.321\t2010.000\t30.0000\t100.400\r\n"
             "K0+100.000\tZD\t1086.603\t2050.000\t30.0000\t102.000\r\n");
  }

  // Locating a point reads no table again: the stakes stay current.
  void locateKeepsStakes() {
    QVERIFY(Window().OpenFile(QStringLiteral(QUORVANE_LINE_STRAIGHT)));
    QVERIFY(Window().ComputeStakes());
    Window().LocateTyped();
    QCOMPARE(Window().findChild<QLabel*>("stakeStatus")->text(), "6 个桩");
    Window().ElementTable().Paste(0, 1, "90");
    Window().Recompute();
    QCOMPARE(Window().findChild<QLabel*>("stakeStatus")->text(), "路线已修改，按 F5 重新计算");
  }

  // The printed table: 101 stakes every metre on A4 pages, each headed by
  // the line's name and the stations of its first and last row; with the
  // widths and slopes each stake's edges were staked with from the 横断面
  // table, worked by hand halfway between its rows (width 3 -> 5, slope -2 -> 4).
  void printedPages() {
    QVERIFY(Window().OpenFile(QStringLiteral(QUORVANE_LINE_STRAIGHT)));
    Window().CrossSectionPage().Table().Paste(0, 0, "0\t3\t3\t-2\t-2\n100\t5\t3\t4\t-2");
    Window().Recompute();
    Window().findChild<QLineEdit*>("interval")->setText("1");
    QVERIFY(Window().ComputeStakes());
    const auto printer = PdfPrinter(dir_);
    std::vector<int> rows(101);
    std::iota(rows.begin(), rows.end(), 0);
    const int pages = PrintStakeTable(*printer, "TEST", Window().Stakes(), rows, Window().StakeSection());
    QVERIFY(pages >= 2);
    QStringList firsts, lasts;
    QString all;
    for (int page = 1; page <= pages; ++page) {
      const QString text = PdfText(printer->outputFileName(), QStringLiteral("-layout"), page);
      all += text;
      QVERIFY(text.contains("TEST") && text.contains("左宽") && text.contains("右横坡%"));
      QVERIFY(Squeezed(text).contains(QString("第%1页/共%2页").arg(page).arg(pages)));
      const QRegularExpressionMatch range =
          QRegularExpression("(K0\\+\\d{3}\\.000)\\s*~\\s*(K0\\+\\d{3}\\.000)").match(text);
      QVERIFY2(range.hasMatch(), qPrintable(text.left(300)));
      firsts << range.captured(1);
      lasts << range.captured(2);
      // The last row of the page is printed on it.
      QVERIFY(text.count(range.captured(2)) >= 2);
    }
    QCOMPARE(firsts.front(), "K0+000.000");
    QCOMPARE(lasts.back(), "K0+100.000");
    // Each page goes on from the one before.
    for (int page = 1; page < pages; ++page) {
      const int end = lasts[page - 1].mid(3, 3).toInt(), start = firsts[page].mid(3, 3).toInt();
      QCOMPARE(start, end + 1);
    }
    const QRegularExpressionMatch half = QRegularExpression("\\n\\s*K0\\+050\\.000\\s[^~\\n]*\\n").match(all);
    QVERIFY2(half.captured(0).simplified().endsWith("4.000 3.000 1.00 -2.00"), qPrintable(all));
  }

  // The words a surveyor types for a type or a turn.
  void elementWords_data() {
    using quorvane::ElementType;
    QTest::addColumn<WordRow>("row");
    QTest::newRow("arc by its first character, L") << WordRow{"圆|20|300||L", ElementType::Arc, -1};
    QTest::newRow("spiral, 右转") << WordRow{"缓和|20||300|右转", ElementType::Spiral, 1};
    QTest::newRow("arc radius in the end column, -1") << WordRow{"圆曲线|20||300|-1", ElementType::Arc, -1};
    QTest::newRow("straight ignores radii and turn") << WordRow{"直|20|300|300|左", ElementType::Straight, 0};
  }
  void elementWords() {
    QFETCH(WordRow, row);
    SetRows(Window().StartTable(), "0|0|0|0");
    SetRows(Window().ElementTable(), row.row);
    Window().Recompute();
    QVERIFY2(Window().CurrentLine(), qPrintable(Window().LineError()));
    const quorvane::ElementSpec& design = Window().CurrentLine()->Elements()[0].design;
    QCOMPARE(design.type, row.type);
    QCOMPARE(design.turn, row.turn);
  }

  // Edge points and their heights by cross slope (2 % down left, 1 % down
  // right), in the coordinate data file: east before north, worked by hand.
  void edgesInDatFile() {
    QVERIFY(Window().OpenFile(QStringLiteral(QUORVANE_LINE_STRAIGHT)));
    for (auto [box, text] : {std::pair{"leftWidth", "3.5"},
                             {"rightWidth", "3.5"},
                             {"leftSlope", "-2"},
                             {"rightSlope", "-1"},
                             {"interval", "20"}})
      Window().findChild<QLineEdit*>(box)->setText(text);
    QVERIFY(Window().ComputeStakes());
    QCOMPARE(Window().Stakes().Titles().join(u','),
             "桩号,编码,X,Y,方位角,左边桩X,左边桩Y,右边桩X,右边桩Y,H,左边桩H,右边桩H");
    dialogs_.file = dir_.filePath("stakes.dat");
    Window().ExportStakes(false);
    const QList<QByteArray> lines = ReadFile(dialogs_.file).split('\n');
    QCOMPARE(lines.size(), 6 * 3 + 1);
    QCOMPARE(lines[3], "K0+020.000,,2010.000,1017.321,100.400\r");
    QCOMPARE(lines[4], "K0+020.000L,,2006.969,1019.071,100.330\r");
    QCOMPARE(lines[5], "K0+020.000R,,2013.031,1015.571,100.365\r");

    // The same points for a data collector, the line's LandXML with them as
    // CgPoints (read back with lxml in tests/cli/cli_test.py).
    dialogs_.file = dir_.filePath("stakes.xml");
    Window().ExportStakes(false);
    const QByteArray xml = ReadFile(dialogs_.file);
    QVERIFY2(xml.contains("<Alignment ") && xml.contains("\"K0+020.000L\" code=\"\">1019.071 2006.969 100.330<"), xml);
  }

  // A file that cannot be written or read is told, and nothing is left
  // half-done; a name without a known extension is written as CSV.
  void filesRefused() {
    QVERIFY(Window().OpenFile(QStringLiteral(QUORVANE_LINE_STRAIGHT)));
    dialogs_.file = dir_.filePath("no such folder/stakes.csv");
    Window().ExportStakes(false);
    QCOMPARE(boxes_.prompts.size(), 1);
    QVERIFY(!QFileInfo::exists(dialogs_.file));
    dialogs_.file = dir_.filePath("stakes.txt");
    Window().ExportStakes(false);
    QVERIFY(QFileInfo::exists(dir_.filePath("stakes.txt.csv")));
    const QString broken = dir_.filePath("broken.xml");
    QVERIFY(WriteFile(broken, "<LandXML><Alignments><Alignment name=\"A\"><CoordGeom><Line length=\"10\">"));
    QVERIFY(!OpenLineWindow(boxes_, dialogs_, broken));
    QVERIFY(!OpenLineWindow(boxes_, dialogs_, dir_.filePath("missing.xml")));
    QCOMPARE(boxes_.prompts.size(), 3);
    QVERIFY(!boxes_.prompts[1].isEmpty() && !boxes_.prompts[2].isEmpty());
    Window().findChild<QLineEdit*>("interval")->setText("0");
    QVERIFY(!Window().ComputeStakes());
    QCOMPARE(boxes_.prompts.size(), 4);
  }

  // The eight files last saved or opened, newest first, each once.
  void recentFiles() {
    Window().StartTable().Paste(0, 0, "0\t0\t0\t0");
    Window().ElementTable().Paste(0, 0, "直线\t10");
    for (int i = 0; i < 10; ++i) {
      dialogs_.file = dir_.filePath(QString("r%1.xml").arg(i % 9));
      QVERIFY(Window().SaveAs());
    }
    const QStringList recent = LineWindow::RecentFiles();
    QCOMPARE(recent.size(), 8);
    QCOMPARE(QFileInfo(recent[0]).fileName(), "r0.xml");
    QCOMPARE(QFileInfo(recent[1]).fileName(), "r8.xml");
    QCOMPARE(QFileInfo(recent[7]).fileName(), "r2.xml");
  }

  // Closing with unsaved changes asks; 是 saves (and stays open when saving
  // is cancelled), 否 throws the changes away, 取消 keeps the window.
  void closeAsks_data() {
    using Answer = MessageBoxes::Answer;
    QTest::addColumn<CloseRow>("row");
    QTest::newRow("yes") << CloseRow{Answer::Yes, true, true, true};
    QTest::newRow("yes, save cancelled") << CloseRow{Answer::Yes, false, false, false};
    QTest::newRow("no") << CloseRow{Answer::No, true, true, false};
    QTest::newRow("cancel") << CloseRow{Answer::Cancel, true, false, false};
  }
  void closeAsks() {
    QFETCH(CloseRow, row);
    Window().ElementTable().Paste(0, 0, "直线\t100");
    Window().StartTable().Paste(0, 0, "1000\t2000\t30\t0");
    boxes_.answer = row.answer;
    const QString path = dir_.filePath(QString("%1.xml").arg(QTest::currentDataTag()));
    if (row.pathGiven) dialogs_.file = path;
    Window().close();
    QCOMPARE(boxes_.prompts.value(0), "是否保存对“未命名”的修改？");
    QTRY_COMPARE(window_.isNull(), row.closed);
    QCOMPARE(QFile::exists(path), row.saved);
  }

  // Every tab filled, saved and opened in a new window: every cell and box
  // shows as typed (stations in K-notation, a vertical curve by its radius
  // or its length as given, a circular one as such, the JD table with its
  // start station).
  void saveAndOpenAgain() {
    Window().StartTable().Paste(0, 0, "3000000\t500000\t30.3015\tK1+000");
    Window().ElementTable().Paste(0, 0, "直线\t100\n缓和曲线\t80\t\t500\t左\n圆曲线\t50.5\t500\t500\t左");
    Window().EquationTable().Paste(0, 0, "K1+200\tK1+190");
    Window().ProfileTable().Paste(0, 0, "K1+000\t100\nK1+100\t103\t1500\t\t圆\n1160\t102\t\t40\nK1+220.5\t101.5");
    Window().JdStartTable().Paste(0, 0, "K0+120.5");
    Window().JdTable().Paste(0, 0, "QD\t0\t0\nJD1\t500\t0\t500\t40\t40\nZD\t933.0127018922193\t250");
    const QStringList boxes{"leftWidth", "rightWidth", "leftSlope", "rightSlope"};
    const QStringList typed{"3.5", "3.75", "-2", "-1.5"};
    for (qsizetype i = 0; i < boxes.size(); ++i) Window().findChild<QLineEdit*>(boxes[i])->setText(typed[i]);
    dialogs_.file = dir_.filePath("saved.xml");
    QVERIFY(Window().Save());
    QCOMPARE(Window().windowTitle(), "saved.xml[*] - 路线");
    QVERIFY(!Window().isWindowModified());
    QCOMPARE(LineWindow::RecentFiles().value(0), QFileInfo(dialogs_.file).absoluteFilePath());
    LineWindow again(boxes_, dialogs_);
    QVERIFY(again.OpenFile(dialogs_.file));
    QCOMPARE(Shown(again.StartTable()), "3000000|500000|30.3015|K1+000");
    QCOMPARE(Shown(again.ElementTable()), "直线|100;缓和曲线|80||500|左;圆曲线|50.5|500|500|左");
    QCOMPARE(Shown(again.EquationTable()), "K1+200|K1+190");
    QCOMPARE(Shown(again.ProfileTable()), "K1+000|100;K1+100|103|1500||圆曲线;K1+160|102||40;K1+220.5|101.5");
    QCOMPARE(Shown(again.JdStartTable()), "K0+120.5");
    QCOMPARE(Shown(again.JdTable()), "QD|0|0;JD1|500|0|500|40|40;ZD|933.0127018922193|250");
    for (qsizetype i = 0; i < boxes.size(); ++i) QCOMPARE(again.findChild<QLineEdit*>(boxes[i])->text(), typed[i]);
    QVERIFY(again.ProfileError().isEmpty());
    QCOMPARE(again.CurveTable().rowCount(), 1);
    QVERIFY(boxes_.prompts.isEmpty());
  }

  // A cell that is not wholly a number or a station stops 计算, export and
  // 保存, and the message names the tab, the row and the column; full-width
  // forms are numbers.
  void cellRefused_data() {
    QTest::addColumn<CellRow>("row");
    QTest::newRow("start azimuth") << CellRow{"startTable", "1000|2000|3O|0",
                                              "线元 第1行 起点方位角(度.分秒)“3O”不是有效的数字"};
    QTest::newRow("element length") << CellRow{"elementTable", "直线|10O", "线元 第1行 长度“10O”不是有效的数字"};
    QTest::newRow("equation station") << CellRow{"equationTable", "K0+05O|K0+040",
                                                 "断链 第1行 断前桩号“K0+05O”不是有效的桩号"};
    QTest::newRow("grade point's height, third row")
        << CellRow{"profileTable", "K0+000|100;K0+050|101;K0+100|13O.826", "纵断面 第3行 高程“13O.826”不是有效的数字"};
    QTest::newRow("grade point's station with a unit")
        << CellRow{"profileTable", "K0+000|100;K0+100m|101", "纵断面 第2行 变坡点桩号“K0+100m”不是有效的桩号"};
    QTest::newRow("vertical curve's shape") << CellRow{"profileTable", "K0+000|100;K0+050|101|800||椭圆;K0+100|100",
                                                       "竖曲线线形应为空（抛物线）、“抛物线”或“圆曲线”！"};
    QTest::newRow("JD coordinate") << CellRow{"jdTable", "QD|0|0;JD1|5OO|0|500;ZD|933|250",
                                              "交点 第2行 X“5OO”不是有效的数字"};
    QTest::newRow("JD start station") << CellRow{"jdStartTable", "K0+1OO", "交点 第1行 起点桩号“K0+1OO”不是有效的桩号"};
    QTest::newRow("width box") << CellRow{"leftWidth", "3.5米", "逐桩坐标 左宽“3.5米”不是有效的数字"};
    QTest::newRow("full-width profile") << CellRow{"profileTable", "Ｋ０＋０００|１００;Ｋ０＋１００|１０２．５", ""};
    QTest::newRow("blank cells") << CellRow{"profileTable", "K0+000| 100 ;K0+100|102|  |", ""};
  }
  void cellRefused() {
    QFETCH(CellRow, row);
    const auto& [table, rows, says] = row;
    SetRows(Window().StartTable(), "1000|2000|30|0");
    SetRows(Window().ElementTable(), "直线|100");
    if (auto* box = Window().findChild<QLineEdit*>(table)) {
      box->setText(rows);
    } else {
      auto* view = Window().findChild<GridView*>(table);
      QVERIFY(view);
      GridModel& grid = *static_cast<GridModel*>(view->model());
      SetRows(grid, rows);
      grid.Paste(0, 0, grid.Cell(0, 0));  // an edit, as typing is
    }
    Window().Recompute();
    QCOMPARE(Window().ComputeStakes(), says.isEmpty());
    if (says.isEmpty()) return;
    QCOMPARE(boxes_.prompts.value(0), says);
    dialogs_.file = dir_.filePath("refused.csv");
    Window().ExportStakes(false);
    QVERIFY(!QFile::exists(dialogs_.file));
    QCOMPARE(boxes_.prompts.value(1), says);
    dialogs_.file = dir_.filePath("refused.xml");
    QVERIFY(!Window().Save());
    QVERIFY(boxes_.prompts.value(2).startsWith(says));
    QVERIFY(!QFile::exists(dialogs_.file));
  }

  // A file of several alignments asks which, by name and length; Escape
  // (nothing chosen) opens nothing and says nothing. Saving asks for a file
  // of its own.
  void alignmentChooser_data() {
    QTest::addColumn<int>("chosen");  // -1: cancelled
    QTest::addColumn<QString>("elements");
    QTest::newRow("first") << 0 << "直线|100";
    QTest::newRow("second, named in Chinese") << 1 << "直线|50";
    QTest::newRow("cancelled") << -1 << "";
  }
  void alignmentChooser() {
    QFETCH(int, chosen);
    QFETCH(QString, elements);
    const QString path = dir_.filePath("two.xml");
    QVERIFY(WriteFile(
        path, LandXmlFile("<Alignments><Alignment name=\"A1\" length=\"100\" staStart=\"0\"><CoordGeom>\n"
                          "<Line><Start>0 0</Start><End>100 0</End></Line></CoordGeom></Alignment></Alignments>\n"
                          "<Alignments><Alignment name=\"主线\" length=\"50\" staStart=\"0\"><CoordGeom>\n"
                          "<Line><Start>0 0</Start><End>0 50</End></Line></CoordGeom></Alignment></Alignments>\n")));
    if (chosen >= 0) dialogs_.chosen = chosen;
    QCOMPARE(Window().OpenFile(path), chosen >= 0);
    QCOMPARE(dialogs_.choices, QStringList({"A1（长 100.000 m）", "主线（长 50.000 m）"}));
    QVERIFY(boxes_.prompts.isEmpty());
    if (chosen < 0) return;
    QCOMPARE(Shown(Window().ElementTable()), elements);
    // 保存 does not write one alignment over the file of two: it asks.
    QVERIFY(!Window().Save());
    QCOMPARE(dialogs_.asked, 1);
    QCOMPARE(dialogs_.proposed, chosen == 0 ? "two-A1.xml" : "two-主线.xml");
  }

  // What the reader warns of (here a length 3 mm off its coordinates) is
  // told once under 提示 and stays in the status bar; a sound file says
  // nothing.
  void readerWarningsShown_data() {
    QTest::addColumn<QString>("length");
    QTest::addColumn<bool>("warned");
    QTest::newRow("3 mm off") << "100.003" << true;
    QTest::newRow("sound") << "100" << false;
  }
  void readerWarningsShown() {
    QFETCH(QString, length);
    QFETCH(bool, warned);
    const QString path = dir_.filePath("warned.xml");
    QVERIFY(WriteFile(path, LandXmlFile("<Alignments><Alignment name=\"W\" staStart=\"0\"><CoordGeom><Line length=\"" +
                                        length.toUtf8() +
                                        "\"><Start>0 0</Start><End>100 0</End></Line>"
                                        "</CoordGeom></Alignment></Alignments>\n")));
    QVERIFY(Window().OpenFile(path));
    QCOMPARE(boxes_.titles, warned ? QStringList{"提示"} : QStringList{});
    const QString status = Window().findChild<QLabel*>("readerWarnings")->text();
    QCOMPARE(status.isEmpty(), !warned);
    if (warned) {
      QVERIFY(boxes_.prompts[0].contains("3"));
      QCOMPARE(status, boxes_.prompts[0]);
    }
  }

  // The line opened or converted is the model: its start azimuth is the
  // one worked from the coordinates, not the DD.MMSS text shown (which
  // rounds it); an edit reads the tables' texts from then on.
  void modelNotText() {
    // From QD (0, 0) towards JD1 (300, 100): atan2(100, 300).
    SetRows(Window().JdTable(), "QD|0|0;JD1|300|100|500;ZD|400|400");
    QVERIFY(Window().ConvertJd());
    QVERIFY(Window().LineFromModel());
    QCOMPARE(Window().CurrentLine()->Start().azimuth_rad, std::atan2(100.0, 300.0));
    Window().Undo().undo();
    Window().Undo().redo();
    QVERIFY(!Window().LineFromModel());

    const QString path = dir_.filePath("slanted.xml");
    QVERIFY(WriteFile(
        path, LandXmlFile("<Alignments><Alignment name=\"S\" staStart=\"0\"><CoordGeom>\n"
                          "<Line><Start>0 0</Start><End>300 100</End></Line></CoordGeom></Alignment></Alignments>\n")));
    LineWindow opened(boxes_, dialogs_);
    QVERIFY(opened.OpenFile(path));
    QVERIFY(opened.LineFromModel());
    QCOMPARE(opened.CurrentLine()->Start().azimuth_rad, std::atan2(100.0, 300.0));
    opened.ElementTable().Paste(0, 1, "200");
    opened.Recompute();
    QVERIFY(!opened.LineFromModel());
    QCOMPARE(opened.CurrentLine()->Length_m(), 200.0);
  }
};

QTEST_MAIN(LineWindowTest)
#include "line_window_test.moc"
