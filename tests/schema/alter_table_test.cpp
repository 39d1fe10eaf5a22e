#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <set>

#include "schema/core/damaged_file.h"
#include "schema/core/designer.h"
#include "schema/core/table_design.h"
#include "schema_fixture.h"

namespace tabulor::schema {
namespace {

using testing::Rows;
using Strings = std::vector<std::string>;

// Alterations driven through the designer as a user would: open on the table,
// edit the grid, press OK.
class AlterTable : public testing::DesignerTest {
 protected:
  void SetUp() override {
    run("CREATE TABLE t (a INTEGER, b TEXT, c)");
    run("INSERT INTO t VALUES (1, 'one', 'x'), (2, 'two', 'y'), (3, 'three', 'z')");
  }

  void expectFailure(const Outcome& outcome) {
    ASSERT_TRUE(outcome.notice);
    EXPECT_EQ(testing::messageOf(*outcome.notice), "修改表失败！");
    EXPECT_TRUE(testing::engineDetail(*outcome.notice));
    EXPECT_FALSE(testing::engineDetail(*outcome.notice).value_or("").empty());
    EXPECT_FALSE(outcome.closeDesigner);
  }

  void expectTableUnchanged() {
    EXPECT_EQ(db_.tableSql("t"), "CREATE TABLE t (a INTEGER, b TEXT, c)");
    EXPECT_EQ(rows("SELECT a, b, c FROM t ORDER BY _ROWID_"),
              (Rows{{"1", "one", "x"}, {"2", "two", "y"}, {"3", "three", "z"}}));
    EXPECT_TRUE(
        rows("SELECT name FROM sqlite_master WHERE name LIKE '\\_\\_temp%' ESCAPE '\\'").empty());
  }
};

TEST_F(AlterTable, RenameDeleteAndAppendRunsTheRebuildSequence) {
  open("t");
  edit(2, DesignerGrid::kName, "bb");
  remove(3);
  append("d", "文本型", "10");
  const Outcome outcome = confirm();
  EXPECT_EQ(trace_.changes(),
            (Strings{"BEGIN TRANSACTION ", "CREATE TABLE __temp_t_777_temp (a, bb)",
                     "insert into __temp_t_777_temp (a,bb) select a,b from t order by _ROWID_",
                     "DROP TABLE t", "CREATE TABLE t (a INTEGER, bb TEXT, d TEXT(10))",
                     "insert into t (a,bb) select a,bb from __temp_t_777_temp order by _ROWID_",
                     "DROP TABLE __temp_t_777_temp", "COMMIT TRANSACTION "}));
  EXPECT_EQ(rows("SELECT a, bb, d IS NULL FROM t ORDER BY _ROWID_"),
            (Rows{{"1", "one", "1"}, {"2", "two", "1"}, {"3", "three", "1"}}));
  ASSERT_TRUE(outcome.notice);
  EXPECT_EQ(outcome.notice->text, "修改表 t 成功！");
  EXPECT_EQ(outcome.notice->flags, 0);
  EXPECT_TRUE(outcome.reloadStructureTree && outcome.refreshShownObject && outcome.closeDesigner);
}

// Cancelling a long rebuild, wherever it stands, leaves the table exactly as it was.
TEST_F(AlterTable, ACancelledRebuildLeavesTheTableAsItWas) {
  run("WITH RECURSIVE n(i) AS (SELECT 4 UNION ALL SELECT i + 1 FROM n WHERE i < 20000)"
      " INSERT INTO t SELECT i, 'many', i % 7 FROM n");
  const std::string definition = db_.tableSql("t");
  const Rows before = rows("SELECT _ROWID_, * FROM t ORDER BY _ROWID_");
  // The check of the file comes first: the rebuild's calls are counted from its end.
  int checkCalls = 0;
  db_.setProgressHandler([&checkCalls] { return ++checkCalls > 0; });
  ASSERT_FALSE(damagedFileRefusal(db_, "修改表"));
  // The first copy of the rows, then the copy back after the old table was dropped.
  for (int cancelAt : {1, 12, 30}) {
    open("t");
    edit(2, DesignerGrid::kName, "bb");
    int calls = 0;
    db_.setProgressHandler(
        [&calls, cancelAt, checkCalls] { return ++calls < checkCalls + cancelAt; });
    const Outcome outcome = confirm();
    db_.setProgressHandler({});
    ASSERT_EQ(calls, checkCalls + cancelAt) << "the rebuild is long enough to be cancelled there";
    expectFailure(outcome);
    EXPECT_EQ(db_.tableSql("t"), definition) << cancelAt;
    EXPECT_EQ(rows("SELECT _ROWID_, * FROM t ORDER BY _ROWID_"), before) << cancelAt;
    EXPECT_TRUE(
        rows("SELECT name FROM sqlite_master WHERE name LIKE '\\_\\_temp%' ESCAPE '\\'").empty());
  }
}

TEST_F(AlterTable, DataFollowsPositionNotName) {
  open("t");
  // Swapping the names of a and b moves no data: each position keeps its values.
  edit(1, DesignerGrid::kName, "b");
  edit(2, DesignerGrid::kName, "a");
  grid_.currentRow = 1;
  insertField(state_, grid_, InsertPlace::Before);
  edit(1, DesignerGrid::kName, "first");
  confirm();
  EXPECT_EQ(rows("SELECT first IS NULL, b, a, c FROM t ORDER BY _ROWID_"),
            (Rows{{"1", "1", "one", "x"}, {"1", "2", "two", "y"}, {"1", "3", "three", "z"}}));
}

TEST_F(AlterTable, NoExistingColumnLeftRebuildsEmpty) {
  open("t");
  append("n", "整数型", "30");
  remove(1);
  remove(1);
  remove(1);
  confirm();
  EXPECT_EQ(trace_.changes(), (Strings{"BEGIN TRANSACTION ", "DROP TABLE t",
                                       "CREATE TABLE t (n INTEGER)", "COMMIT TRANSACTION "}));
  EXPECT_TRUE(rows("SELECT * FROM t").empty());
}

TEST_F(AlterTable, FailingCopyLeavesTheOldTableItsRowsAndNoTemporaryTable) {
  run("INSERT INTO t VALUES (1, 'again', 'w')");
  open("t");
  edit(1, DesignerGrid::kType, "主键（自增字段）");
  expectFailure(confirm());
  EXPECT_EQ(trace_.changes().back(), "ROLLBACK TRANSACTION ");
  EXPECT_FALSE(db_.inTransaction());
  run("DELETE FROM t WHERE b = 'again'");
  expectTableUnchanged();
}

// A full disk makes the engine roll the whole transaction back in the middle of
// the copy; the steps after it must not then run one by one outside it.
TEST_F(AlterTable, DiskFullDuringTheCopyLeavesTheTableWhole) {
  run("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 2000) "
      "INSERT INTO t SELECT x, randomblob(500), 'w' FROM n");
  const std::string pages = rows("SELECT page_count FROM pragma_page_count")[0][0];
  run("PRAGMA max_page_count=" + std::to_string(std::stoi(pages) + 20));
  open("t");
  edit(2, DesignerGrid::kName, "bb");
  expectFailure(confirm());
  EXPECT_FALSE(db_.inTransaction());
  EXPECT_EQ(rows("SELECT count(*) FROM t"), (Rows{{"2003"}}));
  EXPECT_EQ(db_.tableSql("t"), "CREATE TABLE t (a INTEGER, b TEXT, c)");
}

TEST_F(AlterTable, ATypeWithACommaIsOneFieldAndKeepsItsData) {
  run("CREATE TABLE p (price DECIMAL(10,2), qty INTEGER)");
  run("INSERT INTO p VALUES (9.5, 4)");
  open("p");
  ASSERT_EQ(grid_.rowCount(), 3);
  edit(1, DesignerGrid::kType, "小数型");
  ASSERT_TRUE(confirm().closeDesigner);
  EXPECT_EQ(db_.tableSql("p"), "CREATE TABLE p (price NUMERIC, qty INTEGER)");
  EXPECT_EQ(rows("SELECT price, qty FROM p"), (Rows{{"9.5", "4"}}));
}

// A type the user changes replaces the declared type only (with the PRIMARY KEY
// the designer showed as part of it); a type left alone keeps its exact words.
TEST_F(AlterTable, AChangedTypeReplacesOnlyTheDeclaredType) {
  struct Case {
    std::string table;
    std::string definition;
    int row;
    int column;
    std::string text;
    std::string altered;
  } cases[] = {
      {"t1", "(\"price\" decimal(10, 2) NOT NULL DEFAULT 0, n)", 1, DesignerGrid::kType, "小数型",
       "(\"price\" NUMERIC NOT NULL DEFAULT 0, n)"},
      {"t2", "(id INTEGER PRIMARY KEY, n)", 1, DesignerGrid::kType, "整数型", "(id INTEGER, n)"},
      {"t3", "(v VARCHAR(50) COLLATE NOCASE, n)", 1, DesignerGrid::kMaxLength, "100",
       "(v TEXT(100) COLLATE NOCASE, n)"},
      {"t4", "(d DATETIME, [my col] DOUBLE)", 2, DesignerGrid::kName, "other col",
       "(d DATETIME, \"other col\" DOUBLE)"},
  };
  for (const Case& c : cases) {
    run("CREATE TABLE " + c.table + " " + c.definition);
    run("INSERT INTO " + c.table + " VALUES (1, 2.0)");
    open(c.table);
    edit(c.row, c.column, c.text);
    const Outcome outcome = confirm();
    ASSERT_TRUE(outcome.closeDesigner) << outcome.notice->text;
    EXPECT_EQ(db_.tableSql(c.table), "CREATE TABLE " + c.table + " " + c.altered);
  }
  // The kept DOUBLE still stores 2.0 as a real number.
  EXPECT_EQ(rows("SELECT typeof(\"other col\") FROM t4"), (Rows{{"real"}}));
}

// A virtual table, or a table the designer cannot load, is refused when the designer
// opens, before anything runs, and says why.
TEST_F(AlterTable, UnreadableDefinitionsAreRefusedWithAReasonBeforeAnythingRuns) {
  struct Case {
    std::string schema;
    std::string table;
    std::string message;
    std::optional<std::string> engineText;  // the detail of a database error box
  } cases[] = {
      {"CREATE VIRTUAL TABLE v USING fts5(a, b); INSERT INTO v VALUES ('x', 'y')", "v",
       "表 v 是虚拟表（模块 fts5），不能用设计器修改。", std::nullopt},
      // The cursor cannot open a name with a blank, so the designer knows no columns.
      {"CREATE TABLE \"my t\" (a, b); INSERT INTO \"my t\" VALUES ('x', 'y')", "my t",
       "不能读取表 my t，不能用设计器修改。", "no such table: my"},
  };
  for (const Case& c : cases) {
    run(c.schema);
    trace_.clear();
    state_.mode = DesignerMode::Modify;
    state_.targetTable = c.table;
    const DesignerOpening opening = openDesigner(state_, grid_, db_, cursor_);
    EXPECT_TRUE(opening.closeWindow);
    ASSERT_TRUE(opening.notice);
    EXPECT_EQ(testing::messageOf(*opening.notice), c.message);
    EXPECT_EQ(testing::engineDetail(*opening.notice), c.engineText);
    EXPECT_TRUE(trace_.changes().empty()) << c.table;
    EXPECT_EQ(rows("SELECT * FROM \"" + c.table + "\""), (Rows{{"x", "y"}}));
  }
}

// The planner's statistics describe the table and its indexes, which a rebuild drops and
// makes again: they stay, under the same names, except for an index that goes. The
// engine numbers the indexes of UNIQUE constraints in order, so one moves up when an
// earlier one goes.
TEST_F(AlterTable, StatisticsOfTheTableAndItsIndexesSurviveTheRebuild) {
  struct Case {
    std::string label;
    std::string table;
    std::function<void()> change;
    std::map<std::string, std::string> renamed;  // index name before -> after
    std::set<std::string> gone;
  } cases[] = {
      {"unchanged", "s", [] {}, {}, {}},
      {"column renamed", "s", [this] { edit(1, DesignerGrid::kName, "aa"); }, {}, {}},
      {"indexed column deleted", "s", [this] { remove(4); }, {}, {"s_d", "sqlite_autoindex_s_2"}},
      {"column of the first UNIQUE deleted",
       "s",
       [this] { remove(2); },
       {{"sqlite_autoindex_s_2", "sqlite_autoindex_s_1"}},
       {"sqlite_autoindex_s_1"}},
      {"no index", "plain", [] {}, {}, {}},
      {"without row ids", "w", [this] { edit(2, DesignerGrid::kName, "vv"); }, {}, {}},
  };
  const std::string statistics =
      "SELECT 'stat1', tbl, idx, stat, '' FROM sqlite_stat1 UNION ALL "
      "SELECT 'stat4', tbl, idx, neq || '/' || nlt || '/' || ndlt, hex(sample) FROM sqlite_stat4 "
      "ORDER BY 1, 2, 3";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    run("DROP TABLE IF EXISTS s; DROP TABLE IF EXISTS plain; DROP TABLE IF EXISTS w;"
        "DROP TABLE IF EXISTS other;"
        "CREATE TABLE s (a, b UNIQUE, c, d, UNIQUE (c, d));"
        "CREATE INDEX s_a ON s (a); CREATE INDEX s_d ON s (d);"
        "CREATE TABLE plain (x); CREATE TABLE other (x); CREATE INDEX other_x ON other (x);"
        "CREATE TABLE w (k TEXT PRIMARY KEY, v) WITHOUT ROWID;"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 40)"
        " INSERT INTO s SELECT i % 5, i, i % 3, i FROM n;"
        "INSERT INTO plain VALUES (1), (2); INSERT INTO other VALUES (1);"
        "INSERT INTO w VALUES ('a', 1), ('b', 2);"
        "ANALYZE;"
        // A file from an engine that keeps samples too.
        "PRAGMA writable_schema=ON;"
        "CREATE TABLE IF NOT EXISTS sqlite_stat4 (tbl, idx, neq, nlt, ndlt, sample);"
        "PRAGMA writable_schema=OFF;"
        "DELETE FROM sqlite_stat4;"
        "INSERT INTO sqlite_stat4 VALUES ('s', 's_d', '1 1', '7 7', '7 7', x'030108'),"
        " ('s', 'sqlite_autoindex_s_2', '1 1 1', '3 3 3', '3 3 3', x'04010101'),"
        " ('other', 'other_x', '1 1', '0 0', '0 0', x'030101');");
    Rows expected;
    for (std::vector<std::string> row : rows(statistics)) {
      if (row[1] == c.table && c.gone.contains(row[2])) continue;
      if (row[1] == c.table && c.renamed.contains(row[2])) row[2] = c.renamed.at(row[2]);
      expected.push_back(row);
    }
    std::sort(expected.begin(), expected.end());
    open(c.table);
    c.change();
    const Outcome outcome = confirm();
    ASSERT_TRUE(outcome.closeDesigner) << outcome.notice->text;
    EXPECT_EQ(rows(statistics), expected);
  }
}

