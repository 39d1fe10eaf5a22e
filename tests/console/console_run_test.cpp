#include "console/core/console_run.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "console_db_fixture.h"
#include "sqlitedb/sqlite_dataset.h"
#include "support/code_page_scope.h"

namespace tabulor {
namespace {

using testing::CodePageScope;
using Rows = std::vector<std::vector<std::string>>;

Rows rowsOf(const ResultRows& table) {
  Rows rows;
  for (int r = 0; r < table.rowCount(); ++r) {
    rows.emplace_back();
    for (int c = 0; c < table.columnCount(); ++c) rows.back().push_back(table.cell(r, c));
  }
  return rows;
}

const Notice kQuerySucceeded{"查询成功，查询结果已显示到主窗口表格中。", "信息：", 0x40};
const Notice kExecuteSucceeded{"SQL语句执行成功！", "信息：", 0x40};

Notice runFailed(const std::string& engineText) {
  return {"SQL语句执行失败！错误信息如下：\r\n\r\n" + engineText, "错误：", 0x10};
}

class ConsoleRunTest : public testing::ConsoleDbTest {
 protected:
  SqliteDataset dataset;
};

TEST_F(ConsoleRunTest, QueryShowsItsRowsUnderTheColumnNames) {
  const ConsoleQuery query = runConsoleQuery("select a, b as 名称 from t order by a", db, dataset);
  EXPECT_FALSE(query.outcome.failed());
  EXPECT_EQ(rowsOf(query.rows), (Rows{{"a", "名称"}, {"1", "one"}, {"2", "two"}}));
  EXPECT_EQ(query.outcome.notice, kQuerySucceeded);
}

TEST_F(ConsoleRunTest, QueryCutsHugeValuesAsTheDataViewDoes) {
  const ConsoleQuery query = runConsoleQuery(
      "select a, case a when 2 then replace(hex(zeroblob(5000)), '0', '长') else b end"
      " from t order by a",
      db, dataset);
  ASSERT_FALSE(query.outcome.failed());
  ASSERT_EQ(query.rows.rowCount(), 3);
  EXPECT_EQ(query.rows.cell(1, 1), "one");
  EXPECT_FALSE(query.rows.isCut(1, 1));
  std::string shown;
  for (std::size_t i = 0; i < kShownCellCharacters; ++i) shown += "长";
  EXPECT_EQ(query.rows.cell(2, 1), shown + "…");
  EXPECT_TRUE(query.rows.isCut(2, 1)) << "a cut cell opens no editor";
}

TEST_F(ConsoleRunTest, QueryFailureCarriesTheEngineText) {
  struct Case {
    std::string sql;
    std::string engineText;
  };
  const Case cases[] = {
      {"select * from missing", "no such table: missing"},       // refused when compiled
      {"select abs(-9223372036854775808)", "integer overflow"},  // refused at the first step
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    const ConsoleQuery query = runConsoleQuery(c.sql, db, dataset);
    EXPECT_TRUE(query.outcome.failed());
    EXPECT_TRUE(query.rows.isEmpty());
    EXPECT_EQ(query.outcome.notice, runFailed(c.engineText));
  }
}

// 取消 stops the statement through the connection's progress handler.
TEST_F(ConsoleRunTest, AQueryStoppedByTheUserFailsInsteadOfShowingTheRowsReadSoFar) {
  int calls = 0;
  db.setProgressHandler([&calls] { return ++calls < 3; });
  const ConsoleQuery query = runConsoleQuery(
      "with recursive n(i) as (select 1 union all select i + 1 from n where i < 1000000)"
      " select i from n",
      db, dataset);
  db.setProgressHandler({});
  EXPECT_TRUE(query.outcome.failed());
  EXPECT_TRUE(query.rows.isEmpty());
  EXPECT_EQ(query.outcome.notice, runFailed("interrupted"));
}

TEST_F(ConsoleRunTest, EmptyQueryRunsThePreviousStatementAgain) {
  ASSERT_FALSE(runConsoleQuery("select a from t order by a", db, dataset).outcome.failed());
  ASSERT_TRUE(db.execute("insert into t values (3, 'three')"));
  const ConsoleQuery query = runConsoleQuery("", db, dataset);
  EXPECT_FALSE(query.outcome.failed());
  EXPECT_EQ(rowsOf(query.rows), (Rows{{"a"}, {"1"}, {"2"}, {"3"}}));
  EXPECT_EQ(query.outcome.notice, kQuerySucceeded);
}

TEST_F(ConsoleRunTest, EmptyQueryWithoutAnEarlierStatementFails) {
  const ConsoleQuery query = runConsoleQuery("", db, dataset);
  EXPECT_TRUE(query.outcome.failed());
  EXPECT_EQ(query.outcome.notice->title, "错误：");
  EXPECT_TRUE(query.outcome.notice->text.starts_with("SQL语句执行失败！错误信息如下：\r\n\r\n"));
}

TEST_F(ConsoleRunTest, QueryRunsOnlyTheFirstOfTwoStatements) {
  const ConsoleQuery query =
      runConsoleQuery("select count(*) from t; insert into t values (9, 'nine')", db, dataset);
  EXPECT_FALSE(query.outcome.failed());
  EXPECT_EQ(rowsOf(query.rows), (Rows{{"count(*)"}, {"2"}}));
  EXPECT_EQ(scalar("select count(*) from t"), "2");
}

TEST_F(ConsoleRunTest, StatementWithoutRowsInQueryModeRunsOnceAndShowsNothing) {
  const ConsoleQuery query = runConsoleQuery("insert into t values (5, 'five')", db, dataset);
  EXPECT_FALSE(query.outcome.failed());
  EXPECT_TRUE(query.rows.isEmpty());
  EXPECT_EQ(query.outcome.notice, kQuerySucceeded);
  EXPECT_EQ(scalar("select count(*) from t where a = 5"), "1");
}

TEST_F(ConsoleRunTest, ExecuteReportsSuccessAndDiscardsRows) {
  for (const std::string sql : {"create table u (x)", "select * from t"}) {
    SCOPED_TRACE(sql);
    const Outcome outcome = runConsoleExecute(sql, db);
    EXPECT_FALSE(outcome.failed());
    EXPECT_EQ(outcome.notice, kExecuteSucceeded);
  }
  EXPECT_TRUE(db.tableExists("u"));
}

TEST_F(ConsoleRunTest, ExecuteRunsStatementsInOrderUpToTheFirstFailure) {
  EXPECT_EQ(runConsoleExecute("insert into t values (10, 'x'); insert into t values (11, 'y')", db)
                .notice,
            kExecuteSucceeded);
  EXPECT_EQ(scalar("select count(*) from t where a in (10, 11)"), "2");

  const Outcome outcome = runConsoleExecute(
      "insert into t values (12, 'p'); insert into missing values (1); insert into t values (13, "
      "'q')",
      db);
  EXPECT_TRUE(outcome.failed());
  EXPECT_EQ(outcome.notice, runFailed("no such table: missing"));
  EXPECT_TRUE(outcome.reloadStructureTree) << "the statements before the failure may change it";
  EXPECT_EQ(scalar("select group_concat(a) from t where a in (12, 13)"), "12");
}

TEST_F(ConsoleRunTest, ClosedDatabaseFailsWithAnEmptyEngineText) {
  ASSERT_TRUE(db.close());
  EXPECT_EQ(runConsoleQuery("select 1", db, dataset).outcome.notice, runFailed(""));
  EXPECT_EQ(runConsoleExecute("select 1", db).notice, runFailed(""));
}

// Fixed texts and the engine's words reach the user in one code page.
TEST_F(ConsoleRunTest, FailureNoticeIsProgramTextInGbk) {
  CodePageScope page("GBK");
  const std::string missingTable = "\xCE\xDE\xB4\xCB\xB1\xED";  // 无此表
  const Outcome outcome = runConsoleExecute("select * from " + missingTable, db);
  EXPECT_TRUE(outcome.failed());
  EXPECT_EQ(outcome.notice->title, "\xB4\xED\xCE\xF3\xA3\xBA");  // 错误：
  EXPECT_EQ(outcome.notice->text, *fromUtf8("SQL语句执行失败！错误信息如下：\r\n\r\n") +
                                      "no such table: " + missingTable);
}

TEST_F(ConsoleRunTest, TreeListsMainTablesWithTheirColumns) {
  ASSERT_TRUE(
      db.execute("create table 订单 (编号 integer primary key, 金额);"
                 "create table \"my table\" (x);"
                 "create view v as select a from t;"
                 "create temp table tt (y)"));
  const std::vector<ConsoleTreeTable> expected = {
      {"my table", {}},  // names go into SQL unquoted, so its cursor cannot open
      {"t", {"a", "b"}},
      {"订单", {"编号", "金额"}},
  };
  EXPECT_EQ(consoleTreeEntries(db), expected);
}

}  // namespace
}  // namespace tabulor
