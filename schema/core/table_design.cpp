// Checking a design, then creating the new table or rebuilding the existing one to it.

#include "schema/core/table_design.h"

#include "schema/core/damaged_file.h"
#include "schema/core/field_types.h"
#include "schema/core/own_transaction.h"
#include "schema/core/table_rebuild.h"
#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor::schema {
namespace {

Outcome fieldFault(std::string text, int row, int column) {
  Outcome outcome = failed(std::move(text), MessageFlags::Ok);
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

// Every failure names its reason: the engine's, or ours where it has none.
Outcome alterFailure(std::string reason) {
  if (reason.empty()) reason = programTextFromUtf8("数据库没有给出原因。");
  return failed(dbErrorNotice(programTextFromUtf8("修改表失败！"), std::move(reason)));
}

Outcome alterSuccess(const std::string& table, const std::vector<std::string>& dropped) {
  std::string text = programTextFromUtf8("修改表 ") + table + programTextFromUtf8(" 成功！");
  if (!dropped.empty()) {
    text += programTextFromUtf8("\r\n\r\n以下各项引用了已删除的字段，已随之删除：");
    for (const std::string& item : dropped) text += "\r\n" + item;
  }
  Outcome outcome = succeeded(std::move(text), MessageFlags::Ok);
  outcome.reloadStructureTree = true;
  outcome.refreshShownObject = true;
  outcome.noticeLast = true;
  outcome.closeDesigner = true;
  return outcome;
}

// The rebuild proper, inside the unit of work: foreign keys are checked for
// the table and the tables that refer to it, before and after, so that only
// violations the alteration brings in stop it.
std::optional<Failure> rebuildChecked(SqliteDB& db, const DesignerState& state,
                                      const std::vector<DesignedColumn>& columns, bool foreignKeys,
                                      std::uint64_t tickCount, std::vector<std::string>& dropped) {
  const std::string& table = state.targetTable;
  const std::vector<std::string> relatives =
      foreignKeys ? foreignKeyRelatives(db, table) : std::vector<std::string>();
  const ForeignKeyChecks before = checkForeignKeys(db, relatives);
  const RebuildPlan plan = planRebuild(table, state.stored, columns, readTableSnapshot(db, table),
                                       temporaryTableName(table, tickCount));
  if (auto failure = rebuildTable(db, plan)) return failure;
  dropped = plan.dropped;
  return introducedViolation(before, checkForeignKeys(db, relatives));
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
      check.outcome =
          fieldFault(programTextFromUtf8("字段名称不能为空！"), row, DesignerGrid::kName);
      return check;
    }
    const auto code = designerTypeCode(trimBlanks(entry.typeText));
    if (!code) {
      check.outcome = fieldFault(programTextFromUtf8("字段 ") + name +
                                     programTextFromUtf8(" 的类型设置错误！请从下拉列表中选取。"),
                                 row, DesignerGrid::kType);
      return check;
    }
    const std::int32_t size = readWholeNumber(std::string(trimBlanks(entry.maxLengthText)));
    if (size < 0) {
      check.outcome = fieldFault(
          programTextFromUtf8("字段 ") + name + programTextFromUtf8(" 的最大文本长度不能为负数！"),
          row, DesignerGrid::kMaxLength);
      return check;
    }
    check.fields.push_back({name, *code, size});
  }
  if (check.fields.empty()) {
    check.outcome = failed(programTextFromUtf8("尚未添加任何字段！"), MessageFlags::WarningIcon);
    return check;
  }
  return check;
}

std::optional<std::vector<DesignedColumn>> designedColumns(
    const DesignerState& state, const std::vector<SqliteFieldInfo>& fields) {
  std::vector<DesignedColumn> columns;
  std::size_t existing = 0;
  for (const DesignerField& entry : state.entries) {
    if (!entry.isNew) ++existing;
    if (entry.deleted) continue;
    if (columns.size() >= fields.size()) return std::nullopt;
    DesignedColumn column{fields[columns.size()], std::nullopt};
    if (!entry.isNew) {
      if (existing > state.stored.columns.size()) return std::nullopt;
      column.existing = existing - 1;
    }
    columns.push_back(std::move(column));
  }
  return columns;
}

