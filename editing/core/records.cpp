// The record commands without their window: the SQL, the work and the outcome of each.

#include "editing/core/records.h"

#include <vector>

#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/sqlite_table.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor {

std::string emptyRecordSql(const std::string& table, std::int32_t fieldCount) {
  std::string list;
  for (std::int32_t i = 0; i < fieldCount; ++i) list += "null,";
  if (!list.empty()) list.pop_back();
  return "insert into " + table + " values(" + list + ")";
}

std::string accountInsertSql(const std::string& account, const std::string& createDate) {
  const std::vector<std::string> values = {account,
                                           "480267",
                                           "Zhang San",
                                           createDate,
                                           "0",
                                           "0",
                                           "0",
                                           "0",
                                           "0",
                                           "1970/1/1",
                                           "0",
                                           "0",
                                           "zhangsan@example.com",
                                           "1",
                                           "11",
                                           "111",
                                           "1111",
                                           "0"};
  std::string sql =
      "insert into TBL_ACCOUNT(FCH_ACCOUNT,FCH_PASSWORD,FCH_USERNAME,FCH_CREATEDATE,"
      "FCH_UPDATEDATE,FCH_DELETED,FCH_PERMISSION,FCH_GAMEGOLD,FCH_SSNO,FCH_BIRTHDAY,FCH_PHONE,"
      "FCH_MOBILEPHONE,FCH_EMAIL,FCH_QUIZ1,FCH_ANSWER1,FCH_QUIZ2,FCH_ANSWER2,FCH_SERIALNUM) "
      "values('";
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) sql += "','";
    sql += doubledQuotes(values[i]);
  }
  return sql + "')";
}

Outcome insertEmptyRecord(SqliteDB& db, const SqliteTable& table) {
  const std::string name = table.tableName();
  if (!db.execute(emptyRecordSql(name, table.fieldCount())))
    return failed(
        programTextFromUtf8("插入空记录失败！表 ") + name +
            programTextFromUtf8(" 不允许插入空记录，可能因为：存在主键；某字段不允许为null。"),
        MessageFlags::ErrorIcon);
  Outcome outcome =
      succeeded(programTextFromUtf8("已成功插入空记录。"), MessageFlags::InformationIcon);
  outcome.refreshShownObject = true;
  outcome.noticeLast = true;
  return outcome;
}

Outcome deleteRecord(SqliteDB& db, SqliteTable& table, bool tableSelected, std::int32_t record,
                     const AskYes& askYes) {
  if (!tableSelected)
    return failed(programTextFromUtf8("只有表才可以被删除记录！"), MessageFlags::ErrorIcon);
  if (!table.isOpen()) return failed(programTextFromUtf8("表尚未打开。"), MessageFlags::ErrorIcon);
  if (!askYes(programTextFromUtf8("您确认要删除当前记录吗？"),
              MessageFlags::YesNoCancel | MessageFlags::QuestionIcon))
    return cancelled();
  table.goTo(record);
  if (!table.deleteRecord())
    return failed(dbErrorNotice(programTextFromUtf8("删除当前记录失败！"), db.errorText()));
  Outcome outcome =
      succeeded(programTextFromUtf8("已成功删除当前记录。"), MessageFlags::InformationIcon);
  outcome.refreshShownObject = true;
  outcome.noticeLast = true;
  return outcome;
}

CursorMark markCursor(SqliteTable& table) { return {table.currentRowId(), table.recordCount()}; }

bool cursorStillPaired(SqliteTable& table, const CursorMark& before) {
  return table.currentRowId() == before.rowId && table.recordCount() == before.records;
}

Outcome writeFieldValue(SqliteTable& table, std::int32_t record, std::int32_t field,
                        const std::function<std::optional<FieldValue>()>& value) {
  const Outcome refused = failed(programTextFromUtf8("写字段值失败！"), MessageFlags::ErrorIcon);
  if (!table.goTo(record)) return refused;
  const CursorMark before = markCursor(table);
  table.beginEdit();
  const std::optional<FieldValue> produced = value();
  if (!produced || !table.setField(field, *produced) || !table.post()) return refused;
  Outcome outcome =
      succeeded(programTextFromUtf8("已成功写入字段值！"), MessageFlags::InformationIcon);
  outcome.refreshShownObjectInPlace = !cursorStillPaired(table, before);
  outcome.noticeLast = true;
  return outcome;
}

Outcome insertAccountRecord(const std::string& databasePath, const std::string& account,
                            const std::string& createDate) {
  SqliteRawDB db;
  db.open(databasePath, true);
  const Outcome outcome =
      db.execute(accountInsertSql(account, createDate))
          ? succeeded(programTextFromUtf8("添加成功"), MessageFlags::Ok)
          : failed(Notice{programTextFromUtf8("添加失败：") + db.errorText(),
                          programTextFromUtf8("添加失败"), MessageFlags::ErrorIcon});
  db.close();
  return outcome;
}

}  // namespace tabulor
