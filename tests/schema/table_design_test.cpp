#include "schema/core/table_design.h"

#include <gtest/gtest.h>

#include "schema_fixture.h"

namespace tabulor::schema {
namespace {

using testing::Rows;
using Strings = std::vector<std::string>;

DesignerField field(std::string name, std::string type, std::string length = "0") {
  return {std::move(name), std::move(type), std::move(length), false, false};
}

DesignerField deletedField(std::string name) {
  DesignerField entry = field(std::move(name), "");
  entry.deleted = true;
  return entry;
}

DesignerField newField(std::string name, std::string type, std::string length = "0") {
  DesignerField entry = field(std::move(name), std::move(type), std::move(length));
  entry.isNew = true;
  return entry;
}

TEST(ValidateDesign, RowsCheckedInOrderNameTypeLength) {
  testing::CodePageScope page("UTF-8");
  struct Case {
    std::string label;
    std::vector<DesignerField> entries;
    std::string message;
    int flags;
    std::optional<GridCell> cell;
  } cases[] = {
      {"empty name",
       {field("a", "整数型"), field(" \xE3\x80\x80", "整数型")},
       "字段名称不能为空！",
       0,
       GridCell{2, 1}},
      {"unknown type",
       {field("a", "文本")},
       "字段 a 的类型设置错误！请从下拉列表中选取。",
       0,
       GridCell{1, 2}},
      {"negative length",
       {field(" a ", "文本型", "-1")},
       "字段 a 的最大文本长度不能为负数！",
       0,
       GridCell{1, 3}},
      {"row 1 type before row 2 name",
       {field("a", "x"), field("", "整数型")},
       "字段 a 的类型设置错误！请从下拉列表中选取。",
       0,
       GridCell{1, 2}},
      {"name before type before length",
       {field("", "x", "-5")},
       "字段名称不能为空！",
       0,
       GridCell{1, 1}},
      {"deleted rows are not counted",
       {deletedField(""), field("b", "x")},
       "字段 b 的类型设置错误！请从下拉列表中选取。",
       0,
       GridCell{1, 2}},
      {"no rows left", {deletedField("a")}, "尚未添加任何字段！", 0x30, std::nullopt},
      {"no rows", {}, "尚未添加任何字段！", 0x30, std::nullopt},
  };
  for (const Case& c : cases) {
    const DesignCheck check = validateDesign(c.entries);
    EXPECT_TRUE(check.outcome.failed()) << c.label;
    ASSERT_TRUE(check.outcome.notice) << c.label;
    EXPECT_EQ(check.outcome.notice->text, c.message) << c.label;
    EXPECT_EQ(check.outcome.notice->flags, c.flags) << c.label;
    EXPECT_EQ(check.outcome.currentCell, c.cell) << c.label;
  }
}

TEST(ValidateDesign, FieldListTrimsNamesAndTypesAndCutsLengths) {
  testing::CodePageScope page("UTF-8");
  const DesignCheck check = validateDesign({field(" id ", "主键（自增字段）"), deletedField("gone"),
                                            field("n", " 文本型 ", "1.9"),
                                            field("m", "文本型", "-0.5"), field("k", "", "x")});
  ASSERT_FALSE(check.outcome.failed());
  ASSERT_EQ(check.fields.size(), 4u);
  const std::pair<std::string, std::int32_t> expected[] = {
      {"id", -1}, {"n", 10}, {"m", 10}, {"k", 0}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(check.fields[i].name, expected[i].first);
    EXPECT_EQ(check.fields[i].type, expected[i].second);
  }
  EXPECT_EQ(check.fields[1].size, 1);
  EXPECT_EQ(check.fields[2].size, 0);
}

TEST(DesignedColumns, PairsKeptColumnsByPositionAndNeverReadsPastTheColumns) {
  DesignerState state;
  state.stored.columns.resize(3);
  state.entries = {field("a", ""), field("bb ", ""), deletedField("c"), newField("d", "")};
  const std::vector<SqliteFieldInfo> fields{{"a", 0, 0}, {"bb", 0, 0}, {"d", 0, 0}};
  const auto columns = designedColumns(state, fields);
  ASSERT_TRUE(columns);
  ASSERT_EQ(columns->size(), 3u);
  EXPECT_EQ((*columns)[0].existing, 0u);
  EXPECT_EQ((*columns)[1].existing, 1u);
  EXPECT_EQ((*columns)[1].field.name, "bb");
  EXPECT_EQ((*columns)[2].existing, std::nullopt);
  // An entry standing for a column the table does not have: nothing is guessed.
  state.stored.columns.resize(1);
  EXPECT_EQ(designedColumns(state, fields), std::nullopt);
  state.stored.columns.clear();
  state.entries = {newField("x", "")};
  EXPECT_TRUE(designedColumns(state, {{"x", 0, 0}}));
}

class CreateTable : public testing::SchemaTest {
 protected:
  Outcome create(std::optional<std::string> name) {
    prompts_.texts = {std::move(name)};
    trace_.clear();
    return createDesignedTable(db_, fields_, prompts_.askText());
  }

