// The commands "新建视图" and "修改视图".

#include "schema/core/views.h"

#include "schema/core/damaged_file.h"
#include "schema/core/own_transaction.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor::schema {

Outcome newView(SqliteDB& db, const AskText& askText) {
  const auto sql =
      askText({programTextFromUtf8("请输入创建视图的SQL语句"), programTextFromUtf8("新建视图"),
               programTextFromUtf8("CREATE VIEW [视图名称] AS select语句")});
  if (!sql) return cancelled();
  if (auto refusal = damagedFileRefusal(db, "新建视图")) return std::move(*refusal);
  if (!db.execute(*sql)) return failed(programTextFromUtf8("执行失败！"), MessageFlags::ErrorIcon);
  Outcome outcome = succeeded(programTextFromUtf8("执行成功。"), MessageFlags::InformationIcon);
  outcome.reloadStructureTree = true;
  return outcome;
}

Outcome modifyView(SqliteDB& db, const TreeSelection& selection, const AskText& askText) {
  if (!selection.isView)
    return failed(programTextFromUtf8("请先选中一个视图，然后执行修改操作！"),
                  MessageFlags::ErrorIcon);
  const std::string& name = selection.text;
  const auto select =
      askText({programTextFromUtf8("请输入新的视图定义SQL语句（只需输入select部分）"),
               programTextFromUtf8("修改视图"), programTextFromUtf8("SELECT * FROM [表名]")});
  if (!select) return cancelled();
  if (!isSelfContainedName(name))
    return failed(programTextFromUtf8("修改视图失败！"), MessageFlags::ErrorIcon);
  if (auto refusal = damagedFileRefusal(db, "修改视图")) return std::move(*refusal);
  OwnTransaction work(db, "tabulor_modify_view", OwnTransaction::Form::Savepoint);
  if (!work.begin() || !db.execute("DROP VIEW " + name))
    return failed(programTextFromUtf8("修改视图失败！"), MessageFlags::ErrorIcon);
  if (db.execute("CREATE VIEW " + name + " AS " + *select) && work.commit()) {
    Outcome outcome =
        succeeded(programTextFromUtf8("视图修改成功。"), MessageFlags::InformationIcon);
    outcome.refreshShownObject = true;
    return outcome;
  }
  // The engine's word on the refused definition, read before the rollback clears it.
  return failed(dbErrorNotice(programTextFromUtf8("修改视图失败！"), db.errorText()));
}

}  // namespace tabulor::schema
