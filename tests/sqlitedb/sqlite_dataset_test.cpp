#include "sqlitedb/sqlite_dataset.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlite_db.h"
#include "support/temp_dir.h"

namespace tabulor {
namespace {

using testing::TempDir;

std::vector<std::vector<std::string>> rowsOf(const TextTable& table) {
  std::vector<std::vector<std::string>> rows;
  for (int r = 0; r < table.rowCount(); ++r) {
    rows.emplace_back();
    for (int c = 0; c < table.columnCount(); ++c) rows.back().push_back(table.cell(r, c));
  }
  return rows;
}

using Rows = std::vector<std::vector<std::string>>;

class SqliteDatasetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(setProgramCodePage("UTF-8"));
    ASSERT_TRUE(db.open(dir.file("d.db"), true));
    ASSERT_TRUE(
        db.execute("CREATE TABLE t (a, b); INSERT INTO t VALUES (1, 'x');"
                   "INSERT INTO t VALUES (2.5, NULL); INSERT INTO t VALUES (10, '')"));
  }

  TempDir dir;
  SqliteDB db;
  SqliteDataset dataset;
};

TEST_F(SqliteDatasetTest, FetchesAllRowsAsTextWithOptionalHeader) {
  ASSERT_TRUE(dataset.open("SELECT a, b AS label FROM t ORDER BY rowid", db));
  ASSERT_TRUE(dataset.requery());
  EXPECT_EQ(dataset.rowCount(), 3);
  EXPECT_EQ(rowsOf(dataset.fetchAllText(true)),
            (Rows{{"a", "label"}, {"1", "x"}, {"2.5", ""}, {"10", ""}}));
  EXPECT_EQ(rowsOf(dataset.fetchAllText()), (Rows{{"1", "x"}, {"2.5", ""}, {"10", ""}}));
}

TEST_F(SqliteDatasetTest, NoRowsGiveTheEmptyTableEvenWithHeader) {
  ASSERT_TRUE(dataset.open("SELECT * FROM t WHERE a > 100", db));
  EXPECT_TRUE(dataset.fetchAllText(true).isEmpty()) << "no requery yet";
  ASSERT_TRUE(dataset.requery());
  const TextTable table = dataset.fetchAllText(true);
  EXPECT_TRUE(table.isEmpty());
  EXPECT_EQ(table.columnCount(), 0);
}

TEST_F(SqliteDatasetTest, FetchWithoutRequeryIsEmpty) {
  ASSERT_TRUE(dataset.open("SELECT * FROM t", db));
  EXPECT_TRUE(dataset.fetchAllText(true).isEmpty());
}

TEST_F(SqliteDatasetTest, AChangingStatementRunsOnceAtRequery) {
  ASSERT_TRUE(dataset.open("UPDATE t SET a = a + 1 WHERE rowid = 1", db));
  EXPECT_TRUE(dataset.requery());
  EXPECT_EQ(dataset.rowCount(), 0);
  EXPECT_TRUE(dataset.fetchAllText(true).isEmpty());
  auto check = db.query("SELECT a FROM t WHERE rowid = 1");
  ASSERT_TRUE(check->requery());
  EXPECT_EQ(check->fetchAllText().cell(0, 0), "2");
}

