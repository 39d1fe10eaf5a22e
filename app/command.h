// The commands of the menus and the toolbar, by name.
#pragma once

namespace tabulor {

// Every command the user can give from a menu item or a toolbar button. The main window
// makes each one a QAction once (caption, picture, the state it needs); its owner binds
// the handler by this name, so a misspelt command does not compile.
enum class Command {
  // 数据库
  NewDatabase,
  OpenDatabase,
  CloseDatabase,
  BackupDatabase,
  DeleteDatabase,
  Exit,
  // 表
  NewTable,
  ModifyTable,
  RenameTable,
  DropTable,
  ClearTable,
  InsertEmptyRecord,
  InsertRecord,
  DeleteCurrentRecord,
  ExportTable,
  ImportCsv,
  ExportCsv,
  // 视图
  NewView,
  ModifyView,
  RenameView,
  DropView,
  // 其它操作
  RunSql,
  BeginTransaction,
  CommitTransaction,
  RollbackTransaction,
  LastErrorText,
  LastErrorCode,
  LastInsertId,
  // 帮助
  DatabaseInfo,
  Refresh,
  About,
  // The toolbar's 关闭数据库, which has no menu item: unlike the menu's, it closes without
  // first clearing the tree's selection.
  CloseDatabaseButton,
};

inline constexpr int kCommandCount = static_cast<int>(Command::CloseDatabaseButton) + 1;

}  // namespace tabulor
