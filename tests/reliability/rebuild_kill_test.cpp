// Crash safety of the designer's table rebuild: a child process alters a large table with
// a multi-line definition, constraints, an index and a trigger exactly as the designer's
// OK button does, and is killed with SIGKILL at a random moment of the alteration. The
// file must then open intact, with the table wholly old or wholly new (its index, trigger
// and constraints included) and every row present.
//
// Usage: tabulor_tests_rebuild_kill [--runs=N] [--rows=N] [--seed=N] [gtest flags]
//   --runs  kills per journal mode (default 5), --rows  table size (default 20000)
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "schema/core/designer.h"
#include "schema/core/table_design.h"
#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/sqlite_table.h"
#include "support/temp_dir.h"

namespace tabulor {
namespace {

struct Settings {
  int runs = 5;
  int rows = 20000;
  std::uint64_t seed = 20261210;
};
Settings settings;

constexpr const char* kOldColumns = "id,name,balance,note";
constexpr const char* kNewColumns = "id,full_name,email,balance,note";
constexpr const char* kCompanions = "customers_audit,customers_name,sqlite_autoindex_customers_1";

// A connection of the engine's own, independent of the code under test.
class Engine {
 public:
  explicit Engine(const std::string& path) { sqlite3_open(path.c_str(), &db_); }
  ~Engine() { sqlite3_close(db_); }
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  bool run(const std::string& sql) {
    return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  }
  // The first column of the first row as text; "" for no row or NULL, nullopt on failure.
  std::optional<std::string> text(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) return {};
    std::optional<std::string> value;
    const int step = sqlite3_step(statement);
    if (step == SQLITE_ROW) {
      const auto* cell = sqlite3_column_text(statement, 0);
      value = cell ? reinterpret_cast<const char*>(cell) : "";
    } else if (step == SQLITE_DONE) {
      value = "";
    }
    sqlite3_finalize(statement);
    return value;
  }
  // FNV-1a over the type and bytes of every value, rows in id order; nullopt on failure.
  std::optional<std::uint64_t> checksum(const std::string& sql, std::int64_t& rows) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) return {};
    std::uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](unsigned char byte) { hash = (hash ^ byte) * 1099511628211ull; };
    rows = 0;
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
      ++rows;
      for (int column = 0; column < sqlite3_column_count(statement); ++column) {
        mix(static_cast<unsigned char>(sqlite3_column_type(statement, column)));
        const auto* bytes =
            static_cast<const unsigned char*>(sqlite3_column_blob(statement, column));
        for (int i = 0; i < sqlite3_column_bytes(statement, column); ++i) mix(bytes[i]);
        mix(0xFF);
      }
    }
    sqlite3_finalize(statement);
    if (step != SQLITE_DONE) return {};
    return hash;
  }

 private:
  sqlite3* db_ = nullptr;
};

std::string checksumQuery(const std::string& nameColumn) {
  return "SELECT id, " + nameColumn + ", balance, note FROM customers ORDER BY id";
}

bool createTemplate(const std::string& path, const std::string& journalMode, int rows) {
  Engine engine(path);
  return engine.run("PRAGMA journal_mode=" + journalMode) &&
         engine.run(
             "CREATE TABLE customers (\n"
             "  id INTEGER PRIMARY KEY,\n"
             "  name TEXT(20) NOT NULL, -- shown in lists\n"
             "  balance NUMERIC DEFAULT 0 CHECK (balance >= 0),\n"
             "  note TEXT,\n"
             "  UNIQUE (name, note)\n"
             ");"
             "CREATE TABLE audit (customer INTEGER);"
             "CREATE INDEX customers_name ON customers (name);"
             "CREATE TRIGGER customers_audit AFTER UPDATE ON customers "
             "BEGIN INSERT INTO audit VALUES (old.id); END;") &&
         engine.run("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                    std::to_string(rows) +
                    ") INSERT INTO customers SELECT i, '客户' || i, i * 1.25, "
                    "printf('备注 %08d', (i * 7919) % 1000003) FROM n");
}