  std::vector<SqliteFieldInfo> fields_{{"id", -1, 0}, {"name", 10, 20}, {"note", 0, 0}};
  testing::ScriptedPrompts prompts_;
};

TEST_F(CreateTable, AsksForTheNameAndCreates) {
  const Outcome outcome = create("t2");
  ASSERT_EQ(prompts_.inputs.size(), 1u);
  EXPECT_EQ(prompts_.inputs[0].prompt, "请输入要创建的表名称：");
  EXPECT_EQ(prompts_.inputs[0].title, "");
  EXPECT_EQ(prompts_.inputs[0].initialText, "");
  ASSERT_TRUE(outcome.notice);
  EXPECT_EQ(outcome.notice->text, "已成功创建表“t2”！");
  EXPECT_EQ(outcome.notice->flags, 0);
  EXPECT_TRUE(outcome.reloadStructureTree && outcome.closeDesigner);
  EXPECT_EQ(trace_.changes(),
            Strings{"CREATE TABLE t2 (id INTEGER PRIMARY KEY, name TEXT(20), note)"});
}

TEST_F(CreateTable, RefusalsKeepTheDesignerOpen) {
  run("CREATE TABLE abc (x)");
  run("CREATE VIEW v AS SELECT 1");
  struct Case {
    std::optional<std::string> name;
    std::optional<std::string> message;
  } cases[] = {
      {std::nullopt, std::nullopt},
      {" \xE3\x80\x80", "表名称不能为空！"},
      {"a_c", "表“a_c”已经存在于数据库中！"},
      {"ABC", "表“ABC”已经存在于数据库中！"},
      {"v", "表“v”已经存在于数据库中！"},
      {" abc", "创建表失败，错误信息如下：\r\n\r\ntable abc already exists"},
  };
  for (const Case& c : cases) {
    const Outcome outcome = create(c.name);
    EXPECT_EQ(outcome.notice.has_value(), c.message.has_value());
    if (outcome.notice && c.message) {
      EXPECT_EQ(outcome.notice->text, *c.message);
      EXPECT_EQ(outcome.notice->flags, 0);
    }
    EXPECT_FALSE(outcome.closeDesigner);
  }
  EXPECT_EQ(objectNames(), (Strings{"abc", "v"}));
}

TEST_F(CreateTable, ConfirmInCreateModeValidatesFirst) {
  DesignerState state;
  state.entries = {field("a", "整数型"), field("", "")};
  Outcome outcome = confirmDesign(db_, state, prompts_.askText(), 1);
  EXPECT_EQ(outcome.currentCell, (GridCell{2, 1}));
  EXPECT_TRUE(prompts_.inputs.empty());
  state.entries.pop_back();
  prompts_.texts = {"n"};
  outcome = confirmDesign(db_, state, prompts_.askText(), 1);
  EXPECT_TRUE(outcome.closeDesigner);
  EXPECT_EQ(db_.tableSql("n"), "CREATE TABLE n (a INTEGER)");
}

}  // namespace
}  // namespace tabulor::schema
