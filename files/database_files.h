// The database file commands: create, open, close, back up and delete.
#pragma once

#include <QString>

namespace tabulor {

class HostWindow;

// Creating, opening, closing, backing up and deleting database files. Only these move
// the main window between its two interface states.

void newDatabase(HostWindow& window);           // menu "新建数据库...", toolbar 0
void openDatabase(HostWindow& window);          // menu "打开数据库...", toolbar 1
void closeDatabaseCommand(HostWindow& window);  // menu "关闭数据库"
// Closes and resets; returns false when the engine refused to close (the database
// stays open and the user was told).
bool closeDatabase(HostWindow& window);
void backupDatabase(HostWindow& window);  // menu "备份数据库"
void deleteDatabase(HostWindow& window);  // menu "删除数据库"

// What "新建数据库..." and "打开数据库..." do with the file their dialog returned (also a
// file dropped on the window): close the open database, open (create: create) the file,
// then show or hide "数据库信息".
void switchToDatabaseFile(HostWindow& window, const QString& path, bool create);

// Backs the file up, then opens it (create: a new database) and reports the outcome;
// opens nothing when the user cancelled the backup.
bool openDatabaseFile(HostWindow& window, const QString& path, bool create);

// Copies the database file into the backup folder under a timestamped name and logs
// the backup's path; silent when there is no such file or the copy fails. The open
// database is copied through the engine's online backup, any other file as files, with
// the window answering and 取消 offered: false when the user cancelled (no backup left,
// only that logged), so the open it precedes must stop.
bool backupDatabaseFile(HostWindow& window, const QString& path);

}  // namespace tabulor
