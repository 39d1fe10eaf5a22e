// SqliteDataset: the result set of one query, read all at once as texts.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "sqlitedb/engine.h"
#include "sqlitedb/result_rows.h"
#include "sqlitedb/text_table.h"

namespace tabulor {

class SqliteDB;

// The data view shows at most this many characters of a cell.
inline constexpr std::size_t kShownCellCharacters = 3000;

// The result of one query, read all at once as texts.
class SqliteDataset {
 public:
  SqliteDataset() = default;
  ~SqliteDataset();
  SqliteDataset(const SqliteDataset&) = delete;
  SqliteDataset& operator=(const SqliteDataset&) = delete;

  bool open(const std::string& sql, SqliteDB& db);
  bool requery();
  // With a cell limit, a value longer than that many characters keeps only its first
  // characters followed by "…", and the table marks the cell as cut: the engine still
  // reads each value, but only one row's values are held at a time, not every value
  // in full.
  TextTable fetchAllText(bool withColumnNames = false, std::size_t cellLimit = 0);
  // Runs the statement once, from its first row to its end, and keeps its rows headed by
  // the column names, cut as fetchAllText cuts them: the whole result in one pass, so a
  // statement that changes data runs once. The statement ends rewound, holding no lock on
  // the file. nullopt when it did not run, or when it was interrupted before its end; no
  // rows gives the empty result. Afterwards the result set stands as opened, uncounted.
  std::optional<ResultRows> fetchAllRows(std::size_t cellLimit,
                                         std::size_t memoryBound = ResultRows::kDefaultMemoryBound);
  bool close();

  bool hasStatement() const { return statement_ != nullptr; }
  // Rows counted by the last requery; nullopt before the first one.
  std::optional<int> rowCount() const { return rowCount_; }

 private:
  // Steps through the statement once: counts its rows and, when keep is given, appends
  // every cell's text to it. True when the statement ran.
  bool stepThrough(std::vector<std::string>* keep);

  const SqliteDB* db_ = nullptr;
  sqlite3* connection_ = nullptr;
  engine::Statement statement_;
  std::optional<int> rowCount_;
  // The cells of a statement that changes data, row by row, read in the one pass that ran
  // it: such a statement must never run again just to be read.
  std::vector<std::string> changingRows_;
};

}  // namespace tabulor
