#include "files/backup.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/qstring_conversion.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor {
namespace {

// Copies a file onto a fresh name (a file left there by an earlier attempt is replaced).
bool copyFile(const QString& from, const QString& to) {
  std::error_code error;
  std::filesystem::remove(nativePath(to), error);
  return std::filesystem::copy_file(nativePath(from), nativePath(to), error) && !error;
}

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

// Removes the temporary files of an abandoned copy; always false.
bool discard(const std::vector<CopyStep>& steps) {
  for (const auto& step : steps) QFile::remove(step.temporary);
  return false;
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

bool copyDatabaseFiles(const QString& source, const QString& target) {
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
  for (const auto& step : steps)
    if (!copyFile(step.from, step.temporary)) return discard(steps);
  for (const auto& step : steps)
    if (!renameOver(step.temporary, step.to)) return discard(steps);
  return true;
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
