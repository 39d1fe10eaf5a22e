#include "sqlitedb/kept_error.h"

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/sqlite_table.h"
#include "support/temp_dir.h"

namespace tabulor {
namespace {

class KeptEngineErrorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(db.open(dir.file("kept.db"), true));
    ASSERT_TRUE(db.execute("create table t (a integer, b text); insert into t values (1, 'one');"));
  }

  void scalar(const std::string& sql) {
    SqliteDataset dataset;
    EXPECT_TRUE(dataset.open(sql, db) && dataset.requery());
    dataset.fetchAllText();
  }

  // A failure followed by the program's own successful calls, kept as the console keeps it.
  void failAndRefill() {
    ASSERT_FALSE(db.execute("selec 1"));
    failure = engineErrorOf(db);
    ASSERT_FALSE(db.listTables(true, false, false).empty());
    kept.keep(failure, db);
  }

  testing::TempDir dir;
  SqliteDB db;
  KeptEngineError kept;
  EngineError failure;
};

TEST_F(KeptEngineErrorTest, FailureOutlivesTheProgramsOwnCallsAndItsReading) {
  failAndRefill();
  EXPECT_EQ(failure, (EngineError{1, "near \"selec\": syntax error"}));
  EXPECT_EQ(engineErrorOf(db), EngineError{});
  EXPECT_EQ(kept.lastError(db), failure);
  db.lastInsertRowid();
  EXPECT_EQ(kept.lastError(db), failure) << "the diagnostics are no engine calls";
}

// Any later call on the engine, successful or not and through whichever object, ends it.
TEST_F(KeptEngineErrorTest, TheNextEngineCallOfAnyKindGivesTheConnectionsOwnState) {
  const std::function<void()> nextCalls[] = {
      [&] { db.execute("select 1"); },
      [&] { db.tableSql("t"); },
      [&] {
        SqliteTable table;
        table.open("t", db);
      },
      [&] {
        SqliteTable table;
        ASSERT_TRUE(table.open("t", db));
        failAndRefill();
        table.goTo(1);
        FieldValue value = std::string();
        table.readField("b", value);
      },
      [&] { scalar("select 2"); },
      [&] { db.execute("create table t (z)"); },
  };
  for (const auto& call : nextCalls) {
    SCOPED_TRACE(&call - nextCalls);
    failAndRefill();
    call();
    EXPECT_EQ(kept.lastError(db), engineErrorOf(db));
  }
  EXPECT_EQ(kept.lastError(db), (EngineError{1, "table t already exists"}));
}

TEST_F(KeptEngineErrorTest, NothingKeptGivesTheConnectionsOwnState) {
  ASSERT_FALSE(db.execute("drop table missing"));
  EXPECT_EQ(kept.lastError(db), (EngineError{1, "no such table: missing"}));
}

}  // namespace
}  // namespace tabulor
