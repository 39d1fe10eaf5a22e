#include "schema/table_design.h"

#include "schema/field_types.h"
#include "schema/own_transaction.h"
#include "sqlitedb/program_text.h"
#include "sqlitedb/sqlite_dataset.h"

namespace tabulor::schema {
namespace {

Outcome fieldFault(std::string text, int row, int column) {
  Outcome outcome = noticeOnly(std::move(text), MessageFlags::Ok);
  outcome.currentCell = GridCell{row, column};
  return outcome;
}

// The pragmas are read through their table-valued forms: a PRAGMA statement
// compiled the legacy way fails when stepped a second time, and a result set
// steps its statement more than once.
bool foreignKeysEnforced(SqliteDB& db) {
  SqliteDataset dataset;
  if (!dataset.open("SELECT foreign_keys FROM pragma_foreign_keys", db) || !dataset.requery())
    return false;
  const TextTable result = dataset.fetchAllText();
  return !result.isEmpty() && result.cell(0, 0) == "1";
}

bool foreignKeysIntact(SqliteDB& db) {
  SqliteDataset dataset;
  return dataset.open("SELECT * FROM pragma_foreign_key_check", db) && dataset.requery() &&
         dataset.rowCount() == 0;
}

// The rebuild's steps all run even after one fails (the rollback undoes them
// together), but none once the engine has ended the transaction itself, as it
// does on a full disk: outside a transaction each would commit on its own and
// DROP TABLE would lose the table.
class RebuildSteps {
 public:
  explicit RebuildSteps(SqliteDB& db) : db_(db) {}

  template <typename Step>
  void run(Step step) {
    ok_ = db_.inTransaction() && step() && ok_;
  }
  bool ok() const { return ok_; }

