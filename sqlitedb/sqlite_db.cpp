#include "sqlitedb/sqlite_db.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>

#include "sqlitedb/codepage.h"
#include "sqlitedb/hardened_connection.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor {
namespace {

constexpr std::size_t kErrorTextLimit = 199;
constexpr std::size_t kDefinitionLimit = 199;
constexpr std::size_t kStatementLimit = 1999;
// Waits out a lock another program holds briefly, without freezing the window for long.
constexpr int kBusyTimeoutMs = 2000;
// Engine steps between two calls of the progress handler: well under a millisecond.
constexpr int kProgressSteps = 10000;

bool isInMemoryName(const std::string& fileName) {
  return fileName.empty() || equalsIgnoringAsciiCase(fileName, ":memory:");
}

// The readability test done before opening an existing file.
bool isReadableFile(const std::string& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return false;
  std::FILE* file = std::fopen(path.c_str(), "r");
  if (!file) return false;
  std::fclose(file);
  return true;
}

// Opens an engine connection the way both connection classes do; nullptr on failure.
sqlite3* openConnection(const std::string& engineName, bool inMemory, bool allowCreate) {
  if (inMemory && !allowCreate) return nullptr;
  if (!inMemory && !allowCreate && !isReadableFile(engineName)) return nullptr;
  sqlite3* handle = openHardenedConnection(inMemory ? ":memory:" : engineName.c_str(),
                                           SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  if (handle) sqlite3_busy_timeout(handle, kBusyTimeoutMs);
  return handle;
}

// The engine's message as the first 199 bytes, cut where no character is split.
std::string rawErrorText(sqlite3* handle) {
  if (!handle) return {};
  const std::string_view message = sqlite3_errmsg(handle);
  if (equalsIgnoringAsciiCase(message, "not an error")) return {};
  return std::string(utf8Prefix(message, kErrorTextLimit));
}

// A closed connection whose statements are still alive is kept by the engine until
// the last one is finalized, so a borrower never sees a freed handle.
void releaseConnection(sqlite3*& handle) {
  if (handle) sqlite3_close_v2(handle);
  handle = nullptr;
}

int closeConnection(sqlite3*& handle) {
  if (!handle) return SQLITE_OK;
  const int result = sqlite3_close(handle);
  if (result != SQLITE_BUSY) handle = nullptr;
  return result;
}

}  // namespace

std::string sqlTypeForCode(std::int32_t type, std::int32_t size) {
  switch (type) {
    case -1:
      return "INTEGER PRIMARY KEY";
    case 0:
      return "";
    case 1:
    case 2:
    case 3:
    case 4:
    case 7:
      return "INTEGER";
    case 5:
    case 6:
      return "NUMERIC";
    case 8:
    case 10:
    case 12:
      return size > 0 ? "TEXT(" + std::to_string(size) + ")" : "TEXT";
    case 11:
      return "BLOB";
    default:
      return "NONE";
  }
}

SqliteDB::~SqliteDB() { release(); }

void SqliteDB::release() {
  releaseConnection(handle_);
  utf8FileName_.clear();
}

bool SqliteDB::open(const std::string& fileName, bool allowCreate) {
  release();
  ++generation_;
  countEngineCall();
  const bool inMemory = isInMemoryName(fileName);
  std::string utf8Name;
  if (!inMemory) {
    auto converted = toUtf8(fileName);
    if (!converted || converted->empty()) return false;
    utf8Name = std::move(*converted);
  }
  handle_ = openConnection(utf8Name, inMemory, allowCreate);
  if (handle_ && !inMemory) utf8FileName_ = utf8Name;
  if (handle_)
    sqlite3_rollback_hook(
        handle_, [](void* self) { ++static_cast<SqliteDB*>(self)->changeTicket_; }, this);
  return handle_ != nullptr;
}

bool SqliteDB::close() {
  countEngineCall();
  if (closeConnection(handle_) == SQLITE_BUSY) return false;
  utf8FileName_.clear();
  return true;
}

bool SqliteDB::execute(const std::string& sql) {
  if (sql.empty() || !handle_) return false;
  const auto utf8 = toUtf8(sql);
  if (!utf8) return false;
  ++changeTicket_;
  countEngineCall();
  return sqlite3_exec(handle_, utf8->c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::unique_ptr<SqliteDataset> SqliteDB::query(const std::string& sql) {
  auto dataset = std::make_unique<SqliteDataset>();
  dataset->open(sql, *this);
  return dataset;
}

std::int32_t SqliteDB::errorCode() const { return handle_ ? sqlite3_errcode(handle_) : 0; }

std::string SqliteDB::errorText() const {
  return fromUtf8(rawErrorText(handle_)).value_or(std::string());
}

std::int64_t SqliteDB::lastInsertRowid() const {
  return handle_ ? sqlite3_last_insert_rowid(handle_) : 0;
}

bool SqliteDB::beginTransaction(const std::string& name) {
  return handle_ && execute("BEGIN TRANSACTION " + name);
}

bool SqliteDB::commitTransaction(const std::string& name) {
  return handle_ && execute("COMMIT TRANSACTION " + name);
}

bool SqliteDB::rollbackTransaction(const std::string& name) {
  return handle_ && execute("ROLLBACK TRANSACTION " + name);
}

bool SqliteDB::inTransaction() const { return handle_ && sqlite3_get_autocommit(handle_) == 0; }

void SqliteDB::setProgressHandler(std::function<bool()> handler) {
  progressHandler_ = std::move(handler);
  if (!handle_) return;
  if (!progressHandler_) return sqlite3_progress_handler(handle_, 0, nullptr, nullptr);
  sqlite3_progress_handler(
      handle_, kProgressSteps,
      [](void* self) { return static_cast<SqliteDB*>(self)->progressHandler_() ? 0 : 1; }, this);
}

std::vector<std::string> SqliteDB::catalogueColumn(const std::string& sql) {
  std::vector<std::string> values;
  const auto utf8 = toUtf8(sql);
  if (!handle_ || !utf8) return values;
  char** result = nullptr;
  int rows = 0;
  int columns = 0;
  countEngineCall();
  if (sqlite3_get_table(handle_, utf8->c_str(), &result, &rows, &columns, nullptr) != SQLITE_OK) {
    sqlite3_free_table(result);
    return values;
  }
  if (columns > 0) {
    values.reserve(static_cast<std::size_t>(rows));
    for (int row = 1; row <= rows; ++row) {
      const char* value = result[row * columns];
      values.push_back(value ? fromUtf8(value).value_or(std::string()) : std::string());
    }
  }
  sqlite3_free_table(result);
  return values;
}

bool SqliteDB::tableExists(const std::string& name) {
  if (name.empty() || !handle_) return false;
  return !catalogueColumn("SELECT name FROM sqlite_master  WHERE name LIKE '" +
                          doubledQuotes(name) + "' AND type IN ('table','view') ")
              .empty();
}

std::vector<std::string> SqliteDB::listTables(bool withTables, bool withViews, bool temporary) {
  if (!handle_ || (!withTables && !withViews)) return {};
  const std::string types = withTables && withViews ? "'table','view'"
                            : withTables            ? "'table'"
                                                    : "'view'";
  const std::string master = temporary ? "sqlite_temp_master" : "sqlite_master";
  return catalogueColumn("SELECT name FROM " + master + "  WHERE type IN (" + types +
                         ")  ORDER BY name ");
}

std::string SqliteDB::tableSql(const std::string& name) {
  if (!handle_) return {};
  const std::string where =
      " WHERE name='" + doubledQuotes(name) + "' AND type IN ('table','view') ";
  const auto rows = catalogueColumn(" SELECT sql FROM sqlite_master " + where +
                                    " UNION ALL SELECT sql FROM sqlite_temp_master " + where);
  return rows.empty() ? std::string() : rows.front();
}

bool SqliteDB::createTable(const std::string& table, const std::vector<SqliteFieldInfo>& fields) {
  if (!handle_ || table.empty()) return false;
  std::string columns;
  for (const SqliteFieldInfo& field : fields) {
    if (field.name.empty()) continue;
    const std::string type = sqlTypeForCode(field.type, field.size);
    const std::string definition = type.empty() ? field.name : field.name + " " + type;
    if (definition.size() > kDefinitionLimit) return false;
    if (!columns.empty()) columns += ", ";
    columns += definition;
  }
  if (columns.empty() || columns.size() > kStatementLimit) return false;
  const std::string statement = "CREATE TABLE " + table + " (" + columns + ")";
  if (statement.size() > kStatementLimit) return false;
  return execute(statement);
}

bool SqliteDB::backupTo(const std::string& destinationFile) {
  if (!handle_ || utf8FileName_.empty()) return false;
  const auto destination = toUtf8(destinationFile);
  if (!destination || destination->empty()) return false;
  // A second connection reads the committed state without disturbing ours (and the
  // locks it holds), also in WAL mode and while a transaction is open.
  sqlite3* source = openHardenedConnection(utf8FileName_.c_str(), SQLITE_OPEN_READONLY);
  sqlite3* target = source ? openHardenedConnection(destination->c_str(),
                                                    SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)
                           : nullptr;
  bool copied = false;
  if (source && target) {
    sqlite3_busy_timeout(source, kBusyTimeoutMs);
    if (sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main")) {
      copied = sqlite3_backup_step(backup, -1) == SQLITE_DONE;
      copied = sqlite3_backup_finish(backup) == SQLITE_OK && copied;
    }
  }
  sqlite3_close(target);
  sqlite3_close(source);
  return copied;
}

SqliteRawDB::~SqliteRawDB() { releaseConnection(handle_); }

bool SqliteRawDB::open(const std::string& fileName, bool allowCreate) {
  releaseConnection(handle_);
  handle_ = openConnection(fileName, isInMemoryName(fileName), allowCreate);
  return handle_ != nullptr;
}

bool SqliteRawDB::close() { return closeConnection(handle_) != SQLITE_BUSY; }

bool SqliteRawDB::execute(const std::string& sql) {
  if (sql.empty() || !handle_) return false;
  return sqlite3_exec(handle_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string SqliteRawDB::errorText() const { return rawErrorText(handle_); }

}  // namespace tabulor
