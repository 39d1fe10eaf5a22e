// Running the console's SQL as a query or as statements, and the tables for its tree.

#include "console/core/console_run.h"

#include "sqlitedb/sqlite_dataset.h"
#include "sqlitedb/sqlite_db.h"
#include "sqlitedb/sqlite_table.h"

namespace tabulor {

namespace {

constexpr std::string_view kRunFailed = "SQL语句执行失败！";

}  // namespace

ConsoleQuery runConsoleQuery(const std::string& sql, SqliteDB& db, SqliteDataset& dataset) {
  // A refused open (empty text) is not a failure here: the earlier statement answers.
  dataset.open(sql, db);
  // Cut like the data view's cells, so a result of huge values neither freezes the window
  // nor takes memory in proportion to them.
  std::optional<ResultRows> rows = dataset.fetchAllRows(kShownCellCharacters);
  if (!rows) return {failed(dbErrorNotice(programTextFromUtf8(kRunFailed), db.errorText())), {}};
  return {succeeded(makeNotice("查询成功，查询结果已显示到主窗口表格中。",
                               MessageFlags::InformationIcon)),
          std::move(*rows)};
}

Notice unconvertibleSqlNotice() {
  return dbErrorNotice(programTextFromUtf8(kRunFailed),
                       programTextFromUtf8("SQL语句中有本机代码页无法表示的字符。"));
}

Outcome runConsoleExecute(const std::string& sql, SqliteDB& db) {
  Outcome outcome = db.execute(sql)
                        ? succeeded(makeNotice("SQL语句执行成功！", MessageFlags::InformationIcon))
                        : failed(dbErrorNotice(programTextFromUtf8(kRunFailed), db.errorText()));
  outcome.reloadStructureTree = true;
  outcome.noticeLast = true;
  return outcome;
}

std::vector<ConsoleTreeTable> consoleTreeEntries(SqliteDB& db) {
  std::vector<std::string> names = db.listTables(true, false, false);
  // Named like the main window's tree, so thousands of tables open the console at once.
  std::vector<std::vector<std::string>> columns = SqliteTable::columnNamesOf(names, db);
  std::vector<ConsoleTreeTable> entries;
  entries.reserve(names.size());
  for (std::size_t i = 0; i < names.size(); ++i)
    entries.push_back({std::move(names[i]), std::move(columns[i])});
  return entries;
}

}  // namespace tabulor
