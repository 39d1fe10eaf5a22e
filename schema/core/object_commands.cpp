// Renaming and dropping tables and views, and emptying a table, without widgets.

#include "schema/core/object_commands.h"

#include <algorithm>

#include "schema/core/damaged_file.h"
#include "schema/core/own_transaction.h"
#include "schema/core/virtual_tables.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor::schema {
namespace {

std::string kindWord(ObjectKind kind) {
  return programTextFromUtf8(kind == ObjectKind::Table ? "表" : "视图");
}

Outcome dbErrorOutcome(std::string text, const SqliteDB& db) {
  return failed(dbErrorNotice(std::move(text), db.errorText()));
}

}  // namespace

std::string unsafeNameReason() {
  return programTextFromUtf8("名称中含有分号、注释或未闭合的引号，不能用在语句中。");
}

std::optional<std::string> renameViewSql(const std::string& sql, const std::string& oldName,
                                         const std::string& newName) {
  const int view = findText(sql, " VIEW ", 1, true);
  if (view <= 1) return std::nullopt;
  const int afterView = view + 6;
  const int name = findText(sql, oldName, afterView, true);
  if (name <= 1) return std::nullopt;
  const int as = findText(sql, " AS ", name + static_cast<int>(oldName.size()), true);
  if (as <= 1) return std::nullopt;
  return sql.substr(0, static_cast<std::size_t>(afterView - 1)) + newName +
         sql.substr(static_cast<std::size_t>(as - 1));
}

std::optional<Failure> renameView(SqliteDB& db, const std::string& oldName,
                                  const std::string& newName) {
  const std::string sql = db.tableSql(oldName);
  if (sql.empty()) return Failure{};
  const auto newSql = renameViewSql(sql, oldName, newName);
  if (!newSql) return Failure{};
  OwnTransaction work(db, "tabulor_rename_view");
  if (work.begin() && db.execute("DROP VIEW " + oldName) && db.execute(*newSql) && work.commit())
    return std::nullopt;
  return Failure{db.errorText()};
}

Outcome renameObject(SqliteDB& db, ObjectKind kind, const TreeSelection& selection,
                     const AskText& askText) {
  const std::string word = kindWord(kind);
  if (!selection.isTable && !selection.isView)
    return failed(programTextFromUtf8("请先选择要改名的") + word + programTextFromUtf8("！"),
                  MessageFlags::ErrorIcon);
  const std::string& oldName = selection.text;
  const std::string failure =
      programTextFromUtf8("修改") + word + programTextFromUtf8("名称时发生错误！");
  if (!isSelfContainedName(oldName)) return failed(dbErrorNotice(failure, unsafeNameReason()));
  const auto newName = askText(
      {programTextFromUtf8("请输入新的") + word + programTextFromUtf8("名称："), "", oldName});
  if (!newName) return cancelled();
  if (newName->empty())
    return failed(word + programTextFromUtf8("名称不能为空！"), MessageFlags::ErrorIcon);
  if (*newName == oldName)
    return succeeded(programTextFromUtf8("您输入的") + word +
                         programTextFromUtf8("名称与原名称相同！无需修改。"),
                     MessageFlags::InformationIcon);
  if (auto refusal =
          damagedFileRefusal(db, kind == ObjectKind::Table ? "修改表名称" : "修改视图名称"))
    return std::move(*refusal);
  if (kind == ObjectKind::Table) {
    if (!db.execute("ALTER TABLE " + oldName + " RENAME TO " + *newName))
      return dbErrorOutcome(failure, db);
  } else if (const auto refused = renameView(db, oldName, *newName)) {
    return failed(dbErrorNotice(failure, refused->reason));
  }
  Outcome outcome =
      succeeded(programTextFromUtf8("已成功修改") + word + programTextFromUtf8("名称！"),
                MessageFlags::InformationIcon);
  outcome.reloadStructureTree = true;
  outcome.refreshShownObject = true;
  return outcome;
}

namespace {

Outcome dropObjectSteps(SqliteDB& db, ObjectKind kind, const TreeSelection& selection,
                        const AskYes& askYes) {
  const std::string word = kindWord(kind);
  if (!selection.isTable && !selection.isView)
    return failed(
        programTextFromUtf8("请先选中一个") + word + programTextFromUtf8("，然后执行删除操作！"),
        MessageFlags::ErrorIcon);
  const std::string& name = selection.text;
  if (auto refusal = shadowTableRefusal(db, name, "删除"))
    return failed(std::move(refusal->reason), MessageFlags::ErrorIcon);
  if (!askYes(
          programTextFromUtf8("您确认要删除") + word + " " + name + programTextFromUtf8(" 吗？"),
          (MessageFlags::YesNoCancel | MessageFlags::QuestionIcon)))
    return cancelled();
  const Outcome refused = failed(programTextFromUtf8("删除失败！"), MessageFlags::ErrorIcon);
  if (!isSelfContainedName(name)) return refused;
  if (auto refusal = damagedFileRefusal(db, kind == ObjectKind::Table ? "删除表" : "删除视图"))
    return std::move(*refusal);
  const std::string statement =
      std::string("drop") + (kind == ObjectKind::Table ? " table " : " view ") + name;
  if (!db.execute(statement)) return refused;
  Outcome outcome = succeeded(programTextFromUtf8("已删除。"), MessageFlags::InformationIcon);
  outcome.reloadStructureTree = true;
  return outcome;
}

}  // namespace

Outcome dropObject(SqliteDB& db, ObjectKind kind, const TreeSelection& selection,
                   const AskYes& askYes) {
  Outcome outcome = dropObjectSteps(db, kind, selection, askYes);
  // The data view is emptied whatever happens, a refusal and a No included.
  outcome.clearDataView = true;
  return outcome;
}

Outcome clearTable(SqliteDB& db, const std::string& shownName, const AskYes& askYes) {
  const auto tables = db.listTables(true, false, false);
  if (std::find(tables.begin(), tables.end(), shownName) == tables.end())
    return failed(programTextFromUtf8("【") + shownName +
                      programTextFromUtf8("】为视图名称，不能执行该命令！"),
                  MessageFlags::WarningIcon);
  if (auto refusal = shadowTableRefusal(db, shownName, "清空"))
    return failed(std::move(refusal->reason), MessageFlags::ErrorIcon);
  if (!askYes(programTextFromUtf8("清空后无法恢复，请确认？"),
              (MessageFlags::YesNo | MessageFlags::ErrorIcon)))
    return cancelled();
  if (!isSelfContainedName(shownName))
    return failed(dbErrorNotice(programTextFromUtf8("SQL语句执行失败！"), unsafeNameReason()));
  if (auto refusal = damagedFileRefusal(db, "清空表")) return std::move(*refusal);
  const bool ok = db.execute("DELETE FROM " + shownName);
  Outcome outcome =
      ok ? succeeded(programTextFromUtf8("【") + shownName + programTextFromUtf8("】  成功清空！"),
                     MessageFlags::InformationIcon)
         : dbErrorOutcome(programTextFromUtf8("SQL语句执行失败！"), db);
  outcome.reloadStructureTree = true;
  outcome.noticeLast = true;
  return outcome;
}

}  // namespace tabulor::schema
