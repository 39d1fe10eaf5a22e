// The row-id snapshot kept up to date by the cursor's own edits must always equal a
// fresh read of the table, whatever else the edits set off.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/sqlite_table.h"
#include "support/sql_trace.h"
#include "support/temp_dir.h"

namespace tabulor {
namespace {

using testing::SqlTrace;
using testing::TempDir;

struct Schema {
  const char* what;
  const char* sql;
  bool rowIdColumn;  // "id" is the row id, so editing it moves the record
};

const Schema kSchemas[] = {
    {"row ids with gaps", "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT, tag TEXT)", true},
    {"implicit row ids", "CREATE TABLE t (id INTEGER, name TEXT, tag TEXT)", false},
    {"triggers adding and removing rows",
     "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT, tag TEXT);"
     "CREATE TRIGGER drop_next AFTER UPDATE OF name ON t WHEN new.name LIKE '%3' BEGIN"
     " DELETE FROM t WHERE id = (SELECT min(id) FROM t WHERE id > new.id); END;"
     "CREATE TRIGGER add_one AFTER DELETE ON t WHEN old.id % 3 = 0 BEGIN"
     " INSERT INTO t (name, tag) VALUES ('added', old.id); END",
     true},
    {"replaced rows",
     "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT UNIQUE ON CONFLICT REPLACE, tag TEXT)",
     true},
    {"cascading foreign keys",
     "PRAGMA foreign_keys = ON;"
     "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT, tag INTEGER"
     " REFERENCES t (id) ON DELETE CASCADE ON UPDATE CASCADE)",
     true},
};

class SnapshotTest : public ::testing::TestWithParam<Schema> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(setProgramCodePage("UTF-8"));
    ASSERT_TRUE(db.open(dir.file("t.db"), true));
    ASSERT_TRUE(other.open(dir.file("t.db")));
    // Each write would otherwise wait for the disk.
    ASSERT_TRUE(db.execute("PRAGMA synchronous = OFF"));
    ASSERT_TRUE(other.execute("PRAGMA synchronous = OFF"));
    ASSERT_TRUE(db.execute(GetParam().sql));
    for (int row = 0; row < 90; ++row) insertRow();
  }

  std::int64_t anyId() { return static_cast<std::int64_t>(pick() % 300) + 1; }
  std::string anyName() { return "n" + std::to_string(pick() % 40); }

  // Explicit row ids spread over a wider range leave gaps; a taken id is skipped. The
  // tag refers to a smaller id, for the cascades.
  void insertRow(SqliteDB& connection) {
    const std::string id = std::to_string(anyId());
    const std::string tag = "(SELECT max(id) FROM t WHERE id < " + id + ")";
    connection.execute("INSERT OR IGNORE INTO t (rowid, id, name, tag) VALUES (" + id + ", " + id +
                       ", '" + anyName() + "', " + tag + ")");
  }
  void insertRow() { insertRow(db); }

  // Every record of the cursor reads as the same record of a freshly opened one.
  void expectSameAsReload(SqliteTable& table, const std::string& after) {
    SqliteTable reloaded;
    ASSERT_TRUE(reloaded.open("t", db)) << after;
    ASSERT_EQ(table.recordCount(), reloaded.recordCount()) << after;
    const std::int32_t kept = table.currentRecord();
    for (std::int32_t record = 1; record <= reloaded.recordCount(); ++record) {
      ASSERT_TRUE(table.goTo(record) && reloaded.goTo(record)) << after;
      for (int field = 1; field <= reloaded.fieldCount(); ++field) {
        FieldValue mine = std::string(), fresh = std::string();
        ASSERT_TRUE(table.readField(field, mine)) << after << ", record " << record;
        ASSERT_TRUE(reloaded.readField(field, fresh)) << after;
        ASSERT_EQ(mine, fresh) << after << ", record " << record << ", field " << field;
      }
    }
    table.goTo(kept);
  }

  TempDir dir;
  SqliteDB db;
  SqliteDB other;  // another connection to the same file
  std::mt19937 pick{13};
};

