// The plan and profile drawings of a whole line on Qt's offscreen platform:
// where things land, what is drawn (read back from the rendered pixels),
// and saving the picture.
#include <QtTest>
#include <QtWidgets>
#include <cmath>

#include "calc/line.h"
#include "calc/profile.h"
#include "fakes.h"
#include "ui/line_views/profile_view.h"
#include "ui/line_views/route_plan_view.h"

using namespace quorvane;
using namespace quorvane::ui;

namespace {

using testing::FakeBoxes;
using testing::FakeDialogs;

constexpr double kDeg = M_PI / 180;

// Straight 100, spiral 60 into R 300, arc 100, spiral 60 out, straight 100, turning right.
Line CurveLine(double startStation_m, double azimuth_rad = 30 * kDeg) {
  return Line({1000, 2000, azimuth_rad, startStation_m}, {{ElementType::Straight, 100},
                                                          {ElementType::Spiral, 60, kInfiniteRadius, 300, 1},
                                                          {ElementType::Arc, 100, 300, 300, 1},
                                                          {ElementType::Spiral, 60, 300, kInfiniteRadius, 1},
                                                          {ElementType::Straight, 100}});
}

// The centre or design line's blue.
bool Blue(const QColor& c) { return c.blue() > 170 && c.red() < 90 && c.green() < 150; }

// Whether the picture shows that blue within 1 pixel of `at`.
bool BlueNear(const QImage& image, QPointF at) {
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy)
      if (const QPoint p = at.toPoint() + QPoint(dx, dy); image.rect().contains(p) && Blue(image.pixelColor(p)))
        return true;
  return false;
}

// The mean row of the design line's blue in column x.
double BlueRow(const QImage& image, int x) {
  double sum = 0, count = 0;
  for (int y = 0; y < image.height(); ++y)
    if (Blue(image.pixelColor(x, y))) sum += y, count += 1;
  return count > 0 ? sum / count : -1;
}

QImage Picture(QWidget& view) { return view.grab().toImage(); }

// 20 km due north from (0, 0) in 100 straights of 200 m: a GQ every 200 m.
Line NorthLine() { return Line({0, 0, 0, 0}, std::vector<ElementSpec>(100, {ElementType::Straight, 200})); }

// The plan of NorthLine staked every metre with both edges at 5 m, in a
// window of 640 x 480, zoomed by `notches` of the wheel about the stake at
// `aboutX_m`.
void ShowNorthLine(RoutePlanView& view, int notches, double aboutX_m) {
  view.resize(640, 480);
  const Line line = NorthLine();
  view.SetLine(line);
  view.SetStakes(line.Stakes(1, std::nullopt, std::nullopt, true), 5, 5);
  const QPointF at = view.ToScreen(aboutX_m, 0);
  QWheelEvent wheel(at, view.mapToGlobal(at), {}, {0, 120 * notches}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&view, &wheel);
  Picture(view);
}

// The distance from `p` to the nearest of `points`, pixels.
double Nearest(const std::vector<QPointF>& points, QPointF p) {
  double best = HUGE_VAL;
  for (const QPointF& q : points) best = std::min(best, QLineF(p, q).length());
  return best;
}

}  // namespace

struct PanRow { int notches, key; double down_px; };  // how far the line moves
// The middle grade-change point's elevation, the design elevation 10 m past it, its label.
struct VerticalRow { double middle, at510; QString label; };
struct SaveRow { bool profile; QString name, written; };  // in a fresh folder; written empty: nothing may be

class LineViewsTest : public QObject {
  Q_OBJECT

  // For the drawings that are only looked at: nothing asks them anything.
  FakeDialogs dialogs_;
  FakeBoxes boxes_;

 private slots:
  void PlanIsNorthUpEastRight_data() {
    QTest::addColumn<double>("azimuth_deg");
    QTest::addColumn<QPointF>("endFromStart");  // direction on the screen
    QTest::newRow("north: up") << 0.0 << QPointF(0, -1);
    QTest::newRow("east: right") << 90.0 << QPointF(1, 0);
    QTest::newRow("south: down") << 180.0 << QPointF(0, 1);
    QTest::newRow("west: left") << 270.0 << QPointF(-1, 0);
  }
  void PlanIsNorthUpEastRight() {
    QFETCH(double, azimuth_deg);
    QFETCH(QPointF, endFromStart);
    RoutePlanView view(dialogs_, boxes_);
    view.resize(400, 300);
    view.SetLine(Line({500, 700, azimuth_deg * kDeg, 0}, {{ElementType::Straight, 100}}));
    const QPointF start = view.ToScreen(500, 700);
    const QPointF end =
        view.ToScreen(500 + 100 * std::cos(azimuth_deg * kDeg), 700 + 100 * std::sin(azimuth_deg * kDeg));
    const QPointF direction = (end - start) / QLineF(start, end).length();
    QVERIFY2(QLineF(direction, endFromStart).length() < 1e-6,
             qPrintable(QString("%1,%2").arg(direction.x()).arg(direction.y())));
    QVERIFY(BlueNear(Picture(view), (start + end) / 2));
  }

