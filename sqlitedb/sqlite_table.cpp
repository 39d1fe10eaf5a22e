// SqliteTable: record access to one table or view in row-id order, through a row-id snapshot.

#include "sqlitedb/sqlite_table.h"

#include <sqlite3.h>

#include <string_view>

#include "sqlitedb/codepage.h"
#include "sqlitedb/engine.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor {
namespace {

constexpr std::size_t kTableNameLimit = 1023;

using engine::Statement;

// Compiles program-text SQL with the legacy compile; null on any failure.
Statement compile(sqlite3* connection, const std::string& sql) {
  const auto utf8 = toUtf8(sql);
  return utf8 ? engine::compile(connection, utf8->c_str()) : nullptr;
}

// Facts about the object an unquoted name stands for, found as the engine resolves it:
// a "schema." prefix names the database, otherwise temp comes before main. An object
// not found this way (in an attached database) is taken as a table that may replace.
struct ObjectFacts {
  bool isView = false;
  bool mayReplaceRows = true;
};

ObjectFacts describeObject(sqlite3* connection, const std::string& name) {
  const auto dot = name.find('.');
  const std::string object = dot == std::string::npos ? name : name.substr(dot + 1);
  const std::string columns = "SELECT type, sql LIKE '%replace%' FROM ";
  const std::string where = " WHERE name = ? COLLATE NOCASE AND type IN ('table','view')";
  const std::string sql =
      dot == std::string::npos
          ? columns +
                "(SELECT 0 AS k, name, type, sql FROM temp.sqlite_master UNION ALL"
                " SELECT 1, name, type, sql FROM main.sqlite_master)" +
                where + " ORDER BY k LIMIT 1"
          : columns + name.substr(0, dot) + ".sqlite_master" + where;
  Statement statement = compile(connection, sql);
  const auto utf8Object = toUtf8(object);
  ObjectFacts facts;
  if (statement && utf8Object &&
      sqlite3_bind_text(statement.get(), 1, utf8Object->c_str(), -1, SQLITE_TRANSIENT) ==
          SQLITE_OK &&
      sqlite3_step(statement.get()) == SQLITE_ROW) {
    const auto* type = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
    facts.isView = type && std::string_view(type) == "view";
    facts.mayReplaceRows = sqlite3_column_int(statement.get(), 1) != 0;
  }
  return facts;
}

// Commits by other connections since the last call on this connection change it.
std::int64_t dataVersion(sqlite3* connection) {
  const Statement statement =
      engine::compile(connection, "PRAGMA data_version", engine::Compile::Current);
  if (!statement || sqlite3_step(statement.get()) != SQLITE_ROW) return -1;
  return sqlite3_column_int64(statement.get(), 0);
}

// Views and WITHOUT ROWID tables have no row ids: they are counted instead.
std::optional<std::int64_t> countRows(const SqliteDB& db, sqlite3* connection,
                                      const std::string& table) {
  Statement statement = compile(connection, "SELECT count(*) FROM " + table);
  int step = SQLITE_ERROR;
  if (statement) db.runLongStep([&] { step = sqlite3_step(statement.get()); });
  if (step != SQLITE_ROW) return std::nullopt;
  return sqlite3_column_int64(statement.get(), 0);
}

// The names of the object's columns as the query over all of them names them; nullopt
// when the object cannot be read (its query does not compile or run).
std::optional<std::vector<std::string>> readColumnNames(sqlite3* connection,
                                                        const std::string& objectName) {
  Statement names = compile(connection, "SELECT * FROM " + objectName + " LIMIT 0");
  if (!names) return std::nullopt;
  const int step = sqlite3_step(names.get());
  if (step != SQLITE_ROW && step != SQLITE_DONE) return std::nullopt;
  std::vector<std::string> columns;
  const int count = sqlite3_column_count(names.get());
  for (int column = 0; column < count; ++column)
    columns.push_back(fromUtf8(sqlite3_column_name(names.get(), column)).value_or(std::string()));
  return columns;
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
  const std::string name = tableName.substr(0, kTableNameLimit);
  if (name.empty() || !db.isOpen() || !isSelfContainedName(name)) return false;
  tableName_ = name;
  db_ = &db;
  dbGeneration_ = db.generation_;
  mode_ = Mode::Browse;
  if (!readColumnNames()) {
    close();
    return false;
  }
  pending_.emplace(columnNames_.size());
  currentRecord_ = 0;
  return loadRecords();
}

// Every use of the handle is a call on the engine.
sqlite3* SqliteTable::connection() const {
  if (!db_ || db_->generation_ != dbGeneration_) return nullptr;
  db_->countEngineCall();
  return db_->connection_.get();
}

bool SqliteTable::readColumnNames() {
  auto names = tabulor::readColumnNames(connection(), tableName_);
  if (!names) return false;
  columnNames_ = std::move(*names);
  return true;
}

std::vector<std::vector<std::string>> SqliteTable::columnNamesOf(
    const std::vector<std::string>& objects, SqliteDB& db) {
  std::vector<std::vector<std::string>> columns(objects.size());
  if (!db.isOpen()) return columns;
  sqlite3* connection = db.connection_.get();
  db.countEngineCall();
  // A read kept open holds the read transaction for all the queries below.
  const Statement reading = engine::compile(connection, "SELECT 1 FROM sqlite_master");
  if (reading && sqlite3_step(reading.get()) != SQLITE_ROW && engine::refusedForLock(connection))
    return columns;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    const std::string name = objects[i].substr(0, kTableNameLimit);
    if (name.empty() || !isSelfContainedName(name)) continue;
    if (auto names = tabulor::readColumnNames(connection, name)) columns[i] = std::move(*names);
  }
  return columns;
}

