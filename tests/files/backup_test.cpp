#include "files/backup.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QFile>

#include <atomic>
#include <filesystem>
#include <vector>

#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/text_table.h"
#include "support/temp_dir.h"
#include "support/test_environment.h"

namespace tabulor {
namespace {

TEST(BackupName, DateTimeWithoutLeadingZerosAndTrailingZeroParts) {
  const std::vector<std::pair<QDateTime, QString>> cases = {
      {QDateTime(QDate(2024, 5, 3), QTime(14, 5, 30)), QStringLiteral("2024年5月3日14时5分30秒")},
      {QDateTime(QDate(2024, 5, 3), QTime(14, 5, 0)), QStringLiteral("2024年5月3日14时5分")},
      {QDateTime(QDate(2024, 5, 3), QTime(14, 0, 0)), QStringLiteral("2024年5月3日14时")},
      {QDateTime(QDate(2024, 5, 3), QTime(0, 0, 0)), QStringLiteral("2024年5月3日")},
      {QDateTime(QDate(2024, 12, 31), QTime(0, 0, 7)), QStringLiteral("2024年12月31日0时0分7秒")},
      {QDateTime(QDate(2024, 1, 9), QTime(0, 30, 0)), QStringLiteral("2024年1月9日0时30分")},
  };
  for (const auto& [when, text] : cases) EXPECT_EQ(backupTimeText(when), text);
}

TEST(BackupName, IsTheLastPathComponentThenTheTime) {
  const QDateTime when(QDate(2024, 5, 3), QTime(14, 0, 0));
  EXPECT_EQ(backupFileName(QStringLiteral("/home/u/shop.db"), when),
            QStringLiteral("shop.db__2024年5月3日14时"));
  EXPECT_EQ(backupFileName(QStringLiteral("D:\\data\\shop.db"), when),
            QStringLiteral("shop.db__2024年5月3日14时"));
  EXPECT_EQ(backupFileName(QStringLiteral("a.db"), when), QStringLiteral("a.db__2024年5月3日14时"));
}

// Sets up a WAL database whose last commit is still only in its -wal file, held by an
// open connection (checkpoints off).
class WalDatabase {
 public:
  explicit WalDatabase(const std::string& path) {
    sqlite3_open(path.c_str(), &db_);
    exec(
        "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0;"
        "CREATE TABLE t(x); INSERT INTO t VALUES (1), (2), (3);");
  }
  ~WalDatabase() { sqlite3_close(db_); }
  void exec(const char* sql) {
    ASSERT_EQ(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), SQLITE_OK);
  }