// The AUTOINCREMENT counter is kept as it was: its value, and no row where there was none.
TEST_F(AlterTable, TheAutoincrementCounterIsKeptAsItWas) {
  struct Case {
    std::string label;
    std::string rows;  // statements run after the table is made
    Rows counter;
  } cases[] = {
      {"a counter beyond the rows",
       "INSERT INTO a (v) VALUES (1); UPDATE sqlite_sequence SET seq = 40",
       {{"40"}}},
      {"never written to", "", {}},
      {"rows, but the counter row removed",
       "INSERT INTO a (v) VALUES (1), (2); DELETE FROM sqlite_sequence",
       {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    run("DROP TABLE IF EXISTS a; CREATE TABLE a (id INTEGER PRIMARY KEY AUTOINCREMENT, v)");
    if (!c.rows.empty()) run(c.rows);
    open("a");
    ASSERT_TRUE(confirm().closeDesigner);
    EXPECT_EQ(rows("SELECT seq FROM sqlite_sequence WHERE name = 'a'"), c.counter);
  }
}

// A transaction the user opened stays open and keeps its changes whatever
// the alteration does.
TEST_F(AlterTable, UserTransactionSurvivesAFailedAlteration) {
  ASSERT_TRUE(db_.beginTransaction());
  run("INSERT INTO t VALUES (4, 'four', 'v')");
  open("t");
  edit(1, DesignerGrid::kType, "主键（自增字段）");
  run("INSERT INTO t VALUES (1, 'dup', 'v')");
  expectFailure(confirm());
  EXPECT_TRUE(db_.inTransaction());
  EXPECT_EQ(rows("SELECT count(*) FROM t WHERE a = 4"), (Rows{{"1"}}));
  const Strings changes = trace_.changes();
  ASSERT_GE(changes.size(), 3u);
  EXPECT_EQ(changes.front(), "SAVEPOINT tabulor_alter_table");
  EXPECT_EQ(Strings(changes.end() - 2, changes.end()),
            (Strings{"ROLLBACK TRANSACTION TO SAVEPOINT tabulor_alter_table",
                     "RELEASE SAVEPOINT tabulor_alter_table"}));
  ASSERT_TRUE(db_.rollbackTransaction());
  run("DELETE FROM t WHERE a = 4");
  expectTableUnchanged();
}

TEST_F(AlterTable, UserTransactionHoldsASuccessfulAlterationUntilItEnds) {
  ASSERT_TRUE(db_.beginTransaction());
  run("INSERT INTO t VALUES (4, 'four', 'v')");
  open("t");
  edit(2, DesignerGrid::kName, "bb");
  ASSERT_TRUE(confirm().closeDesigner);
  EXPECT_TRUE(db_.inTransaction());
  EXPECT_EQ(rows("SELECT bb FROM t WHERE a = 4"), (Rows{{"four"}}));
  EXPECT_EQ(trace_.changes().front(), "SAVEPOINT tabulor_alter_table");
  EXPECT_EQ(trace_.changes().back(), "RELEASE SAVEPOINT tabulor_alter_table");
  ASSERT_TRUE(db_.rollbackTransaction());
  expectTableUnchanged();
}

class AlterParentTable : public AlterTable {
 protected:
  void SetUp() override {
    run("CREATE TABLE parent (id INTEGER PRIMARY KEY, name TEXT)");
    run("CREATE TABLE child (id INTEGER, parent_id INTEGER REFERENCES parent(id) "
        "ON DELETE CASCADE)");
    run("INSERT INTO parent VALUES (1, 'p1'), (2, 'p2')");
    run("INSERT INTO child VALUES (10, 1), (20, 2)");
    run("PRAGMA foreign_keys=ON");
  }

  void expectChildrenKept() {
    EXPECT_EQ(rows("SELECT id, parent_id FROM child ORDER BY id"),
              (Rows{{"10", "1"}, {"20", "2"}}));
    EXPECT_EQ(rows("SELECT * FROM pragma_foreign_keys"), (Rows{{"1"}}));
  }
};

TEST_F(AlterParentTable, RebuildDoesNotCascadeIntoChildRows) {
  open("parent");
  edit(2, DesignerGrid::kName, "title");
  ASSERT_TRUE(confirm().closeDesigner);
  EXPECT_EQ(trace_.changes().front(), "PRAGMA foreign_keys=OFF");
  EXPECT_EQ(trace_.changes().back(), "PRAGMA foreign_keys=ON");
  EXPECT_EQ(rows("SELECT id, title FROM parent"), (Rows{{"1", "p1"}, {"2", "p2"}}));
  expectChildrenKept();
}

TEST_F(AlterParentTable, RebuildThatBreaksReferencesIsRolledBack) {
  open("parent");
  remove(1);
  expectFailure(confirm());
  EXPECT_EQ(db_.tableSql("parent"), "CREATE TABLE parent (id INTEGER PRIMARY KEY, name TEXT)");
  expectChildrenKept();
}

// Orphans that were there before, in the table's children or anywhere else,
// are not the alteration's doing and do not stop it.
TEST_F(AlterParentTable, OldOrphansDoNotBlockAnAlteration) {
  run("CREATE TABLE unrelated (p INTEGER REFERENCES gone(id))");
  run("PRAGMA foreign_keys=OFF");
  run("INSERT INTO unrelated VALUES (1)");
  run("INSERT INTO child VALUES (30, 99)");
  run("PRAGMA foreign_keys=ON");
  open("parent");
  edit(2, DesignerGrid::kName, "title");
  const Outcome outcome = confirm();
  ASSERT_TRUE(outcome.closeDesigner) << outcome.notice->text;
  EXPECT_EQ(rows("SELECT count(*) FROM child"), (Rows{{"3"}}));
}

TEST_F(AlterParentTable, AViolationTheAlterationBringsInIsRefusedAndNamed) {
  run("CREATE TABLE code (k NUMERIC PRIMARY KEY)");
  run("CREATE TABLE uses (k REFERENCES code(k))");
  run("INSERT INTO code VALUES ('1')");
  run("INSERT INTO uses VALUES ('1')");
  open("code");
  // Without the numeric affinity the parent's 1 no longer matches the child's '1'.
  edit(1, DesignerGrid::kType, "字节集型");
  const Outcome outcome = confirm();
  expectFailure(outcome);
  EXPECT_EQ(testing::engineDetail(*outcome.notice),
            "修改后，表 uses 中有 1 行记录违反了对表 code 的外键约束。");
  EXPECT_EQ(db_.tableSql("code"), "CREATE TABLE code (k NUMERIC PRIMARY KEY)");
}

TEST_F(AlterParentTable, InsideAUserTransactionTheRebuildIsRefused) {
  ASSERT_TRUE(db_.beginTransaction());
  open("parent");
  edit(2, DesignerGrid::kName, "title");
  expectFailure(confirm());
  EXPECT_TRUE(trace_.changes().empty());
  EXPECT_TRUE(db_.inTransaction());
  ASSERT_TRUE(db_.commitTransaction());
  EXPECT_EQ(db_.tableSql("parent"), "CREATE TABLE parent (id INTEGER PRIMARY KEY, name TEXT)");
  expectChildrenKept();
}

}  // namespace
}  // namespace tabulor::schema
