#include "schema/core/table_rebuild.h"

#include <gtest/gtest.h>

#include "schema/core/field_types.h"
#include "schema_fixture.h"

namespace tabulor::schema {
namespace {

using Strings = std::vector<std::string>;
using Companions = std::vector<TableCompanion>;

const std::string kTemporary = "__temp_t_1_temp";

// One field of the designer's grid: an existing column by its position (under a new
// name, or with a new type), or an inserted field.
struct Field {
  std::optional<std::size_t> existing;
  std::string name;
  std::optional<std::int32_t> type = {};  // none: the stored column's own type
  std::int32_t size = 0;
};

Field kept(std::size_t position, std::string name) { return {position, std::move(name)}; }
Field retyped(std::size_t position, std::string name, std::int32_t type, std::int32_t size = 0) {
  return {position, std::move(name), type, size};
}
Field inserted(std::string name, std::int32_t type, std::int32_t size = 0) {
  return {std::nullopt, std::move(name), type, size};
}

// The stored definition as the rebuild gets it: the engine adds which columns are
// generated and where the primary key's columns stand.
StoredTable storedTable(const std::string& sql, const std::vector<std::size_t>& generated = {},
                        const std::vector<std::size_t>& primaryKey = {}) {
  std::optional<StoredTable> stored = readTableDefinition(sql);
  EXPECT_TRUE(stored) << sql;
  if (!stored) return {};
  for (std::size_t position : generated) stored->columns.at(position).generated = true;
  for (std::size_t i = 0; i < primaryKey.size(); ++i)
    stored->columns.at(primaryKey[i]).primaryKeyPosition = static_cast<int>(i + 1);
  return *stored;
}

std::vector<DesignedColumn> designed(const StoredTable& stored, const std::vector<Field>& fields) {
  std::vector<DesignedColumn> columns;
  for (const Field& field : fields) {
    SqliteFieldInfo info{field.name, field.type.value_or(0), field.size};
    if (field.existing && !field.type) {
      const StoredColumn& old = stored.columns.at(*field.existing);
      info.type = designerTypeCode(old.typeName).value_or(kNoTypeCode);
      info.size = old.length;
    }
    columns.push_back({info, field.existing});
  }
  return columns;
}

// The plan's statements in the order the rebuild runs them, less the DROP TABLEs
// it adds itself.
Strings statementsOf(const RebuildPlan& plan) {
  Strings statements;
  for (const std::string* statement :
       {&plan.createTemporary, &plan.copyOut, &plan.createTable, &plan.copyBack})
    if (!statement->empty()) statements.push_back(*statement);
  statements.insert(statements.end(), plan.companions.begin(), plan.companions.end());
  statements.insert(statements.end(), plan.keepSequence.begin(), plan.keepSequence.end());
  return statements;
}

TEST(PlanRebuild, StoredDefinitionAndDesignToStatements) {
  testing::CodePageScope page("UTF-8");
  struct Case {
    std::string what;
    std::string sql;
    std::vector<Field> fields;
    Strings statements;
    Strings dropped = {};
    Companions companions = {};
    std::optional<std::int64_t> sequence = {};
    std::vector<std::size_t> generated = {};
    std::vector<std::size_t> primaryKey = {};
  } cases[] = {
      {"unchanged",
       "CREATE TABLE t (a INTEGER, b TEXT NOT NULL DEFAULT 'x', c)",
       {kept(0, "a"), kept(1, "b"), kept(2, "c")},
       {"CREATE TABLE __temp_t_1_temp (a, b, c)",
        "insert into __temp_t_1_temp (a,b,c) select a,b,c from t order by _ROWID_",
        "CREATE TABLE t (a INTEGER, b TEXT NOT NULL DEFAULT 'x', c)",
        "insert into t (a,b,c) select a,b,c from __temp_t_1_temp order by _ROWID_"}},
      {"written names and declared types stay as written",
       "CREATE TABLE t ([a] int, \"b\" varchar(20) COLLATE NOCASE, c)",
       {kept(0, "a"), kept(1, "b"), kept(2, "c")},
       {"CREATE TABLE __temp_t_1_temp (a, b, c)",
        "insert into __temp_t_1_temp (a,b,c) select a,b,c from t order by _ROWID_",
        "CREATE TABLE t ([a] int, \"b\" varchar(20) COLLATE NOCASE, c)",
        "insert into t (a,b,c) select a,b,c from __temp_t_1_temp order by _ROWID_"}},
      {"a renamed column is renamed in its own and the table's constraints",
       "CREATE TABLE t (a INTEGER, b TEXT CHECK (length(b) > 0), c, UNIQUE (a, b))",
       {kept(0, "a"), kept(1, "bb"), kept(2, "c")},
       {"CREATE TABLE __temp_t_1_temp (a, bb, c)",
        "insert into __temp_t_1_temp (a,bb,c) select a,b,c from t order by _ROWID_",
        "CREATE TABLE t (a INTEGER, bb TEXT CHECK (length(bb) > 0), c, UNIQUE (a, bb))",
        "insert into t (a,bb,c) select a,bb,c from __temp_t_1_temp order by _ROWID_"}},
      {"a new name that needs quotes gets them",
       "CREATE TABLE t (a, b)",
       {kept(0, "a"), kept(1, "b 2")},
       {"CREATE TABLE __temp_t_1_temp (a, \"b 2\")",
        "insert into __temp_t_1_temp (a,\"b 2\") select a,b from t order by _ROWID_",
        "CREATE TABLE t (a, \"b 2\")",
        "insert into t (a,\"b 2\") select a,\"b 2\" from __temp_t_1_temp order by _ROWID_"}},
      {"a dropped column takes the table constraint that names it",
       "CREATE TABLE t (a, b, c, UNIQUE (b), CHECK (a > 0))",
       {kept(0, "a"), kept(2, "c")},
       {"CREATE TABLE __temp_t_1_temp (a, c)",
        "insert into __temp_t_1_temp (a,c) select a,c from t order by _ROWID_",
        "CREATE TABLE t (a, c, CHECK (a > 0))",
        "insert into t (a,c) select a,c from __temp_t_1_temp order by _ROWID_"},
       {"表约束 UNIQUE (b)"}},
      {"an added column is created but not copied",
       "CREATE TABLE t (a INTEGER, b)",
       {kept(0, "a"), inserted("d", kTextCode, 10), kept(1, "b")},
       {"CREATE TABLE __temp_t_1_temp (a, b)",
        "insert into __temp_t_1_temp (a,b) select a,b from t order by _ROWID_",
        "CREATE TABLE t (a INTEGER, d TEXT(10), b)",
        "insert into t (a,b) select a,b from __temp_t_1_temp order by _ROWID_"}},
      {"a changed type replaces only the declared type",
       "CREATE TABLE t (a INT NOT NULL DEFAULT 0, b)",
       {retyped(0, "a", kTextCode), kept(1, "b")},
       {"CREATE TABLE __temp_t_1_temp (a, b)",
        "insert into __temp_t_1_temp (a,b) select a,b from t order by _ROWID_",
        "CREATE TABLE t (a TEXT NOT NULL DEFAULT 0, b)",
        "insert into t (a,b) select a,b from __temp_t_1_temp order by _ROWID_"}},
      {"no column keeps data: the table is rebuilt empty",
       "CREATE TABLE t (a, b)",
       {inserted("x", kIntegerCode)},
       {"CREATE TABLE t (x INTEGER)"}},
      {"WITHOUT ROWID stays and the rows leave in primary-key order",
       "CREATE TABLE t (k TEXT, j INTEGER, v, PRIMARY KEY (j, k)) WITHOUT ROWID",
       {kept(0, "k"), kept(1, "j"), kept(2, "value")},
       {"CREATE TABLE __temp_t_1_temp (k, j, value)",
        "insert into __temp_t_1_temp (k,j,value) select k,j,v from t order by j,k",
        "CREATE TABLE t (k TEXT, j INTEGER, value, PRIMARY KEY (j, k)) WITHOUT ROWID",
        "insert into t (k,j,value) select k,j,value from __temp_t_1_temp order by _ROWID_"},
       {},
       {},
       {},
       {},
       {1, 0}},
      {"STRICT stays",
       "CREATE TABLE t (a INT, b ANY) STRICT",
       {kept(0, "a"), kept(1, "b")},
       {"CREATE TABLE __temp_t_1_temp (a, b)",
        "insert into __temp_t_1_temp (a,b) select a,b from t order by _ROWID_",
        "CREATE TABLE t (a INT, b ANY) STRICT",
        "insert into t (a,b) select a,b from __temp_t_1_temp order by _ROWID_"}},
      {"a generated column is written again, follows renames and is never copied",
       "CREATE TABLE t (a, b AS (a * 2) STORED, c)",
       {kept(0, "x"), kept(1, "b"), kept(2, "c")},
       {"CREATE TABLE __temp_t_1_temp (x, c)",
        "insert into __temp_t_1_temp (x,c) select a,c from t order by _ROWID_",
        "CREATE TABLE t (x, b AS (x * 2) STORED, c)",
        "insert into t (x,c) select x,c from __temp_t_1_temp order by _ROWID_"},
       {},
       {},
       {},
       {1}},
      {"only generated columns kept: nothing to copy",
       "CREATE TABLE t (a, b AS (1))",
       {kept(1, "b")},
       {"CREATE TABLE t (b AS (1))"},
       {},
       {},
       {},
       {1}},
      {"indexes and triggers are created again under the new names",
       "CREATE TABLE t (a, b, c)",
       {kept(0, "a"), kept(1, "bb"), kept(2, "c")},
       {"CREATE TABLE __temp_t_1_temp (a, bb, c)",
        "insert into __temp_t_1_temp (a,bb,c) select a,b,c from t order by _ROWID_",
        "CREATE TABLE t (a, bb, c)",
        "insert into t (a,bb,c) select a,bb,c from __temp_t_1_temp order by _ROWID_",
        "CREATE INDEX i_b ON t (bb COLLATE NOCASE, lower(c)) WHERE bb IS NOT NULL",
        "CREATE TRIGGER tr AFTER UPDATE OF bb ON t BEGIN UPDATE t SET c = new.bb WHERE a = "
        "old.a; END"},
       {},
       {{"index", "i_b", "CREATE INDEX i_b ON t (b COLLATE NOCASE, lower(c)) WHERE b IS NOT NULL"},
        {"trigger", "tr",
         "CREATE TRIGGER tr AFTER UPDATE OF b ON t BEGIN UPDATE t SET c = new.b WHERE a = old.a; "
         "END"}}},
      {"a reference to the table itself follows the rename, one to another table does not",
       "CREATE TABLE t (id INTEGER PRIMARY KEY, parent REFERENCES t (id), b, "
       "FOREIGN KEY (b) REFERENCES other (b))",
       {kept(0, "key"), kept(1, "parent"), kept(2, "bb")},
       {"CREATE TABLE __temp_t_1_temp (key, parent, bb)",
        "insert into __temp_t_1_temp (key,parent,bb) select id,parent,b from t order by _ROWID_",
        "CREATE TABLE t (key INTEGER PRIMARY KEY, parent REFERENCES t (key), bb, "
        "FOREIGN KEY (bb) REFERENCES other (b))",
        "insert into t (key,parent,bb) select key,parent,bb from __temp_t_1_temp order by "
        "_ROWID_"}},
      {"a trigger's statements on the table follow the rename, those on another table do not",
       "CREATE TABLE t (a, b)",
       {kept(0, "a"), kept(1, "bb")},
       {"CREATE TABLE __temp_t_1_temp (a, bb)",
        "insert into __temp_t_1_temp (a,bb) select a,b from t order by _ROWID_",
        "CREATE TABLE t (a, bb)",
        "insert into t (a,bb) select a,bb from __temp_t_1_temp order by _ROWID_",
        "CREATE TRIGGER tr AFTER INSERT ON t BEGIN UPDATE OR IGNORE t SET bb = 1 WHERE bb IS NULL; "
        "DELETE FROM t WHERE bb < 0; INSERT INTO t (a, bb) VALUES (0, new.bb); "
        "UPDATE other SET b = new.bb WHERE b = t.bb; END"},
       {},
       {{"trigger", "tr",
         "CREATE TRIGGER tr AFTER INSERT ON t BEGIN UPDATE OR IGNORE t SET b = 1 WHERE b IS NULL; "
         "DELETE FROM t WHERE b < 0; INSERT INTO t (a, b) VALUES (0, new.b); "
         "UPDATE other SET b = new.b WHERE b = t.b; END"}}},
      {"an index or trigger that names a dropped column is left out and named",
       "CREATE TABLE t (a, b, c)",
       {kept(0, "a"), kept(2, "c")},
       {"CREATE TABLE __temp_t_1_temp (a, c)",
        "insert into __temp_t_1_temp (a,c) select a,c from t order by _ROWID_",
        "CREATE TABLE t (a, c)",
        "insert into t (a,c) select a,c from __temp_t_1_temp order by _ROWID_",
        "CREATE INDEX i_a ON t (a)"},
       {"索引 i_b", "触发器 tr"},
       {{"index", "i_b", "CREATE INDEX i_b ON t (a, b)"},
        {"index", "i_a", "CREATE INDEX i_a ON t (a)"},
        {"trigger", "tr", "CREATE TRIGGER tr AFTER INSERT ON t BEGIN SELECT new.b; END"}}},
      {"the AUTOINCREMENT counter is written back",
       "CREATE TABLE t (id INTEGER PRIMARY KEY AUTOINCREMENT, a)",
       {kept(0, "id"), kept(1, "a")},
       {"CREATE TABLE __temp_t_1_temp (id, a)",
        "insert into __temp_t_1_temp (id,a) select id,a from t order by _ROWID_",
        "CREATE TABLE t (id INTEGER PRIMARY KEY AUTOINCREMENT, a)",
        "insert into t (id,a) select id,a from __temp_t_1_temp order by _ROWID_",
        "UPDATE sqlite_sequence SET seq = max(seq, 42) WHERE name = 't'",
        "INSERT INTO sqlite_sequence (name, seq) SELECT 't', 42 WHERE NOT EXISTS (SELECT 1 FROM "
        "sqlite_sequence WHERE name = 't')"},
       {},
       {},
       42},
      {"an AUTOINCREMENT table without a counter gets none",
       "CREATE TABLE t (id INTEGER PRIMARY KEY AUTOINCREMENT, a)",
       {kept(0, "id"), kept(1, "a")},
       {"CREATE TABLE __temp_t_1_temp (id, a)",
        "insert into __temp_t_1_temp (id,a) select id,a from t order by _ROWID_",
        "CREATE TABLE t (id INTEGER PRIMARY KEY AUTOINCREMENT, a)",
        "insert into t (id,a) select id,a from __temp_t_1_temp order by _ROWID_",
        "DELETE FROM sqlite_sequence WHERE name = 't'"}},
      {"a counter without AUTOINCREMENT is not written",
       "CREATE TABLE t (id INTEGER PRIMARY KEY, a)",
       {kept(0, "id"), kept(1, "a")},
       {"CREATE TABLE __temp_t_1_temp (id, a)",
        "insert into __temp_t_1_temp (id,a) select id,a from t order by _ROWID_",
        "CREATE TABLE t (id INTEGER PRIMARY KEY, a)",
        "insert into t (id,a) select id,a from __temp_t_1_temp order by _ROWID_"},
       {},
       {},
       42},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const StoredTable stored = storedTable(c.sql, c.generated, c.primaryKey);
    TableSnapshot snapshot;
    snapshot.companions = c.companions;
    snapshot.sequence = c.sequence;
    const RebuildPlan plan =
        planRebuild("t", stored, designed(stored, c.fields), snapshot, kTemporary);
    EXPECT_EQ(plan.table, "t");
    EXPECT_EQ(plan.temporaryTable, plan.copyOut.empty() ? "" : kTemporary);
    EXPECT_EQ(statementsOf(plan), c.statements);
    EXPECT_EQ(plan.dropped, c.dropped);
    EXPECT_TRUE(plan.statistics.empty());
  }
}

// A kept statistics row as "table|index|the automatic index's new columns".
Strings keptStatisticsOf(const RebuildPlan& plan) {
  Strings rows;
  for (const KeptStatistics& statistics : plan.statistics) {
    std::string row = statistics.row.statTable + "|" + statistics.row.index.value_or("NULL") + "|";
    for (const std::string& column : statistics.automaticIndexColumns)
      row += (row.back() == '|' ? "" : ",") + column;
    rows.push_back(row);
  }
  return rows;
}

TEST(PlanRebuild, KeepsTheStatisticsOfWhatStays) {
  testing::CodePageScope page("UTF-8");
  const StatisticsRow ofTable{"sqlite_stat1", std::nullopt, "'t'", "'3'"};
  const StatisticsRow ofIndex{"sqlite_stat1", "i_c", "'t'", "'3 1'"};
  const StatisticsRow ofUnique{"sqlite_stat1", "sqlite_autoindex_t_1", "'t'", "'3 1 1'"};
  const StatisticsRow sampleOfUnique{"sqlite_stat4", "sqlite_autoindex_t_1", "'t'",
                                     "'1 1', '0 0', '0 0', X'0301'"};
  const StatisticsRow ofUnknownIndex{"sqlite_stat1", "gone", "'t'", "'3 1'"};
  const Companions companions{{"index", "i_c", "CREATE INDEX i_c ON t (c)"}};
  const std::vector<AutomaticIndex> automatic{{"sqlite_autoindex_t_1", {"a", "b"}}};
  struct Case {
    std::string what;
    std::vector<Field> fields;
    Strings statistics;
  } cases[] = {
      {"all kept, the automatic index found again by its columns",
       {kept(0, "a"), kept(1, "b"), kept(2, "c")},
       {"sqlite_stat1|NULL|", "sqlite_stat1|i_c|", "sqlite_stat1|sqlite_autoindex_t_1|a,b",
        "sqlite_stat4|sqlite_autoindex_t_1|a,b"}},
      {"a renamed column renames the automatic index's columns",
       {kept(0, "a"), kept(1, "bb"), kept(2, "c")},
       {"sqlite_stat1|NULL|", "sqlite_stat1|i_c|", "sqlite_stat1|sqlite_autoindex_t_1|a,bb",
        "sqlite_stat4|sqlite_autoindex_t_1|a,bb"}},
      {"an index that goes takes its statistics",
       {kept(0, "a"), kept(1, "b")},
       {"sqlite_stat1|NULL|", "sqlite_stat1|sqlite_autoindex_t_1|a,b",
        "sqlite_stat4|sqlite_autoindex_t_1|a,b"}},
      {"an automatic index losing a column takes its statistics",
       {kept(0, "a"), kept(2, "c")},
       {"sqlite_stat1|NULL|", "sqlite_stat1|i_c|"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const StoredTable stored = storedTable("CREATE TABLE t (a, b, c, UNIQUE (a, b))");
    TableSnapshot snapshot;
    snapshot.companions = companions;
    snapshot.statistics = {ofTable, ofIndex, ofUnique, sampleOfUnique, ofUnknownIndex};
    snapshot.automaticIndexes = automatic;
    const RebuildPlan plan =
        planRebuild("t", stored, designed(stored, c.fields), snapshot, kTemporary);
    EXPECT_EQ(keptStatisticsOf(plan), c.statistics);
    for (const KeptStatistics& statistics : plan.statistics) {
      EXPECT_EQ(statistics.row.tableValue, "'t'");
      EXPECT_FALSE(statistics.row.otherValues.empty());
    }
  }
}

// A table without row ids files its primary key's statistics under the table's own
// name; they stay with the table.
TEST(PlanRebuild, KeepsThePrimaryKeyStatisticsOfATableWithoutRowIds) {
  const StoredTable stored =
      storedTable("CREATE TABLE t (k PRIMARY KEY, v) WITHOUT ROWID", {}, {0});
  TableSnapshot snapshot;
  snapshot.statistics = {{"sqlite_stat1", "T", "'t'", "'3 1'"}};
  const RebuildPlan plan =
      planRebuild("t", stored, designed(stored, {kept(0, "k")}), snapshot, kTemporary);
  EXPECT_EQ(keptStatisticsOf(plan), Strings{"sqlite_stat1|T|"});
}

}  // namespace
}  // namespace tabulor::schema
