// Backups of database files: their names and folder, and copying a file with its companions.

#include "files/backup.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/environment.h"
#include "platform/qstring_conversion.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor {
namespace {

// Renames a file onto a name, atomically replacing what is there.
bool renameOver(const QString& from, const QString& to) {
  std::error_code error;
  std::filesystem::rename(nativePath(from), nativePath(to), error);
  return !error;
}

struct CopyStep {
  QString from;
  QString temporary;
  QString to;
};

// Removes the temporary files of an abandoned copy; returns why it was abandoned.
CopyOutcome discard(const std::vector<CopyStep>& steps, CopyOutcome outcome) {
  for (const auto& step : steps) QFile::remove(step.temporary);
  return outcome;
}

std::uint64_t totalSize(const std::vector<CopyStep>& steps) {
  std::uint64_t total = 0;
  for (const auto& step : steps) total += static_cast<std::uint64_t>(QFileInfo(step.from).size());
  return total;
}

}  // namespace

QString backupTimeText(const QDateTime& when) {
  const QDate date = when.date();
  const QTime time = when.time();
  return fromProgramText(dateTimeText(date.year(), date.month(), date.day(), time.hour(),
                                      time.minute(), time.second()));
}

QString backupFileName(const QString& databasePath, const QDateTime& when) {
  const qsizetype cut = std::max(databasePath.lastIndexOf(QLatin1Char('/')),
                                 databasePath.lastIndexOf(QLatin1Char('\\')));
  return databasePath.mid(cut + 1) + QStringLiteral("__") + backupTimeText(when);
}

QString temporaryBackupName(const QString& target) {
  const QFileInfo info(target);
  return info.dir().filePath(QStringLiteral(".~") + info.fileName() + QStringLiteral(".part"));
}

QString backupFolder(const QString& programFolder) {
  return programFolder + QStringLiteral("/数据库备份");
}

CopyOutcome copyDatabaseFiles(const QString& source, const QString& target,
                              const CopyWatch& watch) {
  std::vector<CopyStep> steps;
  for (const QString& suffix : {QStringLiteral("-wal"), QStringLiteral("-journal")}) {
    if (QFileInfo::exists(source + suffix))
      steps.push_back({source + suffix, temporaryBackupName(target + suffix), target + suffix});
    else
      QFile::remove(target + suffix);
  }
  // The main file last: once it carries the backup's name, its companions are in place.
  steps.push_back({source, temporaryBackupName(target), target});
  QFile::remove(target + QStringLiteral("-shm"));
  const std::atomic<bool> never = false;
  const std::atomic<bool>& cancelled = watch.cancelled ? *watch.cancelled : never;
  const std::uint64_t total = totalSize(steps);
  std::uint64_t done = 0;
  const CopiedBytes copied = [&](std::uint64_t bytes) {
    done += bytes;
    if (watch.progress) watch.progress(done, total);
  };
  for (const auto& step : steps) {
    const CopyOutcome outcome = environment().copyFile(
        nativePath(step.from), nativePath(step.temporary), copied, cancelled);
    if (outcome != CopyOutcome::Copied) return discard(steps, outcome);
  }
  // The last moment 取消 can still leave no backup behind.
  if (cancelled) return discard(steps, CopyOutcome::Cancelled);
  for (const auto& step : steps)
    if (!renameOver(step.temporary, step.to)) return discard(steps, CopyOutcome::Failed);
  return CopyOutcome::Copied;
}

bool installBackup(const QString& temporary, const QString& target) {
  removeDatabaseCompanions(target);
  if (renameOver(temporary, target)) return true;
  QFile::remove(temporary);
  return false;
}

void removeDatabaseCompanions(const QString& databasePath) {
  for (const char* suffix : {"-journal", "-wal", "-shm"})
    QFile::remove(databasePath + QString::fromLatin1(suffix));
}

}  // namespace tabulor
