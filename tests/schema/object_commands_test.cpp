#include "schema/core/object_commands.h"
#include "schema/core/views.h"

#include <gtest/gtest.h>

#include "schema_fixture.h"

namespace tabulor::schema {
namespace {

using testing::Rows;
using Strings = std::vector<std::string>;
constexpr Outcome::Result Done = Outcome::Result::Done;
constexpr Outcome::Result Failed = Outcome::Result::Failed;
constexpr Outcome::Result Cancelled = Outcome::Result::Cancelled;

TEST(RenameViewSql, ReplacesWhatStandsBetweenViewAndAs) {
  testing::CodePageScope page("UTF-8");
  struct Case {
    std::string sql, oldName, newName;
    std::optional<std::string> result;
  } cases[] = {
      {"CREATE VIEW old_view AS SELECT * FROM t", "old_view", "new_view",
       "CREATE VIEW new_view AS SELECT * FROM t"},
      {"CREATE VIEW [old_view] AS SELECT * FROM t", "old_view", "new_view",
       "CREATE VIEW new_view AS SELECT * FROM t"},
      {"create view Old_View as select 1", "old_view", "v2", "create view v2 as select 1"},
      {"CREATE VIEW 视图 AS SELECT '视图 AS' AS x", "视图", "新视图",
       "CREATE VIEW 新视图 AS SELECT '视图 AS' AS x"},
      {"CREATE VIEW v\nAS SELECT 1", "v", "w", std::nullopt},
      {" VIEW v AS SELECT 1", "v", "w", std::nullopt},
      {"CREATE VIEW \"x\" AS SELECT 1", "y", "w", std::nullopt},
      {"CREATE VIEW v AS SELECT 1", "v AS", "w", std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(renameViewSql(c.sql, c.oldName, c.newName), c.result) << c.sql;
}

class ObjectCommands : public testing::SchemaTest {
 protected:
  void SetUp() override {
    run("CREATE TABLE old_t (a)");
    run("INSERT INTO old_t VALUES (1), (2)");
    run("CREATE VIEW old_view AS SELECT * FROM old_t");
    trace_.clear();
  }

  Outcome rename(ObjectKind kind, const TreeSelection& selection,
                 std::optional<std::string> newName) {
    prompts_.texts = {std::move(newName)};
    return renameObject(db_, kind, selection, prompts_.askText());
  }

  static void expectNotice(const Outcome& outcome, const std::string& text, int flags) {
    ASSERT_TRUE(outcome.notice) << text;
    EXPECT_EQ(testing::messageOf(*outcome.notice), text);
    EXPECT_EQ(outcome.notice->flags, flags) << text;
  }

  const TreeSelection table_{"old_t", true, false};
  const TreeSelection view_{"old_view", false, true};
  testing::ScriptedPrompts prompts_;
};

TEST_F(ObjectCommands, RenameTable) {
  const Outcome outcome = rename(ObjectKind::Table, table_, "new_t");
  EXPECT_EQ(prompts_.inputs[0].prompt, "请输入新的表名称：");
  EXPECT_EQ(prompts_.inputs[0].initialText, "old_t");
  expectNotice(outcome, "已成功修改表名称！", 0x40);
  EXPECT_TRUE(outcome.reloadStructureTree && outcome.refreshShownObject);
  EXPECT_EQ(trace_.changes(), Strings{"ALTER TABLE old_t RENAME TO new_t"});
  EXPECT_EQ(db_.listTables(true, false, false), Strings{"new_t"});
}

TEST_F(ObjectCommands, RenameViewRecreatesItInATransaction) {
  run("DROP VIEW old_view");
  run("CREATE VIEW [old_view] AS SELECT * FROM old_t");
  trace_.clear();
  const Outcome outcome = rename(ObjectKind::View, view_, "new_view");
  EXPECT_EQ(prompts_.inputs[0].prompt, "请输入新的视图名称：");
  expectNotice(outcome, "已成功修改视图名称！", 0x40);
  EXPECT_EQ(trace_.changes(),
            (Strings{"BEGIN TRANSACTION ", "DROP VIEW old_view",
                     "CREATE VIEW new_view AS SELECT * FROM old_t", "COMMIT TRANSACTION "}));
}

TEST_F(ObjectCommands, RenameRefusalsAskNothingOfTheEngine) {
  struct Case {
    ObjectKind kind;
    TreeSelection selection;
    std::optional<std::string> newName;
    std::optional<std::string> message;
    int flags;
    Outcome::Result result;
  } cases[] = {
      {ObjectKind::View, {"", false, false}, "x", "请先选择要改名的视图！", 0x10, Failed},
      {ObjectKind::Table, table_, std::nullopt, std::nullopt, 0, Cancelled},
      {ObjectKind::View, view_, "", "视图名称不能为空！", 0x10, Failed},
      {ObjectKind::Table, table_, "old_t", "您输入的表名称与原名称相同！无需修改。", 0x40, Done},
  };
  for (const Case& c : cases) {
    const Outcome outcome = rename(c.kind, c.selection, c.newName);
    EXPECT_EQ(outcome.result, c.result);
    EXPECT_EQ(outcome.notice.has_value(), c.message.has_value());
    if (c.message) expectNotice(outcome, *c.message, c.flags);
  }
  EXPECT_TRUE(trace_.changes().empty());
}

TEST_F(ObjectCommands, RenameFailuresShowTheConnectionError) {
  // The table command on a view reaches the engine, which refuses.
  Outcome outcome = rename(ObjectKind::Table, view_, "v2");
  expectNotice(outcome, "修改表名称时发生错误！", 0x10);
  EXPECT_TRUE(testing::engineDetail(*outcome.notice));
  EXPECT_EQ(testing::engineDetail(*outcome.notice), "view old_view may not be altered");
  // A clash on re-creation undoes the drop: the view is as it was.
  outcome = rename(ObjectKind::View, view_, "old_t");
  expectNotice(outcome, "修改视图名称时发生错误！", 0x10);
  EXPECT_EQ(testing::engineDetail(*outcome.notice), "table old_t already exists");
  EXPECT_EQ(db_.tableSql("old_view"), "CREATE VIEW old_view AS SELECT * FROM old_t");
  EXPECT_FALSE(db_.inTransaction());
}

TEST_F(ObjectCommands, ANameDifferingOnlyInCaseGoesToTheEngine) {
  const Outcome outcome = rename(ObjectKind::Table, table_, "OLD_T");
  expectNotice(outcome, "修改表名称时发生错误！", 0x10);
  EXPECT_EQ(testing::engineDetail(*outcome.notice),
            "there is already another table or index with this name: OLD_T");
}

TEST_F(ObjectCommands, ViewWithoutSingleBlanksAroundAsIsNotRenamed) {
  run("CREATE VIEW odd AS\nSELECT 1");
  trace_.clear();
  EXPECT_TRUE(renameView(db_, "odd", "even")) << "refused";
  EXPECT_TRUE(trace_.changes().empty());
  EXPECT_TRUE(renameView(db_, "missing", "even")) << "refused";
}

TEST_F(ObjectCommands, ViewRenameInsideAUserTransactionKeepsIt) {
  ASSERT_TRUE(db_.beginTransaction());
  run("INSERT INTO old_t VALUES (3)");
  EXPECT_TRUE(renameView(db_, "old_view", "old_t")) << "refused";
  EXPECT_TRUE(db_.inTransaction());
  EXPECT_EQ(renameView(db_, "old_view", "new_view"), std::nullopt);
  EXPECT_TRUE(db_.inTransaction());
  EXPECT_EQ(rows("SELECT count(*) FROM new_view"), (Rows{{"3"}}));
  ASSERT_TRUE(db_.rollbackTransaction());
  EXPECT_EQ(objectNames(), (Strings{"old_t", "old_view"}));
}

TEST_F(ObjectCommands, ViewRenameWithGbkProgramText) {
  testing::CodePageScope page("GBK");
  const std::string oldName = *fromUtf8("视图甲");
  const std::string newName = *fromUtf8("视图乙");
  run(*fromUtf8("CREATE VIEW 视图甲 AS SELECT '甲' AS 名称"));
  EXPECT_EQ(renameView(db_, oldName, newName), std::nullopt);
  EXPECT_EQ(db_.tableSql(newName), *fromUtf8("CREATE VIEW 视图乙 AS SELECT '甲' AS 名称"));
}

TEST_F(ObjectCommands, DropAsksThenDropsAndAlwaysEmptiesTheDataView) {
  prompts_.answers = {false, true};
  Outcome outcome = dropObject(db_, ObjectKind::Table, table_, prompts_.askYes());
  EXPECT_FALSE(outcome.notice);
  EXPECT_TRUE(outcome.clearDataView);
  outcome = dropObject(db_, ObjectKind::Table, table_, prompts_.askYes());
  expectNotice(outcome, "已删除。", 0x40);
  EXPECT_TRUE(outcome.reloadStructureTree && outcome.clearDataView);
  ASSERT_EQ(prompts_.questions.size(), 2u);
  EXPECT_EQ(prompts_.questions[0],
            (std::pair<std::string, int>{"您确认要删除表 old_t 吗？", 0x23}));
  EXPECT_EQ(trace_.changes(), Strings{"drop table old_t"});
}

TEST_F(ObjectCommands, DropRefusalsAndFailures) {
  prompts_.answers = {true, true};
  Outcome outcome = dropObject(db_, ObjectKind::View, {}, prompts_.askYes());
  expectNotice(outcome, "请先选中一个视图，然后执行删除操作！", 0x10);
  EXPECT_TRUE(outcome.clearDataView);
  outcome = dropObject(db_, ObjectKind::Table, view_, prompts_.askYes());
  expectNotice(outcome, "删除失败！", 0x10);
  EXPECT_TRUE(outcome.clearDataView);
  outcome = dropObject(db_, ObjectKind::View, view_, prompts_.askYes());
  EXPECT_EQ(prompts_.questions[1].first, "您确认要删除视图 old_view 吗？");
  expectNotice(outcome, "已删除。", 0x40);
  // The refused "drop table" never started, so only the view's drop ran.
  EXPECT_EQ(trace_.changes(), Strings{"drop view old_view"});
}

TEST_F(ObjectCommands, ClearTableOnlyForMainTablesAndOnlyAfterYes) {
  run("CREATE TEMP TABLE tmp (a)");
  trace_.clear();
  for (const std::string name : {"old_view", "", "tmp"}) {
    expectNotice(clearTable(db_, name, prompts_.askYes()),
                 "【" + name + "】为视图名称，不能执行该命令！", 0x30);
  }
  EXPECT_TRUE(prompts_.questions.empty());
  prompts_.answers = {false, true};
  EXPECT_FALSE(clearTable(db_, "old_t", prompts_.askYes()).notice);
  EXPECT_EQ(rows("SELECT count(*) FROM old_t"), (Rows{{"2"}}));
  const Outcome outcome = clearTable(db_, "old_t", prompts_.askYes());
  EXPECT_EQ(prompts_.questions[0], (std::pair<std::string, int>{"清空后无法恢复，请确认？", 0x14}));
  expectNotice(outcome, "【old_t】  成功清空！", 0x40);
  EXPECT_TRUE(outcome.reloadStructureTree);
  EXPECT_EQ(trace_.changes(), Strings{"DELETE FROM old_t"});
  EXPECT_EQ(rows("SELECT count(*) FROM old_t"), (Rows{{"0"}}));
}

TEST_F(ObjectCommands, ClearTableFailureShowsTheEngineMessage) {
  run("CREATE TRIGGER keep BEFORE DELETE ON old_t BEGIN SELECT RAISE(ABORT, 'kept'); END");
  prompts_.answers = {true};
  const Outcome outcome = clearTable(db_, "old_t", prompts_.askYes());
  expectNotice(outcome, "SQL语句执行失败！", 0x10);
  EXPECT_TRUE(testing::engineDetail(*outcome.notice));
  EXPECT_EQ(testing::engineDetail(*outcome.notice), "kept");
  EXPECT_TRUE(outcome.reloadStructureTree);
}

// A name stored in the file that would end the statement early: sqlite3_exec would run
// what follows it, so "x; drop table old_t" must not drop old_t with x.
TEST_F(ObjectCommands, NamesThatWouldEndTheStatementAreNeverRun) {
  run("CREATE TABLE x (a)");
  run("CREATE TABLE \"x; drop table old_t\" (a)");
  run("CREATE VIEW \"x --\" AS SELECT 1");
  trace_.clear();
  const TreeSelection table{"x; drop table old_t", true, false};
  const TreeSelection view{"x --", false, true};
  prompts_.answers = {true, true};
  expectNotice(dropObject(db_, ObjectKind::Table, table, prompts_.askYes()), "删除失败！", 0x10);
  Outcome outcome = clearTable(db_, table.text, prompts_.askYes());
  expectNotice(outcome, "SQL语句执行失败！", 0x10);
  EXPECT_FALSE(testing::engineDetail(*outcome.notice).value_or("").empty());
  outcome = rename(ObjectKind::Table, table, "y");
  expectNotice(outcome, "修改表名称时发生错误！", 0x10);
  EXPECT_FALSE(testing::engineDetail(*outcome.notice).value_or("").empty());
  prompts_.texts = {"SELECT 2"};
  expectNotice(modifyView(db_, view, prompts_.askText()), "修改视图失败！", 0x10);
  EXPECT_TRUE(trace_.changes().empty());
  EXPECT_EQ(objectNames(), (Strings{"old_t", "old_view", "x", "x --", "x; drop table old_t"}));
}

}  // namespace
}  // namespace tabulor::schema
