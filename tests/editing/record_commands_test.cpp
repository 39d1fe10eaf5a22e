#include <QAction>
#include <QFile>

#include "editing/record_commands.h"
#include "editing_fixture.h"
#include "platform/egrid.h"

namespace tabulor::testing {
namespace {

using Kind = ScriptedPrompts::Kind;

const char* const kSql =
    "CREATE TABLE t(a, b, c);"
    "INSERT INTO t VALUES (1, 'one', 'x'), (2, 'two', 'y'), (3, 'three', 'z');"
    "CREATE TABLE strict(id INTEGER PRIMARY KEY, name TEXT NOT NULL);"
    "CREATE TABLE [my table](x);"
    "CREATE VIEW v AS SELECT a FROM t;";

const char* const kAccountTable =
    "CREATE TABLE TBL_ACCOUNT(FCH_ACCOUNT TEXT UNIQUE NOT NULL, FCH_PASSWORD, FCH_USERNAME, "
    "FCH_CREATEDATE, FCH_UPDATEDATE, FCH_DELETED, FCH_PERMISSION, FCH_GAMEGOLD, FCH_SSNO, "
    "FCH_BIRTHDAY, FCH_PHONE, FCH_MOBILEPHONE, FCH_EMAIL, FCH_QUIZ1, FCH_ANSWER1, FCH_QUIZ2, "
    "FCH_ANSWER2, FCH_SERIALNUM)";

class RecordCommands : public EditingTest {
 protected:
  void SetUp() override { openAndShow(kSql, QStringLiteral("t")); }
  void trigger(Command command) { window->action(command)->trigger(); }
  QString iddb() const { return programFolder() + QStringLiteral("/IDDB.DB"); }
  std::string account(const std::string& sql) const {
    SqliteDB db;
    if (!db.open(toProgramText(iddb()))) return "<no database>";
    auto query = db.query(sql);
    query->requery();
    const TextTable table = query->fetchAllText(false);
    return table.isEmpty() ? "<no row>" : table.cell(0, 0);
  }
};

TEST_F(RecordCommands, InsertEmptyRecordAddsNullsAndShowsTheTableAfresh) {
  trigger(Command::InsertEmptyRecord);
  EXPECT_EQ(value("SELECT count(*) FROM t WHERE a IS NULL AND b IS NULL AND c IS NULL"), "1");
  EXPECT_EQ(ui().高级表格1->rowCount(), 5);
  EXPECT_EQ(ui().组合框_记录序号->count(), 4);
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("已成功插入空记录。")});
  EXPECT_EQ(prompts.records().front().flags, 0x40);
}

TEST_F(RecordCommands, InsertEmptyRecordRefusedShowsTheFixedTextNotTheEngines) {
  select(QStringLiteral("strict"));
  prompts.clear();
  trigger(Command::InsertEmptyRecord);
  EXPECT_EQ(prompts.messages(),
            QStringList{QStringLiteral("插入空记录失败！表 strict 不允许插入空记录，可能因为："
                                       "存在主键；某字段不允许为null。")});
  EXPECT_EQ(prompts.records().front().flags, 0x10);
  EXPECT_EQ(value("SELECT count(*) FROM strict"), "0");

  select(QStringLiteral("v"));
  prompts.clear();
  trigger(Command::InsertEmptyRecord);
  EXPECT_TRUE(prompts.records().empty()) << "a view: nothing happens";
}

TEST_F(RecordCommands, DeleteCurrentRecordAsksAndDeletesOnlyOnYes) {
  choose(2, 0);
  const QString question = QStringLiteral("您确认要删除当前记录吗？");
  for (const Answer answer : {Answer::No, Answer::Cancel}) {
    prompts.clear();
    prompts.queueAnswer(answer);
    trigger(Command::DeleteCurrentRecord);
    EXPECT_EQ(prompts.messages(), QStringList{question});
    EXPECT_EQ(prompts.records().front().flags, 0x23);
  }
  EXPECT_EQ(value("SELECT count(*) FROM t"), "3");

  prompts.clear();
  prompts.queueAnswer(Answer::Yes);
  trigger(Command::DeleteCurrentRecord);
  EXPECT_EQ(value("SELECT group_concat(b) FROM t"), "one,three");
  EXPECT_EQ(prompts.messages(), QStringList({question, QStringLiteral("已成功删除当前记录。")}));
  EXPECT_EQ(prompts.records().back().flags, 0x40);
  EXPECT_EQ(ui().高级表格1->cellText(2, 2), QStringLiteral("three")) << "shown afresh";
}

