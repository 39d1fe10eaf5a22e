#include "sqlitedb/sqlite_table.h"

#include <gtest/gtest.h>

#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/sqlite_db.h"
#include "support/sql_trace.h"
#include "support/temp_dir.h"

namespace tabulor {
namespace {

using testing::SqlTrace;
using testing::TempDir;

class SqliteTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(setProgramCodePage("UTF-8"));
    ASSERT_TRUE(db.open(dir.file("t.db"), true));
    ASSERT_TRUE(db.execute(
        "CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT, amount REAL, big INTEGER, pic BLOB);"
        "INSERT INTO t VALUES (3, 'alpha', 1.5, 9007199254740993, x'0102');"
        "INSERT INTO t VALUES (7, NULL, NULL, NULL, NULL);"
        "INSERT INTO t VALUES (10, 'gamma', -2, 1, x'')"));
    ASSERT_TRUE(table.open("t", db));
  }
  void TearDown() override { setProgramCodePage("UTF-8"); }

  std::string scalar(const std::string& sql) {
    auto result = db.query(sql);
    if (!result->requery()) return "<failed>";
    const TextTable rows = result->fetchAllText();
    return rows.isEmpty() ? "<none>" : rows.cell(0, 0);
  }

  TempDir dir;
  SqliteDB db;
  SqliteTable table;
};

TEST_F(SqliteTableTest, OpenReadsNamesAndCountsRecords) {
  EXPECT_TRUE(table.isOpen());
  EXPECT_EQ(table.tableName(), "t");
  EXPECT_EQ(table.recordCount(), 3);
  EXPECT_EQ(table.fieldCount(), 5);
  EXPECT_EQ(table.fieldNames(), (std::vector<std::string>{"id", "name", "amount", "big", "pic"}));
  EXPECT_EQ(table.currentRecord(), 0);

  EXPECT_TRUE(table.close());
  EXPECT_FALSE(table.isOpen());
  EXPECT_EQ(table.tableName(), "");
  EXPECT_EQ(table.recordCount(), 0);
  EXPECT_TRUE(table.fieldNames().empty());
}

TEST_F(SqliteTableTest, OpenFailsForMissingOrUnquotableNames) {
  ASSERT_TRUE(db.execute("CREATE TABLE \"with blank\" (a); CREATE TABLE \"select\" (a)"));
  for (const char* name : {"", "missing", "with blank", "select"}) {
    SqliteTable other;
    EXPECT_FALSE(other.open(name, db)) << name;
    EXPECT_FALSE(other.isOpen()) << name;
  }
  SqliteDB closed;
  EXPECT_FALSE(table.open("t", closed));
  EXPECT_FALSE(table.isOpen());
}

TEST_F(SqliteTableTest, GoToMovesWithinTheSnapshot) {
  EXPECT_TRUE(table.goTo(3));
  EXPECT_EQ(table.currentRecord(), 3);
  EXPECT_FALSE(table.goTo(4));
  EXPECT_EQ(table.currentRecord(), 4);
  FieldValue text = std::string();
  EXPECT_FALSE(table.readField("name", text)) << "past the end";
  EXPECT_FALSE(table.goTo(0));
  EXPECT_EQ(table.currentRecord(), 0);
  EXPECT_FALSE(table.goTo(-5));
  EXPECT_EQ(table.currentRecord(), 0);
  table.close();
  EXPECT_FALSE(table.goTo(1));
}