// A statement with RETURNING changes data and has rows: reading them must not run it again.
TEST_F(SqliteDatasetTest, AChangingStatementWithRowsRunsOnceAndItsRowsAreRead) {
  struct Case {
    const char* sql;
    Rows rows;
    const char* table;  // t afterwards, as "a:b;" per row in rowid order
  };
  const Case cases[] = {
      {"INSERT INTO t(a) VALUES (7) RETURNING a, rowid",
       {{"a", "rowid"}, {"7", "4"}},
       "1:x;2.5:;10:;7:;"},
      {"UPDATE t SET a = a + 1 WHERE b IS NOT NULL RETURNING a",
       {{"a"}, {"2"}, {"11"}},
       "2:x;2.5:;11:;"},
      {"DELETE FROM t WHERE a < 5 RETURNING b", {{"b"}, {"x"}, {""}}, "10:;"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    ASSERT_TRUE(db.execute("DELETE FROM t; INSERT INTO t VALUES (1, 'x'), (2.5, NULL), (10, '')"));
    ASSERT_TRUE(dataset.open(c.sql, db));
    ASSERT_TRUE(dataset.requery());
    EXPECT_EQ(dataset.rowCount(), static_cast<int>(c.rows.size()) - 1);
    EXPECT_EQ(rowsOf(dataset.fetchAllText(true)), c.rows);
    EXPECT_EQ(rowsOf(dataset.fetchAllText(false)), Rows(c.rows.begin() + 1, c.rows.end()))
        << "a second read keeps the rows of the one run";
    auto check = db.query(
        "SELECT group_concat(a || ':' || ifnull(b, ''), ';') || ';' FROM "
        "(SELECT a, b FROM t ORDER BY rowid)");
    ASSERT_TRUE(check->requery());
    EXPECT_EQ(check->fetchAllText().cell(0, 0), c.table);
  }
}

TEST_F(SqliteDatasetTest, OnlyTheFirstStatementRuns) {
  ASSERT_TRUE(dataset.open("SELECT count(*) FROM t; DELETE FROM t", db));
  ASSERT_TRUE(dataset.requery());
  EXPECT_EQ(rowsOf(dataset.fetchAllText()), (Rows{{"3"}}));
  ASSERT_TRUE(dataset.requery());
  EXPECT_EQ(rowsOf(dataset.fetchAllText()), (Rows{{"3"}}));
}

TEST_F(SqliteDatasetTest, EmptySqlOrClosedConnectionKeepsThePreviousStatement) {
  ASSERT_TRUE(dataset.open("SELECT b FROM t WHERE rowid = 1", db));
  EXPECT_FALSE(dataset.open("", db));
  SqliteDB closed;
  EXPECT_FALSE(dataset.open("SELECT 2", closed));
  ASSERT_TRUE(dataset.requery());
  EXPECT_EQ(rowsOf(dataset.fetchAllText()), (Rows{{"x"}}));
}

TEST_F(SqliteDatasetTest, CompileErrorDropsTheStatementAndLeavesTheMessage) {
  ASSERT_TRUE(dataset.open("SELECT 1", db));
  EXPECT_FALSE(dataset.open("SELEC 1", db));
  EXPECT_EQ(db.errorText(), "near \"SELEC\": syntax error");
  EXPECT_FALSE(dataset.hasStatement());
  EXPECT_FALSE(dataset.requery());
  EXPECT_TRUE(dataset.fetchAllText().isEmpty());
  EXPECT_FALSE(dataset.open("SELECT '\xFF'", db)) << "unconvertible SQL";
}

TEST_F(SqliteDatasetTest, InvalidUtf8ValuesReadAsEmpty) {
  ASSERT_TRUE(dataset.open("SELECT CAST(x'FF41' AS TEXT), 'ok'", db));
  ASSERT_TRUE(dataset.requery());
  EXPECT_EQ(rowsOf(dataset.fetchAllText()), (Rows{{"", "ok"}}));
}

TEST_F(SqliteDatasetTest, SchemaChangeAfterCompileFailsTheNextRun) {
  ASSERT_TRUE(dataset.open("SELECT * FROM t", db));
  ASSERT_TRUE(dataset.requery());
  ASSERT_TRUE(db.execute("ALTER TABLE t ADD COLUMN c"));
  EXPECT_FALSE(dataset.requery());
  EXPECT_EQ(dataset.rowCount(), 0);
}

TEST_F(SqliteDatasetTest, PragmasCanBeReadRepeatedly) {
  ASSERT_TRUE(dataset.open("  pragma table_info(t)", db));
  ASSERT_TRUE(dataset.requery());
  const TextTable columns = dataset.fetchAllText(true);
  ASSERT_EQ(columns.rowCount(), 3);
  EXPECT_EQ(columns.cell(0, 1), "name");
  EXPECT_EQ(columns.cell(2, 1), "b");
  ASSERT_TRUE(dataset.open("PRAGMA foreign_keys", db));
  ASSERT_TRUE(dataset.requery());
  EXPECT_EQ(rowsOf(dataset.fetchAllText()), (Rows{{"0"}}));
}

TEST_F(SqliteDatasetTest, RuntimeErrorAfterRowsKeepsTheRowsCounted) {
  ASSERT_TRUE(dataset.open(
      "SELECT CASE WHEN a < 10 THEN a ELSE abs(-9223372036854775807 - 1) END FROM t ORDER BY rowid",
      db));
  EXPECT_TRUE(dataset.requery());
  EXPECT_EQ(dataset.rowCount(), 2);
}

TEST_F(SqliteDatasetTest, CloseTwiceIsHarmlessAndLeavesTheConnection) {
  ASSERT_TRUE(dataset.open("SELECT 1", db));
  EXPECT_TRUE(dataset.close());
  EXPECT_TRUE(dataset.close());
  EXPECT_FALSE(dataset.requery());
  EXPECT_TRUE(db.isOpen());
  EXPECT_TRUE(db.close());
}

struct CutCase {
  const char* what;
  const char* value;  // SQL expression of the stored value
  std::string shown;  // the cell with a limit of 4 characters
  bool cut;
};

TEST_F(SqliteDatasetTest, ACellLimitKeepsTheFirstCharactersAndMarksTheCellCut) {
  const std::string ellipsis = "\xE2\x80\xA6";
  const std::vector<CutCase> cases = {
      {"short text", "'abc'", "abc", false},
      {"exactly the limit", "'abcd'", "abcd", false},
      {"one character over", "'abcde'", "abcd" + ellipsis, true},
      {"Chinese characters, counted as characters", "'汉字汉字汉字'", "汉字汉字" + ellipsis, true},
      {"four-byte characters", "'😀😀😀😀😀'", "😀😀😀😀" + ellipsis, true},
      {"a large value", "hex(zeroblob(3000000))", "0000" + ellipsis, true},
      {"a blob whose text ends at a zero byte", "x'41420043444546' || zeroblob(100000)", "AB",
       false},
      {"a long blob read as text up to its first zero", "x'4142434445' || zeroblob(10)",
       "ABCD" + ellipsis, true},
      {"invalid UTF-8 before the cut", "cast(x'41FF4243444546' AS TEXT)", "", true},
      {"invalid UTF-8 after the cut", "cast(x'41424344FF' AS TEXT)", "ABCD" + ellipsis, true},
      {"NULL", "NULL", "", false},
      {"a number", "123456789", "1234" + ellipsis, true},
  };
  for (const CutCase& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(dataset.open(std::string("SELECT ") + c.value + " AS v", db));
    ASSERT_TRUE(dataset.requery());
    const TextTable table = dataset.fetchAllText(true, 4);
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.cell(1, 0), c.shown);
    EXPECT_EQ(table.isCut(1, 0), c.cut);
    EXPECT_FALSE(table.isCut(0, 0)) << "the header is never cut";
  }
}

TEST_F(SqliteDatasetTest, WithoutALimitEveryValueIsWhole) {
  ASSERT_TRUE(dataset.open("SELECT hex(zeroblob(500000))", db));
  ASSERT_TRUE(dataset.requery());
  const TextTable table = dataset.fetchAllText();
  EXPECT_EQ(table.cell(0, 0), std::string(1000000, '0'));
  EXPECT_FALSE(table.isCut(0, 0));
}

}  // namespace
}  // namespace tabulor
