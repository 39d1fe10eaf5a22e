#pragma once

#include <QDateTime>
#include <QString>

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

// Copies a closed database file with its "-wal" and "-journal" companions (when
// present) to target, target-wal and target-journal. Each is written under a
// temporary name in the target's folder and then renamed, so an interrupted copy
// never sits under a backup's name; companions the source lacks are removed at the
// target, so the copy opens with exactly the source's committed content.
bool copyDatabaseFiles(const QString& source, const QString& target);

// Renames a finished temporary file onto target (replacing it) and removes any
// companions of an earlier file of that name.
bool installBackup(const QString& temporary, const QString& target);

// Removes a database file's "-journal", "-wal" and "-shm" companions.
void removeDatabaseCompanions(const QString& databasePath);

}  // namespace tabulor
