#include "sqlitedb/sqlite_db.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>

#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlite_dataset.h"
#include "support/code_page_scope.h"
#include "support/sql_trace.h"
#include "support/temp_dir.h"

namespace tabulor {
namespace {

namespace fs = std::filesystem;
using testing::SqlTrace;
using testing::TempDir;

class SqliteDBTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(setProgramCodePage("UTF-8"));
    ASSERT_TRUE(db.open(dir.file("main.db"), true));
  }
  void TearDown() override { setProgramCodePage("UTF-8"); }

  TempDir dir;
  SqliteDB db;
};

TEST_F(SqliteDBTest, OpenExistingFileOnlyWhenItExists) {
  SqliteDB other;
  EXPECT_FALSE(other.open(dir.file("missing.db")));
  EXPECT_FALSE(fs::exists(dir.file("missing.db")));
  EXPECT_FALSE(other.open(dir.path().string())) << "a folder is not a database file";
  EXPECT_TRUE(other.open(dir.file("new.db"), true));
  EXPECT_TRUE(other.execute("CREATE TABLE t (a)"));
  EXPECT_TRUE(fs::exists(dir.file("new.db")));
  EXPECT_TRUE(other.open(dir.file("new.db")));
  EXPECT_TRUE(other.tableExists("t"));
}

TEST_F(SqliteDBTest, InMemoryNeedsAllowCreateAndAFailedOpenClosesThePreviousDatabase) {
  for (const char* name : {"", ":memory:", ":MEMORY:"}) {
    ASSERT_TRUE(db.open(dir.file("main.db"), true));
    EXPECT_FALSE(db.open(name)) << name;
    EXPECT_FALSE(db.isOpen()) << name;
    EXPECT_EQ(db.errorCode(), 0);
    EXPECT_EQ(db.errorText(), "");
    EXPECT_TRUE(db.open(name, true)) << name;
    EXPECT_TRUE(db.execute("CREATE TABLE t (a)"));
  }
}

TEST_F(SqliteDBTest, ChineseFileNameReachesTheEngineAsUtf8OrRawBytes) {
  ASSERT_TRUE(setProgramCodePage("GBK"));
  // The folder's name is ASCII, so the path is program text in any code page.
  const std::string gbkPath = dir.path().string() + "/\xB2\xE2\xCA\xD4.db";  // 测试.db
  SqliteDB converted;
  ASSERT_TRUE(converted.open(gbkPath, true));
  ASSERT_TRUE(converted.execute("CREATE TABLE t (a)"));
  EXPECT_TRUE(fs::exists(dir.at("测试.db")));

#ifdef _WIN32
  GTEST_SKIP() << "Windows names files in UTF-16: no file is named by raw bytes";
#endif
  SqliteRawDB raw;
  ASSERT_TRUE(raw.open(gbkPath, true));
  ASSERT_TRUE(raw.execute("CREATE TABLE t (a)"));
  EXPECT_TRUE(fs::exists(gbkPath));
  EXPECT_TRUE(raw.close());
}

TEST_F(SqliteDBTest, ExecuteReportsEngineOutcomeAndErrorState) {
  EXPECT_TRUE(db.execute("CREATE TABLE t (a); INSERT INTO t VALUES (1); INSERT INTO t VALUES (2)"));
  EXPECT_EQ(db.errorCode(), 0);
  EXPECT_EQ(db.errorText(), "");
  EXPECT_EQ(db.lastInsertRowid(), 2);

  EXPECT_FALSE(db.execute("SELECT * FROM missing"));
  EXPECT_EQ(db.errorCode(), SQLITE_ERROR);
  EXPECT_EQ(db.errorText(), "no such table: missing");
  EXPECT_FALSE(db.execute("")) << "an empty text never reaches the engine";
  EXPECT_EQ(db.errorText(), "no such table: missing");
  EXPECT_FALSE(db.execute("SELECT '\xFF'")) << "not convertible";
}

