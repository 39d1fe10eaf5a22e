// Running the console's SQL as a query or as statements, and the tables for its tree.
#pragma once

#include <string>
#include <vector>

#include "report/outcome.h"
#include "sqlitedb/result_rows.h"

namespace tabulor {

class SqliteDB;
class SqliteDataset;

// A console query's outcome and, when it ran, its rows headed by the column names.
struct ConsoleQuery {
  Outcome outcome;
  ResultRows rows;
};

// Re-opens the shared result set on sql and runs it once, keeping its rows. An empty text
// keeps the statement the result set held, which then runs again; only the first statement
// of sql runs.
ConsoleQuery runConsoleQuery(const std::string& sql, SqliteDB& db, SqliteDataset& dataset);

// The failure shown when the SQL text holds a character the program code page cannot: nothing
// runs, and an earlier statement is never run in its place.
Notice unconvertibleSqlNotice();

// Runs every statement of sql in order up to the first failure; rows are discarded. Whatever
// happened, the structure tree is refilled before the notice shows: the statements may
// have changed the schema, and the notice already holds the engine's text.
Outcome runConsoleExecute(const std::string& sql, SqliteDB& db);

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
