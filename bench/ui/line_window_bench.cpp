// Time from the command to a usable stake table in the 路线 window: open a
// LandXML line of 300 elements (38 km) and stake it every metre with its key
// points, through to the repainted table. Then the table's own answers:
// sorting by X, selecting every row, scrolling to the end. Goal: the stake
// table usable within 0.5 s of the command.
//   line_window_bench [--benchmark_...]   (Qt's offscreen platform unless
//                                   QT_QPA_PLATFORM says otherwise)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <memory>

#include "bench/ui/silent_ui.h"
#include "io/landxml.h"
#include "ui/line/line_window.h"
#include "ui/line/stake_model.h"

namespace {

using quorvane::ui::LineWindow;

using quorvane::bench::NoDialogs;
using quorvane::bench::SilentBoxes;

// 75 curves of straight 200 m, spiral 80 m, arc 150 m at R 600, spiral 80 m,
// turning right and left by turns: 300 elements, 38,250 m.
QString WriteLine(const QTemporaryDir& dir) {
  using namespace quorvane;
  std::vector<ElementSpec> elements;
  for (int curve = 0; curve < 75; ++curve) {
    const int turn = curve % 2 == 0 ? 1 : -1;
    elements.push_back({ElementType::Straight, 200, kInfiniteRadius, kInfiniteRadius, 0});
    elements.push_back({ElementType::Spiral, 80, kInfiniteRadius, 600, turn});
    elements.push_back({ElementType::Arc, 150, 600, 600, turn});
    elements.push_back({ElementType::Spiral, 80, 600, kInfiniteRadius, turn});
  }
  const QString path = dir.filePath("line300.xml");
  WriteLandXml(path.toStdString(), {"BENCH", Line({3000000, 500000, 0.5, 0}, elements), {}});
  return path;
}

struct Fixture {
  QTemporaryDir dir;
  QString path = WriteLine(dir);
  SilentBoxes boxes;
  NoDialogs dialogs;
};

// Open, stake every metre, show and repaint the table.
std::unique_ptr<LineWindow> OpenAndStake(Fixture& f) {
  auto window = std::make_unique<LineWindow>(f.boxes, f.dialogs);
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  window->show();
  window->OpenFile(f.path);
  window->findChild<QLineEdit*>("interval")->setText("1");
  window->findChild<QTabWidget*>("tabs")->setCurrentIndex(4);
  window->ComputeStakes();
  window->repaint();
  QApplication::processEvents();
  return window;
}

void BM_OpenAndStake300ElementsEveryMetre(benchmark::State& state) {
  Fixture f;
  std::size_t stakes = 0;
  for (auto _ : state) {
    auto window = OpenAndStake(f);
    state.PauseTiming();
    stakes = static_cast<std::size_t>(window->Stakes().rowCount());
    if (f.boxes.shown != 0 || stakes < 38250) state.SkipWithError("the line was not staked");
    window.reset();
    state.ResumeTiming();
  }
  state.counters["stakes"] = static_cast<double>(stakes);
}
BENCHMARK(BM_OpenAndStake300ElementsEveryMetre)->Unit(benchmark::kMillisecond)->Iterations(5);

// Sorting by X, selecting every row and scrolling to the last, each repainted.
void BM_SortSelectScroll(benchmark::State& state) {
  Fixture f;
  auto window = OpenAndStake(f);
  auto* view = window->findChild<QTableView*>("stakeTable");
  Qt::SortOrder order = Qt::DescendingOrder;
  for (auto _ : state) {
    view->sortByColumn(2, order);
    view->selectAll();
    view->scrollToBottom();
    window->repaint();
    QApplication::processEvents();
    order = order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
  }
}
BENCHMARK(BM_SortSelectScroll)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // Recently opened files go to a test folder, not the user's settings.
  QStandardPaths::setTestModeEnabled(true);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
