// Access-layer benchmarks on databases the program builds itself in a temporary folder.
//
// Set TABULOR_BENCH_FOLDER to keep the built databases between runs (the large ones take
// a while to make); pass --huge to add a table of 10^8 rows (about 2.5 GB on disk).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <string>

#include "bench/bench_folder.h"
#include "bench/resident_memory.h"
#include "sqlitedb/sqlitedb.h"

// Counts the bytes the program holds through operator new (the engine allocates with
// malloc and is not counted), so a cursor's own memory can be read exactly.
namespace {
std::atomic<long long> heldBytes{0};
std::atomic<long long> peakBytes{0};

void* countedAllocation(std::size_t size) {
  void* block = std::malloc(size ? size : 1);
  if (!block) throw std::bad_alloc();
  const long long held = heldBytes += static_cast<long long>(malloc_usable_size(block));
  long long peak = peakBytes.load();
  while (held > peak && !peakBytes.compare_exchange_weak(peak, held)) {
  }
  return block;
}

void countedRelease(void* block) noexcept {
  if (!block) return;
  heldBytes -= static_cast<long long>(malloc_usable_size(block));
  std::free(block);
}
}  // namespace

void* operator new(std::size_t size) { return countedAllocation(size); }
void* operator new[](std::size_t size) { return countedAllocation(size); }
void operator delete(void* block) noexcept { countedRelease(block); }
void operator delete[](void* block) noexcept { countedRelease(block); }
void operator delete(void* block, std::size_t) noexcept { countedRelease(block); }
void operator delete[](void* block, std::size_t) noexcept { countedRelease(block); }

