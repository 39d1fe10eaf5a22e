// CSV import and export against the sqlite3 shell in the same run: the same file of
// TABULOR_BENCH_ROWS rows (10^6 by default) by 10 columns, about 100 MB, imported into the
// same table (.import --csv) and the same table exported (.mode csv, .once). Peak resident
// memory of this process is reported as peak_MiB: streaming keeps it flat.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/bench_folder.h"
#include "sqlitedb/sqlite_db.h"
#include "transfer/core/csv_export.h"
#include "transfer/core/csv_import.h"

namespace {

using namespace tabulor;
namespace fs = std::filesystem;

const char* const kColumns =
    "(id INTEGER, code TEXT, name TEXT, city TEXT, price NUMERIC, amount INTEGER, "
    "rate NUMERIC, note TEXT, day TEXT, flag INTEGER)";

long rows() {
  const char* given = std::getenv("TABULOR_BENCH_ROWS");
  return given ? std::atol(given) : 1000000;
}

const fs::path& folder() { return bench::benchFolder("csv"); }

// The file every import reads: a header and rows of numbers, Chinese text, quoted fields.
const fs::path& csvFile() {
  static const fs::path path = [] {
    const fs::path file = folder() / "in.csv";
    if (fs::exists(file)) return file;
    std::ofstream out(file, std::ios::binary);
    out << "id,code,name,city,price,amount,rate,note,day,flag\r\n";
    std::string line;
    for (long i = 1; i <= rows(); ++i) {
      line = std::to_string(i) + ",00" + std::to_string(i % 9973) + ",张三" +
             std::to_string(i % 100) + ",北京市海淀区," + std::to_string(i % 1000) + "." +
             std::to_string(i % 100) + "," + std::to_string(i * 7) + ",0." +
             std::to_string(i % 997) + ",\"备注, 第" + std::to_string(i) + "行\",2024-05-" +
             std::to_string(10 + i % 20) + "," + std::to_string(i % 2) + "\r\n";
      out << line;
    }
    return file;
  }();
  return path;
}

double peakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void shell(const std::string& arguments) {
  const std::string command = "sqlite3 " + arguments + " > /dev/null";
  if (std::system(command.c_str()) != 0) std::abort();
}

// A fresh database holding the table t, empty.
fs::path freshDatabase() {
  const fs::path db = folder() / "import.db";
  fs::remove(db);
  SqliteDB connection;
  connection.open(db.string(), true);
  connection.execute(std::string("CREATE TABLE t") + kColumns);
  return db;
}

void BM_ImportShell(benchmark::State& state) {
  const fs::path file = csvFile();
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path db = freshDatabase();
    state.ResumeTiming();
    shell(db.string() + " '.import --csv --skip 1 " + file.string() + " t'");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(file)));
}

void BM_ImportOwn(benchmark::State& state) {
  const fs::path file = csvFile();
  const bool newTable = state.range(0) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    const fs::path db = freshDatabase();
    SqliteDB connection;
    connection.open(db.string());
    state.ResumeTiming();
    transfer::CsvImportRequest request;
    request.file = file;
    request.table = newTable ? "fresh" : "t";
    request.newTable = newTable;
    const auto result =
        transfer::importCsv(connection, request, [](std::int64_t, std::int64_t) { return true; });
    if (result.status != transfer::TransferResult::Status::Done) state.SkipWithError("failed");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(file)));
  state.counters["peak_MiB"] = peakMiB();
}

// The table every export reads, filled once by the shell from the same file.
const fs::path& exportDatabase() {
  static const fs::path db = [] {
    const fs::path path = folder() / "export.db";
    if (fs::exists(path)) return path;
    SqliteDB connection;
    connection.open(path.string(), true);
    connection.execute(std::string("CREATE TABLE t") + kColumns);
    connection.close();
    shell(path.string() + " '.import --csv --skip 1 " + csvFile().string() + " t'");
    return path;
  }();
  return db;
}

void BM_ExportShell(benchmark::State& state) {
  const fs::path db = exportDatabase();
  const fs::path out = folder() / "shell.csv";
  for (auto _ : state)
    shell(db.string() + " '.headers on' '.mode csv' '.once " + out.string() +
          "' 'SELECT * FROM t'");
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(out)));
}

void BM_ExportOwn(benchmark::State& state) {
  const fs::path db = exportDatabase();
  const fs::path out = folder() / "own.csv";
  SqliteDB connection;
  connection.open(db.string());
  for (auto _ : state) {
    transfer::CsvExportRequest request;
    request.sql = transfer::wholeTableQuery("t");
    request.file = out;
    request.encoding = static_cast<transfer::FileEncoding>(state.range(0));
    const auto result = transfer::exportCsv(connection, request, 0,
                                            [](std::int64_t, std::int64_t) { return true; });
    if (result.status != transfer::TransferResult::Status::Done) state.SkipWithError("failed");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(out)));
  state.counters["peak_MiB"] = peakMiB();
}

BENCHMARK(BM_ImportShell)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_ImportOwn)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("new_table")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();
BENCHMARK(BM_ExportShell)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_ExportOwn)
    ->Arg(static_cast<int>(transfer::FileEncoding::Utf8))
    ->Arg(static_cast<int>(transfer::FileEncoding::Gb18030))
    ->ArgName("encoding")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (!tabulor::bench::benchFolderIsKept()) fs::remove_all(folder());
}
