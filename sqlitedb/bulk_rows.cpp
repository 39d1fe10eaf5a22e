// Many rows into one table through one compiled INSERT, and a query's rows read as stored.

#include "sqlitedb/bulk_rows.h"

#include <sqlite3.h>

#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlite_db.h"

namespace tabulor {

std::string quotedName(std::string_view name) {
  std::string quoted = "\"";
  for (const char c : name) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

bool BulkInsert::prepare(SqliteDB& db, const std::string& table,
                         const std::vector<std::string>& columns) {
  db_ = &db;
  statement_.reset();
  columns_ = 0;
  std::string sql = "INSERT INTO " + quotedName(table) + " (";
  std::string values;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    sql += (i ? ", " : "") + quotedName(columns[i]);
    values += i ? ", ?" : "?";
  }
  sql += ") VALUES (" + values + ")";
  const auto utf8 = toUtf8(sql);
  if (!utf8 || columns.empty()) return false;
  db.countEngineCall();
  statement_ = engine::compile(db.connection_.get(), utf8->c_str(), engine::Compile::Current);
  if (!statement_) return false;
  ++db.changeTicket_;
  columns_ = static_cast<int>(columns.size());
  return true;
}

void BulkInsert::bindText(int column, std::string_view utf8) {
  sqlite3_bind_text64(statement_.get(), column + 1, utf8.data(), utf8.size(), SQLITE_STATIC,
                      SQLITE_UTF8);
}

void BulkInsert::bindNull(int column) { sqlite3_bind_null(statement_.get(), column + 1); }

bool BulkInsert::insertRow() {
  if (!statement_) return false;
  const int result = sqlite3_step(statement_.get());
  sqlite3_reset(statement_.get());
  sqlite3_clear_bindings(statement_.get());
  return result == SQLITE_DONE;
}

bool RowReader::open(SqliteDB& db, const std::string& sql) {
  db_ = &db;
  columns_ = 0;
  statement_.reset();
  const auto utf8 = toUtf8(sql);
  if (!utf8) return false;
  db.countEngineCall();
  statement_ = engine::compile(db.connection_.get(), utf8->c_str(), engine::Compile::Current);
  if (!statement_ || !sqlite3_stmt_readonly(statement_.get())) {
    statement_.reset();
    return false;
  }
  columns_ = sqlite3_column_count(statement_.get());
  return true;
}

std::string_view RowReader::columnName(int column) const {
  const char* name = sqlite3_column_name(statement_.get(), column);
  return name ? std::string_view(name) : std::string_view();
}

RowReader::Step RowReader::next() {
  if (!statement_) return Step::Failed;
  const int result = sqlite3_step(statement_.get());
  if (result == SQLITE_ROW) return Step::Row;
  // The error stays readable on the connection until its next call.
  if (result != SQLITE_DONE) return Step::Failed;
  sqlite3_reset(statement_.get());
  return Step::End;
}

StoredKind RowReader::kind(int column) const {
  switch (sqlite3_column_type(statement_.get(), column)) {
    case SQLITE_INTEGER:
      return StoredKind::Integer;
    case SQLITE_FLOAT:
      return StoredKind::Real;
    case SQLITE_TEXT:
      return StoredKind::Text;
    case SQLITE_BLOB:
      return StoredKind::Blob;
    default:
      return StoredKind::Null;
  }
}

std::int64_t RowReader::integer(int column) const {
  return sqlite3_column_int64(statement_.get(), column);
}

double RowReader::real(int column) const { return sqlite3_column_double(statement_.get(), column); }

std::string_view RowReader::bytes(int column) const {
  // The pointer first, then its length, as the engine asks.
  const void* data = kind(column) == StoredKind::Blob
                         ? sqlite3_column_blob(statement_.get(), column)
                         : sqlite3_column_text(statement_.get(), column);
  const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement_.get(), column));
  return data ? std::string_view(static_cast<const char*>(data), size) : std::string_view();
}

ProgressHandlerScope::ProgressHandlerScope(SqliteDB& db, std::function<bool()> handler)
    : db_(db), previous_(db.progressHandler()) {
  db_.setProgressHandler(std::move(handler));
}

ProgressHandlerScope::~ProgressHandlerScope() { db_.setProgressHandler(std::move(previous_)); }

}  // namespace tabulor