  // Zoomed in on the arc, the line drawn still passes through the arc's
  // true points (here between two of the coarse samples): chords are made
  // finer as the pixels get smaller.
  void PlanFollowsTheArcAtAnyZoom_data() {
    QTest::addColumn<int>("notches");
    QTest::newRow("fitted") << 0;
    QTest::newRow("zoomed 28x") << 15;
    QTest::newRow("zoomed 265x") << 25;
  }
  void PlanFollowsTheArcAtAnyZoom() {
    QFETCH(int, notches);
    RoutePlanView view(dialogs_, boxes_);
    view.resize(640, 480);
    view.SetLine(
        Line({0, 0, 0, 0}, {{ElementType::Arc, 100 * M_PI / 2, 100, 100, 1}}));  // quarter circle, centre X 0 Y 100
    auto onArc = [](double angle) { return std::pair{100 * std::sin(angle), 100 - 100 * std::cos(angle)}; };
    const auto [X, Y] = onArc(0.567);
    const QPointF mouse = view.ToScreen(X, Y);
    QWheelEvent wheel(mouse, view.mapToGlobal(mouse), {}, {0, 120 * notches}, Qt::NoButton, {}, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(&view, &wheel);
    const QImage image = Picture(view);
    for (const double along_m : {0.0, 0.05, 0.1, -0.15}) {
      const auto [x, y] = onArc(0.567 + along_m / 100);
      QVERIFY2(BlueNear(image, view.ToScreen(x, y)), qPrintable(QString::number(along_m)));
    }
  }

  void FitShowsEverything_data() {
    QTest::addColumn<QSize>("window");
    QTest::newRow("wide") << QSize(800, 300);
    QTest::newRow("tall") << QSize(300, 800);
  }
  void FitShowsEverything() {
    QFETCH(QSize, window);
    RoutePlanView view(dialogs_, boxes_);
    view.resize(window);
    const Line line = CurveLine(0);
    view.SetLine(line);
    const std::vector<LineStake> stakes = line.Stakes(10, std::nullopt, std::nullopt, true);
    view.SetStakes(stakes, 7.5, 7.5);
    view.SetMeasuredPoints({{"P1", 1300, 1800}, {"P2", 900, 2400}});
    QWheelEvent wheel({10, 10}, {10, 10}, {}, {0, 600}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);  // zoomed away, then F fits again
    QTest::keyClick(&view, Qt::Key_F);
    const QRectF inside = QRectF(view.rect());
    std::vector<std::pair<double, double>> all{{1300, 1800}, {900, 2400}};
    for (const LineStake& s : stakes) {
      for (const double offset : {-7.5, 0.0, 7.5}) {
        const LinePoint p = line.PointAtOffset(s.distance_m, offset);
        all.emplace_back(p.X_m, p.Y_m);
      }
    }
    for (const auto& [X, Y] : all)
      QVERIFY2(inside.contains(view.ToScreen(X, Y)), qPrintable(QString("%1 %2").arg(X).arg(Y)));
    const std::vector<QString> labels = view.DrawnLabels();
    QVERIFY(std::find(labels.begin(), labels.end(), QStringLiteral("P1")) != labels.end());
  }

  // 20,001 stakes, zoomed out until they are 0.02 pixels apart and in until
  // they are 5: what is drawn lies in the window; each stake in the window
  // has a dot on it (all of them drawn) or within two dot gaps (thinned);
  // each GQ in the window has its ring within a gap; and only stakes near
  // the window are looked at.
  void PlanDrawsWhatTheWindowShows_data() {
    QTest::addColumn<int>("notches");
    QTest::addColumn<double>("dotWithin_px");  // of every stake in the window
    QTest::newRow("whole line, every 256th stake") << 0 << 10.5;
    QTest::newRow("9x, every 32nd") << 10 << 10.5;
    QTest::newRow("87x, every 4th") << 20 << 10.5;
    QTest::newRow("265x, every stake") << 25 << 0.01;
  }
  void PlanDrawsWhatTheWindowShows() {
    QFETCH(int, notches);
    QFETCH(double, dotWithin_px);
    RoutePlanView view(dialogs_, boxes_);
    ShowNorthLine(view, notches, 10000);
    const RoutePlanView::DrawnMarks& drawn = view.LastDrawn();
    const QRectF window = QRectF(view.rect()).adjusted(-6, -6, 6, 6);
    for (const auto* marks : {&drawn.stakes, &drawn.edgePoints, &drawn.keyPoints})
      for (const QPointF& p : *marks) QVERIFY2(window.contains(p), qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
    const QRectF inside = QRectF(view.rect());
    int inWindow = 0;
    for (int k = 0; k <= 20000; ++k) {
      const QPointF at = view.ToScreen(k, 0);
      if (!inside.contains(at)) continue;
      ++inWindow;
      QVERIFY2(Nearest(drawn.stakes, at) <= dotWithin_px, qPrintable(QString::number(k)));
      QVERIFY2(Nearest(drawn.edgePoints, view.ToScreen(k, 5)) <= dotWithin_px, qPrintable(QString::number(k)));
      if (k % 200 == 0) QVERIFY2(Nearest(drawn.keyPoints, at) <= 4.5, qPrintable(QString::number(k)));
    }
    QVERIFY(inWindow > 80);
    QVERIFY(drawn.stakes.size() <= 150);  // a dot every 4 pixels at the most
    QVERIFY2(drawn.stakesVisited <= drawn.stakes.size() + 256, qPrintable(QString::number(drawn.stakesVisited)));
  }

  // Panning keeps the same stakes: after a step of 40 pixels the dots are
  // those before, moved by 40 pixels, and those that came into view.
  void PanningKeepsTheStakesDrawn_data() {
    QTest::addColumn<PanRow>("row");
    QTest::newRow("thinned, up") << PanRow{12, Qt::Key_Up, 40.0};
    QTest::newRow("thinned, down") << PanRow{12, Qt::Key_Down, -40.0};
    QTest::newRow("every stake, up") << PanRow{25, Qt::Key_Up, 40.0};
  }
  void PanningKeepsTheStakesDrawn() {
    QFETCH(PanRow, row);
    const auto [notches, key, down_px] = row;
    RoutePlanView view(dialogs_, boxes_);
    ShowNorthLine(view, notches, 7000);
    const std::vector<QPointF> before = view.LastDrawn().stakes;
    QTest::keyClick(&view, Qt::Key(key));
    Picture(view);
    const std::vector<QPointF> after = view.LastDrawn().stakes;
    const QRectF kept = QRectF(view.rect()).adjusted(0, 8, 0, -8);
    int compared = 0;
    for (const QPointF& p : before) {
      const QPointF moved = p + QPointF(0, down_px);
      if (!kept.contains(moved)) continue;
      ++compared;
      QVERIFY2(Nearest(after, moved) < 0.01, qPrintable(QString("%1,%2").arg(moved.x()).arg(moved.y())));
    }
    QVERIFY(compared > 20);
  }

  // Key points carry their code and station, kilometres + metres.
  void KeyPointsAreLabelled_data() {
    QTest::addColumn<double>("startStation");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("from K1+234.5") << 1234.5
                                   << QStringList{"QD K1+234.500", "ZH K1+334.500", "HZ K1+554.500", "ZD K1+654.500"};
    QTest::newRow("from -15 m") << -15.0
                                << QStringList{"QD K-1+985.000", "ZH K0+085.000", "HY K0+145.000", "YH K0+245.000"};
  }
  void KeyPointsAreLabelled() {
    QFETCH(double, startStation);
    QFETCH(QStringList, expected);
    RoutePlanView view(dialogs_, boxes_);
    view.resize(900, 700);
    view.SetLine(CurveLine(startStation));
    const std::vector<QString> labels = view.DrawnLabels();
    for (const QString& text : expected)
      QVERIFY2(std::find(labels.begin(), labels.end(), text) != labels.end(), qPrintable(text));
  }

  // Grades +-2 % meeting at K0+500, R 10000: L = R * 0.04 = 400, T = 200,
  // E = T^2 / 2R = 2; the curve lies 2 m off the grade-change point.
  // 10 m past the point: grade +-0.02 * 510 -+ 210^2 / 2R.
  void ProfileDrawsTheVerticalCurve_data() {
    QTest::addColumn<VerticalRow>("row");
    QTest::newRow("crest") << VerticalRow{110.0, 107.995, "K0+500.000\nH=110.000\nR=10000\nT=200 E=2"};
    QTest::newRow("sag") << VerticalRow{90.0, 92.005, "K0+500.000\nH=90.000\nR=10000\nT=200 E=2"};
  }
  void ProfileDrawsTheVerticalCurve() {
    QFETCH(VerticalRow, row);
    const auto& [middle, at510, label] = row;
    ProfileView view(dialogs_, boxes_);
    view.resize(900, 600);
    const Line line({0, 0, 0, 0}, {{ElementType::Straight, 1000}});
    view.SetProfile(line, Profile(line, {{0, 100}, {500, middle, 10000}, {1000, 100}}));
    view.SetStakes(line.Stakes(20));
    const QImage image = Picture(view);
    const double top = BlueRow(image, qRound(view.ToScreen(510, 0).x()));  // clear of the stake ticks
    const double nearStart = BlueRow(image, qRound(view.ToScreen(50, 0).x()));
    QVERIFY(std::fabs(top - view.ToScreen(510, at510).y()) < 2);
    QVERIFY(std::fabs(nearStart - view.ToScreen(50, 100 + (middle - 100) / 10).y()) < 2);
    QCOMPARE(top<nearStart, middle> 100);
    const std::vector<QString> labels = view.DrawnLabels();
    QVERIFY(std::find(labels.begin(), labels.end(), label) != labels.end());
  }

  // Ctrl+S saves the picture while the drawing has the focus, and is left
  // to the window around it (saving the line) otherwise.
  void CtrlSGoesToTheFocusedPart_data() {
    QTest::addColumn<bool>("drawingFocused");
    QTest::newRow("drawing") << true;
    QTest::newRow("another box") << false;
  }
  void CtrlSGoesToTheFocusedPart() {
    QFETCH(bool, drawingFocused);
    FakeDialogs dialogs;
    FakeBoxes boxes;
    QWidget window;
    auto* plan = new RoutePlanView(dialogs, boxes, &window);
    auto* box = new QLineEdit(&window);
    new QVBoxLayout(&window);
    window.layout()->addWidget(plan);
    window.layout()->addWidget(box);
    int windowSaves = 0;
    auto* save = new QAction(&window);
    save->setShortcut(QKeySequence::Save);
    window.addAction(save);
    connect(save, &QAction::triggered, [&] { ++windowSaves; });
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    (drawingFocused ? static_cast<QWidget*>(plan) : box)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(dialogs.asked, drawingFocused ? 1 : 0);
    QCOMPARE(windowSaves, drawingFocused ? 0 : 1);
  }

  void SaveImage_data() {
    QTest::addColumn<SaveRow>("row");
    QTest::newRow("plan") << SaveRow{false, "平面.png", "平面.png"};
    QTest::newRow("profile, extension added") << SaveRow{true, "纵断面", "纵断面.png"};
    QTest::newRow("missing folder") << SaveRow{false, "no/such/folder/plan.png", ""};
  }
  void SaveImage() {
    QFETCH(SaveRow, row);
    const auto& [profile, name, written] = row;
    QTemporaryDir dir;
    FakeDialogs dialogs;
    FakeBoxes boxes;
    dialogs.file = dir.filePath(name);
    const Line line = CurveLine(0);
    RoutePlanView plan(dialogs, boxes);
    ProfileView profileView(dialogs, boxes);
    plan.SetLine(line);
    profileView.SetProfile(line, Profile(line, {{0, 10}, {200, 12, 3000}, {420, 11}}));
    DrawingView& view = profile ? static_cast<DrawingView&>(profileView) : plan;
    view.resize(500, 400);
    QCOMPARE(view.SaveImage(), !written.isEmpty());
    const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    if (written.isEmpty()) {
      QVERIFY(files.isEmpty());
      QCOMPARE(boxes.titles, QStringList{"保存失败"});
      QCOMPARE(boxes.prompts, QStringList{"无法保存文件“plan.png”：文件夹不存在。"});
      return;
    }
    QCOMPARE(files, QStringList{written});
    QImageReader reader(dir.filePath(written));
    QCOMPARE(reader.format(), QByteArray("png"));
    QCOMPARE(reader.read().size(), QSize(500, 400));
    QVERIFY(boxes.prompts.isEmpty());
  }
};

QTEST_MAIN(LineViewsTest)
#include "line_views_test.moc"
