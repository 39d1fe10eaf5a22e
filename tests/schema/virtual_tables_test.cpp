// Virtual tables and the tables their modules keep their data in (full-text, R*Tree)
// belong to the module: the table commands leave them alone and say whose they are.
#include "schema/core/virtual_tables.h"

#include <string>

#include <gtest/gtest.h>

#include "schema/core/designer.h"
#include "schema/core/object_commands.h"
#include "schema_fixture.h"

namespace tabulor::schema {
namespace {

using testing::Rows;

class VirtualTables : public testing::SchemaTest {
 protected:
  void SetUp() override {
    run("CREATE VIRTUAL TABLE docs_fts USING fts5(title, body);"
        "INSERT INTO docs_fts VALUES ('一', 'alpha beta'), ('二', 'gamma');"
        "CREATE VIRTUAL TABLE ftsidx USING fts4(body);"
        "INSERT INTO ftsidx VALUES ('delta');"
        "CREATE VIRTUAL TABLE old_fts USING fts3(body);"
        "INSERT INTO old_fts VALUES ('epsilon');"
        "CREATE VIRTUAL TABLE rtree_places USING rtree(id, minx, maxx);"
        "INSERT INTO rtree_places VALUES (1, 0, 1);"
        // Names of the same shape that no module keeps.
        "CREATE TABLE notes (a); CREATE TABLE notes_data (a); INSERT INTO notes_data VALUES (1);"
        "CREATE TABLE docs_fts_extra (a); INSERT INTO docs_fts_extra VALUES (2);");
  }

  // Everything stored, and what the virtual tables answer.
  Rows contents() {
    Rows all = rows("SELECT type, name, sql FROM sqlite_master ORDER BY name");
    for (const char* query :
         {"SELECT rowid FROM docs_fts WHERE docs_fts MATCH 'gamma'",
          "SELECT count(*) FROM ftsidx WHERE body MATCH 'delta'",
          "SELECT count(*) FROM old_fts WHERE body MATCH 'epsilon'",
          "SELECT id FROM rtree_places WHERE minx >= 0", "PRAGMA integrity_check"})
      for (const auto& row : rows(query)) all.push_back(row);
    return all;
  }

  // The designer opening on an existing table, as 修改表 opens it.
  DesignerOpening openDesignerOn(const std::string& table) {
    DesignerState state;
    state.mode = DesignerMode::Modify;
    state.targetTable = table;
    DesignerGrid grid;
    SqliteTable cursor;
    return openDesigner(state, grid, db_, cursor);
  }