bool SqliteTable::loadRecords() {
  if (!isOpen()) return false;
  if (snapshotHeld_) return true;
  if (!readSnapshot()) {
    close();
    return false;
  }
  snapshotHeld_ = true;
  return true;
}

bool SqliteTable::readSnapshot() {
  rowIds_.clear();
  hasRowIds_ = false;
  sqlite3* db = connection();
  const ObjectFacts facts = describeObject(db, tableName_);
  if (engine::refusedForLock(db)) return false;
  mayReplaceRows_ = facts.mayReplaceRows;
  // This engine answers _ROWID_ on a view with NULLs, so a view is never asked for row
  // ids; a WITHOUT ROWID table refuses to compile the query.
  if (!facts.isView) {
    if (Statement rowIdQuery =
            compile(db, "SELECT _ROWID_ FROM " + tableName_ + " ORDER BY _ROWID_ ")) {
      if (!readRowIds(db, rowIdQuery.get())) return false;
      hasRowIds_ = true;
      recordCount_ = static_cast<std::int32_t>(rowIds_.size());
      snapshotMark_ = changeMark(db);
      return true;
    }
    if (engine::refusedForLock(db)) return false;
  }
  if (auto count = countRows(*db_, db, tableName_)) {
    recordCount_ = static_cast<std::int32_t>(*count);
    return true;
  }
  return false;
}

// After a write the columns are as they were; only the records may have moved. The write
// is done, so the snapshot that shows it is read in full.
void SqliteTable::reloadRecords() {
  const SqliteDB::ProgramReads reads(*db_);
  pending_.reset();
  snapshotHeld_ = false;
  loadRecords();
}

// Row ids without a gap, the usual case, are found by counting and two index look-ups
// in one statement (one consistent read); only a table with gaps is scanned id by id.
bool SqliteTable::readRowIds(sqlite3* db, sqlite3_stmt* scan) {
  Statement bounds =
      compile(db, "SELECT (SELECT count(*) FROM " + tableName_ + "), (SELECT min(_ROWID_) FROM " +
                      tableName_ + "), (SELECT max(_ROWID_) FROM " + tableName_ + ")");
  int step = SQLITE_ERROR;
  if (bounds) db_->runLongStep([&] { step = sqlite3_step(bounds.get()); });
  if (step == SQLITE_ROW) {
    const std::int64_t count = sqlite3_column_int64(bounds.get(), 0);
    const std::int64_t first = sqlite3_column_int64(bounds.get(), 1);
    const std::int64_t last = sqlite3_column_int64(bounds.get(), 2);
    if (count == 0) return true;
    if (static_cast<std::uint64_t>(last) - static_cast<std::uint64_t>(first) ==
        static_cast<std::uint64_t>(count - 1)) {
      rowIds_.assignRange(first, count);
      return true;
    }
  } else if (engine::refusedForLock(db)) {
    return false;
  }
  while ((step = sqlite3_step(scan)) == SQLITE_ROW) rowIds_.append(sqlite3_column_int64(scan, 0));
  if (step == SQLITE_DONE) return true;
  rowIds_.clear();
  return false;
}

