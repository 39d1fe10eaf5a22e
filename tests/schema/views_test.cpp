#include "schema/core/views.h"

#include <gtest/gtest.h>

#include "schema_fixture.h"

namespace tabulor::schema {
namespace {

using testing::Rows;
using Strings = std::vector<std::string>;

class Views : public testing::SchemaTest {
 protected:
  void SetUp() override {
    run("CREATE TABLE t (a, b)");
    run("INSERT INTO t VALUES (1, 2)");
    run("CREATE VIEW v AS SELECT * FROM t");
    trace_.clear();
  }

  Outcome modify(const TreeSelection& selection, std::optional<std::string> select) {
    prompts_.texts = {std::move(select)};
    trace_.clear();
    return modifyView(db_, selection, prompts_.askText());
  }

  const TreeSelection view_{"v", false, true};
  testing::ScriptedPrompts prompts_;
};

TEST_F(Views, NewViewRunsTheTypedStatementAsItIs) {
  prompts_.texts = {std::nullopt, "CREATE VIEW [视图名称] AS select语句", "CREATE TABLE made (x)",
                    "CREATE VIEW w AS SELECT b FROM t"};
  EXPECT_FALSE(newView(db_, prompts_.askText()).notice);
  const Outcome refused = newView(db_, prompts_.askText());
  ASSERT_TRUE(refused.notice);
  EXPECT_EQ(refused.notice->text, "执行失败！");
  EXPECT_EQ(refused.notice->flags, 0x10);
  EXPECT_FALSE(testing::engineDetail(*refused.notice));
  for (int i = 0; i < 2; ++i) {
    const Outcome outcome = newView(db_, prompts_.askText());
    ASSERT_TRUE(outcome.notice);
    EXPECT_EQ(outcome.notice->text, "执行成功。");
    EXPECT_EQ(outcome.notice->flags, 0x40);
    EXPECT_TRUE(outcome.reloadStructureTree);
  }
  EXPECT_EQ(prompts_.inputs[0].prompt, "请输入创建视图的SQL语句");
  EXPECT_EQ(prompts_.inputs[0].title, "新建视图");
  EXPECT_EQ(prompts_.inputs[0].initialText, "CREATE VIEW [视图名称] AS select语句");
  EXPECT_EQ(objectNames(), (Strings{"made", "t", "v", "w"}));
}

TEST_F(Views, ModifyViewReplacesTheSelectAtomically) {
  const Outcome outcome = modify(view_, "SELECT a FROM t");
  EXPECT_EQ(prompts_.inputs[0].prompt, "请输入新的视图定义SQL语句（只需输入select部分）");
  EXPECT_EQ(prompts_.inputs[0].title, "修改视图");
  EXPECT_EQ(prompts_.inputs[0].initialText, "SELECT * FROM [表名]");
  ASSERT_TRUE(outcome.notice);
  EXPECT_EQ(outcome.notice->text, "视图修改成功。");
  EXPECT_EQ(outcome.notice->flags, 0x40);
  EXPECT_TRUE(outcome.refreshShownObject);
  EXPECT_FALSE(outcome.reloadStructureTree);
  EXPECT_EQ(trace_.changes(),
            (Strings{"SAVEPOINT tabulor_modify_view", "DROP VIEW v",
                     "CREATE VIEW v AS SELECT a FROM t", "RELEASE SAVEPOINT tabulor_modify_view"}));
  EXPECT_EQ(db_.tableSql("v"), "CREATE VIEW v AS SELECT a FROM t");
  EXPECT_FALSE(db_.inTransaction());
}

TEST_F(Views, RefusedDefinitionLeavesTheOldViewExactly) {
  const Outcome outcome = modify(view_, "SELEC a FROM t");
  ASSERT_TRUE(outcome.notice);
  EXPECT_EQ(testing::messageOf(*outcome.notice), "修改视图失败！");
  EXPECT_EQ(testing::engineDetail(*outcome.notice), "near \"SELEC\": syntax error");
  EXPECT_EQ(db_.tableSql("v"), "CREATE VIEW v AS SELECT * FROM t");
  EXPECT_FALSE(db_.inTransaction());
}

TEST_F(Views, ModifyRefusals) {
  Outcome outcome = modify({"t", true, false}, "SELECT 1");
  ASSERT_TRUE(outcome.notice);
  EXPECT_EQ(outcome.notice->text, "请先选中一个视图，然后执行修改操作！");
  EXPECT_EQ(outcome.notice->flags, 0x10);
  EXPECT_TRUE(prompts_.inputs.empty());
  EXPECT_FALSE(modify(view_, std::nullopt).notice);
  outcome = modify({"gone", false, true}, "SELECT 1");
  ASSERT_TRUE(outcome.notice);
  EXPECT_EQ(outcome.notice->text, "修改视图失败！");
  EXPECT_EQ(outcome.notice->flags, 0x10);
  EXPECT_FALSE(testing::engineDetail(*outcome.notice));
  EXPECT_EQ(objectNames(), (Strings{"t", "v"}));
}

TEST_F(Views, ModifyInsideAUserTransactionLeavesItOpen) {
  ASSERT_TRUE(db_.beginTransaction());
  run("INSERT INTO t VALUES (3, 4)");
  EXPECT_TRUE(testing::engineDetail(*modify(view_, "SELEC a FROM t").notice));
  EXPECT_EQ(modify(view_, "SELECT b FROM t").notice->text, "视图修改成功。");
  EXPECT_TRUE(db_.inTransaction());
  EXPECT_EQ(rows("SELECT b FROM v ORDER BY b"), (Rows{{"2"}, {"4"}}));
  ASSERT_TRUE(db_.commitTransaction());
}

}  // namespace
}  // namespace tabulor::schema
