#include "schema/table_definition.h"

#include <gtest/gtest.h>

#include "schema/designer.h"
#include "schema_fixture.h"

namespace tabulor::schema {
namespace {

using Columns = std::vector<ParsedColumn>;

TEST(ParseTableDefinition, StoredDefinitionsToFieldRows) {
  testing::CodePageScope page("UTF-8");
  struct Case {
    std::string sql;
    Columns columns;
  } cases[] = {
      {"CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT(20), note)",
       {{"id", "主键（自增字段）", 0}, {"name", "文本型", 20}, {"note", "", 0}}},
      // Line breaks are no blanks: the name ends at the first space, after the break.
      {"CREATE TABLE t (\n  id INTEGER,\n  name TEXT\n)", {{"\n", "", 0}, {"\n", "", 0}}},
      // Commas split blindly, inside a type's parentheses too.
      {"CREATE TABLE p (price DECIMAL(10,2))", {{"price", "", 0}, {"2)", "", 0}}},
      {"CREATE TABLE k (a INT, b INT, PRIMARY KEY (a, b))",
       {{"a", "整数型", 0}, {"b", "整数型", 0}, {"PRIMARY", "", 0}, {"b)", "", 0}}},
      {"CREATE TABLE x (a,,b)", {{"a", "", 0}, {"", "", 0}, {"b", "", 0}}},
      {"CREATE TABLE x (a,)", {{"a", "", 0}}},
      {"CREATE TABLE x (a, )", {{"a", "", 0}, {"", "", 0}}},
      {"CREATE TABLE x (n TEXT( 20 ), m TEXT(1.9), o TEXT(abc), p VARCHAR (8))",
       {{"n", "文本型", 20}, {"m", "文本型", 1}, {"o", "文本型", 0}, {"p", "文本型", 8}}},
      {"CREATE TABLE x (\xE3\x80\x80名称\xE3\x80\x80 \xE3\x80\x80TEXT\xE3\x80\x80)",
       {{"名称", "文本型", 0}}},
      {"CREATE TABLE x", {}},
      {"CREATE TABLE x )(", {}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(parseTableDefinition(c.sql), c.columns) << c.sql;
}

TEST(ParseTableDefinition, PieceSplitKeepsEmptyPiecesButNoEmptyTail) {
  EXPECT_EQ(splitDefinitionBody(""), std::vector<std::string>{});
  EXPECT_EQ(splitDefinitionBody(",,"), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(splitDefinitionBody("a, b"), (std::vector<std::string>{"a", " b"}));
  EXPECT_EQ(definitionBody("CREATE TABLE t (a (1), b)"), "a (1), b");
}

class LoadDefinition : public testing::SchemaTest {
 protected:
  DesignerState state_;
  DesignerGrid grid_;
  SqliteTable cursor_;

  DesignerOpening openOn(const std::string& table) {
    state_.mode = DesignerMode::Modify;
    state_.targetTable = table;
    return openDesigner(state_, grid_, db_, cursor_);
  }
};

TEST_F(LoadDefinition, ExistingTableFillsGridEntriesAndColumns) {
  run("CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT(20), note)");
  cursor_.open("t", db_);
  const DesignerOpening opening = openOn("t");
  EXPECT_EQ(opening.caption, "修改表 - t");
  EXPECT_FALSE(opening.notice);
  using Row = std::array<std::string, 4>;
  const std::vector<Row> expected{{"序号", "字段名称", "字段类型", "最大文本长度"},
                                  {"1", "id", "主键（自增字段）", "0"},
                                  {"2", "name", "文本型", "20"},
                                  {"3", "note", "", "0"}};
  EXPECT_EQ(grid_.rows, expected);
  EXPECT_EQ(state_.existingColumns, (std::vector<std::string>{"id", "name", "note"}));
  ASSERT_EQ(state_.entries.size(), 3u);
  EXPECT_EQ(state_.entries[1].name, "name");
  EXPECT_EQ(state_.entries[1].typeText, "文本型");
  EXPECT_EQ(state_.entries[1].maxLengthText, "20");
  EXPECT_FALSE(state_.entries[1].isNew || state_.entries[1].deleted);
  EXPECT_EQ((GridCell{grid_.currentRow, grid_.currentColumn}), (GridCell{1, 1}));
  // The borrowed cursor is left closed for the data view to reopen.
  EXPECT_FALSE(cursor_.isOpen());
}

TEST_F(LoadDefinition, MissingTableClosesTheWindowWithItsMessage) {
  const DesignerOpening opening = openOn("gone");
  ASSERT_TRUE(opening.notice);
  EXPECT_EQ(opening.notice->text, "不存在表：gone！");
  EXPECT_EQ(opening.notice->flags, MessageFlags::ErrorIcon);
  EXPECT_TRUE(opening.closeWindow);
}

TEST_F(LoadDefinition, CursorThatCannotOpenLeavesOneEmptyRowAndOldColumns) {
  // Names go into the cursor's statements unquoted, so a blank in one defeats it.
  run("CREATE TABLE \"my t\" (a, b)");
  state_.existingColumns = {"left", "over"};
  const DesignerOpening opening = openOn("my t");
  EXPECT_FALSE(opening.notice);
  ASSERT_EQ(grid_.rowCount(), 2);
  EXPECT_EQ(grid_.cell(1, DesignerGrid::kName), "");
  EXPECT_EQ(state_.existingColumns, (std::vector<std::string>{"left", "over"}));
  EXPECT_EQ(state_.entries.size(), 1u);
}

TEST_F(LoadDefinition, CreateModeOpensWithOneEmptyNumberedRow) {
  state_.mode = DesignerMode::Create;
  const DesignerOpening opening = openDesigner(state_, grid_, db_, cursor_);
  EXPECT_EQ(opening.caption, "创建表");
  ASSERT_EQ(grid_.rowCount(), 2);
  EXPECT_EQ(grid_.cell(1, 0), "1");
  EXPECT_EQ(state_.entries.size(), 1u);
  EXPECT_TRUE(objectNames().empty());
}

}  // namespace
}  // namespace tabulor::schema
