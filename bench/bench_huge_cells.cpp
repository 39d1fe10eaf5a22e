// Showing a table whose rows hold large values: 1000 rows of 1 MB of text, read as the
// data view reads them and put into the grid, then painted once. "cut" is the data
// view's way (cells cut to their first characters); "whole" reads every value in full,
// as the grid did before, for comparison in the same run.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/data_view.h"
#include "bench/bench_folder.h"
#include "bench/offscreen_main.h"
#include "bench/resident_memory.h"
#include "platform/egrid.h"
#include "sqlitedb/sqlitedb.h"

namespace {

using namespace tabulor;
namespace fs = std::filesystem;

constexpr int kRows = 1000;
constexpr int kValueBytes = 1'000'000;

const fs::path& benchFolder() { return bench::benchFolder("huge-"); }

std::string hugeCellsDatabase() {
  static const std::string path = [] {
    const std::string file = (benchFolder() / "huge.db").string();
    SqliteDB db;
    db.open(file, true);
    db.execute(
        "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
        "CREATE TABLE big (id INTEGER PRIMARY KEY, body TEXT, note TEXT);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(kRows) + ") INSERT INTO big SELECT i, hex(zeroblob(" +
        std::to_string(kValueBytes / 2) + ")), 'row ' || i FROM n;");
    return file;
  }();
  return path;
}

long peakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

void showHugeCells(benchmark::State& state, std::size_t cellLimit) {
  SqliteDB db;
  db.open(hugeCellsDatabase());
  EGrid grid;
  grid.resize(800, 600);
  const long before = bench::residentKiB();
  const long peakBefore = peakResidentKiB();
  long held = 0;
  for (auto _ : state) {
    auto dataset = db.query("select * from big limit " + std::to_string(kRows));
    dataset->requery();
    const TextTable rows = dataset->fetchAllText(true, cellLimit);
    showTextTable(grid, rows, true, true);
    benchmark::DoNotOptimize(grid.grab());
    held = bench::residentKiB() - before;
  }
  state.counters["held_MiB"] = static_cast<double>(held) / 1024;
  state.counters["peak_growth_MiB"] = static_cast<double>(peakResidentKiB() - peakBefore) / 1024;
}

void BM_ShowHugeCellsCut(benchmark::State& state) { showHugeCells(state, kShownCellCharacters); }
void BM_ShowHugeCellsWhole(benchmark::State& state) { showHugeCells(state, 0); }

// Cut first: the process's peak only grows, so the whole read must come second.
BENCHMARK(BM_ShowHugeCellsCut)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShowHugeCellsWhole)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return tabulor::bench::runOffscreenBenchmarks(argc, argv, benchFolder(), false);
}
