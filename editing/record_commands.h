// In-place editing of the main grid, and the record commands of the menu "表".
#pragma once

#include <QPoint>
#include <QString>

#include "editing/core/records.h"

namespace tabulor {

class HostWindow;
class SqliteTable;

// In-place editing of the main grid and the record commands of the "表" menu. Edits and
// record changes apply to tables only, never to views.

// After a successful write: when the cursor no longer pairs with the grid (records.h), the
// table is shown afresh, keeping the grid's current cell and the panel's record and field.
void keepGridPairedWithCursor(HostWindow& window, const CursorMark& before);

// Right button released over the grid: the "表" menu as a context menu.
void showTableMenuOnGrid(HostWindow& window, const QPoint& globalPosition);
// A cell's editor is about to open: remember the text the cell holds.
void rememberCellText(HostWindow& window, int row, int column);
// An in-place edit has ended: a changed text is written into its field and logged.
void writeBackCellEdit(HostWindow& window, int row, int column);

void insertEmptyRecord(HostWindow& window);    // "插入空记录"
void deleteCurrentRecord(HostWindow& window);  // "删除当前记录"
// "插入记录...": asks for the account, then writes the fixed test record with the local
// time into TBL_ACCOUNT of "IDDB.DB" in the program folder (created when missing).
void insertFixedTestRecord(HostWindow& window);

}  // namespace tabulor