TEST_F(RecordCommands, DeleteCurrentRecordRefusals) {
  prompts.queueAnswer(Answer::Yes);
  trigger(Command::DeleteCurrentRecord);  // no record selected
  ASSERT_EQ(prompts.records().size(), 2u);
  EXPECT_TRUE(prompts.records().back().text.startsWith(
      QStringLiteral("删除当前记录失败！错误信息如下：\r\n\r\n")));
  EXPECT_EQ(prompts.records().back().title, QStringLiteral("错误："));
  EXPECT_EQ(value("SELECT count(*) FROM t"), "3");

  select(QStringLiteral("v"));
  prompts.clear();
  trigger(Command::DeleteCurrentRecord);
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("只有表才可以被删除记录！")});
  EXPECT_EQ(prompts.records().front().flags, 0x10);

  select(QStringLiteral("my table"));  // its unquoted name cannot be opened
  prompts.clear();
  trigger(Command::DeleteCurrentRecord);
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("表尚未打开。")});
  EXPECT_EQ(prompts.records().front().flags, 0x10);
}

TEST_F(RecordCommands, TestRecordIntoAMissingIddbCreatesItAndReportsTheEngine) {
  prompts.queueInput(QStringLiteral("player1"));
  trigger(Command::InsertRecord);
  const auto input = prompts.records(Kind::Input).front();
  EXPECT_EQ(input.text, QStringLiteral("FCH_ACCOUNT 字段不能接受空数据，不能有重复，比如游戏账号"));
  EXPECT_EQ(input.title, QStringLiteral("FCH_ACCOUNT 数值"));
  EXPECT_EQ(input.initialText, QString());
  EXPECT_TRUE(QFile::exists(iddb()));
  ASSERT_EQ(prompts.records(Kind::Message).size(), 1u);
  const auto box = prompts.records(Kind::Message).front();
  EXPECT_EQ(box.text, QStringLiteral("添加失败：no such table: TBL_ACCOUNT"));
  EXPECT_EQ(box.title, QStringLiteral("添加失败"));
  EXPECT_EQ(box.flags, 0x10);
}

TEST_F(RecordCommands, TestRecordIntoAPreparedIddbStoresTheAccountAsTyped) {
  {
    SqliteDB db;
    ASSERT_TRUE(db.open(toProgramText(iddb()), true));
    ASSERT_TRUE(db.execute(kAccountTable));
  }
  prompts.queueInput(QStringLiteral("O'Brien"));
  trigger(Command::InsertRecord);
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("添加成功")});
  EXPECT_EQ(prompts.records(Kind::Message).front().flags, 0);
  EXPECT_EQ(account("SELECT FCH_ACCOUNT || '|' || FCH_PASSWORD || '|' || FCH_CREATEDATE || '|' || "
                    "FCH_BIRTHDAY || '|' || FCH_QUIZ2 || '|' || FCH_SERIALNUM FROM TBL_ACCOUNT"),
            "O'Brien|480267|2024年5月3日14时5分30秒|1970/1/1|111|0");
  EXPECT_EQ(value("SELECT count(*) FROM t"), "3") << "the open database is not touched";

  prompts.clear();
  prompts.queueInput(QStringLiteral("O'Brien"));
  trigger(Command::InsertRecord);
  EXPECT_EQ(
      prompts.messages(),
      QStringList{QStringLiteral("添加失败：UNIQUE constraint failed: TBL_ACCOUNT.FCH_ACCOUNT")});

  prompts.clear();
  prompts.queueInput(std::nullopt);
  trigger(Command::InsertRecord);
  EXPECT_TRUE(prompts.records(Kind::Message).empty());
  EXPECT_EQ(account("SELECT count(*) FROM TBL_ACCOUNT"), "1");
}

}  // namespace
}  // namespace tabulor::testing
