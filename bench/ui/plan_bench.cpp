// Repaints of the 路线 plan at 1,000,000 stakes: a road of some 1000 km
// staked every metre with both edges, fitted to the window, zoomed in on
// its middle, and panned step by step as the arrow keys pan it; and of its
// 纵断面图 with the same stakes' ticks. Goal: a repaint within 30 ms however
// the view stands.
//   plan_bench [--benchmark_...]   (Qt's offscreen platform unless
//                                   QT_QPA_PLATFORM says otherwise)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>
#include <memory>

#include "bench/ui/silent_ui.h"
#include "calc/line.h"
#include "calc/profile.h"
#include "ui/line_views/profile_view.h"
#include "ui/line_views/route_plan_view.h"

namespace {

using namespace quorvane;
using quorvane::bench::NoDialogs;
using quorvane::bench::SilentBoxes;
using quorvane::ui::ProfileView;
using quorvane::ui::RoutePlanView;

// Curves turning right and left by turns: straight, spiral, arc, spiral,
// with radii from 600 m to 3000 m; about 200 m an element.
Line LongRoad(double length_m) {
  std::vector<ElementSpec> elements;
  const double radii[] = {600, 1500, 900, 3000, 1200};
  double length = 0;
  for (int curve = 0; length < length_m; ++curve) {
    const int turn = curve % 2 == 0 ? 1 : -1;
    const double R = radii[curve % 5];
    elements.push_back({ElementType::Straight, 300 + 17.0 * (curve % 7), kInfiniteRadius, kInfiniteRadius, 0});
    elements.push_back({ElementType::Spiral, 120, kInfiniteRadius, R, turn});
    elements.push_back({ElementType::Arc, 200 + 13.0 * (curve % 3), R, R, turn});
    elements.push_back({ElementType::Spiral, 120, R, kInfiniteRadius, turn});
    for (std::size_t i = elements.size() - 4; i < elements.size(); ++i) length += elements[i].length_m;
  }
  return Line({3000000, 500000, 0.7, 0}, elements);
}

struct Plan {
  SilentBoxes boxes;
  NoDialogs dialogs;
  RoutePlanView view{dialogs, boxes};
  QImage image{1200, 800, QImage::Format_ARGB32_Premultiplied};
  std::size_t stakes = 0;
  LinePoint middle;  // of the line

  Plan() {
    const Line line = LongRoad(1'000'000);  // 1,000,000 stakes and the key points
    middle = line.PointAtDistance(line.Length_m() / 2);
    view.resize(image.size());
    view.SetLine(line);
    std::vector<LineStake> all = line.Stakes(1.0, std::nullopt, std::nullopt, true);
    stakes = all.size();
    view.SetStakes(all, 7.5, 7.5);
  }
  void Repaint() {
    QPainter painter(&image);
    view.render(&painter);
  }
  // Zooms by `notches` of the wheel about the middle of the line.
  void Zoom(int notches) {
    const QPointF at = view.ToScreen(middle.X_m, middle.Y_m);
    QWheelEvent wheel(at, at, {}, {0, 120 * notches}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
  }
  void Key(int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&view, &press);
  }
};

Plan& ThePlan() {
  static Plan plan;
  return plan;
}

void Report(benchmark::State& state, const Plan& plan) {
  const RoutePlanView::DrawnMarks& drawn = plan.view.LastDrawn();
  state.counters["stakes"] = static_cast<double>(plan.stakes);
  state.counters["dots"] = static_cast<double>(drawn.stakes.size());
  state.counters["visited"] = static_cast<double>(drawn.stakesVisited);
  state.counters["path_points"] = static_cast<double>(drawn.pathPoints);
}

void BM_PlanRepaintWhole(benchmark::State& state) {
  Plan& plan = ThePlan();
  plan.view.FitToWindow();
  for (auto _ : state) plan.Repaint();
  Report(state, plan);
}

// `notches` of the wheel in from the whole line: 1.25^20 = 87 times, 1.25^40
// = 7500 times (the window then shows some 100 m).
void BM_PlanRepaintZoomed(benchmark::State& state) {
  Plan& plan = ThePlan();
  plan.view.FitToWindow();
  plan.Zoom(static_cast<int>(state.range(0)));
  for (auto _ : state) plan.Repaint();
  Report(state, plan);
}

// One arrow key (40 pixels) and a repaint, again and again.
void BM_PlanPan(benchmark::State& state) {
  Plan& plan = ThePlan();
  plan.view.FitToWindow();
  plan.Zoom(static_cast<int>(state.range(0)));
  int step = 0;
  for (auto _ : state) {
    plan.Key(step++ % 40 < 20 ? Qt::Key_Right : Qt::Key_Left);
    plan.Repaint();
  }
  Report(state, plan);
}

// The profile drawing of the same road (a grade change every 2 km, vertical
// curves of R 20,000 m) with its 1,000,000 stakes' ticks, whole and zoomed.
void BM_ProfileRepaint(benchmark::State& state) {
  static SilentBoxes boxes;
  static NoDialogs dialogs;
  static ProfileView* view = [] {
    auto* v = new ProfileView(dialogs, boxes);
    const Line line = LongRoad(1'000'000);
    std::vector<GradePoint> points;
    for (double d = 0; d + 2000 < line.Length_m(); d += 2000) points.push_back({d, points.size() % 2 == 0 ? 100.0 : 120.0, 20000, 0});
    points.front().radius_m = 0;
    points.push_back({line.Length_m(), 100, 0, 0});
    v->resize(1200, 800);
    v->SetProfile(line, Profile(line, points));
    v->SetStakes(line.Stakes(1.0, std::nullopt, std::nullopt, true));
    return v;
  }();
  view->FitToWindow();
  for (int k = 0; k < state.range(0); ++k) {
    const QPointF at(600, 400);
    QWheelEvent wheel(at, at, {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &wheel);
  }
  QImage image(1200, 800, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    QPainter painter(&image);
    view->render(&painter);
  }
}

BENCHMARK(BM_PlanRepaintWhole)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlanRepaintZoomed)->Arg(10)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlanPan)->Arg(0)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProfileRepaint)->Arg(0)->Arg(20)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
