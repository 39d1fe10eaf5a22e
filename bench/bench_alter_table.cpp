// Altering a large table through the designer (adding one column), against the cost of
// one plain copy of its rows; pressing OK unchanged, against the engine's documented
// twelve steps for changing a table's definition, run through the C API; and the check of
// the file made before either writes. Real files in a temporary folder.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_folder.h"
#include "bench/twelve_steps.h"
#include "schema/core/damaged_file.h"
#include "schema/core/designer.h"
#include "schema/core/table_design.h"
#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlitedb.h"
#include "sqlitedb/text_scanning.h"

namespace {

using namespace tabulor;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kRows = 1'000'000;

constexpr const char* kTableDefinition =
    "CREATE TABLE t (\n"
    "  id INTEGER PRIMARY KEY,\n"
    "  name TEXT NOT NULL,\n"
    "  city VARCHAR(40) DEFAULT '',\n"
    "  amount NUMERIC(10,2) CHECK (amount >= 0),\n"
    "  made DATETIME,\n"
    "  note TEXT\n"
    ")";

const fs::path& benchFolder() {
  static const fs::path folder = [] {
    fs::path path = fs::temp_directory_path() / ("tabulor-bench-alter-" + std::to_string(getpid()));
    fs::create_directories(path);
    return path;
  }();
  return folder;
}

// The table as another tool writes it: several lines, constraints, three indexes
// and a trigger; made once.
const fs::path& templateDatabase() {
  static const fs::path path = [] {
    const fs::path file = benchFolder() / "template.db";
    SqliteDB db;
    db.open(file.string(), true);
    db.execute(
        std::string(kTableDefinition) +
        ";"
        "CREATE TABLE audit (id INTEGER);"
        "CREATE INDEX t_name ON t (name);"
        "CREATE INDEX t_city ON t (city, amount);"
        "CREATE INDEX t_made ON t (made);"
        "CREATE TRIGGER t_audit AFTER UPDATE ON t BEGIN INSERT INTO audit VALUES (old.id); END;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(kRows) +
        ") INSERT INTO t SELECT i, '客户' || i, 'city' || (i % 500), (i % 10000) / 100.0,"
        " '2024-01-01', printf('备注 %08d', (i * 7919) % 1000003) FROM n;");
    return file;
  }();
  return path;
}

std::string freshCopy(const std::string& name) {
  return bench::freshCopy(templateDatabase(), benchFolder(), name);
}

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The designer opened on t, as the window opens it.
struct OpenDesigner {
  explicit OpenDesigner(SqliteDB& db) {
    designer.mode = schema::DesignerMode::Modify;
    designer.targetTable = "t";
    schema::openDesigner(designer, grid, db, cursor);
  }
  Outcome confirm(SqliteDB& db) {
    return schema::confirmDesign(
        db, designer, [](const InputRequest&) { return std::nullopt; }, 1);
  }
  schema::DesignerState designer;
  schema::DesignerGrid grid;
  SqliteTable cursor;
};

// The twelve steps with the table's own definition under the new name.
double twelveSteps(const std::string& file) {
  std::string definition = kTableDefinition;
  definition.replace(definition.find(" t ("), 4, " new_t (");
  return bench::twelveSteps(file, definition);
}

// Each iteration times the designer's OK with nothing changed and, on another fresh copy,
// the twelve steps.
void BM_AlterUnchangedAgainstTwelveSteps(benchmark::State& state) {
  setProgramCodePage("UTF-8");
  double alterSeconds = 0;
  double engineSeconds = 0;
  for (auto _ : state) {
    SqliteDB db;
    db.open(freshCopy("alter.db"));
    OpenDesigner designer(db);
    const auto start = Clock::now();
    const Outcome outcome = designer.confirm(db);
    const double alter = secondsSince(start);
    if (!outcome.closeDesigner) state.SkipWithError("the alteration failed");
    db.close();
    const double engine = twelveSteps(freshCopy("engine.db"));
    state.SetIterationTime(alter);
    alterSeconds += alter;
    engineSeconds += engine;
  }
  state.counters["rows"] = kRows;
  state.counters["alter_s"] = benchmark::Counter(alterSeconds, benchmark::Counter::kAvgIterations);
  state.counters["twelve_steps_s"] =
      benchmark::Counter(engineSeconds, benchmark::Counter::kAvgIterations);
  state.counters["ratio"] = engineSeconds > 0 ? alterSeconds / engineSeconds : 0;
}
BENCHMARK(BM_AlterUnchangedAgainstTwelveSteps)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kSecond);

// Each iteration times the designer's OK after adding one field, and, on another fresh
// copy, one INSERT INTO copy SELECT * FROM t; the ratio sets the first against the second.
void BM_AlterAddColumnAgainstOneCopy(benchmark::State& state) {
  setProgramCodePage("UTF-8");
  double alterSeconds = 0;
  double copySeconds = 0;
  for (auto _ : state) {
    SqliteDB db;
    db.open(freshCopy("alter.db"));
    OpenDesigner opened(db);
    schema::DesignerGrid& grid = opened.grid;
    grid.currentRow = grid.lastRow();
    schema::insertField(opened.designer, grid, schema::InsertPlace::After);
    grid.currentRow = grid.lastRow();
    grid.cell(grid.currentRow, schema::DesignerGrid::kName) = "added";
    grid.cell(grid.currentRow, schema::DesignerGrid::kType) = programTextFromUtf8("整数型");
    schema::onDesignerCellEdited(opened.designer, grid);
    auto start = Clock::now();
    const Outcome outcome = opened.confirm(db);
    const double alter = secondsSince(start);
    if (!outcome.closeDesigner) state.SkipWithError("the alteration failed");

    SqliteDB plain;
    plain.open(freshCopy("copy.db"));
    plain.execute("CREATE TABLE copy AS SELECT * FROM t WHERE 0");
    start = Clock::now();
    plain.execute("INSERT INTO copy SELECT * FROM t");
    const double copy = secondsSince(start);

    state.SetIterationTime(alter);
    alterSeconds += alter;
    copySeconds += copy;
  }
  state.counters["rows"] = kRows;
  state.counters["alter_s"] = benchmark::Counter(alterSeconds, benchmark::Counter::kAvgIterations);
  state.counters["insert_select_s"] =
      benchmark::Counter(copySeconds, benchmark::Counter::kAvgIterations);
  state.counters["ratio"] = copySeconds > 0 ? alterSeconds / copySeconds : 0;
}
BENCHMARK(BM_AlterAddColumnAgainstOneCopy)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kSecond);

// Each iteration times the check every writing command makes before it writes (the
// catalogue's records, then the engine's quick check of every page), on a fresh copy: the
// part of the alterations above that is spent making sure the file is sound.
void BM_CheckBeforeWriting(benchmark::State& state) {
  setProgramCodePage("UTF-8");
  double checkSeconds = 0;
  for (auto _ : state) {
    SqliteDB db;
    db.open(freshCopy("check.db"));
    const auto start = Clock::now();
    if (schema::damagedFileRefusal(db, "修改表")) state.SkipWithError("the file was refused");
    const double check = secondsSince(start);
    state.SetIterationTime(check);
    checkSeconds += check;
  }
  state.counters["rows"] = kRows;
  state.counters["check_s"] = benchmark::Counter(checkSeconds, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CheckBeforeWriting)->UseManualTime()->Iterations(3)->Unit(benchmark::kSecond);

}  // namespace

// The files are large: they go when the run ends.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(benchFolder());
  return 0;
}
