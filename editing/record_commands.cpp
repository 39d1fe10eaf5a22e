// In-place editing of the main grid, and the record commands of the menu "表".

#include "editing/record_commands.h"

#include "app/host_window.h"
#include "editing/core/records.h"
#include "platform/egrid.h"
#include "platform/environment.h"
#include "platform/prompts.h"
#include "platform/qstring_conversion.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor {

void showTableMenuOnGrid(HostWindow& window, const QPoint& globalPosition) {
  if (window.isTableSelected()) window.popUpTableMenu(globalPosition);
}

void keepGridPairedWithCursor(HostWindow& window, const CursorMark& before) {
  if (!cursorStillPaired(window.state().table, before)) window.refreshShownObjectInPlace();
}

void rememberCellText(HostWindow& window, int row, int column) {
  if (row == -1 || column == -1) return;
  window.state().editStartText = toProgramText(window.grid().cellText(row, column));
}

void writeBackCellEdit(HostWindow& window, int row, int column) {
  SqliteTable& table = window.state().table;
  if (!window.isTableSelected() || !table.isOpen() || row == -1 || column == -1) return;
  const QString typed = window.grid().cellText(row, column);
  bool convertible = false;
  const std::string text = toProgramText(typed, &convertible);
  if (convertible && text == window.state().editStartText) return;
  const auto work = window.beginWork(QStringLiteral("修改字段值"));
  table.goTo(row);
  const CursorMark before = markCursor(table);
  table.beginEdit();
  // A text the code page cannot hold is never set, so the post fails and says so.
  if (convertible) table.setField(column, text);
  if (!table.post()) {
    window.showDbError(QStringLiteral("修改字段值失败！"));
    // The file keeps the old value; so must the grid, once the editor has closed.
    if (window.workCancelled())
      window.whenEngineFree([&window] { window.refreshShownObjectInPlace(); });
    return;
  }
  window.appendLog(QStringLiteral("已修改 ") + window.grid().cellText(0, column) +
                   QStringLiteral(" 字段值：") + typed);
  // The grid may be shown afresh only once the editor that ended the edit has closed.
  window.whenEngineFree([&window, before] { keepGridPairedWithCursor(window, before); });
}

void insertEmptyRecord(HostWindow& window) {
  AppState& state = window.state();
  if (!window.isTableSelected() || !state.table.isOpen()) return;
  window.applyOutcome(insertEmptyRecord(state.db, state.table));
}

void deleteCurrentRecord(HostWindow& window) {
  AppState& state = window.state();
  window.applyOutcome(deleteRecord(state.db, state.table, window.isTableSelected(),
                                   window.selectedRecordNumber(), askYesWithPrompts()));
}

void insertFixedTestRecord(HostWindow& window) {
  const auto account =
      prompts().inputBox(QStringLiteral("FCH_ACCOUNT 字段不能接受空数据，不能有重复，比如游戏账号"),
                         QStringLiteral("FCH_ACCOUNT 数值"), QString());
  if (!account) return;
  const QDateTime now = environment().localDateTime();
  const std::string createDate =
      dateTimeText(now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
                   now.time().minute(), now.time().second());
  window.applyOutcome(
      insertAccountRecord(toProgramText(environment().programFolder() + QStringLiteral("/IDDB.DB")),
                          toProgramText(*account), createDate));
}

}  // namespace tabulor
