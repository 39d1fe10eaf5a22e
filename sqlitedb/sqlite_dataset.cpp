// SqliteDataset: the result set of one query, read all at once as texts.

#include "sqlitedb/sqlite_dataset.h"

#include <sqlite3.h>

#include <algorithm>
#include <string_view>

#include "sqlitedb/codepage.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/text_scanning.h"

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

// Bytes taken by the first `characters` characters of UTF-8 text (a character being a
// lead byte and the continuation bytes after it).
std::size_t characterPrefixBytes(std::string_view utf8, std::size_t characters) {
  for (std::size_t at = 0; at < utf8.size(); ++at)
    if ((static_cast<unsigned char>(utf8[at]) & 0xC0) != 0x80 && characters-- == 0) return at;
  return utf8.size();
}

// The shown part of a cell's UTF-8 text: up to its first zero byte, as textOf reads it, and
// with a limit only its first `limit` characters, the rest being cut. Only the start of the
// value is looked at.
struct ShownText {
  std::string_view utf8;
  bool cut = false;
};

ShownText shownTextOf(sqlite3_stmt* statement, int column, std::size_t limit) {
  const auto* utf8 = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
  if (!utf8) return {};
  const auto bytes = static_cast<std::size_t>(sqlite3_column_bytes(statement, column));
  // limit characters and one more
  const std::size_t window = limit == 0 ? bytes : std::min(bytes, limit * 4 + 4);
  std::string_view text(utf8, window);
  const std::size_t zero = text.find('\0');
  const bool wholeInWindow = window == bytes || zero != std::string_view::npos;
  text = text.substr(0, zero);
  if (limit == 0) return {text, false};
  // No text has more characters than bytes.
  const std::size_t kept = text.size() <= limit ? text.size() : characterPrefixBytes(text, limit);
  return {text.substr(0, kept), kept < text.size() || !wholeInWindow};
}

const std::string kEllipsis = "\xE2\x80\xA6";  // …

// A cell as program text, cut after `limit` characters and marked with "…".
std::string limitedTextOf(sqlite3_stmt* statement, int column, std::size_t limit, bool& cut) {
  const ShownText shown = shownTextOf(statement, column, limit);
  cut = shown.cut;
  if (!cut) return fromUtf8(shown.utf8).value_or(std::string());
  return fromUtf8(std::string(shown.utf8) + kEllipsis).value_or(std::string());
}

// Adds a cell as limitedTextOf reads it. Text in a UTF-8 program code page goes in as
// the engine holds it, without a copy of its own.
void addShownCell(ResultRows& rows, sqlite3_stmt* statement, int column, std::size_t limit,
                  bool utf8CodePage) {
  const ShownText shown = shownTextOf(statement, column, limit);
  if (utf8CodePage && !shown.cut) {
    rows.addCell(isValidUtf8(shown.utf8) ? shown.utf8 : std::string_view());
    return;
  }
  bool cut = false;
  const std::string text = limitedTextOf(statement, column, limit, cut);
  rows.addCell(text, cut);
}

}  // namespace

SqliteDataset::~SqliteDataset() { close(); }

bool SqliteDataset::open(const std::string& sql, SqliteDB& db) {
  if (!db.isOpen() || sql.empty()) return false;
  const auto utf8 = toUtf8(sql);
  db.countEngineCall();
  engine::Statement compiled =
      utf8 ? engine::compile(db.connection_.get(), utf8->c_str(),
                             isPragma(*utf8) ? engine::Compile::Current : engine::Compile::Legacy)
           : nullptr;
  // Anything but a plain read (a change, a transaction or savepoint command) may
  // change rows behind the cursors.
  if (compiled &&
      (!sqlite3_stmt_readonly(compiled.get()) || sqlite3_column_count(compiled.get()) == 0))
    ++db.changeTicket_;
  close();
  db_ = &db;
  connection_ = db.connection_.get();
  statement_ = std::move(compiled);
  return statement_ != nullptr;
}

