#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sqlitedb/field_value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tabulor {

class SqliteDB;

// Record access to one table or view: records 1..N in ascending row-id order, as
// snapshotted at open and after each write or delete.
class SqliteTable {
 public:
  SqliteTable() = default;
  ~SqliteTable() = default;
  SqliteTable(const SqliteTable&) = delete;
  SqliteTable& operator=(const SqliteTable&) = delete;

  bool open(const std::string& tableName, SqliteDB& db);
  bool close();
  bool isOpen() const { return mode_ != Mode::Closed; }

  std::string tableName() const { return tableName_; }
  std::int32_t recordCount() const { return recordCount_; }
  std::int32_t fieldCount() const { return static_cast<std::int32_t>(columnNames_.size()); }
  std::vector<std::string> fieldNames() const { return columnNames_; }

  bool goTo(std::int32_t record);
  std::int32_t currentRecord() const { return currentRecord_; }
  bool beginEdit();
  bool setField(const FieldRef& field, const FieldValue& value);
  bool post();
  bool deleteRecord();
  bool readField(const FieldRef& field, FieldValue& destination);

 private:
  enum class Mode { Closed, Browse, Edit };

  bool load();
  sqlite3* connection() const;
  std::optional<int> columnIndex(const FieldRef& field) const;
  std::optional<std::int64_t> currentRowId() const;
  bool bindPending(sqlite3_stmt* statement) const;

  std::int32_t currentRecord_ = 0;
  std::int32_t recordCount_ = 0;
  std::string tableName_;
  std::vector<std::string> columnNames_;
  // Empty for a view or WITHOUT ROWID table, whose records have no row ids.
  std::vector<std::int64_t> rowIds_;
  Mode mode_ = Mode::Closed;
  const SqliteDB* db_ = nullptr;
  std::uint64_t dbGeneration_ = 0;
  std::optional<std::vector<std::optional<FieldValue>>> pending_;
};

}  // namespace tabulor