TEST_F(SqliteTableTest, ReadFieldConvertsToTheDestinationKind) {
  struct Case {
    std::int32_t record;
    FieldRef field;
    FieldValue destination;
    FieldValue expected;
  };
  const Case cases[] = {
      {1, "id", std::int32_t{0}, std::int32_t{3}},
      {1, "NAME", std::string(), std::string("alpha")},
      {1, 2.7, std::string(), std::string("alpha")},
      {1, 3, 0.0, 1.5},
      {1, "amount", std::int32_t{0}, std::int32_t{1}},
      {1, "big", std::int64_t{0}, std::int64_t{9007199254740993}},
      {1, "big", std::int32_t{0}, static_cast<std::int32_t>(9007199254740993LL & 0xffffffff)},
      {1, "pic", Bytes(), Bytes{1, 2}},
      {1, "id", false, true},
      {2, "name", std::string("old"), std::string()},
      {2, "pic", Bytes{9}, Bytes()},
      {2, "amount", 7.0, 0.0},
      {3, "pic", Bytes{9}, Bytes()},
      {3, "amount", std::string(), std::string("-2.0")},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(table.goTo(c.record));
    FieldValue value = c.destination;
    EXPECT_TRUE(table.readField(c.field, value)) << c.record;
    EXPECT_EQ(value, c.expected) << "record " << c.record << " kind " << c.destination.index();
  }
}

TEST_F(SqliteTableTest, FieldsThatNameNoColumnAreRefused) {
  ASSERT_TRUE(table.goTo(1));
  for (const FieldRef& field :
       {FieldRef(""), FieldRef("nope"), FieldRef(0), FieldRef(6), FieldRef(-1), FieldRef(0.5)}) {
    FieldValue value = std::string("kept");
    EXPECT_FALSE(table.readField(field, value));
    EXPECT_EQ(value, FieldValue(std::string("kept")));
  }
  ASSERT_TRUE(table.beginEdit());
  EXPECT_FALSE(table.setField("nope", std::int32_t{1}));
}

// Under code page 936 the second byte of 丄 (81 41) is the byte of "A" and that of
// 乤 (81 61) the byte of "a": the two names are different columns.
TEST_F(SqliteTableTest, ColumnNamesFoldAsciiLettersOnly) {
  ASSERT_TRUE(
      db.execute("CREATE TABLE g (丄 TEXT, 乤 TEXT, Ab TEXT);"
                 "INSERT INTO g VALUES ('first', 'second', 'third')"));
  ASSERT_TRUE(setProgramCodePage("GBK"));
  SqliteTable g;
  ASSERT_TRUE(g.open("g", db));
  ASSERT_TRUE(g.goTo(1));
  const std::pair<std::string, std::string> cases[] = {
      {"\x81\x41", "first"}, {"\x81\x61", "second"}, {"aB", "third"}, {"AB", "third"}};
  for (const auto& [name, expected] : cases) {
    FieldValue value = std::string();
    EXPECT_TRUE(g.readField(name, value)) << name;
    EXPECT_EQ(std::get<std::string>(value), expected) << name;
  }
}

TEST_F(SqliteTableTest, PostWritesOneUpdateByRowId) {
  SqlTrace trace;
  SqliteDB traced;
  ASSERT_TRUE(traced.open(dir.file("t.db")));
  SqliteTable cursor;
  ASSERT_TRUE(cursor.open("t", traced));
  ASSERT_TRUE(cursor.goTo(2));
  ASSERT_TRUE(cursor.beginEdit());
  ASSERT_TRUE(cursor.setField("pic", Bytes{}));
  ASSERT_TRUE(cursor.setField(2, std::string()));
  ASSERT_TRUE(cursor.setField("big", std::int64_t{9007199254740993}));
  ASSERT_TRUE(cursor.setField("amount", 2.25));
  EXPECT_TRUE(cursor.post());
  EXPECT_TRUE(trace.contains("UPDATE t SET name=?,amount=?,big=?,pic=? WHERE _ROWID_=7"));
  EXPECT_EQ(cursor.currentRecord(), 2);
  EXPECT_EQ(scalar("SELECT typeof(name) || typeof(pic) || length(pic) FROM t WHERE id=7"),
            "textblob0")
      << "empty text and empty blob are not NULL";
  EXPECT_EQ(scalar("SELECT big || '/' || amount FROM t WHERE id=7"), "9007199254740993/2.25");
  EXPECT_FALSE(cursor.setField("name", std::string("x"))) << "pending values are gone";
  EXPECT_FALSE(cursor.post());
}