// The child: loads the designer on the table as its window does, renames the second
// field and inserts a new one after it, then presses OK. Signals on `ready` just before
// the alteration starts.
[[noreturn]] void alterInChild(const std::string& path, int ready) {
  SqliteDB db;
  if (!db.open(path)) _exit(2);
  schema::DesignerState state;
  state.mode = schema::DesignerMode::Modify;
  state.targetTable = "customers";
  schema::DesignerGrid grid;
  SqliteTable cursor;
  schema::openDesigner(state, grid, db, cursor);
  auto edit = [&](int row, int column, const std::string& text) {
    grid.currentRow = row;
    grid.currentColumn = column;
    grid.cell(row, column) = text;
    schema::onDesignerCellEdited(state, grid);
  };
  edit(2, schema::DesignerGrid::kName, "full_name");
  schema::insertField(state, grid, schema::InsertPlace::After);
  edit(3, schema::DesignerGrid::kName, "email");
  edit(3, schema::DesignerGrid::kType, "文本型");
  edit(3, schema::DesignerGrid::kMaxLength, "40");
  if (write(ready, "g", 1) != 1) _exit(3);
  const Outcome outcome = schema::confirmDesign(
      db, state, [](const InputRequest&) { return std::nullopt; }, 4242);
  _exit(outcome.closeDesigner ? 0 : 4);
}

struct Child {
  pid_t pid = -1;
  bool started = false;  // reached the alteration
};

Child startChild(const std::string& path) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    alterInChild(path, fds[1]);
  }
  close(fds[1]);
  char byte = 0;
  const bool started = pid > 0 && read(fds[0], &byte, 1) == 1;
  close(fds[0]);
  return {pid, started};
}

bool hasContent(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  return !error && size > 0;
}

enum class Shape { Old, New, Broken };

struct Verdict {
  Shape shape = Shape::Broken;
  std::string fault;
};

Verdict inspect(const std::string& path, std::uint64_t expectedChecksum,
                std::int64_t expectedRows) {
  Engine engine(path);
  auto fail = [](std::string fault) { return Verdict{Shape::Broken, std::move(fault)}; };
  const auto integrity = engine.text("PRAGMA integrity_check");
  if (integrity != "ok") return fail("integrity_check: " + integrity.value_or("(failed)"));
  if (engine.text("SELECT count(*) FROM sqlite_master WHERE substr(name, 1, 7) = '__temp_'") != "0")
    return fail("a temporary table was left behind");
  const auto columns = engine.text(
      "SELECT group_concat(name, ',') FROM (SELECT name FROM pragma_table_info('customers') "
      "ORDER BY cid)");
  const auto companions = engine.text(
      "SELECT group_concat(name, ',') FROM (SELECT name FROM sqlite_master WHERE tbl_name = "
      "'customers' AND type IN ('index', 'trigger') ORDER BY name)");
  const auto indexed = engine.text(
      "SELECT group_concat(name, ',') FROM (SELECT name FROM pragma_index_info('customers_name'))");
  const auto unique = engine.text(
      "SELECT group_concat(name, ',') FROM "
      "(SELECT name FROM pragma_index_info('sqlite_autoindex_customers_1'))");
  const auto constraints = engine.text(
      "SELECT count(*) FROM pragma_table_info('customers') WHERE \"notnull\" = 1 OR "
      "dflt_value = '0'");
  Verdict verdict;
  if (columns == kOldColumns && companions == kCompanions && indexed == "name" &&
      unique == "name,note" && constraints == "2") {
    verdict.shape = Shape::Old;
  } else if (columns == kNewColumns && companions == kCompanions && indexed == "full_name" &&
             unique == "full_name,note" && constraints == "2" &&
             engine.text("SELECT count(*) FROM customers WHERE email IS NOT NULL") == "0") {
    verdict.shape = Shape::New;
  } else {
    return fail("neither old nor new: columns " + columns.value_or("?") + ", indexes/triggers " +
                companions.value_or("?") + ", index on " + indexed.value_or("?") + ", unique on " +
                unique.value_or("?"));
  }
  std::int64_t rows = 0;
  const auto sum =
      engine.checksum(checksumQuery(verdict.shape == Shape::Old ? "name" : "full_name"), rows);
  if (!sum || *sum != expectedChecksum || rows != expectedRows)
    return fail("rows or data differ: " + std::to_string(rows) + " rows");
  // The trigger fires and the CHECK holds in either shape.
  if (!engine.run("UPDATE customers SET balance = balance WHERE id = 1") ||
      engine.text("SELECT count(*) FROM audit") != "1" ||
      engine.run("UPDATE customers SET balance = -1 WHERE id = 2"))
    return fail("the trigger or the CHECK constraint is gone");
  return verdict;
}

class RebuildKill : public ::testing::TestWithParam<const char*> {};

