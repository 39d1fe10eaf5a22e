#include <QComboBox>
#include <QPushButton>

#include "console_window_fixture.h"
#include "editing/field_panel.h"

namespace tabulor::testing {
namespace {

using ConsoleMenu = ConsoleWindowTest;

TEST_F(ConsoleMenu, TransactionsShowSuccessOrTheEnginesRefusal) {
  struct Step {
    Command item;
    std::tuple<QString, QString, int> shown;
  };
  const auto refused = [](const char* message, const char* engine) {
    return std::tuple<QString, QString, int>{QString::fromUtf8(message) +
                                                 QStringLiteral("错误信息如下：\r\n\r\n") +
                                                 QString::fromUtf8(engine),
                                             QStringLiteral("错误："), 0x10};
  };
  const Step steps[] = {
      {Command::RollbackTransaction,
       refused("回滚事务失败！", "cannot rollback - no transaction is active")},
      {Command::CommitTransaction,
       refused("提交事务失败！", "cannot commit - no transaction is active")},
      {Command::BeginTransaction, box("已成功启动事务。", "信息：", 0x40)},
      {Command::BeginTransaction,
       refused("启动事务失败！", "cannot start a transaction within a transaction")},
      {Command::CommitTransaction, box("已成功提交事务。", "信息：", 0x40)},
      {Command::BeginTransaction, box("已成功启动事务。", "信息：", 0x40)},
      {Command::RollbackTransaction, box("已成功回滚事务。", "信息：", 0x40)},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(::testing::Message() << "step " << (&step - steps));
    prompts.clear();
    menu(step.item);
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(lastBox(), step.shown);
  }
}

TEST_F(ConsoleMenu, RollbackUndoesWhatTheConsoleDidInsideTheTransaction) {
  menu(Command::BeginTransaction);
  openConsole();
  run(QStringLiteral("insert into t values (3, 'three')"));
  closeConsole();
  menu(Command::RollbackTransaction);
  EXPECT_EQ(lastBox(), box("已成功回滚事务。", "信息：", 0x40));
  openConsole();
  run(QStringLiteral("select count(*) from t"));
  EXPECT_EQ(ui().高级表格1->cellText(1, 1), QStringLiteral("2"));
}

std::tuple<QString, QString, int> errorTextBox(const QString& text) {
  return {QStringLiteral("最近一次操作的错误信息：") + text, QStringLiteral("取错误文本()："),
          0x10};
}
std::tuple<QString, QString, int> errorCodeBox(int code) {
  return {QStringLiteral("最近一次操作的错误码：") + QString::number(code),
          QStringLiteral("取错误码()："), 0x10};
}
std::tuple<QString, QString, int> insertIdBox(const char* id) {
  return {QStringLiteral("最近一次插入记录时自动生成的记录ID：") + QString::fromUtf8(id),
          QStringLiteral("取最新插入ID()："), 0};
}

TEST_F(ConsoleMenu, DiagnosticsDescribeAFailedConsoleExecuteDespiteTheTreeRefresh) {
  window->setTreeSelection(1);  // the refresh shows table t again: more engine calls
  openConsole();
  run(QStringLiteral("insert into t (rowid, a) values (7, 7); selec 1"));
  EXPECT_EQ(lastBox(), runFailedBox(QStringLiteral("near \"selec\": syntax error")));
  closeConsole();
  menu(Command::LastErrorText);
  EXPECT_EQ(lastBox(), errorTextBox(QStringLiteral("near \"selec\": syntax error")));
  menu(Command::LastErrorCode);
  EXPECT_EQ(lastBox(), errorCodeBox(1));
  menu(Command::LastErrorCode);  // reading does not use it up
  EXPECT_EQ(lastBox(), errorCodeBox(1));
  menu(Command::About);  // nor does a command that leaves the engine alone
  menu(Command::LastErrorCode);
  EXPECT_EQ(lastBox(), errorCodeBox(1));
  menu(Command::LastInsertId);
  EXPECT_EQ(lastBox(), insertIdBox("7"));
}

TEST_F(ConsoleMenu, DiagnosticsAfterASuccessfulStatementShowNoError) {
  openConsole();
  run(QStringLiteral("selec 1"));
  run(QStringLiteral("insert into t (rowid, a) values (42, 3)"));
  EXPECT_EQ(lastBox(), box("SQL语句执行成功！", "信息：", 0x40));
  closeConsole();
  menu(Command::LastErrorText);
  EXPECT_EQ(lastBox(), errorTextBox(QString()));
  menu(Command::LastErrorCode);
  EXPECT_EQ(lastBox(), errorCodeBox(0));
  menu(Command::LastInsertId);
  EXPECT_EQ(lastBox(), insertIdBox("42"));
}

TEST_F(ConsoleMenu, AfterAFailedExecuteTheNextUseOfTheConnectionSpeaksForItself) {
  const auto panel = [this]() -> FieldPanel& { return *window->findChild<FieldPanel*>(); };
  const auto pickField = [this] {
    ui().组合框_记录序号->setCurrentIndex(0);
    ui().组合框_字段名称->setCurrentIndex(1);
  };
  const std::function<void()> nextUses[] = {
      [&] { window->refreshShownObject(); },  // the data view's own queries
      [&] { menu(Command::BeginTransaction); },
      [&] { menu(Command::Refresh); },
      [&] { ui().组合框_显示内容->setCurrentIndex(1); },  // the filter refills the tree
      [&] {
        pickField();
        panel().按钮_读文本字段值->click();
      },
      [&] {
        pickField();
        panel().按钮_写文本字段值->click();
      },
  };
  for (const auto& use : nextUses) {
    SCOPED_TRACE(&use - nextUses);
    ui().组合框_显示内容->setCurrentIndex(0);
    window->setTreeSelection(1);
    openConsole();
    run(QStringLiteral("drop table missing"));
    closeConsole();
    use();
    menu(Command::LastErrorCode);
    EXPECT_EQ(lastBox(), errorCodeBox(0));
    menu(Command::RollbackTransaction);
  }
}

TEST_F(ConsoleMenu, ALaterFailureReplacesTheKeptConsoleError) {
  openConsole();
  run(QStringLiteral("drop table missing"));
  closeConsole();
  menu(Command::CommitTransaction);
  menu(Command::LastErrorText);
  EXPECT_EQ(lastBox(), errorTextBox(QStringLiteral("cannot commit - no transaction is active")));
}

TEST_F(ConsoleMenu, InsertIdIsZeroBeforeAnyInsert) {
  menu(Command::LastInsertId);
  EXPECT_EQ(lastBox(), insertIdBox("0"));
}

}  // namespace
}  // namespace tabulor::testing
