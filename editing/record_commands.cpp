// In-place editing of the main grid, and the record commands of the menu "表".

#include "editing/record_commands.h"

#include <QMenu>
#include <QTimer>

#include "app/main_window.h"
#include "editing/record_sql.h"
#include "platform/egrid.h"
#include "platform/environment.h"
#include "platform/prompts.h"
#include "platform/qstring_conversion.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor {

void showTableMenuOnGrid(MainWindow& window, const QPoint& globalPosition) {
  if (window.isTableSelected())
    prompts().popupMenu(*window.menu(QStringLiteral("表")), globalPosition);
}

CursorMark markCursor(SqliteTable& table) { return {table.currentRowId(), table.recordCount()}; }

void keepGridPairedWithCursor(MainWindow& window, const CursorMark& before) {
  SqliteTable& table = window.state().table;
  if (table.currentRowId() == before.rowId && table.recordCount() == before.records) return;
  window.refreshShownObjectInPlace();
}

void rememberCellText(MainWindow& window, int row, int column) {
  if (row == -1 || column == -1) return;
  window.state().editStartText = toProgramText(window.grid().cellText(row, column));
}

void writeBackCellEdit(MainWindow& window, int row, int column) {
  SqliteTable& table = window.state().table;
  if (!window.isTableSelected() || !table.isOpen() || row == -1 || column == -1) return;
  const QString typed = window.grid().cellText(row, column);
  bool convertible = false;
  const std::string text = toProgramText(typed, &convertible);
  if (convertible && text == window.state().editStartText) return;
  window.beginWork(QStringLiteral("修改字段值"));
  table.goTo(row);
  const CursorMark before = markCursor(table);
  table.beginEdit();
  // A text the code page cannot hold is never set, so the post fails and says so.
  if (convertible) table.setField(column, text);
  if (!table.post()) {
    window.showDbError(QStringLiteral("修改字段值失败！"));
    // The file keeps the old value; so must the grid, once the editor has closed.
    if (window.workCancelled())
      QTimer::singleShot(0, &window, [&window] { window.refreshShownObjectInPlace(); });
    return;
  }
  window.appendLog(QStringLiteral("已修改 ") + window.grid().cellText(0, column) +
                   QStringLiteral(" 字段值：") + typed);
  // The grid may be shown afresh only once the editor that ended the edit has closed.
  QTimer::singleShot(0, &window, [&window, before] { keepGridPairedWithCursor(window, before); });
}

void insertEmptyRecord(MainWindow& window) {
  SqliteTable& table = window.state().table;
  if (!window.isTableSelected() || !table.isOpen()) return;
  const std::string name = table.tableName();
  if (!window.state().db.execute(emptyRecordSql(name, table.fieldCount()))) {
    prompts().messageBox(
        QStringLiteral("插入空记录失败！表 ") + fromProgramText(name) +
            QStringLiteral(" 不允许插入空记录，可能因为：存在主键；某字段不允许为null。"),
        MessageFlags::ErrorIcon);
    return;
  }
  window.refreshShownObject();
  prompts().messageBox(QStringLiteral("已成功插入空记录。"), MessageFlags::InformationIcon);
}

void deleteCurrentRecord(MainWindow& window) {
  SqliteTable& table = window.state().table;
  if (!window.isTableSelected()) {
    prompts().messageBox(QStringLiteral("只有表才可以被删除记录！"), MessageFlags::ErrorIcon);
    return;
  }
  if (!table.isOpen()) {
    prompts().messageBox(QStringLiteral("表尚未打开。"), MessageFlags::ErrorIcon);
    return;
  }
  if (prompts().messageBox(QStringLiteral("您确认要删除当前记录吗？"),
                           MessageFlags::YesNoCancel | MessageFlags::QuestionIcon) != Answer::Yes)
    return;
  table.goTo(window.selectedRecordNumber());
  if (!table.deleteRecord()) {
    window.showDbError(QStringLiteral("删除当前记录失败！"));
    return;
  }
  window.refreshShownObject();
  prompts().messageBox(QStringLiteral("已成功删除当前记录。"), MessageFlags::InformationIcon);
}

void insertFixedTestRecord(MainWindow&) {
  const auto account =
      prompts().inputBox(QStringLiteral("FCH_ACCOUNT 字段不能接受空数据，不能有重复，比如游戏账号"),
                         QStringLiteral("FCH_ACCOUNT 数值"), QString());
  if (!account) return;
  const QDateTime now = environment().localDateTime();
  insertAccountRecord(toProgramText(*account),
                      dateTimeText(now.date().year(), now.date().month(), now.date().day(),
                                   now.time().hour(), now.time().minute(), now.time().second()));
}

void insertAccountRecord(const std::string& account, const std::string& createDate) {
  SqliteRawDB db;
  db.open(toProgramText(environment().programFolder() + QStringLiteral("/IDDB.DB")), true);
  if (db.execute(accountInsertSql(account, createDate)))
    prompts().messageBox(QStringLiteral("添加成功"), MessageFlags::Ok);
  else
    prompts().messageBox(QStringLiteral("添加失败：") + fromProgramText(db.errorText()),
                         QStringLiteral("添加失败"), MessageFlags::ErrorIcon);
  db.close();
}

}  // namespace tabulor