std::string temporaryTableName(const std::string& table, std::uint64_t tickCount) {
  return "__temp_" + table + "_" + std::to_string(tickCount) + "_temp";
}

Outcome createDesignedTable(SqliteDB& db, const std::vector<SqliteFieldInfo>& fields,
                            const AskText& askText) {
  const auto name = askText({programTextFromUtf8("请输入要创建的表名称："), "", ""});
  if (!name) return cancelled();
  if (trimBlanks(*name).empty())
    return failed(programTextFromUtf8("表名称不能为空！"), MessageFlags::Ok);
  // From here the name is used exactly as typed, blanks included.
  if (db.tableExists(*name))
    return failed(programTextFromUtf8("表“") + *name + programTextFromUtf8("”已经存在于数据库中！"),
                  MessageFlags::Ok);
  if (auto refusal = damagedFileRefusal(db, "新建表")) return std::move(*refusal);
  if (!db.createTable(*name, fields))
    return failed(withErrorDetail(programTextFromUtf8("创建表失败，"), db.errorText()),
                  MessageFlags::Ok);
  Outcome outcome = succeeded(
      programTextFromUtf8("已成功创建表“") + *name + programTextFromUtf8("”！"), MessageFlags::Ok);
  outcome.reloadStructureTree = true;
  outcome.closeDesigner = true;
  return outcome;
}

Outcome alterDesignedTable(SqliteDB& db, const DesignerState& state,
                           const std::vector<SqliteFieldInfo>& fields, std::uint64_t tickCount) {
  // Data moves only between columns the designer pairs: a definition it could
  // not read soundly is refused before anything is touched.
  const auto columns = designedColumns(state, fields);
  if (state.storedRefusal) return alterFailure(state.storedRefusal->reason);
  if (!columns)
    return alterFailure(programTextFromUtf8("设计器中的字段与表的字段对应不上，未做任何修改。"));
  const bool foreignKeys = foreignKeysEnforced(db);
  // Inside the user's transaction foreign keys cannot be switched off, and the
  // rebuild's DROP TABLE would delete child rows: refuse instead.
  if (foreignKeys && db.inTransaction())
    return alterFailure(
        programTextFromUtf8("数据库启用了外键约束，在已开始的事务中重建表会删除引用它的记录。"
                            "请先提交或回滚事务。"));
  if (auto refusal = damagedFileRefusal(db, "修改表")) return std::move(*refusal);
  const ForeignKeysOff foreignKeysOff(db, foreignKeys);
  OwnTransaction work(db, "tabulor_alter_table");
  std::vector<std::string> dropped;
  std::optional<Failure> failure;
  // BEGIN's result is not needed (nothing else is open), but a savepoint that
  // cannot be opened must stop the work: nothing could undo it afterwards.
  if (!work.begin() && work.insideUserTransaction())
    failure = Failure{db.errorText()};
  else
    failure = rebuildChecked(db, state, *columns, foreignKeys, tickCount, dropped);
  if (!failure && !work.commit()) failure = Failure{db.errorText()};
  if (failure) return alterFailure(failure->reason);
  return alterSuccess(state.targetTable, dropped);
}

Outcome confirmDesign(SqliteDB& db, const DesignerState& state, const AskText& askText,
                      std::uint64_t tickCount) {
  const DesignCheck check = validateDesign(state.entries);
  if (check.outcome.failed()) return check.outcome;
  return state.mode == DesignerMode::Create
             ? createDesignedTable(db, check.fields, askText)
             : alterDesignedTable(db, state, check.fields, tickCount);
}

}  // namespace tabulor::schema