 private:
  SqliteDB& db_;
  bool ok_ = true;
};

bool rebuildWithData(SqliteDB& db, const std::string& table, const ColumnCopyLists& lists,
                     const std::vector<SqliteFieldInfo>& fields, std::uint64_t tickCount) {
  const std::string temp = temporaryTableName(table, tickCount);
  RebuildSteps steps(db);
  steps.run([&] { return db.createTable(temp, fields); });
  steps.run([&] {
    return db.execute("insert into " + temp + " (" + lists.newList + ") select " + lists.oldList +
                      " from " + table + " order by _ROWID_");
  });
  steps.run([&] { return db.dropTable(table); });
  steps.run([&] { return db.createTable(table, fields); });
  steps.run([&] {
    return db.execute("insert into " + table + " select * from " + temp + " order by _ROWID_");
  });
  steps.run([&] { return db.dropTable(temp); });
  return steps.ok();
}

bool rebuildEmpty(SqliteDB& db, const std::string& table,
                  const std::vector<SqliteFieldInfo>& fields) {
  RebuildSteps steps(db);
  steps.run([&] { return db.dropTable(table); });
  steps.run([&] { return db.createTable(table, fields); });
  return steps.ok();
}

Outcome alterFailure(std::string errorText) {
  return noticeOnly(dbErrorNotice(programText("修改表失败！"), std::move(errorText)));
}

}  // namespace

DesignCheck validateDesign(const std::vector<DesignerField>& entries) {
  DesignCheck check;
  int row = 0;
  for (const DesignerField& entry : entries) {
    if (entry.deleted) continue;
    ++row;
    const std::string name(trimBlanks(entry.name));
    if (name.empty()) {
      check.failure = fieldFault(programText("字段名称不能为空！"), row, DesignerGrid::kName);
      return check;
    }
    const auto code = designerTypeCode(trimBlanks(entry.typeText));
    if (!code) {
      check.failure = fieldFault(
          programText("字段 ") + name + programText(" 的类型设置错误！请从下拉列表中选取。"), row,
          DesignerGrid::kType);
      return check;
    }
    const std::int32_t size = readWholeNumber(std::string(trimBlanks(entry.maxLengthText)));
    if (size < 0) {
      check.failure =
          fieldFault(programText("字段 ") + name + programText(" 的最大文本长度不能为负数！"), row,
                     DesignerGrid::kMaxLength);
      return check;
    }
    check.fields.push_back({name, *code, size});
  }
  if (check.fields.empty()) {
    check.failure = noticeOnly(programText("尚未添加任何字段！"), MessageFlags::WarningIcon);
    return check;
  }
  check.ok = true;
  return check;
}

ColumnCopyLists columnCopyLists(const DesignerState& state) {
  ColumnCopyLists lists;
  std::size_t existing = 0;
  for (const DesignerField& entry : state.entries) {
    if (entry.isNew) continue;
    ++existing;
    if (entry.deleted || existing > state.existingColumns.size()) continue;
    lists.oldList += state.existingColumns[existing - 1] + ",";
    lists.newList += entry.name + ",";
  }
  if (!lists.oldList.empty()) lists.oldList.pop_back();
  if (!lists.newList.empty()) lists.newList.pop_back();
  return lists;
}

std::string temporaryTableName(const std::string& table, std::uint64_t tickCount) {
  return "__temp_" + table + "_" + std::to_string(tickCount) + "_temp";
}

Outcome createDesignedTable(SqliteDB& db, const std::vector<SqliteFieldInfo>& fields,
                            const AskText& askText) {
  const auto name = askText({programText("请输入要创建的表名称："), "", ""});
  if (!name) return {};
  if (trimBlanks(*name).empty())
    return noticeOnly(programText("表名称不能为空！"), MessageFlags::Ok);
  // From here the name is used exactly as typed, blanks included.
  if (db.tableExists(*name))
    return noticeOnly(programText("表“") + *name + programText("”已经存在于数据库中！"),
                      MessageFlags::Ok);
  if (!db.createTable(*name, fields))
    return noticeOnly(programText("创建表失败，错误信息如下：\r\n\r\n") + db.errorText(),
                      MessageFlags::Ok);
  Outcome outcome =
      noticeOnly(programText("已成功创建表“") + *name + programText("”！"), MessageFlags::Ok);
  outcome.reloadStructureTree = true;
  outcome.closeDesigner = true;
  return outcome;
}

Outcome alterDesignedTable(SqliteDB& db, const DesignerState& state,
                           const std::vector<SqliteFieldInfo>& fields, std::uint64_t tickCount) {
  const std::string& table = state.targetTable;
  const ColumnCopyLists lists = columnCopyLists(state);
  OwnTransaction work(db, "tabulor_alter_table");
  const bool foreignKeys = foreignKeysEnforced(db);
  // Inside the user's transaction foreign keys cannot be switched off, and the
  // rebuild's DROP TABLE would delete child rows: refuse instead.
  if (foreignKeys && work.insideUserTransaction()) return alterFailure({});
  if (foreignKeys) db.execute("PRAGMA foreign_keys=OFF");
  // BEGIN's result is not needed (nothing else is open), but a savepoint that
  // cannot be opened must stop the work: nothing could undo it afterwards.
  bool ok = work.begin() || !work.insideUserTransaction();
  if (ok) {
    ok = lists.oldList.empty() || lists.newList.empty()
             ? rebuildEmpty(db, table, fields)
             : rebuildWithData(db, table, lists, fields, tickCount);
  }
  if (ok && foreignKeys) ok = foreignKeysIntact(db);
  ok = ok && work.commit();
  if (!ok) work.rollback();
  const std::string errorText = ok ? std::string() : db.errorText();
  if (foreignKeys) db.execute("PRAGMA foreign_keys=ON");
  if (!ok) return alterFailure(errorText);
  Outcome outcome =
      noticeOnly(programText("修改表 ") + table + programText(" 成功！"), MessageFlags::Ok);
  outcome.reloadStructureTree = true;
  outcome.refreshShownObject = true;
  outcome.closeDesigner = true;
  return outcome;
}

Outcome confirmDesign(SqliteDB& db, const DesignerState& state, const AskText& askText,
                      std::uint64_t tickCount) {
  const DesignCheck check = validateDesign(state.entries);
  if (!check.ok) return check.failure;
  return state.mode == DesignerMode::Create
             ? createDesignedTable(db, check.fields, askText)
             : alterDesignedTable(db, state, check.fields, tickCount);
}

}  // namespace tabulor::schema
