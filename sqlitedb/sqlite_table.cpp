#include "sqlitedb/sqlite_table.h"

#include <sqlite3.h>

#include <memory>

#include "sqlitedb/codepage.h"
#include "sqlitedb/program_text.h"
#include "sqlitedb/sqlite_db.h"

namespace tabulor {
namespace {

constexpr std::size_t kTableNameLimit = 1023;

struct StatementDeleter {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

// Compiles program-text SQL with the legacy compile; null on any failure.
Statement compile(sqlite3* connection, const std::string& sql) {
  const auto utf8 = toUtf8(sql);
  sqlite3_stmt* statement = nullptr;
  if (!connection || !utf8 ||
      sqlite3_prepare(connection, utf8->c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement);
    return nullptr;
  }
  return Statement(statement);
}

std::optional<std::vector<std::int64_t>> readRowIds(sqlite3_stmt* statement) {
  std::vector<std::int64_t> rowIds;
  int step;
  while ((step = sqlite3_step(statement)) == SQLITE_ROW)
    rowIds.push_back(sqlite3_column_int64(statement, 0));
  if (step != SQLITE_DONE) return std::nullopt;
  return rowIds;
}

// A statement refused for another connection's lock has already waited out the busy
// timeout; trying the next one would make the caller wait that long again.
bool isLocked(sqlite3* connection) {
  const int code = connection ? sqlite3_errcode(connection) : SQLITE_OK;
  return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

// Views and WITHOUT ROWID tables have no row ids: they are counted instead.
std::optional<std::int64_t> countRows(sqlite3* connection, const std::string& table) {
  Statement statement = compile(connection, "SELECT count(*) FROM " + table);
  if (!statement || sqlite3_step(statement.get()) != SQLITE_ROW) return std::nullopt;
  return sqlite3_column_int64(statement.get(), 0);
}

void readColumn(sqlite3_stmt* statement, FieldValue& destination) {
  std::visit(
      [statement](auto& value) {
        using Kind = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Kind, bool>) {
          value = sqlite3_column_int(statement, 0) != 0;
        } else if constexpr (std::is_same_v<Kind, std::int32_t>) {
          value = sqlite3_column_int(statement, 0);
        } else if constexpr (std::is_same_v<Kind, std::int64_t>) {
          value = sqlite3_column_int64(statement, 0);
        } else if constexpr (std::is_same_v<Kind, double>) {
          value = sqlite3_column_double(statement, 0);
        } else if constexpr (std::is_same_v<Kind, std::string>) {
          const auto* text = sqlite3_column_text(statement, 0);
          value = text ? fromUtf8(reinterpret_cast<const char*>(text)).value_or(std::string())
                       : std::string();
        } else {
          const auto* blob = static_cast<const unsigned char*>(sqlite3_column_blob(statement, 0));
          const int size = sqlite3_column_bytes(statement, 0);
          value = blob && size > 0 ? Bytes(blob, blob + size) : Bytes();
        }
      },
      destination);
}

}  // namespace

bool SqliteTable::open(const std::string& tableName, SqliteDB& db) {
  close();
  if (tableName.empty() || !db.isOpen()) return false;
  tableName_ = tableName.substr(0, kTableNameLimit);
  db_ = &db;
  dbGeneration_ = db.generation_;
  mode_ = Mode::Browse;
  if (!load()) {
    close();
    return false;
  }
  pending_.emplace(columnNames_.size());
  currentRecord_ = 0;
  return true;
}

sqlite3* SqliteTable::connection() const {
  return db_ && db_->generation_ == dbGeneration_ ? db_->handle_ : nullptr;
}

bool SqliteTable::load() {
  columnNames_.clear();
  rowIds_.clear();
  pending_.reset();
  sqlite3* db = connection();
  if (Statement names = compile(db, "SELECT * FROM " + tableName_ + " LIMIT 0")) {
    const int step = sqlite3_step(names.get());
    if (step == SQLITE_ROW || step == SQLITE_DONE) {
      const int count = sqlite3_column_count(names.get());
      for (int column = 0; column < count; ++column)
        columnNames_.push_back(
            fromUtf8(sqlite3_column_name(names.get(), column)).value_or(std::string()));
    }
  }
  if (isLocked(db)) return false;
  // Only an object without row ids refuses to compile the row-id query.
  if (Statement rowIdQuery =
          compile(db, "SELECT _ROWID_ FROM " + tableName_ + " ORDER BY _ROWID_ ")) {
    auto rowIds = readRowIds(rowIdQuery.get());
    if (!rowIds) return false;
    rowIds_ = std::move(*rowIds);
    recordCount_ = static_cast<std::int32_t>(rowIds_.size());
    return true;
  }
  if (isLocked(db)) return false;
  if (auto count = countRows(db, tableName_)) {
    recordCount_ = static_cast<std::int32_t>(*count);
    return true;
  }
  return false;
}

bool SqliteTable::close() {
  columnNames_ = {};
  rowIds_ = {};  // releases the snapshot's memory, not just its contents
  pending_.reset();
  currentRecord_ = 0;
  recordCount_ = 0;
  tableName_.clear();
  mode_ = Mode::Closed;
  db_ = nullptr;
  return true;
}

bool SqliteTable::goTo(std::int32_t record) {
  if (!isOpen()) return false;
  if (record >= 1 && record <= recordCount_) {
    currentRecord_ = record;
    return true;
  }
  currentRecord_ = record > recordCount_ ? recordCount_ + 1 : 0;
  return false;
}

std::optional<int> SqliteTable::columnIndex(const FieldRef& field) const {
  if (const int* number = std::get_if<int>(&field.target)) {
    if (*number >= 1 && *number <= fieldCount()) return *number - 1;
    return std::nullopt;
  }
  const std::string& name = std::get<std::string>(field.target);
  if (name.empty()) return std::nullopt;
  for (std::size_t i = 0; i < columnNames_.size(); ++i)
    if (equalsIgnoringAsciiCase(columnNames_[i], name)) return static_cast<int>(i);
  return std::nullopt;
}

std::optional<std::int64_t> SqliteTable::currentRowId() const {
  if (!isOpen() || recordCount_ < 1 || currentRecord_ < 1 || currentRecord_ > recordCount_ ||
      static_cast<std::size_t>(currentRecord_) > rowIds_.size())
    return std::nullopt;
  return rowIds_[static_cast<std::size_t>(currentRecord_ - 1)];
}

bool SqliteTable::beginEdit() {
  if (!isOpen() || recordCount_ < 1 || currentRecord_ < 1 || currentRecord_ > recordCount_)
    return false;
  pending_.emplace(columnNames_.size());
  mode_ = Mode::Edit;
  return true;
}

bool SqliteTable::setField(const FieldRef& field, const FieldValue& value) {
  if (!isOpen() || !pending_) return false;
  const auto index = columnIndex(field);
  if (!index) return false;
  (*pending_)[static_cast<std::size_t>(*index)] = value;
  return true;
}

bool SqliteTable::bindPending(sqlite3_stmt* statement) const {
  int parameter = 0;
  for (const auto& pending : *pending_) {
    if (!pending) continue;
    ++parameter;
    const int result = std::visit(
        [&](const auto& value) -> int {
          using Kind = std::decay_t<decltype(value)>;
          if constexpr (std::is_same_v<Kind, bool>) {
            return sqlite3_bind_int(statement, parameter, value ? 1 : 0);
          } else if constexpr (std::is_same_v<Kind, std::int32_t>) {
            return sqlite3_bind_int(statement, parameter, value);
          } else if constexpr (std::is_same_v<Kind, std::int64_t>) {
            return sqlite3_bind_int64(statement, parameter, value);
          } else if constexpr (std::is_same_v<Kind, double>) {
            return sqlite3_bind_double(statement, parameter, value);
          } else if constexpr (std::is_same_v<Kind, std::string>) {
            // A text that cannot be converted fails the write rather than store NULL.
            const auto utf8 = toUtf8(value);
            if (!utf8) return SQLITE_MISUSE;
            return sqlite3_bind_text(statement, parameter, utf8->c_str(), -1, SQLITE_TRANSIENT);
          } else {
            // A zero-length blob must not become NULL: bind a non-null pointer.
            static const unsigned char kEmpty = 0;
            return sqlite3_bind_blob(statement, parameter, value.empty() ? &kEmpty : value.data(),
                                     static_cast<int>(value.size()), SQLITE_TRANSIENT);
          }
        },
        *pending);
    if (result != SQLITE_OK) return false;
  }
  return true;
}

bool SqliteTable::post() {
  sqlite3* db = connection();
  if (!isOpen() || mode_ != Mode::Edit || !db || columnNames_.empty() || !pending_) return false;
  std::string assignments;
  for (std::size_t i = 0; i < columnNames_.size(); ++i)
    if ((*pending_)[i]) assignments += columnNames_[i] + "=?,";
  if (assignments.empty()) return false;
  assignments.pop_back();
  const auto rowId = currentRowId();
  if (!rowId) return false;
  Statement statement = compile(db, "UPDATE " + tableName_ + " SET " + assignments +
                                        " WHERE _ROWID_=" + std::to_string(*rowId));
  if (!statement || !bindPending(statement.get()) || sqlite3_step(statement.get()) != SQLITE_DONE)
    return false;
  mode_ = Mode::Browse;
  load();
  return true;
}

bool SqliteTable::deleteRecord() {
  const auto rowId = currentRowId();
  sqlite3* db = connection();
  if (!rowId || !db) return false;
  const auto utf8 =
      toUtf8("DELETE FROM " + tableName_ + " WHERE _ROWID_ = " + std::to_string(*rowId));
  const bool deleted =
      utf8 && sqlite3_exec(db, utf8->c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  load();
  currentRecord_ = 0;
  return deleted;
}

bool SqliteTable::readField(const FieldRef& field, FieldValue& destination) {
  const auto index = columnIndex(field);
  const auto rowId = currentRowId();
  if (!index || !rowId) return false;
  Statement statement =
      compile(connection(), "SELECT " + columnNames_[static_cast<std::size_t>(*index)] + " FROM " +
                                tableName_ + " WHERE _ROWID_ = " + std::to_string(*rowId) + " ");
  if (!statement || sqlite3_step(statement.get()) != SQLITE_ROW) return false;
  readColumn(statement.get(), destination);
  return true;
}

}  // namespace tabulor
