// Access-layer benchmarks on databases the program builds itself in a temporary folder.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "sqlitedb/sqlitedb.h"

namespace {

using namespace tabulor;
namespace fs = std::filesystem;

const fs::path& benchFolder() {
  static const fs::path folder = [] {
    fs::path path = fs::temp_directory_path() / ("tabulor-bench-" + std::to_string(getpid()));
    fs::create_directories(path);
    return path;
  }();
  return folder;
}

// A database holding table t with `rows` rows of ten columns, made once per size.
std::string databaseWithRows(int rows) {
  static std::map<int, std::string> made;
  auto found = made.find(rows);
  if (found != made.end()) return found->second;
  const std::string path = (benchFolder() / ("rows" + std::to_string(rows) + ".db")).string();
  SqliteDB db;
  db.open(path, true);
  db.execute(
      "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
      "CREATE TABLE t (id INTEGER PRIMARY KEY, c1 TEXT, c2 INTEGER, c3 REAL, c4 TEXT, c5 TEXT,"
      " c6 INTEGER, c7 TEXT, c8 REAL, c9 TEXT);"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
      std::to_string(rows) +
      ") INSERT INTO t SELECT i, '名称' || i, i * 3, i / 7.0, 'text' || i, hex(i), i % 97,"
      " '说明文字' || i, i * 0.5, 'end' FROM n;");
  made[rows] = path;
  return path;
}

long residentKiB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void BM_OpenCursor(benchmark::State& state) {
  SqliteDB db;
  db.open(databaseWithRows(static_cast<int>(state.range(0))));
  SqliteTable table;
  const long before = residentKiB();
  table.open("t", db);
  state.counters["resident_growth_KiB"] = static_cast<double>(residentKiB() - before);
  for (auto _ : state) benchmark::DoNotOptimize(table.open("t", db));
  state.counters["records"] = table.recordCount();
}
BENCHMARK(BM_OpenCursor)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_FetchAllTextLimit1000(benchmark::State& state) {
  SqliteDB db;
  db.open(databaseWithRows(100'000));
  for (auto _ : state) {
    auto dataset = db.query("select * from t limit 1000");
    dataset->requery();
    benchmark::DoNotOptimize(dataset->fetchAllText(true));
  }
}
BENCHMARK(BM_FetchAllTextLimit1000)->Unit(benchmark::kMillisecond);

void BM_ThousandGoToReadField(benchmark::State& state) {
  SqliteDB db;
  db.open(databaseWithRows(100'000));
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

// Each post reloads the row-id snapshot, so the table size matters; 10^4 rows.
void BM_ThousandGoToEditPost(benchmark::State& state) {
  SqliteDB db;
  db.open(databaseWithRows(10'000));
  db.execute("PRAGMA synchronous=OFF");
  SqliteTable table;
  table.open("t", db);
  db.beginTransaction();
  for (auto _ : state) {
    for (int record = 1; record <= 1000; ++record) {
      table.goTo(record * 7);
      table.beginEdit();
      table.setField("c2", std::int32_t{record});
      benchmark::DoNotOptimize(table.post());
    }
  }
  db.rollbackTransaction();
}
BENCHMARK(BM_ThousandGoToEditPost)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  setProgramCodePage("UTF-8");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  fs::remove_all(benchFolder(), ignored);
  return 0;
}
