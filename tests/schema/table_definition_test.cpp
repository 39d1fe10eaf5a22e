#include "schema/core/table_definition.h"

#include <gtest/gtest.h>

#include "schema/core/designer.h"
#include "schema_fixture.h"
#include "sqlitedb/text_scanning.h"

namespace tabulor::schema {
namespace {

// What the designer shows of a column: its name, type name and length.
struct FieldRow {
  std::string name;
  std::string typeName;
  std::int32_t length = 0;

  bool operator==(const FieldRow&) const = default;
};

void PrintTo(const FieldRow& row, std::ostream* out) {
  *out << "{" << row.name << ", " << row.typeName << ", " << row.length << "}";
}

using Columns = std::vector<FieldRow>;

// The designer's rows for a stored statement: none without a column list.
Columns rowsOf(std::string_view sql) {
  Columns rows;
  if (const auto table = readTableDefinition(sql))
    for (const StoredColumn& column : table->columns)
      rows.push_back({column.name, column.typeName, column.length});
  return rows;
}

TEST(ParseTableDefinition, StoredDefinitionsToFieldRows) {
  testing::CodePageScope page("UTF-8");
  struct Case {
    std::string sql;
    Columns columns;
  } cases[] = {
      {"CREATE TABLE t (id INTEGER PRIMARY KEY, name TEXT(20), note)",
       {{"id", "主键（自增字段）", 0}, {"name", "文本型", 20}, {"note", "", 0}}},
      // Line breaks, tabs and comments are blanks around the pieces.
      {"CREATE TABLE t (\n  id INTEGER,\n\tname TEXT -- the name, shown\n)",
       {{"id", "整数型", 0}, {"name", "文本型", 0}}},
      {"CREATE TABLE t (/* a, b */ a INT /* , c */, b)", {{"a", "整数型", 0}, {"b", "", 0}}},
      // Commas inside a type's parentheses, a CHECK and a DEFAULT text do not split.
      {"CREATE TABLE p (price DECIMAL(10,2), n NUMERIC(10, 2) CHECK (n IN (1,2)), "
       "d TEXT DEFAULT 'a,b')",
       {{"price", "", 10}, {"n", "小数型", 10}, {"d", "文本型", 0}}},
      // Table constraints are no fields, with or without commas between them.
      {"CREATE TABLE k (a INT, b INT, PRIMARY KEY (a, b) UNIQUE (b), CONSTRAINT f FOREIGN KEY "
       "(a) REFERENCES p(id), CHECK (a > b))",
       {{"a", "整数型", 0}, {"b", "整数型", 0}}},
      // A quoted name is one name, blanks and commas included.
      {"CREATE TABLE q ([my name] TEXT, \"a \"\"b\"\"\" INT, `c,d` VARCHAR(8), 'e f')",
       {{"my name", "文本型", 0}, {"a \"b\"", "整数型", 0}, {"c,d", "文本型", 8}, {"e f", "", 0}}},
      // The designer's primary key only when nothing but PRIMARY KEY follows the type.
      {"CREATE TABLE k (a integer primary key, b INTEGER PRIMARY KEY AUTOINCREMENT, "
       "c INTEGER NOT NULL, d PRIMARY KEY)",
       {{"a", "主键（自增字段）", 0}, {"b", "整数型", 0}, {"c", "整数型", 0}, {"d", "", 0}}},
      {"CREATE TABLE g (a INT, b INT GENERATED ALWAYS AS (a * 2) STORED, c AS (a + 1))",
       {{"a", "整数型", 0}, {"b", "整数型", 0}, {"c", "", 0}}},
      {"CREATE TABLE w (k TEXT PRIMARY KEY, v) WITHOUT ROWID", {{"k", "文本型", 0}, {"v", "", 0}}},
      {"CREATE TABLE x (a,,b)", {{"a", "", 0}, {"b", "", 0}}},
      {"CREATE TABLE x (a,)", {{"a", "", 0}}},
      {"CREATE TABLE x (a, )", {{"a", "", 0}}},
      {"CREATE TABLE x (n TEXT( 20 ), m TEXT(1.9), o TEXT(abc), p VARCHAR (8))",
       {{"n", "文本型", 20}, {"m", "文本型", 1}, {"o", "文本型", 0}, {"p", "文本型", 8}}},
      // The engine takes the full-width blank as part of a name; the type still reads.
      {"CREATE TABLE x (\xE3\x80\x80名称\xE3\x80\x80 \xE3\x80\x80TEXT\xE3\x80\x80)",
       {{"\xE3\x80\x80名称\xE3\x80\x80", "文本型", 0}}},
      {"CREATE TABLE \"a(b\" (c)", {{"c", "", 0}}},
      {"CREATE VIRTUAL TABLE v USING fts5(a, b)", {}},
      {"CREATE TABLE x", {}},
      {"CREATE TABLE x )(", {}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(rowsOf(c.sql), c.columns) << c.sql;
}

TEST(ParseTableDefinition, ColumnsKeepTheirTextAsWritten) {
  struct Case {
    std::string piece;
    std::string writtenName, typeText, constraints;
  } cases[] = {
      {"  [Id] INTEGER  NOT NULL", "[Id]", "INTEGER", "NOT NULL"},
      {"\"price\" decimal(10, 2) NOT NULL DEFAULT 0", "\"price\"", "decimal(10, 2)",
       "NOT NULL DEFAULT 0"},
      {"id INTEGER\n PRIMARY KEY -- key\n", "id", "INTEGER\n PRIMARY KEY", ""},
      {"n UNSIGNED BIG INT COLLATE NOCASE", "n", "UNSIGNED BIG INT", "COLLATE NOCASE"},
      {"c AS (a + 1)", "c", "", "AS (a + 1)"},
      {"only", "only", "", ""},
  };
  for (const Case& c : cases) {
    const StoredColumn column = readColumnDefinition(c.piece);
    EXPECT_EQ(column.writtenName, c.writtenName) << c.piece;
    EXPECT_EQ(column.typeText, c.typeText) << c.piece;
    EXPECT_EQ(column.constraints, c.constraints) << c.piece;
  }
  const auto table = readTableDefinition(
      "CREATE TABLE t (a, b, CONSTRAINT pk PRIMARY KEY (a) CHECK (b <> ''), UNIQUE (b)) "
      "STRICT, WITHOUT ROWID");
  ASSERT_TRUE(table);
  EXPECT_EQ(table->constraints, (std::vector<std::string>{"CONSTRAINT pk PRIMARY KEY (a)",
                                                          "CHECK (b <> '')", "UNIQUE (b)"}));
  EXPECT_EQ(table->options, "STRICT, WITHOUT ROWID");
  EXPECT_TRUE(table->withoutRowid);
}

// In GBK the second byte of 乚 is "]" and that of 乣 is "`": a name must not end there.
TEST(ParseTableDefinition, DoubleByteCharactersAreSteppedOverWhole) {
  testing::CodePageScope page("GBK");
  const std::string sql =
      programTextFromUtf8("CREATE TABLE t ([乚号] TEXT, `乣,名` INT, 价格 NUMERIC)");
  EXPECT_EQ(rowsOf(sql),
            (Columns{{programTextFromUtf8("乚号"), programTextFromUtf8("文本型"), 0},
                     {programTextFromUtf8("乣,名"), programTextFromUtf8("整数型"), 0},
                     {programTextFromUtf8("价格"), programTextFromUtf8("小数型"), 0}}));
}

TEST(ParseTableDefinition, PieceSplitKeepsEmptyPiecesButNoEmptyTail) {
  EXPECT_EQ(splitDefinitionBody(""), std::vector<std::string>{});
  EXPECT_EQ(splitDefinitionBody(",,"), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(splitDefinitionBody("a, b"), (std::vector<std::string>{"a", " b"}));
  EXPECT_EQ(splitDefinitionBody("a (1,2), 'x,y' -- z,\n, [p,q]"),
            (std::vector<std::string>{"a (1,2)", " 'x,y' -- z,\n", " [p,q]"}));
  const auto table = readTableDefinition("CREATE TABLE t (a (1), b)");
  ASSERT_TRUE(table);
  ASSERT_EQ(table->columns.size(), 2u);
  EXPECT_EQ(table->columns[0].writtenName, "a");
  EXPECT_EQ(table->columns[1].writtenName, "b");
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

// The designer would show such a table empty: it closes at once with the engine's reason.
TEST_F(LoadDefinition, ATableTheCursorCannotReadClosesTheWindowWithTheReason) {
  // Names go into the cursor's statements unquoted, so a blank in one defeats it.
  run("CREATE TABLE \"my t\" (a, b)");
  run("CREATE TABLE \"x; y\" (a)");
  const std::pair<const char*, const char*> cases[] = {
      {"my t", "no such table: my"},
      {"x; y", "名称中含有分号、注释或未闭合的引号，不能用在语句中。"},
  };
  for (const auto& [table, reason] : cases) {
    SCOPED_TRACE(table);
    const DesignerOpening opening = openOn(table);
    EXPECT_TRUE(opening.closeWindow);
    ASSERT_TRUE(opening.notice);
    EXPECT_EQ(testing::messageOf(*opening.notice),
              std::string("不能读取表 ") + table + "，不能用设计器修改。");
    EXPECT_EQ(testing::engineDetail(*opening.notice), reason);
  }
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
