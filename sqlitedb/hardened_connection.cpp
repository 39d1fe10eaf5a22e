// Opening every engine connection with the same guards against damaged or hostile files.

#include "sqlitedb/hardened_connection.h"

#include <sqlite3.h>

namespace tabulor {
namespace {

struct Limit {
  int id;
  int value;
};

// Generous enough for any real database and console statement; the values a file can
// reach are pinned here, whatever the system library was built with.
constexpr Limit kLimits[] = {
    {SQLITE_LIMIT_LENGTH, 1'000'000'000},    // largest text or blob: real blobs are big
    {SQLITE_LIMIT_SQL_LENGTH, 100'000'000},  // one statement, also one stored definition
    {SQLITE_LIMIT_COLUMN, 2000},             // columns of a table, index or result
    {SQLITE_LIMIT_EXPR_DEPTH, 1000},         // keeps the parser's recursion off the stack end
    {SQLITE_LIMIT_COMPOUND_SELECT, 500},     // terms of one UNION chain
    {SQLITE_LIMIT_VDBE_OP, 25'000'000},      // size of one compiled statement
    {SQLITE_LIMIT_FUNCTION_ARG, 127},        // arguments of one function call
    {SQLITE_LIMIT_ATTACHED, 10},             // databases the user attaches in the console
    {SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 50'000},
    {SQLITE_LIMIT_VARIABLE_NUMBER, 32'766},  // the system library allows 250,000
    {SQLITE_LIMIT_TRIGGER_DEPTH, 100},       // triggers firing triggers
};

void applyGuards(sqlite3* handle) {
  // Trusted, on purpose: the program registers no SQL function and loads no extension, so
  // a file's schema reaches only the engine's own functions, and the few of those with
  // effects refuse to run from a schema whatever this says. Off, this engine refuses
  // valid files whose CHECKs, indexes or views use its JSON functions.
  sqlite3_db_config(handle, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 1, nullptr);
  sqlite3_db_config(handle, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
  sqlite3_db_config(handle, SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER, 0, nullptr);
  for (const Limit& limit : kLimits) sqlite3_limit(handle, limit.id, limit.value);
  // A flag, so it reads no schema: an unreadable file still opens, as before.
  engine::run(handle, "PRAGMA cell_size_check=ON");
}

}  // namespace

engine::Connection openHardenedConnection(const char* utf8Name, int flags) {
  sqlite3* opened = nullptr;
  const int result = sqlite3_open_v2(utf8Name, &opened, flags, nullptr);
  // The engine hands back a handle to close even when it refuses the file.
  engine::Connection connection(opened);
  if (result != SQLITE_OK) return nullptr;
  applyGuards(connection.get());
  return connection;
}

}  // namespace tabulor
