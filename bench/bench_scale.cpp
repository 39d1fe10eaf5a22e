// Big schemas and big tables through the main window: filling the structure tree and
// showing a table, each beside the engine's own work on the same file in the same run;
// and how long the window goes without answering while such work runs.
//
// Set TABULOR_BENCH_FOLDER to keep the built databases between runs (the large ones take
// minutes to make).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/structure_tree.h"
#include "bench/bench_folder.h"
#include "bench/offscreen_main.h"
#include "sqlitedb/sqlitedb.h"

namespace {

using namespace tabulor;
namespace fs = std::filesystem;

constexpr int kManyTables = 20'000;
constexpr int kManyViews = 2'000;
constexpr int kBigTables = 10;
constexpr long long kBigTableRows = 3'000'000;

const fs::path& benchFolder() { return bench::benchFolder("scale-"); }

// Builds the file once (or finds it kept from an earlier run).
std::string database(const std::string& name, const std::string& script) {
  const std::string file = (benchFolder() / name).string();
  if (fs::exists(file)) return file;
  SqliteDB db;
  db.open(file, true);
  db.execute("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;" + script + "COMMIT;");
  return file;
}

std::string rowsScript(const std::string& table, long long rows) {
  return "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
         std::to_string(rows) + ") INSERT INTO " + table +
         " SELECT i, i * 7, 'name ' || i, i / 3.0 FROM n;";
}

std::string manyTablesDatabase() {
  std::string script;
  for (int t = 0; t < kManyTables; ++t)
    script += "CREATE TABLE t" + std::to_string(t) +
              " (id INTEGER PRIMARY KEY, a INTEGER, b TEXT, c REAL, d BLOB);";
  for (int v = 0; v < kManyViews; ++v)
    script +=
        "CREATE VIEW v" + std::to_string(v) + " AS SELECT a, b FROM t" + std::to_string(v) + ";";
  return database("many-tables.db", script);
}

std::string bigTablesDatabase(bool withRows) {
  std::string script;
  for (int t = 0; t < kBigTables; ++t) {
    const std::string table = "big" + std::to_string(t);
    script += "CREATE TABLE " + table + " (id INTEGER PRIMARY KEY, a INTEGER, b TEXT, c REAL);";
    if (withRows) script += rowsScript(table, kBigTableRows);
  }
  return database(withRows ? "big-tables.db" : "big-tables-empty.db", script);
}

std::string oneTableDatabase(long long rows) {
  return database("rows-" + std::to_string(rows) + ".db",
                  "CREATE TABLE t (id INTEGER PRIMARY KEY, a INTEGER, b TEXT, c REAL);" +
                      rowsScript("t", rows));
}

struct OpenWindow {
  explicit OpenWindow(const std::string& file) : window(state) {
    state.displayLimit = 1000;
    state.db.open(file);
    state.dbPath = file;
  }
  AppState state;
  MainWindow window;
};

void fillTree(benchmark::State& state, const std::string& file) {
  OpenWindow open(file);
  for (auto _ : state) open.window.reloadStructureTree();
  state.counters["tree_items"] = treeItemCount(*open.window.findChild<QTreeWidget*>("树型框1"));
}

// The tree as it was filled before: a full cursor per table, which counts its rows.
void fillTreeWithFullCursors(benchmark::State& state, const std::string& file) {
  SqliteDB db;
  db.open(file);
  for (auto _ : state) {
    long long columns = 0;
    for (const std::string& name : db.listTables(true, false, false)) {
      SqliteTable cursor;
      if (cursor.open(name, db) && cursor.recordCount() >= 0) columns += cursor.fieldCount();
    }
    benchmark::DoNotOptimize(columns);
  }
}

void BM_TreeOfManyTables(benchmark::State& state) { fillTree(state, manyTablesDatabase()); }
void BM_TreeOfManyTablesWithFullCursors(benchmark::State& state) {
  fillTreeWithFullCursors(state, manyTablesDatabase());
}
void BM_TreeOfBigTables(benchmark::State& state) { fillTree(state, bigTablesDatabase(true)); }
void BM_TreeOfBigTablesWithFullCursors(benchmark::State& state) {
  fillTreeWithFullCursors(state, bigTablesDatabase(true));
}
void BM_TreeOfTheSameSchemaEmpty(benchmark::State& state) {
  fillTree(state, bigTablesDatabase(false));
}

// The data view's show of table t: definition, cursor, first rows, grid and summary.
void BM_ShowTable(benchmark::State& state) {
  OpenWindow open(oneTableDatabase(state.range(0)));
  for (auto _ : state) open.window.showObject("t", TableItem);
}

// What the engine must do for the same show: count the rows, read the first 1000.
void BM_EngineCountAndFirstRows(benchmark::State& state) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(oneTableDatabase(state.range(0)).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  for (auto _ : state) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT count(*) FROM t", -1, &statement, nullptr);
    sqlite3_step(statement);
    benchmark::DoNotOptimize(sqlite3_column_int64(statement, 0));
    sqlite3_finalize(statement);
    sqlite3_prepare_v2(db, "SELECT * FROM t LIMIT 1000", -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW)
      for (int c = 0; c < sqlite3_column_count(statement); ++c)
        benchmark::DoNotOptimize(sqlite3_column_text(statement, c));
    sqlite3_finalize(statement);
  }
  sqlite3_close(db);
}

