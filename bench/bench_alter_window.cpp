// Pressing 确定 in the designer of a table unchanged, through the main window from the click
// to the box that reports it, against the engine's twelve steps for the same change run
// through the C API on another copy of the same file, in the same run.
#include <benchmark/benchmark.h>

#include <QPushButton>
#include <QTreeWidget>
#include <chrono>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "bench/bench_folder.h"
#include "bench/offscreen_main.h"
#include "bench/twelve_steps.h"
#include "platform/prompts.h"
#include "schema/table_designer_window.h"
#include "sqlitedb/sqlitedb.h"

namespace {

using namespace tabulor;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRows = 200'000;

const fs::path& benchFolder() { return bench::benchFolder("alter-window-"); }

// A table with an index and a trigger; made once.
const fs::path& templateDatabase() {
  static const fs::path path = [] {
    const fs::path file = benchFolder() / "alter-window-template.db";
    fs::remove(file);
    SqliteDB db;
    db.open(file.string(), true);
    db.execute(
        "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT NOT NULL, city TEXT, amount REAL);"
        "CREATE TABLE audit (id INTEGER);"
        "CREATE INDEX t_name ON t (name);"
        "CREATE TRIGGER t_audit AFTER UPDATE ON t BEGIN INSERT INTO audit VALUES (old.id); END;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(kRows) +
        ") INSERT INTO t SELECT i, '客户' || i, 'city' || (i % 500), (i % 10000) / 100.0 FROM n;");
    return file;
  }();
  return path;
}

std::string freshCopy(const std::string& name) {
  return bench::freshCopy(templateDatabase(), benchFolder(), name);
}

// Notes when the first box is shown, and answers it.
class BoxClock : public Prompts {
 public:
  using Prompts::messageBox;
  Answer messageBox(const QString& text, const QString&, int) override {
    if (!shownAt) shownAt = Clock::now();
    lastText = text;
    return Answer::Ok;
  }
  std::optional<QString> inputBox(const QString&, const QString&, const QString&) override {
    return std::nullopt;
  }
  std::optional<QString> openFileName(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<QString> saveFileName(const FileDialogRequest&) override { return std::nullopt; }
  void popupMenu(QMenu&, const QPoint&) override {}

  std::optional<Clock::time_point> shownAt;
  QString lastText;
};

// The window on a fresh copy, t shown and its designer open; the click on 确定 is timed to
// the box.
double alterThroughWindow(const std::string& file, BoxClock& boxes) {
  AppState state;
  state.displayLimit = 1000;
  state.db.open(file);
  state.dbPath = file;
  MainWindow window(state);
  window.reloadStructureTree();
  auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("树型框1"));
  tree->setCurrentItem(
      tree->findItems(QStringLiteral("t"), Qt::MatchExactly | Qt::MatchRecursive).front());
  window.action(Command::ModifyTable)->trigger();
  auto* designer = window.findChild<TableDesignerWindow*>();
  if (!designer) throw std::runtime_error("the designer did not open");
  boxes.shownAt.reset();
  const auto start = Clock::now();
  designer->findChild<QPushButton*>(QStringLiteral("按钮_确定"))->click();
  if (!boxes.shownAt || !boxes.lastText.contains(QStringLiteral("成功")))
    throw std::runtime_error("no success box: " + boxes.lastText.toStdString());
  return std::chrono::duration<double>(*boxes.shownAt - start).count();
}

void BM_AlterThroughTheWindowAgainstTwelveSteps(benchmark::State& state) {
  BoxClock boxes;
  setPrompts(&boxes);
  double windowSeconds = 0;
  double engineSeconds = 0;
  for (auto _ : state) {
    const double alter = alterThroughWindow(freshCopy("window.db"), boxes);
    const double engine = bench::twelveSteps(
        freshCopy("engine.db"),
        "CREATE TABLE new_t (id INTEGER PRIMARY KEY, name TEXT NOT NULL, city TEXT, amount REAL)");
    state.SetIterationTime(alter);
    windowSeconds += alter;
    engineSeconds += engine;
  }
  setPrompts(nullptr);
  state.counters["rows"] = kRows;
  state.counters["window_s"] =
      benchmark::Counter(windowSeconds, benchmark::Counter::kAvgIterations);
  state.counters["twelve_steps_s"] =
      benchmark::Counter(engineSeconds, benchmark::Counter::kAvgIterations);
  state.counters["ratio"] = engineSeconds > 0 ? windowSeconds / engineSeconds : 0;
}
BENCHMARK(BM_AlterThroughTheWindowAgainstTwelveSteps)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return tabulor::bench::runOffscreenBenchmarks(argc, argv, benchFolder(),
                                                bench::benchFolderIsKept());
}
