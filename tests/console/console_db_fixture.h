#pragma once

#include <string>

#include <gtest/gtest.h>

#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/sqlite_db.h"
#include "support/temp_dir.h"

namespace tabulor::testing {

// A database file with table t(a, b) holding the rows (1, 'one') and (2, 'two').
class ConsoleDbTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(db.open(dir.file("console.db"), true));
    ASSERT_TRUE(
        db.execute("create table t (a integer, b text);"
                   "insert into t values (1, 'one'); insert into t values (2, 'two');"));
  }

  // A single value read back through a result set of its own.
  std::string scalar(const std::string& sql) {
    SqliteDataset dataset;
    EXPECT_TRUE(dataset.open(sql, db));
    EXPECT_TRUE(dataset.requery());
    const TextTable table = dataset.fetchAllText();
    return table.isEmpty() ? std::string() : table.cell(0, 0);
  }

  TempDir dir;
  SqliteDB db;
};

}  // namespace tabulor::testing