TEST_F(SqliteDBTest, ClosedConnectionGivesEmptyResults) {
  ASSERT_TRUE(db.close());
  EXPECT_TRUE(db.close());
  EXPECT_FALSE(db.execute("SELECT 1"));
  EXPECT_EQ(db.errorCode(), 0);
  EXPECT_EQ(db.errorText(), "");
  EXPECT_EQ(db.lastInsertRowid(), 0);
  EXPECT_FALSE(db.beginTransaction());
  EXPECT_FALSE(db.tableExists("t"));
  EXPECT_TRUE(db.listTables(true, true, false).empty());
  EXPECT_EQ(db.tableSql("t"), "");
  EXPECT_FALSE(db.createTable("t", std::vector<SqliteFieldInfo>{{"a", 0, 0}}));
  auto dataset = db.query("SELECT 1");
  ASSERT_NE(dataset, nullptr);
  EXPECT_FALSE(dataset->hasStatement());
}

TEST_F(SqliteDBTest, CloseIsRefusedWhileAStatementIsUnfinalized) {
  auto dataset = db.query("SELECT 1");
  ASSERT_TRUE(dataset->hasStatement());
  EXPECT_FALSE(db.close());
  EXPECT_TRUE(db.isOpen());
  dataset->close();
  EXPECT_TRUE(db.close());
  EXPECT_FALSE(db.isOpen());
}

TEST_F(SqliteDBTest, ReopeningWhileAStatementIsAliveIsSafe) {
  auto dataset = db.query("SELECT 1");
  ASSERT_TRUE(db.open(dir.file("other.db"), true));
  EXPECT_TRUE(dataset->requery());
  EXPECT_EQ(dataset->fetchAllText().cell(0, 0), "1");
}

TEST_F(SqliteDBTest, AStatementOutlivingItsConnectionInATransactionEndsSafely) {
  auto owner = std::make_unique<SqliteDB>();
  ASSERT_TRUE(owner->open(dir.file("outlived.db"), true));
  ASSERT_TRUE(owner->execute("CREATE TABLE t(a)"));
  ASSERT_TRUE(owner->beginTransaction());
  ASSERT_TRUE(owner->execute("INSERT INTO t VALUES(1)"));
  auto dataset = owner->query("SELECT a FROM t");
  ASSERT_TRUE(dataset->hasStatement());
  owner.reset();
  dataset.reset();  // the kept connection closes now and rolls the transaction back
  SqliteDB reader;
  ASSERT_TRUE(reader.open(dir.file("outlived.db")));
  EXPECT_TRUE(reader.tableExists("t"));
  auto rows = reader.query("SELECT count(*) FROM t");
  ASSERT_TRUE(rows->requery());
  EXPECT_EQ(rows->fetchAllText().cell(0, 0), "0");
}

TEST_F(SqliteDBTest, TransactionStatementsAndEngineRefusals) {
  SqlTrace trace;
  SqliteDB traced;
  ASSERT_TRUE(traced.open(dir.file("main.db")));
  EXPECT_FALSE(traced.inTransaction());
  EXPECT_TRUE(traced.beginTransaction());
  EXPECT_TRUE(traced.inTransaction());
  EXPECT_FALSE(traced.beginTransaction());
  EXPECT_EQ(traced.errorText(), "cannot start a transaction within a transaction");
  EXPECT_TRUE(traced.commitTransaction());
  EXPECT_FALSE(traced.commitTransaction());
  EXPECT_EQ(traced.errorText(), "cannot commit - no transaction is active");
  EXPECT_FALSE(traced.rollbackTransaction());
  EXPECT_EQ(traced.errorText(), "cannot rollback - no transaction is active");
  EXPECT_TRUE(trace.contains("BEGIN TRANSACTION "));
  EXPECT_TRUE(trace.contains("COMMIT TRANSACTION "));
  EXPECT_TRUE(trace.contains("ROLLBACK TRANSACTION "));
}

