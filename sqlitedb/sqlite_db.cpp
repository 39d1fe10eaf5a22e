// SqliteDB, the program's connection to one database file, and SqliteRawDB, which converts nothing.

#include "sqlitedb/sqlite_db.h"

#include <sqlite3.h>

#include <cassert>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "sqlitedb/codepage.h"
#include "sqlitedb/engine.h"
#include "sqlitedb/hardened_connection.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor {
namespace {

constexpr std::size_t kDefinitionLimit = 199;
constexpr std::size_t kStatementLimit = 1999;
// Waits out a lock another program holds briefly, without freezing the window for long.
constexpr int kBusyTimeoutMs = 2000;
// Engine steps between two calls of the progress handler: well under a millisecond.
constexpr int kProgressSteps = 10000;
// Pages the online backup copies between two calls of the progress handler: a few
// milliseconds of work.
constexpr int kBackupPagesPerStep = 256;

bool isInMemoryName(const std::string& fileName) {
  return fileName.empty() || equalsIgnoringAsciiCase(fileName, ":memory:");
}

// The readability test done before opening an existing file.
bool isReadableFile(const std::string& utf8Path) {
  const std::filesystem::path path = pathFromUtf8(utf8Path);
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return false;
  return std::ifstream(path, std::ios::binary).is_open();
}

// Opens an engine connection the way both connection classes do; null on failure.
engine::Connection openConnection(const std::string& engineName, bool inMemory, bool allowCreate) {
  if (inMemory && !allowCreate) return nullptr;
  if (!inMemory && !allowCreate && !isReadableFile(engineName)) return nullptr;
  // Serialized, so a long step on a helper thread never rests on how the library was built.
  engine::Connection connection =
      openHardenedConnection(inMemory ? ":memory:" : engineName.c_str(),
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX);
  if (connection) sqlite3_busy_timeout(connection.get(), kBusyTimeoutMs);
  return connection;
}

// Closes at once; a connection whose statements are still alive refuses (SQLITE_BUSY)
// and stays open.
int closeConnection(engine::Connection& connection) {
  if (!connection) return SQLITE_OK;
  const int result = sqlite3_close(connection.get());
  if (result != SQLITE_BUSY) static_cast<void>(connection.release());
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
  // A connection kept for a live statement rolls back its open transaction only when
  // that statement is finalized, perhaps after this object is gone: unhook it first.
  if (connection_) sqlite3_rollback_hook(connection_.get(), nullptr, nullptr);
  connection_.reset();
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
  connection_ = openConnection(utf8Name, inMemory, allowCreate);
  if (connection_ && !inMemory) utf8FileName_ = utf8Name;
  if (!connection_) return false;
  sqlite3_rollback_hook(
      connection_.get(), [](void* self) { ++static_cast<SqliteDB*>(self)->changeTicket_; }, this);
  installProgressHandler();
  return true;
}

bool SqliteDB::close() {
  countEngineCall();
  if (closeConnection(connection_) == SQLITE_BUSY) return false;
  utf8FileName_.clear();
  return true;
}

bool SqliteDB::execute(const std::string& sql) {
  if (sql.empty() || !connection_) return false;
  const auto utf8 = toUtf8(sql);
  if (!utf8) return false;
  ++changeTicket_;
  countEngineCall();
  return engine::run(connection_.get(), utf8->c_str());
}

std::unique_ptr<SqliteDataset> SqliteDB::query(const std::string& sql) {
  auto dataset = std::make_unique<SqliteDataset>();
  dataset->open(sql, *this);
  return dataset;
}

std::int32_t SqliteDB::errorCode() const {
  return connection_ ? sqlite3_errcode(connection_.get()) : 0;
}

std::string SqliteDB::errorText() const {
  return fromUtf8Escaping(engine::errorText(connection_.get()));
}

std::int64_t SqliteDB::lastInsertRowid() const {
  return connection_ ? sqlite3_last_insert_rowid(connection_.get()) : 0;
}

std::optional<std::vector<std::string>> SqliteDB::quickCheck(int maxProblems) {
  if (!connection_) return std::nullopt;
  countEngineCall();
  const std::string sql = "PRAGMA main.quick_check(" + std::to_string(maxProblems) + ")";
  const engine::Statement statement =
      engine::compile(connection_.get(), sql.c_str(), engine::Compile::Current);
  std::vector<std::string> problems;
  int step = SQLITE_ERROR;
  // The check spends long stretches inside single instructions of the engine.
  if (statement)
    runLongStep([&] {
      while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(statement.get(), 0);
        problems.push_back(fromUtf8Escaping(text ? reinterpret_cast<const char*>(text) : ""));
      }
    });
  if (problems == std::vector<std::string>{"ok"}) problems.clear();
  const int code = sqlite3_errcode(connection_.get());
  if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB)
    problems.push_back(errorText());
  else if (step != SQLITE_DONE)
    return std::nullopt;
  return problems;
}

bool SqliteDB::beginTransaction(const std::string& name) {
  return connection_ && execute("BEGIN TRANSACTION " + name);
}

