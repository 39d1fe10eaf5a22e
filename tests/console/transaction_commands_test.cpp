#include "console/core/transaction_commands.h"

#include <string>

#include <gtest/gtest.h>

#include "console_db_fixture.h"

namespace tabulor {
namespace {

using Command = Outcome (*)(SqliteDB&);

Outcome info(const std::string& text) { return succeeded(Notice{text, "信息：", 0x40}); }

Outcome refused(const std::string& message, const std::string& engineText) {
  return failed(Notice{message + "错误信息如下：\r\n\r\n" + engineText, "错误：", 0x10});
}

class TransactionCommandsTest : public testing::ConsoleDbTest {};

TEST_F(TransactionCommandsTest, EachCommandShowsSuccessOrTheEnginesRefusal) {
  struct Step {
    Command command;
    Outcome outcome;
  };
  const Step steps[] = {
      {rollbackTransaction,
       refused("回滚事务失败！", "cannot rollback - no transaction is active")},
      {commitTransaction, refused("提交事务失败！", "cannot commit - no transaction is active")},
      {startTransaction, info("已成功启动事务。")},
      {startTransaction,
       refused("启动事务失败！", "cannot start a transaction within a transaction")},
      {commitTransaction, info("已成功提交事务。")},
      {startTransaction, info("已成功启动事务。")},
      {rollbackTransaction, info("已成功回滚事务。")},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(::testing::Message() << "step " << (&step - steps));
    const Outcome outcome = step.command(db);
    EXPECT_EQ(outcome.result, step.outcome.result);
    EXPECT_EQ(outcome.notice, step.outcome.notice);
  }
}

TEST_F(TransactionCommandsTest, CommitKeepsAndRollbackUndoesTheWorkInBetween) {
  startTransaction(db);
  ASSERT_TRUE(db.execute("insert into t values (3, 'kept')"));
  commitTransaction(db);
  startTransaction(db);
  ASSERT_TRUE(db.execute("insert into t values (4, 'undone')"));
  rollbackTransaction(db);
  EXPECT_EQ(scalar("select group_concat(a) from t where a > 2"), "3");
}

Notice errorText(const std::string& text) {
  return {"最近一次操作的错误信息：" + text, "取错误文本()：", 0x10};
}
Notice errorCode(const std::string& code) {
  return {"最近一次操作的错误码：" + code, "取错误码()：", 0x10};
}
Notice insertId(const std::string& id) {
  return {"最近一次插入记录时自动生成的记录ID：" + id, "取最新插入ID()：", 0};
}

TEST_F(TransactionCommandsTest, DiagnosticsDescribeTheLastFailedStatement) {
  ASSERT_FALSE(db.execute("selec 1"));
  EXPECT_EQ(lastErrorTextNotice(db), errorText("near \"selec\": syntax error"));
  EXPECT_EQ(lastErrorCodeNotice(db), errorCode("1"));

  ASSERT_FALSE(db.execute("create table t (z)"));
  EXPECT_EQ(lastErrorTextNotice(db), errorText("table t already exists"));
  EXPECT_EQ(lastErrorCodeNotice(db), errorCode("1"));
}

TEST_F(TransactionCommandsTest, DiagnosticsAfterASuccessfulStatementShowNoError) {
  ASSERT_FALSE(db.execute("selec 1"));
  ASSERT_TRUE(db.execute("insert into t (rowid, a) values (42, 3)"));
  EXPECT_EQ(lastErrorTextNotice(db), errorText(""));
  EXPECT_EQ(lastErrorCodeNotice(db), errorCode("0"));
  EXPECT_EQ(lastInsertIdNotice(db), insertId("42"));
}

TEST(LastInsertIdNotice, ShowsTheRowIdInDecimalOverItsWholeRange) {
  testing::TempDir dir;
  SqliteDB db;
  ASSERT_TRUE(db.open(dir.file("ids.db"), true));
  EXPECT_EQ(lastInsertIdNotice(db), insertId("0"));  // nothing inserted yet on this connection
  ASSERT_TRUE(db.execute("create table n (x)"));
  for (const std::string id : {"-5", "9007199254740993", "-9223372036854775808"}) {
    SCOPED_TRACE(id);
    ASSERT_TRUE(db.execute("insert into n (rowid, x) values (" + id + ", 1)"));
    EXPECT_EQ(lastInsertIdNotice(db), insertId(id));
  }
}

}  // namespace
}  // namespace tabulor