// Long work is watched, and a refusal stops it with nothing of it left behind.
TEST_F(SqliteDBTest, AProgressHandlerWatchesAndCanInterruptLongWork) {
  ASSERT_TRUE(db.execute(
      "CREATE TABLE t (a); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n"
      " WHERE i < 20000) INSERT INTO t SELECT i FROM n"));
  int calls = 0;
  db.setProgressHandler([&calls] { return ++calls < 3; });
  EXPECT_FALSE(db.execute("UPDATE t SET a = -a"));
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(db.errorText(), "interrupted");
  db.setProgressHandler({});
  auto sum = db.query("SELECT sum(a) FROM t");
  ASSERT_TRUE(sum->requery());
  EXPECT_EQ(sum->fetchAllText().cell(0, 0), "200010000") << "the update was undone";
  EXPECT_TRUE(db.execute("UPDATE t SET a = -a")) << "no handler once it is cleared";
}

TEST_F(SqliteDBTest, TableExistsUsesLikeOnTheMainSchemaOnly) {
  SqlTrace trace;
  SqliteDB traced;
  ASSERT_TRUE(traced.open(dir.file("main.db")));
  ASSERT_TRUE(
      traced.execute("CREATE TABLE t1 (a); CREATE VIEW v1 AS SELECT 1; "
                     "CREATE TEMP TABLE tmp (a); CREATE TABLE \"it's\" (a)"));
  EXPECT_TRUE(traced.tableExists("t1"));
  EXPECT_TRUE(traced.tableExists("T1"));
  EXPECT_TRUE(traced.tableExists("t_"));
  EXPECT_TRUE(traced.tableExists("v1"));
  EXPECT_TRUE(traced.tableExists("it's"));
  EXPECT_FALSE(traced.tableExists("tmp"));
  EXPECT_FALSE(traced.tableExists("t2"));
  EXPECT_FALSE(traced.tableExists(""));
  EXPECT_TRUE(trace.contains(
      "SELECT name FROM sqlite_master  WHERE name LIKE 't1' AND type IN ('table','view') "));
}

TEST_F(SqliteDBTest, ListTablesFiltersSortsAndSendsTheDesignedStatements) {
  SqlTrace trace;
  SqliteDB traced;
  ASSERT_TRUE(traced.open(dir.file("main.db")));
  ASSERT_TRUE(
      traced.execute("CREATE TABLE zeta (a); CREATE TABLE alpha (a); CREATE VIEW mid AS SELECT 1; "
                     "CREATE TEMP TABLE tt (a); CREATE TEMP VIEW tv AS SELECT 1; "
                     "CREATE TABLE auto (id INTEGER PRIMARY KEY AUTOINCREMENT)"));
  using Names = std::vector<std::string>;
  EXPECT_EQ(traced.listTables(true, false, false),
            (Names{"alpha", "auto", "sqlite_sequence", "zeta"}));
  EXPECT_EQ(traced.listTables(false, true, false), (Names{"mid"}));
  EXPECT_EQ(traced.listTables(true, true, false),
            (Names{"alpha", "auto", "mid", "sqlite_sequence", "zeta"}));
  EXPECT_EQ(traced.listTables(true, false, true), (Names{"tt"}));
  EXPECT_EQ(traced.listTables(false, true, true), (Names{"tv"}));
  EXPECT_TRUE(traced.listTables(false, false, false).empty());
  EXPECT_TRUE(
      trace.contains("SELECT name FROM sqlite_master  WHERE type IN ('table')  ORDER BY name "));
  EXPECT_TRUE(trace.contains(
      "SELECT name FROM sqlite_temp_master  WHERE type IN ('view')  ORDER BY name "));
  EXPECT_TRUE(trace.contains(
      "SELECT name FROM sqlite_master  WHERE type IN ('table','view')  ORDER BY name "));
}