 private:
  sqlite3* db_ = nullptr;
};

int countRows(const std::string& path) {
  SqliteDB db;
  if (!db.open(path)) return -1;
  auto rows = db.query("SELECT count(*) FROM t");
  rows->requery();
  const TextTable table = rows->fetchAllText(false);
  return table.isEmpty() ? -1 : std::stoi(table.cell(0, 0));
}

TEST(CopyDatabaseFiles, TakesTheWalCompanionSoTheCopyHasEveryCommit) {
  testing::TempDir dir;
  WalDatabase live(dir.file("live.db"));
  ASSERT_TRUE(QFile::exists(QString::fromStdString(dir.file("live.db-wal"))));
  const QString target = QString::fromStdString(dir.file("copy.db"));
  ASSERT_EQ(copyDatabaseFiles(QString::fromStdString(dir.file("live.db")), target),
            CopyOutcome::Copied);
  EXPECT_TRUE(QFile::exists(target + QStringLiteral("-wal")));
  EXPECT_EQ(countRows(dir.file("copy.db")), 3);
}

TEST(CopyDatabaseFiles, RemovesStaleCompanionsAtTheTargetAndLeavesNoTemporaryFiles) {
  testing::TempDir dir;
  {
    SqliteDB db;
    ASSERT_TRUE(db.open(dir.file("plain.db"), true));
    ASSERT_TRUE(db.execute("CREATE TABLE t(x); INSERT INTO t VALUES (1);"));
  }
  const QString target = QString::fromStdString(dir.file("copy.db"));
  for (const char* stale : {"-wal", "-journal", "-shm"}) {
    QFile file(target + QString::fromLatin1(stale));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("garbage");
  }
  ASSERT_EQ(copyDatabaseFiles(QString::fromStdString(dir.file("plain.db")), target),
            CopyOutcome::Copied);
  for (const char* stale : {"-wal", "-journal", "-shm"})
    EXPECT_FALSE(QFile::exists(target + QString::fromLatin1(stale))) << stale;
  EXPECT_EQ(countRows(dir.file("copy.db")), 1);
  const auto entries = std::distance(std::filesystem::directory_iterator(dir.path()),
                                     std::filesystem::directory_iterator());
  EXPECT_EQ(entries, 2);  // plain.db and copy.db
}

TEST(CopyDatabaseFiles, FailsWithoutLeavingAPartialCopyUnderTheName) {
  testing::TempDir dir;
  const QString target = QString::fromStdString(dir.file("copy.db"));
  EXPECT_EQ(copyDatabaseFiles(QString::fromStdString(dir.file("missing.db")), target),
            CopyOutcome::Failed);
  EXPECT_FALSE(QFile::exists(target));
  EXPECT_EQ(copyDatabaseFiles(QString::fromStdString(dir.file("missing.db")),
                              QString::fromStdString(dir.file("no/folder/copy.db"))),
            CopyOutcome::Failed);
}

// The progress counts the companions too, and a cancel at any report leaves neither a
// backup nor a temporary file. Each file is copied in one step, as a clone is, so the
// cancel is heard between the files or before the renames.
TEST(CopyDatabaseFiles, ReportsTheBytesOfEveryFileAndStopsWhenCancelled) {
  testing::TempDir dir;
  ScopedTestEnvironment environment{QString()};
  environment.setFileCopy([](const std::filesystem::path& from, const std::filesystem::path& to,
                             const CopiedBytes& copied, const std::atomic<bool>& cancelled) {
    if (cancelled) return CopyOutcome::Cancelled;
    std::filesystem::copy_file(from, to);
    copied(std::filesystem::file_size(to));
    return CopyOutcome::Copied;
  });
  WalDatabase live(dir.file("live.db"));
  const QString source = QString::fromStdString(dir.file("live.db"));
  const std::uint64_t total = std::filesystem::file_size(dir.file("live.db")) +
                              std::filesystem::file_size(dir.file("live.db-wal"));
  std::filesystem::create_directory(dir.file("backups"));
  const QString target = QString::fromStdString(dir.file("backups/copy.db"));
  // Cancelled at the first report (one file copied), at the last (every file copied,
  // none yet renamed), or never.
  for (const int cancelAt : {1, 2, 0}) {
    SCOPED_TRACE(cancelAt);
    std::atomic<bool> cancelled = false;
    std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;
    const CopyWatch watch{[&](std::uint64_t done, std::uint64_t of) {
                            reports.emplace_back(done, of);
                            if (static_cast<int>(reports.size()) == cancelAt) cancelled = true;
                          },
                          &cancelled};
    const CopyOutcome outcome = copyDatabaseFiles(source, target, watch);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().second, total);
    const auto left = std::distance(std::filesystem::directory_iterator(dir.file("backups")),
                                    std::filesystem::directory_iterator());
    if (cancelAt == 0) {
      EXPECT_EQ(outcome, CopyOutcome::Copied);
      EXPECT_EQ(reports.back().first, total);
      EXPECT_EQ(countRows(dir.file("backups/copy.db")), 3);
      EXPECT_EQ(left, 2);  // copy.db and copy.db-wal
    } else {
      EXPECT_EQ(outcome, CopyOutcome::Cancelled);
      EXPECT_EQ(left, 0);
    }
  }
}

}  // namespace
}  // namespace tabulor
