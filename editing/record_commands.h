// In-place editing of the main grid, and the record commands of the menu "表".
#pragma once

#include <cstdint>
#include <optional>

#include <QPoint>
#include <QString>

namespace tabulor {

class MainWindow;
class SqliteTable;

// In-place editing of the main grid and the record commands of the "表" menu. Edits and
// record changes apply to tables only, never to views.

// The shown table's cursor before a write: the row id of its current record and the count.
struct CursorMark {
  std::optional<std::int64_t> rowId;
  std::int32_t records = 0;
};
CursorMark markCursor(SqliteTable& table);
// After a successful write: when it changed the current record's row id (or the number of
// records), grid rows and cursor records no longer denote the same rows, so the table is
// shown afresh, keeping the grid's current cell and the panel's record and field.
void keepGridPairedWithCursor(MainWindow& window, const CursorMark& before);

// Right button released over the grid: the "表" menu as a context menu.
void showTableMenuOnGrid(MainWindow& window, const QPoint& globalPosition);
// A cell's editor is about to open: remember the text the cell holds.
void rememberCellText(MainWindow& window, int row, int column);
// An in-place edit has ended: a changed text is written into its field and logged.
void writeBackCellEdit(MainWindow& window, int row, int column);

void insertEmptyRecord(MainWindow& window);    // "插入空记录"
void deleteCurrentRecord(MainWindow& window);  // "删除当前记录"
// "插入记录...": asks for the account, then insertAccountRecord with the local time.
void insertFixedTestRecord(MainWindow& window);
// Writes the fixed test record into TBL_ACCOUNT of "IDDB.DB" in the program folder
// (created when missing) and reports the outcome. Texts are program text.
void insertAccountRecord(const std::string& account, const std::string& createDate);

}  // namespace tabulor