TEST_F(SqliteDBTest, TableSqlReadsMainAndTemporaryDefinitions) {
  SqlTrace trace;
  SqliteDB traced;
  ASSERT_TRUE(traced.open(dir.file("main.db")));
  ASSERT_TRUE(traced.execute("CREATE TABLE t (a INTEGER); CREATE TEMP VIEW tv AS SELECT 1 AS x"));
  EXPECT_EQ(traced.tableSql("t"), "CREATE TABLE t (a INTEGER)");
  EXPECT_EQ(traced.tableSql("tv"), "CREATE VIEW tv AS SELECT 1 AS x");
  EXPECT_EQ(traced.tableSql("missing"), "");
  EXPECT_TRUE(trace.contains(
      " SELECT sql FROM sqlite_master  WHERE name='t' AND type IN ('table','view')  UNION ALL "
      "SELECT sql FROM sqlite_temp_master  WHERE name='t' AND type IN ('table','view') "));
}

TEST_F(SqliteDBTest, CreateTableWritesTheTypeOfEachCode) {
  const std::pair<std::int32_t, const char*> codes[] = {
      {-1, "INTEGER PRIMARY KEY"},
      {0, ""},
      {1, "INTEGER"},
      {2, "INTEGER"},
      {3, "INTEGER"},
      {4, "INTEGER"},
      {7, "INTEGER"},
      {5, "NUMERIC"},
      {6, "NUMERIC"},
      {8, "TEXT(20)"},
      {10, "TEXT(20)"},
      {12, "TEXT(20)"},
      {11, "BLOB"},
      {9, "NONE"},
      {-2, "NONE"},
      {13, "NONE"},
  };
  for (const auto& [code, type] : codes) EXPECT_EQ(sqlTypeForCode(code, 20), type) << code;
  EXPECT_EQ(sqlTypeForCode(10, 0), "TEXT");
  EXPECT_EQ(sqlTypeForCode(8, -5), "TEXT");

  ASSERT_TRUE(db.createTable(
      "t",
      std::vector<SqliteFieldInfo>{{"id", -1, 0}, {"", 3, 0}, {"name", 10, 20}, {"note", 0, 0}}));
  EXPECT_EQ(db.tableSql("t"), "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT(20), note)");
  ASSERT_TRUE(db.createTable("single", std::vector<SqliteFieldInfo>{{"pic", 11, 0}}));
  EXPECT_EQ(db.tableSql("single"), "CREATE TABLE single (pic BLOB)");
}

TEST_F(SqliteDBTest, CreateTableRefusesWhatItCannotBuild) {
  EXPECT_FALSE(db.createTable("", std::vector<SqliteFieldInfo>{{"a", 0, 0}}));
  EXPECT_FALSE(db.createTable("t", std::vector<SqliteFieldInfo>{{"", 3, 0}}));
  EXPECT_FALSE(db.createTable("t", std::vector<SqliteFieldInfo>{}));
  EXPECT_FALSE(db.createTable("t", std::vector<SqliteFieldInfo>{{std::string(200, 'a'), 0, 0}}))
      << "one definition over 199 bytes";
  EXPECT_TRUE(db.createTable("t", std::vector<SqliteFieldInfo>{{std::string(199, 'a'), 0, 0}}));
  std::vector<SqliteFieldInfo> many;
  for (int i = 0; i < 200; ++i) many.push_back({"column" + std::to_string(i), 3, 0});
  EXPECT_FALSE(db.createTable("wide", many)) << "statement over 1,999 bytes";
  EXPECT_FALSE(db.tableExists("wide"));
  EXPECT_FALSE(db.createTable("t", std::vector<SqliteFieldInfo>{{"a", 0, 0}}))
      << "the engine refuses";
}

TEST_F(SqliteDBTest, ErrorTextIsCutOnACharacterBoundary) {
  std::string name;
  for (int i = 0; i < 80; ++i) name += "\xE8\xA1\xA8";  // 表
  EXPECT_FALSE(db.execute("SELECT * FROM " + name));
  const std::string text = db.errorText();
  ASSERT_FALSE(text.empty());
  EXPECT_LE(text.size(), 199u);
  EXPECT_EQ(text.rfind("no such table: ", 0), 0u);
  EXPECT_TRUE(isValidUtf8(text));
  EXPECT_EQ(text.size(), std::string("no such table: ").size() + 3 * 61);
}

