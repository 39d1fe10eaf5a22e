// SqliteTable: record access to one table or view in row-id order, through a row-id snapshot.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sqlitedb/field_value.h"
#include "sqlitedb/row_id_runs.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tabulor {

class SqliteDB;

// Record access to one table or view: records 1..N in ascending row-id order. Opening
// takes the row-id snapshot: changes made elsewhere afterwards are not seen until the
// cursor is opened again. The cursor's own write or delete updates the snapshot in place
// when nothing else can have changed the table since it was taken; otherwise the
// snapshot is read again.
class SqliteTable {
 public:
  SqliteTable() = default;
  ~SqliteTable() = default;
  SqliteTable(const SqliteTable&) = delete;
  SqliteTable& operator=(const SqliteTable&) = delete;

  bool open(const std::string& tableName, SqliteDB& db);
  // The column names a cursor opened on each object would have (none where it could not
  // open), read in one read transaction: a schema of thousands of tables is named at the
  // cost of compiling one query per table, with no row read and no lock taken per table.
  static std::vector<std::vector<std::string>> columnNamesOf(
      const std::vector<std::string>& objects, SqliteDB& db);
  bool close();
  bool isOpen() const { return mode_ != Mode::Closed; }

  std::string tableName() const { return tableName_; }
  // Takes the row-id snapshot unless it is held; false (and the cursor closed) when the
  // records cannot be read.
  bool loadRecords();
  std::int32_t recordCount() { return loadRecords() ? recordCount_ : 0; }
  std::int32_t fieldCount() const { return static_cast<std::int32_t>(columnNames_.size()); }
  std::vector<std::string> fieldNames() const { return columnNames_; }
  // False for a view or WITHOUT ROWID table: its records are counted but cannot be
  // read, changed or deleted through the cursor.
  bool hasRowIds() { return loadRecords() && hasRowIds_; }

  bool goTo(std::int32_t record);
  std::int32_t currentRecord() const { return currentRecord_; }
  // The row id of the current record in the snapshot; nullopt without one.
  std::optional<std::int64_t> currentRowId() const;
  bool beginEdit();
  bool setField(const FieldRef& field, const FieldValue& value);
  bool post();
  bool deleteRecord();
  bool readField(const FieldRef& field, FieldValue& destination);

 private:
  enum class Mode { Closed, Browse, Edit };
  // What tells whether the table may have changed behind the cursor: the connection's
  // own writes and rollbacks, its count of changed rows, and other connections' commits.
  struct ChangeMark {
    std::uint64_t ticket = 0;
    std::int64_t totalChanges = 0;
    std::int64_t dataVersion = 0;
    bool operator==(const ChangeMark&) const = default;
  };
  struct RowChange;

  bool readColumnNames();
  bool readSnapshot();
  void reloadRecords();
  bool readRowIds(sqlite3* db, sqlite3_stmt* scan);
  ChangeMark changeMark(sqlite3* db) const;
  bool onlyThisRowChanged(const ChangeMark& before, const ChangeMark& after,
                          const RowChange& change, int operation) const;
  sqlite3* connection() const;
  std::optional<int> columnIndex(const FieldRef& field) const;
  bool bindPending(sqlite3_stmt* statement) const;

  std::int32_t currentRecord_ = 0;
  std::int32_t recordCount_ = 0;
  std::string tableName_;
  std::vector<std::string> columnNames_;
  RowIdRuns rowIds_;
  bool hasRowIds_ = false;
  bool snapshotHeld_ = false;
  // A REPLACE conflict clause deletes rows without reporting them, so after an edit
  // of such a table only a full reload is sure to be right.
  bool mayReplaceRows_ = true;
  ChangeMark snapshotMark_;
  Mode mode_ = Mode::Closed;
  const SqliteDB* db_ = nullptr;
  std::uint64_t dbGeneration_ = 0;
  std::optional<std::vector<std::optional<FieldValue>>> pending_;
};

}  // namespace tabulor