SqliteTable::ChangeMark SqliteTable::changeMark(sqlite3* db) const {
  return {db_->changeTicket_, sqlite3_total_changes64(db), dataVersion(db)};
}

bool SqliteTable::close() {
  columnNames_ = {};
  rowIds_.clear();
  hasRowIds_ = false;
  snapshotHeld_ = false;
  pending_.reset();
  currentRecord_ = 0;
  recordCount_ = 0;
  tableName_.clear();
  mode_ = Mode::Closed;
  db_ = nullptr;
  return true;
}

bool SqliteTable::goTo(std::int32_t record) {
  if (!loadRecords()) return false;
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
  if (!isOpen() || !hasRowIds_ || currentRecord_ < 1 || currentRecord_ > recordCount_)
    return std::nullopt;
  return rowIds_.at(currentRecord_ - 1);
}

// The rows one statement of the cursor changes, as the engine reports them. The
// program sets no update hook anywhere else, so the cursor borrows it for the statement.
struct SqliteTable::RowChange {
  explicit RowChange(sqlite3* db) : db_(db) { sqlite3_update_hook(db_, &record, this); }
  ~RowChange() { sqlite3_update_hook(db_, nullptr, nullptr); }
  RowChange(const RowChange&) = delete;
  RowChange& operator=(const RowChange&) = delete;

  static void record(void* self, int operation, const char*, const char*, sqlite3_int64 rowId) {
    auto& change = *static_cast<RowChange*>(self);
    ++change.rows;
    change.operation = operation;
    change.rowId = rowId;
  }

  sqlite3* db_;
  int rows = 0;
  int operation = 0;
  std::int64_t rowId = 0;  // for an update, the row id after it
};

// True when the snapshot held before the statement, and the statement changed exactly
// one row of this table (no trigger, cascade or replaced row), by the given operation.
bool SqliteTable::onlyThisRowChanged(const ChangeMark& before, const ChangeMark& after,
                                     const RowChange& change, int operation) const {
  const ChangeMark expected{before.ticket, before.totalChanges + 1, before.dataVersion};
  return before == snapshotMark_ && after == expected && !mayReplaceRows_ && change.rows == 1 &&
         change.operation == operation;
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
            // A zero-length blob must not become NULL: bind a non-null pointer. The 64-bit
            // length lets the engine refuse a blob it cannot hold instead of storing it cut.
            static const unsigned char kEmpty = 0;
            return sqlite3_bind_blob64(statement, parameter, value.empty() ? &kEmpty : value.data(),
                                       value.size(), SQLITE_TRANSIENT);
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
  if (!statement || !bindPending(statement.get())) return false;
  const ChangeMark before = changeMark(db);
  RowChange change(db);
  if (sqlite3_step(statement.get()) != SQLITE_DONE) return false;
  mode_ = Mode::Browse;
  const ChangeMark after = changeMark(db);
  if (onlyThisRowChanged(before, after, change, SQLITE_UPDATE) &&
      (change.rowId == *rowId || (rowIds_.erase(*rowId) && rowIds_.insert(change.rowId)))) {
    pending_.reset();
    snapshotMark_ = after;
  } else {
    reloadRecords();
  }
  return true;
}

bool SqliteTable::deleteRecord() {
  const auto rowId = currentRowId();
  sqlite3* db = connection();
  if (!rowId || !db) return false;
  const auto utf8 =
      toUtf8("DELETE FROM " + tableName_ + " WHERE _ROWID_ = " + std::to_string(*rowId));
  const ChangeMark before = changeMark(db);
  bool deleted = false;
  ChangeMark after;
  {
    RowChange change(db);
    deleted = utf8 && engine::run(db, utf8->c_str());
    after = changeMark(db);
    if (deleted && onlyThisRowChanged(before, after, change, SQLITE_DELETE) &&
        rowIds_.erase(*rowId)) {
      --recordCount_;
      snapshotMark_ = after;
    } else if (deleted || before != snapshotMark_ || after != before) {
      reloadRecords();
    }
  }
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
