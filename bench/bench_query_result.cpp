// A console query's whole result shown in the main grid, against stepping the same
// statement through the C API and reading every value as text, timed alternately in the
// same run so both see the same machine load. 10^6 rows of ten columns and 10^7 rows of
// three; the databases are built by a child process, so its memory is not counted here.
//
// Set TABULOR_BENCH_FOLDER to keep the built databases between runs.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/data_view.h"
#include "bench/bench_folder.h"
#include "bench/offscreen_main.h"
#include "bench/resident_memory.h"
#include "console/core/console_run.h"
#include "platform/egrid.h"
#include "sqlitedb/sqlitedb.h"

namespace {

using namespace tabulor;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const fs::path& benchFolder() { return bench::benchFolder("result-"); }

// Table t with ten columns (the data view's benchmark table) or three.
std::string database(bool wide, long long rows) {
  const std::string path =
      (benchFolder() / ((wide ? "wide" : "narrow") + std::to_string(rows) + ".db")).string();
  if (fs::exists(path)) return path;
  const pid_t child = fork();
  if (child == 0) {
    const std::string building = path + ".building";
    fs::remove(building);
    SqliteDB db;
    db.open(building, true);
    const std::string numbers =
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(rows) + ") ";
    std::string sql = "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;";
    if (wide)
      sql +=
          "CREATE TABLE t (id INTEGER PRIMARY KEY, c1 TEXT, c2 INTEGER, c3 REAL, c4 TEXT,"
          " c5 TEXT, c6 INTEGER, c7 TEXT, c8 REAL, c9 TEXT);" +
          numbers +
          "INSERT INTO t SELECT i, '名称' || i, i * 3, i / 7.0, 'text' || i, hex(i), i % 97,"
          " '说明文字' || i, i * 0.5, 'end' FROM n;";
    else
      sql += "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT, amount INTEGER);" + numbers +
             "INSERT INTO t SELECT i, 'name' || i, i % 1000 FROM n;";
    const bool built = db.execute(sql);
    db.close();
    if (built) fs::rename(building, path);
    _exit(built ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return path;
}

double threadMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The largest resident size since the last reset, in KiB.
long peakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string word;
  while (status >> word)
    if (word == "VmHWM:") {
      long kib = 0;
      status >> kib;
      return kib;
    }
  return 0;
}

void resetPeakResident() { std::ofstream("/proc/self/clear_refs") << "5"; }

// The engine's own pace: every row stepped, every value read as text.
void stepThroughTheEngine(sqlite3* engine) {
  sqlite3_stmt* rows = nullptr;
  sqlite3_prepare_v2(engine, "select * from t", -1, &rows, nullptr);
  const int columns = sqlite3_column_count(rows);
  while (sqlite3_step(rows) == SQLITE_ROW)
    for (int column = 0; column < columns; ++column) {
      benchmark::DoNotOptimize(sqlite3_column_text(rows, column));
      benchmark::DoNotOptimize(sqlite3_column_bytes(rows, column));
    }
  sqlite3_finalize(rows);
}

void BM_QueryResultAgainstEngine(benchmark::State& state) {
  const bool wide = state.range(0) == 10;
  const std::string path = database(wide, state.range(1));
  SqliteDB db;
  db.open(path);
  sqlite3* engine = nullptr;
  sqlite3_open_v2(path.c_str(), &engine, SQLITE_OPEN_READONLY, nullptr);
  SqliteDataset dataset;
  EGrid grid;
  grid.resize(1200, 800);
  double shown = 0, stepped = 0, shownWall = 0, steppedWall = 0;
  double read = 0;
  long keptKiB = 0, peakKiB = 0, rowsKiB = 0;
  int rows = 0;
  bool spilled = false;
  for (auto _ : state) {
    grid.resetGrid();
    malloc_trim(0);
    auto wall = Clock::now();
    double processor = threadMilliseconds();
    stepThroughTheEngine(engine);
    stepped += threadMilliseconds() - processor;
    steppedWall += millisecondsSince(wall);

    malloc_trim(0);
    const long before = bench::residentKiB();
    resetPeakResident();
    wall = Clock::now();
    processor = threadMilliseconds();
    ConsoleQuery query = runConsoleQuery("select * from t", db, dataset);
    read += threadMilliseconds() - processor;
    rowsKiB = bench::residentKiB() - before;
    spilled = query.rows.spilled();
    showResultRows(grid, std::move(query.rows));
    benchmark::DoNotOptimize(grid.grab());
    const double showMs = threadMilliseconds() - processor;
    shown += showMs;
    shownWall += millisecondsSince(wall);
    state.SetIterationTime(showMs / 1000);
    keptKiB = bench::residentKiB() - before;
    peakKiB = peakResidentKiB() - before;
    rows = grid.rowCount() - 1;
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["rows"] = rows;
  state.counters["engine_ms"] = stepped / iterations;
  state.counters["shown_ms"] = shown / iterations;
  state.counters["read_ms"] = read / iterations;  // of shown_ms, reading the rows
  state.counters["rows_MiB"] = static_cast<double>(rowsKiB) / 1024;  // of kept_MiB, the rows
  state.counters["ratio"] = shown / stepped;
  state.counters["wall_ratio"] = shownWall / steppedWall;
  state.counters["kept_MiB"] = static_cast<double>(keptKiB) / 1024;
  state.counters["peak_growth_MiB"] = static_cast<double>(peakKiB) / 1024;
  state.counters["kept_bytes_per_row"] = static_cast<double>(keptKiB) * 1024 / rows;
  state.counters["spilled"] = spilled ? 1 : 0;
  sqlite3_close(engine);
}

BENCHMARK(BM_QueryResultAgainstEngine)
    ->Args({10, 1'000'000})
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QueryResultAgainstEngine)
    ->Args({3, 10'000'000})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return tabulor::bench::runOffscreenBenchmarks(argc, argv, benchFolder(),
                                                tabulor::bench::benchFolderIsKept());
}