TEST_P(SnapshotTest, OwnEditsKeepTheSnapshotEqualToAReload) {
  SqliteTable table;
  ASSERT_TRUE(table.open("t", db));
  bool inSavepoint = false;
  for (int step = 0; step < 160; ++step) {
    const std::string at = "step " + std::to_string(step);
    const auto record = static_cast<std::int32_t>(pick() % (table.recordCount() + 1)) + 1;
    switch (pick() % 11) {
      case 0:
      case 1:
      case 2: {
        table.goTo(record);
        if (!table.beginEdit()) break;
        const bool moveIt = GetParam().rowIdColumn && pick() % 3 == 0;
        table.setField(moveIt ? FieldRef("id") : FieldRef(pick() % 2 ? "name" : "tag"),
                       moveIt ? FieldValue(anyId()) : FieldValue(anyName()));
        if (table.post()) expectSameAsReload(table, at + ", post");
        break;
      }
      case 3:
      case 4:
        if (!table.goTo(record)) break;
        table.deleteRecord();
        expectSameAsReload(table, at + ", delete");
        break;
      case 5:
        insertRow();
        break;
      case 6:
        db.execute("DELETE FROM t WHERE id = " + std::to_string(anyId()));
        break;
      case 7:
        // Undoing the cursor's own edits must not leave them in its snapshot.
        db.execute(inSavepoint ? (pick() % 2 ? "ROLLBACK TO s; RELEASE s" : "RELEASE s")
                               : "SAVEPOINT s");
        inSavepoint = !inSavepoint;
        break;
      case 8:
        if (!inSavepoint) insertRow(other);
        break;
      case 9:
        if (!inSavepoint) db.execute("VACUUM");  // may renumber implicit row ids
        break;
      case 10: {
        SqliteTable another;  // another cursor on the same connection
        if (another.open("t", db) && another.goTo(record)) another.deleteRecord();
        break;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Tables, SnapshotTest, ::testing::ValuesIn(kSchemas),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

// Showing a big table must not get slower with every edit: a plain edit or delete
// updates the snapshot without reading the row ids again.
TEST(SnapshotEditTest, PlainEditsDoNotReadTheRowIdsAgain) {
  ASSERT_TRUE(setProgramCodePage("UTF-8"));
  TempDir dir;
  SqlTrace trace;
  SqliteDB db;
  ASSERT_TRUE(db.open(dir.file("t.db"), true));
  ASSERT_TRUE(
      db.execute("CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT);"
                 "INSERT INTO t VALUES (1, 'a'), (2, 'b'), (5, 'c'), (9, 'd')"));
  SqliteTable table;
  trace.clear();
  ASSERT_TRUE(table.open("t", db));
  ASSERT_TRUE(trace.contains("SELECT _ROWID_ FROM t ORDER BY _ROWID_ ")) << "gaps are read";
  ASSERT_EQ(table.recordCount(), 4);
  trace.clear();
  ASSERT_TRUE(table.goTo(2));
  ASSERT_TRUE(table.beginEdit());
  ASSERT_TRUE(table.setField("id", std::int64_t{7}));
  ASSERT_TRUE(table.post());
  ASSERT_TRUE(table.goTo(1));
  ASSERT_TRUE(table.deleteRecord());
  for (const std::string& sql : SqlTrace::statements())
    EXPECT_EQ(sql.find("_ROWID_ FROM t ORDER BY"), std::string::npos) << sql;
  EXPECT_EQ(table.recordCount(), 3);
  FieldValue name = std::string();
  ASSERT_TRUE(table.goTo(2));
  ASSERT_TRUE(table.readField("name", name));
  EXPECT_EQ(name, FieldValue(std::string("b"))) << "id 7 now stands between 5 and 9";
}

// The snapshot is the table as it stood when the cursor opened.
TEST(SnapshotEditTest, RowsAddedAfterOpeningAreNotCountedUntilReopened) {
  ASSERT_TRUE(setProgramCodePage("UTF-8"));
  TempDir dir;
  SqliteDB db;
  ASSERT_TRUE(db.open(dir.file("t.db"), true));
  ASSERT_TRUE(db.execute("CREATE TABLE t (a); INSERT INTO t VALUES (1), (2)"));
  SqliteTable table;
  ASSERT_TRUE(table.open("t", db));
  SqliteDB other;
  ASSERT_TRUE(other.open(dir.file("t.db")));
  ASSERT_TRUE(other.execute("INSERT INTO t VALUES (3)"));
  ASSERT_TRUE(db.execute("INSERT INTO t VALUES (4)"));
  EXPECT_EQ(table.recordCount(), 2);
  ASSERT_TRUE(table.open("t", db));
  EXPECT_EQ(table.recordCount(), 4);
}

}  // namespace
}  // namespace tabulor
