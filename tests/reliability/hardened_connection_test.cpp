// The guards every connection is opened with: what a file's schema may run, what the
// engine reports, and that the user's own SQL keeps its rights.
#include <sqlite3.h>

#include <algorithm>
#include <set>
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

struct RefusedCase {
  const char* what;
  const char* schema;
  const char* statement;  // the reading or writing that would run the function
  const char* refusal;
};

// The engine's own functions with effects refuse to run from a file's schema whatever
// trusted_schema says; a CHECK, which this engine does not hold to that rule, meets the
// connection's own refusals. Either way the file's other objects still read.
TEST_F(HardenedConnection, AFilesSchemaCannotCallTheEnginesFunctionsWithEffects) {
  const std::vector<RefusedCase> cases = {
      {"view", "CREATE VIEW v AS SELECT load_extension('libm.so.6') AS x",
       "select * from v limit 1000", "unsafe use of load_extension()"},
      {"trigger",
       "CREATE TABLE t (a); CREATE TRIGGER t_ins AFTER INSERT ON t "
       "BEGIN SELECT fts3_tokenizer('simple'); END",
       "insert into t values (1)", "unsafe use of fts3_tokenizer()"},
      {"default value", "CREATE TABLE d (a, b DEFAULT (load_extension('libm.so.6')))",
       "insert into d (a) values (1)", "unsafe use of load_extension()"},
      {"check constraint loading", "CREATE TABLE c (a CHECK (load_extension('libm.so.6') IS NULL))",
       "insert into c values (1)", "not authorized"},
      {"check constraint registering",
       "CREATE TABLE c (a CHECK (fts3_tokenizer('x', x'0000000000000000') IS NULL))",
       "insert into c values (1)", "fts3tokenize disabled"},
      {"view on the page statistics", "CREATE VIEW s AS SELECT * FROM dbstat",
       "select * from s limit 1000", "unsafe use of virtual table \"dbstat\""},
  };
  for (const RefusedCase& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TempDir dir;
    const std::string path = dir.file("file.db");
    runSql(path, c.schema);
    SqliteDB db;
    ASSERT_TRUE(db.open(path));
    EXPECT_FALSE(db.listTables(true, true, false).empty()) << "the file itself reads";
    auto dataset = db.query(c.statement);
    EXPECT_FALSE(dataset->requery() && db.execute(c.statement));
    EXPECT_NE(db.errorText().find(c.refusal), std::string::npos) << db.errorText();
  }
}

// A migrated web project keeps JSON in a text column guarded by a CHECK, and files
// index and show JSON members: this engine does not mark its JSON functions harmless,
// and such a file must read and write as it does anywhere else.
TEST_F(HardenedConnection, AFilesSchemaUsingTheJsonFunctionsReadsAndWrites) {
  ASSERT_TRUE(
      open("CREATE TABLE \"app_item\" (\"id\" integer NOT NULL PRIMARY KEY AUTOINCREMENT, "
           "\"meta\" text NULL CHECK ((JSON_VALID(\"meta\") OR \"meta\" IS NULL)), "
           "\"kind\" text GENERATED ALWAYS AS (json_extract(meta, '$.kind')));"
           "CREATE INDEX app_item_city ON app_item (json_extract(meta, '$.city'));"
           "CREATE VIEW app_item_names AS SELECT id, meta ->> '$.name' AS name FROM app_item;"
           "INSERT INTO app_item (meta) VALUES ('{\"name\": \"a\", \"kind\": \"k\"}');"));
  EXPECT_EQ(db_.listTables(true, false, false),
            (std::vector<std::string>{"app_item", "sqlite_sequence"}));
  EXPECT_EQ(db_.listTables(false, true, false), (std::vector<std::string>{"app_item_names"}));
  EXPECT_EQ(firstCell("select kind from app_item"), "k");
  EXPECT_EQ(firstCell("select name from app_item_names"), "a");
  EXPECT_TRUE(db_.execute("insert into app_item (meta) values ('{\"city\": \"x\"}')"));
  // The schema still guards its column: text that is not JSON is refused.
  EXPECT_FALSE(db_.execute("insert into app_item (meta) values ('not json')"));
  EXPECT_EQ(firstCell("select count(*) from app_item where json_extract(meta, '$.city') = 'x'"),
            "1");
  EXPECT_EQ(firstCell("select count(*) from app_item"), "2");
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
      {"PRAGMA trusted_schema", "1"},
      {"PRAGMA cell_size_check", "1"},
      {"select load_extension('libm.so.6')", "failed: not authorized"},
      {"select fts3_tokenizer('simple', x'0000000000000000')", "failed: fts3tokenize disabled"},
  };
  for (const auto& [sql, expected] : cases) EXPECT_EQ(firstCell(sql), expected) << sql;
}

// The functions a file's schema can reach on a connection of the program's: neither marked
// harmless nor kept to the user's own statements.
std::vector<std::string> functionsASchemaReaches() {
  SqliteDB db;
  EXPECT_TRUE(db.open("", true));
  auto dataset =
      db.query("select distinct name from pragma_function_list where flags & " +
               std::to_string(SQLITE_INNOCUOUS | SQLITE_DIRECTONLY) + " = 0 order by name");
  EXPECT_TRUE(dataset->requery()) << db.errorText();
  const TextTable rows = dataset->fetchAllText(false);
  std::vector<std::string> names;
  for (int row = 0; row < rows.rowCount(); ++row) names.push_back(rows.cell(row, 0));
  return names;
}

// A file's schema is trusted because everything it can call is one of these, each read
// through: JSON, and the full-text and R*Tree functions that read their own tables
// (optimize() merges a full-text table's segments, keeping every entry). A function with
// effects registered on the connection, by the program or a library it links, needs
// SQLITE_DIRECTONLY; this test finds one that lacks it.
TEST(HardenedConnectionFunctions, AFilesSchemaReachesOnlyReviewedFunctions) {
  ASSERT_TRUE(setProgramCodePage("UTF-8"));
  const std::set<std::string> reviewed = {"->",
                                          "->>",
                                          "json",
                                          "json_array",
                                          "json_array_length",
                                          "json_extract",
                                          "json_group_array",
                                          "json_group_object",
                                          "json_insert",
                                          "json_object",
                                          "json_patch",
                                          "json_quote",
                                          "json_remove",
                                          "json_replace",
                                          "json_set",
                                          "json_type",
                                          "json_valid",
                                          "bm25",
                                          "fts5",
                                          "fts5_source_id",
                                          "highlight",
                                          "match",
                                          "matchinfo",
                                          "offsets",
                                          "optimize",
                                          "snippet",
                                          "rtreecheck",
                                          "rtreedepth",
                                          "rtreenode"};
  for (const std::string& name : functionsASchemaReaches())
    EXPECT_TRUE(reviewed.contains(name)) << name << " can be called from a file's schema";
  const SideEffectFunction registered;
  const std::vector<std::string> withIt = functionsASchemaReaches();
  EXPECT_NE(std::find(withIt.begin(), withIt.end(), "side_effect"), withIt.end());
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