bool SqliteDB::commitTransaction(const std::string& name) {
  return connection_ && execute("COMMIT TRANSACTION " + name);
}

bool SqliteDB::rollbackTransaction(const std::string& name) {
  return connection_ && execute("ROLLBACK TRANSACTION " + name);
}

bool SqliteDB::inTransaction() const {
  return connection_ && sqlite3_get_autocommit(connection_.get()) == 0;
}

void SqliteDB::setProgressHandler(std::function<bool()> handler) {
  progressHandler_ = std::move(handler);
  installProgressHandler();
}

void SqliteDB::installProgressHandler() {
  if (!connection_) return;
  if (!progressHandler_) return sqlite3_progress_handler(connection_.get(), 0, nullptr, nullptr);
  sqlite3_progress_handler(
      connection_.get(), kProgressSteps,
      [](void* self) {
        auto& db = *static_cast<SqliteDB*>(self);
        db.insideHandler_ = true;
        const bool goOn = db.progressHandler_();
        db.insideHandler_ = false;
        return goOn ? 0 : 1;
      },
      this);
}

void SqliteDB::countEngineCall() const {
  assert(!insideHandler_ && "a call on the connection from inside its progress handler");
  assert(!stepBeside_ && "a call on the connection while a long step runs beside");
  ++engineCalls_;
}

void SqliteDB::runLongStep(const std::function<void()>& step) const {
  if (!longStepRunner_ || !sqlite3_threadsafe()) return step();
  stepBeside_ = true;
  longStepRunner_(step);
  stepBeside_ = false;
}

void SqliteDB::interrupt() const {
  if (connection_) sqlite3_interrupt(connection_.get());
}

std::vector<std::string> SqliteDB::catalogueColumn(const std::string& sql) {
  std::vector<std::string> values;
  const auto utf8 = toUtf8(sql);
  if (!connection_ || !utf8) return values;
  char** result = nullptr;
  int rows = 0;
  int columns = 0;
  countEngineCall();
  if (sqlite3_get_table(connection_.get(), utf8->c_str(), &result, &rows, &columns, nullptr) !=
      SQLITE_OK) {
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
  if (name.empty() || !connection_) return false;
  return !catalogueColumn("SELECT name FROM sqlite_master  WHERE name LIKE '" +
                          doubledQuotes(name) + "' AND type IN ('table','view') ")
              .empty();
}

std::vector<std::string> SqliteDB::listTables(bool withTables, bool withViews, bool temporary) {
  if (!connection_ || (!withTables && !withViews)) return {};
  const std::string types = withTables && withViews ? "'table','view'"
                            : withTables            ? "'table'"
                                                    : "'view'";
  const std::string master = temporary ? "sqlite_temp_master" : "sqlite_master";
  return catalogueColumn("SELECT name FROM " + master + "  WHERE type IN (" + types +
                         ")  ORDER BY name ");
}

std::string SqliteDB::tableSql(const std::string& name) {
  if (!connection_) return {};
  const std::string where =
      " WHERE name='" + doubledQuotes(name) + "' AND type IN ('table','view') ";
  const auto rows = catalogueColumn(" SELECT sql FROM sqlite_master " + where +
                                    " UNION ALL SELECT sql FROM sqlite_temp_master " + where);
  return rows.empty() ? std::string() : rows.front();
}

bool SqliteDB::createTable(const std::string& table, const std::vector<SqliteFieldInfo>& fields) {
  if (!connection_ || table.empty()) return false;
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
  if (!connection_ || utf8FileName_.empty()) return false;
  const auto destination = toUtf8(destinationFile);
  if (!destination || destination->empty()) return false;
  // A second connection reads the committed state without disturbing ours (and the
  // locks it holds), also in WAL mode and while a transaction is open.
  const engine::Connection source =
      openHardenedConnection(utf8FileName_.c_str(), SQLITE_OPEN_READONLY);
  if (!source) return false;
  const engine::Connection target =
      openHardenedConnection(destination->c_str(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  if (!target) return false;
  sqlite3_busy_timeout(source.get(), kBusyTimeoutMs);
  sqlite3_backup* backup = sqlite3_backup_init(target.get(), "main", source.get(), "main");
  if (!backup) return false;
  // In steps, so the progress handler keeps the window answering and may stop the copy.
  int step = SQLITE_OK;
  while ((step = sqlite3_backup_step(backup, kBackupPagesPerStep)) == SQLITE_OK)
    if (progressHandler_ && !progressHandler_()) break;
  return sqlite3_backup_finish(backup) == SQLITE_OK && step == SQLITE_DONE;
}

bool SqliteRawDB::open(const std::string& fileName, bool allowCreate) {
  connection_.reset();
  connection_ = openConnection(fileName, isInMemoryName(fileName), allowCreate);
  return connection_ != nullptr;
}

bool SqliteRawDB::close() { return closeConnection(connection_) != SQLITE_BUSY; }

bool SqliteRawDB::execute(const std::string& sql) {
  if (sql.empty() || !connection_) return false;
  return engine::run(connection_.get(), sql.c_str());
}

std::string SqliteRawDB::errorText() const { return engine::errorText(connection_.get()); }

}  // namespace tabulor
