// The few calls sqlitedb/ makes on the engine's handles.

#include "sqlitedb/engine.h"

#include <sqlite3.h>

#include <string_view>

#include "sqlitedb/codepage.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor::engine {
namespace {

constexpr std::size_t kErrorTextLimit = 199;

}  // namespace

void CloseConnection::operator()(sqlite3* connection) const { sqlite3_close_v2(connection); }

void FinalizeStatement::operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }

Statement compile(sqlite3* connection, const char* utf8Sql, Compile how) {
  if (!connection) return nullptr;
  const auto prepare = how == Compile::Legacy ? sqlite3_prepare : sqlite3_prepare_v2;
  sqlite3_stmt* compiled = nullptr;
  const int result = prepare(connection, utf8Sql, -1, &compiled, nullptr);
  Statement statement(compiled);
  if (result != SQLITE_OK) return nullptr;
  return statement;
}

bool run(sqlite3* connection, const char* utf8Sql) {
  return sqlite3_exec(connection, utf8Sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string errorText(sqlite3* connection) {
  if (!connection) return {};
  const std::string_view message = sqlite3_errmsg(connection);
  if (equalsIgnoringAsciiCase(message, "not an error")) return {};
  return std::string(utf8Prefix(message, kErrorTextLimit));
}

bool refusedForLock(sqlite3* connection) {
  const int code = connection ? sqlite3_errcode(connection) : SQLITE_OK;
  return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

}  // namespace tabulor::engine
