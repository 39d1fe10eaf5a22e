// Backups of database files: their names and folder, and copying a file with its companions.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include <QDateTime>
#include <QString>

#include "platform/file_copy.h"

namespace tabulor {

// The date-time part of a backup name, every number without leading zeros:
// 2024年5月3日14时5分30秒, …14时5分 when the second is 0, …14时 when minute and second
// are 0, and nothing after 日 at midnight.
QString backupTimeText(const QDateTime& when);

// The backup's file name: the database path's last component (after '/' or '\'),
// "__" and the date-time text.
QString backupFileName(const QString& databasePath, const QDateTime& when);

// The hidden name a backup is written under before it is renamed to target.
QString temporaryBackupName(const QString& target);

// The folder "数据库备份" in the program folder.
QString backupFolder(const QString& programFolder);

// How a copy running on another thread is followed and stopped.
struct CopyWatch {
  // Told the bytes copied so far of all there is to copy, on the copying thread.
  std::function<void(std::uint64_t done, std::uint64_t total)> progress;
  // Once set, the copy stops at its next step and leaves nothing behind.
  const std::atomic<bool>* cancelled = nullptr;
};

// Copies a closed database file with its "-wal" and "-journal" companions (when
// present) to target, target-wal and target-journal, through environment().copyFile.
// Each is written under a temporary name in the target's folder and then renamed, so
// an interrupted or cancelled copy never sits under a backup's name; companions the
// source lacks are removed at the target, so the copy opens with exactly the source's
// committed content.
//
// Threads: the backup runs it on a thread beside the window, which watch.progress is called
// on; it touches no widget, only files and environment().copyFile.
CopyOutcome copyDatabaseFiles(const QString& source, const QString& target,
                              const CopyWatch& watch = {});

// Renames a finished temporary file onto target (replacing it) and removes any
// companions of an earlier file of that name.
bool installBackup(const QString& temporary, const QString& target);

// Removes a database file's "-journal", "-wal" and "-shm" companions.
void removeDatabaseCompanions(const QString& databasePath);

}  // namespace tabulor