TEST_F(SqliteTableTest, PostNeedsAnEditWithChanges) {
  EXPECT_FALSE(table.beginEdit()) << "no current record";
  ASSERT_TRUE(table.goTo(1));
  EXPECT_FALSE(table.post()) << "not editing";
  ASSERT_TRUE(table.beginEdit());
  EXPECT_FALSE(table.post()) << "nothing changed";
  ASSERT_TRUE(table.setField("name", true));
  EXPECT_TRUE(table.post());
  EXPECT_EQ(scalar("SELECT name FROM t WHERE id=3"), "1");
}

TEST_F(SqliteTableTest, UnconvertibleTextFailsThePostInsteadOfWritingNull) {
  ASSERT_TRUE(table.goTo(1));
  ASSERT_TRUE(table.beginEdit());
  ASSERT_TRUE(table.setField("name", std::string("bad \xFF text")));
  EXPECT_FALSE(table.post());
  EXPECT_EQ(scalar("SELECT name FROM t WHERE id=3"), "alpha");
  ASSERT_TRUE(table.setField("name", std::string("good")));
  EXPECT_TRUE(table.post()) << "still editing after a failed post";
  EXPECT_EQ(scalar("SELECT name FROM t WHERE id=3"), "good");
}

TEST_F(SqliteTableTest, RefusedUpdateKeepsTheEdit) {
  ASSERT_TRUE(
      db.execute("CREATE TRIGGER no_update BEFORE UPDATE ON t "
                 "BEGIN SELECT RAISE(ABORT, 'read only'); END"));
  ASSERT_TRUE(table.goTo(1));
  ASSERT_TRUE(table.beginEdit());
  ASSERT_TRUE(table.setField("name", std::string("x")));
  EXPECT_FALSE(table.post());
  EXPECT_EQ(db.errorText(), "read only");
  ASSERT_TRUE(db.execute("DROP TRIGGER no_update"));
  EXPECT_TRUE(table.post());
}

TEST_F(SqliteTableTest, NonBmpTextRoundTripsAsStandardUtf8) {
  const std::string emoji = "\xF0\x9F\x98\x80 ok";
  ASSERT_TRUE(table.goTo(1));
  ASSERT_TRUE(table.beginEdit());
  ASSERT_TRUE(table.setField("name", emoji));
  ASSERT_TRUE(table.post());
  EXPECT_EQ(scalar("SELECT hex(name) FROM t WHERE id=3"), "F09F9880206F6B");
  FieldValue back = std::string();
  ASSERT_TRUE(table.readField("name", back));
  EXPECT_EQ(back, FieldValue(emoji));
}

TEST_F(SqliteTableTest, InvalidUtf8InTheFileReadsAsEmpty) {
  ASSERT_TRUE(db.execute("UPDATE t SET name = CAST(x'C0AF41' AS TEXT) WHERE id=3"));
  ASSERT_TRUE(table.goTo(1));
  FieldValue value = std::string("x");
  EXPECT_TRUE(table.readField("name", value));
  EXPECT_EQ(value, FieldValue(std::string()));
}

TEST_F(SqliteTableTest, DeleteAlwaysLeavesNoCurrentRecord) {
  ASSERT_TRUE(table.goTo(2));
  EXPECT_TRUE(table.deleteRecord());
  EXPECT_EQ(table.currentRecord(), 0);
  EXPECT_EQ(table.recordCount(), 2);
  EXPECT_EQ(scalar("SELECT group_concat(id) FROM t"), "3,10");
  EXPECT_FALSE(table.deleteRecord()) << "no current record";

  ASSERT_TRUE(
      db.execute("CREATE TRIGGER keep BEFORE DELETE ON t BEGIN SELECT RAISE(ABORT, 'no'); END"));
  ASSERT_TRUE(table.goTo(1));
  EXPECT_FALSE(table.deleteRecord());
  EXPECT_EQ(table.currentRecord(), 0);
  EXPECT_EQ(table.recordCount(), 2);
}