bool SqliteDataset::stepThrough(std::vector<std::string>* keep) {
  sqlite3_reset(statement_.get());
  const int columns = sqlite3_column_count(statement_.get());
  int count = 0;
  int step = sqlite3_step(statement_.get());
  const bool ran = step == SQLITE_DONE || step == SQLITE_ROW;
  for (; step == SQLITE_ROW; step = sqlite3_step(statement_.get())) {
    ++count;
    if (keep)
      for (int column = 0; column < columns; ++column)
        keep->push_back(textOf(sqlite3_column_text(statement_.get(), column)));
  }
  sqlite3_reset(statement_.get());
  rowCount_ = count;
  return ran;
}

bool SqliteDataset::requery() {
  if (!connection_ || !statement_) return false;
  db_->countEngineCall();
  changingRows_.clear();
  // A statement that changes data runs exactly once per requery; its rows are kept.
  if (!sqlite3_stmt_readonly(statement_.get())) return stepThrough(&changingRows_);
  return stepThrough(nullptr);
}

TextTable SqliteDataset::fetchAllText(bool withColumnNames, std::size_t cellLimit) {
  if (!connection_ || !statement_ || !rowCount_ || *rowCount_ == 0) return {};
  const int columns = sqlite3_column_count(statement_.get());
  TextTable table(*rowCount_ + (withColumnNames ? 1 : 0), columns);
  if (table.isEmpty()) return {};
  int row = 0;
  if (withColumnNames) {
    for (int column = 0; column < columns; ++column)
      table.cell(row, column) = textOf(
          reinterpret_cast<const unsigned char*>(sqlite3_column_name(statement_.get(), column)));
    ++row;
  }
  if (!sqlite3_stmt_readonly(statement_.get())) {
    for (std::size_t cell = 0; cell < changingRows_.size(); ++cell)
      table.cell(row + static_cast<int>(cell) / columns, static_cast<int>(cell) % columns) =
          changingRows_[cell];
    return table;
  }
  if (!requery()) return {};
  while (row < table.rowCount() && sqlite3_step(statement_.get()) == SQLITE_ROW) {
    for (int column = 0; column < columns; ++column) {
      if (cellLimit == 0) {
        table.cell(row, column) = textOf(sqlite3_column_text(statement_.get(), column));
        continue;
      }
      bool cut = false;
      table.cell(row, column) = limitedTextOf(statement_.get(), column, cellLimit, cut);
      if (cut) table.markCut(row, column);
    }
    ++row;
  }
  requery();
  return table;
}

std::optional<ResultRows> SqliteDataset::fetchAllRows(std::size_t cellLimit,
                                                      std::size_t memoryBound) {
  if (!connection_ || !statement_) return std::nullopt;
  db_->countEngineCall();
  rowCount_.reset();
  changingRows_.clear();
  sqlite3_stmt* statement = statement_.get();
  sqlite3_reset(statement);
  const int columns = sqlite3_column_count(statement);
  int step = sqlite3_step(statement);
  if (step != SQLITE_ROW) {
    sqlite3_reset(statement);
    if (step != SQLITE_DONE) return std::nullopt;
    return ResultRows();
  }
  ResultRows rows(columns, memoryBound);
  for (int column = 0; column < columns; ++column)
    rows.addCell(
        textOf(reinterpret_cast<const unsigned char*>(sqlite3_column_name(statement, column))));
  const bool utf8CodePage = programCodePageIsUtf8();
  for (; step == SQLITE_ROW; step = sqlite3_step(statement))
    for (int column = 0; column < columns; ++column)
      addShownCell(rows, statement, column, cellLimit, utf8CodePage);
  // The legacy compile reports only a generic error from the step; rewinding tells which.
  // An error after the first row ends the result there, as counting does; an interrupt
  // (the user's 取消) is not a result.
  if (sqlite3_reset(statement) == SQLITE_INTERRUPT) return std::nullopt;
  return rows;
}

bool SqliteDataset::close() {
  statement_.reset();
  connection_ = nullptr;
  db_ = nullptr;
  rowCount_.reset();
  changingRows_ = {};
  return true;
}

}  // namespace tabulor
