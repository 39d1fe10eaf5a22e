#include "files/backup.h"

#include <filesystem>
#include <system_error>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tabulor {
namespace {

std::filesystem::path nativePath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// A temporary name beside the target, unlikely to collide with anything.
std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
  return target.parent_path() / (".~" + target.filename().string() + ".part");
}

bool copyToTemporary(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::error_code error;
  std::filesystem::remove(to, error);
  return std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing,
                                    error) &&
         !error;
}

using CopyList = std::vector<std::pair<std::filesystem::path, std::filesystem::path>>;

// Removes the temporary files of an abandoned copy; always false.
bool discard(const CopyList& copied) {
  std::error_code ignored;
  for (const auto& entry : copied) std::filesystem::remove(entry.first, ignored);
  return false;
}

}  // namespace

QString backupTimeText(const QDateTime& when) {
  const QDate date = when.date();
  const QTime time = when.time();
  QString text = QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
  if (time.second() != 0)
    text += QStringLiteral("%1时%2分%3秒").arg(time.hour()).arg(time.minute()).arg(time.second());
  else if (time.minute() != 0)
    text += QStringLiteral("%1时%2分").arg(time.hour()).arg(time.minute());
  else if (time.hour() != 0)
    text += QStringLiteral("%1时").arg(time.hour());
  return text;
}

QString backupFileName(const QString& databasePath, const QDateTime& when) {
  const qsizetype cut = std::max(databasePath.lastIndexOf(QLatin1Char('/')),
                                 databasePath.lastIndexOf(QLatin1Char('\\')));
  return databasePath.mid(cut + 1) + QStringLiteral("__") + backupTimeText(when);
}

QString backupFolder(const QString& programFolder) {
  return programFolder + QStringLiteral("/数据库备份");
}

bool copyDatabaseFiles(const QString& source, const QString& target) {
  const std::filesystem::path from = nativePath(source);
  const std::filesystem::path to = nativePath(target);
  static const char* const companions[] = {"-wal", "-journal"};
  CopyList copied;
  std::error_code error;
  for (const char* suffix : companions) {
    std::filesystem::path companion = from;
    companion += suffix;
    std::filesystem::path destination = to;
    destination += suffix;
    if (!std::filesystem::exists(companion, error)) {
      std::filesystem::remove(destination, error);
      continue;
    }
    copied.emplace_back(temporaryBeside(destination), destination);
    if (!copyToTemporary(companion, copied.back().first)) return discard(copied);
  }
  copied.emplace_back(temporaryBeside(to), to);
  if (!copyToTemporary(from, copied.back().first)) return discard(copied);
  std::filesystem::path sharedMemory = to;
  sharedMemory += "-shm";
  std::filesystem::remove(sharedMemory, error);
  // The main file last: once it carries the backup's name, its companions are in place.
  for (const auto& [temporary, destination] : copied) {
    std::filesystem::rename(temporary, destination, error);
    if (error) return discard(copied);
  }
  return true;
}

bool installBackup(const QString& temporary, const QString& target) {
  removeDatabaseCompanions(target);
  std::error_code error;
  std::filesystem::rename(nativePath(temporary), nativePath(target), error);
  if (!error) return true;
  std::filesystem::remove(nativePath(temporary), error);
  return false;
}

void removeDatabaseCompanions(const QString& databasePath) {
  for (const char* suffix : {"-journal", "-wal", "-shm"})
    QFile::remove(databasePath + QString::fromLatin1(suffix));
}

}  // namespace tabulor