// The longest time the window went without an event-loop turn while the work ran.
class GapMeter {
 public:
  GapMeter() {
    ticker_.setInterval(0);
    QObject::connect(&ticker_, &QTimer::timeout, [this] { turn(); });
    clock_.start();
    ticker_.start();
  }
  void turn() {
    const qint64 now = clock_.elapsed();
    longest_ = std::max(longest_, now - last_);
    last_ = now;
  }
  qint64 longestMs() {
    turn();
    return longest_;
  }

 private:
  QTimer ticker_;
  QElapsedTimer clock_;
  qint64 last_ = 0;
  qint64 longest_ = 0;
};

void BM_LongestGapShowingTable(benchmark::State& state) {
  OpenWindow open(oneTableDatabase(state.range(0)));
  qint64 longest = 0;
  for (auto _ : state) {
    GapMeter meter;
    open.window.showObject("t", TableItem);
    longest = std::max(longest, meter.longestMs());
  }
  state.counters["longest_gap_ms"] = static_cast<double>(longest);
}

// A view whose rows never end, cancelled by the user after two seconds.
void BM_LongestGapInANeverEndingViewCancelledAfter2s(benchmark::State& state) {
  OpenWindow open(database("never-ending.db",
                           "CREATE VIEW forever AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL"
                           " SELECT n + 1 FROM r) SELECT n FROM r;"));
  qint64 longest = 0;
  for (auto _ : state) {
    GapMeter meter;
    QTimer::singleShot(2000, [&open] {
      if (auto* dialog = open.window.findChild<QProgressDialog*>())
        if (auto* cancel = dialog->findChild<QPushButton*>()) cancel->click();
    });
    open.window.showObject("forever", ViewItem);
    longest = std::max(longest, meter.longestMs());
  }
  state.counters["longest_gap_ms"] = static_cast<double>(longest);
}

BENCHMARK(BM_TreeOfManyTables)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TreeOfManyTablesWithFullCursors)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_TreeOfBigTables)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeOfBigTablesWithFullCursors)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TreeOfTheSameSchemaEmpty)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowTable)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineCountAndFirstRows)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LongestGapShowingTable)->Arg(10'000'000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LongestGapInANeverEndingViewCancelledAfter2s)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  return tabulor::bench::runOffscreenBenchmarks(argc, argv, benchFolder(),
                                                tabulor::bench::benchFolderIsKept());
}