  testing::ScriptedPrompts prompts_;
};

struct ShadowCase {
  const char* table;
  const char* owner;
};

const ShadowCase kShadowTables[] = {
    {"docs_fts_data", "docs_fts"},
    {"docs_fts_idx", "docs_fts"},
    {"docs_fts_content", "docs_fts"},
    {"docs_fts_docsize", "docs_fts"},
    {"docs_fts_config", "docs_fts"},
    {"ftsidx_segdir", "ftsidx"},
    {"ftsidx_segments", "ftsidx"},
    {"ftsidx_stat", "ftsidx"},
    {"ftsidx_docsize", "ftsidx"},
    {"ftsidx_content", "ftsidx"},
    {"old_fts_content", "old_fts"},
    {"old_fts_segdir", "old_fts"},
    {"old_fts_segments", "old_fts"},
    {"rtree_places_node", "rtree_places"},
    {"rtree_places_parent", "rtree_places"},
    {"rtree_places_rowid", "rtree_places"},
};

TEST_F(VirtualTables, TableCommandsRefuseShadowTablesNamingTheirVirtualTable) {
  const Rows before = contents();
  for (const ShadowCase& c : kShadowTables) {
    SCOPED_TRACE(c.table);
    const std::string lead = std::string("表 ") + c.table + " 是虚拟表 " + c.owner +
                             " 的内部存储表，由该虚拟表自己维护，不能";
    trace_.clear();
    const Outcome drop =
        dropObject(db_, ObjectKind::Table, {c.table, true, false}, prompts_.askYes());
    ASSERT_TRUE(drop.notice);
    EXPECT_EQ(*drop.notice, plainNotice(lead + "删除。", MessageFlags::ErrorIcon));
    EXPECT_TRUE(drop.clearDataView);
    const Outcome clear = clearTable(db_, c.table, prompts_.askYes());
    ASSERT_TRUE(clear.notice);
    EXPECT_EQ(*clear.notice, plainNotice(lead + "清空。", MessageFlags::ErrorIcon));
    const DesignerOpening opening = openDesignerOn(c.table);
    EXPECT_TRUE(opening.closeWindow);
    ASSERT_TRUE(opening.notice);
    EXPECT_EQ(*opening.notice, plainNotice(lead + "用设计器修改。", MessageFlags::ErrorIcon));
    EXPECT_TRUE(prompts_.questions.empty()) << "refused before anything is asked";
    EXPECT_TRUE(trace_.changes().empty());
  }
  EXPECT_EQ(contents(), before);
}

TEST_F(VirtualTables, TablesOfTheSameShapeThatNoModuleKeepsAreOrdinary) {
  for (const char* table : {"notes_data", "docs_fts_extra", "notes", "docs_fts"}) {
    SCOPED_TRACE(table);
    EXPECT_EQ(shadowTableOwner(db_, table), std::nullopt);
  }
  prompts_.answers = {true};
  const Outcome clear = clearTable(db_, "notes_data", prompts_.askYes());
  ASSERT_TRUE(clear.notice);
  EXPECT_EQ(clear.notice->text, "【notes_data】  成功清空！");
  EXPECT_TRUE(rows("SELECT * FROM notes_data").empty());
}

TEST_F(VirtualTables, TheDesignerRefusesAVirtualTableNamingItsModuleEvenWhenTheModuleIsMissing) {
  // As a spatial database's index table reads on an engine without its library.
  run("PRAGMA writable_schema=ON;"
      "INSERT INTO sqlite_master VALUES ('table', 'SpatialIndex', 'SpatialIndex', 0,"
      " 'CREATE VIRTUAL TABLE SpatialIndex USING VirtualSpatialIndex()');"
      "PRAGMA writable_schema=OFF;");
  ASSERT_TRUE(db_.close());
  ASSERT_TRUE(db_.open(dir_.file("test.db")));
  const std::pair<const char*, const char*> cases[] = {
      {"docs_fts", "fts5"},
      {"rtree_places", "rtree"},
      {"SpatialIndex", "VirtualSpatialIndex"},
  };
  for (const auto& [table, module] : cases) {
    SCOPED_TRACE(table);
    const DesignerOpening opening = openDesignerOn(table);
    EXPECT_TRUE(opening.closeWindow);
    ASSERT_TRUE(opening.notice);
    EXPECT_EQ(*opening.notice, plainNotice(std::string("表 ") + table + " 是虚拟表（模块 " +
                                               module + "），不能用设计器修改。",
                                           MessageFlags::ErrorIcon));
  }
}

// A generated column calling a function only its own program has: the engine cannot
// read the table, and the designer says so instead of opening empty.
TEST_F(VirtualTables, TheDesignerRefusesATableTheEngineCannotReadWithTheEnginesReason) {
  run("CREATE TABLE g (a, b AS (abs(a)));"
      "PRAGMA writable_schema=ON;"
      "UPDATE sqlite_master SET sql = 'CREATE TABLE g (a, b AS (mystery(a)))' WHERE name = 'g';"
      "PRAGMA writable_schema=OFF;");
  ASSERT_TRUE(db_.close());
  ASSERT_TRUE(db_.open(dir_.file("test.db")));
  const DesignerOpening opening = openDesignerOn("g");
  EXPECT_TRUE(opening.closeWindow);
  ASSERT_TRUE(opening.notice);
  EXPECT_EQ(testing::messageOf(*opening.notice), "不能读取表 g，不能用设计器修改。");
  EXPECT_NE(testing::engineDetail(*opening.notice).value_or("").find("mystery"), std::string::npos)
      << opening.notice->text;
}

}  // namespace
}  // namespace tabulor::schema