TEST_F(SqliteTableTest, SnapshotIgnoresOtherStatementsUntilReopened) {
  ASSERT_EQ(table.recordCount(), 3) << "the first count takes the snapshot";
  ASSERT_TRUE(db.execute("INSERT INTO t (id, name) VALUES (1, 'first')"));
  EXPECT_EQ(table.recordCount(), 3);
  ASSERT_TRUE(table.goTo(1));
  FieldValue name = std::string();
  ASSERT_TRUE(table.readField("name", name));
  EXPECT_EQ(name, FieldValue(std::string("alpha")));
  ASSERT_TRUE(table.open("t", db));
  EXPECT_EQ(table.recordCount(), 4);
}

TEST_F(SqliteTableTest, UpdatingTheRowIdResortsTheSnapshot) {
  ASSERT_TRUE(table.goTo(1));
  ASSERT_TRUE(table.beginEdit());
  ASSERT_TRUE(table.setField("id", std::int32_t{100}));
  ASSERT_TRUE(table.post());
  FieldValue name = std::string();
  ASSERT_TRUE(table.readField("name", name));
  EXPECT_EQ(name, FieldValue(std::string())) << "record 1 is now the row with id 7";
}

TEST_F(SqliteTableTest, ViewsAndWithoutRowidTablesOpenWithoutRowIds) {
  ASSERT_TRUE(
      db.execute("CREATE VIEW v AS SELECT id, name FROM t;"
                 "CREATE TABLE w (k TEXT PRIMARY KEY, v) WITHOUT ROWID;"
                 "INSERT INTO w VALUES ('a', 1), ('b', 2)"));
  for (const auto& [name, count] : {std::pair{"v", 3}, std::pair{"w", 2}}) {
    SqliteTable cursor;
    ASSERT_TRUE(cursor.open(name, db)) << name;
    EXPECT_FALSE(cursor.hasRowIds()) << name;
    EXPECT_EQ(cursor.recordCount(), count) << name;
    EXPECT_EQ(cursor.fieldCount(), 2) << name;
    ASSERT_TRUE(cursor.goTo(1));
    FieldValue value = std::string();
    EXPECT_FALSE(cursor.readField(1, value)) << name;
    ASSERT_TRUE(cursor.beginEdit());
    ASSERT_TRUE(cursor.setField(2, std::string("x")));
    EXPECT_FALSE(cursor.post()) << name;
    EXPECT_FALSE(cursor.deleteRecord()) << name;
  }
  EXPECT_EQ(scalar("SELECT count(*) FROM w"), "2");
}

// A temporary object hides a main one of the same name unless the name says main.
TEST_F(SqliteTableTest, ANameFindsTheObjectTheEngineWouldUse) {
  ASSERT_TRUE(
      db.execute("CREATE VIEW x AS SELECT id FROM t WHERE id > 3;"
                 "CREATE TEMP TABLE x (a); INSERT INTO temp.x VALUES (1)"));
  struct Case {
    const char* name;
    bool hasRowIds;
    std::int32_t count;
  };
  for (const Case& c : {Case{"x", true, 1}, Case{"temp.x", true, 1}, Case{"main.x", false, 2},
                        Case{"main.t", true, 3}}) {
    SqliteTable cursor;
    ASSERT_TRUE(cursor.open(c.name, db)) << c.name;
    EXPECT_EQ(cursor.hasRowIds(), c.hasRowIds) << c.name;
    EXPECT_EQ(cursor.recordCount(), c.count) << c.name;
  }
}

TEST_F(SqliteTableTest, ACursorOfAClosedOrReopenedConnectionDoesNothing) {
  ASSERT_TRUE(table.goTo(1));
  ASSERT_TRUE(db.close());
  FieldValue value = std::string();
  EXPECT_FALSE(table.readField("name", value));
  ASSERT_TRUE(db.open(dir.file("t.db")));
  EXPECT_FALSE(table.readField("name", value));
  ASSERT_TRUE(table.beginEdit());
  ASSERT_TRUE(table.setField("name", std::string("x")));
  EXPECT_FALSE(table.post());
  EXPECT_FALSE(table.deleteRecord());
  EXPECT_EQ(scalar("SELECT count(*) FROM t WHERE name='alpha'"), "1");
}

}  // namespace
}  // namespace tabulor