TEST_P(RebuildKill, LeavesTheTableWhollyOldOrWhollyNewWithEveryRow) {
  ASSERT_TRUE(setProgramCodePage("UTF-8"));
  testing::TempDir dir;
  const std::string journalMode = GetParam();
  const std::string templatePath = dir.file("template.db");
  ASSERT_TRUE(createTemplate(templatePath, journalMode, settings.rows));
  std::int64_t expectedRows = 0;
  std::uint64_t expectedChecksum = 0;
  {
    Engine engine(templatePath);
    ASSERT_EQ(engine.text("PRAGMA journal_mode"), journalMode == "WAL" ? "wal" : "delete");
    const auto sum = engine.checksum(checksumQuery("name"), expectedRows);
    ASSERT_TRUE(sum);
    expectedChecksum = *sum;
  }
  ASSERT_EQ(expectedRows, settings.rows);

  int run = 0;
  auto freshCopy = [&] {
    const std::string path = dir.file("run-" + std::to_string(++run) + ".db");
    std::filesystem::copy_file(templatePath, path);
    return path;
  };
  auto removeCopy = [](const std::string& path) {
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
      std::filesystem::remove(path + suffix);
  };

  // How long the alteration takes when left alone; it must succeed and give the new table.
  using Clock = std::chrono::steady_clock;
  Clock::duration longest{};
  for (int i = 0; i < 3; ++i) {
    const std::string path = freshCopy();
    const Child child = startChild(path);
    ASSERT_TRUE(child.started);
    const auto start = Clock::now();
    int status = 0;
    waitpid(child.pid, &status, 0);
    longest = std::max(longest, Clock::now() - start);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    const Verdict verdict = inspect(path, expectedChecksum, expectedRows);
    ASSERT_EQ(verdict.shape, Shape::New) << verdict.fault;
    removeCopy(path);
  }

  std::mt19937_64 random(settings.seed + (journalMode == "WAL" ? 1 : 0));
  std::uniform_int_distribution<std::int64_t> moment(
      0, std::chrono::duration_cast<std::chrono::microseconds>(longest).count());
  int old = 0, altered = 0, finished = 0, midWrite = 0, failures = 0;
  for (int i = 0; i < settings.runs; ++i) {
    const std::string path = freshCopy();
    const std::int64_t delay = moment(random);
    const Child child = startChild(path);
    ASSERT_TRUE(child.started);
    std::this_thread::sleep_for(std::chrono::microseconds(delay));
    kill(child.pid, SIGKILL);
    int status = 0;
    waitpid(child.pid, &status, 0);
    if (WIFEXITED(status)) ++finished;
    if (hasContent(path + "-journal") || hasContent(path + "-wal")) ++midWrite;
    const Verdict verdict = inspect(path, expectedChecksum, expectedRows);
    if (verdict.shape == Shape::Old) ++old;
    if (verdict.shape == Shape::New) ++altered;
    if (verdict.shape == Shape::Broken) {
      ++failures;
      ADD_FAILURE() << "run " << i << ", killed after " << delay << " us: " << verdict.fault;
    } else {
      removeCopy(path);
    }
  }
  std::printf(
      "[ figures  ] %s: %d rows, alteration %.3f s, %d kills (%d left a journal or WAL to "
      "recover): %d old, %d new (%d finished before the kill), %d failures, seed %llu\n",
      journalMode.c_str(), settings.rows, std::chrono::duration<double>(longest).count(),
      settings.runs, midWrite, old, altered, finished, failures,
      static_cast<unsigned long long>(settings.seed));
  EXPECT_EQ(failures, 0);
}

INSTANTIATE_TEST_SUITE_P(JournalModes, RebuildKill, ::testing::Values("DELETE", "WAL"),
                         [](const auto& info) {
                           return std::string(info.param) == "WAL" ? "Wal" : "RollbackJournal";
                         });

}  // namespace
}  // namespace tabulor

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    auto value = [&](const std::string& flag) -> std::optional<std::string> {
      if (argument.rfind(flag, 0) != 0) return std::nullopt;
      return argument.substr(flag.size());
    };
    if (const auto runs = value("--runs=")) {
      tabulor::settings.runs = std::stoi(*runs);
    } else if (const auto rows = value("--rows=")) {
      tabulor::settings.rows = std::stoi(*rows);
    } else if (const auto seed = value("--seed=")) {
      tabulor::settings.seed = std::stoull(*seed);
    } else {
      std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
      return 2;
    }
  }
  return RUN_ALL_TESTS();
}
