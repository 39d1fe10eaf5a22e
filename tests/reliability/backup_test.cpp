// Backups of a live WAL database whose last commits exist only in its -wal file, held
// open by another program that is also in the middle of a transaction of its own.
#include <sqlite3.h>

#include <QString>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "files/backup.h"
#include "reliability_files.h"
#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlite_db.h"
#include "support/temp_dir.h"

namespace tabulor {
namespace {

using testing::fileBytes;

constexpr int kCommittedRows = 30000;

class Connection {
 public:
  explicit Connection(const std::string& path) { sqlite3_open(path.c_str(), &db_); }
  ~Connection() { sqlite3_close(db_); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool run(const std::string& sql) {
    return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  }
  std::string text(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    std::string value = "(failed)";
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
      value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    return value;
  }

 private:
  sqlite3* db_ = nullptr;
};

class LiveWalBackup : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(setProgramCodePage("UTF-8"));
    ASSERT_TRUE(holder_.run("PRAGMA journal_mode=WAL") &&
                holder_.run("PRAGMA wal_autocheckpoint=0"));
    ASSERT_TRUE(holder_.run("CREATE TABLE t (id INTEGER PRIMARY KEY, txt TEXT)"));
    // Several commits, none checkpointed into the main file.
    for (int part = 0; part < 3; ++part)
      ASSERT_TRUE(
          holder_.run("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
                      std::to_string(kCommittedRows / 3) +
                      ") INSERT INTO t (txt) SELECT printf('%0200d', i) FROM n"));
    // A transaction of the other program's, large enough to spill pages into the WAL.
    ASSERT_TRUE(holder_.run("BEGIN") &&
                holder_.run("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                            "WHERE i < 20000) INSERT INTO t (txt) SELECT printf('%01000d', i) "
                            "FROM n"));
    ASSERT_GT(std::filesystem::file_size(live_ + "-wal"), std::filesystem::file_size(live_));
    mainFileBefore_ = fileBytes(live_);
  }
  void TearDown() override { holder_.run("ROLLBACK"); }

  // Opens a backup on its own, as a user restoring it would.
  void expectEveryCommittedRow(const std::string& backup) {
    Connection copy(backup);
    EXPECT_EQ(copy.text("PRAGMA integrity_check"), "ok");
    EXPECT_EQ(copy.text("SELECT count(*) FROM t"), std::to_string(kCommittedRows));
    EXPECT_EQ(copy.text("SELECT max(length(txt)) FROM t"), "200");
  }

  testing::TempDir dir_;
  const std::string live_ = dir_.file("live.db");
  Connection holder_{live_};
  std::string mainFileBefore_;
};

TEST_F(LiveWalBackup, OnlineBackupOfTheOpenDatabaseHasEveryCommittedRow) {
  SqliteDB db;
  ASSERT_TRUE(db.open(live_));
  ASSERT_TRUE(db.backupTo(dir_.file("online.db")));
  db.close();
  expectEveryCommittedRow(dir_.file("online.db"));
  EXPECT_TRUE(fileBytes(live_) == mainFileBefore_) << "the backup changed the live file";
}

// The copy goes in steps, each followed by a call of the progress handler, which keeps the
// window answering and can stop the copy.
TEST_F(LiveWalBackup, OnlineBackupCallsTheProgressHandlerBetweenStepsAndStopsWhenItSaysSo) {
  SqliteDB db;
  ASSERT_TRUE(db.open(live_));
  int calls = 0;
  db.setProgressHandler([&calls] { return ++calls > 0; });
  ASSERT_TRUE(db.backupTo(dir_.file("stepped.db")));
  EXPECT_GT(calls, 1);
  expectEveryCommittedRow(dir_.file("stepped.db"));

  calls = 0;
  db.setProgressHandler([&calls] { return ++calls < 2; });
  EXPECT_FALSE(db.backupTo(dir_.file("stopped.db")));
  EXPECT_EQ(calls, 2);
  db.close();
  EXPECT_TRUE(fileBytes(live_) == mainFileBefore_) << "the backup changed the live file";
}

TEST_F(LiveWalBackup, FileCopyAtOpenHasEveryCommittedRow) {
  const std::string target = dir_.file("copied.db");
  ASSERT_EQ(copyDatabaseFiles(QString::fromStdString(live_), QString::fromStdString(target)),
            CopyOutcome::Copied);
  expectEveryCommittedRow(target);
  EXPECT_TRUE(fileBytes(live_) == mainFileBefore_) << "the copy changed the live file";
}

}  // namespace
}  // namespace tabulor
