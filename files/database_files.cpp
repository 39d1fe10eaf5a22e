// The database file commands: create, open, close, back up and delete.

#include "files/database_files.h"

#include <atomic>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "app/host_window.h"
#include "files/backup.h"
#include "platform/busy_progress.h"
#include "platform/environment.h"
#include "platform/qstring_conversion.h"

namespace tabulor {
namespace {

// Deletes a database file together with its companions, so a stale journal can never
// be played into a file created under the same name later.
void removeDatabaseFile(const QString& path) {
  QFile::remove(path);
  removeDatabaseCompanions(path);
}

// Copies the files on another thread, so the window stays painted and 取消 is heard
// while the disk works; after half a second a bar shows the bytes copied. The poll is
// well within the window's repaint interval, so the window never waits on it.
CopyOutcome copyAnswering(HostWindow& window, const QString& source, const QString& target) {
  BusyProgress busy(&window, QStringLiteral("正在备份数据库文件，请稍候……"), true);
  std::atomic<bool> cancelled = false;
  std::atomic<std::uint64_t> done = 0;
  std::atomic<std::uint64_t> total = 0;
  const CopyWatch watch{[&](std::uint64_t copied, std::uint64_t of) {
                          total = of;
                          done = copied;
                        },
                        &cancelled};
  CopyOutcome outcome = CopyOutcome::Failed;
  runBeside([&] { outcome = copyDatabaseFiles(source, target, watch); },
            [&] {
              busy.setProgress(static_cast<std::int64_t>(done.load()),
                               static_cast<std::int64_t>(total.load()));
              if (!busy.keepGoing()) cancelled = true;
            });
  return outcome;
}

void openOrCreate(HostWindow& window, bool isNew) {
  FileDialogRequest request = HostWindow::databaseDialog();
  request.initialFolder = environment().programFolder();
  request.title = isNew ? QStringLiteral("新建数据库") : QStringLiteral("打开数据库");
  const auto path = isNew ? prompts().saveFileName(request) : prompts().openFileName(request);
  if (!path) return;
  if (isNew && QFileInfo::exists(*path)) {
    removeDatabaseFile(*path);
    // Windows deletes no file that is open: there the database closes first.
    if (QFileInfo::exists(*path) && closeDatabase(window)) removeDatabaseFile(*path);
  }
  switchToDatabaseFile(window, *path, isNew);
}

// An empty tree is no answer when the catalogue itself cannot be read (a file that is
// not a database, a damaged schema, a lasting lock): the user is told the engine's reason.
void reportUnreadableCatalogue(HostWindow& window) {
  SqliteDB& db = window.state().db;
  if (db.execute("SELECT name FROM sqlite_master LIMIT 1")) return;
  const QString reason = fromProgramText(db.errorText());
  window.appendLog(QStringLiteral("[×]读取数据库结构失败！") + reason);
  window.showDbError(QStringLiteral("读取数据库结构失败！"));
}

}  // namespace

bool closeDatabase(HostWindow& window) {
  AppState& state = window.state();
  state.dataset->close();
  state.table.close();
  if (state.db.isOpen() && !state.db.close()) {
    window.showDbError(QStringLiteral("暂时无法关闭数据库！"));
    return false;
  }
  state.dbPath.clear();
  window.updateCaption();
  window.applyDatabaseUiState(false);
  window.clearStructureTree();
  window.clearDataView();
  return true;
}

void switchToDatabaseFile(HostWindow& window, const QString& path, bool create) {
  closeDatabase(window);
  openDatabaseFile(window, path, create);
  window.updateInfoMenuVisibility();
}

bool openDatabaseFile(HostWindow& window, const QString& givenPath, bool create) {
  // A path from the command line may be relative; the caption and the information
  // window show where the file really is, spelt as the system spells it.
  const QString path = QDir::toNativeSeparators(QFileInfo(givenPath).absoluteFilePath());
  if (!backupDatabaseFile(window, path)) return false;
  AppState& state = window.state();
  const QString action = create ? QStringLiteral("新建") : QStringLiteral("打开");
  bool convertible = false;
  const std::string programPath = toProgramText(path, &convertible);
  if (!convertible || !state.db.open(programPath, create)) {
    if (!convertible) state.db.close();
    prompts().messageBox(
        QStringLiteral("不能") + action + QStringLiteral("数据库 [") + path + QStringLiteral("]！"),
        MessageFlags::ErrorIcon);
    window.appendLog(QStringLiteral("[×]") + action + QStringLiteral("数据库失败！[") + path +
                     QStringLiteral("]"));
    return false;
  }
  state.dbPath = programPath;
  window.updateCaption();
  window.reloadStructureTree();
  window.applyDatabaseUiState(true);
  window.appendLog(action + QStringLiteral("数据库：") + path);
  reportUnreadableCatalogue(window);
  return true;
}

bool backupDatabaseFile(HostWindow& window, const QString& path) {
  if (!QFileInfo(path).isFile()) return true;
  Environment& env = environment();
  const QString folder = backupFolder(env.programFolder());
  QDir().mkpath(folder);
  const QString target = folder + QLatin1Char('/') + backupFileName(path, env.localDateTime());
  AppState& state = window.state();
  bool copied = false;
  const bool isOpenDatabase =
      state.db.isOpen() && QFileInfo(path).canonicalFilePath() ==
                               QFileInfo(fromProgramText(state.dbPath)).canonicalFilePath();
  if (isOpenDatabase) {
    // Never through a descriptor of the live file: closing one would drop our locks.
    const QString temporary = temporaryBackupName(target);
    bool convertible = false;
    const std::string programTemporary = toProgramText(temporary, &convertible);
    QFile::remove(temporary);
    copied = convertible && state.db.backupTo(programTemporary) && installBackup(temporary, target);
    if (!copied) QFile::remove(temporary);
  } else {
    const CopyOutcome outcome = copyAnswering(window, path, target);
    if (outcome == CopyOutcome::Cancelled) {
      window.appendLog(QStringLiteral("已取消：备份数据库文件，未打开数据库 [") + path +
                       QStringLiteral("]"));
      return false;
    }
    copied = outcome == CopyOutcome::Copied;
  }
  if (copied)
    window.appendLog(QStringLiteral("已将数据库文件备份到：") + QDir::toNativeSeparators(target));
  return true;
}

void closeDatabaseCommand(HostWindow& window) {
  window.setTreeSelection(-1);
  closeDatabase(window);
}

void newDatabase(HostWindow& window) { openOrCreate(window, true); }

void openDatabase(HostWindow& window) { openOrCreate(window, false); }

void backupDatabase(HostWindow& window) {
  backupDatabaseFile(window, fromProgramText(window.state().dbPath));
}

void deleteDatabase(HostWindow& window) {
  FileDialogRequest request = HostWindow::databaseDialog();
  request.initialFolder = environment().programFolder();
  request.title = QStringLiteral("请选择要删除的数据库");
  const auto path = prompts().openFileName(request);
  if (!path) return;
  if (prompts().messageBox(QStringLiteral("删除后不能恢复，请确认是否继续？"),
                           MessageFlags::YesNo | MessageFlags::ErrorIcon) != Answer::Yes)
    return;
  closeDatabase(window);
  removeDatabaseFile(*path);
  window.updateInfoMenuVisibility();
}

}  // namespace tabulor
