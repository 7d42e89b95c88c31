// Time of a click on 计算 that produces 32,767 stakes: computing, writing the
// report, appending it to the result box, scrolling its title line to the top
// of the view and repainting the window. Also five
// such clicks in a row on one window, to show that a click costs the same
// whatever the result box already holds.
//   click_bench [--benchmark_...]   (Qt's offscreen platform unless
//                                    QT_QPA_PLATFORM says otherwise)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <array>
#include <memory>

#include "bench/ui/silent_ui.h"
#include "ui/form1.h"

namespace {

using quorvane::ui::Form1;

using quorvane::bench::NoDialogs;
using quorvane::bench::SilentBoxes;
NoDialogs noDialogs;

// A shown window set for stakes at every metre from 1 to 32767.
std::unique_ptr<Form1> WindowFor32767Stakes(SilentBoxes& boxes) {
  auto form = std::make_unique<Form1>(boxes, noDialogs);
  form->findChild<QLineEdit*>("txtlb")->setText("0");
  form->findChild<QLineEdit*>("txtle")->setText("32767");
  form->findChild<QLineEdit*>("txtd")->setText("1");
  form->findChild<QRadioButton*>("opn2")->click();
  form->show();
  QApplication::processEvents();
  return form;
}

// One click, as the user sees it through to the repainted window; in ms.
double Click(Form1& form) {
  QElapsedTimer timer;
  timer.start();
  form.findChild<QPushButton*>("cmd1")->click();
  form.repaint();
  QApplication::processEvents();
  return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void CheckBlocks(benchmark::State& state, const Form1& form, const SilentBoxes& boxes, int clicks) {
  // title, header, start row, 32767 stakes, end line per block, and the empty
  // line after the last line break
  const auto* box = form.findChild<QPlainTextEdit*>("txtrlt");
  const int lines = box->document()->lineCount();
  if (boxes.shown != 0 || lines != clicks * 32771 + 1) state.SkipWithError("the clicks did not append the blocks");
  // The last block's title line at the top of the view.
  if (box->verticalScrollBar()->value() != (clicks - 1) * 32771) state.SkipWithError("the view did not scroll");
}

void BM_ClickFor32767Stakes(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    SilentBoxes boxes;
    auto form = WindowFor32767Stakes(boxes);
    state.ResumeTiming();
    Click(*form);
    state.PauseTiming();
    CheckBlocks(state, *form, boxes, 1);
    form.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ClickFor32767Stakes)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_FiveClicksInARow(benchmark::State& state) {
  constexpr int kClicks = 5;
  std::array<double, kClicks> totalMs{};
  for (auto _ : state) {
    state.PauseTiming();
    SilentBoxes boxes;
    auto form = WindowFor32767Stakes(boxes);
    state.ResumeTiming();
    for (int i = 0; i < kClicks; ++i) totalMs[i] += Click(*form);
    state.PauseTiming();
    CheckBlocks(state, *form, boxes, kClicks);
    form.reset();
    state.ResumeTiming();
  }
  const double runs = static_cast<double>(state.iterations());
  for (int i = 0; i < kClicks; ++i) state.counters["click" + std::to_string(i + 1) + "_ms"] = totalMs[i] / runs;
  state.counters["fifth/first"] = totalMs[kClicks - 1] / totalMs[0];
}
BENCHMARK(BM_FiveClicksInARow)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
