// The engine's handles, owned, and the few ways sqlitedb/ calls on them. Only sqlitedb/
// uses these; the rest of the program goes through SqliteDB and its cursors.
#pragma once

#include <memory>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace tabulor::engine {

// Closed with sqlite3_close_v2: a connection whose statements are still alive is kept by
// the engine until the last one is finalized, so a borrower never sees a freed handle.
struct CloseConnection {
  void operator()(sqlite3* connection) const;
};
using Connection = std::unique_ptr<sqlite3, CloseConnection>;

struct FinalizeStatement {
  void operator()(sqlite3_stmt* statement) const;
};
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

// The legacy compile keeps the program's semantics: a statement outdated by a schema
// change fails instead of being recompiled behind the caller's back.
enum class Compile { Legacy, Current };

// The first statement of UTF-8 SQL, compiled; null when the engine refuses it, when the
// text holds no statement, and without a connection.
Statement compile(sqlite3* connection, const char* utf8Sql, Compile how = Compile::Legacy);

// Runs every statement of UTF-8 SQL; true when all of them ran.
bool run(sqlite3* connection, const char* utf8Sql);

// The engine's message on the last call made on the connection, as our error text: its
// first 199 bytes, cut where no character is split; empty after a call that succeeded.
std::string errorText(sqlite3* connection);

// Whether the last call made on the connection was refused for another connection's
// lock. It has already waited out the busy timeout: trying another statement would make
// the caller wait that long again.
bool refusedForLock(sqlite3* connection);

}  // namespace tabulor::engine
