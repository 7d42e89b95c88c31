// quorvane-line tables: the standard tables of a line's drawings
// (直线、曲线及转角表, 竖曲线表, 逐桩坐标表) laid out as pages and written as PDF.

#include <condition_variable>
#include <ctime>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "calc/jd_design.h"
#include "calc/messages.h"
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "command/line_stakes.h"
#include "io/landxml.h"
#include "io/pdf_writer.h"
#include "report/road_table_look.h"
#include "report/road_tables.h"
#include "report/table_pages.h"

namespace quorvane::cli {
namespace {

bool HasPdfExtension(const std::string& path) {
  if (path.size() < 4) return false;
  std::string extension = path.substr(path.size() - 4);
  for (char& c : extension) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return extension == ".pdf";
}

// The 逐桩坐标表's rows, made from the stake rows as the layout reads them:
// the layout reads its rows twice (to count the pages, then to place them),
// and each reading runs the staking again on a thread of its own, handing
// the rows over through a short queue, so a long line's table is never held
// whole.
class StakeTableRows : public RowSource {
 public:
  StakeTableRows(const StakeRun& run, int decimals) : run_(run), table_(run.HasLeft(), run.HasRight(), decimals) {}
  ~StakeTableRows() override { Stop(); }
  StakeTableRows(const StakeTableRows&) = delete;
  StakeTableRows& operator=(const StakeTableRows&) = delete;

  const TableHeading& Heading() const { return table_.Heading(); }

  void Rewind() override {
    Stop();
    Start();
  }

  bool Next(std::vector<std::string>& cells) override {
    if (!worker_.joinable()) Start();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !queue_.empty() || done_; });
    if (!queue_.empty()) {
      cells = std::move(queue_.front());
      queue_.pop_front();
      changed_.notify_all();
      return true;
    }
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    return false;
  }

 private:
  static constexpr std::size_t kQueued = 4096;
  struct Stopped {};

  void Start() {
    {
      const std::lock_guard lock(mutex_);
      queue_.clear();
      done_ = stop_ = false;
      error_ = nullptr;
    }
    worker_ = std::thread([this] { Produce(); });
  }

  void Stop() {
    {
      const std::lock_guard lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
  }

  void Produce() {
    try {
      run_.ForEach([&](const StakeRow& row) {
        const StakeCoordinateRow stake{row.stake.station_m,
                                       row.stake.point.X_m,
                                       row.stake.point.Y_m,
                                       row.stake.point.azimuth_rad,
                                       row.left,
                                       row.right};
        std::vector<std::string> cells = table_.Cells(stake);
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return queue_.size() < kQueued || stop_; });
        if (stop_) throw Stopped{};
        queue_.push_back(std::move(cells));
        changed_.notify_all();
      });
    } catch (const Stopped&) {
    } catch (...) {
      const std::lock_guard lock(mutex_);
      error_ = std::current_exception();
    }
    const std::lock_guard lock(mutex_);
    done_ = true;
    changed_.notify_all();
  }

  const StakeRun& run_;
  StakeCoordinateTable table_;  // used by the worker only, once started
  std::thread worker_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::vector<std::string>> queue_;
  bool done_ = false;
  bool stop_ = false;
  std::exception_ptr error_;
};

// "第 N 页 / 共 M 页" renumbered for a document that puts `before` pages in
// front and has `total` in all.
void Renumber(Page& page, int before, int total) {
  const std::string old = "第 " + std::to_string(page.number) + " 页 / 共 " + std::to_string(page.count) + " 页";
  page.number += before;
  page.count = total;
  for (PageOp& op : page.ops) {
    if (auto* text = std::get_if<TextOp>(&op); text != nullptr && text->utf8 == old) {
      text->utf8 = "第 " + std::to_string(page.number) + " 页 / 共 " + std::to_string(total) + " 页";
    }
  }
}

std::string Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &local);
  return text;
}

}  // namespace

int RunTables(const std::vector<std::string>& args) {
  const Arguments arguments(args,
                            {"--interval", "--from", "--to", "--offsets", "--cross-slope", "--cross-section",
                             "--decimals", "--alignment", "-o"},
                            {"--key-points"});
  RequirePositional(arguments, 1, "路线文件 LINE.xml");
  const StakeOptions options = StakeOptionsOf(arguments);
  const int decimals = DecimalsOption(arguments);
  const auto output = arguments.Value("-o");
  if (!output) Refuse(kTablesOutputMissingPrompt);
  if (!HasPdfExtension(*output)) Refuse("输出文件“" + *output + "”的扩展名应为 .pdf");

  const std::unique_ptr<StakedLine> staked = StakeLineFile(arguments, options);
  const RoadAlignment& road = staked->road;
  const std::optional<Profile>& profile = staked->profile;
  const StakeRun& run = *staked->run;
  const TrueTypeFont font(kTableFontPath);

  PageSettings settings;
  settings.lineName = road.name;
  settings.date = Today();

  // The wide curve table on A3 landscape, held as pages (one row a JD);
  // then the others on A4, written as they are laid out.
  std::vector<Page> curvePages;
  if (road.jd) {
    const JdDesign design = DesignFromJd(road.jd->rows, road.jd->startStation_m);
    RoadTable curves = CurveTable(road.jd->rows, design, road.line, decimals);
    RowsInMemory rows(std::move(curves.rows));
    PageSettings wide = settings;
    wide.paper = Paper::A3Landscape;
    LayOutTables({{LookOf(curves.heading, false), &rows}}, wide, font,
                 [&](const Page& page) { curvePages.push_back(page); });
  }
  std::optional<RowsInMemory> verticalRows;
  std::vector<TableToPrint> tables;
  if (profile) {
    RoadTable vertical = VerticalCurveTable(road.line, *profile, decimals);
    verticalRows.emplace(std::move(vertical.rows));
    tables.push_back({LookOf(vertical.heading, false), &*verticalRows});
  }
  StakeTableRows stakeRows(run, decimals);
  tables.push_back({LookOf(stakeRows.Heading(), !run.HasLeft() && !run.HasRight()), &stakeRows});

  PdfWriter pdf(*output, font);
  const int before = static_cast<int>(curvePages.size());
  bool first = true;
  LayOutTables(tables, settings, font, [&](const Page& page) {
    if (first) {
      for (Page& curvePage : curvePages) {
        Renumber(curvePage, 0, before + page.count);
        pdf.AddPage(curvePage);
      }
      first = false;
    }
    Page renumbered = page;
    Renumber(renumbered, before, before + page.count);
    pdf.AddPage(renumbered);
  });
  pdf.Finish();
  return 0;
}

}  // namespace quorvane::cli
