#pragma once

#include <optional>
#include <string>

#include "sqlitedb/text_table.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tabulor {

class SqliteDB;

// The result of one query, read all at once as texts.
class SqliteDataset {
 public:
  SqliteDataset() = default;
  ~SqliteDataset();
  SqliteDataset(const SqliteDataset&) = delete;
  SqliteDataset& operator=(const SqliteDataset&) = delete;

  bool open(const std::string& sql, SqliteDB& db);
  bool requery();
  TextTable fetchAllText(bool withColumnNames = false);
  bool close();

  bool hasStatement() const { return statement_ != nullptr; }
  // Rows counted by the last requery; nullopt before the first one.
  std::optional<int> rowCount() const { return rowCount_; }

 private:
  sqlite3* connection_ = nullptr;
  sqlite3_stmt* statement_ = nullptr;
  std::optional<int> rowCount_;
};

}  // namespace tabulor
