// Tables written by other tools, altered through the designer: every case
// reads back as the engine's own column list, and pressing OK unchanged, or
// after adding, renaming or deleting one column, keeps everything else.
#include <gtest/gtest.h>

#include <algorithm>

#include "schema/core/table_design.h"
#include "schema_fixture.h"

namespace tabulor::schema {
namespace {

using testing::Rows;
using Strings = std::vector<std::string>;

struct DefinitionCase {
  std::string label;
  std::string table;
  std::string schema;  // the table, its parents, indexes, triggers and rows
  Rows designerRows;   // name, type, length
  int renamedRow;
  std::string newName;
  std::string afterRename;  // a statement that must work on the renamed table
  int deletedRow;
  Strings dropped;  // what deleting that row's column drops, as named to the user
};

const DefinitionCase kCases[] = {
    {"BracketedTeachingSample",
     "Invoice",
     "CREATE TABLE [Customer] ([CustomerId] INTEGER PRIMARY KEY);"
     "CREATE TABLE [Employee] ([EmployeeId] INTEGER PRIMARY KEY);"
     "CREATE TABLE [Invoice]\n(\n"
     "    [InvoiceId] INTEGER  NOT NULL,\n"
     "    [CustomerId] INTEGER  NOT NULL,\n"
     "    [BillingCity] NVARCHAR(40),\n"
     "    [Total] NUMERIC(10,2)  NOT NULL,\n"
     "    [SupportRepId] INTEGER,\n"
     "    CONSTRAINT [PK_Invoice] PRIMARY KEY  ([InvoiceId]),\n"
     "    FOREIGN KEY ([CustomerId]) REFERENCES [Customer] ([CustomerId]) \n"
     "\t\tON DELETE NO ACTION ON UPDATE NO ACTION,\n"
     "    FOREIGN KEY ([SupportRepId]) REFERENCES [Employee] ([EmployeeId]) \n"
     "\t\tON DELETE NO ACTION ON UPDATE NO ACTION\n);"
     "CREATE INDEX [IFK_InvoiceCustomerId] ON [Invoice] ([CustomerId]);"
     "CREATE INDEX [IFK_InvoiceSupportRepId] ON [Invoice] ([SupportRepId]);"
     "INSERT INTO Customer VALUES (1), (2); INSERT INTO Employee VALUES (7);"
     "INSERT INTO Invoice VALUES (10, 1, '北京', 3.96, 7), (11, 2, 'Oslo, Norway', 0.99, NULL);",
     {{"InvoiceId", "整数型", "0"},
      {"CustomerId", "整数型", "0"},
      {"BillingCity", "", "40"},
      {"Total", "小数型", "10"},
      {"SupportRepId", "整数型", "0"}},
     2,
     "ClientId",
     "INSERT INTO Invoice (InvoiceId, ClientId, Total) VALUES (12, 2, 1)",
     5,
     {"表约束 FOREIGN KEY ([SupportRepId]) REFERENCES [Employee] ([EmployeeId]) \n"
      "\t\tON DELETE NO ACTION ON UPDATE NO ACTION",
      "索引 IFK_InvoiceSupportRepId"}},
    {"OrmWithAutoincrementIndexAndTrigger",
     "shop_product",
     "CREATE TABLE \"shop_category\" (\"id\" integer NOT NULL PRIMARY KEY AUTOINCREMENT);"
     "CREATE TABLE shop_log (product INTEGER, price);"
     "CREATE TABLE \"shop_product\" (\"id\" integer NOT NULL PRIMARY KEY AUTOINCREMENT, "
     "\"name\" varchar(150) NOT NULL UNIQUE, \"price\" decimal(10, 2) NOT NULL DEFAULT 0, "
     "\"category_id\" bigint NULL REFERENCES \"shop_category\" (\"id\") DEFERRABLE INITIALLY "
     "DEFERRED);"
     "CREATE INDEX \"shop_product_category_id_idx\" ON \"shop_product\" (\"category_id\");"
     "CREATE TRIGGER shop_product_log AFTER UPDATE OF \"price\" ON \"shop_product\" BEGIN "
     "INSERT INTO shop_log (product, price) VALUES (new.id, new.\"price\"); END;"
     "INSERT INTO shop_category DEFAULT VALUES;"
     "INSERT INTO shop_product (name, price, category_id) VALUES ('茶', 2.5, 1), ('a,b', 10, 1), "
     "('gone', 1, NULL);"
     "DELETE FROM shop_product WHERE name = 'gone';",
     {{"id", "整数型", "0"},
      {"name", "文本型", "150"},
      {"price", "", "10"},
      {"category_id", "", "0"}},
     3,
     "cost",
     "UPDATE shop_product SET cost = cost + 1",
     4,
     {"索引 shop_product_category_id_idx"}},
    {"WithoutRowid",
     "kv",
     "CREATE TABLE kv (k TEXT NOT NULL, part INTEGER NOT NULL, v BLOB, note TEXT, "
     "PRIMARY KEY (k, part)) WITHOUT ROWID;"
     "INSERT INTO kv VALUES ('b', 2, x'01', 'n1'), ('a', 9, NULL, 'n2'), ('b', 1, x'', 'n3');",
     {{"k", "文本型", "0"},
      {"part", "整数型", "0"},
      {"v", "字节集型", "0"},
      {"note", "文本型", "0"}},
     3,
     "value",
     "INSERT INTO kv (k, part, value) VALUES ('c', 1, x'02')",
     4,
     {}},
    {"Strict",
     "s",
     "CREATE TABLE s (id INTEGER PRIMARY KEY, n INT NOT NULL, r REAL, t TEXT) STRICT;"
     "INSERT INTO s VALUES (1, 5, 2.0, 'x'), (2, 6, NULL, NULL);",
     {{"id", "主键（自增字段）", "0"}, {"n", "整数型", "0"}, {"r", "", "0"}, {"t", "文本型", "0"}},
     3,
     "ratio",
     "INSERT INTO s (id, n, ratio) VALUES (3, 1, 0.5)",
     4,
     {}},
    {"GeneratedColumns",
     "g",
     "CREATE TABLE g (a INTEGER, b INTEGER, total INTEGER GENERATED ALWAYS AS (a + b) STORED, "
     "half AS (a / 2.0), note TEXT);"
     "INSERT INTO g (a, b, note) VALUES (1, 2, 'p'), (4, 5, 'q');",
     {{"a", "整数型", "0"},
      {"b", "整数型", "0"},
      {"total", "整数型", "0"},
      {"half", "", "0"},
      {"note", "文本型", "0"}},
     1,
     "x",
     "INSERT INTO g (x, b) SELECT total, half FROM g WHERE x = 1",
     5,
     {}},
    {"NamesWithBlanks",
     "b",
     "CREATE TABLE b ([a name with blanks] TEXT, [other one] INTEGER CHECK ([other one] >= 0), "
     "plain);"
     "INSERT INTO b VALUES ('v w', 3, 'p');",
     {{"a name with blanks", "文本型", "0"}, {"other one", "整数型", "0"}, {"plain", "", "0"}},
     2,
     "other two",
     "INSERT INTO b (\"other two\") VALUES (4)",
     1,
     {}},
    {"CheckAndDefaultWithCommas",
     "c",
     "CREATE TABLE c (x INTEGER CHECK (x IN (1,2)), y TEXT DEFAULT 'a,b', z REAL, "
     "CHECK (y <> 'c,d'));"
     "INSERT INTO c (x, z) VALUES (1, 2.0), (2, 0.5);",
     {{"x", "整数型", "0"}, {"y", "文本型", "0"}, {"z", "", "0"}},
     1,
     "xx",
     "INSERT INTO c (xx) VALUES (2)",
     2,
     {"表约束 CHECK (y <> 'c,d')"}},
    {"TriggersWritingTheTableItself",
     "note",
     "CREATE TABLE note (id INTEGER PRIMARY KEY, body TEXT, changed INTEGER DEFAULT 0, tag TEXT);"
     "CREATE TRIGGER note_touch AFTER UPDATE OF body ON note BEGIN "
     "UPDATE note SET changed = changed + 1 WHERE id = new.id; END;"
     "CREATE TRIGGER note_tag AFTER INSERT ON note WHEN new.tag IS NULL BEGIN "
     "UPDATE note SET tag = 'none' WHERE id = new.id; END;"
     "INSERT INTO note (body) VALUES ('a'), ('b');",
     {{"id", "主键（自增字段）", "0"},
      {"body", "文本型", "0"},
      {"changed", "整数型", "0"},
      {"tag", "文本型", "0"}},
     3,
     "edits",
     "UPDATE note SET body = body || '!'",
     4,
     {"触发器 note_tag"}},
    {"CommentsInside",
     "m",
     "CREATE TABLE m (\n"
     "  -- identity\n"
     "  id INTEGER PRIMARY KEY, /* row id, never reused */\n"
     "  label TEXT NOT NULL COLLATE NOCASE, -- shown, sorted\n"
     "  made DATETIME DEFAULT CURRENT_TIMESTAMP,\n"
     "  flag BOOLEAN\n"
     ");"
     "CREATE UNIQUE INDEX m_label ON m (label) WHERE flag;"
     "INSERT INTO m (id, label, made, flag) VALUES (5, 'A', '2024-01-01', 1), (9, 'b', NULL, 0);",
     {{"id", "主键（自增字段）", "0"},
      {"label", "文本型", "0"},
      {"made", "", "0"},
      {"flag", "", "0"}},
     2,
     "title",
     "INSERT INTO m (title, flag) VALUES ('a', 0)",
     4,
     {"索引 m_label"}},
};

void PrintTo(const DefinitionCase& c, std::ostream* out) { *out << c.label; }

// What the engine says of the table, all of which a rebuild must keep.
struct TableFacts {
  Rows columns, foreignKeys, indexes, triggers, options, data, sequence;
  bool operator==(const TableFacts&) const = default;
};

class RealDefinitions : public testing::DesignerTest,
                        public ::testing::WithParamInterface<DefinitionCase> {
 protected:
  void SetUp() override {
    run(GetParam().schema);
    run("PRAGMA foreign_keys=ON");
    open(GetParam().table);
    before_ = facts();
  }

  TableFacts facts() {
    const std::string t = "'" + GetParam().table + "'";
    TableFacts f;
    f.columns = rows(
        "SELECT name, type, \"notnull\", dflt_value, pk, hidden "
        "FROM pragma_table_xinfo(" +
        t + ")");
    f.foreignKeys = rows(
        "SELECT \"table\", \"from\", \"to\", on_update, on_delete, \"match\" "
        "FROM pragma_foreign_key_list(" +
        t + ") ORDER BY \"from\"");
    f.indexes = rows(
        "SELECT l.name, l.\"unique\", l.origin, l.partial, (SELECT group_concat(name) "
        "FROM pragma_index_info(l.name)) FROM pragma_index_list(" +
        t + ") AS l ORDER BY l.name");
    f.triggers =
        rows("SELECT name, sql FROM sqlite_master WHERE type = 'trigger' AND tbl_name = " + t +
             " ORDER BY name");
    f.options = rows("SELECT type, wr, strict FROM pragma_table_list(" + t + ")");
    const bool withoutRowid = !f.options.empty() && f.options[0][1] == "1";
    f.data = rows("SELECT * FROM " + GetParam().table +
                  (withoutRowid ? " ORDER BY 1, 2" : " ORDER BY _ROWID_"));
    if (!rows("SELECT 1 FROM sqlite_master WHERE name = 'sqlite_sequence'").empty())
      f.sequence = rows("SELECT seq FROM sqlite_sequence WHERE name = " + t);
    return f;
  }

  void expectSuccess(const Outcome& outcome, const Strings& dropped = {}) {
    ASSERT_TRUE(outcome.notice);
    std::string text = "修改表 " + GetParam().table + " 成功！";
    if (!dropped.empty()) text += "\r\n\r\n以下各项引用了已删除的字段，已随之删除：";
    for (const std::string& item : dropped) text += "\r\n" + item;
    EXPECT_EQ(outcome.notice->text, text) << outcome.notice->text;
    EXPECT_TRUE(outcome.closeDesigner);
    EXPECT_EQ(rows("SELECT count(*) FROM sqlite_master WHERE name LIKE '\\_\\_temp%' ESCAPE '\\'"),
              (Rows{{"0"}}));
    EXPECT_EQ(rows("PRAGMA foreign_keys"), (Rows{{"1"}}));
  }

  // Replaces a whole name in a comma-separated list of names.
  static std::string renamedInList(const std::string& list, const std::string& from,
                                   const std::string& to) {
    std::string result;
    std::size_t start = 0;
    while (start <= list.size()) {
      const std::size_t comma = std::min(list.find(',', start), list.size());
      const std::string name = list.substr(start, comma - start);
      result += (start ? "," : "") + (name == from ? to : name);
      start = comma + 1;
    }
    return result;
  }

  TableFacts before_;
};

TEST_P(RealDefinitions, DesignerShowsExactlyTheTablesColumns) {
  Rows shown;
  for (int row = 1; row < grid_.rowCount(); ++row)
    shown.push_back({grid_.cell(row, DesignerGrid::kName), grid_.cell(row, DesignerGrid::kType),
                     grid_.cell(row, DesignerGrid::kMaxLength)});
  EXPECT_EQ(shown, GetParam().designerRows);
  Rows names;
  for (const auto& row : shown) names.push_back({row[0]});
  EXPECT_EQ(names, rows("SELECT name FROM pragma_table_xinfo('" + GetParam().table + "')"));
}

TEST_P(RealDefinitions, OkUnchangedKeepsEverything) {
  expectSuccess(confirm());
  EXPECT_EQ(facts(), before_);
}

TEST_P(RealDefinitions, AddingAColumnKeepsTheRest) {
  append("added", "整数型", "0");
  expectSuccess(confirm());
  TableFacts expected = before_;
  expected.columns.push_back({"added", "INTEGER", "0", "", "0", "0"});
  for (auto& row : expected.data) row.push_back("");
  EXPECT_EQ(facts(), expected);
}

TEST_P(RealDefinitions, RenamingAColumnKeepsTheRestAndFollowsTheName) {
  const DefinitionCase& c = GetParam();
  const std::string oldName = grid_.cell(c.renamedRow, DesignerGrid::kName);
  edit(c.renamedRow, DesignerGrid::kName, c.newName);
  expectSuccess(confirm());
  TableFacts expected = before_;
  expected.columns[static_cast<std::size_t>(c.renamedRow - 1)][0] = c.newName;
  for (auto& key : expected.foreignKeys)
    if (key[1] == oldName) key[1] = c.newName;
  for (auto& index : expected.indexes) index[4] = renamedInList(index[4], oldName, c.newName);
  TableFacts actual = facts();
  // Triggers are written again with the new name: the statement below uses them.
  EXPECT_EQ(actual.triggers.size(), expected.triggers.size());
  actual.triggers = expected.triggers;
  EXPECT_EQ(actual, expected);
  run(c.afterRename);
  EXPECT_EQ(rows("PRAGMA foreign_key_check"), Rows{});
}

TEST_P(RealDefinitions, DeletingAColumnKeepsTheRestAndNamesWhatItDrops) {
  const DefinitionCase& c = GetParam();
  const auto deleted = static_cast<std::size_t>(c.deletedRow - 1);
  const std::string name = grid_.cell(c.deletedRow, DesignerGrid::kName);
  remove(c.deletedRow);
  expectSuccess(confirm(), c.dropped);
  TableFacts expected = before_;
  expected.columns.erase(expected.columns.begin() + static_cast<std::ptrdiff_t>(deleted));
  std::erase_if(expected.foreignKeys, [&](const auto& key) { return key[1] == name; });
  auto isDropped = [&](const std::string& item) {
    return std::find(c.dropped.begin(), c.dropped.end(), item) != c.dropped.end();
  };
  std::erase_if(expected.indexes, [&](const auto& index) { return isDropped("索引 " + index[0]); });
  std::erase_if(expected.triggers,
                [&](const auto& trigger) { return isDropped("触发器 " + trigger[0]); });
  for (auto& row : expected.data) row.erase(row.begin() + static_cast<std::ptrdiff_t>(deleted));
  EXPECT_EQ(facts(), expected);
}

INSTANTIATE_TEST_SUITE_P(OtherTools, RealDefinitions, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.label; });

}  // namespace
}  // namespace tabulor::schema
