// The program's shared state: the one connection, the shown object's cursor, the names read.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sqlitedb/kept_error.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/sqlite_table.h"

namespace tabulor {

// The program's one shared state, created before the main window and destroyed after
// it. Texts are program text. `db` is declared first, so the cursor and the result set
// are destroyed before the connection they read from.
struct AppState {
  SqliteDB db;  // the one connection; closed while no database is open
  // Names as last read by the structure tree; a closed database does not clear them.
  std::vector<std::string> tableNames;
  std::vector<std::string> viewNames;
  std::vector<std::string> tempTableNames;
  std::vector<std::string> tempViewNames;
  SqliteTable table;  // cursor on the object shown in the main grid
  std::unique_ptr<SqliteDataset> dataset = std::make_unique<SqliteDataset>();  // fills the grid
  std::int32_t displayLimit = 0;  // 1000 from start-up on
  std::string dbPath;             // empty when no database is open
  std::string appTitle;           // "Tabulor"
  std::string editStartText;      // a main-grid cell's text when in-place editing began
  KeptEngineError consoleError;  // a failed console execute, for "取错误文本" and "取错误码"

  AppState() = default;
  AppState(const AppState&) = delete;
  AppState& operator=(const AppState&) = delete;
};

}  // namespace tabulor
