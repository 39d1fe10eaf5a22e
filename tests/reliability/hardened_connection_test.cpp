// The guards every connection is opened with: what a file's schema may run, what the
// engine reports, and that the user's own SQL keeps its rights.
#include <sqlite3.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "reliability_files.h"
#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/sqlite_db.h"
#include "support/temp_dir.h"

namespace tabulor {
namespace {

using testing::runSql;

// An application function with a side effect (it counts its calls), registered on every
// connection as a program or extension would, without declaring it harmless.
class SideEffectFunction {
 public:
  SideEffectFunction() {
    calls() = 0;
    sqlite3_auto_extension(reinterpret_cast<void (*)()>(&install));
  }
  ~SideEffectFunction() { sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&install)); }
  SideEffectFunction(const SideEffectFunction&) = delete;
  SideEffectFunction& operator=(const SideEffectFunction&) = delete;

  static int& calls() {
    static int count = 0;
    return count;
  }

 private:
  static void call(sqlite3_context* context, int, sqlite3_value**) {
    sqlite3_result_int(context, ++calls());
  }
  static int install(sqlite3* db, char**, const sqlite3_api_routines*) {
    return sqlite3_create_function(db, "side_effect", 0, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                   nullptr, &call, nullptr, nullptr);
  }
};

class HardenedConnection : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(setProgramCodePage("UTF-8")); }

  bool open(const std::string& schema) {
    runSql(path_, schema);
    return db_.open(path_);
  }
  // The first cell of a query, or "failed: " and the engine's message.
  std::string firstCell(const std::string& sql) {
    auto dataset = db_.query(sql);
    if (!dataset->requery()) return "failed: " + db_.errorText();
    const TextTable rows = dataset->fetchAllText();
    return rows.isEmpty() ? "" : rows.cell(0, 0);
  }

  SideEffectFunction sideEffect_;
  testing::TempDir dir_;
  const std::string path_ = dir_.file("file.db");
  SqliteDB db_;
};

struct SchemaCase {
  const char* what;
  const char* schema;
  const char* statement;  // the reading or writing that would run the function
};

TEST_F(HardenedConnection, AFilesSchemaCannotCallFunctionsWithSideEffects) {
  const std::vector<SchemaCase> cases = {
      {"view", "CREATE VIEW v AS SELECT side_effect() AS x", "select * from v limit 1000"},
      {"trigger",
       "CREATE TABLE t (a); CREATE TRIGGER t_ins AFTER INSERT ON t "
       "BEGIN SELECT side_effect(); END",
       "insert into t values (1)"},
      {"generated column", "CREATE TABLE g (a, b AS (side_effect()))",
       "select * from g limit 1000"},
      {"default value", "CREATE TABLE d (a, b DEFAULT (side_effect()))",
       "insert into d (a) values (1)"},
      {"check constraint", "CREATE TABLE c (a CHECK (side_effect() > 0))",
       "insert into c values (1)"},
      {"index expression", "CREATE TABLE i (a); CREATE INDEX i_x ON i (a + side_effect())",
       "insert into i values (1)"},
  };
  for (const SchemaCase& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TempDir dir;
    const std::string path = dir.file("file.db");
    runSql(path, c.schema);
    SqliteDB db;
    ASSERT_TRUE(db.open(path));
    auto dataset = db.query(c.statement);
    EXPECT_FALSE(dataset->requery() && db.execute(c.statement));
    // A schema entry that uses it cannot even be read: the engine reports the schema.
    EXPECT_NE(db.errorText().find("unsafe use of side_effect()"), std::string::npos)
        << db.errorText();
    EXPECT_EQ(SideEffectFunction::calls(), 0);
  }
}

TEST_F(HardenedConnection, TheUsersOwnSqlKeepsItsRights) {
  ASSERT_TRUE(open("CREATE TABLE t (a)"));
  EXPECT_TRUE(db_.execute("insert into t select side_effect()"));
  EXPECT_TRUE(
      db_.execute("create temp trigger mine after insert on t begin "
                  "select side_effect(); end; insert into t values (0)"));
  EXPECT_TRUE(db_.execute("PRAGMA writable_schema=ON"));
  EXPECT_TRUE(db_.execute("PRAGMA writable_schema=OFF"));
  EXPECT_TRUE(db_.execute("ATTACH DATABASE '" + dir_.file("other.db") + "' AS other"));
  EXPECT_EQ(firstCell("select length(zeroblob(50000000))"), "50000000");
  EXPECT_EQ(SideEffectFunction::calls(), 2) << "the user's statement and trigger ran it";
}

TEST_F(HardenedConnection, SettingsTheEngineReports) {
  ASSERT_TRUE(open("CREATE TABLE t (a)"));
  const std::vector<std::pair<const char*, const char*>> cases = {
      {"PRAGMA trusted_schema", "0"},
      {"PRAGMA cell_size_check", "1"},
      {"select load_extension('libm.so.6')", "failed: not authorized"},
      {"select fts3_tokenizer('simple', x'0000000000000000')", "failed: fts3tokenize disabled"},
  };
  for (const auto& [sql, expected] : cases) EXPECT_EQ(firstCell(sql), expected) << sql;
}

TEST_F(HardenedConnection, RecursiveTriggersStopAtAHundredLevels) {
  // Each row inserted below the bound inserts the next one from its trigger.
  ASSERT_TRUE(
      open("CREATE TABLE n (i); CREATE TABLE bound (b); INSERT INTO bound VALUES (0);"
           "CREATE TRIGGER more AFTER INSERT ON n WHEN new.i < (SELECT b FROM bound) "
           "BEGIN INSERT INTO n VALUES (new.i + 1); END"));
  ASSERT_TRUE(db_.execute("PRAGMA recursive_triggers=ON"));
  EXPECT_TRUE(db_.execute("update bound set b = 100; insert into n values (1)"));
  EXPECT_EQ(firstCell("select count(*) from n"), "100");
  EXPECT_FALSE(db_.execute("update bound set b = 1000; insert into n values (1)"));
  EXPECT_EQ(db_.errorText(), "too many levels of trigger recursion");
  EXPECT_EQ(firstCell("select count(*) from n"), "100");
}

}  // namespace
}  // namespace tabulor
