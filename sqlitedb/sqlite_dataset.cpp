#include "sqlitedb/sqlite_dataset.h"

#include <sqlite3.h>

#include "sqlitedb/codepage.h"
#include "sqlitedb/program_text.h"
#include "sqlitedb/sqlite_db.h"

namespace tabulor {
namespace {

// This engine expires a pragma statement each time it runs, and a statement of the
// legacy compile cannot recompile itself: a pragma could be read only once. Pragmas
// are therefore compiled with the current interface.
bool isPragma(std::string_view utf8) {
  const auto start = utf8.find_first_not_of(" \t\r\n");
  return start != std::string_view::npos &&
         startsWithIgnoringAsciiCase(utf8.substr(start), "pragma");
}

std::string textOf(const unsigned char* utf8) {
  if (!utf8) return {};
  return fromUtf8(reinterpret_cast<const char*>(utf8)).value_or(std::string());
}

}  // namespace

SqliteDataset::~SqliteDataset() { close(); }

bool SqliteDataset::open(const std::string& sql, SqliteDB& db) {
  if (!db.isOpen() || sql.empty()) return false;
  sqlite3_stmt* compiled = nullptr;
  const auto utf8 = toUtf8(sql);
  // The legacy compile keeps the program's semantics: a statement outdated by a
  // schema change fails instead of being recompiled behind the caller's back.
  const auto compile = utf8 && isPragma(*utf8) ? sqlite3_prepare_v2 : sqlite3_prepare;
  db.countEngineCall();
  const bool ok = utf8 && compile(db.handle_, utf8->c_str(), -1, &compiled, nullptr) == SQLITE_OK &&
                  compiled != nullptr;
  // Anything but a plain read (a change, a transaction or savepoint command) may
  // change rows behind the cursors.
  if (compiled && (!sqlite3_stmt_readonly(compiled) || sqlite3_column_count(compiled) == 0))
    ++db.changeTicket_;
  close();
  db_ = &db;
  connection_ = db.handle_;
  statement_ = compiled;
  return ok;
}

bool SqliteDataset::stepThrough(std::vector<std::string>* keep) {
  sqlite3_reset(statement_);
  const int columns = sqlite3_column_count(statement_);
  int count = 0;
  int step = sqlite3_step(statement_);
  const bool ran = step == SQLITE_DONE || step == SQLITE_ROW;
  for (; step == SQLITE_ROW; step = sqlite3_step(statement_)) {
    ++count;
    if (keep)
      for (int column = 0; column < columns; ++column)
        keep->push_back(textOf(sqlite3_column_text(statement_, column)));
  }
  sqlite3_reset(statement_);
  rowCount_ = count;
  return ran;
}

bool SqliteDataset::requery() {
  if (!connection_ || !statement_) return false;
  db_->countEngineCall();
  changingRows_.clear();
  // A statement that changes data runs exactly once per requery; its rows are kept.
  if (!sqlite3_stmt_readonly(statement_)) return stepThrough(&changingRows_);
  return stepThrough(nullptr);
}

TextTable SqliteDataset::fetchAllText(bool withColumnNames) {
  if (!connection_ || !statement_ || !rowCount_ || *rowCount_ == 0) return {};
  const int columns = sqlite3_column_count(statement_);
  TextTable table(*rowCount_ + (withColumnNames ? 1 : 0), columns);
  if (table.isEmpty()) return {};
  int row = 0;
  if (withColumnNames) {
    for (int column = 0; column < columns; ++column)
      table.cell(row, column) =
          textOf(reinterpret_cast<const unsigned char*>(sqlite3_column_name(statement_, column)));
    ++row;
  }
  if (!sqlite3_stmt_readonly(statement_)) {
    for (std::size_t cell = 0; cell < changingRows_.size(); ++cell)
      table.cell(row + static_cast<int>(cell) / columns, static_cast<int>(cell) % columns) =
          changingRows_[cell];
    return table;
  }
  if (!requery()) return {};
  while (row < table.rowCount() && sqlite3_step(statement_) == SQLITE_ROW) {
    for (int column = 0; column < columns; ++column)
      table.cell(row, column) = textOf(sqlite3_column_text(statement_, column));
    ++row;
  }
  requery();
  return table;
}

bool SqliteDataset::close() {
  if (statement_) sqlite3_finalize(statement_);
  statement_ = nullptr;
  connection_ = nullptr;
  db_ = nullptr;
  rowCount_.reset();
  changingRows_ = {};
  return true;
}

}  // namespace tabulor
