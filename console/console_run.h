// Running the console's SQL as a query or as statements, and the tables for its tree.
#pragma once

#include <string>
#include <vector>

#include "platform/notice.h"
#include "sqlitedb/result_rows.h"

namespace tabulor {

class SqliteDB;
class SqliteDataset;

// What running the console's SQL leaves for its window to show.
struct ConsoleOutcome {
  bool ok = false;
  // A query's rows headed by the column names; empty for an execute or a failure.
  ResultRows rows;
  Notice notice;
};

// Re-opens the shared result set on sql and runs it once, keeping its rows. An empty text
// keeps the statement the result set held, which then runs again; only the first statement
// of sql runs.
ConsoleOutcome runConsoleQuery(const std::string& sql, SqliteDB& db, SqliteDataset& dataset);

// The failure shown when the SQL text holds a character the program code page cannot: nothing
// runs, and an earlier statement is never run in its place.
Notice unconvertibleSqlNotice();

// Runs every statement of sql in order up to the first failure; rows are discarded. The
// notice already holds the engine's text, so the structure tree may be refilled before it shows.
ConsoleOutcome runConsoleExecute(const std::string& sql, SqliteDB& db);

// One table of the console's tree with its column names in column order.
struct ConsoleTreeTable {
  std::string name;
  std::vector<std::string> fields;

  bool operator==(const ConsoleTreeTable&) const = default;
};

// The main schema's tables (no views, nothing temporary), sorted by name. A table its own
// cursor cannot open is listed without fields.
std::vector<ConsoleTreeTable> consoleTreeEntries(SqliteDB& db);

}  // namespace tabulor
