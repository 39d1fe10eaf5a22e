// Many rows into one table through one compiled INSERT, and a query's rows read as stored.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "sqlitedb/engine.h"

namespace tabulor {

class SqliteDB;

// A name for SQL in double quotes, inner quotes doubled: any name a file's header holds.
std::string quotedName(std::string_view name);

// Inserts rows into one table through one compiled statement, reused for every row. The
// values are UTF-8 (a file's text goes to the engine as it was decoded, with no trip through
// program text); the names are program text.
class BulkInsert {
 public:
  // INSERT INTO "table" ("c1", ...) VALUES (?, ...). False when the engine refuses it
  // (SqliteDB::errorText says why) or a name cannot be converted.
  bool prepare(SqliteDB& db, const std::string& table, const std::vector<std::string>& columns);
  int columnCount() const { return columns_; }
  // Binds a value of the next row, columns from 0. The bytes must live until insertRow.
  void bindText(int column, std::string_view utf8);
  void bindNull(int column);
  // Inserts the bound row and clears the values; false when the engine refuses the row.
  bool insertRow();

 private:
  SqliteDB* db_ = nullptr;
  engine::Statement statement_;
  int columns_ = 0;
};

// How the engine stores a value.
enum class StoredKind { Null, Integer, Real, Text, Blob };

// Steps through the rows of one read-only query, handing each value as the engine holds it.
class RowReader {
 public:
  enum class Step { Row, End, Failed };

  // Compiles the first statement of sql (program text). False when it does not compile, or
  // when it could change the database: reading its rows must never write.
  bool open(SqliteDB& db, const std::string& sql);
  int columnCount() const { return columns_; }
  // A column's name as the engine gives it (UTF-8).
  std::string_view columnName(int column) const;
  // The next row; Failed when the engine stops (interrupted, or a fault in the file).
  Step next();
  StoredKind kind(int column) const;
  std::int64_t integer(int column) const;
  double real(int column) const;
  // The bytes of a text (UTF-8) or a blob value.
  std::string_view bytes(int column) const;

 private:
  SqliteDB* db_ = nullptr;
  engine::Statement statement_;
  int columns_ = 0;
};

// While it lives, the connection's progress handler is replaced; the previous one comes back
// at its end.
class ProgressHandlerScope {
 public:
  ProgressHandlerScope(SqliteDB& db, std::function<bool()> handler);
  ~ProgressHandlerScope();
  ProgressHandlerScope(const ProgressHandlerScope&) = delete;
  ProgressHandlerScope& operator=(const ProgressHandlerScope&) = delete;

 private:
  SqliteDB& db_;
  std::function<bool()> previous_;
};

}  // namespace tabulor