namespace {

using namespace tabulor;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const fs::path& benchFolder() { return bench::benchFolder(""); }

enum class Shape { Wide, Narrow, Gapped };

// Table t: Wide has ten columns and row ids 1..rows; Narrow has three columns and row
// ids 1..rows; Gapped is Narrow with one row id left out after every nine.
std::string database(Shape shape, long long rows) {
  static std::map<std::pair<Shape, long long>, std::string> made;
  const auto key = std::make_pair(shape, rows);
  if (auto found = made.find(key); found != made.end()) return found->second;
  const char* shapeName = shape == Shape::Wide     ? "wide"
                          : shape == Shape::Narrow ? "narrow"
                                                   : "gapped";
  const std::string path =
      (benchFolder() / (std::string(shapeName) + std::to_string(rows) + ".db")).string();
  if (!fs::exists(path)) {
    const std::string building = path + ".building";
    fs::remove(building);
    SqliteDB db;
    db.open(building, true);
    const std::string numbers =
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(rows) + ") ";
    std::string sql = "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-200000;";
    if (shape == Shape::Wide)
      sql +=
          "CREATE TABLE t (id INTEGER PRIMARY KEY, c1 TEXT, c2 INTEGER, c3 REAL, c4 TEXT,"
          " c5 TEXT, c6 INTEGER, c7 TEXT, c8 REAL, c9 TEXT);" +
          numbers +
          "INSERT INTO t SELECT i, '名称' || i, i * 3, i / 7.0, 'text' || i, hex(i), i % 97,"
          " '说明文字' || i, i * 0.5, 'end' FROM n;";
    else
      sql += "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT, amount INTEGER);" + numbers +
             "INSERT INTO t SELECT " + (shape == Shape::Gapped ? "i + (i - 1) / 9" : "i") +
             ", 'name' || i, i % 1000 FROM n;";
    db.execute(sql);
    db.close();
    fs::rename(building, path);
  }
  made[key] = path;
  return path;
}

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// What the data view does to show a table: open the cursor, then read the first 1000
// rows through a result set.
void showAsTheDataView(SqliteDB& db, SqliteTable& table) {
  table.open("t", db);
  auto dataset = db.query("select * from t limit 1000");
  dataset->requery();
  benchmark::DoNotOptimize(dataset->fetchAllText(true));
  benchmark::DoNotOptimize(table.recordCount());
}

// The engine's own answer through the C API: count the rows, read the first 1000.
void countAndReadThroughTheEngine(sqlite3* engine) {
  sqlite3_stmt* count = nullptr;
  sqlite3_prepare_v2(engine, "select count(*) from t", -1, &count, nullptr);
  sqlite3_step(count);
  benchmark::DoNotOptimize(sqlite3_column_int64(count, 0));
  sqlite3_finalize(count);
  sqlite3_stmt* rows = nullptr;
  sqlite3_prepare_v2(engine, "select * from t limit 1000", -1, &rows, nullptr);
  const int columns = sqlite3_column_count(rows);
  while (sqlite3_step(rows) == SQLITE_ROW)
    for (int column = 0; column < columns; ++column)
      benchmark::DoNotOptimize(sqlite3_column_text(rows, column));
  sqlite3_finalize(rows);
}

// Bytes a freshly opened cursor holds, and the most it held at once while opening.
void countCursorMemory(benchmark::State& state, SqliteDB& db) {
  SqliteTable table;
  const long long before = heldBytes.load();
  peakBytes.store(before);
  const long residentBefore = bench::residentKiB();
  table.open("t", db);
  state.counters["cursor_bytes"] = static_cast<double>(heldBytes.load() - before);
  state.counters["cursor_peak_bytes"] = static_cast<double>(peakBytes.load() - before);
  state.counters["resident_growth_KiB"] =
      static_cast<double>(bench::residentKiB() - residentBefore);
  state.counters["records"] = table.recordCount();
}

// Processor time of this thread: on a shared machine it is what the work itself costs,
// where the wall clock also counts the time other programs ran.
double threadMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Showing a table against the engine's count(*) + limit 1000, timed alternately in each
// iteration so both see the same machine load; the manual time is the data view's.
void BM_ShowTableAgainstEngine(benchmark::State& state) {
  const auto shape = static_cast<Shape>(state.range(0));
  const std::string path = database(shape, state.range(1));
  SqliteDB db;
  db.open(path);
  sqlite3* engine = nullptr;
  sqlite3_open_v2(path.c_str(), &engine, SQLITE_OPEN_READONLY, nullptr);
  countCursorMemory(state, db);
  SqliteTable table;
  double shown = 0, counted = 0, shownWall = 0, countedWall = 0;
  for (auto _ : state) {
    auto wall = Clock::now();
    double processor = threadMilliseconds();
    countAndReadThroughTheEngine(engine);
    counted += threadMilliseconds() - processor;
    countedWall += millisecondsSince(wall);
    wall = Clock::now();
    processor = threadMilliseconds();
    showAsTheDataView(db, table);
    const double showMs = threadMilliseconds() - processor;
    shown += showMs;
    shownWall += millisecondsSince(wall);
    state.SetIterationTime(showMs / 1000);
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["engine_ms"] = counted / iterations;
  state.counters["shown_ms"] = shown / iterations;
  state.counters["ratio"] = shown / counted;
  state.counters["wall_ratio"] = shownWall / countedWall;
  sqlite3_close(engine);
}

void showTableArguments(benchmark::internal::Benchmark* benchmark) {
  benchmark->Args({static_cast<long>(Shape::Wide), 1'000'000});
  benchmark->Args({static_cast<long>(Shape::Narrow), 10'000'000});
  benchmark->Args({static_cast<long>(Shape::Gapped), 1'000'000});
}
BENCHMARK(BM_ShowTableAgainstEngine)
    ->Apply(showTableArguments)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

void BM_OpenCursor(benchmark::State& state) {
  SqliteDB db;
  db.open(database(Shape::Wide, state.range(0)));
  SqliteTable table;
  const long before = bench::residentKiB();
  table.open("t", db);
  state.counters["resident_growth_KiB"] = static_cast<double>(bench::residentKiB() - before);
  for (auto _ : state) benchmark::DoNotOptimize(table.open("t", db));
  state.counters["records"] = table.recordCount();
}
BENCHMARK(BM_OpenCursor)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_FetchAllTextLimit1000(benchmark::State& state) {
  SqliteDB db;
  db.open(database(Shape::Wide, 100'000));
  for (auto _ : state) {
    auto dataset = db.query("select * from t limit 1000");
    dataset->requery();
    benchmark::DoNotOptimize(dataset->fetchAllText(true));
  }
}
BENCHMARK(BM_FetchAllTextLimit1000)->Unit(benchmark::kMillisecond);

void BM_ThousandGoToReadField(benchmark::State& state) {
  SqliteDB db;
  db.open(database(Shape::Wide, 100'000));
  SqliteTable table;
  table.open("t", db);
  for (auto _ : state) {
    for (int record = 1; record <= 1000; ++record) {
      FieldValue value = std::string();
      table.goTo(record * 50);
      benchmark::DoNotOptimize(table.readField("c7", value));
    }
  }
}
BENCHMARK(BM_ThousandGoToReadField)->Unit(benchmark::kMillisecond);

// One edit posted through the cursor, inside a transaction rolled back at the end; the
// table size shows whether a post rescans the table.
void BM_GoToEditPost(benchmark::State& state) {
  const auto shape = static_cast<Shape>(state.range(0));
  SqliteDB db;
  db.open(database(shape, state.range(1)));
  db.execute("PRAGMA synchronous=OFF");
  SqliteTable table;
  table.open("t", db);
  db.beginTransaction();
  const std::int64_t records = table.recordCount();
  std::int64_t step = 0;
  for (auto _ : state) {
    table.goTo(static_cast<std::int32_t>(++step * 7919 % records + 1));
    table.beginEdit();
    table.setField(FieldRef(2), std::string("edited"));
    benchmark::DoNotOptimize(table.post());
  }
  db.rollbackTransaction();
}
BENCHMARK(BM_GoToEditPost)
    ->Args({static_cast<long>(Shape::Wide), 10'000})
    ->Args({static_cast<long>(Shape::Wide), 1'000'000})
    ->Args({static_cast<long>(Shape::Gapped), 1'000'000})
    ->Unit(benchmark::kMicrosecond);

bool takeFlag(int& argc, char** argv, const char* flag) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], flag) != 0) continue;
    for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
    --argc;
    return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  setProgramCodePage("UTF-8");
  if (takeFlag(argc, argv, "--huge"))
    benchmark::RegisterBenchmark("BM_ShowTableAgainstEngine/huge", BM_ShowTableAgainstEngine)
        ->Args({static_cast<long>(Shape::Narrow), 100'000'000})
        ->UseManualTime()
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  if (!bench::benchFolderIsKept()) fs::remove_all(benchFolder(), ignored);
  return 0;
}