// A damaged definition the engine quotes holds bytes that are not UTF-8, here in "TA\xEFLE".
TEST_F(SqliteDBTest, ErrorTextMarksBytesThatDoNotConvert) {
  ASSERT_TRUE(
      db.execute("CREATE TABLE \xE4\xBC\x9A\xE8\xAF\x9D (x); PRAGMA writable_schema=ON;"
                 "UPDATE sqlite_master SET sql = CAST(X'435245415445205441EF4C4520'"
                 " || X'E4BC9AE8AF9D2028782920' AS TEXT); PRAGMA writable_schema=OFF;"));
  const std::pair<const char*, std::string> cases[] = {
      {"UTF-8", "malformed database schema (\xE4\xBC\x9A\xE8\xAF\x9D) - near \"TA\\xEFLE\""},
      {"GBK", "malformed database schema (\xBB\xE1\xBB\xB0) - near \"TA\\xEFLE\""},
  };
  for (const auto& [codePage, expected] : cases) {
    testing::CodePageScope scope(codePage);
    SqliteDB reopened;
    ASSERT_TRUE(reopened.open(dir.file("main.db")));
    EXPECT_FALSE(reopened.execute("SELECT * FROM sqlite_master"));
    EXPECT_EQ(reopened.errorText().rfind(expected, 0), 0u)
        << codePage << ": " << reopened.errorText();
  }
}

TEST_F(SqliteDBTest, RawConnectionPassesTextUnconverted) {
  SqliteRawDB raw;
  EXPECT_FALSE(raw.execute("SELECT 1"));
  EXPECT_EQ(raw.errorText(), "");
  EXPECT_FALSE(raw.open(dir.file("absent.db")));
  EXPECT_FALSE(raw.open(":memory:"));
  ASSERT_TRUE(raw.open(dir.file("main.db")));
  EXPECT_TRUE(raw.execute("CREATE TABLE t (a); INSERT INTO t VALUES ('\xB2\xE2')"));
  EXPECT_FALSE(raw.execute(""));
  EXPECT_FALSE(raw.execute("SELECT * FROM \xB2\xE2"));
  EXPECT_EQ(raw.errorText(), "no such table: \xB2\xE2") << "message bytes unconverted";
  auto stored = db.query("SELECT hex(a) FROM t");
  ASSERT_TRUE(stored->requery());
  EXPECT_EQ(stored->fetchAllText().cell(0, 0), "B2E2") << "bytes stored as given";
}

TEST_F(SqliteDBTest, BackupCopiesCommittedRowsOfAWalDatabase) {
  ASSERT_TRUE(
      db.execute("PRAGMA journal_mode=WAL; CREATE TABLE t (a);"
                 "INSERT INTO t VALUES (1); INSERT INTO t VALUES (2)"));
  ASSERT_TRUE(fs::exists(dir.file("main.db-wal")));
  ASSERT_TRUE(db.beginTransaction());
  ASSERT_TRUE(db.execute("INSERT INTO t VALUES (3)"));
  ASSERT_TRUE(db.backupTo(dir.file("copy.db")));
  ASSERT_TRUE(db.rollbackTransaction());

  SqliteDB copy;
  ASSERT_TRUE(copy.open(dir.file("copy.db")));
  auto rows = copy.query("SELECT count(*), sum(a) FROM t");
  ASSERT_TRUE(rows->requery());
  const TextTable table = rows->fetchAllText();
  EXPECT_EQ(table.cell(0, 0), "2");
  EXPECT_EQ(table.cell(0, 1), "3");

  SqliteDB memory;
  ASSERT_TRUE(memory.open("", true));
  EXPECT_FALSE(memory.backupTo(dir.file("never.db")));
}

}  // namespace
}  // namespace tabulor
